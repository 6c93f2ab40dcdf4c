#include "platform/portable/file_icon_source.h"

#include <fstream>

#include "base/codepage.h"
#include "platform/portable/generic_application_icon.h"
#include "formats/icons/ico_writer.h"
#include "platform/portable/icon_builder.h"
#include "platform/portable/icon_drawing.h"

namespace plumage::platform {

using formats::IconBitmap;

namespace {

// Paths are UTF-8 inside the program.
std::filesystem::path PathOf(const std::string& utf8) {
  return std::filesystem::path(std::u8string(utf8.begin(), utf8.end()));
}

bool HasExeExtension(const std::string& path) {
  return path.size() >= 4 &&
         EqualsIgnoreCase(std::string_view(path).substr(path.size() - 4), ".exe");
}

}  // namespace

const FileIconSource::ParsedFile* FileIconSource::Open(const std::string& path,
                                                       IconHandle& failure) {
  std::error_code ec;
  const std::filesystem::path p = PathOf(path);
  const auto status = std::filesystem::status(p, ec);
  if (ec || !std::filesystem::exists(status)) {
    failure = IconHandle::None(path + ": no such file");
    return nullptr;
  }
  if (!std::filesystem::is_regular_file(status)) {
    failure = IconHandle::None(path + ": not a file");
    return nullptr;
  }
  const std::uintmax_t size = std::filesystem::file_size(p, ec);
  if (ec) {
    failure = IconHandle::None(path + ": " + ec.message());
    return nullptr;
  }
  const auto modified = std::filesystem::last_write_time(p, ec);
  if (ec) {
    failure = IconHandle::None(path + ": " + ec.message());
    return nullptr;
  }
  if (cached_ && cached_->path == path && cached_->size == size && cached_->modified == modified)
    return cached_.get();

  cached_.reset();
  if (size > kMaxIconSourceBytes) {
    failure = IconHandle::None(path + ": " + std::to_string(size) +
                               " bytes is more than an icon source this program reads");
    return nullptr;
  }
  auto parsed = std::make_unique<ParsedFile>();
  parsed->path = path;
  parsed->size = size;
  parsed->modified = modified;
  parsed->bytes.resize(static_cast<std::size_t>(size));
  std::ifstream in(p, std::ios::binary);
  if (!in || !in.read(reinterpret_cast<char*>(parsed->bytes.data()),
                      static_cast<std::streamsize>(parsed->bytes.size()))) {
    failure = IconHandle::None(path + ": cannot be read");
    return nullptr;
  }
  ++filesParsed_;
  parsed->icons = formats::ParseIconFile(parsed->bytes);
  cached_ = std::move(parsed);
  return cached_.get();
}

IconHandle FileIconSource::IconAt(const std::string& path, int index, int size) {
  IconHandle failure;
  const ParsedFile* file = Open(path, failure);
  if (!file) return failure;
  if (!file->icons) return IconHandle::None(path + ": " + file->icons.error().message);
  const formats::IconFile& icons = *file->icons;
  if (icons.kind == formats::IconFileKind::NotIconFile)
    return IconHandle::NotIconFile(path + ": not an icon file, executable or library");

  const formats::IconGroup* group = formats::GroupAtIndex(icons, index);
  if (!group) {
    const std::size_t count = icons.groups.size();
    return IconHandle::None(path + ": no icon at index " + std::to_string(index) +
                            " (the file holds " + std::to_string(count) +
                            (count == 1 ? " icon)" : " icons)"));
  }
  IconHandle icon = platform::BuildIcon(*group, size, png_);
  if (!icon.IsIcon()) return IconHandle::None(path + ": " + icon.reason());
  return icon;
}

IconHandle FileIconSource::ExtractIcon(const std::string& path, int index) {
  return IconAt(path, index, kIconSize);
}

IconHandle FileIconSource::ExtractIconAtSize(const std::string& path, int index, int size) {
  return IconAt(path, index, size);
}

IconHandle FileIconSource::ExtractLargestIcon(const std::string& path, int index) {
  return IconAt(path, index, platform::kNaturalSize);
}

IconHandle FileIconSource::SmallShellIcon(const std::string& path) {
  IconHandle icon = IconAt(path, 0, kSmallIconSize);
  if (icon.IsIcon()) return icon;
  std::error_code ec;
  // The shell gives every application it finds the generic icon when the
  // program has none of its own (or is no program it can read).
  if (HasExeExtension(path) && std::filesystem::is_regular_file(PathOf(path), ec)) {
    IconHandle generic = LoadIconResource(kGenericApplicationIco, kSmallIconSize);
    if (!generic.IsIcon()) return generic;
    IconOrigin origin = generic.origin();
    origin.generic = true;
    IconBitmap bitmap = generic.bitmap();
    return IconHandle(std::move(bitmap), std::move(origin));
  }
  if (icon.status() == IconStatus::NotIconFile) return IconHandle::None(icon.reason());
  return icon;
}

IconHandle FileIconSource::LoadIconResource(std::span<const std::uint8_t> icoBytes, int size) {
  auto file = formats::ReadIcoFile(icoBytes);
  if (!file) return IconHandle::None("icon resource: " + file.error().message);
  if (file->groups.empty()) return IconHandle::None("icon resource: no icon");
  return platform::BuildIcon(file->groups.front(), size, png_);
}

void FileIconSource::DrawIcon(Surface24& surface, int x, int y, const IconHandle& icon) {
  DrawIconEx(surface, x, y, icon, kIconSize, kIconSize);
}

void FileIconSource::DrawIconEx(Surface24& surface, int x, int y, const IconHandle& icon, int width,
                                int height) {
  if (!icon.IsIcon()) return;
  platform::DrawIconBitmap(surface, x, y, icon.bitmap(), width, height);
}

void FileIconSource::DrawSmallIcon(Surface24& surface, int x, int y, const IconHandle& icon) {
  DrawIconEx(surface, x, y, icon, kSmallIconSize, kSmallIconSize);
}

}  // namespace plumage::platform
