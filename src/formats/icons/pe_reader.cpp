// Group icons of a 32 or 64-bit Windows executable or library: the resource
// directory is a tree of three levels (type, name, language) whose leaves
// point by relative virtual address at the resource data.
#include <unordered_map>
#include <unordered_set>

#include "base/byte_reader.h"
#include "formats/icons/icon_file.h"

namespace plumage::formats {
namespace {

constexpr std::uint16_t kPe32Magic = 0x10B;
constexpr std::uint16_t kPe32PlusMagic = 0x20B;
constexpr std::uint32_t kResourceDirectoryIndex = 2;
constexpr std::uint32_t kRtIcon = 3;
constexpr std::uint32_t kRtGroupIcon = 14;
constexpr std::uint32_t kHighBit = 0x80000000u;
constexpr std::size_t kSectionHeaderSize = 40;
// The loaders of the Windows versions this program was made for refuse
// more; more would only multiply the address lookups a file can demand.
constexpr std::uint16_t kMaxSections = 96;
// Longer resource names are cut for display; the name's bytes are still
// bounded by the data, this only keeps messages readable.
constexpr std::uint16_t kMaxShownNameUnits = 128;

std::string Hex(std::uint64_t value) {
  static constexpr char kDigits[] = "0123456789ABCDEF";
  std::string out;
  do {
    out.insert(out.begin(), kDigits[value & 0xF]);
    value >>= 4;
  } while (value);
  return "0x" + out;
}

struct Section {
  std::uint32_t virtualAddress = 0;
  std::uint32_t virtualSize = 0;
  std::uint32_t rawSize = 0;
  std::uint32_t rawPointer = 0;
};

struct DirEntry {
  bool named = false;
  std::uint32_t nameOrId = 0;  // the name's offset in the tree, or the number
  bool subdirectory = false;
  std::uint32_t offset = 0;  // in the tree
};

class PeResources {
 public:
  PeResources(std::span<const std::uint8_t> data, std::vector<Section> sections)
      : data_(data), sections_(std::move(sections)) {}

  // The file bytes at a relative virtual address: only what the file holds
  // (the zero-filled tail of a section is not in the file), `size` cut at the
  // end of the section's raw data.
  Result<std::span<const std::uint8_t>> AtRva(std::uint32_t rva, std::uint64_t size) const {
    for (const Section& s : sections_) {
      const std::uint64_t extent = s.virtualSize > s.rawSize ? s.virtualSize : s.rawSize;
      if (rva < s.virtualAddress || rva - s.virtualAddress >= extent) continue;
      const std::uint64_t inSection = rva - s.virtualAddress;
      if (inSection >= s.rawSize)
        return MakeError(ErrorKind::Invalid, "address " + Hex(rva) +
                                                 " lies in the part of a section that the file "
                                                 "does not hold");
      const std::uint64_t start = std::uint64_t{s.rawPointer} + inSection;
      std::uint64_t end = std::uint64_t{s.rawPointer} + s.rawSize;
      if (end > data_.size()) end = data_.size();
      if (start >= end)
        return MakeError(ErrorKind::Truncated, "address " + Hex(rva) + " (file offset " +
                                                   std::to_string(start) +
                                                   ") lies beyond the end of the file (" +
                                                   std::to_string(data_.size()) + " bytes)");
      const std::uint64_t length = size < end - start ? size : end - start;
      return data_.subspan(static_cast<std::size_t>(start), static_cast<std::size_t>(length));
    }
    return MakeError(ErrorKind::Invalid, "address " + Hex(rva) + " lies in no section");
  }

  Status OpenTree(std::uint32_t rva) {
    auto tree = AtRva(rva, ~std::uint64_t{0});
    if (!tree) return MakeError(tree.error().kind, "resource directory: " + tree.error().message);
    tree_ = *tree;
    return Ok{};
  }

  // One directory of the tree: types, names, then languages, whose entries
  // must be leaves (NameData). Each directory is read once, so a tree that
  // points back into itself is refused rather than walked again.
  Result<std::vector<DirEntry>> Directory(std::uint32_t offset) {
    if (!visited_.insert(offset).second)
      return MakeError(ErrorKind::Invalid, "resource directory at offset " + Hex(offset) +
                                               " is reached twice (the tree loops)");
    ByteReader r(tree_, "resource directory");
    PLUMAGE_CHECK(r.Seek(offset));
    PLUMAGE_CHECK(r.Skip(12));  // characteristics, time, version
    PLUMAGE_TRY(named, r.U16());
    PLUMAGE_TRY(ids, r.U16());
    const std::uint32_t count = std::uint32_t{named} + ids;
    if (std::uint64_t{count} * 8 > r.remaining())
      return MakeError(ErrorKind::Truncated, "resource directory at offset " + Hex(offset) + ": " +
                                                 std::to_string(count) +
                                                 " entries run past the end of the resources");
    std::vector<DirEntry> entries;
    entries.reserve(count);
    for (std::uint32_t i = 0; i < count; ++i) {
      const std::uint32_t name = *r.U32();
      const std::uint32_t target = *r.U32();
      entries.push_back(DirEntry{(name & kHighBit) != 0, name & ~kHighBit, (target & kHighBit) != 0,
                                 target & ~kHighBit});
    }
    return entries;
  }

  // The data of a name: its first language's leaf. Windows prefers the
  // language of the user; one language is what icon libraries carry.
  Result<std::span<const std::uint8_t>> NameData(const DirEntry& name) {
    if (!name.subdirectory)
      return MakeError(ErrorKind::Invalid, "resource has no language directory");
    PLUMAGE_TRY(languages, Directory(name.offset));
    if (languages.empty()) return MakeError(ErrorKind::Invalid, "resource has no language");
    const DirEntry& leaf = languages.front();
    if (leaf.subdirectory)
      return MakeError(ErrorKind::Invalid, "resource directory at offset " + Hex(leaf.offset) +
                                               " is deeper than three levels");
    ByteReader r(tree_, "resource data entry");
    PLUMAGE_CHECK(r.Seek(leaf.offset));
    PLUMAGE_TRY(rva, r.U32());
    PLUMAGE_TRY(size, r.U32());
    return AtRva(rva, size);
  }

  std::string NameOf(const DirEntry& entry) const {
    if (!entry.named) return "#" + std::to_string(entry.nameOrId);
    ByteReader r(tree_, "resource name");
    if (!r.Seek(entry.nameOrId)) return "?";
    auto length = r.U16();
    if (!length) return "?";
    const std::uint16_t shown = *length < kMaxShownNameUnits ? *length : kMaxShownNameUnits;
    std::string out;
    for (std::uint16_t i = 0; i < shown; ++i) {
      auto unit = r.U16();
      if (!unit) return out + "?";
      std::uint32_t c = *unit;
      if (c >= 0xD800 && c <= 0xDFFF) c = 0xFFFD;  // surrogates: shown, not decoded
      if (c < 0x80) {
        out += static_cast<char>(c);
      } else if (c < 0x800) {
        out += static_cast<char>(0xC0 | (c >> 6));
        out += static_cast<char>(0x80 | (c & 0x3F));
      } else {
        out += static_cast<char>(0xE0 | (c >> 12));
        out += static_cast<char>(0x80 | ((c >> 6) & 0x3F));
        out += static_cast<char>(0x80 | (c & 0x3F));
      }
    }
    return out;
  }

 private:
  std::span<const std::uint8_t> data_;
  std::vector<Section> sections_;
  std::span<const std::uint8_t> tree_;
  std::unordered_set<std::uint32_t> visited_;
};

}  // namespace

Result<IconFile> ReadPeFile(std::span<const std::uint8_t> data, std::uint32_t headerOffset) {
  ByteReader r(data, "PE header");
  PLUMAGE_CHECK(r.Seek(std::uint64_t{headerOffset} + 4));
  PLUMAGE_CHECK(r.Skip(2));  // machine
  PLUMAGE_TRY(sectionCount, r.U16());
  PLUMAGE_CHECK(r.Skip(12));  // time, symbol table
  PLUMAGE_TRY(optionalSize, r.U16());
  PLUMAGE_CHECK(r.Skip(2));  // characteristics
  const std::uint64_t optionalStart = r.position();
  PLUMAGE_TRY(magic, r.U16());

  IconFile file;
  file.kind = IconFileKind::Pe;
  std::uint32_t directoryCountAt = 0;
  if (magic == kPe32Magic) {
    file.format = "PE32";
    directoryCountAt = 92;
  } else if (magic == kPe32PlusMagic) {
    file.format = "PE32+";
    directoryCountAt = 108;
  } else {
    return MakeError(ErrorKind::Unsupported, "PE header: optional header kind " + Hex(magic) +
                                                 " is neither PE32 nor PE32+");
  }
  // The data directories follow their count; a header too short to hold the
  // resource entry simply has no resources.
  const std::uint32_t resourceEntryAt = directoryCountAt + 4 + kResourceDirectoryIndex * 8;
  if (optionalSize < resourceEntryAt + 8) return file;
  PLUMAGE_CHECK(r.Seek(optionalStart + directoryCountAt));
  PLUMAGE_TRY(directoryCount, r.U32());
  if (directoryCount <= kResourceDirectoryIndex) return file;
  PLUMAGE_CHECK(r.Seek(optionalStart + resourceEntryAt));
  PLUMAGE_TRY(resourceRva, r.U32());
  if (resourceRva == 0) return file;

  if (sectionCount > kMaxSections)
    return MakeError(ErrorKind::Unsupported, "PE header: " + std::to_string(sectionCount) +
                                                 " sections are more than Windows loads (96)");
  std::vector<Section> sections;
  ByteReader table(data, "PE section table");
  PLUMAGE_CHECK(table.Seek(optionalStart + optionalSize));
  if (std::uint64_t{sectionCount} * kSectionHeaderSize > table.remaining())
    return MakeError(ErrorKind::Truncated, "PE section table: " + std::to_string(sectionCount) +
                                               " sections run past the end of the file");
  sections.reserve(sectionCount);
  for (int i = 0; i < sectionCount; ++i) {
    (void)table.Skip(8);  // name
    Section s;
    s.virtualSize = *table.U32();
    s.virtualAddress = *table.U32();
    s.rawSize = *table.U32();
    s.rawPointer = *table.U32();
    (void)table.Skip(16);
    sections.push_back(s);
  }

  PeResources res(data, std::move(sections));
  // The size in the data directory is not trusted: some linkers and packers
  // write a wrong one. The tree is bounded by the section that holds it.
  PLUMAGE_CHECK(res.OpenTree(resourceRva));
  PLUMAGE_TRY(types, res.Directory(0));

  const DirEntry* groupType = nullptr;
  const DirEntry* iconType = nullptr;
  for (const DirEntry& t : types) {
    if (t.named) continue;
    if (t.nameOrId == kRtGroupIcon && !groupType) groupType = &t;
    if (t.nameOrId == kRtIcon && !iconType) iconType = &t;
  }
  if (!groupType) return file;
  if (!groupType->subdirectory)
    return MakeError(ErrorKind::Invalid,
                     "resource directory: the group icon entry is no directory");
  PLUMAGE_TRY(groupNames, res.Directory(groupType->offset));

  // Icon images by number; looked up once per image of every group.
  std::unordered_map<std::uint32_t, Result<std::span<const std::uint8_t>>> iconsById;
  Status iconTypeStatus = Ok{};
  if (iconType) {
    if (!iconType->subdirectory) {
      iconTypeStatus = MakeError(ErrorKind::Invalid, "the icon entry is no directory");
    } else if (auto names = res.Directory(iconType->offset); !names) {
      iconTypeStatus = names.error();
    } else {
      iconsById.reserve(names->size());
      for (const DirEntry& n : *names)
        if (!n.named && !iconsById.count(n.nameOrId))
          iconsById.try_emplace(n.nameOrId, res.NameData(n));
    }
  }

  file.groups.reserve(groupNames.size());
  for (const DirEntry& n : groupNames) {
    IconGroup group;
    group.name = res.NameOf(n);
    group.id = n.named ? -1 : static_cast<int>(n.nameOrId);
    auto bytes = res.NameData(n);
    if (!bytes) {
      NoteProblem(group, bytes.error().message);
    } else {
      ResolveGroup(group, *bytes, [&](std::uint16_t id) -> Result<std::span<const std::uint8_t>> {
        if (!iconTypeStatus) return iconTypeStatus.error();
        auto found = iconsById.find(id);
        if (found == iconsById.end()) return MakeError(ErrorKind::NotFound, "not in the file");
        return found->second;
      });
    }
    file.groups.push_back(std::move(group));
  }
  return file;
}

}  // namespace plumage::formats
