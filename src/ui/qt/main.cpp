// plumage: the Qt front end. The whole argument text is the folder path.
#include <QApplication>
#include <cstdio>

#include "app/program.h"
#include "app/startup.h"
#include "app/texts.h"
#include "platform/icons/file_icon_source.h"
#include "platform/posix/png_codec_libpng.h"
#include "platform/posix/posix_file_system.h"
#include "platform/posix/posix_profile.h"
#include "platform/posix/posix_system.h"
#include "platform/posix/registry_store.h"
#include "ui/qt/dialog_factories.h"
#include "ui/qt/qt_user_interface.h"

int main(int argc, char** argv) {
  using namespace plumage;
  // Taken before Qt sees the command line: plumage has no switches, and a
  // folder named like a Qt option is still a folder.
  const std::string argumentText = JoinArguments(argc, argv);
  int qtArgc = 1;
  QApplication app(qtArgc, argv);

  platform::PosixRegistry registry(platform::PosixRegistry::DefaultPath());
  platform::PosixSystem system;
  platform::PosixShell shell;
  platform::PosixFileSystem files;
  platform::PosixPrivateProfile profile;
  platform::LibPngCodec png;
  platform::FileIconSource icons(png);
  platform::Platform os{&registry, &system, &shell, &files, &profile, &icons};
  Program program(os);
  qt::QtUserInterface ui;
  qt::InstallDialogFactories(ui, program);

  BeginRun(program, argumentText);
  if (!BeginPickerLoad(program, ui)) return 0;
  ui.SetWaitCursor(false);
  switch (DecideRun(program.ArgumentText)) {
    case RunKind::SettingsOnly:
      ui.ShowOptions();
      return 0;
    case RunKind::NetworkRefused:
      ui.MessageBox(texts::Tr(program.Language, texts::change_icon::kNetworkRefusal),
                    texts::Tr(program.Language, texts::kErrorTitle), MessageIcon::Exclamation);
      return 0;
    case RunKind::Picker:
      std::fprintf(stderr, "plumage: the icon picker is not part of this build yet\n");
      return 1;
  }
  return 0;
}
