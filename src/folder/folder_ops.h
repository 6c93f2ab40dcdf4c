// The folder operations of the icon picker ChangeIcon: reading the
// folder's present icon when the picker opens, writing the chosen one (or
// removing it) when the user applies a choice, and the apply flow around
// that write. The picker owns the state (SelectedIcon, SelectedNo, its
// message table) and lends it here by reference; what only the picker can do
// (its icon list, saving a created icon, closing) comes in as hooks.
// plumagectl runs the very same WriteFolderDescriptor without a picker.
#pragma once

#include <cstdint>
#include <functional>
#include <optional>
#include <string>
#include <vector>

#include "folder/descriptor.h"
#include "base/result.h"

namespace plumage {

struct Program;
class IUserInterface;

// The texts of the picker's message table that the folder operations show:
// references into the table the picker fills at its load (ChangeIcon::Msg),
// so they stay in the language of that moment after a change of language.
struct FolderMessages {
  const std::string& ErrorTitle;
  const std::string& NetworkRefusal;
  const std::string& InvalidFolder;
  const std::string& CannotWrite;
};

// The same texts, held, for callers without a picker (plumagectl, tests).
struct FolderMessageTexts {
  explicit FolderMessageTexts(std::int16_t language);
  FolderMessages Refs() const { return {ErrorTitle, NetworkRefusal, InvalidFolder, CannotWrite}; }

  std::string ErrorTitle;
  std::string NetworkRefusal;
  std::string InvalidFolder;
  std::string CannotWrite;
};

// What the picker supplies. A hook left empty does nothing (and a missing
// SaveSelectedAsIcon counts as a failed save).
struct PickerHooks {
  // LoadIconList: lists the icons of the file in SelectedIcon and redraws.
  std::function<void()> LoadIconList;
  // The number of entries the list holds now.
  std::function<int()> ListCount;
  // Selects the entry at a position (counted from 1), scrolled into view.
  std::function<void(int position)> SelectListEntry;
  // Shows the picker.
  std::function<void()> Show;
  // SaveSelectedAsIcon: writes the picture selected in the list as an icon
  // at the path in SelectedIcon and sets SelectedNo to "0"; false stops the
  // apply flow.
  std::function<bool()> SaveSelectedAsIcon;
  // Closes (unloads) the picker.
  std::function<void()> Unload;
  // The program changed SelectedIcon or SelectedNo (SelectedIcon_Change).
  std::function<void()> SelectionChanged;
};

// Where ReadPresentIcon found the icon it offers.
enum class PresentIconSource {
  Refused,         // a network folder: the refusal was shown, the program ends
  Descriptor,      // the folder's DESKTOP.INI
  DefaultLibrary,  // the default icon library
  None,            // neither: the list stays empty
};

// What WriteFolderDescriptor did, for callers that report more than the
// picker shows (plumagectl); the picker ignores it.
struct FolderWriteReport {
  enum class Outcome {
    Written,        // the keys were written
    Removed,        // a drive root's AUTORUN.INF was deleted (or was not there)
    InvalidFolder,  // "Invalid folder!": nothing was written
    CannotWrite,    // "Cannot write to file!": see failure
  };
  Outcome outcome = Outcome::Written;
  DescriptorPlace place;
  std::string failure;                // why a key could not be written
  std::vector<std::string> unstored;  // attribute changes or a delete that failed
  std::string storedIcon;             // the icon path the descriptor names now
  std::string keptIcon;               // the copy kept inside the folder, when one was written
};

// How the chosen icon is named in the descriptor.
struct FolderWriteOptions {
  // The path as chosen (mapped to its Windows name where a mapping holds
  // it), never a copy inside the folder.
  bool noCopy = false;
};

class FolderOps {
 public:
  FolderOps(Program& program, IUserInterface& ui, FolderMessages messages,
            std::string& selectedIcon, std::string& selectedNo, PickerHooks hooks = {});

  // Fills SelectedIcon and SelectedNo from the folder's DESKTOP.INI or the
  // default library, has the list filled and the present entry selected,
  // and shows the picker. Refuses a network folder (message, then the end
  // of the program).
  PresentIconSource ReadPresentIcon();

  // Writes SelectedIcon and SelectedNo into the folder's descriptor with
  // its attributes, or removes the icon when both are empty; tells the user
  // of a failure itself. The folder keeps its Read-only, Hidden and Archive
  // attributes (only System is added or, on Reset, taken away); a
  // DESKTOP.INI that holds the IconResource key has it set too, so the
  // shell of Windows Vista and later shows the new icon rather than the old
  // one. The change is one transaction: under a lock on the folder, the
  // whole new file replaces the old one at once, the attributes change only
  // after that, and a failed write gives the old attributes back.
  //
  // Where the icon is kept inside the folder (the setting, or always on a
  // removable or network volume), the chosen icon is written there as an
  // .ico file, Hidden and System, and the descriptor names it by its bare
  // name with index 0; a Reset, or a later choice, removes the copy. Else
  // the descriptor names the chosen path, or its Windows name where a
  // mapping of the settings holds it.
  FolderWriteReport WriteFolderDescriptor(const FolderWriteOptions& options = {});

  // OK: saves a created icon first when SelectedIcon holds the placeholder
  // (FolderName + ".ico", letter case included), writes the descriptor,
  // then closes the picker with the reminder. A save that fails leaves the
  // placeholder in SelectedIcon, so the descriptor never names an icon file
  // that was not made.
  void OKButton_Click();

  // Closes the picker, shows the refresh reminder unless NoWarning, lets
  // pending events run 1000 times and sends F5.
  void ShowRefreshReminder();

 private:
  void Changed();
  void Fail(const std::string& message);
  void FollowOnDesktop(const std::string& folder);
  // Whether the chosen icon goes inside this folder.
  bool KeepsIconInside(const std::string& folder);
  // The kept copy that the descriptor names now, or "" when it names none.
  std::string KeptIconNamed(const std::string& descriptor, bool driveRoot);
  // Writes the kept copy of the chosen icon (or finds the chosen file in
  // the folder itself) and gives the name the descriptor is to hold.
  // keptPath and replacedBytes say what was written over what.
  Result<std::string> KeepInside(const std::string& folder, const std::string& keptBefore,
                                 std::string& keptPath, std::optional<std::string>& replacedBytes);
  void RemoveKept(const std::string& path, FolderWriteReport& report);

  Program& program_;
  IUserInterface& ui_;
  FolderMessages messages_;
  std::string& SelectedIcon;
  std::string& SelectedNo;
  PickerHooks hooks_;
};

// The refresh reminder of a language: its lines joined by a carriage
// return alone.
std::string ReminderText(std::int16_t language);

// Opens a document or address with the shell's "Open"; nothing is reported.
void OpenDocument(Program& program, const std::string& target);

}  // namespace plumage
