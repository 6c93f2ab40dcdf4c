// IUserInterface with the Win32 calls: MessageBoxW, the hourglass,
// GetOpenFileNameW, MessageBeep and a PeekMessage pump. The dialogs that
// open other dialogs find them through the functions the entry sets.
#pragma once

#ifndef WIN32_LEAN_AND_MEAN
#define WIN32_LEAN_AND_MEAN
#endif
#include <windows.h>
// The program's interface has a MessageBox of its own; the calls here name
// MessageBoxW.
#undef MessageBox

#include <functional>

#include "app/user_interface.h"

namespace plumage::win32 {

class Win32UserInterface : public IUserInterface {
 public:
  Win32UserInterface();

  void MessageBox(const std::string& text, const std::string& title, MessageIcon icon) override;
  void SetWaitCursor(bool busy) override;
  std::optional<std::string> OpenFile(const OpenFileOptions& options) override;
  void Beep() override;
  void DoEvents() override;
  void EndProgram() override;
  void ShowOptions() override;
  void ShowAbout() override;
  void ShowTransformIcon(ChangeIcon& picker) override;

  bool endRequested() const;

  // The window that owns message boxes and modal dialogs (may be null).
  void SetParentWindow(HWND parent) { parent_ = parent; }
  HWND parentWindow() const { return parent_; }

  std::function<void()> showOptions;
  std::function<void()> showAbout;
  std::function<void(ChangeIcon&)> showTransformIcon;

 private:
  // A hidden window (the picker once closed) owns nothing: a box it owned
  // would not come to the front.
  HWND Owner() const;

  HWND parent_ = nullptr;
};

}  // namespace plumage::win32
