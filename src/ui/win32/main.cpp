// plumage.exe: the Win32 front end. The whole text after the program's name
// on the command line is the folder path, as Explorer's verb passes it.
#include <windows.h>

#include <commctrl.h>

#include "app/program.h"
#include "app/startup.h"
#include "iconmaker/save_selected.h"
#include "picker/change_icon.h"
#include "platform/win32/native_platform.h"
#include "ui/win32/change_icon_window.h"
#include "ui/win32/dialog_factories.h"
#include "ui/win32/win32_text.h"
#include "ui/win32/win32_user_interface.h"
#include "ui/win32/window_kit.h"

int WINAPI WinMain(HINSTANCE, HINSTANCE, LPSTR, int) {
  using namespace plumage;
  // Taken from the whole command line, not from the C run-time's split
  // arguments: quotes and blanks in the path are part of it.
  // Read as UTF-16, so a folder named in any script is that folder.
  const std::string argumentText =
      win32::ArgumentTextFromCommandLine(platform::WideToUtf8(GetCommandLineW()));

  INITCOMMONCONTROLSEX controls{sizeof controls, ICC_LISTVIEW_CLASSES | ICC_STANDARD_CLASSES};
  InitCommonControlsEx(&controls);

  platform::NativePlatform native;
  Program program(native.os);
  win32::Win32UserInterface ui;
  win32::InstallDialogFactories(ui, program);

  BeginRun(program, argumentText);

  // The picker's load finishes the start: a second copy, the settings-only
  // run and a refused network folder end the program inside it.
  ChangeIcon picker(program, ui);
  InstallIconMaking(picker);
  win32::ChangeIconWindow window(picker);
  ui.SetParentWindow(window.hwnd());
  bool pickerClosed = false;
  window.onFormClosed = [&pickerClosed] { pickerClosed = true; };
  picker.Form_Load();
  if (ui.endRequested() || pickerClosed) return 0;
  window.Show();

  // The run lasts as long as the picker: the loop ends once the handler that
  // closed it (the reminder, the pending events and the refresh key) has
  // run to its end.
  MSG msg;
  while (!pickerClosed && !ui.endRequested()) {
    const BOOL got = GetMessageW(&msg, nullptr, 0, 0);
    if (got <= 0) break;
    win32::DispatchDialogMessage(msg);
  }
  return 0;
}
