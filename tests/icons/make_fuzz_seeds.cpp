// Writes the seed corpora of the icon fuzz targets (fuzz/corpus/icon_*):
// small, valid files of every kind the readers take, from our own writers.
// The committed seeds are its output plus a real mingw-w64 program; run it
// again when the formats the writers cover grow:
//   build/default/tests/icons/make_fuzz_seeds fuzz/corpus
#include <cstdio>
#include <filesystem>
#include <fstream>

#include "test_icon_set.h"

namespace {

bool Write(const std::filesystem::path& path, const plumage::test::Bytes& bytes) {
  std::filesystem::create_directories(path.parent_path());
  std::ofstream out(path, std::ios::binary | std::ios::trunc);
  out.write(reinterpret_cast<const char*>(bytes.data()),
            static_cast<std::streamsize>(bytes.size()));
  return static_cast<bool>(out);
}

}  // namespace

int main(int argc, char** argv) {
  using namespace plumage::test;
  if (argc != 2) {
    std::fprintf(stderr, "usage: make_fuzz_seeds <corpus folder>\n");
    return 2;
  }
  const std::filesystem::path root = argv[1];
  bool ok = true;
  // Small images: the fuzzer spends its time on structure, not on pixels.
  const ImageDef depths[] = {{8, 1}, {8, 4}, {8, 8}, {5, 24}, {6, 32}, {7, 32, false, true}};
  std::vector<Bytes> dibs;
  for (const ImageDef& d : depths) {
    dibs.push_back(EncodeTestImage(1, d));
    ok &=
        Write(root / "icon_bmp" / ("depth" + std::to_string(d.bpp) + (d.alpha ? "a" : "") + ".bmp"),
              dibs.back());
  }
  DibDef noMask = TestDib(2, ImageDef{4, 32, false, true});
  noMask.withMask = false;
  ok &= Write(root / "icon_bmp" / "alpha_no_mask.bmp", EncodeDib(noMask));
  const Bytes png = EncodeTestImage(3, ImageDef{6, 32, true});
  ok &= Write(root / "icon_png" / "rgba.png", png);
  ok &= Write(root / "icon_png" / "tiny.png",
              EncodePng(3, 2, std::vector<plumage::platform::Rgba>(6, {9, 9, 9, 255})));

  ok &= Write(root / "icon_ico" / "depths.ico", WriteIco(dibs));
  ok &= Write(root / "icon_ico" / "png.ico", WriteIco({png, dibs[2]}));
  ok &= Write(root / "icon_ico" / "one.ico", WriteIco({dibs[1]}));

  const std::vector<GroupDef> groups = {GroupDef{"NAMED", 0, {dibs[0], dibs[4]}},
                                         GroupDef{"", 7, {png}}, GroupDef{"", 9, {dibs[3]}}};
  ok &= Write(root / "icon_pe" / "pe32.dll", WritePe(groups, false));
  ok &= Write(root / "icon_pe" / "pe64.dll", WritePe(groups, true));
  ok &= Write(root / "icon_ne" / "shift0.icl", WriteNe(groups, 0));
  ok &= Write(root / "icon_ne" / "shift4.icl", WriteNe(groups, 4));
  if (!ok) std::fprintf(stderr, "make_fuzz_seeds: cannot write into %s\n", argv[1]);
  return ok ? 0 : 1;
}
