// Our own drawing contexts and bit-block transfer: clipping with guard
// pixels, colour matching onto colour tables, overlap, raster operations
// and handle rules.
#include <gtest/gtest.h>

#include "image/surfaces.h"

namespace plumage::image::surfaces {
namespace {

// A memory context holding a new section; both released at the end.
struct Drawing {
  Drawing(std::int32_t w, std::int32_t h, int bits = 24, const std::vector<RgbQuad>& table = {}) {
    BitmapInfo info;
    info.biWidth = w;
    info.biHeight = h;
    info.biBitCount = static_cast<std::uint16_t>(bits);
    for (std::size_t i = 0; i < table.size(); ++i) info.bmiColors[i] = table[i];
    bitmap = CreateDIBSection(0, info, &pixels);
    dc = CreateCompatibleDC(0);
    old = SelectObject(dc, bitmap);
    width = w;
    height = h;
    stride = static_cast<std::size_t>(StrideFor(w, bits));
  }
  ~Drawing() {
    SelectObject(dc, old);
    DeleteDC(dc);
    DeleteObject(bitmap);
  }
  // Pixel (x, y from the top) of a 24-bit drawing.
  std::uint8_t* At(int x, int y) {
    return pixels + static_cast<std::size_t>(height - 1 - y) * stride + 3 * x;
  }
  void Fill(std::uint8_t b, std::uint8_t g, std::uint8_t r) {
    for (int y = 0; y < height; ++y)
      for (int x = 0; x < width; ++x) At(x, y)[0] = b, At(x, y)[1] = g, At(x, y)[2] = r;
  }
  Handle bitmap = 0, dc = 0, old = 0;
  std::uint8_t* pixels = nullptr;
  std::int32_t width = 0, height = 0;
  std::size_t stride = 0;
};

TEST(Surfaces, CopyIsClippedToBothBitmapsAndTouchesNothingAround) {
  Drawing dst(6, 5), src(3, 3);
  dst.Fill(1, 1, 1);  // guard colour
  src.Fill(9, 8, 7);
  // Placed so that one column and one row fall off the destination.
  ASSERT_TRUE(BitBlt(dst.dc, 4, 3, 10, 10, src.dc, 0, 0, kSrcCopy));
  for (int y = 0; y < 5; ++y)
    for (int x = 0; x < 6; ++x) {
      bool inside = x >= 4 && y >= 3;
      EXPECT_EQ(dst.At(x, y)[0], inside ? 9 : 1) << x << "," << y;
      EXPECT_EQ(dst.At(x, y)[2], inside ? 7 : 1) << x << "," << y;
    }
  // Negative positions clip on the other side; the source position moves.
  dst.Fill(1, 1, 1);
  src.At(2, 2)[0] = 42;
  ASSERT_TRUE(BitBlt(dst.dc, -2, -2, 3, 3, src.dc, 0, 0, kSrcCopy));
  EXPECT_EQ(dst.At(0, 0)[0], 42);
  EXPECT_EQ(dst.At(1, 0)[0], 1);
  EXPECT_EQ(dst.At(0, 1)[0], 1);
}

TEST(Surfaces, ACopyOntoItselfReadsTheOldPixels) {
  Drawing d(5, 1);
  for (int x = 0; x < 5; ++x) d.At(x, 0)[0] = static_cast<std::uint8_t>(10 * (x + 1));
  ASSERT_TRUE(BitBlt(d.dc, 1, 0, 4, 1, d.dc, 0, 0, kSrcCopy));
  const int expected[5] = {10, 10, 20, 30, 40};
  for (int x = 0; x < 5; ++x) EXPECT_EQ(d.At(x, 0)[0], expected[x]);
}

TEST(Surfaces, ColourTablesTakeTheNearestEntryAndTheFirstOfEqualOnes) {
  // Entries: black, red, black again, near-white.
  const std::vector<RgbQuad> table = {
      {0, 0, 0, 0}, {0, 0, 255, 0}, {0, 0, 0, 0}, {250, 250, 250, 0}};
  Drawing dst(4, 1, 8, table);
  Drawing src(4, 1);
  const std::uint8_t colours[4][3] = {{0, 0, 0}, {0, 0, 200}, {255, 255, 255}, {10, 10, 10}};
  for (int x = 0; x < 4; ++x) std::copy(colours[x], colours[x] + 3, src.At(x, 0));
  ASSERT_TRUE(BitBlt(dst.dc, 0, 0, 4, 1, src.dc, 0, 0, kSrcCopy));
  EXPECT_EQ(dst.pixels[0], 0);
  EXPECT_EQ(dst.pixels[1], 1);
  EXPECT_EQ(dst.pixels[2], 3);
  EXPECT_EQ(dst.pixels[3], 0);
  // And back: indexes become their colours.
  Drawing back(4, 1);
  ASSERT_TRUE(BitBlt(back.dc, 0, 0, 4, 1, dst.dc, 0, 0, kSrcCopy));
  EXPECT_EQ(back.At(1, 0)[2], 255);
  EXPECT_EQ(back.At(2, 0)[0], 250);
}

TEST(Surfaces, OneAndFourBitPixelsArePackedLeftPixelHighest) {
  Drawing mono(10, 1, 1, {{0, 0, 0, 0}, {255, 255, 255, 0}});
  Drawing src(10, 1);
  for (int x : {0, 2, 9}) src.At(x, 0)[0] = src.At(x, 0)[1] = src.At(x, 0)[2] = 255;
  ASSERT_TRUE(BitBlt(mono.dc, 0, 0, 10, 1, src.dc, 0, 0, kSrcCopy));
  EXPECT_EQ(mono.pixels[0], 0xA0);
  EXPECT_EQ(mono.pixels[1], 0x40);
  EXPECT_EQ(mono.pixels[2], 0);  // padding stays as it was

  std::vector<RgbQuad> sixteen(16);
  for (int i = 0; i < 16; ++i)
    sixteen[static_cast<std::size_t>(i)] = {static_cast<std::uint8_t>(16 * i), 0, 0, 0};
  Drawing nibbles(3, 1, 4, sixteen);
  Drawing src4(3, 1);
  src4.At(0, 0)[0] = 16 * 3;
  src4.At(1, 0)[0] = 16 * 12;
  src4.At(2, 0)[0] = 16 * 15;
  ASSERT_TRUE(BitBlt(nibbles.dc, 0, 0, 3, 1, src4.dc, 0, 0, kSrcCopy));
  EXPECT_EQ(nibbles.pixels[0], 0x3C);
  EXPECT_EQ(nibbles.pixels[1], 0xF0);
}

TEST(Surfaces, RasterOperationsWorkOnTheColours) {
  Drawing dst(1, 1), src(1, 1);
  struct Case {
    std::uint32_t rop;
    std::uint8_t expected;
  };
  // Destination 0x0F, source 0x35 in every channel.
  for (Case c :
       {Case{kSrcCopy, 0x35}, Case{kSrcPaint, 0x3F}, Case{kSrcAnd, 0x05}, Case{kSrcInvert, 0x3A},
        Case{kNotSrcCopy, 0xCA}, Case{kBlackness, 0x00}, Case{kWhiteness, 0xFF}}) {
    dst.Fill(0x0F, 0x0F, 0x0F);
    src.Fill(0x35, 0x35, 0x35);
    ASSERT_TRUE(BitBlt(dst.dc, 0, 0, 1, 1, src.dc, 0, 0, c.rop));
    EXPECT_EQ(dst.At(0, 0)[1], c.expected) << std::hex << c.rop;
  }
}

TEST(Surfaces, HandlesFollowTheRulesOfContextsAndBitmaps) {
  const std::size_t before = LiveObjectCount();
  BitmapInfo info;
  info.biWidth = 2;
  info.biHeight = 2;
  std::uint8_t* bits = nullptr;
  Handle bm = CreateDIBSection(0, info, &bits);
  ASSERT_NE(bm, 0);
  ASSERT_NE(bits, nullptr);
  Handle a = CreateCompatibleDC(0), b = CreateCompatibleDC(a);
  ASSERT_NE(a, 0);
  ASSERT_NE(b, 0);
  Handle stock = SelectObject(a, bm);
  EXPECT_NE(stock, 0);
  EXPECT_EQ(SelectObject(b, bm), 0) << "a bitmap lives in one context at a time";
  EXPECT_FALSE(DeleteObject(bm)) << "still selected";
  EXPECT_EQ(SelectObject(a, stock), bm);
  EXPECT_TRUE(DeleteObject(bm));
  EXPECT_FALSE(DeleteObject(bm));
  EXPECT_FALSE(BitBlt(a, 0, 0, 1, 1, 12345, 0, 0, kSrcCopy)) << "unknown source";
  EXPECT_TRUE(BitBlt(a, 0, 0, 1, 1, 0, 0, 0, kBlackness)) << "no source needed";
  Handle screen = CreateDisplayDC();
  EXPECT_TRUE(BitBlt(screen, 0, 0, 5, 5, a, 0, 0, kSrcCopy)) << "the screen takes anything";
  EXPECT_EQ(SelectObject(screen, stock), 0);
  EXPECT_TRUE(DeleteDC(screen));
  EXPECT_TRUE(DeleteDC(a));
  EXPECT_TRUE(DeleteDC(b));
  EXPECT_FALSE(DeleteDC(b));
  EXPECT_EQ(LiveObjectCount(), before);

  info.biBitCount = 16;
  EXPECT_EQ(CreateDIBSection(0, info, &bits), 0);
  EXPECT_EQ(bits, nullptr);
  info.biBitCount = 24;
  info.biHeight = -2;  // top-down sections are not made
  EXPECT_EQ(CreateDIBSection(0, info, &bits), 0);
}

}  // namespace
}  // namespace plumage::image::surfaces
