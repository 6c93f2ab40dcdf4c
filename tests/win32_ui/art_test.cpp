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

#include "support/icon_writer.h"
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

// A bitmap file of w × h whose every pixel is `bgra`.
Bytes SolidBitmap(int w, int h, std::uint32_t bgra, int bits = 32) {
  const auto pixels = static_cast<std::uint32_t>(w * h);
  Bytes b;
  Put16(b, {0x4D42});
  Put32(b, {54 + pixels * 4, 0, 54, 40, static_cast<std::uint32_t>(w), static_cast<std::uint32_t>(h)});
  Put16(b, {1, static_cast<std::uint32_t>(bits)});
  Put32(b, {0, 0, 0, 0, 0, 0});
  for (std::uint32_t i = 0; i < pixels; ++i) Put32(b, {bgra});
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
        transparent += qAlpha(c) == 0;
        const Rgb opaque{static_cast<std::uint8_t>(qRed(c)), static_cast<std::uint8_t>(qGreen(c)),
                         static_cast<std::uint8_t>(qBlue(c))};
        if (qAlpha(c) == 0 || qAlpha(c) == 255) {
          EXPECT_EQ(s.At(x, y), qAlpha(c) == 0 ? face : opaque) << p.file << " at " << x << "," << y;
        }
      }
    // The two small pictures stand on the face; the logo is opaque.
    EXPECT_EQ(transparent == 0, std::string(p.file) == "logo.bmp") << p.file;
  }
}

// Straight alpha over the background, rows bottom-up; what is not one of
// our pictures is refused without a read past its bytes.
TEST(CompositeBitmapFile, MixesAlphaReadsBottomUpAndRefusesOthers) {
  // Blue 0x40, green 0x80, red 0xC0 at alpha 0x80 over white: (c·128 + 255·127 + 127) / 255;
  // the first row in the file is pure red, and is the bottom row.
  Bytes file = SolidBitmap(3, 2, 0x80C08040);
  PutAt(file, 54, 0xFFFF0000);
  const Surface24 s = win32::CompositeBitmapFile(file, Rgb{255, 255, 255});
  EXPECT_EQ(std::tuple(s.width(), s.height(), s.At(0, 1), s.At(2, 1), s.At(0, 0)),
            std::tuple(3, 2, Rgb{255, 0, 0}, Rgb{223, 191, 159}, Rgb{223, 191, 159}));
  const Bytes good = SolidBitmap(4, 4, 0xFF102030);
  std::vector<Bytes> bad = {SolidBitmap(4, 4, 0, 24), good, good, good, good};
  bad[1][0] = 'X';                  // not BM
  PutAt(bad[2], 13, 0xFF, 1);       // pixels far beyond the data
  PutAt(bad[3], 18, 0x7FFFFFFF);    // sizes that wrap in 32 bits
  PutAt(bad[4], 22, 0xFFFFFFFF);    // a negative height
  for (std::size_t cut : {0u, 1u, 10u, 30u, 53u, 54u, 117u}) bad.emplace_back(good.begin(), good.begin() + cut);
  EXPECT_FALSE(win32::CompositeBitmapFile(good, Rgb{}).empty());
  for (const Bytes& b : bad) EXPECT_TRUE(win32::CompositeBitmapFile(b, Rgb{}).empty()) << b.size();
}

}  // namespace
}  // namespace plumage::test
