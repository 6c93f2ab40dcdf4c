// The new-icon dialog's window: the four candidates in an icon-view list,
// the name box whose typed characters pass through IconName_KeyPress, OK
// (Enter) and Cancel (Esc). Closing the window any other way is Cancel.
#pragma once

#include "app/form.h"
#include "ui/win32/window_kit.h"

namespace plumage {
struct Program;
class ChangeIcon;
class frmTransformIcon;
}  // namespace plumage

namespace plumage::win32 {

class Win32UserInterface;

class TransformIconWindow : public DialogWindow, public IFormObserver {
 public:
  enum : int { kFrame1 = 100, kListView, kFrame2, kIconName, kBtnOk, kBtnCancel, kLabel1 };

  TransformIconWindow(frmTransformIcon& form, HWND owner);
  ~TransformIconWindow() override;

  void FormChanged() override;
  void FormClosed() override;

  // Shows the window, then has the candidates drawn once it is up.
  void RunModalAndPaint();

 protected:
  void Escape() override;
  int DefaultButton() const override { return kBtnOk; }
  void Command(int id, int code, HWND control) override;
  LRESULT Notify(NMHDR* header) override;
  void AppMessage(WPARAM what) override;
  void DpiChanged() override;

 private:
  void RebuildList();

  frmTransformIcon& form_;
  bool refreshing_ = false;
  int listVersion_ = -1;
  HIMAGELIST images_ = nullptr;
};

// Creates and loads the new-icon dialog over the picker and shows it
// modally; returns when it has closed.
void ShowTransformIconDialog(Program& program, Win32UserInterface& ui, ChangeIcon& picker);

}  // namespace plumage::win32
