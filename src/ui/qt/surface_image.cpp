#include "ui/qt/surface_image.h"

namespace plumage::qt {

QImage ToQImage(const plumage::Surface24& surface) {
  QImage image(surface.width(), surface.height(), QImage::Format_RGB32);
  for (int y = 0; y < surface.height(); ++y)
    for (int x = 0; x < surface.width(); ++x) {
      const plumage::Rgb c = surface.At(x, y);
      image.setPixel(x, y, qRgb(c.r, c.g, c.b));
    }
  return image;
}

}  // namespace plumage::qt
