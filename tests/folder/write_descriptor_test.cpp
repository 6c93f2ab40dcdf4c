// WriteFolderDescriptor against real files in a temporary folder.
#include <fcntl.h>
#include <linux/fs.h>
#include <sys/ioctl.h>
#include <sys/stat.h>
#include <unistd.h>

#include "folder_fixture.h"
#include "platform/files.h"

namespace plumage::test {
namespace {

using platform::kAttributeArchive;
using platform::kAttributeHidden;
using platform::kAttributeReadOnly;
using platform::kAttributeSystem;

mode_t Mode(const fs::path& path) {
  struct stat st {};
  stat(path.c_str(), &st);
  return st.st_mode & 07777;
}

TEST_F(FolderTest, FreshFolderGetsTheTwoKeysAndTheAttributes) {
  SetDos(folder, kAttributeHidden | kAttributeArchive);
  SelectedIcon = "C:\\Icons\\Game.ico";
  SelectedNo = "0";
  FolderWriteReport report = Ops().WriteFolderDescriptor();

  EXPECT_EQ(report.outcome, FolderWriteReport::Outcome::Written);
  EXPECT_TRUE(report.unstored.empty());
  EXPECT_EQ(IniBytes(), "[.ShellClassInfo]\r\nIconFile=C:\\Icons\\Game.ico\r\nIconIndex=0\r\n");
  EXPECT_EQ(Dos(Ini()), "0x6");
  EXPECT_EQ(Dos(folder), "0x26") << "System added to Hidden and Archive";
  EXPECT_TRUE(ui.messages.empty());
  EXPECT_EQ(ui.doEvents, 1);
  ASSERT_EQ(env.shell.cached.size(), 1u);
  EXPECT_EQ(env.shell.cached[0], std::make_pair(std::string("C:\\Icons\\Game.ico"), 0));
  // Every window showing the folder is told.
  EXPECT_EQ(env.shell.foldersChanged,
            (std::vector<std::pair<std::string, std::string>>{{folder.string(), Ini().string()}}));
}

// Applying an icon again to a folder that carries System must not take
// its Read-only and Hidden away.
TEST_F(FolderTest, AFolderKeepsReadOnlyHiddenAndArchive) {
  SetDos(folder, kAttributeHidden | kAttributeSystem | kAttributeArchive);
  const bool root = geteuid() == 0;  // only root writes into a folder without write permission
  if (root) {
    ASSERT_EQ(chmod(folder.c_str(), 0555), 0);
  }
  SelectedIcon = "/icons/a.ico";
  SelectedNo = "1";
  Ops().WriteFolderDescriptor();
  EXPECT_EQ(Dos(folder), "0x26");
  auto a = env.files.GetAttributes(folder.string());
  ASSERT_TRUE(a.ok());
  EXPECT_EQ(*a & kAttributeReadOnly, root ? kAttributeReadOnly : 0u);

  // Reset takes System away, and only System.
  SelectedIcon.clear();
  SelectedNo.clear();
  Ops().WriteFolderDescriptor();
  EXPECT_EQ(Dos(folder), "0x22");
  if (root) {
    EXPECT_EQ(Mode(folder), 0555u);
  }
  EXPECT_EQ(IniBytes(), "[.ShellClassInfo]\r\nIconFile=\r\nIconIndex=\r\n");
  EXPECT_EQ(Dos(Ini()), "0x6") << "Hidden and System on every write";
  EXPECT_TRUE(ui.messages.empty());
  if (root) chmod(folder.c_str(), 0755);
}

TEST_F(FolderTest, AnExistingFileKeepsEveryOtherByte) {
  const std::string before =
      "; written by hand\r\n[ViewState]\nMode=\nVid=\r[.ShellClassInfo]\r\nConfirmFileOp=0\r\n"
      "IconIndex = 7 \n\r\n[Other]\r\nIconFile=keep\r\nx=\xE9t\xE9";
  WriteFile(Ini(), before);
  SelectedIcon = "/icons/x.ico";
  SelectedNo = "3";
  Ops().WriteFolderDescriptor();
  EXPECT_EQ(
      IniBytes(),
      "; written by hand\r\n[ViewState]\nMode=\nVid=\r[.ShellClassInfo]\r\nConfirmFileOp=0\r\n"
      "IconIndex =3\nIconFile=/icons/x.ico\r\n\r\n[Other]\r\nIconFile=keep\r\nx=\xE9t\xE9");
}

TEST_F(FolderTest, AReadOnlyDescriptorIsWrittenAndEndsHiddenAndSystem) {
  WriteFile(Ini(), "[.ShellClassInfo]\r\nIconFile=old.ico\r\nIconIndex=1\r\n");
  SetDos(Ini(), kAttributeReadOnly | kAttributeArchive);
  ASSERT_EQ(Mode(Ini()) & 0222, 0u);
  SelectedIcon = "new.ico";
  SelectedNo = "2";
  Ops().WriteFolderDescriptor();
  EXPECT_TRUE(ui.messages.empty());
  EXPECT_EQ(IniBytes(), "[.ShellClassInfo]\r\nIconFile=new.ico\r\nIconIndex=2\r\n");
  EXPECT_EQ(Dos(Ini()), "0x6");
  EXPECT_NE(Mode(Ini()) & 0200, 0u) << "Read-only went with the first step";
}

TEST_F(FolderTest, IconResourceFollowsWhereItIsAlreadyThere) {
  WriteFile(Ini(), "[.ShellClassInfo]\r\nIconResource=C:\\Windows\\shell32.dll,4\r\n");
  SelectedIcon = "/i/new.ico";
  SelectedNo = "2";
  Ops().WriteFolderDescriptor();
  EXPECT_EQ(IniBytes(),
            "[.ShellClassInfo]\r\nIconResource=/i/new.ico,2\r\nIconFile=/i/new.ico\r\n"
            "IconIndex=2\r\n");
  SelectedIcon.clear();
  SelectedNo.clear();
  Ops().WriteFolderDescriptor();
  EXPECT_EQ(IniBytes(), "[.ShellClassInfo]\r\nIconResource=\r\nIconFile=\r\nIconIndex=\r\n");

  // Never added, not even when another section has one.
  WriteFile(Ini(), "[Other]\r\nIconResource=x,1\r\n");
  SelectedIcon = "/i/new.ico";
  SelectedNo = "0";
  Ops().WriteFolderDescriptor();
  EXPECT_EQ(IniBytes(),
            "[Other]\r\nIconResource=x,1\r\n[.ShellClassInfo]\r\n"
            "IconFile=/i/new.ico\r\nIconIndex=0\r\n");
}

TEST_F(FolderTest, ADriveRootGetsAutorunAndResetDeletesIt) {
  const fs::path stick = dir / "Stick";
  fs::create_directory(stick);
  files.roots.insert(stick.string());
  env.program.ArgumentText = stick.string() + "/";
  SetDos(stick, kAttributeHidden);
  const fs::path autorun = stick / "AUTORUN.INF";

  SelectedIcon = "C:\\x.ico";
  SelectedNo = " 3 ";
  FolderWriteReport report = Ops().WriteFolderDescriptor();
  EXPECT_TRUE(report.place.driveRoot);
  EXPECT_EQ(ReadFile(autorun), "[Autorun]\r\nIcon=C:\\x.ico,3\r\n");
  EXPECT_EQ(Dos(autorun), "0x2");
  EXPECT_EQ(Dos(stick), "0x2") << "a drive root's attributes are not touched";
  EXPECT_FALSE(fs::exists(stick / "DESKTOP.INI"));

  // Reset deletes the whole file, other entries and Read-only included.
  WriteFile(autorun, "[Autorun]\r\nopen=setup.exe\r\nIcon=x,1\r\n");
  ASSERT_EQ(chmod(autorun.c_str(), 0444), 0);
  SelectedIcon.clear();
  SelectedNo.clear();
  report = Ops().WriteFolderDescriptor();
  EXPECT_EQ(report.outcome, FolderWriteReport::Outcome::Removed);
  EXPECT_FALSE(fs::exists(autorun));
  EXPECT_TRUE(report.unstored.empty());

  // Reset again: nothing to delete, nothing written.
  report = Ops().WriteFolderDescriptor();
  EXPECT_EQ(report.outcome, FolderWriteReport::Outcome::Removed);
  EXPECT_EQ(std::distance(fs::directory_iterator(stick), {}), 0);
  EXPECT_TRUE(ui.messages.empty());
  EXPECT_TRUE(env.shell.cached.size() == 1u) << "only the write with an icon";
  // The shell hears of the write and of the deletion, not of the reset
  // that found nothing to delete.
  ASSERT_EQ(env.shell.foldersChanged.size(), 2u);
  EXPECT_EQ(env.shell.foldersChanged[1].second, autorun.string());
}

TEST_F(FolderTest, AMissingFolderIsInvalidAndNothingIsWritten) {
  messages = FolderMessageTexts(1);  // the picker loaded in French
  env.program.ArgumentText = (dir / "none").string();
  ui.SetWaitCursor(true);
  SelectedIcon = "/i/x.ico";
  SelectedNo = "0";
  FolderWriteReport report = Ops().WriteFolderDescriptor();
  EXPECT_EQ(report.outcome, FolderWriteReport::Outcome::InvalidFolder);
  ASSERT_EQ(ui.messages.size(), 1u);
  EXPECT_EQ(ui.messages[0].text, "Dossier invalide!");
  EXPECT_EQ(ui.messages[0].title, "Erreur!");
  EXPECT_EQ(ui.messages[0].icon, MessageIcon::Exclamation);
  EXPECT_FALSE(ui.messages[0].waitCursorWasOn) << "the pointer is back to normal first";
  EXPECT_EQ(std::distance(fs::directory_iterator(dir.path()), {}), 1) << "only Games";
  EXPECT_TRUE(env.shell.cached.empty());
  EXPECT_TRUE(env.shell.foldersChanged.empty());
}

// Makes a folder refuse new files, root or not; undone at the end.
class Unwritable {
 public:
  explicit Unwritable(const fs::path& path) : path_(path) {
    if (geteuid() != 0) {
      ok_ = chmod(path.c_str(), 0555) == 0;
      return;
    }
    fd_ = open(path.c_str(), O_RDONLY | O_DIRECTORY);
    int flags = 0;
    ok_ = fd_ >= 0 && ioctl(fd_, FS_IOC_GETFLAGS, &flags) == 0 &&
          (flags |= FS_IMMUTABLE_FL, ioctl(fd_, FS_IOC_SETFLAGS, &flags) == 0);
  }
  ~Unwritable() {
    if (fd_ >= 0) {
      int flags = 0;
      if (ioctl(fd_, FS_IOC_GETFLAGS, &flags) == 0) {
        flags &= ~FS_IMMUTABLE_FL;
        ioctl(fd_, FS_IOC_SETFLAGS, &flags);
      }
      close(fd_);
    } else {
      chmod(path_.c_str(), 0755);
    }
  }
  bool ok() const { return ok_; }

 private:
  fs::path path_;
  int fd_ = -1;
  bool ok_ = false;
};

TEST_F(FolderTest, AFailedWriteSaysSoOnceAndLeavesTheOldFileWhole) {
  const std::string old = "[.ShellClassInfo]\r\nIconFile=old.ico\r\nIconIndex=2\r\n";
  WriteFile(Ini(), old);
  SetDos(Ini(), kAttributeReadOnly | kAttributeSystem);
  SelectedIcon = "/i/new.ico";
  SelectedNo = "5";
  FolderWriteReport report;
  {
    Unwritable guard(folder);
    if (!guard.ok()) GTEST_SKIP() << "cannot make a folder unwritable here";
    report = Ops().WriteFolderDescriptor();
  }
  EXPECT_EQ(report.outcome, FolderWriteReport::Outcome::CannotWrite);
  EXPECT_NE(report.failure.find(Ini().string()), std::string::npos) << report.failure;
  ASSERT_EQ(ui.messages.size(), 1u);
  EXPECT_EQ(ui.messages[0].text, "Cannot write to file!");
  EXPECT_EQ(ui.messages[0].title, "Error!");
  EXPECT_EQ(ui.messages[0].icon, MessageIcon::Exclamation);
  EXPECT_EQ(IniBytes(), old);
  EXPECT_EQ(std::distance(fs::directory_iterator(folder), {}), 1) << "no temporary file left";
  EXPECT_EQ(Dos(Ini()), "0x4") << "the descriptor's attributes come back";
  EXPECT_EQ(Mode(Ini()) & 0222, 0u) << "Read-only too";
  EXPECT_EQ(Dos(folder), std::nullopt) << "no System without a descriptor";
  EXPECT_TRUE(env.shell.cached.empty());
  EXPECT_TRUE(env.shell.foldersChanged.empty()) << "nothing changed to tell of";
}

TEST_F(FolderTest, AKeyWrittenBeforeAFailureStays) {
  FailingProfile failing(env.profile, 2);
  env.os.profile = &failing;
  SelectedIcon = "/i/new.ico";
  SelectedNo = "5";
  FolderWriteReport report = Ops().WriteFolderDescriptor();
  EXPECT_EQ(report.outcome, FolderWriteReport::Outcome::CannotWrite);
  EXPECT_EQ(ui.messages.size(), 1u);
  EXPECT_EQ(IniBytes(), "[.ShellClassInfo]\r\nIconFile=/i/new.ico\r\n");
}

TEST_F(FolderTest, APathWindows1252LacksMakesTheDescriptorUtf16) {
  // Latin letters are stored as their Windows-1252 bytes.
  SelectedIcon = "/ic\xC3\xB4nes/\xC3\xA9t\xC3\xA9.ico";
  SelectedNo = "0";
  Ops().WriteFolderDescriptor();
  EXPECT_TRUE(ui.messages.empty());
  EXPECT_EQ(IniBytes(),
            "[.ShellClassInfo]\r\nIconFile=/ic\xF4nes/\xE9t\xE9.ico\r\nIconIndex=0\r\n");

  // A CJK character has no Windows-1252 byte: the file becomes UTF-16LE.
  SelectedIcon = "/icons/\xE4\xB8\xAD.ico";
  SelectedNo = "1";
  FolderWriteReport report = Ops().WriteFolderDescriptor();
  EXPECT_EQ(report.outcome, FolderWriteReport::Outcome::Written) << report.failure;
  EXPECT_TRUE(ui.messages.empty());
  const std::u16string text = u"[.ShellClassInfo]\r\nIconFile=/icons/\u4E2D.ico\r\nIconIndex=1\r\n";
  std::string utf16 = "\xFF\xFE";
  for (char16_t c : text) {
    utf16.push_back(static_cast<char>(c & 0xFF));
    utf16.push_back(static_cast<char>(c >> 8));
  }
  EXPECT_EQ(IniBytes(), utf16);
  EXPECT_EQ(Dos(Ini()), "0x6");
  EXPECT_EQ(ReadIniValue(env.profile, Ini().string(), kShellClassInfo, kIconFileKey),
            "/icons/\xE4\xB8\xAD.ico");
}

TEST_F(FolderTest, ALowerCaseDesktopIniIsTheDescriptor) {
  const fs::path lower = folder / "desktop.ini";
  WriteFile(lower, "[.ShellClassInfo]\r\nIconFile=old.ico\r\n");
  SetDos(lower, kAttributeHidden | kAttributeSystem);  // as Windows leaves it
  SelectedIcon = "new.ico";
  SelectedNo = "0";
  Ops().WriteFolderDescriptor();
  EXPECT_EQ(ReadFile(lower), "[.ShellClassInfo]\r\nIconFile=new.ico\r\nIconIndex=0\r\n");
  EXPECT_FALSE(fs::exists(Ini()));
}

}  // namespace
}  // namespace plumage::test
