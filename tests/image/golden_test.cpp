// The image engine against golden/engine.txt: each line names a case (its
// operation, sizes, picture kind, palette and arguments) and holds hashes of
// the outputs and progress events, made once from a plain column-by-column
// implementation of each operation. Sizes lie on both sides of every strip (128
// columns of the reducer, 64 of the noise), cache threshold (4096 searches
// before the colour cache, 16384 pixels before the octree's path table) and
// row padding. The last resamples are upscales computing many positions: run
// under Wine, the 32-bit build's x87 arithmetic once rounded them otherwise.
// A new case is a line "<name>:" (CheckGolden tells how to write it).
#include <gtest/gtest.h>

#include <algorithm>
#include <array>
#include <cstdio>
#include <optional>

#include "image/colour_reduce.h"
#include "image/dib_section_save.h"
#include "image_test_util.h"

namespace plumage::image {
namespace {

using test::Field;
using test::Fnv;

std::string Field(const char* key, const cDIBSection& p) {
  const std::int32_t size[2] = {p.Width(), p.Height()};
  return Field(key, p.DIBSectionBitsPtr(), p.Header().biSizeImage, Fnv(size, 8));
}
std::string Field(const char* key, const cPalette& pal) {
  std::string bytes;
  for (const auto& e : pal.Entries()) bytes += {char(e.red), char(e.green), char(e.blue)};
  return Field(key, bytes.data(), bytes.size());
}
std::string Field(const char* key, const std::vector<std::string>& events) {
  std::string text;  // "I<max> P<position>... C"
  for (const std::string& e : events) text += e + " ";
  return Field(key, text.data(), text.size());
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

enum Kind { kNoise, kFewColours, kGradient, kExtremes, kNearThresholds, kKinds };
const char* const kKindNames[kKinds] = {"noise", "few", "gradient", "extremes", "grey"};

void MakePicture(cDIBSection& dib, std::int32_t w, std::int32_t h, int kind, std::uint64_t seed) {
  ASSERT_TRUE(dib.Create(w, h));
  Random r{seed};
  PaletteEntry few[6];
  for (PaletteEntry& c : few) c = {r.Byte(), r.Byte(), r.Byte(), 0};
  const int fx = 1 + r.Below(5), fy = 1 + r.Below(5);
  for (std::int32_t y = 0; y < h; ++y)
    for (std::int32_t c = 0; c < w; ++c) {
      std::uint8_t* px = dib.DIBSectionBitsPtr() + y * dib.BytesPerScanLine() + 3 * c;
      switch (kind) {
        case kNoise:
          px[0] = r.Byte(), px[1] = r.Byte(), px[2] = r.Byte();
          break;
        case kFewColours: {  // runs and ties, now and then one step off
          const PaletteEntry& col = few[r.Below(6)];
          px[0] = col.blue, px[1] = col.green, px[2] = col.red;
          if (r.Below(10) == 0) px[r.Below(3)] ^= 1;
          break;
        }
        case kGradient:
          px[0] = static_cast<std::uint8_t>(255 * (c * fx + y * fy) / (w * fx + h * fy + 1));
          px[1] = static_cast<std::uint8_t>(c * 255 / std::max(1, w - 1));
          px[2] =
              static_cast<std::uint8_t>(std::min(255, y * 255 / std::max(1, h - 1) + r.Below(9)));
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
}

// Palettes by number: half-tone, web-safe, 16 colours and mono as the
// palette class makes them, then spread, few levels (ties), a cluster, two
// whites (black is 765 from both), none, and more than 256 colours.
enum { kSpread = 4, kTies, kCluster, kWhites, kEmpty, kLarge, kPalettes };

void MakePalette(cPalette& pal, int id) {
  if (id == 0) return pal.CreateHalfTone();
  if (id == 1) return pal.CreateWebSafe();
  if (id == 2) return pal.Create16Colour();
  if (id == 3) return pal.CreateMono();
  Random r{0x5EED0000u + static_cast<std::uint64_t>(id)};
  static constexpr int kCount[kPalettes] = {0, 0, 0, 0, 200, 40, 60, 0, 0, 260};
  const int count = kCount[id];
  std::uint8_t last[3] = {};
  for (int i = 0; i < count; ++i) {
    std::uint8_t v[3];
    for (std::uint8_t& x : v) {
      x = r.Byte();
      if (id == kTies) x = static_cast<std::uint8_t>(x / 64 * 64);
      if (id == kCluster) x = static_cast<std::uint8_t>(96 + x / 8);
    }
    if (i > 0 && r.Below(8) == 0) std::copy(last, last + 3, v);  // a repeat
    pal.Add(v[0], v[1], v[2]);
    std::copy(v, v + 3, last);
  }
  if (id == kWhites) pal.Add(255, 255, 255), pal.Add(255, 255, 255);
}

// Colours asked of ClosestIndex: random ones, lattice points of the built-in
// palettes and their neighbours, neighbours of the entries, repeats, and
// now and then values beyond a byte.
std::vector<std::array<int, 3>> Queries(const cPalette& pal, int id) {
  Random r{0xC0105u + static_cast<std::uint64_t>(id)};
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
    if (form == 3 && id >= kSpread && pal.Count() > 0) {
      const std::int32_t e = 1 + r.Below(pal.Count());
      c = {std::clamp(pal.Red(e) + r.Below(7) - 3, 0, 255),
           std::clamp(pal.Green(e) + r.Below(7) - 3, 0, 255),
           std::clamp(pal.Blue(e) + r.Below(3) - 1, 0, 255)};
    }
    if (form == 4 && !q.empty()) c = q.back();
    q.push_back(c);
  }
  return q;
}

enum class Op { kPalette, kClosest, kGrey, kBlackWhite, kApply, kOctree, kResample, kNoise, kSave };
const char* const kOps[] = {"palette", "closest", "grey",  "bw",  "apply",
                            "octree",  "resample", "noise", "save"};

// A case is named by its golden line: "<op> <w>x<h> <kind> to <w2>x<h2> pal
// <palette> args <a> <b>"; the name also seeds its random picture.
struct Case {
  Op op;
  std::int32_t w = 0, h = 0;
  int kind = 0;
  std::int32_t w2 = 0, h2 = 0;  // target or new size; 0 × 0: the picture itself
  int palette = -1;             // -1: none
  int a = 0, b = 0;             // diffuse | size, levels | grey | depth, method

  std::string Name() const {
    char text[160];
    std::snprintf(text, sizeof text, "%s %dx%d %s to %dx%d pal %d args %d %d",
                  kOps[static_cast<int>(op)], w, h, kKindNames[kind], w2, h2, palette, a, b);
    return text;
  }
  std::uint64_t Seed() const { return Fnv(Name().data(), Name().size()); }
};

// The case a golden line names, if its name is one Name() gives.
std::optional<Case> Parse(const std::string& name) {
  char op[16] = {}, kind[16] = {};
  Case c{};
  if (std::sscanf(name.c_str(), "%15s %dx%d %15s to %dx%d pal %d args %d %d", op, &c.w, &c.h, kind,
                  &c.w2, &c.h2, &c.palette, &c.a, &c.b) != 9 || c.palette >= kPalettes)
    return std::nullopt;
  for (int o = 0; o <= static_cast<int>(Op::kSave); ++o)
    for (c.kind = 0; c.kind < kKinds; ++c.kind)
      if (c.op = static_cast<Op>(o); c.Name() == name) return c;
  return std::nullopt;
}

std::string Outputs(const Case& c) {
  test::EventRecorder events;
  test::RecordingMessages messages;
  test::Device files;
  ImageServices services{.messages = &messages, .files = &files};
  cDIBSection pic(services), to;
  if (c.w > 0) MakePicture(pic, c.w, c.h, c.kind, c.Seed());
  cPalette pal(services);
  if (c.palette >= 0) MakePalette(pal, c.palette);
  cColourReduceDIB reducer;
  reducer.Events.Subscribe(&events);
  switch (c.op) {
    case Op::kPalette:
      return Field("pal", pal);
    case Op::kClosest: {
      std::vector<std::int32_t> found;
      for (const auto& q : Queries(pal, c.palette))
        found.push_back(pal.ClosestIndex(q[0], q[1], q[2]));
      return Field("index", found.data(), 4 * found.size());
    }
    case Op::kGrey:
      reducer.GrayScale(pic);
      return Field("pic", pic) + Field("events", events.log);
    case Op::kBlackWhite:
    case Op::kApply: {
      if (c.w2 > 0) MakePicture(to, c.w2, c.h2, kNoise, c.Seed() + 1);
      cDIBSection& target = c.w2 > 0 ? to : pic;
      if (c.op == Op::kBlackWhite)
        reducer.BlackAndWhite(pic, target);
      else
        reducer.ApplyPalette(pic, target, pal, c.a != 0);
      return Field("to", target) + Field("from", pic) + Field("events", events.log);
    }
    case Op::kOctree:
      pal.Events.Subscribe(&events);
      EXPECT_TRUE(pal.CreateOptimal(pic, c.a, c.b));
      return Field("pal", pal) + Field("events", events.log) +
             " messages=" + std::to_string(messages.shown.size());
    case Op::kResample:
      return pic.Resample(c.h2, c.w2) ? Field("pic", *pic.Resample(c.h2, c.w2)) : " none";
    case Op::kNoise:
      pic.RandomiseBits(c.a != 0, static_cast<std::uint32_t>(c.Seed()));
      return Field("pic", pic);
    case Op::kSave: {
      std::unique_ptr<cPalette> given;
      if (c.palette >= 0) given = std::make_unique<cPalette>(pal);
      cDIBSectionSave saver(services);
      saver.Events.Subscribe(&events);
      const bool written = saver.Save("out.bmp", pic, given, c.a, c.b);
      EXPECT_EQ(written, files.commits == 1) << c.Name();
      return (written ? Field("file", files.bytes.data(), files.bytes.size()) : " file=none") +
             Field("pic", pic) + (given ? Field("pal", *given) : " pal=none") +
             Field("events", events.log);
    }
  }
  return {};
}

TEST(ImageGolden, EveryOperationGivesItsGoldenBytesAndEvents) {
  test::CheckGolden("engine.txt", [](const std::string& name) {
    const std::optional<Case> c = Parse(name);
    EXPECT_TRUE(c) << "not the name of a case: " << name;
    return c ? Outputs(*c) : std::string();
  });
}

}  // namespace
}  // namespace plumage::image
