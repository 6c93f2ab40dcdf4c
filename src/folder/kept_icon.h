// The icon kept inside a folder: a copy of the chosen icon (every image of
// it) as an .ico file beside DESKTOP.INI, which the descriptor names by its
// bare name. A name relative to the folder is the one every reader can
// open: a Windows client of a Samba share, Windows on a dual-boot disk, any
// machine the USB stick is plugged into.
#pragma once

#include <string>
#include <string_view>

#include "base/result.h"

namespace plumage {

namespace platform {
class IFileSystem;
}

// "FolderIcon.ico", or "FolderIcon (2).ico" and on when a file of the user's
// holds the name.
inline constexpr const char* kKeptIconStem = "FolderIcon";

// What ends every kept icon, after its images where no reader of icons
// looks: the program replaces or removes only a file that carries it, never
// a file of the user's.
inline constexpr std::string_view kKeptIconMarker{"\0Plumage folder icon\0", 21};

bool IsKeptIconBytes(std::string_view bytes);
// The file at `path` is a kept icon (read at most as far as an icon goes).
bool IsKeptIcon(platform::IFileSystem& files, const std::string& path);

// The bytes of the kept copy of icon `index` of `iconFile` (numbered as
// ExtractIcon numbers them), marker included. The error says why it cannot
// be made: no such file, not an icon file, no such icon, no readable image.
Result<std::string> MakeKeptIcon(platform::IFileSystem& files, const std::string& iconFile,
                                 int index);

// The name for a new kept icon in `folder`: the first of FolderIcon.ico,
// FolderIcon (2).ico, ... that no file holds (letter case ignored, as a
// Windows reader ignores it) or that is a kept icon already.
Result<std::string> ChooseKeptIconName(platform::IFileSystem& files, const std::string& folder);

// A descriptor's icon path that names a file by its place in the folder
// ("FolderIcon.ico", "icons\a.ico"): not a full path of Windows or of
// this system, not a network path, not one that begins with a variable
// (%SystemRoot%\...).
bool IsFolderRelative(std::string_view iconPath);

// The full local path of a folder-relative icon path.
std::string InFolder(const std::string& folder, std::string_view relative);

}  // namespace plumage
