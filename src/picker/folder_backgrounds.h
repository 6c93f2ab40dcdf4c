// The four folder backgrounds the picker composes icons on (its
// FolderPicture array): 0 yellow, 1 red, 2 blue, 3 green. Each is a 32 × 32,
// 256-colour icon whose transparent area is exactly FolderMaskTemplate; the
// art is made by tools/make_icon_art.cpp (folder_backgrounds_data.cpp is its
// output).
#pragma once

#include <array>
#include <cstdint>
#include <span>

namespace plumage {

inline constexpr int kFolderBackgroundCount = 4;

// The bytes of each background's .ico file, by background index.
extern const std::array<std::span<const std::uint8_t>, kFolderBackgroundCount>
    kFolderBackgroundIcos;

}  // namespace plumage
