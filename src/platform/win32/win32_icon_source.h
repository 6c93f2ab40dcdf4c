// Icons through shell32 and user32: ExtractIconW, SHGetFileInfoW's small
// system icon, LookupIconIdFromDirectoryEx with CreateIconFromResourceEx for
// the program's own icons; drawn with DrawIcon, DrawIconEx and
// ImageList_Draw onto a DIB section that holds the surface's pixels, which
// are copied back afterwards. A handle keeps the icon's pixels (read out
// with GetIconInfo and GetDIBits), and the HICON is destroyed at once, so
// the program's handles own no system resources.
#pragma once

#include "platform/icon_source.h"

namespace plumage::platform {

class Win32IconSource : public IIconSource {
 public:
  IconHandle ExtractIcon(const std::string& path, int index) override;
  // PrivateExtractIconsW at that size, after ExtractIconW has told an icon
  // file from another.
  IconHandle ExtractIconAtSize(const std::string& path, int index, int size) override;
  IconHandle SmallShellIcon(const std::string& path) override;
  IconHandle LoadIconResource(std::span<const std::uint8_t> icoBytes, int size) override;
  void DrawIcon(Surface24& surface, int x, int y, const IconHandle& icon) override;
  void DrawIconEx(Surface24& surface, int x, int y, const IconHandle& icon, int width,
                  int height) override;
  void DrawSmallIcon(Surface24& surface, int x, int y, const IconHandle& icon) override;
};

}  // namespace plumage::platform
