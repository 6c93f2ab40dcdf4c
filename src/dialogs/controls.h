// The state of the controls a dialog form holds under their names. A view
// draws the widgets from these and writes back what the user typed, ticked
// or picked; the form's handlers decide what it means.
#pragma once

#include <string>
#include <vector>

namespace plumage {

struct Label {
  std::string Caption;
};

struct CommandButton {
  std::string Caption;
  bool Enabled = true;
};

struct TextBox {
  std::string Text;
};

// 0 unchecked, 1 checked, as the program compares and stores the flags.
struct CheckBox {
  std::string Caption;
  int Value = 0;
};

struct OptionBox {
  std::string Caption;
  bool Value = false;
};

// A drop-down list without free text; ListIndex -1 means no entry selected.
struct ComboBox {
  std::vector<std::string> Items;
  int ListIndex = -1;
};

}  // namespace plumage
