#include "ui/win32/artwork.h"

#include "ui/win32/picture_file.h"
#include "ui/win32/window_kit.h"

namespace plumage::win32 {

plumage::Surface24 LoadPicture(int id) {
  HMODULE module = GetModuleHandleW(nullptr);
  HRSRC found = FindResourceW(module, MAKEINTRESOURCEW(id), MAKEINTRESOURCEW(10) /* RT_RCDATA */);
  if (!found) return {};
  HGLOBAL loaded = LoadResource(module, found);
  const void* data = loaded ? LockResource(loaded) : nullptr;
  if (!data) return {};
  const COLORREF face = GetSysColor(COLOR_BTNFACE);
  return CompositeBitmapFile(std::span<const std::uint8_t>(static_cast<const std::uint8_t*>(data),
                                                           SizeofResource(module, found)),
                             plumage::Rgb{GetRValue(face), GetGValue(face), GetBValue(face)});
}

}  // namespace plumage::win32
