// Text at the Windows boundary. The program keeps its text in UTF-8; the
// ANSI calls take the system's ANSI code page.
#pragma once

#include <string>

namespace plumage::platform {

// UTF-8 to the ANSI code page (characters it lacks become '?'), and back.
std::string Utf8ToSystemAnsi(const std::string& utf8);
std::string SystemAnsiToUtf8(const std::string& ansi);
// UTF-8 to UTF-16, for the few calls that exist only as wide ones.
std::wstring Utf8ToWide(const std::string& utf8);

// The system's message text for an error code, without its closing line
// break ("error 1234" when the system has none).
std::string SystemErrorText(unsigned long code);

}  // namespace plumage::platform
