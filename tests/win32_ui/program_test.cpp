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

#include "app/startup.h"
#include "folder/folder_ops.h"
#include "settings/settings.h"
#include "support/temp_dir.h"
#include "ui/win32/change_icon_window.h"
#include "ui/win32/options_window.h"
#include "ui/win32/window_kit.h"
#include "win32/win32_test_util.h"

namespace plumage::test {
namespace {

using platform::Utf8ToWide;
using platform::WideToUtf8;

std::string ProgramPath() { return WinePath(PLUMAGE_EXE); }

void SetVerbValue(const char* name, const std::string& value) {
  HKEY key = nullptr;
  ASSERT_EQ(RegCreateKeyW(HKEY_CLASSES_ROOT, Utf8ToWide(kVerbKey).c_str(), &key), ERROR_SUCCESS);
  const std::wstring wide = Utf8ToWide(value);
  RegSetValueExW(key, Utf8ToWide(name).c_str(), 0, REG_SZ,
                 reinterpret_cast<const BYTE*>(wide.c_str()),
                 static_cast<DWORD>((wide.size() + 1) * sizeof(wchar_t)));
  RegCloseKey(key);
}

// Every F5 that reaches the input queue of this desktop, wherever it goes.
int refreshKeysSeen = 0;
LRESULT CALLBACK WatchKeys(int code, WPARAM wParam, LPARAM lParam) {
  if (code == HC_ACTION && wParam == WM_KEYDOWN &&
      reinterpret_cast<const KBDLLHOOKSTRUCT*>(lParam)->vkCode == VK_F5)
    ++refreshKeysSeen;
  return CallNextHookEx(nullptr, code, wParam, lParam);
}

// plumage.exe running, watched through its windows.
class RunningPlumage : public ChildProcess {
 public:
  using ChildProcess::ChildProcess;

  // The visible top-level windows of the program.
  std::vector<HWND> Windows() const {
    Search search{id(), {}};
    EnumWindows(&Collect, reinterpret_cast<LPARAM>(&search));
    return search.found;
  }

  // Waits (pumping this thread's messages, for the key watch) until a
  // window of the program has the title, or the time is up.
  HWND WaitForWindow(const std::string& title, const char* windowClass = nullptr) {
    HWND found = nullptr;
    Pump([&] {
      for (HWND hwnd : Windows()) {
        wchar_t text[256] = {}, cls[64] = {};
        GetWindowTextW(hwnd, text, 256);
        GetClassNameW(hwnd, cls, 64);
        if (title == WideToUtf8(text) && (!windowClass || WideToUtf8(cls) == windowClass))
          found = hwnd;
      }
      return found != nullptr;
    });
    return found;
  }

  // Waits until the program has ended; its exit code, or -1.
  int WaitForEnd() {
    Pump([&] { return Ended(); });
    return static_cast<int>(ExitCode());
  }

  // Clicks a button of a window as the mouse would: posted, so that a modal
  // box it opens does not hold this test.
  static void Click(HWND window, int id) { PostMessageA(GetDlgItem(window, id), BM_CLICK, 0, 0); }

 private:
  struct Search {
    DWORD pid;
    std::vector<HWND> found;
  };
  static BOOL CALLBACK Collect(HWND hwnd, LPARAM data) {
    auto* s = reinterpret_cast<Search*>(data);
    DWORD pid = 0;
    GetWindowThreadProcessId(hwnd, &pid);
    if (pid == s->pid && IsWindowVisible(hwnd)) s->found.push_back(hwnd);
    return TRUE;
  }

  static void Pump(const std::function<bool()>& done) {
    const auto until = std::chrono::steady_clock::now() + std::chrono::seconds(30);
    while (!done() && std::chrono::steady_clock::now() < until) {
      MsgWaitForMultipleObjects(0, nullptr, FALSE, 50, QS_ALLINPUT);
      MSG msg;
      while (PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE)) DispatchMessageA(&msg);
    }
  }
};

class PlumageProgramTest : public ::testing::Test {
 protected:
  void SetUp() override {
    // Installed as the README tells a Windows user: plumagectl install.
    ASSERT_EQ(RunPlumagectl("install"), 0u);
    SetVerbValue("", "C&hange icon...");  // English, whatever an earlier run chose
    SetVerbValue("DefaultLibrary", library);
    SetVerbValue("NoWarning", " 0");
  }
  TempDir dir;
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
  RunningPlumage plumage(commandLine);
  ASSERT_TRUE(plumage.started()) << commandLine;
  const std::string title = PickerTitle(folder);
  HWND picker = plumage.WaitForWindow(title);
  ASSERT_NE(picker, nullptr) << "no picker titled " << title;
  EXPECT_EQ(plumage.Windows().size(), 1u);
  wchar_t shown[MAX_PATH] = {};
  GetDlgItemTextW(picker, win32::ChangeIconWindow::kSelectedIcon, shown, MAX_PATH);
  EXPECT_EQ(WideToUtf8(shown), library);

  RunningPlumage::Click(picker, win32::ChangeIconWindow::kOKButton);
  HWND reminder = plumage.WaitForWindow("Plumage", "#32770");
  ASSERT_NE(reminder, nullptr) << "no refresh reminder";
  EXPECT_FALSE(IsWindowVisible(picker)) << "the picker closes before the reminder";
  wchar_t text[1024] = {};
  GetDlgItemTextW(reminder, 0xFFFF, text, 1024);  // the message box's text
  EXPECT_EQ(win32::FromWindowsText(text), ReminderText(0));
  PostMessageA(reminder, WM_COMMAND, IDOK, 0);

  EXPECT_EQ(plumage.WaitForEnd(), 0);
  EXPECT_EQ(refreshKeysSeen, 1) << "F5 goes out once the reminder is closed";
  UnhookWindowsHookEx(watch);
  const DWORD hiddenSystem = FILE_ATTRIBUTE_HIDDEN | FILE_ATTRIBUTE_SYSTEM;
  EXPECT_EQ(std::tuple(DescriptorValue(folder, "IconFile"), DescriptorValue(folder, "IconIndex"),
                       GetFileAttributesW(Utf8ToWide(folder + "\\DESKTOP.INI").c_str()) & hiddenSystem,
                       GetFileAttributesW(Utf8ToWide(folder).c_str()) & FILE_ATTRIBUTE_SYSTEM),
            std::tuple(library, "0", hiddenSystem, DWORD{FILE_ATTRIBUTE_SYSTEM}));
}

TEST_F(PlumageProgramTest, WithoutAnArgumentOnlyTheSettingsDialogShowsAndItsOkWritesTheVerbKey) {
  RunningPlumage plumage("\"" + ProgramPath() + "\"");
  ASSERT_TRUE(plumage.started()) << ProgramPath();
  HWND settings = plumage.WaitForWindow("Plumage settings");
  ASSERT_NE(settings, nullptr) << "no settings dialog";
  EXPECT_EQ(plumage.Windows().size(), 1u) << "no picker";
  RunningPlumage::Click(settings, win32::OptionsWindow::kNoWarningBox);
  RunningPlumage::Click(settings, win32::OptionsWindow::kLang1);
  RunningPlumage::Click(settings, win32::OptionsWindow::kCmdOK);
  EXPECT_EQ(plumage.WaitForEnd(), 0);
  EXPECT_EQ(std::tuple(RegistryText(HKEY_CLASSES_ROOT, kVerbKey, "NoWarning"),
                       RegistryText(HKEY_CLASSES_ROOT, kVerbKey)),
            std::tuple(" 1", "M&odifier l'ic\xC3\xB4ne..."));
}

}  // namespace
}  // namespace plumage::test
