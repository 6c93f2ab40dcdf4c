// The bytes of an INI file in UTF-16LE, as Windows writes one: the
// byte-order mark, then each code unit low byte first.
#pragma once

#include <string>

namespace plumage::test {

inline std::string Utf16(const std::u16string& text) {
  std::string out = "\xFF\xFE";
  for (char16_t c : text) {
    out.push_back(static_cast<char>(c & 0xFF));
    out.push_back(static_cast<char>(c >> 8));
  }
  return out;
}

}  // namespace plumage::test
