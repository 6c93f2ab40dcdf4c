#include "ui/win32/options_window.h"

#include <iterator>

#include "dialogs/frm_options.h"
#include "ui/win32/win32_text.h"
#include "ui/win32/win32_user_interface.h"

namespace plumage::win32 {

namespace L = options_layout;

OptionsWindow::OptionsWindow(frmOptions& form, HWND owner) : form_(form) {
  CreateFrame(owner, L::kClientWidth, L::kClientHeight, true);
  AddControl(WC_BUTTONW, BS_GROUPBOX, kFrame1, L::kFrame1);
  AddControl(WC_STATICW, SS_LEFT, kLabel3, L::kLabel3);
  AddControl(WC_EDITW, WS_TABSTOP | WS_GROUP | ES_AUTOHSCROLL, kDefaultLib, L::kDefaultLib,
             WS_EX_CLIENTEDGE);
  AddControl(WC_BUTTONW, WS_TABSTOP | BS_PUSHBUTTON, kBrowseLibButton, L::kBrowseLibButton);
  AddControl(WC_STATICW, SS_LEFT, kLabel4, L::kLabel4);
  AddControl(WC_BUTTONW, WS_TABSTOP | BS_AUTOCHECKBOX, kNoWarningBox, L::kNoWarningBox);
  AddControl(WC_BUTTONW, WS_TABSTOP | BS_AUTOCHECKBOX, kKeepInsideBox, L::kKeepInsideBox);
  AddControl(WC_BUTTONW, BS_GROUPBOX, kFrame2, L::kFrame2);
  AddControl(WC_BUTTONW, WS_TABSTOP | WS_GROUP | BS_AUTORADIOBUTTON, kLang0, L::kLang0);
  AddControl(WC_BUTTONW, BS_AUTORADIOBUTTON, kLang1, L::kLang1);
  AddControl(WC_BUTTONW, BS_GROUPBOX, kFrame3, L::kFrame3);
  AddControl(WC_STATICW, SS_LEFT, kLabel5, L::kLabel5);
  AddControl(WC_COMBOBOXW, WS_TABSTOP | WS_GROUP | WS_VSCROLL | CBS_DROPDOWNLIST, kCacheSize,
             L::kCacheSize);
  AddControl(WC_BUTTONW, WS_TABSTOP | BS_AUTOCHECKBOX, kColors, L::kColors);
  AddControl(WC_BUTTONW, WS_TABSTOP | BS_PUSHBUTTON, kRebuildButton, L::kRebuildButton);
  AddControl(WC_BUTTONW, WS_TABSTOP | BS_PUSHBUTTON, kDeleteButton, L::kDeleteButton);
  AddControl(WC_BUTTONW, WS_TABSTOP | BS_DEFPUSHBUTTON, kCmdOK, L::kCmdOK);
  AddControl(WC_BUTTONW, WS_TABSTOP | BS_PUSHBUTTON, kCmdCancel, L::kCmdCancel);
  AddControl(WC_BUTTONW, WS_TABSTOP | BS_PUSHBUTTON, kAboutBox, L::kAboutBox);
  // Centred on the screen, also when the picker is its owner.
  CentreOnScreen();
  form_.SetObserver(this);
  FormChanged();
}

OptionsWindow::~OptionsWindow() {
  form_.SetObserver(nullptr);
}

void OptionsWindow::FormChanged() {
  refreshing_ = true;
  SetText(hwnd(), form_.Caption);
  SetText(Control(kFrame1), form_.Frame1.Caption);
  SetText(Control(kLabel3), form_.Label3.Caption);
  SetText(Control(kDefaultLib), form_.DefaultLib.Text);
  SetText(Control(kBrowseLibButton), form_.BrowseLibButton.Caption);
  SetText(Control(kLabel4), form_.Label4.Caption);
  SetText(Control(kNoWarningBox), form_.NoWarningBox.Caption);
  CheckDlgButton(hwnd(), kNoWarningBox,
                 form_.NoWarningBox.Value == 1 ? BST_CHECKED : BST_UNCHECKED);
  SetText(Control(kKeepInsideBox), form_.KeepInsideBox.Caption);
  CheckDlgButton(hwnd(), kKeepInsideBox,
                 form_.KeepInsideBox.Value == 1 ? BST_CHECKED : BST_UNCHECKED);
  SetText(Control(kFrame2), form_.Frame2.Caption);
  for (int i = 0; i < 2; ++i) {
    SetText(Control(kLang0 + i), form_.Lang[i].Caption);
    CheckDlgButton(hwnd(), kLang0 + i, form_.Lang[i].Value ? BST_CHECKED : BST_UNCHECKED);
  }
  SetText(Control(kFrame3), form_.Frame3.Caption);
  SetText(Control(kLabel5), form_.Label5.Caption);
  HWND combo = Control(kCacheSize);
  bool same =
      SendMessageW(combo, CB_GETCOUNT, 0, 0) == static_cast<LRESULT>(form_.CacheSize.Items.size());
  for (std::size_t i = 0; same && i < form_.CacheSize.Items.size(); ++i) {
    wchar_t shown[256] = {};
    if (SendMessageW(combo, CB_GETLBTEXTLEN, i, 0) >= static_cast<LRESULT>(std::size(shown))) {
      same = false;
      break;
    }
    SendMessageW(combo, CB_GETLBTEXT, i, reinterpret_cast<LPARAM>(shown));
    same = FromWindowsText(shown) == form_.CacheSize.Items[i];
  }
  if (!same) {
    SendMessageW(combo, CB_RESETCONTENT, 0, 0);
    for (const auto& item : form_.CacheSize.Items)
      SendMessageW(combo, CB_ADDSTRING, 0, reinterpret_cast<LPARAM>(ToWindowsText(item).c_str()));
  }
  SendMessageW(combo, CB_SETCURSEL, static_cast<WPARAM>(form_.CacheSize.ListIndex), 0);
  SetText(Control(kColors), form_.Colors.Caption);
  CheckDlgButton(hwnd(), kColors, form_.Colors.Value == 1 ? BST_CHECKED : BST_UNCHECKED);
  SetText(Control(kRebuildButton), form_.RebuildButton.Caption);
  SetText(Control(kDeleteButton), form_.DeleteButton.Caption);
  SetText(Control(kCmdOK), form_.cmdOK.Caption);
  SetText(Control(kCmdCancel), form_.cmdCancel.Caption);
  SetText(Control(kAboutBox), form_.AboutBox.Caption);
  refreshing_ = false;
}

void OptionsWindow::FormClosed() {
  Close();
}

void OptionsWindow::Escape() {
  // Esc and the close box: the same as Cancel.
  if (!form_.Unloaded())
    form_.cmdCancel_Click();
  else
    Close();
}

void OptionsWindow::Command(int id, int code, HWND control) {
  if (refreshing_) return;
  // What the user does goes into the form's controls; only the buttons call
  // handlers.
  if (id == kDefaultLib) {
    if (code == EN_CHANGE) form_.DefaultLib.Text = GetText(control);
    return;
  }
  if (id == kCacheSize) {
    if (code == CBN_SELCHANGE)
      form_.CacheSize.ListIndex = static_cast<int>(SendMessageW(control, CB_GETCURSEL, 0, 0));
    return;
  }
  if (code != BN_CLICKED) return;
  switch (id) {
    case kKeepInsideBox:
      form_.KeepInsideBox.Value = IsDlgButtonChecked(hwnd(), kKeepInsideBox) == BST_CHECKED ? 1 : 0;
      break;
    case kNoWarningBox:
      form_.NoWarningBox.Value = IsDlgButtonChecked(hwnd(), kNoWarningBox) == BST_CHECKED ? 1 : 0;
      break;
    case kColors:
      form_.Colors.Value = IsDlgButtonChecked(hwnd(), kColors) == BST_CHECKED ? 1 : 0;
      break;
    case kLang0:
    case kLang1:
      for (int i = 0; i < 2; ++i)
        form_.Lang[i].Value = IsDlgButtonChecked(hwnd(), kLang0 + i) == BST_CHECKED;
      break;
    case kBrowseLibButton:
      form_.BrowseLibButton_Click();
      break;
    case kRebuildButton:
      form_.RebuildButton_Click();
      break;
    case kDeleteButton:
      form_.DeleteButton_Click();
      break;
    case kCmdOK:
      form_.cmdOK_Click();
      break;
    case kCmdCancel:
      form_.cmdCancel_Click();
      break;
    case kAboutBox:
      form_.AboutBox_Click();
      break;
    default:
      break;
  }
}

void ShowOptionsDialog(Program& program, Win32UserInterface& ui) {
  frmOptions form(program, ui);
  HWND opener = ui.parentWindow();
  OptionsWindow window(form, opener);
  // Message boxes and the about box open over the settings dialog.
  ui.SetParentWindow(window.hwnd());
  form.Form_Load();
  if (!form.Unloaded()) window.RunModal();
  ui.SetParentWindow(opener);
}

}  // namespace plumage::win32
