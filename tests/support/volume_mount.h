// Real volumes for the tests: an image made by mkntfs or mkfs.*, mounted
// on a temporary folder, and unmounted (its loop device detached) however
// the test ends.
#pragma once

#include <cstdint>
#include <filesystem>
#include <optional>
#include <string>
#include <vector>

namespace plumage::test {

// The absolute path of a system tool (the sbin and bin folders), or "".
std::string FindTool(const std::string& name);

// True when /proc/filesystems lists the file system (the kernel can mount
// it without a module loaded first).
bool KernelHasFileSystem(const std::string& type);

// Why this test process cannot mount here, or nothing: mounting needs root,
// and a FUSE mount /dev/fuse.
std::optional<std::string> WhyCannotMount(bool fuse);

// An empty image file of `mebibytes` made by `mkfs` (its arguments before
// the image's path); false, with the tool's words in `why`, when it failed.
bool MakeImage(const std::vector<std::string>& mkfs, const std::filesystem::path& image,
               unsigned mebibytes, std::string* why);

// The first 4 bytes of an extended attribute as getfattr reads it in hex,
// as a big-endian number (system.ntfs_attrib_be), or nothing when absent.
std::optional<std::uint32_t> GetfattrWord(const std::string& path, const std::string& name);

class MountGuard {
 public:
  MountGuard() = default;
  ~MountGuard();
  MountGuard(const MountGuard&) = delete;
  MountGuard& operator=(const MountGuard&) = delete;

  // A loop device over the image, detached when the guard goes; "" (and
  // `why`) when none could be had.
  std::string AttachLoop(const std::filesystem::path& image, std::string* why);

  // Runs a mount command (mount, ntfs-3g, mount.exfat-fuse...) that mounts
  // on `point`; from then on the guard unmounts it. False, with the
  // command's words in `why`, when nothing was mounted.
  bool Mount(const std::vector<std::string>& argv, const std::filesystem::path& point,
             std::string* why);

  // Unmounts and detaches now (the destructor does it otherwise).
  void Release();

 private:
  std::filesystem::path point_;
  std::string loop_;
};

}  // namespace plumage::test
