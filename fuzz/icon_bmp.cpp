// Fuzz target: one device-independent icon image with its mask.
#include "icon_walk.h"
#include "formats/icons/icon_image.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  using namespace plumage::formats;
  const std::span<const std::uint8_t> bytes(data, size);
  (void)PeekIconImage(bytes);
  auto bitmap = DecodeBmpIconImage(bytes);
  if (bitmap) {
    plumage::fuzz::Draw(*bitmap);
    plumage::fuzz::Draw(plumage::platform::ScaleIconBitmap(*bitmap, 32, 32));
  }
  return 0;
}
