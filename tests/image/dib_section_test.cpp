// cDIBSection, cDIBSectionSave and cColourReduceDIB beyond their golden
// outputs: handles, refusals, file errors, and the times the events report.
#include <gtest/gtest.h>

#include <filesystem>

#include "image/colour_reduce.h"
#include "image/dib_section_save.h"
#include "image/run_time_error.h"
#include "image_test_util.h"
#include "support/temp_dir.h"

namespace plumage::image {
namespace {

namespace fs = std::filesystem;
using plumage::test::ReadFile;

TEST(DibSection, HandlesLiveAsLongAsThePictureAndSizesItCannotHoldAreRefused) {
  const std::size_t before = surfaces::LiveObjectCount();
  {
    cDIBSection dib;
    ASSERT_TRUE(dib.Create(32, 32));
    dib.ClearUp();
    EXPECT_EQ(dib.hdc() | dib.hDib(), 0);
    EXPECT_EQ(surfaces::LiveObjectCount(), before);
    ASSERT_TRUE(dib.Create(5, 7));
    ASSERT_TRUE(dib.Create(9, 2));
    cDIBSection moved(std::move(dib)), assigned;
    assigned = std::move(moved);
    EXPECT_EQ(moved.hdc(), 0);  // NOLINT: the moved-from state is defined
    EXPECT_EQ(surfaces::LiveObjectCount(), before + 2) << "one context, one section";
  }
  for (auto [w, h] : {std::pair{0, 5}, {5, 0}, {-3, 4}, {4, -3}, {40000, 2}, {32767, 32767}}) {
    cDIBSection dib;
    EXPECT_FALSE(dib.Create(w, h)) << w << "x" << h;
    EXPECT_EQ(dib.DIBSectionBitsPtr(), nullptr);
    EXPECT_FALSE(dib.Resample(4, 4));
  }
  EXPECT_EQ(surfaces::LiveObjectCount(), before);
  // Top-left is in the last row in memory, blue first.
  plumage::Surface24 surface(3, 2, {1, 2, 3});
  surface.Set(0, 0, {200, 100, 50});
  cDIBSection dib;
  ASSERT_TRUE(dib.CreateFromPicture(surface));
  const std::uint8_t* top = dib.DIBSectionBitsPtr() + dib.BytesPerScanLine();
  EXPECT_EQ(std::vector<int>(top, top + 4), (std::vector<int>{50, 100, 200, 3}));
  EXPECT_EQ(dib.ToPicture(), surface);
  EXPECT_FALSE(cDIBSection().CreateFromPicture(plumage::Surface24()));
}

// Refusals write nothing: not the file, not a sibling, not the picture.
// (What each depth and method writes is a golden line.)
TEST(DibSection, RefusalsWriteNothing) {
  plumage::test::TempDir dir;
  const std::string path = (dir / "out.bmp").string();
  plumage::test::WriteFile(path, "old");
  cDIBSection dib, empty;
  ASSERT_TRUE(dib.Create(4, 4));
  dib.RandomiseBits(false, 4);
  const plumage::Surface24 before = dib.ToPicture();
  std::unique_ptr<cPalette> none;
  for (auto [depth, method] : {std::pair{2, 1}, {4, 2}, {-1, 0}})
    EXPECT_FALSE(cDIBSectionSave().Save(path, dib, none, depth, method)) << depth << " " << method;
  for (int depth : {2, 3}) EXPECT_FALSE(cDIBSectionSave().Save(path, empty, none, depth, 0));
  EXPECT_EQ(ReadFile(path), "old");
  EXPECT_EQ(dib.ToPicture(), before);
  EXPECT_FALSE(none);
  EXPECT_EQ(std::distance(fs::directory_iterator(dir.path()), {}), 1) << "no sibling left behind";
}

// A file that cannot be made is run-time error 17 with the system's text; a
// failed write stops there and commits nothing. (Every depth writes through
// the one path: its header, its colour table, its rows.)
TEST(DibSection, FilesThatCannotBeWritten) {
  plumage::test::TempDir dir;
  test::FakeSystem system;
  ImageServices services = test::OnFiles({.system = &system});
  cDIBSection dib(services);
  ASSERT_TRUE(dib.Create(4, 4));
  std::unique_ptr<cPalette> pal;
  try {
    cDIBSectionSave(services).Save((dir / "missing" / "pic.bmp").string(), dib, pal, 2, 0);
    ADD_FAILURE() << "no error";
  } catch (const RunTimeError& e) {
    EXPECT_EQ(std::tuple(e.Number(), e.Source(), e.Description()),
              std::tuple(17, "plumage-test.cDIBSection256", std::generic_category().message(ENOENT)));
  }
  EXPECT_FALSE(fs::exists(dir / "missing"));
  for (int failAt : {1, 2, 3, 0}) {
    test::Device device(failAt);
    services.files = &device;
    EXPECT_FALSE(cDIBSectionSave(services).Save("x", dib, pal, 0, 0)) << failAt;
    EXPECT_EQ(device.writes, failAt == 0 ? 3 : failAt);
    EXPECT_EQ(device.commits, failAt == 0 ? 1 : 0);
  }
}

TEST(ColourReduce, EveryObserverHearsTheEventsAndCompleteGivesTheTimeTaken) {
  test::FakeSystem clock;
  clock.step = 5;
  ImageServices services{.system = &clock};
  cDIBSection from, to, none;
  ASSERT_TRUE(from.Create(3, 2) && to.Create(3, 2));
  cColourReduceDIB reducer(services);
  test::EventRecorder first, second;
  reducer.Events.Subscribe(&first);
  reducer.Events.Subscribe(&second);
  reducer.Events.Subscribe(&first);
  reducer.GrayScale(from);
  EXPECT_EQ(first.log.size(), 5u) << "heard once";
  EXPECT_EQ(second.log, first.log);
  reducer.Events.Unsubscribe(&second);
  // BlackAndWhite's time counts from before its grey scale.
  reducer.BlackAndWhite(from, to);
  cPalette pal(services);
  pal.CreateMono();
  reducer.ApplyPalette(from, to, pal, true);
  pal.Events.Subscribe(&first);
  ASSERT_TRUE(pal.CreateOptimal(from, 4, 2));
  EXPECT_EQ(first.times, (std::vector<std::int32_t>{5, 5, 15, 5, 5}));
  EXPECT_EQ(second.times.size(), 1u);
  // Without pixels to read, the target's width is announced.
  first.log.clear();
  reducer.ApplyPalette(none, to, pal, false);
  reducer.BlackAndWhite(none, to);
  EXPECT_EQ(first.log, (std::vector<std::string>{"I6", "C", "I-3", "C", "I6", "C"}));
}

// On the platform's files the engine's writes land as in a file: a seek
// back overwrites, a seek past the end leaves zeros.
TEST(FileSystemDevice, ASeekBackOverwritesAndOnePastTheEndLeavesZeros) {
  plumage::test::TempDir dir;
  std::error_code error;
  auto out = CreateOutputFile(test::OnFiles(), (dir / "x.bin").string(), error);
  ASSERT_TRUE(out) << error.message();
  ASSERT_TRUE(out->Write("abcdef", 6) && out->Seek(2) && out->Write("XY", 2));
  ASSERT_TRUE(out->Seek(4) && out->Write("ZWVU", 4) && out->Seek(10) && out->Commit());
  EXPECT_EQ(ReadFile(dir / "x.bin"), std::string("abXYZWVU\0\0", 10));
}

}  // namespace
}  // namespace plumage::image
