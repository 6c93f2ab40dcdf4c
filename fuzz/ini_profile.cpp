// The INI reader and writer over arbitrary bytes: every read, in both views
// (Windows-1252 and UTF-8), a write of a key the bytes choose in each, and
// the writes read back.
#include <array>
#include <cctype>
#include <cstdint>
#include <cstdlib>
#include <string>
#include <string_view>

#include "base/codepage.h"
#include "formats/profile_engine.h"

namespace {

using plumage::formats::ProfileEncoding;
using plumage::formats::ProfileText;

constexpr std::array<std::string_view, 4> kSections = {".ShellClassInfo", "Autorun", "S", " s "};
constexpr std::array<std::string_view, 4> kKeys = {"IconFile", "IconIndex", "Icon", "k"};
// UTF-8 values: two that Windows-1252 holds, two that it lacks (Greek; CJK
// and a character beyond the BMP).
constexpr std::array<std::string_view, 4> kTexts = {
    "v", "caf\xC3\xA9 \xE2\x82\xAC", "\xCE\x9C\xCE\xBF\xCF\x85\xCF\x83",
    "C:\\\xE9\x9F\xB3\xE6\xA5\xBD\\\xF0\x9F\x98\x80.ico"};

// Names as the engine compares them (the lists hold ASCII only).
bool SameName(std::string_view a, std::string_view b) {
  auto trim = [](std::string_view s) {
    while (!s.empty() && s.front() == ' ') s.remove_prefix(1);
    while (!s.empty() && s.back() == ' ') s.remove_suffix(1);
    return s;
  };
  a = trim(a);
  b = trim(b);
  if (a.size() != b.size()) return false;
  for (std::size_t i = 0; i < a.size(); ++i)
    if (std::toupper(static_cast<unsigned char>(a[i])) !=
        std::toupper(static_cast<unsigned char>(b[i])))
      return false;
  return true;
}

// Every other key of the lists reads as it did before the write.
void OthersKept(const ProfileText& before, const ProfileText& after, std::string_view section,
                std::string_view key) {
  for (std::string_view s : kSections)
    for (std::string_view k : kKeys)
      if ((!SameName(s, section) || !SameName(k, key)) &&
          after.FindText(s, k) != before.FindText(s, k))
        std::abort();
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  if (size == 0) return 0;
  const std::uint8_t choice = data[0];
  const std::string_view section = kSections[choice & 3];
  const std::string_view key = kKeys[(choice >> 2) & 3];
  const std::string_view textValue = kTexts[(choice >> 4) & 3];
  const std::string bytes(reinterpret_cast<const char*>(data + 1), size - 1);

  const ProfileText text(bytes);
  std::array<char, 300> buffer;
  for (std::size_t n : {std::size_t{0}, std::size_t{1}, std::size_t{7}, buffer.size()}) {
    buffer.fill(' ');
    std::uint32_t count = text.GetString(section, key, "default", std::span(buffer.data(), n));
    if (n > 0 && (count >= n || buffer[count] != '\0')) std::abort();
  }
  // The two views of one value differ only where Windows-1252 lacks a
  // character.
  const auto found = text.Find(section, key);
  const auto foundText = text.FindText(section, key);
  if (found.has_value() != foundText.has_value()) std::abort();
  if (foundText && plumage::Utf8ToAnsi(*foundText) != *found) std::abort();
  (void)text.Text();

  const std::string value = "v" + std::to_string(choice);
  auto written = text.Set(section, key, value);
  if (written && written.value()) {
    const ProfileText after(*written.value());
    if (after.Find(section, key) != value || after.encoding() != text.encoding()) std::abort();
    OthersKept(text, after, section, key);
  }

  auto wide = text.SetText(section, key, textValue);
  if (wide && wide.value()) {
    const ProfileText after(*wide.value());
    if (after.FindText(section, key) != textValue) std::abort();
    // The encoding stays, but for Windows-1252 that cannot hold the value.
    const bool fits = plumage::AnsiToUtf8(plumage::Utf8ToAnsi(textValue)) == textValue;
    const ProfileEncoding expected = text.encoding() == ProfileEncoding::Ansi && !fits
                                         ? ProfileEncoding::Utf16Le
                                         : text.encoding();
    if (after.encoding() != expected) std::abort();
    OthersKept(text, after, section, key);
  } else if (wide && foundText != textValue) {
    std::abort();  // "unchanged" only when it holds that value
  }
  return 0;
}
