#include "platform/posix/posix_system.h"

#include <fcntl.h>
#include <poll.h>
#include <sys/file.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cerrno>
#include <chrono>
#include <cstdlib>
#include <cstring>
#include <filesystem>

#include "platform/posix/posix_files.h"

#if PLUMAGE_HAVE_XTST
#include <X11/Xlib.h>
#include <X11/extensions/XTest.h>
#include <X11/keysym.h>
#endif


namespace plumage::platform {
namespace fs = std::filesystem;

PosixSystem::~PosixSystem() {
  if (instanceFd_ >= 0) close(instanceFd_);
}

std::string PosixSystem::DefaultProgramFolder() {
  fs::path folder;
  if (const char* home = std::getenv("PLUMAGE_HOME"); home && *home)
    folder = home;
  else if (const char* xdg = std::getenv("XDG_DATA_HOME"); xdg && *xdg)
    folder = fs::path(xdg) / "plumage";
  else
    folder = fs::path(HomeFolder()) / ".local" / "share" / "plumage";
  std::string text = folder.string();
  if (text.empty() || text.back() != '/') text.push_back('/');
  return text;
}

std::string PosixSystem::InstanceLockPath() {
  if (const char* run = std::getenv("XDG_RUNTIME_DIR"); run && *run)
    return (fs::path(run) / "plumage.lock").string();
  return "/tmp/plumage-" + std::to_string(getuid()) + ".lock";
}

std::string PosixSystem::ProgramFolder() {
  if (folder_.empty()) {
    folder_ = DefaultProgramFolder();
    std::error_code ec;
    fs::create_directories(fs::path(folder_) / "Icons", ec);
  }
  return folder_;
}

std::string PosixSystem::ExecutableName() {
  std::error_code ec;
  fs::path exe = fs::read_symlink("/proc/self/exe", ec);
  if (ec) return "plumage";
  return exe.stem().string();
}

bool PosixSystem::PreviousInstanceRunning() {
  if (instanceChecked_) return another_;
  instanceChecked_ = true;
  instanceFd_ = open(InstanceLockPath().c_str(), O_RDWR | O_CREAT | O_CLOEXEC, 0600);
  if (instanceFd_ < 0) return false;  // no lock to be had: let this copy run
  if (flock(instanceFd_, LOCK_EX | LOCK_NB) != 0) {
    another_ = errno == EWOULDBLOCK;
    close(instanceFd_);
    instanceFd_ = -1;
  }
  return another_;
}

std::uint32_t PosixSystem::TickCount() {
  using namespace std::chrono;
  return static_cast<std::uint32_t>(
      duration_cast<milliseconds>(steady_clock::now().time_since_epoch()).count());
}

long PosixSystem::LastError() { return errno; }

std::string PosixSystem::ErrorMessage(long code) {
  return std::strerror(static_cast<int>(code));
}

// How long the opener is given to say that nothing could open a document.
constexpr int kOpenerVerdictMs = 2000;

bool PosixShell::OpenDocument(const std::string& target) {
  // A relative name that begins with '-' would be taken for one of
  // xdg-open's options; "./" keeps it a file name.
  const std::string argument = target.starts_with('-') ? "./" + target : target;
  // xdg-open's exit status comes back through this pipe. A pipe that cannot
  // be made leaves the outcome unknown, which counts as opened.
  int status[2] = {-1, -1};
  const bool told = pipe2(status, O_CLOEXEC) == 0;
  // Started three times removed: the program never waits for a browser and
  // leaves no zombie; the middle process waits for xdg-open and passes its
  // status on, and is itself reaped by init.
  pid_t child = fork();
  if (child == 0) {
    if (told) close(status[0]);
    if (fork() == 0) {
      pid_t opener = fork();
      if (opener == 0) {
        int null = open("/dev/null", O_RDWR);
        if (null >= 0) {
          dup2(null, 0);
          dup2(null, 1);
          dup2(null, 2);
        }
        const char* argv[] = {"xdg-open", argument.c_str(), nullptr};
        execvp("xdg-open", const_cast<char* const*>(argv));
        _exit(127);
      }
      int result = 0;
      while (opener > 0 && waitpid(opener, &result, 0) < 0 && errno == EINTR) {
      }
      const unsigned char code =
          opener < 0 ? 127 : WIFEXITED(result) ? static_cast<unsigned char>(WEXITSTATUS(result)) : 255;
      if (told) (void)!write(status[1], &code, 1);
      _exit(0);
    }
    _exit(0);
  }
  if (told) close(status[1]);
  if (child > 0) {
    int result = 0;
    while (waitpid(child, &result, 0) < 0 && errno == EINTR) {
    }
  }
  if (!told) return child > 0;
  // xdg-open ends at once when nothing can open the address (or when it has
  // handed it to a running browser); a browser it starts itself may keep it
  // running, and is then taken to be opening.
  bool opened = child > 0;
  pollfd ready{status[0], POLLIN, 0};
  if (opened && poll(&ready, 1, kOpenerVerdictMs) > 0) {
    unsigned char code = 0;
    if (read(status[0], &code, 1) == 1) opened = code == 0;
  }
  close(status[0]);
  return opened;
}

void PosixShell::SendRefreshKey() {
#if PLUMAGE_HAVE_XTST
  const char* display = std::getenv("DISPLAY");
  if (!display || !*display) return;
  Display* dpy = XOpenDisplay(nullptr);
  if (!dpy) return;
  int ev = 0, err = 0, major = 0, minor = 0;
  if (XTestQueryExtension(dpy, &ev, &err, &major, &minor)) {
    KeyCode f5 = XKeysymToKeycode(dpy, XK_F5);
    if (f5 != 0) {
      XTestFakeKeyEvent(dpy, f5, True, CurrentTime);
      XTestFakeKeyEvent(dpy, f5, False, CurrentTime);
      XFlush(dpy);
    }
  }
  XCloseDisplay(dpy);
#endif
}

}  // namespace plumage::platform
