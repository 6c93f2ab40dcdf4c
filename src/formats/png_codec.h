// PNG in and out. Program code sees this interface; libpng stands behind it
// in the Linux build (platform/posix/png_codec_libpng.cpp).
#pragma once

#include <cstdint>
#include <span>
#include <string>
#include <vector>

#include "base/result.h"

namespace plumage::formats {

// Straight (not premultiplied) RGBA, top row first, 4 bytes per pixel.
struct RgbaImage {
  int width = 0;
  int height = 0;
  std::vector<std::uint8_t> rgba;
};

// Largest PNG the program decodes: icons are at most 256 × 256, pictures
// for the image engine at most 16384 on a side.
inline constexpr int kMaxPngSide = 16384;

class IPngCodec {
 public:
  virtual ~IPngCodec() = default;
  // Decodes any bytes: a damaged or oversized PNG is an error, never a crash.
  virtual Result<RgbaImage> Decode(std::span<const std::uint8_t> bytes) = 0;
  virtual Result<std::vector<std::uint8_t>> Encode(const RgbaImage& image) = 0;
};

// True when the bytes begin with the PNG signature.
inline bool LooksLikePng(std::span<const std::uint8_t> bytes) {
  static constexpr std::uint8_t kSig[8] = {0x89, 'P', 'N', 'G', 0x0D, 0x0A, 0x1A, 0x0A};
  if (bytes.size() < 8) return false;
  for (int i = 0; i < 8; ++i)
    if (bytes[static_cast<std::size_t>(i)] != kSig[i]) return false;
  return true;
}

}  // namespace plumage::formats
