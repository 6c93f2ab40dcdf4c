// plumage.exe from end to end, as Explorer starts it: with a folder it
// shows the picker, OK writes the folder's DESKTOP.INI, the refresh
// reminder appears, F5 goes out and the program ends; without an argument
// the settings dialog alone, whose OK writes the verb key. Runs under Wine
// with a display (Xvfb), in a prefix of its own.
#include <gtest/gtest.h>

#include <windows.h>

#include <chrono>
#include <functional>
#include <string>
#include <vector>

#include "app/program.h"
#include "app/startup.h"
#include "folder/folder_ops.h"
#include "platform/win32/native_platform.h"
#include "settings/settings.h"
#include "support/temp_dir.h"
#include "ui/win32/change_icon_window.h"
#include "ui/win32/options_window.h"
#include "ui/win32/window_kit.h"
#include "win32/win32_test_util.h"

namespace plumage::test {
namespace {

using platform::Utf8ToWide;

std::string ProgramPath() { return WinePath(PLUMAGE_EXE); }

// Every F5 that reaches the input queue of this desktop, wherever it goes.
int refreshKeysSeen = 0;
LRESULT CALLBACK WatchKeys(int code, WPARAM wParam, LPARAM lParam) {
  if (code == HC_ACTION && wParam == WM_KEYDOWN &&
      reinterpret_cast<const KBDLLHOOKSTRUCT*>(lParam)->vkCode == VK_F5)
    ++refreshKeysSeen;
  return CallNextHookEx(nullptr, code, wParam, lParam);
}

// The visible top-level windows of a process.
struct Search {
  DWORD pid;
  std::vector<HWND> found;
};
BOOL CALLBACK Collect(HWND hwnd, LPARAM data) {
  auto* s = reinterpret_cast<Search*>(data);
  DWORD pid = 0;
  GetWindowThreadProcessId(hwnd, &pid);
  if (pid == s->pid && IsWindowVisible(hwnd)) s->found.push_back(hwnd);
  return TRUE;
}
std::vector<HWND> WindowsOf(const ChildProcess& run) {
  Search search{run.id(), {}};
  EnumWindows(&Collect, reinterpret_cast<LPARAM>(&search));
  return search.found;
}

// Waits, pumping this thread's messages (the key watch needs them, and so
// does plumage.exe's settings OK), until `done` holds or 30 s have passed.
void PumpUntil(const std::function<bool()>& done) {
  const auto until = std::chrono::steady_clock::now() + std::chrono::seconds(30);
  while (!done() && std::chrono::steady_clock::now() < until) {
    MsgWaitForMultipleObjects(0, nullptr, FALSE, 50, QS_ALLINPUT);
    MSG msg;
    while (PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE)) DispatchMessageA(&msg);
  }
}

// A window of the program with the title, once it shows.
HWND WaitForWindow(const ChildProcess& run, const std::string& title) {
  HWND found = nullptr;
  PumpUntil([&] {
    for (HWND hwnd : WindowsOf(run))
      if (win32::GetText(hwnd) == title) found = hwnd;
    return found != nullptr;
  });
  return found;
}

// Clicks a button as the mouse would: posted, so that a modal box it opens
// does not hold this test.
void Click(HWND window, int id) { PostMessageA(GetDlgItem(window, id), BM_CLICK, 0, 0); }

class PlumageProgramTest : public ::testing::Test {
 protected:
  void SetUp() override {
    // Installed as the README tells a Windows user: plumagectl install; in
    // English, whatever an earlier run chose, the reminder on.
    ASSERT_EQ(RunPlumagectl("install"), 0u);
    ASSERT_TRUE(StoreLanguage(program, 0) && StoreDefaultLibrary(program, library) &&
                StoreNoWarning(program, false));
  }
  TempDir dir;
  platform::NativePlatform native;
  Program program{native.os};
  std::string library = [] {
    char folder[MAX_PATH] = {};
    GetSystemDirectoryA(folder, MAX_PATH);
    return std::string(folder) + "\\shell32.dll";
  }();
};

// A folder named with blanks, in scripts Windows-1252 lacks and with a
// character beyond the BMP: it reaches the program whole through the wide
// command line.
TEST_F(PlumageProgramTest, WithAFolderOkWritesItsDescriptorRemindsRefreshesAndEnds) {
  const std::string folder = dir.str() + "\\\xCE\xA6\xCE\xAC\xCE\xBA\xCE\xB5\xCE\xBB\xCE\xBF"
                                         "\xCF\x82 \xE5\x86\x99\xE7\x9C\x9F \xF0\x9F\x93\x81";
  ASSERT_TRUE(CreateDirectoryW(Utf8ToWide(folder).c_str(), nullptr)) << folder;
  HHOOK watch = SetWindowsHookExA(WH_KEYBOARD_LL, &WatchKeys, GetModuleHandleA(nullptr), 0);
  ASSERT_NE(watch, nullptr) << "cannot watch the keyboard";
  refreshKeysSeen = 0;

  // As Explorer starts it: the verb's command, the path in place of %1;
  // the whole text after the program's name is the path, blanks and all.
  std::string commandLine = RegistryText(HKEY_CLASSES_ROOT, kVerbCommandKey);
  ASSERT_EQ(commandLine, "\"" + ProgramPath() + "\" %1");
  commandLine.replace(commandLine.size() - 2, 2, folder);
  ChildProcess plumage(commandLine);
  HWND picker = WaitForWindow(plumage, PickerTitle(folder));
  ASSERT_NE(picker, nullptr) << "no picker from " << commandLine;
  wchar_t shown[MAX_PATH] = {};  // asked with WM_GETTEXT: a control of another process
  GetDlgItemTextW(picker, win32::ChangeIconWindow::kSelectedIcon, shown, MAX_PATH);
  EXPECT_EQ(std::tuple(WindowsOf(plumage).size(), platform::WideToUtf8(shown)), std::tuple(1u, library));

  Click(picker, win32::ChangeIconWindow::kOKButton);
  HWND reminder = WaitForWindow(plumage, "Plumage");  // the message box
  ASSERT_NE(reminder, nullptr) << "no refresh reminder";
  EXPECT_FALSE(IsWindowVisible(picker)) << "the picker closes before the reminder";
  EXPECT_EQ(win32::GetText(GetDlgItem(reminder, 0xFFFF)), ReminderText(0));
  PostMessageA(reminder, WM_COMMAND, IDOK, 0);

  PumpUntil([&] { return plumage.Ended(); });
  EXPECT_EQ(plumage.ExitCode(), 0u);
  EXPECT_EQ(refreshKeysSeen, 1) << "F5 goes out once the reminder is closed";
  UnhookWindowsHookEx(watch);
  const DWORD hiddenSystem = FILE_ATTRIBUTE_HIDDEN | FILE_ATTRIBUTE_SYSTEM;
  EXPECT_EQ(std::tuple(DescriptorValue(folder, "IconFile"), DescriptorValue(folder, "IconIndex"),
                       GetFileAttributesW(Utf8ToWide(folder + "\\DESKTOP.INI").c_str()) & hiddenSystem,
                       GetFileAttributesW(Utf8ToWide(folder).c_str()) & FILE_ATTRIBUTE_SYSTEM),
            std::tuple(library, "0", hiddenSystem, DWORD{FILE_ATTRIBUTE_SYSTEM}));
}

TEST_F(PlumageProgramTest, WithoutAnArgumentOnlyTheSettingsDialogShowsAndItsOkWritesTheVerbKey) {
  ChildProcess plumage("\"" + ProgramPath() + "\"");
  HWND settings = WaitForWindow(plumage, "Plumage settings");
  ASSERT_NE(settings, nullptr) << "no settings dialog from " << ProgramPath();
  EXPECT_EQ(WindowsOf(plumage).size(), 1u) << "no picker";
  Click(settings, win32::OptionsWindow::kLang1);
  Click(settings, win32::OptionsWindow::kCmdOK);
  PumpUntil([&] { return plumage.Ended(); });
  EXPECT_EQ(std::tuple(plumage.ExitCode(), RegistryText(HKEY_CLASSES_ROOT, kVerbKey)),
            std::tuple(0u, "M&odifier l'ic\xC3\xB4ne..."));
}

}  // namespace
}  // namespace plumage::test
