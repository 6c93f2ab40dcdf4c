// What the Win32 front end does to texts at the boundary of the ANSI calls,
// kept free of windows.h so that it is tested on every platform.
#pragma once

#include <string>
#include <string_view>

namespace plumage::win32 {

// The whole argument text of a Windows command line (GetCommandLineA): what
// follows the program name and the one blank after it. The name ends at its
// closing quote when it begins with one, else at the first blank or tab;
// quotes and blanks in the rest are kept, since the rest is the folder path.
std::string ArgumentTextFromCommandLine(std::string_view commandLine);

// A program text (UTF-8, a carriage return alone as a line break) as the
// ANSI calls show it: Windows-1252, each line break a CR LF pair.
std::string ToWindowsText(std::string_view utf8);

// Text read back from a control or a common dialog: Windows-1252 to UTF-8,
// with CR LF pairs left as the program composes them (a CR alone).
std::string FromWindowsText(std::string_view ansi);

// "desc|patterns|desc|patterns" as the common dialog takes a filter: each
// part ended by a NUL and the list by a second one. Empty parts stay, so the
// pairs keep their places and the filter index still counts them.
std::string CommonDialogFilter(std::string_view filter);

}  // namespace plumage::win32
