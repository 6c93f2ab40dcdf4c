#include "formats/icons/ico_writer.h"

#include <cstdint>
#include <vector>

#include "formats/icons/icon_image.h"

namespace plumage::formats {
namespace {

void Put16(std::string& out, std::uint32_t v) {
  out.push_back(static_cast<char>(v & 0xFF));
  out.push_back(static_cast<char>((v >> 8) & 0xFF));
}

void Put32(std::string& out, std::uint32_t v) {
  Put16(out, v & 0xFFFF);
  Put16(out, v >> 16);
}

// A directory writes 256 (and anything larger) as 0.
std::uint8_t SideByte(int side) { return side >= 256 ? 0 : static_cast<std::uint8_t>(side); }

}  // namespace

const IconGroup* GroupAtIndex(const IconFile& file, int index) {
  if (index >= 0) {
    if (static_cast<std::size_t>(index) < file.groups.size())
      return &file.groups[static_cast<std::size_t>(index)];
    return nullptr;
  }
  if (index == -1 || file.kind == IconFileKind::Ico) return nullptr;
  const long long id = -static_cast<long long>(index);
  for (const IconGroup& group : file.groups)
    if (group.id == id) return &group;
  return nullptr;
}

Result<std::string> WriteIcoFile(const IconGroup& group) {
  struct Kept {
    IconImageInfo info;
    std::span<const std::uint8_t> bytes;
  };
  std::vector<Kept> images;
  std::string why;
  for (const IconImageRef& image : group.images) {
    auto info = PeekIconImage(image.bytes);
    if (!info) {
      if (why.empty()) why = info.error().message;
      continue;
    }
    images.push_back({*info, image.bytes});
  }
  if (images.empty())
    return MakeError(ErrorKind::Invalid,
                     "the icon has no image that can be read" + (why.empty() ? "" : ": " + why));

  constexpr std::uint32_t kHeader = 6, kEntry = 16;
  std::string out;
  Put16(out, 0);  // reserved
  Put16(out, 1);  // an icon
  Put16(out, static_cast<std::uint32_t>(images.size()));
  std::uint32_t offset = kHeader + kEntry * static_cast<std::uint32_t>(images.size());
  for (const Kept& image : images) {
    const int bpp = image.info.bitsPerPixel;
    out.push_back(static_cast<char>(SideByte(image.info.width)));
    out.push_back(static_cast<char>(SideByte(image.info.height)));
    // Colours in the palette: only images of fewer than 8 bits give one.
    out.push_back(static_cast<char>(!image.info.png && bpp > 0 && bpp < 8 ? 1 << bpp : 0));
    out.push_back(0);
    Put16(out, 1);  // planes
    Put16(out, static_cast<std::uint32_t>(bpp));
    Put32(out, static_cast<std::uint32_t>(image.bytes.size()));
    Put32(out, offset);
    offset += static_cast<std::uint32_t>(image.bytes.size());
  }
  for (const Kept& image : images)
    out.append(reinterpret_cast<const char*>(image.bytes.data()), image.bytes.size());
  return out;
}

}  // namespace plumage::formats
