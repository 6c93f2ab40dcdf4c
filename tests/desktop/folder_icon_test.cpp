// The folder icon for the Linux file managers, without a session bus: the
// PNG of the largest image, its name, the .directory entry, and the missing
// bus told once while the rest is still done.
#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>

#include "platform/posix/folder_icon.h"
#include "platform/posix/png_codec_libpng.h"
#include "platform/posix/posix_desktop.h"
#include "support/fakes.h"
#include "support/icon_writer.h"
#include "support/temp_dir.h"

namespace plumage {
namespace {

namespace fs = std::filesystem;

test::Bytes SolidPngImage(int size, platform::Rgba colour) {
  return test::EncodePng(size, size, std::vector<platform::Rgba>(size * size, colour));
}

TEST(DirectoryFile, IconIsSetAndClearedAndEveryOtherLineStays) {
  EXPECT_EQ(platform::SetDirectoryIcon("", "/p/a.png"), "[Desktop Entry]\nIcon=/p/a.png\n");
  const std::string kde =
      "[Dolphin]\nViewMode=1\n\n[Desktop Entry]\nIcon[fr]=x\nIcon=folder-red\nName=Music\n";
  const std::string set = platform::SetDirectoryIcon(kde, "/p/b.png");
  EXPECT_EQ(set,
            "[Dolphin]\nViewMode=1\n\n[Desktop Entry]\nIcon[fr]=x\nIcon=/p/b.png\nName=Music\n");
  bool changed = false;
  EXPECT_EQ(platform::ClearDirectoryIcon(set, changed),
            "[Dolphin]\nViewMode=1\n\n[Desktop Entry]\nIcon[fr]=x\nName=Music\n");
  EXPECT_TRUE(changed);
  // A file without the group gets it at its end; clearing then leaves it as it was.
  const std::string other = "[Dolphin]\nViewMode=1\n";
  const std::string added = platform::SetDirectoryIcon(other, "/p/c.png");
  EXPECT_EQ(added, "[Dolphin]\nViewMode=1\n\n[Desktop Entry]\nIcon=/p/c.png\n");
  EXPECT_EQ(platform::ClearDirectoryIcon(added, changed), other);
  // Only our entry in it: the file goes.
  EXPECT_EQ(platform::ClearDirectoryIcon("[Desktop Entry]\nIcon=/p/a.png\n", changed), "");
  EXPECT_EQ(platform::ClearDirectoryIcon(other, changed), other);
  EXPECT_FALSE(changed);
  EXPECT_EQ(platform::SetDirectoryIcon("", "C:\\odd\\a.png"),
            "[Desktop Entry]\nIcon=C:\\\\odd\\\\a.png\n");
}

TEST(FolderIconName, TwoChoicesNeverShareAName) {
  const std::string a = platform::FolderIconPngName("/icons/Music.ico", 0);
  EXPECT_TRUE(a.starts_with("Music-0-")) << a;
  EXPECT_TRUE(a.ends_with(".png"));
  EXPECT_EQ(a, platform::FolderIconPngName("/icons/Music.ico", 0));
  EXPECT_NE(a, platform::FolderIconPngName("/other/Music.ico", 0));
  EXPECT_NE(a, platform::FolderIconPngName("/icons/Music.ico", 1));
  EXPECT_NE(platform::FolderIconPngName("/a/x-1.ico", 0),
            platform::FolderIconPngName("/a/x.ico", 10));
}

TEST(FolderIconPixels, MaskedPixelsAreTransparentAndAlphaIsKept) {
  platform::IconBitmap masked;
  masked.width = 2;
  masked.height = 1;
  masked.color = {{10, 20, 30, 0}, {40, 50, 60, 0}};
  masked.mask = {0, 1};
  platform::RgbaImage image = platform::IconToRgba(masked);
  EXPECT_EQ(image.rgba, (std::vector<std::uint8_t>{10, 20, 30, 255, 40, 50, 60, 0}));
  masked.hasAlpha = true;
  masked.color[0].a = 128;
  image = platform::IconToRgba(masked);
  EXPECT_EQ(image.rgba[3], 128);
  EXPECT_EQ(image.rgba[7], 0);
}

class PosixDesktopTest : public ::testing::Test {
 protected:
  void SetUp() override {
    // No bus to be found: neither an address nor a runtime folder with one.
    saved_ = std::getenv("DBUS_SESSION_BUS_ADDRESS") ? std::getenv("DBUS_SESSION_BUS_ADDRESS") : "";
    savedRuntime_ = std::getenv("XDG_RUNTIME_DIR") ? std::getenv("XDG_RUNTIME_DIR") : "";
    unsetenv("DBUS_SESSION_BUS_ADDRESS");
    setenv("XDG_RUNTIME_DIR", dir.str().c_str(), 1);
    system.programFolder = (dir / "program").string() + "/";
    fs::create_directories(dir / "program");
    fs::create_directories(dir / "Music");
    desktop.report = [this](const std::string& problem) { told.push_back(problem); };
  }
  void TearDown() override {
    if (!saved_.empty()) setenv("DBUS_SESSION_BUS_ADDRESS", saved_.c_str(), 1);
    if (!savedRuntime_.empty())
      setenv("XDG_RUNTIME_DIR", savedRuntime_.c_str(), 1);
    else
      unsetenv("XDG_RUNTIME_DIR");
  }
  std::string IconFile() {
    const fs::path ico = dir / "Music.ico";
    test::Bytes bytes =
        test::WriteIco({SolidPngImage(16, {255, 0, 0, 255}), SolidPngImage(48, {0, 0, 255, 255}),
                        SolidPngImage(32, {0, 255, 0, 255})});
    test::WriteFile(ico, std::string(bytes.begin(), bytes.end()));
    return ico.string();
  }

  test::TempDir dir;
  test::FakeSystem system;
  platform::LibPngCodec png;
  platform::FileIconSource icons{png};
  platform::PosixDesktop desktop{system, icons, png};
  std::vector<std::string> told;
  std::string saved_, savedRuntime_;
};

TEST_F(PosixDesktopTest, WithoutABusThePngAndDotDirectoryAreWrittenAndTheBusIsToldOnce) {
  const std::string icon = IconFile();
  desktop.FolderIconSet((dir / "Music").string(), icon, 0);
  const fs::path pngPath =
      dir / "program" / platform::kFolderIconsFolder / platform::FolderIconPngName(icon, 0);
  ASSERT_TRUE(fs::exists(pngPath));
  std::string bytes = test::ReadFile(pngPath);
  auto decoded =
      png.Decode(std::span(reinterpret_cast<const std::uint8_t*>(bytes.data()), bytes.size()));
  ASSERT_TRUE(decoded);
  EXPECT_EQ(decoded->width, 48);  // the largest image, at its own size
  EXPECT_EQ(decoded->height, 48);
  EXPECT_EQ(decoded->rgba[2], 255);  // blue: that image's pixels
  EXPECT_EQ(test::ReadFile(dir / "Music" / ".directory"),
            "[Desktop Entry]\nIcon=" + pngPath.string() + "\n");
  ASSERT_EQ(told.size(), 1u);
  EXPECT_NE(told[0].find("no session bus"), std::string::npos) << told[0];
  EXPECT_NE(told[0].find("metadata::custom-icon"), std::string::npos) << told[0];

  desktop.FolderIconSet((dir / "Music").string(), icon, 0);
  desktop.FolderIconCleared((dir / "Music").string());
  EXPECT_EQ(told.size(), 1u);  // once
  EXPECT_FALSE(fs::exists(dir / "Music" / ".directory"));
}

TEST_F(PosixDesktopTest, AnIconThatCannotBeReadIsToldAndTheOldOneGoes) {
  test::WriteFile(dir / "Music" / ".directory", "[Desktop Entry]\nIcon=/old.png\nName=M\n");
  desktop.FolderIconSet((dir / "Music").string(), (dir / "missing.ico").string(), 0);
  ASSERT_GE(told.size(), 1u);
  EXPECT_NE(told[0].find("missing.ico"), std::string::npos) << told[0];
  EXPECT_EQ(test::ReadFile(dir / "Music" / ".directory"), "[Desktop Entry]\nName=M\n");
}

}  // namespace
}  // namespace plumage
