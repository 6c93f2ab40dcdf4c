// The BMP file header and the bitmap header that follows it (or that begins
// an icon image): the one reader of both, for every bitmap the program reads.
#pragma once

#include <cstdint>
#include <span>
#include <string>

#include "base/byte_reader.h"
#include "base/result.h"

namespace plumage::formats {

inline constexpr std::uint32_t kCoreHeaderSize = 12;  // OS/2 1.x: 16-bit sides
inline constexpr std::uint32_t kInfoHeaderSize = 40;  // BITMAPINFOHEADER; later ones only grow
inline constexpr std::uint32_t kBiRgb = 0;
inline constexpr std::uint32_t kBiBitfields = 3;
inline constexpr std::uint32_t kBiAlphaBitfields = 6;

// The 14-byte file header.
struct BmpFileHeader {
  std::uint32_t fileSize = 0;  // often wrong in the wild: never trusted
  std::uint32_t offBits = 0;
};

// The bitmap header's fields that mean something to a reader; a longer
// header's further fields are skipped.
struct BitmapHeader {
  std::uint32_t headerSize = 0;
  std::int64_t width = 0;
  std::int64_t height = 0;  // negative: top-down
  std::uint16_t planes = 0;
  std::uint16_t bitCount = 0;
  std::uint32_t compression = kBiRgb;
  std::uint32_t colorsUsed = 0;
};

// "BM" and the file header; an error says "<what>: ...".
Result<BmpFileHeader> ReadFileHeader(ByteReader& in, const std::string& what);

// The bitmap header at the reader's position: the 12-byte core header, the
// 16- and 64-byte OS/2 2.x headers (laid out as Windows' for what is read
// here) and Windows' 40-byte header and its later versions; the caller
// bounds the size. The reader is left after the 40 bytes read (or the 12 or 16).
Result<BitmapHeader> ReadBitmapHeader(ByteReader& in, const std::string& what);

}  // namespace plumage::formats
