// Connects the interface's modal dialogs to their forms and views: the
// settings dialog and the about box, wherever they are opened from (the
// picker's buttons, the settings dialog's About..., a run without a folder).
#pragma once

namespace plumage {
struct Program;
}

namespace plumage::qt {

class QtUserInterface;

void InstallDialogFactories(QtUserInterface& ui, Program& program);

}  // namespace plumage::qt
