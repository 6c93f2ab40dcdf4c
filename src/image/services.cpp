#include "image/services.h"

#include <algorithm>
#include <chrono>

#include "image/run_time_error.h"
#include "platform/files.h"
#include "platform/system.h"

namespace plumage::image {

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
  error = std::make_error_code(std::errc::function_not_supported);
  return nullptr;
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
  error = std::make_error_code(std::errc::function_not_supported);
  return false;
}

void ShowEngineMessage(const ImageServices& services, const std::string& text) {
  if (services.messages) services.messages->ShowMessage(text);
}

}  // namespace plumage::image
