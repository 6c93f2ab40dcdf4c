// What the Win32 front end does to texts at the boundary of the wide calls
// besides UTF-16 (platform/win32/win32_text.h), kept free of windows.h so
// that it is tested on every platform.
#pragma once

#include <string>
#include <string_view>

namespace plumage::win32 {

// The whole argument text of a Windows command line (GetCommandLineW, in
// UTF-8): what
// follows the program name and the one blank after it. The name ends at its
// closing quote when it begins with one, else at the first blank or tab;
// quotes and blanks in the rest are kept, since the rest is the folder path.
std::string ArgumentTextFromCommandLine(std::string_view commandLine);

// Line breaks as the controls take them: a carriage return alone (as the
// program composes its messages) becomes a CR LF pair; pairs stay pairs.
std::string CrLfLineBreaks(std::string_view text);
// And back: each CR LF pair a carriage return alone.
std::string CrLineBreaks(std::string_view text);

// "desc|patterns|desc|patterns" as the common dialog takes a filter: each
// part ended by a NUL and the list by a second one. Empty parts stay, so the
// pairs keep their places and the filter index still counts them.
std::string CommonDialogFilter(std::string_view filter);

}  // namespace plumage::win32
