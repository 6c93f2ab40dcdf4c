// The image engine's operations on a 32 × 32 picture (the program's own
// road) and on photograph-like pictures up to 4096 × 4096, in megapixels per
// second; the sizes in between show how time grows with the pixels.
//
// With PLUMAGE_BENCH_PHOTO=<file> set, the 4096 × 4096 picture is also
// written there as a 24-bit BMP, for the comparison with ImageMagick
// (scripts/compare-imagemagick.sh).
#include <benchmark/benchmark.h>

#include <cmath>
#include <cstdlib>
#include <cstring>
#include <memory>
#include <random>
#include <vector>

#include "formats/bmp_reader.h"
#include "image/colour_reduce.h"
#include "image/dib_section.h"
#include "image/dib_section_save.h"
#include "image/palette.h"
#include "platform/posix/posix_file_system.h"

namespace {

using namespace plumage::image;

// Files kept in memory (one buffer, reused): the benchmarks time the
// engine and the copying of the bytes, not the disk.
class MemoryDevice : public IFileDevice {
 public:
  std::unique_ptr<IOutputFile> Create(const std::string&, std::error_code&) override {
    buffer_.clear();
    return std::make_unique<File>(buffer_);
  }

 private:
  struct File : IOutputFile {
    explicit File(std::vector<std::uint8_t>& b) : bytes(b) {}
    bool Write(const void* data, std::size_t size) override {
      const auto* p = static_cast<const std::uint8_t*>(data);
      bytes.insert(bytes.end(), p, p + size);
      return true;
    }
    bool Seek(std::uint64_t) override { return true; }
    bool Commit() override { return true; }
    std::error_code LastError() const override { return {}; }
    std::vector<std::uint8_t>& bytes;
  };
  std::vector<std::uint8_t> buffer_;
};

MemoryDevice memoryDevice;
ImageServices Services() {
  ImageServices s;
  s.files = &memoryDevice;
  return s;
}

// Something like a photograph: smooth light and colour over the frame, a
// few objects with hard edges, texture, and sensor noise.
void PaintPhoto(cDIBSection& dib, std::uint32_t seed) {
  const std::int32_t w = dib.Width(), h = dib.Height();
  const std::size_t stride = static_cast<std::size_t>(dib.BytesPerScanLine());
  std::mt19937 rng(seed);
  std::uniform_int_distribution<int> noise(-6, 6);
  struct Blob {
    double x, y, r;
    int red, green, blue;
  };
  std::vector<Blob> blobs;
  std::uniform_real_distribution<double> unit(0.0, 1.0);
  for (int i = 0; i < 12; ++i)
    blobs.push_back({unit(rng), unit(rng), 0.05 + 0.2 * unit(rng),
                     static_cast<int>(255 * unit(rng)), static_cast<int>(255 * unit(rng)),
                     static_cast<int>(255 * unit(rng))});
  for (std::int32_t y = 0; y < h; ++y) {
    std::uint8_t* row = dib.DIBSectionBitsPtr() + static_cast<std::size_t>(y) * stride;
    const double v = static_cast<double>(y) / h;
    for (std::int32_t x = 0; x < w; ++x) {
      const double u = static_cast<double>(x) / w;
      // Sky to ground, with soft light.
      double r = 90 + 110 * v + 30 * std::sin(6.0 * u + 2.0 * v);
      double g = 120 + 60 * std::sin(3.0 * u) * std::cos(4.0 * v);
      double b = 200 - 150 * v + 20 * std::cos(9.0 * u * v);
      for (const Blob& o : blobs) {
        double dx = u - o.x, dy = v - o.y;
        if (dx * dx + dy * dy < o.r * o.r) {
          double shade = 0.7 + 0.3 * std::sin(40.0 * (dx + dy));  // texture
          r = o.red * shade;
          g = o.green * shade;
          b = o.blue * shade;
        }
      }
      auto channel = [&](double c) {
        int value = static_cast<int>(c) + noise(rng);
        return static_cast<std::uint8_t>(value < 0 ? 0 : (value > 255 ? 255 : value));
      };
      row[3 * x] = channel(b);
      row[3 * x + 1] = channel(g);
      row[3 * x + 2] = channel(r);
    }
  }
}

// One photograph per size, made once.
const cDIBSection& Photo(std::int32_t side) {
  static std::vector<std::pair<std::int32_t, std::unique_ptr<cDIBSection>>> made;
  for (auto& [s, dib] : made)
    if (s == side) return *dib;
  auto dib = std::make_unique<cDIBSection>(Services());
  if (!dib->Create(side, side)) std::abort();
  PaintPhoto(*dib, 2024);
  made.emplace_back(side, std::move(dib));
  return *made.back().second;
}

// A working copy of the photograph, refreshed before each iteration (outside
// the timing for the large pictures).
class Work {
 public:
  explicit Work(std::int32_t side) : source_(Photo(side)), dib_(Services()) {
    if (!dib_.Create(side, side)) std::abort();
    Refresh();
  }
  void Refresh() {
    std::memcpy(dib_.DIBSectionBitsPtr(), source_.DIBSectionBitsPtr(),
                source_.Header().biSizeImage);
  }
  cDIBSection& dib() { return dib_; }

 private:
  const cDIBSection& source_;
  cDIBSection dib_;
};

void Report(benchmark::State& state, std::int32_t side) {
  const double pixels = static_cast<double>(side) * side;
  state.counters["MP/s"] =
      benchmark::Counter(pixels / 1e6, benchmark::Counter::kIsIterationInvariantRate);
}

template <typename Op>
void RunOnPhoto(benchmark::State& state, Op op) {
  const auto side = static_cast<std::int32_t>(state.range(0));
  Work work(side);
  for (auto _ : state) {
    if (side > 256) state.PauseTiming();
    work.Refresh();
    if (side > 256) state.ResumeTiming();
    op(work.dib());
    benchmark::ClobberMemory();
  }
  Report(state, side);
}

void Sizes(benchmark::internal::Benchmark* b) {
  b->Arg(32)->Arg(1024)->Arg(2048)->Arg(4096)->Unit(benchmark::kMillisecond);
}

void BM_GrayScale(benchmark::State& state) {
  cColourReduceDIB reducer(Services());
  RunOnPhoto(state, [&](cDIBSection& dib) { reducer.GrayScale(dib); });
}
BENCHMARK(BM_GrayScale)->Apply(Sizes);

void BM_BlackAndWhite(benchmark::State& state) {
  cColourReduceDIB reducer(Services());
  cDIBSection target(Services());
  if (!target.Create(static_cast<std::int32_t>(state.range(0)),
                     static_cast<std::int32_t>(state.range(0))))
    std::abort();
  RunOnPhoto(state, [&](cDIBSection& dib) { reducer.BlackAndWhite(dib, target); });
}
BENCHMARK(BM_BlackAndWhite)->Apply(Sizes);

void ApplyPaletteBench(benchmark::State& state, const cPalette& pal, bool diffuse) {
  cColourReduceDIB reducer(Services());
  cDIBSection target(Services());
  if (!target.Create(static_cast<std::int32_t>(state.range(0)),
                     static_cast<std::int32_t>(state.range(0))))
    std::abort();
  RunOnPhoto(state, [&](cDIBSection& dib) { reducer.ApplyPalette(dib, target, pal, diffuse); });
}

void BM_ApplyHalfTone(benchmark::State& state) {
  cPalette pal;
  pal.CreateHalfTone();
  ApplyPaletteBench(state, pal, false);
}
BENCHMARK(BM_ApplyHalfTone)->Apply(Sizes);

void BM_ApplyHalfToneDiffused(benchmark::State& state) {
  cPalette pal;
  pal.CreateHalfTone();
  ApplyPaletteBench(state, pal, true);
}
BENCHMARK(BM_ApplyHalfToneDiffused)->Apply(Sizes);

// The octree palette of the picture itself, as the automatic 8-bit save uses.
void BM_ApplyOptimal(benchmark::State& state) {
  cPalette pal;
  Work work(static_cast<std::int32_t>(state.range(0)));
  pal.CreateOptimal(work.dib(), 236, 6);
  ApplyPaletteBench(state, pal, false);
}
BENCHMARK(BM_ApplyOptimal)->Apply(Sizes);

void BM_CreateOptimal(benchmark::State& state) {
  RunOnPhoto(state, [&](cDIBSection& dib) {
    cPalette pal(Services());
    pal.CreateOptimal(dib, 236, 6);
    benchmark::DoNotOptimize(pal.Count());
  });
}
BENCHMARK(BM_CreateOptimal)->Apply(Sizes);

void BM_ResampleThreeQuarters(benchmark::State& state) {
  RunOnPhoto(state, [&](cDIBSection& dib) {
    auto out = dib.Resample(dib.Height() * 3 / 4, dib.Width() * 3 / 4);
    benchmark::DoNotOptimize(out.get());
  });
}
BENCHMARK(BM_ResampleThreeQuarters)->Apply(Sizes);

void BM_RandomiseBits(benchmark::State& state) {
  RunOnPhoto(state, [&](cDIBSection& dib) { dib.RandomiseBits(false, 1); });
}
BENCHMARK(BM_RandomiseBits)->Apply(Sizes);

void SaveBench(benchmark::State& state, std::int32_t depth, std::int32_t method) {
  cDIBSectionSave saver(Services());
  RunOnPhoto(state, [&](cDIBSection& dib) {
    std::unique_ptr<cPalette> pal;
    if (!saver.Save("out.bmp", dib, pal, depth, method)) std::abort();
  });
}
// The program's own road: 8 bits, half-tone table, no reduction.
void BM_Save8HalfTone(benchmark::State& state) {
  SaveBench(state, 2, 0);
}
BENCHMARK(BM_Save8HalfTone)->Apply(Sizes);
// Automatic at 8 bits: octree palette of 236 colours, then the mapping.
void BM_Save8Optimal(benchmark::State& state) {
  SaveBench(state, 2, 2);
}
BENCHMARK(BM_Save8Optimal)->Apply(Sizes);
void BM_Save4Sixteen(benchmark::State& state) {
  SaveBench(state, 1, 2);
}
BENCHMARK(BM_Save4Sixteen)->Apply(Sizes);
void BM_Save1Dithered(benchmark::State& state) {
  SaveBench(state, 0, 2);
}
BENCHMARK(BM_Save1Dithered)->Apply(Sizes);
void BM_Save24(benchmark::State& state) {
  SaveBench(state, 3, 0);
}
BENCHMARK(BM_Save24)->Apply(Sizes);

void BM_ReadBmp24(benchmark::State& state) {
  const auto side = static_cast<std::int32_t>(state.range(0));
  const cDIBSection& photo = Photo(side);
  std::vector<std::uint8_t> file(54 + photo.Header().biSizeImage, 0);
  file[0] = 'B', file[1] = 'M', file[10] = 54, file[14] = 40, file[26] = 1, file[28] = 24;
  for (int i = 0; i < 4; ++i) {
    file[18 + static_cast<std::size_t>(i)] = static_cast<std::uint8_t>(side >> (8 * i));
    file[22 + static_cast<std::size_t>(i)] = static_cast<std::uint8_t>(side >> (8 * i));
  }
  std::memcpy(file.data() + 54, photo.DIBSectionBitsPtr(), photo.Header().biSizeImage);
  for (auto _ : state) {
    auto picture = plumage::formats::ReadBmp(file);
    if (!picture) std::abort();
    benchmark::DoNotOptimize(picture->bits());
  }
  Report(state, side);
}
BENCHMARK(BM_ReadBmp24)->Apply(Sizes);

// PLUMAGE_BENCH_PHOTO: write the 4096 × 4096 photograph for other tools.
const bool photoWritten = [] {
  const char* path = std::getenv("PLUMAGE_BENCH_PHOTO");
  if (!path || !*path) return false;
  static plumage::platform::PosixFileSystem files;
  cDIBSection copy(ImageServices{.fileSystem = &files});
  const cDIBSection& photo = Photo(4096);
  if (!copy.Create(4096, 4096)) std::abort();
  std::memcpy(copy.DIBSectionBitsPtr(), photo.DIBSectionBitsPtr(), photo.Header().biSizeImage);
  return copy.SavePicture(path);
}();

}  // namespace
