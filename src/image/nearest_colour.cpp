#include "image/nearest_colour.h"

#include <algorithm>
#include <cstdlib>
#include <unordered_set>

namespace plumage::image {
namespace {

constexpr unsigned kCellShift = 5;  // cells of 32 values per channel
constexpr unsigned kCellsPerSide = 256u >> kCellShift;
constexpr unsigned kCellCount = kCellsPerSide * kCellsPerSide * kCellsPerSide;
constexpr unsigned kCacheBits = 16;
// Searches before the cache is worth its 512 KiB: a 32 × 32 picture (the
// program's own road) mostly does without it.
constexpr std::uint32_t kCacheAfter = 4096;

// Distance from c to the nearest and to the farthest value of [lo, hi].
inline int NearDistance(int c, int lo, int hi) { return c < lo ? lo - c : (c > hi ? c - hi : 0); }
inline int FarDistance(int c, int lo, int hi) { return std::max(std::abs(c - lo), std::abs(c - hi)); }

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

NearestColour::NearestColour(std::vector<PaletteRgb> colours)
    : colours_(std::move(colours)), cells_(new Cell[kCellCount]) {
  std::unordered_set<std::uint32_t> seen;
  seen.reserve(colours_.size() * 2);
  for (std::size_t i = 0; i < colours_.size(); ++i) {
    const PaletteRgb& c = colours_[i];
    std::uint32_t key = (std::uint32_t{c.r} << 16) | (std::uint32_t{c.g} << 8) | c.b;
    if (seen.insert(key).second)
      unique_.push_back(Candidate{c.r, c.g, c.b, 0, static_cast<std::int32_t>(i + 1)});
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
  if (unique_.empty()) return 0;
  const int r = static_cast<int>(key >> 16), g = static_cast<int>((key >> 8) & 0xFF),
            b = static_cast<int>(key & 0xFF);
  unsigned cellNumber = ((static_cast<unsigned>(r) >> kCellShift) * kCellsPerSide +
                         (static_cast<unsigned>(g) >> kCellShift)) *
                            kCellsPerSide +
                        (static_cast<unsigned>(b) >> kCellShift);
  Cell& cell = cells_[cellNumber];
  if (!cell.built) BuildCell(cell, cellNumber);
  std::int32_t best = 0;
  int bestSum = 765;
  for (const Candidate& c : cell.list) {
    int d = std::abs(r - c.r) + std::abs(b - c.b) + std::abs(g - c.g);
    if (d < bestSum) {
      if (d == 0) return c.index;
      best = c.index;
      bestSum = d;
    }
  }
  return best;
}

void NearestColour::BuildCell(Cell& cell, unsigned cellNumber) const {
  const unsigned side = 1u << kCellShift;
  const int rlo = static_cast<int>((cellNumber / (kCellsPerSide * kCellsPerSide)) * side);
  const int glo = static_cast<int>(((cellNumber / kCellsPerSide) % kCellsPerSide) * side);
  const int blo = static_cast<int>((cellNumber % kCellsPerSide) * side);
  const int rhi = rlo + static_cast<int>(side) - 1, ghi = glo + static_cast<int>(side) - 1,
            bhi = blo + static_cast<int>(side) - 1;
  // Every colour of the cell has an entry at most `bound` away.
  int bound = 1 << 30;
  for (const Candidate& c : unique_)
    bound = std::min(bound, FarDistance(c.r, rlo, rhi) + FarDistance(c.g, glo, ghi) +
                                FarDistance(c.b, blo, bhi));
  for (const Candidate& c : unique_)
    if (NearDistance(c.r, rlo, rhi) + NearDistance(c.g, glo, ghi) + NearDistance(c.b, blo, bhi) <=
        bound)
      cell.list.push_back(c);
  cell.built = true;
}

}  // namespace plumage::image
