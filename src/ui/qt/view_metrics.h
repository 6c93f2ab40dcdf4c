// Dialog measures are given in pixels at 96 dots per inch; the views scale
// them to the screen they are on.
#pragma once

#include <QFont>
#include <QWidget>
#include <cmath>

namespace plumage::qt {

class ViewMetrics {
 public:
  explicit ViewMetrics(const QWidget* widget) : scale_(widget->logicalDpiX() / 96.0) {
    if (!(scale_ > 0)) scale_ = 1;
  }
  int Px(int pixelsAt96Dpi) const { return static_cast<int>(std::lround(pixelsAt96Dpi * scale_)); }
  // The dialogs were laid out for an 8-point sans serif at 96 dpi (11
  // pixels): with a larger desktop font a frame's title pushes its line
  // below the controls placed under it, and captions spill out.
  QFont DialogFont(QFont font) const {
    font.setPixelSize(Px(11));
    return font;
  }

 private:
  double scale_;
};

}  // namespace plumage::qt
