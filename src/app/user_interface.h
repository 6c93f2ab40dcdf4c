// The one small interface through which a form touches the user. The Qt
// front end implements it with widgets; the tests with a recording fake.
#pragma once

#include <optional>
#include <string>

namespace plumage {

class ChangeIcon;

enum class MessageIcon { None, Exclamation, Information };

// The open-file dialog's settings. The filter is the Windows form:
// description|patterns|description|patterns..., patterns separated by ';'.
struct OpenFileOptions {
  std::string Title;       // empty: the toolkit's own title
  std::string Filter;
  int FilterIndex = 1;     // 1-based, as the common dialog counts
  std::string InitialDir;  // empty: the toolkit's choice
  int Flags = 0;           // 4 hides the read-only check box
};

class IUserInterface {
 public:
  virtual ~IUserInterface() = default;

  // A modal message box with one OK button; returns when it is closed.
  virtual void MessageBox(const std::string& text, const std::string& title, MessageIcon icon) = 0;
  // The hourglass pointer on or off (the default pointer).
  virtual void SetWaitCursor(bool busy) = 0;
  // The open-file dialog; the chosen full path, or nothing on Cancel.
  virtual std::optional<std::string> OpenFile(const OpenFileOptions& options) = 0;
  virtual void Beep() = 0;
  // Lets pending window messages be processed once.
  virtual void DoEvents() = 0;
  // Ends the program (after the current handler returns).
  virtual void EndProgram() = 0;

  // Modal dialogs opened by other dialogs; each returns when it has closed.
  virtual void ShowOptions() = 0;
  virtual void ShowAbout() = 0;
  virtual void ShowTransformIcon(ChangeIcon& picker) = 0;
};

}  // namespace plumage
