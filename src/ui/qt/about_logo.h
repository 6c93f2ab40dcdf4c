// The about box's logo, drawn by code rather than shipped as a bitmap,
// so the artwork lives with the program and can be redrawn at any size.
#pragma once

#include <QImage>

namespace plumage::qt {

// The about box's logo: a yellow folder with a feather sweeping across it,
// 150 × 104 pixels, opaque.
inline constexpr int kLogoWidth = 150;
inline constexpr int kLogoHeight = 104;
QImage DrawPlumageLogo();

}  // namespace plumage::qt
