// The pixels of one icon image once decoded, whatever the file held.
#pragma once

#include <cstdint>
#include <vector>

namespace plumage::formats {

struct Rgba {
  std::uint8_t r = 0, g = 0, b = 0, a = 0;
  friend bool operator==(const Rgba&, const Rgba&) = default;
};

// The pixels an icon handle holds, as an HICON holds them: the colour (XOR)
// image and the AND mask, both top row first.
struct IconBitmap {
  int width = 0;
  int height = 0;
  std::vector<Rgba> color;
  std::vector<std::uint8_t>
      mask;               // 1: the AND bit is set (the screen shows through, or is inverted)
  bool hasAlpha = false;  // per-pixel alpha: blended, and the mask is not used
};

}  // namespace plumage::formats
