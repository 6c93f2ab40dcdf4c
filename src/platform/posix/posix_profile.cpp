#include "platform/posix/posix_profile.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstdlib>
#include <cstring>

#include "platform/posix/posix_files.h"
#include "platform/profile_engine.h"

namespace plumage::platform {
namespace {

Error FileError(const std::string& path, const std::string& what) {
  return MakeError(ErrorKind::Io, "cannot write " + path + ": " + what);
}

// The whole file, at most kMaxProfileBytes.
Status ReadProfile(const std::string& path, std::string& bytes) {
  int fd = open(path.c_str(), O_RDONLY | O_NONBLOCK | O_CLOEXEC);
  if (fd < 0) return FileError(path, std::strerror(errno));
  struct stat st {};
  if (fstat(fd, &st) != 0 || !S_ISREG(st.st_mode)) {
    close(fd);
    return FileError(path, "it is not a file");
  }
  bytes.clear();
  char buf[65536];
  for (;;) {
    ssize_t n = read(fd, buf, sizeof buf);
    if (n < 0 && errno == EINTR) continue;
    if (n < 0) {
      int code = errno;
      close(fd);
      return FileError(path, std::strerror(code));
    }
    if (n == 0) break;
    if (static_cast<std::size_t>(n) > kMaxProfileBytes - bytes.size()) {
      close(fd);
      return FileError(path, "it is larger than " + std::to_string(kMaxProfileBytes >> 20) +
                                 " MiB, which no INI file is");
    }
    bytes.append(buf, static_cast<std::size_t>(n));
  }
  close(fd);
  return Ok{};
}

}  // namespace

std::uint32_t PosixPrivateProfile::GetString(const std::string& section, const std::string& key,
                                             const std::string& defaultValue,
                                             std::span<char> buffer, const std::string& file) {
  std::string bytes;
  // A file that cannot be read reads as an empty one: the default.
  if (!ReadProfile(file, bytes)) bytes.clear();
  return ProfileText(bytes).GetString(section, key, defaultValue, buffer);
}

Status PosixPrivateProfile::WriteString(const std::string& section, const std::string& key,
                                        const std::string& value, const std::string& path) {
  // A link is followed: its target is the file that is rewritten, and the
  // link stays a link.
  std::string file = path;
  struct stat link {};
  if (lstat(path.c_str(), &link) == 0 && S_ISLNK(link.st_mode)) {
    if (char* target = realpath(path.c_str(), nullptr)) {
      file = target;
      std::free(target);
    }
  }
  std::string bytes;
  struct stat st {};
  if (stat(file.c_str(), &st) == 0) {
    if (!S_ISREG(st.st_mode)) return FileError(file, "it is not a file");
    if ((st.st_mode & (S_IWUSR | S_IWGRP | S_IWOTH)) == 0)
      return FileError(file, "it is read-only");
    if (auto read = ReadProfile(file, bytes); !read) return read.error();
  } else if (errno != ENOENT) {
    return FileError(file, std::strerror(errno));
  }
  auto edited = ProfileText(bytes).Set(section, key, value);
  if (!edited) return FileError(file, edited.error().message);
  if (!edited.value()) return Ok{};  // it holds that value already
  return WriteFileAtomically(file, *edited.value());
}

}  // namespace plumage::platform
