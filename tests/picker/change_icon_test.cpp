// The picker as a form over real icon files in a temporary folder: the start
// of a run, listing, the present icon, Browse, auto-create and the created
// icon's save on OK, Reset, the language of the load and high density.
#include "picker/change_icon.h"

#include <gtest/gtest.h>

#include <set>

#include "app/texts.h"
#include "base/codepage.h"
#include "iconmaker/save_selected.h"
#include "support/form_bench.h"

namespace plumage::test {
namespace {

namespace fs = std::filesystem;

class PickerTest : public ::testing::Test, public FormBench {
 protected:
  PickerTest() { Verb(kKeepIconInsideValue, " 0"); }
  ChangeIcon& Open(const std::string& argument) {
    BeginRun(program, argument);
    picker = std::make_unique<ChangeIcon>(program, ui);
    InstallIconMaking(*picker);
    picker->Form_Load();
    return *picker;
  }
  ChangeIcon& OpenOnLibrary() {
    Verb(kDefaultLibraryValue, library);
    return Open(folder.string());
  }
  std::string Descriptor() const {
    return fs::exists(folder / "DESKTOP.INI") ? ReadFile(folder / "DESKTOP.INI") : "(none)";
  }
  void Applications() {
    Save(folder / "chess.exe", WritePe({{"", 1, {SolidImage({255, 0, 0, 255})}}}));
    Save(folder / "GO.EXE", WritePe({{"", 1, {SolidImage({0, 0, 255, 255})}}}));
    Save(folder / "hidden.exe", WritePe({{"", 1, {SolidImage({0, 255, 0, 255})}}}));
    ASSERT_TRUE(tp.files.SetAttributes((folder / "hidden.exe").string(), platform::kAttributeHidden));
    WriteFile(folder / "readme.txt", "x");
  }

  std::string library = Library("lib40.dll", 40);
  std::unique_ptr<ChangeIcon> picker;
};

TEST_F(PickerTest, TheStartOfARunDecidesBeforeAnythingIsRead) {
  const struct {
    std::string argument;
    bool previousInstance;
    std::vector<std::string> events;
    std::string title;
  } runs[] = {
      {"", false, {"wait:on", "wait:off", "show:options", "end"}, ""},  // the settings alone
      {"\\\\server\\share\\folder", false,
       {"wait:on", "wait:off", std::string("message:") + texts::change_icon::kNetworkRefusal.en,
        "end", "wait:off"},
       "Plumage - \\\\s...er\\share\\folder"},
      {folder.string(), true, {"end"}, ""}};  // a second copy ends without a word
  for (const auto& run : runs) {
    ui.events.clear();
    tp.system.previousInstance = run.previousInstance;
    ChangeIcon& p = Open(run.argument);
    EXPECT_EQ(ui.events, run.events) << run.argument;
    EXPECT_TRUE(p.ListView.ListItems.empty());
    EXPECT_EQ(p.Caption.Title, run.title);
  }
}

TEST_F(PickerTest, TheDefaultLibraryIsListedInFileOrderAndAClickChoosesAnEntry) {
  ChangeIcon& p = OpenOnLibrary();
  EXPECT_EQ(p.Caption.Title, PickerTitle(folder.string()));
  EXPECT_EQ(p.Caption.BtnAutoCreate, "Auto-create from \r'Music'");
  EXPECT_EQ(std::tuple(p.SelectedIcon, p.SelectedNo, p.TotalIcons, p.ListView.ListItems.size(),
                       p.ListView.BlankAttached, p.ButtonCreateEnabled, ui.doEvents, ui.waitCursor),
            std::tuple(library, "0", "39", 40u, false, true, 41, false));
  EXPECT_EQ(p.ListView.ListItems[39], (ListItem{" 39", 40, "Icon 39"}));
  for (int i : {0, 17, 39})
    EXPECT_EQ(p.IconList[static_cast<std::size_t>(i)].At(16, 16),
              (Rgb{ColourOf(i).r, ColourOf(i).g, ColourOf(i).b}));
  for (int position : {40, 41, 0, -1}) p.ListView_ItemClick(position);  // the last three: outside
  EXPECT_EQ(std::tuple(p.SelectedNo, p.ListView.SelectedItem), std::tuple(std::string("39"), 40));
}

TEST_F(PickerTest, ThePresentIconIsSelectedAnIndexOutsideTheListSelectsNothing) {
  const std::tuple<const char*, int, int> table[] = {{"4", 5, 5}, {"-3", 0, 0}, {"40", 0, 0}};
  for (const auto& [index, selected, visible] : table) {
    WriteFile(folder / "DESKTOP.INI",
              "[.ShellClassInfo]\r\nIconFile=" + library + "\r\nIconIndex=" + index + "\r\n");
    ChangeIcon& p = Open(folder.string());
    EXPECT_EQ(std::tuple(p.SelectedNo, p.ListView.SelectedItem, p.ListView.EnsureVisible,
                         p.ListView.ListItems.size()),
              std::tuple(std::string(index), selected, visible, 40u));
  }
}

TEST_F(PickerTest, BrowseListsTheChosenFileAndAFileWithoutIconsIsToldOnce) {
  ChangeIcon& p = OpenOnLibrary();
  WriteFile(dir / "notes.txt", "not an icon file");
  Save(dir / "one.ico", WriteIco({SolidImage(ColourOf(3))}));
  ui.openAnswers = {(dir / "notes.txt").string(), (dir / "one.ico").string(), std::nullopt};
  p.BrowseButton_Click();
  const OpenFileOptions& o = ui.openRequests.at(0);
  EXPECT_EQ(std::tuple(o.Title, o.Filter, o.FilterIndex, o.Flags, o.InitialDir),
            std::tuple(std::string("Open icon..."), std::string(texts::kIconFilter.en), 2, 4,
                       folder.string()));
  EXPECT_EQ(std::tuple(p.SelectedIcon, p.ListView.ListItems.size(), p.ButtonCreateEnabled),
            std::tuple(std::string(), 0u, false))
      << "converting from no file can only fail again";
  EXPECT_FALSE(ui.messages.at(0).waitCursorWasOn);
  EXPECT_EQ(ui.messages.at(0).icon, MessageIcon::Information);
  // Auto-create in a folder without applications lists the file named
  // before, which is none now: only the auto-create's own message.
  p.BtnAutoCreate_Click();
  EXPECT_EQ(Said(), (std::vector<std::string>{"Error!: No icon was found in this file!",
                                              "Plumage: Sorry, this folder contains no application."}));
  EXPECT_TRUE(p.ListView.ListItems.empty());

  p.BrowseButton_Click();
  EXPECT_EQ(std::tuple(p.SelectedIcon, p.SelectedNo, p.TotalIcons, p.ListView.ListItems.size(),
                       p.ButtonCreateEnabled),
            std::tuple((dir / "one.ico").string(), "0", "0", 1u, true));
  p.BrowseButton_Click();  // cancelled
  EXPECT_EQ(p.SelectedIcon, (dir / "one.ico").string());
  EXPECT_EQ(ui.messages.size(), 2u);
}

TEST_F(PickerTest, AutoCreateMakesOneFolderPerApplicationAndOkSavesTheChosenOne) {
  Applications();
  Verb(kNoWarningValue, " 1");
  ChangeIcon& p = OpenOnLibrary();
  p.BtnAutoCreate_Click();
  ASSERT_EQ(p.ListView.ListItems.size(), 2u);
  EXPECT_EQ(std::tuple(p.SelectedIcon, p.SelectedNo, p.ButtonCreateEnabled),
            std::tuple(std::string("Music.ico"), "0", false))
      << "a composed list names no file to convert from";
  // Each carries its application's small icon at (8, 9) on the folder.
  std::set<std::pair<int, int>> seen;
  for (const auto& picture : p.IconList) seen.insert({picture.At(15, 16).r, picture.At(15, 16).b});
  EXPECT_EQ(seen, (std::set<std::pair<int, int>>{{255, 0}, {0, 255}}));

  // OK with no entry chosen: told so, the folder untouched. (A save that
  // fails keeps the placeholder: the folder's apply tests.)
  p.OKButton_Click();
  EXPECT_EQ(Said(), std::vector<std::string>{"Error!: Select the icon to save in the list first!"});
  EXPECT_EQ(std::tuple(p.Unloaded(), p.SelectedIcon, Descriptor()),
            std::tuple(false, std::string("Music.ico"), std::string("(none)")));
  p.ListView_ItemClick(2);
  p.OKButton_Click();
  EXPECT_TRUE(p.Unloaded());
  const std::string made = (home / "Icons" / "Music.ico").string();
  EXPECT_EQ(Descriptor(), "[.ShellClassInfo]\r\nIconFile=" + made + "\r\nIconIndex=0\r\n");
  EXPECT_EQ(ReadFile(made).size(), 2238u);
}

TEST_F(PickerTest, AutoCreateWithoutApplicationsListsThePreviousFileAgain) {
  ChangeIcon& p = OpenOnLibrary();
  p.BtnAutoCreate_Click();
  EXPECT_EQ(Said(), std::vector<std::string>{"Plumage: Sorry, this folder contains no application."});
  EXPECT_EQ(std::tuple(p.SelectedIcon, p.ListView.ListItems.size(), p.ButtonCreateEnabled),
            std::tuple(library, 40u, true));
}

TEST_F(PickerTest, OkWritesTheChoiceAndResetRemovesIt) {
  Verb(kNoWarningValue, " 1");  // no reminder
  ChangeIcon& p = OpenOnLibrary();
  p.ListView_ItemClick(3);
  p.OKButton_Click();
  EXPECT_EQ(Descriptor(), "[.ShellClassInfo]\r\nIconFile=" + library + "\r\nIconIndex=2\r\n");
  EXPECT_TRUE(p.Unloaded());
  ChangeIcon& again = Open(folder.string());
  EXPECT_EQ(again.SelectedNo, "2");
  again.RemoveButton_Click();
  EXPECT_EQ(std::tuple(again.ListView.ListItems.size(), again.TotalIcons, again.SelectedIcon,
                       again.SelectedNo, again.ButtonCreateEnabled, again.Unloaded()),
            std::tuple(0u, "0", "", "", false, true));
  EXPECT_EQ(Descriptor(), "[.ShellClassInfo]\r\nIconFile=\r\nIconIndex=\r\n");
  EXPECT_EQ(std::tuple(tp.shell.refreshKeys, ui.messages.size()), std::tuple(2, 0u));
}

// The form's own rules, loaded or not: the file name box takes no typing,
// the convert button follows a file to convert, Cancel ends the run, the
// settings and the about box open over the picker as it is.
TEST_F(PickerTest, TheFormsOwnRules) {
  ChangeIcon p(program, ui);
  for (char c : {'a', '\b', '\x16', ' '}) EXPECT_EQ(p.SelectedIcon_KeyPress(c), 0);
  const std::pair<const char*, bool> table[] = {
      {"/icons/a.ico", true}, {"Music.ico", false}, {"/icons/b.ico", true}, {"", false}};
  for (const auto& [text, enabled] : table) {
    p.SetSelectedIcon(text);
    EXPECT_EQ(p.ButtonCreateEnabled, enabled) << text;
  }
  p.SetSelectedIcon("/icons/a.ico");
  p.SelectedNo = "3";
  p.OptionButton_Click();
  p.Image1_Click();
  p.CancelButton_Click();
  EXPECT_EQ(ui.events, (std::vector<std::string>{"show:options", "show:about", "end"}));
  EXPECT_EQ(std::tuple(p.SelectedIcon, p.SelectedNo, p.Unloaded(), ui.messages.size()),
            std::tuple("/icons/a.ico", "3", true, 0u));
}

TEST_F(PickerTest, TheLanguageOfTheLoadNamesTheEntriesAndTheHelpFile) {
  Verb("", Utf8ToAnsi("M&odifier l'icône..."));  // as stored: Windows-1252
  ChangeIcon& p = OpenOnLibrary();
  EXPECT_EQ(std::tuple(p.ListView.ListItems[12].Name, p.Caption.Image1, p.Caption.BtnAutoCreate,
                       p.Msg.ErrorTitle, fs::path(program.HelpFile).filename().string()),
            std::tuple("Icône 12", "A propos de Plumage", "Création à partir de \r'Music'",
                       "Erreur!", "HLPFR.HLP"));
}

TEST_F(PickerTest, AtTwiceTheScaleTheListIsDrawnFromTheIconsLargerImages) {
  // Icon 0 has a 64 × 64 image of its own (blue) beside its 32 × 32 one
  // (red); icon 1 has only a 32 × 32 image (green).
  Save(dir / "two.dll",
       WritePe({{"", 1, {SolidImage({255, 0, 0, 255}), SolidImage({0, 0, 255, 255}, 64)}},
                {"", 2, {SolidImage({0, 255, 0, 255})}}}));
  Verb(kDefaultLibraryValue, (dir / "two.dll").string());
  picker = std::make_unique<ChangeIcon>(program, ui);
  picker->PictureScale = 2;
  picker->Form_Load();
  ASSERT_EQ(picker->LargeIconList.size(), 2u);
  EXPECT_EQ(picker->IconList[0].At(16, 16), (Rgb{255, 0, 0}));
  EXPECT_EQ(std::tuple(picker->LargeIconList[0].width(), picker->LargeIconList[0].At(40, 40),
                       picker->LargeIconList[1].width(), picker->LargeIconList[1].At(63, 63)),
            std::tuple(64, Rgb{0, 0, 255}, 64, Rgb{0, 255, 0}))
      << "without a larger image, the 32 x 32 one is stretched";
  // Composed pictures have no larger drawing; the view shows them as they are.
  Save(folder / "chess.exe", WritePe({{"", 1, {SolidImage({255, 0, 0, 255})}}}));
  picker->BtnAutoCreate_Click();
  EXPECT_EQ(std::tuple(picker->IconList.size(), picker->LargeIconList.size()), std::tuple(1u, 0u));
}

}  // namespace
}  // namespace plumage::test
