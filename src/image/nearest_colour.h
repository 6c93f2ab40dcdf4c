// The nearest-colour rule of the palette (ClosestIndex), made fast without
// changing a single answer.
//
// The rule: the first entry that equals the colour; otherwise the lowest
// index of smallest distance |dR| + |dG| + |dB|, counting only distances
// below 765; 0 when there is none. Three exact shortcuts stand in front of
// the search in palette order:
//  - an entry whose colour an earlier entry already has can never be the
//    answer (the earlier one is as near and comes first), so it is dropped;
//  - the colour cube is cut into cells of 32 × 32 × 32; for each cell only
//    the entries that can be nearest to some colour of the cell are searched:
//    an entry whose smallest possible distance to the cell exceeds the
//    largest distance of some other entry to the cell loses everywhere in it;
//  - answers are remembered per full 24-bit colour (the last one, and a
//    direct-mapped cache tagged with the whole colour).
#pragma once

#include <cstdint>
#include <memory>
#include <span>
#include <vector>

namespace plumage::image {

struct PaletteRgb {
  std::uint8_t r = 0, g = 0, b = 0;
  friend bool operator==(const PaletteRgb&, const PaletteRgb&) = default;
};

// The rule as it reads, over entries 1..size (colours[i] is entry i + 1).
// Channel values may be any numbers.
std::int32_t LinearClosestIndex(std::span<const PaletteRgb> colours, std::int64_t red,
                                std::int64_t green, std::int64_t blue);

class NearestColour {
 public:
  explicit NearestColour(std::vector<PaletteRgb> colours);
  ~NearestColour();
  NearestColour(const NearestColour&) = delete;
  NearestColour& operator=(const NearestColour&) = delete;

  // ClosestIndex of a colour of bytes.
  std::int32_t Find(std::uint8_t red, std::uint8_t green, std::uint8_t blue) {
    std::uint32_t key = (std::uint32_t{red} << 16) | (std::uint32_t{green} << 8) | blue;
    if (key == lastKey_) return lastIndex_;
    lastKey_ = key;
    lastIndex_ = Lookup(key);
    return lastIndex_;
  }

  std::size_t size() const { return colours_.size(); }

 private:
  struct Candidate {
    std::uint8_t r, g, b, pad;
    std::int32_t index;  // 1-based
  };
  struct Cell {
    std::uint32_t first = 0;  // its candidates in candidates_
    std::uint32_t count = 0;
    bool built = false;
  };

  std::int32_t Lookup(std::uint32_t key);
  std::int32_t Search(std::uint32_t key);
  void BuildCell(Cell& cell, unsigned cellNumber);

  std::vector<PaletteRgb> colours_;
  // The first entry of each colour, in palette order, as columns padded to
  // whole blocks so that the compiler can work through several at a time.
  std::vector<std::int16_t> red_, green_, blue_;
  std::vector<std::int32_t> index_;
  std::size_t uniqueCount_ = 0;
  std::vector<Cell> cells_;
  std::vector<Candidate> candidates_;
  std::uint32_t lastKey_ = 0xFFFFFFFFu;
  std::int32_t lastIndex_ = 0;
  // Direct-mapped cache: (key + 1) << 32 | index; 0 is an empty slot. It is
  // switched on only after enough searches to pay for itself.
  std::vector<std::uint64_t> cache_;
  std::uint32_t searches_ = 0;
};

}  // namespace plumage::image
