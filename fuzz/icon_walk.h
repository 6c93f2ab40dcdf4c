// What the icon fuzz targets do with whatever was parsed: every icon built
// at both shell sizes and drawn as the picker draws it.
#pragma once

#include <cstddef>

#include "platform/portable/icon_builder.h"
#include "platform/portable/icon_drawing.h"
#include "formats/icons/icon_file.h"
#include "platform/posix/png_codec_libpng.h"

namespace plumage::fuzz {

// Enough icons to reach every code path; thousands would only slow each run.
inline constexpr std::size_t kMaxGroupsWalked = 16;

inline formats::IPngCodec& Png() {
  static platform::LibPngCodec codec;
  return codec;
}

inline void Draw(const formats::IconBitmap& bitmap) {
  plumage::Surface24 surface(32, 32);
  platform::DrawIconBitmap(surface, 0, 0, bitmap, 32, 32);
  platform::DrawIconBitmap(surface, 8, 7, bitmap, 19, 19);
  platform::DrawIconBitmap(surface, -3, 20, bitmap, 16, 16);
}

inline void Walk(const Result<formats::IconFile>& file) {
  if (!file) return;
  for (std::size_t g = 0; g < file->groups.size() && g < kMaxGroupsWalked; ++g) {
    for (int size : {32, 16}) {
      platform::IconHandle icon = platform::BuildIcon(file->groups[g], size, Png());
      if (icon.IsIcon()) Draw(icon.bitmap());
    }
  }
}

}  // namespace plumage::fuzz
