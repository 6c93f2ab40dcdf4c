// Win32System and Win32Shell under Wine: the program folder, the running
// copy's claim, error texts, and the shell function found by its number.
#include <gtest/gtest.h>

#include <windows.h>
// After windows.h, which it needs.
#include <shlobj.h>

#include <memory>
#include <string>
#include <vector>

#include "platform/win32/win32_system.h"
#include "platform/win32/win32_text.h"
#include "support/temp_dir.h"
#include "win32_test_util.h"

namespace plumage::test {
namespace {

using platform::Win32System;

TEST(Win32System, FoldersClaimAndErrorTexts) {
  auto system = std::make_unique<Win32System>();
  char exe[MAX_PATH] = {};
  ASSERT_GT(GetModuleFileNameA(nullptr, exe, MAX_PATH), 0u);
  std::string folder = exe;
  folder.resize(folder.find_last_of('\\') + 1);
  // The program folder comes with its Icons folder; the user's local
  // application data is a Windows path of a folder that is there.
  const std::string local = system->LocalAppDataFolder();
  EXPECT_EQ(std::tuple(system->ProgramFolder(), system->ExecutableName(), local.find('/'),
                       GetFileAttributesA((folder + "Icons").c_str()) & FILE_ATTRIBUTE_DIRECTORY,
                       GetFileAttributesW(platform::Utf8ToWide(local).c_str()) & FILE_ATTRIBUTE_DIRECTORY),
            std::tuple(folder, "test_win32", std::string::npos, DWORD{FILE_ATTRIBUTE_DIRECTORY},
                       DWORD{FILE_ATTRIBUTE_DIRECTORY}));
  // The first copy holds the claim until it ends.
  EXPECT_FALSE(system->PreviousInstanceRunning());
  EXPECT_FALSE(system->PreviousInstanceRunning()) << "asking again changes nothing";
  EXPECT_TRUE(Win32System().PreviousInstanceRunning());
  // Errors have the system's texts, on one line.
  EXPECT_EQ(GetFileAttributesA("C:\\no such folder\\no such file"), INVALID_FILE_ATTRIBUTES);
  const long code = system->LastError();
  const std::string text = system->ErrorMessage(code);
  EXPECT_EQ(std::tuple(code, text.empty(), text.find_first_of("\r\n"), text == system->ErrorMessage(2),
                       platform::SystemErrorText(0xDEADBEEF)),
            std::tuple(long{ERROR_PATH_NOT_FOUND}, false, std::string::npos, false, "error 3735928559"));
  system.reset();
  EXPECT_FALSE(Win32System().PreviousInstanceRunning()) << "the claim went with the first copy";
  EXPECT_NE(reinterpret_cast<void*>(GetProcAddress(LoadLibraryA("shell32.dll"), MAKEINTRESOURCEA(72))), nullptr)
      << "the image cache function is exported under its number";
}

// The shell's change notices a window of this test got, as "event path".
constexpr UINT kChangeMessage = WM_APP + 7;
std::vector<std::string> noticesHeard;
LRESULT CALLBACK HearNotices(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam) {
  if (message != kChangeMessage) return DefWindowProcW(hwnd, message, wParam, lParam);
  auto* pidls = reinterpret_cast<PCIDLIST_ABSOLUTE*>(wParam);
  wchar_t path[MAX_PATH] = {};
  if (pidls && pidls[0]) SHGetPathFromIDListW(pidls[0], path);
  const char* event = lParam == SHCNE_UPDATEITEM ? "item" : lParam == SHCNE_UPDATEDIR ? "dir" : "other";
  noticesHeard.push_back(std::string(event) + " " + platform::WideToUtf8(path));
  return 0;
}

TEST(Win32Shell, AWrittenDescriptorIsAnnouncedForTheFileAndItsFolder) {
  TempDir dir;
  const std::string folder =
      dir.str() + "\\\xCE\xA6\xCE\xAC\xCE\xBA\xCE\xB5\xCE\xBB\xCE\xBF\xCF\x82";
  ASSERT_TRUE(CreateDirectoryW(platform::Utf8ToWide(folder).c_str(), nullptr));
  const std::string ini = folder + "\\desktop.ini";
  WritePrivateProfileStringW(L".ShellClassInfo", L"IconIndex", L"0",
                             platform::Utf8ToWide(ini).c_str());
  // A message-only window registered for the notices about the temporary
  // folder and everything in it.
  WNDCLASSW wc{};
  wc.lpfnWndProc = &HearNotices;
  wc.hInstance = GetModuleHandleW(nullptr);
  wc.lpszClassName = L"PlumageTestChangeListener";
  RegisterClassW(&wc);
  HWND hwnd = CreateWindowW(wc.lpszClassName, L"", 0, 0, 0, 0, 0, HWND_MESSAGE, nullptr,
                            wc.hInstance, nullptr);
  PIDLIST_ABSOLUTE pidl = ILCreateFromPathW(platform::Utf8ToWide(dir.str()).c_str());
  SHChangeNotifyEntry entry{pidl, TRUE};
  const ULONG id = SHChangeNotifyRegister(hwnd, SHCNRF_ShellLevel | SHCNRF_InterruptLevel,
                                          SHCNE_ALLEVENTS, kChangeMessage, 1, &entry);
  ASSERT_TRUE(id != 0 && pidl != nullptr);
  platform::Win32Shell shell;
  shell.NotifyFolderChanged(folder, ini);
  MSG msg;  // notices posted rather than sent arrive too
  while (PeekMessageW(&msg, hwnd, 0, 0, PM_REMOVE)) DispatchMessageW(&msg);
  SHChangeNotifyDeregister(id);
  ILFree(pidl);
  DestroyWindow(hwnd);
  // Flushed: both notices are there when the call returns, in this order,
  // each naming its path whole.
  EXPECT_EQ(noticesHeard, (std::vector<std::string>{"item " + ini, "dir " + folder}));
}

// Text crosses to UTF-16 whole, and through the program's Windows-1252
// table whatever code page the system runs (0x80 is the euro sign).
TEST(Win32Text, Utf16AndWindows1252) {
  const std::string utf8 = "\xCE\xA6\xCE\xAC\xCE\xBA \xE5\x86\x99 \xF0\x9F\x93\x81";
  EXPECT_EQ(platform::Utf8ToWide(utf8), std::wstring(L"\u03A6\u03AC\u03BA \u5199 \xD83D\xDCC1"));
  EXPECT_EQ(platform::WideToUtf8(platform::Utf8ToWide(utf8)), utf8);
  EXPECT_EQ(platform::AnsiToWide(std::string("Ic\xF4nes \x80\x9C\0", 10)), std::wstring(L"Ic\u00F4nes \u20AC\u0153\0", 10));
  EXPECT_EQ(platform::WideToAnsi(L"Ic\u00F4nes \u20AC\u0153 \u5199"), "Ic\xF4nes \x80\x9C ?");
}

}  // namespace
}  // namespace plumage::test
