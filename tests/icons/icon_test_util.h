// Helpers of the icon tests: the reference drawing rules written out
// literally, and file and span helpers.
#pragma once

#include <gtest/gtest.h>

#include <cmath>
#include <filesystem>
#include <fstream>
#include <span>
#include <string>

#include "platform/icon_source.h"
#include "base/surface.h"
#include "support/icon_writer.h"

namespace plumage::test {

inline std::span<const std::uint8_t> Span(const Bytes& b) {
  return {b.data(), b.size()};
}

inline void WriteBytes(const std::filesystem::path& path, const Bytes& bytes) {
  std::ofstream out(path, std::ios::binary | std::ios::trunc);
  out.write(reinterpret_cast<const char*>(bytes.data()),
            static_cast<std::streamsize>(bytes.size()));
}

inline std::string PeDir() {
  return PLUMAGE_TEST_PE_DIR;
}

// One pixel drawn over the screen, as the Windows documentation states it:
// an image with alpha is blended, colour × a/255 + screen × (255 − a)/255,
// rounded to the nearest; otherwise the screen is ANDed with the mask bit
// (all ones or all zeros) and XORed with the colour.
inline plumage::Rgb Composite(plumage::Rgb screen, platform::Rgba c, bool andBit, bool alpha) {
  if (alpha) {
    auto blend = [&](int colour, int dest) {
      return static_cast<std::uint8_t>(std::lround((colour * c.a + dest * (255.0 - c.a)) / 255.0));
    };
    return {blend(c.r, screen.r), blend(c.g, screen.g), blend(c.b, screen.b)};
  }
  const int keep = andBit ? 255 : 0;
  return {static_cast<std::uint8_t>((screen.r & keep) ^ c.r),
          static_cast<std::uint8_t>((screen.g & keep) ^ c.g),
          static_cast<std::uint8_t>((screen.b & keep) ^ c.b)};
}

// Nearest neighbour: the source pixel under the destination pixel's centre.
inline int Nearest(int d, int from, int to) {
  return static_cast<int>(std::floor((d + 0.5) * from / to));
}

// Whether a 32-bit dibDef counts as an image with alpha: any alpha byte set.
inline bool SpecHasAlpha(const DibDef& s) {
  if (s.bpp != 32) return false;
  for (std::uint32_t p : s.pixels)
    if (p >> 24) return true;
  return false;
}

// What drawing `dibDef` stretched to w × h at (x, y) must give on `screen`.
inline plumage::Surface24 ExpectedDrawing(plumage::Surface24 screen, const DibDef& dibDef, int x,
                                           int y, int w, int h) {
  const bool alpha = SpecHasAlpha(dibDef);
  for (int dy = 0; dy < h; ++dy)
    for (int dx = 0; dx < w; ++dx) {
      if (!screen.Contains(x + dx, y + dy)) continue;
      const int sx = Nearest(dx, dibDef.width, w), sy = Nearest(dy, dibDef.height, h);
      platform::Rgba c = DefColour(dibDef, sx, sy);
      if (!alpha) c.a = 255;
      screen.Set(x + dx, y + dy,
                 Composite(screen.At(x + dx, y + dy), c, DefMask(dibDef, sx, sy), alpha));
    }
  return screen;
}

// Compares two surfaces pixel by pixel and names the first difference.
inline ::testing::AssertionResult SameSurface(const plumage::Surface24& actual,
                                              const plumage::Surface24& expected) {
  if (actual.width() != expected.width() || actual.height() != expected.height())
    return ::testing::AssertionFailure() << "size " << actual.width() << "x" << actual.height()
                                         << " vs " << expected.width() << "x" << expected.height();
  for (int y = 0; y < actual.height(); ++y)
    for (int x = 0; x < actual.width(); ++x) {
      const plumage::Rgb a = actual.At(x, y), e = expected.At(x, y);
      if (!(a == e))
        return ::testing::AssertionFailure()
               << "pixel (" << x << ", " << y << ") is " << int(a.r) << "," << int(a.g) << ","
               << int(a.b) << " instead of " << int(e.r) << "," << int(e.g) << "," << int(e.b);
    }
  return ::testing::AssertionSuccess();
}

}  // namespace plumage::test
