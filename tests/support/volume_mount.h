// Real volumes for the tests: an image made by mkntfs or mkfs.*, mounted
// on a temporary folder, and unmounted (its loop device detached) however
// the test ends.
#pragma once

#include <filesystem>
#include <optional>
#include <string>
#include <vector>

namespace plumage::test {

// The absolute path of a system tool (the sbin and bin folders), or "".
std::string FindTool(const std::string& name);

// Why this test process cannot mount a volume of `type` ("vfat", "cifs",
// or "fuse" for a FUSE driver) with `tools`, or nothing: mounting needs
// root, a kernel that lists the file system (and /dev/fuse for FUSE), and
// every tool installed.
std::optional<std::string> WhyCannotMount(const std::string& type,
                                          const std::vector<std::string>& tools = {});

// An empty image file of `mebibytes` made by `mkfs` (its arguments before
// the image's path); false, with the tool's words in `why`, when it failed.
bool MakeImage(const std::vector<std::string>& mkfs, const std::filesystem::path& image,
               unsigned mebibytes, std::string* why);

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
