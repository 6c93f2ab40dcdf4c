// The INI reader and writer over arbitrary bytes: every read, a write of a
// key the bytes choose, and the write read back.
#include <array>
#include <cstdint>
#include <cstdlib>
#include <string>
#include <string_view>

#include "platform/profile_engine.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  using plumage::platform::ProfileText;
  if (size == 0) return 0;
  static constexpr std::array<std::string_view, 4> kSections = {".ShellClassInfo", "Autorun", "S",
                                                                " s "};
  static constexpr std::array<std::string_view, 4> kKeys = {"IconFile", "IconIndex", "Icon", "k"};
  const std::uint8_t choice = data[0];
  const std::string_view section = kSections[choice & 3];
  const std::string_view key = kKeys[(choice >> 2) & 3];
  const std::string bytes(reinterpret_cast<const char*>(data + 1), size - 1);

  const ProfileText text(bytes);
  std::array<char, 300> buffer;
  for (std::size_t n : {std::size_t{0}, std::size_t{1}, std::size_t{7}, buffer.size()}) {
    buffer.fill(' ');
    std::uint32_t count = text.GetString(section, key, "default", std::span(buffer.data(), n));
    if (n > 0 && (count >= n || buffer[count] != '\0')) std::abort();
  }

  const std::string value = "v" + std::to_string(choice);
  auto written = text.Set(section, key, value);
  if (written && written.value()) {
    const ProfileText after(*written.value());
    if (after.Find(section, key) != value) std::abort();
  }
  return 0;
}
