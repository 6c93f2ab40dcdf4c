// The folder icon of the Linux file managers: the chosen icon as a PNG file
// of its own, named after the choice, and the two places that name it for
// a folder: GIO's metadata::custom-icon (GNOME Files, Nemo, Caja; see
// gio_metadata.h) and the Icon= entry of the folder's .directory (Dolphin).
#pragma once

#include <cstdint>
#include <string>

#include "platform/icon_source.h"
#include "formats/png_codec.h"

namespace plumage::platform {

// The .directory file of a folder, which KDE reads.
inline constexpr const char* kKdeDirectoryFile = ".directory";

// The PNG's file name for icon `index` of `iconFile` (a full path): the
// file's own name and the index for people, and a hash of the full path so
// that two icon files of the same name never share a PNG. The same choice
// always gives the same name.
std::string FolderIconPngName(const std::string& iconFile, std::int32_t index);

// An icon's pixels as straight RGBA: per-pixel alpha where the icon has it,
// else opaque where the AND mask is clear and transparent where it is set.
formats::RgbaImage IconToRgba(const formats::IconBitmap& icon);

// A .directory's text with Icon= of [Desktop Entry] set to `iconPath`;
// every other line stays as it was. An empty text stands for a missing file.
std::string SetDirectoryIcon(const std::string& existing, const std::string& iconPath);
// The text without that Icon= line; `changed` tells whether there was one.
// An empty result means the file held nothing else and goes.
std::string ClearDirectoryIcon(const std::string& existing, bool& changed);

}  // namespace plumage::platform
