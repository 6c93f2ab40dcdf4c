#include "picker/change_icon.h"

#include "app/paths.h"
#include "app/program.h"
#include "app/startup.h"
#include "app/texts.h"
#include "app/user_interface.h"
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
  if (!BeginPickerLoad(program_, ui_)) return;
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
  ButtonCreateEnabled = !SelectedIcon.empty();
  NotifyChanged();
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
  ButtonCreateEnabled = true;
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
  ListView.ListItems.clear();
  ListView.SelectedItem = 0;
  ListView.EnsureVisible = 0;
  ++ListView.Version;
}

void ChangeIcon::FillListFromIconList() {
  ListView.BlankAttached = false;
  for (std::size_t i = 0; i < IconList.size(); ++i)
    ListView.ListItems.push_back({ListLabel(static_cast<int>(i)), static_cast<int>(i) + 1});
  ++ListView.Version;
}

}  // namespace plumage
