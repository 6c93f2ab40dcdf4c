// The engine's run-time errors: a file that cannot be created, a palette file
// that cannot be read or written. They carry the number, source and
// description a caller shows; every other failure of the engine is a result.
#pragma once

#include <cstdint>
#include <stdexcept>
#include <string>

namespace plumage::image {

class RunTimeError : public std::runtime_error {
 public:
  RunTimeError(std::int32_t number, std::string source, std::string description)
      : std::runtime_error(source + ": " + description + " (error " + std::to_string(number) + ")"),
        number_(number),
        source_(std::move(source)),
        description_(std::move(description)) {}

  std::int32_t Number() const { return number_; }
  const std::string& Source() const { return source_; }
  const std::string& Description() const { return description_; }

 private:
  std::int32_t number_;
  std::string source_;
  std::string description_;
};

// The numbers and texts of the run-time errors the engine raises.
namespace errors {
inline constexpr std::int32_t kOutOfMemory = 7;
inline constexpr std::int32_t kOverflow = 6;
inline constexpr std::int32_t kTypeMismatch = 13;
inline constexpr std::int32_t kCannotCreate = 17;  // with the system's own text
inline constexpr std::int32_t kFileNotFound = 53;
inline constexpr std::int32_t kDeviceIo = 57;
inline constexpr std::int32_t kDiskFull = 61;
inline constexpr std::int32_t kPermissionDenied = 70;
inline constexpr std::int32_t kPathFileAccess = 75;
inline constexpr std::int32_t kPathNotFound = 76;

const char* Text(std::int32_t number);
}  // namespace errors

}  // namespace plumage::image
