// The folder descriptor files: a folder's DESKTOP.INI, a drive's
// AUTORUN.INF, and the small readers the picker and the apply flow share.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>

namespace plumage {

namespace platform {
class IFileSystem;
class IPrivateProfile;
}  // namespace platform

// The marker ReadIniValue gives for a key that is missing or empty.
inline constexpr const char* kVide = "vide";

inline constexpr const char* kDesktopIni = "DESKTOP.INI";
inline constexpr const char* kShellClassInfo = ".ShellClassInfo";
inline constexpr const char* kIconFileKey = "IconFile";
inline constexpr const char* kIconIndexKey = "IconIndex";
// The key the shell has preferred since Windows Vista ("path,index"); kept
// in step with IconFile and IconIndex where a file already holds it.
inline constexpr const char* kIconResourceKey = "IconResource";

inline constexpr const char* kAutorunInf = "AUTORUN.INF";
inline constexpr const char* kAutorunSection = "Autorun";
inline constexpr const char* kIconKey = "Icon";

// The folder of new icons inside the program folder.
inline constexpr const char* kIconsFolder = "Icons";

// A text value of an INI file (UTF-8, read in the file's own encoding), or
// "vide" when the key is missing or empty. The reader fills a buffer of 255
// blanks; of it the first 253 characters are taken, trailing blanks removed
// and then one last character (the NUL, or the last of a value that filled
// all 253), so a value comes back cut to at most 252 characters (code
// points: a character is never cut in two).
std::string ReadIniValue(platform::IPrivateProfile& profile, const std::string& file,
                         const std::string& section, const std::string& key);

// 0 when the path does not exist or its attributes cannot be read, 1 for a
// file, 2 for a folder.
int GetPathKind(platform::IFileSystem& files, const std::string& path);

// A folder and a name in it, one separator between them.
std::string JoinPath(const std::string& folder, const std::string& name);

// The name of a descriptor in a folder. Windows finds DESKTOP.INI whatever
// the letter case of its name, and Windows itself writes "desktop.ini"; on a
// Linux file system names are case-sensitive, so an entry that differs only
// in case is taken (the exact name first), else the name as given.
std::string DescriptorName(platform::IFileSystem& files, const std::string& folder,
                           const std::string& name);

// Where the write of a folder's icon goes.
struct DescriptorPlace {
  std::string folder;      // the argument text with one trailing separator removed
  bool driveRoot = false;  // the icon goes into AUTORUN.INF
  std::string descriptor;  // the DESKTOP.INI or AUTORUN.INF in it
};

// Drive roots: on Windows a folder that ends in ':' (C:). On Linux the root
// of a mounted file system ("/" and the mount points, see
// PosixFileSystem::IsDriveRoot), and "/" keeps its separator.
DescriptorPlace LocateDescriptor(platform::IFileSystem& files, const std::string& argumentText);

// SelectedNo from a stored IconIndex: its numeric value written as a
// decimal number ("0" for an empty or non-numeric text, "-3", "12").
std::string IndexText(std::string_view stored);

// The index handed to the shell's image cache: SelectedNo when it is a
// whole number in 32 bits (blanks around it, an optional sign, digits).
bool ParseIconIndex(std::string_view selectedNo, std::int32_t& index);

}  // namespace plumage
