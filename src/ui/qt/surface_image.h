// Surfaces of the program shown by Qt, and Qt pictures read into surfaces.
#pragma once

#include <QImage>

#include "platform/surface.h"

namespace plumage::qt {

QImage ToQImage(const platform::Surface24& surface);

}  // namespace plumage::qt
