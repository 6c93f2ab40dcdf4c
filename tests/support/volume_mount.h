// Real volumes for the tests: an image made by mkfs.*, mounted on a
// temporary folder (mount -o loop detaches its loop device at the unmount),
// and unmounted however the test ends.
#pragma once

#include <filesystem>
#include <optional>
#include <string>
#include <vector>

namespace plumage::test {

// The absolute path of a system tool (the sbin and bin folders), or "".
std::string FindTool(const std::string& name);

// Why this test process cannot mount a volume of `type` ("vfat", "cifs")
// with `tools`, or nothing: mounting needs root, a kernel that lists the
// file system, and every tool installed.
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

  // Runs a mount command (mount -t cifs, mount -o loop...) that mounts
  // on `point`; from then on the guard unmounts it. False, with the
  // command's words in `why`, when nothing was mounted.
  bool Mount(const std::vector<std::string>& argv, const std::filesystem::path& point,
             std::string* why);

 private:
  std::filesystem::path point_;
};

}  // namespace plumage::test
