// The BMP reader: every common kind of file, and malformed ones that must
// fail cleanly.
#include <gtest/gtest.h>

#include "formats/bmp_reader.h"

namespace plumage::image {
namespace {

using Bytes = std::vector<std::uint8_t>;

void Put16(Bytes& b, std::uint32_t v) {
  b.push_back(static_cast<std::uint8_t>(v));
  b.push_back(static_cast<std::uint8_t>(v >> 8));
}
void Put32(Bytes& b, std::uint32_t v) {
  for (int i = 0; i < 4; ++i) b.push_back(static_cast<std::uint8_t>(v >> (8 * i)));
}

// A file with a 40-byte (or larger) header; `extra` follows the header
// (masks, colour table), then the pixel rows.
Bytes File(std::int32_t w, std::int32_t h, std::uint16_t bits, std::uint32_t compression,
           const Bytes& extra, const Bytes& pixels, std::uint32_t headerSize = 40,
           std::uint32_t colorsUsed = 0) {
  Bytes b = {'B', 'M'};
  const std::uint32_t off = 14 + headerSize + static_cast<std::uint32_t>(extra.size());
  Put32(b, off + static_cast<std::uint32_t>(pixels.size()));
  Put32(b, 0);
  Put32(b, off);
  Put32(b, headerSize);
  Put32(b, static_cast<std::uint32_t>(w));
  Put32(b, static_cast<std::uint32_t>(h));
  Put16(b, 1);
  Put16(b, bits);
  Put32(b, compression);
  Put32(b, static_cast<std::uint32_t>(pixels.size()));
  Put32(b, 0);
  Put32(b, 0);
  Put32(b, colorsUsed);
  Put32(b, 0);
  b.resize(14 + headerSize, 0);
  b.insert(b.end(), extra.begin(), extra.end());
  b.insert(b.end(), pixels.begin(), pixels.end());
  return b;
}

plumage::Rgb Px(const plumage::Surface24& s, int x, int y) {
  return s.At(x, y);
}

TEST(BmpReader, ReadsColourTablesAt1_4And8Bits) {
  // Two rows, bottom-up: the file's first row is the picture's bottom row.
  Bytes table = {0, 0, 0, 0, 255, 255, 255, 0};
  auto mono = ReadBmp(File(9, 2, 1, 0, table, {0x80, 0x80, 0, 0, 0x7F, 0x00, 0, 0}));
  ASSERT_TRUE(mono) << mono.error().message;
  EXPECT_EQ(Px(*mono, 0, 1), (plumage::Rgb{255, 255, 255}));
  EXPECT_EQ(Px(*mono, 8, 1), (plumage::Rgb{255, 255, 255}));
  EXPECT_EQ(Px(*mono, 1, 1), (plumage::Rgb{0, 0, 0}));
  EXPECT_EQ(Px(*mono, 0, 0), (plumage::Rgb{0, 0, 0}));
  EXPECT_EQ(Px(*mono, 7, 0), (plumage::Rgb{255, 255, 255}));

  // Four bits with only three colours in the table: index 5 is black.
  Bytes three = {10, 20, 30, 0, 40, 50, 60, 0, 70, 80, 90, 0};
  auto nibbles = ReadBmp(File(3, 1, 4, 0, three, {0x12, 0x50, 0, 0}, 40, 3));
  ASSERT_TRUE(nibbles) << nibbles.error().message;
  EXPECT_EQ(Px(*nibbles, 0, 0), (plumage::Rgb{60, 50, 40}));
  EXPECT_EQ(Px(*nibbles, 1, 0), (plumage::Rgb{90, 80, 70}));
  EXPECT_EQ(Px(*nibbles, 2, 0), (plumage::Rgb{0, 0, 0}));

  Bytes gray(256 * 4);
  for (int i = 0; i < 256; ++i)
    gray[4 * static_cast<std::size_t>(i)] = gray[4 * static_cast<std::size_t>(i) + 1] =
        gray[4 * static_cast<std::size_t>(i) + 2] = static_cast<std::uint8_t>(i);
  auto bytes8 = ReadBmp(File(2, 1, 8, 0, gray, {7, 200, 0, 0}));
  ASSERT_TRUE(bytes8);
  EXPECT_EQ(Px(*bytes8, 1, 0), (plumage::Rgb{200, 200, 200}));
}

TEST(BmpReader, ReadsSixteenAndThirtyTwoBitsWithAndWithoutMasks) {
  // 5-5-5: pure red is 0x7C00.
  auto rgb555 = ReadBmp(File(3, 1, 16, 0, {}, {0x00, 0x7C, 0x1F, 0x00, 0x63, 0x0C, 0, 0}));
  ASSERT_TRUE(rgb555) << rgb555.error().message;
  EXPECT_EQ(Px(*rgb555, 0, 0), (plumage::Rgb{255, 0, 0}));
  EXPECT_EQ(Px(*rgb555, 1, 0), (plumage::Rgb{0, 0, 255}));
  // 5 bits widen by repeating their top bits: 00011 becomes 00011000.
  EXPECT_EQ(Px(*rgb555, 2, 0), (plumage::Rgb{24, 24, 24}));
  // 5-6-5 through masks after a 40-byte header: green 0x07E0.
  Bytes masks;
  Put32(masks, 0xF800);
  Put32(masks, 0x07E0);
  Put32(masks, 0x001F);
  auto rgb565 = ReadBmp(File(1, 1, 16, 3, masks, {0xE0, 0x07, 0, 0}));
  ASSERT_TRUE(rgb565) << rgb565.error().message;
  EXPECT_EQ(Px(*rgb565, 0, 0), (plumage::Rgb{0, 255, 0}));
  // 32 bits, alpha ignored.
  auto bgrx = ReadBmp(File(1, 1, 32, 0, {}, {1, 2, 3, 0}));
  ASSERT_TRUE(bgrx);
  EXPECT_EQ(Px(*bgrx, 0, 0), (plumage::Rgb{3, 2, 1}));
  // A version 4 header (108 bytes) holding its masks: red in the low byte.
  Bytes v4 = File(1, 1, 32, 3, {}, {0x11, 0x22, 0x33, 0x44}, 108);
  auto putMask = [&](std::size_t at, std::uint32_t m) {
    for (int i = 0; i < 4; ++i)
      v4[at + static_cast<std::size_t>(i)] = static_cast<std::uint8_t>(m >> (8 * i));
  };
  putMask(54, 0x000000FF);
  putMask(58, 0x0000FF00);
  putMask(62, 0x00FF0000);
  auto swapped = ReadBmp(v4);
  ASSERT_TRUE(swapped) << swapped.error().message;
  EXPECT_EQ(Px(*swapped, 0, 0), (plumage::Rgb{0x11, 0x22, 0x33}));
}

TEST(BmpReader, ReadsTopDownFilesAndTheOs2Header) {
  auto topDown = ReadBmp(File(1, -2, 24, 0, {}, {1, 2, 3, 0, 4, 5, 6, 0}));
  ASSERT_TRUE(topDown) << topDown.error().message;
  EXPECT_EQ(Px(*topDown, 0, 0), (plumage::Rgb{3, 2, 1}));
  EXPECT_EQ(Px(*topDown, 0, 1), (plumage::Rgb{6, 5, 4}));
  // 12-byte header, 3-byte table entries.
  Bytes core = {'B', 'M', 0, 0, 0, 0, 0, 0, 0, 0, 32, 0, 0, 0, 12,   0, 0, 0,
                2,   0,   1, 0, 1, 0, 1, 0, 9, 8, 7,  6, 5, 4, 0x40, 0, 0, 0};
  ASSERT_EQ(core.size(), 36u);
  auto os2 = ReadBmp(core);
  ASSERT_TRUE(os2) << os2.error().message;
  EXPECT_EQ(Px(*os2, 0, 0), (plumage::Rgb{7, 8, 9}));
  EXPECT_EQ(Px(*os2, 1, 0), (plumage::Rgb{4, 5, 6}));
}

TEST(BmpReader, MalformedFilesFailCleanlyWithTheirReason) {
  struct Case {
    const char* what;
    Bytes bytes;
    ErrorKind kind;
  };
  Bytes good = File(2, 2, 24, 0, {}, Bytes(16, 9));
  ASSERT_EQ(good.size(), 70u);
  Bytes shortData(good.begin(), good.end() - 7);
  Bytes wrongMagic = good;
  wrongMagic[0] = 'X';
  Bytes farOffset = good;
  farOffset[10] = 0xFF, farOffset[11] = 0xFF, farOffset[12] = 0xFF, farOffset[13] = 0x7F;
  const Case cases[] = {
      {"empty", {}, ErrorKind::Truncated},
      {"magic only", {'B', 'M'}, ErrorKind::Truncated},
      {"not BM", wrongMagic, ErrorKind::Invalid},
      {"pixels cut short", shortData, ErrorKind::Truncated},
      {"offset past the end", farOffset, ErrorKind::Truncated},
      {"width 0", File(0, 2, 24, 0, {}, Bytes(16, 0)), ErrorKind::Invalid},
      {"height 0", File(2, 0, 24, 0, {}, {}), ErrorKind::Invalid},
      {"huge", File(100000, 100000, 24, 0, {}, {}), ErrorKind::Invalid},
      {"most negative height", File(1, INT32_MIN, 24, 0, {}, Bytes(4, 0)), ErrorKind::Invalid},
      {"2 bits", File(2, 2, 2, 0, {}, Bytes(8, 0)), ErrorKind::Unsupported},
      {"RLE8", File(2, 2, 8, 1, Bytes(1024, 0), Bytes(8, 0)), ErrorKind::Unsupported},
      {"masks at 24 bits", File(2, 2, 24, 3, Bytes(12, 0), Bytes(16, 0)), ErrorKind::Invalid},
      {"header of 20 bytes", File(2, 2, 24, 0, {}, Bytes(16, 0), 20), ErrorKind::Invalid},
      {"no colour table", File(2, 2, 8, 0, {}, {}), ErrorKind::Truncated},
  };
  for (const Case& c : cases) {
    auto result = ReadBmp(c.bytes);
    ASSERT_FALSE(result) << c.what;
    EXPECT_EQ(result.error().kind, c.kind) << c.what << ": " << result.error().message;
    EXPECT_EQ(result.error().message.rfind("BMP", 0), 0u) << c.what;
  }
}

TEST(BmpReader, TheLastRowNeedNotBePadded) {
  // One 24-bit pixel: 3 bytes of data, no padding after it.
  auto result = ReadBmp(File(1, 1, 24, 0, {}, {1, 2, 3}));
  ASSERT_TRUE(result) << result.error().message;
  EXPECT_EQ(Px(*result, 0, 0), (plumage::Rgb{3, 2, 1}));
}

}  // namespace
}  // namespace plumage::image
