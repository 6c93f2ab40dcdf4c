// Connects the interface's modal dialogs to their forms and windows: the
// settings dialog, the about box and the new-icon dialog, wherever they are
// opened from.
#pragma once

namespace plumage {
struct Program;
}

namespace plumage::win32 {

class Win32UserInterface;

void InstallDialogFactories(Win32UserInterface& ui, Program& program);

}  // namespace plumage::win32
