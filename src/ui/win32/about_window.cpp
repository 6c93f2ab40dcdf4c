#include "ui/win32/about_window.h"

#include <algorithm>

#include "dialogs/frm_about.h"
#include "ui/win32/artwork.h"
#include "ui/win32/resource.h"
#include "ui/win32/win32_text.h"
#include "ui/win32/win32_user_interface.h"

namespace plumage::win32 {

namespace L = about_layout;

namespace {
// Point sizes in hundredths, as the fonts of the box are given (9.75, 8.25).
HFONT SansSerif(int hundredthsOfPoint, int weight, bool underline, int dpi) {
  return CreateFontW(-MulDiv(hundredthsOfPoint, dpi, 7200), 0, 0, 0, weight, FALSE, underline,
                     FALSE, DEFAULT_CHARSET, OUT_DEFAULT_PRECIS, CLIP_DEFAULT_PRECIS,
                     DEFAULT_QUALITY, DEFAULT_PITCH | FF_SWISS, L"MS Sans Serif");
}
}  // namespace

AboutWindow::AboutWindow(frmAbout& form, HWND owner) : form_(form) {
  CreateFrame(owner, L::kClientWidth, L::kClientHeight, true);
  logo_ = LoadPicture(IDR_LOGO);
  titleFont_ = SansSerif(975, FW_BOLD, false, dpi());
  linkFont_ = SansSerif(825, FW_NORMAL, true, dpi());

  AddControl(WC_STATICW, SS_OWNERDRAW, kPicIcon, L::kPicIcon);
  HWND title = AddControl(WC_STATICW, SS_LEFT | SS_NOPREFIX, kLblTitle, L::kLblTitle);
  SendMessageW(title, WM_SETFONT, reinterpret_cast<WPARAM>(titleFont_), FALSE);
  AddControl(WC_STATICW, SS_LEFT | SS_NOPREFIX, kLblVersion, L::kLblVersion);
  AddControl(WC_STATICW, SS_LEFT | SS_NOPREFIX, kLabel1, L::kLabel1);
  AddControl(WC_STATICW, SS_LEFT | SS_NOPREFIX, kLabel4, L::kLabel4);
  HWND link = AddControl(WC_STATICW, SS_LEFT | SS_NOPREFIX | SS_NOTIFY, kLabel5, L::kLabel5);
  SendMessageW(link, WM_SETFONT, reinterpret_cast<WPARAM>(linkFont_), FALSE);
  AddControl(WC_STATICW, SS_LEFT | SS_NOPREFIX, kLblDescription, L::kLblDescription);
  // Grey over white: one line cut into the face.
  AddControl(WC_STATICW, SS_ETCHEDHORZ, kLine, L::kLine);
  AddControl(WC_BUTTONW, WS_TABSTOP | BS_DEFPUSHBUTTON, kCmdOK, L::kCmdOK);
  form_.SetObserver(this);
  FormChanged();
}

AboutWindow::~AboutWindow() {
  form_.SetObserver(nullptr);
  // The controls go before the fonts they use.
  if (hwnd()) {
    DestroyWindow(Control(kLblTitle));
    DestroyWindow(Control(kLabel5));
  }
  if (titleFont_) DeleteObject(titleFont_);
  if (linkFont_) DeleteObject(linkFont_);
}

void AboutWindow::DpiChanged() {
  HWND title = Control(kLblTitle);
  HWND link = Control(kLabel5);
  if (!title || !link) return;  // the frame, before its controls
  HFONT oldTitle = titleFont_, oldLink = linkFont_;
  titleFont_ = SansSerif(975, FW_BOLD, false, dpi());
  linkFont_ = SansSerif(825, FW_NORMAL, true, dpi());
  SendMessageW(title, WM_SETFONT, reinterpret_cast<WPARAM>(titleFont_), FALSE);
  SendMessageW(link, WM_SETFONT, reinterpret_cast<WPARAM>(linkFont_), FALSE);
  if (oldTitle) DeleteObject(oldTitle);
  if (oldLink) DeleteObject(oldLink);
  FitLinkToText();
}

void AboutWindow::FormChanged() {
  SetText(hwnd(), form_.Caption);
  SetText(Control(kLblTitle), form_.lblTitle.Caption);
  SetText(Control(kLblVersion), form_.lblVersion.Caption);
  SetText(Control(kLabel1), form_.Label1.Caption);
  SetText(Control(kLabel4), form_.Label4.Caption);
  SetText(Control(kLabel5), form_.Label5[0].Caption);
  SetText(Control(kLblDescription), form_.lblDescription.Caption);
  SetText(Control(kCmdOK), form_.cmdOK.Caption);
  FitLinkToText();
}

// The link answers clicks on its text only, not on the blank beyond it.
void AboutWindow::FitLinkToText() {
  HWND link = Control(kLabel5);
  const std::wstring text = ToWindowsText(form_.Label5[0].Caption);
  HDC dc = GetDC(link);
  HGDIOBJ old = SelectObject(dc, linkFont_);
  SIZE size{};
  GetTextExtentPoint32W(dc, text.c_str(), static_cast<int>(text.size()), &size);
  SelectObject(dc, old);
  ReleaseDC(link, dc);
  const int width = std::min(static_cast<int>(size.cx) + 2, Px(L::kLabel5.w));
  SetWindowPos(link, nullptr, 0, 0, width, Px(L::kLabel5.h), SWP_NOMOVE | SWP_NOZORDER);
}

void AboutWindow::FormClosed() {
  Close();
}

void AboutWindow::Escape() {
  // Esc and the close box close the box as OK does.
  if (!form_.Unloaded())
    form_.cmdOK_Click();
  else
    Close();
}

void AboutWindow::Command(int id, int code, HWND) {
  if (id == kCmdOK && code == BN_CLICKED) form_.cmdOK_Click();
  if (id == kLabel5 && code == STN_CLICKED) form_.Label5_Click(0);
}

void AboutWindow::DrawItem(const DRAWITEMSTRUCT& item) {
  if (item.CtlID == static_cast<UINT>(kPicIcon)) DrawSurface(item.hDC, item.rcItem, logo_);
}

bool AboutWindow::ControlColour(HDC dc, HWND control) {
  if (control != Control(kLabel5)) return false;
  SetTextColor(dc, RGB(0, 0, 255));
  SetBkColor(dc, GetSysColor(COLOR_BTNFACE));
  return true;
}

bool AboutWindow::SetCursorFor(HWND control) {
  if (control != Control(kLabel5)) return false;
  SetCursor(LoadCursorW(nullptr, reinterpret_cast<LPCWSTR>(IDC_UPARROW)));
  return true;
}

void ShowAboutDialog(Program& program, Win32UserInterface& ui) {
  frmAbout form(program, ui);
  HWND opener = ui.parentWindow();
  AboutWindow window(form, opener);
  ui.SetParentWindow(window.hwnd());
  form.Form_Load();
  if (!form.Unloaded()) window.RunModal();
  ui.SetParentWindow(opener);
}

}  // namespace plumage::win32
