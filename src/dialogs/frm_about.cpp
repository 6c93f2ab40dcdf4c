#include "dialogs/frm_about.h"

#include <iterator>

#include "app/program.h"
#include "app/texts.h"
#include "app/user_interface.h"
#include "platform/system.h"
#include "version.h"

namespace plumage {

namespace t = texts::about;

std::string VersionText() {
  return t::kVersionPrefix + std::to_string(kVersionMajor) + "." + std::to_string(kVersionMinor) +
         "." + std::to_string(kVersionRevision);
}

frmAbout::frmAbout(Program& program) : program_(program) {
  // As drawn: placeholders that Form_Load replaces, the English description,
  // and the texts that stay English in both languages.
  Caption = "About";
  lblTitle.Caption = "Application Title";
  lblVersion.Caption = "Version";
  lblDescription.Caption = t::kDescription.en;
  Label4.Caption = t::kWebsite;
  Label5[0].Caption = t::kLink;
  cmdOK.Caption = t::kOK;
}

frmAbout::frmAbout(Program& program, IUserInterface& ui) : frmAbout(program) { ui_ = &ui; }

void frmAbout::Form_Load() {
  language_ = program_.Language == 1 ? 1 : 0;
  Caption = std::string(t::kCaptionPrefix) + texts::kProgramTitle;
  lblVersion.Caption = VersionText();
  lblTitle.Caption = texts::kProgramTitle;
  if (program_.Language != 1) {
    Label1.Caption = t::kCredit.en;
  } else {
    Label1.Caption = t::kCredit.fr;
    lblDescription.Caption = t::kDescription.fr;
    Caption = t::kCaptionFr;
  }
  NotifyChanged();
}

void frmAbout::Label5_Click(int index) {
  if (index < 0 || index >= static_cast<int>(std::size(Label5))) return;
  // The box stays open either way; a link that nothing could open is told,
  // rather than the click seeming to do nothing.
  if (!program_.os.shell->OpenDocument(Label5[index].Caption) && ui_)
    ui_->MessageBox(texts::Tr(language_, t::kCannotOpen) + Label5[index].Caption,
                    texts::Tr(language_, texts::kErrorTitle), MessageIcon::Exclamation);
}

void frmAbout::cmdOK_Click() {
  Unload();
}

}  // namespace plumage
