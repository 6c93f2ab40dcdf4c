// plumagectl: Plumage for scripts and administrators. The same program code
// as the plumage window, driven from the command line.
#include <cstdio>

#include "cli/cli.h"
#include "version.h"

namespace plumage::cli {
namespace {
std::vector<Registrar>& Registrars() {
  static std::vector<Registrar> all;
  return all;
}
}  // namespace

bool RegisterCommand(Registrar registrar) {
  Registrars().push_back(std::move(registrar));
  return true;
}

std::string ExecutableFolder() { return platform::NativePlatform::ExecutableFolder(); }

Context::Context() : program(os) {
#ifndef _WIN32
  // What the Linux file managers could not be told is a warning: the
  // command did its work, and ends with the warning's status.
  desktop.report = [this](const std::string& problem) {
    if (problem.rfind(platform::kNoSessionBusNotice, 0) == 0) {
      std::fprintf(stderr, "plumagectl: %s\n", problem.c_str());
      return;
    }
    std::fprintf(stderr, "plumagectl: warning: %s\n", problem.c_str());
    warned = true;
  };
#endif
}

void Context::Fail(const std::string& message) {
  std::fprintf(stderr, "plumagectl: %s\n", message.c_str());
  exitCode = 1;
}

void ConsoleUserInterface::MessageBox(const std::string& text, const std::string& title,
                                      MessageIcon icon) {
  std::string shown = text;
  for (auto& c : shown)
    if (c == '\r') c = '\n';
  if (icon == MessageIcon::Exclamation) {
    // One error, one line: a message box's lines join with a blank.
    for (auto& c : shown)
      if (c == '\n') c = ' ';
    ++errorsShown;
    if (held) {
      held->push_back(shown);
      return;
    }
    std::fprintf(stderr, "plumagectl: %s %s\n", title.c_str(), shown.c_str());
  } else if (!quiet) {
    std::printf("%s\n", shown.c_str());
  }
}

}  // namespace plumage::cli

int main(int argc, char** argv) {
  using namespace plumage::cli;
#ifdef _WIN32
  // The program's text is UTF-8; so is what it prints, on a console too.
  plumage::platform::NativePlatform::Utf8Console console;
#endif
  Context ctx;
  CLI::App app{"Plumage: gives a folder an icon of its own. plumagectl does from a terminal what "
               "the plumage window does."};
  app.set_version_flag("--version", std::to_string(plumage::kVersionMajor) + "." +
                                        std::to_string(plumage::kVersionMinor) + "." +
                                        std::to_string(plumage::kVersionRevision));
  app.require_subcommand(1);
  app.footer(kExitStatusHelp);
  // Options begin with '-' everywhere; a path that begins with '/' (or a
  // Windows one such as /Games) is an argument, not a "/option".
  app.allow_windows_style_options(false);
  for (auto& registrar : Registrars()) registrar(app, ctx);
  try {
    // The arguments in the program's own text (UTF-8).
    std::vector<std::string> args = plumage::platform::NativePlatform::Arguments(argc, argv);
    std::vector<const char*> pointers;
    for (const auto& a : args) pointers.push_back(a.c_str());
    app.parse(static_cast<int>(pointers.size()), pointers.data());
  } catch (const CLI::ParseError& e) {
    // One line for a usage error; --help and --version print in full.
    if (e.get_exit_code() == 0) return app.exit(e);
    std::fprintf(stderr, "plumagectl: %s (see plumagectl --help)\n", e.what());
    return kExitUsage;
  }
  if (ctx.exitCode == kExitDone && ctx.warned) return kExitWarning;
  return ctx.exitCode;
}
