// cPalette: an ordered list of colours, indexed from 1, with the
// nearest-colour search, four built-in palettes, the optimal palette of an
// octree (CreateOptimal), and two file formats:
//  - binary: a signed 32-bit little-endian count, then count entries of
//    red, green, blue and a fourth byte, at a byte position of the caller's
//    choice; a reader takes counts from 1 to 4097;
//  - JASC: text lines "JASC", "0100", the count, then "red green blue" per
//    entry, separated by CR LF, with no line break after the last line.
#pragma once

#include <cstdint>
#include <memory>
#include <span>
#include <string>
#include <string_view>
#include <vector>

#include "image/nearest_colour.h"
#include "image/progress.h"
#include "image/services.h"

namespace plumage::image {

class cDIBSection;

struct PaletteEntry {
  std::uint8_t red = 0, green = 0, blue = 0;
  std::uint8_t fourth = 0;  // never set by the program; kept as a file brought it
  friend bool operator==(const PaletteEntry&, const PaletteEntry&) = default;
};

class cPalette {
 public:
  // The largest count a binary palette file may give (4097, not 4096).
  static constexpr std::int32_t kMaxFileCount = 4097;

  explicit cPalette(const ImageServices& services = {});
  ~cPalette();
  cPalette(const cPalette& other);
  cPalette& operator=(const cPalette& other);

  // InitProgress, Progress and Complete of CreateOptimal.
  ProgressEvents Events;

  void Add(std::uint8_t Red, std::uint8_t Green, std::uint8_t Blue);
  // The index of the nearest entry (1-based), 0 when no entry is nearer
  // than 765 (an empty palette, or black among whites only).
  std::int32_t ClosestIndex(std::int32_t Red, std::int32_t Green, std::int32_t Blue) const;
  std::int32_t Count() const { return static_cast<std::int32_t>(entries_.size()); }
  // Components of entry iIndex (1 to Count); 0 outside that range.
  std::uint8_t Red(std::int32_t iIndex) const { return At(iIndex).red; }
  std::uint8_t Green(std::int32_t iIndex) const { return At(iIndex).green; }
  std::uint8_t Blue(std::int32_t iIndex) const { return At(iIndex).blue; }
  const std::vector<PaletteEntry>& Entries() const { return entries_; }

  void CreateWebSafe();
  void CreateHalfTone();
  void CreateMono();
  void Create16Colour();
  // Replaces the entries with at most PalSize colours of the picture, from
  // an octree nLevels deep. False, with nothing changed, when the picture
  // holds no pixels or nLevels is not 1 to 255.
  bool CreateOptimal(cDIBSection& cDIB, std::int32_t PalSize, std::int32_t nLevels);
  // Frees the octree's node table and empties its free list.
  void EraseNodes();
  void Clear();

  // Binary palette files. Load reads at lPosition (0 or below: the start,
  // and lPosition becomes 0) and advances lPosition past what it read.
  bool Load(const std::string& sFileName);
  bool Load(const std::string& sFileName, std::int32_t& lPosition);
  // The same reading over bytes in memory (lPosition counts into them).
  bool LoadFromBytes(std::span<const std::uint8_t> bytes, std::int32_t& lPosition);
  // Writes at lPosition (when 1 or more; the bytes before it are zero). The
  // file replaces any of that name only once complete.
  bool Save(const std::string& sFileName, std::int32_t lPosition = 0);

  // JASC files. Errors are RunTimeErrors with source = the executable's name
  // followed by ".cPalette".
  bool SaveToJASCFile(const std::string& sFileName);
  bool LoadFromJASCFile(const std::string& sFileName);
  // The JASC reading over text in memory, and the text SaveToJASCFile writes.
  bool LoadFromJASCText(std::string_view text);
  std::string JASCText() const;

  // The octree's state, for tests.
  struct OctreeStats {
    std::int32_t nodeCount = 0;
    std::int32_t leafCount = 0;
    std::int32_t lastSlot = 0;
  };
  OctreeStats Octree() const;

 private:
  struct Node;
  const PaletteEntry& At(std::int32_t iIndex) const;
  // The binary reading over bytes that begin at lPosition.
  bool ReadBinary(std::span<const std::uint8_t> rest, std::int32_t& lPosition);
  void Changed() { nearest_.reset(); }
  std::string ErrorSource() const;

  // Octree steps.
  std::int32_t TakeNode();
  void ReleaseNode(std::int32_t n);
  bool ReduceTree();

  ImageServices services_;
  std::vector<PaletteEntry> entries_;
  mutable std::unique_ptr<NearestColour> nearest_;

  std::vector<Node> nodes_;  // slot 0 unused; slots 1 to size − 1
  std::int32_t nodeCount_ = 0;
  std::int32_t freeList_ = 0;
  std::int32_t leafCount_ = 0;
  std::uint8_t levelCount_ = 0;
  std::vector<std::int32_t> reducible_;  // heads of lists 1 to levelCount_
  std::uint32_t reductions_ = 0;         // successful reductions so far
};

}  // namespace plumage::image
