// The rule of the icon code for which image an icon is drawn from, as a
// truth table. How its pixels land on the screen is in the golden dump's
// drawings (and, under Wine, compared with Windows' own).
#include <gtest/gtest.h>

#include "platform/portable/icon_builder.h"

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

}  // namespace
}  // namespace plumage::test
