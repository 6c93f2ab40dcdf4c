// Our own drawing contexts and bit-block transfer beyond the golden outputs
// (which cover the colour tables at 1, 4 and 8 bits and copies between
// pictures of other sizes): clipping with guard pixels and the handle rules.
// The engine copies with kSrcCopy alone.
#include <gtest/gtest.h>

#include "image/surfaces.h"

namespace plumage::image::surfaces {
namespace {

// A memory context holding a new 24-bit section; both released at the end.
struct Drawing {
  Drawing(std::int32_t w, std::int32_t h) : width(w), height(h) {
    BitmapInfo info;
    info.biWidth = w;
    info.biHeight = h;
    bitmap = CreateDIBSection(0, info, &pixels);
    dc = CreateCompatibleDC(0);
    old = SelectObject(dc, bitmap);
  }
  ~Drawing() {
    SelectObject(dc, old);
    DeleteDC(dc);
    DeleteObject(bitmap);
  }
  // Blue of pixel (x, y from the top).
  std::uint8_t& Blue(int x, int y) {
    return pixels[static_cast<std::size_t>(height - 1 - y) * StrideFor(width, 24) + 3 * x];
  }
  void Fill(std::uint8_t v) { std::fill(pixels, pixels + StrideFor(width, 24) * height, v); }
  Handle bitmap = 0, dc = 0, old = 0;
  std::uint8_t* pixels = nullptr;
  std::int32_t width, height;
};

TEST(Surfaces, CopiesAreClippedToBothBitmapsAndTouchNothingAround) {
  Drawing dst(6, 5), src(3, 3);
  for (int y = 0; y < 3; ++y)
    for (int x = 0; x < 3; ++x) src.Blue(x, y) = static_cast<std::uint8_t>(10 * y + x + 10);
  // The copy asked for, then the part of the destination written after
  // clipping and the source pixel of its corner.
  const int cases[][12] = {
      {4, 3, 10, 10, 0, 0, 4, 3, 2, 2, 0, 0}, {-2, -1, 3, 3, 0, 0, 0, 0, 1, 2, 2, 1},
      {1, 0, 4, 4, 1, 2, 1, 0, 2, 1, 1, 2},   {0, 0, 3, 3, -1, 0, 1, 0, 2, 3, 0, 0},
      {5, 4, 3, 3, 0, 0, 5, 4, 1, 1, 0, 0},   {2, 1, 0, 3, 0, 0, 0, 0, 0, 0, 0, 0}};
  for (const auto& c : cases) {
    dst.Fill(1);
    ASSERT_TRUE(BitBlt(dst.dc, c[0], c[1], c[2], c[3], src.dc, c[4], c[5], kSrcCopy));
    for (int y = 0; y < 5; ++y)
      for (int x = 0; x < 6; ++x) {
        const bool inside = x >= c[6] && x < c[6] + c[8] && y >= c[7] && y < c[7] + c[9];
        EXPECT_EQ(dst.Blue(x, y), inside ? 10 * (y - c[7] + c[11]) + x - c[6] + c[10] + 10 : 1)
            << "copy to " << c[0] << "," << c[1] << " from " << c[4] << "," << c[5] << ": " << x
            << "," << y;
      }
  }
}

TEST(Surfaces, HandlesFollowTheRulesOfContextsAndBitmaps) {
  const std::size_t before = LiveObjectCount();
  BitmapInfo info;
  info.biWidth = 2;
  info.biHeight = 2;
  std::uint8_t* bits = nullptr;
  Handle bm = CreateDIBSection(0, info, &bits);
  ASSERT_NE(bits, nullptr);
  Handle a = CreateCompatibleDC(0), b = CreateCompatibleDC(a), screen = CreateDisplayDC();
  EXPECT_EQ(CreateCompatibleDC(bm), 0) << "not a context";
  Handle stock = SelectObject(a, bm);
  EXPECT_NE(stock, 0);
  EXPECT_EQ(SelectObject(a, bm), bm);
  EXPECT_EQ(SelectObject(b, bm), 0) << "a bitmap lives in one context at a time";
  EXPECT_EQ(SelectObject(screen, stock), 0);
  std::int32_t w = 0, h = 0;
  EXPECT_TRUE(CurrentBitmap(a) == bm && GetBitmapSize(bm, w, h) && w == 2 && h == 2);
  EXPECT_FALSE(DeleteObject(bm)) << "still selected";
  EXPECT_FALSE(BitBlt(a, 0, 0, 1, 1, 12345, 0, 0, kSrcCopy)) << "unknown source";
  EXPECT_TRUE(BitBlt(a, 0, 0, 1, 1, 0, 0, 0, kBlackness)) << "no source needed";
  EXPECT_TRUE(BitBlt(screen, 0, 0, 5, 5, a, 0, 0, kSrcCopy)) << "the screen takes anything";
  std::fill(bits, bits + 16, 0xFF);
  EXPECT_TRUE(BitBlt(a, 0, 0, 2, 2, screen, 0, 0, kSrcCopy));
  EXPECT_EQ(std::vector<int>(bits, bits + 6), std::vector<int>(6, 0)) << "and gives black";
  EXPECT_TRUE(DeleteDC(a));
  EXPECT_EQ(SelectObject(b, bm), stock) << "free again once its context is gone";
  EXPECT_EQ(SelectObject(b, stock), bm);
  EXPECT_TRUE(DeleteObject(bm));
  EXPECT_FALSE(DeleteObject(bm));
  EXPECT_TRUE(DeleteObject(stock)) << "stock objects stay";
  EXPECT_TRUE(DeleteDC(b) && DeleteDC(screen));
  EXPECT_FALSE(DeleteDC(b));
  EXPECT_EQ(LiveObjectCount(), before);
  info.biBitCount = 16;
  EXPECT_EQ(CreateDIBSection(0, info, &bits), 0);
  EXPECT_EQ(bits, nullptr);
  info.biBitCount = 24;
  info.biHeight = -2;  // top-down sections are not made
  EXPECT_EQ(CreateDIBSection(0, info, &bits), 0);
  EXPECT_EQ(CreateCompatibleBitmap(0, 0, 1), 0);
}

}  // namespace
}  // namespace plumage::image::surfaces
