// The Linux side of IFileSystem.
//
// Attributes on Linux: Directory is the file type; the others are kept
// where the file's volume keeps them (volumes.h). On Linux file systems
// Read-only is the absence of every write permission bit (so it means the
// same for root) and Hidden, System and Archive live in the extended
// attribute user.DOSATTRIB in the text form Wine writes ("0x6"), Samba's
// binary form read as well. NTFS, FAT and SMB mounts hold all four in
// their own attribute word. Nothing is made up: a volume that cannot store
// an attribute fails the call, naming the attribute, the file and the
// volume.
#pragma once

#include <string>
#include <string_view>
#include <vector>

#include "platform/files.h"

namespace plumage::platform {

class PosixFileSystem : public IFileSystem {
 public:
  Result<std::uint32_t> GetAttributes(const std::string& path) override;
  Status SetAttributes(const std::string& path, std::uint32_t attributes) override;
  bool FileExists(const std::string& path) override;
  Status Remove(const std::string& path) override;
  Status Copy(const std::string& from, const std::string& to) override;
  Result<std::vector<std::string>> List(const std::string& folder, const std::string& pattern,
                                        std::uint32_t include) override;
  // A drive root is the root of a mounted file system: "/" and every mount
  // point the kernel lists (/proc/self/mountinfo), the place where a
  // Windows machine would see a drive. A name ending in ':' is an ordinary
  // folder here (':' is a legal character in a Linux name), and a btrfs
  // subvolume that is not mounted on its own is no drive either.
  bool IsDriveRoot(const std::string& folder) override;
  // ReadRegularFile and WriteFileAtomically: links to a file are followed
  // for reading (the user named it), for writing only as FileBehind allows.
  Result<std::string> LoadFile(const std::string& path, std::size_t maxBytes) override;
  Status StoreFile(const std::string& path, const std::string& bytes) override;
  // The volume from /proc/self/mountinfo, statfs and what its files
  // answer (volumes.h).
  Result<VolumeInfo> DescribeVolume(const std::string& path) override;
  // An flock on the folder itself.
  std::unique_ptr<FolderLock> LockFolder(const std::string& folder) override;

  // The mount points of a /proc/self/mountinfo text, octal escapes undone.
  static std::vector<std::string> MountPoints(std::string_view mountinfo);
};

}  // namespace plumage::platform
