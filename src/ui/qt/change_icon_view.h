// The picker's window: widgets at the dialog's positions, drawn from the
// ChangeIcon form's state, with the user's actions forwarded to its handlers.
#pragma once

#include <QDialog>
#include <functional>

#include "app/form.h"

class QAbstractButton;
class QGroupBox;
class QLabel;
class QLineEdit;
class QListWidget;
class QPushButton;

namespace plumage {
class ChangeIcon;
}

namespace plumage::qt {

class ChangeIconView : public QDialog, public IFormObserver {
  Q_OBJECT

 public:
  explicit ChangeIconView(ChangeIcon& form, QWidget* parent = nullptr);
  ~ChangeIconView() override;

  void FormChanged() override;
  void FormClosed() override;

  // For the view tests: the widgets under their control names.
  QLineEdit* selectedIcon() const { return selectedIcon_; }
  QLabel* selectedNo() const { return selectedNo_; }
  QListWidget* listView() const { return listView_; }
  QPushButton* button(const char* name) const;
  QAbstractButton* image1() const { return image1_; }

  // Called when the form has closed itself (OK, Reset or Cancel).
  std::function<void()> onFormClosed;

 protected:
  void reject() override;  // Esc and the window's close box answer Cancel
  bool eventFilter(QObject* watched, QEvent* event) override;

 private:
  void Place(QWidget* w, int x, int y, int width, int height);
  void RebuildList();
  QString Wrapped(QPushButton* button, const QString& text) const;
  QString FolderCaption(const QString& text) const;

  ChangeIcon& form_;
  double scale_ = 1.0;
  int listVersion_ = -1;
  bool syncing_ = false;
  bool closedByForm_ = false;

  QGroupBox* label1_ = nullptr;
  QLabel* label2_ = nullptr;
  QLineEdit* selectedIcon_ = nullptr;
  QLabel* label3_ = nullptr;
  QLabel* selectedNo_ = nullptr;
  QAbstractButton* image1_ = nullptr;
  QListWidget* listView_ = nullptr;
  QPushButton* browseButton_ = nullptr;
  QGroupBox* frame1_ = nullptr;
  QPushButton* btnAutoCreate_ = nullptr;
  QLabel* picture3_ = nullptr;
  QPushButton* buttonCreate_ = nullptr;
  QPushButton* okButton_ = nullptr;
  QPushButton* removeButton_ = nullptr;
  QPushButton* cancelButton_ = nullptr;
  QPushButton* optionButton_ = nullptr;
};


}  // namespace plumage::qt
