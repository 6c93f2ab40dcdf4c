#include "platform/posix/posix_files.h"

#include <dirent.h>
#include <fcntl.h>
#include <pwd.h>
#include <signal.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <sys/xattr.h>
#include <unistd.h>

#include <cerrno>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <vector>

#include "formats/dos_attrib.h"
#include "platform/posix/volumes.h"

namespace plumage::platform {

using formats::kDosAttribName;

namespace fs = std::filesystem;

std::string HomeFolder() {
  if (const char* home = std::getenv("HOME"); home && *home) return home;
  if (const passwd* pw = getpwuid(getuid()); pw && pw->pw_dir) return pw->pw_dir;
  return "/tmp";
}

namespace {

Error IoError(const std::string& what, const std::string& path, int code) {
  ErrorKind kind = code == ENOENT ? ErrorKind::NotFound : ErrorKind::Io;
  return MakeError(kind, what + " " + path + ": " + std::strerror(code));
}

std::string Resolved(const std::string& path) {
  char* real = realpath(path.c_str(), nullptr);
  if (!real) return {};
  std::string out = real;
  std::free(real);
  return out;
}

std::string ParentOf(const std::string& path) {
  std::string parent = fs::path(path).parent_path().string();
  return parent.empty() ? std::string(".") : parent;
}

const char* KindName(mode_t mode) {
  if (S_ISDIR(mode)) return "a folder";
  if (S_ISFIFO(mode)) return "a FIFO";
  if (S_ISCHR(mode) || S_ISBLK(mode)) return "a device";
  if (S_ISSOCK(mode)) return "a socket";
  return "not a regular file";
}

Error NotAFile(const std::string& path, mode_t mode) {
  return MakeError(ErrorKind::Invalid, path + ": it is " + std::string(KindName(mode)) +
                                           ", not a regular file; it is left as it was");
}

}  // namespace

Result<std::string> FileBehind(const std::string& path, Links links) {
  struct stat self {};
  if (path.empty()) return MakeError(ErrorKind::NotFound, "no file name given");
  if (lstat(path.c_str(), &self) != 0) {
    if (errno == ENOENT) return MakeError(ErrorKind::NotFound, path + ": it does not exist");
    return IoError("cannot open", path, errno);
  }
  if (S_ISREG(self.st_mode)) return path;
  if (!S_ISLNK(self.st_mode)) return NotAFile(path, self.st_mode);

  struct stat target {};
  const std::string real = Resolved(path);
  if (real.empty() || stat(real.c_str(), &target) != 0)
    return MakeError(ErrorKind::Invalid,
                     path + ": it is a link to nothing that exists; it is left as it was");
  if (!S_ISREG(target.st_mode))
    return MakeError(ErrorKind::Invalid, path + ": it is a link to " + real + ", which is " +
                                             KindName(target.st_mode) +
                                             "; it is left as it was");
  if (links == Links::Follow) return real;
  // A link is taken only where its owner could have written the file
  // itself: the target beside it, of the same owner.
  if (target.st_uid != self.st_uid || ParentOf(real) != Resolved(ParentOf(path)))
    return MakeError(ErrorKind::Invalid,
                     path + ": it is a link to " + real +
                         ", which is not a file of the link's owner in the same folder; it is "
                         "left as it was");
  return real;
}

Result<std::string> ReadRegularFile(const std::string& path, std::size_t maxBytes, Links links) {
  auto behind = FileBehind(path, links);
  if (!behind && behind.error().kind == ErrorKind::NotFound) return behind.error();
  if (!behind) return MakeError(behind.error().kind, "cannot read " + behind.error().message);
  // O_NOFOLLOW: the name checked above cannot turn into a link on the way;
  // O_NONBLOCK: nor into a FIFO that waits for a writer.
  int fd = open(behind->c_str(), O_RDONLY | O_NOFOLLOW | O_NONBLOCK | O_CLOEXEC);
  if (fd < 0) return IoError("cannot read", path, errno == ELOOP ? EPERM : errno);
  struct stat st {};
  if (fstat(fd, &st) != 0 || !S_ISREG(st.st_mode)) {
    close(fd);
    return MakeError(ErrorKind::Invalid, "cannot read " + NotAFile(path, st.st_mode).message);
  }
  auto tooLarge = [&] {
    return MakeError(ErrorKind::Invalid, "cannot read " + path + ": it is larger than " +
                                             std::to_string(maxBytes) +
                                             " bytes, more than such a file ever holds");
  };
  if (static_cast<std::uint64_t>(st.st_size) > maxBytes) {
    close(fd);
    return tooLarge();
  }
  std::string bytes;
  bytes.reserve(static_cast<std::size_t>(st.st_size));
  char buf[65536];
  for (;;) {
    ssize_t n = read(fd, buf, sizeof buf);
    if (n < 0 && errno == EINTR) continue;
    if (n < 0) {
      int code = errno;
      close(fd);
      return IoError("cannot read", path, code);
    }
    if (n == 0) break;
    // A file that grows while it is read still stops at the cap.
    if (static_cast<std::size_t>(n) > maxBytes - bytes.size()) {
      close(fd);
      return tooLarge();
    }
    bytes.append(buf, static_cast<std::size_t>(n));
  }
  close(fd);
  return bytes;
}

bool ReadWholeFile(const std::string& path, std::string& bytes) {
  auto read = ReadRegularFile(path);
  if (!read) return false;
  bytes = std::move(*read);
  return true;
}

namespace {

// Copies the user.* extended attributes of one file onto another, but for
// user.DOSATTRIB, which CarryAttributes puts where the target's volume
// keeps DOS attributes (on NTFS it would become a stream Windows ignores).
void CopyUserXattrs(const std::string& from, int toFd) {
  ssize_t len = listxattr(from.c_str(), nullptr, 0);
  if (len <= 0) return;
  std::vector<char> names(static_cast<std::size_t>(len));
  len = listxattr(from.c_str(), names.data(), names.size());
  if (len <= 0) return;
  for (std::size_t i = 0; i < static_cast<std::size_t>(len);) {
    std::string name(&names[i]);
    i += name.size() + 1;
    if (name.rfind("user.", 0) != 0 || name == kDosAttribName) continue;
    ssize_t vlen = getxattr(from.c_str(), name.c_str(), nullptr, 0);
    if (vlen < 0 || vlen > 65536) continue;
    std::vector<char> value(static_cast<std::size_t>(vlen) + 1);
    vlen = getxattr(from.c_str(), name.c_str(), value.data(), value.size());
    if (vlen >= 0) fsetxattr(toFd, name.c_str(), value.data(), static_cast<std::size_t>(vlen), 0);
  }
}

constexpr const char* kTempMarker = ".tmp-";

std::string TempPrefix(const fs::path& target) {
  return "." + target.filename().string() + kTempMarker;
}

}  // namespace

// Siblings that a killed run of this or another process left behind: their
// process is gone, so nobody will rename them any more.
void RemoveStaleSiblings(const fs::path& target) {
  const std::string folder = ParentOf(target.string());
  const std::string prefix = TempPrefix(target);
  DIR* dir = opendir(folder.c_str());
  if (!dir) return;
  while (const dirent* entry = readdir(dir)) {
    std::string_view name = entry->d_name;
    if (name.size() <= prefix.size() || name.substr(0, prefix.size()) != prefix) continue;
    std::string_view digits = name.substr(prefix.size());
    if (digits.find_first_not_of("0123456789") != std::string_view::npos || digits.size() > 9)
      continue;
    pid_t pid = static_cast<pid_t>(std::atol(std::string(digits).c_str()));
    if (pid <= 0 || pid == getpid() || kill(pid, 0) == 0 || errno != ESRCH) continue;
    unlinkat(dirfd(dir), entry->d_name, 0);
  }
  closedir(dir);
}


Status WriteFileAtomically(const std::string& path, const std::string& bytes,
                           const std::string& attributesFrom) {
  // What the name stands for: nothing yet, a regular file, or an allowed
  // link whose target is then the file replaced.
  std::string name = path;
  auto behind = FileBehind(path, Links::SameOwnerHere);
  if (behind)
    name = *behind;
  else if (behind.error().kind != ErrorKind::NotFound)
    return MakeError(ErrorKind::Invalid, "cannot write " + behind.error().message);

  fs::path target(name);
  RemoveStaleSiblings(target);
  std::string temp = (fs::path(ParentOf(name)) / (TempPrefix(target) + std::to_string(getpid())))
                         .string();
  const std::string& source = attributesFrom.empty() ? name : attributesFrom;
  struct stat old {};
  bool hadOld = stat(source.c_str(), &old) == 0 && S_ISREG(old.st_mode);
  // The owner is the replaced file's own; a new file is the writer's.
  struct stat replaced {};
  bool hadTarget = lstat(name.c_str(), &replaced) == 0 && S_ISREG(replaced.st_mode);
  // O_EXCL and O_NOFOLLOW: never write through a link planted under the
  // temporary name. A file of that name is left by a crash of this very
  // process id only, and goes.
  int fd = open(temp.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_NOFOLLOW | O_CLOEXEC, 0644);
  if (fd < 0 && errno == EEXIST && unlink(temp.c_str()) == 0)
    fd = open(temp.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_NOFOLLOW | O_CLOEXEC, 0644);
  if (fd < 0) return IoError("cannot write", path, errno);
  int failure = 0;
  std::size_t done = 0;
  while (done < bytes.size() && failure == 0) {
    ssize_t n = write(fd, bytes.data() + done, bytes.size() - done);
    if (n < 0 && errno == EINTR) continue;
    if (n <= 0)
      failure = n < 0 ? errno : EIO;
    else
      done += static_cast<std::size_t>(n);
  }
  // Owner first (a change of owner clears the set-id bits), then the
  // attributes while the file is still writable, the mode last.
  if (failure == 0 && hadTarget && fchown(fd, replaced.st_uid, replaced.st_gid) != 0 &&
      fchown(fd, static_cast<uid_t>(-1), replaced.st_gid) != 0) {
    // Not ours to give away: the file stays the writer's, as a new one would.
  }
  if (failure == 0 && hadOld) {
    CopyUserXattrs(source, fd);
    CarryAttributes(source, temp);
    fchmod(fd, old.st_mode & 07777);
  }
  if (failure == 0 && fsync(fd) != 0) failure = errno;
  if (close(fd) != 0 && failure == 0) failure = errno;
  // The last look before the rename: a FIFO or device put there meanwhile
  // is not replaced either.
  struct stat now {};
  if (failure == 0 && lstat(name.c_str(), &now) == 0 && !S_ISREG(now.st_mode)) {
    unlink(temp.c_str());
    return MakeError(ErrorKind::Invalid, "cannot write " + NotAFile(path, now.st_mode).message);
  }
  if (failure == 0 && rename(temp.c_str(), name.c_str()) != 0) failure = errno;
  if (failure != 0) {
    unlink(temp.c_str());
    return IoError("cannot write", path, failure);
  }
  int dir = open(ParentOf(name).c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
  if (dir >= 0) {
    fsync(dir);
    close(dir);
  }
  return Ok{};
}

bool ReplaceFileAtomically(const std::string& path, const std::string& bytes) {
  return WriteFileAtomically(path, bytes).ok();
}

FileLock::FileLock(const std::string& path) {
  fd_ = open(path.c_str(), O_RDWR | O_CREAT | O_NOFOLLOW | O_NONBLOCK | O_CLOEXEC, 0600);
  if (fd_ < 0) return;
  struct stat st {};
  if (fstat(fd_, &st) != 0 || !S_ISREG(st.st_mode)) {
    close(fd_);
    fd_ = -1;
    return;
  }
  while (flock(fd_, LOCK_EX) != 0) {
    if (errno != EINTR) {
      close(fd_);
      fd_ = -1;
      return;
    }
  }
}

FileLock::~FileLock() {
  if (fd_ >= 0) close(fd_);
}

FolderFileLock::FolderFileLock(const std::string& folder) {
  fd_ = open(folder.empty() ? "." : folder.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
  if (fd_ < 0) return;
  while (flock(fd_, LOCK_EX) != 0) {
    if (errno != EINTR) {
      close(fd_);
      fd_ = -1;
      return;
    }
  }
}

}  // namespace plumage::platform
