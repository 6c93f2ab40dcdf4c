// Small file helpers of the Linux platform layer.
#pragma once

#include <string>

#include "platform/result.h"

namespace plumage::platform {

// $HOME, else the password database's home folder.
std::string HomeFolder();

// The whole file; false when it cannot be read.
bool ReadWholeFile(const std::string& path, std::string& bytes);

// Writes a sibling, flushes it to disk and renames it over `path`, so the
// file is either complete or untouched. An existing file's permissions,
// owner (where the caller may give it), user.* extended attributes and, on
// a FAT volume, DOS attributes carry over.
bool ReplaceFileAtomically(const std::string& path, const std::string& bytes);

// The same, saying what failed and where. The permissions and attributes
// come from `attributesFrom` when it is given and exists (a copy takes its
// source's), else from the file being replaced.
Status WriteFileAtomically(const std::string& path, const std::string& bytes,
                           const std::string& attributesFrom = {});

// An exclusive flock on a lock file, held for the object's lifetime.
class FileLock {
 public:
  explicit FileLock(const std::string& path);
  ~FileLock();
  FileLock(const FileLock&) = delete;
  FileLock& operator=(const FileLock&) = delete;
  bool held() const { return fd_ >= 0; }

 private:
  int fd_ = -1;
};

}  // namespace plumage::platform
