// The shell's document opener, with a stand-in xdg-open on PATH that notes
// the arguments it was given and answers `exitCode` (xdg-open answers 3
// when no program can open the document).
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

class ShellOpener : public ::testing::TestWithParam<int> {
 protected:
  void SetUp() override {
    const auto script = dir_ / "xdg-open";
    test::WriteFile(script,
                    "#!/bin/sh\nfor a in \"$@\"; do printf '%s\\n' \"$a\"; done > \"$0.tmp\"\n"
                    "mv \"$0.tmp\" \"$0.args\"\nexit " +
                        std::to_string(GetParam()) + "\n");
    chmod(script.c_str(), 0755);
    setenv("PATH", (dir_.str() + ":" + oldPath_).c_str(), 1);
  }
  void TearDown() override { setenv("PATH", oldPath_.c_str(), 1); }

  // Opens `target` and gives the arguments of that one run, once it has
  // written them (the opener runs detached, so the test waits for its note
  // rather than for the process).
  std::string Open(const std::string& target) {
    opened = shell.OpenDocument(target);
    const auto note = dir_ / "xdg-open.args";
    for (int i = 0; i < 500 && !std::filesystem::exists(note); ++i)
      std::this_thread::sleep_for(std::chrono::milliseconds(10));
    std::string args = std::filesystem::exists(note) ? test::ReadFile(note) : "(never ran)";
    std::filesystem::remove(note);
    return args;
  }

  platform::PosixShell shell;
  bool opened = false;

 private:
  test::TempDir dir_;
  std::string oldPath_ = std::getenv("PATH") ? std::getenv("PATH") : "";
};

// A name that begins with '-' must not become one of xdg-open's options.
TEST_P(ShellOpener, OpensDocumentsWithoutTurningNamesIntoOptions) {
  EXPECT_EQ(Open("https://plumage.example.org/help"), "https://plumage.example.org/help\n");
  EXPECT_EQ(opened, GetParam() == 0) << "xdg-open's verdict is passed on";
  EXPECT_EQ(Open("--help"), "./--help\n");
  EXPECT_EQ(Open("/home/user/Read me.txt"), "/home/user/Read me.txt\n");
}

INSTANTIATE_TEST_SUITE_P(ExitCode, ShellOpener, ::testing::Values(0, 3));

}  // namespace
}  // namespace plumage
