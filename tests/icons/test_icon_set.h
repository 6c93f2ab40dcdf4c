// The random icon images of the icon tests and of their real Windows files
// (make_test_icon_files): every depth, some as PNG, with masks that make
// pixels transparent and inverted.
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

}  // namespace plumage::test
