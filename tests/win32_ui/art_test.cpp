// The Win32 front end's pictures: the committed resource files are what the
// generator writes from the Qt front end's drawings, and they come out of
// the bitmap reader as those drawings laid over the face colour.
#include <gtest/gtest.h>

#include <QGuiApplication>
#include <QImage>
#include <cstdint>
#include <filesystem>
#include <span>
#include <string>
#include <vector>

#include "support/run_process.h"
#include "support/temp_dir.h"
#include "ui/qt/about_logo.h"
#include "ui/qt/artwork.h"
#include "ui/win32/picture_file.h"

namespace plumage::test {
namespace {

namespace fs = std::filesystem;
using plumage::Rgb;
using plumage::Surface24;

const fs::path kArt = fs::path(PLUMAGE_SOURCE_DIR) / "src/ui/win32/art";

std::span<const std::uint8_t> Span(const std::string& bytes) {
  return {reinterpret_cast<const std::uint8_t*>(bytes.data()), bytes.size()};
}

// A 32-bit bitmap file of w × h whose every pixel is `bgra`.
std::string SolidBitmap(int w, int h, std::uint32_t bgra, int bits = 32) {
  std::string b;
  auto put = [&b](std::uint32_t v, int n) {
    for (int i = 0; i < n; ++i) b.push_back(static_cast<char>((v >> (8 * i)) & 0xFF));
  };
  put(0x4D42, 2);
  put(54 + static_cast<std::uint32_t>(w * h * 4), 4);
  put(0, 4);
  put(54, 4);
  put(40, 4);
  put(static_cast<std::uint32_t>(w), 4);
  put(static_cast<std::uint32_t>(h), 4);
  put(1, 2);
  put(static_cast<std::uint32_t>(bits), 2);
  put(0, 4);
  for (int i = 0; i < 5; ++i) put(0, 4);
  for (int i = 0; i < w * h; ++i) put(bgra, 4);
  return b;
}

QGuiApplication& App() {
  static int argc = 1;
  static char name[] = "test";
  static char* argv[] = {name, nullptr};
  static QGuiApplication app(argc, argv);
  return app;
}

TEST(Win32Art, IsTheGeneratorsOutput) {
  TempDir temp;
  const ProcessResult run = RunProcess({PLUMAGE_MAKE_WIN32_ART, temp.path().string()});
  ASSERT_EQ(run.exitCode, 0) << run.err;
  for (const char* name : {"image1.bmp", "picture3.bmp", "logo.bmp", "plumage.ico"}) {
    const std::string made = ReadFile(temp.path() / "src/ui/win32/art" / name);
    ASSERT_FALSE(made.empty()) << name;
    EXPECT_TRUE(made == ReadFile(kArt / name))
        << name << " differs from the generator's output; to change the art, run "
        << "make_win32_art <source folder> and commit the files";
  }
}

TEST(Win32Art, ComesOutAsTheQtDrawingsOverTheFaceColour) {
  App();
  const Rgb face{212, 208, 200};
  struct Picture {
    const char* file;
    QImage drawn;
  };
  const Picture pictures[] = {{"image1.bmp", qt::Image1Art().toImage()},
                              {"picture3.bmp", qt::Picture3Art().toImage()},
                              {"logo.bmp", qt::DrawPlumageLogo()}};
  for (const Picture& p : pictures) {
    const std::string bytes = ReadFile(kArt / p.file);
    const Surface24 s = win32::CompositeBitmapFile(Span(bytes), face);
    const QImage drawn = p.drawn.convertToFormat(QImage::Format_ARGB32);
    ASSERT_EQ(s.width(), drawn.width()) << p.file;
    ASSERT_EQ(s.height(), drawn.height()) << p.file;
    int transparent = 0;
    for (int y = 0; y < s.height(); ++y)
      for (int x = 0; x < s.width(); ++x) {
        const QRgb c = drawn.pixel(x, y);
        if (qAlpha(c) == 0) {
          ++transparent;
          EXPECT_EQ(s.At(x, y), face) << p.file << " at " << x << "," << y;
        } else if (qAlpha(c) == 255) {
          EXPECT_EQ(s.At(x, y),
                    (Rgb{static_cast<std::uint8_t>(qRed(c)), static_cast<std::uint8_t>(qGreen(c)),
                         static_cast<std::uint8_t>(qBlue(c))}))
              << p.file << " at " << x << "," << y;
        }
      }
    // The two small pictures stand on the face; the logo is opaque.
    if (std::string(p.file) == "logo.bmp")
      EXPECT_EQ(transparent, 0);
    else
      EXPECT_GT(transparent, 0) << p.file;
  }
}

TEST(CompositeBitmapFile, MixesStraightAlphaOverTheBackground) {
  // Blue 0x40, green 0x80, red 0xC0 at alpha 0x80, over white.
  const std::string file = SolidBitmap(3, 2, 0x80C08040);
  const Surface24 s = win32::CompositeBitmapFile(Span(file), Rgb{255, 255, 255});
  ASSERT_EQ(s.width(), 3);
  ASSERT_EQ(s.height(), 2);
  // (c·128 + 255·127 + 127) / 255
  EXPECT_EQ(s.At(2, 1), (Rgb{223, 191, 159}));
  EXPECT_EQ(s.At(0, 0), (Rgb{223, 191, 159}));
}

TEST(CompositeBitmapFile, RowsComeBottomUp) {
  std::string file = SolidBitmap(1, 2, 0xFF000000);
  file[54 + 2] = static_cast<char>(0xFF);  // the first row in the file is red
  const Surface24 s = win32::CompositeBitmapFile(Span(file), Rgb{});
  ASSERT_EQ(s.height(), 2);
  EXPECT_EQ(s.At(0, 1), (Rgb{255, 0, 0}));  // ... and is the bottom row
  EXPECT_EQ(s.At(0, 0), (Rgb{0, 0, 0}));
}

TEST(CompositeBitmapFile, RefusesWhatIsNotOneOfOurPicturesWithoutReadingPastIt) {
  const std::string good = SolidBitmap(4, 4, 0xFF102030);
  ASSERT_EQ(good.size(), 54u + 64u);
  EXPECT_FALSE(win32::CompositeBitmapFile(Span(good), Rgb{}).empty());
  for (std::size_t cut : {0u, 1u, 10u, 30u, 53u, 54u, 117u})
    EXPECT_TRUE(win32::CompositeBitmapFile(Span(good.substr(0, cut)), Rgb{}).empty()) << cut;
  EXPECT_TRUE(win32::CompositeBitmapFile(Span(SolidBitmap(4, 4, 0, 24)), Rgb{}).empty());
  std::string notBm = good;
  notBm[0] = 'X';
  EXPECT_TRUE(win32::CompositeBitmapFile(Span(notBm), Rgb{}).empty());
  // A pixel offset far beyond the data, and sizes that would wrap in 32 bits.
  std::string farOffset = good;
  farOffset[13] = static_cast<char>(0xFF);
  EXPECT_TRUE(win32::CompositeBitmapFile(Span(farOffset), Rgb{}).empty());
  std::string huge = good;
  huge[18] = huge[19] = huge[20] = static_cast<char>(0xFF);
  huge[21] = 0x7F;
  EXPECT_TRUE(win32::CompositeBitmapFile(Span(huge), Rgb{}).empty());
  std::string negative = good;
  negative[22] = negative[23] = negative[24] = negative[25] = static_cast<char>(0xFF);
  EXPECT_TRUE(win32::CompositeBitmapFile(Span(negative), Rgb{}).empty());
}

}  // namespace
}  // namespace plumage::test
