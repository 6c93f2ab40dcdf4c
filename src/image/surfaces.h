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

#include "formats/bitmap_info.h"

namespace plumage::image::surfaces {

using Handle = std::int32_t;

inline constexpr std::uint32_t kSrcCopy = 0x00CC0020;
inline constexpr std::uint32_t kSrcPaint = 0x00EE0086;
inline constexpr std::uint32_t kSrcAnd = 0x008800C6;
inline constexpr std::uint32_t kSrcInvert = 0x00660046;
inline constexpr std::uint32_t kNotSrcCopy = 0x00330008;
inline constexpr std::uint32_t kBlackness = 0x00000042;
inline constexpr std::uint32_t kWhiteness = 0x00FF0062;

// The bitmap header, its colour table, the row stride and the size limits
// are the BMP format's own.
using formats::BitmapInfo;
using formats::kMaxPixelBytes;
using formats::kMaxSide;
using formats::RgbQuad;
using formats::StrideFor;

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
