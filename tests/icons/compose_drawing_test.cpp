// ComposeFolderIcon's drawing: a small copy of an icon on a folder.
#include "picker/compose_drawing.h"

#include <gtest/gtest.h>

#include "icon_test_util.h"
#include "platform/portable/file_icon_source.h"
#include "support/temp_dir.h"
#include "test_icon_set.h"

namespace plumage::test {
namespace {

using plumage::Surface24;

TEST(ComposeFolderIcon, TheShellIconServesIndexZeroOfIcoAndExeFilesOnly) {
  struct Case {
    const char* path;
    std::int16_t index;
    bool shell;
  };
  const Case cases[] = {
      {"C:\\Games\\chess.exe", 0, true},
      {"/apps/Chess.EXE", 0, true},
      {"folder.ico", 0, true},
      {"folder.Ico", 0, true},
      {"chess.exe", 1, false},
      {"folder.ico", 2, false},
      {"shell32.dll", 0, false},
      {"icons.icl", 0, false},
      {"notanexe", 0, true},
      {"ico", 0, true},
      {"co", 0, false},
      {"", 0, false},
      {"café.ICO", 0, true},
      {"a.exe ", 0, false},
  };
  for (const Case& c : cases)
    EXPECT_EQ(UsesShellIcon(c.path, c.index), c.shell) << c.path << " " << c.index;
}

class Compose : public ::testing::Test {
 protected:
  platform::LibPngCodec png;
  platform::FileIconSource icons{png};
  FolderPictures folders{icons};
  TempDir dir;

  // The background alone, as the picture box shows it.
  Surface24 Background(int i) {
    Surface24 s(32, 32);
    icons.DrawIcon(s, 0, 0, folders[i]);
    return s;
  }
  std::string Write(const std::string& name, const Bytes& bytes) {
    const std::string path = (dir / name).string();
    WriteBytes(path, bytes);
    return path;
  }
};

TEST_F(Compose, AnIcoOrExeFileShowsItsSmallShellIconAtEightNine) {
  const ImageDef small{16, 8}, large{32, 24};
  const std::string ico =
      Write("star.ico", WriteIco({EncodeTestImage(5, large), EncodeTestImage(5, small)}));
  for (int background = 0; background < 4; ++background) {
    auto picture = ComposeFolderDrawing(icons, folders, 8, 9, ico, 0, background);
    ASSERT_TRUE(picture) << picture.error().message;
    EXPECT_TRUE(SameSurface(
        *picture, ExpectedDrawing(Background(background), TestDib(5, small), 8, 9, 16, 16)));
  }
  // An application without icons: the generic application icon.
  auto generic = ComposeFolderDrawing(icons, folders, 8, 9, PeDir() + "/noicons.exe", 0, 0);
  ASSERT_TRUE(generic) << generic.error().message;
  Surface24 expected = Background(0);
  icons.DrawSmallIcon(expected, 8, 9, icons.SmallShellIcon(PeDir() + "/noicons.exe"));
  EXPECT_TRUE(SameSurface(*generic, expected));
  EXPECT_FALSE(SameSurface(*generic, Background(0)));
}

TEST_F(Compose, AnyOtherIconIsStretchedToNineteenPixelsAtEightSeven) {
  std::vector<GroupDef> groups;
  for (int k = 0; k < 3; ++k)
    groups.push_back(GroupDef{
        "", static_cast<std::uint16_t>(k + 1), {EncodeTestImage(10 + k, ImageDef{32, 8})}});
  const std::string icl = Write("three.icl", WriteNe(groups));
  for (std::int16_t index : {0, 2}) {
    auto picture = ComposeFolderDrawing(icons, folders, 8, 9, icl, index, 1);
    ASSERT_TRUE(picture) << picture.error().message;
    EXPECT_TRUE(SameSurface(
        *picture,
        ExpectedDrawing(Background(1), TestDib(10 + index, ImageDef{32, 8}), 8, 7, 19, 19)))
        << "index " << index;
  }
  // Icon 1 of an .ico does not exist, icon 0 of a library is not the shell's.
  const std::string ico = Write("one.ico", WriteIco({EncodeTestImage(20, ImageDef{32, 8})}));
  EXPECT_EQ(ComposeFolderDrawing(icons, folders, 8, 9, ico, 1, 0).error().kind,
            ErrorKind::NotFound);
  auto dll = ComposeFolderDrawing(icons, folders, 8, 9, PeDir() + "/icons40_32.dll", 0, 2);
  ASSERT_TRUE(dll);
  Surface24 expected = Background(2);
  icons.DrawIconEx(expected, 8, 7, icons.ExtractIcon(PeDir() + "/icons40_32.dll", 0), 19, 19);
  EXPECT_TRUE(SameSurface(*dll, expected));
}

TEST_F(Compose, TheIndexedIconRisesTwoPixelsBelowElevenAndThreeFromThere) {
  // A solid 32 × 32 icon: its top left corner shows where it was drawn.
  DibDef solid;
  solid.width = solid.height = 32;
  solid.bpp = 24;
  solid.pixels.assign(32 * 32, 0x123456);
  const std::string icl = Write("solid.icl", WriteNe({GroupDef{"", 1, {EncodeDib(solid)}}}));
  struct Case {
    std::int16_t x, y;
    int top;
  };
  for (const Case& c :
       {Case{8, 9, 7}, Case{8, 10, 8}, Case{3, 11, 8}, Case{0, 12, 9}, Case{5, 2, 0}}) {
    auto picture = ComposeFolderDrawing(icons, folders, c.x, c.y, icl, 0, 3);
    ASSERT_TRUE(picture);
    Surface24 expected = Background(3);
    for (int y = c.top; y < c.top + 19 && y < 32; ++y)
      for (int x = c.x; x < c.x + 19 && x < 32; ++x) expected.Set(x, y, {0x12, 0x34, 0x56});
    EXPECT_TRUE(SameSurface(*picture, expected)) << "y " << c.y;
  }
}

TEST_F(Compose, NoIconAndNoSuchBackgroundAreRefused) {
  const std::string text = Write("notes.txt", Bytes{'h', 'i'});
  const std::string textIco = Write("fake.ico", Bytes{'h', 'i'});
  struct Case {
    std::string path;
    std::int16_t index;
    int background;
    ErrorKind kind;
  };
  const Case cases[] = {
      {(dir / "missing.exe").string(), 0, 0, ErrorKind::NotFound},
      {(dir / "missing.icl").string(), 3, 0, ErrorKind::NotFound},
      // ExtractIconA's marker is no icon either: a bare folder would be a wrong picture.
      {text, 0, 0, ErrorKind::NotFound},
      {text, 4, 0, ErrorKind::NotFound},
      {textIco, 0, 0, ErrorKind::NotFound},
      {PeDir() + "/app.exe", 0, 4, ErrorKind::Invalid},
      {PeDir() + "/app.exe", 0, -1, ErrorKind::Invalid},
  };
  for (const Case& c : cases) {
    auto picture = ComposeFolderDrawing(icons, folders, 8, 9, c.path, c.index, c.background);
    ASSERT_FALSE(picture) << c.path;
    EXPECT_EQ(picture.error().kind, c.kind) << c.path << ": " << picture.error().message;
    EXPECT_FALSE(picture.error().message.empty());
  }
}

}  // namespace
}  // namespace plumage::test
