// Win32IconSource (ExtractIconA, SHGetFileInfoA, DrawIcon, DrawIconEx,
// ImageList_Draw under Wine) beside the program's own readers and drawing on
// the same files: the same icons in the same order, drawn alike. (The golden
// dump of the icon tests runs in this build too, with WIC for PNG.)
#include <gtest/gtest.h>

#include <cstdlib>

#include "platform/portable/file_icon_source.h"
#include "platform/win32/wic_png_codec.h"
#include "platform/win32/win32_icon_source.h"
#include "support/temp_dir.h"
#include "win32_test_util.h"

namespace plumage::test {
namespace {

using namespace platform;

TEST(Win32Icons, WindowsListsLoadsAndDrawsIconsAsOurReadersAndDrawingDo) {
  WicPngCodec png;
  FileIconSource own(png);
  Win32IconSource shell;
  Surface24 background(48, 48);  // shows transparency and inversion
  for (int y = 0; y < 48; ++y)
    for (int x = 0; x < 48; ++x)
      background.Set(x, y, {std::uint8_t(x * 5), std::uint8_t(y * 5), 200});
  // Pixels further apart than a step of rounding.
  auto differences = [&](const IconHandle& theirs, const IconHandle& ours, int size) {
    Surface24 byWindows = background, byUs = background;
    shell.DrawIconEx(byWindows, 5, 7, theirs, size, size);
    own.DrawIconEx(byUs, 5, 7, ours, size, size);
    int n = 0;
    for (int y = 0; y < 48; ++y)
      for (int x = 0; x < 48; ++x) {
        const Rgb p = byWindows.At(x, y), q = byUs.At(x, y);
        n += std::abs(p.r - q.r) > 1 || std::abs(p.g - q.g) > 1 || std::abs(p.b - q.b) > 1;
      }
    return n + (byWindows == background);
  };
  int compared = 0;
  for (const char* name :
       {"icons40_32.dll", "icons40_64.dll", "app.exe", "noicons.exe", "app.ico"}) {
    const std::string path = WinePath(PLUMAGE_TEST_PE_DIR) + "\\" + name;
    for (int n = 0;; ++n) {
      IconHandle theirs = shell.ExtractIcon(path, n), ours = own.ExtractIcon(path, n);
      ASSERT_EQ(theirs.IsIcon(), ours.IsIcon()) << name << " icon " << n;
      if (!ours.IsIcon()) break;
      // Wine stretches an image of another size with a filter of its own.
      if (ours.origin().width != kIconSize || ours.origin().height != kIconSize) continue;
      EXPECT_EQ(differences(theirs, ours, kIconSize), 0) << name << " icon " << n;
      ++compared;
      // Stretched to 19 × 19 and at 16 × 16 through an image list: drawn,
      // and nothing outside the rectangle touched.
      Surface24 stretched = background, listed = background;
      shell.DrawIconEx(stretched, 8, 7, theirs, 19, 19);
      shell.DrawSmallIcon(listed, 8, 9, theirs);
      EXPECT_TRUE(stretched != background && listed != background);
      for (int y = 0; y < 48; ++y)
        for (int x = 0; x < 48; ++x) {
          const bool inStretched = x >= 8 && x < 27 && y >= 7 && y < 26;
          const bool inListed = x >= 8 && x < 24 && y >= 9 && y < 25;
          ASSERT_TRUE((inStretched || stretched.At(x, y) == background.At(x, y)) &&
                      (inListed || listed.At(x, y) == background.At(x, y)))
              << name << " icon " << n << " at " << x << ", " << y;
        }
    }
  }
  EXPECT_GT(compared, 40);

  // The program's own icons, from their bytes, at the size asked, or none.
  std::string ico = ReadFile(PLUMAGE_TEST_PE_DIR "/app.ico");
  auto bytes = [&] {
    return std::span(reinterpret_cast<const std::uint8_t*>(ico.data()), ico.size());
  };
  for (int size : {kIconSize, kSmallIconSize})
    EXPECT_EQ(differences(shell.LoadIconResource(bytes(), size),
                          own.LoadIconResource(bytes(), size), size),
              0);
  ico[16] = '\x7F';  // the first image's size, far past the end
  EXPECT_EQ(shell.LoadIconResource(bytes(), kIconSize).status(), IconStatus::None);

  // Windows answers 1 for a file that is no icon file, Wine 8 answers 0;
  // the listing ends at either, which is all the picker asks.
  TempDir dir;
  WriteFile(dir / "notes.txt", "not an icon at all");
  EXPECT_FALSE(shell.ExtractIcon((dir / "notes.txt").string(), 0).IsIcon());
  EXPECT_NE(shell.ExtractIcon((dir / "gone.ico").string(), 0).reason().find("gone.ico"),
            std::string::npos);
  EXPECT_EQ(shell.SmallShellIcon((dir / "gone.exe").string()).status(), IconStatus::None);
  EXPECT_EQ(shell.SmallShellIcon(WinePath(PLUMAGE_TEST_PE_DIR) + "\\app.exe").bitmap().width,
            kSmallIconSize);
}

}  // namespace
}  // namespace plumage::test
