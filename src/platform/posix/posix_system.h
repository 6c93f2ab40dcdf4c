// The Linux side of ISystem and IShell.
#pragma once

#include <string>

#include "platform/system.h"

namespace plumage::platform {

class PosixSystem : public ISystem {
 public:
  PosixSystem() = default;
  ~PosixSystem() override;
  PosixSystem(const PosixSystem&) = delete;
  PosixSystem& operator=(const PosixSystem&) = delete;

  // $PLUMAGE_HOME, else $XDG_DATA_HOME/plumage/, else ~/.local/share/plumage/.
  static std::string DefaultProgramFolder();
  // $XDG_RUNTIME_DIR/plumage.lock, else /tmp/plumage-<uid>.lock.
  static std::string InstanceLockPath();

  std::string ProgramFolder() override;
  std::string ExecutableName() override;
  bool PreviousInstanceRunning() override;
  std::uint32_t TickCount() override;
  long LastError() override;
  std::string ErrorMessage(long code) override;

 private:
  std::string folder_;
  int instanceFd_ = -1;
  bool instanceChecked_ = false;
  bool another_ = false;
};

class PosixShell : public IShell {
 public:
  // xdg-open, started without a shell and not waited for.
  bool OpenDocument(const std::string& target) override;
  // F5 through XTest when an X display is there; nothing elsewhere.
  void SendRefreshKey() override;
  // Linux file managers keep no such cache: nothing to do.
  void UpdateShellImageCache(const std::string&, std::int32_t) override {}
  // No window on Linux listens for this announcement: nothing to do, at once.
  void BroadcastSettingChange(std::uint32_t) override {}
};

}  // namespace plumage::platform
