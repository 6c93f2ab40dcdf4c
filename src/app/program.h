// The program-wide values of one run, and the platform they run on.
#pragma once

#include <cstdint>
#include <string>

#include "platform/platform.h"
#include "app/registry_manager.h"

namespace plumage {

struct Program {
  explicit Program(platform::Platform& platform) : os(platform), Registry(*platform.registry) {}

  platform::Platform& os;
  RegistryManager Registry;  // holds the shared CurrentKey

  // The command line's whole argument text: the folder path, as it stands.
  std::string ArgumentText;
  // The part of the argument text after its last path separator.
  std::string FolderName;
  // The Windows directory (on Linux, see FindWindowsDirectory), ending in a
  // separator.
  std::string WindowsDirectory;

  // The stored settings, loaded once by LoadSettings.
  std::int16_t Language = 0;  // 0 English, 1 French
  std::string DefaultLibrary;
  std::int16_t NoWarning = 0;  // 1: no refresh reminder

  // The application's help file (program folder + HLPEN.HLP or HLPFR.HLP).
  std::string HelpFile;
};

}  // namespace plumage
