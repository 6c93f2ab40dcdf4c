// The image engine's operations written as plainly as their definitions
// read: column-outer loops, in-place error shares, a linear colour search, a
// recursive octree. The engine's fast code must give the same bytes.
#pragma once

#include <cstdint>
#include <string>
#include <utility>
#include <vector>

namespace plumage::image::ref {

// A 24-bit picture: rows bottom-up, blue, green, red, rows padded to 4.
struct Picture {
  std::int32_t width = 0;
  std::int32_t height = 0;
  std::vector<std::uint8_t> bits;

  Picture() = default;
  Picture(std::int32_t w, std::int32_t h);
  std::int32_t Stride() const { return (width * 3 + 3) & ~3; }
  std::uint8_t& At(std::int32_t x, std::int32_t y) {
    return bits[static_cast<std::size_t>(y) * Stride() + x];
  }
  friend bool operator==(const Picture&, const Picture&) = default;
};

struct Colour {
  std::uint8_t r = 0, g = 0, b = 0;
  friend bool operator==(const Colour&, const Colour&) = default;
};

// Events as "I<max>", "P<pos>", "C" (the time is not compared).
using EventLog = std::vector<std::string>;

std::int32_t ClosestIndex(const std::vector<Colour>& pal, std::int32_t r, std::int32_t g,
                          std::int32_t b);

std::vector<Colour> HalfTone();
std::vector<Colour> WebSafe();
std::vector<Colour> SixteenColour();

void GrayScale(Picture& pic, EventLog& log);
void BlackAndWhite(Picture& from, Picture& to, EventLog& log);
void ApplyPalette(Picture& from, Picture& to, const std::vector<Colour>& pal, bool diffuse,
                  EventLog& log);
// `messages` counts "Error in reducing nodes".
std::vector<Colour> CreateOptimal(const Picture& pic, std::int32_t palSize, std::int32_t levels,
                                  EventLog& log, int& messages);
// Returns false where the engine gives nothing.
bool Resample(const Picture& src, std::int32_t newHeight, std::int32_t newWidth, Picture& out);
void RandomiseBits(Picture& pic, bool gray, std::uint32_t seed);

// The bytes of a 24-bit BMP file of the picture.
std::vector<std::uint8_t> SavePicture24(const Picture& pic);
// What Save writes and leaves: the file, the picture, the palette (empty
// when none). `hasPalette` says whether the caller passed one.
struct SaveResult {
  bool written = false;
  std::vector<std::uint8_t> file;
  std::vector<Colour> palette;
  bool hasPalette = false;
};
SaveResult Save(Picture& pic, bool hasPalette, std::vector<Colour> palette, int depth, int method,
                EventLog& log);

}  // namespace plumage::image::ref
