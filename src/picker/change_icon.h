// ChangeIcon: the icon picker, the program's main dialog. Its controls'
// state lives here under the controls' names; the Qt view draws it and
// forwards the user's actions to the handlers.
#pragma once

#include <cstdint>
#include <functional>
#include <optional>
#include <string>
#include <utility>
#include <vector>

#include "app/form.h"
#include "folder/folder_ops.h"
#include "picker/compose_drawing.h"
#include "base/surface.h"

namespace plumage {

struct Program;
class IUserInterface;

// Layout of the dialog at 96 dpi (pixels; positions inside a frame are
// relative to the frame).
namespace change_icon_layout {
struct Box {
  int x, y, w, h;
};
inline constexpr int kClientWidth = 418;
inline constexpr int kClientHeight = 400;
inline constexpr Box kLabel1{8, 8, 401, 289};
inline constexpr Box kLabel2{8, 16, 89, 17};
inline constexpr Box kSelectedIcon{8, 32, 233, 25};
inline constexpr Box kLabel3{248, 16, 41, 17};
inline constexpr Box kSelectedNo{248, 32, 41, 25};
inline constexpr Box kImage1{328, 16, 59, 41};
inline constexpr Box kListView{8, 64, 385, 193};
inline constexpr Box kBrowseButton{8, 258, 81, 25};
inline constexpr Box kFrame1{8, 300, 401, 60};
inline constexpr Box kBtnAutoCreate{5, 16, 151, 39};
inline constexpr Box kPicture3{160, 24, 80, 20};
inline constexpr Box kButtonCreate{244, 15, 152, 39};
inline constexpr Box kOKButton{8, 368, 81, 25};
inline constexpr Box kRemoveButton{96, 368, 81, 25};
inline constexpr Box kCancelButton{184, 368, 81, 25};
inline constexpr Box kOptionButton{328, 368, 81, 25};
}  // namespace change_icon_layout

// What a dialog that lists composed icons owns: the drawing surface, the
// four folder backgrounds and the image list (the picker and the new-icon
// dialog both do).
struct IconCanvas {
  plumage::Surface24 Picture1{32, 32};
  std::vector<plumage::Surface24> IconList;  // picture i is IconList[i - 1]
  // The side of the list's pictures as the view shows them (more than 32 on
  // a display of more than 96 dpi), and the pictures at that side, drawn
  // from each icon's own image for it; empty at 32, and for pictures that
  // have no larger image (composed ones): the view shows IconList then.
  int ListPictureSize = 32;
  std::vector<plumage::Surface24> ListPictures;
};

// One entry of the icon-view list.
struct ListItem {
  ListItem() = default;
  ListItem(std::string text, int icon, std::string name = {})
      : Text(std::move(text)), Icon(icon), Name(std::move(name)) {}
  bool operator==(const ListItem&) const = default;

  std::string Text;  // " 0", " 1", ...
  int Icon = 0;      // 1-based picture of the attached image list
  std::string Name;  // what a screen reader says for it ("Icon 12")
};

// The list control in icon view: its entries, which image list is attached
// and which entry is selected (1-based, 0 for none).
struct IconListView {
  std::vector<ListItem> ListItems;
  bool BlankAttached = true;  // ImageListBlank attached while the list is rebuilt
  int SelectedItem = 0;
  int EnsureVisible = 0;  // the entry to scroll to, 0 for none
  int Version = 0;        // grows with every change of the entries or pictures
};

// The labels of the list: the index, preceded by one blank.
std::string ListLabel(int index);

class ChangeIcon : public Form, public IconCanvas {
 public:
  ChangeIcon(Program& program, IUserInterface& ui);

  // ---- controls -------------------------------------------------------
  struct Captions {
    std::string Title;  // the window's caption
    std::string Label1, Label2, Label3, BrowseButton, Frame1, BtnAutoCreate, ButtonCreate,
        OKButton, RemoveButton, CancelButton, OptionButton;
    // The pictures' names for a screen reader.
    std::string Image1, Picture3;
  } Caption;

  std::string SelectedIcon;  // the icon file's path
  std::string SelectedNo;    // the icon's zero-based index, as text
  std::string TotalIcons = "0";
  bool ButtonCreateEnabled = false;
  IconListView ListView;

  // ---- the message table, filled at load in the language of the moment --
  struct Messages {
    std::string ErrorTitle, NetworkRefusal, InvalidFolder, CannotWrite, NoIcon, OpenTitle,
        NoApplication, IconFilter;
  } Msg;

  std::string ProgramFolder;  // with its separator

  // The list's pictures for a screen with more than one pixel to the
  // 96-dpi pixel: PictureScale is that many (set by the view before the
  // load), and LargeIconList holds picture i of IconList drawn at
  // 32 * PictureScale from the icon's own larger image, for a file's icons
  // (composed pictures are 32 × 32 by nature and have none).
  int PictureScale = 1;
  std::vector<plumage::Surface24> LargeIconList;

  // ---- handlers -------------------------------------------------------
  void Form_Load();
  void BrowseButton_Click();
  void BtnAutoCreate_Click();
  void ButtonCreate_Click();
  void OKButton_Click();
  void RemoveButton_Click();
  void CancelButton_Click();
  void OptionButton_Click();
  void Image1_Click();
  void ListView_ItemClick(int position);  // 1-based
  void ListView_DblClick() {}
  // Every change of SelectedIcon's text, by the user or by the program.
  void SelectedIcon_Change();
  // A character typed into SelectedIcon: returns the character to keep
  // (always none: the box takes no typing).
  char SelectedIcon_KeyPress(char typed);

  // ---- operations -------------------------------------------------------
  void LoadIconList();
  // The view's list pictures are `size` pixels a side from now on: the
  // listed icons are drawn again at that size.
  void SetListPictureSize(int size);
  void AutoCreateIcons();
  void ReadPresentIcon();
  void WriteFolderDescriptor();

  // Whether SelectedIcon names an icon file to convert from: not empty and
  // not the placeholder of a created icon that is not saved yet.
  bool NamesAFile() const;

  // Sets SelectedIcon from program code and runs its change handler.
  void SetSelectedIcon(const std::string& text);

  // The four folder backgrounds (FolderPicture), loaded on first use.
  const FolderPictures& FolderPicture();

  // Saves the picture selected in the list as the icon SelectedIcon names;
  // set by the icon-making code (false when nothing can be saved).
  std::function<bool(ChangeIcon&)> SaveSelectedAsIcon;

  Program& program() { return program_; }
  IUserInterface& ui() { return ui_; }
  std::int16_t language() const { return language_; }

 private:
  void SetCaptions();
  void ClearList();
  // The larger list picture of icon n of `path`, after its 32 × 32 one.
  void AddListPicture(const std::string& path, int n, const platform::IconHandle& icon);
  void FillListFromIconList();
  FolderOps Ops();

  Program& program_;
  IUserInterface& ui_;
  std::int16_t language_ = 0;  // the language the dialog took at load
  std::optional<FolderPictures> folderPictures_;
  std::string listSource_;  // the file whose icons the list holds, empty for composed ones
};

// Draws an icon over one of the four folder backgrounds on the dialog's
// Picture1 and appends the picture to its IconList; false after telling the
// user that the file holds no such icon.
bool ComposeFolderIcon(Program& program, IUserInterface& ui, IconCanvas& dialog,
                       const FolderPictures& folders, std::int16_t x, std::int16_t y,
                       const std::string& path, std::int16_t index, int background);

}  // namespace plumage
