// The picker's pictures, drawn by code: Image1 (a folder and a magic wand),
// Picture3 (an icon, an arrow and a folder carrying the icon) and the
// program's window icon.
#pragma once

#include <QIcon>
#include <QPixmap>

namespace plumage::qt {

// Drawn at `ratio` device pixels to the pixel, for a high-density screen.
QPixmap Image1Art(qreal ratio = 1);    // 59 × 41
QPixmap Picture3Art(qreal ratio = 1);  // 80 × 20
QIcon ProgramIcon();    // 16, 32, 48, 64, 128 and 256 pixels

}  // namespace plumage::qt
