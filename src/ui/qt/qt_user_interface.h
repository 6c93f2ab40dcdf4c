// IUserInterface with Qt: message boxes, the wait cursor, the open-file
// dialog, the beep and the event loop. The dialogs that open other dialogs
// find them through the factories set here by the program's entry.
#pragma once

#include <QString>
#include <QStringList>
#include <functional>

#include "app/user_interface.h"

class QWidget;

namespace plumage::qt {

// Program texts are UTF-8; a carriage return alone (as the program's
// messages are composed) is a line break on screen.
QString ToQt(const std::string& text);
std::string FromQt(const QString& text);

// "desc|patterns|desc|patterns" → Qt name filters, each shown with its own
// description and matching its patterns.
QStringList NameFiltersFromWindows(const std::string& filter);

class QtUserInterface : public IUserInterface {
 public:
  void MessageBox(const std::string& text, const std::string& title, MessageIcon icon) override;
  void SetWaitCursor(bool busy) override;
  std::optional<std::string> OpenFile(const OpenFileOptions& options) override;
  void Beep() override;
  void DoEvents() override;
  void EndProgram() override;
  void ShowOptions() override;
  void ShowAbout() override;
  void ShowTransformIcon(ChangeIcon& picker) override;

  bool endRequested() const { return endRequested_; }

  // The window that parents message boxes and modal dialogs (may be null).
  void SetParentWindow(QWidget* parent) { parent_ = parent; }
  QWidget* parentWindow() const { return parent_; }

  // How the modal dialogs are opened; the entry sets them once the forms
  // exist. Unset, the button says so instead of pretending.
  std::function<void()> showOptions;
  std::function<void()> showAbout;
  std::function<void(ChangeIcon&)> showTransformIcon;

 private:
  void NotAvailable(const char* what);

  QWidget* parent_ = nullptr;
  bool endRequested_ = false;
  int waitDepth_ = 0;
};

}  // namespace plumage::qt
