// IUserInterface with Qt: message boxes, the wait cursor, the open-file
// dialog, the beep and the event loop. The dialogs that open other dialogs
// find them through the factories set here by the program's entry.
#pragma once

#include <QString>
#include <QStringList>
#include <cstdint>
#include <functional>

#include "app/user_interface.h"

class QEventLoop;
class QTranslator;
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
  QtUserInterface();
  ~QtUserInterface() override;
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

  // The run's own event loop. The end of the program leaves this loop
  // alone, once control is back in it: a message box still open (the
  // refresh reminder after the picker has closed) keeps running until it is
  // answered. Unset, the end of the program only sets endRequested().
  void SetMainLoop(QEventLoop* loop) { mainLoop_ = loop; }

  // The program-wide language; Qt's own texts (the file dialog's, the
  // message box buttons', the text boxes' menus) follow it from the next
  // dialog on, as the program's dialogs do.
  void FollowLanguage(const std::int16_t* language) { language_ = language; }
  // Installs Qt's translation for the language now followed; false when
  // French is chosen and no translation of Qt's own texts is installed.
  bool ApplyLanguage();

  // The window that parents message boxes and modal dialogs (may be null).
  void SetParentWindow(QWidget* parent) { parent_ = parent; }
  QWidget* parentWindow() const { return parent_; }
  // The window a message box or dialog is centred over: the parent window
  // while it is on screen, else none, so that the box is centred on the
  // screen rather than over a window that is hidden or was never shown.
  QWidget* Owner() const;

  // How the modal dialogs are opened; the entry sets them once the forms
  // exist. Unset, the button says so instead of pretending.
  std::function<void()> showOptions;
  std::function<void()> showAbout;
  std::function<void(ChangeIcon&)> showTransformIcon;

 private:
  void NotAvailable(const char* what);

  QWidget* parent_ = nullptr;
  QEventLoop* mainLoop_ = nullptr;
  const std::int16_t* language_ = nullptr;
  int translated_ = -1;  // the language whose translation is installed
  QTranslator* translator_ = nullptr;
  bool endRequested_ = false;
  int waitDepth_ = 0;
};

}  // namespace plumage::qt
