// The settings dialog's window: widgets drawn from frmOptions, the user's
// input written back into the form's controls, clicks handed to its
// handlers. Closing the window any other way than OK is Cancel.
#pragma once

#include <QDialog>

#include "app/form.h"

class QCheckBox;
class QComboBox;
class QGroupBox;
class QLabel;
class QLineEdit;
class QPushButton;
class QRadioButton;

namespace plumage {
struct Program;
class frmOptions;
}  // namespace plumage

namespace plumage::qt {

class QtUserInterface;

class OptionsView : public QDialog, public IFormObserver {
  Q_OBJECT

 public:
  OptionsView(frmOptions& form, QWidget* parent);
  ~OptionsView() override;

  void FormChanged() override;
  void FormClosed() override;

 public slots:
  void reject() override;

 protected:
  void showEvent(QShowEvent* event) override;

 private:
  frmOptions& form_;
  bool refreshing_ = false;

  QGroupBox* Frame1_;
  QLabel* Label3_;
  QLineEdit* DefaultLib_;
  QPushButton* BrowseLibButton_;
  QLabel* Label4_;
  QCheckBox* NoWarningBox_;
  QCheckBox* KeepInsideBox_;
  QGroupBox* Frame2_;
  QRadioButton* Lang_[2];
  QGroupBox* Frame3_;
  QLabel* Label5_;
  QComboBox* CacheSize_;
  QCheckBox* Colors_;
  QPushButton* RebuildButton_;
  QPushButton* DeleteButton_;
  QPushButton* cmdOK_;
  QPushButton* cmdCancel_;
  QPushButton* AboutBox_;
};

// Creates and loads the settings dialog and shows it modally over the
// interface's parent window; returns when it has closed.
void ShowOptionsDialog(Program& program, QtUserInterface& ui);

}  // namespace plumage::qt
