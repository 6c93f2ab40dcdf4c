#include "folder/folder_ops.h"

#include <utility>
#include <vector>

#include "base/paths.h"
#include "app/program.h"
#include "app/texts.h"
#include "app/user_interface.h"
#include "folder/kept_icon.h"
#include "folder/windows_paths.h"
#include "base/codepage.h"
#include "platform/desktop.h"
#include "platform/files.h"
#include "platform/profile.h"
#include "platform/system.h"
#include "settings/settings.h"

namespace plumage {

using platform::kAttributeDirectory;
using platform::kAttributeHidden;
using platform::kAttributeNormal;
using platform::kAttributeSystem;

FolderMessageTexts::FolderMessageTexts(std::int16_t language)
    : ErrorTitle(texts::Tr(language, texts::kErrorTitle)),
      NetworkRefusal(texts::Tr(language, texts::change_icon::kNetworkRefusal)),
      InvalidFolder(texts::Tr(language, texts::change_icon::kInvalidFolder)),
      CannotWrite(texts::Tr(language, texts::change_icon::kCannotWrite)) {}

FolderOps::FolderOps(Program& program, IUserInterface& ui, FolderMessages messages,
                     std::string& selectedIcon, std::string& selectedNo, PickerHooks hooks)
    : program_(program),
      ui_(ui),
      messages_(messages),
      SelectedIcon(selectedIcon),
      SelectedNo(selectedNo),
      hooks_(std::move(hooks)) {}

void FolderOps::Changed() {
  if (hooks_.SelectionChanged) hooks_.SelectionChanged();
}

void FolderOps::Fail(const std::string& message) {
  ui_.SetWaitCursor(false);
  ui_.MessageBox(message, messages_.ErrorTitle, MessageIcon::Exclamation);
}

PresentIconSource FolderOps::ReadPresentIcon() {
  const std::string folderPath = WithTrailingSeparator(program_.ArgumentText);
  if (IsNetworkPath(folderPath)) {
    ui_.SetWaitCursor(false);
    ui_.MessageBox(messages_.NetworkRefusal, messages_.ErrorTitle, MessageIcon::Exclamation);
    ui_.EndProgram();
    return PresentIconSource::Refused;
  }
  // A drive's present icon, too, is read from a DESKTOP.INI in its root.
  platform::IFileSystem& files = *program_.os.files;
  const std::string file = folderPath + DescriptorName(files, folderPath, kDesktopIni);
  platform::IPrivateProfile& profile = *program_.os.profile;

  PresentIconSource source = PresentIconSource::Descriptor;
  std::string iconFile = ReadIniValue(profile, file, kShellClassInfo, kIconFileKey);
  std::string index;
  if (iconFile != kVide) {
    index = ReadIniValue(profile, file, kShellClassInfo, kIconIndexKey);
    if (index == kVide) index = "0";
    // A name inside the folder, or a Windows name of a mapped folder, is
    // the file of this system that it stands for.
    if (IsFolderRelative(iconFile))
      iconFile = InFolder(folderPath, iconFile);
    else if (auto local = FromWindowsPath(ParseWindowsPathMap(StoredWindowsPaths(program_)), iconFile))
      iconFile = *local;
  } else if (program_.DefaultLibrary.empty()) {
    SelectedIcon.clear();
    SelectedNo.clear();
    Changed();
    return PresentIconSource::None;
  } else {
    iconFile = program_.DefaultLibrary;
    source = PresentIconSource::DefaultLibrary;
  }
  SelectedIcon = iconFile;
  SelectedNo = IndexText(index);
  Changed();

  if (hooks_.LoadIconList) hooks_.LoadIconList();
  // The entry of the present index: position index + 1. An index outside
  // the list (negative, too large, not whole) selects nothing.
  const double wanted = LeadingNumber(SelectedNo) + 1;
  const int count = hooks_.ListCount ? hooks_.ListCount() : 0;
  if (wanted >= 1 && wanted <= count && wanted == static_cast<int>(wanted) &&
      hooks_.SelectListEntry)
    hooks_.SelectListEntry(static_cast<int>(wanted));
  if (hooks_.Show) hooks_.Show();
  return source;
}

// The steps are named as docs/ARCHITECTURE.md names them: Locate, Check,
// Lock, Remember, Keep, Open, Write, Mark, Tell; Undo when Write fails.
FolderWriteReport FolderOps::WriteFolderDescriptor(const FolderWriteOptions& options) {
  platform::IFileSystem& files = *program_.os.files;
  platform::IPrivateProfile& profile = *program_.os.profile;
  FolderWriteReport report;
  // Locate: DESKTOP.INI, or AUTORUN.INF at a drive root.
  report.place = LocateDescriptor(files, program_.ArgumentText);
  const std::string& folder = report.place.folder;
  const std::string& descriptor = report.place.descriptor;
  const bool driveRoot = report.place.driveRoot;
  const std::string descriptorName = driveRoot ? kAutorunInf : kDesktopIni;

  auto note = [&report](const Status& status) {
    if (!status) report.unstored.push_back(status.error().message);
  };

  // Check: the folder must be there.
  if (auto kind = files.GetAttributes(folder);
      !kind || (*kind & platform::kAttributeDirectory) == 0) {
    report.outcome = FolderWriteReport::Outcome::InvalidFolder;
    report.failure = kind ? folder + " is a file, not a folder" : kind.error().message;
    Fail(messages_.InvalidFolder);
    return report;
  }

  // Lock: from here to the end the folder is ours: a second run on it waits, so
  // the descriptor and the attributes end as one run left them.
  const auto lock = files.LockFolder(folder);

  // Remember: what is there now, to be given back when the write fails.
  const auto folderBefore = files.GetAttributes(folder);
  const auto descriptorBefore =
      GetPathKind(files, descriptor) == 1 ? files.GetAttributes(descriptor)
                                          : Result<std::uint32_t>(MakeError(ErrorKind::NotFound, ""));
  // The copy an earlier run kept inside the folder, which this run
  // replaces or removes.
  const std::string keptBefore = KeptIconNamed(descriptor, driveRoot);

  // Keep: the icon path and index the descriptor gets, the icon copied
  // inside the folder when the settings say so.
  report.storedIcon = SelectedIcon;
  std::string storedNo = SelectedNo;
  bool keptInside = false;
  std::optional<std::string> replacedBytes;  // a kept copy overwritten by this run

  bool opened = false;  // the descriptor lost Read-only and System to be written
  auto cannotWrite = [&](const std::string& why) {
    // Undo: nothing of this run stays: the descriptor gets back what it had, and
    // so does a kept copy.
    if (opened) note(files.SetAttributes(descriptor, *descriptorBefore & ~kAttributeDirectory));
    if (!report.keptIcon.empty()) {
      if (replacedBytes)
        note(files.StoreFile(report.keptIcon, *replacedBytes));
      else
        note(files.Remove(report.keptIcon));
      report.keptIcon.clear();
    }
    report.outcome = FolderWriteReport::Outcome::CannotWrite;
    report.failure = why + "; " + descriptorName + " and the attributes were left as they were";
    Fail(messages_.CannotWrite);
    return report;
  };

  if (!SelectedIcon.empty()) {
    if (!options.noCopy && KeepsIconInside(folder)) {
      auto kept = KeepInside(folder, keptBefore, report.keptIcon, replacedBytes);
      if (kept) {
        report.storedIcon = *kept;
        storedNo = report.keptIcon.empty() ? SelectedNo : "0";
        keptInside = true;
      } else {
        // An icon that cannot be copied (not made yet, not an icon file) is
        // named as chosen, as it would be without the setting; the user
        // learns that Windows machines may not find it.
        report.unstored.push_back(kept.error().message + "; " + descriptorName +
                                  " names the icon file by its path");
      }
    }
    if (!keptInside)
      if (auto windows = ToWindowsPath(ParseWindowsPathMap(StoredWindowsPaths(program_)),
                                       SelectedIcon))
        report.storedIcon = *windows;
  }

  // Open: an existing descriptor loses Read-only (and System) to be written, as
  // Windows will not write a read-only file.
  // When that fails, the write says why (it fails too, or does without).
  if (descriptorBefore) opened = files.SetAttributes(descriptor, kAttributeHidden).ok();

  if (!driveRoot) {
    // Write: both keys, also when empty (Reset leaves them with no value), and
    // IconResource ("path,index", empty on Reset) where the file has it
    // already or the icon is kept inside (the key the shell of Windows
    // Vista and later reads first): one change of the file, so no reader
    // ever sees the file of one choice with the index of another.
    std::vector<platform::ProfileValue> values{{kIconFileKey, report.storedIcon},
                                               {kIconIndexKey, storedNo}};
    if (keptInside || profile.ReadText(kShellClassInfo, kIconResourceKey, descriptor))
      values.emplace_back(kIconResourceKey, report.storedIcon.empty()
                                                ? std::string()
                                                : report.storedIcon + "," + storedNo);
    if (auto s = profile.WriteTexts(kShellClassInfo, values, descriptor); !s)
      return cannotWrite(s.error().message);
  } else {
    // Write: "path,index" under [Autorun] Icon; nothing at all removes the file.
    std::string index = storedNo;
    while (!index.empty() && index.front() == ' ') index.erase(index.begin());
    while (!index.empty() && index.back() == ' ') index.pop_back();
    const std::string value = report.storedIcon + "," + index;
    if (value == ",") {
      report.outcome = FolderWriteReport::Outcome::Removed;
      if (descriptorBefore) {
        note(files.SetAttributes(descriptor, kAttributeNormal));
        note(files.Remove(descriptor));
        program_.os.shell->NotifyFolderChanged(folder, descriptor);
      }
      RemoveKept(keptBefore, report);
      FollowOnDesktop(folder);
      return report;
    }
    if (auto s = profile.WriteTexts(kAutorunSection, {{kIconKey, value}}, descriptor); !s)
      return cannotWrite(s.error().message);
  }

  // Mark: the new descriptor is in place; now the attributes that mark it and the
  // folder. The folder gains System with an icon and loses it on Reset;
  // its Read-only, Hidden and Archive stay as they were.
  if (!driveRoot) {
    note(files.SetAttributes(descriptor, kAttributeHidden | kAttributeSystem));
    if (!SelectedIcon.empty()) ui_.DoEvents();
    if (!folderBefore) {
      note(Status(folderBefore.error()));
    } else {
      const std::uint32_t kept = *folderBefore & ~(kAttributeDirectory | kAttributeSystem);
      const std::uint32_t wanted = SelectedIcon.empty() ? kept : kept | kAttributeSystem;
      if (wanted != (*folderBefore & ~kAttributeDirectory))
        note(files.SetAttributes(folder, wanted));
    }
  } else if (!SelectedIcon.empty()) {
    ui_.DoEvents();
    note(files.SetAttributes(descriptor, kAttributeHidden));
  }
  // The kept copy is marked like the descriptor; the one it replaces goes.
  if (!report.keptIcon.empty())
    note(files.SetAttributes(report.keptIcon, kAttributeHidden | kAttributeSystem));
  if (keptBefore != report.keptIcon) RemoveKept(keptBefore, report);

  // Tell: the shell's image cache, for an index it can take: the copy kept
  // inside, or the file as chosen.
  std::int32_t index = 0;
  if (!report.keptIcon.empty())
    program_.os.shell->UpdateShellImageCache(report.keptIcon, 0);
  else if (!SelectedIcon.empty() && ParseIconIndex(SelectedNo, index))
    program_.os.shell->UpdateShellImageCache(SelectedIcon, index);
  program_.os.shell->NotifyFolderChanged(folder, descriptor);
  FollowOnDesktop(folder);
  return report;
}

bool FolderOps::KeepsIconInside(const std::string& folder) {
  if (KeepIconInsideEnabled(program_)) return true;
  // A removable or network volume is read by other machines, under other
  // names: only a name inside the folder reaches the icon from there.
  auto volume = program_.os.files->DescribeVolume(folder);
  return volume && (volume->removable || volume->network);
}

std::string FolderOps::KeptIconNamed(const std::string& descriptor, bool driveRoot) {
  platform::IPrivateProfile& profile = *program_.os.profile;
  std::optional<std::string> named;
  if (!driveRoot) {
    named = profile.ReadText(kShellClassInfo, kIconFileKey, descriptor);
  } else if ((named = profile.ReadText(kAutorunSection, kIconKey, descriptor))) {
    const std::size_t comma = named->rfind(',');
    if (comma != std::string::npos) named->resize(comma);
  }
  if (!named || !IsFolderRelative(*named)) return {};
  const std::string folder = LocateDescriptor(*program_.os.files, program_.ArgumentText).folder;
  std::string path = InFolder(folder, *named);
  return IsKeptIcon(*program_.os.files, path) ? path : std::string();
}

Result<std::string> FolderOps::KeepInside(const std::string& folder, const std::string& keptBefore,
                                          std::string& keptPath,
                                          std::optional<std::string>& replacedBytes) {
  platform::IFileSystem& files = *program_.os.files;
  // An icon file of the folder itself is named as it is, not copied.
  const std::string separators = "/\\";
  const std::size_t cut = SelectedIcon.find_last_of(separators);
  if (cut != std::string::npos && cut > 0 &&
      JoinPath(folder, "") == SelectedIcon.substr(0, cut + 1) &&
      !IsKeptIcon(files, SelectedIcon))
    return SelectedIcon.substr(cut + 1);

  std::int32_t index = 0;
  if (!ParseIconIndex(SelectedNo, index))
    return MakeError(ErrorKind::Invalid,
                     "the icon index \"" + SelectedNo + "\" is not a whole number");
  auto bytes = MakeKeptIcon(files, SelectedIcon, index);
  if (!bytes)
    return MakeError(bytes.error().kind,
                     "cannot keep the icon inside the folder: " + bytes.error().message);
  std::string name;
  if (!keptBefore.empty()) {
    name = keptBefore.substr(keptBefore.find_last_of(separators) + 1);
  } else {
    auto chosen = ChooseKeptIconName(files, folder);
    if (!chosen) return chosen.error();
    name = *chosen;
  }
  const std::string path = JoinPath(folder, name);
  if (auto old = files.LoadFile(path, bytes->size() + (16u << 20)); old) {
    if (*old == *bytes) {
      keptPath = path;
      replacedBytes = std::move(*old);
      return name;
    }
    replacedBytes = std::move(*old);
  }
  // A kept copy of an earlier run is Hidden and System: it is opened first.
  if (replacedBytes) static_cast<void>(files.SetAttributes(path, kAttributeNormal));
  if (auto s = files.StoreFile(path, *bytes); !s) return s.error();
  keptPath = path;
  return name;
}

void FolderOps::RemoveKept(const std::string& path, FolderWriteReport& report) {
  if (path.empty()) return;
  platform::IFileSystem& files = *program_.os.files;
  // Read-only protects a file from deletion; the copy is ours to delete.
  if (Status s = files.SetAttributes(path, kAttributeNormal); !s)
    report.unstored.push_back(s.error().message);
  if (Status s = files.Remove(path); !s) report.unstored.push_back(s.error().message);
}

// After a successful write only: the file managers of Linux show the icon
// the descriptor now names, or none after Reset. Their failures are theirs
// to tell (the descriptor is written either way).
void FolderOps::FollowOnDesktop(const std::string& folder) {
  platform::IDesktop* desktop = program_.os.desktop;
  if (!desktop || !LinuxIconsEnabled(program_)) return;
  std::int32_t index = 0;
  if (SelectedIcon.empty())
    desktop->FolderIconCleared(folder);
  else if (ParseIconIndex(SelectedNo, index))
    desktop->FolderIconSet(folder, SelectedIcon, index);
}

}  // namespace plumage
