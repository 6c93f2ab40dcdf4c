// The BMP reader against golden/bmp.txt: per file, the hash of the picture it
// gives or its error's kind and the hash of its message. The files are the
// fuzz seeds (1 to 32 bits, masks, OS/2, top-down) and tests/image/bmp/,
// written once from lists of bytes: pixels worked out by hand at 1, 4 and
// 16 bits, a 16-byte header, no pixel offset (their lines were written after
// those pixels were checked), and malformed files named for their fault.
#include <gtest/gtest.h>

#include "formats/bmp_reader.h"
#include "image_test_util.h"

namespace plumage::image {
namespace {

std::string BmpOutputs(const std::string& path) {
  const std::string bytes = plumage::test::ReadFile(std::string(PLUMAGE_SOURCE_DIR) + "/" + path);
  auto read =
      formats::ReadBmp(std::span(reinterpret_cast<const std::uint8_t*>(bytes.data()), bytes.size()));
  if (!read)
    return " error=" + std::to_string(static_cast<int>(read.error().kind)) +
           test::Field("text", read.error().message.data(), read.error().message.size());
  const std::int32_t size[2] = {read->width(), read->height()};
  return test::Field("pic", read->bits(), read->size_bytes(), test::Fnv(size, 8));
}

TEST(BmpReader, EveryFileGivesItsGoldenPictureOrError) {
  test::CheckGolden("bmp.txt", BmpOutputs);
}

}  // namespace
}  // namespace plumage::image
