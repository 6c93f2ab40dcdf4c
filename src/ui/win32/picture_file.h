// The dialogs' pictures as plumage.exe keeps them: 32-bit bitmap files with
// alpha, laid over the window's face colour before they are drawn. Kept
// free of windows.h so that it is tested on every platform.
#pragma once

#include <cstdint>
#include <span>

#include "base/surface.h"

namespace plumage::win32 {

// A 32-bit bitmap file (BITMAPFILEHEADER, BITMAPINFOHEADER, BI_RGB rows of
// blue, green, red and straight alpha, bottom-up) laid over `background`;
// an empty surface when the bytes are not such a file.
plumage::Surface24 CompositeBitmapFile(std::span<const std::uint8_t> file,
                                        plumage::Rgb background);

}  // namespace plumage::win32
