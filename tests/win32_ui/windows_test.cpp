// The Win32 windows over their forms, driven through their messages as a
// user's clicks and keys arrive: the picker for a temporary folder, and the
// settings, about and new-icon dialogs opened modally the ways the program
// opens them. Runs under Wine on a display (Xvfb) of 96 dpi, and of 192.
#include <gtest/gtest.h>

#include <windows.h>
#undef MessageBox

#include <commctrl.h>

#include <functional>

#include "app/texts.h"
#include "dialogs/frm_about.h"
#include "iconmaker/save_selected.h"
#include "picker/change_icon.h"
#include "platform/win32/native_platform.h"
#include "support/form_bench.h"
#include "ui/win32/about_window.h"
#include "ui/win32/change_icon_window.h"
#include "ui/win32/dialog_factories.h"
#include "ui/win32/options_window.h"
#include "ui/win32/transform_icon_window.h"
#include "ui/win32/win32_user_interface.h"
#include "win32/win32_test_util.h"

namespace plumage::test {
namespace {

namespace fs = std::filesystem;
using win32::ChangeIconWindow;
namespace L = change_icon_layout;

// The real interface, its message boxes and beeps noted instead of shown.
class QuietWin32Ui : public win32::Win32UserInterface {
 public:
  void MessageBox(const std::string& text, const std::string& title, MessageIcon) override {
    said.push_back(title + ": " + text);
  }
  void Beep() override { said.push_back("Beep"); }
  std::vector<std::string> said;
};

// Under the manifest plumage.exe carries, this program's windows are made by
// the common controls 6 of the side-by-side assembly, not the system
// folder's version 5 (Wine's comctl32 answers 5.81 from either place).
TEST(Win32Manifest, CommonControlsSixAreLoaded) {
  wchar_t path[MAX_PATH] = {};
  ASSERT_GT(GetModuleFileNameW(GetModuleHandleW(L"comctl32.dll"), path, MAX_PATH), 0u);
  CharLowerW(path);
  EXPECT_NE(std::wstring(path).find(L"\\winsxs\\x86_microsoft.windows.common-controls_6595b64144ccf1df_6.0."),
            std::wstring::npos);
}

int ExpectedDpi() {  // PLUMAGE_TEST_DPI where the run set one up (Wine's LogPixels)
  wchar_t value[16] = {};
  const DWORD n = GetEnvironmentVariableW(L"PLUMAGE_TEST_DPI", value, 16);
  return n > 0 && n < 16 ? _wtoi(value) : 96;
}

std::string Text(HWND control) { return win32::GetText(control); }
void Click(HWND button) { SendMessageW(button, BM_CLICK, 0, 0); }
// A key as the message loop hands it on: through the dialog keys.
void Key(HWND target, WPARAM key) {
  MSG msg{};
  msg.hwnd = target;
  msg.message = WM_KEYDOWN;
  msg.wParam = key;
  win32::DispatchDialogMessage(msg);
}
void Choose(HWND list, int row) {
  ListView_SetItemState(list, row, LVIS_SELECTED | LVIS_FOCUSED, LVIS_SELECTED | LVIS_FOCUSED);
}
// Whether a control's text, drawn in its own font (the mnemonic's mark left
// out, every line), fits its width less a few pixels of frame.
bool TextFits(HWND control) {
  const std::wstring text = win32::ToWindowsText(Text(control));
  RECT client{}, drawn{};
  GetClientRect(control, &client);
  HDC dc = GetDC(control);
  HGDIOBJ old = SelectObject(dc, reinterpret_cast<HFONT>(SendMessageW(control, WM_GETFONT, 0, 0)));
  DrawTextW(dc, text.c_str(), -1, &drawn, DT_CALCRECT);
  SelectObject(dc, old);
  ReleaseDC(control, dc);
  return drawn.right <= client.right - MulDiv(4, ExpectedDpi(), 96);
}
int FontHeight(HWND control) {
  LOGFONTW font{};
  GetObjectW(reinterpret_cast<HFONT>(SendMessageW(control, WM_GETFONT, 0, 0)), sizeof font, &font);
  return font.lfHeight;
}

// Runs `step` once the modal dialog that the next call opens is up (on a
// turn of its own message loop); the dialog is the interface's parent
// window by then.
std::function<void()> pendingStep;
void CALLBACK RunPendingStep(HWND, UINT, UINT_PTR id, DWORD) {
  KillTimer(nullptr, id);
  auto step = std::move(pendingStep);
  if (step) step();
}
void WhenModal(std::function<void()> step) {
  pendingStep = std::move(step);
  SetTimer(nullptr, 0, 20, &RunPendingStep);
}

// The picker on the system's shell32.dll, on the program's real files,
// profile and icons, the registry and the shell recorded.
class Win32WindowsTest : public ::testing::Test, public FormBench {
 protected:
  void SetUp() override {
    wchar_t system[MAX_PATH] = {};
    GetSystemDirectoryW(system, MAX_PATH);
    library = platform::WideToUtf8(system) + "\\shell32.dll";
    tp.os.icons = &native.icons;
    Verb(kDefaultLibraryValue, library);
    Verb(kNoWarningValue, " 1");
    Verb(kKeepIconInsideValue, " 0");
    win32::InstallDialogFactories(ui32, program);
    Reopen();
  }
  void Reopen() {
    window.reset();
    picker = std::make_unique<ChangeIcon>(program, ui32);
    InstallIconMaking(*picker);
    window = std::make_unique<ChangeIconWindow>(*picker);
    window->onFormClosed = [this] { closed = true; };
    ui32.SetParentWindow(window->hwnd());
    picker->Form_Load();
    window->Show();
    closed = false;
  }
  HWND Picker(int id) const { return window->Control(id); }
  std::string Ini(const char* key) const { return DescriptorValue(folder.string(), key); }

  platform::NativePlatform native;
  std::string library;
  QuietWin32Ui ui32;
  std::unique_ptr<ChangeIcon> picker;
  std::unique_ptr<ChangeIconWindow> window;
  bool closed = false;
};

TEST_F(Win32WindowsTest, ThePickerStandsAtItsTableScaledToTheDpiAndItsTextsFit) {
  const int dpi = ExpectedDpi();
  EXPECT_EQ(win32::WindowDpi(window->hwnd()), dpi);
  RECT client{};
  GetClientRect(window->hwnd(), &client);
  EXPECT_EQ(std::tuple(client.right, client.bottom),
            std::tuple(MulDiv(L::kClientWidth, dpi, 96), MulDiv(L::kClientHeight, dpi, 96)));
  auto expectAt = [](HWND control, L::Box b, int at) {
    RECT r{};
    GetWindowRect(control, &r);
    MapWindowPoints(nullptr, GetParent(control), reinterpret_cast<POINT*>(&r), 2);
    EXPECT_EQ(std::tuple(r.left, r.top, r.right - r.left, r.bottom - r.top),
              std::tuple(MulDiv(b.x, at, 96), MulDiv(b.y, at, 96), MulDiv(b.w, at, 96),
                         MulDiv(b.h, at, 96)))
        << GetDlgCtrlID(control) << " at " << at;
  };
  expectAt(Picker(ChangeIconWindow::kLabel1), L::kLabel1, dpi);
  expectAt(Picker(ChangeIconWindow::kListView), {16, 72, 385, 193}, dpi);
  expectAt(Picker(ChangeIconWindow::kBtnAutoCreate), {13, 316, 151, 39}, dpi);
  for (int id : {ChangeIconWindow::kLabel2, ChangeIconWindow::kLabel3, ChangeIconWindow::kBrowseButton,
                 ChangeIconWindow::kBtnAutoCreate, ChangeIconWindow::kButtonCreate,
                 ChangeIconWindow::kOKButton, ChangeIconWindow::kRemoveButton,
                 ChangeIconWindow::kCancelButton, ChangeIconWindow::kOptionButton})
    EXPECT_TRUE(TextFits(Picker(id))) << Text(Picker(id));
  EXPECT_EQ(FontHeight(Picker(ChangeIconWindow::kOKButton)), -MulDiv(8, dpi, 72)) << "8 points";

  // Moved onto a monitor of 1.5 times that DPI: laid out afresh from the
  // tables, in the rectangle Windows proposes, fonts included.
  const int moved = dpi * 3 / 2;
  RECT frame{};
  GetWindowRect(window->hwnd(), &frame);
  RECT suggested{frame.left, frame.top, frame.left + MulDiv(L::kClientWidth, moved, 96) + 40,
                 frame.top + MulDiv(L::kClientHeight, moved, 96) + 60};
  SendMessageW(window->hwnd(), 0x02E0 /* WM_DPICHANGED */, MAKEWPARAM(moved, moved),
               reinterpret_cast<LPARAM>(&suggested));
  GetWindowRect(window->hwnd(), &frame);
  EXPECT_EQ(frame.right - frame.left, suggested.right - suggested.left);
  expectAt(Picker(ChangeIconWindow::kOKButton), L::kOKButton, moved);
  EXPECT_EQ(FontHeight(Picker(ChangeIconWindow::kOKButton)), -MulDiv(8, moved, 72));
}

// What the program draws as 32 × 32 stays 32 × 32 whatever the DPI (the
// system's icon size is 64 at 200 %): the extracted icon is its 32 × 32
// image, and DrawIcon draws it pixel for pixel.
TEST_F(Win32WindowsTest, ThirtyTwoPixelIconsAtAnyDpiAndTheListFromLargerImages) {
  const auto extracted = native.icons.ExtractIcon(library, 3);
  ASSERT_TRUE(extracted.IsIcon());
  EXPECT_EQ(std::tuple(extracted.bitmap().width, extracted.bitmap().height), std::tuple(32, 32));
  formats::IconBitmap corner;
  corner.width = corner.height = 32;
  corner.color.assign(32 * 32, formats::Rgba{0, 0, 0, 0});
  corner.mask.assign(32 * 32, 1);  // the background shows through
  corner.color.back() = {255, 0, 0, 0};
  corner.mask.back() = 0;
  Surface24 picture(32, 32);
  native.icons.DrawIcon(picture, 0, 0, platform::IconHandle(std::move(corner), {}));
  EXPECT_EQ(std::tuple(picture.At(31, 31), picture.At(30, 30)),
            std::tuple(Rgb{255, 0, 0}, Rgb{255, 255, 255}));

  // At more than 96 dpi the list shows each icon drawn from its own larger
  // image (shell32.dll has them), not the 32 × 32 picture doubled.
  const int dpi = ExpectedDpi(), side = MulDiv(32, dpi, 96);
  int width = 0, height = 0;
  ImageList_GetIconSize(ListView_GetImageList(Picker(ChangeIconWindow::kListView), LVSIL_NORMAL),
                        &width, &height);
  EXPECT_EQ(std::tuple(width, height), std::tuple(side, side));
  ASSERT_GT(picker->IconList.size(), 10u);
  ASSERT_EQ(picker->ListPictures.size(), dpi == 96 ? 0u : picker->IconList.size());
  std::size_t drawnAfresh = 0;
  for (std::size_t i = 0; i < picker->ListPictures.size(); ++i) {
    Surface24 doubled(side, side);
    for (int y = 0; y < side; ++y)
      for (int x = 0; x < side; ++x) doubled.Set(x, y, picker->IconList[i].At(x * 32 / side, y * 32 / side));
    drawnAfresh += !(picker->ListPictures[i] == doubled);
  }
  EXPECT_GE(drawnAfresh * 2, picker->ListPictures.size());
}

TEST_F(Win32WindowsTest, ThePickerShowsItsFormItsKeysGoToTheFormOkWritesEscCancels) {
  char raw[128] = {};  // the control holds the line break as Windows draws it
  GetWindowTextA(Picker(ChangeIconWindow::kBtnAutoCreate), raw, sizeof raw);
  HWND list = Picker(ChangeIconWindow::kListView), name = Picker(ChangeIconWindow::kSelectedIcon);
  EXPECT_EQ(std::tuple(Text(window->hwnd()), std::string(raw), Text(name), ListView_GetItemCount(list),
                       ListView_GetNextItem(list, -1, LVNI_SELECTED)),
            std::tuple(picker->Caption.Title, std::string("Auto-create from \r\n'Music'"), library,
                       static_cast<int>(picker->ListView.ListItems.size()), picker->ListView.SelectedItem - 1));
  // The file name box takes no typing, letters, Backspace or a paste.
  for (char c : std::string("xyz\b\x16")) SendMessageA(name, WM_CHAR, static_cast<unsigned char>(c), 0);
  EXPECT_EQ(std::tuple(Text(name), picker->SelectedIcon), std::tuple(library, library));
  // Tab leaves the file name for the list and goes round the picker's nine
  // stops; Enter on an entry is a click on it (here after the program moved
  // the choice away from it), Enter elsewhere presses nothing.
  SetFocus(name);
  Key(name, VK_TAB);
  EXPECT_EQ(GetFocus(), list);
  for (int i = 1; i < 9; ++i) Key(GetFocus(), VK_TAB);
  EXPECT_EQ(GetFocus(), name) << "round in nine";
  SetFocus(list);
  Choose(list, 3);
  picker->SelectedNo = "0";
  Key(list, VK_RETURN);
  Key(name, VK_RETURN);
  EXPECT_EQ(std::tuple(picker->SelectedNo, closed), std::tuple("3", false));
  // A chosen entry and OK write the descriptor; Esc and the close box are
  // Cancel.
  Choose(list, 4);
  EXPECT_EQ(Text(Picker(ChangeIconWindow::kSelectedNo)), "4");
  Click(Picker(ChangeIconWindow::kOKButton));
  EXPECT_EQ(std::tuple(closed, IsWindowVisible(window->hwnd()) != 0, Ini("IconFile"), Ini("IconIndex")),
            std::tuple(true, false, library, "4"));
  for (auto close : {+[](HWND w) { Key(GetDlgItem(w, ChangeIconWindow::kListView), VK_ESCAPE); },
                     +[](HWND w) { SendMessageW(w, WM_CLOSE, 0, 0); }}) {
    fs::remove(folder / "DESKTOP.INI");
    Reopen();
    close(window->hwnd());
    EXPECT_EQ(std::tuple(closed, ui32.endRequested(), Ini("IconIndex")), std::tuple(true, true, ""));
  }
  EXPECT_EQ(tp.shell.refreshKeys, 1);
  // Cleared by other means than typing, the text reaches the form.
  Reopen();
  SetWindowTextA(Picker(ChangeIconWindow::kSelectedIcon), "");
  EXPECT_EQ(std::tuple(picker->SelectedIcon, IsWindowEnabled(Picker(ChangeIconWindow::kButtonCreate)) != 0),
            std::tuple("", false));
}

// A dialog whose owner is not on screen (the settings of a run without a
// folder) keeps a taskbar button of its own; over the picker it has none.
TEST_F(Win32WindowsTest, TheSettingsDialogWritesWhatChangedOnOkAndNothingOnEsc) {
  using win32::OptionsWindow;
  auto taskbarButton = [](HWND d) { return (GetWindowLongW(d, GWL_EXSTYLE) & WS_EX_APPWINDOW) != 0; };
  WhenModal([&] {
    HWND d = ui32.parentWindow(), lib = GetDlgItem(d, OptionsWindow::kDefaultLib);
    EXPECT_EQ(std::tuple(Text(d), IsWindowEnabled(window->hwnd()) != 0, taskbarButton(d), Text(lib)),
              std::tuple(std::string("Plumage settings"), false, false, library));
    SetWindowTextW(lib, L"C:\\Icons\\Mine.icl");
    Click(GetDlgItem(d, OptionsWindow::kNoWarningBox));  // the reminder on again
    Click(GetDlgItem(d, OptionsWindow::kLang1));
    Click(GetDlgItem(d, OptionsWindow::kCmdOK));
  });
  Click(Picker(ChangeIconWindow::kOptionButton));
  EXPECT_EQ(std::tuple(ui32.parentWindow(), IsWindowEnabled(window->hwnd()) != 0, program.NoWarning,
                       program.Language, program.DefaultLibrary, closed),
            std::tuple(window->hwnd(), true, 0, 1, "C:\\Icons\\Mine.icl", false));
  ShowWindow(window->hwnd(), SW_HIDE);
  WhenModal([&] {
    HWND d = ui32.parentWindow();
    EXPECT_TRUE(taskbarButton(d)) << "the owner is hidden";
    Click(GetDlgItem(d, OptionsWindow::kLang0));
    Key(GetDlgItem(d, OptionsWindow::kDefaultLib), VK_ESCAPE);
  });
  ui32.ShowOptions();
  EXPECT_EQ(program.Language, 1);
}

TEST_F(Win32WindowsTest, TheAboutBoxOpensItsLinkAndClosesOnEsc) {
  std::string version;
  WhenModal([&] {
    HWND box = ui32.parentWindow();
    version = Text(GetDlgItem(box, win32::AboutWindow::kLblVersion));
    HWND link = GetDlgItem(box, win32::AboutWindow::kLabel5);
    SendMessageW(link, WM_LBUTTONDOWN, MK_LBUTTON, 0);
    SendMessageW(link, WM_LBUTTONUP, 0, 0);
    EXPECT_TRUE(IsWindowVisible(box)) << "the box stays open";
    Key(box, VK_ESCAPE);
  });
  // The picker's logo opens the box.
  SendMessageW(window->hwnd(), WM_COMMAND, MAKEWPARAM(ChangeIconWindow::kImage1, STN_CLICKED),
               reinterpret_cast<LPARAM>(Picker(ChangeIconWindow::kImage1)));
  EXPECT_EQ(std::tuple(version, tp.shell.opened),
            std::tuple(VersionText(), std::vector<std::string>{texts::about::kLink}));
}

TEST_F(Win32WindowsTest, TheNewIconDialogRefusesCharactersAndSavesOnEnter) {
  using win32::TransformIconWindow;
  int candidates = 0;
  std::string typed;
  WhenModal([&] {
    HWND d = ui32.parentWindow();
    HWND list = GetDlgItem(d, TransformIconWindow::kListView), name = GetDlgItem(d, TransformIconWindow::kIconName);
    candidates = ListView_GetItemCount(list);
    for (char c : std::string("a.b")) SendMessageA(name, WM_CHAR, static_cast<unsigned char>(c), 0);
    typed = Text(name);
    Choose(list, 2);
    Key(name, VK_RETURN);
  });
  Click(Picker(ChangeIconWindow::kButtonCreate));
  EXPECT_EQ(std::tuple(candidates, typed, ui32.said, fs::file_size(home / "Icons" / "ab.ico")),
            std::tuple(4, "ab", std::vector<std::string>{"Beep"}, 2238u));
  EXPECT_EQ(std::tuple(picker->SelectedNo, ListView_GetItemCount(Picker(ChangeIconWindow::kListView))),
            std::tuple("0", 1)) << "back in the picker, the one new icon";
}

// A caption too wide for its button is broken at its middle blank, as the
// Qt picker does: the French convert button keeps to two lines.
TEST_F(Win32WindowsTest, TheFrenchConvertButtonKeepsToTwoLines) {
  Verb("", "M&odifier l'ic\xF4ne...");  // as stored: Windows-1252
  Reopen();
  HWND button = Picker(ChangeIconWindow::kButtonCreate);
  EXPECT_EQ(Text(button), "Convertir l'ic\xC3\xB4ne\rs\xC3\xA9lectionn\xC3\xA9" "e");
  EXPECT_TRUE(TextFits(button));
}

}  // namespace
}  // namespace plumage::test
