// The about box's window: the logo, the texts of frmAbout, the link that
// hands its clicks to Label5_Click, and OK.
#pragma once

#include "app/form.h"
#include "ui/win32/window_kit.h"

namespace plumage {
struct Program;
class frmAbout;
}  // namespace plumage

namespace plumage::win32 {

class Win32UserInterface;

// Where the controls stand, at 96 dpi: the logo at the top left, the title,
// version and credit to its right, the web-site line, the description, the
// etched line and OK at the bottom right.
namespace about_layout {
inline constexpr int kClientWidth = 440;
inline constexpr int kClientHeight = 232;
inline constexpr Box kPicIcon{10, 10, 150, 104};
inline constexpr Box kLblTitle{172, 10, 258, 20};
inline constexpr Box kLblVersion{172, 34, 258, 17};
inline constexpr Box kLabel1{172, 56, 258, 58};
inline constexpr Box kLabel4{10, 126, 52, 17};
inline constexpr Box kLabel5{64, 126, 366, 17};
inline constexpr Box kLblDescription{10, 150, 420, 32};
inline constexpr Box kLine{10, 190, 420, 2};
inline constexpr Box kCmdOK{349, 199, 81, 25};
}  // namespace about_layout

class AboutWindow : public DialogWindow, public IFormObserver {
 public:
  enum : int {
    kPicIcon = 100,
    kLblTitle,
    kLblVersion,
    kLabel1,
    kLabel4,
    kLabel5,
    kLblDescription,
    kLine,
    kCmdOK
  };

  AboutWindow(frmAbout& form, HWND owner);
  ~AboutWindow() override;

  void FormChanged() override;
  void FormClosed() override;

 protected:
  void Escape() override;
  int DefaultButton() const override { return kCmdOK; }
  void Command(int id, int code, HWND control) override;
  void DrawItem(const DRAWITEMSTRUCT& item) override;
  bool ControlColour(HDC dc, HWND control) override;
  bool SetCursorFor(HWND control) override;
  void DpiChanged() override;

 private:
  void FitLinkToText();

  frmAbout& form_;
  plumage::Surface24 logo_;
  HFONT titleFont_ = nullptr;
  HFONT linkFont_ = nullptr;
};

// Creates and loads the about box and shows it modally over the interface's
// parent window; returns when it has closed.
void ShowAboutDialog(Program& program, Win32UserInterface& ui);

}  // namespace plumage::win32
