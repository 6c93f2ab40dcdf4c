// The BMP reader: pixels worked out by hand, and malformed files that must
// fail cleanly with their reason. Every kind of file the fuzz seeds hold
// (1 to 32 bits, masks, OS/2, top-down) is a golden line of golden_test.cpp.
#include <gtest/gtest.h>

#include <tuple>

#include "formats/bmp_reader.h"

namespace plumage::image {
namespace {

using namespace formats;

using Bytes = std::vector<std::uint8_t>;

void Put(Bytes& b, std::uint32_t v, int size = 4) {
  for (int i = 0; i < size; ++i) b.push_back(static_cast<std::uint8_t>(v >> (8 * i)));
}

// A file with a 40-byte (or larger) header; `extra` (masks, colour table)
// follows the header, then the pixel rows.
Bytes File(std::int32_t w, std::int32_t h, std::uint16_t bits, std::uint32_t compression,
           const Bytes& extra, const Bytes& pixels, std::uint32_t headerSize = 40,
           std::uint32_t colorsUsed = 0) {
  Bytes b = {'B', 'M'};
  const auto off = static_cast<std::uint32_t>(14 + headerSize + extra.size());
  for (std::uint32_t v : {off + static_cast<std::uint32_t>(pixels.size()), 0u, off, headerSize,
                          static_cast<std::uint32_t>(w), static_cast<std::uint32_t>(h)})
    Put(b, v);
  Put(b, 1, 2);
  Put(b, bits, 2);
  for (std::uint32_t v :
       {compression, static_cast<std::uint32_t>(pixels.size()), 0u, 0u, colorsUsed, 0u})
    Put(b, v);
  b.resize(14 + headerSize, 0);
  b.insert(b.end(), extra.begin(), extra.end());
  b.insert(b.end(), pixels.begin(), pixels.end());
  return b;
}

// The same file with 0 for the pixels' offset: they follow the colour table.
Bytes WithoutPixelOffset(Bytes b) {
  std::fill(b.begin() + 10, b.begin() + 14, 0);
  return b;
}

TEST(BmpReader, ReadsRowsBottomUpWidensChannelsAndChecksEveryIndex) {
  using Px = std::tuple<int, int, plumage::Rgb>;  // x, y from the top
  const plumage::Rgb kWhite{255, 255, 255}, kBlack{0, 0, 0};
  const struct {
    const char* what;
    Bytes file;
    std::vector<Px> pixels;
  } cases[] = {
      // The file's first row is the picture's bottom row.
      {"1 bit",
       File(9, 2, 1, 0, {0, 0, 0, 0, 255, 255, 255, 0}, {0x80, 0x80, 0, 0, 0x7F, 0, 0, 0}),
       {{0, 1, kWhite}, {8, 1, kWhite}, {1, 1, kBlack}, {0, 0, kBlack}, {7, 0, kWhite}}},
      // Three colours in the table: index 5 is black. Last rows unpadded.
      {"4 bits",
       File(3, 1, 4, 0, {10, 20, 30, 0, 40, 50, 60, 0, 70, 80, 90, 0}, {0x12, 0x50}, 40, 3),
       {{0, 0, {60, 50, 40}}, {1, 0, {90, 80, 70}}, {2, 0, kBlack}}},
      // 5-5-5; 5 bits widen by repeating their top bits: 00011 is 00011000.
      {"16 bits",
       File(3, 1, 16, 0, {}, {0x00, 0x7C, 0x1F, 0x00, 0x63, 0x0C}),
       {{0, 0, {255, 0, 0}}, {1, 0, {0, 0, 255}}, {2, 0, {24, 24, 24}}}},
      // OS/2's short 16-byte header: size, planes and depth, nothing more.
      {"16-byte header", File(2, 1, 24, 0, {}, {1, 2, 3, 4, 5, 6, 0, 0}, 16),
       {{0, 0, {3, 2, 1}}, {1, 0, {6, 5, 4}}}},
      {"no pixel offset",
       WithoutPixelOffset(File(2, 1, 4, 0, {10, 20, 30, 0, 40, 50, 60, 0}, {0x10, 0, 0, 0}, 40, 2)),
       {{0, 0, {60, 50, 40}}, {1, 0, {30, 20, 10}}}},
  };
  for (const auto& c : cases) {
    auto read = ReadBmp(c.file);
    ASSERT_TRUE(read) << c.what << ": " << read.error().message;
    for (const auto& [x, y, rgb] : c.pixels)
      EXPECT_EQ(read->At(x, y), rgb) << c.what << " " << x << "," << y;
  }
}

TEST(BmpReader, MalformedFilesFailCleanlyWithTheirReason) {
  const Bytes good = File(2, 2, 24, 0, {}, Bytes(16, 9));
  ASSERT_EQ(good.size(), 70u);
  Bytes wrongMagic = good, farOffset = good;
  wrongMagic[0] = 'X';
  farOffset[13] = 0x7F;
  const struct {
    const char* what;
    Bytes bytes;
    ErrorKind kind;
  } cases[] = {
      {"empty", {}, ErrorKind::Truncated},
      {"magic only", {'B', 'M'}, ErrorKind::Truncated},
      {"not BM", wrongMagic, ErrorKind::Invalid},
      {"pixels cut short", Bytes(good.begin(), good.end() - 7), ErrorKind::Truncated},
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
  for (const auto& c : cases) {
    auto result = ReadBmp(c.bytes);
    ASSERT_FALSE(result) << c.what;
    EXPECT_EQ(result.error().kind, c.kind) << c.what << ": " << result.error().message;
    EXPECT_EQ(result.error().message.rfind("BMP", 0), 0u) << c.what;
  }
}

}  // namespace
}  // namespace plumage::image
