// Fuzz target: PE executables and libraries. The header is read wherever the
// DOS header points, signature or not, so that mutations reach the reader.
#include "icon_walk.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  using namespace plumage::formats;
  const std::span<const std::uint8_t> bytes(data, size);
  std::uint32_t header = 0;
  if (size >= 64)
    header =
        data[0x3C] | (data[0x3D] << 8) | (data[0x3E] << 16) | (std::uint32_t{data[0x3F]} << 24);
  plumage::fuzz::Walk(ReadPeFile(bytes, header));
  plumage::fuzz::Walk(ParseIconFile(bytes));
  return 0;
}
