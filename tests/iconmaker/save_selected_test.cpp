// SaveSelectedAsIcon: the picture selected in a list written as an icon in
// the folder of new icons, the temporary files, and every way it can fail
// without leaving anything half-written. Two other programs read the icons.
#include "iconmaker/save_selected.h"

#include "app/texts.h"
#include "icon_making_fixture.h"
#include "support/run_process.h"

namespace plumage::test {
namespace {

class SaveSelectedTest : public IconMakingTest {
 protected:
  SaveSelectedTest() {
    picker.IconList = {TestPicture(1), TestPicture(2)};
    picker.ListView.ListItems = {{" 0", 1}, {" 1", 2}};
    picker.ListView.BlankAttached = false;
    picker.SelectedIcon = (IconsDir() / "Music.ico").string();
  }
  std::string Icon() const { return ReadFile(IconsDir() / "Music.ico"); }
  // The icon a picture gives, made under another name.
  std::string IconOf(int position) {
    ChangeIcon other(env.program, ui);
    other.IconList = picker.IconList;
    other.ListView = picker.ListView;
    other.ListView.SelectedItem = position;
    other.SelectedIcon = (dir / ("ref" + std::to_string(position) + ".ico")).string();
    EXPECT_TRUE(SaveSelectedAsIcon(other));
    return ReadFile(other.SelectedIcon);
  }
  void ExpectRefusal(const std::string& start) {
    ASSERT_EQ(ui.messages.size(), 1u);
    EXPECT_EQ(ui.messages[0].title, "Error!");
    EXPECT_EQ(ui.messages[0].icon, MessageIcon::Exclamation);
    EXPECT_FALSE(ui.messages[0].waitCursorWasOn);
    EXPECT_EQ(ui.messages[0].text.rfind(start, 0), 0u) << ui.messages[0].text;
    EXPECT_FALSE(ui.waitCursor);
  }

  ChangeIcon picker{env.program, ui};
};

TEST_F(SaveSelectedTest, WritesTheSelectedPictureAndNamesItWithIndexZero) {
  picker.ListView.SelectedItem = 2;
  picker.SelectedNo = "1";
  WriteFile(programFolder / "$$$.BMP", "left over");
  WriteFile(programFolder / "$$$.ICO", "left over");
  ASSERT_TRUE(SaveSelectedAsIcon(picker));
  EXPECT_EQ(picker.SelectedNo, "0");
  EXPECT_EQ(picker.TotalIcons, "1");
  EXPECT_EQ(picker.SelectedIcon, (IconsDir() / "Music.ico").string());
  EXPECT_TRUE(ui.messages.empty());
  EXPECT_EQ(ui.events, (std::vector<std::string>{"wait:on", "wait:off"}));
  EXPECT_TRUE(TemporariesGone());
  EXPECT_EQ(Names(IconsDir()), std::vector<std::string>{"Music.ico"});
  EXPECT_EQ(Icon().size(), 2238u);
  EXPECT_EQ(Icon(), IconOf(2));
  EXPECT_NE(IconOf(1), IconOf(2));
}

TEST_F(SaveSelectedTest, SavingTwiceUnderOneNameLeavesTheSecondPicture) {
  picker.ListView.SelectedItem = 1;
  ASSERT_TRUE(SaveSelectedAsIcon(picker));
  picker.ListView.SelectedItem = 2;
  ASSERT_TRUE(SaveSelectedAsIcon(picker));
  EXPECT_EQ(Names(IconsDir()), std::vector<std::string>{"Music.ico"});
  EXPECT_EQ(Icon(), IconOf(2));
  EXPECT_TRUE(TemporariesGone());
}

TEST_F(SaveSelectedTest, NothingSelectedIsToldAndWritesNothing) {
  for (int position : {0, 3, -1}) {
    ui.messages.clear();
    picker.ListView.SelectedItem = position;
    picker.SelectedNo = "5";
    EXPECT_FALSE(SaveSelectedAsIcon(picker));
    ExpectRefusal("Select the icon to save in the list first!");
    EXPECT_EQ(picker.SelectedNo, "5");
  }
  EXPECT_TRUE(Names(IconsDir()).empty());
  EXPECT_TRUE(TemporariesGone());
}

TEST_F(SaveSelectedTest, AMissingIconsFolderIsCreatedOneThatCannotBeIsTold) {
  picker.ListView.SelectedItem = 1;
  fs::remove(IconsDir());
  ASSERT_TRUE(SaveSelectedAsIcon(picker));
  EXPECT_EQ(Icon().size(), 2238u);

  fs::remove_all(IconsDir());
  WriteFile(IconsDir(), "a file where the folder should be");
  picker.SelectedNo = "3";
  EXPECT_FALSE(SaveSelectedAsIcon(picker));
  ExpectRefusal("Cannot create the folder of new icons " + IconsDir().string() + "/:");
  EXPECT_EQ(ReadFile(IconsDir()), "a file where the folder should be");
  EXPECT_EQ(picker.SelectedNo, "3");
  EXPECT_TRUE(TemporariesGone());
}

TEST_F(SaveSelectedTest, ATemporaryFileThatCannotBeWrittenStopsTheSave) {
  picker.ListView.SelectedItem = 1;
  for (const char* blocked : {"$$$.BMP", "$$$.ICO"}) {
    SCOPED_TRACE(blocked);
    ui.messages.clear();
    fs::create_directory(programFolder / blocked);  // neither removed nor written
    EXPECT_FALSE(SaveSelectedAsIcon(picker));
    ExpectRefusal("Cannot make the icon file " + picker.SelectedIcon + ":\r");
    EXPECT_NE(ui.messages[0].text.find(blocked), std::string::npos) << ui.messages[0].text;
    EXPECT_TRUE(Names(IconsDir()).empty());
    fs::remove(programFolder / blocked);
  }
}

TEST_F(SaveSelectedTest, AFinalCopyThatFailsKeepsTheOldIconWhole) {
  picker.ListView.SelectedItem = 1;
  ASSERT_TRUE(SaveSelectedAsIcon(picker));
  const std::string before = Icon();
  fs::permissions(IconsDir() / "Music.ico", fs::perms::owner_read | fs::perms::group_read);
  picker.ListView.SelectedItem = 2;
  EXPECT_FALSE(SaveSelectedAsIcon(picker));
  ExpectRefusal("Cannot make the icon file " + picker.SelectedIcon + ":\r");
  EXPECT_EQ(Icon(), before);
  EXPECT_EQ(Names(IconsDir()), std::vector<std::string>{"Music.ico"});
  EXPECT_TRUE(TemporariesGone());

  // A folder in the icon's place: nothing else appears beside it.
  ui.messages.clear();
  picker.SelectedIcon = (IconsDir() / "Folder.ico").string();
  fs::create_directory(picker.SelectedIcon);
  EXPECT_FALSE(SaveSelectedAsIcon(picker));
  ExpectRefusal("Cannot make the icon file " + picker.SelectedIcon + ":\r");
  EXPECT_EQ(Names(IconsDir()), (std::vector<std::string>{"Folder.ico", "Music.ico"}));
  EXPECT_TRUE(fs::is_empty(picker.SelectedIcon));
}

TEST_F(SaveSelectedTest, TheMessagesFollowTheLanguage) {
  picker.ListView.SelectedItem = 0;
  EXPECT_FALSE(SaveSelectedAsIcon(picker, picker.ListView, picker, 1));
  ASSERT_EQ(ui.messages.size(), 1u);
  EXPECT_EQ(ui.messages[0].title, "Erreur!");
  EXPECT_EQ(ui.messages[0].text, texts::icon_making::kNothingSelected.fr);
}

TEST_F(SaveSelectedTest, OtherProgramsReadOne32By32EightBitImage) {
  picker.ListView.SelectedItem = 2;
  ASSERT_TRUE(SaveSelectedAsIcon(picker));
  const std::string icon = (IconsDir() / "Music.ico").string();

  ProcessResult identify = RunProcess({PLUMAGE_IDENTIFY, "-format", "%w %h %z %r\n", icon});
  ASSERT_EQ(identify.exitCode, 0) << identify.err;
  EXPECT_EQ(identify.out.substr(0, identify.out.find('\n') + 1), identify.out) << "one image";
  EXPECT_EQ(identify.out.rfind("32 32 8 ", 0), 0u) << identify.out;

  ProcessResult icotool = RunProcess({PLUMAGE_ICOTOOL, "-l", icon});
  ASSERT_EQ(icotool.exitCode, 0) << icotool.err;
  EXPECT_EQ(icotool.out,
            "--icon --index=1 --width=32 --height=32 --bit-depth=8 --palette-size=256\n")
      << icotool.out;
}

}  // namespace
}  // namespace plumage::test
