// The picker's load: captions and messages in the language of the moment,
// the title, the auto-create caption, and the controls that follow the
// selection.
#include <gtest/gtest.h>

#include "app/program.h"
#include "picker/change_icon.h"
#include "platform/posix/posix_system.h"
#include "platform/posix/registry_store.h"
#include "settings/settings.h"
#include "support/recording_ui.h"
#include "support/temp_dir.h"

namespace plumage {
namespace {

class PickerCaptionsTest : public ::testing::Test {
 protected:
  void SetUp() override {
    setenv("PLUMAGE_HOME", (dir / "home").c_str(), 1);
    setenv("XDG_RUNTIME_DIR", dir.str().c_str(), 1);
    ASSERT_EQ(store.CreateKey(kVerbRoot, kVerbKey), 0);
  }
  void TearDown() override {
    unsetenv("PLUMAGE_HOME");
    unsetenv("XDG_RUNTIME_DIR");
  }

  test::TempDir dir;
  platform::PosixRegistry store{(dir / "registry.reg").string()};
  platform::PosixSystem system;
  platform::Platform os{&store, &system, nullptr};
  Program program{os};
  test::RecordingUi ui;
};

TEST_F(PickerCaptionsTest, AStartWithoutAFolderIsTheSettingsDialogAlone) {
  ChangeIcon picker(program, ui);
  picker.Form_Load();
  EXPECT_EQ(ui.events, (std::vector<std::string>{"wait:on", "wait:off", "show:options", "end"}));
  EXPECT_EQ(picker.Caption.Title, "");
}

TEST_F(PickerCaptionsTest, TheDialogIsDrawnInEnglishUntilItLoads) {
  ChangeIcon picker(program, ui);
  EXPECT_EQ(picker.Caption.RemoveButton, "&Reset folder");
  EXPECT_EQ(picker.Caption.BtnAutoCreate, "Auto-create from ");
  EXPECT_EQ(picker.Msg.ErrorTitle, "Error!");
  EXPECT_FALSE(picker.ButtonCreateEnabled);
}

TEST_F(PickerCaptionsTest, SelectedIconDrivesTheConvertButtonAndTypingIsDiscarded) {
  ChangeIcon picker(program, ui);
  picker.SetSelectedIcon("/icons/a.ico");
  EXPECT_TRUE(picker.ButtonCreateEnabled);
  picker.SetSelectedIcon("");
  EXPECT_FALSE(picker.ButtonCreateEnabled);
  for (char c : {'a', '\b', '\x16', ' '}) EXPECT_EQ(picker.SelectedIcon_KeyPress(c), 0);
}

TEST_F(PickerCaptionsTest, ClickingAnEntrySetsItsIndex) {
  ChangeIcon picker(program, ui);
  for (int i = 0; i < 40; ++i) picker.ListView.ListItems.push_back({ListLabel(i), i + 1});
  picker.ListView_ItemClick(40);
  EXPECT_EQ(picker.SelectedNo, "39");
  EXPECT_EQ(picker.ListView.ListItems[39].Text, " 39");
  picker.ListView_ItemClick(41);  // outside the list: nothing
  EXPECT_EQ(picker.SelectedNo, "39");
  picker.ListView_DblClick();
  EXPECT_EQ(picker.SelectedNo, "39");
}

TEST_F(PickerCaptionsTest, CancelWritesNothingAndEndsTheRun) {
  ChangeIcon picker(program, ui);
  picker.CancelButton_Click();
  EXPECT_TRUE(picker.Unloaded());
  EXPECT_TRUE(ui.endRequested);
  EXPECT_TRUE(ui.messages.empty());
}

TEST_F(PickerCaptionsTest, SettingsAndAboutOpenModallyAndLeaveThePickerAsItWas) {
  ChangeIcon picker(program, ui);
  picker.SetSelectedIcon("/icons/a.ico");
  picker.SelectedNo = "3";
  picker.OptionButton_Click();
  picker.Image1_Click();
  EXPECT_EQ(ui.events, (std::vector<std::string>{"show:options", "show:about"}));
  EXPECT_EQ(picker.SelectedIcon, "/icons/a.ico");
  EXPECT_EQ(picker.SelectedNo, "3");
  EXPECT_FALSE(picker.Unloaded());
}

}  // namespace
}  // namespace plumage
