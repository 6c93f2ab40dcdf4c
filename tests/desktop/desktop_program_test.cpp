// The program's side of the desktop: the caption handed on when the
// language changes, the folder icon after a successful write only, and the
// LinuxIcons setting that turns it off.
#include <gtest/gtest.h>

#include <filesystem>

#include "app/texts.h"
#include "dialogs/frm_options.h"
#include "folder/folder_ops.h"
#include "platform/desktop.h"
#include "settings/settings.h"
#include "support/fakes.h"
#include "support/recording_ui.h"
#include "support/temp_dir.h"

namespace plumage {
namespace {

namespace fs = std::filesystem;
using Calls = std::vector<std::string>;

class RecordingDesktop : public platform::IDesktop {
 public:
  void VerbCaptionChanged(const std::string& caption) override {
    calls.push_back("caption " + caption);
  }
  void FolderIconSet(const std::string& folder, const std::string& iconFile,
                     std::int32_t index) override {
    calls.push_back("set " + folder + " " + iconFile + " " + std::to_string(index));
  }
  void FolderIconCleared(const std::string& folder) override { calls.push_back("clear " + folder); }
  Calls calls;
};

class DesktopProgramTest : public ::testing::Test {
 protected:
  DesktopProgramTest() {
    env.os.desktop = &desktop;
    env.registry.SetString(kVerbRoot, kVerbKey, "", texts::kVerbCaption.en);
    env.system.programFolder = (dir / "program").string() + "/";
    fs::create_directories(dir / "Games");
    env.program.ArgumentText = folder;
    env.program.FolderName = "Games";
  }
  FolderWriteReport Write(std::string icon, std::string index) {
    FolderOps ops(env.program, ui, messages.Refs(), icon, index);
    return ops.WriteFolderDescriptor();
  }

  test::TempDir dir;
  std::string folder = (dir / "Games").string();
  test::TestPlatform env;
  RecordingDesktop desktop;
  test::RecordingUi ui;
  FolderMessageTexts messages{0};
};

TEST_F(DesktopProgramTest, TheSettingsDialogsLanguageChangeRenamesTheEntries) {
  StoreLanguage(env.program, 1);
  StoreLanguage(env.program, 0);
  EXPECT_EQ(desktop.calls, (Calls{"caption " + std::string(texts::kVerbCaption.fr),
                                  "caption " + std::string(texts::kVerbCaption.en)}));
  // The dialog's OK without a language change hands nothing on.
  desktop.calls.clear();
  frmOptions options(env.program, ui);
  options.Form_Load();
  options.cmdOK_Click();
  EXPECT_TRUE(desktop.calls.empty());
}

TEST_F(DesktopProgramTest, TheIconFollowsASuccessfulWriteAndResetClearsIt) {
  Write("/icons/Chess.ico", "3");
  Write("", "");
  EXPECT_EQ(desktop.calls, (Calls{"set " + folder + " /icons/Chess.ico 3", "clear " + folder}));
  // A failed write (the folder is gone) gives the file managers nothing.
  desktop.calls.clear();
  env.program.ArgumentText = (dir / "Gone").string();
  EXPECT_EQ(Write("/icons/Chess.ico", "0").outcome, FolderWriteReport::Outcome::InvalidFolder);
  EXPECT_TRUE(desktop.calls.empty());
}

TEST_F(DesktopProgramTest, LinuxIconsOffOrNoDesktopLeavesTheFileManagersAlone) {
  StoreLinuxIcons(env.program, false);
  Write("/icons/Chess.ico", "0");
  Write("", "");
  EXPECT_TRUE(desktop.calls.empty());
  EXPECT_TRUE(fs::exists(dir / "Games" / "DESKTOP.INI"));  // the descriptor all the same

  // A platform without a desktop writes as before.
  StoreLinuxIcons(env.program, true);
  env.os.desktop = nullptr;
  fs::remove(dir / "Games" / "DESKTOP.INI");
  Write("/icons/Chess.ico", "0");
  StoreLanguage(env.program, 1);
  EXPECT_TRUE(fs::exists(dir / "Games" / "DESKTOP.INI"));
}

}  // namespace
}  // namespace plumage
