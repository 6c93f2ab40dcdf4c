// plumagectl image and palette, run as a user would run them.
#include <gtest/gtest.h>

#include "formats/bmp_reader.h"
#include "image/dib_section.h"
#include "image/palette.h"
#include "platform/posix/png_codec_libpng.h"
#include "support/run_process.h"
#include "support/temp_dir.h"

namespace plumage::image {
namespace {

class PlumagectlImageTest : public ::testing::Test {
 protected:
  plumage::test::ProcessResult Run(std::vector<std::string> args) {
    args.insert(args.begin(), PLUMAGECTL_PATH);
    return plumage::test::RunProcess(args, {"PLUMAGE_CONFIG=" + (dir / "config").string(),
                                            "PLUMAGE_HOME=" + (dir / "home").string()});
  }
  std::string Path(const std::string& name) const { return (dir / name).string(); }
  // A noisy 24-bit BMP of the given size.
  std::string Picture(const std::string& name, std::int32_t w, std::int32_t h) {
    cDIBSection dib;
    EXPECT_TRUE(dib.Create(w, h));
    dib.RandomiseBits(false, 5);
    EXPECT_TRUE(dib.SavePicture(Path(name)));
    return Path(name);
  }
  plumage::Surface24 Read(const std::string& name) {
    std::string f = plumage::test::ReadFile(dir / name);
    auto r = ReadBmp(std::span(reinterpret_cast<const std::uint8_t*>(f.data()), f.size()));
    EXPECT_TRUE(r) << name << ": " << (r ? "" : r.error().message);
    return r ? *r : plumage::Surface24();
  }
  plumage::test::TempDir dir;
};

TEST_F(PlumagectlImageTest, SaveWritesTheEnginesFilesAtEachDepth) {
  const std::string in = Picture("in.bmp", 32, 32);
  auto r = Run({"image", "save", in, Path("out8.bmp"), "--depth", "8", "--method", "0"});
  ASSERT_EQ(r.exitCode, 0) << r.err;
  EXPECT_EQ(plumage::test::ReadFile(dir / "out8.bmp").size(), 2102u);
  EXPECT_EQ(r.err, "") << "no progress bar without a terminal";
  EXPECT_NE(r.out.find("32 x 32, 8 bits per pixel"), std::string::npos) << r.out;
  for (const char* depth : {"1", "4", "24"}) {
    auto d = Run({"image", "save", in, Path(std::string("out") + depth + ".bmp"), "--depth", depth,
                  "--method", "2"});
    ASSERT_EQ(d.exitCode, 0) << d.err;
    EXPECT_EQ(Read(std::string("out") + depth + ".bmp").width(), 32);
  }
  EXPECT_EQ(plumage::test::ReadFile(dir / "out24.bmp"), plumage::test::ReadFile(dir / "in.bmp"));
}

TEST_F(PlumagectlImageTest, SaveReadsPngAndComposesTransparencyOverWhite) {
  platform::RgbaImage png{2, 1, {10, 20, 30, 255, 0, 0, 0, 0}};
  auto encoded = platform::LibPngCodec().Encode(png);
  ASSERT_TRUE(encoded);
  plumage::test::WriteFile(dir / "in.png", std::string(encoded->begin(), encoded->end()));
  auto r = Run({"image", "save", Path("in.png"), Path("out.bmp"), "--depth", "24"});
  ASSERT_EQ(r.exitCode, 0) << r.err;
  plumage::Surface24 s = Read("out.bmp");
  EXPECT_EQ(s.At(0, 0), (plumage::Rgb{10, 20, 30}));
  EXPECT_EQ(s.At(1, 0), (plumage::Rgb{255, 255, 255}));
}

TEST_F(PlumagectlImageTest, SaveAppliesAPaletteFileBinaryOrJasc) {
  const std::string in = Picture("in.bmp", 20, 10);
  ASSERT_EQ(Run({"palette", "create", "mono", Path("mono.pal"), "--jasc"}).exitCode, 0);
  EXPECT_EQ(plumage::test::ReadFile(dir / "mono.pal"), "JASC\r\n0100\r\n2\r\n0 0 0\r\n255 255 255");
  auto r = Run({"image", "save", in, Path("m1.bmp"), "--depth", "8", "--method", "1", "--palette",
                Path("mono.pal"), "--jasc"});
  ASSERT_EQ(r.exitCode, 0) << r.err;
  plumage::Surface24 s = Read("m1.bmp");
  for (int y = 0; y < 10; ++y)
    for (int x = 0; x < 20; ++x) {
      plumage::Rgb c = s.At(x, y);
      EXPECT_TRUE(c == (plumage::Rgb{0, 0, 0}) || c == (plumage::Rgb{255, 255, 255}));
    }
  ASSERT_EQ(Run({"palette", "create", "16", Path("16.bin")}).exitCode, 0);
  EXPECT_EQ(plumage::test::ReadFile(dir / "16.bin").size(), 68u);
  r = Run({"image", "save", in, Path("p16.bmp"), "--depth", "8", "--palette", Path("16.bin")});
  ASSERT_EQ(r.exitCode, 0) << r.err;
}

TEST_F(PlumagectlImageTest, GrayBlackAndWhiteAndResample) {
  const std::string in = Picture("in.bmp", 32, 32);
  ASSERT_EQ(Run({"image", "gray", in, Path("g.bmp")}).exitCode, 0);
  plumage::Surface24 g = Read("g.bmp");
  EXPECT_EQ(g.At(3, 4).r, g.At(3, 4).b);
  ASSERT_EQ(Run({"image", "bw", in, Path("bw.bmp")}).exitCode, 0);
  plumage::Rgb c = Read("bw.bmp").At(5, 5);
  EXPECT_TRUE(c.r == 0 || c.r == 255);
  auto r = Run({"image", "resample", in, Path("r.bmp"), "--width", "64", "--height", "16"});
  ASSERT_EQ(r.exitCode, 0) << r.err;
  EXPECT_EQ(Read("r.bmp").width(), 64);
  EXPECT_EQ(Read("r.bmp").height(), 16);
}

TEST_F(PlumagectlImageTest, OptimalPaletteOfAPicture) {
  const std::string in = Picture("in.bmp", 40, 40);
  auto r = Run({"palette", "optimal", in, "--colours", "16", "--levels", "6", Path("opt.bin")});
  ASSERT_EQ(r.exitCode, 0) << r.err;
  cPalette pal;
  ASSERT_TRUE(pal.Load(Path("opt.bin")));
  EXPECT_GT(pal.Count(), 1);
  EXPECT_LE(pal.Count(), 16);
  // Too few colours for the eight octants: told once, with the count.
  r = Run({"palette", "optimal", in, "--colours", "2", Path("two.pal"), "--jasc"});
  ASSERT_EQ(r.exitCode, 0) << r.err;
  EXPECT_EQ(r.err.rfind("plumagectl: Error in reducing nodes (", 0), 0u) << r.err;
  EXPECT_EQ(std::count(r.err.begin(), r.err.end(), '\n'), 1);
}

TEST_F(PlumagectlImageTest, FailuresAreOneLineAndNonZero) {
  const std::string in = Picture("in.bmp", 4, 4);
  plumage::test::WriteFile(dir / "text.bmp", "hello");
  plumage::test::WriteFile(dir / "cut.bmp", plumage::test::ReadFile(dir / "in.bmp").substr(0, 60));
  struct Case {
    std::vector<std::string> args;
    std::string says;
  };
  const Case cases[] = {
      {{"image", "save", Path("absent.bmp"), Path("o.bmp"), "--depth", "8"}, "cannot read"},
      {{"image", "save", Path("text.bmp"), Path("o.bmp"), "--depth", "8"}, "not a BMP or PNG"},
      {{"image", "save", Path("cut.bmp"), Path("o.bmp"), "--depth", "8"}, "cut short"},
      {{"image", "save", in, Path("o.bmp"), "--depth", "8", "--method", "1"}, "--palette"},
      {{"image", "save", in, Path("o.bmp"), "--depth", "8", "--palette", Path("text.bmp")},
       "not a binary palette"},
      {{"image", "save", in, Path("no/dir/o.bmp"), "--depth", "8"}, "cannot create"},
      {{"image", "save", in, Path("o.bmp"), "--depth", "16"}, "--depth"},
      {{"palette", "create", "mono", Path("no/dir/p.pal"), "--jasc"}, "Path not found"},
  };
  for (const Case& c : cases) {
    auto r = Run(c.args);
    EXPECT_NE(r.exitCode, 0) << c.says;
    EXPECT_NE(r.err.find(c.says), std::string::npos) << r.err;
    EXPECT_EQ(std::count(r.err.begin(), r.err.end(), '\n'), 1) << r.err;
  }
  EXPECT_FALSE(std::filesystem::exists(dir / "o.bmp"));
}

}  // namespace
}  // namespace plumage::image
