// Drawing contexts, bitmaps and bit-block transfer of our own: what the
// engine does with device contexts and DIB sections where Windows is absent.
//
// Handles are Longs, as the engine's callers hold them: non-zero for a live
// object, never reused while the program runs, 0 for none. A memory context
// starts with a stock 1 × 1 bitmap selected, as a Windows memory DC does; the
// screen context ("DISPLAY") has no pixels: drawing onto it does nothing and
// reading from it gives black.
//
// Bitmaps are bottom-up DIBs at 1, 4, 8 or 24 bits per pixel, each row
// padded to a multiple of 4 bytes, zero-filled when made. A transfer reads
// each source pixel as a colour (through the colour table for 1, 4 and 8
// bits) and stores it in the destination: as it is at 24 bits, or as the
// colour-table entry that the palette's nearest-colour rule (ClosestIndex)
// picks, at 1, 4 and 8 bits. A colour no entry is nearer to than 765 gets
// entry 0. Raster operations other than source-copy are worked out on the
// colours, with the context's white brush as the pattern.
//
// One thread, as the whole program: the handle table is not locked.
#pragma once

#include <array>
#include <cstdint>
#include <vector>

namespace plumage::image::surfaces {

using Handle = std::int32_t;

inline constexpr std::uint32_t kSrcCopy = 0x00CC0020;
inline constexpr std::uint32_t kSrcPaint = 0x00EE0086;
inline constexpr std::uint32_t kSrcAnd = 0x008800C6;
inline constexpr std::uint32_t kSrcInvert = 0x00660046;
inline constexpr std::uint32_t kNotSrcCopy = 0x00330008;
inline constexpr std::uint32_t kBlackness = 0x00000042;
inline constexpr std::uint32_t kWhiteness = 0x00FF0062;

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

Handle CreateDisplayDC();
// A memory context compatible with `hdc`, or with the screen for 0.
Handle CreateCompatibleDC(Handle hdc);
bool DeleteDC(Handle hdc);

// A DIB section of the header's size (positive height only) and depth (1, 4,
// 8 or 24) with the header's colour table; `bits` receives the address of
// its pixel memory. 0 when the header asks for something else or memory
// runs out.
Handle CreateDIBSection(Handle hdc, const BitmapInfo& info, std::uint8_t** bits);
// A 24-bit bitmap compatible with the screen.
Handle CreateCompatibleBitmap(Handle hdc, std::int32_t width, std::int32_t height);
// Selects a bitmap into a memory context; the bitmap it replaces, or 0 when
// either handle is not what it should be or the bitmap is in another context.
Handle SelectObject(Handle hdc, Handle bitmap);
// Deletes a bitmap that no context holds.
bool DeleteObject(Handle bitmap);

bool GetBitmapSize(Handle bitmap, std::int32_t& width, std::int32_t& height);
// The bitmap selected in a context (0 for the screen or a bad handle).
Handle CurrentBitmap(Handle hdc);

// Copies width × height pixels from (xSrc, ySrc) of the source context to
// (x, y) of the destination, coordinates from the top-left, clipped to both
// bitmaps. Overlapping areas of one bitmap are copied as if through a
// separate buffer. False for a bad handle or an unknown raster operation.
bool BitBlt(Handle hdcDest, std::int32_t x, std::int32_t y, std::int32_t width, std::int32_t height,
            Handle hdcSrc, std::int32_t xSrc, std::int32_t ySrc, std::uint32_t rop);

// Live objects, for tests that check nothing leaks.
std::size_t LiveObjectCount();

}  // namespace plumage::image::surfaces
