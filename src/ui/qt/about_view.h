// The about box's window: the logo, the texts of frmAbout, the link that
// hands its clicks to Label5_Click, and OK.
#pragma once

#include <QDialog>

#include "app/form.h"

class QLabel;
class QPushButton;

namespace plumage {
struct Program;
class frmAbout;
}  // namespace plumage

namespace plumage::qt {

class QtUserInterface;

class AboutView : public QDialog, public IFormObserver {
  Q_OBJECT

 public:
  AboutView(frmAbout& form, QWidget* parent);
  ~AboutView() override;

  void FormChanged() override;
  void FormClosed() override;

 public slots:
  void reject() override;

 protected:
  bool eventFilter(QObject* watched, QEvent* event) override;

 private:
  frmAbout& form_;
  QLabel* picIcon_;
  QLabel* lblTitle_;
  QLabel* lblVersion_;
  QLabel* Label1_;
  QLabel* Label4_;
  QLabel* Label5_;
  QLabel* lblDescription_;
  QPushButton* cmdOK_;
};

// Creates and loads the about box and shows it modally over the interface's
// parent window; returns when it has closed.
void ShowAboutDialog(Program& program, QtUserInterface& ui);

}  // namespace plumage::qt
