// The fixed inputs of the image engine's golden test: sizes on both sides of
// every strip (128 columns of the reducer, 64 of the noise), of the caches
// (4096 searches before the colour cache, 16384 pixels before the octree's
// path table) and of the row padding at 1, 4, 8 and 24 bits; pictures from a
// seed; palettes with ties, repeats, no entry near black, more than 256
// entries. Each output is kept as an FNV-1a hash in golden/engine.txt.
#pragma once

#include <algorithm>
#include <array>
#include <cstdint>
#include <cstdio>
#include <string>
#include <vector>

namespace plumage::image::golden {

inline std::uint64_t Fnv(const void* data, std::size_t size,
                         std::uint64_t h = 0xcbf29ce484222325u) {
  const auto* p = static_cast<const std::uint8_t*>(data);
  for (std::size_t i = 0; i < size; ++i) h = (h ^ p[i]) * 0x100000001b3u;
  return h;
}

inline std::string Hex(std::uint64_t h) {
  char text[17];
  std::snprintf(text, sizeof text, "%016llx", static_cast<unsigned long long>(h));
  return text;
}

// splitmix64: the same numbers from every compiler and library.
struct Random {
  std::uint64_t state;
  std::uint32_t Next() {
    std::uint64_t z = (state += 0x9E3779B97F4A7C15u);
    z = (z ^ (z >> 30)) * 0xBF58476D1CE4E5B9u;
    z = (z ^ (z >> 27)) * 0x94D049BB133111EBu;
    return static_cast<std::uint32_t>((z ^ (z >> 31)) >> 32);
  }
  int Below(int n) { return static_cast<int>(Next() % static_cast<std::uint32_t>(n)); }
  std::uint8_t Byte() { return static_cast<std::uint8_t>(Next() >> 24); }
};

struct Rgb {
  std::uint8_t r = 0, g = 0, b = 0;
};

// cDIBSection's memory: rows bottom-up of blue, green, red, padded to 4.
struct Picture {
  std::int32_t w = 0, h = 0;
  std::vector<std::uint8_t> bits;
  Picture(std::int32_t width, std::int32_t height)
      : w(width), h(height), bits(Stride() * static_cast<std::size_t>(height), 0) {}
  std::size_t Stride() const { return (static_cast<std::size_t>(w) * 3 + 3) & ~std::size_t{3}; }
  std::uint8_t* Px(std::int32_t c, std::int32_t y) {
    return &bits[static_cast<std::size_t>(y) * Stride() + 3 * static_cast<std::size_t>(c)];
  }
};

enum Kind { kNoise, kFewColours, kGradient, kExtremes, kNearThresholds, kKinds };
inline const char* const kKindNames[kKinds] = {"noise", "few", "gradient", "extremes", "grey"};

inline Picture MakePicture(std::int32_t w, std::int32_t h, int kind, std::uint64_t seed) {
  Picture p(w, h);
  Random r{seed};
  Rgb few[6];
  for (Rgb& c : few) c = {r.Byte(), r.Byte(), r.Byte()};
  const int fx = 1 + r.Below(5), fy = 1 + r.Below(5);
  for (std::int32_t y = 0; y < h; ++y)
    for (std::int32_t c = 0; c < w; ++c) {
      std::uint8_t* px = p.Px(c, y);
      switch (kind) {
        case kNoise:
          px[0] = r.Byte(), px[1] = r.Byte(), px[2] = r.Byte();
          break;
        case kFewColours: {  // runs and ties, now and then one step off
          const Rgb& col = few[r.Below(6)];
          px[0] = col.b, px[1] = col.g, px[2] = col.r;
          if (r.Below(10) == 0) px[r.Below(3)] ^= 1;
          break;
        }
        case kGradient:
          px[0] = static_cast<std::uint8_t>(255 * (c * fx + y * fy) / (w * fx + h * fy + 1));
          px[1] = static_cast<std::uint8_t>(c * 255 / std::max(1, w - 1));
          px[2] = static_cast<std::uint8_t>(std::min(255, y * 255 / std::max(1, h - 1) + r.Below(9)));
          break;
        case kExtremes: {
          static constexpr std::uint8_t kValues[6] = {0, 255, 128, 129, 1, 254};
          for (int k = 0; k < 3; ++k) px[k] = kValues[r.Below(6)];
          break;
        }
        default: {  // greys about the black-and-white threshold
          const auto g = static_cast<std::uint8_t>(100 + r.Below(61));
          px[0] = px[1] = px[2] = g;
          if (r.Below(4) == 0) px[r.Below(3)] = r.Byte();
          break;
        }
      }
    }
  return p;
}

// Palettes by number: the four the palette class makes, then made here.
enum PaletteId { kHalfTone, kWebSafe, kSixteen, kMono, kSpread, kTies, kCluster, kWhites, kEmpty,
                 kLarge, kPalettes };

inline std::vector<Rgb> MadePalette(int id) {
  Random r{0x5EED0000u + static_cast<std::uint64_t>(id)};
  std::vector<Rgb> out;
  const int count = id == kSpread ? 200 : id == kTies ? 40 : id == kCluster ? 60 : id == kLarge ? 260 : 0;
  for (int i = 0; i < count; ++i) {
    auto v = [&] {
      int x = r.Byte();
      if (id == kTies) x = x / 64 * 64;  // few levels: many ties
      if (id == kCluster) x = 96 + x / 8;
      return static_cast<std::uint8_t>(x);
    };
    out.push_back({v(), v(), v()});
    if (i > 0 && r.Below(8) == 0) out.back() = out[static_cast<std::size_t>(i - 1)];
  }
  if (id == kWhites) out.assign(2, Rgb{255, 255, 255});  // black is 765 away from both
  return out;
}

// Colours asked of ClosestIndex: random ones, lattice points of the built-in
// palettes and their neighbours, entries of the palette and their
// neighbours, repeats, and now and then values beyond a byte.
inline std::vector<std::array<int, 3>> Queries(int palette) {
  Random r{0xC0105u + static_cast<std::uint64_t>(palette)};
  const std::vector<Rgb> entries = MadePalette(palette);
  std::vector<std::array<int, 3>> q;
  static constexpr int kSteps[] = {8, 32, 51, 64};
  for (int i = 0; i < 6000; ++i) {
    std::array<int, 3> c{};
    const int form = r.Below(8);
    for (int& v : c) {
      v = r.Byte();
      if (form < 3) v = std::min(255, kSteps[r.Below(4)] * r.Below(9) + r.Below(3) - 1);
      if (form == 7 && r.Below(4) == 0) v = r.Below(800) - 250;
    }
    if (form == 3 && !entries.empty()) {
      const Rgb& e = entries[static_cast<std::size_t>(r.Below(static_cast<int>(entries.size())))];
      c = {std::clamp(e.r + r.Below(7) - 3, 0, 255), std::clamp(e.g + r.Below(7) - 3, 0, 255),
           std::clamp(e.b + r.Below(3) - 1, 0, 255)};
    }
    if (form == 4 && !q.empty()) c = q.back();
    q.push_back(c);
  }
  return q;
}

// The parts of a line of golden/engine.txt: " key=hash".
inline std::string Field(const char* key, const void* data, std::size_t size) {
  return std::string(" ") + key + "=" + Hex(Fnv(data, size));
}
inline std::string Field(const char* key, const Picture& p) {
  const std::int32_t size[2] = {p.w, p.h};
  return std::string(" ") + key + "=" + Hex(Fnv(p.bits.data(), p.bits.size(), Fnv(size, 8)));
}
inline std::string Field(const char* key, const std::vector<Rgb>& colours) {
  std::string bytes;
  for (const Rgb& c : colours) bytes += {static_cast<char>(c.r), static_cast<char>(c.g), static_cast<char>(c.b)};
  return Field(key, bytes.data(), bytes.size());
}
// Progress events as "I<max> P<position>... C", the time left out.
inline std::string Field(const char* key, const std::vector<std::string>& events) {
  std::string text;
  for (const std::string& e : events) text += e + " ";
  return Field(key, text.data(), text.size());
}

enum class Op { kPalette, kClosest, kGrey, kBlackWhite, kApply, kOctree, kResample, kNoise, kSave };

struct Case {
  Op op;
  std::int32_t w = 0, h = 0;
  int kind = 0;
  std::int32_t w2 = 0, h2 = 0;  // target or new size; 0 × 0: the picture itself
  int palette = -1;             // -1: none
  int a = 0, b = 0;             // diffuse | size, levels | grey | depth, method

  std::string Name() const {
    static const char* const kOps[] = {"palette", "closest", "grey",  "bw",  "apply",
                                       "octree",  "resample", "noise", "save"};
    char text[160];
    std::snprintf(text, sizeof text, "%s %dx%d %s to %dx%d pal %d args %d %d",
                  kOps[static_cast<int>(op)], w, h, kKindNames[kind], w2, h2, palette, a, b);
    return text;
  }
  std::uint64_t Seed() const {
    const std::string name = Name();
    return Fnv(name.data(), name.size());
  }
};

inline std::vector<Case> Cases() {
  std::vector<Case> out;
  auto add = [&](const Case& c) { out.push_back(c); };
  for (int p = 0; p < kPalettes; ++p) {
    add({Op::kPalette, 0, 0, 0, 0, 0, p});
    add({Op::kClosest, 0, 0, 0, 0, 0, p});
  }
  // Targets: the same size, the picture itself, shorter, taller (rows the
  // copy back misses), narrower and shorter, wider.
  static constexpr int kStripSizes[][2] = {{1, 1},   {2, 6},   {3, 2},   {4, 4},   {5, 1},
                                           {17, 9},  {127, 4}, {128, 3}, {129, 5}, {130, 3},
                                           {256, 2}, {257, 4}, {300, 3}};
  int i = 0;
  for (auto [w, h] : kStripSizes)
    for (int kind = 0; kind < kKinds; ++kind, ++i) {
      const int targets[6][2] = {{w, h},     {0, 0}, {w, std::max(1, h - 2)}, {w, h + 3},
                                 {std::max(1, w - 3), std::max(1, h - 1)}, {w + 5, h}};
      const auto [tw, th] = targets[i % 6];
      add({Op::kGrey, w, h, kind});
      add({Op::kBlackWhite, w, h, kind, tw, th});
      add({Op::kApply, w, h, kind, tw, th, i % kPalettes, 1});
      add({Op::kApply, w, h, kind, targets[(i + 3) % 6][0], targets[(i + 3) % 6][1],
           (i + 5) % kPalettes, 0});
    }
  static constexpr int kOctreeSizes[][2] = {{1, 1},    {3, 2},     {32, 32}, {40, 30},
                                            {127, 129}, {128, 128}, {255, 70}};
  for (auto [w, h] : kOctreeSizes)
    for (int kind = 0; kind < kKinds; ++kind) add({Op::kOctree, w, h, kind, 0, 0, -1, 236, 6});
  static constexpr int kTrees[][2] = {{1, 1},  {2, 6},   {7, 3},   {8, 1},    {16, 2}, {50, 8},
                                      {236, 8}, {236, 9}, {300, 10}, {64, 4}, {1, 10}};
  i = 0;
  for (auto [size, levels] : kTrees) {
    add({Op::kOctree, 64, 64, kNoise, 0, 0, -1, size, levels});
    add({Op::kOctree, 128, 128, i++ % kKinds, 0, 0, -1, size, levels});
  }
  static constexpr int kResamples[][4] = {
      {1, 1, 5, 3},     {2, 2, 4, 4},     {7, 5, 7, 5},     {32, 32, 64, 16},  {32, 32, 16, 64},
      {33, 17, 100, 3}, {300, 200, 31, 29}, {5, 1, 9, 9},   {1, 7, 3, 2},      {255, 3, 256, 7},
      {100, 100, 99, 101}, {16, 16, 48, 48}, {48, 48, 32, 32}, {3, 3, 1, 1},   {129, 2, 2, 129}};
  i = 0;
  for (auto [w, h, nw, nh] : kResamples)
    for (int k = 0; k < 2; ++k, ++i) add({Op::kResample, w, h, i % kKinds, nw, nh});
  for (int w : {1, 2, 63, 64, 65, 128, 129, 130})
    for (int grey = 0; grey < 2; ++grey) add({Op::kNoise, w, w == 1 ? 1 : 3, kNoise, 0, 0, -1, grey});
  static constexpr int kSaveSizes[][2] = {{1, 1}, {2, 2}, {3, 5}, {7, 3}, {8, 2},
                                          {9, 4}, {31, 2}, {33, 3}, {32, 32}};
  i = 0;
  for (auto [w, h] : kSaveSizes)
    for (int depth = 0; depth < 4; ++depth)
      for (int method = 0; method < 4; ++method, ++i)
        add({Op::kSave, w, h, i % kKinds, 0, 0, i % 2 ? (i / 2) % kPalettes : -1, depth, method});
  return out;
}

}  // namespace plumage::image::golden
