// plumagectl install, uninstall and settings, run as a user would run them.
#include <gtest/gtest.h>

#include "formats/regedit_document.h"
#include "platform/registry.h"

#include <algorithm>
#include "support/run_process.h"
#include "support/temp_dir.h"

namespace plumage {
namespace {

class PlumagectlTest : public ::testing::Test {
 protected:
  test::ProcessResult Run(std::vector<std::string> args) {
    args.insert(args.begin(), PLUMAGECTL_PATH);
    return test::RunProcess(args, Env());
  }
  std::vector<std::string> Env() const {
    return {"PLUMAGE_CONFIG=" + (dir / "config").string(),
            "PLUMAGE_HOME=" + (dir / "home").string(), "LC_ALL=C.UTF-8"};
  }
  std::string Store() const { return test::ReadFile(dir / "config" / "registry.reg"); }

  test::TempDir dir;
};

TEST_F(PlumagectlTest, InstallThenFrenchWithoutReminder) {
  auto install = Run({"install"});
  ASSERT_EQ(install.exitCode, 0) << install.err;
  EXPECT_TRUE(std::filesystem::is_directory(dir / "home" / "Icons"));
  EXPECT_NE(Store().find("[HKEY_CLASSES_ROOT\\Folder\\shell\\PlumIcon]\r\n@=\"C&hange icon...\""),
            std::string::npos);
  EXPECT_NE(Store().find("[HKEY_CLASSES_ROOT\\Folder\\shell\\PlumIcon\\command]"), std::string::npos);

  auto set = Run({"settings", "--language", "fr", "--reminder", "off"});
  ASSERT_EQ(set.exitCode, 0) << set.err;
  const std::string store = Store();
  EXPECT_NE(store.find("@=\"M&odifier l'ic\xF4ne...\""), std::string::npos);  // Windows-1252
  EXPECT_NE(store.find("\"NoWarning\"=\" 1\""), std::string::npos);

  auto show = Run({"settings"});
  ASSERT_EQ(show.exitCode, 0) << show.err;
  EXPECT_NE(show.out.find("Language: French"), std::string::npos) << show.out;
  EXPECT_NE(show.out.find("Refresh reminder: off"), std::string::npos) << show.out;

  // Installing again keeps the chosen language.
  ASSERT_EQ(Run({"install"}).exitCode, 0);
  EXPECT_NE(Store().find("@=\"M&odifier l'ic\xF4ne...\""), std::string::npos);

  auto library = Run({"settings", "--default-library", "/opt/icons/Lib.icl", "--language", "en"});
  ASSERT_EQ(library.exitCode, 0) << library.err;
  EXPECT_NE(library.out.find("Default library: /opt/icons/Lib.icl"), std::string::npos);
  EXPECT_NE(library.out.find("Language: English"), std::string::npos);
}

TEST_F(PlumagectlTest, UninstallRemovesTheVerbKeyAndKeepsTheIcons) {
  ASSERT_EQ(Run({"install"}).exitCode, 0);
  test::WriteFile(dir / "home" / "Icons" / "Music.ico", "icon");
  auto un = Run({"uninstall"});
  ASSERT_EQ(un.exitCode, 0) << un.err;
  EXPECT_EQ(Store().find("PlumIcon"), std::string::npos);
  EXPECT_TRUE(std::filesystem::exists(dir / "home" / "Icons" / "Music.ico"));
}

TEST_F(PlumagectlTest, ChangingSettingsBeforeInstallFailsInOneLine) {
  auto r = Run({"settings", "--reminder", "off"});
  EXPECT_NE(r.exitCode, 0);
  EXPECT_NE(r.err.find("plumagectl install"), std::string::npos) << r.err;
  EXPECT_EQ(std::count(r.err.begin(), r.err.end(), '\n'), 1);
  EXPECT_FALSE(std::filesystem::exists(dir / "config" / "registry.reg"));
}

TEST_F(PlumagectlTest, UsageErrorsAndHelp) {
  for (const char* cmd : {"install", "uninstall", "settings"}) {
    auto help = Run({cmd, "--help"});
    EXPECT_EQ(help.exitCode, 0) << cmd;
    EXPECT_FALSE(help.out.empty()) << cmd;
  }
  auto bad = Run({"settings", "--language", "de"});
  EXPECT_NE(bad.exitCode, 0);
  EXPECT_EQ(std::count(bad.err.begin(), bad.err.end(), '\n'), 1) << bad.err;
  EXPECT_NE(Run({}).exitCode, 0);
}

TEST_F(PlumagectlTest, AStoreDamagedByHandIsKept) {
  ASSERT_EQ(Run({"install"}).exitCode, 0);
  const std::string damaged = Store() + "\"NoWarning\"= oops, edited by hand\r\n";
  test::WriteFile(dir / "config" / "registry.reg", damaged);
  auto show = Run({"settings"});
  EXPECT_EQ(show.exitCode, 0) << show.err;
  EXPECT_NE(show.out.find("Refresh reminder: on"), std::string::npos);  // unreadable = missing
  EXPECT_EQ(Store(), damaged);  // reading never rewrites

  auto set = Run({"settings", "--language", "fr"});
  ASSERT_EQ(set.exitCode, 0) << set.err;
  EXPECT_NE(set.err.find("registry.reg.damaged"), std::string::npos) << set.err;
  EXPECT_EQ(test::ReadFile(dir / "config" / "registry.reg.damaged"), damaged);
  EXPECT_NE(Store().find("\"NoWarning\"= oops, edited by hand"), std::string::npos);
}

TEST_F(PlumagectlTest, TwoConcurrentSettingsWritesBothSurvive) {
  ASSERT_EQ(Run({"install"}).exitCode, 0);
  for (int round = 0; round < 15; ++round) {
    const std::string library = "/icons/lib" + std::to_string(round) + ".icl";
    const bool off = round % 2 == 0;
    int a = test::StartProcess({PLUMAGECTL_PATH, "settings", "--default-library", library}, Env());
    int b = test::StartProcess({PLUMAGECTL_PATH, "settings", "--reminder", off ? "off" : "on"}, Env());
    ASSERT_EQ(test::WaitProcess(a), 0);
    ASSERT_EQ(test::WaitProcess(b), 0);
    auto doc = platform::RegDocument::Parse(Store());
    const auto* lib = doc.FindValue(platform::kHkeyClassesRoot, "Folder\\shell\\PlumIcon", "DefaultLibrary");
    const auto* warn = doc.FindValue(platform::kHkeyClassesRoot, "Folder\\shell\\PlumIcon", "NoWarning");
    ASSERT_NE(lib, nullptr) << "round " << round;
    ASSERT_NE(warn, nullptr) << "round " << round;
    EXPECT_EQ(lib->data, library + '\0') << "round " << round;
    EXPECT_EQ(warn->data, std::string(off ? " 1" : " 0") + '\0') << "round " << round;
  }
}

}  // namespace
}  // namespace plumage
