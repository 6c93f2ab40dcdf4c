#include "platform/posix/posix_file_system.h"

#include <dirent.h>
#include <fcntl.h>
#include <linux/magic.h>
#include <linux/msdos_fs.h>
#include <sys/ioctl.h>
#include <sys/stat.h>
#include <sys/vfs.h>
#include <sys/xattr.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <climits>
#include <cstdlib>
#include <cstring>
#include <optional>

#include "platform/dos_attrib.h"
#include "platform/posix/posix_files.h"

namespace plumage::platform {
namespace {

constexpr std::uint32_t kDosBits = kAttributeHidden | kAttributeSystem | kAttributeArchive;
constexpr mode_t kWriteBits = S_IWUSR | S_IWGRP | S_IWOTH;
// The files the program copies are icons and pictures.
constexpr std::size_t kMaxCopyBytes = 64u << 20;
// Samba's attribute records are a few dozen bytes; a value beyond this is
// not one of them.
constexpr std::size_t kMaxDosAttribBytes = 4096;

Error SystemError(const std::string& what, const std::string& path, int code) {
  ErrorKind kind = (code == ENOENT || code == ENOTDIR) ? ErrorKind::NotFound : ErrorKind::Io;
  return MakeError(kind, what + " " + path + ": " + std::strerror(code));
}

bool OnFatVolume(const std::string& path) {
  struct statfs info {};
  return statfs(path.c_str(), &info) == 0 && info.f_type == MSDOS_SUPER_MAGIC;
}

// The FAT attribute byte of a file on a FAT volume.
Result<std::uint32_t> GetFatAttributes(const std::string& path) {
  int fd = open(path.c_str(), O_RDONLY | O_NONBLOCK | O_CLOEXEC);
  if (fd < 0) return SystemError("cannot read the attributes of", path, errno);
  __u32 attributes = 0;
  int rc = ioctl(fd, FAT_IOCTL_GET_ATTRIBUTES, &attributes);
  int code = errno;
  close(fd);
  if (rc != 0) return SystemError("cannot read the attributes of", path, code);
  return static_cast<std::uint32_t>(attributes);
}

Status SetFatAttributes(const std::string& path, std::uint32_t attributes) {
  auto current = GetFatAttributes(path);
  if (!current) return current.error();
  std::uint32_t wanted = (*current & ~(kDosBits | kAttributeReadOnly)) |
                         (attributes & (kDosBits | kAttributeReadOnly));
  if (wanted == *current) return Ok{};
  int fd = open(path.c_str(), O_RDONLY | O_NONBLOCK | O_CLOEXEC);
  if (fd < 0) return SystemError("cannot set the attributes of", path, errno);
  __u32 value = wanted;
  int rc = ioctl(fd, FAT_IOCTL_SET_ATTRIBUTES, &value);
  int code = errno;
  close(fd);
  if (rc == 0) return Ok{};
  if (code == EPERM && ((wanted ^ *current) & kAttributeSystem) != 0)
    return MakeError(ErrorKind::Io, "cannot change the System attribute of " + path +
                                        ": on a FAT volume that takes the CAP_LINUX_IMMUTABLE "
                                        "capability (" +
                                        std::strerror(code) + ")");
  return SystemError("cannot set the attributes of", path, code);
}

// The raw user.DOSATTRIB value; nothing when absent or unreadable.
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
    if (size < 0 || static_cast<std::size_t>(size) > kMaxDosAttribBytes) return std::nullopt;
    value.assign(static_cast<std::size_t>(size) + 1, '\0');
  }
}

std::optional<std::uint32_t> ParseStored(const std::optional<std::string>& raw) {
  if (!raw) return std::nullopt;
  return ParseDosAttrib(std::span(reinterpret_cast<const std::uint8_t*>(raw->data()), raw->size()));
}

Status WriteDosAttrib(const std::string& path, std::uint32_t dosBits) {
  const auto raw = ReadDosAttrib(path);
  const auto stored = ParseStored(raw);
  if ((stored.value_or(0) & kDosBits) == dosBits) return Ok{};
  // Bits that Samba keeps beside ours (Directory, for one) stay; Read-only
  // is the write permission and is never stored here.
  std::uint32_t value = (stored.value_or(0) & ~(kDosBits | kAttributeReadOnly)) | dosBits;
  int rc = 0;
  if (value == 0) {
    rc = removexattr(path.c_str(), kDosAttribName);
    if (rc != 0 && errno == ENODATA) rc = 0;
  } else {
    std::string text = FormatDosAttrib(value);
    rc = setxattr(path.c_str(), kDosAttribName, text.data(), text.size(), 0);
  }
  if (rc == 0) return Ok{};
  int code = errno;
  if (code == ENOTSUP)
    return MakeError(ErrorKind::Unsupported,
                     "cannot set the Hidden, System or Archive attribute of " + path +
                         ": its file system stores no extended attributes");
  return SystemError("cannot set the Hidden, System or Archive attribute of", path, code);
}

}  // namespace

Result<std::uint32_t> PosixFileSystem::GetAttributes(const std::string& path) {
  struct stat st {};
  if (path.empty() || stat(path.c_str(), &st) != 0)
    return SystemError("cannot read the attributes of", path, path.empty() ? ENOENT : errno);
  std::uint32_t attributes = S_ISDIR(st.st_mode) ? kAttributeDirectory : 0;
  if ((st.st_mode & kWriteBits) == 0) attributes |= kAttributeReadOnly;
  if (OnFatVolume(path)) {
    if (auto fat = GetFatAttributes(path)) attributes |= *fat & kDosBits;
    return attributes;
  }
  if (auto stored = ParseStored(ReadDosAttrib(path))) attributes |= *stored & kDosBits;
  return attributes;
}

Status PosixFileSystem::SetAttributes(const std::string& pathGiven, std::uint32_t attributes) {
  if ((attributes & ~kAttributeMask) != 0)
    return MakeError(ErrorKind::Unsupported, "the attribute value " + std::to_string(attributes) +
                                                 " of " + pathGiven + " cannot be stored");
  struct stat st {};
  if (pathGiven.empty() || lstat(pathGiven.c_str(), &st) != 0)
    return SystemError("cannot set the attributes of", pathGiven,
                       pathGiven.empty() ? ENOENT : errno);
  // A folder is the one the user named, link or not; a file behind a link
  // only where the link may be followed, so that a link planted in a
  // folder never hands its target's attributes (or write permission) over.
  std::string path = pathGiven;
  if (S_ISLNK(st.st_mode)) {
    if (stat(pathGiven.c_str(), &st) != 0)
      return SystemError("cannot set the attributes of", pathGiven, errno);
    if (!S_ISDIR(st.st_mode)) {
      auto behind = FileBehind(pathGiven, Links::SameOwnerHere);
      if (!behind) return MakeError(ErrorKind::Invalid, "cannot set the attributes of " +
                                                            behind.error().message);
      path = *behind;
    }
  } else if (!S_ISREG(st.st_mode) && !S_ISDIR(st.st_mode)) {
    return MakeError(ErrorKind::Invalid,
                     "cannot set the attributes of " + pathGiven + ": it is not a regular file");
  }
  if (OnFatVolume(path)) return SetFatAttributes(path, attributes);

  const bool wasReadOnly = (st.st_mode & kWriteBits) == 0;
  const bool readOnly = (attributes & kAttributeReadOnly) != 0;
  const std::uint32_t dosBits = attributes & kDosBits;
  const bool dosChanges = (ParseStored(ReadDosAttrib(path)).value_or(0) & kDosBits) != dosBits;
  const mode_t mode = st.st_mode & 07777;
  // User extended attributes need write permission: they are set while the
  // file is writable, before Read-only is given or after it is taken away.
  const bool opened = wasReadOnly && (dosChanges || !readOnly);
  if (opened && chmod(path.c_str(), mode | S_IWUSR) != 0)
    return SystemError("cannot take the Read-only attribute from", path, errno);
  Status dos = dosChanges ? WriteDosAttrib(path, dosBits) : Status(Ok{});
  if (readOnly && (opened || !wasReadOnly) && chmod(path.c_str(), mode & ~kWriteBits) != 0)
    return SystemError("cannot give the Read-only attribute to", path, errno);
  return dos;
}

bool PosixFileSystem::FileExists(const std::string& path) {
  struct stat st {};
  return !path.empty() && stat(path.c_str(), &st) == 0 && !S_ISDIR(st.st_mode);
}

Status PosixFileSystem::Remove(const std::string& path) {
  struct stat st {};
  if (lstat(path.c_str(), &st) != 0) return SystemError("cannot delete", path, errno);
  if (S_ISDIR(st.st_mode)) return SystemError("cannot delete", path, EISDIR);
  // Read-only protects a file from deletion, as on Windows.
  if (!S_ISLNK(st.st_mode) && (st.st_mode & kWriteBits) == 0)
    return MakeError(ErrorKind::Io, "cannot delete " + path + ": it is read-only");
  if (unlink(path.c_str()) != 0) return SystemError("cannot delete", path, errno);
  return Ok{};
}

Status PosixFileSystem::Copy(const std::string& from, const std::string& to) {
  struct stat st {};
  if (stat(to.c_str(), &st) == 0) {
    if (S_ISDIR(st.st_mode)) return SystemError("cannot copy to", to, EISDIR);
    if ((st.st_mode & kWriteBits) == 0)
      return MakeError(ErrorKind::Io, "cannot copy to " + to + ": it is read-only");
  }
  // The source is an input the user named: a link to a file is that file.
  auto bytes = ReadRegularFile(from, kMaxCopyBytes, Links::Follow);
  if (!bytes) return bytes.error();
  // The copy takes the source's permissions and attributes, as CopyFile does.
  return WriteFileAtomically(to, *bytes, from);
}

Result<std::vector<std::string>> PosixFileSystem::List(const std::string& folder,
                                                       const std::string& pattern,
                                                       std::uint32_t include) {
  DIR* dir = opendir(folder.empty() ? "." : folder.c_str());
  if (!dir) return SystemError("cannot list", folder, errno);
  std::vector<std::string> names;
  std::string prefix = folder.empty() || folder.back() == '/' ? folder : folder + "/";
  while (const dirent* entry = readdir(dir)) {
    std::string name = entry->d_name;
    if (name == "." || name == ".." || !MatchesWildcard(name, pattern)) continue;
    auto attributes = GetAttributes(prefix + name);
    if (!attributes) continue;  // gone, or a broken link
    std::uint32_t excluding =
        (kAttributeHidden | kAttributeSystem | kAttributeDirectory) & ~include;
    if ((*attributes & excluding) != 0) continue;
    names.push_back(std::move(name));
  }
  closedir(dir);
  return names;
}

std::vector<std::string> PosixFileSystem::MountPoints(std::string_view mountinfo) {
  std::vector<std::string> points;
  while (!mountinfo.empty()) {
    std::size_t eol = mountinfo.find('\n');
    std::string_view line = mountinfo.substr(0, eol);
    mountinfo = eol == std::string_view::npos ? std::string_view() : mountinfo.substr(eol + 1);
    // id parent major:minor root mount-point ...
    std::size_t pos = 0;
    for (int field = 0; field < 4 && pos != std::string_view::npos; ++field) {
      pos = line.find(' ', pos);
      if (pos != std::string_view::npos) ++pos;
    }
    if (pos == std::string_view::npos || pos >= line.size()) continue;
    std::string_view raw = line.substr(pos, line.find(' ', pos) - pos);
    std::string point;
    for (std::size_t i = 0; i < raw.size(); ++i) {
      // The kernel writes blank, tab, line feed and backslash as \ooo.
      if (raw[i] == '\\' && raw.size() - i >= 4 && raw[i + 1] >= '0' && raw[i + 1] <= '3' &&
          raw[i + 2] >= '0' && raw[i + 2] <= '7' && raw[i + 3] >= '0' && raw[i + 3] <= '7') {
        point.push_back(static_cast<char>((raw[i + 1] - '0') * 64 + (raw[i + 2] - '0') * 8 +
                                          (raw[i + 3] - '0')));
        i += 3;
      } else {
        point.push_back(raw[i]);
      }
    }
    if (!point.empty()) points.push_back(std::move(point));
  }
  return points;
}

bool PosixFileSystem::IsDriveRoot(const std::string& folder) {
  if (folder.empty()) return false;
  char* resolved = realpath(folder.c_str(), nullptr);
  if (!resolved) return false;
  std::string real = resolved;
  std::free(resolved);
  if (real == "/") return true;
  std::string mountinfo;
  if (ReadWholeFile("/proc/self/mountinfo", mountinfo) && !mountinfo.empty()) {
    auto points = MountPoints(mountinfo);
    return std::find(points.begin(), points.end(), real) != points.end();
  }
  // No /proc: a folder on another device than its parent is a mount point.
  struct stat self {
  }, parent{};
  if (stat(real.c_str(), &self) != 0 || stat((real + "/..").c_str(), &parent) != 0) return false;
  return self.st_dev != parent.st_dev;
}

Result<std::string> PosixFileSystem::LoadFile(const std::string& path, std::size_t maxBytes) {
  return ReadRegularFile(path, maxBytes, Links::Follow);
}

Status PosixFileSystem::StoreFile(const std::string& path, const std::string& bytes) {
  return WriteFileAtomically(path, bytes);
}

std::unique_ptr<FolderLock> PosixFileSystem::LockFolder(const std::string& folder) {
  struct Held : FolderLock {
    explicit Held(const std::string& f) : lock(f) {}
    FolderFileLock lock;
  };
  return std::make_unique<Held>(folder);
}

}  // namespace plumage::platform
