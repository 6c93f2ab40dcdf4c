// The folder icon for the Linux file managers: the .directory entry, the
// PNG's name and pixels, and the missing bus told once.
#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>

#include "platform/posix/folder_icon.h"
#include "platform/posix/png_codec_libpng.h"
#include "platform/posix/posix_desktop.h"
#include "support/fakes.h"
#include "support/temp_dir.h"

namespace plumage {
namespace {

namespace fs = std::filesystem;

TEST(DirectoryFile, IconIsSetAndClearedAndEveryOtherLineStays) {
  struct Case {
    std::string before, icon, set, cleared;
  };
  const Case cases[] = {
      // Only our entry in it: the file goes.
      {"", "/p/a.png", "[Desktop Entry]\nIcon=/p/a.png\n", ""},
      {"[Dolphin]\nViewMode=1\n\n[Desktop Entry]\nIcon[fr]=x\nIcon=folder-red\nName=Music\n",
       "/p/b.png",
       "[Dolphin]\nViewMode=1\n\n[Desktop Entry]\nIcon[fr]=x\nIcon=/p/b.png\nName=Music\n",
       "[Dolphin]\nViewMode=1\n\n[Desktop Entry]\nIcon[fr]=x\nName=Music\n"},
      // Without the group: added at the end, and clearing leaves the file as it was.
      {"[Dolphin]\nViewMode=1\n", "/p/c.png",
       "[Dolphin]\nViewMode=1\n\n[Desktop Entry]\nIcon=/p/c.png\n", "[Dolphin]\nViewMode=1\n"},
      {"", "C:\\odd\\a.png", "[Desktop Entry]\nIcon=C:\\\\odd\\\\a.png\n", ""},
  };
  for (const Case& c : cases) {
    const std::string set = platform::SetDirectoryIcon(c.before, c.icon);
    EXPECT_EQ(set, c.set) << c.icon;
    bool changed = false;
    EXPECT_EQ(platform::ClearDirectoryIcon(set, changed), c.cleared) << c.icon;
    EXPECT_TRUE(changed) << c.icon;
  }
  bool changed = true;
  EXPECT_EQ(platform::ClearDirectoryIcon("[Dolphin]\n", changed), "[Dolphin]\n");
  EXPECT_FALSE(changed);
}

TEST(FolderIconName, TwoChoicesNeverShareAName) {
  const std::string a = platform::FolderIconPngName("/icons/Music.ico", 0);
  EXPECT_TRUE(a.starts_with("Music-0-") && a.ends_with(".png")) << a;
  EXPECT_EQ(a, platform::FolderIconPngName("/icons/Music.ico", 0));
  EXPECT_NE(a, platform::FolderIconPngName("/other/Music.ico", 0));
  EXPECT_NE(a, platform::FolderIconPngName("/icons/Music.ico", 1));
  EXPECT_NE(platform::FolderIconPngName("/a/x-1.ico", 0),
            platform::FolderIconPngName("/a/x.ico", 10));
}

TEST(FolderIconPixels, MaskedPixelsAreTransparentAndAlphaIsKept) {
  formats::IconBitmap masked;
  masked.width = 2;
  masked.height = 1;
  masked.color = {{10, 20, 30, 0}, {40, 50, 60, 0}};
  masked.mask = {0, 1};
  EXPECT_EQ(platform::IconToRgba(masked).rgba,
            (std::vector<std::uint8_t>{10, 20, 30, 255, 40, 50, 60, 0}));
  masked.hasAlpha = true;
  masked.color[0].a = 128;
  const formats::RgbaImage image = platform::IconToRgba(masked);
  EXPECT_EQ(image.rgba[3], 128);
  EXPECT_EQ(image.rgba[7], 0);
}

class PosixDesktopTest : public ::testing::Test {
 protected:
  void SetUp() override {
    // No bus to be found: neither an address nor a runtime folder with one.
    // Each test runs in a process of its own: nothing to put back.
    unsetenv("DBUS_SESSION_BUS_ADDRESS");
    setenv("XDG_RUNTIME_DIR", dir.str().c_str(), 1);
    system.programFolder = (dir / "program").string() + "/";
    fs::create_directories(dir / "program");
    fs::create_directories(dir / "Music");
    desktop.report = [this](const std::string& problem) { told.push_back(problem); };
  }

  test::TempDir dir;
  std::string music = (dir / "Music").string();
  test::FakeSystem system;
  platform::LibPngCodec png;
  platform::FileIconSource icons{png};
  platform::PosixDesktop desktop{system, icons, png};
  std::vector<std::string> told;
};

// A program that sets many icons in one run (the picker) tells of the
// missing bus once; the PNG and .directory are the transcript folder.t.
TEST_F(PosixDesktopTest, WithoutABusTheBusIsToldOnce) {
  const std::string icon = PLUMAGE_SOURCE_DIR "/tests/cli/transcripts/data/band.ico";
  desktop.FolderIconSet(music, icon, 0);
  desktop.FolderIconSet(music, icon, 0);
  desktop.FolderIconCleared(music);
  ASSERT_EQ(told.size(), 1u);
  EXPECT_NE(told[0].find("no session bus"), std::string::npos) << told[0];
  EXPECT_FALSE(fs::exists(dir / "Music" / ".directory"));
}

}  // namespace
}  // namespace plumage
