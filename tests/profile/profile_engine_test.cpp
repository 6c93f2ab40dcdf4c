// The private-profile engine against the behaviour of the Windows profile
// calls, as truth tables: file bytes in, value or new bytes out.
#include <gtest/gtest.h>

#include <array>

#include "formats/profile_engine.h"
#include "profile/utf16.h"

namespace plumage::formats {
namespace {

using namespace std::string_literals;
using test::Utf16;

// The new bytes of a write, in the Windows-1252 view or the UTF-8 one;
// "=unchanged" when the file holds the value.
std::string Write(const std::string& file, const std::string& section, const std::string& key,
                  const std::string& value, bool text = false) {
  const ProfileText before(file);
  auto result = text ? before.SetText(section, key, value) : before.Set(section, key, value);
  if (!result) return "=error: " + result.error().message;
  return result.value() ? *result.value() : "=unchanged";
}

struct ReadCase {
  const char* what;
  std::string file;
  std::string section;
  std::string key;
  std::optional<std::string> value;
};

TEST(ProfileRead, MatchesWindowsRules) {
  const ReadCase cases[] = {
      {"plain", "[S]\r\nk=v\r\n", "S", "k", "v"},
      {"case of names", "[s]\r\nKEY=v\r\n", "S", "key", "v"},
      {"no last line end", "[S]\r\nk=v", "S", "k", "v"},
      {"blanks around everything", "  [ S ]  \r\n\t k \t= \tv w \t\r\n", "S", " k ", "v w"},
      {"caller's blanks", "[S]\r\nk=v\r\n", " S ", " k\t", "v"},
      {"double quotes", "[S]\nk=\"v\"\n", "S", "k", "v"},
      {"single quotes", "[S]\nk='v'\n", "S", "k", "v"},
      {"quotes keep inner blanks", "[S]\nk=\" v \"\n", "S", "k", " v "},
      {"only one pair", "[S]\nk=\"\"v\"\"\n", "S", "k", "\"v\""},
      {"unmatched quotes stay", "[S]\nk=\"v'\n", "S", "k", "\"v'"},
      {"a lone quote stays", "[S]\nk=\"\n", "S", "k", "\""},
      {"empty quotes", "[S]\nk=\"\"\n", "S", "k", ""},
      {"empty value", "[S]\nk=\n", "S", "k", ""},
      {"'=' in the value", "[S]\nk=a=b\n", "S", "k", "a=b"},
      {"blank inside a key name", "[S]\nmy key = v\n", "S", "my key", "v"},
      {"a key without '=' reads as missing", "[S]\nk\nk=v\n", "S", "k", std::nullopt},
      {"first duplicate key", "[S]\nk=1\nk=2\n", "S", "k", "1"},
      {"only the first section of a name", "[S]\nx=1\n[s]\nk=2\n", "S", "k", std::nullopt},
      {"comment lines are not keys", "[S]\n;k=1\nk=2\n", "S", "k", "2"},
      {"a comment is never found", "[S]\n;k=1\n", "S", ";k", std::nullopt},
      {"keys before any section", "k=1\n[S]\n", "S", "k", std::nullopt},
      {"LF line ends", "[S]\nk=1\nj=2\n", "S", "j", "2"},
      {"CR line ends", "[S]\rk=1\rj=2\r", "S", "j", "2"},
      {"LF CR is two line ends", "[S]\n\rk=1\n\r", "S", "k", "1"},
      {"text after the header's ']'", "[S] ; note\nk=1\n", "S", "k", "1"},
      {"a header without ']' is a key", "[S\nk=1\n", "S", "k", std::nullopt},
      {"header ends at the first ']'", "[S]x]\nk=1\n", "S", "k", "1"},
      {"NUL ends a value", "[S]\nk=ab\0cd\n"s, "S", "k", "ab"},
      {"missing section", "[T]\nk=1\n", "S", "k", std::nullopt},
      {"missing key", "[S]\nj=1\n", "S", "k", std::nullopt},
      {"empty file", "", "S", "k", std::nullopt},
      {"Windows-1252 letters ignore case", "[\xC9T\xC9]\n\xE9t\xE9=1\n", "\xE9t\xE9", "\xC9T\xC9",
       "1"},
      {"UTF-16LE", Utf16(u"[S]\r\nk=\u00E9t\u00E9\r\n"), "S", "k", "\xE9t\xE9"},
      {"UTF-16LE beyond the code page", Utf16(u"[S]\r\nk=a\u4E2Db\r\n"), "S", "k", "a?b"},
      {"UTF-16LE with the euro sign", Utf16(u"[S]\nk=\u20AC\n"), "S", "k", "\x80"},
      {"UTF-8 with its mark", "\xEF\xBB\xBF[S]\nk=\xC3\xA9\n", "S", "k", "\xE9"},
      {"a UTF-8 mark alone is not ANSI text", "\xEF\xBB\xBF[S]\nk=1", "S", "k", "1"},
      {"a name Windows-1252 lacks is not '?'", Utf16(u"[S]\n\u97F3=1\n?=2\n"), "S", "?", "2"},
      {"half a UTF-16 character at the end", Utf16(u"[S]\r\nk=1\r\n") + "x", "S", "k", "1"},
  };
  for (const auto& c : cases)
    EXPECT_EQ(ProfileText(c.file).Find(c.section, c.key), c.value) << c.what;
}

// Text Windows-1252 lacks, in UTF-8: "Μουσική", "音楽" and an emoji beyond
// the BMP.
const std::string kGreek = "\xCE\x9C\xCE\xBF\xCF\x85\xCF\x83\xCE\xB9\xCE\xBA\xCE\xAE";
const std::string kCjk = "\xE9\x9F\xB3\xE6\xA5\xBD";
const std::string kEmoji = "\xF0\x9F\x98\x80";
const std::string kReplacement = "\xEF\xBF\xBD";

TEST(ProfileReadText, GivesEveryCharacterAsTheFileHoldsIt) {
  const ReadCase cases[] = {
      {"UTF-16LE",
       Utf16(u"[S]\r\nk=\u039C\u03BF\u03C5\u03C3\u03B9\u03BA\u03AE \u97F3\u697D "
             u"\U0001F600\r\n"),
       "S", "k", kGreek + " " + kCjk + " " + kEmoji},
      {"UTF-8 with its mark", "\xEF\xBB\xBF[S]\nk=" + kCjk + "\n", "S", "k", kCjk},
      {"Windows-1252 converted", "[S]\nk=caf\xE9 \x80\n", "S", "k", "caf\xC3\xA9 \xE2\x82\xAC"},
      {"an undefined Windows-1252 byte", "[S]\nk=\x81\n", "S", "k", "\xC2\x81"},
      {"half a surrogate pair", Utf16(u"[S]\nk=a"s + char16_t(0xD83D) + u"b\n"), "S", "k",
       "a" + kReplacement + "b"},
      {"a byte that is not UTF-8", "\xEF\xBB\xBF[S]\nk=a\xFFz\n", "S", "k",
       "a" + kReplacement + "z"},
      {"half a UTF-16 character at the end", Utf16(u"[S]\nk=a") + "x", "S", "k",
       "a" + kReplacement},
      {"blanks and quotes as ever", Utf16(u"[S]\nk= \"\u97F3 \" \n"), "S", "k", "\xE9\x9F\xB3 "},
      {"NUL ends a value", Utf16(u"[S]\nk=\u97F3\0x\n"s), "S", "k", "\xE9\x9F\xB3"},
      {"names in any script", Utf16(u"[\u97F3]\n?=1\n\u697D=2\n"), "\xE9\x9F\xB3", "\xE6\xA5\xBD",
       "2"},
      {"Latin names without regard to case", "[\xC9T\xC9]\nk=1\n", "\xC3\xA9t\xC3\xA9", "K", "1"},
      {"'?' is not a name the file lacks", Utf16(u"[S]\n\u97F3=1\n"), "S", "?", std::nullopt},
      {"missing key", Utf16(u"[S]\nj=1\n"), "S", "k", std::nullopt},
      {"a key without '='", Utf16(u"[S]\nk\n"), "S", "k", std::nullopt},
  };
  for (const auto& c : cases)
    EXPECT_EQ(ProfileText(c.file).FindText(c.section, c.key), c.value) << c.what;
}

TEST(ProfileReadText, TheWholeTextForADryRun) {
  EXPECT_EQ(ProfileText(Utf16(u"[S]\r\nk=\u97F3\u697D\r\n")).Text(), "[S]\r\nk=" + kCjk + "\r\n");
  EXPECT_EQ(ProfileText("[S]\nk=\xE9").Text(), "[S]\nk=\xC3\xA9");
}

TEST(ProfileRead, FillsTheBufferAsGetPrivateProfileString) {
  const ProfileText text("[S]\r\nk=abcdef\r\n");
  struct BufferCase {
    std::size_t size;
    std::uint32_t count;
    std::string expected;  // the whole buffer afterwards, '#' where untouched
  };
  const BufferCase cases[] = {
      {0, 0, ""},         {1, 0, "\0"s},       {4, 3, "abc\0"s},
      {6, 5, "abcde\0"s}, {7, 6, "abcdef\0"s}, {10, 6, "abcdef\0###"s},
  };
  for (const auto& c : cases) {
    std::array<char, 16> buffer;
    buffer.fill('#');
    EXPECT_EQ(text.GetString("S", "k", "x", std::span(buffer.data(), c.size)), c.count) << c.size;
    EXPECT_EQ(std::string(buffer.data(), c.size), c.expected) << c.size;
    EXPECT_EQ(buffer[c.size], '#') << "written past the buffer of " << c.size;
  }
}

TEST(ProfileRead, DefaultLosesTrailingBlanksAndIsCutLikeAValue) {
  const ProfileText text("[S]\nk\n");
  std::array<char, 8> buffer{};
  EXPECT_EQ(text.GetString("S", "k", "dflt  ", buffer), 4u);
  EXPECT_STREQ(buffer.data(), "dflt");
  EXPECT_EQ(text.GetString("S", "missing", "  lead", buffer), 6u);
  EXPECT_STREQ(buffer.data(), "  lead");
  EXPECT_EQ(text.GetString("T", "k", "0123456789", buffer), 7u);
  EXPECT_STREQ(buffer.data(), "0123456");
  EXPECT_EQ(text.GetString("T", "k", "", buffer), 0u);
  EXPECT_EQ(buffer[0], '\0');
}

struct WriteCase {
  const char* what;
  std::string before;
  std::string key;
  std::string value;  // UTF-8 in the text view
  std::string after;
};

TEST(ProfileWrite, ChangesOnlyWhatItMust) {
  const WriteCase cases[] = {
      {"creates the file", "", "k", "v", "[S]\r\nk=v\r\n"},
      {"replaces a value", "[S]\r\nk=old\r\n", "k", "v", "[S]\r\nk=v\r\n"},
      {"keeps the line up to '=' and its end", "[S]\n  K = old  \n", "k", "v", "[S]\n  K =v\n"},
      {"a key without '=' gets one", "[S]\nk  \n", "k", "v", "[S]\nk=v\n"},
      {"empty value", "[S]\r\nk=old\r\n", "k", "", "[S]\r\nk=\r\n"},
      {"adds after the last key of the section", "[S]\r\na=1\r\n\r\n[T]\r\nb=2\r\n", "k", "v",
       "[S]\r\na=1\r\nk=v\r\n\r\n[T]\r\nb=2\r\n"},
      {"before a trailing comment", "[S]\na=1\n; about T\n[T]\n", "k", "v",
       "[S]\na=1\nk=v\r\n; about T\n[T]\n"},
      {"into an empty section", "[S]\n\n[T]\n", "k", "v", "[S]\nk=v\r\n\n[T]\n"},
      {"ends the last line first", "[S]\na=1", "k", "v", "[S]\na=1\r\nk=v\r\n"},
      {"header alone without line end", "[S]", "k", "v", "[S]\r\nk=v\r\n"},
      {"CR-only file", "[S]\ra=1\r", "k", "v", "[S]\ra=1\rk=v\r\n"},
      {"first duplicate key only", "[S]\nk=1\nk=2\n", "k", "3", "[S]\nk=3\nk=2\n"},
      {"first section of a name only", "[S]\na=1\n[S]\nk=2\n", "k", "v",
       "[S]\na=1\nk=v\r\n[S]\nk=2\n"},
      {"adds a section at the end", "[T]\r\nb=2\r\n", "k", "v", "[T]\r\nb=2\r\n[S]\r\nk=v\r\n"},
      {"after a last line without end", "[T]\nb=2", "k", "v", "[T]\nb=2\r\n[S]\r\nk=v\r\n"},
      {"keys before any section stay", "k=1\n", "k", "v", "k=1\n[S]\r\nk=v\r\n"},
      {"a commented-out key is not replaced", "[S]\n;k=1\n", "k", "v", "[S]\nk=v\r\n;k=1\n"},
      {"odd bytes elsewhere stay", "\x01\x02\r\r\n[S]\n\xFF\xFE=\x80\nk=1\n", "k", "2",
       "\x01\x02\r\r\n[S]\n\xFF\xFE=\x80\nk=2\n"},
      {"same value: no write", "[S]\nk= v \n", "k", "v", "=unchanged"},
      {"quoted value is not the same", "[S]\nk=\"v\"\n", "k", "v", "[S]\nk=v\n"},
      {"UTF-16LE stays", Utf16(u"[S]\r\nk=old\r\n"), "k", "\xE9\x80",
       Utf16(u"[S]\r\nk=\u00E9\u20AC\r\n")},
      {"UTF-16LE section added", Utf16(u"[T]\r\nb=\u4E2D"), "k", "v",
       Utf16(u"[T]\r\nb=\u4E2D\r\n[S]\r\nk=v\r\n")},
      {"a character read as '?' is no '?'", Utf16(u"[S]\nk=\u4E2D\n"), "k", "?",
       Utf16(u"[S]\nk=?\n")},
      {"an empty UTF-16LE file", Utf16(u""), "k", "v", Utf16(u"[S]\r\nk=v\r\n")},
      {"UTF-16LE holds it already", Utf16(u"[S]\nk=\u00E9\n"), "k", "\xE9", "=unchanged"},
      {"UTF-8 stays", "\xEF\xBB\xBF[S]\nk=1\n", "k", "\xE9", "\xEF\xBB\xBF[S]\nk=\xC3\xA9\n"},
      {"half a UTF-16 character at the end: never rewritten", Utf16(u"[S]\r\nk=1\r\n") + "x", "k",
       "2", "=error: the UTF-16 file ends in half a character; it is left as it is"},
  };
  for (const auto& c : cases) EXPECT_EQ(Write(c.before, "S", c.key, c.value), c.after) << c.what;
}

TEST(ProfileWrite, RefusesWhatTheFileCouldNotGiveBack) {
  const std::string file = "[S]\r\nk=1\r\n";
  for (const auto& [section, key, value] : std::vector<std::array<std::string, 3>>{
           {"S", "k", "a\nb"},
           {"S", "k", "a\rb"},
           {"S", "k", "a\0b"s},
           {"S", "a=b", "v"},
           {"S", "", "v"},
           {"S", "  ", "v"},
           {"S", "[x]", "v"},
           {"S", ";x", "v"},
           {"a]b", "k", "v"},
           {" ", "k", "v"},
           {"S\n", "k", "v"},
       }) {
    auto result = ProfileText(file).Set(section, key, value);
    EXPECT_FALSE(result.ok()) << section << "/" << key;
  }
}

TEST(ProfileWriteText, KeepsTheEncodingUnlessWindows1252CannotHoldTheText) {
  const WriteCase cases[] = {
      {"Windows-1252 holds it: it stays", "[S]\r\nk=old\r\n", "k", "caf\xC3\xA9 \xE2\x82\xAC",
       "[S]\r\nk=caf\xE9 \x80\r\n"},
      {"a new file that holds it", "", "k", "v", "[S]\r\nk=v\r\n"},
      {"a new file that cannot is UTF-16LE", "", "k", kGreek,
       Utf16(u"[S]\r\nk=\u039C\u03BF\u03C5\u03C3\u03B9\u03BA\u03AE\r\n")},
      {"a Windows-1252 file becomes UTF-16LE whole, line ends kept",
       "; caf\xE9\n[S]\rk = old \r\n[T]\nx=\x80\x81", "k", kCjk + kEmoji,
       Utf16(u"; caf\u00E9\n[S]\rk =\u97F3\u697D\U0001F600\r\n[T]\nx=\u20AC\u0081")},
      {"and so for a name it lacks", "[S]\r\nk=1\r\n", kCjk, "1",
       Utf16(u"[S]\r\nk=1\r\n\u97F3\u697D=1\r\n")},
      {"a UTF-16LE file stays so for ASCII", Utf16(u"[S]\r\nk=\u97F3\r\nj=2\r\n"), "k", "v",
       Utf16(u"[S]\r\nk=v\r\nj=2\r\n")},
      {"a character beyond the BMP is a surrogate pair", Utf16(u"[S]\r\nk=old\r\n"), "k", kEmoji,
       Utf16(u"[S]\r\nk=\U0001F600\r\n")},
      {"a UTF-8 file stays UTF-8", "\xEF\xBB\xBF[S]\nk=1\n", "k", kCjk,
       "\xEF\xBB\xBF[S]\nk=" + kCjk + "\n"},
      {"the same characters: no write", Utf16(u"[S]\nk= \u97F3\u697D \n"), "k", kCjk, "=unchanged"},
      {"a '?' is not what it stood for", Utf16(u"[S]\nk=?\n"), "k", kCjk,
       Utf16(u"[S]\nk=\u97F3\u697D\n")},
      {"bytes that are not UTF-8 are Windows-1252 bytes", "[S]\nk=1\n", "k", "\xE9",
       "[S]\nk=\xE9\n"},
      {"a value that cannot be kept changes nothing", "[S]\nk=1\n", "k", kCjk + "\n",
       "=error: the value of k holds a line break or a NUL, which an INI file cannot keep"},
  };
  for (const auto& c : cases)
    EXPECT_EQ(Write(c.before, "S", c.key, c.value, true), c.after) << c.what;
}

}  // namespace
}  // namespace plumage::formats
