// Icon images: device-independent bitmaps at every depth with their masks,
// and PNG images.
#include <gtest/gtest.h>

#include <random>

#include "icon_test_util.h"
#include "formats/icons/icon_image.h"

namespace plumage::test {
namespace {

using platform::Rgba;
using platform::icons::DecodeBmpIconImage;
using platform::icons::DecodeIconImage;
using platform::icons::DecodePngIconImage;
using platform::icons::PeekIconImage;

DibDef RandomDef(int width, int height, int bpp, std::mt19937& rng, bool alpha = true) {
  DibDef s;
  s.width = width;
  s.height = height;
  s.bpp = bpp;
  auto byte = [&] { return static_cast<std::uint8_t>(rng() & 0xFF); };
  if (bpp <= 8)
    for (int i = 0; i < (1 << bpp); ++i) s.palette.push_back({byte(), byte(), byte(), 0});
  for (int i = 0; i < width * height; ++i) {
    std::uint32_t p = bpp <= 8 ? static_cast<std::uint32_t>(rng() % (1u << bpp))
                               : static_cast<std::uint32_t>(rng());
    if (bpp == 24) p &= 0xFFFFFF;
    if (bpp == 32 && !alpha) p &= 0xFFFFFF;
    s.pixels.push_back(p);
    s.mask.push_back(static_cast<std::uint8_t>(rng() & 1));
  }
  return s;
}

::testing::AssertionResult Matches(const platform::IconBitmap& got, const DibDef& dibDef) {
  if (got.width != dibDef.width || got.height != dibDef.height)
    return ::testing::AssertionFailure() << "size " << got.width << "x" << got.height;
  const bool alpha = SpecHasAlpha(dibDef);
  if (got.hasAlpha != alpha) return ::testing::AssertionFailure() << "hasAlpha " << got.hasAlpha;
  for (int y = 0; y < dibDef.height; ++y)
    for (int x = 0; x < dibDef.width; ++x) {
      Rgba want = DefColour(dibDef, x, y);
      if (!alpha) want.a = 255;
      const std::size_t i = static_cast<std::size_t>(y * dibDef.width + x);
      if (!(got.color[i] == want))
        return ::testing::AssertionFailure() << "colour of (" << x << ", " << y << ")";
      if (got.mask[i] != (DefMask(dibDef, x, y) ? 1 : 0))
        return ::testing::AssertionFailure() << "mask of (" << x << ", " << y << ")";
    }
  return ::testing::AssertionSuccess();
}

// Odd and prime widths put the row padding of colour bits and mask to work.
TEST(IconImage, DecodesEveryDepthAndItsMaskAtOddWidths) {
  std::mt19937 rng(4);
  for (int bpp : {1, 4, 8, 24, 32})
    for (int width : {1, 3, 7, 13, 31, 32, 33, 47})
      for (int height : {1, 5, 17}) {
        const DibDef dibDef = RandomDef(width, height, bpp, rng);
        auto bitmap = DecodeBmpIconImage(Span(EncodeDib(dibDef)));
        ASSERT_TRUE(bitmap) << bpp << " bpp " << width << "x" << height << ": "
                            << bitmap.error().message;
        EXPECT_TRUE(Matches(*bitmap, dibDef)) << bpp << " bpp " << width << "x" << height;
      }
}

TEST(IconImage, ThirtyTwoBitsWithoutAnyAlphaAreDrawnThroughTheMask) {
  std::mt19937 rng(5);
  const DibDef dibDef = RandomDef(16, 16, 32, rng, /*alpha=*/false);
  auto bitmap = DecodeBmpIconImage(Span(EncodeDib(dibDef)));
  ASSERT_TRUE(bitmap);
  EXPECT_FALSE(bitmap->hasAlpha);
  EXPECT_TRUE(Matches(*bitmap, dibDef));
}

TEST(IconImage, ColourTablesOfEveryLengthPlaceThePixelsRight) {
  std::mt19937 rng(6);
  // An index past a short table draws black.
  DibDef shortTable = RandomDef(9, 4, 8, rng);
  shortTable.palette.resize(3);
  for (std::size_t i = 0; i < shortTable.pixels.size(); ++i)
    shortTable.pixels[i] = static_cast<std::uint32_t>(i % 7);
  // A table longer than the depth needs: the pixels follow all of it.
  DibDef longTable = RandomDef(9, 4, 4, rng);
  for (int i = 0; i < 4; ++i) longTable.palette.push_back({1, 2, 3, 0});
  // A 24-bit image may carry a table too; the pixels follow it.
  DibDef trueColour = RandomDef(9, 4, 24, rng);
  trueColour.palette = {{9, 9, 9, 0}, {8, 8, 8, 0}};
  // A colour count beyond 256 reads 256 entries.
  DibDef hugeCount = RandomDef(9, 4, 8, rng);
  hugeCount.colorsUsed = 0xFFFFFFFFu;
  for (const DibDef* dibDef : {&shortTable, &longTable, &trueColour, &hugeCount}) {
    auto bitmap = DecodeBmpIconImage(Span(EncodeDib(*dibDef)));
    ASSERT_TRUE(bitmap) << bitmap.error().message;
    EXPECT_TRUE(Matches(*bitmap, *dibDef));
  }
  EXPECT_EQ(DecodeBmpIconImage(Span(EncodeDib(shortTable)))->color[5], (Rgba{0, 0, 0, 255}));
}

TEST(IconImage, AMissingMaskIsMadeFromAlphaAndRefusedOtherwise) {
  std::mt19937 rng(7);
  DibDef alpha = RandomDef(5, 5, 32, rng);
  alpha.withMask = false;
  auto fromAlpha = DecodeBmpIconImage(Span(EncodeDib(alpha)));
  ASSERT_TRUE(fromAlpha);
  for (std::size_t i = 0; i < fromAlpha->mask.size(); ++i)
    EXPECT_EQ(fromAlpha->mask[i], fromAlpha->color[i].a == 0 ? 1 : 0);

  for (int bpp : {8, 24}) {
    DibDef dibDef = RandomDef(5, 5, bpp, rng);
    dibDef.withMask = false;
    auto bitmap = DecodeBmpIconImage(Span(EncodeDib(dibDef)));
    ASSERT_FALSE(bitmap);
    EXPECT_EQ(bitmap.error().kind, ErrorKind::Truncated);
    EXPECT_NE(bitmap.error().message.find("AND mask"), std::string::npos) << bitmap.error().message;
  }
}

// A 40-byte header, then whatever follows.
Bytes Header(std::int32_t w, std::int32_t h, unsigned bpp, std::uint32_t compression = 0,
             std::uint32_t size = 40) {
  Bytes b;
  Put32(b, size);
  Put32(b, static_cast<std::uint32_t>(w));
  Put32(b, static_cast<std::uint32_t>(h));
  Put16(b, 1);
  Put16(b, bpp);
  Put32(b, compression);
  for (int i = 0; i < 5; ++i) Put32(b, 0);
  return b;
}

TEST(IconImage, DamagedHeadersFailCleanlyWithTheirKind) {
  struct Case {
    const char* what;
    Bytes bytes;
    std::size_t length;
    ErrorKind kind;
  };
  const Case cases[] = {
      {"nothing", {}, 0, ErrorKind::Truncated},
      {"half a header", {0x28, 0, 0, 0, 0x20, 0, 0, 0, 0x40, 0}, 10, ErrorKind::Truncated},
      {"OS/2 header", {0x0C, 0, 0, 0, 0x20, 0, 0x40, 0, 1, 0, 8, 0}, 12, ErrorKind::Unsupported},
      {"header size 20", Header(32, 64, 8, 0, 20), 40, ErrorKind::Invalid},
      {"width 0", Header(0, 64, 8), 40, ErrorKind::Invalid},
      {"height 1 (no rows)", Header(32, 1, 8), 40, ErrorKind::Invalid},
      {"width 257", Header(257, 64, 8), 40, ErrorKind::Unsupported},
      {"height 2 x 257", Header(32, 514, 8), 40, ErrorKind::Unsupported},
      {"top-down", Header(32, -64, 8), 40, ErrorKind::Unsupported},
      {"16 bits", Header(32, 64, 16), 40, ErrorKind::Unsupported},
      {"0 bits", Header(32, 64, 0), 40, ErrorKind::Unsupported},
      {"RLE", Header(32, 64, 8, 1), 40, ErrorKind::Unsupported},
      {"header size past the end", Header(32, 64, 8, 0, 0xFFFFFFFFu), 40, ErrorKind::Truncated},
      {"no colour table", Header(32, 64, 8), 40, ErrorKind::Truncated},
  };
  for (const Case& c : cases) {
    ASSERT_EQ(c.bytes.size(), c.length) << c.what;
    auto bitmap = DecodeBmpIconImage(Span(c.bytes));
    ASSERT_FALSE(bitmap) << c.what;
    EXPECT_EQ(bitmap.error().kind, c.kind) << c.what << ": " << bitmap.error().message;
    EXPECT_FALSE(bitmap.error().message.empty());
  }
  // Colour bits that end early: the message says where.
  std::mt19937 rng(1);
  Bytes cut = EncodeDib(RandomDef(32, 32, 24, rng));
  cut.resize(40 + 1000);
  auto bitmap = DecodeBmpIconImage(Span(cut));
  ASSERT_FALSE(bitmap);
  EXPECT_EQ(bitmap.error().kind, ErrorKind::Truncated);
  EXPECT_NE(bitmap.error().message.find("offset 40"), std::string::npos) << bitmap.error().message;
}

// A codec that counts what reaches it and answers as told.
class FakePng : public platform::IPngCodec {
 public:
  Result<platform::RgbaImage> Decode(std::span<const std::uint8_t> bytes) override {
    ++calls;
    if (answer) return *answer;
    return real.Decode(bytes);
  }
  Result<std::vector<std::uint8_t>> Encode(const platform::RgbaImage& image) override {
    return real.Encode(image);
  }
  int calls = 0;
  std::optional<platform::RgbaImage> answer;
  platform::LibPngCodec real;
};

TEST(IconImage, PngImagesCarryAlphaAndAMaskWhereTheyAreClear) {
  std::vector<Rgba> pixels;
  for (int i = 0; i < 5 * 3; ++i)
    pixels.push_back({static_cast<std::uint8_t>(i * 10), 20, 30,
                      static_cast<std::uint8_t>(i % 3 == 0 ? 0 : 17 * i)});
  const Bytes png = EncodePng(5, 3, pixels);
  FakePng codec;
  auto bitmap = DecodeIconImage(Span(png), codec);
  ASSERT_TRUE(bitmap) << bitmap.error().message;
  EXPECT_TRUE(bitmap->hasAlpha);
  ASSERT_EQ(bitmap->width, 5);
  ASSERT_EQ(bitmap->height, 3);
  for (std::size_t i = 0; i < pixels.size(); ++i) {
    EXPECT_EQ(bitmap->color[i], pixels[i]);
    EXPECT_EQ(bitmap->mask[i], pixels[i].a == 0 ? 1 : 0);
  }
  auto info = PeekIconImage(Span(png));
  ASSERT_TRUE(info);
  EXPECT_TRUE(info->png);
  EXPECT_EQ(info->bitsPerPixel, 32);
}

TEST(IconImage, PngHeadersAreCheckedBeforeTheDecoderSeesThem) {
  FakePng codec;
  Bytes big = EncodePng(300, 2, std::vector<Rgba>(600, Rgba{1, 2, 3, 255}));
  auto bitmap = DecodePngIconImage(Span(big), codec);
  ASSERT_FALSE(bitmap);
  EXPECT_EQ(bitmap.error().kind, ErrorKind::Unsupported);
  EXPECT_EQ(codec.calls, 0);

  // A first chunk that is not IHDR.
  Bytes odd = EncodePng(2, 2, std::vector<Rgba>(4, Rgba{1, 2, 3, 255}));
  odd[12] = 'X';
  EXPECT_EQ(DecodePngIconImage(Span(odd), codec).error().kind, ErrorKind::Invalid);
  EXPECT_EQ(codec.calls, 0);

  // Just the signature.
  const Bytes signature = {0x89, 'P', 'N', 'G', 0x0D, 0x0A, 0x1A, 0x0A};
  ASSERT_EQ(signature.size(), 8u);
  EXPECT_EQ(DecodePngIconImage(Span(signature), codec).error().kind, ErrorKind::Truncated);

  // A decoder that disagrees with the header is not believed.
  Bytes good = EncodePng(4, 4, std::vector<Rgba>(16, Rgba{1, 2, 3, 255}));
  codec.answer = platform::RgbaImage{5, 5, std::vector<std::uint8_t>(100, 0)};
  EXPECT_EQ(DecodePngIconImage(Span(good), codec).error().kind, ErrorKind::Invalid);

  // Damage inside the data is the decoder's to find.
  codec.answer.reset();
  Bytes damaged = good;
  damaged.resize(damaged.size() - 20);
  auto result = DecodePngIconImage(Span(damaged), codec);
  ASSERT_FALSE(result);
  EXPECT_NE(result.error().message.find("PNG"), std::string::npos);
}

TEST(IconImage, PeekReadsSizeAndDepthFromTheImagesOwnHeader) {
  struct Case {
    std::uint8_t colourType, bitDepth;
    int bpp;
  };
  for (const Case& c : {Case{0, 1, 1}, Case{2, 8, 24}, Case{3, 4, 4}, Case{4, 8, 16},
                        Case{6, 8, 32}, Case{6, 16, 64}}) {
    Bytes png = EncodePng(7, 9, std::vector<Rgba>(63, Rgba{1, 2, 3, 255}));
    png[24] = c.bitDepth;
    png[25] = c.colourType;
    auto info = PeekIconImage(Span(png));
    ASSERT_TRUE(info);
    EXPECT_EQ(info->bitsPerPixel, c.bpp);
    EXPECT_EQ(info->width, 7);
    EXPECT_EQ(info->height, 9);
  }
  std::mt19937 rng(8);
  auto bmp = PeekIconImage(Span(EncodeDib(RandomDef(24, 24, 4, rng))));
  ASSERT_TRUE(bmp);
  EXPECT_EQ(bmp->width, 24);
  EXPECT_EQ(bmp->height, 24);
  EXPECT_EQ(bmp->bitsPerPixel, 4);
  EXPECT_FALSE(bmp->png);
}

}  // namespace
}  // namespace plumage::test
