#include "picker/change_icon.h"

#include "base/paths.h"
#include "app/program.h"
#include "app/startup.h"
#include "app/texts.h"
#include "app/user_interface.h"
#include "platform/files.h"
#include "platform/icon_source.h"
#include "platform/system.h"
#include "settings/settings.h"

namespace plumage {

std::string ListLabel(int index) { return " " + std::to_string(index); }

ChangeIcon::ChangeIcon(Program& program, IUserInterface& ui) : program_(program), ui_(ui) {
  // The captions the dialog is drawn with: the English ones.
  SetCaptions();
}

void ChangeIcon::SetCaptions() {
  namespace t = texts::change_icon;
  const std::int16_t lang = language_;
  Caption.Label1 = texts::Tr(lang, t::kLabel1);
  Caption.Label2 = texts::Tr(lang, t::kLabel2);
  Caption.Label3 = texts::Tr(lang, t::kLabel3);
  Caption.BrowseButton = texts::Tr(lang, t::kBrowseButton);
  Caption.Frame1 = texts::Tr(lang, t::kFrame1);
  Caption.BtnAutoCreate = texts::Tr(lang, t::kBtnAutoCreatePrefix);
  Caption.ButtonCreate = texts::Tr(lang, t::kButtonCreate);
  Caption.OKButton = texts::Tr(lang, t::kOKButton);
  Caption.RemoveButton = texts::Tr(lang, t::kRemoveButton);
  Caption.CancelButton = texts::Tr(lang, t::kCancelButton);
  Caption.OptionButton = texts::Tr(lang, t::kOptionButton);
  Caption.Image1 = texts::Tr(lang, t::kImage1Name);
  Caption.Picture3 = texts::Tr(lang, t::kPicture3Name);

  Msg.ErrorTitle = texts::Tr(lang, texts::kErrorTitle);
  Msg.NetworkRefusal = texts::Tr(lang, t::kNetworkRefusal);
  Msg.InvalidFolder = texts::Tr(lang, t::kInvalidFolder);
  Msg.CannotWrite = texts::Tr(lang, t::kCannotWrite);
  Msg.NoIcon = texts::Tr(lang, t::kNoIcon);
  Msg.OpenTitle = texts::Tr(lang, t::kOpenTitle);
  Msg.NoApplication = texts::Tr(lang, t::kNoApplication);
  Msg.IconFilter = texts::Tr(lang, texts::kIconFilter);
}

void ChangeIcon::Form_Load() {
  // A second copy ends here; otherwise the hourglass and the settings.
  if (program_.os.system->PreviousInstanceRunning()) {
    ui_.EndProgram();
    return;
  }
  ui_.SetWaitCursor(true);
  LoadSettings(program_, ui_);
  ProgramFolder = WithTrailingSeparator(program_.os.system->ProgramFolder());
  language_ = program_.Language == 1 ? 1 : 0;
  SetCaptions();
  program_.HelpFile = ProgramFolder + texts::Tr(language_, texts::kHelpFile);

  if (program_.ArgumentText.empty()) {
    // A start without a folder is the settings dialog alone.
    ui_.SetWaitCursor(false);
    ui_.ShowOptions();
    ui_.EndProgram();
    return;
  }
  Caption.Title = PickerTitle(program_.ArgumentText);
  Caption.BtnAutoCreate += "\r'" + program_.FolderName + "'";
  ReadPresentIcon();
  if (Unloaded()) return;
  NotifyChanged();
  ui_.SetWaitCursor(false);
}

void ChangeIcon::SetSelectedIcon(const std::string& text) {
  if (text == SelectedIcon) return;  // a text box reports real changes only
  SelectedIcon = text;
  SelectedIcon_Change();
}

void ChangeIcon::SelectedIcon_Change() {
  ButtonCreateEnabled = NamesAFile();
  NotifyChanged();
}

bool ChangeIcon::NamesAFile() const {
  // The placeholder of the created icons names a file that does not exist
  // yet: converting from it could only fail, and the list of composed
  // pictures would be lost to the "no icon" listing that follows.
  return !SelectedIcon.empty() && SelectedIcon != program_.FolderName + ".ico";
}

char ChangeIcon::SelectedIcon_KeyPress(char) { return 0; }

void ChangeIcon::ListView_ItemClick(int position) {
  if (position < 1 || position > static_cast<int>(ListView.ListItems.size())) return;
  ListView.SelectedItem = position;
  SelectedNo = std::to_string(position - 1);
  NotifyChanged();
}

void ChangeIcon::BrowseButton_Click() {
  OpenFileOptions options;
  options.Title = Msg.OpenTitle;
  options.Flags = 4;
  options.Filter = Msg.IconFilter;
  options.FilterIndex = 2;
  options.InitialDir = program_.ArgumentText;
  auto chosen = ui_.OpenFile(options);
  if (!chosen) return;  // Cancel leaves everything as it was
  SetSelectedIcon(*chosen);
  SelectedNo = "0";
  LoadIconList();
  // A file without icons has emptied SelectedIcon: converting from nothing
  // would only tell the user a second time that there is no icon.
  ButtonCreateEnabled = NamesAFile();
  NotifyChanged();
}

void ChangeIcon::BtnAutoCreate_Click() {
  ButtonCreateEnabled = false;
  NotifyChanged();
  AutoCreateIcons();
}

void ChangeIcon::ButtonCreate_Click() {
  ui_.ShowTransformIcon(*this);
  // Lists the file SelectedIcon names now: the new icon when one was made.
  LoadIconList();
}

void ChangeIcon::RemoveButton_Click() {
  ListView.ListItems.clear();
  ListView.SelectedItem = 0;
  ++ListView.Version;
  TotalIcons = "0";
  SetSelectedIcon("");
  SelectedNo.clear();
  NotifyChanged();
  OKButton_Click();
}

void ChangeIcon::CancelButton_Click() {
  Unload();
  ui_.EndProgram();
}

void ChangeIcon::OptionButton_Click() { ui_.ShowOptions(); }

void ChangeIcon::Image1_Click() { ui_.ShowAbout(); }

void ChangeIcon::ClearList() {
  ListView.BlankAttached = true;
  IconList.clear();
  ListPictures.clear();
  listSource_.clear();
  LargeIconList.clear();
  ListView.ListItems.clear();
  ListView.SelectedItem = 0;
  ListView.EnsureVisible = 0;
  ++ListView.Version;
}

void ChangeIcon::FillListFromIconList() {
  ListView.BlankAttached = false;
  const std::string name = texts::Tr(language_, texts::change_icon::kEntryName);
  for (std::size_t i = 0; i < IconList.size(); ++i)
    ListView.ListItems.push_back({ListLabel(static_cast<int>(i)), static_cast<int>(i) + 1,
                                  name + std::to_string(i)});
  ++ListView.Version;
}

FolderOps ChangeIcon::Ops() {
  PickerHooks hooks;
  hooks.LoadIconList = [this] { LoadIconList(); };
  hooks.ListCount = [this] { return static_cast<int>(ListView.ListItems.size()); };
  hooks.SelectListEntry = [this](int position) {
    ListView.SelectedItem = position;
    ListView.EnsureVisible = position;
    NotifyChanged();
  };
  hooks.Show = [this] { NotifyChanged(); };
  hooks.SaveSelectedAsIcon = [this] { return SaveSelectedAsIcon && SaveSelectedAsIcon(*this); };
  hooks.Unload = [this] { Unload(); };
  hooks.SelectionChanged = [this] { SelectedIcon_Change(); };
  return FolderOps(program_, ui_,
                   FolderMessages{Msg.ErrorTitle, Msg.NetworkRefusal, Msg.InvalidFolder,
                                  Msg.CannotWrite},
                   SelectedIcon, SelectedNo, std::move(hooks));
}

void ChangeIcon::ReadPresentIcon() { Ops().ReadPresentIcon(); }

void ChangeIcon::WriteFolderDescriptor() { Ops().WriteFolderDescriptor(); }

void ChangeIcon::OKButton_Click() { Ops().OKButton_Click(); }

const FolderPictures& ChangeIcon::FolderPicture() {
  if (!folderPictures_) folderPictures_.emplace(*program_.os.icons);
  return *folderPictures_;
}

void ChangeIcon::LoadIconList() {
  ClearList();
  NotifyChanged();
  ui_.SetWaitCursor(true);
  platform::IIconSource& icons = *program_.os.icons;
  const std::string path = SelectedIcon;
  if (path.empty()) {
    // No file is named (nothing present, no default library, or after a
    // file without icons): an empty list, without a "no icon in this file"
    // about a file the user never chose.
    ui_.SetWaitCursor(false);
    NotifyChanged();
    return;
  }
  int n = 0;
  for (;;) {
    ui_.DoEvents();
    platform::IconHandle h = icons.ExtractIcon(path, n);
    // The marker for a file that is no icon file counts as no icon at all.
    if (!h.IsIcon()) {
      if (n == 0) {
        ui_.SetWaitCursor(false);
        ui_.MessageBox(Msg.NoIcon, Msg.ErrorTitle, MessageIcon::Information);
        SetSelectedIcon("");
        ClearList();
        ui_.SetWaitCursor(false);
        NotifyChanged();
        return;
      }
      break;
    }
    Picture1 = plumage::Surface24(platform::kIconSize, platform::kIconSize);
    icons.DrawIcon(Picture1, 0, 0, h);
    IconList.push_back(Picture1);
    AddListPicture(path, n, h);
    if (PictureScale > 1) {
      const int size = platform::kIconSize * PictureScale;
      plumage::Surface24 large(size, size);
      icons.DrawIconEx(large, 0, 0, icons.ExtractIconAtSize(path, n, size), size, size);
      LargeIconList.push_back(std::move(large));
    }
    ++n;
  }
  listSource_ = path;
  FillListFromIconList();
  TotalIcons = std::to_string(n - 1);
  ui_.SetWaitCursor(false);
  NotifyChanged();
}

void ChangeIcon::AddListPicture(const std::string& path, int n, const platform::IconHandle& icon) {
  if (ListPictureSize == platform::kIconSize || ListPictureSize <= 0) return;
  platform::IIconSource& icons = *program_.os.icons;
  const platform::IconHandle larger = icons.ExtractIconAtSize(path, n, ListPictureSize);
  plumage::Surface24 picture(ListPictureSize, ListPictureSize);
  icons.DrawIconEx(picture, 0, 0, larger.IsIcon() ? larger : icon, ListPictureSize,
                   ListPictureSize);
  ListPictures.push_back(std::move(picture));
}

void ChangeIcon::SetListPictureSize(int size) {
  if (size == ListPictureSize) return;
  ListPictureSize = size;
  ListPictures.clear();
  // A list of icons of a file is drawn again; composed pictures have no
  // larger image and stay as they are.
  if (!listSource_.empty()) {
    platform::IIconSource& icons = *program_.os.icons;
    for (std::size_t n = 0; n < IconList.size(); ++n) {
      const int index = static_cast<int>(n);
      AddListPicture(listSource_, index, icons.ExtractIcon(listSource_, index));
    }
  }
  ++ListView.Version;
  NotifyChanged();
}

bool ComposeFolderIcon(Program& program, IUserInterface& ui, IconCanvas& dialog,
                       const FolderPictures& folders, std::int16_t x, std::int16_t y,
                       const std::string& path, std::int16_t index, int background) {
  auto drawn = ComposeFolderDrawing(*program.os.icons, folders, x, y, path, index, background);
  if (!drawn) {
    ui.SetWaitCursor(false);
    ui.MessageBox(texts::Tr(program.Language, texts::kComposeNoIcon), texts::kProgramTitle,
                  MessageIcon::Information);
    return false;
  }
  dialog.Picture1 = std::move(*drawn);
  dialog.IconList.push_back(dialog.Picture1);
  return true;
}

void ChangeIcon::AutoCreateIcons() {
  ClearList();
  NotifyChanged();
  ui_.SetWaitCursor(true);
  const std::string folder = WithTrailingSeparator(program_.ArgumentText);
  bool found = false;
  auto names = program_.os.files->List(folder, "*.EXE", 0);
  if (names) {
    for (const auto& name : *names) {
      ComposeFolderIcon(program_, ui_, *this, FolderPicture(), 8, 9, folder + name, 0, 0);
      found = true;
      ui_.DoEvents();
    }
  }
  if (!found) {
    ui_.MessageBox(Msg.NoApplication, texts::kProgramTitle, MessageIcon::Information);
    LoadIconList();
    ui_.SetWaitCursor(false);
    ButtonCreateEnabled = NamesAFile();
    NotifyChanged();
    return;
  }
  FillListFromIconList();
  SetSelectedIcon(program_.FolderName + ".ico");
  SelectedNo = "0";
  ui_.SetWaitCursor(false);
  NotifyChanged();
}

}  // namespace plumage
