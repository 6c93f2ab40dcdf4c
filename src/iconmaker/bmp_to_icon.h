// BmpToIcon: a 32 × 32 folder picture made into a one-image, 256-colour
// icon file. No general icon encoder: the header and the transparency mask
// are fixed, because every picture converted is one of the folder
// backgrounds with a small icon on its face, so only the colours change.
#pragma once

#include <array>
#include <cstdint>
#include <span>
#include <string>
#include <vector>

#include "base/result.h"

namespace plumage::platform {
class IFileSystem;
}

namespace plumage {

struct Program;

// The icon file: directory (6 bytes), its one entry (16), the bitmap header
// (40), the palette (1024), the colour bitmap (1024) and the mask (128).
inline constexpr std::size_t kIconFileSize = 2238;
inline constexpr std::size_t kIconHeaderSize = 62;
inline constexpr std::size_t kIconPaletteOffset = 62;
inline constexpr std::size_t kIconPixelsOffset = 1086;
inline constexpr std::size_t kIconMaskOffset = 2110;

// The 8-bit bitmap the image engine writes for a 32 × 32 picture: 14-byte
// file header, 40-byte bitmap header, 256 palette entries, 32 rows of 32.
inline constexpr std::size_t kBitmap8PaletteOffset = 54;
inline constexpr std::size_t kBitmap8PixelsOffset = 1078;
inline constexpr std::size_t kBitmap8Size = 2102;

// The first 62 bytes of every icon made, as hexadecimal pairs each followed
// by a blank: byte i is the pair at characters 3i and 3i + 1.
const std::string& IconHeaderTemplate();
std::array<std::uint8_t, kIconHeaderSize> IconHeaderBytes();

// One mask byte: flag 0 in the most significant bit, flag 7 in the least.
std::uint8_t PackMaskByte(int flag0, int flag1, int flag2, int flag3, int flag4, int flag5,
                          int flag6, int flag7);

// The icon's bytes from the 8-bit bitmap's: template header, the bitmap's
// palette and rows unchanged, a zeroed mask. Refuses anything but an
// uncompressed, 8-bit, 32 × 32 bottom-up bitmap with its pixels at 1078.
Result<std::vector<std::uint8_t>> IconBytesFromBitmap8(std::span<const std::uint8_t> bitmap);

// Cuts the folder silhouette out of an icon's bytes: the mask bits from
// FolderMaskTemplate, and palette index 0 for every transparent pixel.
void ApplyFolderMask(std::vector<std::uint8_t>& icon);

// Writes `icon` from the 8-bit bitmap file `bitmap`: header, palette and
// colour bitmap, and a zeroed mask. The file is complete or untouched.
Status WriteIconHeader(platform::IFileSystem& files, const std::string& bitmap,
                       const std::string& icon);

// The program folder's temporary files and the folder of new icons.
std::string TempBitmapFile(Program& program);
std::string TempIconFile(Program& program);
std::string IconsFolderPath(Program& program);  // with its separator

// Reads the picture file `bitmap` (a 32 × 32 BMP), saves it at 8 bits per
// pixel on the half-tone palette to TempBitmapFile, makes TempIconFile of
// it with the folder mask, and copies that to `icon`, which is replaced
// whole or left as it was. Says what failed and where.
Status ConvertBmpToIcon(Program& program, const std::string& bitmap, const std::string& icon);

}  // namespace plumage
