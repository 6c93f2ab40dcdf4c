// The apply flow: what OK and Reset do once the choice is made.
#include <iterator>

#include "base/paths.h"
#include "app/program.h"
#include "app/texts.h"
#include "app/user_interface.h"
#include "folder/folder_ops.h"
#include "platform/system.h"

namespace plumage {

// Pending events are let through this many times before F5 goes out, so
// that the window under the closed picker has its focus back.
constexpr int kRefreshDoEvents = 1000;

void FolderOps::OKButton_Click() {
  // A created icon that is not saved yet: SelectedIcon holds exactly the
  // placeholder that AutoCreateIcons put there.
  const std::string placeholder = program_.FolderName + ".ico";
  if (SelectedIcon == placeholder) {
    SelectedIcon = WithTrailingSeparator(program_.os.system->ProgramFolder()) + kIconsFolder +
                   kPathSeparator + placeholder;
    Changed();
    if (!hooks_.SaveSelectedAsIcon || !hooks_.SaveSelectedAsIcon()) {
      // The picker stays open with the choice as it was: the placeholder
      // again, so that the next OK saves the entry chosen then. Left holding
      // the path of a file that was never made, the next OK would write
      // that path into the descriptor and the folder would point at nothing.
      SelectedIcon = placeholder;
      Changed();
      return;
    }
  }
  WriteFolderDescriptor();  // it tells of its own failures; the flow goes on
  ShowRefreshReminder();
}

std::string ReminderText(std::int16_t language) {
  auto join = [](const auto& lines) {
    std::string text;
    for (std::size_t i = 0; i < std::size(lines); ++i) {
      if (i > 0) text.push_back('\r');
      text += lines[i];
    }
    return text;
  };
  return language == 1 ? join(texts::kReminderFr) : join(texts::kReminderEn);
}

void FolderOps::ShowRefreshReminder() {
  if (hooks_.Unload) hooks_.Unload();
  // Composed now: a language changed since the picker loaded shows here.
  if (program_.NoWarning == 0)
    ui_.MessageBox(ReminderText(program_.Language), texts::kProgramTitle, MessageIcon::Information);
  for (int i = 0; i < kRefreshDoEvents; ++i) ui_.DoEvents();
  program_.os.shell->SendRefreshKey();
}

void OpenDocument(Program& program, const std::string& target) {
  (void)program.os.shell->OpenDocument(target);
}

}  // namespace plumage
