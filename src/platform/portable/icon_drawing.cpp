#include "platform/portable/icon_drawing.h"

#include <algorithm>

namespace plumage::platform {

using formats::IconBitmap;
using formats::Rgba;

IconBitmap ScaleIconBitmap(const IconBitmap& bitmap, int width, int height) {
  if (bitmap.width == width && bitmap.height == height) return bitmap;
  IconBitmap out;
  if (width <= 0 || height <= 0 || bitmap.width <= 0 || bitmap.height <= 0) return out;
  out.width = width;
  out.height = height;
  out.hasAlpha = bitmap.hasAlpha;
  const std::size_t n = static_cast<std::size_t>(width) * static_cast<std::size_t>(height);
  out.color.resize(n);
  out.mask.resize(n);
  for (int y = 0; y < height; ++y) {
    const int sy = NearestSource(y, bitmap.height, height);
    for (int x = 0; x < width; ++x) {
      const int sx = NearestSource(x, bitmap.width, width);
      const std::size_t from = static_cast<std::size_t>(sy) * bitmap.width + sx;
      const std::size_t to = static_cast<std::size_t>(y) * width + x;
      out.color[to] = bitmap.color[from];
      out.mask[to] = bitmap.mask[from];
    }
  }
  return out;
}

void DrawIconBitmap(Surface24& surface, int x, int y, const IconBitmap& bitmap, int width,
                    int height) {
  if (width <= 0 || height <= 0 || bitmap.width <= 0 || bitmap.height <= 0) return;
  const std::size_t pixels = static_cast<std::size_t>(bitmap.width) * bitmap.height;
  if (bitmap.color.size() != pixels || bitmap.mask.size() != pixels) return;
  // Only the part of the drawing that falls on the surface is visited.
  const long long firstColumn = std::max(0LL, -static_cast<long long>(x));
  const long long endColumn =
      std::min<long long>(width, static_cast<long long>(surface.width()) - x);
  const long long firstRow = std::max(0LL, -static_cast<long long>(y));
  const long long endRow =
      std::min<long long>(height, static_cast<long long>(surface.height()) - y);
  for (long long dy = firstRow; dy < endRow; ++dy) {
    const int sy = NearestSource(static_cast<int>(dy), bitmap.height, height);
    for (long long dx = firstColumn; dx < endColumn; ++dx) {
      const int sx = NearestSource(static_cast<int>(dx), bitmap.width, width);
      const std::size_t i = static_cast<std::size_t>(sy) * bitmap.width + sx;
      const Rgba c = bitmap.color[i];
      const int px = static_cast<int>(x + dx);
      const int py = static_cast<int>(y + dy);
      const Rgb screen = surface.At(px, py);
      Rgb out;
      if (bitmap.hasAlpha) {
        auto blend = [a = c.a](std::uint8_t source, std::uint8_t dest) {
          return static_cast<std::uint8_t>((source * a + dest * (255 - a) + 127) / 255);
        };
        out = Rgb{blend(c.r, screen.r), blend(c.g, screen.g), blend(c.b, screen.b)};
      } else {
        const std::uint8_t keep = bitmap.mask[i] ? 0xFF : 0x00;
        out = Rgb{static_cast<std::uint8_t>((screen.r & keep) ^ c.r),
                  static_cast<std::uint8_t>((screen.g & keep) ^ c.g),
                  static_cast<std::uint8_t>((screen.b & keep) ^ c.b)};
      }
      surface.Set(px, py, out);
    }
  }
}

}  // namespace plumage::platform
