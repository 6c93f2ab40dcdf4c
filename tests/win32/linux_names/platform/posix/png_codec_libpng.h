// The Windows test build compiles the program's icon and icon-making tests
// unchanged; where they name the Linux PNG codec, they get the Windows one.
// Only tests/win32 puts this folder on the include path.
#pragma once

#include "platform/win32/wic_png_codec.h"

namespace plumage::platform {

class LibPngCodec : public WicPngCodec {};

}  // namespace plumage::platform
