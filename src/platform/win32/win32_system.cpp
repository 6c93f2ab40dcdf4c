#include "platform/win32/win32_system.h"

#include <windows.h>
#include <mmsystem.h>
#include <shellapi.h>

#include "platform/win32/win32_text.h"

namespace plumage::platform {

Win32System::~Win32System() {
  if (mutex_) CloseHandle(static_cast<HANDLE>(mutex_));
}

std::string Win32System::ExecutableFolder() {
  // A path longer than MAX_PATH is cut by the ANSI call; a larger buffer
  // is tried before giving up.
  std::string path(MAX_PATH, '\0');
  for (int attempt = 0; attempt < 4; ++attempt) {
    DWORD n = GetModuleFileNameA(nullptr, path.data(), static_cast<DWORD>(path.size()));
    if (n == 0) return ".";
    if (n < path.size()) {
      path.resize(n);
      break;
    }
    path.assign(path.size() * 4, '\0');
  }
  std::string::size_type slash = path.find_last_of("\\/");
  if (slash == std::string::npos) return ".";
  path.resize(slash);
  // The root of a drive keeps its backslash ("C:\", not "C:").
  if (path.size() == 2 && path[1] == ':') path.push_back('\\');
  return SystemAnsiToUtf8(path);
}

std::string Win32System::ProgramFolder() {
  if (folder_.empty()) {
    folder_ = ExecutableFolder();
    if (folder_.back() != '\\') folder_.push_back('\\');
    CreateDirectoryA(Utf8ToSystemAnsi(folder_ + "Icons").c_str(), nullptr);
  }
  return folder_;
}

std::string Win32System::ExecutableName() {
  char path[MAX_PATH + 1] = {};
  DWORD n = GetModuleFileNameA(nullptr, path, MAX_PATH);
  if (n == 0 || n >= MAX_PATH) return "plumage";
  std::string name = path;
  if (auto slash = name.find_last_of("\\/"); slash != std::string::npos) name.erase(0, slash + 1);
  if (auto dot = name.rfind('.'); dot != std::string::npos && dot > 0) name.resize(dot);
  return name.empty() ? std::string("plumage") : SystemAnsiToUtf8(name);
}

bool Win32System::PreviousInstanceRunning() {
  if (instanceChecked_) return another_;
  instanceChecked_ = true;
  HANDLE mutex = CreateMutexA(nullptr, FALSE, kInstanceMutex);
  DWORD code = GetLastError();
  if (!mutex) {
    // A mutex of that name that this user may not open belongs to a copy
    // of another user's session: that is not a copy running here.
    return false;
  }
  if (code == ERROR_ALREADY_EXISTS) {
    another_ = true;
    CloseHandle(mutex);
    return true;
  }
  mutex_ = mutex;  // held until this copy ends
  return false;
}

std::uint32_t Win32System::TickCount() { return timeGetTime(); }

long Win32System::LastError() { return static_cast<long>(GetLastError()); }

std::string Win32System::ErrorMessage(long code) {
  return SystemErrorText(static_cast<unsigned long>(code));
}

bool Win32Shell::OpenDocument(const std::string& target) {
  // ShellExecuteA answers a value above 32 when it started something.
  const auto started = reinterpret_cast<INT_PTR>(ShellExecuteA(
      GetDesktopWindow(), "Open", Utf8ToSystemAnsi(target).c_str(), nullptr, nullptr,
      SW_SHOWNORMAL));
  return started > 32;
}

void Win32Shell::SendRefreshKey() {
  INPUT keys[2] = {};
  keys[0].type = INPUT_KEYBOARD;
  keys[0].ki.wVk = VK_F5;
  keys[1].type = INPUT_KEYBOARD;
  keys[1].ki.wVk = VK_F5;
  keys[1].ki.dwFlags = KEYEVENTF_KEYUP;
  SendInput(2, keys, sizeof(INPUT));
}

void Win32Shell::UpdateShellImageCache(const std::string& iconFile, std::int32_t index) {
  HMODULE shell32 = GetModuleHandleA("shell32.dll");
  if (!shell32) shell32 = LoadLibraryA("shell32.dll");
  if (!shell32) return;
  // Shell_GetCachedImageIndex: (path, index, flags). Exported by number only.
  using CachedImageIndex = int(WINAPI*)(const void*, int, UINT);
  auto call = reinterpret_cast<CachedImageIndex>(
      reinterpret_cast<void*>(GetProcAddress(shell32, MAKEINTRESOURCEA(72))));
  if (!call) return;
  // The NT family's shell32 reads the path as UTF-16 text; handing it ANSI
  // bytes there would name another file and could read past the text's
  // end while looking for a two-byte NUL. The Windows 95 family reads ANSI.
  if (GetVersion() < 0x80000000u) {
    std::wstring wide = Utf8ToWide(iconFile);
    call(wide.c_str(), index, 0);
  } else {
    std::string ansi = Utf8ToSystemAnsi(iconFile);
    call(ansi.c_str(), index, 0);
  }
}

void Win32Shell::BroadcastSettingChange(std::uint32_t timeoutMs) {
  DWORD_PTR result = 0;
  SendMessageTimeoutA(HWND_BROADCAST, WM_SETTINGCHANGE, SPI_SETNONCLIENTMETRICS, 0, SMTO_NORMAL,
                      timeoutMs, &result);
}

}  // namespace plumage::platform
