// cDIBSection: sizes, handles, the 24-bit file, the resampler and the noise.
#include <gtest/gtest.h>

#include <cstring>
#include <filesystem>

#include "formats/bmp_reader.h"
#include "image/dib_section.h"
#include "image/run_time_error.h"
#include "image/surfaces.h"
#include "image_test_util.h"
#include "support/temp_dir.h"

namespace plumage::image {
namespace {

using test::FromRef;
using test::ToRef;

std::uint32_t U32At(const std::string& f, std::size_t at) {
  return static_cast<std::uint32_t>(static_cast<std::uint8_t>(f[at])) |
         (static_cast<std::uint32_t>(static_cast<std::uint8_t>(f[at + 1])) << 8) |
         (static_cast<std::uint32_t>(static_cast<std::uint8_t>(f[at + 2])) << 16) |
         (static_cast<std::uint32_t>(static_cast<std::uint8_t>(f[at + 3])) << 24);
}

TEST(DibSection, BytesPerScanLineRoundsThreeBytesAPixelUpToFour) {
  const std::pair<std::int32_t, std::int32_t> cases[] = {{32, 96}, {1, 4},    {2, 8},
                                                         {4, 12},  {33, 100}, {3, 12}};
  for (auto [width, expected] : cases) {
    cDIBSection dib;
    ASSERT_TRUE(dib.Create(width, 3));
    EXPECT_EQ(dib.BytesPerScanLine(), expected) << "width " << width;
    EXPECT_EQ(dib.Header().biSizeImage, static_cast<std::uint32_t>(expected * 3));
  }
}

TEST(DibSection, HandlesLiveWhileThePictureDoesAndTheSizeOutlivesClearUp) {
  const std::size_t before = surfaces::LiveObjectCount();
  {
    cDIBSection dib;
    EXPECT_EQ(dib.hdc(), 0);
    EXPECT_EQ(dib.Width(), 0);
    ASSERT_TRUE(dib.Create(32, 32));
    EXPECT_NE(dib.hdc(), 0);
    EXPECT_NE(dib.hDib(), 0);
    EXPECT_NE(dib.DIBSectionBitsPtr(), nullptr);
    EXPECT_EQ(surfaces::CurrentBitmap(dib.hdc()), dib.hDib());
    EXPECT_EQ(dib.Header().biSizeImage, 3072u);
    dib.ClearUp();
    EXPECT_EQ(dib.hdc(), 0);
    EXPECT_EQ(dib.hDib(), 0);
    EXPECT_EQ(dib.DIBSectionBitsPtr(), nullptr);
    EXPECT_EQ(dib.Width(), 32);
    EXPECT_EQ(dib.Height(), 32);
    EXPECT_EQ(surfaces::LiveObjectCount(), before);
    // Re-created at another size, then dropped without ClearUp.
    ASSERT_TRUE(dib.Create(5, 7));
    ASSERT_TRUE(dib.Create(9, 2));
    EXPECT_EQ(dib.Width(), 9);
  }
  EXPECT_EQ(surfaces::LiveObjectCount(), before);
}

TEST(DibSection, CreateRefusesSizesItCannotHold) {
  const std::size_t before = surfaces::LiveObjectCount();
  for (auto [w, h] : {std::pair{0, 5}, {5, 0}, {-3, 4}, {4, -3}, {40000, 2}, {32767, 32767}}) {
    cDIBSection dib;
    EXPECT_FALSE(dib.Create(w, h)) << w << "x" << h;
    EXPECT_EQ(dib.hdc(), 0);
    EXPECT_EQ(dib.DIBSectionBitsPtr(), nullptr);
    EXPECT_EQ(dib.Width(), w) << "the header keeps the size asked for";
  }
  EXPECT_EQ(surfaces::LiveObjectCount(), before);
}

TEST(DibSection, CreateFromPictureKeepsTheSurfaceRowsTheRightWayUp) {
  plumage::Surface24 surface(3, 2, {1, 2, 3});
  surface.Set(0, 0, {200, 100, 50});  // top-left
  cDIBSection dib;
  ASSERT_TRUE(dib.CreateFromPicture(surface));
  ASSERT_EQ(dib.Width(), 3);
  ASSERT_EQ(dib.Height(), 2);
  // Top-left is in the last row in memory, blue first.
  const std::uint8_t* top = dib.DIBSectionBitsPtr() + dib.BytesPerScanLine();
  EXPECT_EQ(top[0], 50);
  EXPECT_EQ(top[1], 100);
  EXPECT_EQ(top[2], 200);
  EXPECT_EQ(dib.ToPicture(), surface);
  EXPECT_FALSE(cDIBSection().CreateFromPicture(plumage::Surface24()));
}

TEST(DibSection, MovingHandsTheHandlesOver) {
  cDIBSection a;
  ASSERT_TRUE(a.Create(4, 4));
  auto hdc = a.hdc();
  cDIBSection b(std::move(a));
  EXPECT_EQ(b.hdc(), hdc);
  EXPECT_EQ(a.hdc(), 0);  // NOLINT: moved-from state is defined
  cDIBSection c;
  c = std::move(b);
  EXPECT_EQ(c.hdc(), hdc);
  EXPECT_EQ(c.Width(), 4);
}

TEST(DibSection, SavePictureWritesThe24BitFile) {
  plumage::test::TempDir dir;
  cDIBSection dib;
  ASSERT_TRUE(dib.Create(32, 32));
  dib.RandomiseBits(false, 7);
  const auto path = (dir / "pic.bmp").string();
  ASSERT_TRUE(dib.SavePicture(path));
  std::string f = plumage::test::ReadFile(path);
  ASSERT_EQ(f.size(), 3126u);
  EXPECT_EQ(f.substr(0, 2), "BM");
  EXPECT_EQ(U32At(f, 2), 3126u);
  EXPECT_EQ(U32At(f, 10), 54u);
  EXPECT_EQ(U32At(f, 14), 40u);
  EXPECT_EQ(U32At(f, 34), 3072u);
  EXPECT_EQ(0, std::memcmp(f.data() + 54, dib.DIBSectionBitsPtr(), 3072));
}

TEST(DibSection, SavePictureOfAnOddWidthReadsBackTheSame) {
  plumage::test::TempDir dir;
  for (std::int32_t width : {1, 2, 3, 5, 33}) {
    cDIBSection dib;
    ASSERT_TRUE(dib.Create(width, 3));
    dib.RandomiseBits(false, static_cast<std::uint32_t>(width));
    const auto path = (dir / ("w" + std::to_string(width) + ".bmp")).string();
    ASSERT_TRUE(dib.SavePicture(path));
    std::string f = plumage::test::ReadFile(path);
    auto back = ReadBmp(std::span(reinterpret_cast<const std::uint8_t*>(f.data()), f.size()));
    ASSERT_TRUE(back) << back.error().message;
    EXPECT_EQ(*back, dib.ToPicture()) << "width " << width;
  }
}

TEST(DibSection, SavePictureThatCannotCreateRaisesError17WithTheSystemText) {
  plumage::test::TempDir dir;
  test::FakeSystem system;
  ImageServices services;
  services.system = &system;
  cDIBSection dib(services);
  ASSERT_TRUE(dib.Create(2, 2));
  const auto path = (dir / "missing" / "pic.bmp").string();
  try {
    dib.SavePicture(path);
    FAIL() << "no error";
  } catch (const RunTimeError& e) {
    EXPECT_EQ(e.Number(), 17);
    EXPECT_EQ(e.Source(), "plumage-test.cDIBSection256");
    EXPECT_EQ(e.Description(), std::error_code(ENOENT, std::generic_category()).message());
  }
  EXPECT_FALSE(std::filesystem::exists(dir / "missing"));
}

TEST(DibSection, AFailedWriteLeavesTheOldFileAsItWas) {
  for (int failAt : {1, 2, 3, 0}) {
    test::FailingDevice device(failAt);
    ImageServices services;
    services.files = &device;
    cDIBSection dib(services);
    ASSERT_TRUE(dib.Create(4, 4));
    EXPECT_FALSE(dib.SavePicture("/any/where.bmp")) << "failing at " << failAt;
    // After the first failed block nothing more is written or committed.
    EXPECT_EQ(device.writes, failAt == 0 ? 3 : failAt);
    EXPECT_EQ(device.commits, failAt == 0 ? 1 : 0);
  }
  // With the standard files: the old content stays when nothing could be
  // made, and is replaced when the write succeeds.
  plumage::test::TempDir dir;
  const auto path = dir / "keep.bmp";
  plumage::test::WriteFile(path, "old");
  cDIBSection empty;
  EXPECT_FALSE(empty.SavePicture(path.string())) << "no picture, nothing written";
  EXPECT_EQ(plumage::test::ReadFile(path), "old");
  cDIBSection dib;
  ASSERT_TRUE(dib.Create(1, 1));
  ASSERT_TRUE(dib.SavePicture(path.string()));
  EXPECT_EQ(plumage::test::ReadFile(path).size(), 58u);
  EXPECT_EQ(std::distance(std::filesystem::directory_iterator(dir.path()), {}), 1)
      << "no sibling is left behind";
}

TEST(DibSection, ResampleTakesTheHeightFirst) {
  cDIBSection dib;
  ASSERT_TRUE(dib.Create(32, 32));
  auto out = dib.Resample(16, 64);
  ASSERT_TRUE(out);
  EXPECT_EQ(out->Width(), 64);
  EXPECT_EQ(out->Height(), 16);
  EXPECT_FALSE(dib.Resample(0, 10));
  cDIBSection none;
  EXPECT_FALSE(none.Resample(4, 4));
}

TEST(DibSection, ResampleToTheSameSizeIsAnExactCopy) {
  cDIBSection dib;
  ASSERT_TRUE(dib.Create(7, 5));
  dib.RandomiseBits(false, 3);
  auto out = dib.Resample(5, 7);
  ASSERT_TRUE(out);
  EXPECT_NE(out->DIBSectionBitsPtr(), dib.DIBSectionBitsPtr());
  EXPECT_EQ(ToRef(*out), ToRef(dib));
}

TEST(DibSection, ResamplerScalesByTheSourceSizeLessOneOverTheTargetSize) {
  // 2 × 2 to 4 × 4: xScale = yScale = 1/4. Target column i uses source
  // columns 0 and 1 with fx = i/4; row j likewise with fy = j/4.
  ref::Picture src(2, 2);
  // Memory row 0: blue 0 then 200; memory row 1: blue 100 then 40.
  src.At(0, 0) = 0;
  src.At(3, 0) = 200;
  src.At(0, 1) = 100;
  src.At(3, 1) = 40;
  cDIBSection dib;
  FromRef(src, dib);
  auto out = dib.Resample(4, 4);
  ASSERT_TRUE(out);
  ref::Picture got = ToRef(*out);
  auto expected = [](double fx, double fy) {
    double left = std::nearbyint((1 - fy) * 0 + fy * 100);
    double right = std::nearbyint((1 - fy) * 200 + fy * 40);
    return static_cast<int>(std::nearbyint((1 - fx) * left + fx * right));
  };
  for (int j = 0; j < 4; ++j)
    for (int i = 0; i < 4; ++i)
      EXPECT_EQ(got.At(3 * i, j), expected(i / 4.0, j / 4.0)) << i << "," << j;
  // Column 2 is halfway (fx 0.5), column 3 three quarters (fx 0.75).
  EXPECT_EQ(got.At(6, 0), 100);
  EXPECT_EQ(got.At(9, 0), 150);
}

TEST(DibSection, ResampleOfASourceOnePixelWideReadsOnlyThatPixel) {
  ref::Picture src(1, 1);
  src.At(0, 0) = 9, src.At(1, 0) = 8, src.At(2, 0) = 7;
  cDIBSection dib;
  FromRef(src, dib);
  auto out = dib.Resample(3, 5);
  ASSERT_TRUE(out);
  ref::Picture got = ToRef(*out);
  for (int y = 0; y < 3; ++y)
    for (int c = 0; c < 5; ++c) {
      EXPECT_EQ(got.At(3 * c, y), 9);
      EXPECT_EQ(got.At(3 * c + 2, y), 7);
    }
}

TEST(DibSection, RandomiseBitsInColourLeavesBlueAtZeroAndInGreyMakesGreys) {
  cDIBSection dib;
  ASSERT_TRUE(dib.Create(17, 9));
  dib.RandomiseBits(false);
  ref::Picture colour = ToRef(dib);
  int nonZero = 0;
  for (int y = 0; y < 9; ++y)
    for (int c = 0; c < 17; ++c) {
      EXPECT_EQ(colour.At(3 * c, y), 0);
      nonZero += colour.At(3 * c + 1, y) != 0;
    }
  EXPECT_GT(nonZero, 100) << "green is noise";
  dib.RandomiseBits(true);
  ref::Picture grey = ToRef(dib);
  for (int y = 0; y < 9; ++y)
    for (int c = 0; c < 17; ++c) {
      EXPECT_EQ(grey.At(3 * c, y), grey.At(3 * c + 1, y));
      EXPECT_EQ(grey.At(3 * c, y), grey.At(3 * c + 2, y));
    }
}

TEST(DibSection, CopyToClipboardHandsOverACopyOrSaysWhyNot) {
  test::RecordingClipboard clipboard;
  test::RecordingMessages messages;
  ImageServices services;
  services.clipboard = &clipboard;
  services.messages = &messages;
  cDIBSection dib(services);
  ASSERT_TRUE(dib.Create(3, 2));
  dib.RandomiseBits(false, 1);
  EXPECT_TRUE(dib.CopyToClipboard());
  ASSERT_EQ(clipboard.pictures.size(), 1u);
  EXPECT_EQ(clipboard.pictures[0], dib.ToPicture());

  EXPECT_FALSE(dib.CopyToClipboard(true));
  ASSERT_EQ(messages.shown.size(), 1u);
  EXPECT_EQ(messages.shown[0],
            "I don't know how to put a DIB on the clipboard! Copy as bitmap instead!!!");
  EXPECT_EQ(clipboard.pictures.size(), 1u);

  clipboard.accept = false;
  EXPECT_FALSE(dib.CopyToClipboard());
  EXPECT_FALSE(cDIBSection().CopyToClipboard()) << "no clipboard at all";
}

TEST(DibSection, ApiErrorGivesTheSystemText) {
  test::FakeSystem system;
  ImageServices services;
  services.system = &system;
  EXPECT_EQ(cDIBSection(services).ApiError(5), "system text 5");
  EXPECT_EQ(cDIBSection().ApiError(ENOENT), std::generic_category().message(ENOENT));
}

}  // namespace
}  // namespace plumage::image
