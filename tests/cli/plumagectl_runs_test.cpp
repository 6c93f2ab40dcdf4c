// plumagectl runs that a transcript cannot hold: many at once on one
// settings store or one folder, runs killed half-way, the memory a run
// takes, and the progress bar on a terminal, which prints its times. The
// rest of plumagectl is in the transcripts.
#include <gtest/gtest.h>
#include <signal.h>
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

#include <map>
#include <random>
#include <regex>

#include "support/run_process.h"
#include "support/temp_dir.h"
#include "support/xattr_tool.h"

namespace plumage::test {
namespace {

namespace fs = std::filesystem;

class PlumagectlRuns : public ::testing::Test {
 protected:
  PlumagectlRuns() {
    fs::create_directory(folder);
    fs::copy_file(PLUMAGE_SOURCE_DIR "/tests/cli/transcripts/data/band.ico", icon);
  }
  int Start(std::vector<std::string> args) {
    args.insert(args.begin(), PLUMAGECTL_PATH);
    return StartProcess(args, {"PLUMAGE_CONFIG=" + (dir / "config").string(),
                               "PLUMAGE_HOME=" + (dir / "program").string(), "DISPLAY="});
  }
  int Ctl(std::vector<std::string> args) { return WaitProcess(Start(std::move(args))); }
  // Leftovers of a write: siblings named .NAME.tmp-PID.
  std::vector<std::string> Temporaries() const {
    std::vector<std::string> found;
    for (const auto& entry : fs::directory_iterator(folder))
      if (entry.path().filename().string().find(".tmp-") != std::string::npos)
        found.push_back(entry.path().filename().string());
    return found;
  }

  TempDir dir;
  fs::path folder = dir / "Music";
  fs::path ini = folder / "DESKTOP.INI";
  fs::path icon = dir / "band.ico";
};

// Two writers of the settings store at once: each one's value survives.
TEST_F(PlumagectlRuns, ConcurrentSettingsWritesBothSurvive) {
  ASSERT_EQ(Ctl({"install"}), 0);
  for (int round = 0; round < 15; ++round) {
    const std::string library = "/icons/lib" + std::to_string(round) + ".icl";
    const std::string reminder = round % 2 == 0 ? "off" : "on";
    const int a = Start({"settings", "--default-library", library});
    const int b = Start({"settings", "--reminder", reminder});
    ASSERT_EQ(WaitProcess(a), 0);
    ASSERT_EQ(WaitProcess(b), 0);
    const std::string store = ReadFile(dir / "config" / "registry.reg");
    EXPECT_NE(store.find("\"DefaultLibrary\"=\"" + library + "\"\r\n"), std::string::npos) << store;
    EXPECT_NE(store.find(std::string("\"NoWarning\"=\"") + (round % 2 == 0 ? " 1" : " 0") + "\""),
              std::string::npos)
        << store;
  }
}

// "IconFile" from one command and "IconIndex" from another name no icon:
// whatever the order the runs take, the file ends as one of them left it.
TEST_F(PlumagectlRuns, ConcurrentRunsOnOneFolderEndWithOneRunsPair) {
  std::vector<int> pids;
  for (int i = 0; i < 50; ++i) {
    const fs::path own = dir / ("icon" + std::to_string(i) + ".ico");
    fs::copy_file(icon, own);
    pids.push_back(
        i % 5 == 4 ? Start({"reset", folder.string()})
                   : Start({"set", "--no-copy", folder.string(), own.string(), std::to_string(i)}));
  }
  for (int pid : pids) EXPECT_LT(WaitProcess(pid), 4);
  const std::string text = ReadFile(ini);
  std::smatch m;
  ASSERT_TRUE(std::regex_match(
      text, m, std::regex("\\[\\.ShellClassInfo\\]\r\nIconFile=(.*)\r\nIconIndex=(.*)\r\n")))
      << text;
  if (m[1].str().empty())
    EXPECT_EQ(m[2].str(), "");
  else
    EXPECT_EQ(m[1].str(), (dir / ("icon" + m[2].str() + ".ico")).string());
  EXPECT_EQ(GetfattrValue(folder.string(), "user.DOSATTRIB"),
            m[1].str().empty() ? std::nullopt : std::optional<std::string>("0x4"));
  EXPECT_EQ(GetfattrValue(ini.string(), "user.DOSATTRIB"), "0x6");
  EXPECT_EQ(Temporaries(), std::vector<std::string>{});
}

// Runs killed at random moments leave the old file or the new one, never a
// mix; what a killed run left behind goes with the next write.
TEST_F(PlumagectlRuns, KilledRunsNeverLeaveAMixedPairAndTheNextRunCleansUp) {
  std::mt19937 random(20261207);
  std::uniform_int_distribution<int> delayUs(0, 30000);
  fs::copy_file(icon, dir / "a.ico");
  fs::copy_file(icon, dir / "b.ico");
  // Index 2 of a one-icon file: written, with a warning that the file
  // managers have no such icon; the pair tells the runs apart.
  const std::string a = "IconFile=" + (dir / "a.ico").string() + "\r\nIconIndex=2\r\n";
  const std::string b = "IconFile=" + (dir / "b.ico").string() + "\r\nIconIndex=0\r\n";
  ASSERT_EQ(Ctl({"set", "--no-copy", folder.string(), (dir / "a.ico").string(), "2"}), 3);
  for (int round = 0; round < 30; ++round) {
    const bool toB = round % 2 == 0;
    const int pid = Start({"set", "--no-copy", folder.string(),
                           (dir / (toB ? "b.ico" : "a.ico")).string(), toB ? "0" : "2"});
    usleep(static_cast<useconds_t>(delayUs(random)));
    kill(pid, SIGKILL);
    WaitProcess(pid);
    const std::string text = ReadFile(ini);
    const std::string body = text.substr(std::string("[.ShellClassInfo]\r\n").size());
    EXPECT_TRUE(body == a || body == b) << "round " << round << ":\n" << text;
  }
  // The next run removes what they left behind, also when the file holds
  // its values already and nothing is written: a planted leftover of a
  // process that is gone, beside each file a run writes, makes sure there is
  // something to remove. A writer still at work keeps its file, and is
  // neither signalled nor stopped.
  WriteFile(folder / ".DESKTOP.INI.tmp-999999999", "half");
  WriteFile(folder / "..directory.tmp-999999999", "half");
  // The writer starts with every signal blocked, so that one sent to it
  // stays pending where /proc shows it, however late it would be handled.
  sigset_t all, before;
  sigfillset(&all);
  sigprocmask(SIG_BLOCK, &all, &before);
  const pid_t writer = fork();
  if (writer == 0) {
    for (;;) pause();
  }
  sigprocmask(SIG_SETMASK, &before, nullptr);
  const std::string working = ".DESKTOP.INI.tmp-" + std::to_string(writer);
  WriteFile(folder / working, "in progress");
  const bool atB = ReadFile(ini).find("b.ico") != std::string::npos;
  ASSERT_EQ(Ctl({"set", "--no-copy", folder.string(), (dir / (atB ? "b.ico" : "a.ico")).string(),
                 atB ? "0" : "2"}),
            atB ? 0 : 3);
  EXPECT_EQ(Temporaries(), std::vector<std::string>{working});
  int status = 0;
  EXPECT_EQ(waitpid(writer, &status, WNOHANG), 0) << "the writer at work was stopped";
  const std::string proc = ReadFile("/proc/" + std::to_string(writer) + "/status");
  for (const char* pending : {"\nSigPnd:\t0000000000000000\n", "\nShdPnd:\t0000000000000000\n"})
    EXPECT_NE(proc.find(pending), std::string::npos) << "the writer at work was signalled:\n" << proc;
  kill(writer, SIGKILL);
  waitpid(writer, &status, 0);
}

// Each step's bar only moves forward, though the octree reports its leaves
// by slot number after its rows. `script` gives the command a terminal.
TEST_F(PlumagectlRuns, TheProgressBarOnlyMovesForward) {
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

// The memory a run takes is the file's size and a little: not a structure
// per line of it. AddressSanitizer's shadow memory says nothing of that.
#ifndef __has_feature
#define __has_feature(x) 0  // g++ says __SANITIZE_ADDRESS__ instead
#endif
#if !defined(__SANITIZE_ADDRESS__) && !__has_feature(address_sanitizer)
TEST_F(PlumagectlRuns, ALargeDescriptorIsEditedInLittleMemory) {
  // "音楽.ico": a name Windows-1252 lacks makes the file UTF-16, twice as large.
  const fs::path wide = dir / "\xE9\x9F\xB3\xE6\xA5\xBD.ico";
  fs::copy_file(icon, wide);
  for (const auto& [blankLines, chosen] :
       {std::pair{(8u << 20) - 256, icon}, std::pair{(4u << 20) - 256, wide}}) {
    WriteFile(ini, std::string(blankLines, '\n') + "[.ShellClassInfo]\r\nIconFile=x\r\n");
    const int pid = Start({"set", "--no-copy", folder.string(), chosen.string(), "0"});
    int status = 0;
    rusage usage{};
    ASSERT_EQ(wait4(pid, &status, 0, &usage), pid);
    EXPECT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 0) << chosen << ": " << status;
    EXPECT_LT(usage.ru_maxrss, 100 * 1024) << chosen << ": kilobytes at the peak";
    std::string tail = "[.ShellClassInfo]\r\nIconFile=" + chosen.string() + "\r\nIconIndex=0\r\n";
    if (chosen == wide) {
      const std::u16string units = fs::path(tail).u16string();
      tail.assign(reinterpret_cast<const char*>(units.data()), units.size() * 2);  // little-endian
    }
    const std::string text = ReadFile(ini);
    ASSERT_GE(text.size(), tail.size()) << chosen;
    EXPECT_EQ(text.substr(text.size() - tail.size()), tail) << chosen;
    if (chosen == wide) {  // the blank lines became UTF-16 too, after the byte-order mark
      EXPECT_EQ(text.substr(0, 4), std::string("\xFF\xFE\n\0", 4));
      EXPECT_EQ(text.size(), 2 + 2 * blankLines + tail.size());
    }
  }
}
#endif

}  // namespace
}  // namespace plumage::test
