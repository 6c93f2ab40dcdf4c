// Shared helpers of the image engine's tests: pictures to and from the
// reference form, a recording observer, recording fakes of the engine's
// services, and random pictures of several kinds.
#pragma once

#include <gtest/gtest.h>

#include <cstring>
#include <random>
#include <string>
#include <vector>

#include "image/dib_section.h"
#include "image/palette.h"
#include "image/progress.h"
#include "image/services.h"
#include "platform/system.h"
#include "reference.h"

namespace plumage::image::test {

inline ref::Picture ToRef(const cDIBSection& dib) {
  ref::Picture p(dib.Width(), dib.Height());
  std::memcpy(p.bits.data(), dib.DIBSectionBitsPtr(), p.bits.size());
  return p;
}

inline void FromRef(const ref::Picture& p, cDIBSection& dib) {
  ASSERT_TRUE(dib.Create(p.width, p.height));
  std::memcpy(dib.DIBSectionBitsPtr(), p.bits.data(), p.bits.size());
}

inline std::vector<ref::Colour> ToRef(const cPalette& pal) {
  std::vector<ref::Colour> out;
  for (const auto& e : pal.Entries()) out.push_back(ref::Colour{e.red, e.green, e.blue});
  return out;
}

inline void FromRef(const std::vector<ref::Colour>& colours, cPalette& pal) {
  pal.Clear();
  for (const auto& c : colours) pal.Add(c.r, c.g, c.b);
}

// Records events in the reference's form.
class EventRecorder : public IProgressObserver {
 public:
  void InitProgress(std::int32_t lMax) override { log.push_back("I" + std::to_string(lMax)); }
  void Progress(std::int32_t lPosition) override { log.push_back("P" + std::to_string(lPosition)); }
  void Complete(std::int32_t lTimeMs) override {
    log.push_back("C");
    times.push_back(lTimeMs);
  }
  ref::EventLog log;
  std::vector<std::int32_t> times;
};

class RecordingMessages : public IEngineMessages {
 public:
  void ShowMessage(const std::string& text) override { shown.push_back(text); }
  std::vector<std::string> shown;
};

// An ISystem with a fixed executable name and a clock that advances by
// `step` milliseconds every time it is read.
class FakeSystem : public platform::ISystem {
 public:
  std::string ProgramFolder() override { return "/nowhere/"; }
  std::string ExecutableName() override { return name; }
  bool PreviousInstanceRunning() override { return false; }
  std::uint32_t TickCount() override {
    std::uint32_t now = ticks;
    ticks += step;
    return now;
  }
  long LastError() override { return 0; }
  std::string ErrorMessage(long code) override { return "system text " + std::to_string(code); }
  std::string name = "plumage-test";
  std::uint32_t ticks = 1000;
  std::uint32_t step = 0;
};

// A file device whose files fail at the n-th write (1-based), or at the
// commit when n is 0; it records what reached each stage.
class FailingDevice : public IFileDevice {
 public:
  explicit FailingDevice(int failAt) : failAt_(failAt) {}
  std::unique_ptr<IOutputFile> Create(const std::string& path, std::error_code&) override {
    created.push_back(path);
    return std::make_unique<File>(*this);
  }
  std::vector<std::string> created;
  int writes = 0;
  int commits = 0;

 private:
  class File : public IOutputFile {
   public:
    explicit File(FailingDevice& d) : d_(d) {}
    bool Write(const void*, std::size_t) override { return ++d_.writes != d_.failAt_; }
    bool Seek(std::uint64_t) override { return true; }
    bool Commit() override {
      ++d_.commits;
      return d_.failAt_ != 0;
    }
    std::error_code LastError() const override { return std::make_error_code(std::errc::io_error); }

   private:
    FailingDevice& d_;
  };
  int failAt_;
};

// Keeps the bytes of the file last made, and counts writes and commits.
class RecordingDevice : public IFileDevice {
 public:
  std::unique_ptr<IOutputFile> Create(const std::string&, std::error_code&) override {
    bytes.clear();
    return std::make_unique<File>(*this);
  }
  std::string bytes;
  int writes = 0;
  int commits = 0;

 private:
  struct File : IOutputFile {
    explicit File(RecordingDevice& d) : d_(d) {}
    bool Write(const void* data, std::size_t size) override {
      ++d_.writes;
      d_.bytes.append(static_cast<const char*>(data), size);
      return true;
    }
    bool Seek(std::uint64_t) override { return false; }
    bool Commit() override { return ++d_.commits > 0; }
    std::error_code LastError() const override { return {}; }
    RecordingDevice& d_;
  };
};

class RecordingClipboard : public IClipboard {
 public:
  bool SetBitmap(const platform::Surface24& picture) override {
    pictures.push_back(picture);
    return accept;
  }
  std::vector<platform::Surface24> pictures;
  bool accept = true;
};

// Pictures of several kinds, for the comparisons with the reference.
enum class Kind { Noise, FewColours, Gradient, Extremes, NearThresholds };
constexpr int kKinds = 5;

inline ref::Picture RandomPicture(std::mt19937& rng, std::int32_t w, std::int32_t h, Kind kind) {
  ref::Picture p(w, h);
  auto byte = [&](int lo, int hi) {
    return static_cast<std::uint8_t>(std::uniform_int_distribution<int>(lo, hi)(rng));
  };
  std::vector<ref::Colour> few;
  for (int i = 0; i < 6; ++i) few.push_back({byte(0, 255), byte(0, 255), byte(0, 255)});
  const double fx = std::uniform_real_distribution<double>(0.2, 3.0)(rng);
  const double fy = std::uniform_real_distribution<double>(0.2, 3.0)(rng);
  for (std::int32_t y = 0; y < h; ++y)
    for (std::int32_t c = 0; c < w; ++c) {
      std::uint8_t* px = &p.At(3 * c, y);
      switch (kind) {
        case Kind::Noise:
          px[0] = byte(0, 255), px[1] = byte(0, 255), px[2] = byte(0, 255);
          break;
        case Kind::FewColours: {
          const auto& col = few[static_cast<std::size_t>(byte(0, 5))];
          px[0] = col.b, px[1] = col.g, px[2] = col.r;
          if (byte(0, 9) == 0) px[byte(0, 2)] ^= 1;
          break;
        }
        case Kind::Gradient:
          px[0] = static_cast<std::uint8_t>((c * fx + y * fy) / (w * fx + h * fy + 1) * 255);
          px[1] = static_cast<std::uint8_t>((c * 255) / (w > 1 ? w - 1 : 1));
          px[2] = static_cast<std::uint8_t>(
              std::min(255, (y * 255) / (h > 1 ? h - 1 : 1) + byte(0, 8)));
          break;
        case Kind::Extremes: {
          static constexpr std::uint8_t kValues[6] = {0, 255, 128, 129, 1, 254};
          for (int k = 0; k < 3; ++k) px[k] = kValues[byte(0, 5)];
          break;
        }
        case Kind::NearThresholds: {
          std::uint8_t g = byte(100, 160);
          px[0] = px[1] = px[2] = g;
          if (byte(0, 3) == 0) px[byte(0, 2)] = byte(0, 255);
          break;
        }
      }
    }
  return p;
}

// Sizes from 1 × 1 to 300 × 200: the corners first, strip edges, then random.
inline std::pair<std::int32_t, std::int32_t> PictureSize(std::mt19937& rng, int i) {
  static constexpr std::pair<std::int32_t, std::int32_t> kFixed[] = {
      {1, 1},   {300, 200}, {1, 200}, {300, 1}, {2, 2},   {2, 200}, {3, 3},   {4, 1},
      {128, 5}, {129, 4},   {127, 9}, {256, 3}, {257, 2}, {33, 32}, {32, 32}, {5, 2}};
  if (i < static_cast<int>(std::size(kFixed))) return kFixed[i];
  return {std::uniform_int_distribution<std::int32_t>(1, 300)(rng),
          std::uniform_int_distribution<std::int32_t>(1, 200)(rng)};
}

}  // namespace plumage::image::test
