#include "support/smb_server.h"

#include <arpa/inet.h>
#include <netinet/in.h>
#include <signal.h>
#include <sys/socket.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <fstream>
#include <regex>
#include <sstream>
#include <thread>

#include "support/temp_dir.h"
#include "support/volume_mount.h"

namespace plumage::test {
namespace {

namespace fs = std::filesystem;

constexpr auto kStartTimeout = std::chrono::seconds(30);
constexpr auto kStopTimeout = std::chrono::seconds(10);

// A loopback socket bound to a port the kernel hands out as free now
// (`port` 0), or connected to `port`; the port, or 0 when that failed. A
// race with another program taking the free port is possible but rare:
// Start then fails and says so.
int LoopbackPort(int port) {
  int fd = socket(AF_INET, SOCK_STREAM, 0);
  if (fd < 0) return 0;
  sockaddr_in address{};
  address.sin_family = AF_INET;
  address.sin_port = htons(static_cast<std::uint16_t>(port));
  address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
  socklen_t size = sizeof address;
  auto* at = reinterpret_cast<sockaddr*>(&address);
  const bool ok = port != 0 ? connect(fd, at, size) == 0
                            : bind(fd, at, size) == 0 && getsockname(fd, at, &size) == 0;
  close(fd);
  return ok ? ntohs(address.sin_port) : 0;
}

std::string ReadLogs(const fs::path& folder) {
  std::string text;
  std::error_code ec;
  for (const auto& entry : fs::directory_iterator(folder, ec)) text += ReadFile(entry.path());
  return text;
}

}  // namespace

SmbServer::SmbServer(const fs::path& root)
    : root_(root / "smb"), share_(root / "smb" / "share"), config_(root / "smb" / "smb.conf") {}

SmbServer::~SmbServer() {
  Stop();
}

std::optional<std::string> SmbServer::WhyUnavailable() {
  if (FindTool("smbd").empty()) return "no smbd (Debian's samba) here";
  if (FindTool("smbclient").empty()) return "no smbclient here";
  if (geteuid() != 0) return "smbd serves the share as root here";
  return std::nullopt;
}

bool SmbServer::Start(std::string* why) {
  for (const char* sub : {"share", "lock", "state", "cache", "pid", "private", "log", "ncalrpc"})
    fs::create_directories(root_ / sub);
  port_ = LoopbackPort(0);
  const std::string r = root_.string();
  std::ostringstream conf;
  conf << "[global]\n"
       << "  server role = standalone server\n"
       << "  workgroup = PLUMAGE\n"
       << "  netbios name = PLUMAGETEST\n"
       << "  disable netbios = yes\n"
       << "  smb ports = " << port_ << "\n"
       << "  interfaces = lo\n"
       << "  bind interfaces only = yes\n"
       << "  lock directory = " << r << "/lock\n"
       << "  state directory = " << r << "/state\n"
       << "  cache directory = " << r << "/cache\n"
       << "  pid directory = " << r << "/pid\n"
       << "  private dir = " << r << "/private\n"
       << "  ncalrpc dir = " << r << "/ncalrpc\n"
       << "  log file = " << r << "/log/smbd.log\n"
       << "  passdb backend = tdbsam:" << r << "/private/passdb.tdb\n"
       << "  map to guest = Bad User\n"
       // The test's files are root's, in a folder only root may enter.
       << "  guest account = root\n"
       << "  load printers = no\n"
       << "  printcap name = /dev/null\n"
       << "  disable spoolss = yes\n"
       << "  server min protocol = SMB2\n"
       // What a Linux file server that Windows clients use has: the DOS
       // attributes in user.DOSATTRIB.
       << "  store dos attributes = yes\n"
       << "  ea support = yes\n"
       << "[share]\n"
       << "  path = " << share_.string() << "\n"
       << "  guest ok = yes\n"
       << "  read only = no\n";
  WriteFile(config_, conf.str());

  // A process group of its own (no --no-process-group): smbd ends by
  // signalling its whole group, which must not hold the test.
  pid_ = StartProcess({FindTool("smbd"), "--foreground", "--configfile=" + config_.string()});
  if (pid_ <= 0) {
    *why = "cannot start smbd";
    return false;
  }
  const auto deadline = std::chrono::steady_clock::now() + kStartTimeout;
  while (std::chrono::steady_clock::now() < deadline) {
    int status = 0;
    if (waitpid(pid_, &status, WNOHANG) == pid_) {
      pid_ = -1;
      *why = "smbd stopped at its start: " + ReadLogs(root_ / "log");
      return false;
    }
    if (LoopbackPort(port_) != 0) return true;
    std::this_thread::sleep_for(std::chrono::milliseconds(100));
  }
  *why =
      "smbd took no connection on port " + std::to_string(port_) + ": " + ReadLogs(root_ / "log");
  Stop();
  return false;
}

void SmbServer::Stop() {
  if (pid_ <= 0) return;
  // smbd leads a process group of its own, which holds the children it
  // forked for connections. It is waited for without being reaped, so that
  // its pid (the group's id) stays taken until the group's rest is gone.
  kill(-pid_, SIGTERM);
  kill(pid_, SIGTERM);
  const auto deadline = std::chrono::steady_clock::now() + kStopTimeout;
  siginfo_t info{};
  while (waitid(P_PID, static_cast<id_t>(pid_), &info, WEXITED | WNOHANG | WNOWAIT) == 0 &&
         info.si_pid == 0 && std::chrono::steady_clock::now() < deadline)
    std::this_thread::sleep_for(std::chrono::milliseconds(50));
  kill(-pid_, SIGKILL);
  kill(pid_, SIGKILL);
  WaitProcess(pid_);
  pid_ = -1;
}

ProcessResult SmbServer::Client(const std::string& commands) const {
  return RunProcess({FindTool("smbclient"), "//127.0.0.1/share", "-p", std::to_string(port_), "-N",
                     "-s", config_.string(), "-c", commands});
}

std::optional<std::uint32_t> SmbServer::Attributes(const std::string& path) const {
  ProcessResult run = Client("allinfo \"" + path + "\"");
  // "attributes: HS (6)": the letters, and the number in hex.
  static const std::regex line(R"(attributes: [A-Za-z]* \(([0-9a-fA-F]+)\))");
  std::smatch match;
  if (run.exitCode != 0 || !std::regex_search(run.out, match, line)) return std::nullopt;
  return static_cast<std::uint32_t>(std::stoul(match[1].str(), nullptr, 16));
}

bool SmbServer::Get(const std::string& path, const fs::path& local) const {
  ProcessResult run = Client("get \"" + path + "\" \"" + local.string() + "\"");
  return run.exitCode == 0 && fs::exists(local);
}

}  // namespace plumage::test
