// The icon source the picker uses: ExtractIconA's answers, the small shell
// icon, and the parsed file kept between the calls of one listing.
#include <gtest/gtest.h>

#include <filesystem>
#include <thread>

#include "icon_test_util.h"
#include "platform/portable/file_icon_source.h"
#include "support/temp_dir.h"
#include "test_icon_set.h"

namespace plumage::test {
namespace {

using platform::IconHandle;
using platform::IconStatus;

class IconSource : public ::testing::Test {
 protected:
  platform::LibPngCodec png;
  platform::FileIconSource source{png};
  TempDir dir;

  std::string Write(const std::string& name, const Bytes& bytes) {
    const std::string path = (dir / name).string();
    WriteBytes(path, bytes);
    return path;
  }
  static Bytes Ico(int k) {
    return WriteIco({EncodeTestImage(k, ImageDef{16, 8}), EncodeTestImage(k, ImageDef{32, 4})});
  }
  static Bytes Text(const std::string& s) { return Bytes(s.begin(), s.end()); }
};

TEST_F(IconSource, ExtractIconAnswersAsWindowsDoes) {
  const std::string ico = Write("one.ico", Ico(3));
  const std::string text = Write("notes.txt", Text("not an icon at all"));
  struct Case {
    std::string path;
    int index;
    IconStatus status;
    const char* reason;
  };
  const Case cases[] = {
      {ico, 0, IconStatus::Icon, ""},
      {ico, 1, IconStatus::None, "no icon at index 1 (the file holds 1 icon)"},
      {ico, -2, IconStatus::None, "no icon at index -2"},
      {text, 0, IconStatus::NotIconFile, "not an icon file, executable or library"},
      {text, 7, IconStatus::NotIconFile, "not an icon file"},
      {(dir / "missing.ico").string(), 0, IconStatus::None, "no such file"},
      {dir.str(), 0, IconStatus::None, "not a file"},
  };
  for (const Case& c : cases) {
    IconHandle icon = source.ExtractIcon(c.path, c.index);
    EXPECT_EQ(icon.status(), c.status) << c.path << " " << c.index;
    EXPECT_NE(icon.reason().find(c.reason), std::string::npos) << icon.reason();
    if (!icon.IsIcon()) {
      EXPECT_EQ(icon.reason().rfind(c.path, 0), 0u) << "the reason names the file";
    }
  }
  IconHandle icon = source.ExtractIcon(ico, 0);
  EXPECT_EQ(icon.bitmap().width, 32);
  EXPECT_EQ(icon.bitmap().height, 32);
  EXPECT_EQ(icon.origin().bitsPerPixel, 4);
}

TEST_F(IconSource, TheSmallShellIconFallsBackToTheGenericApplicationOnlyForApplications) {
  const std::string ico = Write("one.ico", Ico(3));
  const std::string fakeExe = Write("tool.EXE", Text("MZ but nothing after it"));
  const std::string textExe = Write("readme.exe", Text("just text"));
  const std::string text = Write("readme.txt", Text("just text"));
  Bytes damagedIco = Ico(3);
  damagedIco.resize(30);
  const std::string brokenIco = Write("broken.ico", damagedIco);
  struct Case {
    std::string path;
    IconStatus status;
    bool generic;
  };
  const Case cases[] = {
      {ico, IconStatus::Icon, false},       {fakeExe, IconStatus::Icon, true},
      {textExe, IconStatus::Icon, true},    {text, IconStatus::None, false},
      {brokenIco, IconStatus::None, false}, {(dir / "gone.exe").string(), IconStatus::None, false},
  };
  for (const Case& c : cases) {
    IconHandle icon = source.SmallShellIcon(c.path);
    EXPECT_EQ(icon.status(), c.status) << c.path << ": " << icon.reason();
    EXPECT_EQ(icon.origin().generic, c.generic) << c.path;
    if (icon.IsIcon()) {
      EXPECT_EQ(icon.bitmap().width, 16);
    }
  }
  // The .ico's own 16 × 16 image, not its 32 × 32 one scaled.
  IconHandle small = source.SmallShellIcon(ico);
  EXPECT_EQ(small.origin().imageIndex, 0);
  plumage::Surface24 drawn(32, 32);
  source.DrawSmallIcon(drawn, 8, 9, small);
  EXPECT_TRUE(SameSurface(drawn, ExpectedDrawing(plumage::Surface24(32, 32),
                                                 TestDib(3, ImageDef{16, 8}), 8, 9, 16, 16)));
}

TEST_F(IconSource, ListingAFileReadsItOnceAndAChangedFileIsReadAgain) {
  std::vector<GroupDef> groups;
  for (int k = 0; k < 12; ++k)
    groups.push_back(
        GroupDef{"", static_cast<std::uint16_t>(k + 1), {EncodeTestImage(k, ImageDef{32, 8})}});
  const std::string icl = Write("twelve.icl", WriteNe(groups));
  int n = 0;
  while (source.ExtractIcon(icl, n).IsIcon()) ++n;
  EXPECT_EQ(n, 12);
  EXPECT_EQ(source.filesParsed(), 1);

  // Another file in between, then back: each is read again.
  const std::string ico = Write("one.ico", Ico(1));
  EXPECT_TRUE(source.ExtractIcon(ico, 0).IsIcon());
  EXPECT_TRUE(source.ExtractIcon(icl, 11).IsIcon());
  EXPECT_EQ(source.filesParsed(), 3);

  // The file changes under the same name: fewer icons now.
  groups.resize(5);
  WriteBytes(icl, WriteNe(groups));
  EXPECT_FALSE(source.ExtractIcon(icl, 5).IsIcon());
  EXPECT_EQ(source.filesParsed(), 4);

  // Same size, new time: read again and the new pictures are seen.
  groups[0].images = {EncodeTestImage(30, ImageDef{32, 8})};
  WriteBytes(icl, WriteNe(groups));
  std::filesystem::last_write_time(icl,
                                   std::filesystem::last_write_time(icl) + std::chrono::seconds(5));
  IconHandle changed = source.ExtractIcon(icl, 0);
  ASSERT_TRUE(changed.IsIcon());
  EXPECT_EQ(changed.bitmap().color[16 * 32 + 16], IdentityColour(30));
  EXPECT_EQ(source.filesParsed(), 5);
}

TEST_F(IconSource, FilesTooLargeToBeIconSourcesAreNotRead) {
  const std::filesystem::path big = dir / "huge.dll";
  WriteBytes(big, Text("MZ"));
  std::filesystem::resize_file(big, platform::kMaxIconSourceBytes + 1);  // sparse: costs no disk
  IconHandle icon = source.ExtractIcon(big.string(), 0);
  EXPECT_EQ(icon.status(), IconStatus::None);
  EXPECT_NE(icon.reason().find("more than an icon source"), std::string::npos) << icon.reason();
  EXPECT_EQ(source.filesParsed(), 0);
}

TEST_F(IconSource, IconResourcesAreReadFromTheirBytes) {
  IconHandle good = source.LoadIconResource(Span(Ico(2)), 16);
  ASSERT_TRUE(good.IsIcon());
  EXPECT_EQ(good.bitmap().width, 16);
  const Bytes garbage = {1, 2, 3, 4, 5, 6, 7};
  ASSERT_EQ(garbage.size(), 7u);
  IconHandle bad = source.LoadIconResource(Span(garbage), 32);
  EXPECT_EQ(bad.status(), IconStatus::None);
  EXPECT_NE(bad.reason().find("icon resource"), std::string::npos);
}

TEST_F(IconSource, HandlesMoveAndOwnTheirPixels) {
  IconHandle a = source.LoadIconResource(Span(Ico(4)), 32);
  ASSERT_TRUE(a.IsIcon());
  const platform::Rgba centre = a.bitmap().color[16 * 32 + 16];
  IconHandle b = std::move(a);
  EXPECT_TRUE(b.IsIcon());
  EXPECT_FALSE(a.IsIcon());  // NOLINT: the moved-from handle is checked on purpose
  EXPECT_TRUE(a.bitmap().color.empty());
  EXPECT_EQ(b.bitmap().color[16 * 32 + 16], centre);
  EXPECT_EQ(centre, IdentityColour(4));
  b = IconHandle::None("released");
  EXPECT_FALSE(b.IsIcon());
  EXPECT_TRUE(b.bitmap().color.empty());
}

}  // namespace
}  // namespace plumage::test
