// The BMP reader on any bytes: it fails cleanly or gives a picture whose
// 24-bit file reads back as the same picture, and which the engine can save
// at 8 bits.
#include <cstdint>
#include <cstdlib>
#include <memory>
#include <vector>

#include "formats/bmp_reader.h"
#include "image/dib_section.h"
#include "image/dib_section_save.h"

namespace {

// Files kept in memory: the last one committed.
class MemoryDevice : public plumage::image::IFileDevice {
 public:
  std::unique_ptr<plumage::image::IOutputFile> Create(const std::string&,
                                                      std::error_code&) override {
    return std::make_unique<File>(*this);
  }
  std::vector<std::uint8_t> committed;

 private:
  class File : public plumage::image::IOutputFile {
   public:
    explicit File(MemoryDevice& d) : d_(d) {}
    bool Write(const void* data, std::size_t size) override {
      const auto* p = static_cast<const std::uint8_t*>(data);
      bytes_.insert(bytes_.end(), p, p + size);
      return true;
    }
    bool Seek(std::uint64_t) override { return false; }
    bool Commit() override {
      d_.committed = bytes_;
      return true;
    }
    std::error_code LastError() const override { return {}; }

   private:
    MemoryDevice& d_;
    std::vector<std::uint8_t> bytes_;
  };
};

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  using namespace plumage::image;
  auto picture = plumage::formats::ReadBmp(std::span(data, size));
  if (!picture) return 0;
  if (picture->empty() || picture->size_bytes() != static_cast<std::size_t>(picture->stride()) *
                                                       static_cast<std::size_t>(picture->height()))
    std::abort();
  // Large pictures are read, but only small ones are pushed through the
  // engine, to keep each run short.
  if (picture->width() > 256 || picture->height() > 256) return 0;
  MemoryDevice device;
  ImageServices services;
  services.files = &device;
  cDIBSection dib(services);
  if (!dib.CreateFromPicture(*picture)) std::abort();
  if (!dib.SavePicture("picture.bmp")) std::abort();
  auto again = plumage::formats::ReadBmp(device.committed);
  if (!again || !(*again == *picture)) std::abort();
  std::unique_ptr<cPalette> pal;
  if (!cDIBSectionSave(services).Save("picture8.bmp", dib, pal, 2, 0)) std::abort();
  if (device.committed.size() != 1078 + static_cast<std::size_t>((picture->width() + 3) / 4 * 4) *
                                            static_cast<std::size_t>(picture->height()))
    std::abort();
  return 0;
}
