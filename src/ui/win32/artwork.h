// The pictures of the dialogs, kept as resources of plumage.exe and laid
// over the window's face colour, ready to be drawn like the forms' own
// surfaces.
#pragma once

#include "base/surface.h"

namespace plumage::win32 {

// The RCDATA resource `id` of the program (a 32-bit bitmap file) laid over
// the system's button-face colour; empty when it is missing or unreadable.
plumage::Surface24 LoadPicture(int id);

}  // namespace plumage::win32
