// Writers of icon images, .ico files, PE libraries and NE icon libraries
// from the file formats, for the tests, fuzz seeds and benchmarks. They write
// sound files; a test damages them at the places their layouts fix.
#pragma once

#include <cstdint>
#include <initializer_list>
#include <optional>
#include <string>
#include <vector>

#include "platform/icon_source.h"
#include "platform/posix/png_codec_libpng.h"

namespace plumage::test {

using Bytes = std::vector<std::uint8_t>;

// Little-endian values, appended or written at a place.
inline void Put16(Bytes& b, std::initializer_list<std::uint32_t> values) {
  for (std::uint32_t v : values) b.insert(b.end(), {std::uint8_t(v), std::uint8_t(v >> 8)});
}
inline void Put32(Bytes& b, std::initializer_list<std::uint32_t> values) {
  for (std::uint32_t v : values) Put16(b, {v & 0xFFFF, v >> 16});
}
inline void PutAt(Bytes& b, std::size_t at, std::uint32_t v, std::size_t bytes = 4) {
  for (std::size_t i = 0; i < bytes; ++i) b.at(at + i) = std::uint8_t(v >> 8 * i);
}
inline std::uint32_t GetAt32(const Bytes& b, std::size_t at) {
  return b.at(at) | b.at(at + 1) << 8 | b.at(at + 2) << 16 | std::uint32_t{b.at(at + 3)} << 24;
}
inline void PadTo(Bytes& b, std::size_t unit) {
  b.resize((b.size() + unit - 1) / unit * unit, 0);
}
// Appends `more` at the next multiple of `unit`.
inline void Append(Bytes& b, const Bytes& more, std::size_t unit = 1) {
  PadTo(b, unit);
  b.insert(b.end(), more.begin(), more.end());
}

// A device-independent icon image: a 40-byte header whose colour count is
// the palette's size, the palette, the colour bits and the AND mask.
struct DibDef {
  int width = 0, height = 0, bpp = 8;
  std::vector<formats::Rgba> palette;  // bpp <= 8
  std::vector<std::uint32_t> pixels;    // top row first: palette index, or 0xAARRGGBB
  std::vector<std::uint8_t> mask;       // top row first: 1 = AND bit set; empty: all 0
};

inline Bytes EncodeDib(const DibDef& s) {
  const std::size_t w = std::size_t(s.width), h = std::size_t(s.height), bpp = std::size_t(s.bpp);
  const std::size_t colourStride = (w * bpp + 31) / 32 * 4, maskStride = (w + 31) / 32 * 4;
  Bytes out;
  Put32(out,
        {40, std::uint32_t(w), std::uint32_t(2 * h), 1 | std::uint32_t(bpp) << 16, 0,
         std::uint32_t((colourStride + maskStride) * h), 0, 0, std::uint32_t(s.palette.size()), 0});
  for (const formats::Rgba& c : s.palette) out.insert(out.end(), {c.b, c.g, c.r, 0});
  for (std::size_t row = h; row-- > 0;) {  // bottom-up
    Bytes line(colourStride, 0);
    for (std::size_t x = 0, bit = 0; x < w; ++x, bit += bpp) {
      const std::uint32_t p = s.pixels.at(row * w + x);
      if (bpp <= 8) line[bit / 8] |= std::uint8_t(p << (8 - bpp - bit % 8));
      for (std::size_t k = 0; bpp > 8 && k < bpp / 8; ++k)
        line[bit / 8 + k] = std::uint8_t(p >> 8 * k);
    }
    Append(out, line);
  }
  for (std::size_t row = h; row-- > 0;) {
    Bytes line(maskStride, 0);
    for (std::size_t x = 0; x < w && !s.mask.empty(); ++x)
      if (s.mask.at(row * w + x)) line[x / 8] |= std::uint8_t(0x80 >> x % 8);
    Append(out, line);
  }
  return out;
}

// A PNG icon image from straight RGBA pixels, top row first.
inline Bytes EncodePng(int width, int height, const std::vector<formats::Rgba>& pixels) {
  formats::RgbaImage image{width, height, {}};
  for (const formats::Rgba& c : pixels) image.rgba.insert(image.rgba.end(), {c.r, c.g, c.b, c.a});
  auto png = platform::LibPngCodec().Encode(image);
  return png ? *png : Bytes{};
}

// An icon directory: per image its sides (256 as 0), colours, planes and
// depth from its own header, its size, then its offset in the .ico file that
// follows, or (a group icon resource) its icon resource number from firstId.
inline Bytes Directory(const std::vector<Bytes>& images,
                       std::optional<std::uint32_t> firstId = {}) {
  Bytes out;
  Put16(out, {0, 1, std::uint32_t(images.size())});
  std::uint32_t offset = std::uint32_t(6 + 16 * images.size());
  for (const Bytes& image : images) {
    const bool png = image[0] == 0x89;  // sides from IHDR, big-endian
    const std::uint32_t w = png ? image[18] << 8 | image[19] : GetAt32(image, 4),
                        h = png ? image[22] << 8 | image[23] : GetAt32(image, 8) / 2,
                        bpp = png ? 32 : image[14];
    out.insert(out.end(),
               {std::uint8_t(w), std::uint8_t(h), std::uint8_t(bpp < 8 ? 1 << bpp : 0), 0});
    Put16(out, {1, bpp});
    Put32(out, {std::uint32_t(image.size())});
    firstId ? Put16(out, {(*firstId)++}) : Put32(out, {offset});
    offset += std::uint32_t(image.size());
  }
  for (const Bytes& image : images)
    if (!firstId) Append(out, image);
  return out;
}
inline Bytes WriteIco(const std::vector<Bytes>& images) {
  return Directory(images);
}

// A group icon resource (PE and NE): named, or numbered by `id`.
struct GroupDef {
  std::string name;
  std::uint16_t id = 0;
  std::vector<Bytes> images;
};

// A PE library holding only a resource section, at file offset kPeResources
// and address kPeResourceRva. Its tree: the root (icons, then groups) at 0,
// the icon type at 32, the group type after it (the named groups first, then
// the numbered ones, each in the order given), a language directory per
// resource (icons, then groups), the data entries, the names, the data.
// Icon resources are numbered from 1 in the order of the groups.
inline constexpr std::uint32_t kPeHeader = 0x40, kPeResources = 0x200, kPeResourceRva = 0x1000;

inline Bytes WritePe(const std::vector<GroupDef>& groups, bool pe64 = false) {
  std::vector<const GroupDef*> order;
  for (bool named : {true, false})
    for (const GroupDef& g : groups)
      if (g.name.empty() != named) order.push_back(&g);
  std::vector<Bytes> blobs, directories;
  for (const GroupDef* g : order) {
    directories.push_back(Directory(g->images, std::uint32_t(blobs.size() + 1)));
    blobs.insert(blobs.end(), g->images.begin(), g->images.end());
  }
  const std::uint32_t icons = std::uint32_t(blobs.size()),
                      n = std::uint32_t(blobs.size() + order.size());
  blobs.insert(blobs.end(), directories.begin(), directories.end());
  const std::uint32_t groupType = 48 + 8 * icons, languages = groupType + 16 + 8 * (n - icons);
  const std::uint32_t entries = languages + 24 * n, names = entries + 16 * n, kSub = 0x80000000u;
  std::uint32_t named = 0;
  for (const GroupDef* g : order) named += !g->name.empty();
  Bytes rsrc, nameBytes;
  Put32(rsrc, {0, 0, 4, 2 << 16, 3, kSub | 32, 14, kSub | groupType, 0, 0, 4, icons << 16});
  for (std::uint32_t i = 0; i < icons; ++i) Put32(rsrc, {i + 1, kSub | (languages + 24 * i)});
  Put32(rsrc, {0, 0, 4, named | (n - icons - named) << 16});
  for (std::uint32_t i = icons; i < n; ++i) {
    const GroupDef& g = *order[i - icons];
    Put32(rsrc, {g.name.empty() ? g.id : kSub | std::uint32_t(names + nameBytes.size()),
                 kSub | (languages + 24 * i)});
    if (!g.name.empty()) Put16(nameBytes, {std::uint32_t(g.name.size())});
    for (char c : g.name) Put16(nameBytes, {static_cast<unsigned char>(c)});
  }
  for (std::uint32_t i = 0; i < n; ++i) Put32(rsrc, {0, 0, 4, 1 << 16, 0x409, entries + 16 * i});
  std::uint32_t at = names + std::uint32_t(nameBytes.size());
  for (const Bytes& b : blobs) {
    at = (at + 3) & ~3u;
    Put32(rsrc, {kPeResourceRva + at, std::uint32_t(b.size()), 0, 0});
    at += std::uint32_t(b.size());
  }
  Append(rsrc, nameBytes);
  for (const Bytes& b : blobs) Append(rsrc, b, 4);
  const std::uint32_t size = std::uint32_t(rsrc.size());
  PadTo(rsrc, 0x200);

  // The headers: only what a reader of resources looks at.
  Bytes out(kPeHeader + 4, 0);
  PutAt(out, 0, 0x5A4D, 2);  // MZ
  PutAt(out, 0x3C, kPeHeader);
  PutAt(out, kPeHeader, 0x4550);  // PE
  const std::uint32_t optionalSize = pe64 ? 240 : 224, dataDirectories = pe64 ? 108 : 92;
  Put16(out, {pe64 ? 0x8664u : 0x14Cu, 1, 0, 0, 0, 0, 0, 0, optionalSize, 0x2102});
  const std::size_t optional = out.size();
  out.resize(optional + optionalSize, 0);
  PutAt(out, optional, pe64 ? 0x20B : 0x10B, 2);
  PutAt(out, optional + dataDirectories, 16);
  PutAt(out, optional + dataDirectories + 20, kPeResourceRva);
  PutAt(out, optional + dataDirectories + 24, size);
  out.insert(out.end(), {'.', 'r', 's', 'r', 'c', 0, 0, 0});
  Put32(out, {size, kPeResourceRva, std::uint32_t(rsrc.size()), kPeResources, 0, 0, 0, 0x40000040});
  out.resize(kPeResources, 0);
  Append(out, rsrc);
  return out;
}

// A 16-bit icon library (.icl): an MZ stub, the NE header at kNeHeader, the
// resource table at kNeResourceTable (the shift, the group type with an entry
// of 12 bytes per group in the order given, the icon type, the names), and
// the resources at multiples of 2^shift, the groups first.
inline constexpr std::size_t kNeHeader = 0x40, kNeResourceTable = 0x80;

inline Bytes WriteNe(const std::vector<GroupDef>& groups, unsigned shift = 4) {
  std::vector<Bytes> icons, directories;
  for (const GroupDef& g : groups) {
    directories.push_back(Directory(g.images, std::uint32_t(icons.size() + 1)));
    icons.insert(icons.end(), g.images.begin(), g.images.end());
  }
  const std::size_t types = 2 + 8 + 12 * groups.size() + 8 + 12 * icons.size() + 2;
  Bytes table, names;
  std::vector<std::uint32_t> ids;
  for (const GroupDef& g : groups) {
    ids.push_back(g.name.empty() ? 0x8000u | g.id : std::uint32_t(types + names.size()));
    if (!g.name.empty()) names.push_back(std::uint8_t(g.name.size()));
    names.insert(names.end(), g.name.begin(), g.name.end());
  }
  names.push_back(0);
  const std::size_t unit = std::size_t{1} << shift;
  Bytes data(kNeResourceTable + types + names.size(), 0);  // where the resources begin
  Put16(table, {shift});
  auto type = [&](std::uint32_t id, const std::vector<Bytes>& blobs, auto idOf) {
    Put16(table, {id, std::uint32_t(blobs.size()), 0, 0});
    for (std::size_t i = 0; i < blobs.size(); ++i) {
      PadTo(data, unit);  // offset and length in units, flags (moveable, pure, discardable), id
      Put16(table, {std::uint32_t(data.size() >> shift),
                    std::uint32_t((blobs[i].size() + unit - 1) >> shift), 0x1C30, idOf(i), 0, 0});
      Append(data, blobs[i]);
    }
  };
  type(0x800E, directories, [&](std::size_t i) { return ids[i]; });
  type(0x8003, icons, [](std::size_t i) { return std::uint32_t(0x8000 | (i + 1)); });
  Put16(table, {0});
  Append(table, names);
  PadTo(data, unit);
  Bytes out(kNeHeader + 0x40, 0);
  PutAt(out, 0, 0x5A4D, 2);  // MZ
  PutAt(out, 0x3C, kNeHeader);
  // The signature; the resource table and the resident names, which end it,
  // as offsets from the header; for Windows.
  for (auto [at, value] : {std::pair<std::size_t, std::uint32_t>{0x00, 0x454E},
                           {0x24, 0x40},
                           {0x26, std::uint32_t(0x40 + table.size())},
                           {0x36, 2}})
    PutAt(out, kNeHeader + at, value, 2);
  Append(out, table);
  out.insert(out.end(), data.begin() + std::ptrdiff_t(out.size()), data.end());
  return out;
}

}  // namespace plumage::test
