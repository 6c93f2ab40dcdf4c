// BITMAPINFOHEADER with its colour table, as the program holds it in memory,
// and the limits every bitmap it reads or makes stays within.
#pragma once

#include <array>
#include <cstdint>

namespace plumage::formats {

// Largest bitmap side, and largest pixel memory of one bitmap: far beyond
// any icon or photograph the program meets, well inside a 32-bit Long for
// every size and offset derived from them.
inline constexpr std::int32_t kMaxSide = 32767;
inline constexpr std::uint64_t kMaxPixelBytes = std::uint64_t{1} << 30;

struct RgbQuad {
  std::uint8_t blue = 0, green = 0, red = 0, reserved = 0;
  friend bool operator==(const RgbQuad&, const RgbQuad&) = default;
};

// BITMAPINFOHEADER and room for 256 colour-table entries.
struct BitmapInfo {
  std::int32_t biSize = 40;
  std::int32_t biWidth = 0;
  std::int32_t biHeight = 0;
  std::uint16_t biPlanes = 1;
  std::uint16_t biBitCount = 24;
  std::uint32_t biCompression = 0;
  std::uint32_t biSizeImage = 0;
  std::int32_t biXPelsPerMeter = 0;
  std::int32_t biYPelsPerMeter = 0;
  std::uint32_t biClrUsed = 0;
  std::uint32_t biClrImportant = 0;
  std::array<RgbQuad, 256> bmiColors{};
};

// ((width × bits + 31) div 32) × 4, in 64 bits.
inline std::int64_t StrideFor(std::int64_t width, int bitCount) {
  return ((width * bitCount + 31) / 32) * 4;
}

}  // namespace plumage::formats
