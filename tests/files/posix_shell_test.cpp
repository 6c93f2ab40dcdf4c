// The shell's document opener, with a stand-in xdg-open on PATH that notes
// the arguments it was given.
#include <gtest/gtest.h>
#include <sys/stat.h>

#include <chrono>
#include <cstdlib>
#include <filesystem>
#include <string>
#include <thread>

#include "platform/posix/posix_system.h"
#include "support/temp_dir.h"

namespace plumage {
namespace {

class OpenerOnPath {
 public:
  OpenerOnPath() : oldPath_(std::getenv("PATH") ? std::getenv("PATH") : "") {
    const auto script = dir_ / "xdg-open";
    test::WriteFile(script, "#!/bin/sh\nfor a in \"$@\"; do printf '%s\\n' \"$a\"; done > \"$0.args.tmp\"\n"
                            "mv \"$0.args.tmp\" \"$0.args\"\n");
    chmod(script.c_str(), 0755);
    setenv("PATH", (dir_.str() + ":" + oldPath_).c_str(), 1);
  }
  ~OpenerOnPath() { setenv("PATH", oldPath_.c_str(), 1); }

  // The arguments of the one run, once it has written them (the opener runs
  // detached, so the test waits for its note rather than for the process).
  std::string Arguments() {
    const auto note = dir_ / "xdg-open.args";
    for (int i = 0; i < 500 && !std::filesystem::exists(note); ++i)
      std::this_thread::sleep_for(std::chrono::milliseconds(10));
    std::string args = std::filesystem::exists(note) ? test::ReadFile(note) : "(never ran)";
    std::filesystem::remove(note);
    return args;
  }

 private:
  test::TempDir dir_;
  std::string oldPath_;
};

TEST(PosixShell, OpensDocumentsWithoutTurningNamesIntoOptions) {
  OpenerOnPath opener;
  platform::PosixShell shell;
  shell.OpenDocument("https://plumage.example.org/help");
  EXPECT_EQ(opener.Arguments(), "https://plumage.example.org/help\n");
  shell.OpenDocument("--help");
  EXPECT_EQ(opener.Arguments(), "./--help\n");
  shell.OpenDocument("/home/user/Read me.txt");
  EXPECT_EQ(opener.Arguments(), "/home/user/Read me.txt\n");
}

}  // namespace
}  // namespace plumage
