// The Windows platform as one object: the Win32 implementations, owned
// here, and the Platform that hands them to the program. Front ends include
// this header (or its Linux twin) and never name the classes themselves.
#pragma once

#include <string>
#include <vector>

#include "platform/platform.h"
#include "platform/win32/wic_png_codec.h"
#include "platform/win32/win32_file_system.h"
#include "platform/win32/win32_files.h"
#include "platform/win32/win32_icon_source.h"
#include "platform/win32/win32_profile.h"
#include "platform/win32/win32_registry.h"
#include "platform/win32/win32_system.h"
#include "platform/win32/win32_text.h"

namespace plumage::platform {

class NativePlatform {
 public:
  NativePlatform() = default;
  NativePlatform(const NativePlatform&) = delete;
  NativePlatform& operator=(const NativePlatform&) = delete;

  Win32Registry registry;
  Win32System system;
  Win32Shell shell;
  Win32FileSystem files;
  Win32PrivateProfile profile;
  WicPngCodec png;
  Win32IconSource icons;
  // No desktop integration: Explorer reads the verb key and DESKTOP.INI.
  Platform os{&registry, &system, &shell, &files, &profile, &icons};

  // The command line's arguments, from the ANSI code page into the
  // program's own text (UTF-8), so that "C:\Icônes" names that folder.
  static std::vector<std::string> Arguments(int argc, char** argv) {
    std::vector<std::string> args;
    for (int i = 0; i < argc; ++i) args.push_back(SystemAnsiToUtf8(argv[i]));
    return args;
  }

  // The folder that holds the running executable, without a closing
  // backslash.
  static std::string ExecutableFolder() { return Win32System::ExecutableFolder(); }
};

}  // namespace plumage::platform
