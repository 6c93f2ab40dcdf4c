// CreateOptimal: the octree palette. Every pixel is sorted into a tree over
// the colour cube; whenever the tree holds more leaves than the palette may
// have colours, the deepest branch made last is folded into a leaf; at the
// end each leaf, in the order of the node slots, gives one colour: the
// average of the pixels that reached it.
#include <vector>

#include "image/dib_section.h"
#include "image/palette.h"
#include "image/palette_internal.h"
#include "image/rounding.h"

namespace plumage::image {
namespace {

constexpr const char* kReduceFailed = "Error in reducing nodes";
constexpr std::int32_t kFirstTableSlots = 50;
// Paths are remembered for trees up to 8 levels deep (24 bits of path), in
// a direct-mapped table of 4096 slots (48 KiB).
constexpr std::int32_t kMaxCachedLevels = 8;
constexpr unsigned kPathBits = 12;
constexpr std::size_t kPathSlots = std::size_t{1} << kPathBits;
// Pixels before the table is worth making.
constexpr std::int64_t kPathCacheAfter = 16384;

// The child bit of every channel value at every level. A channel's range
// narrows with its own bits only (0 to 255 splits at 128, then at 64 or 192,
// the two halves sharing the value at the split), so the bit a value takes
// at a level depends on the value alone.
std::vector<std::uint8_t> LevelBits(int levels) {
  std::vector<std::uint8_t> bits(static_cast<std::size_t>(levels) * 256);
  for (int v = 0; v < 256; ++v) {
    std::int32_t lo = 0, hi = 255;
    for (int level = 0; level < levels; ++level) {
      std::int32_t mid = RoundHalfEvenToInt(lo / 2.0 + hi / 2.0);
      bool upper = v > mid;
      bits[static_cast<std::size_t>(level) * 256 + static_cast<std::size_t>(v)] = upper ? 1 : 0;
      if (upper)
        lo = mid;
      else
        hi = mid;
    }
  }
  return bits;
}

}  // namespace

std::int32_t cPalette::TakeNode() {
  ++nodeCount_;
  if (freeList_ != 0) {
    std::int32_t n = freeList_;
    Node& node = nodes_[static_cast<std::size_t>(n)];
    freeList_ = node.next;
    for (auto& c : node.children) c = 0;
    return n;
  }
  std::int32_t n = nodeCount_;
  if (static_cast<std::size_t>(n) >= nodes_.size()) {
    // Grows by a tenth; the slot count is what the final walk goes over.
    auto slots = static_cast<std::size_t>(RoundHalfEven(static_cast<double>(nodeCount_) * 1.1));
    nodes_.resize(slots + 1);
  }
  return n;
}

void cPalette::ReleaseNode(std::int32_t n) {
  Node& node = nodes_[static_cast<std::size_t>(n)];
  node.next = freeList_;
  freeList_ = n;
  node.leaf = false;
  node.listed = false;
  --nodeCount_;
}

bool cPalette::ReduceTree() {
  std::int32_t level = levelCount_;
  while (level >= 1 && reducible_[static_cast<std::size_t>(level)] == 0) --level;
  if (level == 0) return false;
  const std::int32_t n = reducible_[static_cast<std::size_t>(level)];
  reducible_[static_cast<std::size_t>(level)] = nodes_[static_cast<std::size_t>(n)].next;
  std::int64_t red = 0, green = 0, blue = 0;
  std::int32_t count = 0;
  for (int c = 0; c < 8; ++c) {
    std::int32_t child = nodes_[static_cast<std::size_t>(n)].children[c];
    if (child == 0) continue;
    const Node& k = nodes_[static_cast<std::size_t>(child)];
    red += k.redSum;
    green += k.greenSum;
    blue += k.blueSum;
    count += k.count;
    ReleaseNode(child);
    --leafCount_;
    nodes_[static_cast<std::size_t>(n)].children[c] = 0;
  }
  ++leafCount_;
  Node& node = nodes_[static_cast<std::size_t>(n)];
  node.leaf = true;
  node.redSum = red;
  node.greenSum = green;
  node.blueSum = blue;
  node.count = count;
  ++reductions_;
  return true;
}

bool cPalette::CreateOptimal(cDIBSection& cDIB, std::int32_t PalSize, std::int32_t nLevels) {
  const std::uint8_t* bits = cDIB.DIBSectionBitsPtr();
  // The level count is kept in a byte, and a tree needs at least one level
  // (with none, no node would ever be a leaf).
  if (bits == nullptr || nLevels < 1 || nLevels > 255) return false;
  const std::int32_t height = cDIB.Height(), width = cDIB.Width();
  const std::size_t stride = static_cast<std::size_t>(cDIB.BytesPerScanLine());
  levelCount_ = static_cast<std::uint8_t>(nLevels);
  const std::uint32_t start = TickCount(services_);

  nodes_.assign(kFirstTableSlots + 1, Node{});
  nodeCount_ = 1;
  freeList_ = 0;
  leafCount_ = 0;
  // Lists left over from an earlier tree would name nodes of this one.
  reducible_.assign(static_cast<std::size_t>(levelCount_) + 1, 0);

  Events.InitProgress(static_cast<std::int32_t>(std::int64_t{height} - 1 + PalSize));

  const std::vector<std::uint8_t> levelBits = LevelBits(levelCount_);
  const std::int32_t lastLevel = levelCount_;
  // Colours that take the same child at every level walk the very same
  // nodes to the very same leaf, and keep doing so until a reduction
  // changes the tree (new nodes never change an existing path). So the leaf
  // of a path is remembered, keyed by the whole path, with the number of
  // reductions at the time: adding a colour to it then is all the walk
  // would do. A small picture remembers only the last colour's leaf.
  const bool cachePaths =
      levelCount_ <= kMaxCachedLevels && std::int64_t{width} * height >= kPathCacheAfter;
  std::vector<std::uint32_t> pathCode(cachePaths ? 3 * 256 : 0, 0);
  if (cachePaths)
    for (std::size_t v = 0; v < 256; ++v)
      for (std::int32_t level = 0; level < lastLevel; ++level) {
        std::uint32_t bit = levelBits[static_cast<std::size_t>(level) * 256 + v];
        pathCode[v] |= bit << (3 * level);            // red
        pathCode[256 + v] |= bit << (3 * level + 1);  // green
        pathCode[512 + v] |= bit << (3 * level + 2);  // blue
      }
  struct PathEntry {
    std::uint32_t tag = 0;  // path + 1; 0 is empty
    std::int32_t leaf = 0;
    std::uint32_t reductions = 0;
  };
  std::vector<PathEntry> paths(cachePaths ? kPathSlots : 1);

  for (std::int32_t y = 0; y < height; ++y) {
    const std::uint8_t* row = bits + static_cast<std::size_t>(y) * stride;
    for (std::int32_t c = 0; c < width; ++c) {
      const std::uint8_t blue = row[3 * c], green = row[3 * c + 1], red = row[3 * c + 2];
      PathEntry* entry = &paths[0];
      std::uint32_t path = (std::uint32_t{red} << 16) | (std::uint32_t{green} << 8) | blue;
      if (cachePaths) {
        path = pathCode[red] | pathCode[256 + green] | pathCode[512 + blue];
        entry = &paths[(path * 0x9E3779B1u) >> (32 - kPathBits)];
      }
      if (entry->tag == path + 1 && entry->reductions == reductions_) {
        Node& leaf = nodes_[static_cast<std::size_t>(entry->leaf)];
        ++leaf.count;
        leaf.redSum += red;
        leaf.greenSum += green;
        leaf.blueSum += blue;
      } else {
        // Down the tree from the root at level 1.
        std::int32_t n = 1;
        std::int32_t reached = 0;
        for (std::int32_t level = 1;; ++level) {
          const std::size_t at = static_cast<std::size_t>(level - 1) * 256;
          const int child =
              levelBits[at + red] | (levelBits[at + green] << 1) | (levelBits[at + blue] << 2);
          std::int32_t k = nodes_[static_cast<std::size_t>(n)].children[child];
          if (k == 0) {
            k = TakeNode();  // may move the table
            Node& parent = nodes_[static_cast<std::size_t>(n)];
            parent.children[child] = k;
            ++parent.count;
            Node& fresh = nodes_[static_cast<std::size_t>(k)];
            fresh.leaf = level == lastLevel;
            fresh.redSum = fresh.greenSum = fresh.blueSum = 0;
            fresh.count = 0;
            fresh.next = 0;
          }
          Node& node = nodes_[static_cast<std::size_t>(k)];
          if (node.leaf) {
            if (node.count == 0) ++leafCount_;
            ++node.count;
            node.redSum += red;
            node.greenSum += green;
            node.blueSum += blue;
            reached = k;
            break;
          }
          if (!node.listed) {
            node.next = reducible_[static_cast<std::size_t>(level)];
            reducible_[static_cast<std::size_t>(level)] = k;
            node.listed = true;
          }
          n = k;
        }
        *entry = PathEntry{path + 1, reached, reductions_};
      }
      bool failed = false;
      while (leafCount_ > PalSize) {
        if (!ReduceTree()) {
          failed = true;
          break;
        }
      }
      if (failed) ShowEngineMessage(services_, kReduceFailed);
    }
    Events.Progress(y);
  }

  Clear();
  for (std::size_t i = 1; i < nodes_.size(); ++i) {
    const Node& node = nodes_[i];
    if (!node.leaf) continue;
    const double count = node.count;
    entries_.push_back(
        PaletteEntry{ClampByte(RoundHalfEvenToInt(static_cast<double>(node.redSum) / count)),
                     ClampByte(RoundHalfEvenToInt(static_cast<double>(node.greenSum) / count)),
                     ClampByte(RoundHalfEvenToInt(static_cast<double>(node.blueSum) / count)), 0});
    Events.Progress(static_cast<std::int32_t>(i));
  }
  Changed();
  Events.Complete(ElapsedMs(start, TickCount(services_)));
  return true;
}

void cPalette::EraseNodes() {
  nodes_.clear();
  nodes_.shrink_to_fit();
  freeList_ = 0;
}

cPalette::OctreeStats cPalette::Octree() const {
  return OctreeStats{nodeCount_, leafCount_,
                     nodes_.empty() ? 0 : static_cast<std::int32_t>(nodes_.size() - 1)};
}

}  // namespace plumage::image
