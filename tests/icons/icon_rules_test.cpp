// The rules of the icon code as truth tables: which image an icon is drawn
// from, and how a pixel lands on the screen.
#include <gtest/gtest.h>

#include "platform/portable/icon_builder.h"
#include "platform/portable/icon_drawing.h"

namespace plumage::test {
namespace {

using namespace platform;
using namespace formats;

TEST(IconRules, TheImageIsTheExactSizeThenTheNearestLargerThenSmallerThenTheDeepestThenTheFirst) {
  const std::tuple<const char*, std::vector<formats::IconImageInfo>, int, std::size_t> cases[] = {
      {"exact size, deepest", {{16, 16, 8}, {32, 32, 4}, {32, 32, 8}, {48, 48, 32}}, 32, 2},
      {"exact size beats depth", {{48, 48, 32}, {32, 32, 1}}, 32, 1},
      {"equals: the first", {{32, 32, 8}, {32, 32, 8}}, 32, 0},
      {"the first of the deepest", {{32, 32, 4}, {32, 32, 32}, {32, 32, 32, true}}, 32, 1},
      {"smallest larger", {{16, 16, 32}, {64, 64, 32}, {48, 48, 8}}, 32, 2},
      {"then the largest smaller", {{16, 16, 8}, {24, 24, 32}, {20, 20, 32}}, 32, 1},
      {"deepest of the chosen size", {{48, 48, 4}, {64, 64, 32}, {48, 48, 24}}, 32, 2},
      {"256 only when nothing nearer", {{256, 256, 32, true}, {48, 48, 32}}, 32, 1},
      {"not square is not exact", {{32, 16, 32}, {48, 48, 8}}, 32, 1},
      {"the smaller of two larger", {{48, 48, 8}, {64, 64, 8}}, 32, 0},
      {"larger both ways", {{32, 48, 8}, {48, 48, 8}}, 32, 0},
      {"larger both ways too", {{48, 32, 8}, {48, 48, 8}}, 32, 0},
      {"small icon", {{32, 32, 32}, {16, 16, 4}, {16, 16, 4}}, 16, 1},
      {"one image", {{7, 9, 1}}, 16, 0}};
  for (const auto& [what, images, size, chosen] : cases)
    EXPECT_EQ(platform::ChooseIconImage(images, size), chosen) << what;
}

TEST(IconRules, APixelIsScreenAndMaskXorColourOrWithAlphaBlendedRounded) {
  const Rgb white{255, 255, 255}, grey{0x80, 0x40, 0x20}, black{0, 0, 0};
  const std::tuple<Rgb, Rgba, bool, bool, Rgb> cases[] = {
      // screen, colour, mask, alpha, shown
      {white, {10, 20, 30, 255}, false, false, {10, 20, 30}},
      {grey, {0, 0, 0, 255}, false, false, black},
      {white, {0, 0, 0, 255}, true, false, white},  // transparent
      {grey, {0, 0, 0, 255}, true, false, grey},
      {white, {0x0F, 0xF0, 0x55, 255}, true, false, {0xF0, 0x0F, 0xAA}},  // inverted
      {grey, {0xFF, 0xFF, 0xFF, 255}, true, false, {0x7F, 0xBF, 0xDF}},
      {white, {255, 0, 0, 0}, true, true, white},  // alpha ignores the mask
      {white, {255, 0, 0, 255}, true, true, {255, 0, 0}},
      {white, {255, 0, 0, 128}, false, true, {255, 127, 127}},
      {{10, 20, 30}, {200, 100, 0, 64}, false, true, {58, 40, 22}},
      {black, {255, 255, 255, 1}, false, true, {1, 1, 1}}};
  for (const auto& [screen, colour, mask, alpha, shown] : cases) {
    Surface24 drawn(3, 3, screen), want(3, 3, screen);  // nothing around the pixel touched
    platform::DrawIconBitmap(drawn, 1, 1, IconBitmap{1, 1, {colour}, {mask}, alpha}, 1, 1);
    want.Set(1, 1, shown);
    EXPECT_EQ(drawn, want) << int(colour.r) << "," << int(colour.a) << " over " << int(screen.r);
  }
}

}  // namespace
}  // namespace plumage::test
