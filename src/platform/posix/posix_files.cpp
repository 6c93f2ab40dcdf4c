#include "platform/posix/posix_files.h"

#include <fcntl.h>
#include <linux/magic.h>
#include <linux/msdos_fs.h>
#include <pwd.h>
#include <sys/file.h>
#include <sys/ioctl.h>
#include <sys/stat.h>
#include <sys/vfs.h>
#include <sys/xattr.h>
#include <unistd.h>

#include <cerrno>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <vector>

namespace plumage::platform {

std::string HomeFolder() {
  if (const char* home = std::getenv("HOME"); home && *home) return home;
  if (const passwd* pw = getpwuid(getuid()); pw && pw->pw_dir) return pw->pw_dir;
  return "/tmp";
}

bool ReadWholeFile(const std::string& path, std::string& bytes) {
  int fd = open(path.c_str(), O_RDONLY | O_CLOEXEC);
  if (fd < 0) return false;
  struct stat st {};
  if (fstat(fd, &st) != 0 || !S_ISREG(st.st_mode)) {
    close(fd);
    return false;
  }
  bytes.clear();
  char buf[65536];
  for (;;) {
    ssize_t n = read(fd, buf, sizeof buf);
    if (n < 0 && errno == EINTR) continue;
    if (n < 0) {
      close(fd);
      return false;
    }
    if (n == 0) break;
    bytes.append(buf, static_cast<std::size_t>(n));
  }
  close(fd);
  return true;
}

namespace {

// Copies the user.* extended attributes of one file onto another.
void CopyUserXattrs(const std::string& from, int toFd) {
  ssize_t len = listxattr(from.c_str(), nullptr, 0);
  if (len <= 0) return;
  std::vector<char> names(static_cast<std::size_t>(len));
  len = listxattr(from.c_str(), names.data(), names.size());
  if (len <= 0) return;
  for (std::size_t i = 0; i < static_cast<std::size_t>(len);) {
    std::string name(&names[i]);
    i += name.size() + 1;
    if (name.rfind("user.", 0) != 0) continue;
    ssize_t vlen = getxattr(from.c_str(), name.c_str(), nullptr, 0);
    if (vlen < 0) continue;
    std::vector<char> value(static_cast<std::size_t>(vlen) + 1);
    vlen = getxattr(from.c_str(), name.c_str(), value.data(), value.size());
    if (vlen >= 0) fsetxattr(toFd, name.c_str(), value.data(), static_cast<std::size_t>(vlen), 0);
  }
}

// A FAT volume keeps Read-only, Hidden, System and Archive in the directory
// entry, out of reach of extended attributes: carried over by its ioctls.
// Setting System needs CAP_LINUX_IMMUTABLE; without it the copy keeps what
// it can, and the file's attributes then say so.
void CopyFatAttributes(const std::string& from, int toFd) {
  struct statfs fsInfo {};
  if (fstatfs(toFd, &fsInfo) != 0 || fsInfo.f_type != MSDOS_SUPER_MAGIC) return;
  int fromFd = open(from.c_str(), O_RDONLY | O_NONBLOCK | O_CLOEXEC);
  if (fromFd < 0) return;
  __u32 attributes = 0;
  if (ioctl(fromFd, FAT_IOCTL_GET_ATTRIBUTES, &attributes) == 0) {
    attributes &= ATTR_RO | ATTR_HIDDEN | ATTR_SYS | ATTR_ARCH;
    if (ioctl(toFd, FAT_IOCTL_SET_ATTRIBUTES, &attributes) != 0) {
      attributes &= ~static_cast<__u32>(ATTR_SYS);
      ioctl(toFd, FAT_IOCTL_SET_ATTRIBUTES, &attributes);
    }
  }
  close(fromFd);
}

Error IoError(const std::string& what, const std::string& path, int code) {
  return MakeError(ErrorKind::Io, what + " " + path + ": " + std::strerror(code));
}

}  // namespace

Status WriteFileAtomically(const std::string& path, const std::string& bytes,
                           const std::string& attributesFrom) {
  namespace fs = std::filesystem;
  fs::path target(path);
  std::string temp = (target.parent_path() /
                      ("." + target.filename().string() + ".tmp-" + std::to_string(getpid())))
                         .string();
  const std::string& source = attributesFrom.empty() ? path : attributesFrom;
  struct stat old {};
  bool hadOld = stat(source.c_str(), &old) == 0;
  // The owner is the replaced file's own; a new file is the writer's.
  struct stat replaced {};
  bool hadTarget = stat(path.c_str(), &replaced) == 0;
  // O_EXCL and O_NOFOLLOW: never write through a link planted under the
  // temporary name. A stale file of that name is left by a crash of this
  // very process id only, and goes.
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
    CopyFatAttributes(source, fd);
    fchmod(fd, old.st_mode & 07777);
  }
  if (failure == 0 && fsync(fd) != 0) failure = errno;
  if (close(fd) != 0 && failure == 0) failure = errno;
  if (failure == 0 && rename(temp.c_str(), path.c_str()) != 0) failure = errno;
  if (failure != 0) {
    unlink(temp.c_str());
    return IoError("cannot write", path, failure);
  }
  int dir = open(target.parent_path().empty() ? "." : target.parent_path().c_str(),
                 O_RDONLY | O_DIRECTORY | O_CLOEXEC);
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
  fd_ = open(path.c_str(), O_RDWR | O_CREAT | O_CLOEXEC, 0600);
  if (fd_ < 0) return;
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

}  // namespace plumage::platform
