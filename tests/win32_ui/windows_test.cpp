// The Win32 dialogs over their forms, driven through their window messages
// as a user's clicks and keys arrive: the picker for a temporary folder,
// and the settings, about and new-icon dialogs opened modally the ways the
// program opens them. Runs under Wine with a display (Xvfb).
#include <gtest/gtest.h>

#include <windows.h>
#undef MessageBox

#include <commctrl.h>

#include <cwctype>

#include <algorithm>
#include <cwchar>
#include <filesystem>
#include <functional>
#include <iterator>
#include <memory>
#include <string>
#include <vector>

#include "app/program.h"
#include "app/startup.h"
#include "app/texts.h"
#include "iconmaker/save_selected.h"
#include "picker/change_icon.h"
#include "platform/win32/native_platform.h"
#include "platform/win32/win32_text.h"
#include "settings/settings.h"
#include "support/fakes.h"
#include "support/temp_dir.h"
#include "ui/win32/about_window.h"
#include "ui/win32/change_icon_window.h"
#include "ui/win32/dialog_factories.h"
#include "ui/win32/options_window.h"
#include "ui/win32/transform_icon_window.h"
#include "ui/win32/win32_text.h"
#include "ui/win32/win32_user_interface.h"

namespace plumage::test {
namespace {

namespace fs = std::filesystem;
using win32::ChangeIconWindow;

// The real interface, its message boxes recorded instead of shown and its
// beeps counted.
class QuietWin32Ui : public win32::Win32UserInterface {
 public:
  void MessageBox(const std::string& text, const std::string& title, MessageIcon) override {
    messages.push_back(title + ": " + text);
  }
  void Beep() override { ++beeps; }
  std::vector<std::string> messages;
  int beeps = 0;
};

// This test program carries the manifest plumage.exe carries: under it the
// windows are made by the common controls 6 of the side-by-side assembly,
// not by the system folder's version 5. (Wine 8's comctl32 answers
// DllGetVersion with 5.81 from either place; where it was loaded from is
// what tells them apart.)
TEST(Win32Manifest, CommonControlsSixAreLoaded) {
  HMODULE comctl = GetModuleHandleW(L"comctl32.dll");
  ASSERT_NE(comctl, nullptr) << "the windows' library is loaded with the program";
  wchar_t path[MAX_PATH] = {};
  ASSERT_GT(GetModuleFileNameW(comctl, path, MAX_PATH), 0u);
  std::wstring lower = path;
  for (auto& c : lower) c = static_cast<wchar_t>(towlower(c));
  EXPECT_NE(lower.find(L"\\winsxs\\x86_microsoft.windows.common-controls_6595b64144ccf1df_6.0."),
            std::wstring::npos);
}

// What the program draws as 32 × 32 stays 32 × 32 whatever the display's
// DPI (the system's icon size is 64 × 64 to this DPI-aware program at 200 %):
// an extracted icon is its 32 × 32 image, and DrawIcon draws it pixel for
// pixel, its last pixel at the last pixel of a 32 × 32 picture.
TEST(Win32Icons, ThirtyTwoPixelIconsAtAnyDpi) {
  platform::NativePlatform native;
  wchar_t system[MAX_PATH] = {};
  GetSystemDirectoryW(system, MAX_PATH);
  const platform::IconHandle extracted =
      native.icons.ExtractIcon(platform::WideToUtf8(system) + "\\shell32.dll", 3);
  ASSERT_TRUE(extracted.IsIcon());
  EXPECT_EQ(extracted.bitmap().width, 32);
  EXPECT_EQ(extracted.bitmap().height, 32);

  platform::IconBitmap corner;
  corner.width = corner.height = 32;
  corner.color.assign(32 * 32, platform::Rgba{0, 0, 0, 0});
  corner.mask.assign(32 * 32, 1);  // the background shows through
  corner.color.back() = platform::Rgba{255, 0, 0, 0};
  corner.mask.back() = 0;
  corner.color[32 * 16 + 16] = platform::Rgba{0, 0, 255, 0};
  corner.mask[32 * 16 + 16] = 0;
  const platform::IconHandle icon(std::move(corner), platform::IconOrigin{});
  plumage::Surface24 picture(32, 32);
  native.icons.DrawIcon(picture, 0, 0, icon);
  EXPECT_EQ(picture.At(31, 31), (plumage::Rgb{255, 0, 0}));
  EXPECT_EQ(picture.At(16, 16), (plumage::Rgb{0, 0, 255}));
  EXPECT_EQ(picture.At(30, 30), (plumage::Rgb{255, 255, 255}));
}

std::string Text(HWND control) {
  return win32::GetText(control);
}

// Where a control stands in its window's client area.
RECT PlaceOf(HWND control) {
  RECT r{};
  GetWindowRect(control, &r);
  MapWindowPoints(nullptr, GetParent(control), reinterpret_cast<POINT*>(&r), 2);
  return r;
}

// A key as the message loop would hand it on: through the dialog keys.
void Key(HWND target, WPARAM virtualKey) {
  MSG msg{};
  msg.hwnd = target;
  msg.message = WM_KEYDOWN;
  msg.wParam = virtualKey;
  win32::DispatchDialogMessage(msg);
}

void Type(HWND edit, const std::string& characters) {
  for (char c : characters) SendMessageA(edit, WM_CHAR, static_cast<unsigned char>(c), 0);
}

void Click(HWND button) {
  SendMessageA(button, BM_CLICK, 0, 0);
}

// Runs `step` once the modal dialog that the next call opens is up (on a
// turn of its own message loop); the dialog is the interface's parent
// window by then.
std::function<void()> pendingStep;
void CALLBACK RunPendingStep(HWND, UINT, UINT_PTR id, DWORD) {
  KillTimer(nullptr, id);
  auto step = std::move(pendingStep);
  pendingStep = nullptr;
  if (step) step();
}
void WhenModal(std::function<void()> step) {
  pendingStep = std::move(step);
  SetTimer(nullptr, 0, 20, &RunPendingStep);
}

std::string SystemFile(const char* name) {
  char folder[MAX_PATH] = {};
  GetSystemDirectoryA(folder, MAX_PATH);
  return std::string(folder) + "\\" + name;
}

std::string Ini(const fs::path& file, const char* section, const char* key) {
  char value[512] = {};
  GetPrivateProfileStringA(section, key, "(none)", value, sizeof value, file.string().c_str());
  return value;
}

// The platform of the program with fakes for what a test must see or
// control: the registry, the program folder and the shell.
class Win32WindowsTest : public ::testing::Test {
 protected:
  Win32WindowsTest()
      : os{&registry, &system, &shell, &native.files, &native.profile, &native.icons},
        program(os) {}

  void SetUp() override {
    fs::create_directories(dir.path() / "home" / "Icons");
    fs::create_directories(folder);
    system.programFolder = (dir.path() / "home").string() + "\\";
    registry.SetString(kVerbRoot, kVerbKey, "", "C&hange icon...");
    registry.SetString(kVerbRoot, kVerbKey, kDefaultLibraryValue, library);
    registry.SetString(kVerbRoot, kVerbKey, kNoWarningValue, " 1");
    registry.SetString(kVerbRoot, kVerbKey, kKeepIconInsideValue, " 0");
    win32::InstallDialogFactories(ui, program);
    BeginRun(program, folder.string());
    picker = std::make_unique<ChangeIcon>(program, ui);
    InstallIconMaking(*picker);
    window = std::make_unique<ChangeIconWindow>(*picker);
    window->onFormClosed = [this] { closed = true; };
    ui.SetParentWindow(window->hwnd());
    picker->Form_Load();
    window->Show();
  }
  HWND Picker(int id) const { return window->Control(id); }

  TempDir dir;
  fs::path folder = dir.path() / "Music";
  std::string library = SystemFile("shell32.dll");
  platform::NativePlatform native;
  MemoryRegistry registry;
  FakeSystem system;
  RecordingShell shell;
  platform::Platform os;
  Program program;
  QuietWin32Ui ui;
  std::unique_ptr<ChangeIcon> picker;
  std::unique_ptr<ChangeIconWindow> window;
  bool closed = false;
};

// The DPI the display of this run has: PLUMAGE_TEST_DPI when the run set
// one up (Wine's LogPixels), else 96.
int ExpectedDpi() {
  wchar_t value[16] = {};
  const DWORD n = GetEnvironmentVariableW(L"PLUMAGE_TEST_DPI", value, 16);
  return n > 0 && n < 16 ? _wtoi(value) : 96;
}

struct Placed {
  int id;
  change_icon_layout::Box box;  // in the window's coordinates
};

// Every control of the picker at its table box times dpi / 96.
void ExpectPickerAt(const ChangeIconWindow& window, int dpi, const std::vector<Placed>& placed) {
  namespace L = change_icon_layout;
  RECT client{};
  GetClientRect(window.hwnd(), &client);
  EXPECT_EQ(client.right, MulDiv(L::kClientWidth, dpi, 96));
  EXPECT_EQ(client.bottom, MulDiv(L::kClientHeight, dpi, 96));
  for (const Placed& p : placed) {
    const RECT r = PlaceOf(window.Control(p.id));
    EXPECT_EQ(r.left, MulDiv(p.box.x, dpi, 96)) << p.id << " at " << dpi;
    EXPECT_EQ(r.top, MulDiv(p.box.y, dpi, 96)) << p.id << " at " << dpi;
    EXPECT_EQ(r.right - r.left, MulDiv(p.box.w, dpi, 96)) << p.id << " at " << dpi;
    EXPECT_EQ(r.bottom - r.top, MulDiv(p.box.h, dpi, 96)) << p.id << " at " << dpi;
  }
}

// The width of each line of a control's text in its own font, the widest.
int TextWidth(HWND control) {
  std::wstring text(static_cast<std::size_t>(GetWindowTextLengthW(control)) + 1, L'\0');
  text.resize(static_cast<std::size_t>(
      GetWindowTextW(control, text.data(), static_cast<int>(text.size()))));
  HDC dc = GetDC(control);
  HGDIOBJ old = SelectObject(dc, reinterpret_cast<HFONT>(SendMessageW(control, WM_GETFONT, 0, 0)));
  int widest = 0;
  std::size_t start = 0;
  while (start <= text.size()) {
    std::size_t end = text.find(L"\r\n", start);
    if (end == std::wstring::npos) end = text.size();
    std::wstring line = text.substr(start, end - start);
    std::erase(line, L'&');  // the mnemonic's mark is not drawn
    SIZE size{};
    GetTextExtentPoint32W(dc, line.c_str(), static_cast<int>(line.size()), &size);
    widest = std::max(widest, static_cast<int>(size.cx));
    start = end + 2;
  }
  SelectObject(dc, old);
  ReleaseDC(control, dc);
  return widest;
}

TEST_F(Win32WindowsTest, PickerStandsAtTheLayoutScaledToTheMonitorsDpi) {
  namespace L = change_icon_layout;
  const int dpi = ExpectedDpi();
  EXPECT_EQ(win32::WindowDpi(window->hwnd()), dpi);
  const std::vector<Placed> placed = {
      {ChangeIconWindow::kLabel1, L::kLabel1},
      {ChangeIconWindow::kSelectedIcon, {L::kLabel1.x + 8, L::kLabel1.y + 32, 233, 25}},
      {ChangeIconWindow::kImage1, {L::kLabel1.x + 328, L::kLabel1.y + 16, 59, 41}},
      {ChangeIconWindow::kListView, {L::kLabel1.x + 8, L::kLabel1.y + 64, 385, 193}},
      {ChangeIconWindow::kBtnAutoCreate, {L::kFrame1.x + 5, L::kFrame1.y + 16, 151, 39}},
      {ChangeIconWindow::kPicture3, {L::kFrame1.x + 160, L::kFrame1.y + 24, 80, 20}},
      {ChangeIconWindow::kOKButton, L::kOKButton},
      {ChangeIconWindow::kOptionButton, L::kOptionButton},
  };
  ExpectPickerAt(*window, dpi, placed);

  // Texts drawn in a font of the same DPI fit their controls (buttons keep
  // a few pixels of their frame).
  for (int id :
       {ChangeIconWindow::kLabel2, ChangeIconWindow::kLabel3, ChangeIconWindow::kBrowseButton,
        ChangeIconWindow::kBtnAutoCreate, ChangeIconWindow::kButtonCreate,
        ChangeIconWindow::kOKButton, ChangeIconWindow::kRemoveButton,
        ChangeIconWindow::kCancelButton, ChangeIconWindow::kOptionButton}) {
    RECT r{};
    GetClientRect(Picker(id), &r);
    EXPECT_LE(TextWidth(Picker(id)), r.right - MulDiv(4, dpi, 96)) << Text(Picker(id));
  }
  LOGFONTW font{};
  GetObjectW(
      reinterpret_cast<HFONT>(SendMessageW(Picker(ChangeIconWindow::kOKButton), WM_GETFONT, 0, 0)),
      sizeof font, &font);
  EXPECT_EQ(font.lfHeight, -MulDiv(8, dpi, 72)) << "8 points at the window's DPI";

  // Moved onto a monitor of 1.5 times that DPI: laid out afresh from the
  // tables, in the rectangle Windows proposes.
  const int moved = dpi * 3 / 2;
  RECT frame{};
  GetWindowRect(window->hwnd(), &frame);
  RECT suggested{frame.left, frame.top, frame.left + MulDiv(L::kClientWidth, moved, 96) + 40,
                 frame.top + MulDiv(L::kClientHeight, moved, 96) + 60};
  SendMessageW(window->hwnd(), 0x02E0 /* WM_DPICHANGED */, MAKEWPARAM(moved, moved),
               reinterpret_cast<LPARAM>(&suggested));
  RECT now{};
  GetWindowRect(window->hwnd(), &now);
  EXPECT_EQ(now.right - now.left, suggested.right - suggested.left);
  const RECT ok = PlaceOf(Picker(ChangeIconWindow::kOKButton));
  EXPECT_EQ(ok.left, MulDiv(L::kOKButton.x, moved, 96));
  EXPECT_EQ(ok.top, MulDiv(L::kOKButton.y, moved, 96));
  EXPECT_EQ(ok.right - ok.left, MulDiv(L::kOKButton.w, moved, 96));
  GetObjectW(
      reinterpret_cast<HFONT>(SendMessageW(Picker(ChangeIconWindow::kOKButton), WM_GETFONT, 0, 0)),
      sizeof font, &font);
  EXPECT_EQ(font.lfHeight, -MulDiv(8, moved, 72));
}

// 2 × 2 blocks of each pixel: what stretching a picture to twice its side
// shows.
plumage::Surface24 Doubled(const plumage::Surface24& picture) {
  plumage::Surface24 out(picture.width() * 2, picture.height() * 2);
  for (int y = 0; y < out.height(); ++y)
    for (int x = 0; x < out.width(); ++x) out.Set(x, y, picture.At(x / 2, y / 2));
  return out;
}

TEST_F(Win32WindowsTest, TheListsIconsAreDrawnAtTheDpiFromTheirLargerImages) {
  const int dpi = ExpectedDpi();
  const int side = MulDiv(32, dpi, 96);
  HWND list = Picker(ChangeIconWindow::kListView);
  int width = 0, height = 0;
  ImageList_GetIconSize(ListView_GetImageList(list, LVSIL_NORMAL), &width, &height);
  EXPECT_EQ(width, side);
  EXPECT_EQ(height, side);
  ASSERT_GT(picker->IconList.size(), 10u);
  for (const auto& picture : picker->IconList) ASSERT_EQ(picture.width(), 32) << "saved as icons";
  if (dpi == 96) {
    EXPECT_TRUE(picker->ListPictures.empty()) << "the 32 x 32 pictures are shown";
    return;
  }
  ASSERT_EQ(picker->ListPictures.size(), picker->IconList.size());
  EXPECT_EQ(picker->ListPictures[0].width(), side);
  if (dpi == 192) {
    // shell32.dll has larger images than 32 x 32: the pictures are drawn
    // from them, not doubled.
    int drawnAfresh = 0;
    for (std::size_t i = 0; i < picker->IconList.size(); ++i)
      if (!(picker->ListPictures[i] == Doubled(picker->IconList[i]))) ++drawnAfresh;
    EXPECT_GT(drawnAfresh, static_cast<int>(picker->IconList.size()) / 2);
  }
}

TEST_F(Win32WindowsTest, PickerShowsTheFormsTextsAndList) {
  EXPECT_EQ(Text(window->hwnd()), PickerTitle(folder.string()));
  EXPECT_EQ(Text(Picker(ChangeIconWindow::kBtnAutoCreate)), "Auto-create from \r'Music'");
  // The control holds the line break as Windows draws it.
  char raw[128] = {};
  GetWindowTextA(Picker(ChangeIconWindow::kBtnAutoCreate), raw, sizeof raw);
  EXPECT_EQ(std::string(raw), "Auto-create from \r\n'Music'");
  EXPECT_EQ(Text(Picker(ChangeIconWindow::kSelectedIcon)), library);
  EXPECT_EQ(Text(Picker(ChangeIconWindow::kSelectedNo)), "0");
  EXPECT_TRUE(IsWindowEnabled(Picker(ChangeIconWindow::kButtonCreate)));
  EXPECT_EQ(Text(Picker(ChangeIconWindow::kRemoveButton)), "&Reset folder");

  HWND list = Picker(ChangeIconWindow::kListView);
  const int count = ListView_GetItemCount(list);
  ASSERT_GT(count, 10) << "shell32.dll lists its icons";
  EXPECT_EQ(count, static_cast<int>(picker->ListView.ListItems.size()));
  EXPECT_EQ(ImageList_GetImageCount(ListView_GetImageList(list, LVSIL_NORMAL)),
            static_cast<int>(picker->IconList.size()));
  wchar_t label[16] = {};
  ListView_GetItemText(list, 2, 0, label, 16);
  EXPECT_EQ(std::wstring(label), L" 2");
  EXPECT_EQ(ListView_GetNextItem(list, -1, LVNI_SELECTED), picker->ListView.SelectedItem - 1);
}

TEST_F(Win32WindowsTest, TypingIntoTheFileNameChangesNothing) {
  HWND name = Picker(ChangeIconWindow::kSelectedIcon);
  Type(name, "xyz\b\x16");  // letters, Backspace and the paste shortcut
  EXPECT_EQ(Text(name), library);
  EXPECT_EQ(picker->SelectedIcon, library);
  // Cleared by other means than typing, the text still reaches the form.
  SetWindowTextA(name, "");
  EXPECT_EQ(picker->SelectedIcon, "");
  EXPECT_FALSE(picker->ButtonCreateEnabled);
  EXPECT_FALSE(IsWindowEnabled(Picker(ChangeIconWindow::kButtonCreate)));
}

TEST_F(Win32WindowsTest, SelectingAnEntryAndOkWriteTheFolderDescriptor) {
  HWND list = Picker(ChangeIconWindow::kListView);
  ListView_SetItemState(list, 4, LVIS_SELECTED | LVIS_FOCUSED, LVIS_SELECTED | LVIS_FOCUSED);
  EXPECT_EQ(picker->SelectedNo, "4");
  EXPECT_EQ(Text(Picker(ChangeIconWindow::kSelectedNo)), "4");
  Click(Picker(ChangeIconWindow::kOKButton));
  EXPECT_TRUE(closed);
  EXPECT_FALSE(IsWindowVisible(window->hwnd()));
  const fs::path ini = folder / "DESKTOP.INI";
  EXPECT_EQ(Ini(ini, ".ShellClassInfo", "IconFile"), library);
  EXPECT_EQ(Ini(ini, ".ShellClassInfo", "IconIndex"), "4");
  const DWORD iniAttributes = GetFileAttributesA(ini.string().c_str());
  ASSERT_NE(iniAttributes, INVALID_FILE_ATTRIBUTES);
  EXPECT_EQ(iniAttributes & (FILE_ATTRIBUTE_HIDDEN | FILE_ATTRIBUTE_SYSTEM),
            DWORD{FILE_ATTRIBUTE_HIDDEN | FILE_ATTRIBUTE_SYSTEM});
  EXPECT_TRUE(GetFileAttributesA(folder.string().c_str()) & FILE_ATTRIBUTE_SYSTEM);
  EXPECT_EQ(shell.refreshKeys, 1);
  EXPECT_TRUE(ui.messages.empty()) << ui.messages.front();  // the reminder is off
}

TEST_F(Win32WindowsTest, EscAndTheCloseBoxAreCancel) {
  Key(Picker(ChangeIconWindow::kListView), VK_ESCAPE);
  EXPECT_TRUE(closed);
  EXPECT_TRUE(ui.endRequested());
  EXPECT_FALSE(fs::exists(folder / "DESKTOP.INI"));
  EXPECT_EQ(shell.refreshKeys, 0);
}

TEST_F(Win32WindowsTest, CloseBoxIsCancelToo) {
  SendMessageA(window->hwnd(), WM_CLOSE, 0, 0);
  EXPECT_TRUE(closed);
  EXPECT_FALSE(fs::exists(folder / "DESKTOP.INI"));
}

TEST_F(Win32WindowsTest, EnterInThePickerPressesNothing) {
  Key(Picker(ChangeIconWindow::kListView), VK_RETURN);
  EXPECT_FALSE(closed);
  EXPECT_FALSE(fs::exists(folder / "DESKTOP.INI"));
}

TEST_F(Win32WindowsTest, TabLeavesTheFileNameAndGoesRoundInTheOrderOfTheTable) {
  const int order[] = {ChangeIconWindow::kSelectedIcon,  ChangeIconWindow::kListView,
                       ChangeIconWindow::kBrowseButton,  ChangeIconWindow::kBtnAutoCreate,
                       ChangeIconWindow::kButtonCreate,  ChangeIconWindow::kOKButton,
                       ChangeIconWindow::kRemoveButton,  ChangeIconWindow::kCancelButton,
                       ChangeIconWindow::kOptionButton};
  SetFocus(Picker(order[0]));
  ASSERT_EQ(GetFocus(), Picker(order[0]));
  for (std::size_t i = 1; i <= std::size(order); ++i) {
    Key(GetFocus(), VK_TAB);
    EXPECT_EQ(GetFocus(), Picker(order[i % std::size(order)])) << "after Tab number " << i;
  }
  EXPECT_EQ(picker->SelectedIcon, library);
}

TEST_F(Win32WindowsTest, EnterOnAnEntryIsAClickOnIt) {
  HWND list = Picker(ChangeIconWindow::kListView);
  SetFocus(list);
  ASSERT_EQ(GetFocus(), list);
  ListView_SetItemState(list, 3, LVIS_SELECTED | LVIS_FOCUSED, LVIS_SELECTED | LVIS_FOCUSED);
  // The program moved the choice away from the entry the list shows.
  picker->SelectedNo = "0";
  Key(list, VK_RETURN);
  EXPECT_EQ(picker->SelectedNo, "3");
  EXPECT_FALSE(closed);
  EXPECT_FALSE(fs::exists(folder / "DESKTOP.INI"));
}

TEST_F(Win32WindowsTest, SettingsDialogWritesWhatTheUserChangedOnOk) {
  using win32::OptionsWindow;
  bool sawDialog = false;
  WhenModal([&] {
    HWND dialog = ui.parentWindow();
    ASSERT_NE(dialog, window->hwnd());
    sawDialog = true;
    EXPECT_EQ(Text(dialog), "Plumage settings");
    EXPECT_TRUE(IsWindowVisible(dialog));
    EXPECT_FALSE(IsWindowEnabled(window->hwnd())) << "the picker takes no input meanwhile";
    HWND check = GetDlgItem(dialog, OptionsWindow::kNoWarningBox);
    EXPECT_EQ(SendMessageA(check, BM_GETCHECK, 0, 0), BST_CHECKED);
    Click(check);  // the reminder on again
    HWND combo = GetDlgItem(dialog, OptionsWindow::kCacheSize);
    EXPECT_EQ(SendMessageA(combo, CB_GETCOUNT, 0, 0), 5);
    Click(GetDlgItem(dialog, OptionsWindow::kLang1));
    Click(GetDlgItem(dialog, OptionsWindow::kCmdOK));
  });
  Click(Picker(ChangeIconWindow::kOptionButton));
  EXPECT_TRUE(sawDialog);
  EXPECT_EQ(ui.parentWindow(), window->hwnd());
  EXPECT_TRUE(IsWindowEnabled(window->hwnd()));
  EXPECT_EQ(program.NoWarning, 0);
  EXPECT_EQ(program.Language, 1);
  EXPECT_FALSE(closed) << "the picker stays";
}

TEST_F(Win32WindowsTest, SettingsDialogEscWritesNothingAndEnterIsOk) {
  using win32::OptionsWindow;
  WhenModal([&] {
    HWND dialog = ui.parentWindow();
    Click(GetDlgItem(dialog, OptionsWindow::kLang1));
    Key(GetDlgItem(dialog, OptionsWindow::kDefaultLib), VK_ESCAPE);
  });
  ui.ShowOptions();
  EXPECT_EQ(program.Language, 0);

  WhenModal([&] {
    HWND dialog = ui.parentWindow();
    HWND lib = GetDlgItem(dialog, OptionsWindow::kDefaultLib);
    EXPECT_EQ(Text(lib), library);
    SetWindowTextA(lib, "C:\\Icons\\Mine.icl");
    Key(lib, VK_RETURN);
  });
  ui.ShowOptions();
  EXPECT_EQ(program.DefaultLibrary, "C:\\Icons\\Mine.icl");
}

TEST_F(Win32WindowsTest, AboutBoxOpensItsLinkAndClosesOnEsc) {
  using win32::AboutWindow;
  std::string version;
  WhenModal([&] {
    HWND box = ui.parentWindow();
    EXPECT_EQ(Text(box), "About Plumage");
    version = Text(GetDlgItem(box, AboutWindow::kLblVersion));
    HWND link = GetDlgItem(box, AboutWindow::kLabel5);
    EXPECT_EQ(Text(link), texts::about::kLink);
    SendMessageA(link, WM_LBUTTONDOWN, MK_LBUTTON, 0);
    SendMessageA(link, WM_LBUTTONUP, 0, 0);
    EXPECT_TRUE(IsWindowVisible(box)) << "the box stays open";
    Key(box, VK_ESCAPE);
  });
  // The picker's logo opens the box.
  SendMessageA(window->hwnd(), WM_COMMAND, MAKEWPARAM(ChangeIconWindow::kImage1, STN_CLICKED),
               reinterpret_cast<LPARAM>(Picker(ChangeIconWindow::kImage1)));
  EXPECT_EQ(version, "Version 1.0.96");
  ASSERT_EQ(shell.opened.size(), 1u);
  EXPECT_EQ(shell.opened[0], texts::about::kLink);
}

TEST_F(Win32WindowsTest, NewIconDialogRefusesCharactersAndSavesOnEnter) {
  using win32::TransformIconWindow;
  int candidates = 0;
  std::string typed;
  WhenModal([&] {
    HWND dialog = ui.parentWindow();
    EXPECT_EQ(Text(dialog), "Transform icon...");
    candidates = ListView_GetItemCount(GetDlgItem(dialog, TransformIconWindow::kListView));
    HWND name = GetDlgItem(dialog, TransformIconWindow::kIconName);
    Type(name, "a.b");
    typed = Text(name);
    ListView_SetItemState(GetDlgItem(dialog, TransformIconWindow::kListView), 2, LVIS_SELECTED,
                          LVIS_SELECTED);
    Key(name, VK_RETURN);
  });
  Click(Picker(ChangeIconWindow::kButtonCreate));
  EXPECT_EQ(candidates, 4);
  EXPECT_EQ(typed, "ab");
  EXPECT_EQ(ui.beeps, 1);
  const fs::path made = dir.path() / "home" / "Icons" / "ab.ico";
  ASSERT_TRUE(fs::exists(made));
  EXPECT_EQ(fs::file_size(made), 2238u);
  // Back in the picker, the list shows the one new icon.
  EXPECT_EQ(picker->SelectedNo, "0");
  EXPECT_EQ(ListView_GetItemCount(Picker(ChangeIconWindow::kListView)), 1);
  EXPECT_TRUE(ui.messages.empty()) << ui.messages.front();
}

}  // namespace
}  // namespace plumage::test
