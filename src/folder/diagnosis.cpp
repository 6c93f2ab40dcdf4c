#include "folder/diagnosis.h"

#include <cstdint>
#include <optional>
#include <span>

#include "app/program.h"
#include "folder/descriptor.h"
#include "folder/kept_icon.h"
#include "folder/windows_paths.h"
#include "platform/files.h"
#include "formats/icons/ico_writer.h"
#include "formats/icons/icon_file.h"
#include "platform/profile.h"
#include "formats/profile_engine.h"
#include "platform/system.h"
#include "settings/settings.h"

namespace plumage {
namespace {

using Verdict = FolderCheck::Verdict;
using platform::kAttributeHidden;
using platform::kAttributeReadOnly;
using platform::kAttributeSystem;

constexpr std::size_t kMaxDescriptorBytes = 8u << 20;
constexpr std::size_t kMaxIconSourceBytes = 256u << 20;

class Checks {
 public:
  explicit Checks(FolderDiagnosis& d) : d_(d) {}
  void operator()(Verdict verdict, std::string topic, std::string text) {
    d_.checks.push_back({verdict, std::move(topic), std::move(text)});
  }

 private:
  FolderDiagnosis& d_;
};

// "path,index" split at its last comma; the index 0 when there is none.
std::pair<std::string, std::string> SplitResource(const std::string& value) {
  const std::size_t comma = value.rfind(',');
  if (comma == std::string::npos) return {value, "0"};
  std::string index = value.substr(comma + 1);
  while (!index.empty() && index.front() == ' ') index.erase(index.begin());
  while (!index.empty() && index.back() == ' ') index.pop_back();
  return {value.substr(0, comma), index};
}

void CheckVolume(Program& program, const std::string& folder, Checks& check) {
  auto volume = program.os.files->DescribeVolume(folder);
  if (!volume) return check(Verdict::Note, "volume", volume.error().message);
  std::string text = volume->type.empty() ? std::string("unknown") : volume->type;
  if (volume->removable) text += ", removable";
  if (volume->network) text += ", a network share";
  if (volume->attributes == platform::AttributeStore::None)
    return check(Verdict::Fail, "volume",
                 text + ": it stores no Hidden or System attribute, and Windows reads "
                        "DESKTOP.INI only in a folder marked System or Read-only");
  check(Verdict::Ok, "volume",
        text + ": attributes kept as " + platform::AttributeStoreName(volume->attributes));
}

// The icon file as the descriptor names it, and the local file a Windows
// reader of the folder would open; nothing when that cannot be known here.
std::optional<std::string> CheckIconFile(Program& program, const std::string& folder,
                                         const std::string& named, Checks& check) {
  platform::IFileSystem& files = *program.os.files;
  const bool windowsHere = program.os.system && program.os.system->ReadsFolderDescriptors();
  auto exists = [&files](const std::string& path) {
    auto attributes = files.GetAttributes(path);
    return attributes && (*attributes & platform::kAttributeDirectory) == 0;
  };
  if (IsFolderRelative(named)) {
    const std::string local = InFolder(folder, named);
    if (!exists(local)) {
      check(Verdict::Fail, "icon file", named + " is named inside the folder, but there is no file " + local);
      return std::nullopt;
    }
    check(Verdict::Ok, "icon file",
          named + " is inside the folder: every machine that reads the folder finds it");
    return local;
  }
  if (!named.empty() && named[0] == '%') {
    check(Verdict::Note, "icon file",
          named + " is a path of Windows variables; it cannot be checked from here");
    return std::nullopt;
  }
  if (IsWindowsAbsolutePath(named) || (named.size() >= 2 && named[1] == ':')) {
    const WindowsPathMap map = ParseWindowsPathMap(StoredWindowsPaths(program));
    if (auto local = FromWindowsPath(map, named)) {
      if (!exists(*local)) {
        check(Verdict::Fail, "icon file", named + " is the Windows name of " + *local + ", which does not exist");
        return std::nullopt;
      }
      check(Verdict::Ok, "icon file", named + " is the Windows name of " + *local);
      return local;
    }
    if (windowsHere) {
      if (!exists(named)) {
        check(Verdict::Fail, "icon file", named + " does not exist");
        return std::nullopt;
      }
      check(Verdict::Ok, "icon file", named + " exists");
      return named;
    }
    check(Verdict::Note, "icon file",
          named + " is a Windows path that no --windows-path mapping holds; it cannot be "
                  "checked from here");
    return std::nullopt;
  }
  if (!windowsHere) {
    check(Verdict::Fail, "icon file",
          named + " is a path of this system only: Windows cannot open it (keep the icon "
                  "inside the folder, or map the folder with plumagectl settings "
                  "--windows-path)");
    return std::nullopt;
  }
  if (!exists(named)) {
    check(Verdict::Fail, "icon file", named + " does not exist");
    return std::nullopt;
  }
  check(Verdict::Ok, "icon file", named + " exists");
  return named;
}

void CheckIndex(Program& program, const std::string& local, const std::string& indexText,
                Checks& check) {
  std::int32_t index = 0;
  if (!ParseIconIndex(indexText, index))
    return check(Verdict::Fail, "index", "\"" + indexText + "\" is not a whole number");
  auto bytes = program.os.files->LoadFile(local, kMaxIconSourceBytes);
  if (!bytes) return check(Verdict::Fail, "index", bytes.error().message);
  const std::span<const std::uint8_t> data(reinterpret_cast<const std::uint8_t*>(bytes->data()),
                                           bytes->size());
  auto parsed = formats::ParseIconFile(data);
  if (!parsed) return check(Verdict::Fail, "index", local + ": " + parsed.error().message);
  if (parsed->kind == formats::IconFileKind::NotIconFile)
    return check(Verdict::Fail, "index", local + " is not an icon file, executable or library");
  const std::size_t count = parsed->groups.size();
  const std::string holds =
      " (the file holds " + std::to_string(count) + (count == 1 ? " icon)" : " icons)");
  const formats::IconGroup* group = formats::GroupAtIndex(*parsed, index);
  if (!group) return check(Verdict::Fail, "index", "no icon at index " + indexText + holds);
  if (group->images.empty())
    return check(Verdict::Fail, "index", "icon " + indexText + " has no image that can be read");
  check(Verdict::Ok, "index", "icon " + indexText + " is there" + holds);
}

}  // namespace

bool FolderDiagnosis::WouldShow() const {
  for (const auto& c : checks)
    if (c.verdict == Verdict::Fail) return false;
  return !checks.empty();
}

FolderDiagnosis DiagnoseFolder(Program& program) {
  FolderDiagnosis diagnosis;
  Checks check(diagnosis);
  platform::IFileSystem& files = *program.os.files;
  const DescriptorPlace place = LocateDescriptor(files, program.ArgumentText);
  const std::string& folder = place.folder;

  const auto folderAttributes = files.GetAttributes(folder);
  if (!folderAttributes || (*folderAttributes & platform::kAttributeDirectory) == 0) {
    check(Verdict::Fail, "folder",
          folderAttributes ? folder + " is not a folder" : folderAttributes.error().message);
    return diagnosis;
  }
  CheckVolume(program, folder, check);

  const std::string& descriptor = place.descriptor;
  const std::string name = place.driveRoot ? kAutorunInf : kDesktopIni;
  auto bytes = files.LoadFile(descriptor, kMaxDescriptorBytes);
  if (!bytes) {
    check(Verdict::Fail, "descriptor",
          bytes.error().kind == ErrorKind::NotFound ? "no " + name + " in " + folder
                                                    : bytes.error().message);
    return diagnosis;
  }
  const formats::ProfileText text(*bytes);
  if (text.encoding() == formats::ProfileEncoding::Utf8) {
    check(Verdict::Fail, "descriptor",
          descriptor + " is UTF-8 with a byte-order mark, which Windows does not read as "
                       "INI text (UTF-16 or Windows-1252 it reads)");
  } else {
    check(Verdict::Ok, "descriptor",
          descriptor + (text.encoding() == formats::ProfileEncoding::Utf16Le
                            ? " is there (UTF-16)"
                            : " is there (Windows-1252)"));
  }

  // The icon the shell reads: IconResource first (Windows Vista and
  // later), else IconFile with IconIndex; a drive's [Autorun] Icon.
  platform::IPrivateProfile& profile = *program.os.profile;
  std::string named, index;
  if (place.driveRoot) {
    auto icon = profile.ReadText(kAutorunSection, kIconKey, descriptor);
    if (!icon || icon->empty()) {
      check(Verdict::Fail, "keys", "no Icon in [Autorun] of " + descriptor);
      return diagnosis;
    }
    std::tie(named, index) = SplitResource(*icon);
    check(Verdict::Ok, "keys", "[Autorun] Icon=" + *icon);
  } else {
    auto resource = profile.ReadText(kShellClassInfo, kIconResourceKey, descriptor);
    auto file = profile.ReadText(kShellClassInfo, kIconFileKey, descriptor);
    auto number = profile.ReadText(kShellClassInfo, kIconIndexKey, descriptor);
    if (resource && !resource->empty()) {
      std::tie(named, index) = SplitResource(*resource);
      std::string says = "IconResource=" + *resource;
      if (file && !file->empty() && *file != named)
        check(Verdict::Note, "keys",
              says + " (read first by Windows Vista and later; IconFile=" + *file +
                  " serves older Windows)");
      else
        check(Verdict::Ok, "keys", says);
    } else if (file && !file->empty()) {
      named = *file;
      index = number && !number->empty() ? *number : "0";
      check(Verdict::Ok, "keys", "IconFile=" + named + ", IconIndex=" + index);
    } else {
      check(Verdict::Fail, "keys",
            "no IconFile or IconResource in [.ShellClassInfo] of " + descriptor);
      return diagnosis;
    }
  }

  if (auto local = CheckIconFile(program, folder, named, check))
    CheckIndex(program, *local, index, check);

  // Windows looks for DESKTOP.INI only in a folder marked System or
  // Read-only; the file itself is hidden by Hidden and System.
  if (!place.driveRoot) {
    if ((*folderAttributes & (kAttributeSystem | kAttributeReadOnly)) == 0)
      check(Verdict::Fail, "folder",
            folder + " has neither the System nor the Read-only attribute: Windows does not "
                     "read its DESKTOP.INI");
    else
      check(Verdict::Ok, "folder",
            folder + ((*folderAttributes & kAttributeSystem) ? " is marked System"
                                                             : " is marked Read-only"));
    auto attributes = files.GetAttributes(descriptor);
    const std::uint32_t hs = kAttributeHidden | kAttributeSystem;
    if (attributes && (*attributes & hs) == hs)
      check(Verdict::Ok, "descriptor attributes", name + " is Hidden and System");
    else
      check(Verdict::Note, "descriptor attributes",
            name + " is not Hidden and System: Windows shows it as a file of the folder");
  }
  return diagnosis;
}

}  // namespace plumage
