// The start of a run: FolderName, the title, the Windows directory and the
// decisions made before the picker shows.
#include "app/startup.h"

#include <gtest/gtest.h>

#include "app/program.h"
#include "base/codepage.h"
#include "platform/posix/posix_system.h"
#include "platform/posix/registry_store.h"
#include "support/recording_ui.h"
#include "support/temp_dir.h"

namespace plumage {
namespace {

TEST(FolderName, IsWhatFollowsTheLastSeparator) {
  EXPECT_EQ(ComputeFolderName("C:\\Data\\Games"), "Games");
  EXPECT_EQ(ComputeFolderName("C:\\"), "");
  EXPECT_EQ(ComputeFolderName("C:\\Data\\"), "");
  EXPECT_EQ(ComputeFolderName("Games"), "");
  EXPECT_EQ(ComputeFolderName(""), "");
  EXPECT_EQ(ComputeFolderName("/home/ann/My Music"), "My Music");
  EXPECT_EQ(ComputeFolderName("/home/ann/Music/"), "");
  EXPECT_EQ(ComputeFolderName("\"C:\\Quoted Folder\""), "Quoted Folder\"");
}

TEST(PickerTitle, ShortensPathsLongerThanTwentyCharacters) {
  const std::string twenty = "C:\\Data\\Games\\Chess1";
  ASSERT_EQ(twenty.size(), 20u);
  EXPECT_EQ(PickerTitle(twenty), "Plumage - C:\\Data\\Games\\Chess1");
  const std::string twentyOne = "C:\\Data\\Games\\Chess12";
  EXPECT_EQ(PickerTitle(twentyOne), "Plumage - C:\\...a\\Games\\Chess12");
  EXPECT_EQ(Utf8Length(PickerTitle(twentyOne)), 10u + 21u);
  EXPECT_EQ(PickerTitle("C:\\Program Files\\Accessories"), "Plumage - C:\\...les\\Accessories");
  // Characters, not bytes: accented letters count once.
  const std::string accented = "/home/zoé/Musique/été";  // 21 characters
  EXPECT_EQ(PickerTitle(accented), "Plumage - /ho...zoé/Musique/été");
}

TEST(Arguments, AreJoinedWithSingleBlanks) {
  const char* argv[] = {"plumage", "/home/ann/My", "Music"};
  EXPECT_EQ(JoinArguments(3, argv), "/home/ann/My Music");
  EXPECT_EQ(JoinArguments(1, argv), "");
}

TEST(DecideRun, TellsSettingsOnlyNetworkAndPicker) {
  EXPECT_EQ(DecideRun(""), RunKind::SettingsOnly);
  EXPECT_EQ(DecideRun("\\\\server\\share\\folder"), RunKind::NetworkRefused);
  EXPECT_EQ(DecideRun("//server/share"), RunKind::NetworkRefused);
  EXPECT_EQ(DecideRun("C:\\"), RunKind::Picker);
  EXPECT_EQ(DecideRun("Z:\\mapped"), RunKind::Picker);
  EXPECT_EQ(DecideRun("/home/ann"), RunKind::Picker);
  EXPECT_EQ(DecideRun("\\"), RunKind::Picker);
}

class WindowsDirectoryTest : public ::testing::Test {
 protected:
  void SetUp() override { setenv("PLUMAGE_HOME", (dir / "home").c_str(), 1); }
  void TearDown() override { unsetenv("PLUMAGE_HOME"); }
  void Set(const char* key, const char* value, const std::string& data) {
    ASSERT_EQ(store.CreateKey(platform::kHkeyLocalMachine, key), 0);
    platform::RegHandle h = 0;
    ASSERT_EQ(store.OpenKey(platform::kHkeyLocalMachine, key, &h), 0);
    ASSERT_EQ(store.SetValue(h, value, platform::kRegSz,
                             reinterpret_cast<const std::uint8_t*>(data.data()),
                             static_cast<std::uint32_t>(data.size())),
              0);
    store.CloseKey(h);
  }
  std::string Find() {
    Program p(os);
    FindWindowsDirectory(p);
    return p.WindowsDirectory;
  }

  test::TempDir dir;
  platform::PosixRegistry store{(dir / "registry.reg").string()};
  platform::PosixSystem system;
  platform::Platform os{&store, &system, nullptr};
};

TEST_F(WindowsDirectoryTest, NeitherValueGivesTheProgramFolder) {
  EXPECT_EQ(Find(), (dir / "home").string() + "/");
}

TEST_F(WindowsDirectoryTest, TheNtValueStandsInForTheMissingNinetyFiveValue) {
  Set(kWinNtKey, kWinNtValue, std::string("C:\\WINNT\0", 9));
  EXPECT_EQ(Find(), "C:\\WINNT/");
  Set(kWin9xKey, kWin9xValue, std::string("/srv/windows/\0", 14));
  EXPECT_EQ(Find(), "/srv/windows/");
}

TEST(PreviousInstance, TheFirstCopyHoldsTheClaimUntilItEnds) {
  test::TempDir dir;
  setenv("XDG_RUNTIME_DIR", dir.str().c_str(), 1);
  platform::PosixSystem first;
  ASSERT_FALSE(first.PreviousInstanceRunning());
  // The claim lasts as long as the first copy does, even when asked again.
  EXPECT_FALSE(first.PreviousInstanceRunning());
  {
    platform::PosixSystem second;
    EXPECT_TRUE(second.PreviousInstanceRunning());
  }
  unsetenv("XDG_RUNTIME_DIR");
}

}  // namespace
}  // namespace plumage
