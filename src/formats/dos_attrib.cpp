#include "formats/dos_attrib.h"

#include <cstdio>

#include "base/byte_reader.h"

namespace plumage::formats {
namespace {

// Eight hex digits fill 32 bits; a longer text is not an attribute value.
constexpr std::size_t kMaxHexDigits = 8;

int HexDigit(std::uint8_t c) {
  if (c >= '0' && c <= '9') return c - '0';
  if (c >= 'a' && c <= 'f') return c - 'a' + 10;
  if (c >= 'A' && c <= 'F') return c - 'A' + 10;
  return -1;
}

// "0x" and hex digits up to the end or a NUL; nothing else may follow them.
std::optional<std::uint32_t> ParseHexText(std::span<const std::uint8_t> text) {
  if (text.size() < 3 || text[0] != '0' || (text[1] != 'x' && text[1] != 'X')) return std::nullopt;
  std::uint32_t value = 0;
  std::size_t digits = 0;
  for (std::size_t i = 2; i < text.size() && text[i] != 0; ++i) {
    int d = HexDigit(text[i]);
    if (d < 0 || ++digits > kMaxHexDigits) return std::nullopt;
    value = (value << 4) | static_cast<std::uint32_t>(d);
  }
  if (digits == 0) return std::nullopt;
  return value;
}

Status AlignTo(ByteReader& in, std::size_t alignment) {
  std::size_t pad = (alignment - in.position() % alignment) % alignment;
  return in.Skip(pad);
}

std::optional<std::uint32_t> ParseBinary(std::span<const std::uint8_t> value) {
  ByteReader in(value, "user.DOSATTRIB");
  // The leading text, with its NUL.
  std::size_t nul = 0;
  while (nul < value.size() && value[nul] != 0) ++nul;
  if (nul == value.size()) return std::nullopt;
  if (!in.Skip(nul + 1)) return std::nullopt;
  if (!AlignTo(in, 2)) return std::nullopt;
  auto version = in.U16();
  auto level = in.U16();
  if (!version || !level || *version != *level) return std::nullopt;
  if (!AlignTo(in, 4)) return std::nullopt;
  switch (*version) {
    case 0xFFFF:
    case 1: {
      auto attrib = in.U32();
      if (!attrib) return std::nullopt;
      return *attrib;
    }
    case 2: {
      auto flags = in.U32();
      auto attrib = in.U32();
      if (!flags || !attrib) return std::nullopt;
      return *attrib;
    }
    case 3:
    case 4:
    case 5: {
      constexpr std::uint32_t kAttribValid = 1;
      auto valid = in.U32();
      auto attrib = in.U32();
      if (!valid || !attrib || (*valid & kAttribValid) == 0) return std::nullopt;
      return *attrib;
    }
    default:
      return std::nullopt;
  }
}

}  // namespace

std::optional<std::uint32_t> ParseDosAttrib(std::span<const std::uint8_t> value) {
  // The text form, alone or at the head of an older binary record.
  if (auto hex = ParseHexText(value)) return hex;
  return ParseBinary(value);
}

std::string FormatDosAttrib(std::uint32_t attributes) {
  char text[16];
  std::snprintf(text, sizeof text, "0x%x", static_cast<unsigned>(attributes));
  return text;
}

}  // namespace plumage::formats
