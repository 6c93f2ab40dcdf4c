#include "formats/icons/icon_file.h"

#include "base/byte_reader.h"

namespace plumage::formats {
namespace {

constexpr std::uint16_t kIconType = 1;  // 2 would be a cursor
constexpr std::size_t kIcoEntrySize = 16;
constexpr std::size_t kGroupEntrySize = 14;
constexpr std::uint32_t kDosHeaderSize = 64;
constexpr std::uint32_t kNewHeaderPointer = 0x3C;

std::string Offset(std::uint64_t value) {
  return std::to_string(value);
}

}  // namespace

Result<IconFile> ParseIconFile(std::span<const std::uint8_t> data) {
  if (data.size() >= 2 && data[0] == 'M' && data[1] == 'Z') {
    IconFile dos;
    dos.kind = IconFileKind::OtherExecutable;
    dos.format = "MZ";
    // Only programs for Windows carry the pointer to a new header; a DOS
    // program is an executable without icons, not a stranger.
    if (data.size() < kDosHeaderSize) return dos;
    ByteReader r(data, "executable header");
    PLUMAGE_CHECK(r.Seek(kNewHeaderPointer));
    PLUMAGE_TRY(pointer, r.U32());
    auto signature = r.Slice(pointer, 2);
    if (!signature) return dos;
    if ((*signature)[0] == 'P' && (*signature)[1] == 'E') {
      auto full = r.Slice(pointer, 4);
      if (full && (*full)[2] == 0 && (*full)[3] == 0) return ReadPeFile(data, pointer);
      return dos;
    }
    if ((*signature)[0] == 'N' && (*signature)[1] == 'E') return ReadNeFile(data, pointer);
    return dos;  // LE, LX and the like hold no resources ExtractIconA reads
  }
  if (data.size() >= 4 && data[0] == 0 && data[1] == 0 && data[2] == kIconType && data[3] == 0)
    return ReadIcoFile(data);
  IconFile other;
  other.kind = IconFileKind::NotIconFile;
  return other;
}

Result<IconFile> ReadIcoFile(std::span<const std::uint8_t> data) {
  ByteReader r(data, "icon file directory");
  PLUMAGE_TRY(reserved, r.U16());
  PLUMAGE_TRY(type, r.U16());
  PLUMAGE_TRY(count, r.U16());
  if (reserved != 0 || type != kIconType)
    return MakeError(ErrorKind::Invalid,
                     "icon file directory: not an icon file (type " + std::to_string(type) + ")");
  // The whole directory must be there before any image is believed.
  if (static_cast<std::uint64_t>(count) * kIcoEntrySize > r.remaining())
    return MakeError(ErrorKind::Truncated, "icon file directory: " + std::to_string(count) +
                                               " images need " +
                                               Offset(6 + std::uint64_t{count} * kIcoEntrySize) +
                                               " bytes, the file has " + Offset(data.size()));
  IconFile file;
  file.kind = IconFileKind::Ico;
  file.format = "ICO";
  IconGroup group;
  group.entryCount = count < kMaxImagesPerIcon ? count : kMaxImagesPerIcon;
  for (int i = 0; i < group.entryCount; ++i) {
    (void)r.Skip(8);  // width, height, colours, reserved, planes, depth: the image says
    auto size = r.U32();
    auto offset = r.U32();
    if (!size || !offset)
      return MakeError(ErrorKind::Truncated, "icon file directory: short entry");
    if (*offset >= data.size()) {
      NoteProblem(group, "image " + std::to_string(i + 1) + ": its offset " + Offset(*offset) +
                             " lies beyond the end of the file (" + Offset(data.size()) +
                             " bytes)");
      continue;
    }
    // The size in the directory is only a hint: the image's own header
    // decides how many bytes it needs, and some writers get the size wrong.
    // What lies past the end of the file is cut off here.
    const std::uint64_t available = data.size() - *offset;
    const std::uint64_t length = *size < available ? *size : available;
    group.images.push_back(IconImageRef{
        i, data.subspan(static_cast<std::size_t>(*offset), static_cast<std::size_t>(length))});
  }
  file.groups.push_back(std::move(group));
  return file;
}

Result<std::vector<GroupEntry>> ReadGroupIconDirectory(std::span<const std::uint8_t> bytes) {
  ByteReader r(bytes, "group icon directory");
  PLUMAGE_CHECK(r.Skip(2));  // reserved
  PLUMAGE_TRY(type, r.U16());
  PLUMAGE_TRY(count, r.U16());
  if (type != kIconType)
    return MakeError(ErrorKind::Invalid,
                     "group icon directory: type " + std::to_string(type) + " is not an icon");
  if (static_cast<std::uint64_t>(count) * kGroupEntrySize > r.remaining())
    return MakeError(ErrorKind::Truncated, "group icon directory: " + std::to_string(count) +
                                               " images need " +
                                               Offset(6 + std::uint64_t{count} * kGroupEntrySize) +
                                               " bytes, the resource has " + Offset(bytes.size()));
  const int kept = count < kMaxImagesPerIcon ? count : kMaxImagesPerIcon;
  std::vector<GroupEntry> entries;
  entries.reserve(static_cast<std::size_t>(kept));
  for (int i = 0; i < kept; ++i) {
    (void)r.Skip(12);  // width, height, colours, reserved, planes, depth, size
    PLUMAGE_TRY(id, r.U16());
    entries.push_back(GroupEntry{id});
  }
  return entries;
}

}  // namespace plumage::formats
