// Win32IconSource (ExtractIconA, SHGetFileInfoA, DrawIcon, DrawIconEx,
// ImageList_Draw under Wine) side by side with the program's own readers
// (FileIconSource, what the Linux build lists with) on the same PE and .ico
// files: the same number of icons in the same order, the same pictures.
#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <string>
#include <vector>

#include "platform/portable/file_icon_source.h"
#include "platform/win32/wic_png_codec.h"
#include "platform/win32/win32_icon_source.h"
#include "support/temp_dir.h"
#include "win32_test_util.h"

namespace plumage::test {
namespace {

using namespace platform;

std::string PeFile(const std::string& name) { return WinePath(PLUMAGE_TEST_PE_DIR) + "\\" + name; }

// The icons of a file, read one index at a time until the first that gives
// none, as the picker lists them.
std::vector<IconHandle> ListIcons(IIconSource& source, const std::string& path) {
  std::vector<IconHandle> icons;
  for (int n = 0; n < 200; ++n) {
    IconHandle icon = source.ExtractIcon(path, n);
    if (!icon.IsIcon()) break;
    icons.push_back(std::move(icon));
  }
  return icons;
}

// Pixels that differ between two 32 × 32 icons as the screen would show
// them: over black and over white. With alpha, a step of rounding is
// allowed.
int Differences(const IconBitmap& a, const IconBitmap& b) {
  if (a.width != b.width || a.height != b.height) return -1;
  int differences = 0;
  for (std::size_t i = 0; i < a.color.size(); ++i) {
    for (int screen : {0, 255}) {
      auto shown = [screen](const IconBitmap& m, std::size_t j, int channel) {
        const Rgba& c = m.color[j];
        const int v = channel == 0 ? c.r : channel == 1 ? c.g : c.b;
        if (m.hasAlpha) return (v * c.a + screen * (255 - c.a) + 127) / 255;
        return (m.mask[j] ? screen : 0) ^ v;
      };
      for (int channel = 0; channel < 3; ++channel)
        if (std::abs(shown(a, i, channel) - shown(b, i, channel)) > 1) {
          ++differences;
          channel = 3;
          screen = 256;
        }
    }
  }
  return differences;
}

class Win32Icons : public ::testing::Test {
 protected:
  WicPngCodec png;
  FileIconSource own{png};
  Win32IconSource shell;
  TempDir dir;
};

TEST_F(Win32Icons, ExtractIconListsWhatOurReadersListInTheSameOrder) {
  int compared = 0;
  for (const char* name : {"icons40_32.dll", "icons40_64.dll", "app.exe", "noicons.exe",
                           "icon_0.ico", "icon_7.ico", "icon_23.ico"}) {
    const std::string path = PeFile(name);
    ASSERT_TRUE(std::filesystem::exists(path)) << path;
    std::vector<IconHandle> theirs = ListIcons(shell, path);
    std::vector<IconHandle> ours = ListIcons(own, path);
    ASSERT_EQ(theirs.size(), ours.size()) << name;
    for (std::size_t n = 0; n < ours.size(); ++n) {
      const IconBitmap& t = theirs[n].bitmap();
      const IconBitmap& o = ours[n].bitmap();
      EXPECT_EQ(t.width, kIconSize);
      EXPECT_EQ(t.height, kIconSize);
      // Icons whose chosen image is 32 × 32 are compared pixel for pixel;
      // a scaled one (Wine stretches with its own filter) only by count.
      if (ours[n].origin().width == kIconSize && ours[n].origin().height == kIconSize) {
        EXPECT_EQ(Differences(t, o), 0) << name << " icon " << n;
        ++compared;
      }
    }
  }
  EXPECT_GT(compared, 40);
}

TEST_F(Win32Icons, FilesWithoutIconsAnswerAsOurReadersDo) {
  const std::string text = (dir / "notes.txt").string();
  WriteFile(text, "not an icon at all");
  // Windows answers 1 (NotIconFile) here, Wine 8 answers 0 (None); the
  // listing ends at either, which is all the picker asks.
  EXPECT_FALSE(shell.ExtractIcon(text, 0).IsIcon());
  EXPECT_EQ(own.ExtractIcon(text, 0).status(), IconStatus::NotIconFile);
  const std::string none = PeFile("noicons.exe");
  EXPECT_EQ(shell.ExtractIcon(none, 0).status(), IconStatus::None);
  EXPECT_EQ(shell.ExtractIcon(PeFile("icons40_32.dll"), 40).status(), IconStatus::None);
  EXPECT_EQ(shell.ExtractIcon(PeFile("icons40_32.dll"), -1).status(), IconStatus::None)
      << "-1 asks Windows for the count, which is no icon";
  IconHandle missing = shell.ExtractIcon((dir / "missing.ico").string(), 0);
  EXPECT_FALSE(missing.IsIcon());
  EXPECT_NE(missing.reason().find("missing.ico"), std::string::npos);
}

TEST_F(Win32Icons, TheShellsSmallIconIsSixteenPixels) {
  IconHandle small = shell.SmallShellIcon(PeFile("app.exe"));
  ASSERT_TRUE(small.IsIcon()) << small.reason();
  EXPECT_EQ(small.bitmap().width, kSmallIconSize);
  EXPECT_EQ(small.bitmap().height, kSmallIconSize);
  EXPECT_EQ(shell.SmallShellIcon((dir / "missing.exe").string()).status(), IconStatus::None);
}

TEST_F(Win32Icons, DrawingOnARealDibSectionShowsWhatOurDrawingShows) {
  std::vector<IconHandle> theirs = ListIcons(shell, PeFile("icons40_32.dll"));
  ASSERT_EQ(theirs.size(), 40u);
  int compared = 0;
  for (std::size_t n = 0; n < theirs.size(); ++n) {
    const IconHandle& icon = theirs[n];
    // A background that shows transparency and inversion.
    Surface24 background(48, 48);
    for (int y = 0; y < 48; ++y)
      for (int x = 0; x < 48; ++x)
        background.Set(x, y, {static_cast<std::uint8_t>(x * 5), static_cast<std::uint8_t>(y * 5),
                              static_cast<std::uint8_t>(200)});
    Surface24 byWindows = background, byUs = background;
    shell.DrawIcon(byWindows, 5, 7, icon);
    own.DrawIcon(byUs, 5, 7, icon);
    EXPECT_NE(byWindows, background) << "icon " << n << " was drawn";
    int differences = 0;
    for (int y = 0; y < 48; ++y)
      for (int x = 0; x < 48; ++x) {
        Rgb a = byWindows.At(x, y), b = byUs.At(x, y);
        if (std::abs(a.r - b.r) > 1 || std::abs(a.g - b.g) > 1 || std::abs(a.b - b.b) > 1)
          ++differences;
      }
    EXPECT_EQ(differences, 0) << "icon " << n;
    ++compared;

    // Stretched to 19 × 19 and at 16 × 16 through an image list: drawn in
    // place, nothing outside the rectangle touched.
    Surface24 stretched = background, listed = background;
    shell.DrawIconEx(stretched, 8, 7, icon, 19, 19);
    shell.DrawSmallIcon(listed, 8, 9, icon);
    for (int y = 0; y < 48; ++y)
      for (int x = 0; x < 48; ++x) {
        if (x < 8 || x >= 27 || y < 7 || y >= 26) {
          ASSERT_EQ(stretched.At(x, y), background.At(x, y)) << x << "," << y;
        }
        if (x < 8 || x >= 24 || y < 9 || y >= 25) {
          ASSERT_EQ(listed.At(x, y), background.At(x, y)) << x << "," << y;
        }
      }
    EXPECT_NE(stretched, background);
    EXPECT_NE(listed, background);
  }
  EXPECT_EQ(compared, 40);
}

TEST_F(Win32Icons, TheProgramsOwnIconsLoadAtTheSizeAsked) {
  std::string bytes = ReadFile(PLUMAGE_TEST_PE_DIR "/app.ico");
  ASSERT_FALSE(bytes.empty());
  std::span<const std::uint8_t> ico(reinterpret_cast<const std::uint8_t*>(bytes.data()),
                                    bytes.size());
  for (int size : {kIconSize, kSmallIconSize}) {
    IconHandle theirs = shell.LoadIconResource(ico, size);
    IconHandle ours = own.LoadIconResource(ico, size);
    ASSERT_TRUE(theirs.IsIcon()) << theirs.reason();
    ASSERT_TRUE(ours.IsIcon());
    EXPECT_EQ(theirs.bitmap().width, size);
    EXPECT_EQ(theirs.bitmap().height, size);
    if (ours.origin().width == size) {
      EXPECT_EQ(Differences(theirs.bitmap(), ours.bitmap()), 0) << size;
    }
  }
  const std::uint8_t damaged[] = {0, 0, 1, 0, 1, 0, 32, 32, 0, 0, 1, 0, 32, 0,
                                  0xFF, 0xFF, 0, 0, 22, 0, 0, 0};
  EXPECT_EQ(shell.LoadIconResource(damaged, kIconSize).status(), IconStatus::None);
  EXPECT_EQ(shell.LoadIconResource({}, kIconSize).status(), IconStatus::None);
}

TEST(WicPng, RoundTripsAndRefusesDamage) {
  WicPngCodec png;
  RgbaImage image;
  image.width = 7;
  image.height = 5;
  for (int i = 0; i < 35; ++i)
    for (int c = 0; c < 4; ++c) image.rgba.push_back(static_cast<std::uint8_t>(i * 7 + c * 60));
  auto encoded = png.Encode(image);
  ASSERT_TRUE(encoded.ok()) << encoded.error().message;
  ASSERT_TRUE(LooksLikePng(*encoded));
  auto decoded = png.Decode(*encoded);
  ASSERT_TRUE(decoded.ok()) << decoded.error().message;
  EXPECT_EQ(decoded->width, 7);
  EXPECT_EQ(decoded->height, 5);
  EXPECT_EQ(decoded->rgba, image.rgba);

  std::vector<std::uint8_t> cut(encoded->begin(), encoded->begin() + 40);
  EXPECT_FALSE(png.Decode(cut).ok());
  EXPECT_FALSE(png.Decode(std::vector<std::uint8_t>{1, 2, 3}).ok());
  EXPECT_FALSE(png.Encode(RgbaImage{}).ok());
}

}  // namespace
}  // namespace plumage::test
