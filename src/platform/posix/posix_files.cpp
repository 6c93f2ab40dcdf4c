#include "platform/posix/posix_files.h"

#include <fcntl.h>
#include <pwd.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <sys/xattr.h>
#include <unistd.h>

#include <cerrno>
#include <cstdlib>
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

bool WriteAll(int fd, const std::string& bytes) {
  std::size_t done = 0;
  while (done < bytes.size()) {
    ssize_t n = write(fd, bytes.data() + done, bytes.size() - done);
    if (n < 0 && errno == EINTR) continue;
    if (n <= 0) return false;
    done += static_cast<std::size_t>(n);
  }
  return true;
}

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

}  // namespace

bool ReplaceFileAtomically(const std::string& path, const std::string& bytes) {
  namespace fs = std::filesystem;
  fs::path target(path);
  std::string temp = (target.parent_path() / ("." + target.filename().string() + ".tmp-" +
                                              std::to_string(getpid())))
                         .string();
  struct stat old {};
  bool hadOld = stat(path.c_str(), &old) == 0;
  int fd = open(temp.c_str(), O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, 0644);
  if (fd < 0) return false;
  bool ok = WriteAll(fd, bytes);
  if (ok && hadOld) {
    fchmod(fd, old.st_mode & 07777);
    CopyUserXattrs(path, fd);
  }
  ok = ok && fsync(fd) == 0;
  ok = close(fd) == 0 && ok;
  if (ok) ok = rename(temp.c_str(), path.c_str()) == 0;
  if (!ok) {
    unlink(temp.c_str());
    return false;
  }
  int dir = open(target.parent_path().empty() ? "." : target.parent_path().c_str(),
                 O_RDONLY | O_DIRECTORY | O_CLOEXEC);
  if (dir >= 0) {
    fsync(dir);
    close(dir);
  }
  return true;
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
