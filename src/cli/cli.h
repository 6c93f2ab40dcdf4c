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
#include "platform/platform.h"
#ifdef _WIN32
#include "platform/win32/native_platform.h"
#else
#include "platform/posix/native_platform.h"
#endif

namespace plumage::cli {

// What plumagectl's exit status says.
inline constexpr int kExitDone = 0;
inline constexpr int kExitError = 1;    // nothing was changed; a message said why
inline constexpr int kExitUsage = 2;    // the command line was wrong
inline constexpr int kExitWarning = 3;  // done, but something beside it was not (see the warning)
inline constexpr const char* kExitStatusHelp =
    "Exit status: 0 done; 1 error, nothing was changed; 2 usage; 3 done with a warning (an "
    "attribute could not be stored, or the Linux file managers could not be told).";

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
  // When set, exclamation messages are kept here instead of printed, for a
  // caller that prints them with their reason on one line.
  std::vector<std::string>* held = nullptr;
  bool endRequested = false;
  bool quiet = false;   // notices are not printed
};

class Context {
 public:
  Context();
  platform::NativePlatform native;
  // The subcommands reach the implementations under these names.
  decltype(native.registry)& registry = native.registry;
  decltype(native.system)& system = native.system;
  decltype(native.shell)& shell = native.shell;
  decltype(native.files)& files = native.files;
  decltype(native.profile)& profile = native.profile;
  decltype(native.png)& png = native.png;
  decltype(native.icons)& icons = native.icons;
#ifndef _WIN32
  decltype(native.desktop)& desktop = native.desktop;  // the Linux file managers
#endif
  platform::Platform& os = native.os;
  Program program;
  ConsoleUserInterface ui;
  int exitCode = 0;
  bool warned = false;  // a warning was printed: 3 unless the command failed

  // Prints "plumagectl: <message>" on standard error and sets a failing exit.
  void Fail(const std::string& message);
};

using Registrar = std::function<void(CLI::App& app, Context& ctx)>;
// Called from a static initialiser in each subcommand's file.
bool RegisterCommand(Registrar registrar);

// The folder as the picker gets it from the file manager: a full path.
std::string FullPath(const std::string& text);
// Starts a run on a folder with the settings a picker would have (a
// missing verb key is no fault: the defaults serve).
void BeginFolderRun(Context& ctx, const std::string& folder);

// The folder that holds the running plumagectl (and plumage beside it).
std::string ExecutableFolder();

}  // namespace plumage::cli
