// The program's own settings: the verb key on folders, its values and their
// stored forms, and the rules for reading them back.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>

#include "platform/registry.h"

namespace plumage {

struct Program;
class IUserInterface;

inline constexpr std::uint32_t kVerbRoot = formats::kHkeyClassesRoot;
inline constexpr const char* kVerbKey = "Folder\\shell\\PlumIcon";
inline constexpr const char* kVerbCommandKey = "Folder\\shell\\PlumIcon\\command";
inline constexpr const char* kDefaultLibraryValue = "DefaultLibrary";
inline constexpr const char* kNoWarningValue = "NoWarning";
// Whether a folder's icon is also given to the Linux file managers (GIO's
// custom icon, KDE's .directory); stored as " 1" or " 0", on when missing.
inline constexpr const char* kLinuxIconsValue = "LinuxIcons";
// Whether the chosen icon is copied into the folder and named there by its
// bare name; stored as " 1" or " 0".
inline constexpr const char* kKeepIconInsideValue = "KeepIconInside";
// The Windows names of local folders (see folder/windows_paths.h).
inline constexpr const char* kWindowsPathsValue = "WindowsPaths";

// A text read from the registry without its terminating NUL: a lone NUL or
// an empty text becomes empty, then one trailing NUL is removed.
std::string CleanRegistryText(std::string text);

// The leading decimal number of a text: leading blanks skipped, then an
// optional sign, digits and a fraction (" 1", "1" and "1.0" are 1); a text
// that does not begin with a number is 0.
double LeadingNumber(std::string_view text);

// The language a verb caption stands for: 1 (French) when it equals the
// French caption without regard to case, else 0.
std::int16_t LanguageOfCaption(std::string_view caption);

// Fills Language, DefaultLibrary and NoWarning from the verb key, or shows
// the "not correctly installed" message when the key cannot be opened.
void LoadSettings(Program& program, IUserInterface& ui);

// The settings as the settings dialog writes them, each on its own: the
// value is written to the verb key, then the program-wide value follows.
// False when the value could not be stored; nothing else changed then.
bool StoreDefaultLibrary(Program& program, const std::string& path);
bool StoreNoWarning(Program& program, bool reminderOff);
bool StoreLanguage(Program& program, std::int16_t language);

// The caption of the verb changed: the file managers' menu entries follow
// it. StoreLanguage calls it; so does whatever else writes the caption.
void VerbCaptionChanged(Program& program, const std::string& caption);

// The LinuxIcons setting: true unless the verb key holds a number other
// than 1 there (a missing key or value counts as on).
bool LinuxIconsEnabled(Program& program);
bool StoreLinuxIcons(Program& program, bool on);

// The "Keep the icon inside the folder" setting. When nothing is stored:
// on where the system's own shell does not read DESKTOP.INI (Linux, whose
// descriptors are read by other machines), off on Windows, where the full
// path of the icon names a file the reader can open.
bool KeepIconInsideEnabled(Program& program);
bool StoreKeepIconInside(Program& program, bool on);

// The stored map of Windows folder names, as text ("" when none).
std::string StoredWindowsPaths(Program& program);
bool StoreWindowsPaths(Program& program, const std::string& stored);

// The help file of a language in the program folder.
std::string HelpFileFor(Program& program, std::int16_t language);

}  // namespace plumage
