#include "platform/posix/volumes.h"

#include <fcntl.h>
#include <linux/magic.h>
#include <linux/msdos_fs.h>
#include <sys/ioctl.h>
#include <sys/stat.h>
#include <sys/sysmacros.h>
#include <sys/vfs.h>
#include <sys/xattr.h>
#include <unistd.h>

#include <array>
#include <cerrno>
#include <climits>
#include <cstdlib>
#include <cstring>
#include <span>
#include <vector>

#include "formats/dos_attrib.h"
#include "platform/posix/posix_files.h"

namespace plumage::platform {

using formats::FormatDosAttrib;
using formats::ParseDosAttrib;
using formats::kDosAttribName;

namespace {

// Samba's attribute records are a few dozen bytes; a value beyond this is
// not one of them.
constexpr std::size_t kMaxDosAttribBytes = 4096;
// The magic numbers of the NTFS drivers (ntfs3's "ntfs", the old driver's
// "NTFS"), which <linux/magic.h> does not list.
constexpr unsigned long kNtfs3Magic = 0x7366746e;
constexpr unsigned long kOldNtfsMagic = 0x5346544e;
// A boot sector is 512 bytes; the names sit in its first hundred.
constexpr std::size_t kBootSectorBytes = 512;

std::string Unescaped(std::string_view raw) {
  std::string out;
  for (std::size_t i = 0; i < raw.size(); ++i) {
    // The kernel writes blank, tab, line feed and backslash as \ooo.
    if (raw[i] == '\\' && raw.size() - i >= 4 && raw[i + 1] >= '0' && raw[i + 1] <= '3' &&
        raw[i + 2] >= '0' && raw[i + 2] <= '7' && raw[i + 3] >= '0' && raw[i + 3] <= '7') {
      out.push_back(
          static_cast<char>((raw[i + 1] - '0') * 64 + (raw[i + 2] - '0') * 8 + (raw[i + 3] - '0')));
      i += 3;
    } else {
      out.push_back(raw[i]);
    }
  }
  return out;
}

std::vector<std::string_view> Fields(std::string_view line) {
  std::vector<std::string_view> fields;
  std::size_t pos = 0;
  while (pos < line.size()) {
    std::size_t end = line.find(' ', pos);
    if (end == std::string_view::npos) end = line.size();
    if (end > pos) fields.push_back(line.substr(pos, end - pos));
    pos = end + 1;
  }
  return fields;
}

bool IsFuse(std::string_view type) {
  return type == "fuse" || type == "fuseblk" || type.substr(0, 5) == "fuse.";
}

// The families whose type alone says where the attributes go.
std::optional<AttributeStore> FixedStore(std::string_view type) {
  if (type == "vfat" || type == "msdos" || type == "fat" || type == "exfat")
    return AttributeStore::Fat;
  if (type == "ntfs" || type == "ntfs3") return AttributeStore::Ntfs;
  if (type == "cifs" || type == "smb3" || type == "smbfs") return AttributeStore::Smb;
  return std::nullopt;
}

AttributeStore StoreForType(std::string_view type, const VolumeAnswers& answers) {
  if (auto fixed = FixedStore(type)) return *fixed;
  // Only an NTFS driver answers for the NTFS attributes; ntfs-3g answers
  // for user.* too (as alternate data streams), so it is asked first.
  if (answers.ntfsAttributes) return AttributeStore::Ntfs;
  if (answers.userXattrs) return AttributeStore::DosAttrib;
  return AttributeStore::None;
}

bool IsNetworkType(std::string_view type) {
  for (std::string_view network :
       {"cifs", "smb3", "smbfs", "nfs", "nfs4", "ceph", "afs", "9p", "glusterfs", "davfs",
        "fuse.sshfs", "fuse.rclone", "fuse.glusterfs", "fuse.davfs2", "fuse.s3fs"})
    if (type == network) return true;
  return false;
}

// The name statfs gives, for the file systems the attributes depend on.
std::string TypeOfMagic(unsigned long magic) {
  switch (magic) {
    case MSDOS_SUPER_MAGIC:
      return "vfat";
    case EXFAT_SUPER_MAGIC:
      return "exfat";
    case kNtfs3Magic:
      return "ntfs3";
    case kOldNtfsMagic:
      return "ntfs";
    case CIFS_SUPER_MAGIC:
      return "cifs";
    case SMB2_SUPER_MAGIC:
      return "smb3";
    case SMB_SUPER_MAGIC:
      return "smbfs";
    case FUSE_SUPER_MAGIC:
      return "fuse";
    case NFS_SUPER_MAGIC:
      return "nfs";
    case EXT4_SUPER_MAGIC:
      return "ext4";
    case XFS_SUPER_MAGIC:
      return "xfs";
    case BTRFS_SUPER_MAGIC:
      return "btrfs";
    case TMPFS_MAGIC:
      return "tmpfs";
    default:
      return {};
  }
}

bool AnswersNtfs(const std::string& path) {
  std::array<char, 4> value{};
  return getxattr(path.c_str(), kNtfsAttribName, value.data(), value.size()) == 4;
}

bool HoldsUserXattrs(const std::string& path) {
  if (getxattr(path.c_str(), kDosAttribName, nullptr, 0) >= 0) return true;
  return errno != ENOTSUP && errno != EOPNOTSUPP;
}

// The first sector of a FUSE mount's device or image, where it can be read.
std::string BootSectorOf(const MountEntry& mount) {
  if (!IsFuse(mount.type) || mount.source.empty() || mount.source.front() != '/') return {};
  struct stat st {};
  if (stat(mount.source.c_str(), &st) != 0 || !(S_ISBLK(st.st_mode) || S_ISREG(st.st_mode)))
    return {};
  int fd = open(mount.source.c_str(), O_RDONLY | O_NONBLOCK | O_CLOEXEC);
  if (fd < 0) return {};
  std::string sector(kBootSectorBytes, '\0');
  ssize_t n = pread(fd, sector.data(), sector.size(), 0);
  close(fd);
  sector.resize(n > 0 ? static_cast<std::size_t>(n) : 0);
  return sector;
}

std::string ReadSmallFile(const std::string& path) {
  std::string text;
  return ReadWholeFile(path, text) ? text : std::string();
}

// A USB stick or memory card: the kernel's removable flag of the disk (of
// the whole disk for a partition), or a disk on a USB bus, which many USB
// drives do not flag.
bool OnRemovableDevice(const MountEntry& mount) {
  unsigned major = mount.major, minor = mount.minor;
  if (major == 0 && mount.source.rfind("/dev/", 0) == 0) {
    struct stat st {};
    if (stat(mount.source.c_str(), &st) == 0 && S_ISBLK(st.st_mode)) {
      major = ::major(st.st_rdev);
      minor = ::minor(st.st_rdev);
    }
  }
  if (major == 0) return false;
  const std::string link = "/sys/dev/block/" + std::to_string(major) + ":" + std::to_string(minor);
  char* resolved = realpath(link.c_str(), nullptr);
  if (!resolved) return false;
  std::string device = resolved;
  std::free(resolved);
  struct stat st {};
  if (stat((device + "/partition").c_str(), &st) == 0) device = device.substr(0, device.rfind('/'));
  if (ReadSmallFile(device + "/removable").substr(0, 1) == "1") return true;
  return device.find("/usb") != std::string::npos;
}

// The raw user.DOSATTRIB value; nothing when absent, with errno saying why.
std::optional<std::string> ReadDosAttrib(const std::string& path) {
  std::string value(256, '\0');
  for (;;) {
    ssize_t n = getxattr(path.c_str(), kDosAttribName, value.data(), value.size());
    if (n >= 0) {
      value.resize(static_cast<std::size_t>(n));
      return value;
    }
    if (errno != ERANGE) return std::nullopt;
    ssize_t size = getxattr(path.c_str(), kDosAttribName, nullptr, 0);
    if (size < 0) return std::nullopt;
    if (static_cast<std::size_t>(size) > kMaxDosAttribBytes) {
      errno = E2BIG;
      return std::nullopt;
    }
    value.assign(static_cast<std::size_t>(size) + 1, '\0');
  }
}

Result<std::uint32_t> ReadWordXattr(const std::string& path, const char* name, bool bigEndian) {
  std::array<unsigned char, 4> b{};
  ssize_t n = getxattr(path.c_str(), name, b.data(), b.size());
  if (n != 4) {
    int code = n < 0 ? errno : EINVAL;
    return MakeError(
        code == ENOENT ? ErrorKind::NotFound : ErrorKind::Io,
        std::string("cannot read ") + name + " of " + path + ": " + std::strerror(code));
  }
  if (bigEndian)
    return static_cast<std::uint32_t>(b[0]) << 24 | static_cast<std::uint32_t>(b[1]) << 16 |
           static_cast<std::uint32_t>(b[2]) << 8 | b[3];
  return static_cast<std::uint32_t>(b[3]) << 24 | static_cast<std::uint32_t>(b[2]) << 16 |
         static_cast<std::uint32_t>(b[1]) << 8 | b[0];
}

int WriteWordXattr(const std::string& path, const char* name, std::uint32_t word, bool bigEndian) {
  std::array<unsigned char, 4> b{};
  for (int i = 0; i < 4; ++i) {
    const int shift = bigEndian ? 24 - 8 * i : 8 * i;
    b[static_cast<std::size_t>(i)] = static_cast<unsigned char>(word >> shift);
  }
  return setxattr(path.c_str(), name, b.data(), b.size(), 0) == 0 ? 0 : errno;
}

Result<std::uint32_t> ReadFatWord(const std::string& path) {
  int fd = open(path.c_str(), O_RDONLY | O_NONBLOCK | O_CLOEXEC);
  if (fd < 0) return MakeError(ErrorKind::Io, "cannot open " + path + ": " + std::strerror(errno));
  __u32 attributes = 0;
  int rc = ioctl(fd, FAT_IOCTL_GET_ATTRIBUTES, &attributes);
  int code = errno;
  close(fd);
  if (rc != 0)
    return MakeError(ErrorKind::Io,
                     "cannot read the FAT attributes of " + path + ": " + std::strerror(code));
  return static_cast<std::uint32_t>(attributes);
}

int WriteFatWord(const std::string& path, std::uint32_t word) {
  int fd = open(path.c_str(), O_RDONLY | O_NONBLOCK | O_CLOEXEC);
  if (fd < 0) return errno;
  __u32 value = word;
  int rc = ioctl(fd, FAT_IOCTL_SET_ATTRIBUTES, &value);
  int code = errno;
  close(fd);
  return rc == 0 ? 0 : code;
}

}  // namespace

std::optional<MountEntry> ParseMountinfoLine(std::string_view line) {
  // id parent major:minor root point options [optional fields...] - type source super-options
  const auto fields = Fields(line);
  if (fields.size() < 7) return std::nullopt;
  std::size_t dash = 6;
  while (dash < fields.size() && fields[dash] != "-") ++dash;
  if (dash + 2 >= fields.size()) return std::nullopt;
  MountEntry entry;
  const std::string_view device = fields[2];
  const std::size_t colon = device.find(':');
  if (colon == std::string_view::npos) return std::nullopt;
  entry.major = static_cast<unsigned>(
      std::strtoul(std::string(device.substr(0, colon)).c_str(), nullptr, 10));
  entry.minor = static_cast<unsigned>(
      std::strtoul(std::string(device.substr(colon + 1)).c_str(), nullptr, 10));
  entry.point = Unescaped(fields[4]);
  entry.type = Unescaped(fields[dash + 1]);
  entry.source = Unescaped(fields[dash + 2]);
  if (entry.point.empty() || entry.type.empty()) return std::nullopt;
  return entry;
}

std::optional<MountEntry> MountHolding(std::string_view mountinfo, const std::string& realPath) {
  std::optional<MountEntry> best;
  while (!mountinfo.empty()) {
    const std::size_t eol = mountinfo.find('\n');
    const std::string_view line = mountinfo.substr(0, eol);
    mountinfo = eol == std::string_view::npos ? std::string_view() : mountinfo.substr(eol + 1);
    auto entry = ParseMountinfoLine(line);
    if (!entry) continue;
    const std::string& point = entry->point;
    const bool holds =
        point == "/" || realPath == point ||
        (realPath.size() > point.size() && realPath.compare(0, point.size(), point) == 0 &&
         realPath[point.size()] == '/');
    if (holds && (!best || point.size() >= best->point.size())) best = std::move(entry);
  }
  return best;
}

std::string FileSystemOfBootSector(std::string_view sector) {
  if (sector.size() >= 11 && sector.substr(3, 8) == "NTFS    ") return "ntfs";
  if (sector.size() >= 11 && sector.substr(3, 8) == "EXFAT   ") return "exfat";
  if ((sector.size() >= 57 && sector.substr(54, 3) == "FAT") ||
      (sector.size() >= 87 && sector.substr(82, 5) == "FAT32"))
    return "vfat";
  return {};
}

VolumeInfo ClassifyMount(const MountEntry& mount, const VolumeAnswers& answers) {
  VolumeInfo info;
  info.type = mount.type;
  if (IsFuse(mount.type)) {
    std::string inner = FileSystemOfBootSector(answers.bootSector);
    if (inner.empty() && answers.ntfsAttributes) inner = "ntfs";
    if (!inner.empty()) info.type += " (" + inner + ")";
  }
  info.attributes = StoreForType(mount.type, answers);
  info.network = IsNetworkType(mount.type) || mount.source.rfind("//", 0) == 0;
  return info;
}

AttributeStore AttributeStoreOf(const std::string& path) {
  struct statfs fsInfo {};
  if (statfs(path.c_str(), &fsInfo) != 0) return AttributeStore::None;
  const std::string type = TypeOfMagic(static_cast<unsigned long>(fsInfo.f_type));
  if (auto fixed = FixedStore(type)) return *fixed;
  VolumeAnswers answers;
  answers.ntfsAttributes = type == "fuse" && AnswersNtfs(path);
  answers.userXattrs = !answers.ntfsAttributes && HoldsUserXattrs(path);
  return StoreForType(type, answers);
}

Result<VolumeInfo> DescribePath(const std::string& path) {
  char* resolved = path.empty() ? nullptr : realpath(path.c_str(), nullptr);
  if (!resolved) {
    const int code = path.empty() ? ENOENT : errno;
    return MakeError(code == ENOENT || code == ENOTDIR ? ErrorKind::NotFound : ErrorKind::Io,
                     "cannot tell the volume of " + path + ": " + std::strerror(code));
  }
  const std::string real = resolved;
  std::free(resolved);
  struct statfs fsInfo {};
  if (statfs(real.c_str(), &fsInfo) != 0)
    return MakeError(ErrorKind::Io,
                     "cannot tell the volume of " + path + ": " + std::strerror(errno));
  const std::string magicType = TypeOfMagic(static_cast<unsigned long>(fsInfo.f_type));

  std::optional<MountEntry> mount;
  std::string mountinfo;
  if (ReadWholeFile("/proc/self/mountinfo", mountinfo)) mount = MountHolding(mountinfo, real);
  if (!mount) {
    mount = MountEntry{};
    mount->type = magicType.empty() ? "unknown" : magicType;
  }
  VolumeAnswers answers;
  answers.ntfsAttributes = AnswersNtfs(real);
  answers.userXattrs = HoldsUserXattrs(real);
  answers.bootSector = BootSectorOf(*mount);
  VolumeInfo info = ClassifyMount(*mount, answers);
  // statfs speaks for the file itself, where a mount listed over another
  // could mislead.
  if (auto fixed = FixedStore(magicType)) info.attributes = *fixed;
  info.removable = OnRemovableDevice(*mount);
  return info;
}

bool StoreHoldsReadOnly(AttributeStore store) {
  return store == AttributeStore::Ntfs || store == AttributeStore::Fat ||
         store == AttributeStore::Smb || store == AttributeStore::Native;
}

Result<std::uint32_t> ReadStoredAttributes(const std::string& path, AttributeStore store) {
  switch (store) {
    case AttributeStore::DosAttrib: {
      const auto raw = ReadDosAttrib(path);
      if (!raw) {
        if (errno == ENODATA) return 0u;
        return MakeError(errno == ENOENT ? ErrorKind::NotFound : ErrorKind::Io,
                         std::string("cannot read ") + kDosAttribName + " of " + path + ": " +
                             std::strerror(errno));
      }
      // A value in neither of the known forms holds nothing we can read.
      return ParseDosAttrib(
                 std::span(reinterpret_cast<const std::uint8_t*>(raw->data()), raw->size()))
          .value_or(0u);
    }
    case AttributeStore::Ntfs:
      return ReadWordXattr(path, kNtfsAttribName, true);
    case AttributeStore::Smb:
      return ReadWordXattr(path, kCifsAttribName, false);
    case AttributeStore::Fat:
      return ReadFatWord(path);
    case AttributeStore::Native:
    case AttributeStore::None:
      break;
  }
  return MakeError(ErrorKind::Unsupported, "the volume of " + path + " keeps no DOS attributes");
}

int WriteStoredAttributes(const std::string& path, AttributeStore store, std::uint32_t word) {
  switch (store) {
    case AttributeStore::DosAttrib: {
      if (word == 0) {
        if (removexattr(path.c_str(), kDosAttribName) == 0 || errno == ENODATA) return 0;
        return errno;
      }
      const std::string text = FormatDosAttrib(word);
      return setxattr(path.c_str(), kDosAttribName, text.data(), text.size(), 0) == 0 ? 0 : errno;
    }
    case AttributeStore::Ntfs:
      return WriteWordXattr(path, kNtfsAttribName, word, true);
    case AttributeStore::Smb:
      return WriteWordXattr(path, kCifsAttribName, word, false);
    case AttributeStore::Fat:
      return WriteFatWord(path, word);
    case AttributeStore::Native:
    case AttributeStore::None:
      break;
  }
  return ENOTSUP;
}

void CarryAttributes(const std::string& from, const std::string& to) {
  const AttributeStore target = AttributeStoreOf(to);
  if (target == AttributeStore::None) return;
  const AttributeStore source = AttributeStoreOf(from);
  if (source == AttributeStore::DosAttrib && target == AttributeStore::DosAttrib) {
    // Samba's record goes over whole, with what it keeps beside the bits.
    if (auto raw = ReadDosAttrib(from))
      setxattr(to.c_str(), kDosAttribName, raw->data(), raw->size(), 0);
    return;
  }
  constexpr std::uint32_t kDos = kAttributeHidden | kAttributeSystem | kAttributeArchive;
  std::uint32_t bits = 0;
  if (source != AttributeStore::None) {
    if (auto word = ReadStoredAttributes(from, source))
      bits = *word & (StoreHoldsReadOnly(source) ? kDos | kAttributeReadOnly : kDos);
  }
  if (!StoreHoldsReadOnly(source)) {
    struct stat st {};
    if (stat(from.c_str(), &st) == 0 && (st.st_mode & (S_IWUSR | S_IWGRP | S_IWOTH)) == 0)
      bits |= kAttributeReadOnly;
  }
  // Read-only goes with the permissions the caller copies where the store
  // does not hold it.
  const std::uint32_t mask = StoreHoldsReadOnly(target) ? kDos | kAttributeReadOnly : kDos;
  auto current = ReadStoredAttributes(to, target);
  if (!current) return;
  std::uint32_t word = (*current & ~(mask | kAttributeNormalBit)) | (bits & mask);
  if (word == 0 && (target == AttributeStore::Ntfs || target == AttributeStore::Smb))
    word = kAttributeNormalBit;
  if (word == *current) return;
  if (WriteStoredAttributes(to, target, word) != 0 && target == AttributeStore::Fat)
    // System on FAT takes CAP_LINUX_IMMUTABLE: the rest, without it.
    WriteStoredAttributes(to, target, word & ~kAttributeSystem);
}

}  // namespace plumage::platform
