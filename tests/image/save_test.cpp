// cDIBSectionSave: file layouts at every depth, colour tables, what the
// caller's picture and palette hold afterwards, and the failures.
#include <gtest/gtest.h>

#include <filesystem>

#include "formats/bmp_reader.h"
#include "image/dib_section.h"
#include "image/dib_section_save.h"
#include "image/run_time_error.h"
#include "image_test_util.h"
#include "support/temp_dir.h"

namespace plumage::image {
namespace {

using test::FromRef;
using test::ToRef;

std::uint32_t U32(const std::string& f, std::size_t at) {
  std::uint32_t v = 0;
  for (int i = 3; i >= 0; --i)
    v = (v << 8) | static_cast<std::uint8_t>(f[at + static_cast<std::size_t>(i)]);
  return v;
}
std::array<int, 3> TableEntry(const std::string& f, int i) {  // red, green, blue
  std::size_t at = 54 + 4 * static_cast<std::size_t>(i);
  return {static_cast<std::uint8_t>(f[at + 2]), static_cast<std::uint8_t>(f[at + 1]),
          static_cast<std::uint8_t>(f[at])};
}

class SaveTest : public ::testing::Test {
 protected:
  std::string Path(const std::string& name) { return (dir_ / name).string(); }
  std::string Saved(cDIBSection& dib, std::unique_ptr<cPalette>& pal, int depth, int method,
                    const std::string& name = "out.bmp") {
    EXPECT_TRUE(cDIBSectionSave().Save(Path(name), dib, pal, depth, method));
    return plumage::test::ReadFile(dir_ / name);
  }
  plumage::test::TempDir dir_;
};

TEST_F(SaveTest, HalfTone8BitFileOfA32By32Picture) {
  cDIBSection dib;
  ASSERT_TRUE(dib.Create(32, 32));
  dib.RandomiseBits(false, 9);
  std::unique_ptr<cPalette> pal;
  std::string f = Saved(dib, pal, 2, 0);
  ASSERT_EQ(f.size(), 2102u);
  EXPECT_EQ(f.substr(0, 2), "BM");
  EXPECT_EQ(U32(f, 2), 2102u);
  EXPECT_EQ(U32(f, 6), 0u);
  EXPECT_EQ(U32(f, 10), 1078u);
  EXPECT_EQ(U32(f, 14), 40u);
  EXPECT_EQ(U32(f, 18), 32u);
  EXPECT_EQ(U32(f, 22), 32u);
  EXPECT_EQ(U32(f, 26), 1u | (8u << 16));  // planes 1, 8 bits
  EXPECT_EQ(U32(f, 30), 0u);
  EXPECT_EQ(U32(f, 34), 1024u);
  for (std::size_t at : {38, 42, 46, 50}) EXPECT_EQ(U32(f, at), 0u) << at;
  const int levels[5] = {0, 64, 128, 192, 255};
  for (int b = 0; b < 5; ++b)
    for (int g = 0; g < 5; ++g)
      for (int r = 0; r < 5; ++r)
        EXPECT_EQ(TableEntry(f, r + 5 * g + 25 * b),
                  (std::array<int, 3>{levels[r], levels[g], levels[b]}));
  EXPECT_EQ(TableEntry(f, 4), (std::array<int, 3>{255, 0, 0}));
  EXPECT_EQ(TableEntry(f, 124), (std::array<int, 3>{255, 255, 255}));
  for (int i = 125; i < 256; ++i) EXPECT_EQ(TableEntry(f, i), (std::array<int, 3>{0, 0, 0})) << i;
  for (int i = 0; i < 256; ++i) EXPECT_EQ(f[57 + 4 * static_cast<std::size_t>(i)], 0);
  ASSERT_TRUE(pal) << "the caller gets the half-tone palette";
  EXPECT_EQ(pal->Count(), 256);
  EXPECT_EQ(pal->Red(125), 255);

  // The picture now holds only table colours, and each byte is the index of
  // its pixel's colour.
  ref::Picture after = ToRef(dib);
  for (int y = 0; y < 32; ++y)
    for (int c = 0; c < 32; ++c) {
      int index = static_cast<std::uint8_t>(
          f[1078 + 32 * static_cast<std::size_t>(y) + static_cast<std::size_t>(c)]);
      ASSERT_LT(index, 125) << "black is always the first black";
      EXPECT_EQ(
          TableEntry(f, index),
          (std::array<int, 3>{after.At(3 * c + 2, y), after.At(3 * c + 1, y), after.At(3 * c, y)}));
    }
}

TEST_F(SaveTest, TwentyFourBitsIs3126BytesForA32By32PictureWhateverTheMethod) {
  cDIBSection dib;
  ASSERT_TRUE(dib.Create(32, 32));
  dib.RandomiseBits(true, 2);
  ref::Picture before = ToRef(dib);
  for (int method : {0, 1, 2, 7}) {
    std::unique_ptr<cPalette> none;
    EXPECT_EQ(Saved(dib, none, 3, method).size(), 3126u);
    EXPECT_FALSE(none);
    auto given = std::make_unique<cPalette>();
    given->CreateMono();
    cPalette* same = given.get();
    Saved(dib, given, 3, method);
    EXPECT_EQ(given.get(), same);
    EXPECT_EQ(given->Count(), 2);
  }
  EXPECT_EQ(ToRef(dib), before);
}

TEST_F(SaveTest, StridesRoundEveryRowUpToFourBytes) {
  // Width 33: 36 bytes at 8 bits, 20 at 4, 8 at 1.
  const std::pair<int, std::uint32_t> cases[] = {{2, 36}, {1, 20}, {0, 8}};
  for (auto [depth, stride] : cases) {
    cDIBSection dib;
    ASSERT_TRUE(dib.Create(33, 3));
    std::unique_ptr<cPalette> pal;
    std::string f = Saved(dib, pal, depth, 0);
    const std::uint32_t colours = depth == 2 ? 256 : depth == 1 ? 16 : 2;
    EXPECT_EQ(U32(f, 34), stride * 3) << depth;
    EXPECT_EQ(U32(f, 10), 54 + 4 * colours);
    EXPECT_EQ(f.size(), 54 + 4 * colours + stride * 3);
  }
}

TEST_F(SaveTest, AShortPaletteFillsTheTableFromTheStartAndLeavesTheRestBlack) {
  cDIBSection dib;
  ASSERT_TRUE(dib.Create(4, 4));
  auto pal = std::make_unique<cPalette>();
  for (int i = 0; i < 236; ++i) pal->Add(static_cast<std::uint8_t>(i + 1), 200, 100);
  std::string f = Saved(dib, pal, 2, 0);
  EXPECT_EQ(TableEntry(f, 0), (std::array<int, 3>{1, 200, 100}));
  EXPECT_EQ(TableEntry(f, 235), (std::array<int, 3>{236, 200, 100}));
  for (int i = 236; i < 256; ++i) EXPECT_EQ(TableEntry(f, i), (std::array<int, 3>{0, 0, 0}));
  EXPECT_EQ(U32(f, 46), 0u) << "biClrUsed stays 0";
  // The black picture maps to the first black entry: index 236.
  EXPECT_EQ(static_cast<std::uint8_t>(f[1078]), 236);
}

TEST_F(SaveTest, OneAndFourBitFilesUseTheirFixedTables) {
  ref::Picture p(9, 1);
  for (int c : {0, 3, 8}) p.At(3 * c, 0) = p.At(3 * c + 1, 0) = p.At(3 * c + 2, 0) = 255;
  p.At(3 * 1 + 2, 0) = 255;  // red
  cDIBSection dib;
  FromRef(p, dib);
  std::unique_ptr<cPalette> pal;
  std::string mono = Saved(dib, pal, 0, 0, "mono.bmp");
  EXPECT_EQ(TableEntry(mono, 0), (std::array<int, 3>{0, 0, 0}));
  EXPECT_EQ(TableEntry(mono, 1), (std::array<int, 3>{255, 255, 255}));
  EXPECT_EQ(static_cast<std::uint8_t>(mono[62]),
            0x90);  // pixels 0 and 3 white; red is nearer black
  EXPECT_EQ(static_cast<std::uint8_t>(mono[63]), 0x80);
  FromRef(p, dib);
  std::string sixteen = Saved(dib, pal, 1, 0, "sixteen.bmp");
  EXPECT_EQ(TableEntry(sixteen, 9), (std::array<int, 3>{255, 0, 0}));
  EXPECT_EQ(static_cast<std::uint8_t>(sixteen[118]), 0xF9);  // white, red
  EXPECT_FALSE(pal) << "method 0 at depth 0 and 1 leaves the palette alone";
}

TEST_F(SaveTest, AutomaticMethodsReplaceThePaletteAndReduceThePicture) {
  std::mt19937 rng(3);
  ref::Picture p = test::RandomPicture(rng, 40, 30, test::Kind::Gradient);
  cDIBSection dib;
  FromRef(p, dib);
  test::EventRecorder events;
  auto old = std::make_unique<cPalette>();
  old->CreateMono();
  cDIBSectionSave saver;
  saver.Events.Subscribe(&events);
  ASSERT_TRUE(saver.Save(Path("auto8.bmp"), dib, old, 2, 2));
  ASSERT_TRUE(old);
  EXPECT_GT(old->Count(), 2);
  EXPECT_LE(old->Count(), 236);
  EXPECT_EQ(events.log.front(), "I" + std::to_string(29 + 236)) << "the octree's events";
  // Every pixel of the picture is now a colour of the palette.
  ref::Picture after = ToRef(dib);
  for (int y = 0; y < 30; ++y)
    for (int c = 0; c < 40; ++c) {
      std::int32_t i =
          old->ClosestIndex(after.At(3 * c + 2, y), after.At(3 * c + 1, y), after.At(3 * c, y));
      EXPECT_EQ(old->Red(i), after.At(3 * c + 2, y));
    }
  FromRef(p, dib);
  ASSERT_TRUE(saver.Save(Path("auto4.bmp"), dib, old, 1, 2));
  EXPECT_EQ(old->Count(), 16);
  FromRef(p, dib);
  ASSERT_TRUE(saver.Save(Path("auto1.bmp"), dib, old, 0, 2));
  EXPECT_EQ(old->Count(), 16) << "black and white needs no palette";
  after = ToRef(dib);
  for (std::uint8_t v : after.bits) EXPECT_TRUE(v == 0 || v == 255);
}

TEST_F(SaveTest, RefusalsWriteNothing) {
  cDIBSection dib;
  ASSERT_TRUE(dib.Create(4, 4));
  dib.RandomiseBits(false, 4);
  ref::Picture before = ToRef(dib);
  std::unique_ptr<cPalette> none;
  cDIBSectionSave saver;
  EXPECT_FALSE(saver.Save(Path("m1.bmp"), dib, none, 2, 1)) << "method 1 needs a palette";
  EXPECT_FALSE(saver.Save(Path("d4.bmp"), dib, none, 4, 2)) << "no depth 4";
  EXPECT_FALSE(saver.Save(Path("dm.bmp"), dib, none, -1, 0));
  cDIBSection empty;
  EXPECT_FALSE(saver.Save(Path("e.bmp"), empty, none, 2, 0));
  EXPECT_EQ(std::distance(std::filesystem::directory_iterator(dir_.path()), {}), 0);
  EXPECT_EQ(ToRef(dib), before);
  EXPECT_FALSE(none);
}

TEST_F(SaveTest, AFileThatCannotBeCreatedIsRunTimeError17) {
  test::FakeSystem system;
  ImageServices services;
  services.system = &system;
  cDIBSection dib(services);
  ASSERT_TRUE(dib.Create(4, 4));
  std::unique_ptr<cPalette> pal;
  for (int depth : {0, 1, 2, 3}) {
    try {
      cDIBSectionSave(services).Save(Path("no/such/folder.bmp"), dib, pal, depth, 0);
      ADD_FAILURE() << depth;
    } catch (const RunTimeError& e) {
      EXPECT_EQ(e.Number(), 17);
      EXPECT_EQ(e.Source(), "plumage-test.cDIBSection256");
      EXPECT_EQ(e.Description(), std::generic_category().message(ENOENT));
    }
  }
}

TEST_F(SaveTest, AFailedWriteStopsAndLeavesTheOldFile) {
  for (int failAt : {1, 2, 3, 0}) {
    test::FailingDevice device(failAt);
    ImageServices services;
    services.files = &device;
    cDIBSection dib;
    ASSERT_TRUE(dib.Create(4, 4));
    std::unique_ptr<cPalette> pal;
    EXPECT_FALSE(cDIBSectionSave(services).Save("x.bmp", dib, pal, 2, 0));
    EXPECT_EQ(device.writes, failAt == 0 ? 3 : failAt);
    EXPECT_EQ(device.commits, failAt == 0 ? 1 : 0);
  }
  const auto path = dir_ / "old.bmp";
  plumage::test::WriteFile(path, "old picture");
  cDIBSection dib;
  ASSERT_TRUE(dib.Create(4, 4));
  std::unique_ptr<cPalette> pal;
  EXPECT_FALSE(cDIBSectionSave().Save(path.string(), dib, pal, 2, 1));
  EXPECT_EQ(plumage::test::ReadFile(path), "old picture");
  EXPECT_TRUE(cDIBSectionSave().Save(path.string(), dib, pal, 2, 0));
  EXPECT_EQ(plumage::test::ReadFile(path).size(), 1078u + 16);
}

TEST_F(SaveTest, EveryDepthReadsBackAsThePictureItLeaves) {
  // The one round trip of the writer: save, read, compare with the picture
  // Save left behind (its colours are the file's).
  std::mt19937 rng(8);
  for (int depth : {0, 1, 2, 3})
    for (std::int32_t width : {1, 2, 7, 9, 33}) {
      ref::Picture p = test::RandomPicture(rng, width, 5, test::Kind::Noise);
      cDIBSection dib;
      FromRef(p, dib);
      std::unique_ptr<cPalette> pal;
      std::string f = Saved(dib, pal, depth, 0);
      auto back = ReadBmp(std::span(reinterpret_cast<const std::uint8_t*>(f.data()), f.size()));
      ASSERT_TRUE(back) << back.error().message;
      EXPECT_EQ(*back, dib.ToPicture()) << "depth " << depth << " width " << width;
    }
}

}  // namespace
}  // namespace plumage::image
