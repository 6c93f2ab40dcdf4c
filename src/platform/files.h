// Files as the program asks for them: the attributes with their Windows
// numbers, copy, delete, a folder listed by a wildcard, and the one question
// the descriptor write asks of the volumes (is this folder a drive root).
#pragma once

#include <cstddef>
#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "base/result.h"

namespace plumage::platform {

// The standard file attribute numbers.
inline constexpr std::uint32_t kAttributeNormal = 0;
inline constexpr std::uint32_t kAttributeReadOnly = 1;
inline constexpr std::uint32_t kAttributeHidden = 2;
inline constexpr std::uint32_t kAttributeSystem = 4;
inline constexpr std::uint32_t kAttributeDirectory = 16;
inline constexpr std::uint32_t kAttributeArchive = 32;
// Every attribute the program reads or sets.
inline constexpr std::uint32_t kAttributeMask = kAttributeReadOnly | kAttributeHidden |
                                                kAttributeSystem | kAttributeDirectory |
                                                kAttributeArchive;

// How a volume keeps the DOS attributes (Hidden, System, Archive) of its
// files, which decides what a Windows machine that reads the volume sees.
enum class AttributeStore {
  Native,         // Windows itself: the file system's own attributes
  DosAttrib,      // Linux file systems: the user.DOSATTRIB extended attribute (Samba, Wine)
  Ntfs,           // NTFS through ntfs-3g or ntfs3: the real NTFS attributes
  Fat,            // FAT: the attribute byte of the directory entry
  Smb,            // a share mounted from a server: the server's attributes
  None,           // nowhere: Hidden, System and Archive cannot be stored
};

// The volume a path lies on.
struct VolumeInfo {
  std::string type;  // the file system as the system names it ("ext4", "ntfs", "vfat", "cifs", "NTFS")
  AttributeStore attributes = AttributeStore::None;
  bool removable = false;  // a USB stick, a memory card
  bool network = false;    // a share of another machine
};

// The name of an attribute store for messages ("user.DOSATTRIB", "NTFS", ...).
const char* AttributeStoreName(AttributeStore store);

// A claim on a folder, released when the object goes.
class FolderLock {
 public:
  virtual ~FolderLock() = default;
};

class IFileSystem {
 public:
  virtual ~IFileSystem() = default;

  // The attributes of a file or folder (GetAttr): a sum of the numbers
  // above. Fails when the path does not exist or cannot be examined.
  virtual Result<std::uint32_t> GetAttributes(const std::string& path) = 0;

  // Sets Read-only, Hidden, System and Archive (SetAttr); Directory is the
  // kind of the path and is ignored, as Windows ignores it. An attribute the
  // file system cannot store fails the call, saying which and where; what
  // could be set before that stays set.
  virtual Status SetAttributes(const std::string& path, std::uint32_t attributes) = 0;

  // True when the path names an existing file (not a folder).
  virtual bool FileExists(const std::string& path) = 0;

  // Deletes a file (Kill).
  virtual Status Remove(const std::string& path) = 0;

  // Copies a file over another, which is replaced whole or left as it was
  // (FileCopy).
  virtual Status Copy(const std::string& from, const std::string& to) = 0;

  // The names in `folder` that match `pattern` ("*.EXE": '*' any run of
  // characters, '?' one, letter case ignored), in the order the file system
  // gives them (Dir). Hidden and System files and folders are left out
  // unless `include` holds kAttributeHidden, kAttributeSystem or
  // kAttributeDirectory, as Dir's attribute argument does. "." and ".." are
  // never listed.
  virtual Result<std::vector<std::string>> List(const std::string& folder,
                                                const std::string& pattern,
                                                std::uint32_t include) = 0;

  // True when the folder is the root of a drive, whose icon goes into
  // AUTORUN.INF instead of DESKTOP.INI.
  virtual bool IsDriveRoot(const std::string& folder) = 0;

  // The whole of a regular file of at most maxBytes, read without
  // blocking on a FIFO. NotFound when there is nothing of that name.
  virtual Result<std::string> LoadFile(const std::string& path, std::size_t maxBytes) {
    return MakeError(ErrorKind::Unsupported, "cannot read " + path + " (maxBytes " +
                                                 std::to_string(maxBytes) + ") here");
  }

  // Puts `bytes` in place of the file at `path` in one replace: the file is
  // complete or untouched. Only a regular file (or nothing) is replaced;
  // a device, a FIFO, a folder or a link to another owner's file is left
  // as it was and the call fails, naming it.
  virtual Status StoreFile(const std::string& path, const std::string& /*bytes*/) {
    return MakeError(ErrorKind::Unsupported, "cannot write " + path + " here");
  }

  // Held while a folder's descriptor and attributes are read and changed,
  // so that two runs on one folder follow one another and the last one
  // wins whole. Nothing (and no wait) where the system has no such lock.
  virtual std::unique_ptr<FolderLock> LockFolder(const std::string& /*folder*/) { return nullptr; }

  // The volume that holds `path` (an existing file or folder).
  virtual Result<VolumeInfo> DescribeVolume(const std::string& path) {
    return MakeError(ErrorKind::Unsupported, "cannot tell the volume of " + path + " here");
  }
};

// Dir's wildcard test: '*' matches any run of characters (none too), '?'
// exactly one, everything else itself without regard to case (ASCII and the
// Latin-1 letters of UTF-8 names). "*.*" matches every name, with or without
// a dot, as it does on Windows.
bool MatchesWildcard(const std::string& name, const std::string& pattern);

}  // namespace plumage::platform
