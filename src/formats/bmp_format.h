// The BMP file layout the program writes: a 14-byte file header, the 40-byte
// bitmap header, the colour table, then the pixel rows bottom row first.
// Fields are little-endian and written one at a time.
#pragma once

#include <cstdint>
#include <vector>

#include "formats/bitmap_header.h"
#include "formats/bitmap_info.h"

namespace plumage::formats {

inline constexpr std::uint32_t kFileHeaderSize = 14;

inline void PutU16(std::vector<std::uint8_t>& out, std::uint32_t v) {
  out.push_back(static_cast<std::uint8_t>(v & 0xFF));
  out.push_back(static_cast<std::uint8_t>((v >> 8) & 0xFF));
}
inline void PutU32(std::vector<std::uint8_t>& out, std::uint32_t v) {
  for (int i = 0; i < 4; ++i) out.push_back(static_cast<std::uint8_t>((v >> (8 * i)) & 0xFF));
}

// "BM", bfSize, two reserved zeros, bfOffBits.
inline std::vector<std::uint8_t> FileHeader(std::uint32_t bfSize, std::uint32_t bfOffBits) {
  std::vector<std::uint8_t> out;
  out.reserve(kFileHeaderSize);
  out.push_back('B');
  out.push_back('M');
  PutU32(out, bfSize);
  PutU16(out, 0);
  PutU16(out, 0);
  PutU32(out, bfOffBits);
  return out;
}

// The 40-byte header followed by `colours` entries of blue, green, red, 0.
inline std::vector<std::uint8_t> InfoHeader(const formats::BitmapInfo& h, std::size_t colours) {
  std::vector<std::uint8_t> out;
  out.reserve(kInfoHeaderSize + 4 * colours);
  PutU32(out, static_cast<std::uint32_t>(h.biSize));
  PutU32(out, static_cast<std::uint32_t>(h.biWidth));
  PutU32(out, static_cast<std::uint32_t>(h.biHeight));
  PutU16(out, h.biPlanes);
  PutU16(out, h.biBitCount);
  PutU32(out, h.biCompression);
  PutU32(out, h.biSizeImage);
  PutU32(out, static_cast<std::uint32_t>(h.biXPelsPerMeter));
  PutU32(out, static_cast<std::uint32_t>(h.biYPelsPerMeter));
  PutU32(out, h.biClrUsed);
  PutU32(out, h.biClrImportant);
  for (std::size_t i = 0; i < colours && i < h.bmiColors.size(); ++i) {
    const formats::RgbQuad& q = h.bmiColors[i];
    out.push_back(q.blue);
    out.push_back(q.green);
    out.push_back(q.red);
    out.push_back(q.reserved);
  }
  return out;
}

}  // namespace plumage::formats
