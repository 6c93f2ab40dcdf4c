#include "platform/win32/win32_system.h"

#include <windows.h>
// After windows.h, which they need.
#include <mmsystem.h>
#include <shellapi.h>
#include <shlobj.h>

#include "platform/win32/win32_text.h"

namespace plumage::platform {

Win32System::~Win32System() {
  if (mutex_) CloseHandle(static_cast<HANDLE>(mutex_));
}

namespace {

// The running executable's full path. A path longer than MAX_PATH is cut
// by a buffer of that size; a larger one is tried before giving up.
std::wstring ModulePath() {
  std::wstring path(MAX_PATH, L'\0');
  for (int attempt = 0; attempt < 4; ++attempt) {
    DWORD n = GetModuleFileNameW(nullptr, path.data(), static_cast<DWORD>(path.size()));
    if (n == 0) return {};
    if (n < path.size()) {
      path.resize(n);
      return path;
    }
    path.assign(path.size() * 4, L'\0');
  }
  return {};
}

}  // namespace

std::string Win32System::ExecutableFolder() {
  std::wstring path = ModulePath();
  std::wstring::size_type slash = path.find_last_of(L"\\/");
  if (slash == std::wstring::npos) return ".";
  path.resize(slash);
  // The root of a drive keeps its backslash ("C:\", not "C:").
  if (path.size() == 2 && path[1] == L':') path.push_back(L'\\');
  return WideToUtf8(path);
}

std::string Win32System::ProgramFolder() {
  if (folder_.empty()) {
    folder_ = ExecutableFolder();
    if (folder_.back() != '\\') folder_.push_back('\\');
    CreateDirectoryW(Utf8ToWide(folder_ + "Icons").c_str(), nullptr);
  }
  return folder_;
}

std::string Win32System::ExecutableName() {
  std::wstring name = ModulePath();
  if (auto slash = name.find_last_of(L"\\/"); slash != std::wstring::npos) name.erase(0, slash + 1);
  if (auto dot = name.rfind(L'.'); dot != std::wstring::npos && dot > 0) name.resize(dot);
  return name.empty() ? std::string("plumage") : WideToUtf8(name);
}

bool Win32System::ProcessIsElevated() {
  return IsUserAnAdmin() != FALSE;
}

bool Win32System::PreviousInstanceRunning() {
  if (instanceChecked_) return another_;
  instanceChecked_ = true;
  HANDLE mutex = CreateMutexW(nullptr, FALSE, kInstanceMutex);
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

std::string Win32System::LocalAppDataFolder() {
  wchar_t path[MAX_PATH] = {};
  if (FAILED(SHGetFolderPathW(nullptr, CSIDL_LOCAL_APPDATA, nullptr, SHGFP_TYPE_CURRENT, path)))
    return {};
  return WideToUtf8(path);
}

bool Win32Shell::OpenDocument(const std::string& target) {
  // ShellExecuteW answers a value above 32 when it started something.
  const auto started = reinterpret_cast<INT_PTR>(ShellExecuteW(
      GetDesktopWindow(), L"Open", Utf8ToWide(target).c_str(), nullptr, nullptr, SW_SHOWNORMAL));
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
  HMODULE shell32 = GetModuleHandleW(L"shell32.dll");
  if (!shell32) shell32 = LoadLibraryW(L"shell32.dll");
  if (!shell32) return;
  // Shell_GetCachedImageIndex: (path, index, flags), the path as UTF-16
  // text. Exported by number only.
  using CachedImageIndex = int(WINAPI*)(const wchar_t*, int, UINT);
  auto call = reinterpret_cast<CachedImageIndex>(
      reinterpret_cast<void*>(GetProcAddress(shell32, MAKEINTRESOURCEA(72))));
  if (!call) return;
  const std::wstring wide = Utf8ToWide(iconFile);
  call(wide.c_str(), index, 0);
}

void Win32Shell::BroadcastSettingChange(std::uint32_t timeoutMs) {
  DWORD_PTR result = 0;
  SendMessageTimeoutW(HWND_BROADCAST, WM_SETTINGCHANGE, SPI_SETNONCLIENTMETRICS, 0, SMTO_NORMAL,
                      timeoutMs, &result);
}

void Win32Shell::NotifyFolderChanged(const std::string& folder, const std::string& descriptor) {
  const std::wstring file = Utf8ToWide(descriptor);
  const std::wstring directory = Utf8ToWide(folder);
  // SHCNF_FLUSH: the shell has had the news when the call returns, so that
  // the F5 that follows finds the windows up to date.
  SHChangeNotify(SHCNE_UPDATEITEM, SHCNF_PATHW | SHCNF_FLUSH, file.c_str(), nullptr);
  SHChangeNotify(SHCNE_UPDATEDIR, SHCNF_PATHW | SHCNF_FLUSH, directory.c_str(), nullptr);
}

void Win32Shell::NotifyIconsChanged() {
  SHChangeNotify(SHCNE_ASSOCCHANGED, SHCNF_IDLIST | SHCNF_FLUSH, nullptr, nullptr);
}

}  // namespace plumage::platform
