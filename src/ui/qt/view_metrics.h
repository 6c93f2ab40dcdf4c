// Dialog measures are given in pixels at 96 dots per inch; the views scale
// them to the screen they are on.
#pragma once

#include <QWidget>
#include <cmath>

namespace plumage::qt {

class ViewMetrics {
 public:
  explicit ViewMetrics(const QWidget* widget) : scale_(widget->logicalDpiX() / 96.0) {
    if (!(scale_ > 0)) scale_ = 1;
  }
  int Px(int pixelsAt96Dpi) const { return static_cast<int>(std::lround(pixelsAt96Dpi * scale_)); }

 private:
  double scale_;
};

}  // namespace plumage::qt
