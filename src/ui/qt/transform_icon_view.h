// The new-icon dialog's window: the four candidates in an icon-view list,
// the name box whose typed characters pass through IconName_KeyPress, OK
// and Cancel. Closing the window any other way is Cancel.
#pragma once

#include <QDialog>

#include "app/form.h"

class QGroupBox;
class QLabel;
class QLineEdit;
class QListWidget;
class QPushButton;

namespace plumage {
struct Program;
class ChangeIcon;
class frmTransformIcon;
}  // namespace plumage

namespace plumage::qt {

class QtUserInterface;

class TransformIconView : public QDialog, public IFormObserver {
  Q_OBJECT

 public:
  TransformIconView(frmTransformIcon& form, QWidget* parent);
  ~TransformIconView() override;

  void FormChanged() override;
  void FormClosed() override;

 public slots:
  void reject() override;

 protected:
  void showEvent(QShowEvent* event) override;
  bool eventFilter(QObject* watched, QEvent* event) override;

 private:
  void RebuildList();

  frmTransformIcon& form_;
  bool refreshing_ = false;
  bool painted_ = false;
  int listVersion_ = -1;

  QGroupBox* Frame1_;
  QListWidget* ListView_;
  QGroupBox* frame2_;
  QLineEdit* IconName_;
  QPushButton* BtnOk_;
  QPushButton* BtnCancel_;
  QLabel* Label1_;
};

// Creates and loads the new-icon dialog over the picker and shows it
// modally; returns when it has closed.
void ShowTransformIconDialog(Program& program, QtUserInterface& ui, ChangeIcon& picker);

}  // namespace plumage::qt
