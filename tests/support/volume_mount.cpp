#include "support/volume_mount.h"

#include <unistd.h>

#include <fstream>

#include "support/run_process.h"

namespace plumage::test {

namespace fs = std::filesystem;

std::string FindTool(const std::string& name) {
  for (const char* dir : {"/usr/sbin", "/usr/bin", "/sbin", "/bin"}) {
    const fs::path candidate = fs::path(dir) / name;
    if (access(candidate.c_str(), X_OK) == 0) return candidate.string();
  }
  return {};
}

std::optional<std::string> WhyCannotMount(const std::string& type,
                                          const std::vector<std::string>& tools) {
  if (geteuid() != 0) return "mounting a volume needs root";
  bool listed = false;
  std::ifstream in("/proc/filesystems");
  std::string line;
  while (!listed && std::getline(in, line)) listed = line.substr(line.rfind('\t') + 1) == type;
  if (!listed) return "this kernel has no " + type + " file system";
  for (const std::string& tool : tools)
    if (FindTool(tool).empty()) return "no " + tool + " here";
  return std::nullopt;
}

bool MakeImage(const std::vector<std::string>& mkfs, const fs::path& image, unsigned mebibytes,
               std::string* why) {
  {
    std::ofstream out(image, std::ios::binary);
    out.seekp(static_cast<std::streamoff>(mebibytes) * 1024 * 1024 - 1);
    out.put('\0');
    if (!out) {
      *why = "cannot make " + image.string();
      return false;
    }
  }
  std::vector<std::string> argv = mkfs;
  argv.push_back(image.string());
  ProcessResult run = RunProcess(argv);
  if (run.exitCode == 0) return true;
  *why = argv[0] + " failed: " + run.out + run.err;
  return false;
}

MountGuard::~MountGuard() {
  if (point_.empty()) return;
  // A busy volume is detached lazily rather than left behind.
  if (RunProcess({"/usr/bin/umount", point_.string()}).exitCode != 0)
    RunProcess({"/usr/bin/umount", "-l", point_.string()});
}

bool MountGuard::Mount(const std::vector<std::string>& argv, const fs::path& point,
                       std::string* why) {
  ProcessResult run = RunProcess(argv);
  // A mount that reported failure may still have happened half-way: the
  // guard looks at the folder itself.
  ProcessResult check = RunProcess({"/usr/bin/findmnt", "-n", "-M", point.string()});
  if (check.exitCode == 0) point_ = point;
  if (run.exitCode == 0 && !point_.empty()) return true;
  *why = argv[0] + " did not mount " + point.string() + ": " + run.out + run.err;
  return false;
}

}  // namespace plumage::test
