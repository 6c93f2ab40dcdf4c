// The drawing of ComposeFolderIcon: a small copy of an icon on the face of
// one of the four folder backgrounds. The picker and the new-icon dialog
// call it; telling the user that there is no icon is theirs to do.
#pragma once

#include <array>
#include <cstdint>
#include <string>

#include "picker/folder_backgrounds.h"
#include "platform/icon_source.h"
#include "base/result.h"
#include "base/surface.h"

namespace plumage {

// The FolderPicture pictures: the four backgrounds loaded as 32 × 32 icons,
// once per form that shows them.
class FolderPictures {
 public:
  explicit FolderPictures(platform::IIconSource& icons);
  // Background 0 yellow, 1 red, 2 blue, 3 green.
  const platform::IconHandle& operator[](int index) const {
    return pictures_[static_cast<std::size_t>(index)];
  }

 private:
  std::array<platform::IconHandle, kFolderBackgroundCount> pictures_;
};

// True when ComposeFolderIcon takes the file's small shell icon rather than
// its icon `index`: index 0 of a path whose last three characters are "ico"
// or "exe", whatever their case.
bool UsesShellIcon(const std::string& path, std::int16_t index);

// The composed 32 × 32 picture: the background `background` (0 to 3) drawn
// on the window colour, then either the file's small shell icon at (x, y),
// transparent, or its icon `index` stretched to 19 × 19 at (x, y − 2) when
// y < 11 and (x, y − 3) otherwise. Every caller passes x = 8 and y = 9.
// Errors: NotFound when the file gives no icon (also when it is no icon
// file at all; a plain folder would be a wrong picture), Invalid for a
// background outside 0 to 3.
Result<plumage::Surface24> ComposeFolderDrawing(platform::IIconSource& icons,
                                                 const FolderPictures& folders, std::int16_t x,
                                                 std::int16_t y, const std::string& path,
                                                 std::int16_t index, int background);

}  // namespace plumage
