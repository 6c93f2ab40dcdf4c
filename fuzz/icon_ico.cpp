// Fuzz target: .ico files.
#include "icon_walk.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  plumage::fuzz::Walk(plumage::formats::ReadIcoFile({data, size}));
  return 0;
}
