// The icons of the test library: 40 group icons whose pictures say which
// icon they are (the colour at the centre), at every depth, with masks
// that hold transparent and inverted pixels, some as PNG, some with several
// images to choose from. make_test_icon_files writes them for windres; the
// tests compute from the same definitions what each icon must look like.
#pragma once

#include <string>
#include <vector>

#include "support/icon_writer.h"

namespace plumage::test {

struct ImageDef {
  int size = 32;
  int bpp = 8;  // 1, 4, 8, 24, 32; PNG images are 32
  bool png = false;
  bool alpha = false;  // 32-bit DIB with per-pixel alpha
};

struct TestIconDef {
  int identity = 0;
  std::string rcName;  // "APPLE", or a number
  std::vector<ImageDef> images;
};

inline platform::Rgba IdentityColour(int k) {
  return platform::Rgba{static_cast<std::uint8_t>(40 + 5 * k),
                        static_cast<std::uint8_t>(200 - 3 * k),
                        static_cast<std::uint8_t>((53 * k) % 200 + 30), 255};
}

// The picture of icon k at one size and depth:
// - a 2-pixel border: transparent (mask set over black);
// - a 2 × 2 block at (2, 2): the identity colour with the mask set, which
//   inverts the screen (alpha images: the identity colour at half alpha);
// - the middle half of the square: the identity colour, opaque;
// - elsewhere: opaque colours that vary per pixel (every palette entry in use).
inline DibDef TestDib(int k, const ImageDef& d) {
  DibDef s;
  s.width = s.height = d.size;
  s.bpp = d.bpp;
  const platform::Rgba id = IdentityColour(k);
  if (d.bpp <= 8) {
    const int entries = 1 << d.bpp;
    s.palette.push_back({0, 0, 0, 0});
    s.palette.push_back(id);
    for (int i = 2; i < entries; ++i)
      s.palette.push_back({static_cast<std::uint8_t>(i * 11), static_cast<std::uint8_t>(i * 29),
                           static_cast<std::uint8_t>(i * 53 + k), 0});
  }
  const int n = d.size;
  for (int y = 0; y < n; ++y) {
    for (int x = 0; x < n; ++x) {
      const bool border = x < 2 || y < 2 || x >= n - 2 || y >= n - 2;
      const bool invert = x >= 2 && x < 4 && y >= 2 && y < 4;
      const bool middle = x >= n / 4 && x < 3 * n / 4 && y >= n / 4 && y < 3 * n / 4;
      std::uint32_t p = 0;
      std::uint8_t m = 0;
      if (border) {
        m = 1;
        p = d.alpha ? 0x00000000u : 0;
      } else if (invert) {
        m = 1;
        p = d.bpp <= 8 ? 1 : (Argb(id) & 0xFFFFFF) | (d.alpha ? 0x80000000u : 0);
      } else if (middle) {
        p = d.bpp <= 8 ? 1 : Argb(id) | 0xFF000000u;
      } else if (d.bpp <= 8) {
        const int entries = 1 << d.bpp;
        p = entries > 2 ? static_cast<std::uint32_t>(2 + (x * 7 + y * 3) % (entries - 2)) : 0;
      } else {
        p = 0xFF000000u | (static_cast<std::uint32_t>(x * 8) << 16) |
            (static_cast<std::uint32_t>(y * 8) << 8) | static_cast<std::uint32_t>((k * 6) & 0xFF);
      }
      if (d.bpp == 32 && !d.alpha) p &= 0x00FFFFFFu;  // alpha bytes all 0: no alpha
      s.pixels.push_back(p);
      s.mask.push_back(m);
    }
  }
  return s;
}

// The straight RGBA of a PNG image of icon k: the same picture, the border
// fully transparent and the inverting block at half alpha.
inline std::vector<platform::Rgba> TestPngPixels(int k, int size) {
  const DibDef s = TestDib(k, ImageDef{size, 32, false, true});
  std::vector<platform::Rgba> out;
  for (int y = 0; y < size; ++y)
    for (int x = 0; x < size; ++x) out.push_back(DefColour(s, x, y));
  return out;
}

inline Bytes EncodeTestImage(int k, const ImageDef& d) {
  if (d.png) return EncodePng(d.size, d.size, TestPngPixels(k, d.size));
  return EncodeDib(TestDib(k, d));
}

inline std::vector<TestIconDef> TestLibrary() {
  static const char* kWords[] = {"ZEBRA", "APPLE",  "MANGO",  "KIWI", "BANANA",    "CHERRY", "DATE",
                                 "FIG",   "GRAPE",  "LEMON",  "LIME", "OLIVE",     "PEACH",  "PEAR",
                                 "PLUM",  "QUINCE", "RAISIN", "SLOE", "TANGERINE", "UGLI"};
  static const int kNumbers[] = {7, 300, 2,  45,   1000, 13, 99, 1,   512, 64,
                                 8, 250, 31, 4096, 5,    77, 18, 640, 3,   222};
  std::vector<TestIconDef> icons;
  for (int k = 0; k < 40; ++k) {
    TestIconDef def;
    def.identity = k;
    def.rcName = k % 2 == 0 ? kWords[k / 2] : std::to_string(kNumbers[k / 2]);
    ImageDef base;
    switch (k % 6) {
      case 0:
        base.bpp = 1;
        break;
      case 1:
        base.bpp = 4;
        break;
      case 2:
        base.bpp = 8;
        break;
      case 3:
        base.bpp = 24;
        break;
      case 4:
        base.bpp = 32;
        base.alpha = (k / 6) % 2 == 0;
        break;
      case 5:
        base.bpp = 32;
        base.png = true;
        break;
    }
    if (k % 7 == 3) {
      base.size = 48;  // only larger: scaled down
      def.images = {base};
    } else if (k % 11 == 4) {
      base.size = 16;  // only smaller: scaled up
      def.images = {base};
    } else if (k % 5 == 0) {
      def.images = {ImageDef{16, 8}, base, ImageDef{48, 24}};
    } else if (k % 8 == 1) {
      def.images = {ImageDef{32, 4}, ImageDef{32, 1}, base};  // the deepest wins
    } else {
      def.images = {base};
    }
    icons.push_back(def);
  }
  return icons;
}

// The application's one icon: 16 × 16 at 8 bits and 32 × 32 with alpha.
inline constexpr int kAppIdentity = 40;
inline std::vector<ImageDef> AppImages() {
  return {ImageDef{16, 8}, ImageDef{32, 32, false, true}};
}

}  // namespace plumage::test
