// plumagectl's frame: the platform, the program-wide values and a console
// user interface, shared by the subcommands. Each subcommand file registers
// itself, so adding one touches no other file.
#pragma once

#include <CLI/CLI.hpp>
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "app/program.h"
#include "app/user_interface.h"
#include "platform/icons/file_icon_source.h"
#include "platform/platform.h"
#include "platform/posix/png_codec_libpng.h"
#include "platform/posix/posix_desktop.h"
#include "platform/posix/posix_file_system.h"
#include "platform/posix/posix_profile.h"
#include "platform/posix/posix_system.h"
#include "platform/posix/registry_store.h"

namespace plumage::cli {

// Messages go to the terminal: faults (exclamation) on standard error,
// notices on standard output. Nothing waits for an answer.
class ConsoleUserInterface : public IUserInterface {
 public:
  void MessageBox(const std::string& text, const std::string& title, MessageIcon icon) override;
  void SetWaitCursor(bool) override {}
  std::optional<std::string> OpenFile(const OpenFileOptions&) override { return std::nullopt; }
  void Beep() override {}
  void DoEvents() override {}
  void EndProgram() override { endRequested = true; }
  void ShowOptions() override {}
  void ShowAbout() override {}
  void ShowTransformIcon(ChangeIcon&) override {}

  int errorsShown = 0;  // exclamation messages: the command failed
  bool endRequested = false;
  bool quiet = false;   // notices are not printed
};

class Context {
 public:
  Context();
  platform::PosixRegistry registry;
  platform::PosixSystem system;
  platform::PosixShell shell;
  platform::PosixFileSystem files;
  platform::PosixPrivateProfile profile;
  platform::LibPngCodec png;
  platform::FileIconSource icons{png};
  platform::PosixDesktop desktop{system, icons, png};
  platform::Platform os;
  Program program;
  ConsoleUserInterface ui;
  int exitCode = 0;

  // Prints "plumagectl: <message>" on standard error and sets a failing exit.
  void Fail(const std::string& message);
};

using Registrar = std::function<void(CLI::App& app, Context& ctx)>;
// Called from a static initialiser in each subcommand's file.
bool RegisterCommand(Registrar registrar);

// The folder that holds the running plumagectl (and plumage beside it).
std::string ExecutableFolder();

}  // namespace plumage::cli
