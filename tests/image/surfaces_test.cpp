// The handle rules of our own drawing contexts and bitmaps. What the engine
// draws with them (whole copies between pictures of any two sizes, the
// colour tables at 1, 4 and 8 bits) is in the golden outputs.
#include <gtest/gtest.h>

#include "image/surfaces.h"

namespace plumage::image::surfaces {
namespace {

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
