#include "image/colour_reduce.h"

#include <algorithm>
#include <cstdlib>
#include <vector>

#include "image/dib_section.h"
#include "image/palette.h"
#include "image/rounding.h"

namespace plumage::image {
namespace {

// Columns per strip: enough to read rows in long runs, few enough that a
// strip of a tall picture stays in the cache.
constexpr std::int32_t kStrip = 128;

struct Area {
  std::int32_t width = 0;
  std::int32_t height = 0;
};

// The size the loops run over: cTo's, within cFrom's; nothing without pixels.
Area LoopArea(const cDIBSection& from, const cDIBSection& to) {
  if (!from.DIBSectionBitsPtr() || !to.DIBSectionBitsPtr()) return {};
  return Area{std::min(to.Width(), from.Width()), std::min(to.Height(), from.Height())};
}

void ReportColumns(const ProgressEvents& events, std::int32_t c0, std::int32_t c1) {
  if (events.empty()) return;
  for (std::int32_t c = c0; c < c1; ++c) events.Progress(3 * c);
}

inline std::int32_t AddClamped(std::int32_t v, std::int32_t share) {
  v += share;
  return v < 0 ? 0 : (v > 255 ? 255 : v);
}

// BlackAndWhite's dithering as it reads, for a picture that is its own
// target (the shares written back onto pixels already visited then remain).
void BlackAndWhiteInPlace(cDIBSection& pic, Area area, const ProgressEvents& events) {
  std::uint8_t* bits = pic.DIBSectionBitsPtr();
  const std::size_t stride = static_cast<std::size_t>(pic.BytesPerScanLine());
  const std::int32_t xEnd = 3 * (area.width - 1), yEnd = area.height - 1;
  auto at = [&](std::int32_t x, std::int32_t y) {
    return bits + static_cast<std::size_t>(y) * stride + x;
  };
  auto spread = [&](std::int32_t x, std::int32_t y, std::int32_t share) {
    std::uint8_t* p = at(x, y);
    std::uint8_t s = ClampByte(p[0] + share);
    p[0] = p[1] = p[2] = s;
  };
  for (std::int32_t x = 0; x <= xEnd; x += 3) {
    for (std::int32_t y = 0; y <= yEnd; ++y) {
      std::uint8_t* p = at(x, y);
      const std::int32_t v = p[0];
      std::int32_t e;
      if (v <= 128) {
        p[0] = p[1] = p[2] = 0;
        e = v >= 17 ? v : 0;
      } else {
        p[0] = p[1] = p[2] = 255;
        e = 127 - v;
      }
      if (x < xEnd - 3) spread(x + 3, y, (7 * e) / 16);
      if (y < yEnd) {
        static constexpr std::int32_t kWeights[3] = {3, 5, 1};
        for (int k = 0; k < 3; ++k) {
          std::int32_t tx = x + 3 * (k - 1);
          if (0 < tx && tx < xEnd) spread(tx, y + 1, (e * kWeights[k]) / 16);
        }
      }
    }
    events.Progress(x);
  }
}

}  // namespace

cColourReduceDIB::cColourReduceDIB(const ImageServices& services) : services_(services) {}

void cColourReduceDIB::GrayScale(cDIBSection& cDIB) {
  const std::uint32_t start = TickCount(services_);
  std::uint8_t* bits = cDIB.DIBSectionBitsPtr();
  const std::int32_t width = bits ? cDIB.Width() : 0, height = bits ? cDIB.Height() : 0;
  const std::size_t stride = static_cast<std::size_t>(cDIB.BytesPerScanLine());
  Events.InitProgress(3 * (width - 1));
  for (std::int32_t c0 = 0; c0 < width; c0 += kStrip) {
    const std::int32_t c1 = std::min(width, c0 + kStrip);
    for (std::int32_t y = 0; y < height; ++y) {
      std::uint8_t* p =
          bits + static_cast<std::size_t>(y) * stride + 3 * static_cast<std::size_t>(c0);
      for (std::int32_t c = c0; c < c1; ++c, p += 3)
        p[0] = p[1] = p[2] = GreyLevel(p[2], p[1], p[0]);
    }
    ReportColumns(Events, c0, c1);
  }
  Events.Complete(ElapsedMs(start, TickCount(services_)));
}

void cColourReduceDIB::BlackAndWhite(cDIBSection& cFrom, cDIBSection& cTo) {
  const std::uint32_t start = TickCount(services_);
  GrayScale(cFrom);
  const Area area = LoopArea(cFrom, cTo);
  const std::int32_t W = area.width, H = area.height;
  Events.InitProgress(3 * ((area.width > 0 ? area.width : cTo.Width()) - 1));
  if (W > 0 && H > 0 && cFrom.DIBSectionBitsPtr() == cTo.DIBSectionBitsPtr()) {
    BlackAndWhiteInPlace(cFrom, area, Events);
  } else if (W > 0 && H > 0) {
    std::uint8_t* from = cFrom.DIBSectionBitsPtr();
    std::uint8_t* to = cTo.DIBSectionBitsPtr();
    const std::size_t fStride = static_cast<std::size_t>(cFrom.BytesPerScanLine());
    const std::size_t tStride = static_cast<std::size_t>(cTo.BytesPerScanLine());
    // The result is copied back over cFrom from the top row down; when cFrom
    // is of another height that copy misses some of the rows walked here
    // (counted from the bottom), and those keep the values the walk left in
    // cFrom, so they are written there as the walk goes.
    const bool keepFrom = cFrom.Height() != cTo.Height();
    auto setFrom = [&](std::int32_t c, std::int32_t y, std::int32_t value) {
      std::uint8_t* p =
          from + static_cast<std::size_t>(y) * fStride + 3 * static_cast<std::size_t>(c);
      p[0] = p[1] = p[2] = static_cast<std::uint8_t>(value);
    };
    // Shares waiting for the row being visited and for the next one: from
    // the pixel above (weight 5) and from the one above-left (weight 1). The
    // share from the pixel above-right (weight 3) arrives after its pixel
    // has been visited: it changes only what cFrom keeps (`late`).
    const std::size_t w = static_cast<std::size_t>(W);
    std::vector<std::int32_t> down(w, 0), diag(w, 0), late(w, 0);
    std::vector<std::int32_t> nextDown(w, 0), nextDiag(w, 0), nextLate(w, 0);
    std::vector<std::uint8_t> hasLate(w, 0), nextHasLate(w, 0);
    // Shares crossing into the next strip: to the right (weight 7) and to
    // the right below (weight 1), by row.
    std::vector<std::int32_t> edgeRight(static_cast<std::size_t>(H) + 1, 0),
        edgeDiag(static_cast<std::size_t>(H) + 1, 0);
    std::vector<std::int32_t> outRight(edgeRight.size(), 0), outDiag(edgeDiag.size(), 0);
    for (std::int32_t c0 = 0; c0 < W; c0 += kStrip) {
      const std::int32_t c1 = std::min(W, c0 + kStrip);
      std::fill(outRight.begin(), outRight.end(), 0);
      std::fill(outDiag.begin(), outDiag.end(), 0);
      std::fill(down.begin() + c0, down.begin() + c1, 0);
      std::fill(diag.begin() + c0, diag.begin() + c1, 0);
      std::fill(hasLate.begin() + c0, hasLate.begin() + c1, 0);
      for (std::int32_t y = 0; y < H; ++y) {
        const std::uint8_t* f = from + static_cast<std::size_t>(y) * fStride;
        std::uint8_t* t = to + static_cast<std::size_t>(y) * tStride;
        std::fill(nextDown.begin() + c0, nextDown.begin() + c1, 0);
        std::fill(nextDiag.begin() + c0, nextDiag.begin() + c1, 0);
        if (keepFrom) std::fill(nextHasLate.begin() + c0, nextHasLate.begin() + c1, 0);
        const bool below = y < H - 1;
        std::int32_t right = edgeRight[static_cast<std::size_t>(y)];
        for (std::int32_t c = c0; c < c1; ++c) {
          const std::size_t cs = static_cast<std::size_t>(c);
          std::int32_t v = f[3 * cs];
          v = AddClamped(v, c == c0 ? edgeDiag[static_cast<std::size_t>(y)] : diag[cs]);
          v = AddClamped(v, right);
          v = AddClamped(v, down[cs]);
          std::int32_t e;
          std::uint8_t out;
          if (v <= 128) {
            out = 0;
            e = v >= 17 ? v : 0;
          } else {
            out = 255;
            e = 127 - v;
          }
          t[3 * cs] = t[3 * cs + 1] = t[3 * cs + 2] = out;
          // To the right, only while two columns follow.
          std::int32_t toRight = c < W - 2 ? (7 * e) / 16 : 0;
          if (c + 1 < c1)
            right = toRight;
          else
            outRight[static_cast<std::size_t>(y)] = toRight;
          if (below) {
            if (0 < c && c < W - 1) nextDown[cs] = (5 * e) / 16;
            if (c + 1 < W - 1) {
              std::int32_t toDiag = e / 16;
              if (c + 1 < c1)
                nextDiag[cs + 1] = toDiag;
              else
                outDiag[static_cast<std::size_t>(y) + 1] = toDiag;
            }
          }
          if (keepFrom) {
            setFrom(c, y, hasLate[cs] ? AddClamped(v, late[cs]) : v);
            if (below && 0 < c - 1 && c - 1 < W - 1) {
              std::int32_t share = (3 * e) / 16;
              if (c == c0) {
                // Its pixel lies in the strip before, walked already.
                std::int32_t old = from[static_cast<std::size_t>(y + 1) * fStride + 3 * (cs - 1)];
                setFrom(c - 1, y + 1, AddClamped(old, share));
              } else {
                nextLate[cs - 1] = share;
                nextHasLate[cs - 1] = 1;
              }
            }
          }
        }
        std::swap(down, nextDown);
        std::swap(diag, nextDiag);
        std::swap(late, nextLate);
        std::swap(hasLate, nextHasLate);
      }
      std::swap(edgeRight, outRight);
      std::swap(edgeDiag, outDiag);
      ReportColumns(Events, c0, c1);
    }
  }
  cFrom.LoadPictureBlt(cTo.hdc(), 0, 0, -1, -1, surfaces::kSrcCopy);
  Events.Complete(ElapsedMs(start, TickCount(services_)));
}

void cColourReduceDIB::ApplyPalette(cDIBSection& cFrom, cDIBSection& cTo, const cPalette& cPal,
                                    bool bDiffuseError) {
  const std::uint32_t start = TickCount(services_);
  const Area area = LoopArea(cFrom, cTo);
  const std::int32_t W = area.width, H = area.height;
  Events.InitProgress(3 * ((area.width > 0 ? area.width : cTo.Width()) - 1));
  // A picture that is its own target reads back the colour just written:
  // its error is always 0, so nothing is ever spread.
  if (cFrom.DIBSectionBitsPtr() == cTo.DIBSectionBitsPtr()) bDiffuseError = false;
  std::uint8_t* from = cFrom.DIBSectionBitsPtr();
  std::uint8_t* to = cTo.DIBSectionBitsPtr();
  const std::size_t fStride = static_cast<std::size_t>(cFrom.BytesPerScanLine());
  const std::size_t tStride = static_cast<std::size_t>(cTo.BytesPerScanLine());
  // As in BlackAndWhite: rows the copy back misses keep the shares they got.
  const bool keepFrom = cFrom.Height() != cTo.Height();
  const auto& entries = cPal.Entries();
  auto colourOf = [&](std::int32_t index) -> const PaletteEntry& {
    static const PaletteEntry kBlack{};
    return index >= 1 && index <= static_cast<std::int32_t>(entries.size())
               ? entries[static_cast<std::size_t>(index - 1)]
               : kBlack;
  };
  if (W > 0 && H > 0 && !bDiffuseError) {
    for (std::int32_t c0 = 0; c0 < W; c0 += kStrip) {
      const std::int32_t c1 = std::min(W, c0 + kStrip);
      for (std::int32_t y = 0; y < H; ++y) {
        const std::uint8_t* f =
            from + static_cast<std::size_t>(y) * fStride + 3 * static_cast<std::size_t>(c0);
        std::uint8_t* t =
            to + static_cast<std::size_t>(y) * tStride + 3 * static_cast<std::size_t>(c0);
        for (std::int32_t c = c0; c < c1; ++c, f += 3, t += 3) {
          const PaletteEntry& e = colourOf(cPal.ClosestIndex(f[2], f[1], f[0]));
          t[0] = e.blue;
          t[1] = e.green;
          t[2] = e.red;
        }
      }
      ReportColumns(Events, c0, c1);
    }
  } else if (W > 0 && H > 0) {
    // Shares waiting for the next row (weight 4, from the pixel above) and
    // for the next strip (weight 7, from the left), per channel. The
    // diagonal shares weigh 0 and change nothing.
    std::vector<std::int32_t> down(3 * static_cast<std::size_t>(W), 0);
    std::vector<std::int32_t> edgeRight(3 * static_cast<std::size_t>(H), 0);
    std::vector<std::int32_t> outRight(edgeRight.size(), 0);
    for (std::int32_t c0 = 0; c0 < W; c0 += kStrip) {
      const std::int32_t c1 = std::min(W, c0 + kStrip);
      std::fill(outRight.begin(), outRight.end(), 0);
      std::fill(down.begin() + 3 * c0, down.begin() + 3 * c1, 0);
      for (std::int32_t y = 0; y < H; ++y) {
        std::uint8_t* f = from + static_cast<std::size_t>(y) * fStride;
        std::uint8_t* t = to + static_cast<std::size_t>(y) * tStride;
        const bool below = y < H - 1;
        std::int32_t* edge = &edgeRight[3 * static_cast<std::size_t>(y)];
        std::int32_t right[3] = {edge[0], edge[1], edge[2]};
        for (std::int32_t c = c0; c < c1; ++c) {
          const std::size_t x = 3 * static_cast<std::size_t>(c);
          std::int32_t v[3];
          for (int k = 0; k < 3; ++k) {
            v[k] = AddClamped(f[x + k], right[k]);
            v[k] = AddClamped(v[k], down[x + k]);
            down[x + k] = 0;
          }
          if (keepFrom)
            for (int k = 0; k < 3; ++k) f[x + k] = static_cast<std::uint8_t>(v[k]);
          const PaletteEntry& p = colourOf(cPal.ClosestIndex(v[2], v[1], v[0]));
          t[x] = p.blue;
          t[x + 1] = p.green;
          t[x + 2] = p.red;
          const std::int32_t e[3] = {v[0] - p.blue, v[1] - p.green, v[2] - p.red};
          const bool spread = std::abs(e[0]) + std::abs(e[1]) + std::abs(e[2]) > 3;
          std::int32_t* rightOut = c + 1 < c1 ? right : &outRight[3 * static_cast<std::size_t>(y)];
          for (int k = 0; k < 3; ++k) {
            rightOut[k] = spread && c < W - 2 ? (7 * e[k]) / 16 : 0;
            if (spread && below && 0 < c && c < W - 1) down[x + k] = (e[k] * 4) / 16;
          }
        }
      }
      std::swap(edgeRight, outRight);
      ReportColumns(Events, c0, c1);
    }
  }
  cFrom.LoadPictureBlt(cTo.hdc(), 0, 0, -1, -1, surfaces::kSrcCopy);
  Events.Complete(ElapsedMs(start, TickCount(services_)));
}

}  // namespace plumage::image
