// Listing and drawing every icon of a large library, as the picker does it:
// ExtractIcon for index 0, 1, 2 ... until the first miss, each icon drawn at
// (0, 0) on a 32 × 32 surface. Each run starts with a fresh icon source, so
// reading and parsing the file is part of the time.
//
// The libraries are made in the setup by the tests' own writers: a PE
// library and an NE icon library (.icl) of N icons, each with a 16 × 16
// 8-bit image and a 32 × 32 image with alpha. The rows for N and 2N and the
// fitted complexity show how the time grows with N. An NE resource table
// is limited to 64 KiB (its offsets are 16-bit), which holds about 1300
// such icons: the .icl rows stop at 1000.
#include <benchmark/benchmark.h>

#include <unistd.h>
#include <filesystem>
#include <fstream>
#include <map>
#include <string>

#include "../tests/support/icon_writer.h"
#include "platform/portable/file_icon_source.h"

namespace {

using plumage::test::Bytes;

// The files are written once per size and removed when the run ends.
class Libraries {
 public:
  ~Libraries() {
    std::error_code ec;
    std::filesystem::remove_all(dir_, ec);
  }
  const std::string& Path(const std::string& kind, int icons) {
    const std::string key = kind + std::to_string(icons);
    auto found = paths_.find(key);
    if (found != paths_.end()) return found->second;
    std::filesystem::create_directories(dir_);
    const std::filesystem::path path = dir_ / (key + (kind == "pe" ? ".dll" : ".icl"));
    const Bytes bytes = kind == "pe" ? plumage::test::WritePe(Groups(icons))
                                     : plumage::test::WriteNe(Groups(icons), 9);
    std::ofstream(path, std::ios::binary)
        .write(reinterpret_cast<const char*>(bytes.data()),
               static_cast<std::streamsize>(bytes.size()));
    return paths_[key] = path.string();
  }

 private:
  static Bytes Image(int k, int side, int bpp) {
    plumage::test::DibDef s;
    s.width = s.height = side;
    s.bpp = bpp;
    if (bpp == 8)
      for (int i = 0; i < 256; ++i)
        s.palette.push_back({static_cast<std::uint8_t>(i), static_cast<std::uint8_t>(k),
                             static_cast<std::uint8_t>(255 - i), 0});
    for (int i = 0; i < side * side; ++i) {
      s.pixels.push_back(bpp == 8
                             ? static_cast<std::uint32_t>((i + k) % 256)
                             : 0xFF000000u | static_cast<std::uint32_t>(i * 2654435761u + k) >> 8);
      s.mask.push_back(static_cast<std::uint8_t>(i % 7 == 0));
    }
    return plumage::test::EncodeDib(s);
  }
  static std::vector<plumage::test::GroupDef> Groups(int icons) {
    std::vector<plumage::test::GroupDef> groups;
    for (int k = 0; k < icons; ++k)
      groups.push_back({k % 3 == 0 ? "ICON" + std::to_string(k) : "",
                        static_cast<std::uint16_t>(k + 1),
                        {Image(k, 16, 8), Image(k, 32, 32)}});
    return groups;
  }

  std::filesystem::path dir_ =
      std::filesystem::temp_directory_path() / ("plumage_bench_icons_" + std::to_string(getpid()));
  std::map<std::string, std::string> paths_;
};

Libraries& Files() {
  static Libraries libraries;
  return libraries;
}

void ListAndDraw(benchmark::State& state, const std::string& kind) {
  const int icons = static_cast<int>(state.range(0));
  const std::string path = Files().Path(kind, icons);
  plumage::platform::LibPngCodec png;
  std::int64_t listed = 0;
  for (auto _ : state) {
    plumage::platform::FileIconSource source(png);
    int n = 0;
    for (;; ++n) {
      plumage::platform::IconHandle icon = source.ExtractIcon(path, n);
      if (!icon.IsIcon()) break;
      plumage::Surface24 picture(32, 32);
      source.DrawIcon(picture, 0, 0, icon);
      benchmark::DoNotOptimize(picture.bits());
    }
    if (n != icons || source.filesParsed() != 1) {
      state.SkipWithError("the library did not list as written");
      return;
    }
    listed += n;
  }
  state.SetItemsProcessed(listed);
  state.SetComplexityN(icons);
  state.counters["icons"] = icons;
}

void BM_ListPeLibrary(benchmark::State& state) {
  ListAndDraw(state, "pe");
}
void BM_ListIconLibrary(benchmark::State& state) {
  ListAndDraw(state, "icl");
}

BENCHMARK(BM_ListPeLibrary)
    ->Arg(1000)
    ->Arg(2000)
    ->Arg(4000)
    ->Unit(benchmark::kMillisecond)
    ->Complexity();
BENCHMARK(BM_ListIconLibrary)
    ->Arg(250)
    ->Arg(500)
    ->Arg(1000)
    ->Unit(benchmark::kMillisecond)
    ->Complexity();

}  // namespace
