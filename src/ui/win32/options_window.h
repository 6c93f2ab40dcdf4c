// The settings dialog's window: controls drawn from frmOptions, the user's
// input written back into the form's controls, clicks handed to its
// handlers. Closing the window any other way than OK is Cancel.
#pragma once

#include "app/form.h"
#include "ui/win32/window_kit.h"

namespace plumage {
struct Program;
class frmOptions;
}  // namespace plumage

namespace plumage::win32 {

class Win32UserInterface;

// Where the controls stand, at 96 dpi: the arrangement of the dialog (the
// options, the language, the system settings, then OK, Cancel and About...)
// with room for the longer French captions.
namespace options_layout {
inline constexpr int kClientWidth = 440;
inline constexpr int kClientHeight = 363;
inline constexpr Box kFrame1{8, 8, 424, 144};
inline constexpr Box kLabel3{16, 26, 400, 16};
inline constexpr Box kDefaultLib{16, 44, 312, 21};
inline constexpr Box kBrowseLibButton{336, 42, 81, 25};
inline constexpr Box kLabel4{16, 72, 400, 28};
inline constexpr Box kNoWarningBox{16, 104, 400, 17};
inline constexpr Box kKeepInsideBox{16, 124, 400, 17};
inline constexpr Box kFrame2{8, 160, 424, 44};
inline constexpr Box kLang0{16, 178, 140, 17};
inline constexpr Box kLang1{164, 178, 140, 17};
inline constexpr Box kFrame3{8, 212, 424, 108};
inline constexpr Box kLabel5{16, 232, 140, 17};
inline constexpr Box kCacheSize{160, 229, 160, 120};  // the height includes the drop-down
inline constexpr Box kColors{16, 260, 400, 17};
inline constexpr Box kRebuildButton{16, 286, 150, 25};
inline constexpr Box kDeleteButton{174, 286, 150, 25};
inline constexpr Box kCmdOK{8, 330, 81, 25};
inline constexpr Box kCmdCancel{96, 330, 81, 25};
inline constexpr Box kAboutBox{351, 330, 81, 25};
}  // namespace options_layout

class OptionsWindow : public DialogWindow, public IFormObserver {
 public:
  enum : int {
    kFrame1 = 100,
    kLabel3,
    kDefaultLib,
    kBrowseLibButton,
    kLabel4,
    kNoWarningBox,
    kFrame2,
    kLang0,
    kLang1,
    kFrame3,
    kLabel5,
    kCacheSize,
    kColors,
    kRebuildButton,
    kDeleteButton,
    kCmdOK,
    kCmdCancel,
    kAboutBox,
    kKeepInsideBox
  };

  OptionsWindow(frmOptions& form, HWND owner);
  ~OptionsWindow() override;

  void FormChanged() override;
  void FormClosed() override;

 protected:
  void Escape() override;
  int DefaultButton() const override { return kCmdOK; }
  void Command(int id, int code, HWND control) override;

 private:
  frmOptions& form_;
  bool refreshing_ = false;
};

// Creates and loads the settings dialog and shows it modally over the
// interface's parent window; returns when it has closed.
void ShowOptionsDialog(Program& program, Win32UserInterface& ui);

}  // namespace plumage::win32
