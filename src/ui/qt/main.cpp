// plumage: the Qt front end. The whole argument text is the folder path.
#include <QApplication>
#include <QEventLoop>

#include "app/program.h"
#include "app/startup.h"
#include "iconmaker/save_selected.h"
#include "picker/change_icon.h"
#include "platform/posix/native_platform.h"
#include "ui/qt/change_icon_view.h"
#include "ui/qt/dialog_factories.h"
#include "ui/qt/qt_user_interface.h"

int main(int argc, char** argv) {
  using namespace plumage;
  // Taken before Qt sees the command line: plumage has no switches, and a
  // folder named like a Qt option is still a folder.
  const std::string argumentText = JoinArguments(argc, argv);
  int qtArgc = 1;
  QApplication app(qtArgc, argv);

  platform::NativePlatform native;
  Program program(native.os);
  qt::QtUserInterface ui;
  qt::InstallDialogFactories(ui, program);

  BeginRun(program, argumentText);

  // The picker's load finishes the start: a second copy, the settings-only
  // run and a refused network folder end the program inside it.
  ChangeIcon picker(program, ui);
  InstallIconMaking(picker);
  qt::ChangeIconView view(picker);
  ui.SetParentWindow(&view);
  ui.FollowLanguage(&program.Language);
  // The run lasts as long as a dialog is open, and the last one may be a
  // message box shown after the picker has gone (the refresh reminder).
  app.setQuitOnLastWindowClosed(false);
  QEventLoop mainLoop;
  ui.SetMainLoop(&mainLoop);
  bool pickerClosed = false;
  view.onFormClosed = [&pickerClosed, &mainLoop] {
    pickerClosed = true;
    // Only this loop is told to end, and it ends once the handler that
    // closed the picker (the reminder, the pending events and the refresh
    // key) has returned to it. A quit of the whole application here would
    // also end the reminder's own loop and take the box away unanswered.
    mainLoop.exit(0);
  };
  picker.Form_Load();
  if (ui.endRequested() || pickerClosed) return 0;
  ui.ApplyLanguage();
  view.show();
  mainLoop.exec();
  return 0;
}
