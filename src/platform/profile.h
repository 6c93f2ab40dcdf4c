// The private-profile (INI file) reader and writer, shaped after
// GetPrivateProfileStringA and WritePrivateProfileStringA: section, key and
// values are Windows-1252 bytes, the file is a path in the program's own
// text. Section and key names match without regard to case; blanks around
// names and values do not count; a read removes one pair of enclosing
// quotes.
#pragma once

#include <cstdint>
#include <optional>
#include <span>
#include <string>
#include <utility>
#include <vector>

#include "base/result.h"

namespace plumage::platform {

// A key and its value.
using ProfileValue = std::pair<std::string, std::string>;

class IPrivateProfile {
 public:
  virtual ~IPrivateProfile() = default;

  // Copies the value of `key` in `section` of `file` into `buffer`, or
  // `defaultValue` (its trailing blanks removed) when the file, the section
  // or the key is missing or the key has no '='. At most buffer.size() - 1
  // bytes are copied and a NUL follows them; the bytes after the NUL are left
  // as they were. Returns the count copied, the NUL not counted (0 for an
  // empty buffer, which is left untouched).
  virtual std::uint32_t GetString(const std::string& section, const std::string& key,
                                  const std::string& defaultValue, std::span<char> buffer,
                                  const std::string& file) = 0;

  // Sets `key` in `section` of `file` to `value`: replaces the value of the
  // first matching key of the first matching section, or adds the key at
  // the end of that section, or the section at the end of the file, or
  // creates the file. Every other byte of the file stays. The error says
  // what kept the value from being written, and where.
  virtual Status WriteString(const std::string& section, const std::string& key,
                             const std::string& value, const std::string& file) = 0;

  // Sets several keys of one section. Where the file system allows it (the
  // Linux build) the file is changed once, so a reader never sees some of
  // the values without the others; here, one WriteString after another,
  // stopping at the first failure.
  virtual Status WriteStrings(const std::string& section, const std::vector<ProfileValue>& values,
                              const std::string& file) {
    for (const auto& [key, value] : values)
      if (Status s = WriteString(section, key, value, file); !s) return s;
    return Ok{};
  }

  // The value of `key` as UTF-8 text, read in the file's own encoding
  // (Windows-1252, or UTF-16LE or UTF-8 after a byte-order mark), with the
  // semantics of GetString; nothing when the file, the section or the key
  // is missing or the key has no '='. Section and key are UTF-8.
  virtual std::optional<std::string> ReadText(const std::string& section, const std::string& key,
                                              const std::string& file);

  // Sets keys of one section to UTF-8 values as WriteStrings does. A file
  // keeps its encoding when that can hold every value; a Windows-1252 file
  // (or a new one) that cannot becomes UTF-16LE with its byte-order mark,
  // as Windows writes such a file. Here (no override): Windows-1252 only,
  // and a value that it cannot hold is refused, naming it.
  virtual Status WriteTexts(const std::string& section, const std::vector<ProfileValue>& values,
                            const std::string& file);
};

}  // namespace plumage::platform
