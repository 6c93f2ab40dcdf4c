// CreateOptimal: the octree palette.
#include <gtest/gtest.h>

#include "image/dib_section.h"
#include "image/palette.h"
#include "image_test_util.h"

namespace plumage::image {
namespace {

using test::EventRecorder;
using test::FromRef;

ref::Picture Filled(std::int32_t w, std::int32_t h, std::uint8_t r, std::uint8_t g,
                    std::uint8_t b) {
  ref::Picture p(w, h);
  for (std::int32_t y = 0; y < h; ++y)
    for (std::int32_t c = 0; c < w; ++c)
      p.At(3 * c, y) = b, p.At(3 * c + 1, y) = g, p.At(3 * c + 2, y) = r;
  return p;
}

TEST(Octree, OneColourGivesExactlyThatColour) {
  cDIBSection dib;
  FromRef(Filled(5, 3, 12, 200, 77), dib);
  cPalette pal;
  ASSERT_TRUE(pal.CreateOptimal(dib, 236, 6));
  ASSERT_EQ(pal.Count(), 1);
  EXPECT_EQ(pal.Entries()[0], (PaletteEntry{12, 200, 77, 0}));
}

TEST(Octree, ThreeHundredColoursFitIn236) {
  ref::Picture p(32, 32);
  for (int i = 0; i < 32 * 32; ++i) {
    int colour = i % 300;
    p.At(3 * (i % 32), i / 32) = static_cast<std::uint8_t>(colour * 7 % 256);
    p.At(3 * (i % 32) + 1, i / 32) = static_cast<std::uint8_t>(colour * 13 % 256);
    p.At(3 * (i % 32) + 2, i / 32) = static_cast<std::uint8_t>(colour * 29 % 256);
  }
  cDIBSection dib;
  FromRef(p, dib);
  cPalette pal;
  EventRecorder events;
  pal.Events.Subscribe(&events);
  ASSERT_TRUE(pal.CreateOptimal(dib, 236, 6));
  EXPECT_GT(pal.Count(), 8);
  EXPECT_LE(pal.Count(), 236);
  EXPECT_EQ(events.log.front(), "I267") << "(32 − 1) + 236";
  for (int y = 0; y < 32; ++y)
    EXPECT_EQ(events.log[static_cast<std::size_t>(1 + y)], "P" + std::to_string(y));
  // Then one report per leaf, with its slot number, in slot order.
  EXPECT_EQ(events.log.size(), 1u + 32 + static_cast<std::size_t>(pal.Count()) + 1);
  EXPECT_EQ(events.log.back(), "C");
  EXPECT_LE(pal.Octree().leafCount, 236);
}

TEST(Octree, Red128And129FallIntoDifferentHalves) {
  // One level: the leaves are the root's children, split at 128.
  ref::Picture p = Filled(2, 1, 128, 0, 0);
  p.At(5, 0) = 129;
  cDIBSection dib;
  FromRef(p, dib);
  cPalette pal;
  ASSERT_TRUE(pal.CreateOptimal(dib, 236, 1));
  EXPECT_EQ(pal.Count(), 2);
  p.At(5, 0) = 0;  // 0 and 128 share the lower half: one averaged colour
  FromRef(p, dib);
  ASSERT_TRUE(pal.CreateOptimal(dib, 236, 1));
  ASSERT_EQ(pal.Count(), 1);
  EXPECT_EQ(pal.Red(1), 64);
}

TEST(Octree, TooSmallAPaletteForTheEightOctantsSaysSoForEveryPixelAfter) {
  // A pixel in each octant, then two more.
  ref::Picture p(10, 1);
  for (int i = 0; i < 8; ++i) {
    p.At(3 * i + 2, 0) = (i & 1) ? 255 : 0;
    p.At(3 * i + 1, 0) = (i & 2) ? 255 : 0;
    p.At(3 * i, 0) = (i & 4) ? 255 : 0;
  }
  cDIBSection dib;
  FromRef(p, dib);
  test::RecordingMessages messages;
  ImageServices services;
  services.messages = &messages;
  cPalette pal(services);
  ASSERT_TRUE(pal.CreateOptimal(dib, 2, 6));
  EXPECT_EQ(pal.Count(), 8);
  // The third octant's pixel is the first the tree cannot make room for.
  ASSERT_EQ(messages.shown.size(), 8u);
  EXPECT_EQ(messages.shown[0], "Error in reducing nodes");
}

TEST(Octree, LeafSumsDoNotOverflowOnLargeBrightPictures) {
  // 9 million white pixels in one leaf: sums past 2^31.
  cDIBSection dib;
  ASSERT_TRUE(dib.Create(3000, 3000));
  std::memset(dib.DIBSectionBitsPtr(), 255, dib.Header().biSizeImage);
  cPalette pal;
  ASSERT_TRUE(pal.CreateOptimal(dib, 236, 6));
  ASSERT_EQ(pal.Count(), 1);
  EXPECT_EQ(pal.Entries()[0], (PaletteEntry{255, 255, 255, 0}));
}

TEST(Octree, ASecondRunOnTheSameObjectGivesWhatAFreshObjectGives) {
  std::mt19937 rng(5);
  ref::Picture a = test::RandomPicture(rng, 40, 30, test::Kind::Noise);
  ref::Picture b = test::RandomPicture(rng, 23, 17, test::Kind::Gradient);
  cDIBSection da, db;
  FromRef(a, da);
  FromRef(b, db);
  cPalette reused, fresh;
  ASSERT_TRUE(reused.CreateOptimal(da, 50, 6));
  ASSERT_TRUE(reused.CreateOptimal(db, 50, 6));
  ASSERT_TRUE(fresh.CreateOptimal(db, 50, 6));
  EXPECT_EQ(reused.Entries(), fresh.Entries());
  reused.EraseNodes();
  EXPECT_EQ(reused.Octree().lastSlot, 0);
  EXPECT_EQ(reused.Entries(), fresh.Entries()) << "the colours stay";
}

TEST(Octree, RefusesWhatItCannotBuildFromAndChangesNothing) {
  cPalette pal;
  pal.CreateMono();
  cDIBSection none;
  EXPECT_FALSE(pal.CreateOptimal(none, 236, 6));
  cDIBSection dib;
  FromRef(Filled(2, 2, 1, 2, 3), dib);
  EXPECT_FALSE(pal.CreateOptimal(dib, 236, 0));
  EXPECT_FALSE(pal.CreateOptimal(dib, 236, 256));
  EXPECT_EQ(pal.Count(), 2);
}

}  // namespace
}  // namespace plumage::image
