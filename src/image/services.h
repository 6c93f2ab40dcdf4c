// What the image engine asks of its surroundings: the executable's name and
// the tick counter (ISystem), a way to show its two messages, a clipboard,
// and a device for the files it writes. Every member may stay empty; the
// engine then does without (see each member).
#pragma once

#include <cstdint>
#include <memory>
#include <string>
#include <system_error>

#include "base/surface.h"

namespace plumage::platform {
class ISystem;
class IFileSystem;
}

namespace plumage::image {

// One file being written. Nothing appears under the file's name until
// Commit succeeds; a file dropped without Commit leaves the old one as it was.
class IOutputFile {
 public:
  virtual ~IOutputFile() = default;
  // True when every byte was written.
  virtual bool Write(const void* data, std::size_t size) = 0;
  // Moves the write position, counted from the start of the file. Bytes
  // skipped over read as zero.
  virtual bool Seek(std::uint64_t position) = 0;
  // Flushes and puts the file in place of any file of that name.
  virtual bool Commit() = 0;
  // Why the last operation failed.
  virtual std::error_code LastError() const = 0;
};

class IFileDevice {
 public:
  virtual ~IFileDevice() = default;
  // Creates the file, replacing an existing one (create-always). Nothing and
  // `error` set when it cannot be created.
  virtual std::unique_ptr<IOutputFile> Create(const std::string& path, std::error_code& error) = 0;
};

// The engine's own two messages ("Error in reducing nodes" and the clipboard
// refusal), each shown as a modal message box with an OK button.
class IEngineMessages {
 public:
  virtual ~IEngineMessages() = default;
  virtual void ShowMessage(const std::string& text) = 0;
};

class IClipboard {
 public:
  virtual ~IClipboard() = default;
  // Hands a picture over in the standard bitmap format; true when the
  // clipboard took it.
  virtual bool SetBitmap(const plumage::Surface24& picture) = 0;
};

struct ImageServices {
  // Executable name (source of run-time errors) and tick counter. Empty:
  // "plumage" and the standard library's steady clock.
  platform::ISystem* system = nullptr;
  // Empty: the messages go nowhere.
  IEngineMessages* messages = nullptr;
  // Empty: CopyToClipboard answers False, as with a clipboard that refuses.
  IClipboard* clipboard = nullptr;
  // Where files are written: this device when given, else the platform's
  // files below.
  IFileDevice* files = nullptr;
  // The platform's files: every file the engine reads or writes goes
  // through them when given (regular files only, never blocking on a FIFO,
  // replaced in one rename and never through a device or a foreign link).
  // Empty (and no device above): the engine on its own reads and writes
  // no file, and says so (ENOSYS).
  platform::IFileSystem* fileSystem = nullptr;
};

// Collects the bytes in memory and hands them to IFileSystem::StoreFile at
// Commit, so the engine's files take the platform's one way of replacing.
class FileSystemDevice : public IFileDevice {
 public:
  explicit FileSystemDevice(platform::IFileSystem& files) : files_(files) {}
  std::unique_ptr<IOutputFile> Create(const std::string& path, std::error_code& error) override;

 private:
  platform::IFileSystem& files_;
};

// The pieces of ImageServices with their fallbacks filled in.
std::string ExecutableName(const ImageServices& services);
std::uint32_t TickCount(const ImageServices& services);
// Creates a file through the device ImageServices names (see there).
std::unique_ptr<IOutputFile> CreateOutputFile(const ImageServices& services,
                                              const std::string& path, std::error_code& error);
// The whole of a file the engine reads, at most maxBytes, through the
// platform's files when given; the error says why it could not be read.
bool ReadInputFile(const ImageServices& services, const std::string& path, std::size_t maxBytes,
                   std::string& bytes, std::error_code& error);
void ShowEngineMessage(const ImageServices& services, const std::string& text);

// Milliseconds between two readings of the tick counter, as a Long.
inline std::int32_t ElapsedMs(std::uint32_t start, std::uint32_t end) {
  return static_cast<std::int32_t>(end - start);
}

}  // namespace plumage::image
