// frmAbout: names the program, its version and its maker, and opens the
// program's web page. Its texts follow the language of the moment it loads.
#pragma once

#include <cstdint>
#include <string>

#include "app/form.h"
#include "dialogs/controls.h"

namespace plumage {

struct Program;

// "Version 1.0.96": the build's own version numbers, without leading zeros.
std::string VersionText();

class IUserInterface;

class frmAbout : public Form {
 public:
  explicit frmAbout(Program& program);
  // With the user interface that tells of a link that nothing could open.
  frmAbout(Program& program, IUserInterface& ui);

  std::string Caption;  // the window title
  // picIcon, the logo, is artwork the view draws; the form holds no state
  // for it.
  Label lblTitle;
  Label lblVersion;
  Label lblDescription;
  Label Label1;     // the maker's credit line
  Label Label4;     // "Website:"
  Label Label5[1];  // the link; its caption is the address it opens
  CommandButton cmdOK;

  void Form_Load();
  void Label5_Click(int index);
  void cmdOK_Click();

 private:
  Program& program_;
  IUserInterface* ui_ = nullptr;
  std::int16_t language_ = 0;  // the language the box took at load
};

}  // namespace plumage
