// Our decoding against icoutils' on the same images, and the committed icon
// art against its generator: checks that do not take our word for it. (The
// Windows build compares the listing and drawing with Windows' own.)
#include <gtest/gtest.h>

#include "iconmaker/folder_mask.h"
#include "picker/folder_backgrounds.h"
#include "formats/icons/icon_image.h"
#include "support/run_process.h"
#include "support/temp_dir.h"
#include "test_icon_set.h"

namespace plumage::test {
namespace {

using namespace platform;
using namespace formats;

// icotool writes each image as a PNG whose alpha is the mask (or the image's
// own alpha): at every depth, and for the folder backgrounds, whose clear
// pixels are those outside the folder mask, black so as not to invert.
TEST(OtherReaders, IcotoolSeesThePixelsWeSee) {
  TempDir dir;
  LibPngCodec png;
  std::vector<Bytes> images;
  for (ImageDef d : {ImageDef{13, 1}, {13, 4}, {17, 8}, {31, 24}, {32, 32}, {29, 32, false, true}})
    images.push_back(EncodeTestImage(7, d));
  for (const auto& ico : kFolderBackgroundIcos)
    images.push_back(Bytes(ico.begin() + 22, ico.end()));
  for (std::size_t k = 0; k < images.size(); ++k) {
    const Bytes& image = images[k];
    const Bytes ico = WriteIco({image});
    WriteFile(dir / "one.ico", std::string(ico.begin(), ico.end()));
    ProcessResult run = RunProcess(
        {PLUMAGE_ICOTOOL, "-x", "-o", (dir / "one.png").string(), (dir / "one.ico").string()});
    ASSERT_EQ(run.exitCode, 0) << run.err;
    const std::string bytes = ReadFile(dir / "one.png");
    auto theirs = png.Decode({reinterpret_cast<const std::uint8_t*>(bytes.data()), bytes.size()});
    auto ours = formats::DecodeIconImage(image, png);
    ASSERT_TRUE(theirs && ours && theirs->width == ours->width && theirs->height == ours->height);
    // icotool keeps alpha bytes that are all 0, which Windows ignores.
    const bool zeroAlpha = !ours->hasAlpha && image[14] == 32;
    for (std::size_t i = 0; i < ours->color.size(); ++i) {
      const std::uint8_t* p = &theirs->rgba[i * 4];
      if (ours->hasAlpha || zeroAlpha || !ours->mask[i]) {
        ASSERT_EQ((Rgba{p[0], p[1], p[2], zeroAlpha ? std::uint8_t(255) : p[3]}), ours->color[i]);
      } else if (ours->color[i] == Rgba{0, 0, 0, 255}) {  // clear; a colour there inverts
        ASSERT_EQ(p[3], 0) << i;
      }
      const bool clear = ours->mask[i], black = ours->color[i] == Rgba{0, 0, 0, 255};
      ASSERT_TRUE(k < 6 ||
                  (clear != FolderMaskOpaque(int(i % 32), int(i / 32)) && (black || !clear)))
          << "background " << k - 6 << " pixel " << i;
    }
  }
}

TEST(OtherReaders, TheCommittedArtIsItsGeneratorsOutput) {
  TempDir dir;
  ProcessResult run = RunProcess({PLUMAGE_MAKE_ICON_ART, dir.str()});
  ASSERT_EQ(run.exitCode, 0) << run.err;
  for (const char* file :
       {"data/icons/folder_yellow.ico", "data/icons/folder_red.ico", "data/icons/folder_blue.ico",
        "data/icons/folder_green.ico", "data/icons/generic_application.ico",
        "src/picker/folder_backgrounds_data.cpp",
        "src/platform/icons/generic_application_icon_data.cpp"})
    EXPECT_EQ(ReadFile(dir / file), ReadFile(std::filesystem::path(PLUMAGE_SOURCE_DIR) / file))
        << file;
}

}  // namespace
}  // namespace plumage::test
