// plumagectl's progress bar on a terminal: each step's bar only moves
// forward, though the octree reports its leaves by slot number after its
// rows. `script` gives the command a terminal.
#include <gtest/gtest.h>

#include <cstdint>
#include <fstream>
#include <map>
#include <regex>
#include <vector>

#include "support/run_process.h"
#include "support/temp_dir.h"

namespace plumage::test {
namespace {

// A 24-bit BMP of w × h pixels with many colours, bottom row first.
void WriteColourfulBmp(const std::string& path, int w, int h) {
  const int stride = (w * 3 + 3) & ~3;
  std::vector<std::uint8_t> out;
  auto u16 = [&out](std::uint32_t v) {
    for (int i = 0; i < 2; ++i) out.push_back(static_cast<std::uint8_t>(v >> (8 * i)));
  };
  auto u32 = [&out](std::uint32_t v) {
    for (int i = 0; i < 4; ++i) out.push_back(static_cast<std::uint8_t>(v >> (8 * i)));
  };
  out.push_back('B');
  out.push_back('M');
  u32(static_cast<std::uint32_t>(54 + stride * h));
  u32(0);
  u32(54);
  u32(40);
  u32(static_cast<std::uint32_t>(w));
  u32(static_cast<std::uint32_t>(h));
  u16(1);
  u16(24);
  for (int i = 0; i < 6; ++i) u32(0);
  for (int y = 0; y < h; ++y) {
    for (int x = 0; x < w; ++x) {
      out.push_back(static_cast<std::uint8_t>(x * 37 + y * 11));
      out.push_back(static_cast<std::uint8_t>(y * 53 + x * 3));
      out.push_back(static_cast<std::uint8_t>((x ^ y) * 29));
    }
    for (int pad = w * 3; pad < stride; ++pad) out.push_back(0);
  }
  std::ofstream(path, std::ios::binary).write(reinterpret_cast<const char*>(out.data()),
                                              static_cast<std::streamsize>(out.size()));
}

TEST(ProgressBar, EachStepOnlyMovesForward) {
  TempDir dir;
  const std::string in = dir.str() + "/in.bmp";
  WriteColourfulBmp(in, 96, 80);
  const std::string command =
      std::string(PLUMAGECTL_PATH) + " palette optimal " + in + " " + dir.str() + "/out.pal";
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
