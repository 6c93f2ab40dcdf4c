#include "iconmaker/folder_mask.h"

namespace plumage {

const std::string& FolderMaskTemplate() {
  // Kept as the pieces the mask has always been written down in; the rows
  // run across the piece boundaries (82 characters is not a row).
  static const std::string kTemplate = [] {
    static constexpr const char* kAllOnes =
        "1111111111111111111111111111111111111111111111111111111111111111111111111111111111";
    std::string text =
        "0000000000000000000000000000000000000000000000000000000000000000000000000000000000";
    text += "0000000000000000000000000000000000000000000000011111111111111111111111111111101111";
    for (int i = 0; i < 8; ++i) text += kAllOnes;
    text += "1111111111101111111111111111111111111111110001111111111111111000000000000000001111";
    text += "1111111111000000000000000000011111111111100000000000000000000011111111110000000000";
    text += "0000000000000000000000000000000000000000";
    return text;
  }();
  return kTemplate;
}

bool FolderMaskOpaque(int x, int y) {
  if (x < 0 || y < 0 || x >= kFolderMaskSide || y >= kFolderMaskSide) return false;
  const int storedRow = kFolderMaskSide - 1 - y;
  return FolderMaskTemplate()[static_cast<std::size_t>(storedRow * kFolderMaskSide + x)] == '1';
}

}  // namespace plumage
