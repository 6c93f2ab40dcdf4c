// The new-icon dialog as the picker opens it: its texts, the four
// candidates, the name rules, and the road from the picker's selection to
// an icon applied to the folder.
#include "iconmaker/frm_transform_icon.h"
#include "folder/kept_icon.h"

#include "app/texts.h"
#include "icon_making_fixture.h"
#include "iconmaker/save_selected.h"

namespace plumage::test {
namespace {

class TransformIconTest : public IconMakingTest {
 protected:
  TransformIconTest() {
    InstallIconMaking(picker);
    picker.SelectedIcon = WriteIcoFile("source.ico", 200);
    picker.SelectedNo = "0";
  }
  // The dialog as it first appears: loaded and painted.
  void Open(frmTransformIcon& dialog) {
    dialog.Form_Load();
    dialog.Form_Paint();
  }
  std::string Typed(frmTransformIcon& dialog, const std::string& keys) {
    for (char c : keys)
      if (char kept = dialog.IconName_KeyPress(c)) dialog.IconName.push_back(kept);
    return dialog.IconName;
  }

  ChangeIcon picker{env.program, ui};
};

TEST_F(TransformIconTest, TextsInBothLanguages) {
  frmTransformIcon dialog(env.program, ui, picker);
  EXPECT_EQ(dialog.Caption.Title, "Transform icon...");
  EXPECT_NE(dialog.Caption.Label1.find("(*.exe)  than with"), std::string::npos);
  env.program.Language = 1;
  dialog.Form_Load();
  EXPECT_EQ(dialog.Caption.Title, "Transformer l'icône...");
  EXPECT_EQ(dialog.Caption.Frame1, "Choisissez l'icône à créer:");
  EXPECT_EQ(dialog.Caption.frame2, "Nom de l'icône:");
  EXPECT_EQ(dialog.Caption.BtnCancel, "Annuler");
  EXPECT_EQ(dialog.Msg.NameRequired, "Vous devez entrez un nom pour cette icône!");
  EXPECT_EQ(dialog.Msg.ErrorTitle, "Erreur!");
}

TEST_F(TransformIconTest, FourCandidatesOnTheFourBackgroundsAndTheChoiceSurvivesARepaint) {
  frmTransformIcon dialog(env.program, ui, picker);
  Open(dialog);
  ASSERT_FALSE(dialog.Unloaded());
  ASSERT_EQ(dialog.IconList.size(), 4u);
  ASSERT_EQ(dialog.ListView.ListItems.size(), 4u);
  EXPECT_FALSE(dialog.ListView.BlankAttached);
  for (int i = 0; i < 4; ++i) {
    EXPECT_EQ(dialog.ListView.ListItems[static_cast<std::size_t>(i)].Text, ListLabel(i));
    auto drawn =
        ComposeFolderDrawing(icons, dialog.FolderPicture(), 8, 9, picker.SelectedIcon, 0, i);
    ASSERT_TRUE(drawn);
    EXPECT_TRUE(dialog.IconList[static_cast<std::size_t>(i)] == *drawn) << i;
  }
  EXPECT_EQ(dialog.ListView.SelectedItem, 1);
  dialog.ListView_ItemClick(3);
  dialog.Form_Paint();
  EXPECT_EQ(dialog.IconList.size(), 4u);
  EXPECT_EQ(dialog.ListView.SelectedItem, 3);
  EXPECT_FALSE(ui.waitCursor);
  EXPECT_TRUE(ui.messages.empty());
}

TEST_F(TransformIconTest, AnIconThatCannotBeDrawnIsToldOnceAndClosesTheDialog) {
  picker.SelectedNo = "7";
  frmTransformIcon dialog(env.program, ui, picker);
  Open(dialog);
  EXPECT_TRUE(dialog.Unloaded());
  ASSERT_EQ(ui.messages.size(), 1u);
  EXPECT_EQ(ui.messages[0].text, "No icon was found in this file!");
  EXPECT_FALSE(ui.waitCursor);
  EXPECT_EQ(picker.SelectedNo, "7");
  EXPECT_TRUE(Names(IconsDir()).empty());
}

TEST_F(TransformIconTest, TheNameBoxDropsTheSixRefusedCharactersWithABeep) {
  frmTransformIcon dialog(env.program, ui, picker);
  EXPECT_EQ(Typed(dialog, "a.b"), "ab");
  EXPECT_EQ(ui.beeps, 1);
  EXPECT_EQ(Typed(dialog, "\\:=*?"), "ab");
  EXPECT_EQ(ui.beeps, 6);
  EXPECT_EQ(Typed(dialog, " /<>|\""), "ab /<>|\"");
  EXPECT_EQ(ui.beeps, 6);
}

TEST_F(TransformIconTest, OkSavesTheChosenCandidateUnderTheName) {
  struct Case {
    std::string name, file;
  };
  for (const Case& c : {Case{"Music", "Music.ico"}, Case{"Rico", "Rico"}, Case{"My ICO", "My ICO"},
                        Case{"Bleu ciel", "Bleu ciel.ico"}}) {
    SCOPED_TRACE(c.name);
    frmTransformIcon dialog(env.program, ui, picker);
    Open(dialog);
    dialog.ListView_ItemClick(3);
    dialog.IconName = c.name;
    dialog.BtnOk_Click();
    EXPECT_TRUE(dialog.Unloaded());
    EXPECT_EQ(picker.SelectedIcon, (IconsDir() / c.file).string());
    EXPECT_EQ(picker.SelectedNo, "0");
    const std::string icon = ReadFile(IconsDir() / c.file);
    EXPECT_EQ(icon.size(), 2238u);
    EXPECT_TRUE(TemporariesGone());
    picker.SelectedIcon = (dir / "source.ico").string();
    picker.SelectedNo = "0";
  }
  EXPECT_TRUE(ui.messages.empty());
}

TEST_F(TransformIconTest, OkRefusesAnEmptyOrPastedPathNameAndWritesNothing) {
  frmTransformIcon dialog(env.program, ui, picker);
  Open(dialog);
  const std::string before = picker.SelectedIcon;
  dialog.BtnOk_Click();
  ASSERT_EQ(ui.messages.size(), 1u);
  EXPECT_EQ(ui.messages[0].text, "You must enter a name for this icon!");
  EXPECT_EQ(ui.messages[0].title, "Error!");
  EXPECT_EQ(ui.messages[0].icon, MessageIcon::Exclamation);
  for (const char* pasted : {"../escape", "a/b", "a.b", "C:x", "..\\up", "x?", "/etc/passwd"}) {
    SCOPED_TRACE(pasted);
    ui.messages.clear();
    dialog.IconName = pasted;
    dialog.BtnOk_Click();
    ASSERT_EQ(ui.messages.size(), 1u);
    EXPECT_EQ(ui.messages[0].text, texts::transform_icon::kInvalidName.en);
    EXPECT_FALSE(dialog.Unloaded());
    EXPECT_EQ(picker.SelectedIcon, before);
  }
  EXPECT_TRUE(Names(IconsDir()).empty());
  EXPECT_EQ(Names(programFolder), std::vector<std::string>{"Icons"});
  EXPECT_EQ(Names(fs::path(dir.str())).size(), 3u);  // program, Music, source.ico

  dialog.BtnCancel_Click();
  EXPECT_TRUE(dialog.Unloaded());
  EXPECT_TRUE(Names(IconsDir()).empty());
}

TEST_F(TransformIconTest, AFailedSaveKeepsTheDialogOpenAndThePickerOnItsFile) {
  frmTransformIcon dialog(env.program, ui, picker);
  Open(dialog);
  const std::string before = picker.SelectedIcon;
  fs::create_directory(IconsDir() / "Music.ico");
  dialog.IconName = "Music";
  dialog.BtnOk_Click();
  EXPECT_FALSE(dialog.Unloaded());
  EXPECT_EQ(picker.SelectedIcon, before);
  ASSERT_EQ(ui.messages.size(), 1u);
  EXPECT_EQ(ui.messages[0].text.rfind("Cannot make the icon file", 0), 0u);
}

// From the picker: Convert selected icon, a colour, a name, OK in the
// dialog; the picker lists the new icon and its OK gives it to the folder.
TEST_F(TransformIconTest, ConvertedInTheRedFolderListedAndApplied) {
  env.program.NoWarning = 1;
  ui.onShowTransformIcon = [this](ChangeIcon& p) {
    frmTransformIcon dialog(env.program, ui, p);
    Open(dialog);
    dialog.ListView_ItemClick(2);  // red
    dialog.IconName = "Music";
    dialog.BtnOk_Click();
    ASSERT_TRUE(dialog.Unloaded());
  };
  picker.ButtonCreate_Click();
  const std::string made = (IconsDir() / "Music.ico").string();
  EXPECT_EQ(picker.SelectedIcon, made);
  ASSERT_EQ(picker.ListView.ListItems.size(), 1u);
  EXPECT_EQ(picker.ListView.ListItems[0].Text, " 0");
  // The listed icon is a red folder (the red outweighs the rest over much
  // of its face), drawn through its mask on white.
  int reddish = 0;
  for (int y = 0; y < 32; ++y)
    for (int x = 0; x < 32; ++x) {
      const plumage::Rgb c = picker.IconList[0].At(x, y);
      if (FolderMaskOpaque(x, y) && c.r > 2 * c.g && c.r > 2 * c.b) ++reddish;
    }
  EXPECT_GT(reddish, 150);
  EXPECT_EQ(picker.IconList[0].At(30, 2), (plumage::Rgb{255, 255, 255}));

  picker.ListView_ItemClick(1);
  picker.OKButton_Click();
  EXPECT_TRUE(picker.Unloaded());
  const std::string ini = ReadFile(folder / "DESKTOP.INI");
  // Kept inside the folder: the made icon's image behind a directory of its own.
  EXPECT_NE(ini.find("IconFile=FolderIcon.ico\r\nIconIndex=0\r\n"), std::string::npos) << ini;
  const std::string kept = ReadFile(folder / "FolderIcon.ico");
  ASSERT_GT(kept.size(), kKeptIconMarker.size() + 22);
  EXPECT_EQ(kept.substr(22, kept.size() - 22 - kKeptIconMarker.size()), ReadFile(made).substr(22));
  EXPECT_TRUE(ui.messages.empty());
}

// Auto-create lists the applications of the folder; OK saves the selected
// one as FolderName.ico and applies it.
TEST_F(TransformIconTest, AutoCreatedIconSavedAsFolderNameAndApplied) {
  env.program.NoWarning = 1;
  const Bytes app = TestIconFile(30);
  WriteFile(folder / "Player.exe", std::string(app.begin(), app.end()));
  picker.BtnAutoCreate_Click();
  ASSERT_EQ(picker.ListView.ListItems.size(), 1u)
      << (ui.messages.empty() ? "" : ui.messages[0].text);
  EXPECT_EQ(picker.SelectedIcon, "Music.ico");
  picker.ListView_ItemClick(1);
  picker.OKButton_Click();
  const std::string made = (IconsDir() / "Music.ico").string();
  EXPECT_EQ(ReadFile(made).size(), 2238u);
  EXPECT_EQ(picker.SelectedIcon, made);
  EXPECT_EQ(picker.SelectedNo, "0");
  EXPECT_TRUE(TemporariesGone());
  const std::string ini = ReadFile(folder / "DESKTOP.INI");
  // Kept inside the folder: the made icon's image behind a directory of its own.
  EXPECT_NE(ini.find("IconFile=FolderIcon.ico\r\nIconIndex=0\r\n"), std::string::npos) << ini;
  const std::string kept = ReadFile(folder / "FolderIcon.ico");
  ASSERT_GT(kept.size(), kKeptIconMarker.size() + 22);
  EXPECT_EQ(kept.substr(22, kept.size() - 22 - kKeptIconMarker.size()), ReadFile(made).substr(22));
  EXPECT_TRUE(picker.Unloaded());
}

// With nothing selected the save refuses and the picker stays open.
TEST_F(TransformIconTest, AutoCreatedWithoutASelectionStaysOpen) {
  const Bytes app = TestIconFile(30);
  WriteFile(folder / "Player.exe", std::string(app.begin(), app.end()));
  picker.BtnAutoCreate_Click();
  picker.OKButton_Click();
  EXPECT_FALSE(picker.Unloaded());
  ASSERT_EQ(ui.messages.size(), 1u);
  EXPECT_EQ(ui.messages[0].text, "Select the icon to save in the list first!");
  EXPECT_FALSE(fs::exists(folder / "DESKTOP.INI"));
  EXPECT_TRUE(Names(IconsDir()).empty());
}

}  // namespace
}  // namespace plumage::test
