#include "ui/win32/picture_file.h"

#include "base/byte_reader.h"
#include "formats/bitmap_header.h"

namespace plumage::win32 {

namespace {
// Our pictures are small; anything larger is not one of them.
constexpr std::uint32_t kLargestSide = 1024;
}  // namespace

plumage::Surface24 CompositeBitmapFile(std::span<const std::uint8_t> file,
                                        plumage::Rgb background) {
  ByteReader reader(file, "picture");
  const auto fileHeader = formats::ReadFileHeader(reader, "picture");
  const auto header = formats::ReadBitmapHeader(reader, "picture");
  if (!fileHeader || !header || header->headerSize < formats::kInfoHeaderSize ||
      header->bitCount != 32 || header->compression != formats::kBiRgb)
    return {};
  if (header->width <= 0 || header->height <= 0 || header->width > kLargestSide ||
      header->height > kLargestSide)
    return {};
  const int width = static_cast<int>(header->width);
  const int height = static_cast<int>(header->height);
  const std::uint32_t offset = fileHeader->offBits;
  const std::uint64_t need =
      std::uint64_t{offset} + std::uint64_t(width) * std::uint64_t(height) * 4;
  if (need > file.size()) return {};
  plumage::Surface24 out(width, height);
  const std::uint8_t* p = file.data() + offset;
  for (int row = 0; row < height; ++row)  // bottom-up, as the file stores it
    for (int x = 0; x < width; ++x, p += 4) {
      const unsigned a = p[3];
      auto mix = [a](unsigned c, unsigned bg) {
        return static_cast<std::uint8_t>((c * a + bg * (255 - a) + 127) / 255);
      };
      out.Set(
          x, height - 1 - row,
          plumage::Rgb{mix(p[2], background.r), mix(p[1], background.g), mix(p[0], background.b)});
    }
  return out;
}

}  // namespace plumage::win32
