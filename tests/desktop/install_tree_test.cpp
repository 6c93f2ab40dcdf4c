// What a user meets: cmake --install puts the desktop files in their
// standard places, and plumagectl install, a change of language and
// uninstall run as processes against a home folder of their own.
#include <gtest/gtest.h>

#include <filesystem>
#include <map>

#include "support/run_process.h"
#include "support/temp_dir.h"

namespace plumage {
namespace {

namespace fs = std::filesystem;

std::map<std::string, std::string> Tree(const fs::path& root) {
  std::map<std::string, std::string> tree;
  for (const auto& entry : fs::recursive_directory_iterator(root))
    tree[fs::relative(entry.path(), root).string()] =
        entry.is_regular_file() ? test::ReadFile(entry.path()) : std::string("<dir>");
  return tree;
}

TEST(CmakeInstall, PutsTheProgramsDesktopEntryAndThemeIconsInTheirPlaces) {
  // plumagectl lives in <build>/src.
  const fs::path build = fs::path(PLUMAGECTL_PATH).parent_path().parent_path();
  test::TempDir prefix;
  auto install =
      test::RunProcess({"/usr/bin/cmake", "--install", build.string(), "--prefix", prefix.str()});
  ASSERT_EQ(install.exitCode, 0) << install.out << install.err;
  for (const char* file :
       {"bin/plumage", "bin/plumagectl", "share/applications/plumage.desktop",
        "share/icons/hicolor/48x48/apps/plumage.png",
        "share/icons/hicolor/256x256/apps/plumage.png", "share/plumage/icons/folder_blue.ico",
        "share/man/man1/plumage.1.gz", "share/man/man1/plumagectl.1.gz",
        "share/bash-completion/completions/plumagectl",
        "share/metainfo/org.plumage_project.Plumage.metainfo.xml",
        "share/kio/servicemenus/plumage-folder-verb.desktop",
        "share/nemo/actions/plumage-folder-verb.nemo_action", "share/doc/plumage/copyright",
        "share/doc/plumage/changelog.gz"})
    EXPECT_TRUE(fs::is_regular_file(prefix / file)) << file;
  const std::string entry = test::ReadFile(prefix / "share/applications/plumage.desktop");
  EXPECT_NE(entry.find("\nName=Plumage\n"), std::string::npos);
  EXPECT_NE(entry.find("\nExec=plumage\n"), std::string::npos);  // no folder: the settings
  EXPECT_NE(entry.find("\nIcon=plumage\n"), std::string::npos);
  auto valid = test::RunProcess(
      {"/usr/bin/desktop-file-validate", (prefix / "share/applications/plumage.desktop").string()});
  EXPECT_EQ(valid.exitCode, 0) << valid.out << valid.err;
}

class PlumagectlMenuTest : public ::testing::Test {
 protected:
  test::ProcessResult Run(std::vector<std::string> args) {
    args.insert(args.begin(), PLUMAGECTL_PATH);
    return test::RunProcess(args, {"HOME=" + (dir / "home").string(),
                                   "XDG_DATA_HOME=" + (dir / "home" / ".local" / "share").string(),
                                   "XDG_CONFIG_HOME=" + (dir / "home" / ".config").string(),
                                   "PLUMAGE_HOME=" + (dir / "program").string(),
                                   "PLUMAGE_CONFIG=" + (dir / "config").string(),
                                   // The system's data folders stand here: a package
                                   // installed on this machine must not change the result.
                                   "XDG_DATA_DIRS=" + (dir / "system").string(), "LC_ALL=C.UTF-8"});
  }
  test::TempDir dir;
};

TEST_F(PlumagectlMenuTest, InstallLanguageSwitchAndUninstall) {
  fs::create_directories(dir / "home" / "Documents");
  const auto before = Tree(dir / "home");
  auto install = Run({"install"});
  ASSERT_EQ(install.exitCode, 0) << install.err;
  const fs::path scripts = dir / "home" / ".local/share/nautilus/scripts";
  EXPECT_TRUE(fs::exists(scripts / "Change icon..."));
  EXPECT_NE(install.out.find("uca.xml"), std::string::npos) << install.out;

  auto french = Run({"settings", "--language", "fr"});
  ASSERT_EQ(french.exitCode, 0) << french.err;
  EXPECT_FALSE(fs::exists(scripts / "Change icon..."));
  EXPECT_TRUE(fs::exists(scripts / "Modifier l'ic\xC3\xB4ne..."));
  for (const char* file :
       {".local/share/kio/servicemenus/plumage-folder-verb.desktop",
        ".local/share/nemo/actions/plumage-folder-verb.nemo_action", ".config/Thunar/uca.xml"}) {
    const std::string text = test::ReadFile(dir / "home" / file);
    EXPECT_NE(text.find("odifier l"), std::string::npos) << file;
    EXPECT_EQ(text.find("hange icon"), std::string::npos) << file;
  }
  // Installing again keeps the French caption on every entry.
  ASSERT_EQ(Run({"install"}).exitCode, 0);
  EXPECT_FALSE(fs::exists(scripts / "Change icon..."));

  auto uninstall = Run({"uninstall"});
  ASSERT_EQ(uninstall.exitCode, 0) << uninstall.err;
  EXPECT_EQ(Tree(dir / "home"), before);
}

TEST_F(PlumagectlMenuTest, WithThePackagesEntriesInstallAddsNoSecondDolphinOrNemoEntry) {
  const fs::path data = fs::path(PLUMAGE_SOURCE_DIR) / "data" / "menus";
  fs::create_directories(dir / "system/kio/servicemenus");
  fs::create_directories(dir / "system/nemo/actions");
  fs::copy_file(data / "plumage-folder-verb.desktop",
                dir / "system/kio/servicemenus/plumage-folder-verb.desktop");
  fs::copy_file(data / "plumage-folder-verb.nemo_action",
                dir / "system/nemo/actions/plumage-folder-verb.nemo_action");
  fs::create_directories(dir / "home");

  auto install = Run({"install"});
  ASSERT_EQ(install.exitCode, 0) << install.err;
  EXPECT_NE(
      install.out.find("every user (from the package): " +
                       (dir / "system/nemo/actions/plumage-folder-verb.nemo_action").string()),
      std::string::npos)
      << install.out;
  EXPECT_TRUE(fs::exists(dir / "home/.local/share/nautilus/scripts/Change icon..."));
  EXPECT_TRUE(fs::exists(dir / "home/.config/Thunar/uca.xml"));
  EXPECT_FALSE(fs::exists(dir / "home/.local/share/kio"));
  EXPECT_FALSE(fs::exists(dir / "home/.local/share/nemo"));
  ASSERT_EQ(Run({"settings", "--language", "fr"}).exitCode, 0);
  EXPECT_FALSE(fs::exists(dir / "home/.local/share/kio"));
  ASSERT_EQ(Run({"uninstall"}).exitCode, 0);
  EXPECT_TRUE(Tree(dir / "home").empty());
}

}  // namespace
}  // namespace plumage
