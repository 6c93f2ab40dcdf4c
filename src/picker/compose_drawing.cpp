#include "picker/compose_drawing.h"

#include "base/codepage.h"

namespace plumage {
namespace {

// The window colour behind the picture box's drawing.
constexpr plumage::Rgb kWindowColour{255, 255, 255};
constexpr int kComposedSize = 19;

}  // namespace

FolderPictures::FolderPictures(platform::IIconSource& icons) {
  for (int i = 0; i < kFolderBackgroundCount; ++i)
    pictures_[static_cast<std::size_t>(i)] = icons.LoadIconResource(
        kFolderBackgroundIcos[static_cast<std::size_t>(i)], platform::kIconSize);
}

bool UsesShellIcon(const std::string& path, std::int16_t index) {
  if (index != 0) return false;
  const std::string last = Utf8Right(path, 3);
  return EqualsIgnoreCase(last, "ico") || EqualsIgnoreCase(last, "exe");
}

Result<plumage::Surface24> ComposeFolderDrawing(platform::IIconSource& icons,
                                                 const FolderPictures& folders, std::int16_t x,
                                                 std::int16_t y, const std::string& path,
                                                 std::int16_t index, int background) {
  if (background < 0 || background >= kFolderBackgroundCount)
    return MakeError(ErrorKind::Invalid,
                     "folder background " + std::to_string(background) + " does not exist");
  const bool shellIcon = UsesShellIcon(path, index);
  platform::IconHandle icon =
      shellIcon ? icons.SmallShellIcon(path) : icons.ExtractIcon(path, index);
  if (!icon.IsIcon()) return MakeError(ErrorKind::NotFound, icon.reason());

  plumage::Surface24 picture(platform::kIconSize, platform::kIconSize, kWindowColour);
  icons.DrawIcon(picture, 0, 0, folders[background]);
  if (shellIcon) {
    icons.DrawSmallIcon(picture, x, y, icon);
  } else {
    const int lowered = y < 11 ? y - 2 : y - 3;
    icons.DrawIconEx(picture, x, lowered, icon, kComposedSize, kComposedSize);
  }
  return picture;
}

}  // namespace plumage
