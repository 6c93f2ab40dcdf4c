// What the icon-making tests share: a program folder and a folder to give
// an icon to in a temporary folder, the real files and icon readers, a
// recording user interface, and pictures and icon files to start from.
#pragma once

#include <gtest/gtest.h>

#include <filesystem>
#include <string>
#include <vector>

#include "base/paths.h"
#include "app/startup.h"
#include "iconmaker/bmp_to_icon.h"
#include "iconmaker/folder_mask.h"
#include "image/dib_section.h"
#include "image/dib_section_save.h"
#include "picker/change_icon.h"
#include "platform/portable/file_icon_source.h"
#include "platform/posix/png_codec_libpng.h"
#include "support/fakes.h"
#include "support/icon_writer.h"
#include "support/temp_dir.h"

namespace plumage::test {

namespace fs = std::filesystem;

// A 32 × 32 picture with many colours, different for each seed.
inline plumage::Surface24 TestPicture(unsigned seed) {
  plumage::Surface24 s(32, 32);
  for (int y = 0; y < 32; ++y)
    for (int x = 0; x < 32; ++x)
      s.Set(x, y,
            {static_cast<std::uint8_t>((x * 8 + seed * 37) & 0xFF),
             static_cast<std::uint8_t>((y * 8 + seed * 11) & 0xFF),
             static_cast<std::uint8_t>(((x ^ y) * 8 + seed * 5) & 0xFF)});
  return s;
}

// An .ico file of one opaque 32 × 32 image, a colour per column band.
inline Bytes TestIconFile(std::uint8_t red) {
  DibDef dibDef;
  dibDef.width = 32;
  dibDef.height = 32;
  dibDef.bpp = 32;
  for (int y = 0; y < 32; ++y)
    for (int x = 0; x < 32; ++x)
      dibDef.pixels.push_back(
          Argb({red, static_cast<std::uint8_t>(x * 8), static_cast<std::uint8_t>(y * 8), 255}));
  return WriteIco({EncodeDib(dibDef), EncodeDib(dibDef)});
}

// The bytes the image engine gives for a picture at 8 bits per pixel, no
// palette, no reduction: what every icon's palette and pixels come from.
inline std::string EngineBitmap8(const plumage::Surface24& picture, const fs::path& where) {
  image::cDIBSection dib;
  EXPECT_TRUE(dib.CreateFromPicture(picture));
  std::unique_ptr<image::cPalette> none;
  image::cDIBSectionSave saver;
  EXPECT_TRUE(saver.Save(where.string(), dib, none, 2, 0));
  return ReadFile(where);
}

// The folder silhouette as the dialog's documents draw it, top row first.
inline std::vector<std::string> SilhouetteRows() {
  std::vector<std::string> rows;
  rows.push_back(std::string(32, '0'));
  rows.push_back("00001111111111000000000000000000");
  rows.push_back("00011111111111100000000000000000");
  rows.push_back("00111111111111110000000000000000");
  rows.push_back("01111111111111111000000000000000");
  rows.push_back("11111111111111111111111111111100");
  rows.push_back("11111111111111111111111111111110");
  for (int r = 7; r <= 26; ++r) rows.push_back(std::string(32, '1'));
  rows.push_back("01111111111111111111111111111110");
  for (int r = 28; r <= 31; ++r) rows.push_back(std::string(32, '0'));
  return rows;
}

class IconMakingTest : public ::testing::Test {
 protected:
  IconMakingTest() {
    env.os.icons = &icons;
    programFolder = dir / "program";
    fs::create_directories(programFolder / "Icons");
    env.system.programFolder = programFolder.string() + kPathSeparator;
    folder = dir / "Music";
    fs::create_directory(folder);
    BeginRun(env.program, folder.string());
  }

  fs::path IconsDir() const { return programFolder / "Icons"; }
  std::vector<std::string> Names(const fs::path& where) const {
    std::vector<std::string> names;
    for (const auto& e : fs::directory_iterator(where)) names.push_back(e.path().filename().string());
    std::sort(names.begin(), names.end());
    return names;
  }
  bool TemporariesGone() const {
    return !fs::exists(programFolder / "$$$.BMP") && !fs::exists(programFolder / "$$$.ICO");
  }
  std::string WriteIcoFile(const std::string& name, std::uint8_t red) {
    const fs::path p = dir / name;
    const Bytes b = TestIconFile(red);
    WriteFile(p, std::string(b.begin(), b.end()));
    return p.string();
  }

  TempDir dir;
  TestPlatform env;
  platform::LibPngCodec png;
  platform::FileIconSource icons{png};
  RecordingUi ui;
  fs::path programFolder;
  fs::path folder;
};

}  // namespace plumage::test
