// Files through kernel32: GetFileAttributesW, SetFileAttributesW, CopyFileW,
// DeleteFileW, and FindFirstFileW listings filtered by the program's own
// wildcard and attribute rules (the system's matching also matches short
// 8.3 names, which the program never shows).
#pragma once

#include "platform/files.h"

namespace plumage::platform {

class Win32FileSystem : public IFileSystem {
 public:
  Result<std::uint32_t> GetAttributes(const std::string& path) override;
  Status SetAttributes(const std::string& path, std::uint32_t attributes) override;
  bool FileExists(const std::string& path) override;
  Status Remove(const std::string& path) override;
  Status Copy(const std::string& from, const std::string& to) override;
  Result<std::vector<std::string>> List(const std::string& folder, const std::string& pattern,
                                        std::uint32_t include) override;
  // The root of a volume: a drive ("C:\"), a share or a folder a volume is
  // mounted on (GetVolumePathNameW gives the path back).
  bool IsDriveRoot(const std::string& folder) override;
  // The volume's root by GetVolumePathNameW, its kind by GetDriveTypeW
  // (removable, remote; a UNC path is a share whatever the system says) and
  // its file system by GetVolumeInformationW. Windows keeps the attributes
  // itself: AttributeStore::Native.
  Result<VolumeInfo> DescribeVolume(const std::string& path) override;
  // Through ReadWholeFile and WriteFileAtomically (win32_files.h).
  Result<std::string> LoadFile(const std::string& path, std::size_t maxBytes) override;
  Status StoreFile(const std::string& path, const std::string& bytes) override;
};

}  // namespace plumage::platform
