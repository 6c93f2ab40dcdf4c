// The icon kept inside the folder: the copy, its name, its marks, and what
// later choices, a Reset and a failed write do with it.
#include <sys/stat.h>

#include "folder/kept_icon.h"
#include "folder_fixture.h"
#include "formats/icons/icon_file.h"
#include "support/icon_writer.h"

namespace plumage::test {
namespace {

using platform::kAttributeHidden;
using platform::kAttributeSystem;

Bytes Image(int side, int bpp, std::uint8_t shade) {
  DibDef def;
  def.width = side;
  def.height = side;
  def.bpp = bpp;
  if (bpp <= 8) def.palette = {{shade, 0, 0, 255}, {0, shade, 0, 255}};
  def.pixels.assign(static_cast<std::size_t>(side * side), bpp <= 8 ? 1u : 0xFF000000u | shade);
  return EncodeDib(def);
}

// The images of icon `index` of a kept file, as our own reader finds them.
std::vector<Bytes> ImagesOf(const std::string& bytes) {
  const std::span<const std::uint8_t> data(reinterpret_cast<const std::uint8_t*>(bytes.data()),
                                           bytes.size());
  auto parsed = formats::ParseIconFile(data);
  std::vector<Bytes> images;
  if (!parsed || parsed->groups.size() != 1) return images;
  for (const auto& image : parsed->groups[0].images)
    images.emplace_back(image.bytes.begin(), image.bytes.end());
  return images;
}

class KeptIconTest : public FolderTest {
 protected:
  KeptIconTest() {
    KeepIconInside(true);
    // Three icons; the second has four images, a PNG among them.
    second = {Image(16, 4, 10), Image(32, 8, 20), Image(48, 32, 30),
              EncodePng(64, 64, std::vector<formats::Rgba>(64 * 64, {1, 2, 3, 255}))};
    library = (dir / "lib.dll").string();
    const Bytes pe = WritePe({{"", 7, {Image(32, 8, 1)}}, {"", 8, second}, {"", 9, {Image(32, 8, 3)}}});
    WriteFile(library, std::string(pe.begin(), pe.end()));
  }
  FolderWriteReport Choose(const std::string& icon, const std::string& index) {
    SelectedIcon = icon;
    SelectedNo = index;
    return Ops().WriteFolderDescriptor();
  }
  fs::path Kept(const std::string& name = "FolderIcon.ico") const { return folder / name; }

  std::vector<Bytes> second;
  std::string library;
};

TEST_F(KeptIconTest, TheWholeIconIsKeptInsideAndNamedByItsBareName) {
  FolderWriteReport report = Choose(library, "1");
  EXPECT_TRUE(report.unstored.empty()) << report.unstored[0];
  EXPECT_EQ(IniBytes(),
            "[.ShellClassInfo]\r\nIconFile=FolderIcon.ico\r\nIconIndex=0\r\n"
            "IconResource=FolderIcon.ico,0\r\n");
  EXPECT_EQ(Dos(Kept()), "0x6") << "the copy is Hidden and System";
  const std::string kept = ReadFile(Kept());
  EXPECT_TRUE(IsKeptIconBytes(kept));
  EXPECT_EQ(ImagesOf(kept), second) << "every image of the chosen icon, in its order";
  // An independent reader finds the four images too.
  ProcessResult listed = RunProcess({"/usr/bin/icotool", "-l", Kept().string()});
  ASSERT_EQ(listed.exitCode, 0) << listed.err;
  EXPECT_EQ(std::count(listed.out.begin(), listed.out.end(), '\n'), 4) << listed.out;
  EXPECT_NE(listed.out.find("--width=64 --height=64 --bit-depth=32"), std::string::npos)
      << listed.out;
  // The shell caches the copy, not the library; the picker reads the copy
  // back by its place in the folder.
  EXPECT_EQ(env.shell.cached, (std::vector<std::pair<std::string, int>>{{Kept().string(), 0}}));
  SelectedIcon.clear();
  Ops().ReadPresentIcon();
  EXPECT_EQ(std::tuple(SelectedIcon, SelectedNo), std::tuple(Kept().string(), "0"));
}

TEST_F(KeptIconTest, AFileOfTheUsersIsNeverOverwritten) {
  // Windows ignores letter case, so this name is taken.
  WriteFile(folder / "foldericon.ico", "the user's own");
  WriteFile(folder / "FolderIcon (2).ico", "another of the user's");
  Choose(library, "0");
  EXPECT_EQ(ReadFile(folder / "foldericon.ico"), "the user's own");
  EXPECT_EQ(ReadFile(folder / "FolderIcon (2).ico"), "another of the user's");
  EXPECT_TRUE(IsKeptIconBytes(ReadFile(Kept("FolderIcon (3).ico"))));
  EXPECT_NE(IniBytes().find("IconFile=FolderIcon (3).ico\r\n"), std::string::npos) << IniBytes();
}

TEST_F(KeptIconTest, LaterChoicesReplaceTheCopyAndResetRemovesIt) {
  Choose(library, "1");
  Choose(library, "-9");  // by resource number: the third icon
  EXPECT_EQ(ImagesOf(ReadFile(Kept())), std::vector<Bytes>{Image(32, 8, 3)});
  EXPECT_FALSE(fs::exists(Kept("FolderIcon (2).ico"))) << "replaced in place, not beside";

  // An icon file of the folder itself is named as it is: the copy goes.
  const Bytes cover = WriteIco({Image(32, 8, 5)});
  WriteFile(folder / "cover.ico", std::string(cover.begin(), cover.end()));
  FolderWriteReport report = Choose((folder / "cover.ico").string(), "0");
  EXPECT_TRUE(report.keptIcon.empty());
  EXPECT_NE(IniBytes().find("IconFile=cover.ico\r\nIconIndex=0\r\n"), std::string::npos);
  EXPECT_FALSE(fs::exists(Kept()));
  EXPECT_EQ(Dos(folder / "cover.ico"), std::nullopt) << "the user's file keeps its attributes";

  Choose(library, "0");
  ASSERT_TRUE(fs::exists(Kept()));
  Choose("", "");
  EXPECT_EQ(IniBytes(), "[.ShellClassInfo]\r\nIconFile=\r\nIconIndex=\r\nIconResource=\r\n");
  EXPECT_FALSE(fs::exists(Kept()));
  EXPECT_TRUE(fs::exists(folder / "cover.ico"));
}

TEST_F(KeptIconTest, AFailedWriteGivesTheEarlierCopyBack) {
  Choose(library, "1");
  const std::string before = ReadFile(Kept());
  // A descriptor that cannot be replaced: the write fails after the copy.
  fs::remove(Ini());
  ASSERT_EQ(mkfifo(Ini().c_str(), 0644), 0);
  FolderWriteReport report = Choose(library, "2");
  EXPECT_EQ(report.outcome, FolderWriteReport::Outcome::CannotWrite);
  EXPECT_EQ(ReadFile(Kept()), before);
  EXPECT_EQ(ui.messages.size(), 1u);
}

TEST_F(KeptIconTest, RemovableAndNetworkVolumesKeepItWhateverTheSetting) {
  KeepIconInside(false);
  Choose(library, "1");
  EXPECT_NE(IniBytes().find("IconFile=" + library + "\r\n"), std::string::npos);
  for (bool removable : {true, false}) {
    platform::VolumeInfo volume;
    volume.type = removable ? "vfat" : "cifs";
    volume.removable = removable;
    volume.network = !removable;
    files.volume = volume;
    Choose(library, "1");
    EXPECT_NE(IniBytes().find("IconFile=FolderIcon.ico\r\n"), std::string::npos) << volume.type;
  }
}

TEST_F(KeptIconTest, WhatCannotBeCopiedIsNamedByItsPathWithAWarning) {
  for (const std::string& icon : {(dir / "later.ico").string(), (dir / "notes.txt").string()}) {
    if (icon.ends_with(".txt")) WriteFile(icon, "not an icon");
    FolderWriteReport report = Choose(icon, "0");
    EXPECT_EQ(report.outcome, FolderWriteReport::Outcome::Written);
    EXPECT_NE(IniBytes().find("IconFile=" + icon + "\r\n"), std::string::npos) << IniBytes();
    ASSERT_EQ(report.unstored.size(), 1u);
    EXPECT_NE(report.unstored[0].find(icon), std::string::npos) << report.unstored[0];
    EXPECT_FALSE(fs::exists(Kept()));
  }
  // An index past the file's icons is said so.
  FolderWriteReport report = Choose(library, "3");
  ASSERT_EQ(report.unstored.size(), 1u);
  EXPECT_NE(report.unstored[0].find("no icon at index 3 (it holds 3 icons)"), std::string::npos)
      << report.unstored[0];
}

TEST_F(KeptIconTest, ADriveRootKeepsItInTheRootAndResetDeletesBoth) {
  files.roots.insert(folder.string());
  Choose(library, "1");
  EXPECT_EQ(ReadFile(folder / "AUTORUN.INF"), "[Autorun]\r\nIcon=FolderIcon.ico,0\r\n");
  EXPECT_EQ(Dos(Kept()), "0x6");
  Choose("", "");
  EXPECT_FALSE(fs::exists(folder / "AUTORUN.INF"));
  EXPECT_FALSE(fs::exists(Kept()));
}

TEST_F(KeptIconTest, MappedFoldersAreWrittenByTheirWindowsNameAndReadBack) {
  KeepIconInside(false);
  env.registry.SetString(kVerbRoot, kVerbKey, kWindowsPathsValue,
                         dir.str() + "|\\\\nas\\share|/elsewhere|D:\\");
  FolderWriteReport report = Choose(library, "2");
  EXPECT_EQ(report.storedIcon, "\\\\nas\\share\\lib.dll");
  EXPECT_NE(IniBytes().find("IconFile=\\\\nas\\share\\lib.dll\r\nIconIndex=2\r\n"),
            std::string::npos);
  SelectedIcon.clear();
  Ops().ReadPresentIcon();
  EXPECT_EQ(SelectedIcon, library) << "read back by its local name";

  // A name relative to the folder, with Windows separators, reads as the
  // file in the folder.
  WriteFile(Ini(), "[.ShellClassInfo]\r\nIconFile=art\\x.ico\r\nIconIndex=1\r\n");
  Ops().ReadPresentIcon();
  EXPECT_EQ(SelectedIcon, (folder / "art" / "x.ico").string());
  EXPECT_EQ(SelectedNo, "1");
}

}  // namespace
}  // namespace plumage::test
