// .ico files, and the choice of the image that an icon is drawn from.
#include <gtest/gtest.h>

#include "icon_test_util.h"
#include "platform/portable/file_icon_source.h"
#include "platform/portable/icon_builder.h"
#include "formats/icons/icon_file.h"
#include "support/run_process.h"
#include "support/temp_dir.h"
#include "test_icon_set.h"

namespace plumage::test {
namespace {

using platform::icons::BuildIcon;
using platform::icons::ChooseIconImage;
using platform::icons::IconFileKind;
using platform::icons::IconImageInfo;
using platform::icons::ParseIconFile;

TEST(IconChoice, ExactSizeFirstThenTheDeepestColourThenLargerBeforeSmaller) {
  struct Case {
    const char* what;
    std::vector<IconImageInfo> images;
    int size;
    std::size_t chosen;
  };
  const Case cases[] = {
      {"exact size, deepest", {{16, 16, 8}, {32, 32, 4}, {32, 32, 8}, {48, 48, 32}}, 32, 2},
      {"exact size beats depth", {{48, 48, 32}, {32, 32, 1}}, 32, 1},
      {"equals: the first", {{32, 32, 8}, {32, 32, 8}}, 32, 0},
      {"deepest, then the first of those", {{32, 32, 4}, {32, 32, 32}, {32, 32, 32, true}}, 32, 1},
      {"smallest larger, scaled down", {{16, 16, 32}, {64, 64, 32}, {48, 48, 8}}, 32, 2},
      {"then the largest smaller", {{16, 16, 8}, {24, 24, 32}, {20, 20, 32}}, 32, 1},
      {"deepest of the chosen size", {{48, 48, 4}, {64, 64, 32}, {48, 48, 24}}, 32, 2},
      {"256 only when nothing nearer", {{256, 256, 32, true}, {48, 48, 32}}, 32, 1},
      {"not square is not exact", {{32, 16, 32}, {48, 48, 8}}, 32, 1},
      {"small icon", {{32, 32, 32}, {16, 16, 4}, {16, 16, 4}}, 16, 1},
      {"one image", {{7, 9, 1}}, 16, 0},
  };
  for (const Case& c : cases) EXPECT_EQ(ChooseIconImage(c.images, c.size), c.chosen) << c.what;
}

platform::IconHandle IconOf(const Bytes& ico, int size = 32) {
  static platform::LibPngCodec png;
  auto file = ParseIconFile(Span(ico));
  EXPECT_TRUE(file) << file.error().message;
  if (!file || file->groups.empty()) return platform::IconHandle::None("no group");
  EXPECT_EQ(file->kind, IconFileKind::Ico);
  return BuildIcon(file->groups.front(), size, png);
}

Bytes Image(int k, int size, int bpp) {
  return EncodeTestImage(k, ImageDef{size, bpp});
}

TEST(IcoFile, TheImageOfTheRightSizeIsDrawnAndScaledWhenMissing) {
  const Bytes ico = WriteIco({Image(1, 16, 8), Image(2, 32, 4), Image(3, 32, 24), Image(4, 48, 8)});
  platform::IconHandle big = IconOf(ico);
  ASSERT_TRUE(big.IsIcon());
  EXPECT_EQ(big.origin().imageIndex, 2);
  EXPECT_EQ(big.origin().imageCount, 4);
  EXPECT_EQ(big.origin().bitsPerPixel, 24);
  EXPECT_EQ(big.bitmap().width, 32);
  platform::IconHandle small = IconOf(ico, 16);
  ASSERT_TRUE(small.IsIcon());
  EXPECT_EQ(small.origin().imageIndex, 0);
  EXPECT_EQ(small.bitmap().width, 16);

  // Only a 48 × 48 image: drawn at 32 × 32, pixel for pixel as the reference scales it.
  platform::IconHandle scaled = IconOf(WriteIco({Image(5, 48, 8)}));
  ASSERT_TRUE(scaled.IsIcon());
  EXPECT_EQ(scaled.origin().width, 48);
  EXPECT_EQ(scaled.bitmap().width, 32);
  plumage::Surface24 drawn(32, 32);
  platform::LibPngCodec png;
  platform::FileIconSource(png).DrawIcon(drawn, 0, 0, scaled);
  EXPECT_TRUE(SameSurface(drawn, ExpectedDrawing(plumage::Surface24(32, 32),
                                                 TestDib(5, ImageDef{48, 8}), 0, 0, 32, 32)));
}

TEST(IcoFile, TheImagesOwnHeaderOutranksItsDirectoryEntry) {
  Bytes ico = WriteIco({Image(1, 32, 8), Image(2, 16, 8)});
  // The directory swaps the sizes: the first entry claims 16, the second 32.
  ico[6] = ico[7] = 16;
  ico[6 + 16] = ico[7 + 16] = 32;
  // And the second entry's size lies: far more than the file holds.
  PutAt32(ico, 6 + 16 + 8, 0x7FFFFFFF);
  platform::IconHandle icon = IconOf(ico);
  ASSERT_TRUE(icon.IsIcon()) << icon.reason();
  EXPECT_EQ(icon.origin().imageIndex, 0);
  EXPECT_EQ(icon.origin().width, 32);
  platform::IconHandle small = IconOf(ico, 16);
  ASSERT_TRUE(small.IsIcon()) << small.reason();
  EXPECT_EQ(small.origin().imageIndex, 1);
}

TEST(IcoFile, ADamagedImageIsPassedOverForTheNextBest) {
  Bytes ico = WriteIco({Image(1, 16, 8), Image(2, 32, 8), Image(3, 32, 4)});
  // The 8-bit 32 × 32 image claims 24 bits per pixel: its colour bits now
  // run past the end of the file.
  const std::uint32_t second = GetAt32(ico, 6 + 16 + 12);
  PutAt16(ico, second + 14, 24);
  platform::IconHandle icon = IconOf(ico);
  ASSERT_TRUE(icon.IsIcon()) << icon.reason();
  EXPECT_EQ(icon.origin().bitsPerPixel, 4);
  EXPECT_EQ(icon.origin().imageIndex, 2);
}

TEST(IcoFile, OnlyTheFirstImagesOfAHugeDirectoryAreLookedAt) {
  std::vector<Bytes> images(299, Image(1, 16, 1));
  images.push_back(Image(2, 32, 8));  // the one image of the right size, past the cap
  platform::IconHandle icon = IconOf(WriteIco(images));
  ASSERT_TRUE(icon.IsIcon());
  EXPECT_EQ(icon.origin().imageCount, platform::icons::kMaxImagesPerIcon);
  EXPECT_EQ(icon.origin().width, 16);

  // Reasons are kept up to a cap, the rest are counted.
  Bytes broken = WriteIco(images);
  for (int i = 0; i < 300; ++i) PutAt32(broken, 6 + 16 * static_cast<std::size_t>(i) + 12, 0xFFFFFF00u);
  platform::IconHandle none = IconOf(broken);
  EXPECT_FALSE(none.IsIcon());
  EXPECT_NE(none.reason().find("image 3: its offset"), std::string::npos) << none.reason();
  EXPECT_EQ(none.reason().find("image 9:"), std::string::npos) << none.reason();
  // 256 images looked at, 3 reasons shown.
  EXPECT_NE(none.reason().find("; and 253 more"), std::string::npos) << none.reason();
  EXPECT_LT(none.reason().size(), 1000u);
}

TEST(IcoFile, DamagedFilesFailCleanlyAndSayWhy) {
  // Directories cut short.
  const Bytes header = {0, 0, 1, 0, 3, 0, 32, 32, 0, 0, 1, 0, 8, 0};
  ASSERT_EQ(header.size(), 14u);
  auto truncated = ParseIconFile(Span(header));
  ASSERT_FALSE(truncated);
  EXPECT_EQ(truncated.error().kind, ErrorKind::Truncated);
  EXPECT_NE(truncated.error().message.find("3 images"), std::string::npos)
      << truncated.error().message;
  const Bytes tiny = {0, 0, 1, 0, 1};
  ASSERT_EQ(tiny.size(), 5u);
  EXPECT_EQ(ParseIconFile(Span(tiny)).error().kind, ErrorKind::Truncated);

  // No images at all: an icon file without an icon.
  const Bytes empty = {0, 0, 1, 0, 0, 0};
  ASSERT_EQ(empty.size(), 6u);
  platform::IconHandle none = IconOf(empty);
  EXPECT_EQ(none.status(), platform::IconStatus::None);
  EXPECT_NE(none.reason().find("no image"), std::string::npos) << none.reason();

  // Every image beyond the end of the file, or not an image.
  Bytes lost = WriteIco({Image(1, 32, 8), Image(2, 32, 8)});
  PutAt32(lost, 6 + 12, 0xFFFFFFF0u);
  std::fill(lost.begin() + GetAt32(lost, 6 + 16 + 12), lost.end(), 0);
  platform::IconHandle broken = IconOf(lost);
  EXPECT_EQ(broken.status(), platform::IconStatus::None);
  EXPECT_NE(broken.reason().find("image 1: its offset 4294967280 lies beyond the end"),
            std::string::npos)
      << broken.reason();
  EXPECT_NE(broken.reason().find("image 2: icon image: header size"), std::string::npos)
      << broken.reason();
}

TEST(IcoFile, AnotherReaderSeesTheSamePixelsAtEveryDepth) {
  // icotool (icoutils) writes each image as a PNG whose alpha is the mask.
  TempDir dir;
  platform::LibPngCodec png;
  const ImageDef depths[] = {{13, 1}, {13, 4}, {17, 8}, {31, 24}, {32, 32}, {29, 32, false, true}};
  for (const ImageDef& d : depths) {
    SCOPED_TRACE(std::to_string(d.bpp) + " bpp" + (d.alpha ? " with alpha" : ""));
    const DibDef dibDef = TestDib(7, d);
    const std::filesystem::path ico = dir / "depth.ico", out = dir / "depth.png";
    WriteBytes(ico, WriteIco({EncodeDib(dibDef)}));
    ProcessResult run = RunProcess({PLUMAGE_ICOTOOL, "-x", "-o", out.string(), ico.string()});
    ASSERT_EQ(run.exitCode, 0) << run.err;
    const std::string bytes = ReadFile(out);
    auto theirs = png.Decode({reinterpret_cast<const std::uint8_t*>(bytes.data()), bytes.size()});
    ASSERT_TRUE(theirs);
    auto ours = platform::icons::DecodeIconImage(Span(EncodeDib(dibDef)), png);
    ASSERT_TRUE(ours);
    ASSERT_EQ(theirs->width, ours->width);
    for (std::size_t i = 0; i < ours->color.size(); ++i) {
      const std::uint8_t* p = theirs->rgba.data() + i * 4;
      const platform::Rgba c = ours->color[i];
      if (ours->hasAlpha) {
        EXPECT_EQ((platform::Rgba{p[0], p[1], p[2], p[3]}), c) << "pixel " << i;
      } else if (d.bpp == 32) {
        // icotool takes alpha bytes of 0 as they are; Windows draws a 32-bit
        // image whose alpha bytes are all 0 through its mask. The colours agree.
        EXPECT_EQ((platform::Rgba{p[0], p[1], p[2], 255}), c) << "pixel " << i;
      } else if (ours->mask[i] == 0) {
        EXPECT_EQ((platform::Rgba{p[0], p[1], p[2], p[3]}), c) << "pixel " << i;
      } else if (c == platform::Rgba{0, 0, 0, 255}) {
        EXPECT_EQ(p[3], 0) << "pixel " << i;
      }
    }
  }
}

TEST(IcoFile, OtherFilesAreNoIconFiles) {
  struct Case {
    const char* what;
    Bytes bytes;
    std::size_t length;
    IconFileKind kind;
  };
  const Case cases[] = {
      {"empty", {}, 0, IconFileKind::NotIconFile},
      {"a cursor", {0, 0, 2, 0, 0, 0}, 6, IconFileKind::NotIconFile},
      {"reserved not 0", {1, 0, 1, 0, 0, 0}, 6, IconFileKind::NotIconFile},
      {"a bitmap", {'B', 'M', 0x3E, 0, 0, 0}, 6, IconFileKind::NotIconFile},
      {"text", {'h', 'e', 'l', 'l', 'o'}, 5, IconFileKind::NotIconFile},
      {"a DOS program", {'M', 'Z', 0x90, 0, 3, 0}, 6, IconFileKind::OtherExecutable},
  };
  for (const Case& c : cases) {
    ASSERT_EQ(c.bytes.size(), c.length) << c.what;
    auto file = ParseIconFile(Span(c.bytes));
    ASSERT_TRUE(file) << c.what;
    EXPECT_EQ(file->kind, c.kind) << c.what;
    EXPECT_TRUE(file->groups.empty()) << c.what;
  }
}

}  // namespace
}  // namespace plumage::test
