// Surfaces of the program shown by Qt, and Qt pictures read into surfaces.
#pragma once

#include <QImage>

#include "base/surface.h"

namespace plumage::qt {

QImage ToQImage(const plumage::Surface24& surface);

}  // namespace plumage::qt
