// Win32IconSource (ExtractIconA, SHGetFileInfoA, DrawIcon, DrawIconEx,
// ImageList_Draw under Wine) beside the program's own readers and drawing on
// the same files: the same icons in the same order, the same pictures.
// (The golden dump of the icon tests runs in this build too, through WIC.)
#include <gtest/gtest.h>

#include <cstdlib>
#include <string>
#include <vector>

#include "platform/icons/file_icon_source.h"
#include "platform/win32/wic_png_codec.h"
#include "platform/win32/win32_icon_source.h"
#include "support/temp_dir.h"
#include "win32_test_util.h"

namespace plumage::test {
namespace {

using namespace platform;

std::string PeFile(const std::string& name) {
  return WinePath(PLUMAGE_TEST_PE_DIR) + "\\" + name;
}

// The icons of a file, read one index at a time as the picker lists them.
std::vector<IconHandle> ListIcons(IIconSource& source, const std::string& path) {
  std::vector<IconHandle> icons;
  for (IconHandle icon; (icon = source.ExtractIcon(path, int(icons.size()))).IsIcon();)
    icons.push_back(std::move(icon));
  return icons;
}

// Pixels that differ by more than a step of rounding between two drawings
// on the same background.
int Differences(const Surface24& a, const Surface24& b) {
  int differences = 0;
  for (int y = 0; y < a.height(); ++y)
    for (int x = 0; x < a.width(); ++x) {
      const Rgb p = a.At(x, y), q = b.At(x, y);
      differences += std::abs(p.r - q.r) > 1 || std::abs(p.g - q.g) > 1 || std::abs(p.b - q.b) > 1;
    }
  return differences;
}

TEST(Win32Icons, WindowsListsAndDrawsTheIconsAsOurReadersAndDrawingDo) {
  WicPngCodec png;
  FileIconSource own(png);
  Win32IconSource shell;
  // A background that shows transparency and inversion.
  Surface24 background(48, 48);
  for (int y = 0; y < 48; ++y)
    for (int x = 0; x < 48; ++x)
      background.Set(x, y, {std::uint8_t(x * 5), std::uint8_t(y * 5), 200});
  int compared = 0;
  for (const char* name :
       {"icons40_32.dll", "icons40_64.dll", "app.exe", "noicons.exe", "app.ico"}) {
    const std::vector<IconHandle> theirs = ListIcons(shell, PeFile(name)),
                                  ours = ListIcons(own, PeFile(name));
    ASSERT_EQ(theirs.size(), ours.size()) << name;
    for (std::size_t n = 0; n < ours.size(); ++n) {
      EXPECT_EQ(theirs[n].bitmap().width, kIconSize);
      // Icons whose chosen image is 32 × 32 are drawn pixel for pixel alike;
      // Wine stretches the others with a filter of its own.
      if (ours[n].origin().width != kIconSize || ours[n].origin().height != kIconSize) continue;
      Surface24 byWindows = background, byUs = background;
      shell.DrawIcon(byWindows, 5, 7, theirs[n]);
      own.DrawIcon(byUs, 5, 7, ours[n]);
      EXPECT_EQ(Differences(byWindows, byUs), 0) << name << " icon " << n;
      ++compared;
      // Stretched to 19 × 19 and at 16 × 16 through an image list: drawn,
      // and nothing outside the rectangle touched.
      Surface24 stretched = background, listed = background;
      shell.DrawIconEx(stretched, 8, 7, theirs[n], 19, 19);
      shell.DrawSmallIcon(listed, 8, 9, theirs[n]);
      EXPECT_NE(stretched, background);
      EXPECT_NE(listed, background);
      for (int y = 0; y < 48; ++y)
        for (int x = 0; x < 48; ++x) {
          if (x < 8 || x >= 27 || y < 7 || y >= 26)
            ASSERT_EQ(stretched.At(x, y), background.At(x, y));
          if (x < 8 || x >= 24 || y < 9 || y >= 25) ASSERT_EQ(listed.At(x, y), background.At(x, y));
        }
    }
  }
  EXPECT_GT(compared, 40);

  // No icon: Windows answers 1 for a file that is no icon file, Wine 8
  // answers 0; the listing ends at either, which is all the picker asks.
  TempDir dir;
  WriteFile(dir / "notes.txt", "not an icon at all");
  EXPECT_FALSE(shell.ExtractIcon((dir / "notes.txt").string(), 0).IsIcon());
  EXPECT_EQ(shell.ExtractIcon(PeFile("icons40_32.dll"), -1).status(), IconStatus::None);
  IconHandle missing = shell.ExtractIcon((dir / "missing.ico").string(), 0);
  EXPECT_NE(missing.reason().find("missing.ico"), std::string::npos);
  EXPECT_EQ(shell.SmallShellIcon((dir / "missing.exe").string()).status(), IconStatus::None);
  IconHandle small = shell.SmallShellIcon(PeFile("app.exe"));
  ASSERT_TRUE(small.IsIcon()) << small.reason();
  EXPECT_EQ(small.bitmap().width, kSmallIconSize);

  // The program's own icons, from their bytes, at the size asked.
  const std::string bytes = ReadFile(PLUMAGE_TEST_PE_DIR "/app.ico");
  const std::span<const std::uint8_t> ico(reinterpret_cast<const std::uint8_t*>(bytes.data()),
                                          bytes.size());
  for (int size : {kIconSize, kSmallIconSize}) {
    IconHandle theirs = shell.LoadIconResource(ico, size), ours = own.LoadIconResource(ico, size);
    ASSERT_TRUE(theirs.IsIcon()) << theirs.reason();
    Surface24 byWindows = background, byUs = background;
    shell.DrawIconEx(byWindows, 0, 0, theirs, size, size);
    own.DrawIconEx(byUs, 0, 0, ours, size, size);
    EXPECT_EQ(Differences(byWindows, byUs), 0) << size;
  }
  std::string damaged = bytes;
  damaged[16] = '\x7F';  // the first image's size: far past the end
  EXPECT_EQ(
      shell
          .LoadIconResource({reinterpret_cast<const std::uint8_t*>(damaged.data()), damaged.size()},
                            kIconSize)
          .status(),
      IconStatus::None);
  EXPECT_EQ(shell.LoadIconResource(ico.first(30), kIconSize).status(), IconStatus::None);
}

}  // namespace
}  // namespace plumage::test
