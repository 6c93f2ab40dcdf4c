// The private-profile engine over the bytes of an INI file: what
// GetPrivateProfileStringA/W read and what WritePrivateProfileStringA/W
// change, without any file system. The POSIX profile and the fuzz target
// drive it; it takes any bytes.
//
// The file as Windows and other tools write it:
// - lines end in CRLF, LF or a lone CR, and the last line may have no end;
// - a line whose first non-blank character is '[' and that holds a ']' is a
//   section header, its name the text up to the first ']';
// - a line whose first non-blank character is ';' is a comment;
// - any other non-blank line is a key: the name before the first '=', the
//   value after it; a key without '=' has no value, and a read of it gives
//   the default, as on Windows;
// - lines before the first header belong to no section;
// - only the first section of a name counts, and in it the first key of a
//   name (a later duplicate is never read nor written);
// - names match character for character without regard to the case of the
//   letters Windows-1252 has, blanks (space, tab, vertical tab, form feed)
//   around names and values do not count, and a read removes one pair of
//   enclosing quotes (" or ');
// - text is Windows-1252, except in a file that begins with the UTF-16LE
//   byte-order mark (Windows reads such a file as UTF-16) or the UTF-8 one
//   (which other tools write).
//
// Two views of the same text: Windows-1252 bytes (Find, GetString, Set: the
// ANSI calls, where a character the code page lacks reads as '?'), and
// UTF-8 (FindText, SetText: the wide calls, every character as it is).
// A write keeps the file's encoding, except that a Windows-1252 file (or a
// new one) that cannot hold a name or value becomes UTF-16LE with its
// byte-order mark, its old text converted character for character and its
// line ends kept: Windows stores such text in a DESKTOP.INI that way.
//
// A write changes as little as it can: the replaced key keeps everything of
// its line up to and including the '=' and its line end; an added key goes
// after the last key of its section, an added section at the end of the
// file; new lines end in CRLF. Every other character stays as it was (and
// every other byte, unless the whole file had to become UTF-16).
#pragma once

#include <cstdint>
#include <optional>
#include <span>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

#include "base/result.h"

namespace plumage::formats {

enum class ProfileEncoding { Ansi, Utf16Le, Utf8 };

// Copies a value the way the profile reader fills a caller's buffer: at most
// buffer.size() - 1 bytes, cut at a NUL, then a NUL; the rest of the buffer
// is left alone. Returns the count copied (0, untouched, for no buffer).
std::uint32_t CopyToProfileBuffer(std::string_view value, std::span<char> buffer);

class ProfileText {
 public:
  // Parses any bytes; never fails.
  explicit ProfileText(std::string_view bytes);

  ProfileEncoding encoding() const { return encoding_; }

  // The value a read gives (Windows-1252 bytes), or nothing when the
  // section or the key is missing or the key has no '='.
  std::optional<std::string> Find(std::string_view section, std::string_view key) const;

  // GetPrivateProfileStringA over this text.
  std::uint32_t GetString(std::string_view section, std::string_view key,
                          std::string_view defaultValue, std::span<char> buffer) const;

  // The value a read gives as UTF-8 text, each character as the file holds
  // it (a Windows-1252 file's bytes converted; a unit that is no character,
  // such as half a surrogate pair or a byte that is not UTF-8, as U+FFFD).
  // Section and key are UTF-8.
  std::optional<std::string> FindText(std::string_view section, std::string_view key) const;

  // The bytes of the file with `key` set to `value` (Windows-1252 bytes),
  // or nothing when it holds that value already. Fails, changing nothing,
  // for names and values that the file could not give back as they were
  // written (a line break or NUL anywhere, an empty name, ']' in a section
  // name, '=' in a key name or a key name that would read as a header or a
  // comment), and for a UTF-16 file cut in the middle of a character.
  Result<std::optional<std::string>> Set(std::string_view section, std::string_view key,
                                         std::string_view value) const;

  // Set with UTF-8 names and value (bytes that are not UTF-8 taken as
  // Windows-1252, as Utf8ToAnsi takes them). A Windows-1252 file that
  // cannot hold them comes back as UTF-16LE.
  Result<std::optional<std::string>> SetText(std::string_view section, std::string_view key,
                                             std::string_view value) const;

  // The whole text as UTF-8, as FindText reads each character.
  std::string Text() const;

 private:
  enum class Kind { Blank, Comment, Section, Key };
  // One line, found when it is needed: a file of millions of lines costs
  // no more memory than its bytes.
  struct Line {
    Kind kind = Kind::Blank;
    std::size_t begin = 0;      // first unit of the content
    std::size_t end = 0;        // one past the content (the line end excluded)
    std::size_t next = 0;       // first unit of the next line
    std::size_t equals = 0;     // unit of the '=' of a key; npos when it has none
    std::size_t nameBegin = 0;  // section or key name, trimmed
    std::size_t nameEnd = 0;
  };
  struct Place {
    std::optional<Line> section;  // header line
    std::optional<Line> key;      // first matching key line
    Line lastKey;                 // last key line of the section, or its header
    std::optional<Line> last;     // the file's last line
  };

  // A value's units: [first, second).
  using Range = std::pair<std::size_t, std::size_t>;

  // Over bytes it takes over rather than copies (a converted file).
  struct Adopt {};
  ProfileText(Adopt, std::string bytes) : bytes_(std::move(bytes)) { Decode(); }

  void Decode();
  Line LineAt(std::size_t pos) const;
  // The character of one unit (U+FFFD for a unit that is none).
  char32_t CodePointAt(std::size_t unit) const;
  bool NameIs(const Line& line, std::u32string_view upperName) const;
  Place Locate(std::u32string_view section, std::u32string_view key) const;
  std::optional<Range> ValueRange(std::u32string_view section, std::u32string_view key) const;
  Result<std::optional<std::string>> SetCodePoints(std::u32string_view section,
                                                   std::u32string_view key,
                                                   std::u32string_view value) const;
  std::size_t ByteAt(std::size_t unit) const {
    return encoding_ == ProfileEncoding::Ansi ? unit : offsets_[unit];
  }
  bool Holds(std::u32string_view text) const;
  std::string Encode(std::u32string_view text) const;
  std::string AsUtf16() const;  // a Windows-1252 file's text as UTF-16LE with its mark

  std::string bytes_;
  ProfileEncoding encoding_ = ProfileEncoding::Ansi;
  std::string decoded_;                 // UTF-16 and UTF-8 files as Windows-1252
  std::string_view view_;               // one Windows-1252 character per unit
  std::vector<std::uint32_t> offsets_;  // UTF-16 and UTF-8: byte offset of every unit, and the end
  bool oddTail_ = false;  // a UTF-16 file with half a character at its end
};

}  // namespace plumage::formats
