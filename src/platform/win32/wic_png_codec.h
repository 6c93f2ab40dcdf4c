// PNG through the Windows Imaging Component (windowscodecs).
#pragma once

#include "formats/png_codec.h"

namespace plumage::platform {

class WicPngCodec : public formats::IPngCodec {
 public:
  Result<formats::RgbaImage> Decode(std::span<const std::uint8_t> bytes) override;
  Result<std::vector<std::uint8_t>> Encode(const formats::RgbaImage& image) override;
};

}  // namespace plumage::platform
