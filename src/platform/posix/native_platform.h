// The Linux platform as one object: the concrete implementations, owned
// here, and the Platform that hands them to the program. Front ends include
// this header (or its Windows twin) and never name the classes themselves.
#pragma once

#include <filesystem>
#include <string>
#include <vector>

#include "platform/portable/file_icon_source.h"
#include "platform/platform.h"
#include "platform/posix/png_codec_libpng.h"
#include "platform/posix/posix_desktop.h"
#include "platform/posix/posix_file_system.h"
#include "platform/posix/posix_files.h"
#include "platform/posix/posix_profile.h"
#include "platform/posix/posix_system.h"
#include "platform/posix/registry_store.h"

namespace plumage::platform {

class NativePlatform {
 public:
  NativePlatform() : registry(PosixRegistry::DefaultPath()) {}
  NativePlatform(const NativePlatform&) = delete;
  NativePlatform& operator=(const NativePlatform&) = delete;

  PosixRegistry registry;
  PosixSystem system;
  PosixShell shell;
  PosixFileSystem files;
  PosixPrivateProfile profile;
  LibPngCodec png;
  FileIconSource icons{png};
  PosixDesktop desktop{system, icons, png};
  Platform os{&registry, &system, &shell, &files, &profile, &icons, &desktop};

  // The command line's arguments; Linux hands them over in UTF-8 already.
  static std::vector<std::string> Arguments(int argc, char** argv) {
    return std::vector<std::string>(argv, argv + argc);
  }

  // The folder that holds the running executable.
  static std::string ExecutableFolder() {
    std::error_code ec;
    auto exe = std::filesystem::read_symlink("/proc/self/exe", ec);
    return ec ? std::string(".") : exe.parent_path().string();
  }
};

}  // namespace plumage::platform
