// Text at the Windows boundary. The program keeps its text in UTF-8 and
// calls the wide (UTF-16) functions throughout, so a folder named in any
// script is that folder; the conversions happen here and nowhere else.
// What the program stores (registry text values, INI values) is
// Windows-1252 bytes at its platform interfaces, and crosses to UTF-16
// through that code page's own table, whatever the system's ANSI code page.
#pragma once

#include <string>
#include <string_view>

namespace plumage::platform {

// UTF-8 to UTF-16 and back. Malformed UTF-8 becomes U+FFFD, as the system's
// conversion makes it; so does a lone surrogate on the way back.
std::wstring Utf8ToWide(std::string_view utf8);
std::string WideToUtf8(std::wstring_view wide);

// Windows-1252 bytes (the program's stored text) to UTF-16 and back; a
// character the code page lacks becomes '?', as the ANSI calls made it.
// Embedded NULs stay (multi-string values).
std::wstring AnsiToWide(std::string_view ansi);
std::string WideToAnsi(std::wstring_view wide);

// The system's message text for an error code, without its closing line
// break ("error 1234" when the system has none).
std::string SystemErrorText(unsigned long code);

}  // namespace plumage::platform
