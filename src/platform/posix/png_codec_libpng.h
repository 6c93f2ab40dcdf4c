// IPngCodec with libpng's simplified API.
#pragma once

#include "formats/png_codec.h"

namespace plumage::platform {

class LibPngCodec : public IPngCodec {
 public:
  Result<RgbaImage> Decode(std::span<const std::uint8_t> bytes) override;
  Result<std::vector<std::uint8_t>> Encode(const RgbaImage& image) override;
};

}  // namespace plumage::platform
