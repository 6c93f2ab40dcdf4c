#include "image/dib_section_save.h"

#include <algorithm>
#include <vector>

#include "formats/bmp_format.h"
#include "image/colour_reduce.h"
#include "image/dib_section.h"
#include "image/run_time_error.h"
#include "image/surfaces.h"

namespace plumage::image {
namespace {

struct DepthInfo {
  std::uint16_t bits;
  std::size_t colours;  // colour-table entries written
};

constexpr DepthInfo kDepths[4] = {{1, 2}, {4, 16}, {8, 256}, {24, 0}};

// The output section of one call, deleted with it.
class Section {
 public:
  ~Section() {
    if (handle_ != 0) surfaces::DeleteObject(handle_);
  }
  surfaces::Handle handle_ = 0;
  std::uint8_t* bits_ = nullptr;
};

}  // namespace

cDIBSectionSave::cDIBSectionSave(const ImageServices& services) : services_(services) {}

bool cDIBSectionSave::Save(const std::string& sFileName, cDIBSection& cDIB,
                           std::unique_ptr<cPalette>& cPal, std::int32_t eOutputColourDepth,
                           std::int32_t eColourReductionMethod) {
  if (eOutputColourDepth == kDepth24) return cDIB.SavePicture(sFileName);
  if (eOutputColourDepth < 0 || eOutputColourDepth > kDepth24) return false;
  if (cDIB.DIBSectionBitsPtr() == nullptr) return false;
  const DepthInfo depth = kDepths[eOutputColourDepth];

  bool copyBack = false;
  std::unique_ptr<cDIBSection> temporary;
  std::unique_ptr<cColourReduceDIB> reducer;
  auto prepare = [&]() {
    temporary = std::make_unique<cDIBSection>(services_);
    reducer = std::make_unique<cColourReduceDIB>(services_);
    reducer->Events.SubscribeAll(Events);
    return temporary->Create(cDIB.Width(), cDIB.Height());
  };
  switch (eColourReductionMethod) {
    case kNoReduction:
      copyBack = true;
      break;
    case kApplyPalette:
      // Nothing to apply: refuse before anything is written.
      if (!cPal) return false;
      if (!prepare()) return false;
      reducer->ApplyPalette(cDIB, *temporary, *cPal, true);
      break;
    case kAutomatic:
      if (eOutputColourDepth == kDepth1) {
        if (!prepare()) return false;
        reducer->BlackAndWhite(cDIB, *temporary);
      } else if (eOutputColourDepth == kDepth4) {
        cPal = std::make_unique<cPalette>(services_);
        cPal->Create16Colour();
        if (!prepare()) return false;
        reducer->ApplyPalette(cDIB, *temporary, *cPal, true);
      } else {
        cPal = std::make_unique<cPalette>(services_);
        cPal->Events.SubscribeAll(Events);
        cPal->CreateOptimal(cDIB, 236, 6);
        if (!prepare()) return false;
        reducer->ApplyPalette(cDIB, *temporary, *cPal, false);
      }
      break;
    default:
      break;
  }
  temporary.reset();

  // The header and colour table of the output.
  surfaces::BitmapInfo info;
  info.biSize = 40;
  info.biWidth = cDIB.Width();
  info.biHeight = cDIB.Height();
  info.biPlanes = 1;
  info.biBitCount = depth.bits;
  info.biCompression = 0;
  info.biSizeImage = static_cast<std::uint32_t>(surfaces::StrideFor(info.biWidth, depth.bits)) *
                     static_cast<std::uint32_t>(info.biHeight);
  if (eOutputColourDepth == kDepth1) {
    info.bmiColors[1] = surfaces::RgbQuad{255, 255, 255, 0};
  } else if (eOutputColourDepth == kDepth4) {
    cPalette sixteen(services_);
    sixteen.Create16Colour();
    for (std::int32_t i = 0; i < 16; ++i)
      info.bmiColors[static_cast<std::size_t>(i)] =
          surfaces::RgbQuad{sixteen.Blue(i + 1), sixteen.Green(i + 1), sixteen.Red(i + 1), 0};
  } else {
    if (!cPal) {
      cPal = std::make_unique<cPalette>(services_);
      cPal->CreateHalfTone();
    }
    const std::int32_t n = std::min(cPal->Count(), 256);
    for (std::int32_t i = 0; i < n; ++i)
      info.bmiColors[static_cast<std::size_t>(i)] =
          surfaces::RgbQuad{cPal->Blue(i + 1), cPal->Green(i + 1), cPal->Red(i + 1), 0};
  }
  Section section;
  surfaces::Handle screen = surfaces::CreateDisplayDC();
  section.handle_ = surfaces::CreateDIBSection(screen, info, &section.bits_);
  if (screen != 0) surfaces::DeleteDC(screen);
  if (section.handle_ == 0) return false;

  // Paint the picture onto the section: each pixel becomes the colour-table
  // entry the nearest-colour rule picks.
  surfaces::Handle memory = surfaces::CreateCompatibleDC(0);
  if (memory == 0) return false;
  surfaces::Handle previous = surfaces::SelectObject(memory, section.handle_);
  cDIB.PaintPicture(memory, 0, 0, -1, -1, 0, 0, surfaces::kSrcCopy);
  if (copyBack) cDIB.LoadPictureBlt(memory, 0, 0, -1, -1, surfaces::kSrcCopy);
  surfaces::SelectObject(memory, previous);
  surfaces::DeleteDC(memory);

  // The file: file header, header with colour table, pixels.
  std::error_code error;
  auto file = CreateOutputFile(services_, sFileName, error);
  if (!file)
    throw RunTimeError(errors::kCannotCreate, DibSectionErrorSource(services_), error.message());
  const std::uint32_t offBits =
      formats::kFileHeaderSize + formats::kInfoHeaderSize + 4 * static_cast<std::uint32_t>(depth.colours);
  auto fileHeader = formats::FileHeader(offBits + info.biSizeImage, offBits);
  auto infoHeader = formats::InfoHeader(info, depth.colours);
  bool ok = file->Write(fileHeader.data(), fileHeader.size()) &&
            file->Write(infoHeader.data(), infoHeader.size()) &&
            file->Write(section.bits_, info.biSizeImage);
  return ok && file->Commit();
}

}  // namespace plumage::image
