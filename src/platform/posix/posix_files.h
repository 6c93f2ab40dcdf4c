// The one way the Linux build opens, reads and replaces files.
//
// Plumage is run by administrators on other people's folders and by scripts
// in parallel, so every file it reads or writes goes through here:
// - opened without following a link at the last step and without blocking
//   (a FIFO answers at once), then checked to be a regular file of a bounded
//   size before a byte is read;
// - replaced by a sibling written in full, flushed and renamed over the
//   name once, and only over a regular file or nothing: a device, a FIFO or
//   a folder in its place is left as it was;
// - a link in the place of a file is followed only when it is its owner's
//   link to a regular file of the same owner in the same folder (Windows
//   follows such links, and a user may keep one on purpose); a link into
//   another folder or another owner's file is refused, naming it.
#pragma once

#include <cstddef>
#include <filesystem>
#include <string>

#include "base/result.h"

namespace plumage::platform {

// $HOME, else the password database's home folder.
std::string HomeFolder();

// Which links stand for the file they point to.
enum class Links {
  Follow,         // an input the user named: any link to a regular file
  SameOwnerHere,  // a file the program manages: see the rule above
};

// The largest file read whole unless a caller says otherwise; our own
// stores and descriptors are a few kilobytes.
inline constexpr std::size_t kMaxWholeFileBytes = 16u << 20;

// The file a name stands for: the name itself (a regular file, or nothing
// there yet: NotFound), or the target of an allowed link. Anything else is
// an error that names it.
Result<std::string> FileBehind(const std::string& path, Links links);

// The whole of a regular file, at most maxBytes; NotFound when there is none.
Result<std::string> ReadRegularFile(const std::string& path,
                                    std::size_t maxBytes = kMaxWholeFileBytes,
                                    Links links = Links::SameOwnerHere);

// The whole file; false when it cannot be read (see ReadRegularFile).
bool ReadWholeFile(const std::string& path, std::string& bytes);

// Writes a sibling, flushes it to disk and renames it over `path`, so the
// file is either complete or untouched. An existing file's permissions,
// owner (where the caller may give it), user.* extended attributes and DOS
// attributes (each volume's way: CarryAttributes in volumes.h) carry over;
// they come from `attributesFrom` when it is given and exists (a copy takes
// its source's). A sibling left by a run that was killed is removed.
// Removes the siblings (.NAME.tmp-PID) that killed runs left beside a file:
// their process is gone, so nobody will rename them any more.
void RemoveStaleSiblings(const std::filesystem::path& target);

Status WriteFileAtomically(const std::string& path, const std::string& bytes,
                           const std::string& attributesFrom = {});
bool ReplaceFileAtomically(const std::string& path, const std::string& bytes);

// An exclusive flock on a lock file, held for the object's lifetime.
class FileLock {
 public:
  explicit FileLock(const std::string& path);
  ~FileLock();
  FileLock(const FileLock&) = delete;
  FileLock& operator=(const FileLock&) = delete;
  bool held() const { return fd_ >= 0; }

 protected:
  FileLock() = default;
  int fd_ = -1;
};

// An exclusive flock on a folder itself: the read-modify-write of a
// folder's descriptor and attributes holds it, so concurrent runs follow
// one another. Where the file system has no locks, nothing is held.
class FolderFileLock : public FileLock {
 public:
  explicit FolderFileLock(const std::string& folder);
};

}  // namespace plumage::platform
