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

// `env` ("NAME=value") goes over the test's own environment; HOME and the
// XDG_* folders are private ones unless it names them (run_process.cpp).
ProcessResult RunProcess(const std::vector<std::string>& argv,
                         const std::vector<std::string>& env = {},
                         std::chrono::seconds timeout = std::chrono::seconds(300));

// Starts a program and returns its pid without waiting; WaitProcess collects it.
int StartProcess(const std::vector<std::string>& argv, const std::vector<std::string>& env = {});
int WaitProcess(int pid);

}  // namespace plumage::test
