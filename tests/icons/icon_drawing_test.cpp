// Drawing icons on 24-bit surfaces: the mask rules, alpha blending,
// nearest-neighbour stretching, and nothing drawn outside the target.
#include <gtest/gtest.h>

#include <random>

#include "icon_test_util.h"
#include "platform/portable/file_icon_source.h"
#include "platform/portable/icon_drawing.h"
#include "formats/icons/icon_image.h"

namespace plumage::test {
namespace {

using platform::IconBitmap;
using plumage::Rgb;
using platform::Rgba;
using plumage::Surface24;
using platform::icons::DrawIconBitmap;

IconBitmap OnePixel(Rgba c, bool mask, bool alpha) {
  return IconBitmap{1, 1, {c}, {static_cast<std::uint8_t>(mask)}, alpha};
}

Rgb DrawnOver(Rgb screen, const IconBitmap& icon) {
  Surface24 s(1, 1, screen);
  DrawIconBitmap(s, 0, 0, icon, 1, 1);
  return s.At(0, 0);
}

TEST(IconDrawing, MaskAndColourFollowTheAndXorTruthTable) {
  struct Case {
    Rgb screen;
    bool mask;
    Rgba colour;
    Rgb expected;
  };
  const Rgb white{255, 255, 255}, grey{0x80, 0x40, 0x20};
  const Case cases[] = {
      {white, false, {10, 20, 30, 255}, {10, 20, 30}},             // opaque
      {grey, false, {0, 0, 0, 255}, {0, 0, 0}},                    // opaque black
      {white, true, {0, 0, 0, 255}, white},                        // transparent
      {grey, true, {0, 0, 0, 255}, grey},                          // transparent
      {white, true, {0x0F, 0xF0, 0x55, 255}, {0xF0, 0x0F, 0xAA}},  // inverted: screen XOR colour
      {grey, true, {0xFF, 0xFF, 0xFF, 255}, {0x7F, 0xBF, 0xDF}},   // inverted by white
  };
  for (const Case& c : cases) {
    const Rgb got = DrawnOver(c.screen, OnePixel(c.colour, c.mask, false));
    EXPECT_EQ(got, c.expected) << int(got.r) << "," << int(got.g) << "," << int(got.b);
  }
}

TEST(IconDrawing, AlphaImagesAreBlendedAndTheirMaskIsNotUsed) {
  struct Case {
    Rgb screen;
    Rgba colour;
    bool mask;
    Rgb expected;
  };
  const Case cases[] = {
      {{255, 255, 255}, {255, 0, 0, 0}, true, {255, 255, 255}},  // clear
      {{255, 255, 255}, {255, 0, 0, 255}, true, {255, 0, 0}},    // opaque, mask set or not
      {{255, 255, 255}, {255, 0, 0, 128}, false, {255, 127, 127}},
      {{10, 20, 30}, {200, 100, 0, 64}, false, {58, 40, 22}},
      {{0, 0, 0}, {255, 255, 255, 1}, false, {1, 1, 1}},
  };
  for (const Case& c : cases) {
    const Rgb got = DrawnOver(c.screen, OnePixel(c.colour, c.mask, true));
    EXPECT_EQ(got, c.expected) << int(got.r) << "," << int(got.g) << "," << int(got.b);
    EXPECT_EQ(got, Composite(c.screen, c.colour, c.mask, true));
  }
}

DibDef RandomIcon(int side, int bpp, unsigned seed) {
  std::mt19937 rng(seed);
  DibDef s;
  s.width = s.height = side;
  s.bpp = bpp;
  if (bpp <= 8)
    for (int i = 0; i < (1 << bpp); ++i)
      s.palette.push_back({static_cast<std::uint8_t>(rng()), static_cast<std::uint8_t>(rng()),
                           static_cast<std::uint8_t>(rng()), 0});
  for (int i = 0; i < side * side; ++i) {
    s.pixels.push_back(bpp <= 8 ? static_cast<std::uint32_t>(rng() % (1u << bpp))
                                : static_cast<std::uint32_t>(rng()));
    s.mask.push_back(static_cast<std::uint8_t>(rng() % 3 == 0));
  }
  if (bpp == 24)
    for (auto& p : s.pixels) p &= 0xFFFFFF;
  return s;
}

IconBitmap Decoded(const DibDef& dibDef) {
  auto bitmap = platform::icons::DecodeBmpIconImage(Span(EncodeDib(dibDef)));
  EXPECT_TRUE(bitmap) << bitmap.error().message;
  return bitmap ? *bitmap : IconBitmap{};
}

// A surface of a colour no drawing uses, so that any pixel written outside
// the target shows.
constexpr Rgb kGuard{1, 254, 3};

TEST(IconDrawing, DrawingsLandExactlyOnTheirTargetAndStretchNearestNeighbour) {
  struct Case {
    int side, bpp, x, y, w, h;
  };
  const Case cases[] = {
      {32, 8, 4, 4, 32, 32},   // DrawIcon, guard ring of 4 pixels
      {32, 24, 8, 7, 19, 19},  // ComposeFolderIcon's DrawIconEx
      {16, 4, 8, 9, 16, 16},   // the small icon
      {16, 1, 3, 2, 32, 32},   // 16 drawn at 32
      {48, 32, 1, 5, 32, 32},  // 48 drawn at 32
      {13, 8, 2, 2, 29, 31},   // odd sizes both ways
  };
  unsigned seed = 10;
  for (const Case& c : cases) {
    const DibDef dibDef = RandomIcon(c.side, c.bpp, ++seed);
    Surface24 surface(40, 40, kGuard);
    DrawIconBitmap(surface, c.x, c.y, Decoded(dibDef), c.w, c.h);
    const Surface24 expected = ExpectedDrawing(Surface24(40, 40, kGuard), dibDef, c.x, c.y, c.w, c.h);
    EXPECT_TRUE(SameSurface(surface, expected))
        << c.side << " at " << c.bpp << " bpp to " << c.w << "x" << c.h;
    for (int y = 0; y < 40; ++y)
      for (int x = 0; x < 40; ++x)
        if (x < c.x || y < c.y || x >= c.x + c.w || y >= c.y + c.h) {
          ASSERT_EQ(surface.At(x, y), kGuard) << "guard pixel (" << x << ", " << y << ")";
        }
  }
}

TEST(IconDrawing, ADrawingPartlyOffTheSurfaceIsCutAtItsEdges) {
  const DibDef dibDef = RandomIcon(32, 8, 99);
  const IconBitmap bitmap = Decoded(dibDef);
  for (auto [x, y] : {std::pair{-5, -3}, std::pair{30, 30}, std::pair{-31, 31}, std::pair{100, 0},
                      std::pair{-100, -100}}) {
    Surface24 surface(32, 32, kGuard);
    DrawIconBitmap(surface, x, y, bitmap, 32, 32);
    EXPECT_TRUE(
        SameSurface(surface, ExpectedDrawing(Surface24(32, 32, kGuard), dibDef, x, y, 32, 32)))
        << "at " << x << ", " << y;
  }
  // Nothing at all for an empty size or a bitmap whose pixels do not match.
  Surface24 surface(8, 8, kGuard);
  DrawIconBitmap(surface, 0, 0, bitmap, 0, 8);
  DrawIconBitmap(surface, 0, 0, IconBitmap{4, 4, {}, {}, false}, 4, 4);
  EXPECT_TRUE(SameSurface(surface, Surface24(8, 8, kGuard)));
}

TEST(IconDrawing, TheShellCallsDrawAtTheirOwnSizes) {
  platform::LibPngCodec png;
  platform::FileIconSource source(png);
  const DibDef dibDef = RandomIcon(16, 8, 5);
  platform::IconHandle icon = source.LoadIconResource(Span(WriteIco({EncodeDib(dibDef)})), 16);
  ASSERT_TRUE(icon.IsIcon());

  // DrawIcon draws at the icon size whatever the handle holds.
  Surface24 drawn(34, 34, kGuard);
  source.DrawIcon(drawn, 1, 1, icon);
  EXPECT_TRUE(SameSurface(drawn, ExpectedDrawing(Surface24(34, 34, kGuard), dibDef, 1, 1, 32, 32)));

  Surface24 small(34, 34, kGuard);
  source.DrawSmallIcon(small, 8, 9, icon);
  EXPECT_TRUE(SameSurface(small, ExpectedDrawing(Surface24(34, 34, kGuard), dibDef, 8, 9, 16, 16)));

  Surface24 stretched(34, 34, kGuard);
  source.DrawIconEx(stretched, 8, 7, icon, 19, 19);
  EXPECT_TRUE(
      SameSurface(stretched, ExpectedDrawing(Surface24(34, 34, kGuard), dibDef, 8, 7, 19, 19)));

  // No icon draws nothing.
  Surface24 none(34, 34, kGuard);
  source.DrawIcon(none, 0, 0, platform::IconHandle::None("test"));
  source.DrawIcon(none, 0, 0, platform::IconHandle::NotIconFile("test"));
  EXPECT_TRUE(SameSurface(none, Surface24(34, 34, kGuard)));
}

TEST(IconDrawing, ScalingCopiesColourAlphaAndMaskTogether) {
  IconBitmap two{2, 1, {{1, 2, 3, 40}, {4, 5, 6, 0}}, {0, 1}, true};
  const IconBitmap four = platform::icons::ScaleIconBitmap(two, 4, 2);
  ASSERT_EQ(four.color.size(), 8u);
  EXPECT_TRUE(four.hasAlpha);
  for (int y = 0; y < 2; ++y)
    for (int x = 0; x < 4; ++x) {
      const std::size_t i = static_cast<std::size_t>(y * 4 + x);
      EXPECT_EQ(four.color[i], two.color[x / 2]);
      EXPECT_EQ(four.mask[i], two.mask[x / 2]);
    }
}

}  // namespace
}  // namespace plumage::test
