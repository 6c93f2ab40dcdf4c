#include "folder/kept_icon.h"

#include <cstdint>
#include <span>
#include <vector>

#include "base/paths.h"
#include "folder/descriptor.h"
#include "folder/windows_paths.h"
#include "platform/files.h"
#include "formats/icons/ico_writer.h"

namespace plumage {
namespace {

// An icon library may be tens of MiB; what is kept is one icon of it.
constexpr std::size_t kMaxSourceBytes = 256u << 20;
// The largest kept icon: a few 256 × 256 images.
constexpr std::size_t kMaxKeptBytes = 16u << 20;
// How many numbered names are tried before giving up.
constexpr int kMaxNameTries = 99;

std::string KeptName(int n) {
  return n == 1 ? std::string(kKeptIconStem) + ".ico"
                : std::string(kKeptIconStem) + " (" + std::to_string(n) + ").ico";
}

}  // namespace

bool IsKeptIconBytes(std::string_view bytes) {
  return bytes.size() > kKeptIconMarker.size() &&
         bytes.substr(bytes.size() - kKeptIconMarker.size()) == kKeptIconMarker;
}

bool IsKeptIcon(platform::IFileSystem& files, const std::string& path) {
  auto bytes = files.LoadFile(path, kMaxKeptBytes);
  return bytes && IsKeptIconBytes(*bytes);
}

Result<std::string> MakeKeptIcon(platform::IFileSystem& files, const std::string& iconFile,
                                 int index) {
  auto bytes = files.LoadFile(iconFile, kMaxSourceBytes);
  if (!bytes) return bytes.error();
  const std::span<const std::uint8_t> data(reinterpret_cast<const std::uint8_t*>(bytes->data()),
                                           bytes->size());
  auto parsed = formats::ParseIconFile(data);
  if (!parsed) return MakeError(parsed.error().kind, iconFile + ": " + parsed.error().message);
  if (parsed->kind == formats::IconFileKind::NotIconFile)
    return MakeError(ErrorKind::Invalid,
                     iconFile + " is not an icon file, executable or library");
  const formats::IconGroup* group = formats::GroupAtIndex(*parsed, index);
  if (!group) {
    const std::size_t count = parsed->groups.size();
    return MakeError(ErrorKind::NotFound, iconFile + " has no icon at index " +
                                              std::to_string(index) + " (it holds " +
                                              std::to_string(count) +
                                              (count == 1 ? " icon)" : " icons)"));
  }
  auto ico = formats::WriteIcoFile(*group);
  if (!ico) return MakeError(ico.error().kind, iconFile + ": " + ico.error().message);
  ico->append(kKeptIconMarker);
  return ico;
}

Result<std::string> ChooseKeptIconName(platform::IFileSystem& files, const std::string& folder) {
  auto names = files.List(folder, std::string(kKeptIconStem) + "*.ico",
                          platform::kAttributeHidden | platform::kAttributeSystem |
                              platform::kAttributeDirectory);
  if (!names) return names.error();
  for (int n = 1; n <= kMaxNameTries; ++n) {
    const std::string wanted = KeptName(n);
    bool taken = false;
    for (const std::string& name : *names) {
      if (!platform::MatchesWildcard(name, wanted)) continue;  // same name, any case
      if (name != wanted || !IsKeptIcon(files, JoinPath(folder, name))) taken = true;
    }
    if (!taken) return wanted;
  }
  return MakeError(ErrorKind::Io, "no free name for the folder's icon in " + folder + " (" +
                                      KeptName(1) + " to " + KeptName(kMaxNameTries) +
                                      " are all files of other programs)");
}

bool IsFolderRelative(std::string_view iconPath) {
  if (iconPath.empty() || iconPath == kVide) return false;
  if (IsPathSeparator(iconPath[0]) || iconPath[0] == '%') return false;
  if (iconPath.size() >= 2 && iconPath[1] == ':') return false;
  return !IsWindowsAbsolutePath(iconPath);
}

std::string InFolder(const std::string& folder, std::string_view relative) {
  std::string local(relative);
  for (char& c : local)
    if (IsPathSeparator(c)) c = kPathSeparator;
  return JoinPath(folder, local);
}

}  // namespace plumage
