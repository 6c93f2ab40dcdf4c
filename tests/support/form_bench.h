// What a test of a form needs, once: the shared fakes around the real files
// and icon readers, a program folder with its folder of new icons and a
// folder to give an icon to (Music) in a temporary folder, the verb key and
// the shell's keys present, and one journal that the registry, the shell and
// the user interface write to in the order things happen.
#pragma once

#include <filesystem>
#include <string>

#include "app/startup.h"
#include "base/paths.h"
#include "platform/portable/file_icon_source.h"
#ifdef _WIN32
#include "platform/win32/wic_png_codec.h"
#else
#include "platform/posix/png_codec_libpng.h"
#endif
#include "settings/settings.h"
#include "shellcache/icon_cache_manager.h"
#include "support/fakes.h"
#include "support/icon_writer.h"
#include "support/temp_dir.h"

namespace plumage::test {

// A side × side, 8-bit icon image of one colour.
inline Bytes SolidImage(formats::Rgba colour, int side = 32) {
  DibDef dib;
  dib.width = dib.height = side;
  dib.bpp = 8;
  dib.palette = {colour};
  dib.pixels.assign(static_cast<std::size_t>(side * side), 0);
  return EncodeDib(dib);
}
inline formats::Rgba ColourOf(int i) {
  return {static_cast<std::uint8_t>(10 + i), static_cast<std::uint8_t>(200 - i), 77, 255};
}
inline void Save(const std::filesystem::path& path, const Bytes& bytes) {
  WriteFile(path, std::string(bytes.begin(), bytes.end()));
}

struct FormBench {
  FormBench() {
    std::filesystem::create_directories(home / "Icons");
    std::filesystem::create_directories(folder);
    tp.system.programFolder = home.string() + kPathSeparator;
    tp.os.icons = &icons;
    tp.registry.journal = &journal;
    for (auto [root, key] : {std::pair{kVerbRoot, kVerbCommandKey},
                             {kWindowMetricsRoot, kWindowMetricsKey}, {kExplorerRoot, kExplorerKey}})
      tp.registry.CreateKey(root, key);
    BeginRun(tp.program, folder.string());
  }
  // A library of `count` icons in the temporary folder, icon i in ColourOf(i).
  std::string Library(const std::string& name, int count) {
    std::vector<GroupDef> groups;
    for (int i = 0; i < count; ++i)
      groups.push_back({"", static_cast<std::uint16_t>(100 + i), {SolidImage(ColourOf(i))}});
    Save(dir / name, WritePe(groups));
    return (dir / name).string();
  }
  // A value of the verb key as the settings dialog or plumagectl stores it.
  void Verb(const char* name, const std::string& text) {
    tp.registry.SetString(kVerbRoot, kVerbKey, name, text);
  }
  // The messages shown, "title: text" each.
  std::vector<std::string> Said() const {
    std::vector<std::string> said;
    for (const ShownMessage& m : ui.messages) said.push_back(m.title + ": " + m.text);
    return said;
  }

  TempDir dir;
  std::filesystem::path home = dir / "home";  // the program folder
  std::filesystem::path folder = dir / "Music";
  Journal journal;
  TestPlatform tp{&journal};
  Program& program = tp.program;
#ifdef _WIN32
  platform::WicPngCodec png;
#else
  platform::LibPngCodec png;
#endif
  platform::FileIconSource icons{png};
  JournalUi ui{journal};
};

}  // namespace plumage::test
