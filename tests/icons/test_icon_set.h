// The icons of the test library: 40 group icons whose pictures say which
// icon they are (the colour at the centre), at every depth, with masks that
// hold transparent and inverted pixels, some as PNG, some with several images
// to choose from. make_test_icon_files writes them for windres.
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

inline platform::Rgba IdentityColour(int k) {
  return platform::Rgba{std::uint8_t(40 + 5 * k), std::uint8_t(200 - 3 * k),
                        std::uint8_t((53 * k) % 200 + 30), 255};
}

// The picture of icon k at one size and depth: a 2-pixel border that is
// transparent (mask set over black); a 2 × 2 block at (2, 2) of the identity
// colour with the mask set, which inverts the screen (with alpha: the colour
// at half alpha); the middle half of the square the identity colour, opaque;
// elsewhere opaque colours that vary per pixel (every palette entry in use).
inline DibDef TestDib(int k, const ImageDef& d) {
  const int n = d.size, entries = d.bpp <= 8 ? 1 << d.bpp : 0;
  const std::uint32_t id = Argb(IdentityColour(k)) & 0xFFFFFF;
  DibDef s{n, n, d.bpp, {}, {}, {}};
  for (int i = 0; i < entries; ++i)
    s.palette.push_back(i == 0   ? platform::Rgba{}
                        : i == 1 ? IdentityColour(k)
                                 : platform::Rgba{std::uint8_t(i * 11), std::uint8_t(i * 29),
                                                  std::uint8_t(i * 53 + k), 0});
  for (int y = 0; y < n; ++y)
    for (int x = 0; x < n; ++x) {
      const bool border = x < 2 || y < 2 || x >= n - 2 || y >= n - 2;
      const bool invert = !border && x < 4 && y < 4;
      const bool middle = x >= n / 4 && x < 3 * n / 4 && y >= n / 4 && y < 3 * n / 4;
      std::uint32_t p = 0xFF000000u | std::uint32_t(x * 8) << 16 | std::uint32_t(y * 8) << 8 |
                        std::uint32_t((k * 6) & 0xFF);
      if (entries) p = entries > 2 ? std::uint32_t(2 + (x * 7 + y * 3) % (entries - 2)) : 0;
      if (middle || invert) p = entries ? 1 : id | (invert && d.alpha ? 0x80000000u : 0xFF000000u);
      if (invert && !d.alpha && !entries) p &= 0xFFFFFF;
      if (border) p = 0;
      if (d.bpp == 32 && !d.alpha) p &= 0xFFFFFF;  // alpha bytes all 0: no alpha
      s.pixels.push_back(p);
      s.mask.push_back(border || invert);
    }
  return s;
}

inline Bytes EncodeTestImage(int k, const ImageDef& d) {
  if (!d.png) return EncodeDib(TestDib(k, d));
  // The same picture as straight RGBA, from the 32-bit picture with alpha.
  std::vector<platform::Rgba> pixels;
  for (std::uint32_t p : TestDib(k, ImageDef{d.size, 32, false, true}).pixels)
    pixels.push_back(
        {std::uint8_t(p >> 16), std::uint8_t(p >> 8), std::uint8_t(p), std::uint8_t(p >> 24)});
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
