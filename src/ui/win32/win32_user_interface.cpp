#include "ui/win32/win32_user_interface.h"

#include <commdlg.h>

#include <vector>

#include "ui/win32/win32_text.h"
#include "ui/win32/window_kit.h"

namespace plumage::win32 {

Win32UserInterface::Win32UserInterface() {
  ClearEndRequest();
}

HWND Win32UserInterface::Owner() const {
  return parent_ && IsWindow(parent_) && IsWindowVisible(parent_) ? parent_ : nullptr;
}

void Win32UserInterface::MessageBox(const std::string& text, const std::string& title,
                                    MessageIcon icon) {
  const UINT type = MB_OK | (icon == MessageIcon::Exclamation   ? MB_ICONEXCLAMATION
                             : icon == MessageIcon::Information ? MB_ICONINFORMATION
                                                                : 0);
  HWND owner = Owner();
  ::MessageBoxW(owner, ToWindowsText(text).c_str(), ToWindowsText(title).c_str(),
                type | (owner ? 0 : MB_TASKMODAL | MB_SETFOREGROUND));
}

void Win32UserInterface::SetWaitCursor(bool busy) {
  SetBusyPointer(busy);
}

std::optional<std::string> Win32UserInterface::OpenFile(const OpenFileOptions& options) {
  const std::wstring filter = ToWindowsText(CommonDialogFilter(options.Filter));
  const std::wstring title = ToWindowsText(options.Title);
  const std::wstring initialDir = ToWindowsText(options.InitialDir);
  std::vector<wchar_t> file(32768, L'\0');
  OPENFILENAMEW ofn{};
  ofn.lStructSize = sizeof ofn;
  ofn.hwndOwner = Owner();
  ofn.lpstrFilter = filter.c_str();
  ofn.nFilterIndex = static_cast<DWORD>(options.FilterIndex);
  ofn.lpstrFile = file.data();
  ofn.nMaxFile = static_cast<DWORD>(file.size());
  ofn.lpstrTitle = title.empty() ? nullptr : title.c_str();
  ofn.lpstrInitialDir = initialDir.empty() ? nullptr : initialDir.c_str();
  ofn.Flags = static_cast<DWORD>(options.Flags);
  // The hourglass would stay over the common dialog.
  const bool wasBusy = BusyPointer();
  if (wasBusy) SetBusyPointer(false);
  const BOOL chosen = GetOpenFileNameW(&ofn);
  if (wasBusy) SetBusyPointer(true);
  if (!chosen || file[0] == L'\0') return std::nullopt;
  return FromWindowsText(file.data());
}

void Win32UserInterface::Beep() {
  MessageBeep(MB_OK);
}

void Win32UserInterface::DoEvents() {
  MSG msg;
  while (PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE)) {
    if (msg.message == WM_QUIT) {
      // Left for the loop that owns the run.
      PostQuitMessage(static_cast<int>(msg.wParam));
      return;
    }
    DispatchDialogMessage(msg);
  }
}

void Win32UserInterface::EndProgram() {
  RequestEnd();
}

bool Win32UserInterface::endRequested() const {
  return EndRequested();
}

void Win32UserInterface::ShowOptions() {
  if (showOptions) showOptions();
}

void Win32UserInterface::ShowAbout() {
  if (showAbout) showAbout();
}

void Win32UserInterface::ShowTransformIcon(ChangeIcon& picker) {
  if (showTransformIcon) showTransformIcon(picker);
}

}  // namespace plumage::win32
