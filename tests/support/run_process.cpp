#include "support/run_process.h"

#include <fcntl.h>
#include <signal.h>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cerrno>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <map>
#include <thread>

extern char** environ;

namespace plumage::test {
namespace {

constexpr const char* kHomeVariables[] = {"HOME",           "XDG_CONFIG_HOME", "XDG_DATA_HOME",
                                          "XDG_CACHE_HOME", "XDG_STATE_HOME",  "XDG_RUNTIME_DIR"};

// The temporary folder with one closing '/', however TMPDIR ends.
std::string TempPrefix() {
  return (std::filesystem::temp_directory_path() / "").string();
}

// A home of the test binary's own, made at the first start of a process and
// removed at the end: a program a test starts never writes into the real
// home (menu entries, GIO metadata, settings) unless the test says where.
// The path lives on the heap and is never freed: the handler that removes
// the folder at exit must not read a string already destroyed. It removes
// only a folder it made itself, whose name it checks once more.
const std::string& PrivateHome() {
  static const std::string* const home = [] {
    std::string pattern = TempPrefix() + "plumage-home-XXXXXX";
    auto* made = new std::string(mkdtemp(pattern.data()) ? pattern : std::string());
    if (!made->empty())
      std::atexit([] {
        const std::string& path = PrivateHome();
        const std::string prefix = TempPrefix() + "plumage-home-";
        if (path.size() == prefix.size() + 6 && path.compare(0, prefix.size(), prefix) == 0) {
          std::error_code ec;
          std::filesystem::remove_all(path, ec);
        }
      });
    return made;
  }();
  return *home;
}

std::vector<char*> Pointers(std::vector<std::string>& strings) {
  std::vector<char*> out;
  for (auto& s : strings) out.push_back(s.data());
  out.push_back(nullptr);
  return out;
}

std::string Drain(int fd) {
  std::string text;
  char buf[4096];
  lseek(fd, 0, SEEK_SET);
  for (ssize_t n; (n = read(fd, buf, sizeof buf)) != 0;) {
    if (n < 0 && errno == EINTR) continue;
    if (n < 0) break;
    text.append(buf, static_cast<std::size_t>(n));
  }
  close(fd);
  return text;
}

// The environment a started program gets: the test's own, with `extra`
// ("NAME=value") over it. HOME and the XDG_* folders are a private folder
// of the test binary's unless the test's own already lie in a folder a test
// made (plumage-* in the temporary folder) or `extra` names them; no session
// bus is reachable unless `extra` gives one. A HOME or XDG_* folder anywhere
// else is refused, the temporary folder itself included (a runner may keep
// its home there): the result is then empty.

std::vector<std::string> ProcessEnvironment(const std::vector<std::string>& extra) {
  std::map<std::string, std::string> vars;
  for (char** e = environ; *e; ++e) {
    std::string kv(*e);
    vars[kv.substr(0, kv.find('='))] = kv;
  }
  // A folder a test made (a test under its own session bus, say) is handed
  // down; any other is replaced.
  auto madeByATest = [](const std::string& kv) {
    return kv.substr(kv.find('=') + 1).rfind(TempPrefix() + "plumage-", 0) == 0;
  };
  const bool privateAlready = vars.count("HOME") && madeByATest(vars["HOME"]);
  for (const char* name : kHomeVariables) {
    if (vars.count(name) && madeByATest(vars[name])) continue;
    if (PrivateHome().empty()) return {};
    const std::string value =
        std::string(name) == "HOME" ? PrivateHome() : PrivateHome() + "/" + name;
    std::filesystem::create_directories(value);
    vars[name] = std::string(name) + "=" + value;
  }
  // No session bus of the user's either: its services write into the real home.
  if (!privateAlready) vars.erase("DBUS_SESSION_BUS_ADDRESS");
  for (const auto& kv : extra) vars[kv.substr(0, kv.find('='))] = kv;
  std::vector<std::string> out;
  for (auto& [name, kv] : vars) {
    for (const char* home : kHomeVariables)
      if (name == home && !madeByATest(kv)) return {};
    out.push_back(kv);
  }
  return out;
}

int Spawn(const std::vector<std::string>& argv, const std::vector<std::string>& env, int outFd,
          int errFd) {
  std::vector<std::string> args = argv;
  std::vector<std::string> vars = ProcessEnvironment(env);
  if (vars.empty() || args.empty()) return -1;
  auto argp = Pointers(args);
  auto envp = Pointers(vars);
  posix_spawn_file_actions_t actions;
  posix_spawn_file_actions_init(&actions);
  posix_spawn_file_actions_addopen(&actions, 0, "/dev/null", O_RDONLY, 0);
  posix_spawn_file_actions_adddup2(&actions, outFd, 1);
  posix_spawn_file_actions_adddup2(&actions, errFd, 2);
  pid_t pid = -1;
  int rc = posix_spawn(&pid, argp[0], &actions, nullptr, argp.data(), envp.data());
  posix_spawn_file_actions_destroy(&actions);
  return rc == 0 ? pid : -1;
}

int Status(int status) {
  return WIFEXITED(status) ? WEXITSTATUS(status) : 128 + WTERMSIG(status);
}

}  // namespace

ProcessResult RunProcess(const std::vector<std::string>& argv, const std::vector<std::string>& env,
                         std::chrono::seconds timeout) {
  ProcessResult result;
  // Output goes to temporary files, so a chatty child never blocks on a pipe.
  std::string outName = TempPrefix() + "plumage-out-XXXXXX";
  std::string errName = TempPrefix() + "plumage-err-XXXXXX";
  int outFd = mkstemp(outName.data());
  int errFd = mkstemp(errName.data());
  unlink(outName.c_str());
  unlink(errName.c_str());
  const int pid = Spawn(argv, env, outFd, errFd);
  if (pid > 0) {
    const auto deadline = std::chrono::steady_clock::now() + timeout;
    auto pause = std::chrono::milliseconds(1);
    int status = -1;
    for (int r; (r = waitpid(pid, &status, WNOHANG)) != pid;) {
      if (r < 0 && errno != EINTR) break;  // no such child: exitCode stays -1
      if (std::chrono::steady_clock::now() > deadline) {
        result.timedOut = true;
        kill(pid, SIGKILL);
        waitpid(pid, &status, 0);
        break;
      }
      std::this_thread::sleep_for(pause);
      pause = std::min(pause * 2, std::chrono::milliseconds(20));
    }
    if (status != -1) result.exitCode = Status(status);
  } else {
    result.err = "cannot start " + (argv.empty() ? std::string("nothing") : argv[0]) +
                 " (or its HOME or XDG_* folders lie outside " + TempPrefix() + ")\n";
  }
  result.out = Drain(outFd);
  result.err += Drain(errFd);
  return result;
}

int StartProcess(const std::vector<std::string>& argv, const std::vector<std::string>& env) {
  int null = open("/dev/null", O_WRONLY);
  int pid = Spawn(argv, env, null, null);
  close(null);
  return pid;
}

int WaitProcess(int pid) {
  int status = 0;
  while (waitpid(pid, &status, 0) < 0)
    if (errno != EINTR) return -1;
  return Status(status);
}

}  // namespace plumage::test
