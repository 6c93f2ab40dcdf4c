// plumagectl icons: the listing as the picker makes it, the exported
// drawings and the small shell icon.
#include <gtest/gtest.h>

#include <sstream>

#include "icon_test_util.h"
#include "platform/portable/file_icon_source.h"
#include "support/run_process.h"
#include "support/temp_dir.h"
#include "test_icon_set.h"

namespace plumage::test {
namespace {

class CliIcons : public ::testing::Test {
 protected:
  ProcessResult Icons(std::vector<std::string> args) {
    args.insert(args.begin(), {PLUMAGECTL_PATH, "icons"});
    // plumagectl keeps its settings and program folder here, not in the user's.
    return RunProcess(args, {"PLUMAGE_CONFIG=" + (dir / "config").string(),
                             "PLUMAGE_HOME=" + (dir / "home").string()});
  }
  static std::vector<std::string> Lines(const std::string& text) {
    std::vector<std::string> lines;
    std::istringstream in(text);
    for (std::string line; std::getline(in, line);) lines.push_back(line);
    return lines;
  }
  plumage::Surface24 ReadPng(const std::filesystem::path& path) {
    const std::string bytes = ReadFile(path);
    auto image = png.Decode({reinterpret_cast<const std::uint8_t*>(bytes.data()), bytes.size()});
    EXPECT_TRUE(image) << path;
    if (!image) return {};
    plumage::Surface24 s(image->width, image->height);
    for (int y = 0; y < image->height; ++y)
      for (int x = 0; x < image->width; ++x) {
        const std::uint8_t* p = image->rgba.data() + (y * image->width + x) * 4;
        EXPECT_EQ(p[3], 255);
        s.Set(x, y, {p[0], p[1], p[2]});
      }
    return s;
  }

  TempDir dir;
  platform::LibPngCodec png;
  platform::FileIconSource source{png};
};

TEST_F(CliIcons, ListsEveryIconAsThePickerLabelsItWithTheImageDrawn) {
  const std::string dll = PeDir() + "/icons40_64.dll";
  ProcessResult run = Icons({dll});
  ASSERT_EQ(run.exitCode, 0) << run.err;
  const auto lines = Lines(run.out);
  ASSERT_EQ(lines.size(), 40u);
  for (std::size_t n = 0; n < lines.size(); ++n)
    EXPECT_EQ(lines[n].rfind(" " + std::to_string(n) + "  icon ", 0), 0u) << lines[n];
  EXPECT_EQ(lines[0], " 0  icon APPLE, image 1 of 1: 32 x 32, 8 bpp");
  EXPECT_EQ(lines[2], " 2  icon CHERRY, image 1 of 1: 48 x 48, 32 bpp, drawn at 32 x 32");
  EXPECT_EQ(lines[21], " 21  icon #2, image 2 of 3: 32 x 32, 32 bpp PNG");
  EXPECT_EQ(lines[39], " 39  icon #4096, image 1 of 1: 32 x 32, 24 bpp");

  const std::string ico = (dir / "two.ico").string();
  WriteBytes(ico,
             WriteIco({EncodeTestImage(1, ImageDef{16, 4}), EncodeTestImage(1, ImageDef{32, 1})}));
  run = Icons({ico});
  ASSERT_EQ(run.exitCode, 0) << run.err;
  EXPECT_EQ(run.out, " 0  image 2 of 2: 32 x 32, 1 bpp\n");
}

TEST_F(CliIcons, ExportsEachDrawingAsThePickerMakesIt) {
  const std::string dll = PeDir() + "/icons40_32.dll";
  const std::filesystem::path out = dir / "out" / "drawings";
  ProcessResult run = Icons({dll, "--export", out.string()});
  ASSERT_EQ(run.exitCode, 0) << run.err;
  for (int n : {0, 5, 21, 39}) {
    plumage::Surface24 expected(32, 32);
    source.DrawIcon(expected, 0, 0, source.ExtractIcon(dll, n));
    EXPECT_TRUE(SameSurface(ReadPng(out / ("icons40_32_" + std::to_string(n) + ".png")), expected))
        << n;
  }
  EXPECT_FALSE(std::filesystem::exists(out / "icons40_32_40.png"));
}

TEST_F(CliIcons, ShowsAndExportsTheSmallShellIcon) {
  ProcessResult app = Icons({"--small", PeDir() + "/app.exe", "--export", dir.str()});
  ASSERT_EQ(app.exitCode, 0) << app.err;
  EXPECT_EQ(app.out, "small icon: icon MAINICON, image 1 of 2: 16 x 16, 8 bpp\n");
  plumage::Surface24 expected(16, 16);
  source.DrawSmallIcon(expected, 0, 0, source.SmallShellIcon(PeDir() + "/app.exe"));
  EXPECT_TRUE(SameSurface(ReadPng(dir / "app_small.png"), expected));

  ProcessResult generic = Icons({"--small", PeDir() + "/noicons.exe"});
  ASSERT_EQ(generic.exitCode, 0) << generic.err;
  EXPECT_EQ(generic.out, "small icon: the generic application icon\n");
}

TEST_F(CliIcons, AFileWithoutIconsIsAClearFailure) {
  const std::string text = (dir / "notes.txt").string();
  WriteBytes(text, Bytes{'h', 'i'});
  struct Case {
    std::vector<std::string> args;
    std::string message;
  };
  const Case cases[] = {
      {{PeDir() + "/noicons.exe"},
       PeDir() + "/noicons.exe: no icon at index 0 (the file holds 0 icons))"},
      {{text}, text + ": not an icon file, executable or library)"},
      {{(dir / "gone.ico").string()}, (dir / "gone.ico").string() + ": no such file)"},
      {{"--small", text}, text + ": not an icon file, executable or library)"},
  };
  for (const Case& c : cases) {
    ProcessResult run = Icons(c.args);
    EXPECT_EQ(run.exitCode, 1) << c.message;
    EXPECT_EQ(run.out, "");
    EXPECT_EQ(run.err, "plumagectl: No icon was found in this file! (" + c.message + "\n");
  }
}

}  // namespace
}  // namespace plumage::test
