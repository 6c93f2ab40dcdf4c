#include "image/services.h"

#include <atomic>
#include <cerrno>
#include <chrono>
#include <filesystem>
#include <fstream>
#include <random>

#include "image/run_time_error.h"
#include "platform/system.h"

namespace plumage::image {
namespace fs = std::filesystem;

namespace errors {
const char* Text(std::int32_t number) {
  switch (number) {
    case kOverflow:
      return "Overflow";
    case kOutOfMemory:
      return "Out of memory";
    case kTypeMismatch:
      return "Type mismatch";
    case kFileNotFound:
      return "File not found";
    case kDeviceIo:
      return "Device I/O error";
    case kDiskFull:
      return "Disk full";
    case kPermissionDenied:
      return "Permission denied";
    case kPathFileAccess:
      return "Path/File access error";
    case kPathNotFound:
      return "Path not found";
    default:
      return "Application-defined or object-defined error";
  }
}
}  // namespace errors

namespace {

std::error_code LastErrno() {
  int e = errno;
  return std::error_code(e != 0 ? e : EIO, std::generic_category());
}

// A name beside the target that no other writer picks: the target's name,
// a process-wide counter and a random number.
fs::path SiblingOf(const fs::path& target) {
  static std::atomic<unsigned> counter{0};
  static const unsigned salt = std::random_device{}();
  fs::path sibling;
  for (int attempt = 0; attempt < 100; ++attempt) {
    sibling = target;
    sibling += ".~" + std::to_string(salt) + "-" + std::to_string(counter++) + ".tmp";
    std::error_code ec;
    if (!fs::exists(sibling, ec)) break;
  }
  return sibling;
}

class StandardOutputFile : public IOutputFile {
 public:
  StandardOutputFile(fs::path target, fs::path sibling, bool targetExisted)
      : target_(std::move(target)), sibling_(std::move(sibling)), targetExisted_(targetExisted) {}
  ~StandardOutputFile() override {
    if (!committed_) {
      out_.close();
      std::error_code ec;
      fs::remove(sibling_, ec);
    }
  }
  StandardOutputFile(const StandardOutputFile&) = delete;
  StandardOutputFile& operator=(const StandardOutputFile&) = delete;

  bool Open() {
    errno = 0;
    out_.open(sibling_, std::ios::binary | std::ios::out | std::ios::trunc);
    if (!out_.is_open()) {
      error_ = LastErrno();
      return false;
    }
    return true;
  }

  bool Write(const void* data, std::size_t size) override {
    if (size == 0) return out_.good();
    errno = 0;
    out_.write(static_cast<const char*>(data), static_cast<std::streamsize>(size));
    if (!out_.good()) {
      error_ = LastErrno();
      return false;
    }
    return true;
  }

  bool Seek(std::uint64_t position) override {
    errno = 0;
    out_.seekp(static_cast<std::streamoff>(position), std::ios::beg);
    if (!out_.good()) {
      error_ = LastErrno();
      return false;
    }
    return true;
  }

  bool Commit() override {
    if (committed_) return true;
    errno = 0;
    out_.flush();
    bool good = out_.good();
    out_.close();
    if (!good || out_.fail()) {
      error_ = LastErrno();
      return false;
    }
    std::error_code ec;
    if (targetExisted_) {
      auto perms = fs::status(target_, ec).permissions();
      if (!ec) fs::permissions(sibling_, perms, ec);
      ec.clear();  // keeping the permissions is a courtesy, not a condition
    }
    fs::rename(sibling_, target_, ec);
    if (ec) {
      error_ = ec;
      return false;
    }
    committed_ = true;
    return true;
  }

  std::error_code LastError() const override { return error_; }

 private:
  fs::path target_;
  fs::path sibling_;
  bool targetExisted_;
  bool committed_ = false;
  std::ofstream out_;
  std::error_code error_;
};

}  // namespace

std::unique_ptr<IOutputFile> StandardFileDevice::Create(const std::string& path,
                                                        std::error_code& error) {
  error.clear();
  fs::path target(path);
  if (path.empty()) {
    error = std::make_error_code(std::errc::no_such_file_or_directory);
    return nullptr;
  }
  std::error_code ec;
  auto status = fs::status(target, ec);
  bool existed = fs::exists(status);
  if (existed) {
    if (fs::is_directory(status)) {
      error = std::make_error_code(std::errc::is_a_directory);
      return nullptr;
    }
    // Create-always fails on a file that may not be written; renaming over it
    // would not, so ask the file itself first (opening for update changes
    // nothing).
    errno = 0;
    std::fstream probe(target, std::ios::binary | std::ios::in | std::ios::out);
    if (!probe.is_open()) {
      error = LastErrno();
      return nullptr;
    }
  }
  auto file = std::make_unique<StandardOutputFile>(target, SiblingOf(target), existed);
  if (!file->Open()) {
    error = file->LastError();
    return nullptr;
  }
  return file;
}

std::string ExecutableName(const ImageServices& services) {
  return services.system ? services.system->ExecutableName() : std::string("plumage");
}

std::uint32_t TickCount(const ImageServices& services) {
  if (services.system) return services.system->TickCount();
  using namespace std::chrono;
  return static_cast<std::uint32_t>(
      duration_cast<milliseconds>(steady_clock::now().time_since_epoch()).count());
}

IFileDevice& FileDevice(const ImageServices& services) {
  static StandardFileDevice standard;
  return services.files ? *services.files : standard;
}

void ShowEngineMessage(const ImageServices& services, const std::string& text) {
  if (services.messages) services.messages->ShowMessage(text);
}

}  // namespace plumage::image
