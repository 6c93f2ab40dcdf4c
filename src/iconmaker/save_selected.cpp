#include "iconmaker/save_selected.h"

#include <filesystem>
#include <system_error>

#include "app/program.h"
#include "app/texts.h"
#include "app/user_interface.h"
#include "iconmaker/bmp_to_icon.h"
#include "image/dib_section.h"
#include "image/run_time_error.h"
#include "picker/change_icon.h"
#include "platform/files.h"

namespace plumage {

namespace {

namespace fs = std::filesystem;

// The icon goes straight into the folder of new icons (not deeper).
bool InIconsFolder(const std::string& icon, const std::string& iconsFolder) {
  if (icon.size() <= iconsFolder.size() || icon.compare(0, iconsFolder.size(), iconsFolder) != 0)
    return false;
  const std::string name = icon.substr(iconsFolder.size());
  return name.find('/') == std::string::npos && name.find('\\') == std::string::npos;
}

Status EnsureFolder(const std::string& folder) {
  std::error_code ec;
  if (fs::is_directory(folder, ec)) return Ok{};
  fs::create_directory(folder, ec);
  if (ec || !fs::is_directory(folder))
    return MakeError(ErrorKind::Io, ec ? ec.message() : "a file of that name is in the way");
  return Ok{};
}

// Removes a temporary file left by an earlier run; only a file that stays
// is a fault.
Status RemoveTemporary(platform::IFileSystem& files, const std::string& path) {
  if (!files.FileExists(path)) return Ok{};
  return files.Remove(path);
}

Status SavePictureAsBitmap(Program& program, const plumage::Surface24& picture,
                           const std::string& path) {
  image::ImageServices services;
  services.system = program.os.system;
  services.fileSystem = program.os.files;
  image::cDIBSection dib(services);
  if (!dib.CreateFromPicture(picture))
    return MakeError(ErrorKind::Io, "cannot make a picture in memory");
  try {
    if (!dib.SavePicture(path)) return MakeError(ErrorKind::Io, "cannot write " + path);
  } catch (const image::RunTimeError& e) {
    return MakeError(ErrorKind::Io, "cannot create " + path + ": " + e.Description());
  }
  return Ok{};
}

}  // namespace

bool SaveSelectedAsIcon(ChangeIcon& picker, const IconListView& list, const IconCanvas& pictures,
                        std::int16_t language) {
  Program& program = picker.program();
  IUserInterface& ui = picker.ui();
  const std::string errorTitle = texts::Tr(language, texts::kErrorTitle);
  const int position = list.SelectedItem;
  if (position < 1 || position > static_cast<int>(pictures.IconList.size())) {
    ui.MessageBox(texts::Tr(language, texts::icon_making::kNothingSelected), errorTitle,
                  MessageIcon::Exclamation);
    return false;
  }
  ui.SetWaitCursor(true);
  platform::IFileSystem& files = *program.os.files;
  const std::string icon = picker.SelectedIcon;
  const std::string tempBitmap = TempBitmapFile(program);
  const std::string tempIcon = TempIconFile(program);
  const std::string iconsFolder = IconsFolderPath(program);

  auto fail = [&](const std::string& message) {
    ui.SetWaitCursor(false);
    ui.MessageBox(message, errorTitle, MessageIcon::Exclamation);
    return false;
  };
  if (InIconsFolder(icon, iconsFolder)) {
    if (auto made = EnsureFolder(iconsFolder); !made)
      return fail(std::string(texts::Tr(language, texts::icon_making::kCannotCreateFolder)) + " " +
                  iconsFolder + ":\r" + made.error().message);
  }

  Status done = RemoveTemporary(files, tempBitmap);
  if (done) done = RemoveTemporary(files, tempIcon);
  if (done)
    done = SavePictureAsBitmap(program, pictures.IconList[static_cast<std::size_t>(position - 1)],
                               tempBitmap);
  if (done) done = ConvertBmpToIcon(program, tempBitmap, icon);
  // Removed whatever happened; a removal that fails here spoils nothing, the
  // next conversion removes the file first or says why it cannot.
  (void)RemoveTemporary(files, tempBitmap);
  (void)RemoveTemporary(files, tempIcon);
  if (!done)
    return fail(std::string(texts::Tr(language, texts::icon_making::kCannotMake)) + " " + icon +
                ":\r" + done.error().message);

  picker.SelectedNo = "0";
  picker.TotalIcons = "1";
  ui.SetWaitCursor(false);
  return true;
}

bool SaveSelectedAsIcon(ChangeIcon& picker) {
  return SaveSelectedAsIcon(picker, picker.ListView, picker, picker.language());
}

void InstallIconMaking(ChangeIcon& picker) {
  picker.SaveSelectedAsIcon = [](ChangeIcon& p) { return SaveSelectedAsIcon(p); };
}

}  // namespace plumage
