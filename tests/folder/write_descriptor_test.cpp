// WriteFolderDescriptor against real files in a temporary folder: what
// plumagectl cannot show (the shell's notices, a drive root, a write that
// fails half-way). The rest of it is the transcripts folder.t and
// kept_icon.t.
#include <sys/stat.h>

#include "folder_fixture.h"
#include "platform/files.h"

namespace plumage::test {
namespace {

using platform::kAttributeHidden;
using platform::kAttributeReadOnly;
using platform::kAttributeSystem;

mode_t Mode(const fs::path& path) {
  struct stat st {};
  stat(path.c_str(), &st);
  return st.st_mode & 07777;
}

// The attributes a write gives are the transcript folder.t's; here, the
// shell's notices: the image cache for an icon, every window showing the
// folder for both writes.
TEST_F(FolderTest, TheShellHearsOfTheIconAndOfTheReset) {
  SelectedIcon = "C:\\Icons\\Game.ico";
  SelectedNo = "1";
  FolderWriteReport report = Ops().WriteFolderDescriptor();
  EXPECT_EQ(report.outcome, FolderWriteReport::Outcome::Written);
  EXPECT_EQ(ui.doEvents, 1);
  SelectedIcon.clear();
  SelectedNo.clear();
  Ops().WriteFolderDescriptor();
  EXPECT_EQ(env.shell.cached,
            (std::vector<std::pair<std::string, std::int32_t>>{{"C:\\Icons\\Game.ico", 1}}));
  const std::pair<std::string, std::string> told{folder.string(), Ini().string()};
  EXPECT_EQ(env.shell.foldersChanged, (std::vector{told, told}));
  EXPECT_TRUE(ui.messages.empty());
}

TEST_F(FolderTest, ADriveRootGetsAutorunAndResetDeletesIt) {
  files.roots.insert(folder.string());
  env.program.ArgumentText = folder.string() + "/";
  SetDos(folder, kAttributeHidden);
  const fs::path autorun = folder / "AUTORUN.INF";

  SelectedIcon = "C:\\x.ico";
  SelectedNo = " 3 ";
  FolderWriteReport report = Ops().WriteFolderDescriptor();
  EXPECT_TRUE(report.place.driveRoot);
  EXPECT_EQ(ReadFile(autorun), "[Autorun]\r\nIcon=C:\\x.ico,3\r\n");
  EXPECT_EQ(Dos(autorun), "0x2");
  EXPECT_EQ(Dos(folder), "0x2") << "a drive root's attributes are not touched";
  EXPECT_FALSE(fs::exists(Ini()));

  // Reset deletes the whole file, other entries and Read-only included;
  // again, it finds nothing to delete and writes nothing.
  WriteFile(autorun, "[Autorun]\r\nopen=setup.exe\r\nIcon=x,1\r\n");
  ASSERT_EQ(chmod(autorun.c_str(), 0444), 0);
  SelectedIcon.clear();
  SelectedNo.clear();
  for (int reset = 0; reset < 2; ++reset) {
    report = Ops().WriteFolderDescriptor();
    EXPECT_EQ(report.outcome, FolderWriteReport::Outcome::Removed);
    EXPECT_TRUE(report.unstored.empty());
    EXPECT_TRUE(fs::is_empty(folder));
  }
  EXPECT_TRUE(ui.messages.empty());
  // The shell hears of the write and of the deletion, not of the reset
  // that found nothing to delete.
  ASSERT_EQ(env.shell.foldersChanged.size(), 2u);
  EXPECT_EQ(env.shell.foldersChanged[1].second, autorun.string());
}

// A failed write is told once; the descriptor gets its attributes back,
// Read-only too, the folder gains nothing and the shell hears nothing. A
// key written before the failure stays.
TEST_F(FolderTest, AFailedWriteSaysSoOnceAndGivesTheAttributesBack) {
  const std::string old = "[.ShellClassInfo]\r\nIconFile=old.ico\r\nIconIndex=2\r\n";
  const std::string firstKeyOnly = "[.ShellClassInfo]\r\nIconFile=/i/new.ico\r\nIconIndex=2\r\n";
  for (int failOnWrite : {1, 2}) {
    fs::remove(Ini());
    WriteFile(Ini(), old);
    SetDos(Ini(), kAttributeReadOnly | kAttributeSystem);
    FailingProfile failing(env.profile, failOnWrite);
    env.os.profile = &failing;
    ui.messages.clear();
    SelectedIcon = "/i/new.ico";
    SelectedNo = "5";
    FolderWriteReport report = Ops().WriteFolderDescriptor();
    EXPECT_EQ(report.outcome, FolderWriteReport::Outcome::CannotWrite);
    EXPECT_NE(report.failure.find(Ini().string()), std::string::npos) << report.failure;
    ASSERT_EQ(ui.messages.size(), 1u);
    const ShownMessage& m = ui.messages[0];
    EXPECT_EQ(std::tuple(m.text, m.title, m.icon),
              std::tuple("Cannot write to file!", "Error!", MessageIcon::Exclamation));
    EXPECT_EQ(IniBytes(), failOnWrite == 1 ? old : firstKeyOnly);
    EXPECT_EQ(Dos(Ini()), "0x4") << "the descriptor's attributes come back";
    EXPECT_EQ(Mode(Ini()) & 0222, 0u) << "Read-only too";
    EXPECT_EQ(Dos(folder), std::nullopt) << "no System without a descriptor";
    EXPECT_TRUE(env.shell.cached.empty());
    EXPECT_TRUE(env.shell.foldersChanged.empty()) << "nothing changed to tell of";
  }
  env.os.profile = &env.profile;
}

}  // namespace
}  // namespace plumage::test
