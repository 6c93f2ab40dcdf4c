#include "iconmaker/bmp_to_icon.h"

#include <cstring>
#include <fstream>
#include <iterator>
#include <memory>
#include <system_error>

#include "base/paths.h"
#include "app/program.h"
#include "folder/descriptor.h"
#include "iconmaker/folder_mask.h"
#include "base/byte_reader.h"
#include "formats/bitmap_header.h"
#include "formats/bmp_reader.h"
#include "image/dib_section.h"
#include "image/dib_section_save.h"
#include "image/run_time_error.h"
#include "image/services.h"
#include "platform/files.h"
#include "platform/system.h"

namespace plumage {

namespace {

// Nothing this module reads is larger than a 32 × 32 bitmap at 32 bits per
// pixel with every header it may carry; more is not one of our pictures.
constexpr std::uintmax_t kLargestPictureFile = 64 * 1024;

Result<std::vector<std::uint8_t>> ReadSmallFile(platform::IFileSystem& files,
                                                const std::string& path) {
  auto bytes = files.LoadFile(path, kLargestPictureFile);
  if (!bytes) return bytes.error();
  return std::vector<std::uint8_t>(bytes->begin(), bytes->end());
}

// Complete or untouched, through the platform's one way of replacing.
Status WriteWholeFile(platform::IFileSystem& files, const std::string& path,
                      const std::vector<std::uint8_t>& bytes) {
  return files.StoreFile(path, std::string(bytes.begin(), bytes.end()));
}

int HexDigit(char c) {
  if (c >= '0' && c <= '9') return c - '0';
  if (c >= 'A' && c <= 'F') return c - 'A' + 10;
  return 0;
}

}  // namespace

const std::string& IconHeaderTemplate() {
  static const std::string kTemplate =
      std::string("00 00 01 00 01 00 20 20 00 00 00 00 00 00 A8 08 ") +
      "00 00 16 00 00 00 28 00 00 00 20 00 00 00 40 00 " +
      "00 00 01 00 08 00 00 00 00 00 80 04 00 00 00 00 " +
      "00 00 00 00 00 00 00 01 00 00 00 00 00 00";
  return kTemplate;
}

std::array<std::uint8_t, kIconHeaderSize> IconHeaderBytes() {
  std::array<std::uint8_t, kIconHeaderSize> bytes{};
  const std::string& text = IconHeaderTemplate();
  for (std::size_t i = 0; i < kIconHeaderSize; ++i)
    bytes[i] = static_cast<std::uint8_t>(HexDigit(text[3 * i]) * 16 + HexDigit(text[3 * i + 1]));
  return bytes;
}

std::uint8_t PackMaskByte(int flag0, int flag1, int flag2, int flag3, int flag4, int flag5,
                          int flag6, int flag7) {
  return static_cast<std::uint8_t>(flag0 * 128 + flag1 * 64 + flag2 * 32 + flag3 * 16 + flag4 * 8 +
                                   flag5 * 4 + flag6 * 2 + flag7);
}

Result<std::vector<std::uint8_t>> IconBytesFromBitmap8(std::span<const std::uint8_t> b) {
  // Every field the fixed offsets rely on is checked: a bitmap of another
  // shape would put the wrong bytes into the icon.
  if (b.size() < kBitmap8Size)
    return MakeError(ErrorKind::Truncated, "the 8-bit bitmap ends after " +
                                               std::to_string(b.size()) + " of " +
                                               std::to_string(kBitmap8Size) + " bytes");
  ByteReader reader(b, "the 8-bit bitmap");
  const auto file = formats::ReadFileHeader(reader, "the 8-bit bitmap");
  const auto info = formats::ReadBitmapHeader(reader, "the 8-bit bitmap");
  if (!file || !info || file->offBits != kBitmap8PixelsOffset ||
      info->headerSize != formats::kInfoHeaderSize || info->width != 32 || info->height != 32 ||
      info->bitCount != 8 || info->compression != formats::kBiRgb)
    return MakeError(ErrorKind::Invalid,
                     "the bitmap is not an uncompressed 8-bit, 32 x 32 picture with 256 colours");
  std::vector<std::uint8_t> icon(kIconFileSize, 0);
  const auto header = IconHeaderBytes();
  std::memcpy(icon.data(), header.data(), header.size());
  std::memcpy(icon.data() + kIconPaletteOffset, b.data() + kBitmap8PaletteOffset,
              kBitmap8Size - kBitmap8PaletteOffset);
  return icon;
}

void ApplyFolderMask(std::vector<std::uint8_t>& icon) {
  if (icon.size() < kIconFileSize) return;
  const std::string& mask = FolderMaskTemplate();
  std::size_t counter = 0;
  for (std::size_t r = 0; r < 32; ++r) {
    for (std::size_t byte = 0; byte < 4; ++byte) {
      int flag[8];
      for (std::size_t j = 0; j < 8; ++j) {
        const bool opaque = mask[counter++] == '1';
        flag[j] = opaque ? 0 : 1;
        if (!opaque) icon[kIconPixelsOffset + 32 * r + 8 * byte + j] = 0;
      }
      icon[kIconMaskOffset + 4 * r + byte] =
          PackMaskByte(flag[0], flag[1], flag[2], flag[3], flag[4], flag[5], flag[6], flag[7]);
    }
  }
}

Status WriteIconHeader(platform::IFileSystem& files, const std::string& bitmap,
                       const std::string& icon) {
  auto bytes = ReadSmallFile(files, bitmap);
  if (!bytes) return bytes.error();
  auto made = IconBytesFromBitmap8(*bytes);
  if (!made) return MakeError(made.error().kind, bitmap + ": " + made.error().message);
  return WriteWholeFile(files, icon, *made);
}

std::string TempBitmapFile(Program& program) {
  return WithTrailingSeparator(program.os.system->ProgramFolder()) + "$$$.BMP";
}
std::string TempIconFile(Program& program) {
  return WithTrailingSeparator(program.os.system->ProgramFolder()) + "$$$.ICO";
}
std::string IconsFolderPath(Program& program) {
  return WithTrailingSeparator(program.os.system->ProgramFolder()) + kIconsFolder + kPathSeparator;
}

Status ConvertBmpToIcon(Program& program, const std::string& bitmap, const std::string& icon) {
  const std::string tempBitmap = TempBitmapFile(program);
  const std::string tempIcon = TempIconFile(program);

  auto bytes = ReadSmallFile(*program.os.files, bitmap);
  if (!bytes) return bytes.error();
  auto picture = formats::ReadBmp(*bytes);
  if (!picture) return MakeError(picture.error().kind, bitmap + ": " + picture.error().message);
  // The icon's offsets and mask are those of a 32 × 32 picture.
  if (picture->width() != kFolderMaskSide || picture->height() != kFolderMaskSide)
    return MakeError(ErrorKind::Unsupported,
                     bitmap + ": the picture is " + std::to_string(picture->width()) + " x " +
                         std::to_string(picture->height()) + ", not 32 x 32");

  image::ImageServices services;
  services.system = program.os.system;
  services.fileSystem = program.os.files;
  image::cDIBSection dib(services);
  if (!dib.CreateFromPicture(*picture))
    return MakeError(ErrorKind::Io, "cannot make a picture in memory for " + bitmap);
  std::unique_ptr<image::cPalette> noPalette;
  image::cDIBSectionSave saver(services);
  try {
    if (!saver.Save(tempBitmap, dib, noPalette, image::cDIBSectionSave::kDepth8,
                    image::cDIBSectionSave::kNoReduction))
      return MakeError(ErrorKind::Io, "cannot write " + tempBitmap);
  } catch (const image::RunTimeError& e) {
    return MakeError(ErrorKind::Io, "cannot create " + tempBitmap + ": " + e.Description());
  }

  if (auto header = WriteIconHeader(*program.os.files, tempBitmap, tempIcon); !header) return header.error();
  auto made = ReadSmallFile(*program.os.files, tempIcon);
  if (!made) return made.error();
  if (made->size() != kIconFileSize)
    return MakeError(ErrorKind::Io, tempIcon + " was not written whole");
  ApplyFolderMask(*made);
  if (auto written = WriteWholeFile(*program.os.files, tempIcon, *made); !written) return written.error();

  if (auto copied = program.os.files->Copy(tempIcon, icon); !copied) return copied.error();
  return Ok{};
}

}  // namespace plumage
