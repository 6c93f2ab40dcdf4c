// The apply flow: what OK and Reset do once the choice is made.
#include <iterator>

#include "app/paths.h"
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
  if (SelectedIcon == program_.FolderName + ".ico") {
    SelectedIcon = WithTrailingSeparator(program_.os.system->ProgramFolder()) + kIconsFolder +
                   kPathSeparator + program_.FolderName + ".ico";
    Changed();
    // A failed save leaves the picker open, SelectedIcon holding the path.
    if (!hooks_.SaveSelectedAsIcon || !hooks_.SaveSelectedAsIcon()) return;
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
  program.os.shell->OpenDocument(target);
}

}  // namespace plumage
