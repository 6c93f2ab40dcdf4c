// Runs a transcript of plumagectl sessions (transcripts/*.t), each case a
// command line, what it prints and its exit status, and names the first
// line that differs:
//
//   $ plumagectl show "$DIR/My Games"   words split at blanks, quoted as a shell quotes
//   Icon file: game.ico                 standard output
//   ! plumagectl: ...                   standard error
//   ? 1                                 the exit status
//
// Lines outside a case are comments. A line with a byte that is not
// printable UTF-8 is written with C escapes and ends in " (esc)"; output
// without a last line break ends in " (no-eol)". $DIR (the transcript's own
// folder, also the working folder), $PE (the icon tests' Windows files),
// $DATA (transcripts/data), $SOURCE, $BUILD and $FS (the file system type of
// $DIR) stand for their values in command lines and in what is printed.
// Programs are named by their full path, except plumagectl and these:
//
//   write PATH TEXT, append PATH TEXT   TEXT with C escapes, the folders made
//   env NAME=VALUE                      for the commands after it
//   require root, require PATH,         skips the transcript (status 77) unless
//   require fs TYPE                     run as root, unless PATH exists, or
//                                       unless the kernel has file system TYPE
//   bus                                 a session bus of the transcript's own
//                                       for the commands after it
//   start PROGRAM ARGS...               a server left running in the
//                                       background; it and the process group
//                                       it leads are stopped at the end
//
// $PORT is a loopback port that was free when the transcript began.
//
// A transcript runs in a fresh folder with its own HOME and XDG_* folders;
// each command has a minute. --update writes what was printed into the file.
#include <netinet/in.h>
#include <signal.h>
#include <sys/mount.h>
#include <sys/socket.h>
#include <unistd.h>

#include <algorithm>
#include <fstream>
#include <iostream>
#include <map>
#include <sstream>

#include "support/run_process.h"
#include "support/temp_dir.h"

namespace plumage::test {
namespace {

namespace fs = std::filesystem;
using Lines = std::vector<std::string>;

constexpr std::chrono::seconds kTimeout(60);

Lines Split(const std::string& text) {
  Lines lines;
  std::istringstream in(text);
  for (std::string line; std::getline(in, line);) lines.push_back(line);
  return lines;
}

// The length of the printable UTF-8 character at `at`, or 0.
std::size_t Printable(const std::string& s, std::size_t at) {
  const auto c = static_cast<unsigned char>(s[at]);
  if (c >= 0x20 && c < 0x7F) return 1;
  const std::size_t n = c >= 0xF0 && c < 0xF5 ? 4 : c >= 0xE0 ? 3 : c >= 0xC2 && c < 0xE0 ? 2 : 0;
  for (std::size_t i = 1; i < n; ++i)
    if (at + i >= s.size() || (static_cast<unsigned char>(s[at + i]) & 0xC0) != 0x80) return 0;
  return n;
}

std::string Escaped(const std::string& line) {
  std::string out;
  bool escaped = false;
  for (std::size_t at = 0, n; at < line.size(); at += std::max<std::size_t>(n, 1)) {
    const char c = line[at];
    if ((n = Printable(line, at)) > 0) {
      out += c == '\\' ? std::string("\\\\") : line.substr(at, n);
      continue;
    }
    char hex[5];
    std::snprintf(hex, sizeof hex, "\\x%02x", static_cast<unsigned char>(c));
    out += c == '\r' ? "\\r" : c == '\t' ? "\\t" : hex;
    escaped = true;
  }
  return escaped ? out + " (esc)" : line;
}

std::string Unescaped(const std::string& text) {
  std::string out;
  for (std::size_t i = 0; i < text.size(); ++i) {
    const char c = text[i] == '\\' && i + 1 < text.size() ? text[++i] : 0;
    if (c == 'x')
      out += static_cast<char>(std::stoi(text.substr(i + 1, 2), nullptr, 16)), i += 2;
    else if (c)
      out += c == 'r' ? '\r' : c == 'n' ? '\n' : c == 't' ? '\t' : c == '0' ? '\0' : c;
    else
      out += text[i];
  }
  return out;
}

// Mount points and their file system types, in the order of mounting.
std::vector<std::pair<std::string, std::string>> Mounts() {
  std::ifstream in("/proc/self/mounts");
  std::vector<std::pair<std::string, std::string>> mounts;
  for (std::string device, point, type, rest; in >> device >> point >> type && getline(in, rest);)
    mounts.emplace_back(point, type);
  return mounts;
}

// A loopback port the kernel hands out as free now; another program may
// take it before the transcript's server does, which then fails and says so.
std::string FreePort() {
  const int fd = socket(AF_INET, SOCK_STREAM, 0);
  sockaddr_in address{};
  address.sin_family = AF_INET;
  address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
  socklen_t size = sizeof address;
  auto* at = reinterpret_cast<sockaddr*>(&address);
  const bool ok = fd >= 0 && bind(fd, at, size) == 0 && getsockname(fd, at, &size) == 0;
  if (fd >= 0) close(fd);
  if (!ok) throw std::runtime_error("no free loopback port");
  return std::to_string(ntohs(address.sin_port));
}

bool KernelHas(const std::string& type) {
  std::ifstream in("/proc/filesystems");
  for (std::string line; std::getline(in, line);)
    if (line.substr(line.rfind('\t') + 1) == type) return true;
  return false;
}

struct Skip {
  std::string what;  // what the transcript needs
};

class Transcript {
 public:
  Transcript() {
    places_ = {{"DIR", dir_.str()},
               {"PE", PLUMAGE_TEST_PE_DIR},
               {"DATA", PLUMAGE_SOURCE_DIR "/tests/cli/transcripts/data"},
               {"SOURCE", PLUMAGE_SOURCE_DIR},
               {"BUILD", PLUMAGE_BUILD_DIR},
               {"PORT", FreePort()}};
    for (const auto& [point, type] : Mounts())  // the last mount that holds $DIR
      if (dir_.str().rfind(point == "/" ? point : point + "/", 0) == 0) places_["FS"] = type;
    const std::string home = dir_.str() + "/home";
    env_ = {"HOME=" + home, "XDG_CONFIG_HOME=" + home + "/.config",
            "XDG_DATA_HOME=" + home + "/.local/share", "XDG_CACHE_HOME=" + home + "/.cache",
            "XDG_STATE_HOME=" + home + "/.local/state", "XDG_RUNTIME_DIR=" + dir_.str() + "/run",
            // The system's data folders stand here: a package installed on
            // this machine must not change what plumagectl install does.
            "XDG_DATA_DIRS=" + dir_.str() + "/system", "LC_ALL=C.UTF-8", "DISPLAY=", "TZ=UTC"};
    fs::create_directories(home);
    fs::create_directory(dir_ / "run");
    fs::permissions(dir_ / "run", fs::perms::owner_all);
    fs::current_path(dir_.path());
  }
  ~Transcript() {
    if (busPid_ > 0) kill(busPid_, SIGTERM);
    for (int pid : servers_) {
      kill(-pid, SIGKILL);
      kill(pid, SIGKILL);
      WaitProcess(pid);
    }
    fs::current_path("/");
    const auto mounts = Mounts();  // what a transcript mounted and a failed case left there
    for (auto m = mounts.rbegin(); m != mounts.rend(); ++m)
      if (m->first.rfind(dir_.str() + "/", 0) == 0) umount2(m->first.c_str(), MNT_DETACH);
  }

  Lines Words(const std::string& line) const {
    Lines words;
    std::string word;
    bool inWord = false;
    char quote = 0;
    for (std::size_t i = 0; i < line.size(); ++i) {
      const char c = line[i];
      if (quote != '\'' && c == '$' && std::isupper(line[i + 1])) {
        std::size_t end = i + 1;
        while (std::isupper(line[end]) || line[end] == '_') ++end;
        const std::string name = line.substr(i + 1, end - i - 1);
        if (!places_.count(name)) throw std::runtime_error("no place named $" + name);
        word += places_.at(name);
        i = end - 1;
      } else if (quote == '"' && c == '\\' && std::string("\"\\$").find(line[i + 1]) < 3) {
        word += line[++i];
      } else if (c == quote) {
        quote = 0;
      } else if (!quote && (c == '\'' || c == '"')) {
        quote = c;
      } else if (!quote && c == ' ') {
        if (inWord) words.push_back(word);
        word.clear();
        inWord = false;
        continue;
      } else {
        word += c;
      }
      inWord = true;
    }
    if (quote) throw std::runtime_error("a quote is left open");
    if (inWord) words.push_back(word);
    return words;
  }

  // What the case prints, as the transcript writes it, and "? STATUS".
  Lines Run(const Lines& words) {
    ProcessResult r{0, "", ""};
    if ((words[0] == "write" || words[0] == "append") && words.size() == 3) {
      fs::create_directories(fs::absolute(words[1]).parent_path());
      std::ofstream(words[1], words[0] == "write" ? std::ios::binary : std::ios::app)
          << Unescaped(words[2]);
    } else if (words[0] == "env" && words.size() == 2 && words[1].find('=') != std::string::npos) {
      env_.push_back(words[1]);
    } else if (words[0] == "require" && words.size() == 2 && words[1] == "root") {
      if (geteuid() != 0) throw Skip{"root"};
    } else if (words[0] == "require" && words.size() == 2 && words[1][0] == '/') {
      if (!fs::exists(words[1])) throw Skip{words[1]};
    } else if (words[0] == "require" && words.size() == 3 && words[1] == "fs") {
      if (!KernelHas(words[2])) throw Skip{"a kernel with the " + words[2] + " file system"};
    } else if (words[0] == "start" && words.size() > 1 && words[1][0] == '/') {
      servers_.push_back(StartProcess(Lines(words.begin() + 1, words.end()), env_));
      if (servers_.back() <= 0) throw std::runtime_error("cannot start " + words[1]);
    } else if (words[0] == "bus" && words.size() == 1 && busPid_ == 0) {
      r = RunProcess({"/usr/bin/dbus-daemon", "--session", "--fork", "--print-address=1",
                      "--print-pid=1"},
                     env_, kTimeout);
      const Lines printed = Split(r.out);
      if (r.exitCode != 0 || printed.size() != 2) throw std::runtime_error("no bus: " + r.err);
      env_.push_back("DBUS_SESSION_BUS_ADDRESS=" + printed[0]);
      busPid_ = std::stoi(printed[1]);
      r = {0, "", ""};
    } else if (words[0] == "plumagectl" || words[0].find('/') != std::string::npos) {
      Lines argv = words;
      if (argv[0] == "plumagectl") argv[0] = PLUMAGECTL_PATH;
      r = RunProcess(argv, env_, kTimeout);
      if (r.timedOut) r.err += "(killed after " + std::to_string(kTimeout.count()) + " s)\n";
    } else {
      throw std::runtime_error("no such command: " + words[0] + " (a program by its full path?)");
    }
    Lines lines;
    for (const auto& [text, mark] : {std::pair{Placed(r.out), ""}, {Placed(r.err), "! "}}) {
      for (const std::string& line : Split(text)) lines.push_back(Escaped(mark + line));
      if (!text.empty() && text.back() != '\n') lines.back() += " (no-eol)";
    }
    lines.push_back("? " + std::to_string(r.exitCode));
    return lines;
  }

 private:
  // Output with each place's value written as its name, the longest first.
  std::string Placed(std::string text) const {
    std::vector<std::pair<std::string, std::string>> order = {{PLUMAGECTL_PATH, "plumagectl"}};
    for (const auto& [name, value] : places_)
      if (name != "PORT") order.emplace_back(value, "$" + name);  // a number, not a place
    std::sort(order.begin(), order.end(),
              [](const auto& a, const auto& b) { return a.first.size() > b.first.size(); });
    for (const auto& [value, name] : order)
      for (std::size_t at = 0; (at = text.find(value, at)) != std::string::npos; at += name.size())
        text.replace(at, value.size(), name);
    return text;
  }

  TempDir dir_;
  std::map<std::string, std::string> places_;
  Lines env_;
  int busPid_ = 0;
  std::vector<int> servers_;
};

int Main(const fs::path& file, bool update) {
  const Lines lines = Split(ReadFile(file));
  std::string rewritten;
  int differences = 0;
  Transcript transcript;
  for (std::size_t i = 0; i < lines.size(); ++i) {
    rewritten += lines[i] + "\n";
    if (lines[i].rfind("$ ", 0) != 0) continue;
    const std::string where = file.filename().string() + ":" + std::to_string(i + 1) + ": ";
    std::size_t end = i + 1;
    while (end < lines.size() && lines[end].rfind("? ", 0) != 0 && lines[end].rfind("$ ", 0) != 0)
      ++end;
    Lines got;
    try {
      if (end == lines.size() || lines[end][0] != '?') throw std::runtime_error("no \"? STATUS\"");
      got = transcript.Run(transcript.Words(lines[i].substr(2)));
    } catch (const Skip& skip) {
      std::cout << where << "skipped: this transcript needs " << skip.what << "\n";
      return 77;
    } catch (const std::exception& e) {
      std::cerr << where << e.what() << "\n";
      return 2;
    }
    const Lines expected(lines.begin() + i + 1, lines.begin() + end + 1);
    for (const std::string& line : got) rewritten += line + "\n";
    if (got != expected && !update) {
      std::size_t k = 0;
      while (k < got.size() && k < expected.size() && got[k] == expected[k]) ++k;
      std::cerr << where << lines[i] << "\n  first difference, line " << k + 1
                << " of its output:\n"
                << "    expected: " << (k < expected.size() ? expected[k] : "(nothing)") << "\n"
                << "    got:      " << (k < got.size() ? got[k] : "(nothing)") << "\n"
                << "  all it printed:\n";
      for (const std::string& line : got) std::cerr << line << "\n";
      return 1;
    }
    differences += got != expected;
    i = end;
  }
  if (lines.empty()) std::cerr << file.string() << ": no such transcript, or an empty one\n";
  if (update && differences > 0) std::ofstream(file, std::ios::binary) << rewritten;
  if (update) std::cout << file.string() << ": " << differences << " case(s) rewritten\n";
  return lines.empty() ? 2 : 0;
}

}  // namespace
}  // namespace plumage::test

int main(int argc, char** argv) {
  const bool update = argc == 3 && std::string(argv[1]) == "--update";
  if (argc != 2 && !update) {
    std::cerr << "usage: transcript_runner [--update] FILE.t\n";
    return 2;
  }
  return plumage::test::Main(std::filesystem::absolute(argv[argc - 1]), update);
}
