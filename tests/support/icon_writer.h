// Writers of icon images, .ico files, PE libraries and NE icon libraries,
// straight from the file formats, for the tests, the fuzz seeds and the
// benchmarks. They write what a test asks for, damage included; the real
// PE files of the tests come from mingw-w64 instead.
#pragma once

#include <algorithm>
#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "platform/icon_source.h"
#include "platform/posix/png_codec_libpng.h"

namespace plumage::test {

using Bytes = std::vector<std::uint8_t>;

inline void Put8(Bytes& b, unsigned v) {
  b.push_back(static_cast<std::uint8_t>(v & 0xFF));
}
inline void Put16(Bytes& b, unsigned v) {
  Put8(b, v);
  Put8(b, v >> 8);
}
inline void Put32(Bytes& b, std::uint32_t v) {
  Put16(b, v & 0xFFFF);
  Put16(b, v >> 16);
}
inline void PutAt16(Bytes& b, std::size_t at, unsigned v) {
  b.at(at) = static_cast<std::uint8_t>(v & 0xFF);
  b.at(at + 1) = static_cast<std::uint8_t>((v >> 8) & 0xFF);
}
inline void PutAt32(Bytes& b, std::size_t at, std::uint32_t v) {
  PutAt16(b, at, v & 0xFFFF);
  PutAt16(b, at + 2, v >> 16);
}
inline std::uint32_t GetAt32(const Bytes& b, std::size_t at) {
  return std::uint32_t{b.at(at)} | (std::uint32_t{b.at(at + 1)} << 8) |
         (std::uint32_t{b.at(at + 2)} << 16) | (std::uint32_t{b.at(at + 3)} << 24);
}
inline void PadTo(Bytes& b, std::size_t alignment) {
  while (b.size() % alignment) b.push_back(0);
}

// ---- Icon images ------------------------------------------------------------

// A device-independent icon image as a test describes it.
struct DibDef {
  int width = 0;
  int height = 0;
  int bpp = 8;
  std::vector<platform::Rgba> palette;       // bpp <= 8
  std::vector<std::uint32_t> pixels;         // top row first: palette index, or 0xAARRGGBB
  std::vector<std::uint8_t> mask;            // top row first: 1 = AND bit set; empty: all 0
  bool withMask = true;                      // false: the image ends after its colour bits
  std::optional<std::uint32_t> colorsUsed;   // header field, else palette size (0 when none)
  std::optional<std::int32_t> headerHeight;  // else 2 × height
};

inline std::uint32_t Argb(platform::Rgba c) {
  return (std::uint32_t{c.a} << 24) | (std::uint32_t{c.r} << 16) | (std::uint32_t{c.g} << 8) | c.b;
}

inline Bytes EncodeDib(const DibDef& s) {
  Bytes out;
  const std::size_t w = static_cast<std::size_t>(s.width), h = static_cast<std::size_t>(s.height);
  const std::size_t colourStride = (w * static_cast<std::size_t>(s.bpp) + 31) / 32 * 4;
  const std::size_t maskStride = (w + 31) / 32 * 4;
  Put32(out, 40);
  Put32(out, static_cast<std::uint32_t>(s.width));
  Put32(out, static_cast<std::uint32_t>(s.headerHeight.value_or(s.height * 2)));
  Put16(out, 1);
  Put16(out, static_cast<unsigned>(s.bpp));
  Put32(out, 0);
  Put32(out, static_cast<std::uint32_t>((colourStride + maskStride) * h));
  Put32(out, 0);
  Put32(out, 0);
  Put32(out, s.colorsUsed.value_or(static_cast<std::uint32_t>(s.palette.size())));
  Put32(out, 0);
  for (const platform::Rgba& c : s.palette) {
    Put8(out, c.b);
    Put8(out, c.g);
    Put8(out, c.r);
    Put8(out, 0);
  }
  for (std::size_t row = h; row-- > 0;) {
    Bytes line(colourStride, 0);
    for (std::size_t x = 0; x < w; ++x) {
      const std::uint32_t p = s.pixels.at(row * w + x);
      if (s.bpp <= 8) {
        const std::size_t bit = x * static_cast<std::size_t>(s.bpp);
        line[bit / 8] |= static_cast<std::uint8_t>(p << (8 - s.bpp - bit % 8));
      } else {
        const std::size_t at = x * static_cast<std::size_t>(s.bpp / 8);
        line[at] = static_cast<std::uint8_t>(p);
        line[at + 1] = static_cast<std::uint8_t>(p >> 8);
        line[at + 2] = static_cast<std::uint8_t>(p >> 16);
        if (s.bpp == 32) line[at + 3] = static_cast<std::uint8_t>(p >> 24);
      }
    }
    out.insert(out.end(), line.begin(), line.end());
  }
  if (s.withMask) {
    for (std::size_t row = h; row-- > 0;) {
      Bytes line(maskStride, 0);
      for (std::size_t x = 0; x < w; ++x)
        if (!s.mask.empty() && s.mask.at(row * w + x))
          line[x / 8] |= static_cast<std::uint8_t>(0x80 >> (x % 8));
      out.insert(out.end(), line.begin(), line.end());
    }
  }
  return out;
}

// What a pixel of the description is, read from the description itself: the reference
// the decoder is held to. An index past the palette is black.
inline platform::Rgba DefColour(const DibDef& s, int x, int y) {
  const std::uint32_t p = s.pixels.at(static_cast<std::size_t>(y * s.width + x));
  if (s.bpp <= 8) {
    const std::size_t entries =
        s.colorsUsed ? std::min<std::size_t>(*s.colorsUsed, 256) : s.palette.size();
    if (p >= entries || p >= s.palette.size()) return {0, 0, 0, 255};
    platform::Rgba c = s.palette[p];
    c.a = 255;
    return c;
  }
  return platform::Rgba{static_cast<std::uint8_t>(p >> 16), static_cast<std::uint8_t>(p >> 8),
                        static_cast<std::uint8_t>(p),
                        s.bpp == 32 ? static_cast<std::uint8_t>(p >> 24) : std::uint8_t{255}};
}
inline bool DefMask(const DibDef& s, int x, int y) {
  return !s.mask.empty() && s.mask.at(static_cast<std::size_t>(y * s.width + x)) != 0;
}

// A PNG icon image from straight RGBA pixels, top row first.
inline Bytes EncodePng(int width, int height, const std::vector<platform::Rgba>& pixels) {
  platform::RgbaImage image;
  image.width = width;
  image.height = height;
  for (const platform::Rgba& c : pixels) image.rgba.insert(image.rgba.end(), {c.r, c.g, c.b, c.a});
  platform::LibPngCodec codec;
  auto png = codec.Encode(image);
  return png ? *png : Bytes{};
}

// Width, height and depth as a directory entry writes them (256 as 0).
struct DirFields {
  std::uint8_t width = 0, height = 0, colours = 0;
  std::uint16_t bpp = 0;
};
inline DirFields DirFieldsOf(const Bytes& image) {
  DirFields f;
  auto side = [](std::uint32_t v) { return static_cast<std::uint8_t>(v >= 256 ? 0 : v); };
  if (image.size() >= 26 && image[0] == 0x89 && image[1] == 'P') {
    auto be = [&](std::size_t at) {
      return (std::uint32_t{image[at]} << 24) | (std::uint32_t{image[at + 1]} << 16) |
             (std::uint32_t{image[at + 2]} << 8) | image[at + 3];
    };
    f.width = side(be(16));
    f.height = side(be(20));
    f.bpp = 32;
  } else if (image.size() >= 16) {
    f.width = side(GetAt32(image, 4));
    f.height = side(GetAt32(image, 8) / 2);
    f.bpp = static_cast<std::uint16_t>(image[14] | (image[15] << 8));
    if (f.bpp < 8) f.colours = static_cast<std::uint8_t>(1u << f.bpp);
  }
  return f;
}

// ---- .ico files -------------------------------------------------------------

inline Bytes WriteIco(const std::vector<Bytes>& images) {
  Bytes out;
  Put16(out, 0);
  Put16(out, 1);
  Put16(out, static_cast<unsigned>(images.size()));
  std::uint32_t offset = static_cast<std::uint32_t>(6 + 16 * images.size());
  for (const Bytes& image : images) {
    const DirFields f = DirFieldsOf(image);
    Put8(out, f.width);
    Put8(out, f.height);
    Put8(out, f.colours);
    Put8(out, 0);
    Put16(out, 1);
    Put16(out, f.bpp);
    Put32(out, static_cast<std::uint32_t>(image.size()));
    Put32(out, offset);
    offset += static_cast<std::uint32_t>(image.size());
  }
  for (const Bytes& image : images) out.insert(out.end(), image.begin(), image.end());
  return out;
}

// ---- Group icon resources (PE and NE) ----------------------------------------

struct GroupDef {
  std::string name;  // a named resource; empty: numbered by id
  std::uint16_t id = 0;
  std::vector<Bytes> images;
};

// The group directory: entries of 14 bytes naming icon resources by number.
inline Bytes GroupDirectory(const std::vector<Bytes>& images, std::uint16_t firstIconId) {
  Bytes out;
  Put16(out, 0);
  Put16(out, 1);
  Put16(out, static_cast<unsigned>(images.size()));
  for (std::size_t i = 0; i < images.size(); ++i) {
    const DirFields f = DirFieldsOf(images[i]);
    Put8(out, f.width);
    Put8(out, f.height);
    Put8(out, f.colours);
    Put8(out, 0);
    Put16(out, 1);
    Put16(out, f.bpp);
    Put32(out, static_cast<std::uint32_t>(images[i].size()));
    Put16(out, static_cast<unsigned>(firstIconId + i));
  }
  return out;
}

// A PE library holding only a resource section. Named groups come first in
// the directory (in the order given), then the numbered ones (in the order
// given); icon resources are numbered from 1 in the order of the groups.
struct PeLayout {
  std::size_t sectionTable = 0;  // file offset of the one section header
  std::size_t resources = 0;     // file offset of the resource section
  std::uint32_t resourceRva = 0;
};
inline constexpr std::uint32_t kPeHeaderOffset = 0x40;

inline Bytes WritePe(const std::vector<GroupDef>& groups, bool pe64 = false,
                     PeLayout* layout = nullptr) {
  constexpr std::uint32_t kRva = 0x1000;
  constexpr std::uint32_t kFileAt = 0x200;
  // Resources in directory order.
  std::vector<const GroupDef*> ordered;
  for (const GroupDef& g : groups)
    if (!g.name.empty()) ordered.push_back(&g);
  std::size_t namedCount = ordered.size();
  for (const GroupDef& g : groups)
    if (g.name.empty()) ordered.push_back(&g);
  std::vector<Bytes> icons;
  std::vector<Bytes> groupData;
  for (const GroupDef* g : ordered) {
    groupData.push_back(GroupDirectory(g->images, static_cast<std::uint16_t>(icons.size() + 1)));
    for (const Bytes& image : g->images) icons.push_back(image);
  }
  const std::size_t nIcons = icons.size(), nGroups = ordered.size();
  const std::uint32_t dirHeader = 16, entry = 8;
  const std::uint32_t root = 0;
  const std::uint32_t iconType = root + dirHeader + 2 * entry;
  const std::uint32_t groupType = iconType + dirHeader + static_cast<std::uint32_t>(nIcons) * entry;
  const std::uint32_t langDirs =
      groupType + dirHeader + static_cast<std::uint32_t>(nGroups) * entry;
  const std::uint32_t langDirSize = dirHeader + entry;
  const std::uint32_t dataEntries =
      langDirs + static_cast<std::uint32_t>(nIcons + nGroups) * langDirSize;
  std::uint32_t strings = dataEntries + static_cast<std::uint32_t>(nIcons + nGroups) * 16;

  Bytes rsrc;
  auto dir = [&](unsigned named, unsigned ids) {
    Put32(rsrc, 0);
    Put32(rsrc, 0);
    Put16(rsrc, 4);
    Put16(rsrc, 0);
    Put16(rsrc, named);
    Put16(rsrc, ids);
  };
  dir(0, 2);
  Put32(rsrc, 3);
  Put32(rsrc, 0x80000000u | iconType);
  Put32(rsrc, 14);
  Put32(rsrc, 0x80000000u | groupType);
  dir(0, static_cast<unsigned>(nIcons));
  for (std::size_t i = 0; i < nIcons; ++i) {
    Put32(rsrc, static_cast<std::uint32_t>(i + 1));
    Put32(rsrc, 0x80000000u | (langDirs + static_cast<std::uint32_t>(i) * langDirSize));
  }
  dir(static_cast<unsigned>(namedCount), static_cast<unsigned>(nGroups - namedCount));
  Bytes names;
  for (std::size_t i = 0; i < nGroups; ++i) {
    if (i < namedCount) {
      Put32(rsrc, 0x80000000u | (strings + static_cast<std::uint32_t>(names.size())));
      Put16(names, static_cast<unsigned>(ordered[i]->name.size()));
      for (char c : ordered[i]->name) Put16(names, static_cast<unsigned char>(c));
    } else {
      Put32(rsrc, ordered[i]->id);
    }
    Put32(rsrc, 0x80000000u | (langDirs + static_cast<std::uint32_t>(nIcons + i) * langDirSize));
  }
  for (std::size_t i = 0; i < nIcons + nGroups; ++i) {
    dir(0, 1);
    Put32(rsrc, 0x409);
    Put32(rsrc, dataEntries + static_cast<std::uint32_t>(i) * 16);
  }
  // Data entries, then names, then the data itself.
  std::uint32_t dataAt = strings + static_cast<std::uint32_t>(names.size());
  dataAt = (dataAt + 3) & ~3u;
  std::vector<const Bytes*> blobs;
  for (const Bytes& b : icons) blobs.push_back(&b);
  for (const Bytes& b : groupData) blobs.push_back(&b);
  std::uint32_t at = dataAt;
  for (const Bytes* b : blobs) {
    Put32(rsrc, kRva + at);
    Put32(rsrc, static_cast<std::uint32_t>(b->size()));
    Put32(rsrc, 0);
    Put32(rsrc, 0);
    at = (at + static_cast<std::uint32_t>(b->size()) + 3) & ~3u;
  }
  rsrc.insert(rsrc.end(), names.begin(), names.end());
  PadTo(rsrc, 4);
  for (const Bytes* b : blobs) {
    rsrc.insert(rsrc.end(), b->begin(), b->end());
    PadTo(rsrc, 4);
  }
  const std::uint32_t virtualSize = static_cast<std::uint32_t>(rsrc.size());
  PadTo(rsrc, 0x200);

  Bytes out(kPeHeaderOffset, 0);
  out[0] = 'M';
  out[1] = 'Z';
  PutAt32(out, 0x3C, kPeHeaderOffset);
  out.insert(out.end(), {'P', 'E', 0, 0});
  const unsigned optionalSize = pe64 ? 240 : 224;
  Put16(out, pe64 ? 0x8664 : 0x14C);
  Put16(out, 1);
  Put32(out, 0);
  Put32(out, 0);
  Put32(out, 0);
  Put16(out, optionalSize);
  Put16(out, 0x2102);  // executable, 32-bit words, library
  const std::size_t optional = out.size();
  out.resize(optional + optionalSize, 0);
  PutAt16(out, optional, pe64 ? 0x20B : 0x10B);
  PutAt32(out, optional + 32, 0x1000);  // section alignment
  PutAt32(out, optional + 36, 0x200);   // file alignment
  PutAt16(out, optional + 40, 4);       // operating system version
  PutAt16(out, optional + 48, 4);       // subsystem version
  PutAt32(out, optional + 56, kRva + ((virtualSize + 0xFFF) & ~0xFFFu));  // image size
  PutAt32(out, optional + 60, kFileAt);                                   // header size
  PutAt16(out, optional + 68, 2);                                         // GUI
  const std::size_t directories = optional + (pe64 ? 108 : 92);
  PutAt32(out, directories, 16);
  PutAt32(out, directories + 4 + 2 * 8, kRva);
  PutAt32(out, directories + 4 + 2 * 8 + 4, virtualSize);
  const std::size_t section = out.size();
  out.insert(out.end(), {'.', 'r', 's', 'r', 'c', 0, 0, 0});
  Put32(out, virtualSize);
  Put32(out, kRva);
  Put32(out, static_cast<std::uint32_t>(rsrc.size()));
  Put32(out, kFileAt);
  Put32(out, 0);
  Put32(out, 0);
  Put16(out, 0);
  Put16(out, 0);
  Put32(out, 0x40000040);  // initialised data, readable
  out.resize(kFileAt, 0);
  out.insert(out.end(), rsrc.begin(), rsrc.end());
  if (layout) *layout = PeLayout{section, kFileAt, kRva};
  return out;
}

// A 16-bit icon library (.icl): an MZ stub, the NE header, the resource
// table with the groups (in the order given) and their icons, the resident
// name table, and the resources at multiples of 2^shift.
struct NeLayout {
  std::size_t header = 0;         // file offset of "NE"
  std::size_t resourceTable = 0;  // file offset of the table (its shift count)
};

inline Bytes WriteNe(const std::vector<GroupDef>& groups, unsigned shift = 4,
                     NeLayout* layout = nullptr) {
  constexpr std::size_t kNe = 0x40;
  std::vector<Bytes> icons;
  std::vector<Bytes> groupData;
  for (const GroupDef& g : groups) {
    groupData.push_back(GroupDirectory(g.images, static_cast<std::uint16_t>(icons.size() + 1)));
    for (const Bytes& image : g.images) icons.push_back(image);
  }
  // The table: shift, two types, the terminator, the names.
  const std::size_t typesSize = 2 + (8 + 12 * groups.size()) + (8 + 12 * icons.size()) + 2;
  Bytes names;
  std::vector<std::uint16_t> nameIds;
  for (const GroupDef& g : groups) {
    if (g.name.empty()) {
      nameIds.push_back(static_cast<std::uint16_t>(0x8000 | g.id));
    } else {
      nameIds.push_back(static_cast<std::uint16_t>(typesSize + names.size()));
      Put8(names, static_cast<unsigned>(g.name.size()));
      names.insert(names.end(), g.name.begin(), g.name.end());
    }
  }
  Put8(names, 0);
  const std::size_t tableSize = typesSize + names.size();
  // The header's offsets to the tables are 16-bit: more does not fit.
  if (0x40 + tableSize + 16 > 0xFFFF) return {};
  Bytes resident;
  const std::string module = "TESTICL";
  Put8(resident, static_cast<unsigned>(module.size()));
  resident.insert(resident.end(), module.begin(), module.end());
  Put16(resident, 0);
  Put8(resident, 0);
  const std::size_t tableAt = kNe + 0x40;
  const std::size_t afterTables = tableAt + tableSize + resident.size() + 1;  // + empty entry table
  const std::size_t unit = std::size_t{1} << shift;
  std::size_t dataAt = (afterTables + unit - 1) / unit * unit;

  struct Placed {
    std::size_t at, length;
  };
  std::vector<Placed> groupPlaces, iconPlaces;
  Bytes data;
  auto place = [&](const Bytes& b) {
    const std::size_t at = dataAt + data.size();
    data.insert(data.end(), b.begin(), b.end());
    while (data.size() % unit) data.push_back(0);
    return Placed{at, b.size()};
  };
  for (const Bytes& g : groupData) groupPlaces.push_back(place(g));
  for (const Bytes& i : icons) iconPlaces.push_back(place(i));

  Bytes table;
  Put16(table, shift);
  auto nameInfo = [&](const Placed& p, std::uint16_t id) {
    Put16(table, static_cast<unsigned>(p.at >> shift));
    Put16(table, static_cast<unsigned>((p.length + unit - 1) >> shift));
    Put16(table, 0x1C30);  // moveable, pure, discardable
    Put16(table, id);
    Put32(table, 0);
  };
  Put16(table, 0x800E);
  Put16(table, static_cast<unsigned>(groups.size()));
  Put32(table, 0);
  for (std::size_t i = 0; i < groups.size(); ++i) nameInfo(groupPlaces[i], nameIds[i]);
  Put16(table, 0x8003);
  Put16(table, static_cast<unsigned>(icons.size()));
  Put32(table, 0);
  for (std::size_t i = 0; i < icons.size(); ++i)
    nameInfo(iconPlaces[i], static_cast<std::uint16_t>(0x8000 | (i + 1)));
  Put16(table, 0);
  table.insert(table.end(), names.begin(), names.end());

  Bytes out(kNe, 0);
  out[0] = 'M';
  out[1] = 'Z';
  PutAt32(out, 0x3C, kNe);
  Bytes ne(0x40, 0);
  ne[0] = 'N';
  ne[1] = 'E';
  ne[2] = 5;
  ne[3] = 10;
  const std::size_t residentRel = 0x40 + tableSize;
  const std::size_t entryRel = residentRel + resident.size();
  PutAt16(ne, 0x04, static_cast<unsigned>(entryRel));  // entry table
  PutAt16(ne, 0x06, 1);
  PutAt16(ne, 0x0C, 0x8000);  // a library
  PutAt16(ne, 0x22, 0x40);    // segment table (empty)
  PutAt16(ne, 0x24, 0x40);    // resource table
  PutAt16(ne, 0x26, static_cast<unsigned>(residentRel));
  PutAt16(ne, 0x28, static_cast<unsigned>(entryRel));                 // module references (none)
  PutAt16(ne, 0x2A, static_cast<unsigned>(entryRel));                 // imported names (none)
  PutAt32(ne, 0x2C, static_cast<std::uint32_t>(kNe + entryRel + 1));  // non-resident names
  PutAt16(ne, 0x32, shift);
  ne[0x36] = 2;  // Windows
  PutAt16(ne, 0x3E, 0x030A);
  out.insert(out.end(), ne.begin(), ne.end());
  out.insert(out.end(), table.begin(), table.end());
  out.insert(out.end(), resident.begin(), resident.end());
  Put8(out, 0);  // the entry table: empty
  out.resize(dataAt, 0);
  out.insert(out.end(), data.begin(), data.end());
  if (layout) *layout = NeLayout{kNe, tableAt};
  return out;
}

}  // namespace plumage::test
