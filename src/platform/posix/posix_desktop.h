// IDesktop for Linux: the file managers' context-menu entries and the
// folder icon they show (see menu_entries.h, folder_icon.h, gio_metadata.h).
#pragma once

#include <functional>
#include <string>

#include "platform/desktop.h"
#include "platform/portable/file_icon_source.h"
#include "formats/png_codec.h"
#include "platform/posix/menu_entries.h"
#include "platform/system.h"

namespace plumage::platform {

// How the missing session bus is told: a notice rather than a warning, since
// without a session there is no file manager to tell.
inline constexpr const char* kNoSessionBusNotice = "no session bus: ";

// The folder of the program folder that holds the icons exported for the
// file managers.
inline constexpr const char* kFolderIconsFolder = "FolderIcons";

class PosixDesktop : public IDesktop {
 public:
  PosixDesktop(ISystem& system, FileIconSource& icons, formats::IPngCodec& png);

  void VerbCaptionChanged(const std::string& caption) override;
  void FolderIconSet(const std::string& folder, const std::string& iconFile,
                     std::int32_t index) override;
  void FolderIconCleared(const std::string& folder) override;

  // The menu entries, for plumagectl install and uninstall.
  MenuEntries Menu();

  // The plumage the entries start: the one beside the running program, else
  // plumage from PATH.
  static std::string PlumageProgram();

  // Where problems are told; standard error by default. Nothing here stops
  // the program: the descriptor is written whatever happens on this side.
  std::function<void(const std::string&)> report;
  // The places of the menu entries (the tests point them into a folder).
  MenuPlaces places = MenuPlaces::FromEnvironment();

 private:
  // GIO's metadata, set or removed; a missing bus or service is told once.
  void SetMetadata(const std::string& folder, const std::string& uri);
  void Tell(const std::string& problem);

  ISystem& system_;
  FileIconSource& icons_;
  formats::IPngCodec& png_;
  bool metadataUnavailable_ = false;
};

}  // namespace plumage::platform
