#include "support/run_process.h"

#include <fcntl.h>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cerrno>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <map>

extern char** environ;

namespace plumage::test {
namespace {

// A home of the test binary's own, made at the first start of a process and
// removed at the end: a program a test starts never writes into the real
// home (menu entries, GIO metadata, settings) unless the test says where.
// The path lives on the heap and is never freed: the handler that removes
// the folder at exit must not read a string already destroyed. It removes
// only a folder it made itself, whose name it checks once more.
const std::string& PrivateHome() {
  static const std::string* const home = [] {
    std::string pattern =
        (std::filesystem::temp_directory_path() / "plumage-home-XXXXXX").string();
    auto* made = new std::string(mkdtemp(pattern.data()) ? pattern : std::string());
    if (!made->empty())
      std::atexit([] {
        const std::string& path = PrivateHome();
        const std::string prefix =
            (std::filesystem::temp_directory_path() / "plumage-home-").string();
        if (path.size() == prefix.size() + 6 && path.compare(0, prefix.size(), prefix) == 0) {
          std::error_code ec;
          std::filesystem::remove_all(path, ec);
        }
      });
    return made;
  }();
  return *home;
}

std::vector<std::string> MergedEnvironment(const std::vector<std::string>& extra) {
  std::map<std::string, std::string> vars;
  for (char** e = environ; *e; ++e) {
    std::string kv(*e);
    auto eq = kv.find('=');
    vars[kv.substr(0, eq)] = kv;
  }
  // A test binary that runs in a private home already (a test under its
  // own session bus, say) hands that one down.
  const char* ownHome = std::getenv("HOME");
  const std::string temp = std::filesystem::temp_directory_path().string();
  const bool privateAlready = ownHome && std::string(ownHome).rfind(temp + "/", 0) == 0;
  const std::string home = privateAlready ? std::string() : PrivateHome();
  for (const char* name : {"HOME", "XDG_CONFIG_HOME", "XDG_DATA_HOME", "XDG_CACHE_HOME",
                           "XDG_STATE_HOME", "XDG_RUNTIME_DIR"}) {
    if (home.empty()) break;  // a home of its own already, or none could be made
    const std::string value = std::string(name) == "HOME" ? home : home + "/" + name;
    std::filesystem::create_directories(value);
    vars[name] = std::string(name) + "=" + value;
  }
  // No session bus of the user's either: its services write into the real home.
  if (!privateAlready) vars.erase("DBUS_SESSION_BUS_ADDRESS");
  for (const auto& kv : extra) vars[kv.substr(0, kv.find('='))] = kv;
  std::vector<std::string> out;
  for (auto& [k, v] : vars) out.push_back(v);
  return out;
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
  for (;;) {
    ssize_t n = read(fd, buf, sizeof buf);
    if (n < 0 && errno == EINTR) continue;
    if (n <= 0) break;
    text.append(buf, static_cast<std::size_t>(n));
  }
  return text;
}

int Spawn(const std::vector<std::string>& argv, const std::vector<std::string>& env, int outFd,
          int errFd) {
  std::vector<std::string> args = argv;
  std::vector<std::string> vars = MergedEnvironment(env);
  auto argp = Pointers(args);
  auto envp = Pointers(vars);
  posix_spawn_file_actions_t actions;
  posix_spawn_file_actions_init(&actions);
  posix_spawn_file_actions_addopen(&actions, 0, "/dev/null", O_RDONLY, 0);
  if (outFd >= 0) posix_spawn_file_actions_adddup2(&actions, outFd, 1);
  if (errFd >= 0) posix_spawn_file_actions_adddup2(&actions, errFd, 2);
  pid_t pid = -1;
  int rc = posix_spawn(&pid, argp[0], &actions, nullptr, argp.data(), envp.data());
  posix_spawn_file_actions_destroy(&actions);
  return rc == 0 ? pid : -1;
}

}  // namespace

ProcessResult RunProcess(const std::vector<std::string>& argv,
                         const std::vector<std::string>& env) {
  ProcessResult result;
  // Output goes to temporary files, so a chatty child never blocks on a pipe.
  char outName[] = "/tmp/plumage-out-XXXXXX";
  char errName[] = "/tmp/plumage-err-XXXXXX";
  int outFd = mkstemp(outName);
  int errFd = mkstemp(errName);
  int pid = Spawn(argv, env, outFd, errFd);
  if (pid > 0) result.exitCode = WaitProcess(pid);
  lseek(outFd, 0, SEEK_SET);
  lseek(errFd, 0, SEEK_SET);
  result.out = Drain(outFd);
  result.err = Drain(errFd);
  close(outFd);
  close(errFd);
  unlink(outName);
  unlink(errName);
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
  return WIFEXITED(status) ? WEXITSTATUS(status) : 128 + WTERMSIG(status);
}

}  // namespace plumage::test
