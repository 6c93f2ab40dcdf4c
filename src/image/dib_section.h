// cDIBSection: one 24-bit picture in memory, a bottom-up DIB whose pixel
// memory the program reads and writes directly, selected into a memory
// drawing context of our own (image/surfaces.h) so that pictures can be
// copied onto and off it.
//
// Memory layout: the first row in memory is the bottom row of the picture;
// each row holds Width pixels of blue, green, red and is padded to
// BytesPerScanLine bytes. Byte (x, y) lies at DIBSectionBitsPtr() +
// y × BytesPerScanLine + x. This is plumage::Surface24's layout.
#pragma once

#include <cstdint>
#include <memory>
#include <string>

#include "image/services.h"
#include "image/surfaces.h"
#include "base/surface.h"

namespace plumage::image {

class cDIBSection {
 public:
  explicit cDIBSection(const ImageServices& services = {});
  ~cDIBSection();
  cDIBSection(cDIBSection&& other) noexcept;
  cDIBSection& operator=(cDIBSection&& other) noexcept;
  cDIBSection(const cDIBSection&) = delete;
  cDIBSection& operator=(const cDIBSection&) = delete;

  // Hands a copy of the picture to the clipboard as a bitmap. With bAsDIB
  // the engine shows "I don't know how to put a DIB on the clipboard! Copy as
  // bitmap instead!!!" and answers False. False as well without a clipboard.
  bool CopyToClipboard(bool bAsDIB = false);
  // Fills the header for a 24-bit picture of that size and makes a DIB
  // section of it; the section goes to hDib, its pixels to DIBSectionBitsPtr.
  bool CreateDIB(surfaces::Handle lHDC, std::int32_t lWidth, std::int32_t lheight,
                 surfaces::Handle& hDib);
  // A picture of the surface's size holding its pixels. False (and no
  // picture) when that size cannot be made.
  bool CreateFromPicture(const plumage::Surface24& picThis);
  bool Create(std::int32_t lWidth, std::int32_t lheight);

  std::int32_t BytesPerScanLine() const;
  std::int32_t Width() const { return header_.biWidth; }
  std::int32_t Height() const { return header_.biHeight; }

  // Copies from lHDC into this picture at (0, 0); a negative size means this
  // picture's width or height.
  bool LoadPictureBlt(surfaces::Handle lHDC, std::int32_t lSrcLeft = 0, std::int32_t lSrcTop = 0,
                      std::int32_t lSrcWidth = -1, std::int32_t lSrcHeight = -1,
                      std::uint32_t eRop = surfaces::kSrcCopy);
  // Copies this picture onto lHDC; a negative size means this picture's
  // width or height.
  bool PaintPicture(surfaces::Handle lHDC, std::int32_t lDestLeft = 0, std::int32_t lDestTop = 0,
                    std::int32_t lDestWidth = -1, std::int32_t lDestHeight = -1,
                    std::int32_t lSrcLeft = 0, std::int32_t lSrcTop = 0,
                    std::uint32_t eRop = surfaces::kSrcCopy);

  surfaces::Handle hdc() const { return hdc_; }
  surfaces::Handle hDib() const { return hDib_; }
  std::uint8_t* DIBSectionBitsPtr() const { return bits_; }

  // Noise: grey levels with bGray, otherwise blue 0 and random green and
  // red. The generator is seeded from the clock, or with `seed`.
  void RandomiseBits(bool bGray = false);
  void RandomiseBits(bool bGray, std::uint32_t seed);

  void ClearUp();
  // A new picture lNewWidth wide and lNewHeight high (height first), made by
  // the bilinear resampler; nothing when it cannot be made or this holds no
  // picture.
  std::unique_ptr<cDIBSection> Resample(std::int32_t lNewHeight, std::int32_t lNewWidth) const;
  // Writes a 24-bit BMP file, replacing any file of that name once the whole
  // file is written. Throws RunTimeError 17 (source: the executable's name
  // and ".cDIBSection256") when the file cannot be created; False when a
  // write fails (the old file is then untouched) or there is no picture.
  bool SavePicture(const std::string& sFileName);
  // The system's message text for an error code.
  std::string ApiError(long e) const;

  // A copy of the picture as a surface (empty when there is none).
  plumage::Surface24 ToPicture() const;
  const surfaces::BitmapInfo& Header() const { return header_; }
  const ImageServices& Services() const { return services_; }

 private:
  ImageServices services_;
  surfaces::Handle hDib_ = 0;
  surfaces::Handle hBmpOld_ = 0;
  surfaces::Handle hdc_ = 0;
  std::uint8_t* bits_ = nullptr;
  surfaces::BitmapInfo header_{0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, {}};
};

// The source name of the engine's file errors: the executable's name
// followed by ".cDIBSection256".
std::string DibSectionErrorSource(const ImageServices& services);

}  // namespace plumage::image
