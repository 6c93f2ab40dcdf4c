#include "platform/posix/png_codec_libpng.h"

#include <png.h>

#include <cstring>

namespace plumage::platform {

using formats::RgbaImage;
using formats::kMaxPngSide;
using formats::LooksLikePng;

Result<RgbaImage> LibPngCodec::Decode(std::span<const std::uint8_t> bytes) {
  if (!LooksLikePng(bytes)) return MakeError(ErrorKind::Invalid, "PNG: no PNG signature");
  png_image image;
  std::memset(&image, 0, sizeof image);
  image.version = PNG_IMAGE_VERSION;
  if (!png_image_begin_read_from_memory(&image, bytes.data(), bytes.size())) {
    std::string why = image.message;
    png_image_free(&image);
    return MakeError(ErrorKind::Invalid, "PNG: " + why);
  }
  if (image.width == 0 || image.height == 0 || image.width > kMaxPngSide ||
      image.height > kMaxPngSide) {
    png_image_free(&image);
    return MakeError(ErrorKind::Unsupported, "PNG: " + std::to_string(image.width) + " x " +
                                                 std::to_string(image.height) +
                                                 " is outside the sizes this program reads");
  }
  image.format = PNG_FORMAT_RGBA;
  RgbaImage out;
  out.width = static_cast<int>(image.width);
  out.height = static_cast<int>(image.height);
  out.rgba.resize(PNG_IMAGE_SIZE(image));
  if (!png_image_finish_read(&image, nullptr, out.rgba.data(), 0, nullptr)) {
    std::string why = image.message;
    png_image_free(&image);
    return MakeError(ErrorKind::Invalid, "PNG: " + why);
  }
  png_image_free(&image);
  return out;
}

Result<std::vector<std::uint8_t>> LibPngCodec::Encode(const RgbaImage& image) {
  if (image.width <= 0 || image.height <= 0 ||
      image.rgba.size() != static_cast<std::size_t>(image.width) * image.height * 4)
    return MakeError(ErrorKind::Invalid, "PNG: the picture's size does not match its pixels");
  png_image info;
  std::memset(&info, 0, sizeof info);
  info.version = PNG_IMAGE_VERSION;
  info.width = static_cast<png_uint_32>(image.width);
  info.height = static_cast<png_uint_32>(image.height);
  info.format = PNG_FORMAT_RGBA;
  png_alloc_size_t size = 0;
  if (!png_image_write_to_memory(&info, nullptr, &size, 0, image.rgba.data(), 0, nullptr))
    return MakeError(ErrorKind::Io, std::string("PNG: ") + info.message);
  std::vector<std::uint8_t> out(size);
  if (!png_image_write_to_memory(&info, out.data(), &size, 0, image.rgba.data(), 0, nullptr))
    return MakeError(ErrorKind::Io, std::string("PNG: ") + info.message);
  out.resize(size);
  return out;
}

}  // namespace plumage::platform
