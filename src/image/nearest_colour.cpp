#include "image/nearest_colour.h"

#include <algorithm>
#include <cstdlib>

namespace plumage::image {
namespace {

constexpr unsigned kCellShift = 5;  // cells of 32 values per channel
constexpr unsigned kCellsPerSide = 256u >> kCellShift;
constexpr unsigned kCellCount = kCellsPerSide * kCellsPerSide * kCellsPerSide;
constexpr unsigned kCacheBits = 12;
// Searches before the cache (32 KiB, small enough to stay near the
// processor) is worth making: a 32 × 32 picture (the
// program's own road) does without it.
constexpr std::uint32_t kCacheAfter = 4096;
// Entries are gone through in blocks of this many when a cell is made.
constexpr std::size_t kBlock = 16;
// A padding entry: farther from every cell than any real entry can be.
constexpr std::int16_t kFar = 1000;

}  // namespace

std::int32_t LinearClosestIndex(std::span<const PaletteRgb> colours, std::int64_t red,
                                std::int64_t green, std::int64_t blue) {
  std::int32_t best = 0;
  std::int64_t bestSum = 765;
  for (std::size_t i = 0; i < colours.size(); ++i) {
    const PaletteRgb& e = colours[i];
    if (e.r == red && e.b == blue && e.g == green) return static_cast<std::int32_t>(i + 1);
    std::int64_t d = std::llabs(red - e.r) + std::llabs(blue - e.b) + std::llabs(green - e.g);
    if (d < bestSum) {
      best = static_cast<std::int32_t>(i + 1);
      bestSum = d;
    }
  }
  return best;
}

NearestColour::NearestColour(std::vector<PaletteRgb> colours) : colours_(std::move(colours)) {
  // An entry whose colour an earlier entry has can never be the answer.
  std::vector<std::uint64_t> keyed;  // colour << 32 | position
  keyed.reserve(colours_.size());
  for (std::size_t i = 0; i < colours_.size(); ++i) {
    const PaletteRgb& c = colours_[i];
    std::uint64_t key = (std::uint64_t{c.r} << 16) | (std::uint64_t{c.g} << 8) | c.b;
    keyed.push_back((key << 32) | i);
  }
  std::sort(keyed.begin(), keyed.end());
  std::vector<std::size_t> firsts;
  for (std::size_t k = 0; k < keyed.size(); ++k)
    if (k == 0 || (keyed[k] >> 32) != (keyed[k - 1] >> 32))
      firsts.push_back(keyed[k] & 0xFFFFFFFFu);
  std::sort(firsts.begin(), firsts.end());
  uniqueCount_ = firsts.size();
  const std::size_t padded = (uniqueCount_ + kBlock - 1) / kBlock * kBlock;
  red_.assign(padded, kFar);
  green_.assign(padded, kFar);
  blue_.assign(padded, kFar);
  index_.assign(padded, 0);
  for (std::size_t u = 0; u < uniqueCount_; ++u) {
    const PaletteRgb& c = colours_[firsts[u]];
    red_[u] = c.r;
    green_[u] = c.g;
    blue_[u] = c.b;
    index_[u] = static_cast<std::int32_t>(firsts[u] + 1);
  }
}

NearestColour::~NearestColour() = default;

std::int32_t NearestColour::Lookup(std::uint32_t key) {
  if (!cache_.empty()) {
    std::uint32_t slot = (key * 0x9E3779B1u) >> (32 - kCacheBits);
    std::uint64_t entry = cache_[slot];
    if ((entry >> 32) == key + 1) return static_cast<std::int32_t>(entry & 0xFFFFFFFFu);
    std::int32_t index = Search(key);
    cache_[slot] = (std::uint64_t{key + 1} << 32) | static_cast<std::uint32_t>(index);
    return index;
  }
  if (++searches_ >= kCacheAfter) cache_.assign(std::size_t{1} << kCacheBits, 0);
  return Search(key);
}

std::int32_t NearestColour::Search(std::uint32_t key) {
  if (uniqueCount_ == 0) return 0;
  const int r = static_cast<int>(key >> 16), g = static_cast<int>((key >> 8) & 0xFF),
            b = static_cast<int>(key & 0xFF);
  if (cells_.empty()) cells_.resize(kCellCount);
  const unsigned cellNumber = ((static_cast<unsigned>(r) >> kCellShift) * kCellsPerSide +
                               (static_cast<unsigned>(g) >> kCellShift)) *
                                  kCellsPerSide +
                              (static_cast<unsigned>(b) >> kCellShift);
  Cell& cell = cells_[cellNumber];
  if (!cell.built) BuildCell(cell, cellNumber);
  // The rule over the cell's candidates, which are in palette order.
  std::int32_t best = 0;
  int bestSum = 765;
  const Candidate* c = candidates_.data() + cell.first;
  for (std::uint32_t i = 0; i < cell.count; ++i) {
    int d = std::abs(r - c[i].r) + std::abs(b - c[i].b) + std::abs(g - c[i].g);
    if (d < bestSum) {
      if (d == 0) return c[i].index;
      best = c[i].index;
      bestSum = d;
    }
  }
  return best;
}

void NearestColour::BuildCell(Cell& cell, unsigned cellNumber) {
  const int side = 1 << kCellShift;
  const auto lo = [&](unsigned n) { return static_cast<std::int16_t>(static_cast<int>(n) * side); };
  const std::int16_t rlo = lo(cellNumber / (kCellsPerSide * kCellsPerSide)),
                     glo = lo((cellNumber / kCellsPerSide) % kCellsPerSide),
                     blo = lo(cellNumber % kCellsPerSide);
  const auto rhi = static_cast<std::int16_t>(rlo + side - 1),
             ghi = static_cast<std::int16_t>(glo + side - 1),
             bhi = static_cast<std::int16_t>(blo + side - 1);
  const std::size_t padded = red_.size();
  // Every colour of the cell has an entry at most `bound` away (the least,
  // over the entries, of the farthest distance to the cell); an entry whose
  // nearest distance to the cell exceeds it never wins there. Whole blocks
  // without branches, for vector code.
  std::int16_t lanes[kBlock];
  for (std::size_t k = 0; k < kBlock; ++k) lanes[k] = 0x7FFF;
  auto far = [](std::int16_t c, std::int16_t l, std::int16_t h) {
    std::int16_t a = static_cast<std::int16_t>(h - c), b = static_cast<std::int16_t>(c - l);
    return a > b ? a : b;
  };
  auto near = [](std::int16_t c, std::int16_t l, std::int16_t h) {
    std::int16_t below = static_cast<std::int16_t>(l - c), above = static_cast<std::int16_t>(c - h);
    return static_cast<std::int16_t>((below > 0 ? below : 0) + (above > 0 ? above : 0));
  };
  for (std::size_t at = 0; at < padded; at += kBlock)
    for (std::size_t k = 0; k < kBlock; ++k) {
      auto f =
          static_cast<std::int16_t>(far(red_[at + k], rlo, rhi) + far(green_[at + k], glo, ghi) +
                                    far(blue_[at + k], blo, bhi));
      lanes[k] = f < lanes[k] ? f : lanes[k];
    }
  std::int16_t bound = 0x7FFF;
  for (std::size_t k = 0; k < kBlock; ++k) bound = lanes[k] < bound ? lanes[k] : bound;
  cell.first = static_cast<std::uint32_t>(candidates_.size());
  const std::int16_t* R = red_.data();
  const std::int16_t* G = green_.data();
  const std::int16_t* B = blue_.data();
  for (std::size_t at = 0; at < padded; at += kBlock) {
    std::int16_t nearest[kBlock];
    for (std::size_t k = 0; k < kBlock; ++k)
      nearest[k] = static_cast<std::int16_t>(near(R[at + k], rlo, rhi) + near(G[at + k], glo, ghi) +
                                             near(B[at + k], blo, bhi));
    for (std::size_t k = 0; k < kBlock; ++k)
      if (nearest[k] <= bound)  // padding entries never are
        candidates_.push_back(Candidate{static_cast<std::uint8_t>(R[at + k]),
                                        static_cast<std::uint8_t>(G[at + k]),
                                        static_cast<std::uint8_t>(B[at + k]), 0, index_[at + k]});
  }
  cell.count = static_cast<std::uint32_t>(candidates_.size()) - cell.first;
  cell.built = true;
}

}  // namespace plumage::image
