#include "image/services.h"

#include <algorithm>
#include <atomic>
#include <cerrno>
#include <chrono>
#include <filesystem>
#include <fstream>
#include <random>

#include "image/run_time_error.h"
#include "platform/files.h"
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

namespace {

std::error_code CodeFor(const Error& error) {
  switch (error.kind) {
    case ErrorKind::NotFound:
      return std::make_error_code(std::errc::no_such_file_or_directory);
    case ErrorKind::Invalid:
    case ErrorKind::Unsupported:
      // A device, FIFO, folder or foreign link in the file's place.
      return std::make_error_code(std::errc::permission_denied);
    default:
      return std::make_error_code(std::errc::io_error);
  }
}

class BufferedOutputFile : public IOutputFile {
 public:
  BufferedOutputFile(platform::IFileSystem& files, std::string path)
      : files_(files), path_(std::move(path)) {}
  bool Write(const void* data, std::size_t size) override {
    const auto* bytes = static_cast<const char*>(data);
    if (position_ > bytes_.size()) bytes_.resize(position_, '\0');
    const std::size_t overlap = std::min(size, bytes_.size() - position_);
    bytes_.replace(position_, overlap, bytes, overlap);
    bytes_.append(bytes + overlap, size - overlap);
    position_ += size;
    return true;
  }
  bool Seek(std::uint64_t position) override {
    position_ = static_cast<std::size_t>(position);
    return true;
  }
  bool Commit() override {
    if (position_ > bytes_.size()) bytes_.resize(position_, '\0');
    Status stored = files_.StoreFile(path_, bytes_);
    if (!stored) {
      error_ = CodeFor(stored.error());
      message_ = stored.error().message;
    }
    return stored.ok();
  }
  std::error_code LastError() const override { return error_; }

 private:
  platform::IFileSystem& files_;
  std::string path_;
  std::string bytes_;
  std::size_t position_ = 0;
  std::error_code error_;
  std::string message_;
};

}  // namespace

std::unique_ptr<IOutputFile> FileSystemDevice::Create(const std::string& path,
                                                      std::error_code& error) {
  error.clear();
  if (path.empty()) {
    error = std::make_error_code(std::errc::no_such_file_or_directory);
    return nullptr;
  }
  // Create-always fails at once where no file can be made: in a folder
  // that is not there.
  const std::size_t cut = path.find_last_of("/\\");
  if (cut != std::string::npos && cut > 0) {
    auto parent = files_.GetAttributes(path.substr(0, cut));
    if (!parent || (*parent & platform::kAttributeDirectory) == 0) {
      error = std::make_error_code(std::errc::no_such_file_or_directory);
      return nullptr;
    }
  }
  // And on what cannot be replaced, as the file itself would refuse: a
  // folder, or a file without write permission.
  if (auto attributes = files_.GetAttributes(path); attributes) {
    if ((*attributes & platform::kAttributeDirectory) != 0) {
      error = std::make_error_code(std::errc::is_a_directory);
      return nullptr;
    }
    if ((*attributes & platform::kAttributeReadOnly) != 0) {
      error = std::make_error_code(std::errc::permission_denied);
      return nullptr;
    }
  }
  return std::make_unique<BufferedOutputFile>(files_, path);
}

std::unique_ptr<IOutputFile> CreateOutputFile(const ImageServices& services,
                                              const std::string& path, std::error_code& error) {
  if (services.files) return services.files->Create(path, error);
  if (services.fileSystem) return FileSystemDevice(*services.fileSystem).Create(path, error);
  return StandardFileDevice().Create(path, error);
}

bool ReadInputFile(const ImageServices& services, const std::string& path, std::size_t maxBytes,
                   std::string& bytes, std::error_code& error) {
  error.clear();
  if (services.fileSystem) {
    auto read = services.fileSystem->LoadFile(path, maxBytes);
    if (!read) {
      error = CodeFor(read.error());
      return false;
    }
    bytes = std::move(*read);
    return true;
  }
  std::error_code ec;
  if (fs::is_directory(path, ec) || (fs::exists(path, ec) && !fs::is_regular_file(path, ec))) {
    error = std::make_error_code(std::errc::permission_denied);
    return false;
  }
  errno = 0;
  std::ifstream in(path, std::ios::binary);
  if (!in.is_open()) {
    error = std::error_code(errno != 0 ? errno : ENOENT, std::generic_category());
    return false;
  }
  bytes.clear();
  char buffer[65536];
  while (in.read(buffer, sizeof buffer) || in.gcount() > 0) {
    bytes.append(buffer, static_cast<std::size_t>(in.gcount()));
    if (bytes.size() > maxBytes) {
      error = std::make_error_code(std::errc::file_too_large);
      return false;
    }
  }
  if (in.bad()) {
    error = std::make_error_code(std::errc::io_error);
    return false;
  }
  return true;
}

void ShowEngineMessage(const ImageServices& services, const std::string& text) {
  if (services.messages) services.messages->ShowMessage(text);
}

}  // namespace plumage::image
