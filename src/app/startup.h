// The start of a run: the argument text, FolderName, the Windows directory,
// the title text, and the decisions that the picker's load makes before it
// shows anything.
#pragma once

#include <string>
#include <string_view>

namespace plumage {

struct Program;
class IUserInterface;

// The whole argument text of the Linux command line: argv[1..] joined with
// single blanks (a path with blanks needs no quotes).
std::string JoinArguments(int argc, const char* const* argv);

// The part of the argument text after its last separator; empty when there
// is none or the text ends in one.
std::string ComputeFolderName(std::string_view argumentText);

// The picker's title: "Plumage - " and the path, shortened past 20
// characters to its first 3, "..." and its last 15.
std::string PickerTitle(std::string_view argumentText);

// The registry value that holds the Windows directory on Windows 95 and 98,
// and the NT fallback.
inline constexpr const char* kWin9xKey = "Software\\Microsoft\\Windows\\CurrentVersion";
inline constexpr const char* kWin9xValue = "SystemRoot";
inline constexpr const char* kWinNtKey = "Software\\Microsoft\\Windows NT\\CurrentVersion";
inline constexpr const char* kWinNtValue = "SystemRoot";

// Sets WindowsDirectory from the registry; when neither value is there, the
// program folder stands in. Always ends in a separator.
void FindWindowsDirectory(Program& program);

// Main's own steps, before the picker loads: takes the argument text,
// computes FolderName and the Windows directory.
void BeginRun(Program& program, std::string argumentText);

// How a run goes on once the settings are loaded.
enum class RunKind {
  SettingsOnly,    // no argument: the settings dialog, then the end
  NetworkRefused,  // \\server\share...: the message, then the end
  Picker,          // the icon picker for the folder
};
RunKind DecideRun(std::string_view argumentText);

}  // namespace plumage
