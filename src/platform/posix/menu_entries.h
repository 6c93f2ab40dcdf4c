// The folder verb in the context menus of the Linux file managers: GNOME
// Files (a script), Dolphin (a service menu), Nemo (an action) and Thunar
// (one action in the user's custom-actions file). Each entry starts plumage
// with the folder's path and carries the verb's caption, which is also the
// language, so the entries follow the caption when it changes.
#pragma once

#include <string>
#include <string_view>
#include <vector>

#include "base/result.h"

namespace plumage::platform {

// The caption as shown where a menu has no access keys: "C&hange icon..."
// becomes "Change icon..."; "&&" stands for one "&".
std::string CaptionWithoutAccessKey(std::string_view caption);
// The caption with its access key marked the GTK way ("C_hange icon...");
// a "_" of the caption itself is doubled so that it shows.
std::string CaptionWithUnderscoreKey(std::string_view caption);

// One argument of an Exec line of a desktop entry: quoted, with the
// characters that quoting reserves escaped, and then escaped again for the
// entry's string type; "%" doubled so that it is no field code.
std::string DesktopExecArgument(const std::string& argument);
// One argument for a command line that GLib splits (g_shell_parse_argv):
// single quotes, a quote inside written as '\''.
std::string ShellWordArgument(const std::string& argument);
// Text for an XML element.
std::string XmlEscape(std::string_view text);

// The caption in another language, for an entry that carries several and
// lets the file manager pick one by the user's locale ("fr" -> Name[fr]=).
struct TranslatedCaption {
  std::string locale;
  std::string caption;
};

// The entries' contents. `program` is the full path of plumage (a
// system-wide entry names it bare, found on PATH wherever it was installed).
std::string NautilusScript(const std::string& program);
std::string DolphinServiceMenu(const std::string& caption, const std::string& program,
                               const std::vector<TranslatedCaption>& translations = {});
std::string NemoAction(const std::string& caption, const std::string& program,
                       const std::vector<TranslatedCaption>& translations = {});
std::string ThunarAction(const std::string& caption, const std::string& program);

// The Thunar custom-actions file with our action in it: put where an
// earlier one of ours stood, else added after the user's own actions. An
// empty text stands for a missing file. A file that is not a Thunar actions
// file is an error, and stays as it is.
Result<std::string> MergeThunarAction(const std::string& existing, const std::string& action);
// The file without our action, byte for byte as it was before it came in.
// `removed` tells whether there was one.
std::string RemoveThunarAction(const std::string& existing, bool& removed);
// What a file holds that had no action before ours: it is deleted instead.
std::string EmptyThunarActions();

// Where the per-user entries go, and where the system-wide ones of the
// package are looked for.
struct MenuPlaces {
  std::string dataHome;    // $XDG_DATA_HOME, else ~/.local/share
  std::string configHome;  // $XDG_CONFIG_HOME, else ~/.config
  // $XDG_DATA_DIRS, else /usr/local/share and /usr/share
  std::vector<std::string> dataDirs;
  static MenuPlaces FromEnvironment();

  std::string NautilusScripts() const;  // a folder: the script's name is its caption
  std::string DolphinFile() const;
  std::string NemoFile() const;
  std::string ThunarFile() const;
  // The package's entries for every user (same file names, under the data
  // folders of the system), or "" when none is installed.
  std::string SystemDolphinFile() const;
  std::string SystemNemoFile() const;
};

// Writes, renames and removes the four entries. The folders that install
// made are listed in `manifest` (a file in the program folder), so that
// uninstall takes away exactly those, and only when they are empty again.
// Where the package has put a Dolphin or Nemo entry for every user, the
// user gets none of their own for that file manager (an earlier one of ours
// is taken away): a file manager that lists both would show the verb twice.
class MenuEntries {
 public:
  MenuEntries(MenuPlaces places, std::string program, std::string manifest);

  Status Install(const std::string& caption);
  // Rewrites the entries that are there with the new caption; adds none.
  Status Rename(const std::string& caption);
  Status Uninstall();

  // Every per-user entry file there is now, for messages and tests.
  std::vector<std::string> PresentFiles() const;
  // The system-wide entries that stand in for per-user ones.
  std::vector<std::string> SystemFiles() const;

 private:
  Status WriteEntries(const std::string& caption, bool onlyPresent);
  // Thunar's file with our action merged in, or why the file cannot take
  // it; `write` is false when the file is to be left alone.
  Result<std::string> MergedThunarFile(const std::string& caption, bool onlyPresent,
                                       bool& write) const;
  std::vector<std::string> OurNautilusScripts() const;

  MenuPlaces places_;
  std::string program_;
  std::string manifest_;
};

}  // namespace plumage::platform
