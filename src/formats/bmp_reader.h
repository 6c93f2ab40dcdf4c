// Reads a BMP file of any common kind into a 24-bit surface: 1, 4, 8, 16,
// 24 and 32 bits per pixel; uncompressed (BI_RGB) or with colour masks
// (BI_BITFIELDS, BI_ALPHABITFIELDS); bottom-up or top-down; with the OS/2
// 12-byte header or a Windows header of 40 bytes and its later versions.
// Alpha is not used: the colour channels are taken as they stand, as the
// platform draws such bitmaps.
//
// Any bytes are safe: nothing is read outside them whatever the headers
// say, every colour-table index is checked (an index past the table is
// black), and sizes are checked before memory is taken.
#pragma once

#include <cstdint>
#include <span>

#include "base/result.h"
#include "base/surface.h"

namespace plumage::formats {

Result<plumage::Surface24> ReadBmp(std::span<const std::uint8_t> bytes);

}  // namespace plumage::formats
