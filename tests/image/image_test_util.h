// Recording fakes of the image engine's observers and services, and the
// comparison with a golden file.
#pragma once

#include <gtest/gtest.h>

#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <sstream>
#include <string>
#include <vector>

#include "image/dib_section.h"
#include "image/palette.h"
#include "platform/system.h"
#include "support/fakes.h"
#include "support/temp_dir.h"

namespace plumage::image::test {

// Events as "I<max>", "P<position>", "C"; the times apart.
struct EventRecorder : IProgressObserver {
  void InitProgress(std::int32_t lMax) override { log.push_back("I" + std::to_string(lMax)); }
  void Progress(std::int32_t lPosition) override { log.push_back("P" + std::to_string(lPosition)); }
  void Complete(std::int32_t lTimeMs) override {
    log.push_back("C");
    times.push_back(lTimeMs);
  }
  std::vector<std::string> log;
  std::vector<std::int32_t> times;
};

struct RecordingMessages : IEngineMessages {
  void ShowMessage(const std::string& text) override { shown.push_back(text); }
  std::vector<std::string> shown;
};

// A fixed executable name, a clock that moves `step` ms at every reading.
struct FakeSystem : platform::ISystem {
  std::string ProgramFolder() override { return "/nowhere/"; }
  std::string ExecutableName() override { return "plumage-test"; }
  bool PreviousInstanceRunning() override { return false; }
  std::uint32_t TickCount() override { return ticks += step; }
  long LastError() override { return 0; }
  std::string ErrorMessage(long code) override { return "system text " + std::to_string(code); }
  std::uint32_t ticks = 1000, step = 0;
};

// Files in memory: the bytes of the last file made; its `failAt`-th write
// fails (1-based), or its commit when failAt is 0.
struct Device : IFileDevice {
  explicit Device(int fail = -1) : failAt(fail) {}
  std::unique_ptr<IOutputFile> Create(const std::string&, std::error_code&) override {
    return bytes.clear(), std::make_unique<File>(*this);
  }
  struct File : IOutputFile {
    explicit File(Device& d) : d_(d) {}
    bool Write(const void* data, std::size_t size) override {
      d_.bytes.append(static_cast<const char*>(data), size);
      return ++d_.writes != d_.failAt;
    }
    bool Seek(std::uint64_t) override { return false; }
    bool Commit() override { return ++d_.commits, d_.failAt != 0; }
    std::error_code LastError() const override { return std::make_error_code(std::errc::io_error); }
    Device& d_;
  };
  int failAt, writes = 0, commits = 0;
  std::string bytes;
};

// The engine on this build's own files, as the program runs it.
inline ImageServices OnFiles(ImageServices services = {}) {
  services.fileSystem = &plumage::test::RealFiles();
  return services;
}

inline std::uint64_t Fnv(const void* data, std::size_t size, std::uint64_t h = 0xcbf29ce484222325u) {
  const auto* p = static_cast<const std::uint8_t*>(data);
  for (std::size_t i = 0; i < size; ++i) h = (h ^ p[i]) * 0x100000001b3u;
  return h;
}

// " key=hash", one part of a golden line.
inline std::string Field(const char* key, const void* data, std::size_t size,
                         std::uint64_t h = 0xcbf29ce484222325u) {
  char text[40];
  std::snprintf(text, sizeof text, " %s=%016llx", key,
                static_cast<unsigned long long>(Fnv(data, size, h)));
  return text;
}

// Each line "<name>:<outputs>" of tests/image/golden/<file> against
// outputs(name). PLUMAGE_GOLDEN_WRITE=<folder> writes every line as answered
// into <folder>/<file>, to be read before it is committed.
template <typename Outputs>
void CheckGolden(const std::string& file, Outputs outputs) {
  std::istringstream text(plumage::test::ReadFile(std::string(PLUMAGE_SOURCE_DIR) +
                                                  "/tests/image/golden/" + file));
  std::ofstream write;
  if (const char* folder = std::getenv("PLUMAGE_GOLDEN_WRITE"))
    write.open(std::string(folder) + "/" + file, std::ios::binary);
  int lines = 0, failures = 0;
  for (std::string line; std::getline(text, line); ++lines) {
    const std::string name = line.substr(0, line.find(':')), golden = line.substr(name.size() + 1);
    const std::string got = outputs(name);
    if (write.is_open()) write << name << ':' << got << '\n';
    if (got != golden && ++failures <= 20)
      ADD_FAILURE() << name << "\n  golden:" << golden << "\n  now:   " << got;
  }
  EXPECT_GT(lines, 0);
  EXPECT_EQ(failures, 0) << "lines of " << file << " differ";
}

}  // namespace plumage::image::test
