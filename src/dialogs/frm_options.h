// frmOptions: the settings dialog. Shows the program's own settings (the
// language, the default icon library, the refresh reminder) and the shell's
// icon settings, and on OK writes only what the user changed, in a fixed
// order. Opened modally from the picker, and as the whole of a run started
// without a folder.
#pragma once

#include <string>

#include "app/form.h"
#include "dialogs/controls.h"
#include "shellcache/icon_cache_manager.h"

namespace plumage {

struct Program;
class IUserInterface;

class frmOptions : public Form {
 public:
  // The controls are drawn with their English captions; Form_Load turns
  // them French when the program runs in French.
  frmOptions(Program& program, IUserInterface& ui);

  std::string Caption;  // the window title

  Label Frame1;  // "Options:"
  Label Label3;
  TextBox DefaultLib;
  CommandButton BrowseLibButton;
  Label Label4;
  CheckBox NoWarningBox;
  CheckBox KeepInsideBox;

  Label Frame2;       // "Language:"
  OptionBox Lang[2];  // 0 English, 1 French

  Label Frame3;  // "System settings:"
  Label Label5;
  ComboBox CacheSize;
  CheckBox Colors;
  CommandButton RebuildButton;
  CommandButton DeleteButton;

  CommandButton cmdOK;
  CommandButton cmdCancel;
  CommandButton AboutBox;

  // Kept from the moment of loading, in that moment's language.
  std::string FileFilter;
  std::string RebootMessage;
  std::string NotStoredMessage;
  std::string ErrorTitle;
  std::string ExplorerRestartMessage;

  void Form_Load();
  void cmdOK_Click();
  void cmdCancel_Click();
  void BrowseLibButton_Click();
  void AboutBox_Click();
  void DeleteButton_Click();
  void RebuildButton_Click();

 private:
  bool ColorsChanged() const;
  bool CacheSizeChanged() const;
  bool DefaultLibChanged() const;
  bool NoWarningChanged() const;
  bool KeepInsideChanged() const;
  std::int16_t SelectedLanguage() const;

  Program& program_;
  IUserInterface& ui_;

  // What the controls showed at the end of loading.
  std::string rememberedLib_;
  int rememberedNoWarning_ = 0;
  int rememberedKeepInside_ = 0;
  int rememberedColors_ = 0;
  CacheSizeChoice rememberedCacheSize_;
};

}  // namespace plumage
