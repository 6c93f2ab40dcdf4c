// cColourReduceDIB: grey levels, the black-and-white threshold and its
// errors, palette mapping with and without diffusion, and the events.
#include <gtest/gtest.h>

#include "image/colour_reduce.h"
#include "image/dib_section.h"
#include "image/palette.h"
#include "image_test_util.h"

namespace plumage::image {
namespace {

using test::EventRecorder;
using test::FromRef;
using test::ToRef;

// A one-row picture of the given colours (red, green, blue).
ref::Picture Row(const std::vector<std::array<std::uint8_t, 3>>& colours, std::int32_t rows = 1) {
  ref::Picture p(static_cast<std::int32_t>(colours.size()), rows);
  for (std::int32_t y = 0; y < rows; ++y)
    for (std::size_t c = 0; c < colours.size(); ++c) {
      p.At(static_cast<std::int32_t>(3 * c), y) = colours[c][2];
      p.At(static_cast<std::int32_t>(3 * c + 1), y) = colours[c][1];
      p.At(static_cast<std::int32_t>(3 * c + 2), y) = colours[c][0];
    }
  return p;
}

std::vector<std::array<std::uint8_t, 3>> Greys(const std::vector<std::uint8_t>& levels) {
  std::vector<std::array<std::uint8_t, 3>> out;
  for (auto v : levels) out.push_back({v, v, v});
  return out;
}

TEST(ColourReduce, GrayScaleWeighsRedGreenAndBlue) {
  ref::Picture p =
      Row({{255, 0, 0}, {0, 255, 0}, {0, 0, 255}, {255, 255, 255}, {0, 0, 0}, {1, 1, 2}});
  cDIBSection dib;
  FromRef(p, dib);
  cColourReduceDIB().GrayScale(dib);
  ref::Picture g = ToRef(dib);
  const int expected[6] = {57, 180, 18, 255, 0, 1};
  for (int c = 0; c < 6; ++c)
    for (int k = 0; k < 3; ++k) EXPECT_EQ(g.At(3 * c + k, 0), expected[c]) << c;
  // Ties go to the even neighbour: 222 × 2 + 707 × 0 + 71 × 0 ... a sum of
  // 2500 gives 2.5, which becomes 2; 3500 gives 4.
  EXPECT_EQ(GreyLevel(0, 0, 0), 0);
  for (std::uint32_t r = 0; r < 256; ++r)
    for (std::uint32_t g2 = 0; g2 < 256; g2 += 5)
      for (std::uint32_t b = 0; b < 256; b += 3) {
        double exact = (222.0 * r + 707.0 * g2 + 71.0 * b) / 1000.0;
        ASSERT_EQ(GreyLevel(static_cast<std::uint8_t>(r), static_cast<std::uint8_t>(g2),
                            static_cast<std::uint8_t>(b)),
                  static_cast<int>(std::nearbyint(exact)));
      }
}

TEST(ColourReduce, BlackAndWhiteSplitsBetween128And129AndDropsSmallErrors) {
  ref::Picture p = Row(Greys({128, 129}));
  cDIBSection from, to;
  FromRef(p, from);
  ASSERT_TRUE(to.Create(2, 1));
  cColourReduceDIB().BlackAndWhite(from, to);
  ref::Picture out = ToRef(to);
  EXPECT_EQ(out.At(0, 0), 0);
  EXPECT_EQ(out.At(3, 0), 255);
  EXPECT_EQ(ToRef(from), out) << "both pictures end as the result";

  // A dark pixel passes 7/16 of its grey to the right, but only from 17 up:
  // 17 lifts 122 to 129 (white), 16 leaves it black.
  for (std::uint8_t first : {16, 17}) {
    ref::Picture q = Row(Greys({first, 122, 0, 0}));
    cDIBSection f, t;
    FromRef(q, f);
    ASSERT_TRUE(t.Create(4, 1));
    cColourReduceDIB().BlackAndWhite(f, t);
    EXPECT_EQ(ToRef(t).At(3, 0), first == 17 ? 255 : 0) << int{first};
  }
}

TEST(ColourReduce, PicturesTwoPixelsWideGetNoDiffusion) {
  // Greys just under the threshold: with any error passed on, some would
  // turn white.
  ref::Picture p = Row(Greys({120, 120}), 6);
  cDIBSection from, to;
  FromRef(p, from);
  ASSERT_TRUE(to.Create(2, 6));
  cColourReduceDIB().BlackAndWhite(from, to);
  ref::Picture out = ToRef(to);
  for (std::int32_t y = 0; y < 6; ++y) {
    EXPECT_EQ(out.At(0, y), 0);
    EXPECT_EQ(out.At(3, y), 0);
  }
  // Palette mapping with diffusion equals mapping without it.
  cPalette mono;
  mono.CreateMono();
  for (bool diffuse : {true, false}) {
    cDIBSection f, t;
    FromRef(p, f);
    ASSERT_TRUE(t.Create(2, 6));
    cColourReduceDIB().ApplyPalette(f, t, mono, diffuse);
    EXPECT_EQ(ToRef(t), out);
  }
  // Three wide: the first column does pass to the right... but the middle
  // (last but one) does not, and only the middle column receives from above.
  ref::Picture wide = Row(Greys({120, 120, 120}), 2);
  cDIBSection f3, t3;
  FromRef(wide, f3);
  ASSERT_TRUE(t3.Create(3, 2));
  cColourReduceDIB().BlackAndWhite(f3, t3);
  ref::Picture w3 = ToRef(t3);
  // Row 0 (memory): 120 | 120 + 52 = 172 → white | 120 → black.
  EXPECT_EQ(w3.At(0, 0), 0);
  EXPECT_EQ(w3.At(3, 0), 255);
  EXPECT_EQ(w3.At(6, 0), 0);
  // Row 1: column 0 gets nothing from below: 120 → black; column 1 gets
  // (-45 × 5) / 16 = -14 from above and 52 from the left.
  EXPECT_EQ(w3.At(0, 1), 0);
  EXPECT_EQ(w3.At(6, 1), 0);
}

TEST(ColourReduce, ApplyPaletteKeepsColoursThatAreInThePalette) {
  cPalette pal;
  pal.CreateWebSafe();
  std::vector<std::array<std::uint8_t, 3>> colours;
  for (std::int32_t i = 1; i <= pal.Count(); i += 7)
    colours.push_back({pal.Red(i), pal.Green(i), pal.Blue(i)});
  ref::Picture p = Row(colours, 3);
  cDIBSection from, to;
  FromRef(p, from);
  ASSERT_TRUE(to.Create(p.width, 3));
  cColourReduceDIB().ApplyPalette(from, to, pal, false);
  EXPECT_EQ(ToRef(to), p);
  EXPECT_EQ(ToRef(from), p);
}

TEST(ColourReduce, ApplyPaletteSpreadsOnlyErrorsAboveThree) {
  cPalette pal;
  pal.Add(0, 0, 0);
  pal.Add(10, 0, 0);
  // (3, 0, 0) is 3 from black: nothing is passed on, every pixel stays black.
  // (4, 0, 0) passes 1 and more to the right until a pixel is nearer to 10.
  for (std::uint8_t red : {3, 4}) {
    ref::Picture p = Row(std::vector<std::array<std::uint8_t, 3>>(8, {red, 0, 0}));
    cDIBSection from, to;
    FromRef(p, from);
    ASSERT_TRUE(to.Create(8, 1));
    cColourReduceDIB().ApplyPalette(from, to, pal, true);
    int tens = 0;
    for (int c = 0; c < 8; ++c) tens += ToRef(to).At(3 * c + 2, 0) == 10;
    if (red == 3)
      EXPECT_EQ(tens, 0);
    else
      EXPECT_GT(tens, 0);
  }
}

TEST(ColourReduce, ApplyPaletteWritesBlackWhereThePaletteHasNoEntry) {
  cPalette white;
  white.Add(255, 255, 255);
  ref::Picture p = Row({{0, 0, 0}, {200, 200, 200}});
  cDIBSection from, to;
  FromRef(p, from);
  ASSERT_TRUE(to.Create(2, 1));
  cColourReduceDIB().ApplyPalette(from, to, white, false);
  EXPECT_EQ(ToRef(to).At(0, 0), 0);
  EXPECT_EQ(ToRef(to).At(3, 0), 255);
}

TEST(ColourReduce, EventsAnnounceTheLastColumnOffsetAndReportEveryColumn) {
  test::FakeSystem clock;
  clock.step = 5;
  ImageServices services;
  services.system = &clock;
  cDIBSection from(services), to(services);
  ASSERT_TRUE(from.Create(32, 32));
  ASSERT_TRUE(to.Create(32, 32));
  cColourReduceDIB reducer(services);
  EventRecorder events;
  reducer.Events.Subscribe(&events);
  EventRecorder second;
  reducer.Events.Subscribe(&second);
  reducer.GrayScale(from);
  ASSERT_EQ(events.log.size(), 1u + 32 + 1);
  EXPECT_EQ(events.log.front(), "I93");
  for (int c = 0; c < 32; ++c)
    EXPECT_EQ(events.log[static_cast<std::size_t>(c + 1)], "P" + std::to_string(3 * c));
  EXPECT_EQ(events.log.back(), "C");
  EXPECT_EQ(events.times, std::vector<std::int32_t>{5});
  EXPECT_EQ(second.log, events.log) << "every observer hears the events";

  // BlackAndWhite: GrayScale's events first, then its own; its time counts
  // from before the grey scale.
  events.log.clear();
  events.times.clear();
  reducer.Events.Unsubscribe(&second);
  reducer.BlackAndWhite(from, to);
  ASSERT_EQ(events.log.size(), 2u * 34);
  EXPECT_EQ(events.log[0], "I93");
  EXPECT_EQ(events.log[33], "C");
  EXPECT_EQ(events.log[34], "I93");
  EXPECT_EQ(events.log.back(), "C");
  EXPECT_EQ(events.times, (std::vector<std::int32_t>{5, 15}));
  EXPECT_EQ(second.log.size(), 34u) << "unsubscribed";
}

}  // namespace
}  // namespace plumage::image
