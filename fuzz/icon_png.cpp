// Fuzz target: one PNG icon image, through the libpng codec.
#include "icon_walk.h"
#include "formats/icons/icon_image.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  using namespace plumage::formats;
  const std::span<const std::uint8_t> bytes(data, size);
  (void)PeekIconImage(bytes);
  auto bitmap = DecodePngIconImage(bytes, plumage::fuzz::Png());
  if (bitmap) plumage::fuzz::Draw(plumage::platform::ScaleIconBitmap(*bitmap, 16, 16));
  return 0;
}
