// Runs a program (no shell) and collects its exit status and output.
#pragma once

#include <string>
#include <vector>

namespace plumage::test {

struct ProcessResult {
  int exitCode = -1;
  std::string out;
  std::string err;
};

// `env` entries ("NAME=value") are added to the test's own environment.
// HOME and the XDG_* folders are a private folder of the test binary's
// unless `env` names them, and no session bus is reachable unless `env`
// gives one.
ProcessResult RunProcess(const std::vector<std::string>& argv,
                         const std::vector<std::string>& env = {});

// Starts a program and returns its pid without waiting; WaitProcess collects it.
int StartProcess(const std::vector<std::string>& argv, const std::vector<std::string>& env = {});
int WaitProcess(int pid);

}  // namespace plumage::test
