// user.DOSATTRIB values as a file system may hold them: any bytes.
#include <cstdint>
#include <span>

#include "formats/dos_attrib.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  auto attributes = plumage::formats::ParseDosAttrib(std::span(data, size));
  if (attributes) {
    // The text form of what was read reads back the same.
    std::string text = plumage::formats::FormatDosAttrib(*attributes);
    auto again = plumage::formats::ParseDosAttrib(
        std::span(reinterpret_cast<const std::uint8_t*>(text.data()), text.size()));
    if (!again || *again != *attributes) __builtin_trap();
  }
  return 0;
}
