// Runs another program without a shell and collects what it printed.
#pragma once

#include <string>
#include <vector>

namespace plumage::test {

struct ProgramRun {
  int exitCode = -1;  // -1 when it could not be started or did not exit
  std::string out;
  std::string err;
};

// argv[0] is looked up in PATH when it holds no '/'. `environment` entries
// ("NAME=value") are added to the test's own environment.
ProgramRun RunProgram(const std::vector<std::string>& argv,
                      const std::vector<std::string>& environment = {});

}  // namespace plumage::test

#include <optional>

namespace plumage::test {

// An extended attribute's value as getfattr (Debian's attr) reads it: a
// reader independent of the program. Nothing when it has no such attribute.
std::optional<std::string> GetfattrValue(const std::string& path, const std::string& name);

}  // namespace plumage::test
