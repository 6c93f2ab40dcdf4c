// plumagectl's progress bar on a terminal: each step's bar only moves
// forward, though the octree reports its leaves by slot number after its
// rows. `script` gives the command a terminal.
#include <gtest/gtest.h>

#include <map>
#include <regex>
#include <vector>

#include "support/run_process.h"
#include "support/temp_dir.h"

namespace plumage::test {
namespace {

TEST(ProgressBar, EachStepOnlyMovesForward) {
  TempDir dir;
  const std::string command = std::string(PLUMAGECTL_PATH) + " palette optimal " +
                              PLUMAGE_SOURCE_DIR "/tests/cli/transcripts/data/noise.bmp " +
                              dir.str() + "/out.pal";
  ProcessResult run = RunProcess({"/usr/bin/script", "-qec", command, "/dev/null"});
  ASSERT_EQ(run.exitCode, 0) << run.out << run.err;

  std::map<int, std::vector<int>> percents;  // by step
  const std::regex draw(R"(step (\d+) \[[#. ]*\] +(\d+)%)");
  for (auto it = std::sregex_iterator(run.out.begin(), run.out.end(), draw);
       it != std::sregex_iterator(); ++it)
    percents[std::stoi((*it)[1])].push_back(std::stoi((*it)[2]));
  ASSERT_FALSE(percents.empty()) << "no progress bar on the terminal:\n" << run.out;
  for (const auto& [step, seen] : percents) {
    for (std::size_t i = 1; i < seen.size(); ++i)
      EXPECT_GT(seen[i], seen[i - 1]) << "step " << step << " went from " << seen[i - 1] << "% to "
                                      << seen[i] << "%";
  }
}

}  // namespace
}  // namespace plumage::test
