#include "formats/bmp_reader.h"

#include <algorithm>
#include <bit>
#include <cstring>
#include <string>
#include <vector>

#include "formats/bitmap_header.h"
#include "formats/bitmap_info.h"
#include "base/byte_reader.h"

namespace plumage::formats {
namespace {

using formats::kBiAlphaBitfields;
using formats::kBiBitfields;
using formats::kBiRgb;

Error Invalid(const std::string& what) {
  return MakeError(ErrorKind::Invalid, "BMP: " + what);
}
Error Unsupported(const std::string& what) {
  return MakeError(ErrorKind::Unsupported, "BMP: " + what);
}

// One colour channel under a mask, widened to 8 bits by repeating its bits
// (5 bits abcde become abcdeabc), as 16-bit bitmaps are commonly shown;
// channels wider than 8 bits keep their top 8.
struct Channel {
  std::uint32_t mask = 0;
  unsigned shift = 0;
  unsigned bits = 0;

  explicit Channel(std::uint32_t m) : mask(m) {
    if (mask != 0) {
      shift = static_cast<unsigned>(std::countr_zero(mask));
      bits = static_cast<unsigned>(std::bit_width(mask >> shift));
    }
  }
  std::uint8_t operator()(std::uint32_t pixel) const {
    if (bits == 0) return 0;
    std::uint32_t v = (pixel & mask) >> shift;
    if (bits >= 8) return static_cast<std::uint8_t>(v >> (bits - 8));
    std::uint32_t out = 0;
    for (int filled = 0; filled < 8; filled += static_cast<int>(bits))
      out |= (v << 8) >> (static_cast<unsigned>(filled) + bits);
    return static_cast<std::uint8_t>(out);
  }
};

}  // namespace

Result<plumage::Surface24> ReadBmp(std::span<const std::uint8_t> bytes) {
  ByteReader in(bytes, "BMP");
  PLUMAGE_TRY(file, formats::ReadFileHeader(in, "BMP"));
  const std::uint32_t offBits = file.offBits;
  PLUMAGE_TRY(h, formats::ReadBitmapHeader(in, "BMP"));
  const std::uint32_t headerSize = h.headerSize;
  const bool core = headerSize == formats::kCoreHeaderSize;
  if (headerSize > 4096) return Invalid("header size " + std::to_string(headerSize));
  const bool os2v2 = headerSize == 16 || headerSize == 64;
  // OS/2 gives compression 3 another meaning (Huffman); only none is read.
  if (os2v2 && h.compression != kBiRgb)
    return Unsupported("OS/2 compression " + std::to_string(h.compression));

  std::uint64_t tableAt = 14 + std::uint64_t{headerSize};
  std::uint32_t masks[3] = {0, 0, 0};
  bool hasMasks = false;
  if (h.compression == kBiBitfields || h.compression == kBiAlphaBitfields) {
    if (h.bitCount != 16 && h.bitCount != 32)
      return Invalid("colour masks with " + std::to_string(h.bitCount) + " bits per pixel");
    // Version 2 and later headers hold the masks; a 40-byte header is
    // followed by them.
    std::uint64_t masksAt = 14 + 40;
    if (headerSize == 40)
      tableAt += h.compression == kBiAlphaBitfields ? 16 : 12;
    else if (headerSize < 52)
      return Invalid("colour masks with a header of " + std::to_string(headerSize) + " bytes");
    PLUMAGE_TRY(maskBytes, in.Slice(masksAt, 12));
    ByteReader maskReader(maskBytes, "BMP");
    for (std::uint32_t& mask : masks) mask = *maskReader.U32();  // 12 bytes are there
    hasMasks = true;
  } else if (h.compression != kBiRgb) {
    return Unsupported("compression " + std::to_string(h.compression) +
                       " (only uncompressed bitmaps and colour masks are read)");
  }

  switch (h.bitCount) {
    case 1:
    case 4:
    case 8:
    case 16:
    case 24:
    case 32:
      break;
    default:
      return Unsupported(std::to_string(h.bitCount) + " bits per pixel");
  }
  const bool topDown = h.height < 0;
  const std::int64_t width = h.width, height = topDown ? -h.height : h.height;
  if (width < 1 || height < 1 || width > formats::kMaxSide || height > formats::kMaxSide)
    return Invalid("size " + std::to_string(h.width) + " x " + std::to_string(h.height));
  const std::uint64_t outBytes =
      static_cast<std::uint64_t>(plumage::Surface24::StrideFor(static_cast<int>(width))) *
      static_cast<std::uint64_t>(height);
  if (outBytes > formats::kMaxPixelBytes)
    return Invalid("size " + std::to_string(width) + " x " + std::to_string(height) +
                   " is too large");

  // The colour table.
  std::vector<std::uint8_t> table;  // blue, green, red per entry
  if (h.bitCount <= 8) {
    const std::uint32_t full = 1u << h.bitCount;
    const std::uint32_t entries = h.colorsUsed == 0 || h.colorsUsed > full ? full : h.colorsUsed;
    const std::uint32_t entrySize = core ? 3 : 4;
    // The table ends where the pixels begin (or, without an offset, at the
    // end of the file); a table cut short gives the entries that are there.
    std::uint64_t tableEnd = offBits != 0 ? std::uint64_t{offBits} : bytes.size();
    tableEnd = std::min<std::uint64_t>(tableEnd, bytes.size());
    std::uint64_t fit = tableEnd > tableAt ? (tableEnd - tableAt) / entrySize : 0;
    std::uint32_t present = static_cast<std::uint32_t>(std::min<std::uint64_t>(entries, fit));
    if (present == 0) return MakeError(ErrorKind::Truncated, "BMP: the colour table is missing");
    auto raw = in.Slice(tableAt, std::uint64_t{present} * entrySize);
    if (!raw) return raw.error();
    table.resize(3 * std::size_t{present});
    for (std::uint32_t i = 0; i < present; ++i)
      std::memcpy(&table[3 * std::size_t{i}], raw->data() + std::size_t{i} * entrySize, 3);
  }

  // The pixels.
  const std::uint64_t stride =
      static_cast<std::uint64_t>(formats::StrideFor(width, static_cast<int>(h.bitCount)));
  const std::uint64_t dataAt = offBits != 0 ? offBits : tableAt + table.size() / 3 * (core ? 3 : 4);
  // The last row need not be padded out in the file.
  const std::uint64_t lastRow = (static_cast<std::uint64_t>(width) * h.bitCount + 7) / 8;
  auto data = in.Slice(dataAt, stride * static_cast<std::uint64_t>(height - 1) + lastRow);
  if (!data)
    return MakeError(ErrorKind::Truncated,
                     "BMP: the pixel data is cut short (" + data.error().message + ")");

  plumage::Surface24 out(static_cast<int>(width), static_cast<int>(height));
  const std::size_t outStride = static_cast<std::size_t>(out.stride());
  const std::uint32_t entries = static_cast<std::uint32_t>(table.size() / 3);
  Channel red(0), green(0), blue(0);
  if (h.bitCount == 16 || h.bitCount == 32) {
    if (hasMasks) {
      red = Channel(masks[0]);
      green = Channel(masks[1]);
      blue = Channel(masks[2]);
    } else if (h.bitCount == 16) {
      red = Channel(0x7C00);
      green = Channel(0x03E0);
      blue = Channel(0x001F);
    } else {
      red = Channel(0x00FF0000);
      green = Channel(0x0000FF00);
      blue = Channel(0x000000FF);
    }
  }
  for (std::int64_t r = 0; r < height; ++r) {
    const std::uint8_t* src = data->data() + static_cast<std::size_t>(r) * stride;
    // Memory rows of the surface run bottom-up, as the file's do unless it
    // is top-down.
    const std::int64_t memoryRow = topDown ? height - 1 - r : r;
    std::uint8_t* dst = out.bits() + static_cast<std::size_t>(memoryRow) * outStride;
    switch (h.bitCount) {
      case 24:
        std::memcpy(dst, src, static_cast<std::size_t>(width) * 3);
        break;
      case 1:
      case 4:
      case 8: {
        const unsigned bpp = h.bitCount, perByte = 8 / bpp, mask = (1u << bpp) - 1;
        for (std::int64_t c = 0; c < width; ++c) {
          unsigned shift = 8 - bpp * (static_cast<unsigned>(c % perByte) + 1);
          unsigned index = (src[c / perByte] >> shift) & mask;
          std::uint8_t* p = dst + 3 * c;
          if (index < entries) {
            std::memcpy(p, &table[3 * std::size_t{index}], 3);
          } else {
            p[0] = p[1] = p[2] = 0;
          }
        }
        break;
      }
      case 16:
        for (std::int64_t c = 0; c < width; ++c) {
          std::uint32_t px = static_cast<std::uint32_t>(src[2 * c]) |
                             (static_cast<std::uint32_t>(src[2 * c + 1]) << 8);
          std::uint8_t* p = dst + 3 * c;
          p[0] = blue(px);
          p[1] = green(px);
          p[2] = red(px);
        }
        break;
      default:  // 32
        for (std::int64_t c = 0; c < width; ++c) {
          const std::uint8_t* s = src + 4 * c;
          std::uint32_t px =
              static_cast<std::uint32_t>(s[0]) | (static_cast<std::uint32_t>(s[1]) << 8) |
              (static_cast<std::uint32_t>(s[2]) << 16) | (static_cast<std::uint32_t>(s[3]) << 24);
          std::uint8_t* p = dst + 3 * c;
          p[0] = blue(px);
          p[1] = green(px);
          p[2] = red(px);
        }
        break;
    }
  }
  return out;
}


}  // namespace plumage::formats
