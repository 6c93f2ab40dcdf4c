#include "ui/qt/qt_user_interface.h"

#include <QApplication>
#include <QCoreApplication>
#include <QFileDialog>
#include <QMessageBox>
#include <QRegularExpression>

namespace plumage::qt {

QString ToQt(const std::string& text) {
  QString s = QString::fromUtf8(text.data(), static_cast<qsizetype>(text.size()));
  s.replace(QStringLiteral("\r\n"), QStringLiteral("\n"));
  s.replace(QLatin1Char('\r'), QLatin1Char('\n'));
  return s;
}

std::string FromQt(const QString& text) { return text.toUtf8().toStdString(); }

QStringList NameFiltersFromWindows(const std::string& filter) {
  const QStringList parts = QString::fromUtf8(filter.c_str()).split(QLatin1Char('|'));
  QStringList filters;
  for (qsizetype i = 0; i + 1 < parts.size(); i += 2) {
    QString description = parts[i];
    QStringList patterns = parts[i + 1].split(QLatin1Char(';'), Qt::SkipEmptyParts);
    for (auto& p : patterns) p = p.trimmed();
    // Qt takes the patterns from the parentheses at the end of a filter, so
    // the description's own "(*.exe; *.dll)" is replaced by the real list.
    description.remove(QRegularExpression(QStringLiteral("\\s*\\([^()]*\\)\\s*$")));
    filters << description + QStringLiteral(" (") + patterns.join(QLatin1Char(' ')) +
                   QLatin1Char(')');
  }
  return filters;
}

void QtUserInterface::MessageBox(const std::string& text, const std::string& title,
                                 MessageIcon icon) {
  QMessageBox box(parent_);
  box.setWindowTitle(ToQt(title));
  box.setText(ToQt(text));
  box.setIcon(icon == MessageIcon::Exclamation   ? QMessageBox::Warning
              : icon == MessageIcon::Information ? QMessageBox::Information
                                                 : QMessageBox::NoIcon);
  box.setStandardButtons(QMessageBox::Ok);
  box.exec();
}

void QtUserInterface::SetWaitCursor(bool busy) {
  // The program sets and restores the pointer like a property, not in pairs.
  if (busy && waitDepth_ == 0) {
    QApplication::setOverrideCursor(Qt::WaitCursor);
    waitDepth_ = 1;
  } else if (!busy) {
    while (QApplication::overrideCursor()) QApplication::restoreOverrideCursor();
    waitDepth_ = 0;
  }
}

std::optional<std::string> QtUserInterface::OpenFile(const OpenFileOptions& options) {
  QFileDialog dialog(parent_, ToQt(options.Title), ToQt(options.InitialDir));
  dialog.setFileMode(QFileDialog::ExistingFile);
  dialog.setAcceptMode(QFileDialog::AcceptOpen);
  const QStringList filters = NameFiltersFromWindows(options.Filter);
  dialog.setNameFilters(filters);
  if (options.FilterIndex >= 1 && options.FilterIndex <= filters.size())
    dialog.selectNameFilter(filters[options.FilterIndex - 1]);
  // Flag 4 hides the read-only check box, which Qt's dialog never has.
  if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty()) return std::nullopt;
  return FromQt(dialog.selectedFiles().first());
}

void QtUserInterface::Beep() { QApplication::beep(); }

void QtUserInterface::DoEvents() { QCoreApplication::processEvents(); }

void QtUserInterface::EndProgram() {
  endRequested_ = true;
  QCoreApplication::exit(0);
}

void QtUserInterface::NotAvailable(const char* what) {
  QMessageBox::information(parent_, QStringLiteral("Plumage"),
                           QStringLiteral("The %1 is not part of this build yet.")
                               .arg(QString::fromUtf8(what)));
}

void QtUserInterface::ShowOptions() {
  if (showOptions)
    showOptions();
  else
    NotAvailable("settings dialog");
}

void QtUserInterface::ShowAbout() {
  if (showAbout)
    showAbout();
  else
    NotAvailable("about box");
}

void QtUserInterface::ShowTransformIcon(ChangeIcon& picker) {
  if (showTransformIcon)
    showTransformIcon(picker);
  else
    NotAvailable("new-icon dialog");
}

}  // namespace plumage::qt
