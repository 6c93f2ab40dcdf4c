#include "ui/win32/dialog_factories.h"

#include "ui/win32/about_window.h"
#include "ui/win32/options_window.h"
#include "ui/win32/transform_icon_window.h"
#include "ui/win32/win32_user_interface.h"

namespace plumage::win32 {

void InstallDialogFactories(Win32UserInterface& ui, Program& program) {
  // Each showing creates and loads a fresh form, so it takes the settings
  // and the language of that moment.
  ui.showOptions = [&ui, &program] { ShowOptionsDialog(program, ui); };
  ui.showAbout = [&ui, &program] { ShowAboutDialog(program, ui); };
  ui.showTransformIcon = [&ui, &program](ChangeIcon& picker) {
    ShowTransformIconDialog(program, ui, picker);
  };
}

}  // namespace plumage::win32
