#include "iconmaker/frm_transform_icon.h"

#include <cstring>
#include <iterator>

#include "app/program.h"
#include "app/texts.h"
#include "app/user_interface.h"
#include "iconmaker/bmp_to_icon.h"
#include "iconmaker/save_selected.h"
#include "settings/settings.h"

namespace plumage {

frmTransformIcon::frmTransformIcon(Program& program, IUserInterface& ui, ChangeIcon& picker)
    : program_(program), ui_(ui), picker_(picker) {
  SetCaptions();
}

void frmTransformIcon::SetCaptions() {
  namespace t = texts::transform_icon;
  const std::int16_t lang = language_;
  Caption.Title = texts::Tr(lang, t::kCaption);
  Caption.Frame1 = texts::Tr(lang, t::kFrame1);
  Caption.frame2 = texts::Tr(lang, t::kFrame2);
  Caption.BtnOk = texts::Tr(lang, t::kBtnOk);
  Caption.BtnCancel = texts::Tr(lang, t::kBtnCancel);
  Caption.Label1 = texts::Tr(lang, t::kLabel1);
  Msg.ErrorTitle = texts::Tr(lang, texts::kErrorTitle);
  Msg.NameRequired = texts::Tr(lang, t::kNameRequired);
  Msg.InvalidName = texts::Tr(lang, t::kInvalidName);
}

void frmTransformIcon::Form_Load() {
  language_ = program_.Language == 1 ? 1 : 0;
  SetCaptions();
  NotifyChanged();
}

void frmTransformIcon::Form_Paint() {
  BuildCandidates();
}

const FolderPictures& frmTransformIcon::FolderPicture() {
  if (!folderPictures_) folderPictures_.emplace(*program_.os.icons);
  return *folderPictures_;
}

void frmTransformIcon::BuildCandidates() {
  // A repaint builds the same four pictures again; the user's choice among
  // them stays (the list control would otherwise fall back to the first).
  const int chosen = ListView.SelectedItem;
  ListView.BlankAttached = true;
  IconList.clear();
  ListView.ListItems.clear();
  ListView.SelectedItem = 0;
  ++ListView.Version;
  NotifyChanged();
  ui_.SetWaitCursor(true);

  const std::string path = picker_.SelectedIcon;
  // A 16-bit index; a number past its range names no icon of any file.
  const double number = LeadingNumber(picker_.SelectedNo);
  const auto index =
      static_cast<std::int16_t>(number >= -32768 && number <= 32767 ? number : 32767);
  for (int background = 0; background < kFolderBackgroundCount; ++background) {
    if (!ComposeFolderIcon(program_, ui_, *this, FolderPicture(), 8, 9, path, index, background)) {
      ui_.SetWaitCursor(false);
      Unload();
      return;
    }
  }
  ListView.BlankAttached = false;
  for (std::size_t i = 0; i < IconList.size(); ++i)
    ListView.ListItems.push_back(
        {ListLabel(static_cast<int>(i)), static_cast<int>(i) + 1,
         i < std::size(texts::transform_icon::kCandidateNames)
             ? texts::Tr(language_, texts::transform_icon::kCandidateNames[i])
             : std::string()});
  // The list control selects its first entry when none was chosen.
  ListView.SelectedItem =
      chosen >= 1 && chosen <= static_cast<int>(ListView.ListItems.size()) ? chosen : 1;
  ++ListView.Version;
  ui_.SetWaitCursor(false);
  NotifyChanged();
}

char frmTransformIcon::IconName_KeyPress(char typed) {
  if (typed != 0 && std::strchr(kRefusedNameCharacters, typed) != nullptr) {
    ui_.Beep();
    return 0;
  }
  return typed;
}

void frmTransformIcon::ListView_ItemClick(int position) {
  if (position < 1 || position > static_cast<int>(ListView.ListItems.size())) return;
  ListView.SelectedItem = position;
  NotifyChanged();
}

bool frmTransformIcon::IsPlainIconName(const std::string& name) {
  if (name.empty()) return false;
  for (char c : name)
    if (c == '/' || std::strchr(kRefusedNameCharacters, c) != nullptr) return false;
  return true;
}

std::string frmTransformIcon::IconPathFor(const std::string& name) const {
  std::string ending = name.size() >= 3 ? name.substr(name.size() - 3) : name;
  for (char& c : ending)
    if (c >= 'A' && c <= 'Z') c = static_cast<char>(c - 'A' + 'a');
  const std::string path = IconsFolderPath(program_) + name;
  return ending == "ico" ? path : path + ".ico";
}

void frmTransformIcon::BtnOk_Click() {
  if (IconName.empty()) {
    ui_.MessageBox(Msg.NameRequired, Msg.ErrorTitle, MessageIcon::Exclamation);
    return;
  }
  // Typing cannot bring these in, pasting can: the file must stay a plain
  // name in the folder of new icons.
  if (!IsPlainIconName(IconName)) {
    ui_.MessageBox(Msg.InvalidName, Msg.ErrorTitle, MessageIcon::Exclamation);
    return;
  }
  const std::string before = picker_.SelectedIcon;
  picker_.SetSelectedIcon(IconPathFor(IconName));
  if (!SaveSelectedAsIcon(*this)) {
    // Nothing was made: the picker keeps its file, the user may try again.
    picker_.SetSelectedIcon(before);
    return;
  }
  Unload();
}

void frmTransformIcon::BtnCancel_Click() {
  Unload();
}

bool SaveSelectedAsIcon(frmTransformIcon& dialog) {
  return SaveSelectedAsIcon(dialog.picker(), dialog.ListView, dialog, dialog.language());
}

}  // namespace plumage
