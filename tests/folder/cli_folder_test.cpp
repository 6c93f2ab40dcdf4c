// plumagectl show / set / reset, run as a separate program against a
// temporary folder and a settings store of its own.
#include "folder_fixture.h"

namespace plumage::test {
namespace {

class CliFolderTest : public ::testing::Test {
 protected:
  ProcessResult Ctl(std::vector<std::string> args) {
    args.insert(args.begin(), PLUMAGECTL_PATH);
    return RunProcess(args, {"PLUMAGE_CONFIG=" + (dir / "config").string(),
                             "PLUMAGE_HOME=" + (dir / "home").string(), "DISPLAY="});
  }
  TempDir dir;
  fs::path folder = dir / "My Games";
  fs::path ini = folder / "DESKTOP.INI";
};

TEST_F(CliFolderTest, SetShowReset) {
  fs::create_directory(folder);
  ProcessResult set = Ctl({"set", "--no-copy", "--force", folder.string(), "/icons/game.ico", "2"});
  // Written; the Linux file managers have no such icon to show: a warning.
  EXPECT_EQ(set.exitCode, 3) << set.err;
  EXPECT_EQ(ReadFile(ini), "[.ShellClassInfo]\r\nIconFile=/icons/game.ico\r\nIconIndex=2\r\n");
  EXPECT_EQ(GetfattrValue(ini.string(), "user.DOSATTRIB"), "0x6");
  EXPECT_EQ(GetfattrValue(folder.string(), "user.DOSATTRIB"), "0x4");

  ProcessResult show = Ctl({"show", folder.string()});
  EXPECT_EQ(show.exitCode, 0);
  EXPECT_NE(show.out.find("Icon file: /icons/game.ico\n"), std::string::npos) << show.out;
  EXPECT_NE(show.out.find("Index: 2\n"), std::string::npos);
  EXPECT_NE(show.out.find("Source: " + ini.string() + "\n"), std::string::npos);

  ProcessResult reset = Ctl({"reset", folder.string()});
  EXPECT_EQ(reset.exitCode, 0) << reset.err;
  EXPECT_EQ(ReadFile(ini), "[.ShellClassInfo]\r\nIconFile=\r\nIconIndex=\r\n");
  EXPECT_EQ(GetfattrValue(folder.string(), "user.DOSATTRIB"), std::nullopt);
}

TEST_F(CliFolderTest, DryRunChangesNothingAndSaysWhat) {
  fs::create_directory(folder);
  WriteFile(ini, "[Other]\r\nx=1\r\n");
  ProcessResult run = Ctl({"set", "--no-copy", "--dry-run", "--force", folder.string(), "/icons/game.ico"});
  EXPECT_EQ(run.exitCode, 0) << run.err;
  EXPECT_EQ(ReadFile(ini), "[Other]\r\nx=1\r\n");
  EXPECT_EQ(GetfattrValue(folder.string(), "user.DOSATTRIB"), std::nullopt);
  EXPECT_NE(run.out.find("IconFile=/icons/game.ico"), std::string::npos) << run.out;
  EXPECT_NE(run.out.find("set the attributes of " + ini.string() + " to 6 (Hidden, System)"),
            std::string::npos)
      << run.out;
  EXPECT_NE(run.out.find("[Other]\r\nx=1\r\n[.ShellClassInfo]\r\nIconFile=/icons/game.ico\r\n"
                         "IconIndex=0\r\n"),
            std::string::npos)
      << run.out;
}

TEST_F(CliFolderTest, FailuresGoToStandardErrorWithAnExitCode) {
  ProcessResult missing = Ctl({"set", (dir / "none").string(), "/icons/game.ico"});
  EXPECT_EQ(missing.exitCode, 1);
  EXPECT_NE(missing.err.find("Invalid folder!"), std::string::npos) << missing.err;
  EXPECT_FALSE(fs::exists(dir / "none"));

  ProcessResult network = Ctl({"reset", "//server/share"});
  EXPECT_EQ(network.exitCode, 1);
  EXPECT_NE(network.err.find("network"), std::string::npos) << network.err;

  fs::create_directory(folder);
  ProcessResult badIndex = Ctl({"set", folder.string(), "/icons/game.ico", "two"});
  EXPECT_EQ(badIndex.exitCode, 1);
  EXPECT_FALSE(fs::exists(ini));

  ProcessResult wide = Ctl({"set", "--no-copy", "--force", folder.string(), "/icons/\xE4\xB8\xAD.ico"});
  EXPECT_EQ(wide.exitCode, 1);
  EXPECT_NE(wide.err.find("Cannot write to file!"), std::string::npos) << wide.err;
  EXPECT_NE(wide.err.find("Windows-1252"), std::string::npos) << wide.err;
}

}  // namespace
}  // namespace plumage::test
