#include "platform/profile.h"

#include <array>

#include "base/codepage.h"

namespace plumage::platform {

std::optional<std::string> IPrivateProfile::ReadText(const std::string& section,
                                                     const std::string& key,
                                                     const std::string& file) {
  // Two defaults that no value equals tell a missing key from a value.
  std::array<char, 4096> buffer{};
  const std::string s = Utf8ToAnsi(section), k = Utf8ToAnsi(key);
  std::uint32_t n = GetString(s, k, "\x01", buffer, file);
  if (n == 1 && buffer[0] == '\x01') {
    n = GetString(s, k, "\x02", buffer, file);
    if (n == 1 && buffer[0] == '\x02') return std::nullopt;
  }
  return AnsiToUtf8(std::string(buffer.data(), n));
}

Status IPrivateProfile::WriteTexts(const std::string& section,
                                   const std::vector<ProfileValue>& values,
                                   const std::string& file) {
  std::vector<ProfileValue> ansi;
  for (const auto& [key, value] : values) {
    std::string text = Utf8ToAnsi(value);
    if (AnsiToUtf8(text) != value)
      return MakeError(ErrorKind::Unsupported,
                       "cannot write " + file + ": \"" + value +
                           "\" holds characters that an INI file (Windows-1252) cannot hold");
    ansi.emplace_back(Utf8ToAnsi(key), std::move(text));
  }
  return WriteStrings(Utf8ToAnsi(section), ansi, file);
}

}  // namespace plumage::platform
