// cPalette beyond its golden outputs: answers that follow changes of the
// list, binary and JASC files and their errors, and the octree's guards.
#include <gtest/gtest.h>

#include <cstring>
#include <functional>

#include "image/run_time_error.h"
#include "image_test_util.h"
#include "support/temp_dir.h"

namespace plumage::image {
namespace {

using plumage::test::ReadFile;
using Bytes = std::vector<std::uint8_t>;

// The JASC text of these colour lines.
std::string Jasc(const std::string& lines) {
  std::size_t count = lines.empty() ? 0 : 1;
  for (std::size_t at = 0; (at = lines.find("\r\n", at)) != std::string::npos; at += 2) ++count;
  return "JASC\r\n0100\r\n" + std::to_string(count) + (lines.empty() ? "" : "\r\n") + lines;
}

TEST(Palette, ClosestIndexFollowsEveryChangeOfTheList) {
  cPalette p, copy;
  p.Add(100, 0, 0);
  p.Add(0, 100, 0);
  EXPECT_EQ(p.ClosestIndex(50, 50, 0), 1) << "a tie goes to the lower index";
  p.Add(50, 50, 0);
  copy.CreateMono();
  EXPECT_EQ(p.ClosestIndex(50, 50, 0) * 10 + copy.ClosestIndex(50, 50, 0), 31);
  copy = p;
  EXPECT_EQ(copy.ClosestIndex(50, 50, 0), 3);
  ASSERT_TRUE(p.LoadFromJASCText("255 255 255"));
  EXPECT_EQ(p.ClosestIndex(50, 50, 0) * 10 + p.ClosestIndex(0, 0, 0), 10) << "765 is not near";
  p.Clear();
  EXPECT_EQ(p.ClosestIndex(255, 255, 255), 0);
  EXPECT_EQ(copy.Red(0) + copy.Red(4) + copy.Red(3), 50) << "outside the list reads as 0";
}

// A record is a count from 1 to 4097 and its colours, their fourth bytes
// kept; a refused one leaves the palette and the position as they were.
TEST(Palette, BinaryRecordsAndFiles) {
  auto record = [](std::int32_t count, std::size_t entries) {
    Bytes b(4 + 4 * entries, 7);
    std::memcpy(b.data(), &count, 4);  // little-endian, as the program's machines are
    return b;
  };
  cPalette p(test::OnFiles()), back(test::OnFiles());
  std::int32_t at = 0;
  ASSERT_TRUE(p.LoadFromBytes(record(4097, 4097), at));
  EXPECT_EQ(p.Count() * 100000 + at, 4097 * 100000 + 4 + 4 * 4097);
  p.Create16Colour();
  const auto before = p.Entries();
  const struct {
    Bytes bytes;
    std::int32_t at;
  } refused[] = {{record(4098, 4098), 0},   {record(0, 1), 0}, {record(-1, 1), 0},
                 {record(INT32_MIN, 1), 0}, {{1, 0, 0}, 0},    {record(1, 1), 1000},
                 {record(1, 1), 6}};
  for (const auto& r : refused) {
    at = r.at;
    EXPECT_FALSE(p.LoadFromBytes(r.bytes, at)) << r.bytes.size() << " at " << r.at;
    EXPECT_EQ(p.Entries(), before);
    EXPECT_EQ(at, r.at);
  }
  // Too few entries behind the count: the new count, and what was there.
  at = 0;
  EXPECT_FALSE(p.LoadFromBytes(Bytes{3, 0, 0, 0, 1, 2, 3, 4, 5, 6}, at));
  EXPECT_EQ(p.Entries(), (std::vector<PaletteEntry>{{1, 2, 3, 4}, {5, 6, 0, 0}, {}}));
  EXPECT_EQ(at, 0);
  // Files: the record whole, read back.
  plumage::test::TempDir dir;
  const std::string path = (dir / "pal.bin").string(),
                    bytes("\x02\0\0\0\x01\x02\x03\x7F\xFF\xFE\xFD\x80", 12);
  ASSERT_TRUE(p.LoadFromBytes(Bytes(bytes.begin(), bytes.end()), at));
  ASSERT_TRUE(p.Save(path));
  EXPECT_EQ(ReadFile(path), bytes);
  ASSERT_TRUE(back.Load(path));
  EXPECT_EQ(back.Entries(), p.Entries());
  EXPECT_FALSE(back.Load((dir / "absent.bin").string()));
  test::Device device(1);
  EXPECT_FALSE(cPalette(ImageServices{.files = &device}).Save(path));
}

TEST(Palette, JascTextIsReadAsItsLinesOfThreeItemsAndErrorsKeepWhatCameBefore) {
  test::FakeSystem system;
  ImageServices services{.system = &system};
  cPalette p(services);
  // Only lines of exactly three items count: not the header's name, the
  // count, two spaces (four items), line feeds alone (one line). "7 8 " is
  // three items, the last empty.
  const struct {
    const char* text;
    std::int32_t error;
    const char* kept;
  } texts[] = {{"JASC-PAL\r\n0100\r\n99\r\n1 2 3\r\n4 5 6", 0, "1 2 3\r\n4 5 6"},
               {"JASC\r\n0100\r\n2\r\n1 2  3\r\n7 8 9\r\n1 2 3 4", 0, "7 8 9"},
               {"JASC\n0100\n2\n1 2 3\n4 5 6", 0, ""},
               {"", 0, ""},
               {"1 2 3\r\n", 0, "1 2 3"},
               {"1 2 3\r\n7 8 ", 13, "1 2 3\r\n7 8 0"},
               {"1 2 3\r\n7 256 1", 6, "1 2 3\r\n7 0 0"},
               {"1 2 3\r\n7 2x6 1", 13, "1 2 3\r\n7 0 0"},
               {"x 2 3", 13, "0 0 0"},
               {"1 2 -3", 13, "1 2 0"},
               {"1 2 3\r\n4 5 6\r", 13, "1 2 3\r\n4 5 0"}};
  for (const auto& t : texts) {
    try {
      EXPECT_TRUE(p.LoadFromJASCText(t.text));
      EXPECT_EQ(t.error, 0) << "no error for " << t.text;
    } catch (const RunTimeError& e) {
      EXPECT_EQ(e.Number(), t.error) << t.text;
      EXPECT_EQ(e.Source(), "plumage-test.cPalette");
      EXPECT_EQ(e.Description(), errors::Text(t.error));
    }
    EXPECT_EQ(p.JASCText(), Jasc(t.kept)) << t.text;
  }
}

TEST(Palette, JascFilesAreWrittenWholeAndTheirErrorsCarryTheirNumbers) {
  cPalette p(test::OnFiles()), back(test::OnFiles());
  p.CreateMono();
  plumage::test::TempDir dir;
  const std::string path = (dir / "p.pal").string();
  ASSERT_TRUE(p.SaveToJASCFile(path));
  EXPECT_EQ(ReadFile(path), "JASC\r\n0100\r\n2\r\n0 0 0\r\n255 255 255");
  ASSERT_TRUE(back.LoadFromJASCFile(path));
  EXPECT_EQ(back.Entries(), p.Entries());
  test::Device device(1);
  const std::pair<std::function<void()>, std::int32_t> files[] = {
      {[&] { p.LoadFromJASCFile((dir / "absent.pal").string()); }, 53},
      {[&] { p.SaveToJASCFile((dir / "no" / "folder.pal").string()); }, 76},
      {[&] { p.LoadFromJASCFile(dir.str()); }, 75},
      {[&] { cPalette(ImageServices{.files = &device}).SaveToJASCFile("x.pal"); }, 57}};
  for (const auto& [call, number] : files) {
    try {
      call();
      ADD_FAILURE() << "no error " << number;
    } catch (const RunTimeError& e) {
      EXPECT_EQ(std::pair(e.Number(), e.Description()), std::pair(number, std::string(errors::Text(number))));
    }
  }
  EXPECT_EQ(p.Count(), 0) << "a load empties the palette first";
  EXPECT_EQ(device.commits, 0);
}

TEST(Octree, LeafSumsDoNotOverflowOnLargeBrightPictures) {
  // 9 million white pixels in one leaf: sums past 2^31.
  cDIBSection dib;
  ASSERT_TRUE(dib.Create(3000, 3000));
  std::memset(dib.DIBSectionBitsPtr(), 255, dib.Header().biSizeImage);
  cPalette pal;
  ASSERT_TRUE(pal.CreateOptimal(dib, 236, 6));
  EXPECT_EQ(pal.Entries(), (std::vector<PaletteEntry>{{255, 255, 255, 0}}));
}

TEST(Octree, ASecondTreeOnTheSameObjectIsAFreshTreeAndRefusalsChangeNothing) {
  cDIBSection a, b, none;
  ASSERT_TRUE(a.Create(40, 30) && b.Create(23, 17));
  a.RandomiseBits(false, 1);
  b.RandomiseBits(false, 2);
  cPalette reused, fresh;
  ASSERT_TRUE(reused.CreateOptimal(a, 50, 6));
  ASSERT_TRUE(reused.CreateOptimal(b, 50, 6));
  ASSERT_TRUE(fresh.CreateOptimal(b, 50, 6));
  EXPECT_EQ(reused.Entries(), fresh.Entries());
  EXPECT_EQ(reused.Octree().leafCount, reused.Count());
  EXPECT_FALSE(reused.CreateOptimal(none, 236, 6));
  EXPECT_FALSE(reused.CreateOptimal(b, 236, 0));
  EXPECT_FALSE(reused.CreateOptimal(b, 236, 256));
  EXPECT_EQ(reused.Entries(), fresh.Entries());
  reused.EraseNodes();
  EXPECT_EQ(reused.Octree().lastSlot, 0);
  EXPECT_EQ(reused.Entries(), fresh.Entries()) << "the colours stay";
}

}  // namespace
}  // namespace plumage::image
