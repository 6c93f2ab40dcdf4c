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

  // The command line's arguments in the program's own text (UTF-8), read
  // as UTF-16 (GetCommandLineW split as the C run-time splits it), so that
  // a folder named in any script is that folder. argv, in the ANSI code
  // page, is not used.
  static std::vector<std::string> Arguments(int argc, char** argv);

  // Standard output and error as UTF-8 while it lives: a console is
  // switched to the UTF-8 code page and given back its own at the end;
  // a file or pipe gets the UTF-8 bytes as they are.
  class Utf8Console {
   public:
    Utf8Console();
    ~Utf8Console();
    Utf8Console(const Utf8Console&) = delete;
    Utf8Console& operator=(const Utf8Console&) = delete;

   private:
    unsigned int previous_ = 0;
  };

  // The folder that holds the running executable, without a closing
  // backslash.
  static std::string ExecutableFolder() { return Win32System::ExecutableFolder(); }
};

}  // namespace plumage::platform
