// What the program asks of the process and the desktop around it.
#pragma once

#include <cstdint>
#include <string>

namespace plumage::platform {

class ISystem {
 public:
  virtual ~ISystem() = default;

  // The program folder (icons, temporary files, help files), created with
  // its Icons folder when missing; always ends in the path separator.
  virtual std::string ProgramFolder() = 0;

  // The executable's name without folder or extension ("plumage"), the
  // source of the image engine's run-time errors.
  virtual std::string ExecutableName() = 0;

  // True when another copy of the program runs. The first copy to ask keeps
  // the claim until it ends.
  virtual bool PreviousInstanceRunning() = 0;

  // Milliseconds from a monotonic counter (GetTickCount).
  virtual std::uint32_t TickCount() = 0;

  // The last error code of the system and its message text (FormatMessage).
  virtual long LastError() = 0;
  virtual std::string ErrorMessage(long code) = 0;

  // The user's local application data folder (CSIDL_LOCAL_APPDATA), where
  // the shell of Windows Vista and later keeps its icon cache files; empty
  // where there is no such shell.
  virtual std::string LocalAppDataFolder() { return {}; }

  // True where this system's own shell reads the folders' DESKTOP.INI
  // (Windows): a full local path written there names a file its reader
  // can open. Elsewhere the readers are other machines.
  virtual bool ReadsFolderDescriptors() { return false; }
};

class IShell {
 public:
  virtual ~IShell() = default;

  // ShellExecute with the verb "Open": opens a document or address. False
  // when it is known that nothing could open it (no program for it, or the
  // opener said it failed); true when it opened or may still be opening.
  virtual bool OpenDocument(const std::string& target) = 0;

  // One press of F5 to the window that has the keyboard focus.
  virtual void SendRefreshKey() = 0;

  // Enters an icon (file and index) into the shell's cache of icon images.
  virtual void UpdateShellImageCache(const std::string& iconFile, std::int32_t index) = 0;

  // Announces a change of the shell's icon metrics to every top-level window
  // (WM_SETTINGCHANGE / SPI_SETNONCLIENTMETRICS, at most timeoutMs per window).
  virtual void BroadcastSettingChange(std::uint32_t timeoutMs) = 0;

  // Tells the shell that a folder's descriptor was written or removed (the
  // file's item and the folder's contents), so that every window showing
  // the folder, the desktop too, draws its icon afresh. A platform whose
  // file managers follow on their own does nothing.
  virtual void NotifyFolderChanged(const std::string& /*folder*/,
                                   const std::string& /*descriptor*/) {}

  // Tells the shell that icons may have changed everywhere, after its icon
  // cache was rebuilt.
  virtual void NotifyIconsChanged() {}
};

}  // namespace plumage::platform
