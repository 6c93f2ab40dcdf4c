// plumagectl run as an administrator runs it on someone else's folder, and as
// scripts run it: in parallel, killed half-way, on a full disk, against
// links, FIFOs and devices planted where it reads and writes. Every run has
// a timeout of its own, so a run that blocks fails the test instead of
// hanging it.
#include <signal.h>
#include <sys/mount.h>
#include <sys/resource.h>
#include <sys/stat.h>
#include <sys/sysmacros.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cstring>
#include <random>
#include <regex>

#include "folder_fixture.h"
#include "support/icon_writer.h"

namespace plumage::test {
namespace {

// Long enough for a slow machine, short enough to tell a hang.
constexpr const char* kTimeoutSeconds = "60";
constexpr int kTimedOut = 124;  // timeout(1)'s status

class SafeWritesTest : public ::testing::Test {
 protected:
  SafeWritesTest() {
    fs::create_directory(folder);
    // A small real icon, so that the Linux file managers' side runs too.
    DibDef dib;
    dib.width = 32;
    dib.height = 32;
    dib.bpp = 32;
    dib.pixels.assign(32 * 32, 0xFF2060A0u);
    const Bytes ico = WriteIco({EncodeDib(dib)});
    WriteFile(icon, std::string(ico.begin(), ico.end()));
    const Bytes png = EncodePng(4, 4, std::vector<platform::Rgba>(16, {200, 100, 50, 255}));
    WriteFile(picture, std::string(png.begin(), png.end()));
  }

  std::vector<std::string> Env() const {
    return {"PLUMAGE_CONFIG=" + (dir / "config").string(),
            "PLUMAGE_HOME=" + (dir / "program").string(), "HOME=" + (dir / "home").string(),
            "XDG_DATA_HOME=" + (dir / "home/.local/share").string(),
            "XDG_CONFIG_HOME=" + (dir / "home/.config").string(), "DISPLAY="};
  }
  std::vector<std::string> Argv(std::vector<std::string> args) const {
    args.insert(args.begin(), {"/usr/bin/timeout", kTimeoutSeconds, PLUMAGECTL_PATH});
    return args;
  }
  ProcessResult Ctl(std::vector<std::string> args) { return RunProcess(Argv(std::move(args)), Env()); }

  // Every leftover of a write: the siblings named .NAME.tmp-PID.
  static std::vector<std::string> Temporaries(const fs::path& where) {
    std::vector<std::string> found;
    for (const auto& entry : fs::directory_iterator(where))
      if (entry.path().filename().string().find(".tmp-") != std::string::npos)
        found.push_back(entry.path().filename().string());
    return found;
  }

  TempDir dir;
  fs::path folder = dir / "Music";
  fs::path ini = folder / "DESKTOP.INI";
  fs::path icon = dir / "note.ico";
  fs::path picture = dir / "picture.png";
};

// A file's bytes, mode and extended attribute, to see that nothing of it
// changed.
struct FileState {
  explicit FileState(const fs::path& path)
      : bytes(ReadFile(path)), dos(GetfattrValue(path.string(), "user.DOSATTRIB")) {
    struct stat st {};
    stat(path.c_str(), &st);
    mode = st.st_mode;
  }
  bool operator==(const FileState&) const = default;
  std::string bytes;
  std::optional<std::string> dos;
  mode_t mode = 0;
};

TEST_F(SafeWritesTest, ALinkedDescriptorIsRefusedAndItsTargetUntouched) {
  const fs::path other = dir / "elsewhere";
  fs::create_directory(other);
  const fs::path target = other / "passwd";
  WriteFile(target, "root:x:0:0\n");
  fs::permissions(target, fs::perms::owner_read);
  fs::create_symlink(target, ini);
  const FileState before(target);

  for (const auto& args : {std::vector<std::string>{"reset", folder.string()},
                           std::vector<std::string>{"set", "--no-copy", folder.string(), icon.string(), "0"}}) {
    ProcessResult run = Ctl(args);
    EXPECT_EQ(run.exitCode, 1) << args[0] << "\n" << run.err;
    EXPECT_NE(run.err.find(ini.string() + ": it is a link to " + target.string()), std::string::npos)
        << run.err;
    EXPECT_EQ(std::count(run.err.begin(), run.err.end(), '\n'), 1) << "one error, one line:\n"
                                                                   << run.err;
    EXPECT_EQ(FileState(target), before);
    EXPECT_TRUE(fs::is_symlink(ini));
    EXPECT_EQ(GetfattrValue(folder.string(), "user.DOSATTRIB"), std::nullopt);
  }
}

TEST_F(SafeWritesTest, AUsersOwnLinkBesideTheDescriptorIsWrittenThrough) {
  // Kept on purpose: desktop.ini -> a file in the same folder, same owner.
  WriteFile(folder / "shared.ini", "[Other]\r\nx=1\r\n");
  fs::create_symlink("shared.ini", ini);
  ProcessResult run = Ctl({"set", "--no-copy", folder.string(), icon.string(), "0"});
  EXPECT_EQ(run.exitCode, 0) << run.err;
  EXPECT_TRUE(fs::is_symlink(ini));
  EXPECT_EQ(ReadFile(folder / "shared.ini"),
            "[Other]\r\nx=1\r\n[.ShellClassInfo]\r\nIconFile=" + icon.string() +
                "\r\nIconIndex=0\r\n");
}

TEST_F(SafeWritesTest, ALinkedDirectoryFileIsNeitherReadNorWritten) {
  const fs::path secret = dir / "secret";
  WriteFile(secret, "[Desktop Entry]\nIcon=top-secret-value\n");
  fs::permissions(secret, fs::perms::owner_read | fs::perms::owner_write);
  fs::create_symlink(secret, folder / ".directory");
  const FileState before(secret);

  ProcessResult run = Ctl({"set", "--no-copy", folder.string(), icon.string(), "0"});
  // The descriptor is written; Dolphin's file is not, and that is a warning.
  EXPECT_EQ(run.exitCode, 3) << run.err;
  EXPECT_NE(run.err.find(".directory: it is a link to"), std::string::npos) << run.err;
  EXPECT_EQ(FileState(secret), before);
  EXPECT_TRUE(fs::is_symlink(folder / ".directory"));
  for (const auto& entry : fs::recursive_directory_iterator(dir.path())) {
    if (entry.is_symlink() || !entry.is_regular_file() || entry.path() == secret) continue;
    EXPECT_EQ(ReadFile(entry.path()).find("top-secret-value"), std::string::npos) << entry.path();
  }
}

// What sits at an output path that is not a file of ours stays as it was:
// a FIFO, a link into another folder and, where the test may make one, a
// device node.
TEST_F(SafeWritesTest, OutputsNeverReplaceFifosDevicesOrForeignLinks) {
  const fs::path out = dir / "out";
  fs::create_directory(out);
  const fs::path elsewhere = dir / "elsewhere.txt";
  WriteFile(elsewhere, "keep me");
  std::vector<fs::path> places = {out / "fifo", out / "link"};
  ASSERT_EQ(mkfifo(places[0].c_str(), 0644), 0);
  fs::create_symlink(elsewhere, places[1]);
  if (geteuid() == 0) {
    places.push_back(out / "null");
    ASSERT_EQ(mknod(places[2].c_str(), S_IFCHR | 0666, makedev(1, 3)), 0);
  }
  for (const fs::path& place : places) {
    SCOPED_TRACE(place);
    const auto kind = fs::symlink_status(place).type();
    const std::vector<std::vector<std::string>> writers = {
        {"make-icon", icon.string(), "--colour", "blue", "--out", place.string()},
        {"palette", "create", "halftone", place.string()},
        {"image", "save", picture.string(), place.string()},
    };
    for (const auto& args : writers) {
      ProcessResult run = Ctl(args);
      EXPECT_NE(run.exitCode, 0) << args[0] << " " << args[1] << ": " << run.out;
      EXPECT_NE(run.exitCode, kTimedOut) << args[0];
      EXPECT_EQ(fs::symlink_status(place).type(), kind) << args[0] << " " << run.err;
    }
  }
  EXPECT_EQ(ReadFile(elsewhere), "keep me");

  // An export over a FIFO of the name it would write.
  const fs::path exportDir = dir / "export";
  fs::create_directory(exportDir);
  ASSERT_EQ(mkfifo((exportDir / "note_0.png").c_str(), 0644), 0);
  ProcessResult run = Ctl({"icons", icon.string(), "--export", exportDir.string()});
  EXPECT_EQ(run.exitCode, 1) << run.out << run.err;
  EXPECT_TRUE(fs::is_fifo(exportDir / "note_0.png"));
}

TEST_F(SafeWritesTest, FifosInEveryPlaceOfAnInputAnswerAtOnce) {
  const fs::path fifo = dir / "fifo";
  ASSERT_EQ(mkfifo(fifo.c_str(), 0644), 0);
  for (const auto& args : std::vector<std::vector<std::string>>{
           {"icons", fifo.string()},
           {"image", "gray", fifo.string(), (dir / "g.bmp").string()},
           {"image", "save", picture.string(), (dir / "s.bmp").string(), "--depth", "8",
            "--palette", fifo.string()},
           {"make-icon", fifo.string(), "--colour", "red", "--out", (dir / "m.ico").string()},
           {"set", "--no-copy", folder.string(), fifo.string(), "0"},
       }) {
    ProcessResult run = Ctl(args);
    EXPECT_EQ(run.exitCode, 1) << args[0] << " " << args[1] << "\n" << run.out << run.err;
  }
  // FIFOs planted as the descriptor, Dolphin's file and the settings store.
  ASSERT_EQ(Ctl({"install"}).exitCode, 0);
  ASSERT_EQ(mkfifo((folder / ".directory").c_str(), 0644), 0);
  ProcessResult set = Ctl({"set", "--no-copy", folder.string(), icon.string(), "0"});
  EXPECT_EQ(set.exitCode, 3) << set.err;
  EXPECT_TRUE(fs::is_fifo(folder / ".directory"));

  fs::create_directory(dir / "Other2");
  ASSERT_EQ(mkfifo((dir / "Other2" / "DESKTOP.INI").c_str(), 0644), 0);
  ProcessResult fifoIni = Ctl({"set", "--no-copy", (dir / "Other2").string(), icon.string(), "0"});
  EXPECT_EQ(fifoIni.exitCode, 1) << fifoIni.err;
  EXPECT_TRUE(fs::is_fifo(dir / "Other2" / "DESKTOP.INI"));

  const fs::path store = dir / "config" / "registry.reg";
  fs::remove(store);
  ASSERT_EQ(mkfifo(store.c_str(), 0644), 0);
  ProcessResult settings = Ctl({"settings", "--reminder", "off"});
  EXPECT_EQ(settings.exitCode, 1) << settings.err;
  EXPECT_TRUE(fs::is_fifo(store));
}

// "IconFile" from one command and "IconIndex" from another name no icon:
// whatever the order the runs take, the file ends as one of them left it.
TEST_F(SafeWritesTest, ConcurrentRunsOnOneFolderEndWithOneRunsPair) {
  constexpr int kRuns = 50;
  std::vector<int> pids;
  for (int i = 0; i < kRuns; ++i) {
    const fs::path own = dir / ("icon" + std::to_string(i) + ".ico");
    fs::copy_file(icon, own);
    auto args = i % 5 == 4 ? Argv({"reset", folder.string()})
                           : Argv({"set", "--no-copy", folder.string(), own.string(), std::to_string(i)});
    pids.push_back(StartProcess(args, Env()));
  }
  for (int pid : pids) EXPECT_NE(WaitProcess(pid), kTimedOut);

  const std::string text = ReadFile(ini);
  std::smatch m;
  ASSERT_TRUE(std::regex_match(
      text, m, std::regex("\\[\\.ShellClassInfo\\]\r\nIconFile=(.*)\r\nIconIndex=(.*)\r\n")))
      << text;
  if (m[1].str().empty()) {
    EXPECT_EQ(m[2].str(), "");
    EXPECT_EQ(GetfattrValue(folder.string(), "user.DOSATTRIB"), std::nullopt);
  } else {
    EXPECT_EQ(m[1].str(), (dir / ("icon" + m[2].str() + ".ico")).string());
    EXPECT_EQ(GetfattrValue(folder.string(), "user.DOSATTRIB"), "0x4");
  }
  EXPECT_EQ(GetfattrValue(ini.string(), "user.DOSATTRIB"), "0x6");
  EXPECT_TRUE(Temporaries(folder).empty());
}

// Runs killed at random moments leave the old file or the new one, never a
// mix; what a killed run left behind goes with the next run.
TEST_F(SafeWritesTest, KilledRunsNeverLeaveAMixedPairAndTheNextRunCleansUp) {
  std::mt19937 random(20261207);
  std::uniform_int_distribution<int> delayUs(0, 30000);
  WriteFile(dir / "a.ico", ReadFile(icon));
  WriteFile(dir / "b.ico", ReadFile(icon));
  // Index 1 of a one-icon file: the descriptor takes it (a warning says the
  // file managers have no such icon), and the pair tells the runs apart.
  const std::string a = "IconFile=" + (dir / "a.ico").string() + "\r\nIconIndex=1\r\n";
  const std::string b = "IconFile=" + (dir / "b.ico").string() + "\r\nIconIndex=0\r\n";
  ASSERT_EQ(Ctl({"set", "--no-copy", folder.string(), (dir / "a.ico").string(), "1"}).exitCode, 3);
  for (int round = 0; round < 30; ++round) {
    const bool toB = round % 2 == 0;
    // plumagectl itself, not under timeout(1): the kill must reach it.
    int pid = StartProcess({PLUMAGECTL_PATH, "set", "--no-copy", folder.string(),
                            (dir / (toB ? "b.ico" : "a.ico")).string(), toB ? "0" : "1"},
                           Env());
    usleep(static_cast<useconds_t>(delayUs(random)));
    kill(pid, SIGKILL);
    WaitProcess(pid);
    const std::string text = ReadFile(ini);
    const std::string body = text.substr(std::string("[.ShellClassInfo]\r\n").size());
    EXPECT_TRUE(body == a || body == b) << "round " << round << ":\n" << text;
  }
  ASSERT_EQ(Ctl({"set", "--no-copy", folder.string(), (dir / "b.ico").string(), "0"}).exitCode, 0);
  EXPECT_TRUE(Temporaries(folder).empty());
}

// The memory a run takes is the file's size and a little: not a structure
// per line of it.
TEST_F(SafeWritesTest, ALargeDescriptorIsEditedInLittleMemory) {
#if defined(__SANITIZE_ADDRESS__)
  GTEST_SKIP() << "AddressSanitizer's shadow memory and quarantine say nothing of the program's own";
#elif defined(__has_feature)
#if __has_feature(address_sanitizer)
  GTEST_SKIP() << "AddressSanitizer's shadow memory and quarantine say nothing of the program's own";
#endif
#endif
  // "音楽.ico": a name Windows-1252 lacks makes the file UTF-16, twice as large.
  const fs::path wideIcon = dir / "\xE9\x9F\xB3\xE6\xA5\xBD.ico";
  fs::copy_file(icon, wideIcon);
  struct Case {
    const char* what;
    std::size_t blankLines;
    fs::path icon;
    bool utf16;
  };
  const Case cases[] = {
      {"8 MiB of Windows-1252", (8u << 20) - 256, icon, false},
      {"4 MiB of Windows-1252 that become UTF-16", (4u << 20) - 256, wideIcon, true},
  };
  for (const auto& c : cases) {
    WriteFile(ini, std::string(c.blankLines, '\n') + "[.ShellClassInfo]\r\nIconFile=x\r\n");
    int pid = StartProcess({PLUMAGECTL_PATH, "set", "--no-copy", folder.string(), c.icon.string(), "0"}, Env());
    ASSERT_GT(pid, 0);
    int status = 0;
    rusage usage{};
    ASSERT_EQ(wait4(pid, &status, 0, &usage), pid);
    EXPECT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 0) << c.what << ": " << status;
    EXPECT_LT(usage.ru_maxrss, 100 * 1024) << c.what << ": kilobytes at the peak";
    const std::string text = ReadFile(ini);
    std::string tail = "[.ShellClassInfo]\r\nIconFile=" + c.icon.string() + "\r\nIconIndex=0\r\n";
    if (c.utf16) {
      const std::u16string units = fs::path(tail).u16string();
      tail.assign(reinterpret_cast<const char*>(units.data()), units.size() * 2);  // little-endian
      EXPECT_EQ(text.substr(0, 4), std::string("\xFF\xFE\n\0", 4)) << c.what;
      EXPECT_EQ(text.size(), 2 + 2 * c.blankLines + tail.size()) << c.what;
    }
    ASSERT_GE(text.size(), tail.size()) << c.what;
    EXPECT_EQ(text.substr(text.size() - tail.size()), tail) << c.what;
  }
}

TEST_F(SafeWritesTest, ExitStatusesSayWhatHappened) {
  EXPECT_EQ(Ctl({"show", (dir / "missing").string()}).exitCode, 1);
  ProcessResult missingIcon = Ctl({"set", "--no-copy", folder.string(), (dir / "none.ico").string(), "0"});
  EXPECT_EQ(missingIcon.exitCode, 1);
  EXPECT_NE(missingIcon.err.find("does not exist"), std::string::npos) << missingIcon.err;
  EXPECT_FALSE(fs::exists(ini));
  EXPECT_EQ(Ctl({"set", "--no-copy", folder.string(), dir.str(), "0"}).exitCode, 1) << "a folder is no icon";
  // The path as it will be once the icon is there: written on request, with
  // the warning that the file managers have no icon to show yet.
  EXPECT_EQ(Ctl({"set", "--no-copy", "--force", folder.string(), (dir / "none.ico").string(), "0"}).exitCode, 3);
  EXPECT_TRUE(fs::exists(ini));
  EXPECT_EQ(Ctl({"set", "--no-copy", folder.string()}).exitCode, 2);
  ProcessResult tooLong = Ctl({"show", "/" + std::string(5000, 'a')});
  EXPECT_EQ(tooLong.exitCode, 1);
  EXPECT_NE(tooLong.err.find("too long"), std::string::npos) << tooLong.err;
  EXPECT_LT(tooLong.err.size(), 200u);
  ProcessResult help = Ctl({"--help"});
  EXPECT_NE(help.out.find("Exit status: 0 done; 1 error"), std::string::npos) << help.out;
  WriteFile(dir / "picture.txt", "no icons in here");
  ProcessResult noIcons = Ctl({"make-icon", (dir / "picture.txt").string(), "--colour", "red",
                               "--out", (dir / "x.ico").string()});
  EXPECT_EQ(noIcons.exitCode, 1);
  EXPECT_FALSE(fs::exists(dir / "x.ico"));
}

// A full file system (a small tmpfs of the test's own; mounting takes root):
// nothing is reported as done, and nothing that was there changes.
class FullDiskTest : public SafeWritesTest {
 protected:
  void SetUp() override {
    if (geteuid() != 0) GTEST_SKIP() << "mounting a small tmpfs takes root";
    fs::create_directory(disk);
    ASSERT_EQ(mount("tmpfs", disk.c_str(), "tmpfs", 0, "size=256k"), 0) << std::strerror(errno);
    mounted = true;
  }
  void TearDown() override {
    if (mounted) umount2(disk.c_str(), MNT_DETACH);
  }
  void Fill() {
    std::string block(4096, 'x');
    for (int i = 0;; ++i) {
      FILE* f = std::fopen((disk / ("fill" + std::to_string(i))).c_str(), "wb");
      if (!f) break;
      const bool full = std::fwrite(block.data(), 1, block.size(), f) != block.size();
      if (std::fclose(f) != 0 || full) break;
    }
  }
  std::vector<std::string> OnDisk() const {
    auto env = Env();
    env.push_back("PLUMAGE_CONFIG=" + (disk / "config").string());
    return env;
  }
  fs::path disk = dir / "disk";
  bool mounted = false;
};

TEST_F(FullDiskTest, SettingsAndDescriptorsOnAFullDiskFailAndKeepWhatWasThere) {
  const auto env = OnDisk();
  auto ctl = [&](std::vector<std::string> args) { return RunProcess(Argv(std::move(args)), env); };
  ASSERT_EQ(ctl({"install"}).exitCode, 0);
  const fs::path entries = dir / "home/.local/share/kio/servicemenus";
  const fs::path folderOnDisk = disk / "Photos";
  fs::create_directory(folderOnDisk);
  WriteFile(folderOnDisk / "DESKTOP.INI", "[.ShellClassInfo]\r\nIconFile=old.ico\r\nIconIndex=0\r\n");
  ASSERT_TRUE(Setfattr((folderOnDisk / "DESKTOP.INI").string(), "user.DOSATTRIB", "\"0x6\""));
  fs::permissions(folderOnDisk / "DESKTOP.INI", fs::perms::owner_read | fs::perms::group_read);
  const FileState store(disk / "config" / "registry.reg");
  const FileState descriptor(folderOnDisk / "DESKTOP.INI");
  std::string menuBefore;
  for (const auto& entry : fs::directory_iterator(entries)) menuBefore += ReadFile(entry.path());
  Fill();

  ProcessResult reminder = ctl({"settings", "--reminder", "off"});
  EXPECT_EQ(reminder.exitCode, 1) << reminder.out;
  ProcessResult language = ctl({"settings", "--language", "fr"});
  EXPECT_EQ(language.exitCode, 1) << language.out;
  EXPECT_NE(language.err.find("a value the store refused is left as it was"), std::string::npos)
      << language.err;
  EXPECT_EQ(FileState(disk / "config" / "registry.reg"), store);
  std::string menuAfter;
  for (const auto& entry : fs::directory_iterator(entries)) menuAfter += ReadFile(entry.path());
  EXPECT_EQ(menuAfter, menuBefore) << "the entries keep the stored language";

  ProcessResult set = ctl({"set", "--no-copy", folderOnDisk.string(), icon.string(), "0"});
  EXPECT_EQ(set.exitCode, 1) << set.out;
  EXPECT_NE(set.err.find("left as they were"), std::string::npos) << set.err;
  EXPECT_EQ(FileState(folderOnDisk / "DESKTOP.INI"), descriptor) << "still Read-only, Hidden";
  EXPECT_EQ(GetfattrValue(folderOnDisk.string(), "user.DOSATTRIB"), std::nullopt);
  EXPECT_TRUE(Temporaries(folderOnDisk).empty());
}

}  // namespace
}  // namespace plumage::test
