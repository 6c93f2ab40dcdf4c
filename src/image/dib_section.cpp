#include "image/dib_section.h"

#include <algorithm>
#include <chrono>
#include <cstring>
#include <random>
#include <utility>
#include <vector>

#include "formats/bmp_format.h"
#include "image/rounding.h"
#include "image/run_time_error.h"
#include "platform/system.h"

namespace plumage::image {
namespace {

constexpr const char* kNoDibOnClipboard =
    "I don't know how to put a DIB on the clipboard! Copy as bitmap instead!!!";

// Columns of noise made at a time: the columns are filled one after the
// other, as the noise is defined, but written row by row.
constexpr std::int32_t kNoiseStrip = 64;

std::uint32_t ClockSeed() {
  return static_cast<std::uint32_t>(std::chrono::steady_clock::now().time_since_epoch().count() &
                                    0xFFFFFFFFu);
}

// r × 255 brought to a whole number, for r uniform in [0, 1).
std::uint8_t NoiseValue(std::mt19937& random) {
  double r = static_cast<double>(random()) * (1.0 / 4294967296.0);
  return static_cast<std::uint8_t>(RoundHalfEvenToInt(r * 255.0));
}

}  // namespace

std::string DibSectionErrorSource(const ImageServices& services) {
  return ExecutableName(services) + ".cDIBSection256";
}

cDIBSection::cDIBSection(const ImageServices& services) : services_(services) {}

cDIBSection::~cDIBSection() {
  ClearUp();
}

cDIBSection::cDIBSection(cDIBSection&& other) noexcept
    : services_(other.services_),
      hDib_(std::exchange(other.hDib_, 0)),
      hBmpOld_(std::exchange(other.hBmpOld_, 0)),
      hdc_(std::exchange(other.hdc_, 0)),
      bits_(std::exchange(other.bits_, nullptr)),
      header_(other.header_) {}

cDIBSection& cDIBSection::operator=(cDIBSection&& other) noexcept {
  if (this != &other) {
    ClearUp();
    services_ = other.services_;
    hDib_ = std::exchange(other.hDib_, 0);
    hBmpOld_ = std::exchange(other.hBmpOld_, 0);
    hdc_ = std::exchange(other.hdc_, 0);
    bits_ = std::exchange(other.bits_, nullptr);
    header_ = other.header_;
  }
  return *this;
}

std::int32_t cDIBSection::BytesPerScanLine() const {
  // Worked out in 64 bits: a failed Create may leave any width in the header.
  std::int64_t bytes = (static_cast<std::int64_t>(header_.biWidth) * 3 + 3) & ~std::int64_t{3};
  return static_cast<std::int32_t>(bytes);
}

bool cDIBSection::CreateDIB(surfaces::Handle lHDC, std::int32_t lWidth, std::int32_t lheight,
                            surfaces::Handle& hDib) {
  header_ = surfaces::BitmapInfo{};
  header_.biSize = 40;
  header_.biWidth = lWidth;
  header_.biHeight = lheight;
  header_.biPlanes = 1;
  header_.biBitCount = 24;
  header_.biCompression = 0;
  header_.biSizeImage =
      static_cast<std::uint32_t>(BytesPerScanLine()) * static_cast<std::uint32_t>(header_.biHeight);
  std::uint8_t* address = nullptr;
  hDib = surfaces::CreateDIBSection(lHDC, header_, &address);
  bits_ = hDib != 0 ? address : nullptr;
  return hDib != 0;
}

bool cDIBSection::Create(std::int32_t lWidth, std::int32_t lheight) {
  ClearUp();
  hdc_ = surfaces::CreateCompatibleDC(0);
  if (hdc_ == 0) return false;
  if (CreateDIB(hdc_, lWidth, lheight, hDib_)) {
    hBmpOld_ = surfaces::SelectObject(hdc_, hDib_);
    return true;
  }
  surfaces::DeleteDC(hdc_);
  hdc_ = 0;
  return false;
}

bool cDIBSection::CreateFromPicture(const plumage::Surface24& picThis) {
  if (!Create(picThis.width(), picThis.height())) return false;
  // The surface has this picture's very layout: rows of equal stride.
  std::memcpy(bits_, picThis.bits(),
              std::min<std::size_t>(picThis.size_bytes(), header_.biSizeImage));
  return true;
}

void cDIBSection::ClearUp() {
  if (hdc_ != 0) {
    if (hDib_ != 0) {
      surfaces::SelectObject(hdc_, hBmpOld_);
      surfaces::DeleteObject(hDib_);
    }
    surfaces::DeleteDC(hdc_);
  }
  hdc_ = 0;
  hDib_ = 0;
  hBmpOld_ = 0;
  bits_ = nullptr;
}

bool cDIBSection::LoadPictureBlt(surfaces::Handle lHDC, std::int32_t lSrcLeft, std::int32_t lSrcTop,
                                 std::int32_t lSrcWidth, std::int32_t lSrcHeight,
                                 std::uint32_t eRop) {
  if (lSrcWidth < 0) lSrcWidth = Width();
  if (lSrcHeight < 0) lSrcHeight = Height();
  return surfaces::BitBlt(hdc_, 0, 0, lSrcWidth, lSrcHeight, lHDC, lSrcLeft, lSrcTop, eRop);
}

bool cDIBSection::PaintPicture(surfaces::Handle lHDC, std::int32_t lDestLeft, std::int32_t lDestTop,
                               std::int32_t lDestWidth, std::int32_t lDestHeight,
                               std::int32_t lSrcLeft, std::int32_t lSrcTop, std::uint32_t eRop) {
  if (lDestWidth < 0) lDestWidth = Width();
  if (lDestHeight < 0) lDestHeight = Height();
  return surfaces::BitBlt(lHDC, lDestLeft, lDestTop, lDestWidth, lDestHeight, hdc_, lSrcLeft,
                          lSrcTop, eRop);
}

bool cDIBSection::CopyToClipboard(bool bAsDIB) {
  surfaces::Handle screen = surfaces::CreateDisplayDC();
  surfaces::Handle memory = screen != 0 ? surfaces::CreateCompatibleDC(screen) : 0;
  bool result = false;
  if (screen != 0 && memory != 0) {
    if (bAsDIB) {
      ShowEngineMessage(services_, kNoDibOnClipboard);
    } else if (bits_ != nullptr && services_.clipboard != nullptr) {
      // What a bitmap compatible with the screen would hold after the copy:
      // the picture itself, since our screen is 24-bit.
      result = services_.clipboard->SetBitmap(ToPicture());
    }
  }
  if (memory != 0) surfaces::DeleteDC(memory);
  if (screen != 0) surfaces::DeleteDC(screen);
  return result;
}

void cDIBSection::RandomiseBits(bool bGray) {
  RandomiseBits(bGray, ClockSeed());
}

void cDIBSection::RandomiseBits(bool bGray, std::uint32_t seed) {
  if (bits_ == nullptr) return;
  std::mt19937 random(seed);
  const std::int32_t width = Width(), height = Height();
  const std::size_t stride = static_cast<std::size_t>(BytesPerScanLine());
  if (bGray) {
    for (std::int32_t y = 0; y < height; ++y) {
      std::uint8_t* row = bits_ + static_cast<std::size_t>(y) * stride;
      for (std::int32_t c = 0; c < width; ++c) {
        std::uint8_t v = NoiseValue(random);
        row[3 * c] = row[3 * c + 1] = row[3 * c + 2] = v;
      }
    }
    return;
  }
  // Column by column: draw a strip's values in column order, then write them
  // row by row.
  std::vector<std::uint8_t> strip(static_cast<std::size_t>(kNoiseStrip) * height * 2);
  for (std::int32_t c0 = 0; c0 < width; c0 += kNoiseStrip) {
    const std::int32_t columns = std::min(kNoiseStrip, width - c0);
    for (std::int32_t c = 0; c < columns; ++c)
      for (std::int32_t y = 0; y < height; ++y) {
        std::size_t at = (static_cast<std::size_t>(y) * kNoiseStrip + c) * 2;
        strip[at] = NoiseValue(random);
        strip[at + 1] = NoiseValue(random);
      }
    for (std::int32_t y = 0; y < height; ++y) {
      std::uint8_t* p =
          bits_ + static_cast<std::size_t>(y) * stride + 3 * static_cast<std::size_t>(c0);
      const std::uint8_t* v = strip.data() + static_cast<std::size_t>(y) * kNoiseStrip * 2;
      for (std::int32_t c = 0; c < columns; ++c, p += 3, v += 2) {
        p[0] = 0;
        p[1] = v[0];
        p[2] = v[1];
      }
    }
  }
}

std::unique_ptr<cDIBSection> cDIBSection::Resample(std::int32_t lNewHeight,
                                                   std::int32_t lNewWidth) const {
  if (bits_ == nullptr) return nullptr;
  auto out = std::make_unique<cDIBSection>(services_);
  if (!out->Create(lNewWidth, lNewHeight)) return nullptr;
  if (lNewWidth == Width() && lNewHeight == Height()) {
    out->LoadPictureBlt(hdc_, 0, 0, -1, -1, surfaces::kSrcCopy);
    return out;
  }
  const std::int32_t W = Width(), H = Height(), w = lNewWidth, h = lNewHeight;
  const float xScale = static_cast<float>(static_cast<double>(W - 1) / static_cast<double>(w));
  const float yScale = static_cast<float>(static_cast<double>(H - 1) / static_cast<double>(h));
  // The column and row of each destination pixel, its neighbour (the edge
  // pixel itself for a source 1 wide or high, so that nothing is read
  // outside) and the two weights, worked out once per column and per row.
  struct Axis {
    std::int32_t p0, p1;
    double keep, take;  // 1 − fraction and fraction
  };
  auto axis = [](float scale, std::int32_t count, std::int32_t limit) {
    std::vector<Axis> a(static_cast<std::size_t>(count));
    for (std::int32_t i = 0; i < count; ++i) {
      float pos = scale * static_cast<float>(i);
      float floorPos = std::floor(pos);
      float frac = pos - floorPos;
      std::int32_t p0 = static_cast<std::int32_t>(floorPos);
      std::int32_t p1 = std::min(p0 + 1, limit - 1);
      a[static_cast<std::size_t>(i)] =
          Axis{p0, p1, 1.0 - static_cast<double>(frac), static_cast<double>(frac)};
    }
    return a;
  };
  const std::vector<Axis> cols = axis(xScale, w, W);
  const std::vector<Axis> rows = axis(yScale, h, H);
  const std::size_t sStride = static_cast<std::size_t>(BytesPerScanLine());
  const std::size_t dStride = static_cast<std::size_t>(out->BytesPerScanLine());
  std::uint8_t* dst = out->DIBSectionBitsPtr();
  for (std::int32_t j = 0; j < h; ++j) {
    const Axis& ry = rows[static_cast<std::size_t>(j)];
    const std::uint8_t* row0 = bits_ + static_cast<std::size_t>(ry.p0) * sStride;
    const std::uint8_t* row1 = bits_ + static_cast<std::size_t>(ry.p1) * sStride;
    std::uint8_t* d = dst + static_cast<std::size_t>(j) * dStride;
    for (std::int32_t i = 0; i < w; ++i, d += 3) {
      const Axis& cx = cols[static_cast<std::size_t>(i)];
      const std::size_t a = 3 * static_cast<std::size_t>(cx.p0);
      const std::size_t b = 3 * static_cast<std::size_t>(cx.p1);
      for (int ch = 0; ch < 3; ++ch) {
        double left = RoundHalfEven(ry.keep * row0[a + ch] + ry.take * row1[a + ch]);
        double right = RoundHalfEven(ry.keep * row0[b + ch] + ry.take * row1[b + ch]);
        double v = RoundHalfEven(cx.keep * left + cx.take * right);
        d[ch] = ClampByte(static_cast<std::int32_t>(v));
      }
    }
  }
  return out;
}

bool cDIBSection::SavePicture(const std::string& sFileName) {
  // Without a picture there is nothing to write; an empty or partial file
  // would only replace a good one.
  if (bits_ == nullptr) return false;
  std::error_code error;
  auto file = CreateOutputFile(services_, sFileName, error);
  if (!file)
    throw RunTimeError(errors::kCannotCreate, DibSectionErrorSource(services_), error.message());
  const std::uint32_t offBits = formats::kFileHeaderSize + formats::kInfoHeaderSize;
  auto fileHeader = formats::FileHeader(header_.biSizeImage + offBits, offBits);
  auto infoHeader = formats::InfoHeader(header_, 0);
  bool ok = file->Write(fileHeader.data(), fileHeader.size()) &&
            file->Write(infoHeader.data(), infoHeader.size()) &&
            file->Write(bits_, header_.biSizeImage);
  return ok && file->Commit();
}

std::string cDIBSection::ApiError(long e) const {
  std::string text = services_.system
                         ? services_.system->ErrorMessage(e)
                         : std::error_code(static_cast<int>(e), std::generic_category()).message();
  // The system's text comes through a buffer of 256 characters.
  if (text.size() > 255) text.resize(255);
  return text;
}

plumage::Surface24 cDIBSection::ToPicture() const {
  if (bits_ == nullptr) return {};
  plumage::Surface24 picture(Width(), Height());
  std::memcpy(picture.bits(), bits_,
              std::min<std::size_t>(picture.size_bytes(), header_.biSizeImage));
  return picture;
}

}  // namespace plumage::image
