#include "ui/win32/picture_file.h"

#include "base/byte_reader.h"

namespace plumage::win32 {

namespace {
// Our pictures are small; anything larger is not one of them.
constexpr std::uint32_t kLargestSide = 1024;
}  // namespace

plumage::Surface24 CompositeBitmapFile(std::span<const std::uint8_t> file,
                                        plumage::Rgb background) {
  ByteReader reader(file);
  auto magic = reader.U16();
  (void)reader.Skip(8);
  auto offset = reader.U32();
  auto headerSize = reader.U32();
  auto width = reader.I32();
  auto height = reader.I32();
  auto planes = reader.U16();
  auto bits = reader.U16();
  auto compression = reader.U32();
  if (!magic || *magic != 0x4D42 || !offset || !headerSize || *headerSize < 40 || !width ||
      !height || !planes || !bits || *bits != 32 || !compression || *compression != 0)
    return {};
  if (*width <= 0 || *height <= 0 || static_cast<std::uint32_t>(*width) > kLargestSide ||
      static_cast<std::uint32_t>(*height) > kLargestSide)
    return {};
  const std::uint64_t need =
      std::uint64_t{*offset} + std::uint64_t(*width) * std::uint64_t(*height) * 4;
  if (need > file.size()) return {};
  plumage::Surface24 out(*width, *height);
  const std::uint8_t* p = file.data() + *offset;
  for (int row = 0; row < *height; ++row)  // bottom-up, as the file stores it
    for (int x = 0; x < *width; ++x, p += 4) {
      const unsigned a = p[3];
      auto mix = [a](unsigned c, unsigned bg) {
        return static_cast<std::uint8_t>((c * a + bg * (255 - a) + 127) / 255);
      };
      out.Set(
          x, *height - 1 - row,
          plumage::Rgb{mix(p[2], background.r), mix(p[1], background.g), mix(p[0], background.b)});
    }
  return out;
}

}  // namespace plumage::win32
