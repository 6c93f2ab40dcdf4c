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
  // `exitCode` is what the stand-in answers, as xdg-open answers 3 when no
  // program can open the document.
  explicit OpenerOnPath(int exitCode = 0)
      : oldPath_(std::getenv("PATH") ? std::getenv("PATH") : "") {
    const auto script = dir_ / "xdg-open";
    test::WriteFile(script, "#!/bin/sh\nfor a in \"$@\"; do printf '%s\\n' \"$a\"; done > \"$0.args.tmp\"\n"
                            "mv \"$0.args.tmp\" \"$0.args\"\nexit " +
                                std::to_string(exitCode) + "\n");
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
  EXPECT_TRUE(shell.OpenDocument("https://plumage.example.org/help"));
  EXPECT_EQ(opener.Arguments(), "https://plumage.example.org/help\n");
  shell.OpenDocument("--help");
  EXPECT_EQ(opener.Arguments(), "./--help\n");
  shell.OpenDocument("/home/user/Read me.txt");
  EXPECT_EQ(opener.Arguments(), "/home/user/Read me.txt\n");
}

TEST(PosixShell, SaysWhenNothingCouldOpenTheDocument) {
  platform::PosixShell shell;
  {
    OpenerOnPath failing(3);
    EXPECT_FALSE(shell.OpenDocument("https://plumage.example.org/"));
    EXPECT_EQ(failing.Arguments(), "https://plumage.example.org/\n");
  }
  // No xdg-open at all.
  test::TempDir empty;
  const std::string oldPath = std::getenv("PATH") ? std::getenv("PATH") : "";
  setenv("PATH", empty.str().c_str(), 1);
  const bool opened = shell.OpenDocument("https://plumage.example.org/");
  setenv("PATH", oldPath.c_str(), 1);
  EXPECT_FALSE(opened);
}

}  // namespace
}  // namespace plumage
