#include "dialogs/frm_options.h"

#include "app/program.h"
#include "app/texts.h"
#include "app/user_interface.h"
#include "settings/settings.h"

namespace plumage {

namespace t = texts::options;

frmOptions::frmOptions(Program& program, IUserInterface& ui) : program_(program), ui_(ui) {
  Caption = t::kCaption.en;
  Frame1.Caption = t::kFrame1.en;
  Label3.Caption = t::kLabel3.en;
  BrowseLibButton.Caption = t::kBrowseLibButton.en;
  Label4.Caption = t::kLabel4.en;
  NoWarningBox.Caption = t::kNoWarningBox.en;
  KeepInsideBox.Caption = t::kKeepInsideBox.en;
  Frame2.Caption = t::kFrame2.en;
  Lang[0].Caption = t::kLang0.en;
  Lang[1].Caption = t::kLang1.en;
  Frame3.Caption = t::kFrame3.en;
  Label5.Caption = t::kLabel5.en;
  Colors.Caption = t::kColors.en;
  RebuildButton.Caption = t::kRebuildButton.en;
  DeleteButton.Caption = t::kDeleteButton.en;
  cmdOK.Caption = t::kCmdOK.en;
  cmdCancel.Caption = t::kCmdCancel.en;
  AboutBox.Caption = t::kAboutBox.en;
}

void frmOptions::Form_Load() {
  // Centring on the screen is the view's part: the form knows no screen.
  const std::int16_t language = program_.Language;
  CacheSize.Items.clear();
  for (const auto& entry : t::kCacheSizes) CacheSize.Items.push_back(texts::Tr(language, entry));
  if (language == 1) {
    Caption = t::kCaption.fr;
    Frame1.Caption = t::kFrame1.fr;
    Label3.Caption = t::kLabel3.fr;
    BrowseLibButton.Caption = t::kBrowseLibButton.fr;
    Label4.Caption = t::kLabel4.fr;
    NoWarningBox.Caption = t::kNoWarningBox.fr;
    KeepInsideBox.Caption = t::kKeepInsideBox.fr;
    Frame2.Caption = t::kFrame2.fr;
    Frame3.Caption = t::kFrame3.fr;
    Label5.Caption = t::kLabel5.fr;
    Colors.Caption = t::kColors.fr;
    RebuildButton.Caption = t::kRebuildButton.fr;
    DeleteButton.Caption = t::kDeleteButton.fr;
    cmdCancel.Caption = t::kCmdCancel.fr;
    AboutBox.Caption = t::kAboutBox.fr;
  }
  FileFilter = texts::Tr(language, texts::kIconFilter);
  RebootMessage = texts::Tr(language, t::kReboot);
  NotStoredMessage = texts::Tr(language, t::kNotStored);
  ErrorTitle = texts::Tr(language, texts::kErrorTitle);
  ExplorerRestartMessage = texts::Tr(language, t::kExplorerRestart);

  DefaultLib.Text = program_.DefaultLibrary;
  rememberedLib_ = DefaultLib.Text;

  NoWarningBox.Value = program_.NoWarning == 1 ? 1 : 0;
  rememberedNoWarning_ = NoWarningBox.Value;

  KeepInsideBox.Value = KeepIconInsideEnabled(program_) ? 1 : 0;
  rememberedKeepInside_ = KeepInsideBox.Value;

  Lang[0].Value = language != 1;
  Lang[1].Value = language == 1;

  Colors.Value = ReadIconColors(program_) ? 1 : 0;
  rememberedColors_ = Colors.Value;

  rememberedCacheSize_ = ReadCacheSize(program_);
  CacheSize.ListIndex = rememberedCacheSize_.value_or(-1);

  NotifyChanged();
}

bool frmOptions::ColorsChanged() const {
  return Colors.Value != rememberedColors_;
}

bool frmOptions::CacheSizeChanged() const {
  // Nothing selected is never a change: a stored 4096 stays as it is.
  if (CacheSize.ListIndex < 0 || CacheSize.ListIndex >= kCacheSizeStepCount) return false;
  return !rememberedCacheSize_ || *rememberedCacheSize_ != CacheSize.ListIndex;
}

bool frmOptions::DefaultLibChanged() const {
  return DefaultLib.Text != rememberedLib_;
}

bool frmOptions::NoWarningChanged() const {
  return NoWarningBox.Value != rememberedNoWarning_;
}

bool frmOptions::KeepInsideChanged() const {
  return KeepInsideBox.Value != rememberedKeepInside_;
}

std::int16_t frmOptions::SelectedLanguage() const {
  return Lang[0].Value ? 0 : 1;
}

void frmOptions::cmdOK_Click() {
  if (ColorsChanged()) {
    WriteIconColors(program_, Colors.Value == 1);
    ui_.SetWaitCursor(false);
    ui_.MessageBox(RebootMessage, texts::kProgramTitle, MessageIcon::Information);
  }
  if (CacheSizeChanged()) WriteCacheSize(program_, CacheSize.ListIndex);
  bool stored = true;
  if (DefaultLibChanged()) stored = StoreDefaultLibrary(program_, DefaultLib.Text) && stored;
  if (NoWarningChanged()) stored = StoreNoWarning(program_, NoWarningBox.Value == 1) && stored;
  if (KeepInsideChanged())
    stored = StoreKeepIconInside(program_, KeepInsideBox.Value == 1) && stored;
  if (SelectedLanguage() != program_.Language)
    stored = StoreLanguage(program_, SelectedLanguage()) && stored;
  if (!stored) {
    // Said, not silently lost: the dialog closes as OK does, the store and
    // the program keep the old values.
    ui_.SetWaitCursor(false);
    ui_.MessageBox(NotStoredMessage, ErrorTitle, MessageIcon::Exclamation);
  }
  Unload();
}

void frmOptions::cmdCancel_Click() {
  Unload();
}

void frmOptions::BrowseLibButton_Click() {
  OpenFileOptions options;
  options.Filter = FileFilter;
  options.FilterIndex = 2;  // "All common icon files"
  options.Flags = 4;        // no read-only check box
  if (auto path = ui_.OpenFile(options)) {
    DefaultLib.Text = *path;
    NotifyChanged();
  }
}

void frmOptions::AboutBox_Click() {
  ui_.ShowAbout();
}

void frmOptions::DeleteButton_Click() {
  if (DeleteIconCache(program_))
    ui_.MessageBox(RebootMessage, texts::kProgramTitle, MessageIcon::Information);
  // Windows Vista and later: the user's own cache files, where there are.
  if (!DeleteUserIconCaches(program_).inUse.empty())
    ui_.MessageBox(ExplorerRestartMessage, texts::kProgramTitle, MessageIcon::Information);
}

void frmOptions::RebuildButton_Click() {
  ui_.SetWaitCursor(true);
  // The size the user picked goes in first, so the rebuild already uses it;
  // the remembered size stays, and OK writes it once more.
  if (CacheSizeChanged()) WriteCacheSize(program_, CacheSize.ListIndex);
  RebuildIconCache(program_);
  ui_.SetWaitCursor(false);
}

}  // namespace plumage
