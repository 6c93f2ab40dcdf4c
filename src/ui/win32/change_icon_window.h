// The picker's window: Win32 controls at the dialog's positions, drawn from
// the ChangeIcon form's state, with the user's actions forwarded to its
// handlers.
#pragma once

#include <functional>

#include "app/form.h"
#include "ui/win32/window_kit.h"

namespace plumage {
class ChangeIcon;
}

namespace plumage::win32 {

class ChangeIconWindow : public DialogWindow, public IFormObserver {
 public:
  // Control ids (1 and 2 are the dialog keys' IDOK and IDCANCEL).
  enum : int {
    kLabel1 = 100,
    kLabel2,
    kSelectedIcon,
    kLabel3,
    kSelectedNo,
    kImage1,
    kListView,
    kBrowseButton,
    kFrame1,
    kBtnAutoCreate,
    kPicture3,
    kButtonCreate,
    kOKButton,
    kRemoveButton,
    kCancelButton,
    kOptionButton
  };

  explicit ChangeIconWindow(ChangeIcon& form);
  ~ChangeIconWindow() override;

  void FormChanged() override;
  void FormClosed() override;

  void Show();

  // Called when the form has closed itself (OK, Reset or Cancel).
  std::function<void()> onFormClosed;

 protected:
  void Escape() override;
  void Enter() override;
  void Command(int id, int code, HWND control) override;
  LRESULT Notify(NMHDR* header) override;
  void DrawItem(const DRAWITEMSTRUCT& item) override;
  bool SetCursorFor(HWND control) override;
  void DpiChanged() override;

 private:
  void RebuildList();

  ChangeIcon& form_;
  int listVersion_ = -1;
  bool syncing_ = false;
  bool closedByForm_ = false;
  HIMAGELIST images_ = nullptr;
  plumage::Surface24 image1_;
  plumage::Surface24 picture3_;
};

}  // namespace plumage::win32
