#include "base/codepage.h"

#include <array>
#include <cstdint>

namespace plumage {
namespace {

// Code points of bytes 0x80 to 0x9F in Windows-1252.
constexpr std::array<char32_t, 32> kHigh = {
    0x20AC, 0x0081, 0x201A, 0x0192, 0x201E, 0x2026, 0x2020, 0x2021, 0x02C6, 0x2030, 0x0160,
    0x2039, 0x0152, 0x008D, 0x017D, 0x008F, 0x0090, 0x2018, 0x2019, 0x201C, 0x201D, 0x2022,
    0x2013, 0x2014, 0x02DC, 0x2122, 0x0161, 0x203A, 0x0153, 0x009D, 0x017E, 0x0178};

char32_t ByteToCodePoint(unsigned char b) {
  if (b >= 0x80 && b <= 0x9F) return kHigh[b - 0x80];
  return b;
}

}  // namespace

void AppendUtf8(std::string& out, char32_t cp) {
  if (cp < 0x80) {
    out.push_back(static_cast<char>(cp));
  } else if (cp < 0x800) {
    out.push_back(static_cast<char>(0xC0 | (cp >> 6)));
    out.push_back(static_cast<char>(0x80 | (cp & 0x3F)));
  } else if (cp < 0x10000) {
    out.push_back(static_cast<char>(0xE0 | (cp >> 12)));
    out.push_back(static_cast<char>(0x80 | ((cp >> 6) & 0x3F)));
    out.push_back(static_cast<char>(0x80 | (cp & 0x3F)));
  } else {
    out.push_back(static_cast<char>(0xF0 | (cp >> 18)));
    out.push_back(static_cast<char>(0x80 | ((cp >> 12) & 0x3F)));
    out.push_back(static_cast<char>(0x80 | ((cp >> 6) & 0x3F)));
    out.push_back(static_cast<char>(0x80 | (cp & 0x3F)));
  }
}

namespace {

int CodePointToByte(char32_t cp) {
  if (cp < 0x80 || (cp >= 0xA0 && cp <= 0xFF)) return static_cast<int>(cp);
  for (std::size_t i = 0; i < kHigh.size(); ++i)
    if (kHigh[i] == cp) return static_cast<int>(0x80 + i);
  return -1;
}

}  // namespace

std::size_t DecodeUtf8(std::string_view s, std::size_t i, char32_t& cp) {
  auto b = static_cast<unsigned char>(s[i]);
  std::size_t len = 0;
  if (b < 0x80) {
    cp = b;
    return 1;
  }
  if ((b & 0xE0) == 0xC0) {
    len = 2;
    cp = b & 0x1F;
  } else if ((b & 0xF0) == 0xE0) {
    len = 3;
    cp = b & 0x0F;
  } else if ((b & 0xF8) == 0xF0) {
    len = 4;
    cp = b & 0x07;
  } else {
    return 0;
  }
  if (i + len > s.size()) return 0;
  for (std::size_t k = 1; k < len; ++k) {
    auto c = static_cast<unsigned char>(s[i + k]);
    if ((c & 0xC0) != 0x80) return 0;
    cp = (cp << 6) | (c & 0x3F);
  }
  // Overlong forms and surrogates are not UTF-8.
  static constexpr char32_t kMin[] = {0, 0, 0x80, 0x800, 0x10000};
  if (cp < kMin[len] || cp > 0x10FFFF || (cp >= 0xD800 && cp <= 0xDFFF)) return 0;
  return len;
}

namespace {

char32_t UpperLatin1(char32_t cp) {
  if (cp >= 'a' && cp <= 'z') return cp - 32;
  if (cp >= 0xE0 && cp <= 0xFE && cp != 0xF7) return cp - 32;
  if (cp == 0x0153) return 0x0152;  // œ
  if (cp == 0x0161) return 0x0160;  // š
  if (cp == 0x017E) return 0x017D;  // ž
  if (cp == 0xFF) return 0x0178;    // ÿ
  return cp;
}

}  // namespace

std::string AnsiToUtf8(std::string_view ansi) {
  std::string out;
  out.reserve(ansi.size());
  for (char c : ansi) AppendUtf8(out, ByteToCodePoint(static_cast<unsigned char>(c)));
  return out;
}

std::string Utf8ToAnsi(std::string_view utf8) {
  std::string out;
  out.reserve(utf8.size());
  for (std::size_t i = 0; i < utf8.size();) {
    char32_t cp = 0;
    std::size_t len = DecodeUtf8(utf8, i, cp);
    if (len == 0) {
      out.push_back(utf8[i]);
      ++i;
      continue;
    }
    int b = CodePointToByte(cp);
    out.push_back(b < 0 ? '?' : static_cast<char>(b));
    i += len;
  }
  return out;
}

std::string UpperCaseUtf8(std::string_view utf8) {
  std::string out;
  out.reserve(utf8.size());
  for (std::size_t i = 0; i < utf8.size();) {
    char32_t cp = 0;
    std::size_t len = DecodeUtf8(utf8, i, cp);
    if (len == 0) {
      out.push_back(utf8[i]);
      ++i;
      continue;
    }
    AppendUtf8(out, UpperLatin1(cp));
    i += len;
  }
  return out;
}

bool EqualsIgnoreCase(std::string_view a, std::string_view b) {
  return UpperCaseUtf8(a) == UpperCaseUtf8(b);
}

char32_t AnsiToCodePoint(unsigned char ansi) {
  return ByteToCodePoint(ansi);
}

int CodePointToAnsi(char32_t codePoint) {
  return CodePointToByte(codePoint);
}

char32_t UpperCodePoint(char32_t codePoint) {
  return UpperLatin1(codePoint);
}

unsigned char UpperAnsi(unsigned char ansi) {
  int upper = CodePointToByte(UpperLatin1(ByteToCodePoint(ansi)));
  return upper < 0 ? ansi : static_cast<unsigned char>(upper);
}

}  // namespace plumage

namespace plumage {
namespace {
bool IsContinuation(char c) {
  return (static_cast<unsigned char>(c) & 0xC0) == 0x80;
}
}  // namespace

std::size_t Utf8Length(std::string_view utf8) {
  std::size_t n = 0;
  for (char c : utf8)
    if (!IsContinuation(c)) ++n;
  return n;
}

std::string Utf8Left(std::string_view utf8, std::size_t count) {
  std::size_t i = 0;
  std::size_t seen = 0;
  while (i < utf8.size()) {
    if (!IsContinuation(utf8[i])) {
      if (seen == count) break;
      ++seen;
    }
    ++i;
  }
  return std::string(utf8.substr(0, i));
}

std::string Utf8Right(std::string_view utf8, std::size_t count) {
  std::size_t total = Utf8Length(utf8);
  if (count >= total) return std::string(utf8);
  std::size_t skip = total - count;
  std::size_t i = 0;
  std::size_t seen = 0;
  while (i < utf8.size()) {
    if (!IsContinuation(utf8[i])) {
      if (seen == skip) break;
      ++seen;
    }
    ++i;
  }
  return std::string(utf8.substr(i));
}

}  // namespace plumage
