// Group icons of a 16-bit executable, library or icon library (.icl): the
// resource table of the new executable header lists resources by type, each
// placed in units of a power of two given at the start of the table.
#include <unordered_map>

#include "base/byte_reader.h"
#include "base/codepage.h"
#include "formats/icons/icon_file.h"

namespace plumage::formats {
namespace {

constexpr std::size_t kNeHeaderSize = 64;
constexpr std::size_t kResourceTableAt = 0x24;
constexpr std::size_t kResidentNamesAt = 0x26;
constexpr std::size_t kTargetSystemAt = 0x36;
constexpr std::uint8_t kTargetOs2 = 1;
constexpr std::uint16_t kIntegerId = 0x8000;
constexpr std::uint16_t kRtIcon = kIntegerId | 3;
constexpr std::uint16_t kRtGroupIcon = kIntegerId | 14;
// The table's own offsets are 16-bit, so nothing in it lies further out.
constexpr std::uint64_t kMaxResourceTable = 64 * 1024;
// Offsets and lengths are counted in units of 2^shift; from 16 on they would
// reach past 4 GiB, beyond any file of this format.
constexpr std::uint16_t kMaxAlignShift = 15;

struct NameInfo {
  std::uint16_t offset = 0;  // in units of 2^shift
  std::uint16_t length = 0;
  std::uint16_t id = 0;
};

}  // namespace

Result<IconFile> ReadNeFile(std::span<const std::uint8_t> data, std::uint32_t headerOffset) {
  ByteReader whole(data, "NE header");
  PLUMAGE_TRY(header, whole.Slice(headerOffset, kNeHeaderSize));
  ByteReader h(header, "NE header");
  (void)h.Seek(kResourceTableAt);
  const std::uint16_t tableAt = *h.U16();
  (void)h.Seek(kResidentNamesAt);
  const std::uint16_t residentNamesAt = *h.U16();
  (void)h.Seek(kTargetSystemAt);
  const std::uint8_t target = *h.U8();

  IconFile file;
  file.kind = IconFileKind::Ne;
  file.format = "NE";
  // OS/2 programs use a different resource table; they carry no Windows icons.
  if (target == kTargetOs2) {
    file.kind = IconFileKind::OtherExecutable;
    return file;
  }
  if (tableAt == residentNamesAt) return file;  // no resource table

  // The resident name table follows the resource table and so ends it.
  const std::uint64_t start = std::uint64_t{headerOffset} + tableAt;
  std::uint64_t length = kMaxResourceTable;
  if (residentNamesAt > tableAt) length = std::uint64_t{residentNamesAt} - tableAt;
  if (start > data.size())
    return MakeError(ErrorKind::Truncated, "NE resource table: offset " + std::to_string(start) +
                                               " lies beyond the end of the file (" +
                                               std::to_string(data.size()) + " bytes)");
  if (length > data.size() - start) length = data.size() - start;
  const std::span<const std::uint8_t> table =
      data.subspan(static_cast<std::size_t>(start), static_cast<std::size_t>(length));

  ByteReader r(table, "NE resource table");
  PLUMAGE_TRY(shift, r.U16());
  if (shift > kMaxAlignShift)
    return MakeError(ErrorKind::Invalid, "NE resource table: alignment shift " +
                                             std::to_string(shift) + " is too large");

  std::vector<NameInfo> groups;
  std::unordered_map<std::uint16_t, NameInfo> iconsById;
  for (;;) {
    PLUMAGE_TRY(type, r.U16());
    if (type == 0) break;
    PLUMAGE_TRY(count, r.U16());
    PLUMAGE_CHECK(r.Skip(4));
    if (std::uint64_t{count} * 12 > r.remaining())
      return MakeError(ErrorKind::Truncated, "NE resource table: " + std::to_string(count) +
                                                 " resources of one type run past its end");
    for (int i = 0; i < count; ++i) {
      NameInfo info;
      info.offset = *r.U16();
      info.length = *r.U16();
      (void)r.Skip(2);  // flags
      info.id = *r.U16();
      (void)r.Skip(4);  // handle and usage, for the loader's own use
      if (type == kRtGroupIcon) groups.push_back(info);
      if (type == kRtIcon && (info.id & kIntegerId))
        iconsById.try_emplace(static_cast<std::uint16_t>(info.id & ~kIntegerId), info);
    }
  }

  auto dataOf = [&](const NameInfo& info) -> Result<std::span<const std::uint8_t>> {
    const std::uint64_t offset = std::uint64_t{info.offset} << shift;
    // The length is rounded up to the alignment unit as well, so a file that
    // ends at the last resource's real end is shorter than the length says:
    // what lies past the end is cut off, the image's own header decides.
    std::uint64_t size = std::uint64_t{info.length} << shift;
    if (offset >= data.size())
      return MakeError(ErrorKind::Truncated, "offset " + std::to_string(offset) +
                                                 " lies beyond the end of the file (" +
                                                 std::to_string(data.size()) + " bytes)");
    if (size > data.size() - offset) size = data.size() - offset;
    return data.subspan(static_cast<std::size_t>(offset), static_cast<std::size_t>(size));
  };
  auto nameOf = [&](std::uint16_t id) -> std::string {
    if (id & kIntegerId) return "#" + std::to_string(id & ~kIntegerId);
    // A name is a length byte and that many ANSI characters, inside the table.
    ByteReader n(table, "NE resource name");
    if (!n.Seek(id)) return "?";
    auto size = n.U8();
    if (!size) return "?";
    auto chars = n.Bytes(*size);
    if (!chars) return "?";
    return AnsiToUtf8(
        std::string_view(reinterpret_cast<const char*>(chars->data()), chars->size()));
  };

  file.groups.reserve(groups.size());
  for (const NameInfo& info : groups) {
    IconGroup group;
    group.name = nameOf(info.id);
    group.id = (info.id & kIntegerId) ? (info.id & ~kIntegerId) : -1;
    auto bytes = dataOf(info);
    if (!bytes) {
      NoteProblem(group, "group icon: " + bytes.error().message);
    } else {
      ResolveGroup(group, *bytes, [&](std::uint16_t id) -> Result<std::span<const std::uint8_t>> {
        auto found = iconsById.find(id);
        if (found == iconsById.end()) return MakeError(ErrorKind::NotFound, "not in the file");
        return dataOf(found->second);
      });
    }
    file.groups.push_back(std::move(group));
  }
  return file;
}

}  // namespace plumage::formats
