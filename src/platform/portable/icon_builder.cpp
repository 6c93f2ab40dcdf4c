#include "platform/portable/icon_builder.h"

#include <vector>

#include "platform/portable/icon_drawing.h"

namespace plumage::platform {

using formats::DecodeIconImage;
using formats::IPngCodec;
using formats::IconGroup;
using formats::IconImageInfo;
using formats::IconImageRef;
using formats::PeekIconImage;
using formats::kMaxIconSide;

namespace {

// Windows shows the image it chose or nothing; passing over a damaged image
// to the next best is a kindness, and a bounded one: a directory of
// thousands of damaged images must not stall a listing.
constexpr int kMaxDecodeAttempts = 4;
// Reasons beyond these are counted, not spelled out.
constexpr std::size_t kMaxReasonsShown = 3;

long long Area(const IconImageInfo& i) {
  return static_cast<long long>(i.width) * i.height;
}

}  // namespace

std::size_t ChooseIconImage(std::span<const IconImageInfo> images, int size) {
  // First the size: exact, else the nearest larger, else the nearest smaller.
  std::size_t best = 0;
  auto rank = [size](const IconImageInfo& i) {
    if (i.width == size && i.height == size) return 0;
    if (i.width >= size && i.height >= size) return 1;
    return 2;
  };
  for (std::size_t k = 1; k < images.size(); ++k) {
    const IconImageInfo& a = images[k];
    const IconImageInfo& b = images[best];
    if (rank(a) != rank(b)) {
      if (rank(a) < rank(b)) best = k;
    } else if (rank(a) == 1 ? Area(a) < Area(b) : rank(a) == 2 && Area(a) > Area(b)) {
      best = k;
    }
  }
  // Then the deepest colour among the images of that very size.
  const IconImageInfo chosenSize = images[best];
  for (std::size_t k = 0; k < images.size(); ++k) {
    const IconImageInfo& a = images[k];
    if (a.width == chosenSize.width && a.height == chosenSize.height &&
        a.bitsPerPixel > images[best].bitsPerPixel)
      best = k;
  }
  // The first of the deepest ones.
  for (std::size_t k = 0; k < best; ++k) {
    const IconImageInfo& a = images[k];
    if (a.width == chosenSize.width && a.height == chosenSize.height &&
        a.bitsPerPixel == images[best].bitsPerPixel)
      return k;
  }
  return best;
}

IconHandle BuildIcon(const IconGroup& group, int size, IPngCodec& png) {
  std::vector<std::string> problems;
  std::size_t unshown = 0;
  auto note = [&](std::string problem) {
    if (problems.size() < kMaxReasonsShown)
      problems.push_back(std::move(problem));
    else
      ++unshown;
  };
  for (const std::string& p : group.problems) note(p);
  unshown += group.moreProblems;
  std::vector<IconImageInfo> infos;
  std::vector<const IconImageRef*> refs;
  for (const IconImageRef& ref : group.images) {
    auto info = PeekIconImage(ref.bytes);
    if (!info) {
      note("image " + std::to_string(ref.entry + 1) + ": " + info.error().message);
      continue;
    }
    infos.push_back(*info);
    refs.push_back(&ref);
  }
  for (int attempt = 0; attempt < kMaxDecodeAttempts && !infos.empty(); ++attempt) {
    const std::size_t k = ChooseIconImage(infos, size == kNaturalSize ? kMaxIconSide : size);
    auto bitmap = DecodeIconImage(refs[k]->bytes, png);
    if (bitmap) {
      IconOrigin origin;
      origin.resource = group.name;
      origin.imageCount = group.entryCount;
      origin.imageIndex = refs[k]->entry;
      origin.width = bitmap->width;
      origin.height = bitmap->height;
      origin.bitsPerPixel = infos[k].bitsPerPixel;
      origin.png = infos[k].png;
      if (size == kNaturalSize) return IconHandle(std::move(*bitmap), std::move(origin));
      return IconHandle(ScaleIconBitmap(*bitmap, size, size), std::move(origin));
    }
    note("image " + std::to_string(refs[k]->entry + 1) + ": " + bitmap.error().message);
    infos.erase(infos.begin() + static_cast<std::ptrdiff_t>(k));
    refs.erase(refs.begin() + static_cast<std::ptrdiff_t>(k));
  }
  std::string reason = group.name.empty() ? "the icon" : "icon " + group.name;
  if (group.entryCount == 0 && problems.empty()) return IconHandle::None(reason + " has no image");
  reason += " has no usable image";
  for (std::size_t i = 0; i < problems.size(); ++i) reason += (i ? "; " : ": ") + problems[i];
  if (unshown) reason += "; and " + std::to_string(unshown) + " more";
  return IconHandle::None(reason);
}

}  // namespace plumage::platform
