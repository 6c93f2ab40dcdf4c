// The start of a run: FolderName, the title, the Windows directory and the
// decisions made before the picker shows.
#include "app/startup.h"

#include <gtest/gtest.h>

#include "app/program.h"
#include "platform/posix/posix_system.h"
#include "support/fakes.h"
#include "support/temp_dir.h"

namespace plumage {
namespace {

TEST(Startup, FolderNameTitleArgumentsAndTheKindOfRun) {
  const std::pair<const char*, const char*> names[] = {
      {"C:\\Data\\Games", "Games"}, {"C:\\", ""},  {"C:\\Data\\", ""}, {"Games", ""}, {"", ""},
      {"/home/ann/My Music", "My Music"}, {"/home/ann/Music/", ""},
      {"\"C:\\Quoted Folder\"", "Quoted Folder\""}};
  for (const auto& [argument, name] : names) EXPECT_EQ(ComputeFolderName(argument), name) << argument;
  // Past 20 characters, the first 3, "..." and the last 15; characters, not bytes.
  const std::pair<const char*, const char*> titles[] = {
      {"C:\\Data\\Games\\Chess1", "Plumage - C:\\Data\\Games\\Chess1"},
      {"C:\\Data\\Games\\Chess12", "Plumage - C:\\...a\\Games\\Chess12"},
      {"/home/zoé/Musique/été", "Plumage - /ho...zoé/Musique/été"}};
  for (const auto& [argument, title] : titles) EXPECT_EQ(PickerTitle(argument), title);
  const char* argv[] = {"plumage", "/home/ann/My", "Music"};
  EXPECT_EQ(JoinArguments(3, argv), "/home/ann/My Music");
  EXPECT_EQ(JoinArguments(1, argv), "");
  const std::pair<const char*, RunKind> runs[] = {
      {"", RunKind::SettingsOnly},          {"\\\\server\\share\\folder", RunKind::NetworkRefused},
      {"//server/share", RunKind::NetworkRefused}, {"C:\\", RunKind::Picker},
      {"/home/ann", RunKind::Picker},       {"\\", RunKind::Picker}};
  for (const auto& [argument, kind] : runs) EXPECT_EQ(DecideRun(argument), kind) << argument;
}

// Neither value: the program folder; the 95 value before the NT one.
TEST(Startup, TheWindowsDirectory) {
  test::TestPlatform env;
  auto find = [&] {
    Program p(env.os);
    BeginRun(p, "/srv/Music");
    EXPECT_EQ(p.FolderName, "Music");
    return p.WindowsDirectory;
  };
  EXPECT_EQ(find(), env.system.programFolder);
  env.registry.SetString(formats::kHkeyLocalMachine, kWinNtKey, "SystemRoot", "C:\\WINNT");
  EXPECT_EQ(find(), "C:\\WINNT/");
  env.registry.SetString(formats::kHkeyLocalMachine, kWin9xKey, "SystemRoot", "/srv/windows/");
  EXPECT_EQ(find(), "/srv/windows/");
}

TEST(Startup, TheFirstCopyHoldsTheClaimUntilItEnds) {
  test::TempDir dir;
  setenv("XDG_RUNTIME_DIR", dir.str().c_str(), 1);
  auto first = std::make_unique<platform::PosixSystem>();
  EXPECT_FALSE(first->PreviousInstanceRunning());
  EXPECT_FALSE(first->PreviousInstanceRunning()) << "asking again changes nothing";
  EXPECT_TRUE(platform::PosixSystem().PreviousInstanceRunning());
  first.reset();
  EXPECT_FALSE(platform::PosixSystem().PreviousInstanceRunning()) << "the claim went with it";
  unsetenv("XDG_RUNTIME_DIR");
}

}  // namespace
}  // namespace plumage
