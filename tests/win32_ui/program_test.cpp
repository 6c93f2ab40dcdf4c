// plumage.exe from end to end, as Explorer starts it: with a folder it
// shows the picker, OK writes the folder's DESKTOP.INI, the refresh
// reminder appears, F5 goes out and the program ends; without an argument
// the settings dialog alone, whose OK writes the verb key. Runs under Wine
// with a display (Xvfb), in a prefix of its own.
#include <gtest/gtest.h>

#include <windows.h>

#include <chrono>
#include <filesystem>
#include <functional>
#include <string>
#include <vector>

#include "app/startup.h"
#include "folder/folder_ops.h"
#include "platform/win32/win32_text.h"
#include "settings/settings.h"
#include "support/temp_dir.h"
#include "ui/win32/change_icon_window.h"
#include "ui/win32/options_window.h"
#include "ui/win32/window_kit.h"

namespace plumage::test {
namespace {

namespace fs = std::filesystem;
constexpr const char* kVerb = kVerbKey;

// An executable of the build as Windows names it (the build gives a Linux
// path, which Wine's drive Z: maps).
std::string WindowsPath(std::string path) {
  if (!path.empty() && path[0] == '/') {
    for (char& c : path)
      if (c == '/') c = '\\';
    path = "Z:" + path;
  }
  return path;
}

std::string ProgramPath() { return WindowsPath(PLUMAGE_EXE); }

std::string SystemFile(const char* name) {
  char folder[MAX_PATH] = {};
  GetSystemDirectoryA(folder, MAX_PATH);
  return std::string(folder) + "\\" + name;
}

using platform::Utf8ToWide;
using platform::WideToUtf8;

// Registry values as text (UTF-8), through the wide calls.
void SetVerbValue(const char* name, const std::string& value) {
  HKEY key = nullptr;
  ASSERT_EQ(RegCreateKeyW(HKEY_CLASSES_ROOT, Utf8ToWide(kVerb).c_str(), &key), ERROR_SUCCESS);
  const std::wstring wide = Utf8ToWide(value);
  RegSetValueExW(key, Utf8ToWide(name).c_str(), 0, REG_SZ,
                 reinterpret_cast<const BYTE*>(wide.c_str()),
                 static_cast<DWORD>((wide.size() + 1) * sizeof(wchar_t)));
  RegCloseKey(key);
}

std::string VerbValue(const char* name, const char* subKey = kVerb) {
  HKEY key = nullptr;
  if (RegOpenKeyW(HKEY_CLASSES_ROOT, Utf8ToWide(subKey).c_str(), &key) != ERROR_SUCCESS)
    return "(no key)";
  wchar_t data[512] = {};
  DWORD size = sizeof data - sizeof(wchar_t);
  DWORD type = 0;
  const LONG rc = RegQueryValueExW(key, Utf8ToWide(name).c_str(), nullptr, &type,
                                   reinterpret_cast<BYTE*>(data), &size);
  RegCloseKey(key);
  return rc == ERROR_SUCCESS ? WideToUtf8(data) : "(no value)";
}

std::string IniValue(const std::string& ini, const char* key) {
  wchar_t value[MAX_PATH] = {};
  GetPrivateProfileStringW(L".ShellClassInfo", Utf8ToWide(key).c_str(), L"", value, MAX_PATH,
                           Utf8ToWide(ini).c_str());
  return WideToUtf8(value);
}

DWORD Attributes(const std::string& path) {
  return GetFileAttributesW(Utf8ToWide(path).c_str());
}

// Every F5 that reaches the input queue of this desktop, wherever it goes.
int refreshKeysSeen = 0;
LRESULT CALLBACK WatchKeys(int code, WPARAM wParam, LPARAM lParam) {
  if (code == HC_ACTION && wParam == WM_KEYDOWN &&
      reinterpret_cast<const KBDLLHOOKSTRUCT*>(lParam)->vkCode == VK_F5)
    ++refreshKeysSeen;
  return CallNextHookEx(nullptr, code, wParam, lParam);
}

// The command line Explorer runs for a folder: the verb's command with the
// folder's path in place of %1.
std::string VerbCommandFor(const std::string& folder) {
  std::string command = VerbValue("", kVerbCommandKey);
  const std::size_t at = command.find("%1");
  if (at != std::string::npos) command.replace(at, 2, folder);
  return command;
}

class RunningPlumage {
 public:
  // plumage.exe with an argument text (none for an empty one).
  static RunningPlumage WithArgument(const std::string& argumentText) {
    std::string commandLine = "\"" + ProgramPath() + "\"";
    if (!argumentText.empty()) commandLine += " " + argumentText;
    return RunningPlumage(commandLine);
  }

  explicit RunningPlumage(std::string commandLine) {
    // As Explorer starts it: the command line in UTF-16.
    std::wstring wide = Utf8ToWide(commandLine);
    STARTUPINFOW startup{};
    startup.cb = sizeof startup;
    started_ = CreateProcessW(nullptr, wide.data(), nullptr, nullptr, FALSE, 0, nullptr, nullptr,
                              &startup, &process_) != 0;
  }
  RunningPlumage(RunningPlumage&& other) noexcept
      : process_(other.process_), started_(other.started_) {
    other.started_ = false;
  }
  RunningPlumage(const RunningPlumage&) = delete;
  RunningPlumage& operator=(const RunningPlumage&) = delete;
  ~RunningPlumage() {
    if (!started_) return;
    if (WaitForSingleObject(process_.hProcess, 0) == WAIT_TIMEOUT)
      TerminateProcess(process_.hProcess, 1);  // a failed test leaves no window behind
    CloseHandle(process_.hThread);
    CloseHandle(process_.hProcess);
  }
  bool started() const { return started_; }

  // The visible top-level windows of the program.
  std::vector<HWND> Windows() const {
    Search search{process_.dwProcessId, {}};
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
    Pump([&] { return WaitForSingleObject(process_.hProcess, 0) == WAIT_OBJECT_0; });
    DWORD code = 0;
    if (WaitForSingleObject(process_.hProcess, 0) != WAIT_OBJECT_0) return -1;
    GetExitCodeProcess(process_.hProcess, &code);
    return static_cast<int>(code);
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

  PROCESS_INFORMATION process_{};
  bool started_ = false;
};

class PlumageProgramTest : public ::testing::Test {
 protected:
  void SetUp() override {
    // Installed as the README tells a Windows user: plumagectl install.
    RunningPlumage install("\"" + WindowsPath(PLUMAGECTL_EXE) + "\" install");
    ASSERT_TRUE(install.started());
    ASSERT_EQ(install.WaitForEnd(), 0);
    ASSERT_NE(VerbValue(""), "(no key)");
    SetVerbValue("", "C&hange icon...");  // English, whatever an earlier run chose
    SetVerbValue("DefaultLibrary", library);
    SetVerbValue("NoWarning", " 0");
  }
  TempDir dir;
  std::string library = SystemFile("shell32.dll");
};

class PlumageOkTest : public PlumageProgramTest,
                      public ::testing::WithParamInterface<const char*> {};

// A folder named in the code page (blanks in its name), and one named in
// scripts Windows-1252 lacks, with a character beyond the BMP: both reach
// the program whole through the wide command line.
TEST_P(PlumageOkTest, WithAFolderOkWritesItsDescriptorRemindsRefreshesAndEnds) {
  const std::string folder = dir.str() + "\\" + GetParam();
  ASSERT_TRUE(CreateDirectoryW(Utf8ToWide(folder).c_str(), nullptr)) << folder;
  HHOOK watch = SetWindowsHookExA(WH_KEYBOARD_LL, &WatchKeys, GetModuleHandleA(nullptr), 0);
  ASSERT_NE(watch, nullptr) << "cannot watch the keyboard";
  refreshKeysSeen = 0;

  // As Explorer starts it: the verb's command, the path in place of %1;
  // the whole text after the program's name is the path, blanks and all.
  const std::string commandLine = VerbCommandFor(folder);
  EXPECT_EQ(commandLine, "\"" + ProgramPath() + "\" " + folder);
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
  const std::string ini = folder + "\\DESKTOP.INI";
  EXPECT_EQ(std::tuple(IniValue(ini, "IconFile"), IniValue(ini, "IconIndex"),
                       Attributes(ini) & (FILE_ATTRIBUTE_HIDDEN | FILE_ATTRIBUTE_SYSTEM),
                       Attributes(folder) & FILE_ATTRIBUTE_SYSTEM),
            std::tuple(library, "0", DWORD{FILE_ATTRIBUTE_HIDDEN | FILE_ATTRIBUTE_SYSTEM},
                       DWORD{FILE_ATTRIBUTE_SYSTEM}));
}

INSTANTIATE_TEST_SUITE_P(Names, PlumageOkTest,
                         ::testing::Values("Chess Games",
                                           "\xCE\xA6\xCE\xAC\xCE\xBA\xCE\xB5\xCE\xBB\xCE\xBF"
                                           "\xCF\x82 \xE5\x86\x99\xE7\x9C\x9F \xF0\x9F\x93\x81"));

TEST_F(PlumageProgramTest, WithoutAnArgumentOnlyTheSettingsDialogShowsAndItsOkWritesTheVerbKey) {
  auto plumage = RunningPlumage::WithArgument("");
  ASSERT_TRUE(plumage.started()) << ProgramPath();
  HWND settings = plumage.WaitForWindow("Plumage settings");
  ASSERT_NE(settings, nullptr) << "no settings dialog";
  EXPECT_EQ(plumage.Windows().size(), 1u) << "no picker";
  RunningPlumage::Click(settings, win32::OptionsWindow::kNoWarningBox);
  RunningPlumage::Click(settings, win32::OptionsWindow::kLang1);
  RunningPlumage::Click(settings, win32::OptionsWindow::kCmdOK);
  EXPECT_EQ(plumage.WaitForEnd(), 0);
  EXPECT_EQ(std::tuple(VerbValue("NoWarning"), VerbValue("")),
            std::tuple(" 1", "M&odifier l'ic\xC3\xB4ne..."));
}

}  // namespace
}  // namespace plumage::test
