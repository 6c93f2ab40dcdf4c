#include "ui/win32/change_icon_window.h"

#include "picker/change_icon.h"
#include "ui/win32/artwork.h"
#include "ui/win32/resource.h"
#include "ui/win32/win32_text.h"

namespace plumage::win32 {

namespace L = change_icon_layout;

namespace {
// A caption too wide for its button is broken at the blank nearest its
// middle: left to the button's own word wrap, a long French caption takes
// three lines and spills out of it.
std::string Wrapped(HWND button, HFONT font, const std::string& text) {
  if (text.find('\r') != std::string::npos) return text;
  const std::wstring shown = ToWindowsText(text);
  HDC dc = GetDC(button);
  HGDIOBJ old = SelectObject(dc, font);
  SIZE size{};
  GetTextExtentPoint32W(dc, shown.c_str(), static_cast<int>(shown.size()), &size);
  SelectObject(dc, old);
  ReleaseDC(button, dc);
  RECT r{};
  GetClientRect(button, &r);
  if (size.cx <= r.right - ScaleToDpi(8, WindowDpi(button))) return text;
  std::size_t best = std::string::npos;
  const std::size_t middle = text.size() / 2;
  auto distance = [middle](std::size_t i) { return i > middle ? i - middle : middle - i; };
  for (std::size_t i = 0; i < text.size(); ++i)
    if (text[i] == ' ' && (best == std::string::npos || distance(i) < distance(best))) best = i;
  if (best == std::string::npos) return text;
  std::string out = text;
  out[best] = '\r';
  return out;
}

// A box inside a frame, in the window's coordinates.
Box In(const Box& frame, const Box& b) {
  return Box{frame.x + b.x, frame.y + b.y, b.w, b.h};
}
}  // namespace

ChangeIconWindow::ChangeIconWindow(ChangeIcon& form) : form_(form) {
  CreateFrame(nullptr, L::kClientWidth, L::kClientHeight, false);
  image1_ = LoadPicture(IDR_IMAGE1);
  picture3_ = LoadPicture(IDR_PICTURE3);

  AddControl(WC_BUTTONW, BS_GROUPBOX, kLabel1, L::kLabel1);
  AddControl(WC_STATICW, SS_LEFT, kLabel2, In(L::kLabel1, L::kLabel2));
  HWND selectedIcon = AddControl(WC_EDITW, WS_TABSTOP | ES_AUTOHSCROLL, kSelectedIcon,
                                 In(L::kLabel1, L::kSelectedIcon), WS_EX_CLIENTEDGE);
  // Every character typed goes to the form, which keeps none; editing keys
  // that type nothing (Delete, the arrows) still work.
  FilterCharacters(selectedIcon,
                   [this](char typed) { return form_.SelectedIcon_KeyPress(typed) != 0; });
  AddControl(WC_STATICW, SS_LEFT, kLabel3, In(L::kLabel1, L::kLabel3));
  AddControl(WC_STATICW, SS_LEFT | SS_SUNKEN | SS_CENTERIMAGE, kSelectedNo,
             In(L::kLabel1, L::kSelectedNo));
  AddControl(WC_STATICW, SS_OWNERDRAW | SS_NOTIFY, kImage1, In(L::kLabel1, L::kImage1));
  HWND list = AddControl(
      WC_LISTVIEWW, WS_TABSTOP | LVS_ICON | LVS_SINGLESEL | LVS_SHOWSELALWAYS | LVS_AUTOARRANGE,
      kListView, In(L::kLabel1, L::kListView), WS_EX_CLIENTEDGE);
  // The icons at 32 × 32 times the DPI, each drawn from its own image of
  // that size where it has one.
  form_.ListPictureSize = Px(32);
  images_ = ImageList_Create(Px(32), Px(32), ILC_COLOR24, 16, 16);
  ListView_SetImageList(list, images_, LVSIL_NORMAL);
  // A 56-pixel grid, as the Qt picker's: six entries to a row here, and
  // the four candidates of the new-icon dialog side by side.
  ListView_SetIconSpacing(list, Px(56), Px(56));
  AddControl(WC_BUTTONW, WS_TABSTOP | BS_PUSHBUTTON, kBrowseButton,
             In(L::kLabel1, L::kBrowseButton));

  AddControl(WC_BUTTONW, BS_GROUPBOX, kFrame1, L::kFrame1);
  AddControl(WC_BUTTONW, WS_TABSTOP | BS_PUSHBUTTON | BS_MULTILINE, kBtnAutoCreate,
             In(L::kFrame1, L::kBtnAutoCreate));
  AddControl(WC_STATICW, SS_OWNERDRAW, kPicture3, In(L::kFrame1, L::kPicture3));
  // A caption too wide for the button wraps, as Windows buttons do.
  AddControl(WC_BUTTONW, WS_TABSTOP | BS_PUSHBUTTON | BS_MULTILINE, kButtonCreate,
             In(L::kFrame1, L::kButtonCreate));

  AddControl(WC_BUTTONW, WS_TABSTOP | BS_PUSHBUTTON, kOKButton, L::kOKButton);
  AddControl(WC_BUTTONW, WS_TABSTOP | BS_PUSHBUTTON, kRemoveButton, L::kRemoveButton);
  AddControl(WC_BUTTONW, WS_TABSTOP | BS_PUSHBUTTON, kCancelButton, L::kCancelButton);
  AddControl(WC_BUTTONW, WS_TABSTOP | BS_PUSHBUTTON, kOptionButton, L::kOptionButton);

  form_.SetObserver(this);
  FormChanged();
}

ChangeIconWindow::~ChangeIconWindow() {
  form_.SetObserver(nullptr);
  if (images_) ImageList_Destroy(images_);
}

void ChangeIconWindow::DpiChanged() {
  HWND list = Control(kListView);
  if (!list) return;  // the frame, before its controls
  ListView_SetIconSpacing(list, Px(56), Px(56));
  // The list's pictures at the new size (FormChanged follows), or, before
  // the list is filled, the caption wrapped to the button's width afresh.
  if (form_.ListPictureSize != Px(32))
    form_.SetListPictureSize(Px(32));
  else
    FormChanged();
}

void ChangeIconWindow::Show() {
  ShowWindow(hwnd(), SW_SHOW);
  SetForegroundWindow(hwnd());
  SetFocus(Control(kListView));
}

void ChangeIconWindow::FormChanged() {
  syncing_ = true;
  const auto& c = form_.Caption;
  SetText(hwnd(), c.Title);
  SetText(Control(kLabel1), c.Label1);
  SetText(Control(kLabel2), c.Label2);
  SetText(Control(kLabel3), c.Label3);
  SetText(Control(kBrowseButton), c.BrowseButton);
  SetText(Control(kFrame1), c.Frame1);
  SetText(Control(kBtnAutoCreate), c.BtnAutoCreate);
  SetText(Control(kButtonCreate), Wrapped(Control(kButtonCreate), font(), c.ButtonCreate));
  SetText(Control(kOKButton), c.OKButton);
  SetText(Control(kRemoveButton), c.RemoveButton);
  SetText(Control(kCancelButton), c.CancelButton);
  SetText(Control(kOptionButton), c.OptionButton);
  // The owner-drawn pictures show no text; theirs is their name to a
  // screen reader.
  SetText(Control(kImage1), c.Image1);
  SetText(Control(kPicture3), c.Picture3);
  SetText(Control(kSelectedIcon), form_.SelectedIcon);
  SetText(Control(kSelectedNo), form_.SelectedNo);
  EnableWindow(Control(kButtonCreate), form_.ButtonCreateEnabled);
  if (listVersion_ != form_.ListView.Version) RebuildList();
  HWND list = Control(kListView);
  const int selected = form_.ListView.SelectedItem;
  const int count = ListView_GetItemCount(list);
  ListView_SetItemState(list, -1, 0, LVIS_SELECTED);
  if (selected >= 1 && selected <= count)
    ListView_SetItemState(list, selected - 1, LVIS_SELECTED | LVIS_FOCUSED,
                          LVIS_SELECTED | LVIS_FOCUSED);
  if (form_.ListView.EnsureVisible >= 1 && form_.ListView.EnsureVisible <= count)
    ListView_EnsureVisible(list, form_.ListView.EnsureVisible - 1, FALSE);
  syncing_ = false;
}

void ChangeIconWindow::RebuildList() {
  listVersion_ = form_.ListView.Version;
  HWND list = Control(kListView);
  SendMessageW(list, WM_SETREDRAW, FALSE, 0);
  FillIconList(list, images_, form_.ListView, form_);
  SendMessageW(list, WM_SETREDRAW, TRUE, 0);
  InvalidateRect(list, nullptr, TRUE);
}

void ChangeIconWindow::FormClosed() {
  closedByForm_ = true;
  Close();
  if (onFormClosed) onFormClosed();
}

void ChangeIconWindow::Escape() {
  // Esc and the close box answer Cancel.
  if (!closedByForm_) form_.CancelButton_Click();
}

void ChangeIconWindow::Enter() {
  // The picker has no default button: Enter presses nothing, except on an
  // entry of the list, where it is a click on that entry. (The dialog keys
  // take Enter before the list sees it, so the list's own NM_RETURN never
  // comes.)
  HWND list = Control(kListView);
  if (GetFocus() != list || closedByForm_) return;
  const int focused = ListView_GetNextItem(list, -1, LVNI_FOCUSED);
  if (focused >= 0) form_.ListView_ItemClick(focused + 1);
}

void ChangeIconWindow::Command(int id, int code, HWND control) {
  if (id == kSelectedIcon && code == EN_CHANGE) {
    // Text changed by other means than typing (Delete, a paste from the
    // context menu) still reaches the form.
    if (!syncing_) {
      form_.SelectedIcon = GetText(control);
      form_.SelectedIcon_Change();
    }
    return;
  }
  if (id == kImage1 && code == STN_CLICKED) {
    form_.Image1_Click();
    return;
  }
  if (code != BN_CLICKED) return;
  switch (id) {
    case kBrowseButton:
      form_.BrowseButton_Click();
      break;
    case kBtnAutoCreate:
      form_.BtnAutoCreate_Click();
      break;
    case kButtonCreate:
      form_.ButtonCreate_Click();
      break;
    case kOKButton:
      form_.OKButton_Click();
      break;
    case kRemoveButton:
      form_.RemoveButton_Click();
      break;
    case kCancelButton:
      form_.CancelButton_Click();
      break;
    case kOptionButton:
      form_.OptionButton_Click();
      break;
    default:
      break;
  }
}

LRESULT ChangeIconWindow::Notify(NMHDR* header) {
  if (static_cast<int>(header->idFrom) != kListView || syncing_) return 0;
  if (header->code == LVN_ITEMCHANGED) {
    const auto* change = reinterpret_cast<const NMLISTVIEW*>(header);
    // A newly selected entry, by the mouse or the keyboard.
    if ((change->uChanged & LVIF_STATE) && (change->uNewState & LVIS_SELECTED) &&
        !(change->uOldState & LVIS_SELECTED) && change->iItem >= 0)
      form_.ListView_ItemClick(change->iItem + 1);
  } else if (header->code == NM_DBLCLK) {
    form_.ListView_DblClick();
  }
  return 0;
}

void ChangeIconWindow::DrawItem(const DRAWITEMSTRUCT& item) {
  const plumage::Surface24* picture = item.CtlID == static_cast<UINT>(kImage1)     ? &image1_
                                       : item.CtlID == static_cast<UINT>(kPicture3) ? &picture3_
                                                                                    : nullptr;
  if (!picture) return;
  FillRect(item.hDC, &item.rcItem, GetSysColorBrush(COLOR_BTNFACE));
  DrawSurface(item.hDC, item.rcItem, *picture);
}

bool ChangeIconWindow::SetCursorFor(HWND control) {
  if (control != Control(kImage1)) return false;
  SetCursor(LoadCursorW(nullptr, reinterpret_cast<LPCWSTR>(IDC_HAND)));
  return true;
}

}  // namespace plumage::win32
