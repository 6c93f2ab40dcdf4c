// A bounded cursor over untrusted bytes. Every read checks the remaining
// length first and fails with ErrorKind::Truncated instead of reading past
// the end; offsets are checked without ever adding in 32 bits.
#pragma once

#include <cstddef>
#include <cstdint>
#include <span>
#include <string>

#include "base/result.h"

namespace plumage {

class ByteReader {
 public:
  explicit ByteReader(std::span<const std::uint8_t> bytes, std::string what = "data")
      : bytes_(bytes), what_(std::move(what)) {}

  std::size_t size() const { return bytes_.size(); }
  std::size_t position() const { return pos_; }
  std::size_t remaining() const { return bytes_.size() - pos_; }

  Status Seek(std::uint64_t offset) {
    if (offset > bytes_.size()) return Short(offset, 0);
    pos_ = static_cast<std::size_t>(offset);
    return Ok{};
  }
  Status Skip(std::uint64_t count) {
    if (count > remaining()) return Short(pos_, count);
    pos_ += static_cast<std::size_t>(count);
    return Ok{};
  }

  Result<std::uint8_t> U8() {
    if (remaining() < 1) return Short(pos_, 1);
    return bytes_[pos_++];
  }
  Result<std::uint16_t> U16() {
    if (remaining() < 2) return Short(pos_, 2);
    std::uint16_t v = static_cast<std::uint16_t>(bytes_[pos_] | (bytes_[pos_ + 1] << 8));
    pos_ += 2;
    return v;
  }
  Result<std::uint32_t> U32() {
    if (remaining() < 4) return Short(pos_, 4);
    std::uint32_t v = static_cast<std::uint32_t>(bytes_[pos_]) |
                      (static_cast<std::uint32_t>(bytes_[pos_ + 1]) << 8) |
                      (static_cast<std::uint32_t>(bytes_[pos_ + 2]) << 16) |
                      (static_cast<std::uint32_t>(bytes_[pos_ + 3]) << 24);
    pos_ += 4;
    return v;
  }
  Result<std::int32_t> I32() {
    auto v = U32();
    if (!v) return v.error();
    return static_cast<std::int32_t>(*v);
  }
  // A view of the next `count` bytes; the cursor moves past them.
  Result<std::span<const std::uint8_t>> Bytes(std::uint64_t count) {
    if (count > remaining()) return Short(pos_, count);
    auto view = bytes_.subspan(pos_, static_cast<std::size_t>(count));
    pos_ += static_cast<std::size_t>(count);
    return view;
  }

  // A sub-range [offset, offset + count) of the whole input, checked.
  Result<std::span<const std::uint8_t>> Slice(std::uint64_t offset, std::uint64_t count) const {
    if (offset > bytes_.size() || count > bytes_.size() - offset) return Short(offset, count);
    return bytes_.subspan(static_cast<std::size_t>(offset), static_cast<std::size_t>(count));
  }

 private:
  Error Short(std::uint64_t at, std::uint64_t want) const {
    return MakeError(ErrorKind::Truncated, what_ + ": needs " + std::to_string(want) +
                                               " bytes at offset " + std::to_string(at) +
                                               " of " + std::to_string(bytes_.size()));
  }

  std::span<const std::uint8_t> bytes_;
  std::size_t pos_ = 0;
  std::string what_;
};

}  // namespace plumage
