// The octree node of cPalette, shared by the palette's two source files.
#pragma once

#include <cstdint>

#include "image/palette.h"

namespace plumage::image {

struct cPalette::Node {
  bool leaf = false;
  bool listed = false;  // on its level's reducible list
  // Sums of the pixels that reached a leaf. 64 bits: a leaf of a large
  // picture may gather more than 8 million bright pixels.
  std::int64_t redSum = 0;
  std::int64_t greenSum = 0;
  std::int64_t blueSum = 0;
  std::int32_t count = 0;  // pixels of a leaf; children made under a branch
  std::int32_t children[8] = {};
  std::int32_t next = 0;  // next on a reducible list or on the free list
};

}  // namespace plumage::image
