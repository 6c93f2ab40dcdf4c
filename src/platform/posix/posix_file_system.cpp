#include "platform/posix/posix_file_system.h"

#include <dirent.h>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <climits>
#include <cstdlib>
#include <cstring>
#include <optional>
#include <vector>

#include "platform/posix/posix_files.h"
#include "platform/posix/volumes.h"

namespace plumage::platform {
namespace {

constexpr std::uint32_t kDosBits = kAttributeHidden | kAttributeSystem | kAttributeArchive;
constexpr mode_t kWriteBits = S_IWUSR | S_IWGRP | S_IWOTH;
// The files the program copies are icons and pictures.
constexpr std::size_t kMaxCopyBytes = 64u << 20;

Error SystemError(const std::string& what, const std::string& path, int code) {
  ErrorKind kind = (code == ENOENT || code == ENOTDIR) ? ErrorKind::NotFound : ErrorKind::Io;
  return MakeError(kind, what + " " + path + ": " + std::strerror(code));
}

// "Read-only", "Hidden and System", "Hidden, System and Archive".
std::string AttributeWords(std::uint32_t attributes) {
  std::vector<const char*> names;
  if (attributes & kAttributeReadOnly) names.push_back("Read-only");
  if (attributes & kAttributeHidden) names.push_back("Hidden");
  if (attributes & kAttributeSystem) names.push_back("System");
  if (attributes & kAttributeArchive) names.push_back("Archive");
  std::string text;
  for (std::size_t i = 0; i < names.size(); ++i) {
    if (i > 0) text += i + 1 == names.size() ? " and " : ", ";
    text += names[i];
  }
  return text;
}

// The volume as a message names it: "the fuseblk (exfat) volume".
std::string VolumeName(const std::string& path) {
  auto volume = DescribePath(path);
  return volume ? "the " + volume->type + " volume" : std::string("its volume");
}

// What a refusal says: the attributes that could not change, the file, the
// volume and why.
Error CannotStore(const std::string& path, std::uint32_t before, std::uint32_t wanted,
                  std::uint32_t mask, const std::string& why,
                  ErrorKind kind = ErrorKind::Unsupported) {
  const std::uint32_t gained = wanted & ~before & mask;
  const std::uint32_t lost = before & ~wanted & mask;
  const std::uint32_t changed = gained | lost;
  if (changed == 0) return MakeError(kind, "cannot set the attributes of " + path + ": " + why);
  const char* verb = gained && lost ? "change" : gained ? "set" : "clear";
  const bool several = (changed & (changed - 1)) != 0;
  return MakeError(kind, std::string("cannot ") + verb + " the " + AttributeWords(changed) +
                             (several ? " attributes" : " attribute") + " of " + path + ": " + why);
}

// A refusal for want of a place is Unsupported; any other, an I/O error.
ErrorKind KindOf(int code) {
  return code == ENOTSUP || code == EOPNOTSUPP ? ErrorKind::Unsupported : ErrorKind::Io;
}

// Why a store refused a word, in the words of its volume.
std::string Refusal(const std::string& path, AttributeStore store, int code,
                    std::uint32_t changed) {
  std::string why = VolumeName(path) + " refused to change " + AttributeStoreName(store) + " (" +
                    std::strerror(code) + ")";
  if (store == AttributeStore::Fat && code == EPERM && (changed & kAttributeSystem))
    why += "; changing System on a FAT volume takes the CAP_LINUX_IMMUTABLE capability";
  if (store == AttributeStore::Smb && (code == EOPNOTSUPP || code == EINVAL || code == EACCES))
    why += "; this kernel's SMB client or the server does not let a client set them";
  if (store == AttributeStore::DosAttrib && code == ENOTSUP)
    why = VolumeName(path) + " stores no extended attributes";
  return why;
}

}  // namespace

Result<std::uint32_t> PosixFileSystem::GetAttributes(const std::string& path) {
  struct stat st {};
  if (path.empty() || stat(path.c_str(), &st) != 0)
    return SystemError("cannot read the attributes of", path, path.empty() ? ENOENT : errno);
  std::uint32_t attributes = S_ISDIR(st.st_mode) ? kAttributeDirectory : 0;
  const AttributeStore store = AttributeStoreOf(path);
  const auto word = ReadStoredAttributes(path, store);
  // Read-only is the store's where it holds one (NTFS ignores the write
  // permission ntfs-3g shows), else the write permission.
  if (word && StoreHoldsReadOnly(store))
    return attributes | (*word & (kDosBits | kAttributeReadOnly));
  if ((st.st_mode & kWriteBits) == 0) attributes |= kAttributeReadOnly;
  if (word) attributes |= *word & kDosBits;
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
      if (!behind)
        return MakeError(ErrorKind::Invalid,
                         "cannot set the attributes of " + behind.error().message);
      path = *behind;
    }
  } else if (!S_ISREG(st.st_mode) && !S_ISDIR(st.st_mode)) {
    return MakeError(ErrorKind::Invalid,
                     "cannot set the attributes of " + pathGiven + ": it is not a regular file");
  }

  const AttributeStore store = AttributeStoreOf(path);
  if (StoreHoldsReadOnly(store)) {
    // NTFS, FAT and SMB keep all four in one word, beside bits of their
    // own (Directory, and more on NTFS) that stay as they are.
    constexpr std::uint32_t kMask = kDosBits | kAttributeReadOnly;
    auto word = ReadStoredAttributes(path, store);
    if (!word)
      return CannotStore(path, 0, attributes, kMask,
                         VolumeName(path) + " did not give its " + AttributeStoreName(store) +
                             " (" + word.error().message + ")");
    const std::uint32_t wanted = attributes & kMask;
    if ((*word & kMask) == wanted) return Ok{};
    std::uint32_t value = (*word & ~(kMask | kAttributeNormalBit)) | wanted;
    if (value == 0 && store != AttributeStore::Fat) value = kAttributeNormalBit;
    if (int code = WriteStoredAttributes(path, store, value); code != 0)
      return CannotStore(path, *word, wanted, kMask,
                         Refusal(path, store, code, (*word ^ wanted) & kMask), KindOf(code));
    return Ok{};
  }

  // Hidden, System and Archive in user.DOSATTRIB (or nowhere); Read-only
  // is the write permission.
  const bool wasReadOnly = (st.st_mode & kWriteBits) == 0;
  const bool readOnly = (attributes & kAttributeReadOnly) != 0;
  const std::uint32_t dosBits = attributes & kDosBits;
  const auto stored = ReadStoredAttributes(path, store);
  const std::uint32_t before = stored ? *stored : 0;
  const bool dosChanges = (before & kDosBits) != dosBits;
  Status dos = Ok{};
  if (dosChanges && store == AttributeStore::None)
    dos = CannotStore(path, before, dosBits, kDosBits,
                      VolumeName(path) + " it lies on has no place to keep them");
  const bool writes = dosChanges && store == AttributeStore::DosAttrib;
  const mode_t mode = st.st_mode & 07777;
  // User extended attributes need write permission: they are set while the
  // file is writable, before Read-only is given or after it is taken away.
  const bool opened = wasReadOnly && (writes || !readOnly);
  if (opened && chmod(path.c_str(), mode | S_IWUSR) != 0)
    return SystemError("cannot take the Read-only attribute from", path, errno);
  if (writes) {
    // Bits that Samba keeps beside ours stay: Directory, and Read-only,
    // which Samba's clients set there and which is the write permission
    // here (never written into the record, never taken out of it).
    const std::uint32_t value = (before & ~kDosBits) | dosBits;
    if (int code = WriteStoredAttributes(path, store, value); code != 0)
      dos =
          CannotStore(path, before, dosBits, kDosBits, Refusal(path, store, code, 0), KindOf(code));
  }
  if (readOnly && (opened || !wasReadOnly) && chmod(path.c_str(), mode & ~kWriteBits) != 0)
    return SystemError("cannot give the Read-only attribute to", path, errno);
  // A volume that shows permissions it does not keep (FUSE exFAT) takes a
  // chmod without a word.
  if (readOnly != wasReadOnly) {
    struct stat now {};
    if (stat(path.c_str(), &now) == 0 && ((now.st_mode & kWriteBits) == 0) != readOnly) {
      Error lost =
          CannotStore(path, wasReadOnly ? kAttributeReadOnly : 0, readOnly ? kAttributeReadOnly : 0,
                      kAttributeReadOnly, VolumeName(path) + " ignores the write permission");
      if (!dos) lost.message = dos.error().message + "; " + lost.message;
      return lost;
    }
  }
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
    if (auto entry = ParseMountinfoLine(mountinfo.substr(0, eol)))
      points.push_back(std::move(entry->point));
    mountinfo = eol == std::string_view::npos ? std::string_view() : mountinfo.substr(eol + 1);
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

Result<VolumeInfo> PosixFileSystem::DescribeVolume(const std::string& path) {
  return DescribePath(path);
}

std::unique_ptr<FolderLock> PosixFileSystem::LockFolder(const std::string& folder) {
  struct Held : FolderLock {
    explicit Held(const std::string& f) : lock(f) {}
    FolderFileLock lock;
  };
  return std::make_unique<Held>(folder);
}

}  // namespace plumage::platform
