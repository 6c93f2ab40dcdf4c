// cColourReduceDIB: rewrites the pixels of 24-bit pictures: to grey, to
// black and white with error diffusion, or to the colours of a palette with
// or without error diffusion.
//
// The results are those of a walk over the columns as the outer loop and
// the rows inside it, which decides where errors flow: a pixel's share to
// its right reaches a column not yet visited, its share to the row below
// reaches the very next pixel visited. The walk here goes over strips of
// columns, row by row inside a strip, and holds each pending share until
// its pixel is visited, adding the shares in the order the column walk
// would (left neighbours' first); the bytes come out the same, and a large
// picture is read along its rows instead of across them.
//
// Progress: InitProgress with 3 × (width − 1), Progress with each column's
// byte offset once the column is done (a strip's columns are reported
// together, in order, when the strip is done), Complete with the
// milliseconds taken.
#pragma once

#include <cstdint>

#include "image/progress.h"
#include "image/services.h"

namespace plumage::image {

class cDIBSection;
class cPalette;

class cColourReduceDIB {
 public:
  explicit cColourReduceDIB(const ImageServices& services = {});

  ProgressEvents Events;

  // cFrom is the picture to reduce, cTo a picture of the same size that
  // receives the result; both end as the result. The loops run over cTo's
  // size (over the part both pictures share, should cTo be the larger).
  void BlackAndWhite(cDIBSection& cFrom, cDIBSection& cTo);
  // A pixel for which the palette has no entry (ClosestIndex 0) becomes
  // black.
  void ApplyPalette(cDIBSection& cFrom, cDIBSection& cTo, const cPalette& cPal, bool bDiffuseError);
  void GrayScale(cDIBSection& cDIB);

 private:
  ImageServices services_;
};

// The grey level of a colour: (222 × red + 707 × green + 71 × blue) ÷ 1000,
// to the nearest whole number, ties to even. Whole-number arithmetic gives
// exactly what the division in double precision gives, since the quotient is
// a multiple of 1/1000.
inline std::uint8_t GreyLevel(std::uint8_t red, std::uint8_t green, std::uint8_t blue) {
  std::uint32_t n = 222u * red + 707u * green + 71u * blue;
  std::uint32_t q = n / 1000, rem = n % 1000;
  return static_cast<std::uint8_t>(q + ((rem > 500 || (rem == 500 && (q & 1u))) ? 1 : 0));
}

}  // namespace plumage::image
