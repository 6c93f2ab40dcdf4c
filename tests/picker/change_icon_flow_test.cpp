// The picker over real icon files in temporary folders: listing, the present
// icon, auto-create, Reset, OK, the network refusal and the French captions.
#include <sys/xattr.h>

#include <gtest/gtest.h>

#include "app/startup.h"
#include "iconmaker/save_selected.h"
#include "picker/change_icon.h"
#include "base/codepage.h"

#include <set>
#include "platform/portable/file_icon_source.h"
#include "platform/posix/png_codec_libpng.h"
#include "settings/settings.h"
#include "support/fakes.h"
#include "support/icon_writer.h"
#include "support/temp_dir.h"

namespace plumage {
namespace {

using test::Bytes;

// A 32 × 32, 8-bit icon image of one colour.
Bytes SolidImage(platform::Rgba colour) {
  test::DibDef dibDef;
  dibDef.width = 32;
  dibDef.height = 32;
  dibDef.bpp = 8;
  dibDef.palette = {colour};
  dibDef.pixels.assign(32 * 32, 0);
  return test::EncodeDib(dibDef);
}

void Save(const std::filesystem::path& path, const Bytes& bytes) {
  test::WriteFile(path, std::string(bytes.begin(), bytes.end()));
}

platform::Rgba ColourOf(int i) {
  return {static_cast<std::uint8_t>(10 + i), static_cast<std::uint8_t>(200 - i), 77, 255};
}

class PickerFlowTest : public ::testing::Test {
 protected:
  void SetUp() override {
    std::filesystem::create_directories(dir / "home" / "Icons");
    std::filesystem::create_directories(dir / "Games");
    tp.system.programFolder = (dir / "home").string() + "/";
    tp.os.icons = &icons;
    tp.registry.SetString(kVerbRoot, kVerbKey, "", "C&hange icon...");
    tp.registry.SetString(kVerbRoot, kVerbKey, kKeepIconInsideValue, " 0");
    std::vector<test::GroupDef> groups;
    for (int i = 0; i < 40; ++i)
      groups.push_back({"", static_cast<std::uint16_t>(100 + i), {SolidImage(ColourOf(i))}});
    library = (dir / "lib40.dll").string();
    Save(library, test::WritePe(groups));
  }
  void Open(const std::string& argument) {
    BeginRun(tp.program, argument);
    picker = std::make_unique<ChangeIcon>(tp.program, ui);
    picker->Form_Load();
  }
  std::string Games() const { return (dir / "Games").string(); }

  test::TempDir dir;
  test::TestPlatform tp;
  platform::LibPngCodec png;
  platform::FileIconSource icons{png};
  test::RecordingUi ui;
  std::string library;
  std::unique_ptr<ChangeIcon> picker;
};

TEST_F(PickerFlowTest, TheDefaultLibraryIsListedInFileOrder) {
  tp.registry.SetString(kVerbRoot, kVerbKey, kDefaultLibraryValue, library);
  Open(Games());
  EXPECT_EQ(picker->Caption.Title, "Plumage - " + Utf8Left(Games(), 3) + "..." + Utf8Right(Games(), 15));
  EXPECT_EQ(picker->Caption.BtnAutoCreate, "Auto-create from \r'Games'");
  EXPECT_EQ(picker->SelectedIcon, library);
  EXPECT_EQ(picker->SelectedNo, "0");
  ASSERT_EQ(picker->ListView.ListItems.size(), 40u);
  EXPECT_EQ(picker->ListView.ListItems[0].Text, " 0");
  EXPECT_EQ(picker->ListView.ListItems[39].Text, " 39");
  EXPECT_EQ(picker->TotalIcons, "39");
  EXPECT_FALSE(picker->ListView.BlankAttached);
  // Picture i is icon i of the file, drawn at (0, 0).
  for (int i : {0, 17, 39}) {
    const platform::Rgba c = ColourOf(i);
    EXPECT_EQ(picker->IconList[static_cast<std::size_t>(i)].At(16, 16), (plumage::Rgb{c.r, c.g, c.b}));
  }
  EXPECT_EQ(ui.doEvents, 41);  // once per icon, and once for the miss
  EXPECT_TRUE(picker->ButtonCreateEnabled);
  EXPECT_FALSE(ui.waitCursor);
  picker->ListView_ItemClick(40);
  EXPECT_EQ(picker->SelectedNo, "39");
}

TEST_F(PickerFlowTest, ThePresentIconIsSelectedAndAnIndexOutsideTheListSelectsNothing) {
  test::WriteFile(dir / "Games" / "DESKTOP.INI",
                  "[.ShellClassInfo]\r\nIconFile=" + library + "\r\nIconIndex=4\r\n");
  Open(Games());
  EXPECT_EQ(picker->SelectedNo, "4");
  EXPECT_EQ(picker->ListView.SelectedItem, 5);
  EXPECT_EQ(picker->ListView.EnsureVisible, 5);

  test::WriteFile(dir / "Games" / "DESKTOP.INI",
                  "[.ShellClassInfo]\r\nIconFile=" + library + "\r\nIconIndex=-3\r\n");
  Open(Games());
  EXPECT_EQ(picker->SelectedNo, "-3");
  EXPECT_EQ(picker->ListView.SelectedItem, 0);
  EXPECT_EQ(picker->ListView.ListItems.size(), 40u);
}

TEST_F(PickerFlowTest, AFileWithoutIconsEmptiesTheSelection) {
  test::WriteFile(dir / "notes.txt", "not an icon file");
  Open(Games());
  EXPECT_TRUE(picker->ListView.ListItems.empty());
  ui.openAnswers.push_back((dir / "notes.txt").string());
  picker->BrowseButton_Click();
  ASSERT_EQ(ui.openRequests.size(), 1u);
  EXPECT_EQ(ui.openRequests[0].Title, "Open icon...");
  EXPECT_EQ(ui.openRequests[0].FilterIndex, 2);
  EXPECT_EQ(ui.openRequests[0].Flags, 4);
  EXPECT_EQ(ui.openRequests[0].InitialDir, Games());
  ASSERT_EQ(ui.messages.size(), 1u);
  EXPECT_EQ(ui.messages[0].text, "No icon was found in this file!");
  EXPECT_EQ(ui.messages[0].title, "Error!");
  EXPECT_EQ(ui.messages[0].icon, MessageIcon::Information);
  EXPECT_FALSE(ui.messages[0].waitCursorWasOn);
  EXPECT_EQ(picker->SelectedIcon, "");
  EXPECT_TRUE(picker->ListView.ListItems.empty());

  // Browsing to a one-image .ico lists one entry.
  Save(dir / "one.ico", test::WriteIco({SolidImage(ColourOf(3))}));
  ui.openAnswers.push_back((dir / "one.ico").string());
  picker->BrowseButton_Click();
  ASSERT_EQ(picker->ListView.ListItems.size(), 1u);
  EXPECT_EQ(picker->ListView.ListItems[0].Text, " 0");
  EXPECT_EQ(picker->TotalIcons, "0");
  EXPECT_EQ(picker->SelectedNo, "0");
  EXPECT_TRUE(picker->ButtonCreateEnabled);
  // Cancelling the dialog changes nothing.
  picker->BrowseButton_Click();
  EXPECT_EQ(picker->SelectedIcon, (dir / "one.ico").string());
}

TEST_F(PickerFlowTest, AutoCreateMakesOneYellowFolderPerApplication) {
  Save(dir / "Games" / "chess.exe", test::WritePe({{"", 1, {SolidImage({255, 0, 0, 255})}}}));
  Save(dir / "Games" / "GO.EXE", test::WritePe({{"", 1, {SolidImage({0, 0, 255, 255})}}}));
  Save(dir / "Games" / "hidden.exe", test::WritePe({{"", 1, {SolidImage({0, 255, 0, 255})}}}));
  ASSERT_EQ(setxattr((dir / "Games" / "hidden.exe").c_str(), "user.DOSATTRIB", "0x2", 3, 0), 0);
  test::WriteFile(dir / "Games" / "readme.txt", "x");
  tp.registry.SetString(kVerbRoot, kVerbKey, kDefaultLibraryValue, library);
  Open(Games());
  picker->BtnAutoCreate_Click();
  ASSERT_EQ(picker->IconList.size(), 2u);
  ASSERT_EQ(picker->ListView.ListItems.size(), 2u);
  EXPECT_EQ(picker->ListView.ListItems[1].Text, " 1");
  EXPECT_EQ(picker->SelectedIcon, "Games.ico");
  EXPECT_EQ(picker->SelectedNo, "0");
  // Each carries its application's small icon at (8, 9) on the folder.
  std::set<std::pair<int, int>> seen;
  for (const auto& pic : picker->IconList) {
    const plumage::Rgb c = pic.At(15, 16);
    seen.insert({c.r, c.b});
    EXPECT_EQ(pic.At(31, 31), pic.At(31, 30)) << "below the folder is the window colour";
  }
  EXPECT_EQ(seen, (std::set<std::pair<int, int>>{{255, 0}, {0, 255}}));
}

TEST_F(PickerFlowTest, AutoCreateWithoutApplicationsListsThePreviousFileAgain) {
  tp.registry.SetString(kVerbRoot, kVerbKey, kDefaultLibraryValue, library);
  Open(Games());
  picker->BtnAutoCreate_Click();
  ASSERT_EQ(ui.messages.size(), 1u);
  EXPECT_EQ(ui.messages[0].text, "Sorry, this folder contains no application.");
  EXPECT_EQ(ui.messages[0].title, "Plumage");
  EXPECT_EQ(ui.messages[0].icon, MessageIcon::Information);
  EXPECT_EQ(picker->SelectedIcon, library);
  EXPECT_EQ(picker->ListView.ListItems.size(), 40u);
  EXPECT_TRUE(picker->ButtonCreateEnabled);
}

// The IconFile a folder's DESKTOP.INI names, "" when it has none.
std::string IconFileOf(const std::filesystem::path& ini) {
  if (!std::filesystem::exists(ini)) return {};
  const std::string text = test::ReadFile(ini);
  const auto at = text.find("IconFile=");
  if (at == std::string::npos) return {};
  const auto start = at + 9;
  return text.substr(start, text.find("\r\n", start) - start);
}

TEST_F(PickerFlowTest, AnAutoCreatedIconIsSavedOnTheOkThatHasAnEntryChosen) {
  Save(dir / "Games" / "chess.exe", test::WritePe({{"", 1, {SolidImage({255, 0, 0, 255})}}}));
  Save(dir / "Games" / "go.exe", test::WritePe({{"", 1, {SolidImage({0, 0, 255, 255})}}}));
  tp.registry.SetString(kVerbRoot, kVerbKey, kDefaultLibraryValue, library);
  tp.registry.SetString(kVerbRoot, kVerbKey, kNoWarningValue, " 1");
  Open(Games());
  InstallIconMaking(*picker);
  picker->BtnAutoCreate_Click();
  ASSERT_EQ(picker->ListView.ListItems.size(), 2u);
  // A composed list names no file yet: nothing to convert from.
  EXPECT_FALSE(picker->ButtonCreateEnabled);

  // OK with no entry chosen: told so, the folder untouched, the choice as
  // it was.
  picker->OKButton_Click();
  ASSERT_EQ(ui.messages.size(), 1u);
  EXPECT_EQ(ui.messages[0].text, "Select the icon to save in the list first!");
  EXPECT_FALSE(picker->Unloaded());
  EXPECT_EQ(picker->SelectedIcon, "Games.ico");
  EXPECT_FALSE(std::filesystem::exists(dir / "Games" / "DESKTOP.INI"));

  // Choosing an entry and OK again saves it and names the saved file.
  picker->ListView_ItemClick(2);
  picker->OKButton_Click();
  EXPECT_EQ(ui.messages.size(), 1u);
  EXPECT_TRUE(picker->Unloaded());
  const std::string named = IconFileOf(dir / "Games" / "DESKTOP.INI");
  EXPECT_EQ(named, (dir / "home" / "Icons" / "Games.ico").string());
  EXPECT_TRUE(std::filesystem::is_regular_file(named)) << named;
  EXPECT_NE(test::ReadFile(dir / "Games" / "DESKTOP.INI").find("IconIndex=0\r\n"),
            std::string::npos);
}

TEST_F(PickerFlowTest, AFailedSaveOfACreatedIconNeverLeavesTheFolderPointingAtNothing) {
  Save(dir / "Games" / "chess.exe", test::WritePe({{"", 1, {SolidImage({255, 0, 0, 255})}}}));
  tp.registry.SetString(kVerbRoot, kVerbKey, kDefaultLibraryValue, library);
  tp.registry.SetString(kVerbRoot, kVerbKey, kNoWarningValue, " 1");
  // A file where the folder of new icons should be: the save cannot be made.
  std::filesystem::remove_all(dir / "home" / "Icons");
  test::WriteFile(dir / "home" / "Icons", "in the way");
  Open(Games());
  InstallIconMaking(*picker);
  picker->BtnAutoCreate_Click();
  picker->ListView_ItemClick(1);
  for (int attempt = 0; attempt < 2; ++attempt) {
    picker->OKButton_Click();
    EXPECT_FALSE(picker->Unloaded());
    EXPECT_EQ(picker->SelectedIcon, "Games.ico");
    EXPECT_FALSE(std::filesystem::exists(dir / "Games" / "DESKTOP.INI")) << "attempt " << attempt;
  }
  ASSERT_EQ(ui.messages.size(), 2u);
  EXPECT_EQ(ui.messages[1].text.rfind("Cannot create the folder of new icons", 0), 0u);

  // With the way cleared, the same OK succeeds.
  std::filesystem::remove(dir / "home" / "Icons");
  picker->OKButton_Click();
  EXPECT_TRUE(picker->Unloaded());
  EXPECT_TRUE(std::filesystem::is_regular_file(IconFileOf(dir / "Games" / "DESKTOP.INI")));
}

TEST_F(PickerFlowTest, AFileWithoutIconsIsToldOnceAndOffersNothingToConvert) {
  tp.registry.SetString(kVerbRoot, kVerbKey, kDefaultLibraryValue, library);
  Open(Games());
  test::WriteFile(dir / "notes.txt", "not an icon file");
  ui.openAnswers.push_back((dir / "notes.txt").string());
  picker->BrowseButton_Click();
  ASSERT_EQ(ui.messages.size(), 1u);
  EXPECT_EQ(picker->SelectedIcon, "");
  EXPECT_FALSE(picker->ButtonCreateEnabled) << "converting from no file can only fail again";

  // Auto-create in a folder without applications lists the file named
  // before, which is none now: the list stays empty, with only the
  // auto-create's own message.
  picker->BtnAutoCreate_Click();
  ASSERT_EQ(ui.messages.size(), 2u);
  EXPECT_EQ(ui.messages[1].text, "Sorry, this folder contains no application.");
  EXPECT_TRUE(picker->ListView.ListItems.empty());
  EXPECT_FALSE(picker->ButtonCreateEnabled);
}

TEST_F(PickerFlowTest, TheEntriesAreNamedForAScreenReaderInTheLanguageOfTheLoad) {
  tp.registry.SetString(kVerbRoot, kVerbKey, kDefaultLibraryValue, library);
  Open(Games());
  ASSERT_EQ(picker->ListView.ListItems.size(), 40u);
  EXPECT_EQ(picker->ListView.ListItems[12].Name, "Icon 12");
  EXPECT_EQ(picker->Caption.Image1, "About Plumage");
  tp.registry.SetString(kVerbRoot, kVerbKey, "", Utf8ToAnsi("M&odifier l'icône..."));
  Open(Games());
  EXPECT_EQ(picker->ListView.ListItems[0].Name, "Icône 0");
  EXPECT_EQ(picker->Caption.Image1, "A propos de Plumage");
}

TEST_F(PickerFlowTest, AtTwiceTheScaleTheListIsDrawnFromTheIconsLargerImages) {
  auto image = [](int size, platform::Rgba colour) {
    test::DibDef dibDef;
    dibDef.width = size;
    dibDef.height = size;
    dibDef.bpp = 8;
    dibDef.palette = {colour};
    dibDef.pixels.assign(static_cast<std::size_t>(size * size), 0);
    return test::EncodeDib(dibDef);
  };
  // Icon 0 has a 64 × 64 image of its own (blue), beside its 32 × 32 one
  // (red); icon 1 has only a 32 × 32 image (green).
  Save(dir / "two.dll",
       test::WritePe({{"", 1, {image(32, {255, 0, 0, 255}), image(64, {0, 0, 255, 255})}},
                      {"", 2, {image(32, {0, 255, 0, 255})}}}));
  test::WriteFile(dir / "Games" / "DESKTOP.INI",
                  "[.ShellClassInfo]\r\nIconFile=" + (dir / "two.dll").string() + "\r\n");
  BeginRun(tp.program, Games());
  picker = std::make_unique<ChangeIcon>(tp.program, ui);
  picker->PictureScale = 2;
  picker->Form_Load();
  ASSERT_EQ(picker->IconList.size(), 2u);
  ASSERT_EQ(picker->LargeIconList.size(), 2u);
  EXPECT_EQ(picker->IconList[0].At(16, 16), (plumage::Rgb{255, 0, 0}));
  EXPECT_EQ(picker->LargeIconList[0].width(), 64);
  EXPECT_EQ(picker->LargeIconList[0].At(40, 40), (plumage::Rgb{0, 0, 255}));
  // Without a larger image, the 32 × 32 one is stretched.
  EXPECT_EQ(picker->LargeIconList[1].width(), 64);
  EXPECT_EQ(picker->LargeIconList[1].At(63, 63), (plumage::Rgb{0, 255, 0}));

  // Composed pictures have no larger drawing; the view shows them as they are.
  Save(dir / "Games" / "chess.exe", test::WritePe({{"", 1, {SolidImage({255, 0, 0, 255})}}}));
  picker->BtnAutoCreate_Click();
  EXPECT_EQ(picker->IconList.size(), 1u);
  EXPECT_TRUE(picker->LargeIconList.empty());
}

TEST_F(PickerFlowTest, OkWritesTheChoiceAndResetRemovesIt) {
  tp.registry.SetString(kVerbRoot, kVerbKey, kDefaultLibraryValue, library);
  tp.registry.SetString(kVerbRoot, kVerbKey, kNoWarningValue, " 1");
  Open(Games());
  picker->ListView_ItemClick(3);
  picker->OKButton_Click();
  EXPECT_EQ(test::ReadFile(dir / "Games" / "DESKTOP.INI"),
            "[.ShellClassInfo]\r\nIconFile=" + library + "\r\nIconIndex=2\r\n");
  EXPECT_TRUE(picker->Unloaded());
  EXPECT_TRUE(ui.messages.empty());  // the reminder is off
  EXPECT_EQ(tp.shell.refreshKeys, 1);

  Open(Games());
  EXPECT_EQ(picker->SelectedNo, "2");
  picker->RemoveButton_Click();
  EXPECT_TRUE(picker->ListView.ListItems.empty());
  EXPECT_EQ(picker->TotalIcons, "0");
  EXPECT_EQ(picker->SelectedIcon, "");
  EXPECT_EQ(picker->SelectedNo, "");
  EXPECT_FALSE(picker->ButtonCreateEnabled);
  EXPECT_EQ(test::ReadFile(dir / "Games" / "DESKTOP.INI"),
            "[.ShellClassInfo]\r\nIconFile=\r\nIconIndex=\r\n");
  EXPECT_EQ(tp.shell.refreshKeys, 2);
}

TEST_F(PickerFlowTest, ANetworkFolderIsRefusedBeforeAnythingIsRead) {
  Open("\\\\server\\share\\folder");
  ASSERT_EQ(ui.messages.size(), 1u);
  EXPECT_EQ(ui.messages[0].text,
            "You cannot modify a folder located on a network. This can be done from the server, "
            "using Plumage Professionnal version.");
  EXPECT_EQ(ui.messages[0].icon, MessageIcon::Exclamation);
  EXPECT_TRUE(ui.endRequested);
  EXPECT_TRUE(picker->ListView.ListItems.empty());
}

TEST_F(PickerFlowTest, ASecondCopyEndsAtOnceWithoutAMessage) {
  tp.system.previousInstance = true;
  Open(Games());
  EXPECT_TRUE(ui.endRequested);
  EXPECT_TRUE(ui.messages.empty());
  EXPECT_TRUE(picker->ListView.ListItems.empty());
}

TEST_F(PickerFlowTest, FrenchCaptionsAndMessages) {
  tp.registry.SetString(kVerbRoot, kVerbKey, "", Utf8ToAnsi("M&odifier l'icône..."));  // ANSI bytes
  Open(Games());
  EXPECT_EQ(picker->Caption.RemoveButton, "&Reset");
  EXPECT_EQ(picker->Caption.Label3, "Index:");
  EXPECT_EQ(picker->Caption.Label1, "Icône courante:");
  EXPECT_EQ(picker->Caption.BtnAutoCreate, "Création à partir de \r'Games'");
  EXPECT_EQ(picker->Caption.OptionButton, "&Paramètres...");
  EXPECT_EQ(picker->Msg.NoIcon, "Aucune icône n'a été trouvée dans ce fichier!");
  EXPECT_EQ(picker->Msg.ErrorTitle, "Erreur!");
  EXPECT_EQ(tp.program.HelpFile, (dir / "home").string() + "/HLPFR.HLP");
}

}  // namespace
}  // namespace plumage
