// IIconSource for a build without Windows: reads .ico, PE and NE files itself
// and draws on 24-bit surfaces. It keeps the last file it parsed, keyed by
// path, size and modification time, so that listing a file's icons one
// index at a time reads and parses the file once.
#pragma once

#include <cstdint>
#include <filesystem>
#include <memory>
#include <string>
#include <vector>

#include "platform/icon_source.h"
#include "formats/icons/icon_file.h"
#include "formats/png_codec.h"

namespace plumage::platform {

// Files larger than this are not read: the biggest icon libraries Windows
// ships are tens of MiB, and a whole file is held in memory while listed.
inline constexpr std::uintmax_t kMaxIconSourceBytes = 256 * 1024 * 1024;

class FileIconSource : public IIconSource {
 public:
  explicit FileIconSource(formats::IPngCodec& png) : png_(png) {}

  IconHandle ExtractIcon(const std::string& path, int index) override;
  IconHandle ExtractIconAtSize(const std::string& path, int index, int size) override;
  IconHandle SmallShellIcon(const std::string& path) override;
  IconHandle LoadIconResource(std::span<const std::uint8_t> icoBytes, int size) override;
  void DrawIcon(Surface24& surface, int x, int y, const IconHandle& icon) override;
  void DrawIconEx(Surface24& surface, int x, int y, const IconHandle& icon, int width,
                  int height) override;
  void DrawSmallIcon(Surface24& surface, int x, int y, const IconHandle& icon) override;

  // Icon `index` of the file (numbered as ExtractIcon numbers them) at the
  // size of its largest image, unscaled: what a file manager gets to show
  // at any size it likes.
  IconHandle ExtractLargestIcon(const std::string& path, int index);

  // How many times a file was read and parsed (the cache at work).
  int filesParsed() const { return filesParsed_; }

 private:
  struct ParsedFile {
    std::string path;
    std::uintmax_t size = 0;
    std::filesystem::file_time_type modified;
    std::vector<std::uint8_t> bytes;  // the icons' spans point into these
    Result<formats::IconFile> icons = MakeError(ErrorKind::NotFound, "not read");
  };
  // The parsed file, or None / NotIconFile with the reason.
  const ParsedFile* Open(const std::string& path, IconHandle& failure);
  IconHandle IconAt(const std::string& path, int index, int size);

  formats::IPngCodec& png_;
  std::unique_ptr<ParsedFile> cached_;
  int filesParsed_ = 0;
};

}  // namespace plumage::platform
