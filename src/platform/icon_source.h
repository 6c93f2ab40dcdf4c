// Icons read out of files, and drawn: what the program asks of the platform
// where Windows has ExtractIconA, SHGetFileInfoA's small system icon,
// DrawIcon, DrawIconEx and ImageList_Draw. The Linux build reads the files
// itself (platform/portable/file_icon_source.h).
#pragma once

#include <cstdint>
#include <memory>
#include <span>
#include <string>
#include <utility>
#include <vector>

#include "base/surface.h"
#include "formats/icons/icon_bitmap.h"

namespace plumage::platform {

// The sizes the shell works with: SM_CXICON and SM_CXSMICON.
inline constexpr int kIconSize = 32;
inline constexpr int kSmallIconSize = 16;

// Where an icon came from, for listings and messages.
struct IconOrigin {
  std::string resource;  // "#5" or "FOLDER" in an executable or library; empty for an .ico file
  int imageCount = 0;    // images in the icon (the group)
  int imageIndex = 0;    // the image chosen, counted from 0 in directory order
  int width = 0;         // of the chosen image, before it was scaled to the handle's size
  int height = 0;
  int bitsPerPixel = 0;
  bool png = false;
  bool generic = false;  // the generic application icon stands in for a file without icons
};

// What ExtractIconA answers: no icon (0), the marker for a file that is no
// icon file, executable or library (1), or an icon.
enum class IconStatus { None, NotIconFile, Icon };

// An extracted icon. It owns its pixels and releases them when it goes, as
// DestroyIcon would; it moves but does not copy.
class IconHandle {
 public:
  IconHandle() = default;
  IconHandle(formats::IconBitmap bitmap, IconOrigin origin)
      : status_(IconStatus::Icon),
        bitmap_(std::make_unique<const formats::IconBitmap>(std::move(bitmap))),
        origin_(std::move(origin)) {}
  static IconHandle None(std::string reason) {
    return IconHandle(IconStatus::None, std::move(reason));
  }
  static IconHandle NotIconFile(std::string reason) {
    return IconHandle(IconStatus::NotIconFile, std::move(reason));
  }

  // A handle moved from holds no icon any more.
  IconHandle(IconHandle&& other) noexcept
      : status_(std::exchange(other.status_, IconStatus::None)),
        bitmap_(std::move(other.bitmap_)),
        origin_(std::move(other.origin_)),
        reason_(std::move(other.reason_)) {}
  IconHandle& operator=(IconHandle&& other) noexcept {
    status_ = std::exchange(other.status_, IconStatus::None);
    bitmap_ = std::move(other.bitmap_);
    origin_ = std::move(other.origin_);
    reason_ = std::move(other.reason_);
    return *this;
  }
  IconHandle(const IconHandle&) = delete;
  IconHandle& operator=(const IconHandle&) = delete;

  IconStatus status() const { return status_; }
  bool IsIcon() const { return status_ == IconStatus::Icon; }
  // The pixels; only an icon has them (an empty bitmap otherwise).
  const formats::IconBitmap& bitmap() const {
    static const formats::IconBitmap kEmpty;
    return bitmap_ ? *bitmap_ : kEmpty;
  }
  const IconOrigin& origin() const { return origin_; }
  // Why there is no icon: what went wrong and where.
  const std::string& reason() const { return reason_; }

 private:
  IconHandle(IconStatus status, std::string reason) : status_(status), reason_(std::move(reason)) {}

  IconStatus status_ = IconStatus::None;
  std::unique_ptr<const formats::IconBitmap> bitmap_;
  IconOrigin origin_;
  std::string reason_;
};

class IIconSource {
 public:
  virtual ~IIconSource() = default;

  // ExtractIconA(0, path, index): icon `index` of the file at 32 × 32, the
  // icons numbered from 0 in the file's own order (an .ico file has index 0
  // only). A negative index other than -1 names the icon by its resource
  // number, as Windows does. None when the file or the index holds no icon;
  // NotIconFile when the file is no icon file, executable or library.
  virtual IconHandle ExtractIcon(const std::string& path, int index) = 0;
  // The same icon at `size` × `size`, made from the image Windows would
  // choose for that size, for a screen with more pixels to the point than
  // 96 dpi. A source that has no other sizes gives the 32 × 32 one.
  virtual IconHandle ExtractIconAtSize(const std::string& path, int index, int /*size*/) {
    return ExtractIcon(path, index);
  }

  // SHGetFileInfoA(path, SHGFI_SYSICONINDEX | SHGFI_SMALLICON): the file's
  // 16 × 16 shell icon (icon 0 of an .ico or an executable; the generic
  // application icon for an .exe without icons). None for a missing file.
  virtual IconHandle SmallShellIcon(const std::string& path) = 0;

  // An icon the program carries with it (the bytes of an .ico file), at
  // `size` × `size`: what a picture box holds when it is given an icon.
  virtual IconHandle LoadIconResource(std::span<const std::uint8_t> icoBytes, int size) = 0;

  // DrawIcon(dc, x, y, icon): at the icon size, 32 × 32, through the masks.
  virtual void DrawIcon(Surface24& surface, int x, int y, const IconHandle& icon) = 0;
  // DrawIconEx(dc, x, y, icon, width, height, 0, 0, DI_NORMAL): stretched.
  virtual void DrawIconEx(Surface24& surface, int x, int y, const IconHandle& icon, int width,
                          int height) = 0;
  // ImageList_Draw(small image list, i, dc, x, y, ILD_TRANSPARENT): 16 × 16.
  virtual void DrawSmallIcon(Surface24& surface, int x, int y, const IconHandle& icon) = 0;
};

}  // namespace plumage::platform
