// BmpToIcon: the fixed header, the mask packing, and the icon made from a
// picture compared with the image engine's own 8-bit bitmap of it.
#include <cstring>

#include "icon_making_fixture.h"
#include "iconmaker/save_selected.h"
#include "image/dib_section.h"

namespace plumage::test {
namespace {

std::uint32_t U32(const std::string& b, std::size_t at) {
  return std::uint32_t{static_cast<std::uint8_t>(b[at])} |
         (std::uint32_t{static_cast<std::uint8_t>(b[at + 1])} << 8) |
         (std::uint32_t{static_cast<std::uint8_t>(b[at + 2])} << 16) |
         (std::uint32_t{static_cast<std::uint8_t>(b[at + 3])} << 24);
}
unsigned U16(const std::string& b, std::size_t at) {
  return static_cast<std::uint8_t>(b[at]) | (static_cast<std::uint8_t>(b[at + 1]) << 8);
}
unsigned U8(const std::string& b, std::size_t at) {
  return static_cast<std::uint8_t>(b[at]);
}

TEST(IconHeaderTemplate, HoldsTheOneImageIconDirectoryAndBitmapHeader) {
  const auto bytes = IconHeaderBytes();
  const std::string b(bytes.begin(), bytes.end());
  ASSERT_EQ(b.size(), 62u);
  EXPECT_EQ(IconHeaderTemplate().size(), 62u * 3 - 1);
  // Directory and its entry.
  EXPECT_EQ(U16(b, 0), 0u);
  EXPECT_EQ(U16(b, 2), 1u);
  EXPECT_EQ(U16(b, 4), 1u);
  EXPECT_EQ(U8(b, 6), 32u);
  EXPECT_EQ(U8(b, 7), 32u);
  EXPECT_EQ(U8(b, 8), 0u);
  EXPECT_EQ(U8(b, 9), 0u);
  EXPECT_EQ(U16(b, 10), 0u);
  EXPECT_EQ(U16(b, 12), 0u);
  EXPECT_EQ(U32(b, 14), 2216u);
  EXPECT_EQ(U32(b, 18), 22u);
  // Bitmap header.
  EXPECT_EQ(U32(b, 22), 40u);
  EXPECT_EQ(U32(b, 26), 32u);
  EXPECT_EQ(U32(b, 30), 64u);
  EXPECT_EQ(U16(b, 34), 1u);
  EXPECT_EQ(U16(b, 36), 8u);
  EXPECT_EQ(U32(b, 38), 0u);
  EXPECT_EQ(U32(b, 42), 1152u);
  EXPECT_EQ(U32(b, 46), 0u);
  EXPECT_EQ(U32(b, 50), 0u);
  EXPECT_EQ(U32(b, 54), 256u);
  EXPECT_EQ(U32(b, 58), 0u);
  // The data it announces is what follows it, to the end of the file.
  EXPECT_EQ(22u + 2216u, kIconFileSize);
}

TEST(PackMaskByte, PutsFlagZeroInTheTopBit) {
  EXPECT_EQ(PackMaskByte(0, 0, 0, 0, 0, 0, 0, 0), 0);
  EXPECT_EQ(PackMaskByte(1, 1, 1, 1, 1, 1, 1, 1), 255);
  EXPECT_EQ(PackMaskByte(1, 0, 0, 0, 0, 0, 0, 0), 128);
  EXPECT_EQ(PackMaskByte(0, 0, 0, 0, 0, 0, 0, 1), 1);
  EXPECT_EQ(PackMaskByte(1, 0, 0, 0, 0, 0, 0, 1), 129);
  EXPECT_EQ(PackMaskByte(0, 1, 0, 1, 0, 0, 1, 0), 64 + 16 + 2);
}

TEST(IconBytesFromBitmap8, RefusesBitmapsOfAnotherShape) {
  std::vector<std::uint8_t> tooShort(2101, 0);
  auto r = IconBytesFromBitmap8(tooShort);
  ASSERT_FALSE(r);
  EXPECT_EQ(r.error().kind, ErrorKind::Truncated);

  // A 24-bit bitmap header on enough bytes.
  std::vector<std::uint8_t> b(2102, 0);
  b[0] = 'B';
  b[1] = 'M';
  b[10] = 0x36;
  b[11] = 0x04;  // 1078
  b[14] = 40;
  b[18] = 32;
  b[22] = 32;
  b[28] = 24;
  ASSERT_FALSE(IconBytesFromBitmap8(b));
  b[28] = 8;
  EXPECT_TRUE(IconBytesFromBitmap8(b));
  b[22] = 33;  // 33 rows high
  EXPECT_FALSE(IconBytesFromBitmap8(b));
}

class ConvertTest : public IconMakingTest {
 protected:
  // Saves a picture as a 24-bit BMP (the first temporary file's form).
  std::string PictureFile(const plumage::Surface24& picture, const std::string& name) {
    image::cDIBSection dib;
    EXPECT_TRUE(dib.CreateFromPicture(picture));
    const std::string path = (dir / name).string();
    EXPECT_TRUE(dib.SavePicture(path));
    return path;
  }
};

TEST_F(ConvertTest, TheIconHoldsTheEngineBitmapCutToTheFolderSilhouette) {
  for (unsigned seed : {1u, 2u, 7u}) {
    SCOPED_TRACE(seed);
    const plumage::Surface24 picture = TestPicture(seed);
    const std::string bitmap8 = EngineBitmap8(picture, dir / "reference.bmp");
    ASSERT_EQ(bitmap8.size(), 2102u);
    const std::string iconPath = (IconsDir() / "Made.ico").string();
    ASSERT_TRUE(ConvertBmpToIcon(env.program, PictureFile(picture, "p.bmp"), iconPath));
    const std::string icon = ReadFile(iconPath);
    ASSERT_EQ(icon.size(), 2238u);

    const auto header = IconHeaderBytes();
    EXPECT_EQ(icon.substr(0, 62), std::string(header.begin(), header.end()));
    EXPECT_EQ(icon.substr(62, 1024), bitmap8.substr(54, 1024)) << "palette";

    const auto rows = SilhouetteRows();
    int outside = 0;
    for (int fileRow = 0; fileRow < 32; ++fileRow) {
      const std::string& row = rows[static_cast<std::size_t>(31 - fileRow)];
      for (int x = 0; x < 32; ++x) {
        const std::size_t at = static_cast<std::size_t>(fileRow * 32 + x);
        const bool opaque = row[static_cast<std::size_t>(x)] == '1';
        const unsigned maskBit =
            (U8(icon, 2110 + static_cast<std::size_t>(fileRow * 4 + x / 8)) >> (7 - x % 8)) & 1;
        EXPECT_EQ(maskBit, opaque ? 0u : 1u) << "mask " << x << "," << fileRow;
        if (opaque) {
          EXPECT_EQ(icon[1086 + at], bitmap8[1078 + at]) << x << "," << fileRow;
        } else {
          EXPECT_EQ(U8(icon, 1086 + at), 0u) << x << "," << fileRow;
          ++outside;
        }
      }
    }
    EXPECT_EQ(outside, 32 * 32 - 20 * 32 - (10 + 12 + 14 + 16 + 30 + 31 + 30));
    // The bottom row is all transparent; file row 4 (image row 27) has one
    // transparent pixel at each end.
    EXPECT_EQ(icon.substr(2110, 4), std::string(4, '\xFF'));
    EXPECT_EQ(icon.substr(2110 + 16, 4), std::string("\x80\x00\x00\x01", 4));
    // Mask packed from the stored template: its own bytes, bit for bit.
    const std::string& stored = FolderMaskTemplate();
    for (std::size_t i = 0; i < 1024; ++i)
      ASSERT_EQ((U8(icon, 2110 + i / 8) >> (7 - i % 8)) & 1, stored[i] == '0' ? 1u : 0u) << i;
  }
  EXPECT_TRUE(fs::exists(programFolder / "$$$.BMP")) << "the caller removes the temporaries";
}

TEST_F(ConvertTest, RefusesAPictureThatIsNot32By32AndWritesNothing) {
  const std::string icon = (IconsDir() / "Odd.ico").string();
  auto r = ConvertBmpToIcon(env.program, PictureFile(plumage::Surface24(31, 32), "odd.bmp"), icon);
  ASSERT_FALSE(r);
  EXPECT_NE(r.error().message.find("31 x 32"), std::string::npos) << r.error().message;
  EXPECT_FALSE(fs::exists(icon));
  WriteFile(dir / "junk.bmp", "BM not a bitmap");
  EXPECT_FALSE(ConvertBmpToIcon(env.program, (dir / "junk.bmp").string(), icon));
  EXPECT_FALSE(fs::exists(icon));
}

TEST_F(ConvertTest, WriteIconHeaderCopiesPaletteAndRowsAndZeroesTheMask) {
  const std::string bitmap8 = EngineBitmap8(TestPicture(3), dir / "b8.bmp");
  const std::string out = (dir / "h.ico").string();
  ASSERT_TRUE(WriteIconHeader(*env.os.files, (dir / "b8.bmp").string(), out));
  const std::string icon = ReadFile(out);
  ASSERT_EQ(icon.size(), 2238u);
  EXPECT_EQ(icon.substr(62, 2048), bitmap8.substr(54, 2048));
  EXPECT_EQ(icon.substr(2110), std::string(128, '\0'));
}

}  // namespace
}  // namespace plumage::test
