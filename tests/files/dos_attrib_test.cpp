// user.DOSATTRIB values as Wine and Samba write them, and Dir's wildcards.
#include <gtest/gtest.h>

#include <vector>

#include "formats/dos_attrib.h"
#include "platform/files.h"

namespace plumage::platform {
namespace {

using namespace formats;

using namespace std::string_literals;

std::optional<std::uint32_t> Parse(const std::string& bytes) {
  return ParseDosAttrib(
      std::span(reinterpret_cast<const std::uint8_t*>(bytes.data()), bytes.size()));
}

std::string U16(std::uint16_t v) {
  return {static_cast<char>(v & 0xFF), static_cast<char>(v >> 8)};
}
std::string U32(std::uint32_t v) {
  return U16(v & 0xFFFF) + U16(v >> 16);
}

TEST(DosAttrib, ReadsTheTextForm) {
  EXPECT_EQ(Parse("0x6"), 6u);     // as Wine writes it
  EXPECT_EQ(Parse("0x6\0"s), 6u);  // with the NUL Samba 3 wrote
  EXPECT_EQ(Parse("0X26"), 0x26u);
  EXPECT_EQ(Parse("0xffffffff"), 0xFFFFFFFFu);
  EXPECT_EQ(Parse("0x"), std::nullopt);
  EXPECT_EQ(Parse("6"), std::nullopt);
  EXPECT_EQ(Parse("0x6z"), std::nullopt);
  EXPECT_EQ(Parse("0x123456789"), std::nullopt) << "more than 32 bits";
  EXPECT_EQ(Parse(""), std::nullopt);
  EXPECT_EQ(FormatDosAttrib(6), "0x6");
  EXPECT_EQ(FormatDosAttrib(0x26), "0x26");
}

TEST(DosAttrib, ReadsSambasBinaryForm) {
  // Samba 4.9 and later: empty text, version 5, validity 0x11, Archive.
  const std::string v5 =
      "\0\0"s + U16(5) + U16(5) + "\0\0"s + U32(0x11) + U32(0x20) + std::string(8, '\x01');
  EXPECT_EQ(v5.size(), 24u);
  EXPECT_EQ(Parse(v5), 0x20u);
  // Version 4 with Hidden and System; version 3 with its text at the head.
  EXPECT_EQ(Parse("\0\0"s + U16(4) + U16(4) + "\0\0"s + U32(1) + U32(6) + std::string(16, '\0')),
            6u);
  const std::string v3 = "0x22\0"s + "\0"s + U16(3) + U16(3) + "\0\0"s + U32(1) + U32(0x22);
  EXPECT_EQ(Parse(v3), 0x22u);
  // Versions 1 and 2, and the compatibility record.
  EXPECT_EQ(Parse("\0\0"s + U16(1) + U16(1) + "\0\0"s + U32(2)), 2u);
  EXPECT_EQ(Parse("\0\0"s + U16(2) + U16(2) + "\0\0"s + U32(0) + U32(4)), 4u);
  EXPECT_EQ(Parse("\0\0"s + U16(0xFFFF) + U16(0xFFFF) + "\0\0"s + U32(0x21)), 0x21u);
  // A text of odd length shifts the alignment.
  EXPECT_EQ(Parse("ab\0"s + "\0"s + U16(5) + U16(5) + U32(1) + U32(2)), 2u);

  // Attributes marked invalid, an unknown version, a mismatched level.
  EXPECT_EQ(Parse("\0\0"s + U16(5) + U16(5) + "\0\0"s + U32(0x10) + U32(0x20)), std::nullopt);
  EXPECT_EQ(Parse("\0\0"s + U16(9) + U16(9) + "\0\0"s + U32(1) + U32(2)), std::nullopt);
  EXPECT_EQ(Parse("\0\0"s + U16(5) + U16(4) + "\0\0"s + U32(1) + U32(2)), std::nullopt);
  // Cut short at every length: never read past the end.
  for (std::size_t n = 0; n < v5.size(); ++n)
    EXPECT_EQ(Parse(v5.substr(0, n)), n < 16 ? std::nullopt : std::optional<std::uint32_t>(0x20))
        << n;
}

TEST(Wildcard, MatchesAsDirDoes) {
  struct Case {
    const char* name;
    const char* pattern;
    bool matches;
  };
  const Case cases[] = {
      {"game.exe", "*.EXE", true},
      {"GAME.EXE", "*.exe", true},
      {"Game.Exe", "*.EXE", true},
      {"game.exe.txt", "*.EXE", false},
      {"game.ex", "*.EXE", false},
      {"exe", "*.EXE", false},
      {".exe", "*.EXE", true},
      {"abc", "a?c", true},
      {"ac", "a?c", false},
      {"aXbYc", "a*b*c", true},
      {"noext", "*.*", true},
      {"x", "", false},
      {"", "*", true},
      {"été.exe", "ÉTÉ.*", true},
      {"é", "?", true},
      {"desktop.ini", "DESKTOP.INI", true},
      {"aaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaa", "*a*a*a*a*a*a*a*a*b", false},
  };
  for (const auto& c : cases)
    EXPECT_EQ(MatchesWildcard(c.name, c.pattern), c.matches) << c.name << " ~ " << c.pattern;
}

}  // namespace
}  // namespace plumage::platform
