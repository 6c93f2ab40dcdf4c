#include "formats/icons/icon_image.h"

#include "base/byte_reader.h"
#include "formats/bitmap_header.h"

namespace plumage::formats {
namespace {

using formats::kBiRgb;
using formats::kCoreHeaderSize;
using formats::kInfoHeaderSize;
// Windows reads at most 256 colour-table entries whatever the header claims.
constexpr std::uint32_t kMaxColorTable = 256;

struct BmpHeader {
  std::uint32_t headerSize = 0;
  int width = 0;
  int height = 0;  // of the image, half the header's height
  int bitsPerPixel = 0;
  std::uint32_t compression = 0;
  std::uint32_t colorsUsed = 0;
};

std::string Sides(int w, int h) {
  return std::to_string(w) + " x " + std::to_string(h);
}

Result<BmpHeader> ReadBmpHeader(ByteReader& r) {
  PLUMAGE_TRY(info, formats::ReadBitmapHeader(r, "icon image"));
  if (info.headerSize == kCoreHeaderSize)
    return MakeError(ErrorKind::Unsupported, "icon image: OS/2 bitmap headers are not read");
  if (info.headerSize < kInfoHeaderSize)
    return MakeError(ErrorKind::Invalid, "icon image: header size " +
                                             std::to_string(info.headerSize) +
                                             " is no bitmap header");
  const auto width = static_cast<std::int32_t>(info.width);
  const auto height = static_cast<std::int32_t>(info.height);

  BmpHeader h;
  h.headerSize = info.headerSize;
  h.width = width;
  h.bitsPerPixel = info.bitCount;
  h.compression = info.compression;
  h.colorsUsed = info.colorsUsed;
  if (height < 0)
    return MakeError(ErrorKind::Unsupported, "icon image: top-down bitmaps are not icons");
  h.height = height / 2;  // the colour image and the mask, one above the other
  if (h.width <= 0 || h.height <= 0)
    return MakeError(ErrorKind::Invalid,
                     "icon image: size " + Sides(width, height) + " (with the mask) is empty");
  if (h.width > kMaxIconSide || h.height > kMaxIconSide)
    return MakeError(ErrorKind::Unsupported,
                     "icon image: " + Sides(h.width, h.height) + " is larger than 256 x 256");
  if (h.bitsPerPixel != 1 && h.bitsPerPixel != 4 && h.bitsPerPixel != 8 && h.bitsPerPixel != 24 &&
      h.bitsPerPixel != 32)
    return MakeError(ErrorKind::Unsupported, "icon image: " + std::to_string(h.bitsPerPixel) +
                                                 " bits per pixel is not an icon depth");
  if (h.compression != kBiRgb)
    return MakeError(ErrorKind::Unsupported,
                     "icon image: compression " + std::to_string(h.compression) + " is not read");
  return h;
}

std::uint32_t BigEndian32(std::span<const std::uint8_t> b) {
  return (std::uint32_t{b[0]} << 24) | (std::uint32_t{b[1]} << 16) | (std::uint32_t{b[2]} << 8) |
         std::uint32_t{b[3]};
}

}  // namespace

Result<IconImageInfo> PeekIconImage(std::span<const std::uint8_t> bytes) {
  if (LooksLikePng(bytes)) {
    // The first chunk of a PNG is IHDR: width, height, bit depth, colour type.
    ByteReader r(bytes, "icon image (PNG)");
    auto ihdr = r.Slice(8, 21);  // length, type and the 13 bytes of IHDR
    if (!ihdr) return ihdr.error();
    const auto chunk = *ihdr;
    if (BigEndian32(chunk.subspan(0, 4)) != 13 || chunk[4] != 'I' || chunk[5] != 'H' ||
        chunk[6] != 'D' || chunk[7] != 'R')
      return MakeError(ErrorKind::Invalid, "icon image (PNG): the first chunk is not IHDR");
    const std::uint32_t width = BigEndian32(chunk.subspan(8, 4));
    const std::uint32_t height = BigEndian32(chunk.subspan(12, 4));
    const int depth = chunk[16];
    int channels = 0;
    switch (chunk[17]) {
      case 0:
        channels = 1;
        break;  // grey
      case 2:
        channels = 3;
        break;  // RGB
      case 3:
        channels = 1;
        break;  // palette
      case 4:
        channels = 2;
        break;  // grey and alpha
      case 6:
        channels = 4;
        break;  // RGBA
      default:
        return MakeError(ErrorKind::Invalid, "icon image (PNG): colour type " +
                                                 std::to_string(chunk[17]) + " is unknown");
    }
    if (width == 0 || height == 0)
      return MakeError(ErrorKind::Invalid, "icon image (PNG): the image is empty");
    if (width > kMaxIconSide || height > kMaxIconSide)
      return MakeError(ErrorKind::Unsupported, "icon image (PNG): " + std::to_string(width) +
                                                   " x " + std::to_string(height) +
                                                   " is larger than 256 x 256");
    return IconImageInfo{static_cast<int>(width), static_cast<int>(height), depth * channels, true};
  }
  ByteReader r(bytes, "icon image");
  PLUMAGE_TRY(h, ReadBmpHeader(r));
  return IconImageInfo{h.width, h.height, h.bitsPerPixel, false};
}

Result<IconBitmap> DecodeIconImage(std::span<const std::uint8_t> bytes, IPngCodec& png) {
  if (LooksLikePng(bytes)) return DecodePngIconImage(bytes, png);
  return DecodeBmpIconImage(bytes);
}

Result<IconBitmap> DecodeBmpIconImage(std::span<const std::uint8_t> bytes) {
  ByteReader r(bytes, "icon image");
  PLUMAGE_TRY(header, ReadBmpHeader(r));
  const BmpHeader& h = header;
  PLUMAGE_CHECK(r.Seek(h.headerSize));

  std::uint32_t colors = h.colorsUsed;
  if (colors > kMaxColorTable) colors = kMaxColorTable;
  if (colors == 0 && h.bitsPerPixel <= 8) colors = 1u << h.bitsPerPixel;
  PLUMAGE_TRY(table, r.Bytes(std::uint64_t{colors} * 4));

  const std::size_t w = static_cast<std::size_t>(h.width);
  const std::size_t ht = static_cast<std::size_t>(h.height);
  const std::size_t bpp = static_cast<std::size_t>(h.bitsPerPixel);
  const std::size_t colorStride = (w * bpp + 31) / 32 * 4;
  const std::size_t maskStride = (w + 31) / 32 * 4;
  PLUMAGE_TRY(colorBits, r.Bytes(colorStride * ht));

  IconBitmap out;
  out.width = h.width;
  out.height = h.height;
  out.color.resize(w * ht);
  out.mask.assign(w * ht, 0);

  // Bitmap rows run bottom-up; the icon's rows run top-down.
  for (std::size_t row = 0; row < ht; ++row) {
    const std::uint8_t* src = colorBits.data() + row * colorStride;
    Rgba* dst = out.color.data() + (ht - 1 - row) * w;
    for (std::size_t x = 0; x < w; ++x) {
      Rgba c{0, 0, 0, 255};
      if (bpp <= 8) {
        const std::size_t bit = x * bpp;
        const unsigned shift = static_cast<unsigned>(8 - bpp - bit % 8);
        const std::uint32_t index = (src[bit / 8] >> shift) & ((1u << bpp) - 1);
        // An index past the table draws black, as Windows draws it.
        if (index < colors) {
          const std::uint8_t* e = table.data() + index * 4;
          c = Rgba{e[2], e[1], e[0], 255};
        }
      } else {
        const std::uint8_t* p = src + x * (bpp / 8);
        c = Rgba{p[2], p[1], p[0], bpp == 32 ? p[3] : std::uint8_t{255}};
        if (bpp == 32 && p[3] != 0) out.hasAlpha = true;
      }
      dst[x] = c;
    }
  }
  // A 32-bit image whose alpha bytes are all 0 predates alpha: its colours
  // are drawn through the mask like any other depth.
  if (bpp == 32 && !out.hasAlpha)
    for (Rgba& c : out.color) c.a = 255;

  if (r.remaining() >= maskStride * ht) {
    auto maskBits = *r.Bytes(maskStride * ht);
    for (std::size_t row = 0; row < ht; ++row) {
      const std::uint8_t* src = maskBits.data() + row * maskStride;
      std::uint8_t* dst = out.mask.data() + (ht - 1 - row) * w;
      for (std::size_t x = 0; x < w; ++x) dst[x] = (src[x / 8] >> (7 - x % 8)) & 1;
    }
  } else if (out.hasAlpha) {
    // Some writers end a 32-bit image after its colours: the alpha says all
    // that the mask would, so the mask is made from it.
    for (std::size_t i = 0; i < out.color.size(); ++i) out.mask[i] = out.color[i].a == 0 ? 1 : 0;
  } else {
    auto missing = r.Bytes(maskStride * ht);
    return MakeError(ErrorKind::Truncated,
                     "icon image: the AND mask is cut off (" + missing.error().message + ")");
  }
  return out;
}

Result<IconBitmap> DecodePngIconImage(std::span<const std::uint8_t> bytes, IPngCodec& png) {
  // The header is checked first, so that no PNG larger than an icon reaches
  // the decoder.
  PLUMAGE_TRY(info, PeekIconImage(bytes));
  if (!info.png) return MakeError(ErrorKind::Invalid, "icon image (PNG): no PNG signature");
  auto image = png.Decode(bytes);
  if (!image) return MakeError(image.error().kind, "icon image (" + image.error().message + ")");
  if (image->width != info.width || image->height != info.height ||
      image->rgba.size() != static_cast<std::size_t>(image->width) * image->height * 4)
    return MakeError(ErrorKind::Invalid, "icon image (PNG): decoded size differs from its header");
  IconBitmap out;
  out.width = image->width;
  out.height = image->height;
  out.hasAlpha = true;
  const std::size_t n = static_cast<std::size_t>(out.width) * out.height;
  out.color.resize(n);
  out.mask.resize(n);
  for (std::size_t i = 0; i < n; ++i) {
    const std::uint8_t* p = image->rgba.data() + i * 4;
    out.color[i] = Rgba{p[0], p[1], p[2], p[3]};
    out.mask[i] = p[3] == 0 ? 1 : 0;
  }
  return out;
}

}  // namespace plumage::formats
