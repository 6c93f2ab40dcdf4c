#include "platform/win32/win32_icon_source.h"

#include <windows.h>
#include <commctrl.h>
#include <objbase.h>
#include <shellapi.h>
// shellapi.h names ExtractIconW ExtractIcon, the interface's method.
#undef ExtractIcon

#include <cstring>
#include <vector>

#include "base/byte_reader.h"
#include "platform/win32/win32_text.h"

namespace plumage::platform {

using formats::IconBitmap;
using formats::Rgba;

namespace {

// Icons larger than this are no icons the shell hands out.
constexpr int kMaxIconSide = 1024;

BITMAPINFO TopDown32(int width, int height) {
  BITMAPINFO info{};
  info.bmiHeader.biSize = sizeof(BITMAPINFOHEADER);
  info.bmiHeader.biWidth = width;
  info.bmiHeader.biHeight = -height;
  info.bmiHeader.biPlanes = 1;
  info.bmiHeader.biBitCount = 32;
  info.bmiHeader.biCompression = BI_RGB;
  return info;
}

// The pixels of an icon handle: its colour image and AND mask, read with
// GetIconInfo and GetDIBits. The handle is not destroyed here.
bool ReadIconPixels(HICON icon, IconBitmap& out) {
  ICONINFO info{};
  if (!GetIconInfo(icon, &info)) return false;
  BITMAP mask{};
  bool ok = info.hbmMask && GetObjectW(info.hbmMask, sizeof mask, &mask) == sizeof mask;
  const bool monochrome = info.hbmColor == nullptr;
  const int width = ok ? mask.bmWidth : 0;
  // A monochrome icon keeps its AND and XOR images one above the other.
  const int height = ok ? (monochrome ? mask.bmHeight / 2 : mask.bmHeight) : 0;
  ok = ok && width > 0 && height > 0 && width <= kMaxIconSide && height <= kMaxIconSide;
  const std::size_t pixels = ok ? static_cast<std::size_t>(width) * height : 0;
  std::vector<std::uint32_t> maskBits(pixels * (monochrome ? 2 : 1));
  std::vector<std::uint32_t> colorBits(pixels);
  HDC dc = CreateCompatibleDC(nullptr);
  if (ok) {
    BITMAPINFO bi = TopDown32(width, monochrome ? height * 2 : height);
    ok = GetDIBits(dc, info.hbmMask, 0, static_cast<UINT>(monochrome ? height * 2 : height),
                   maskBits.data(), &bi, DIB_RGB_COLORS) != 0;
  }
  if (ok && !monochrome) {
    BITMAPINFO bi = TopDown32(width, height);
    ok = GetDIBits(dc, info.hbmColor, 0, static_cast<UINT>(height), colorBits.data(), &bi,
                   DIB_RGB_COLORS) != 0;
  }
  if (ok && monochrome)
    std::memcpy(colorBits.data(), maskBits.data() + pixels, pixels * sizeof(std::uint32_t));
  DeleteDC(dc);
  if (info.hbmMask) DeleteObject(info.hbmMask);
  if (info.hbmColor) DeleteObject(info.hbmColor);
  if (!ok) return false;

  out.width = width;
  out.height = height;
  out.color.resize(pixels);
  out.mask.resize(pixels);
  out.hasAlpha = false;
  for (std::size_t i = 0; i < pixels; ++i) {
    const std::uint32_t c = colorBits[i];
    out.color[i] = Rgba{static_cast<std::uint8_t>(c >> 16), static_cast<std::uint8_t>(c >> 8),
                        static_cast<std::uint8_t>(c), static_cast<std::uint8_t>(c >> 24)};
    out.mask[i] = (maskBits[i] & 0xFFFFFFu) != 0 ? 1 : 0;
    if (!monochrome && (c >> 24) != 0) out.hasAlpha = true;
  }
  if (!out.hasAlpha)
    for (auto& c : out.color) c.a = 0;
  return true;
}

// An icon handle made from the pixels a handle of ours holds; the caller
// destroys it.
HICON MakeIcon(const IconBitmap& bitmap) {
  const int w = bitmap.width, h = bitmap.height;
  const std::size_t pixels = static_cast<std::size_t>(w) * h;
  if (w <= 0 || h <= 0 || bitmap.color.size() < pixels || bitmap.mask.size() < pixels)
    return nullptr;
  BITMAPINFO bi = TopDown32(w, h);
  void* bits = nullptr;
  HBITMAP color = CreateDIBSection(nullptr, &bi, DIB_RGB_COLORS, &bits, nullptr, 0);
  if (!color || !bits) {
    if (color) DeleteObject(color);
    return nullptr;
  }
  auto* out = static_cast<std::uint32_t*>(bits);
  for (std::size_t i = 0; i < pixels; ++i) {
    const Rgba& c = bitmap.color[i];
    const std::uint32_t alpha = bitmap.hasAlpha ? c.a : 0;
    out[i] = (alpha << 24) | (static_cast<std::uint32_t>(c.r) << 16) |
             (static_cast<std::uint32_t>(c.g) << 8) | c.b;
  }
  // A monochrome bitmap's rows are padded to 16 bits; bit 1 is the set AND bit.
  const int stride = ((w + 15) / 16) * 2;
  std::vector<std::uint8_t> maskBits(static_cast<std::size_t>(stride) * h, 0);
  for (int y = 0; y < h; ++y)
    for (int x = 0; x < w; ++x)
      if (bitmap.mask[static_cast<std::size_t>(y) * w + x])
        maskBits[static_cast<std::size_t>(y) * stride + x / 8] |=
            static_cast<std::uint8_t>(0x80 >> (x % 8));
  HBITMAP mask = CreateBitmap(w, h, 1, 1, maskBits.data());
  HICON icon = nullptr;
  if (mask) {
    ICONINFO info{};
    info.fIcon = TRUE;
    info.hbmMask = mask;
    info.hbmColor = color;
    icon = CreateIconIndirect(&info);
    DeleteObject(mask);
  }
  DeleteObject(color);
  return icon;
}

// The pixels of `icon`, which is destroyed; None when it holds none.
IconHandle TakeIcon(HICON icon, IconOrigin origin, const std::string& where) {
  IconBitmap bitmap;
  bool ok = ReadIconPixels(icon, bitmap);
  DestroyIcon(icon);
  if (!ok) return IconHandle::None(where + ": the icon's pixels cannot be read");
  origin.width = origin.width ? origin.width : bitmap.width;
  origin.height = origin.height ? origin.height : bitmap.height;
  return IconHandle(std::move(bitmap), std::move(origin));
}

// Runs `draw` on a memory device context that holds a DIB section with the
// surface's pixels, then copies the pixels back. A Surface24 has a bottom-up
// 24-bit DIB's very layout, so both copies are one block each.
template <typename Draw>
void DrawOnSurface(Surface24& surface, Draw&& draw) {
  if (surface.empty()) return;
  BITMAPINFO bi{};
  bi.bmiHeader.biSize = sizeof(BITMAPINFOHEADER);
  bi.bmiHeader.biWidth = surface.width();
  bi.bmiHeader.biHeight = surface.height();
  bi.bmiHeader.biPlanes = 1;
  bi.bmiHeader.biBitCount = 24;
  bi.bmiHeader.biCompression = BI_RGB;
  HDC screen = GetDC(nullptr);
  HDC dc = CreateCompatibleDC(screen);
  ReleaseDC(nullptr, screen);
  if (!dc) return;
  void* bits = nullptr;
  HBITMAP section = CreateDIBSection(dc, &bi, DIB_RGB_COLORS, &bits, nullptr, 0);
  if (section && bits) {
    std::memcpy(bits, surface.bits(), surface.size_bytes());
    HGDIOBJ previous = SelectObject(dc, section);
    draw(dc);
    GdiFlush();
    std::memcpy(surface.bits(), bits, surface.size_bytes());
    SelectObject(dc, previous);
  }
  if (section) DeleteObject(section);
  DeleteDC(dc);
}

}  // namespace

IconHandle Win32IconSource::ExtractIcon(const std::string& path, int index) {
  return ExtractIconAtSize(path, index, kIconSize);
}

IconHandle Win32IconSource::ExtractIconAtSize(const std::string& path, int index, int size) {
  if (size <= 0 || size > kMaxIconSide) return IconHandle::None(path + ": no icon of that size");
  // ExtractIconW(..., -1) answers the number of icons, not an icon.
  if (index == -1) return IconHandle::None(path + ": no icon at index -1");
  const std::wstring wide = Utf8ToWide(path);
  HICON icon = ExtractIconW(nullptr, wide.c_str(), static_cast<UINT>(index));
  if (icon == nullptr) return IconHandle::None(path + ": no icon at index " + std::to_string(index));
  if (reinterpret_cast<ULONG_PTR>(icon) == 1)
    return IconHandle::NotIconFile(path + ": not an icon file, executable or library");
  // ExtractIcon gives the system's icon size, 64 × 64 to a DPI-aware
  // program on a 200 % display; the program means the image the file's
  // directory offers for the size asked (32 × 32 unless said otherwise).
  HICON sized = nullptr;
  if (PrivateExtractIconsW(wide.c_str(), index, size, size, &sized, nullptr, 1, 0) == 1 && sized) {
    DestroyIcon(icon);
    icon = sized;
  }
  return TakeIcon(icon, IconOrigin{}, path);
}

IconHandle Win32IconSource::SmallShellIcon(const std::string& path) {
  // The shell asks for COM on the calling thread.
  HRESULT com = CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED);
  SHFILEINFOW info{};
  auto list = reinterpret_cast<HIMAGELIST>(SHGetFileInfoW(
      Utf8ToWide(path).c_str(), 0, &info, sizeof info, SHGFI_SYSICONINDEX | SHGFI_SMALLICON));
  HICON icon = list ? ImageList_GetIcon(list, info.iIcon, ILD_TRANSPARENT) : nullptr;
  if (SUCCEEDED(com)) CoUninitialize();
  if (!list) return IconHandle::None(path + ": the shell has no icon for it");
  if (!icon) return IconHandle::None(path + ": the shell's icon cannot be read");
  return TakeIcon(icon, IconOrigin{}, path);
}

IconHandle Win32IconSource::LoadIconResource(std::span<const std::uint8_t> icoBytes, int size) {
  // An .ico file's directory entries hold offsets (16 bytes each); the
  // resource form LookupIconIdFromDirectoryEx reads holds numbers (14 bytes).
  ByteReader reader(icoBytes);
  auto reserved = reader.U16();
  auto type = reader.U16();
  auto count = reader.U16();
  if (!reserved || !type || !count || *reserved != 0 || *type != 1 || *count == 0)
    return IconHandle::None("icon resource: not an icon file");
  std::vector<std::uint8_t> directory(6 + 14u * *count);
  std::memcpy(directory.data(), icoBytes.data(), 6);
  struct Image {
    std::uint32_t offset, size;
  };
  std::vector<Image> images;
  for (std::uint16_t i = 0; i < *count; ++i) {
    auto entry = reader.Bytes(16);
    if (!entry) return IconHandle::None("icon resource: the directory is cut short");
    ByteReader e(*entry);
    auto skipped = e.Skip(8);
    auto size32 = e.U32();
    auto offset32 = e.U32();
    if (!skipped || !size32 || !offset32) return IconHandle::None("icon resource: bad directory");
    const std::uint32_t bytes = *size32, offset = *offset32;
    if (offset > icoBytes.size() || bytes > icoBytes.size() - offset || bytes < 40)
      return IconHandle::None("icon resource: image " + std::to_string(i) +
                              " lies outside the file");
    images.push_back({offset, bytes});
    std::uint8_t* d = directory.data() + 6 + 14u * i;
    std::memcpy(d, entry->data(), 12);
    d[12] = static_cast<std::uint8_t>((i + 1) & 0xFF);
    d[13] = static_cast<std::uint8_t>((i + 1) >> 8);
  }
  int id = LookupIconIdFromDirectoryEx(directory.data(), TRUE, size, size, LR_DEFAULTCOLOR);
  if (id <= 0 || id > static_cast<int>(images.size()))
    return IconHandle::None("icon resource: no image fits " + std::to_string(size) + " pixels");
  const Image& chosen = images[static_cast<std::size_t>(id - 1)];
  HICON icon = CreateIconFromResourceEx(const_cast<PBYTE>(icoBytes.data() + chosen.offset),
                                        chosen.size, TRUE, 0x00030000, size, size, LR_DEFAULTCOLOR);
  if (!icon) return IconHandle::None("icon resource: the chosen image cannot be read");
  return TakeIcon(icon, IconOrigin{}, "icon resource");
}

void Win32IconSource::DrawIcon(Surface24& surface, int x, int y, const IconHandle& icon) {
  if (!icon.IsIcon()) return;
  HICON h = MakeIcon(icon.bitmap());
  if (!h) return;
  // 32 × 32 as the program means it: DrawIcon draws at the system's icon
  // size, which a DPI-aware program on a 200 % display sees as 64 × 64.
  DrawOnSurface(surface, [&](HDC dc) {
    ::DrawIconEx(dc, x, y, h, kIconSize, kIconSize, 0, nullptr, DI_NORMAL);
  });
  DestroyIcon(h);
}

void Win32IconSource::DrawIconEx(Surface24& surface, int x, int y, const IconHandle& icon,
                                 int width, int height) {
  if (!icon.IsIcon() || width <= 0 || height <= 0) return;
  HICON h = MakeIcon(icon.bitmap());
  if (!h) return;
  DrawOnSurface(surface,
                [&](HDC dc) { ::DrawIconEx(dc, x, y, h, width, height, 0, nullptr, DI_NORMAL); });
  DestroyIcon(h);
}

void Win32IconSource::DrawSmallIcon(Surface24& surface, int x, int y, const IconHandle& icon) {
  if (!icon.IsIcon()) return;
  HICON h = MakeIcon(icon.bitmap());
  if (!h) return;
  HIMAGELIST list = ImageList_Create(kSmallIconSize, kSmallIconSize, ILC_COLOR32 | ILC_MASK, 1, 1);
  if (list && ImageList_AddIcon(list, h) == 0)
    DrawOnSurface(surface, [&](HDC dc) { ImageList_Draw(list, 0, dc, x, y, ILD_TRANSPARENT); });
  if (list) ImageList_Destroy(list);
  DestroyIcon(h);
}

}  // namespace plumage::platform
