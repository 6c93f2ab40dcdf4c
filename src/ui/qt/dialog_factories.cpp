#include "ui/qt/dialog_factories.h"

#include "ui/qt/about_view.h"
#include "ui/qt/options_view.h"
#include "ui/qt/qt_user_interface.h"
#include "ui/qt/transform_icon_view.h"

namespace plumage::qt {

void InstallDialogFactories(QtUserInterface& ui, Program& program) {
  // Each showing creates and loads a fresh form, so it takes the settings
  // and the language of that moment.
  ui.showOptions = [&ui, &program] { ShowOptionsDialog(program, ui); };
  ui.showAbout = [&ui, &program] { ShowAboutDialog(program, ui); };
  ui.showTransformIcon = [&ui, &program](ChangeIcon& picker) {
    ShowTransformIconDialog(program, ui, picker);
  };
}

}  // namespace plumage::qt
