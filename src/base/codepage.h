// Text at the platform boundary (registry, INI files) is in the ANSI code page
// of English and French Windows, Windows-1252; inside the program it is UTF-8.
#pragma once

#include <string>
#include <string_view>

namespace plumage {

// Windows-1252 bytes to UTF-8. The five bytes that Windows-1252 leaves
// undefined (0x81, 0x8D, 0x8F, 0x90, 0x9D) map to the C1 controls of the same
// value, as Windows itself does, so every byte survives a round trip.
std::string AnsiToUtf8(std::string_view ansi);

// UTF-8 to Windows-1252. A character the code page cannot hold becomes '?',
// as the ANSI calls of Windows do; malformed UTF-8 bytes are taken as
// Windows-1252 bytes, so text that was never UTF-8 passes through unchanged.
std::string Utf8ToAnsi(std::string_view utf8);

// One well-formed UTF-8 sequence at utf8[i]: its length and code point, or
// 0 when the bytes there are not UTF-8 (overlong forms and surrogates
// included).
std::size_t DecodeUtf8(std::string_view utf8, std::size_t i, char32_t& codePoint);
// Appends a code point as UTF-8.
void AppendUtf8(std::string& out, char32_t codePoint);

// Upper-cases ASCII letters and the Latin-1 letters of a UTF-8 text (é → É),
// for the case-blind comparisons of names and captions.
std::string UpperCaseUtf8(std::string_view utf8);

// True when the two texts are equal without regard to letter case.
bool EqualsIgnoreCase(std::string_view a, std::string_view b);

// One Windows-1252 byte and its Unicode code point, both ways; a code point
// the code page cannot hold gives -1.
char32_t AnsiToCodePoint(unsigned char ansi);
int CodePointToAnsi(char32_t codePoint);

// The upper-case form of one Windows-1252 byte (a-z, the accented letters,
// š œ ž ÿ), as UpperCaseUtf8 does for text.
unsigned char UpperAnsi(unsigned char ansi);
// The same for one code point; one outside those letters stays as it is.
char32_t UpperCodePoint(char32_t codePoint);

}  // namespace plumage

namespace plumage {

// Lengths and cuts of UTF-8 text in characters (code points), as the
// program's texts count them.
std::size_t Utf8Length(std::string_view utf8);
std::string Utf8Left(std::string_view utf8, std::size_t count);
std::string Utf8Right(std::string_view utf8, std::size_t count);

}  // namespace plumage
