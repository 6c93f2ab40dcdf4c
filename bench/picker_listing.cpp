// The picker filling its list from a large library, as a user waits for it:
// ChangeIcon::LoadIconList over a PE library of N icons, from a fresh icon
// source (the file is read and parsed once within the time) to the filled
// list of 32 × 32 pictures and labels. The Qt view then only shows them.
#include <benchmark/benchmark.h>

#include <unistd.h>
#include <filesystem>
#include <fstream>

#include "../tests/support/icon_writer.h"
#include "app/program.h"
#include "app/user_interface.h"
#include "picker/change_icon.h"
#include "platform/portable/file_icon_source.h"
#include "platform/posix/png_codec_libpng.h"
#include "platform/posix/registry_store.h"

namespace {

class NullUi : public plumage::IUserInterface {
 public:
  void MessageBox(const std::string&, const std::string&, plumage::MessageIcon) override {}
  void SetWaitCursor(bool) override {}
  std::optional<std::string> OpenFile(const plumage::OpenFileOptions&) override { return {}; }
  void Beep() override {}
  void DoEvents() override {}
  void EndProgram() override {}
  void ShowOptions() override {}
  void ShowAbout() override {}
  void ShowTransformIcon(plumage::ChangeIcon&) override {}
};

std::string Library(int icons) {
  const auto path = std::filesystem::temp_directory_path() /
                    ("plumage_bench_picker_" + std::to_string(getpid()) + "_" +
                     std::to_string(icons) + ".dll");
  if (!std::filesystem::exists(path)) {
    std::vector<plumage::test::GroupDef> groups;
    for (int k = 0; k < icons; ++k) {
      plumage::test::DibDef s;
      s.width = s.height = 32;
      s.bpp = 32;
      for (int i = 0; i < 32 * 32; ++i) s.pixels.push_back(0xFF000000u | (i * 2654435761u + k) >> 8);
      groups.push_back({"", static_cast<std::uint16_t>(k + 1), {plumage::test::EncodeDib(s)}});
    }
    const auto bytes = plumage::test::WritePe(groups);
    std::ofstream(path, std::ios::binary)
        .write(reinterpret_cast<const char*>(bytes.data()), static_cast<std::streamsize>(bytes.size()));
  }
  return path.string();
}

void BM_PickerLoadIconList(benchmark::State& state) {
  const int icons = static_cast<int>(state.range(0));
  const std::string path = Library(icons);
  plumage::platform::LibPngCodec png;
  NullUi ui;
  for (auto _ : state) {
    plumage::platform::FileIconSource source(png);
    plumage::platform::PosixRegistry registry("/nonexistent/plumage-bench/registry.reg");
    plumage::platform::Platform os;
    os.registry = &registry;
    os.icons = &source;
    plumage::Program program(os);
    plumage::ChangeIcon picker(program, ui);
    picker.SelectedIcon = path;
    picker.LoadIconList();
    if (static_cast<int>(picker.ListView.ListItems.size()) != icons) {
      state.SkipWithError("the list did not fill");
      return;
    }
  }
  state.SetItemsProcessed(state.iterations() * icons);
  state.SetComplexityN(icons);
}

// The libraries go when the run ends.
struct Cleanup {
  ~Cleanup() {
    for (int icons : {1000, 2000})
      std::filesystem::remove(std::filesystem::temp_directory_path() /
                              ("plumage_bench_picker_" + std::to_string(getpid()) + "_" +
                               std::to_string(icons) + ".dll"));
  }
} cleanup;

BENCHMARK(BM_PickerLoadIconList)->Arg(1000)->Arg(2000)->Unit(benchmark::kMillisecond)->Complexity();

}  // namespace
