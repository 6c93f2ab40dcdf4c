#include "ui/win32/transform_icon_window.h"

#include "iconmaker/frm_transform_icon.h"
#include "ui/win32/win32_text.h"
#include "ui/win32/win32_user_interface.h"

namespace plumage::win32 {

namespace L = transform_icon_layout;

namespace {
constexpr WPARAM kPaintCandidates = 1;
Box In(const Box& frame, const Box& b) {
  return Box{frame.x + b.x, frame.y + b.y, b.w, b.h};
}
}  // namespace

TransformIconWindow::TransformIconWindow(frmTransformIcon& form, HWND owner) : form_(form) {
  CreateFrame(owner, L::kClientWidth, L::kClientHeight, true);
  AddControl(WC_BUTTONW, BS_GROUPBOX, kFrame1, L::kFrame1);
  HWND list = AddControl(
      WC_LISTVIEWW, WS_TABSTOP | LVS_ICON | LVS_SINGLESEL | LVS_SHOWSELALWAYS | LVS_AUTOARRANGE,
      kListView, In(L::kFrame1, L::kListView), WS_EX_CLIENTEDGE);
  images_ = ImageList_Create(32, 32, ILC_COLOR24, 4, 4);
  ListView_SetImageList(list, images_, LVSIL_NORMAL);
  // A 56-pixel grid, as in the picker: the four candidates side by side.
  ListView_SetIconSpacing(list, Px(56), Px(56));
  AddControl(WC_BUTTONW, BS_GROUPBOX, kFrame2, L::kFrame2);
  HWND name = AddControl(WC_EDITW, WS_TABSTOP | ES_AUTOHSCROLL, kIconName,
                         In(L::kFrame2, L::kIconName), WS_EX_CLIENTEDGE);
  // A refused character is dropped (the form has beeped).
  FilterCharacters(name, [this](char typed) { return form_.IconName_KeyPress(typed) != 0; });
  AddControl(WC_BUTTONW, WS_TABSTOP | BS_DEFPUSHBUTTON, kBtnOk, L::kBtnOk);
  AddControl(WC_BUTTONW, WS_TABSTOP | BS_PUSHBUTTON, kBtnCancel, L::kBtnCancel);
  AddControl(WC_STATICW, SS_LEFT | SS_NOPREFIX, kLabel1, L::kLabel1);
  form_.SetObserver(this);
  FormChanged();
}

TransformIconWindow::~TransformIconWindow() {
  form_.SetObserver(nullptr);
  if (images_) ImageList_Destroy(images_);
}

void TransformIconWindow::DpiChanged() {
  if (HWND list = Control(kListView)) ListView_SetIconSpacing(list, Px(56), Px(56));
}

void TransformIconWindow::RunModalAndPaint() {
  // The candidates are drawn once the window is up, so that a message about
  // an icon that cannot be drawn appears over it.
  PostMessageW(hwnd(), kAppMessage, kPaintCandidates, 0);
  RunModal();
}

void TransformIconWindow::AppMessage(WPARAM what) {
  if (what == kPaintCandidates && !form_.Unloaded()) form_.Form_Paint();
}

void TransformIconWindow::RebuildList() {
  listVersion_ = form_.ListView.Version;
  HWND list = Control(kListView);
  FillIconList(list, images_, form_.ListView, form_);
  // Drawn at once: the hourglass is still up while the list fills.
  UpdateWindow(list);
}

void TransformIconWindow::FormChanged() {
  refreshing_ = true;
  SetText(hwnd(), form_.Caption.Title);
  SetText(Control(kFrame1), form_.Caption.Frame1);
  SetText(Control(kFrame2), form_.Caption.frame2);
  SetText(Control(kBtnOk), form_.Caption.BtnOk);
  SetText(Control(kBtnCancel), form_.Caption.BtnCancel);
  SetText(Control(kLabel1), form_.Caption.Label1);
  SetText(Control(kIconName), form_.IconName);
  if (listVersion_ != form_.ListView.Version) RebuildList();
  HWND list = Control(kListView);
  const int selected = form_.ListView.SelectedItem;
  ListView_SetItemState(list, -1, 0, LVIS_SELECTED);
  if (selected >= 1 && selected <= ListView_GetItemCount(list))
    ListView_SetItemState(list, selected - 1, LVIS_SELECTED | LVIS_FOCUSED,
                          LVIS_SELECTED | LVIS_FOCUSED);
  refreshing_ = false;
}

void TransformIconWindow::FormClosed() {
  Close();
}

void TransformIconWindow::Escape() {
  // Esc and the close box are Cancel.
  if (!form_.Unloaded())
    form_.BtnCancel_Click();
  else
    Close();
}

void TransformIconWindow::Command(int id, int code, HWND control) {
  if (id == kIconName) {
    if (code == EN_CHANGE && !refreshing_) form_.IconName = GetText(control);
    return;
  }
  if (code != BN_CLICKED) return;
  if (id == kBtnOk) form_.BtnOk_Click();
  if (id == kBtnCancel) form_.BtnCancel_Click();
}

LRESULT TransformIconWindow::Notify(NMHDR* header) {
  if (static_cast<int>(header->idFrom) != kListView || refreshing_ ||
      header->code != LVN_ITEMCHANGED)
    return 0;
  const auto* change = reinterpret_cast<const NMLISTVIEW*>(header);
  if ((change->uChanged & LVIF_STATE) && (change->uNewState & LVIS_SELECTED) &&
      !(change->uOldState & LVIS_SELECTED) && change->iItem >= 0)
    form_.ListView_ItemClick(change->iItem + 1);
  return 0;
}

void ShowTransformIconDialog(Program& program, Win32UserInterface& ui, ChangeIcon& picker) {
  frmTransformIcon form(program, ui, picker);
  HWND opener = ui.parentWindow();
  TransformIconWindow window(form, opener);
  ui.SetParentWindow(window.hwnd());
  form.Form_Load();
  if (!form.Unloaded()) window.RunModalAndPaint();
  ui.SetParentWindow(opener);
}

}  // namespace plumage::win32
