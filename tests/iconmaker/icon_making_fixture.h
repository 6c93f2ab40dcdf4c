// What the icon-making tests share: the form bench (a program folder with
// its folder of new icons, a folder Music to give an icon to), pictures and
// icon files to start from.
#pragma once

#include <gtest/gtest.h>

#include <algorithm>

#include "support/form_bench.h"

namespace plumage::test {

namespace fs = std::filesystem;

// A 32 × 32 picture with many colours, different for each seed.
inline Surface24 TestPicture(unsigned seed) {
  Surface24 s(32, 32);
  for (int y = 0; y < 32; ++y)
    for (int x = 0; x < 32; ++x)
      s.Set(x, y, {static_cast<std::uint8_t>((x * 8 + seed * 37) & 0xFF),
                   static_cast<std::uint8_t>((y * 8 + seed * 11) & 0xFF),
                   static_cast<std::uint8_t>(((x ^ y) * 8 + seed * 5) & 0xFF)});
  return s;
}

class IconMakingTest : public ::testing::Test, public FormBench {
 protected:
  fs::path IconsDir() const { return home / "Icons"; }
  std::vector<std::string> Names(const fs::path& where) const {
    std::vector<std::string> names;
    for (const auto& e : fs::directory_iterator(where)) names.push_back(e.path().filename().string());
    std::sort(names.begin(), names.end());
    return names;
  }
  bool TemporariesGone() const {
    return !fs::exists(home / "$$$.BMP") && !fs::exists(home / "$$$.ICO");
  }
  // An .ico file of two opaque 32 × 32 images, a colour per column band.
  std::string WriteIcoFile(const std::string& name, std::uint8_t red) {
    DibDef dib;
    dib.width = dib.height = 32;
    dib.bpp = 32;
    for (int y = 0; y < 32; ++y)
      for (int x = 0; x < 32; ++x)
        dib.pixels.push_back(
            Argb({red, static_cast<std::uint8_t>(x * 8), static_cast<std::uint8_t>(y * 8), 255}));
    Save(dir / name, WriteIco({EncodeDib(dib), EncodeDib(dib)}));
    return (dir / name).string();
  }

  TestPlatform& env = tp;
  fs::path& programFolder = home;
};

}  // namespace plumage::test
