// Scaling and drawing icon bitmaps on 24-bit surfaces, as the Windows
// drawing calls do it: through the AND and XOR masks, or alpha-blended for
// an image with per-pixel alpha; stretched nearest-neighbour, the platform's
// default stretch mode.
#pragma once

#include "platform/icon_source.h"
#include "base/surface.h"

namespace plumage::platform {

// The source pixel that a destination pixel takes when `from` pixels are
// stretched to `to`: the one under the destination pixel's centre.
inline int NearestSource(int destination, int from, int to) {
  return static_cast<int>((2 * static_cast<long long>(destination) + 1) * from /
                          (2 * static_cast<long long>(to)));
}

// A copy of `bitmap` at width × height (colours, alpha and mask alike).
formats::IconBitmap ScaleIconBitmap(const formats::IconBitmap& bitmap, int width, int height);

// Draws `bitmap` stretched to width × height with its top left corner at
// (x, y), y counted from the top. Pixels outside the surface are left out.
// Per pixel: with alpha, colour × alpha + screen × (1 − alpha), rounded;
// otherwise (screen AND mask) XOR colour, so a set mask bit over black is
// transparent and over a colour inverts the screen.
void DrawIconBitmap(Surface24& surface, int x, int y, const formats::IconBitmap& bitmap, int width,
                    int height);

}  // namespace plumage::platform
