// The program's own icon art: the folder silhouette, the four folder
// backgrounds whose transparency is that silhouette, and the generic
// application icon; and that the committed art is its generator's output.
#include <gtest/gtest.h>

#include <filesystem>

#include "icon_test_util.h"
#include "iconmaker/folder_mask.h"
#include "picker/folder_backgrounds.h"
#include "platform/portable/file_icon_source.h"
#include "platform/portable/generic_application_icon.h"
#include "formats/icons/icon_file.h"
#include "support/run_process.h"
#include "support/temp_dir.h"

namespace plumage::test {
namespace {

// The silhouette row by row from the top, as it is drawn.
const char* const kRowsFromTop[32] = {
    "00000000000000000000000000000000", "00001111111111000000000000000000",
    "00011111111111100000000000000000", "00111111111111110000000000000000",
    "01111111111111111000000000000000", "11111111111111111111111111111100",
    "11111111111111111111111111111110", "11111111111111111111111111111111",
    "11111111111111111111111111111111", "11111111111111111111111111111111",
    "11111111111111111111111111111111", "11111111111111111111111111111111",
    "11111111111111111111111111111111", "11111111111111111111111111111111",
    "11111111111111111111111111111111", "11111111111111111111111111111111",
    "11111111111111111111111111111111", "11111111111111111111111111111111",
    "11111111111111111111111111111111", "11111111111111111111111111111111",
    "11111111111111111111111111111111", "11111111111111111111111111111111",
    "11111111111111111111111111111111", "11111111111111111111111111111111",
    "11111111111111111111111111111111", "11111111111111111111111111111111",
    "11111111111111111111111111111111", "01111111111111111111111111111110",
    "00000000000000000000000000000000", "00000000000000000000000000000000",
    "00000000000000000000000000000000", "00000000000000000000000000000000",
};

TEST(FolderMask, TheTemplateIsTheFolderRowsBottomRowFirst) {
  const std::string& mask = FolderMaskTemplate();
  ASSERT_EQ(mask.size(), 1024u);
  for (int stored = 0; stored < 32; ++stored)
    EXPECT_EQ(mask.substr(static_cast<std::size_t>(stored * 32), 32), kRowsFromTop[31 - stored])
        << "stored row " << stored;
  for (int y = 0; y < 32; ++y)
    for (int x = 0; x < 32; ++x) EXPECT_EQ(FolderMaskOpaque(x, y), kRowsFromTop[y][x] == '1');
  EXPECT_FALSE(FolderMaskOpaque(-1, 10));
  EXPECT_FALSE(FolderMaskOpaque(10, 32));
}

// The mask bytes an icon file holds for the template: rows bottom first,
// bit set where the folder is not.
Bytes PackedTemplate() {
  Bytes out;
  const std::string& mask = FolderMaskTemplate();
  for (std::size_t byte = 0; byte < 128; ++byte) {
    std::uint8_t v = 0;
    for (std::size_t bit = 0; bit < 8; ++bit)
      if (mask[byte * 8 + bit] == '0') v = static_cast<std::uint8_t>(v | (0x80 >> bit));
    out.push_back(v);
  }
  return out;
}

TEST(FolderBackgrounds, TheirTransparentAreaIsTheTemplateBitForBit) {
  const Bytes packed = PackedTemplate();
  EXPECT_EQ(Bytes(packed.begin(), packed.begin() + 4), (Bytes{255, 255, 255, 255}));
  EXPECT_EQ(Bytes(packed.begin() + 16, packed.begin() + 20), (Bytes{128, 0, 0, 1}));
  platform::LibPngCodec png;
  platform::FileIconSource source(png);
  for (int i = 0; i < kFolderBackgroundCount; ++i) {
    SCOPED_TRACE("background " + std::to_string(i));
    const auto bytes = kFolderBackgroundIcos[static_cast<std::size_t>(i)];
    // One 32 × 32, 256-colour image, laid out as the icons the program makes.
    ASSERT_EQ(bytes.size(), 2238u);
    EXPECT_EQ(bytes[4], 1);
    EXPECT_EQ(bytes[6], 32);
    EXPECT_EQ(bytes[7], 32);
    EXPECT_EQ(bytes[22 + 14], 8);
    EXPECT_EQ(Bytes(bytes.begin() + 2110, bytes.end()), packed);
    // Every transparent pixel holds colour 0, black, so that it shows the
    // screen rather than inverting it.
    for (std::size_t p = 0; p < 1024; ++p)
      if (FolderMaskTemplate()[p] == '0') {
        ASSERT_EQ(bytes[1086 + p], 0) << "pixel " << p;
      }

    platform::IconHandle icon = source.LoadIconResource(bytes, 32);
    ASSERT_TRUE(icon.IsIcon()) << icon.reason();
    EXPECT_EQ(icon.origin().bitsPerPixel, 8);
    for (int y = 0; y < 32; ++y)
      for (int x = 0; x < 32; ++x) {
        const std::size_t at = static_cast<std::size_t>(y * 32 + x);
        ASSERT_EQ(icon.bitmap().mask[at] == 0, FolderMaskOpaque(x, y)) << x << ", " << y;
        if (!FolderMaskOpaque(x, y)) {
          ASSERT_EQ(icon.bitmap().color[at], (platform::Rgba{0, 0, 0, 255}));
        }
      }
  }
}

TEST(FolderBackgrounds, AreYellowRedBlueAndGreen) {
  platform::LibPngCodec png;
  platform::FileIconSource source(png);
  std::vector<platform::Rgba> faces;
  for (int i = 0; i < kFolderBackgroundCount; ++i)
    faces.push_back(source.LoadIconResource(kFolderBackgroundIcos[static_cast<std::size_t>(i)], 32)
                        .bitmap()
                        .color[16 * 32 + 16]);
  const platform::Rgba yellow = faces[0], red = faces[1], blue = faces[2], green = faces[3];
  EXPECT_TRUE(yellow.r > yellow.b + 100 && yellow.g > yellow.b + 100);
  EXPECT_TRUE(red.r > red.g + 100 && red.r > red.b + 100);
  EXPECT_TRUE(blue.b > blue.r + 100 && blue.b > blue.g + 50);
  EXPECT_TRUE(green.g > green.r + 50 && green.g > green.b + 50);
}

TEST(FolderBackgrounds, AnotherReaderSeesTheSameTransparency) {
  // icotool (icoutils) turns each background into a PNG whose alpha is its mask.
  TempDir dir;
  platform::LibPngCodec png;
  for (int i = 0; i < kFolderBackgroundCount; ++i) {
    const std::filesystem::path ico = dir / ("folder" + std::to_string(i) + ".ico");
    const std::filesystem::path out = dir / ("folder" + std::to_string(i) + ".png");
    const auto bytes = kFolderBackgroundIcos[static_cast<std::size_t>(i)];
    WriteBytes(ico, Bytes(bytes.begin(), bytes.end()));
    ProcessResult run = RunProcess({PLUMAGE_ICOTOOL, "-x", "-o", out.string(), ico.string()});
    ASSERT_EQ(run.exitCode, 0) << run.err;
    const std::string file = ReadFile(out);
    auto image = png.Decode({reinterpret_cast<const std::uint8_t*>(file.data()), file.size()});
    ASSERT_TRUE(image) << image.error().message;
    ASSERT_EQ(image->width, 32);
    for (int y = 0; y < 32; ++y)
      for (int x = 0; x < 32; ++x)
        ASSERT_EQ(image->rgba[static_cast<std::size_t>((y * 32 + x) * 4 + 3)],
                  FolderMaskOpaque(x, y) ? 255 : 0)
            << i << ": " << x << ", " << y;
  }
}

TEST(GenericApplicationIcon, HasASmallAndALargeImage) {
  auto file = platform::icons::ReadIcoFile(platform::kGenericApplicationIco);
  ASSERT_TRUE(file);
  platform::LibPngCodec png;
  platform::FileIconSource source(png);
  for (int size : {16, 32}) {
    platform::IconHandle icon = source.LoadIconResource(platform::kGenericApplicationIco, size);
    ASSERT_TRUE(icon.IsIcon());
    EXPECT_EQ(icon.origin().width, size) << "its own image, not a scaled one";
    // Something is drawn, and something is left transparent.
    const auto& mask = icon.bitmap().mask;
    EXPECT_NE(std::count(mask.begin(), mask.end(), 0), 0);
    EXPECT_NE(std::count(mask.begin(), mask.end(), 1), 0);
  }
}

TEST(IconArt, TheCommittedArtIsTheGeneratorsOutput) {
  TempDir dir;
  ProcessResult run = RunProcess({PLUMAGE_MAKE_ICON_ART, dir.str()});
  ASSERT_EQ(run.exitCode, 0) << run.err;
  const std::filesystem::path source = PLUMAGE_SOURCE_DIR;
  for (const char* file :
       {"data/icons/folder_yellow.ico", "data/icons/folder_red.ico", "data/icons/folder_blue.ico",
        "data/icons/folder_green.ico", "data/icons/generic_application.ico",
        "src/picker/folder_backgrounds_data.cpp",
        "src/platform/portable/generic_application_icon_data.cpp"}) {
    EXPECT_EQ(ReadFile(dir / file), ReadFile(source / file))
        << file << " differs from what the generator makes";
  }
  // And what is compiled in is what lies in data/icons.
  const std::string yellow = ReadFile(source / "data/icons/folder_yellow.ico");
  EXPECT_EQ(yellow, std::string(kFolderBackgroundIcos[0].begin(), kFolderBackgroundIcos[0].end()));
}

}  // namespace
}  // namespace plumage::test
