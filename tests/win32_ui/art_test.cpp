// The Win32 front end's pictures: the committed resource files are what the
// generator writes from the Qt front end's drawings, and they come out of
// the bitmap reader as those drawings laid over the face colour.
#include <gtest/gtest.h>

#include <QGuiApplication>
#include <QImage>
#include <cstdint>
#include <filesystem>
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
  for (const char* name : {"image1.bmp", "picture3.bmp", "logo.bmp", "plumage.ico"})
    EXPECT_EQ(ReadFile(temp.path() / "src/ui/win32/art" / name), ReadFile(kArt / name))
        << name << " differs from the generator's output; to change the art, run "
        << "make_win32_art <source folder> and commit the files";
}

// Each opaque pixel is the drawing's, each clear one the face colour, rows
// the right way up.
TEST(Win32Art, ComesOutAsTheQtDrawingsOverTheFaceColour) {
  App();
  const Rgb face{212, 208, 200};
  const std::pair<const char*, QImage> pictures[] = {{"image1.bmp", qt::Image1Art().toImage()},
                                                     {"picture3.bmp", qt::Picture3Art().toImage()},
                                                     {"logo.bmp", qt::DrawPlumageLogo()}};
  for (const auto& [file, image] : pictures) {
    const std::string bytes = ReadFile(kArt / file);
    const Surface24 s = win32::CompositeBitmapFile(Bytes(bytes.begin(), bytes.end()), face);
    const QImage drawn = image.convertToFormat(QImage::Format_ARGB32);
    ASSERT_EQ(std::tuple(s.width(), s.height()), std::tuple(drawn.width(), drawn.height())) << file;
    for (int y = 0; y < s.height(); ++y)
      for (int x = 0; x < s.width(); ++x) {
        const QRgb c = drawn.pixel(x, y);
        const Rgb opaque{static_cast<std::uint8_t>(qRed(c)), static_cast<std::uint8_t>(qGreen(c)),
                         static_cast<std::uint8_t>(qBlue(c))};
        if (qAlpha(c) == 0 || qAlpha(c) == 255) {
          EXPECT_EQ(s.At(x, y), qAlpha(c) == 0 ? face : opaque) << file << " at " << x << "," << y;
        }
      }
  }
}

// Straight alpha over the background; what is not one of our pictures is
// refused without a read past its bytes.
TEST(CompositeBitmapFile, MixesStraightAlphaAndRefusesOthers) {
  // Blue 0x40, green 0x80, red 0xC0 at alpha 0x80 over white: (c·128 + 255·127 + 127) / 255.
  const Bytes good = SolidBitmap(4, 4, 0x80C08040);
  EXPECT_EQ(win32::CompositeBitmapFile(good, Rgb{255, 255, 255}).At(3, 3), (Rgb{223, 191, 159}));
  std::vector<Bytes> bad = {SolidBitmap(4, 4, 0, 24), good, good, good, good};
  bad[1][0] = 'X';                  // not BM
  PutAt(bad[2], 13, 0xFF, 1);       // pixels far beyond the data
  PutAt(bad[3], 18, 0x7FFFFFFF);    // sizes that wrap in 32 bits
  PutAt(bad[4], 22, 0xFFFFFFFF);    // a negative height
  for (std::size_t cut : {0u, 30u, 53u, 117u}) bad.emplace_back(good.begin(), good.begin() + cut);
  for (const Bytes& b : bad) EXPECT_TRUE(win32::CompositeBitmapFile(b, Rgb{}).empty()) << b.size();
}

}  // namespace
}  // namespace plumage::test
