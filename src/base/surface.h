// A 24-bit raster surface: what the Linux build draws on where Windows has
// device contexts and DIB sections. The memory layout is a bottom-up DIB's:
// the first row in memory is the bottom row of the picture, three bytes per
// pixel (blue, green, red), each row padded to a multiple of 4 bytes.
#pragma once

#include <cstdint>
#include <vector>

namespace plumage {

struct Rgb {
  std::uint8_t r = 0, g = 0, b = 0;
  friend bool operator==(const Rgb&, const Rgb&) = default;
};

class Surface24 {
 public:
  Surface24() = default;
  Surface24(int width, int height, Rgb fill = {255, 255, 255})
      : width_(width < 0 ? 0 : width),
        height_(height < 0 ? 0 : height),
        stride_(StrideFor(width_)),
        bits_(static_cast<std::size_t>(stride_) * static_cast<std::size_t>(height_), 0) {
    Fill(fill);
  }

  // 3 × width rounded up to a multiple of 4.
  static int StrideFor(int width) { return (width * 3 + 3) & ~3; }

  int width() const { return width_; }
  int height() const { return height_; }
  int stride() const { return stride_; }
  bool empty() const { return width_ == 0 || height_ == 0; }

  // Memory order (bottom row first), as DIB code addresses it.
  std::uint8_t* bits() { return bits_.data(); }
  const std::uint8_t* bits() const { return bits_.data(); }
  std::size_t size_bytes() const { return bits_.size(); }

  // Pixel (x, y) with y counted from the top, as drawing code addresses it.
  bool Contains(int x, int y) const { return x >= 0 && y >= 0 && x < width_ && y < height_; }
  Rgb At(int x, int y) const {
    const std::uint8_t* p = Address(x, y);
    return Rgb{p[2], p[1], p[0]};
  }
  void Set(int x, int y, Rgb c) {
    std::uint8_t* p = Address(x, y);
    p[0] = c.b;
    p[1] = c.g;
    p[2] = c.r;
  }
  void Fill(Rgb c) {
    for (int y = 0; y < height_; ++y)
      for (int x = 0; x < width_; ++x) Set(x, y, c);
  }

  friend bool operator==(const Surface24&, const Surface24&) = default;

 private:
  std::uint8_t* Address(int x, int y) {
    return bits_.data() + static_cast<std::size_t>(height_ - 1 - y) * static_cast<std::size_t>(stride_) +
           static_cast<std::size_t>(x) * 3;
  }
  const std::uint8_t* Address(int x, int y) const {
    return const_cast<Surface24*>(this)->Address(x, y);
  }

  int width_ = 0;
  int height_ = 0;
  int stride_ = 0;
  std::vector<std::uint8_t> bits_;
};

}  // namespace plumage
