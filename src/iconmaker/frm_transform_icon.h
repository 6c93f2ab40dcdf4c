// frmTransformIcon: the new-icon dialog. Four candidates, the picker's
// selected icon on the yellow, red, blue and green folder, one of them saved
// under the name the user gives, in the folder of new icons.
#pragma once

#include <cstdint>
#include <optional>
#include <string>

#include "app/form.h"
#include "picker/change_icon.h"
#include "picker/compose_drawing.h"

namespace plumage {

struct Program;
class IUserInterface;

// Layout of the dialog at 96 dpi (pixels; positions inside a frame are
// relative to the frame).
namespace transform_icon_layout {
using Box = change_icon_layout::Box;
inline constexpr int kClientWidth = 317;
inline constexpr int kClientHeight = 253;
inline constexpr Box kFrame1{8, 8, 305, 97};
inline constexpr Box kListView{8, 16, 289, 73};
inline constexpr Box kFrame2{8, 112, 305, 49};
inline constexpr Box kIconName{8, 16, 289, 19};
inline constexpr Box kBtnOk{8, 168, 81, 25};
inline constexpr Box kBtnCancel{96, 168, 81, 25};
inline constexpr Box kLabel1{16, 200, 297, 41};
}  // namespace transform_icon_layout

// The characters the name box refuses as they are typed.
inline constexpr const char* kRefusedNameCharacters = "\\:=*?.";

class frmTransformIcon : public Form, public IconCanvas {
 public:
  frmTransformIcon(Program& program, IUserInterface& ui, ChangeIcon& picker);

  // ---- controls -------------------------------------------------------
  struct Captions {
    std::string Title, Frame1, frame2, BtnOk, BtnCancel, Label1;
  } Caption;
  IconListView ListView;
  std::string IconName;  // the name box's text

  // ---- the message table, filled at load --------------------------------
  struct Messages {
    std::string ErrorTitle, NameRequired, InvalidName;
  } Msg;

  // ---- handlers -------------------------------------------------------
  void Form_Load();
  void Form_Paint();
  // A character typed into IconName: the character to keep, or 0 when it
  // is refused (with a beep).
  char IconName_KeyPress(char typed);
  void ListView_ItemClick(int position);  // 1-based
  void BtnOk_Click();
  void BtnCancel_Click();

  // ---- operations -------------------------------------------------------
  // Fills IconList and ListView with the four candidates, or closes the
  // dialog when the icon cannot be drawn.
  void BuildCandidates();
  // The path OK saves a name to: the folder of new icons, the name, and
  // ".ico" unless the name already ends in those three letters.
  std::string IconPathFor(const std::string& name) const;
  // Whether a name (typed or pasted) may name a file in the folder of new
  // icons: no refused character and no path separator.
  static bool IsPlainIconName(const std::string& name);

  const FolderPictures& FolderPicture();
  ChangeIcon& picker() { return picker_; }
  std::int16_t language() const { return language_; }

 private:
  void SetCaptions();

  Program& program_;
  IUserInterface& ui_;
  ChangeIcon& picker_;
  std::int16_t language_ = 0;
  std::optional<FolderPictures> folderPictures_;
};

// The candidate selected in the dialog, saved at the path of the picker's
// SelectedIcon (see SaveSelectedAsIcon in iconmaker/save_selected.h).
bool SaveSelectedAsIcon(frmTransformIcon& dialog);

}  // namespace plumage
