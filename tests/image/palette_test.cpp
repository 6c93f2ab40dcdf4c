// cPalette: built-in palettes, the nearest-colour rule, binary and JASC files.
#include <gtest/gtest.h>

#include <filesystem>

#include "image/palette.h"
#include "image/run_time_error.h"
#include "image_test_util.h"
#include "support/temp_dir.h"

namespace plumage::image {
namespace {

using Rgb = std::array<int, 3>;
Rgb Entry(const cPalette& p, std::int32_t i) {
  return {p.Red(i), p.Green(i), p.Blue(i)};
}

std::vector<std::uint8_t> Bytes(const std::string& s) {
  return {s.begin(), s.end()};
}

TEST(Palette, BuiltInPalettesHoldTheirColoursInOrder) {
  cPalette p;
  p.CreateMono();
  ASSERT_EQ(p.Count(), 2);
  EXPECT_EQ(Entry(p, 1), (Rgb{0, 0, 0}));
  EXPECT_EQ(Entry(p, 2), (Rgb{255, 255, 255}));

  p.Create16Colour();
  const Rgb sixteen[16] = {{0, 0, 0},       {128, 0, 0},   {0, 128, 0},   {128, 128, 0},
                           {0, 0, 128},     {128, 0, 128}, {0, 128, 128}, {192, 192, 192},
                           {128, 128, 128}, {255, 0, 0},   {0, 255, 0},   {255, 255, 0},
                           {0, 0, 255},     {255, 0, 255}, {0, 255, 255}, {255, 255, 255}};
  ASSERT_EQ(p.Count(), 16);
  for (int i = 0; i < 16; ++i) EXPECT_EQ(Entry(p, i + 1), sixteen[i]) << i + 1;

  p.CreateHalfTone();
  ASSERT_EQ(p.Count(), 256);
  EXPECT_EQ(Entry(p, 1), (Rgb{0, 0, 0}));
  EXPECT_EQ(Entry(p, 2), (Rgb{64, 0, 0}));
  EXPECT_EQ(Entry(p, 6), (Rgb{0, 64, 0}));
  EXPECT_EQ(Entry(p, 26), (Rgb{0, 0, 64}));
  EXPECT_EQ(Entry(p, 125), (Rgb{255, 255, 255}));
  for (int i = 126; i <= 256; ++i) EXPECT_EQ(Entry(p, i), (Rgb{0, 0, 0})) << i;

  p.CreateWebSafe();
  ASSERT_EQ(p.Count(), 256);
  for (int i = 1; i <= 8; ++i) EXPECT_EQ(Entry(p, i), sixteen[i - 1]) << i;
  EXPECT_EQ(Entry(p, 9), (Rgb{51, 0, 0}));
  EXPECT_EQ(Entry(p, 216), (Rgb{204, 255, 255}));
  EXPECT_EQ(Entry(p, 217), (Rgb{8, 8, 8}));
  EXPECT_EQ(Entry(p, 247), (Rgb{248, 248, 248}));
  for (int i = 248; i <= 255; ++i) EXPECT_EQ(Entry(p, i), sixteen[i - 248 + 8]) << i;
  EXPECT_EQ(Entry(p, 256), (Rgb{0, 0, 0}));
  // No corner of the cube among the cube's entries.
  for (int i = 9; i <= 216; ++i) {
    Rgb c = Entry(p, i);
    int extremes = 0;
    for (int v : c) extremes += v == 0 || v == 255;
    EXPECT_LT(extremes, 3) << i;
  }
}

TEST(Palette, ClosestIndexPrefersTheFirstExactMatchThenTheLowestNearest) {
  cPalette p;
  EXPECT_EQ(p.ClosestIndex(1, 2, 3), 0) << "empty";
  p.Add(255, 255, 255);
  p.Add(255, 255, 255);
  EXPECT_EQ(p.ClosestIndex(0, 0, 0), 0) << "765 away is not near";
  EXPECT_EQ(p.ClosestIndex(255, 255, 255), 1);
  p.Add(10, 10, 10);
  p.Add(10, 10, 10);
  EXPECT_EQ(p.ClosestIndex(10, 10, 10), 3) << "the first exact match";
  EXPECT_EQ(p.ClosestIndex(0, 0, 0), 3);
  // Two entries at the same distance: the lower index.
  cPalette q;
  q.Add(100, 0, 0);
  q.Add(0, 100, 0);
  EXPECT_EQ(q.ClosestIndex(50, 50, 0), 1);
  EXPECT_EQ(q.ClosestIndex(49, 51, 0), 2);
  // Values beyond a byte follow the same rule.
  EXPECT_EQ(q.ClosestIndex(300, -5, 0), 1);
  EXPECT_EQ(q.ClosestIndex(-10, 120, 0), 2);
  EXPECT_EQ(q.ClosestIndex(-300, 900, 0), 0) << "1100 away";
  // The answer follows changes of the list.
  q.Add(50, 50, 0);
  EXPECT_EQ(q.ClosestIndex(50, 50, 0), 3);
  q.Clear();
  EXPECT_EQ(q.ClosestIndex(50, 50, 0), 0);
  EXPECT_EQ(q.Red(1), 0) << "outside the list reads as 0";
}

TEST(Palette, BinaryFilesRoundTripWithTheFourthByteAndAdvanceThePosition) {
  plumage::test::TempDir dir;
  const auto path = (dir / "pal.bin").string();
  cPalette p;
  p.Create16Colour();
  ASSERT_TRUE(p.Save(path));
  std::string f = plumage::test::ReadFile(path);
  ASSERT_EQ(f.size(), 68u);
  EXPECT_EQ(f.substr(0, 4), std::string("\x10\0\0\0", 4));
  cPalette back;
  std::int32_t position = 0;
  ASSERT_TRUE(back.Load(path, position));
  EXPECT_EQ(position, 68);
  EXPECT_EQ(back.Entries(), p.Entries());

  // A record at a position: zeros before it; the fourth bytes come back.
  std::string record = std::string("\x02\0\0\0", 4) + "\x01\x02\x03\x7F" + "\xFF\xFE\xFD\x80";
  cPalette odd;
  std::int32_t at = 0;
  ASSERT_TRUE(odd.LoadFromBytes(Bytes(record), at));
  EXPECT_EQ(odd.Entries()[1].fourth, 0x80);
  ASSERT_TRUE(odd.Save(path, 10));
  f = plumage::test::ReadFile(path);
  ASSERT_EQ(f.size(), 10 + record.size());
  EXPECT_EQ(f.substr(0, 10), std::string(10, '\0'));
  EXPECT_EQ(f.substr(10), record);
  std::int32_t ten = 10;
  cPalette again;
  ASSERT_TRUE(again.Load(path, ten));
  EXPECT_EQ(ten, 10 + 12);
  EXPECT_EQ(again.Entries(), odd.Entries());
  // Position 0 or below reads from the start and becomes 0.
  std::int32_t negative = -7;
  EXPECT_FALSE(again.Load(path, negative)) << "the zeros give a count of 0";
  EXPECT_EQ(negative, 0);
}

TEST(Palette, BinaryCountsFrom1To4097AreTakenAndOthersLeaveThePaletteAsItWas) {
  auto file = [](std::int32_t count, std::size_t entries) {
    std::vector<std::uint8_t> b(4 + 4 * entries, 7);
    for (int i = 0; i < 4; ++i)
      b[static_cast<std::size_t>(i)] =
          static_cast<std::uint8_t>(static_cast<std::uint32_t>(count) >> (8 * i));
    return b;
  };
  cPalette p;
  std::int32_t at = 0;
  ASSERT_TRUE(p.LoadFromBytes(file(4097, 4097), at));
  EXPECT_EQ(p.Count(), 4097);
  EXPECT_EQ(at, 4 + 4 * 4097);
  p.Create16Colour();
  const auto before = p.Entries();
  for (std::int32_t count : {4098, 0, -1, INT32_MIN}) {
    at = 0;
    EXPECT_FALSE(p.LoadFromBytes(file(count, 4098), at)) << count;
    EXPECT_EQ(p.Entries(), before) << count;
    EXPECT_EQ(at, 0);
  }
  at = 0;
  EXPECT_FALSE(p.LoadFromBytes(std::vector<std::uint8_t>{1, 0, 0}, at)) << "3 bytes of count";
  EXPECT_EQ(p.Entries(), before);
  at = 1000;
  EXPECT_FALSE(p.LoadFromBytes(file(1, 1), at)) << "position past the end";
  EXPECT_EQ(p.Entries(), before);

  // A count with too few entries behind it: the new count, and what was there.
  std::vector<std::uint8_t> shortFile = {3, 0, 0, 0, 1, 2, 3, 4, 5, 6};
  ASSERT_EQ(shortFile.size(), 10u);
  at = 0;
  EXPECT_FALSE(p.LoadFromBytes(shortFile, at));
  ASSERT_EQ(p.Count(), 3);
  EXPECT_EQ(p.Entries()[0], (PaletteEntry{1, 2, 3, 4}));
  EXPECT_EQ(p.Entries()[1], (PaletteEntry{5, 6, 0, 0}));
  EXPECT_EQ(at, 0);

  cPalette untouched;
  untouched.CreateMono();
  EXPECT_FALSE(untouched.Load("/no/such/palette.bin"));
  EXPECT_EQ(untouched.Count(), 2);
}

TEST(Palette, JascTextHasCrLfLinesAndNoBreakAtTheEnd) {
  cPalette p;
  p.Create16Colour();
  const std::string text = p.JASCText();
  EXPECT_EQ(text.substr(0, 16), "JASC\r\n0100\r\n16\r\n");
  EXPECT_EQ(text.substr(text.size() - 13), "\r\n255 255 255");
  std::size_t lines = 1;
  for (std::size_t i = 0; i + 1 < text.size(); ++i) lines += text[i] == '\r' && text[i + 1] == '\n';
  EXPECT_EQ(lines, 19u);
  EXPECT_EQ(text.find('\n', text.size() - 1), std::string::npos);
  cPalette one;
  one.Add(128, 0, 64);
  EXPECT_EQ(one.JASCText(), "JASC\r\n0100\r\n1\r\n128 0 64");

  plumage::test::TempDir dir;
  const auto path = (dir / "p.pal").string();
  ASSERT_TRUE(p.SaveToJASCFile(path));
  EXPECT_EQ(plumage::test::ReadFile(path), text);
  cPalette back;
  ASSERT_TRUE(back.LoadFromJASCFile(path));
  EXPECT_EQ(back.Entries(), p.Entries());
}

TEST(Palette, JascLinesOfExactlyThreeItemsAreTheColours) {
  cPalette p;
  // The header's own name does not matter, nor the count line.
  ASSERT_TRUE(p.LoadFromJASCText("JASC-PAL\r\n0100\r\n99\r\n1 2 3\r\n4 5 6"));
  ASSERT_EQ(p.Count(), 2);
  EXPECT_EQ(Entry(p, 2), (Rgb{4, 5, 6}));
  // Two spaces make four items: skipped. A line of four numbers too.
  ASSERT_TRUE(p.LoadFromJASCText("JASC\r\n0100\r\n2\r\n1 2  3\r\n7 8 9\r\n1 2 3 4"));
  ASSERT_EQ(p.Count(), 1);
  EXPECT_EQ(Entry(p, 1), (Rgb{7, 8, 9}));
  // Line feeds alone do not end lines: one long line, nothing added.
  ASSERT_TRUE(p.LoadFromJASCText("JASC\n0100\n2\n1 2 3\n4 5 6"));
  EXPECT_EQ(p.Count(), 0);
  ASSERT_TRUE(p.LoadFromJASCText(""));
  EXPECT_EQ(p.Count(), 0);
  // A final line break gives an empty last line, which is skipped.
  ASSERT_TRUE(p.LoadFromJASCText("1 2 3\r\n"));
  EXPECT_EQ(p.Count(), 1);
}

TEST(Palette, JascItemsThatAreNotBytesRaiseErrorsKeepingWhatCameBefore) {
  test::FakeSystem system;
  ImageServices services;
  services.system = &system;
  cPalette p(services);
  struct Case {
    const char* text;
    std::int32_t number;
    std::int32_t count;
    Rgb last;
  };
  // "7 8 " is two numbers and an empty item: three items, the last no number.
  for (Case c : {Case{"1 2 3\r\n7 8 ", 13, 2, {7, 8, 0}}, Case{"1 2 3\r\n7 256 1", 6, 2, {7, 0, 0}},
                 Case{"x 2 3", 13, 1, {0, 0, 0}}, Case{"1 2 -3", 13, 1, {1, 2, 0}},
                 Case{"1 2 3\r\n4 5 6\r", 13, 2, {4, 5, 0}}}) {
    try {
      p.LoadFromJASCText(c.text);
      ADD_FAILURE() << "no error for " << c.text;
    } catch (const RunTimeError& e) {
      EXPECT_EQ(e.Number(), c.number) << c.text;
      EXPECT_EQ(e.Source(), "plumage-test.cPalette");
      EXPECT_EQ(e.Description(), errors::Text(c.number));
      ASSERT_EQ(p.Count(), c.count) << c.text;
      EXPECT_EQ(Entry(p, c.count), c.last) << c.text;
    }
  }
}

TEST(Palette, JascFileErrorsCarryTheirNumbers) {
  plumage::test::TempDir dir;
  cPalette p;
  p.CreateMono();
  try {
    p.LoadFromJASCFile((dir / "absent.pal").string());
    ADD_FAILURE();
  } catch (const RunTimeError& e) {
    EXPECT_EQ(e.Number(), 53);
    EXPECT_EQ(e.Source(), "plumage.cPalette");
    EXPECT_EQ(p.Count(), 0) << "emptied first";
  }
  try {
    p.SaveToJASCFile((dir / "no" / "folder.pal").string());
    ADD_FAILURE();
  } catch (const RunTimeError& e) {
    EXPECT_EQ(e.Number(), 76);
    EXPECT_EQ(e.Description(), "Path not found");
  }
  try {
    p.LoadFromJASCFile(dir.str());
    ADD_FAILURE();
  } catch (const RunTimeError& e) {
    EXPECT_EQ(e.Number(), 75);
  }
  test::FailingDevice device(1);
  ImageServices services;
  services.files = &device;
  cPalette failing(services);
  try {
    failing.SaveToJASCFile("x.pal");
    ADD_FAILURE();
  } catch (const RunTimeError& e) {
    EXPECT_EQ(e.Number(), 57);
    EXPECT_EQ(device.commits, 0);
  }
}

}  // namespace
}  // namespace plumage::image
