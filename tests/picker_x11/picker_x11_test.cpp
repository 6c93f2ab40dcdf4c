// plumage as a user meets it: a real process on a real X server (Xvfb, one
// per test), clicked and typed at with xdotool. A click on an entry and OK
// write the folder's DESKTOP.INI; the refresh reminder then stays on screen
// until it is answered, and only then does the program end. With the
// reminder switched off the program ends with no box at all.
#include <fcntl.h>
#include <poll.h>
#include <signal.h>
#include <spawn.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <gtest/gtest.h>

#include <chrono>
#include <cstdlib>
#include <filesystem>
#include <optional>
#include <sstream>
#include <thread>

#include "support/icon_writer.h"
#include "support/run_process.h"
#include "support/temp_dir.h"

namespace plumage::test {
namespace {

namespace fs = std::filesystem;
using Clock = std::chrono::steady_clock;
using namespace std::chrono_literals;

std::string FindProgram(const std::string& name) {
  const char* path = std::getenv("PATH");
  std::stringstream dirs(path ? path : "/usr/bin:/bin");
  std::string dir;
  while (std::getline(dirs, dir, ':')) {
    const fs::path candidate = fs::path(dir.empty() ? "." : dir) / name;
    if (access(candidate.c_str(), X_OK) == 0) return candidate.string();
  }
  return {};
}

// A child process of the test: its exit is collected once, and it is
// killed (by its own pid) if the test ends before it has.
class Child {
 public:
  Child() = default;
  explicit Child(int pid) : pid_(pid) {}
  Child(const Child&) = delete;
  Child& operator=(const Child&) = delete;
  ~Child() { Kill(SIGKILL); }

  bool Started() const { return pid_ > 0; }
  bool Running() {
    if (pid_ <= 0 || exit_) return false;
    int status = 0;
    if (waitpid(pid_, &status, WNOHANG) != pid_) return true;
    exit_ = WIFEXITED(status) ? WEXITSTATUS(status) : 128 + WTERMSIG(status);
    return false;
  }
  // The exit status once the process has ended within `timeout`.
  std::optional<int> WaitExit(std::chrono::milliseconds timeout) {
    const auto end = Clock::now() + timeout;
    while (Running() && Clock::now() < end) std::this_thread::sleep_for(20ms);
    return exit_;
  }
  void Kill(int signal) {
    if (!Running()) return;
    kill(pid_, signal);
    WaitExit(5s);
  }

 private:
  int pid_ = -1;
  std::optional<int> exit_;
};

// Xvfb on a display it chooses itself (-displayfd), listening on an
// abstract socket only and writing no lock file, so that nothing lands
// outside the test's folders and parallel tests do not collide.
class XServer {
 public:
  bool Start(const std::string& xvfb) {
    int fds[2];
    if (pipe(fds) != 0) return false;
    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    posix_spawn_file_actions_addopen(&actions, 0, "/dev/null", O_RDONLY, 0);
    posix_spawn_file_actions_addopen(&actions, 1, "/dev/null", O_WRONLY, 0);
    posix_spawn_file_actions_addopen(&actions, 2, "/dev/null", O_WRONLY, 0);
    // The writing end is inherited as it is (the pipe is not close-on-exec).
    posix_spawn_file_actions_addclose(&actions, fds[0]);
    std::vector<std::string> args = {xvfb,        "-displayfd",  std::to_string(fds[1]),
                                     "-screen",   "0",           "1024x768x24",
                                     "-nolisten", "tcp",         "-nolisten",
                                     "unix",      "-nolock"};
    // The server too gets the private home and XDG_* folders of the tests.
    std::vector<std::string> env = ProcessEnvironment();
    std::vector<char*> argv, envp;
    for (auto& a : args) argv.push_back(a.data());
    for (auto& e : env) envp.push_back(e.data());
    argv.push_back(nullptr);
    envp.push_back(nullptr);
    pid_t pid = -1;
    const int rc =
        env.empty() ? -1 : posix_spawn(&pid, argv[0], &actions, nullptr, argv.data(), envp.data());
    posix_spawn_file_actions_destroy(&actions);
    close(fds[1]);
    if (rc != 0) {
      close(fds[0]);
      return false;
    }
    server_ = std::make_unique<Child>(pid);
    // The server writes its display number once it accepts clients.
    std::string number;
    const auto end = Clock::now() + 20s;
    while (Clock::now() < end) {
      pollfd p{fds[0], POLLIN, 0};
      if (poll(&p, 1, 100) <= 0) continue;
      char c = 0;
      if (read(fds[0], &c, 1) != 1) break;
      if (c == '\n') break;
      number.push_back(c);
    }
    close(fds[0]);
    if (number.empty()) return false;
    display_ = ":" + number;
    return true;
  }
  const std::string& display() const { return display_; }
  ~XServer() {
    if (server_) server_->Kill(SIGTERM);
  }

 private:
  std::unique_ptr<Child> server_;
  std::string display_;
};

Bytes SolidImage(platform::Rgba colour) {
  DibDef dibDef;
  dibDef.width = 32;
  dibDef.height = 32;
  dibDef.palette = {colour};
  dibDef.pixels.assign(32 * 32, 0);
  return EncodeDib(dibDef);
}

class PlumageOnXTest : public ::testing::Test {
 protected:
  void SetUp() override {
    xvfb = FindProgram("Xvfb");
    xdotool = FindProgram("xdotool");
    if (xvfb.empty() || xdotool.empty())
      GTEST_SKIP() << "Xvfb or xdotool is not installed (scripts/install-deps.sh installs them)";
    ASSERT_TRUE(server.Start(xvfb)) << "Xvfb did not start";

    for (const char* d : {"home", "config", "data", "cache", "runtime", "program/Icons",
                          "plumage-config", "Music"})
      fs::create_directories(dir / d);
    chmod((dir / "runtime").c_str(), 0700);
    std::vector<GroupDef> groups;
    for (int i = 0; i < 8; ++i)
      groups.push_back({"", static_cast<std::uint16_t>(1 + i),
                        {SolidImage({static_cast<std::uint8_t>(30 * i), 120, 200, 255})}});
    const Bytes pe = WritePe(groups);
    library = (dir / "eight.dll").string();
    WriteFile(library, std::string(pe.begin(), pe.end()));
    folder = (dir / "Music").string();
  }

  // Every process of the test lives in the test's folders.
  std::vector<std::string> Env() const {
    // libxkbcommon-x11, a system library, hands strndup a buffer with no
    // closing NUL; AddressSanitizer's strict string checks take that for an
    // overflow in plumage before its window appears. The other checks stay.
    const char* asan = std::getenv("ASAN_OPTIONS");
    const std::string asanOptions =
        "ASAN_OPTIONS=" + std::string(asan ? asan : "") + (asan && *asan ? ":" : "") +
        "strict_string_checks=0";
    return {asanOptions,
            "HOME=" + (dir / "home").string(),
            "XDG_CONFIG_HOME=" + (dir / "config").string(),
            "XDG_DATA_HOME=" + (dir / "data").string(),
            "XDG_CACHE_HOME=" + (dir / "cache").string(),
            "XDG_RUNTIME_DIR=" + (dir / "runtime").string(),
            "PLUMAGE_HOME=" + (dir / "program").string(),
            "PLUMAGE_CONFIG=" + (dir / "plumage-config").string(),
            "DISPLAY=" + server.display(),
            "QT_QPA_PLATFORM=xcb",
            "QT_SCALE_FACTOR=1",
            "QT_ACCESSIBILITY=0",
            "DBUS_SESSION_BUS_ADDRESS=unix:path=" + (dir / "no-bus").string(),
            "LC_ALL=C.UTF-8"};
  }
  void Settings(const std::string& reminder) {
    auto install = RunProcess({PLUMAGECTL_PATH, "install"}, Env());
    ASSERT_EQ(install.exitCode, 0) << install.err;
    auto set = RunProcess({PLUMAGECTL_PATH, "settings", "--default-library", library, "--reminder",
                           reminder, "--linux-icons", "off"},
                          Env());
    ASSERT_EQ(set.exitCode, 0) << set.err;
  }
  ProcessResult Xdotool(std::vector<std::string> args) {
    args.insert(args.begin(), xdotool);
    return RunProcess(args, Env());
  }
  // The first window whose name matches, once it is on screen.
  std::string FindWindow(const std::string& pattern, std::chrono::milliseconds timeout) {
    const auto end = Clock::now() + timeout;
    do {
      auto found = Xdotool({"search", "--onlyvisible", "--name", pattern});
      if (found.exitCode == 0 && !found.out.empty()) return found.out.substr(0, found.out.find('\n'));
      std::this_thread::sleep_for(50ms);
    } while (Clock::now() < end);
    return {};
  }
  bool WindowShown(const std::string& pattern) {
    auto found = Xdotool({"search", "--onlyvisible", "--name", pattern});
    return found.exitCode == 0 && !found.out.empty();
  }
  // Opens the picker on the folder, clicks entry 3 of the list and OK.
  void ChooseEntry3AndOk() {
    plumage = std::make_unique<Child>(StartProcess({PLUMAGE_PATH, folder}, Env()));
    ASSERT_TRUE(plumage->Started());
    picker = FindWindow("^Plumage - ", 30s);
    ASSERT_FALSE(picker.empty()) << "the picker did not appear";
    // The list starts at (16, 72) in the window, on a 56-pixel grid; the
    // fourth entry's picture is near (18 + 3 * 56 + 28, 94). OK is at
    // (8, 368), 81 × 25.
    ASSERT_EQ(Xdotool({"mousemove", "--window", picker, "214", "94", "click", "1"}).exitCode, 0);
    std::this_thread::sleep_for(300ms);
    ASSERT_EQ(Xdotool({"mousemove", "--window", picker, "48", "380", "click", "1"}).exitCode, 0);
  }
  static constexpr const char* kKeptDescriptor =
      "[.ShellClassInfo]\r\nIconFile=FolderIcon.ico\r\nIconIndex=0\r\n"
      "IconResource=FolderIcon.ico,0\r\n";
  std::string Descriptor() const {
    const fs::path ini = dir / "Music" / "DESKTOP.INI";
    return fs::exists(ini) ? ReadFile(ini) : std::string();
  }

  TempDir dir;
  XServer server;
  std::string xvfb, xdotool, library, folder, picker;
  std::unique_ptr<Child> plumage;
};

TEST_F(PlumageOnXTest, TheReminderStaysUntilAnsweredThenTheProgramEnds) {
  Settings("on");
  ChooseEntry3AndOk();
  const std::string reminder = FindWindow("^Plumage$", 15s);
  ASSERT_FALSE(reminder.empty()) << "no reminder after OK";
  // The icon is kept inside the folder, as it is by default on Linux.
  EXPECT_EQ(Descriptor(), kKeptDescriptor);
  EXPECT_TRUE(fs::is_regular_file(dir / "Music" / "FolderIcon.ico"));
  EXPECT_FALSE(WindowShown("^Plumage - ")) << "the picker closes before the reminder";
  // Left alone, the box stays and the program waits for it.
  EXPECT_FALSE(plumage->WaitExit(2s).has_value()) << "the program ended under the reminder";
  EXPECT_TRUE(WindowShown("^Plumage$")) << "the reminder went away unanswered";

  // Answered with Enter, it closes and the program ends.
  ASSERT_EQ(Xdotool({"windowfocus", reminder}).exitCode, 0);
  std::this_thread::sleep_for(200ms);
  ASSERT_EQ(Xdotool({"key", "Return"}).exitCode, 0);
  EXPECT_EQ(plumage->WaitExit(20s), std::optional<int>(0));
  EXPECT_FALSE(WindowShown("^Plumage$"));
}

TEST_F(PlumageOnXTest, WithTheReminderOffTheProgramEndsWithoutABox) {
  Settings("off");
  ChooseEntry3AndOk();
  bool boxSeen = false;
  const auto end = Clock::now() + 20s;
  while (plumage->Running() && Clock::now() < end) {
    boxSeen = boxSeen || WindowShown("^Plumage$");
    std::this_thread::sleep_for(20ms);
  }
  EXPECT_EQ(plumage->WaitExit(0ms), std::optional<int>(0)) << "the program did not end";
  EXPECT_FALSE(boxSeen);
  // The icon is kept inside the folder, as it is by default on Linux.
  EXPECT_EQ(Descriptor(), kKeptDescriptor);
  EXPECT_TRUE(fs::is_regular_file(dir / "Music" / "FolderIcon.ico"));
}

}  // namespace
}  // namespace plumage::test
