// What the four Win32 dialog windows share: a top-level window whose client
// area and controls are placed in pixels at 96 dpi and scaled by the
// system's DPI, the dialog keys (Tab, Enter, Esc) through IsDialogMessage,
// a modal loop, and pictures drawn from the program's 24-bit surfaces.
#pragma once

#ifndef WIN32_LEAN_AND_MEAN
#define WIN32_LEAN_AND_MEAN
#endif
#include <windows.h>
// The program's interface has a MessageBox of its own; the calls here name
// MessageBoxW.
#undef MessageBox

#include <commctrl.h>

#include <functional>
#include <string>
#include <string_view>
#include <vector>

#include "picker/change_icon.h"
#include "base/surface.h"

namespace plumage::win32 {

using Box = change_icon_layout::Box;

// The system's DPI over the 96 the layouts are drawn at, and a window's own:
// that of the monitor it stands on where Windows tells it per monitor
// (Windows 10 1607 and later), else the system's.
int SystemDpi();
int WindowDpi(HWND window);
int ScaleToDpi(int pixelsAt96Dpi);
int ScaleToDpi(int pixelsAt96Dpi, int dpi);

// A program text (UTF-8, a carriage return alone as a line break) as the
// wide calls show it: UTF-16, each break a CR LF pair; and text read back
// from a control or a common dialog.
std::wstring ToWindowsText(const std::string& utf8);
std::string FromWindowsText(std::wstring_view wide);

// Window texts in and out, converted at the UTF-16 boundary.
void SetText(HWND control, const std::string& utf8);
std::string GetText(HWND control);

// A 24-bit surface drawn into a rectangle of a device context, stretched
// nearest-neighbour as the platform's default stretch mode does.
void DrawSurface(HDC dc, const RECT& where, const plumage::Surface24& surface);
// A bottom-up 24-bit DIB section holding the surface's pixels (for image
// lists); the caller deletes it.
HBITMAP BitmapFromSurface(const plumage::Surface24& surface);

// Refills an icon-view list and its image list from a form's list state and
// pictures: picture i of the form becomes image i - 1, and an item whose
// picture is missing (or while the blank list is attached) shows none. The
// form's larger pictures are shown where it has them, the image list sized
// to them.
void FillIconList(HWND list, HIMAGELIST images, const IconListView& view,
                  const IconCanvas& pictures);

// The process-wide state the windows consult: the hourglass over every
// window of the program, and the end of the program, which ends every
// message loop.
void SetBusyPointer(bool busy);
bool BusyPointer();
void RequestEnd();
bool EndRequested();
// A new interface starts a run of its own (the tests make several).
void ClearEndRequest();

// Every character typed into an edit control (WM_CHAR, control characters
// such as Backspace and the paste shortcut included) is first offered to
// `keep`; a character it refuses never reaches the control.
void FilterCharacters(HWND edit, std::function<bool(char)> keep);

// Lets one retrieved message go where it belongs: the dialog keys to the
// dialog window it was typed in, everything else dispatched.
void DispatchDialogMessage(MSG& msg);

class DialogWindow {
 public:
  DialogWindow() = default;
  DialogWindow(const DialogWindow&) = delete;
  DialogWindow& operator=(const DialogWindow&) = delete;
  virtual ~DialogWindow();

  HWND hwnd() const { return hwnd_; }
  HWND Control(int id) const { return GetDlgItem(hwnd_, id); }

  // Shows the window modally over its owner (disabled meanwhile) until
  // Close() or the end of the program; the window is destroyed after.
  void RunModal();
  // Ends a modal loop; the window hides at once.
  void Close();
  bool closed() const { return closed_; }

  // Whether the window is one of these dialogs (its class).
  static bool IsDialogWindow(HWND hwnd);

 protected:
  // The top-level window, its client area clientWidth × clientHeight at
  // 96 dpi, centred over the owner (or the screen when there is none).
  void CreateFrame(HWND owner, int clientWidth, int clientHeight, bool modal);
  // A child control at a 96-dpi box (frame-relative boxes are offset by the
  // caller), in the dialog font. The box is kept: a change of DPI lays the
  // control out afresh from it.
  HWND AddControl(const wchar_t* windowClass, DWORD style, int id, const Box& box,
                  DWORD exStyle = 0);
  // Pixels at the window's DPI.
  int Px(int v) const { return ScaleToDpi(v, dpi_); }
  int dpi() const { return dpi_; }
  HFONT font() const { return font_; }
  // After the controls were laid out at a new DPI, in the new dialog font:
  // what a window sizes or draws beyond its boxes (fonts of its own, list
  // spacing) follows here.
  virtual void DpiChanged() {}
  void CentreOnScreen();

  // Enter (IDOK from the dialog keys) and Esc (IDCANCEL, and the close box).
  virtual void Enter() {}
  virtual void Escape() {}
  // The id Enter presses, 0 for none.
  virtual int DefaultButton() const { return 0; }
  virtual void Command(int /*id*/, int /*code*/, HWND /*control*/) {}
  virtual LRESULT Notify(NMHDR* /*header*/) { return 0; }
  virtual void DrawItem(const DRAWITEMSTRUCT& /*item*/) {}
  virtual bool ControlColour(HDC /*dc*/, HWND /*control*/) { return false; }
  virtual bool SetCursorFor(HWND /*control*/) { return false; }
  virtual void AppMessage(WPARAM /*wParam*/) {}

 private:
  static LRESULT CALLBACK Procedure(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam);
  LRESULT Handle(UINT message, WPARAM wParam, LPARAM lParam);
  // Lays the window and its controls out at `dpi`: in `suggested` (the
  // rectangle Windows proposes with WM_DPICHANGED) or around the present
  // client area's top-left corner.
  void ApplyDpi(int dpi, const RECT* suggested);
  RECT FrameFor(int dpi) const;

  struct Placed {
    HWND control;
    Box box;
  };
  std::vector<Placed> placed_;
  int clientWidth_ = 0, clientHeight_ = 0;  // at 96 dpi
  DWORD style_ = 0, exStyle_ = 0;
  int dpi_ = 96;
  HWND hwnd_ = nullptr;
  HWND owner_ = nullptr;
  HFONT font_ = nullptr;
  bool closed_ = false;
};

// Posted to a dialog window to run AppMessage(wParam) after the present
// handler has returned.
inline constexpr UINT kAppMessage = WM_APP + 1;

}  // namespace plumage::win32
