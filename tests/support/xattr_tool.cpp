#include "support/xattr_tool.h"

#include "support/run_process.h"

namespace plumage::test {

std::optional<std::string> GetfattrValue(const std::string& path, const std::string& name) {
  ProcessResult run =
      RunProcess({"/usr/bin/getfattr", "--only-values", "--absolute-names", "-n", name, path});
  if (run.exitCode != 0) return std::nullopt;
  return run.out;
}

bool Setfattr(const std::string& path, const std::string& name, const std::string& value) {
  return RunProcess({"/usr/bin/setfattr", "-n", name, "-v", value, path}).exitCode == 0;
}

}  // namespace plumage::test
