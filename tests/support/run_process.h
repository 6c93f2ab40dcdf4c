// Runs a program (no shell) and collects its exit status and output. Every
// program a test starts goes through here, so that none of them ever sees
// the real home.
#pragma once

#include <chrono>
#include <string>
#include <vector>

namespace plumage::test {

struct ProcessResult {
  int exitCode = -1;  // 128 + the signal for a process killed
  std::string out;
  std::string err;
  bool timedOut = false;  // killed when its time ran out
};

// The environment a started program gets: the test's own, with `extra`
// ("NAME=value") over it. HOME and the XDG_* folders are a private folder
// of the test binary's unless the test's own already lie in the temporary
// folder or `extra` names them; no session bus is reachable unless `extra`
// gives one. A HOME or XDG_* folder outside the temporary folder is
// refused: the result is then empty.
std::vector<std::string> ProcessEnvironment(const std::vector<std::string>& extra = {});

ProcessResult RunProcess(const std::vector<std::string>& argv,
                         const std::vector<std::string>& env = {},
                         std::chrono::seconds timeout = std::chrono::seconds(300));

// Starts a program and returns its pid without waiting; WaitProcess collects it.
int StartProcess(const std::vector<std::string>& argv, const std::vector<std::string>& env = {});
int WaitProcess(int pid);

}  // namespace plumage::test
