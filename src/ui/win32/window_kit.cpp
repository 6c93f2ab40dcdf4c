#include "ui/win32/window_kit.h"

#include <cstring>
#include <functional>
#include <vector>

#include "base/codepage.h"
#include "platform/win32/win32_text.h"
#include "ui/win32/resource.h"
#include "ui/win32/win32_text.h"

namespace plumage::win32 {

namespace {

constexpr const wchar_t* kWindowClass = L"PlumageDialog";

bool busyPointer = false;
bool endRequested = false;

ATOM RegisterDialogClass() {
  static ATOM atom = 0;
  if (atom) return atom;
  WNDCLASSEXW wc{};
  wc.cbSize = sizeof wc;
  wc.lpfnWndProc = DefWindowProcW;  // replaced per window at creation
  wc.hInstance = GetModuleHandleW(nullptr);
  wc.hCursor = LoadCursorW(nullptr, reinterpret_cast<LPCWSTR>(IDC_ARROW));
  wc.hbrBackground = reinterpret_cast<HBRUSH>(COLOR_BTNFACE + 1);
  wc.lpszClassName = kWindowClass;
  wc.hIcon = LoadIconW(wc.hInstance, MAKEINTRESOURCEW(IDI_PLUMAGE));
  wc.hIconSm = static_cast<HICON>(LoadImageW(wc.hInstance, MAKEINTRESOURCEW(IDI_PLUMAGE),
                                             IMAGE_ICON, GetSystemMetrics(SM_CXSMICON),
                                             GetSystemMetrics(SM_CYSMICON), 0));
  atom = RegisterClassExW(&wc);
  return atom;
}

BITMAPINFO InfoFor(const plumage::Surface24& surface) {
  BITMAPINFO info{};
  info.bmiHeader.biSize = sizeof(BITMAPINFOHEADER);
  info.bmiHeader.biWidth = surface.width();
  info.bmiHeader.biHeight = surface.height();  // positive: bottom-up, as the surface is
  info.bmiHeader.biPlanes = 1;
  info.bmiHeader.biBitCount = 24;
  info.bmiHeader.biCompression = BI_RGB;
  return info;
}

}  // namespace

void SetBusyPointer(bool busy) {
  busyPointer = busy;
  // Shown at once; WM_SETCURSOR keeps it while the mouse moves.
  SetCursor(LoadCursorW(nullptr, reinterpret_cast<LPCWSTR>(busy ? IDC_WAIT : IDC_ARROW)));
}
bool BusyPointer() {
  return busyPointer;
}
void RequestEnd() {
  endRequested = true;
}
bool EndRequested() {
  return endRequested;
}
void ClearEndRequest() {
  endRequested = false;
}

int SystemDpi() {
  static int dpi = 0;
  if (dpi == 0) {
    HDC screen = GetDC(nullptr);
    dpi = screen ? GetDeviceCaps(screen, LOGPIXELSX) : 96;
    if (screen) ReleaseDC(nullptr, screen);
    if (dpi <= 0) dpi = 96;
  }
  return dpi;
}

int WindowDpi(HWND window) {
  // Looked up at run time: older systems have no per-monitor DPI.
  using GetDpi = UINT(WINAPI*)(HWND);
  static const auto getDpiForWindow = reinterpret_cast<GetDpi>(
      reinterpret_cast<void*>(GetProcAddress(GetModuleHandleW(L"user32.dll"), "GetDpiForWindow")));
  const int dpi = getDpiForWindow && window ? static_cast<int>(getDpiForWindow(window)) : 0;
  return dpi > 0 ? dpi : SystemDpi();
}

int ScaleToDpi(int pixelsAt96Dpi) {
  return MulDiv(pixelsAt96Dpi, SystemDpi(), 96);
}

int ScaleToDpi(int pixelsAt96Dpi, int dpi) {
  return MulDiv(pixelsAt96Dpi, dpi, 96);
}

namespace {
// The dialogs were laid out for an 8-point sans serif at 96 dpi.
HFONT DialogFont(int dpi) {
  return CreateFontW(-MulDiv(8, dpi, 72), 0, 0, 0, FW_NORMAL, FALSE, FALSE, FALSE, DEFAULT_CHARSET,
                     OUT_DEFAULT_PRECIS, CLIP_DEFAULT_PRECIS, DEFAULT_QUALITY,
                     DEFAULT_PITCH | FF_SWISS, L"MS Shell Dlg");
}

// The frame around a client area at a DPI: the per-monitor call where
// there is one, else the system's metrics.
void AdjustFrame(RECT& r, DWORD style, DWORD exStyle, int dpi) {
  using Adjust = BOOL(WINAPI*)(RECT*, DWORD, BOOL, DWORD, UINT);
  static const auto adjustForDpi = reinterpret_cast<Adjust>(reinterpret_cast<void*>(
      GetProcAddress(GetModuleHandleW(L"user32.dll"), "AdjustWindowRectExForDpi")));
  if (adjustForDpi && adjustForDpi(&r, style, FALSE, exStyle, static_cast<UINT>(dpi))) return;
  AdjustWindowRectEx(&r, style, FALSE, exStyle);
}
}  // namespace

std::wstring ToWindowsText(const std::string& utf8) {
  return platform::Utf8ToWide(CrLfLineBreaks(utf8));
}

std::string FromWindowsText(std::wstring_view wide) {
  return CrLineBreaks(platform::WideToUtf8(wide));
}

void SetText(HWND control, const std::string& utf8) {
  const std::wstring text = ToWindowsText(utf8);
  // Setting an unchanged text would still send EN_CHANGE and flicker.
  if (GetText(control) == FromWindowsText(text)) return;
  SetWindowTextW(control, text.c_str());
}

std::string GetText(HWND control) {
  const int length = GetWindowTextLengthW(control);
  std::vector<wchar_t> buffer(static_cast<std::size_t>(length > 0 ? length : 0) + 1, L'\0');
  const int n = GetWindowTextW(control, buffer.data(), static_cast<int>(buffer.size()));
  return FromWindowsText(std::wstring_view(buffer.data(), n > 0 ? static_cast<std::size_t>(n) : 0));
}

void DrawSurface(HDC dc, const RECT& where, const plumage::Surface24& surface) {
  if (surface.empty()) return;
  BITMAPINFO info = InfoFor(surface);
  SetStretchBltMode(dc, COLORONCOLOR);
  StretchDIBits(dc, where.left, where.top, where.right - where.left, where.bottom - where.top, 0, 0,
                surface.width(), surface.height(), surface.bits(), &info, DIB_RGB_COLORS, SRCCOPY);
}

HBITMAP BitmapFromSurface(const plumage::Surface24& surface) {
  BITMAPINFO info = InfoFor(surface);
  void* bits = nullptr;
  HBITMAP bitmap = CreateDIBSection(nullptr, &info, DIB_RGB_COLORS, &bits, nullptr, 0);
  // Same layout on both sides: bottom-up rows padded to four bytes.
  if (bitmap && bits) std::memcpy(bits, surface.bits(), surface.size_bytes());
  return bitmap;
}

void FillIconList(HWND list, HIMAGELIST images, const IconListView& view,
                  const IconCanvas& pictures) {
  ListView_DeleteAllItems(list);
  // The larger pictures where the form drew them for this display.
  const bool larger =
      !pictures.ListPictures.empty() && pictures.ListPictures.size() == pictures.IconList.size();
  const auto& shown = larger ? pictures.ListPictures : pictures.IconList;
  const int side = larger ? pictures.ListPictureSize : platform::kIconSize;
  int width = 0, height = 0;
  ImageList_GetIconSize(images, &width, &height);
  if (width != side || height != side)
    ImageList_SetIconSize(images, side, side);  // empties it too
  else
    ImageList_RemoveAll(images);
  // The pictures go into the image list in their order, so that picture i
  // of the form is image i - 1.
  if (!view.BlankAttached)
    for (const auto& picture : shown) {
      HBITMAP bitmap = BitmapFromSurface(picture);
      ImageList_Add(images, bitmap, nullptr);
      DeleteObject(bitmap);
    }
  int row = 0;
  for (const auto& entry : view.ListItems) {
    std::wstring text = ToWindowsText(entry.Text);
    LVITEMW item{};
    item.mask = LVIF_TEXT | LVIF_IMAGE;
    item.iItem = row++;
    item.pszText = text.data();
    const bool hasPicture = !view.BlankAttached && entry.Icon >= 1 &&
                            entry.Icon <= static_cast<int>(pictures.IconList.size());
    item.iImage = hasPicture ? entry.Icon - 1 : I_IMAGENONE;
    SendMessageW(list, LVM_INSERTITEMW, 0, reinterpret_cast<LPARAM>(&item));
  }
}

namespace {
// The forms judge a typed character as a Windows-1252 byte: the refused
// ones are all ASCII. A character the code page lacks (Greek, CJK, either
// half of an emoji) is offered as '\xBF', which no rule refuses, so that
// it is judged as any other letter would be.
char OfferedCharacter(WPARAM unit) {
  const int ansi = CodePointToAnsi(static_cast<char32_t>(unit & 0xFFFF));
  return static_cast<char>(ansi >= 0 ? ansi : 0xBF);
}

struct CharacterFilter {
  WNDPROC previous = nullptr;
  std::function<bool(char)> keep;
};
constexpr const wchar_t* kFilterProperty = L"PlumageCharacterFilter";

LRESULT CALLBACK FilteredEditProcedure(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam) {
  auto* filter = static_cast<CharacterFilter*>(GetPropW(hwnd, kFilterProperty));
  if (!filter) return DefWindowProcW(hwnd, message, wParam, lParam);
  const WNDPROC previous = filter->previous;
  if (message == WM_CHAR && !filter->keep(OfferedCharacter(wParam))) return 0;
  if (message == WM_NCDESTROY) {
    SetWindowLongPtrW(hwnd, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(previous));
    RemovePropW(hwnd, kFilterProperty);
    delete filter;
  }
  return CallWindowProcW(previous, hwnd, message, wParam, lParam);
}
}  // namespace

void FilterCharacters(HWND edit, std::function<bool(char)> keep) {
  auto* filter = new CharacterFilter{nullptr, std::move(keep)};
  SetPropW(edit, kFilterProperty, filter);
  filter->previous = reinterpret_cast<WNDPROC>(
      SetWindowLongPtrW(edit, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(&FilteredEditProcedure)));
}

void DispatchDialogMessage(MSG& msg) {
  if (msg.hwnd) {
    HWND top = GetAncestor(msg.hwnd, GA_ROOT);
    if (top && DialogWindow::IsDialogWindow(top) && IsDialogMessageW(top, &msg)) return;
  }
  TranslateMessage(&msg);
  DispatchMessageW(&msg);
}

DialogWindow::~DialogWindow() {
  if (hwnd_) {
    SetWindowLongPtrW(hwnd_, GWLP_USERDATA, 0);
    DestroyWindow(hwnd_);
  }
  if (font_) DeleteObject(font_);
}

bool DialogWindow::IsDialogWindow(HWND hwnd) {
  return GetClassLongPtrW(hwnd, GCW_ATOM) == RegisterDialogClass();
}

void DialogWindow::CreateFrame(HWND owner, int clientWidth, int clientHeight, bool modal) {
  RegisterDialogClass();
  owner_ = owner;
  clientWidth_ = clientWidth;
  clientHeight_ = clientHeight;
  // The system's DPI until the window stands on its monitor.
  dpi_ = SystemDpi();
  font_ = DialogFont(dpi_);
  style_ = WS_POPUP | WS_CAPTION | WS_SYSMENU | (modal ? 0 : WS_MINIMIZEBOX);
  // A dialog without a visible owner (the settings dialog of a run without a
  // folder) has a taskbar button of its own.
  const bool ownerShown = owner && IsWindowVisible(owner);
  exStyle_ = (modal ? WS_EX_DLGMODALFRAME : 0) | (ownerShown ? 0 : WS_EX_APPWINDOW);
  const RECT r = FrameFor(dpi_);
  const int w = r.right - r.left, h = r.bottom - r.top;
  RECT area{};
  if (ownerShown)
    GetWindowRect(owner, &area);
  else
    SystemParametersInfoW(SPI_GETWORKAREA, 0, &area, 0);
  const int x = area.left + ((area.right - area.left) - w) / 2;
  const int y = area.top + ((area.bottom - area.top) - h) / 2;
  hwnd_ = CreateWindowExW(exStyle_, kWindowClass, L"", style_, x, y, w, h, owner, nullptr,
                          GetModuleHandleW(nullptr), nullptr);
  SetWindowLongPtrW(hwnd_, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(this));
  SetWindowLongPtrW(hwnd_, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(&Procedure));
  // On a monitor of another DPI than the system's the frame is made again
  // at the monitor's, before any control is added.
  const int monitorDpi = WindowDpi(hwnd_);
  if (monitorDpi != dpi_) ApplyDpi(monitorDpi, nullptr);
}

RECT DialogWindow::FrameFor(int dpi) const {
  RECT r{0, 0, ScaleToDpi(clientWidth_, dpi), ScaleToDpi(clientHeight_, dpi)};
  AdjustFrame(r, style_, exStyle_, dpi);
  return r;
}

void DialogWindow::ApplyDpi(int dpi, const RECT* suggested) {
  if (dpi <= 0) return;
  dpi_ = dpi;
  HFONT old = font_;
  font_ = DialogFont(dpi_);
  for (const Placed& p : placed_) {
    SetWindowPos(p.control, nullptr, Px(p.box.x), Px(p.box.y), Px(p.box.w), Px(p.box.h),
                 SWP_NOZORDER | SWP_NOACTIVATE);
    SendMessageW(p.control, WM_SETFONT, reinterpret_cast<WPARAM>(font_), FALSE);
  }
  if (suggested) {
    SetWindowPos(hwnd_, nullptr, suggested->left, suggested->top,
                 suggested->right - suggested->left, suggested->bottom - suggested->top,
                 SWP_NOZORDER | SWP_NOACTIVATE);
  } else {
    const RECT r = FrameFor(dpi_);
    SetWindowPos(hwnd_, nullptr, 0, 0, r.right - r.left, r.bottom - r.top,
                 SWP_NOZORDER | SWP_NOACTIVATE | SWP_NOMOVE);
  }
  DpiChanged();
  InvalidateRect(hwnd_, nullptr, TRUE);
  if (old) DeleteObject(old);
}

void DialogWindow::CentreOnScreen() {
  RECT r{};
  GetWindowRect(hwnd_, &r);
  const int w = r.right - r.left, h = r.bottom - r.top;
  SetWindowPos(hwnd_, nullptr, (GetSystemMetrics(SM_CXSCREEN) - w) / 2,
               (GetSystemMetrics(SM_CYSCREEN) - h) / 2, 0, 0, SWP_NOSIZE | SWP_NOZORDER);
}

HWND DialogWindow::AddControl(const wchar_t* windowClass, DWORD style, int id, const Box& box,
                              DWORD exStyle) {
  HWND control = CreateWindowExW(exStyle, windowClass, L"", WS_CHILD | WS_VISIBLE | style,
                                 Px(box.x), Px(box.y), Px(box.w), Px(box.h), hwnd_,
                                 reinterpret_cast<HMENU>(static_cast<INT_PTR>(id)),
                                 GetModuleHandleW(nullptr), nullptr);
  SendMessageW(control, WM_SETFONT, reinterpret_cast<WPARAM>(font_), FALSE);
  placed_.push_back({control, box});
  return control;
}

void DialogWindow::RunModal() {
  const bool ownerWasEnabled = owner_ && IsWindowEnabled(owner_);
  if (ownerWasEnabled) EnableWindow(owner_, FALSE);
  ShowWindow(hwnd_, SW_SHOW);
  SetForegroundWindow(hwnd_);
  MSG msg;
  while (!closed_ && !EndRequested()) {
    const BOOL got = GetMessageW(&msg, nullptr, 0, 0);
    if (got <= 0) {
      // A quit belongs to the outer loop too.
      if (got == 0) PostQuitMessage(static_cast<int>(msg.wParam));
      break;
    }
    DispatchDialogMessage(msg);
  }
  // The owner is enabled before this window goes, so that it, not another
  // program, gets the activation back.
  if (ownerWasEnabled) EnableWindow(owner_, TRUE);
  ShowWindow(hwnd_, SW_HIDE);
  if (owner_ && IsWindowVisible(owner_)) SetActiveWindow(owner_);
}

void DialogWindow::Close() {
  closed_ = true;
  if (hwnd_) {
    if (owner_ && IsWindowEnabled(hwnd_) && !IsWindowEnabled(owner_)) EnableWindow(owner_, TRUE);
    ShowWindow(hwnd_, SW_HIDE);
  }
}

LRESULT CALLBACK DialogWindow::Procedure(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam) {
  auto* self = reinterpret_cast<DialogWindow*>(GetWindowLongPtrW(hwnd, GWLP_USERDATA));
  if (!self) return DefWindowProcW(hwnd, message, wParam, lParam);
  return self->Handle(message, wParam, lParam);
}

LRESULT DialogWindow::Handle(UINT message, WPARAM wParam, LPARAM lParam) {
  switch (message) {
    case DM_GETDEFID: {
      const int id = DefaultButton();
      return id ? MAKELRESULT(id, DC_HASDEFID) : 0;
    }
    case WM_COMMAND: {
      const int id = LOWORD(wParam);
      const int code = HIWORD(wParam);
      if (lParam == 0 && id == IDCANCEL) {
        Escape();
      } else if (lParam == 0 && id == IDOK) {
        Enter();
      } else {
        Command(id, code, reinterpret_cast<HWND>(lParam));
      }
      return 0;
    }
    case WM_CLOSE:
      Escape();  // the close box is Esc
      return 0;
    case WM_NOTIFY:
      return Notify(reinterpret_cast<NMHDR*>(lParam));
    case WM_DRAWITEM:
      DrawItem(*reinterpret_cast<const DRAWITEMSTRUCT*>(lParam));
      return TRUE;
    case WM_CTLCOLORSTATIC:
      if (ControlColour(reinterpret_cast<HDC>(wParam), reinterpret_cast<HWND>(lParam)))
        return reinterpret_cast<LRESULT>(GetSysColorBrush(COLOR_BTNFACE));
      break;
    case WM_SETCURSOR:
      if (BusyPointer()) {
        SetCursor(LoadCursorW(nullptr, reinterpret_cast<LPCWSTR>(IDC_WAIT)));
        return TRUE;
      }
      if (SetCursorFor(reinterpret_cast<HWND>(wParam))) return TRUE;
      break;
    case kAppMessage:
      AppMessage(wParam);
      return 0;
    case 0x02E0:  // WM_DPICHANGED: moved onto a monitor of another DPI
      ApplyDpi(LOWORD(wParam), reinterpret_cast<const RECT*>(lParam));
      return 0;
    default:
      break;
  }
  return DefWindowProcW(hwnd_, message, wParam, lParam);
}

}  // namespace plumage::win32
