// Turning one icon of a file into a handle at the size the shell asks for:
// the image is chosen as Windows chooses it, decoded and scaled.
#pragma once

#include <cstddef>
#include <span>

#include "platform/icon_source.h"
#include "formats/icons/icon_file.h"
#include "formats/icons/icon_image.h"
#include "formats/png_codec.h"

namespace plumage::platform {

// The image of a group to show at size × size: an image of exactly that
// size if there is one, else the smallest larger one (scaled down), else
// the largest smaller one (scaled up); among images of the chosen size the
// deepest colour; among equals the first in directory order. Returns the
// position in `images`; `images` must not be empty.
std::size_t ChooseIconImage(std::span<const formats::IconImageInfo> images, int size);

// The group's icon at size × size. An image that cannot be decoded is
// passed over for the next best; when none can, the handle is None with
// the reasons. A size of kNaturalSize takes the largest image (the deepest
// among the largest) at its own size, unscaled.
inline constexpr int kNaturalSize = 0;
IconHandle BuildIcon(const formats::IconGroup& group, int size, formats::IPngCodec& png);

}  // namespace plumage::platform
