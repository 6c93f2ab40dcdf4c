// Recording fakes of the image engine's observers and services.
#pragma once

#include <string>
#include <vector>

#include "image/dib_section.h"
#include "image/palette.h"
#include "platform/system.h"
#include "support/fakes.h"

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

struct RecordingClipboard : IClipboard {
  bool SetBitmap(const plumage::Surface24& picture) override {
    pictures.push_back(picture);
    return accept;
  }
  std::vector<plumage::Surface24> pictures;
  bool accept = true;
};

// A fixed executable name, a clock that moves `step` ms at every reading.
struct FakeSystem : platform::ISystem {
  std::string ProgramFolder() override { return "/nowhere/"; }
  std::string ExecutableName() override { return "plumage-test"; }
  bool PreviousInstanceRunning() override { return false; }
  std::uint32_t TickCount() override { return ticks += step; }
  long LastError() override { return 0; }
  std::string ErrorMessage(long code) override {
    return padding ? std::string(padding, '.') : "system text " + std::to_string(code);
  }
  std::uint32_t ticks = 1000, step = 0;
  std::size_t padding = 0;  // a text of that many dots instead
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

}  // namespace plumage::image::test
