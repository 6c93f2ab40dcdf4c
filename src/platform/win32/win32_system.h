// The process and the desktop through kernel32, user32, shell32 and winmm.
#pragma once

#include <string>

#include "platform/system.h"

namespace plumage::platform {

class Win32System : public ISystem {
 public:
  Win32System() = default;
  ~Win32System() override;
  Win32System(const Win32System&) = delete;
  Win32System& operator=(const Win32System&) = delete;

  // The running executable's folder (GetModuleFileNameW), without a
  // closing backslash.
  static std::string ExecutableFolder();
  // The name of the mutex whose owner is the running copy.
  static constexpr const wchar_t* kInstanceMutex = L"Plumage.RunningCopy";

  // Whether this process has an administrator's rights (elevated where
  // Windows splits them off).
  static bool ProcessIsElevated();

  // The executable's folder with a backslash, its Icons folder created.
  std::string ProgramFolder() override;
  std::string ExecutableName() override;
  // A named mutex, created by the first copy and held until it ends.
  bool PreviousInstanceRunning() override;
  // timeGetTime of winmm.
  std::uint32_t TickCount() override;
  long LastError() override;
  std::string ErrorMessage(long code) override;
  // SHGetFolderPathW(CSIDL_LOCAL_APPDATA).
  std::string LocalAppDataFolder() override;
  bool ReadsFolderDescriptors() override { return true; }

 private:
  std::string folder_;
  void* mutex_ = nullptr;  // HANDLE
  bool instanceChecked_ = false;
  bool another_ = false;
};

class Win32Shell : public IShell {
 public:
  // ShellExecuteW(GetDesktopWindow(), "Open", target, ...): true when it
  // started something.
  bool OpenDocument(const std::string& target) override;
  // F5 down and up through SendInput.
  void SendRefreshKey() override;
  // shell32's function under ordinal 72, looked up at run time.
  void UpdateShellImageCache(const std::string& iconFile, std::int32_t index) override;
  // SendMessageTimeoutW(HWND_BROADCAST, WM_SETTINGCHANGE,
  // SPI_SETNONCLIENTMETRICS, 0, SMTO_NORMAL, timeoutMs, &result).
  void BroadcastSettingChange(std::uint32_t timeoutMs) override;
  // SHChangeNotify: SHCNE_UPDATEITEM for the descriptor, SHCNE_UPDATEDIR
  // for the folder (by path, flushed before the call returns).
  void NotifyFolderChanged(const std::string& folder, const std::string& descriptor) override;
  // SHChangeNotify(SHCNE_ASSOCCHANGED).
  void NotifyIconsChanged() override;
};

}  // namespace plumage::platform
