// The fast engine against the plain reference, byte for byte, on many random
// pictures of every size from 1 × 1 to 300 × 200.
#include <gtest/gtest.h>

#include <filesystem>
#include <random>

#include "image/colour_reduce.h"
#include "image/dib_section.h"
#include "image/dib_section_save.h"
#include "image/palette.h"
#include "image_test_util.h"
#include "reference.h"
#include "support/temp_dir.h"

namespace plumage::image {
namespace {

using test::EventRecorder;
using test::FromRef;
using test::Kind;
using test::RandomPicture;
using test::ToRef;

// A thousand pictures per operation; fewer under the sanitizers, which are
// there for memory faults and run ten times slower.
#if defined(__SANITIZE_ADDRESS__)
constexpr int kPictures = 150;
#elif defined(__has_feature)
#if __has_feature(address_sanitizer)
constexpr int kPictures = 150;
#else
constexpr int kPictures = 1000;
#endif
#else
constexpr int kPictures = 1000;
#endif

// A random palette: clustered or spread, with repeated colours and black.
std::vector<ref::Colour> RandomPalette(std::mt19937& rng) {
  std::vector<ref::Colour> pal;
  int n = std::uniform_int_distribution<int>(1, 260)(rng);
  int spread = std::uniform_int_distribution<int>(0, 2)(rng);
  for (int i = 0; i < n; ++i) {
    auto v = [&] {
      int x = std::uniform_int_distribution<int>(0, 255)(rng);
      if (spread == 0) x = (x / 64) * 64;  // few levels: many ties
      if (spread == 1) x = 96 + x / 8;     // a narrow cluster
      return static_cast<std::uint8_t>(x);
    };
    pal.push_back({v(), v(), v()});
    if (i > 0 && std::uniform_int_distribution<int>(0, 15)(rng) == 0)
      pal.back() = pal[static_cast<std::size_t>(i - 1)];
  }
  return pal;
}

std::vector<ref::Colour> PaletteFor(std::mt19937& rng, int which) {
  switch (which % 4) {
    case 0:
      return ref::HalfTone();
    case 1:
      return ref::WebSafe();
    case 2:
      return ref::SixteenColour();
    default:
      return RandomPalette(rng);
  }
}

TEST(ImageEquivalence, ClosestIndexMatchesTheLinearSearch) {
  std::mt19937 rng(1);
  for (int p = 0; p < kPictures; ++p) {
    std::vector<ref::Colour> colours = PaletteFor(rng, p);
    if (p % 50 == 7) colours.clear();
    cPalette pal;
    FromRef(colours, pal);
    for (int q = 0; q < 3000; ++q) {
      std::int32_t r, g, b;
      if (q % 3 == 0 && !colours.empty()) {
        // Near a palette colour, where ties and exact matches live.
        const auto& c = colours[static_cast<std::size_t>(q) % colours.size()];
        r = std::clamp<int>(c.r + std::uniform_int_distribution<int>(-3, 3)(rng), 0, 255);
        g = std::clamp<int>(c.g + std::uniform_int_distribution<int>(-3, 3)(rng), 0, 255);
        b = std::clamp<int>(c.b + std::uniform_int_distribution<int>(-3, 3)(rng), 0, 255);
      } else {
        r = std::uniform_int_distribution<int>(0, 255)(rng);
        g = std::uniform_int_distribution<int>(0, 255)(rng);
        b = std::uniform_int_distribution<int>(0, 255)(rng);
      }
      ASSERT_EQ(pal.ClosestIndex(r, g, b), ref::ClosestIndex(colours, r, g, b))
          << "palette " << p << " colour " << r << "," << g << "," << b;
    }
  }
}

TEST(ImageEquivalence, GrayScale) {
  std::mt19937 rng(2);
  for (int i = 0; i < kPictures; ++i) {
    auto [w, h] = test::PictureSize(rng, i);
    ref::Picture pic = RandomPicture(rng, w, h, static_cast<Kind>(i % test::kKinds));
    cDIBSection dib;
    FromRef(pic, dib);
    EventRecorder events;
    cColourReduceDIB reducer;
    reducer.Events.Subscribe(&events);
    reducer.GrayScale(dib);
    ref::EventLog log;
    ref::GrayScale(pic, log);
    ASSERT_EQ(ToRef(dib), pic) << w << "x" << h;
    ASSERT_EQ(events.log, log);
  }
}

TEST(ImageEquivalence, BlackAndWhite) {
  std::mt19937 rng(3);
  for (int i = 0; i < kPictures; ++i) {
    auto [w, h] = test::PictureSize(rng, i);
    ref::Picture from = RandomPicture(rng, w, h, static_cast<Kind>(i % test::kKinds));
    // Mostly a target of the same size; now and then a smaller one, which
    // leaves rows of cFrom that the copy back does not reach.
    std::int32_t tw = w, th = h;
    if (i % 7 == 3) {
      tw = std::uniform_int_distribution<std::int32_t>(1, w)(rng);
      th = std::uniform_int_distribution<std::int32_t>(1, h)(rng);
    }
    ref::Picture to = RandomPicture(rng, tw, th, Kind::Noise);
    cDIBSection dFrom, dTo;
    FromRef(from, dFrom);
    FromRef(to, dTo);
    EventRecorder events;
    cColourReduceDIB reducer;
    reducer.Events.Subscribe(&events);
    reducer.BlackAndWhite(dFrom, dTo);
    ref::EventLog log;
    ref::BlackAndWhite(from, to, log);
    ASSERT_EQ(ToRef(dTo), to) << w << "x" << h << " into " << tw << "x" << th;
    ASSERT_EQ(ToRef(dFrom), from) << w << "x" << h << " into " << tw << "x" << th;
    ASSERT_EQ(events.log, log);
  }
}

TEST(ImageEquivalence, BlackAndWhiteOntoItself) {
  std::mt19937 rng(4);
  for (int i = 0; i < kPictures / 4; ++i) {
    auto [w, h] = test::PictureSize(rng, i);
    ref::Picture pic = RandomPicture(rng, w, h, static_cast<Kind>(i % test::kKinds));
    cDIBSection dib;
    FromRef(pic, dib);
    cColourReduceDIB reducer;
    reducer.BlackAndWhite(dib, dib);
    ref::EventLog log;
    ref::BlackAndWhite(pic, pic, log);
    ASSERT_EQ(ToRef(dib), pic) << w << "x" << h;
  }
}

void CompareApplyPalette(bool diffuse, unsigned seed) {
  std::mt19937 rng(seed);
  for (int i = 0; i < kPictures; ++i) {
    auto [w, h] = test::PictureSize(rng, i);
    ref::Picture from = RandomPicture(rng, w, h, static_cast<Kind>(i % test::kKinds));
    std::vector<ref::Colour> colours = PaletteFor(rng, i / test::kKinds);
    std::int32_t tw = w, th = h;
    if (i % 7 == 3) {
      tw = std::uniform_int_distribution<std::int32_t>(1, w)(rng);
      th = std::uniform_int_distribution<std::int32_t>(1, h)(rng);
    }
    ref::Picture to(tw, th);
    cDIBSection dFrom, dTo;
    FromRef(from, dFrom);
    FromRef(to, dTo);
    cPalette pal;
    FromRef(colours, pal);
    EventRecorder events;
    cColourReduceDIB reducer;
    reducer.Events.Subscribe(&events);
    reducer.ApplyPalette(dFrom, dTo, pal, diffuse);
    ref::EventLog log;
    ref::ApplyPalette(from, to, colours, diffuse, log);
    ASSERT_EQ(ToRef(dTo), to) << w << "x" << h << " palette " << colours.size();
    ASSERT_EQ(ToRef(dFrom), from) << w << "x" << h << " into " << tw << "x" << th;
    ASSERT_EQ(events.log, log);
  }
}

TEST(ImageEquivalence, ApplyPaletteWithoutDiffusion) {
  CompareApplyPalette(false, 5);
}
TEST(ImageEquivalence, ApplyPaletteWithDiffusion) {
  CompareApplyPalette(true, 6);
}

TEST(ImageEquivalence, ApplyPaletteOntoItself) {
  std::mt19937 rng(7);
  for (int i = 0; i < kPictures / 4; ++i) {
    auto [w, h] = test::PictureSize(rng, i);
    ref::Picture pic = RandomPicture(rng, w, h, static_cast<Kind>(i % test::kKinds));
    std::vector<ref::Colour> colours = PaletteFor(rng, i);
    cDIBSection dib;
    FromRef(pic, dib);
    cPalette pal;
    FromRef(colours, pal);
    cColourReduceDIB reducer;
    reducer.ApplyPalette(dib, dib, pal, true);
    ref::EventLog log;
    ref::ApplyPalette(pic, pic, colours, true, log);
    ASSERT_EQ(ToRef(dib), pic) << w << "x" << h;
  }
}

TEST(ImageEquivalence, CreateOptimal) {
  std::mt19937 rng(8);
  for (int i = 0; i < kPictures; ++i) {
    auto [w, h] = test::PictureSize(rng, i);
    ref::Picture pic = RandomPicture(rng, w, h, static_cast<Kind>(i % test::kKinds));
    // Mostly the saver's 236 colours and 6 levels; also small and odd trees.
    std::int32_t palSize = 236, levels = 6;
    if (i % 3 == 1) {
      palSize = std::uniform_int_distribution<std::int32_t>(1, 300)(rng);
      levels = std::uniform_int_distribution<std::int32_t>(1, 10)(rng);
    }
    cDIBSection dib;
    FromRef(pic, dib);
    test::RecordingMessages messages;
    ImageServices services;
    services.messages = &messages;
    cPalette pal(services);
    EventRecorder events;
    pal.Events.Subscribe(&events);
    ASSERT_TRUE(pal.CreateOptimal(dib, palSize, levels));
    ref::EventLog log;
    int refMessages = 0;
    std::vector<ref::Colour> expected = ref::CreateOptimal(pic, palSize, levels, log, refMessages);
    ASSERT_EQ(ToRef(pal), expected) << w << "x" << h << " size " << palSize << " levels " << levels;
    ASSERT_EQ(events.log, log);
    ASSERT_EQ(static_cast<int>(messages.shown.size()), refMessages);
    ASSERT_EQ(ToRef(dib), pic) << "the picture is only read";
  }
}

TEST(ImageEquivalence, Resample) {
  std::mt19937 rng(9);
  for (int i = 0; i < kPictures; ++i) {
    auto [w, h] = test::PictureSize(rng, i);
    ref::Picture pic = RandomPicture(rng, w, h, static_cast<Kind>(i % test::kKinds));
    std::int32_t nw = std::uniform_int_distribution<std::int32_t>(1, 300)(rng);
    std::int32_t nh = std::uniform_int_distribution<std::int32_t>(1, 200)(rng);
    if (i % 10 == 0) nw = w, nh = h;
    if (i % 10 == 1) nw = 2 * w, nh = 2 * h;
    cDIBSection dib;
    FromRef(pic, dib);
    auto out = dib.Resample(nh, nw);
    ref::Picture expected;
    ASSERT_TRUE(ref::Resample(pic, nh, nw, expected));
    ASSERT_TRUE(out);
    ASSERT_EQ(ToRef(*out), expected) << w << "x" << h << " to " << nw << "x" << nh;
  }
}

TEST(ImageEquivalence, RandomiseBits) {
  std::mt19937 rng(10);
  for (int i = 0; i < kPictures; ++i) {
    auto [w, h] = test::PictureSize(rng, i);
    ref::Picture pic = RandomPicture(rng, w, h, Kind::Noise);
    cDIBSection dib;
    FromRef(pic, dib);
    const bool gray = i % 2 == 0;
    const std::uint32_t seed = rng();
    dib.RandomiseBits(gray, seed);
    ref::RandomiseBits(pic, gray, seed);
    ASSERT_EQ(ToRef(dib), pic) << w << "x" << h << (gray ? " grey" : " colour");
  }
}

TEST(ImageEquivalence, SaveAtEveryDepthAndMethod) {
  std::mt19937 rng(11);
  plumage::test::TempDir dir;
  const std::string path = (dir / "out.bmp").string();
  for (int i = 0; i < kPictures; ++i) {
    auto [w, h] = test::PictureSize(rng, i);
    ref::Picture pic = RandomPicture(rng, w, h, static_cast<Kind>(i % test::kKinds));
    const int depth = i % 4, method = (i / 4) % 3;
    const bool givePalette = (i / 12) % 2 == 1;
    std::vector<ref::Colour> colours =
        givePalette ? PaletteFor(rng, i) : std::vector<ref::Colour>{};
    cDIBSection dib;
    FromRef(pic, dib);
    std::unique_ptr<cPalette> pal;
    if (givePalette) {
      pal = std::make_unique<cPalette>();
      FromRef(colours, *pal);
    }
    std::filesystem::remove(path);
    cDIBSectionSave saver;
    EventRecorder events;
    saver.Events.Subscribe(&events);
    bool written = saver.Save(path, dib, pal, depth, method);
    ref::EventLog log;
    ref::SaveResult expected = ref::Save(pic, givePalette, colours, depth, method, log);
    ASSERT_EQ(written, expected.written) << "depth " << depth << " method " << method;
    if (written) {
      std::string bytes = plumage::test::ReadFile(path);
      ASSERT_EQ(std::vector<std::uint8_t>(bytes.begin(), bytes.end()), expected.file)
          << w << "x" << h << " depth " << depth << " method " << method << " palette "
          << givePalette;
    }
    ASSERT_EQ(ToRef(dib), pic) << "picture after depth " << depth << " method " << method;
    ASSERT_EQ(pal != nullptr, expected.hasPalette);
    if (pal) {
      ASSERT_EQ(ToRef(*pal), expected.palette);
    }
    ASSERT_EQ(events.log, log);
  }
}

TEST(ImageEquivalence, HalfToneSaveOfSmallPictures) {
  // The program's own road: small pictures at 8 bits, method 0, no palette.
  std::mt19937 rng(12);
  plumage::test::TempDir dir;
  const std::string path = (dir / "halftone.bmp").string();
  for (int i = 0; i < kPictures; ++i) {
    const std::int32_t w = std::uniform_int_distribution<std::int32_t>(1, 48)(rng);
    const std::int32_t h = std::uniform_int_distribution<std::int32_t>(1, 48)(rng);
    ref::Picture pic = RandomPicture(rng, w, h, static_cast<Kind>(i % test::kKinds));
    cDIBSection dib;
    FromRef(pic, dib);
    std::unique_ptr<cPalette> pal;
    cDIBSectionSave saver;
    ASSERT_TRUE(saver.Save(path, dib, pal, 2, 0));
    ref::EventLog log;
    ref::SaveResult expected = ref::Save(pic, false, {}, 2, 0, log);
    std::string bytes = plumage::test::ReadFile(path);
    ASSERT_EQ(std::vector<std::uint8_t>(bytes.begin(), bytes.end()), expected.file);
    ASSERT_EQ(ToRef(dib), pic);
  }
}

}  // namespace
}  // namespace plumage::image
