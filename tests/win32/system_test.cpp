// Win32System and Win32Shell under Wine: the program folder, the running
// copy's claim, error texts, and the shell function found by its number.
#include <gtest/gtest.h>

#include <windows.h>
// After windows.h, which it needs.
#include <shlobj.h>

#include <filesystem>
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

TEST(Win32System, ProgramFolderIsTheExecutablesFolderWithItsIconsFolder) {
  Win32System system;
  const std::string folder = system.ProgramFolder();
  char exe[MAX_PATH] = {};
  ASSERT_GT(GetModuleFileNameA(nullptr, exe, MAX_PATH), 0u);
  std::string expected = exe;
  expected.resize(expected.find_last_of('\\') + 1);
  EXPECT_EQ(folder, expected);
  DWORD icons = GetFileAttributesA((folder + "Icons").c_str());
  ASSERT_NE(icons, INVALID_FILE_ATTRIBUTES);
  EXPECT_TRUE(icons & FILE_ATTRIBUTE_DIRECTORY);
  EXPECT_EQ(system.ExecutableName(), "test_win32");
}

TEST(Win32System, TheUsersLocalApplicationDataIsAFolderThatIsThere) {
  Win32System system;
  const std::string local = system.LocalAppDataFolder();
  ASSERT_FALSE(local.empty());
  const DWORD attributes = GetFileAttributesW(platform::Utf8ToWide(local).c_str());
  ASSERT_NE(attributes, INVALID_FILE_ATTRIBUTES) << local;
  EXPECT_TRUE(attributes & FILE_ATTRIBUTE_DIRECTORY);
  EXPECT_EQ(local.find('/'), std::string::npos) << "a Windows path: " << local;
}

TEST(Win32System, TheFirstCopyHoldsTheClaimUntilItEnds) {
  auto first = std::make_unique<Win32System>();
  EXPECT_FALSE(first->PreviousInstanceRunning());
  EXPECT_FALSE(first->PreviousInstanceRunning()) << "asking again changes nothing";
  {
    Win32System second;
    EXPECT_TRUE(second.PreviousInstanceRunning());
  }
  first.reset();
  Win32System third;
  EXPECT_FALSE(third.PreviousInstanceRunning()) << "the claim went with the first copy";
}

TEST(Win32System, ErrorsHaveTheSystemsTextsOnOneLine) {
  Win32System system;
  EXPECT_EQ(GetFileAttributesA("C:\\no such folder\\no such file"), INVALID_FILE_ATTRIBUTES);
  const long code = system.LastError();
  EXPECT_EQ(code, ERROR_PATH_NOT_FOUND);
  const std::string text = system.ErrorMessage(code);
  EXPECT_FALSE(text.empty());
  EXPECT_EQ(text.find('\n'), std::string::npos);
  EXPECT_EQ(text.find('\r'), std::string::npos);
  EXPECT_NE(system.ErrorMessage(ERROR_FILE_NOT_FOUND), text);
  EXPECT_EQ(platform::SystemErrorText(0xDEADBEEF), "error 3735928559");
}

TEST(Win32System, TheTickCounterMovesForward) {
  Win32System system;
  const std::uint32_t before = system.TickCount();
  Sleep(20);
  const std::uint32_t after = system.TickCount();
  EXPECT_GE(after - before, 15u);
}

TEST(Win32Shell, TheImageCacheFunctionIsExportedUnderItsNumber) {
  HMODULE shell32 = LoadLibraryA("shell32.dll");
  ASSERT_NE(shell32, nullptr);
  EXPECT_NE(reinterpret_cast<void*>(GetProcAddress(shell32, MAKEINTRESOURCEA(72))), nullptr);
}

// A window of this test registered for the shell's change notices about a
// folder and everything in it, the notices it got kept as "event path".
class ChangeListener {
 public:
  explicit ChangeListener(const std::string& folder) {
    WNDCLASSW wc{};
    wc.lpfnWndProc = &Procedure;
    wc.hInstance = GetModuleHandleW(nullptr);
    wc.lpszClassName = L"PlumageTestChangeListener";
    RegisterClassW(&wc);
    hwnd_ = CreateWindowW(wc.lpszClassName, L"", 0, 0, 0, 0, 0, HWND_MESSAGE, nullptr, wc.hInstance,
                          nullptr);
    SetWindowLongPtrW(hwnd_, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(this));
    pidl_ = ILCreateFromPathW(platform::Utf8ToWide(folder).c_str());
    SHChangeNotifyEntry entry{pidl_, TRUE};
    id_ = SHChangeNotifyRegister(hwnd_, SHCNRF_ShellLevel | SHCNRF_InterruptLevel, SHCNE_ALLEVENTS,
                                 kMessage, 1, &entry);
  }
  ~ChangeListener() {
    if (id_) SHChangeNotifyDeregister(id_);
    if (pidl_) ILFree(pidl_);
    DestroyWindow(hwnd_);
  }
  ChangeListener(const ChangeListener&) = delete;
  ChangeListener& operator=(const ChangeListener&) = delete;

  bool registered() const { return id_ != 0 && pidl_ != nullptr; }
  // Lets notices posted rather than sent arrive.
  void Pump() {
    MSG msg;
    while (PeekMessageW(&msg, hwnd_, 0, 0, PM_REMOVE)) DispatchMessageW(&msg);
  }
  std::vector<std::string> heard;

 private:
  static constexpr UINT kMessage = WM_APP + 7;
  static LRESULT CALLBACK Procedure(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam) {
    auto* self = reinterpret_cast<ChangeListener*>(GetWindowLongPtrW(hwnd, GWLP_USERDATA));
    if (self && message == kMessage) {
      auto* pidls = reinterpret_cast<PCIDLIST_ABSOLUTE*>(wParam);
      wchar_t path[MAX_PATH] = {};
      if (pidls && pidls[0]) SHGetPathFromIDListW(pidls[0], path);
      const char* event = lParam == SHCNE_UPDATEITEM  ? "item"
                          : lParam == SHCNE_UPDATEDIR ? "dir"
                                                      : "other";
      self->heard.push_back(std::string(event) + " " + platform::WideToUtf8(path));
      return 0;
    }
    return DefWindowProcW(hwnd, message, wParam, lParam);
  }
  HWND hwnd_ = nullptr;
  PIDLIST_ABSOLUTE pidl_ = nullptr;
  ULONG id_ = 0;
};

TEST(Win32Shell, AWrittenDescriptorIsAnnouncedForTheFileAndItsFolder) {
  TempDir dir;
  const std::string folder =
      dir.str() + "\\\xCE\xA6\xCE\xAC\xCE\xBA\xCE\xB5\xCE\xBB\xCE\xBF\xCF\x82";
  ASSERT_TRUE(CreateDirectoryW(platform::Utf8ToWide(folder).c_str(), nullptr));
  const std::string ini = folder + "\\desktop.ini";
  WritePrivateProfileStringW(L".ShellClassInfo", L"IconIndex", L"0",
                             platform::Utf8ToWide(ini).c_str());
  ChangeListener listener(dir.str());
  ASSERT_TRUE(listener.registered());
  platform::Win32Shell shell;
  shell.NotifyFolderChanged(folder, ini);
  listener.Pump();
  // Flushed: both notices are there when the call returns, in this order,
  // each naming its path whole.
  EXPECT_EQ(listener.heard, (std::vector<std::string>{"item " + ini, "dir " + folder}));
}

TEST(Win32Text, Utf8AndUtf16RoundTripBeyondTheBmp) {
  // "Φάκελος 写真 📁": Greek, CJK and a character that takes two UTF-16 units.
  const std::string utf8 =
      "\xCE\xA6\xCE\xAC\xCE\xBA\xCE\xB5\xCE\xBB\xCE\xBF\xCF\x82 \xE5\x86\x99\xE7\x9C\x9F "
      "\xF0\x9F\x93\x81";
  const std::wstring wide = platform::Utf8ToWide(utf8);
  EXPECT_EQ(wide, std::wstring(L"\u03A6\u03AC\u03BA\u03B5\u03BB\u03BF\u03C2 \u5199\u771F "
                               L"\xD83D\xDCC1"));
  EXPECT_EQ(platform::WideToUtf8(wide), utf8);
  EXPECT_EQ(platform::Utf8ToWide(""), L"");
  EXPECT_EQ(platform::WideToUtf8(std::wstring(L"a\0b", 3)), std::string("a\0b", 3));
}

TEST(Win32Text, StoredTextCrossesThroughWindows1252WhateverTheAnsiCodePage) {
  // Bytes the program made with its own Windows-1252 table: 0x80 is the
  // euro sign, 0x9C oe, whatever code page the system runs.
  EXPECT_EQ(platform::AnsiToWide("Ic\xF4nes \x80\x9C"), L"Ic\u00F4nes \u20AC\u0153");
  EXPECT_EQ(platform::WideToAnsi(L"Ic\u00F4nes \u20AC\u0153"), "Ic\xF4nes \x80\x9C");
  EXPECT_EQ(platform::WideToAnsi(L"\u5199"), "?") << "a character it lacks";
  EXPECT_EQ(platform::AnsiToWide(std::string("a\0b\0", 4)), std::wstring(L"a\0b\0", 4))
      << "multi-string values keep their NULs";
  EXPECT_TRUE(platform::FitsAnsi("C:\\Ic\xC3\xB4nes\\\xE2\x82\xAC.ico"));
  EXPECT_FALSE(platform::FitsAnsi("C:\\\xE5\x86\x99\xE7\x9C\x9F.ico"));
}

TEST(Win32Text, SystemErrorTextIsTheSystemsMessage) {
  const std::string text = platform::SystemErrorText(ERROR_FILE_NOT_FOUND);
  EXPECT_NE(text, "error 2");
  ASSERT_FALSE(text.empty());
  EXPECT_NE(text.back(), '\n') << "without its closing line break";
  EXPECT_EQ(platform::SystemErrorText(0xDEADu), "error 57005");
}

}  // namespace
}  // namespace plumage::test
