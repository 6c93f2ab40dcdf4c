#include "folder/folder_ops.h"

#include <array>

#include "app/paths.h"
#include "app/program.h"
#include "app/texts.h"
#include "app/user_interface.h"
#include "platform/codepage.h"
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

FolderWriteReport FolderOps::WriteFolderDescriptor() {
  platform::IFileSystem& files = *program_.os.files;
  platform::IPrivateProfile& profile = *program_.os.profile;
  FolderWriteReport report;
  report.place = LocateDescriptor(files, program_.ArgumentText);
  const std::string& folder = report.place.folder;
  const std::string& descriptor = report.place.descriptor;
  const bool driveRoot = report.place.driveRoot;

  auto note = [&report](const Status& status) {
    if (!status) report.unstored.push_back(status.error().message);
  };
  auto cannotWrite = [&](const std::string& why) {
    report.outcome = FolderWriteReport::Outcome::CannotWrite;
    report.failure = why;
    Fail(messages_.CannotWrite);
    return report;
  };
  // The INI file is Windows-1252: a path with a character that it cannot
  // hold would be written with a '?' in its place and name no file at all.
  // Such a value is not written.
  auto write = [&](const char* section, const char* key, const std::string& value) -> Status {
    std::string ansi = Utf8ToAnsi(value);
    if (AnsiToUtf8(ansi) != value)
      return MakeError(ErrorKind::Unsupported,
                       "cannot write " + descriptor + ": \"" + value +
                           "\" holds characters that an INI file (Windows-1252) cannot hold");
    return profile.WriteString(section, key, ansi, descriptor);
  };

  // Step 3: the folder must be there.
  if (GetPathKind(files, folder) != 2) {
    report.outcome = FolderWriteReport::Outcome::InvalidFolder;
    Fail(messages_.InvalidFolder);
    return report;
  }
  // Step 4: System comes off the folder (it is given back below when an
  // icon is written). Read-only, Hidden and Archive stay, where the
  // original program cleared every attribute here.
  if (!driveRoot) {
    auto a = files.GetAttributes(folder);
    if (!a)
      note(Status(a.error()));
    else if ((*a & kAttributeSystem) != 0)
      note(files.SetAttributes(folder, *a & ~(kAttributeSystem | kAttributeDirectory)));
  }
  // Step 5: an existing descriptor loses Read-only (and System) to be written.
  if (GetPathKind(files, descriptor) == 1) note(files.SetAttributes(descriptor, kAttributeHidden));

  if (!driveRoot) {
    // Step 6: both keys, also when empty (Reset leaves them with no value).
    if (auto s = write(kShellClassInfo, kIconFileKey, SelectedIcon); !s)
      return cannotWrite(s.error().message);
    if (auto s = write(kShellClassInfo, kIconIndexKey, SelectedNo); !s)
      return cannotWrite(s.error().message);
    // IconResource, where the file has it already: the same icon as
    // "path,index", empty on Reset. It is never added.
    std::array<char, 2> probe{};
    bool hasResource =
        !(profile.GetString(kShellClassInfo, kIconResourceKey, "\x01", probe, descriptor) == 1 &&
          probe[0] == '\x01') ||
        !(profile.GetString(kShellClassInfo, kIconResourceKey, "\x02", probe, descriptor) == 1 &&
          probe[0] == '\x02');
    if (hasResource) {
      std::string resource = SelectedIcon.empty() ? std::string() : SelectedIcon + "," + SelectedNo;
      if (auto s = write(kShellClassInfo, kIconResourceKey, resource); !s)
        return cannotWrite(s.error().message);
    }
  } else {
    // Step 7: "path,index" under [Autorun] Icon; nothing at all removes the file.
    std::string index = SelectedNo;
    while (!index.empty() && index.front() == ' ') index.erase(index.begin());
    while (!index.empty() && index.back() == ' ') index.pop_back();
    const std::string value = SelectedIcon + "," + index;
    if (value == ",") {
      report.outcome = FolderWriteReport::Outcome::Removed;
      if (GetPathKind(files, descriptor) == 1) {
        note(files.SetAttributes(descriptor, kAttributeNormal));
        note(files.Remove(descriptor));
        program_.os.shell->NotifyFolderChanged(folder, descriptor);
      }
      FollowOnDesktop(folder);
      return report;
    }
    if (auto s = write(kAutorunSection, kIconKey, value); !s) return cannotWrite(s.error().message);
  }

  // Step 8: the attributes that mark the descriptor and the folder.
  if (!driveRoot) {
    auto a2 = files.GetAttributes(folder);
    note(files.SetAttributes(descriptor, kAttributeHidden | kAttributeSystem));
    if (!SelectedIcon.empty()) {
      ui_.DoEvents();
      if (a2)
        note(files.SetAttributes(folder, (*a2 & ~kAttributeDirectory) | kAttributeSystem));
      else
        note(Status(a2.error()));
    }
  } else if (!SelectedIcon.empty()) {
    ui_.DoEvents();
    note(files.SetAttributes(descriptor, kAttributeHidden));
  }

  // Step 9: the shell's image cache, for an index it can take.
  std::int32_t index = 0;
  if (!SelectedIcon.empty() && ParseIconIndex(SelectedNo, index))
    program_.os.shell->UpdateShellImageCache(SelectedIcon, index);
  program_.os.shell->NotifyFolderChanged(folder, descriptor);
  FollowOnDesktop(folder);
  return report;
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
