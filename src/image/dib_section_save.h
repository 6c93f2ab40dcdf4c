// cDIBSectionSave: writes the picture of a cDIBSection to a BMP file at 1,
// 4, 8 or 24 bits per pixel, reducing its colours first when asked.
//
// Depth codes (eOutputColourDepth): 0 = 1 bit (black, white), 1 = 4 bits
// (the 16-colour palette), 2 = 8 bits (cPal, or the half-tone palette when
// there is none), 3 = 24 bits. Reduction methods (eColourReductionMethod):
// 0 = none: the colour table decides, through the nearest-colour rule, and
// the caller's picture takes the chosen colours; 1 = cPal with error
// diffusion; 2 = automatic: black and white dithering at depth 0, the
// 16-colour palette with error diffusion at depth 1, an optimal palette of
// 236 colours from a 6-level octree without diffusion at depth 2.
#pragma once

#include <cstdint>
#include <memory>
#include <string>

#include "image/palette.h"
#include "image/progress.h"
#include "image/services.h"

namespace plumage::image {

class cDIBSection;

class cDIBSectionSave {
 public:
  enum Depth : std::int32_t { kDepth1 = 0, kDepth4 = 1, kDepth8 = 2, kDepth24 = 3 };
  enum Method : std::int32_t { kNoReduction = 0, kApplyPalette = 1, kAutomatic = 2 };

  explicit cDIBSectionSave(const ImageServices& services = {});

  // The progress of the reducer and of the octree that Save works with.
  ProgressEvents Events;

  // True when the whole file was written; the file then replaces any file of
  // that name, and otherwise that file is left as it was. Throws RunTimeError
  // 17 (source: the executable's name and ".cDIBSection256", description:
  // the system's text) when the file cannot be created. False, with nothing
  // written, for an unknown depth code, for method 1 without a palette, or
  // when the picture or the output section cannot be made.
  //
  // cDIB holds the reduced picture afterwards (depths 0 to 2). cPal may be
  // empty; with method 2 at depth 1 or 2 it becomes the palette Save made,
  // and at depth 2 without a palette it becomes the half-tone palette.
  bool Save(const std::string& sFileName, cDIBSection& cDIB, std::unique_ptr<cPalette>& cPal,
            std::int32_t eOutputColourDepth, std::int32_t eColourReductionMethod);

 private:
  ImageServices services_;
};

}  // namespace plumage::image
