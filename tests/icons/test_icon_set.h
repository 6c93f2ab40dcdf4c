// The icons of the tests' real Windows files (make_test_icon_files writes
// them for windres): 40 group icons, named and numbered, at every depth, some
// as PNG, some with several images to choose from; their pictures random,
// with masks that make pixels transparent and inverted.
#pragma once

#include <random>
#include <string>
#include <vector>

#include "support/icon_writer.h"

namespace plumage::test {

// A random image; alpha: a 32-bit one with per-pixel alpha (otherwise its
// alpha bytes are 0, as before alpha). Odd widths put row padding to work.
inline Bytes RandomDib(int w, int h, int bpp, bool alpha, unsigned seed) {
  std::mt19937 rng(seed);
  DibDef s{w, h, bpp, {}, {}, {}};
  for (int i = 0; bpp <= 8 && i < 1 << bpp; ++i)
    s.palette.push_back({std::uint8_t(rng()), std::uint8_t(rng()), std::uint8_t(rng()), 0});
  for (int i = 0; i < w * h; ++i) {
    const std::uint32_t p = rng();
    s.pixels.push_back(bpp <= 8 ? p % (1u << bpp) : alpha ? p : p & 0xFFFFFF);
    s.mask.push_back(rng() % 3 == 0);
  }
  return EncodeDib(s);
}

struct ImageDef {
  int size = 32;
  int bpp = 8;  // 1, 4, 8, 24, 32; PNG images are 32
  bool png = false;
  bool alpha = false;  // 32-bit with per-pixel alpha
};

// Image d of icon k.
inline Bytes EncodeTestImage(int k, const ImageDef& d) {
  const unsigned seed = unsigned(k * 1000 + d.size * 10 + d.bpp);
  if (!d.png) return RandomDib(d.size, d.size, d.bpp, d.alpha, seed);
  std::mt19937 rng(seed);
  std::vector<formats::Rgba> pixels(std::size_t(d.size * d.size));
  for (formats::Rgba& p : pixels)
    p = {std::uint8_t(rng()), std::uint8_t(rng()), std::uint8_t(rng()),
         std::uint8_t(rng() % 3 ? rng() : 0)};
  return EncodePng(d.size, d.size, pixels);
}

// Icon k: named (even k) or numbered (odd k); depth by k % 6; only a larger
// image, only a smaller one, three sizes, or three depths of one size.
inline std::vector<std::pair<std::string, std::vector<ImageDef>>> TestLibrary() {
  static const char* kWords[] = {"ZEBRA", "APPLE",  "MANGO",  "KIWI", "BANANA",    "CHERRY", "DATE",
                                 "FIG",   "GRAPE",  "LEMON",  "LIME", "OLIVE",     "PEACH",  "PEAR",
                                 "PLUM",  "QUINCE", "RAISIN", "SLOE", "TANGERINE", "UGLI"};
  static const int kNumbers[] = {7, 300, 2,  45,   1000, 13, 99, 1,   512, 64,
                                 8, 250, 31, 4096, 5,    77, 18, 640, 3,   222};
  std::vector<std::pair<std::string, std::vector<ImageDef>>> icons;
  for (int k = 0; k < 40; ++k) {
    ImageDef base{32, std::vector{1, 4, 8, 24, 32, 32}[k % 6], k % 6 == 5,
                  k % 6 == 4 && k / 6 % 2 == 0};
    std::vector<ImageDef> images = {base};
    if (k % 7 == 3)
      images[0].size = 48;  // only larger: scaled down
    else if (k % 11 == 4)
      images[0].size = 16;  // only smaller: scaled up
    else if (k % 5 == 0)
      images = {ImageDef{16, 8}, base, ImageDef{48, 24}};
    else if (k % 8 == 1)
      images = {ImageDef{32, 4}, ImageDef{32, 1}, base};  // the deepest wins
    icons.emplace_back(k % 2 == 0 ? kWords[k / 2] : std::to_string(kNumbers[k / 2]), images);
  }
  return icons;
}

// The application's one icon: 16 × 16 at 8 bits and 32 × 32 with alpha.
inline constexpr int kAppIdentity = 40;
inline const std::vector<ImageDef> kAppImages = {ImageDef{16, 8}, ImageDef{32, 32, false, true}};

}  // namespace plumage::test
