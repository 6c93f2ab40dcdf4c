// The making of folder icons: what BmpToIcon refuses, SaveSelectedAsIcon and
// every way it fails without leaving anything half-written, and the new-icon
// dialog as the picker opens it; all on the form bench (a program folder with
// its folder of new icons, a folder Music). The bytes of the icons made are
// held by plumagectl make-icon's transcript.
#include <gtest/gtest.h>

#include <algorithm>

#include "app/texts.h"
#include "iconmaker/bmp_to_icon.h"
#include "iconmaker/frm_transform_icon.h"
#include "iconmaker/save_selected.h"
#include "image/dib_section.h"
#include "support/form_bench.h"
#ifndef _WIN32
#include "support/run_process.h"
#endif

namespace plumage::test {
namespace {

namespace fs = std::filesystem;

// A 32 × 32 picture with many colours, different for each seed.
Surface24 TestPicture(unsigned seed) {
  Surface24 s(32, 32);
  for (int y = 0; y < 32; ++y)
    for (int x = 0; x < 32; ++x)
      s.Set(x, y, {static_cast<std::uint8_t>((x * 8 + seed * 37) & 0xFF),
                   static_cast<std::uint8_t>((y * 8 + seed * 11) & 0xFF),
                   static_cast<std::uint8_t>(((x ^ y) * 8 + seed * 5) & 0xFF)});
  return s;
}

class IconMakingTest : public ::testing::Test, public FormBench {
 protected:
  fs::path IconsDir() const { return home / "Icons"; }
  std::vector<std::string> Names(const fs::path& where) const {
    std::vector<std::string> names;
    for (const auto& e : fs::directory_iterator(where)) names.push_back(e.path().filename().string());
    std::sort(names.begin(), names.end());
    return names;
  }
  bool TemporariesGone() const {
    return !fs::exists(home / "$$$.BMP") && !fs::exists(home / "$$$.ICO");
  }
};

TEST(BmpToIcon, OnlyAnUncompressed8Bit32By32BitmapWithItsPixelsAt1078IsTaken) {
  std::vector<std::uint8_t> b(2102, 0);
  const std::pair<int, int> good[] = {{0, 'B'}, {1, 'M'}, {10, 0x36}, {11, 0x04},
                                      {14, 40}, {18, 32}, {22, 32},   {28, 8}};
  for (auto [at, value] : good) b[static_cast<std::size_t>(at)] = static_cast<std::uint8_t>(value);
  EXPECT_TRUE(IconBytesFromBitmap8(b));
  const std::pair<int, int> bad[] = {{28, 24}, {22, 33}, {10, 0x37}};
  for (auto [at, value] : bad) {
    auto changed = b;
    changed[static_cast<std::size_t>(at)] = static_cast<std::uint8_t>(value);
    EXPECT_FALSE(IconBytesFromBitmap8(changed)) << at;
  }
  auto cut = IconBytesFromBitmap8(std::span(b).first(2101));
  ASSERT_FALSE(cut);
  EXPECT_EQ(cut.error().kind, ErrorKind::Truncated);
}

TEST_F(IconMakingTest, WhatIsNotA32By32PictureIsRefusedAndNothingWritten) {
  const std::string icon = (IconsDir() / "Odd.ico").string(), picture = (dir / "p.bmp").string();
  image::cDIBSection dib(image::ImageServices{.fileSystem = program.os.files});
  ASSERT_TRUE(dib.CreateFromPicture(Surface24(31, 32)) && dib.SavePicture(picture));
  auto r = ConvertBmpToIcon(program, picture, icon);
  ASSERT_FALSE(r);
  EXPECT_NE(r.error().message.find("31 x 32"), std::string::npos) << r.error().message;
  WriteFile(dir / "junk.bmp", "BM not a bitmap");
  EXPECT_FALSE(ConvertBmpToIcon(program, (dir / "junk.bmp").string(), icon));
  EXPECT_FALSE(fs::exists(icon));
}

class SaveSelectedTest : public IconMakingTest {
 protected:
  SaveSelectedTest() {
    picker.IconList = {TestPicture(1), TestPicture(2)};
    picker.ListView.ListItems = {{" 0", 1}, {" 1", 2}};
    picker.ListView.BlankAttached = false;
    picker.SelectedIcon = Icon();
  }
  std::string Icon() const { return (IconsDir() / "Music.ico").string(); }
  // The one refusal shown, the pointer restored, the selection kept.
  void ExpectRefusal(const std::string& start) {
    ASSERT_EQ(ui.messages.size(), 1u);
    const ShownMessage& m = ui.messages[0];
    EXPECT_EQ(std::tuple(m.title, m.icon, m.waitCursorWasOn, ui.waitCursor, picker.SelectedNo),
              std::tuple("Error!", MessageIcon::Exclamation, false, false, "5"));
    EXPECT_EQ(m.text.rfind(start, 0), 0u) << m.text;
    EXPECT_TRUE(TemporariesGone());
    ui.messages.clear();
  }
  ChangeIcon picker{program, ui};
};

// Saving again under one name leaves the last picture; an icon saved
// elsewhere makes no folder of new icons.
TEST_F(SaveSelectedTest, WritesTheSelectedPictureAndNamesItWithIndexZero) {
  WriteFile(home / "$$$.BMP", "left over");
  WriteFile(home / "$$$.ICO", "left over");
  std::string made[3];
  for (int position : {1, 2}) {
    picker.ListView.SelectedItem = position;
    picker.SelectedNo = "1";
    ASSERT_TRUE(SaveSelectedAsIcon(picker));
    made[position] = ReadFile(Icon());
  }
  EXPECT_EQ(std::tuple(picker.SelectedNo, picker.TotalIcons, picker.SelectedIcon, ui.messages.size()),
            std::tuple("0", "1", Icon(), 0u));
  EXPECT_EQ(ui.events, (std::vector<std::string>{"wait:on", "wait:off", "wait:on", "wait:off"}));
  EXPECT_TRUE(TemporariesGone());
  EXPECT_EQ(Names(IconsDir()), std::vector<std::string>{"Music.ico"});
  EXPECT_EQ(made[2].size(), 2238u);
  EXPECT_NE(made[1], made[2]);
  fs::remove_all(IconsDir());
  picker.SelectedIcon = (dir / "elsewhere.ico").string();
  ASSERT_TRUE(SaveSelectedAsIcon(picker));
  EXPECT_EQ(ReadFile(picker.SelectedIcon), made[2]);
  EXPECT_FALSE(fs::exists(IconsDir()));
}

TEST_F(SaveSelectedTest, EveryFailureIsToldWhereAndLeavesTheIconAsItWas) {
  picker.SelectedNo = "5";
  for (int position : {0, 3, -1}) {
    picker.ListView.SelectedItem = position;
    EXPECT_FALSE(SaveSelectedAsIcon(picker));
    ExpectRefusal("Select the icon to save in the list first!");
  }
  EXPECT_FALSE(SaveSelectedAsIcon(picker, picker.ListView, picker, 1));
  EXPECT_EQ(ui.messages.at(0).text, texts::icon_making::kNothingSelected.fr);
  ui.messages.clear();

  picker.ListView.SelectedItem = 1;
  fs::remove(IconsDir());
  ASSERT_TRUE(SaveSelectedAsIcon(picker)) << "a missing folder of new icons is made";
  const std::string before = ReadFile(Icon());
  picker.SelectedNo = "5";
  picker.ListView.SelectedItem = 2;
  for (const char* blocked : {"$$$.BMP", "$$$.ICO"}) {
    fs::create_directory(home / blocked);  // neither removed nor written
    EXPECT_FALSE(SaveSelectedAsIcon(picker));
    EXPECT_NE(ui.messages.at(0).text.find(blocked), std::string::npos) << ui.messages[0].text;
    fs::remove(home / blocked);
    ExpectRefusal("Cannot make the icon file " + Icon() + ":\r");
  }
  fs::permissions(Icon(), fs::perms::owner_read);  // the final copy fails
  EXPECT_FALSE(SaveSelectedAsIcon(picker));
  ExpectRefusal("Cannot make the icon file " + Icon() + ":\r");
  EXPECT_EQ(ReadFile(Icon()), before);
  EXPECT_EQ(Names(IconsDir()), std::vector<std::string>{"Music.ico"});

  // Windows removes no read-only file: the icon gets its write permission back first.
  fs::permissions(Icon(), fs::perms::owner_read | fs::perms::owner_write);
  fs::remove_all(IconsDir());
  WriteFile(IconsDir(), "a file where the folder should be");
  EXPECT_FALSE(SaveSelectedAsIcon(picker));
  ExpectRefusal("Cannot create the folder of new icons " + IconsFolderPath(program) + ":");
  EXPECT_EQ(ReadFile(IconsDir()), "a file where the folder should be");
}

#ifndef _WIN32
TEST_F(SaveSelectedTest, ImageMagickReadsOne32By32EightBitImage) {
  picker.ListView.SelectedItem = 2;
  ASSERT_TRUE(SaveSelectedAsIcon(picker));
  ProcessResult identify = RunProcess({PLUMAGE_IDENTIFY, "-format", "%w %h %z %r\n", Icon()});
  ASSERT_EQ(identify.exitCode, 0) << identify.err;
  EXPECT_EQ(identify.out.rfind("32 32 8 ", 0), 0u) << identify.out;
  EXPECT_EQ(std::count(identify.out.begin(), identify.out.end(), '\n'), 1) << "one image";
}
#endif

class TransformIconTest : public IconMakingTest {
 protected:
  TransformIconTest() {
    InstallIconMaking(picker);
    picker.SelectedIcon = source;
    picker.SelectedNo = "0";
  }
  std::unique_ptr<frmTransformIcon> Open() {
    auto dialog = std::make_unique<frmTransformIcon>(program, ui, picker);
    dialog->Form_Load();
    dialog->Form_Paint();
    return dialog;
  }
  ChangeIcon picker{program, ui};
  const std::string source = Library("source.dll", 1);
};

TEST_F(TransformIconTest, FourCandidatesOnTheFourBackgroundsAndTheChoiceSurvivesARepaint) {
  auto dialog = Open();
  ASSERT_EQ(dialog->IconList.size(), 4u);
  for (int i = 0; i < 4; ++i) {
    EXPECT_EQ(dialog->ListView.ListItems[static_cast<std::size_t>(i)].Text, ListLabel(i));
    auto drawn = ComposeFolderDrawing(icons, dialog->FolderPicture(), 8, 9, picker.SelectedIcon, 0, i);
    ASSERT_TRUE(drawn);
    EXPECT_TRUE(dialog->IconList[static_cast<std::size_t>(i)] == *drawn) << i;
  }
  EXPECT_EQ(std::tuple(dialog->ListView.SelectedItem, dialog->ListView.BlankAttached), std::tuple(1, false));
  dialog->ListView_ItemClick(3);
  dialog->ListView_ItemClick(5);  // no such candidate
  dialog->Form_Paint();
  EXPECT_EQ(std::tuple(dialog->IconList.size(), dialog->ListView.SelectedItem, ui.waitCursor,
                       dialog->Unloaded(), ui.messages.size()),
            std::tuple(4u, 3, false, false, 0u));
  // An icon that cannot be drawn is told once and closes the dialog.
  picker.SelectedNo = "7";
  dialog = Open();
  EXPECT_EQ(Said(), std::vector<std::string>{"Plumage: No icon was found in this file!"});
  EXPECT_EQ(std::tuple(dialog->Unloaded(), ui.waitCursor, picker.SelectedNo), std::tuple(true, false, "7"));
  program.Language = 1;
  EXPECT_EQ(Open()->Msg.ErrorTitle, "Erreur!") << "the texts of the load";
}

TEST_F(TransformIconTest, TheNameBoxRefusesSixCharactersAndOkOnlyAPlainName) {
  auto dialog = Open();
  std::string typed;
  for (char c : std::string("a.b\\:=*? /<>|\"c"))
    if (char kept = dialog->IconName_KeyPress(c)) typed.push_back(kept);
  EXPECT_EQ(std::tuple(typed, ui.beeps), std::tuple(std::string("ab /<>|\"c"), 6));
  const std::string before = picker.SelectedIcon;
  for (const char* name : {"", "../escape", "a/b", "a.b", "C:x", "..\\up", "x?", "/etc/passwd"}) {
    dialog->IconName = name;
    dialog->BtnOk_Click();
    EXPECT_EQ(Said(), std::vector<std::string>{
                          std::string("Error!: ") + (*name ? texts::transform_icon::kInvalidName.en
                                                           : texts::transform_icon::kNameRequired.en)});
    ui.messages.clear();
  }
  EXPECT_EQ(std::tuple(dialog->Unloaded(), picker.SelectedIcon, Names(IconsDir()).size()),
            std::tuple(false, before, 0u));
  fs::create_directory(IconsDir() / "Music.ico");  // a failed save keeps the dialog open
  dialog->IconName = "Music";
  dialog->BtnOk_Click();
  EXPECT_EQ(std::tuple(dialog->Unloaded(), picker.SelectedIcon), std::tuple(false, before));
  EXPECT_EQ(ui.messages.at(0).text.rfind("Cannot make the icon file", 0), 0u);
  dialog->BtnCancel_Click();
  EXPECT_TRUE(dialog->Unloaded());
}

// OK saves the chosen candidate under the name, with .ico added unless it
// ends so in any case, and the picker takes the new icon. (Each front end's
// test goes on to the picker listing it.)
TEST_F(TransformIconTest, OkSavesUnderTheNameWithIcoAddedUnlessItEndsSo) {
  const std::pair<const char*, const char*> names[] = {
      {"Rico", "Rico"}, {"My ICO", "My ICO"}, {"Bleu ciel", "Bleu ciel.ico"}};
  for (const auto& [name, file] : names) {
    auto dialog = Open();
    dialog->ListView_ItemClick(2);
    dialog->IconName = name;
    dialog->BtnOk_Click();
    const std::string made = (IconsDir() / file).string();
    EXPECT_EQ(std::tuple(dialog->Unloaded(), picker.SelectedIcon, ReadFile(made).size()),
              std::tuple(true, made, 2238u));
    picker.SelectedIcon = source;
  }
  EXPECT_TRUE(TemporariesGone());
  EXPECT_TRUE(ui.messages.empty());
}

}  // namespace
}  // namespace plumage::test
