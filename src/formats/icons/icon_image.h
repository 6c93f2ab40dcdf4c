// One image of an icon: a device-independent bitmap (a colour image at 1, 4,
// 8, 24 or 32 bits per pixel followed by its AND mask, the header's height
// counting both) or a PNG.
#pragma once

#include <cstdint>
#include <span>

#include "base/result.h"
#include "formats/icons/icon_bitmap.h"
#include "formats/png_codec.h"

namespace plumage::formats {

// Icons are at most 256 × 256 (a directory writes 256 as 0). A larger header
// is damage, and refusing it bounds what a lying header can make us allocate.
inline constexpr int kMaxIconSide = 256;

struct IconImageInfo {
  int width = 0;
  int height = 0;
  int bitsPerPixel = 0;
  bool png = false;
};

// Size and depth from the image's own header, without decoding it: the
// header is the authoritative copy, the directory's fields only a summary.
Result<IconImageInfo> PeekIconImage(std::span<const std::uint8_t> bytes);

// The whole image at its own size.
Result<IconBitmap> DecodeIconImage(std::span<const std::uint8_t> bytes, IPngCodec& png);
Result<IconBitmap> DecodeBmpIconImage(std::span<const std::uint8_t> bytes);
Result<IconBitmap> DecodePngIconImage(std::span<const std::uint8_t> bytes, IPngCodec& png);

}  // namespace plumage::formats
