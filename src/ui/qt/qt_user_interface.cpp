#include "ui/qt/qt_user_interface.h"

#include <QApplication>
#include <QCoreApplication>
#include <QEventLoop>
#include <QFileDialog>
#include <QHeaderView>
#include <QLibraryInfo>
#include <QMessageBox>
#include <QRegularExpression>
#include <QTranslator>
#include <QTreeView>
#include <algorithm>

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

QtUserInterface::QtUserInterface() = default;

QtUserInterface::~QtUserInterface() {
  if (translator_) QCoreApplication::removeTranslator(translator_);
  delete translator_;
}

bool QtUserInterface::ApplyLanguage() {
  const int wanted = language_ && *language_ == 1 ? 1 : 0;
  if (wanted == translated_) return wanted == 0 || translator_;
  translated_ = wanted;
  if (translator_) {
    QCoreApplication::removeTranslator(translator_);
    delete translator_;
    translator_ = nullptr;
  }
  // English is Qt's own language; French comes from Qt's translations
  // (Debian's qt6-translations-l10n).
  if (wanted == 0) return true;
  auto* translator = new QTranslator;
  if (!translator->load(QLocale(QLocale::French), QStringLiteral("qtbase"), QStringLiteral("_"),
                        QLibraryInfo::path(QLibraryInfo::TranslationsPath))) {
    delete translator;
    return false;
  }
  translator_ = translator;
  QCoreApplication::installTranslator(translator_);
  return true;
}

QWidget* QtUserInterface::Owner() const {
  return parent_ && parent_->isVisible() ? parent_ : nullptr;
}

void QtUserInterface::MessageBox(const std::string& text, const std::string& title,
                                 MessageIcon icon) {
  ApplyLanguage();
  QMessageBox box(Owner());
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
  ApplyLanguage();
  QFileDialog dialog(Owner(), ToQt(options.Title), ToQt(options.InitialDir));
  dialog.setFileMode(QFileDialog::ExistingFile);
  dialog.setAcceptMode(QFileDialog::AcceptOpen);
  const QStringList filters = NameFiltersFromWindows(options.Filter);
  dialog.setNameFilters(filters);
  if (options.FilterIndex >= 1 && options.FilterIndex <= filters.size())
    dialog.selectNameFilter(filters[options.FilterIndex - 1]);
  // Qt's own dialog opens too narrow for its details: the size, type and
  // date columns came out cut ("443...KiB"). They take the width their
  // contents need and the name the rest, in a dialog a little wider.
  if (auto* details = dialog.findChild<QTreeView*>()) {
    QHeaderView* header = details->header();
    header->setStretchLastSection(false);
    header->setSectionResizeMode(0, QHeaderView::Stretch);
    for (int column = 1; column < header->count(); ++column)
      header->setSectionResizeMode(column, QHeaderView::ResizeToContents);
  }
  const QSize size = dialog.sizeHint();
  dialog.resize(std::max(size.width(), dialog.logicalDpiX() * 7), size.height());
  // Flag 4 hides the read-only check box, which Qt's dialog never has.
  if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty()) return std::nullopt;
  return FromQt(dialog.selectedFiles().first());
}

void QtUserInterface::Beep() { QApplication::beep(); }

void QtUserInterface::DoEvents() { QCoreApplication::processEvents(); }

void QtUserInterface::EndProgram() {
  endRequested_ = true;
  // Not QCoreApplication::exit: that ends every running event loop, the
  // nested one of a message box still on screen included.
  if (mainLoop_) mainLoop_->exit(0);
}

void QtUserInterface::NotAvailable(const char* what) {
  QMessageBox::information(Owner(), QStringLiteral("Plumage"),
                           QStringLiteral("The %1 is not part of this build yet.")
                               .arg(QString::fromUtf8(what)));
}

void QtUserInterface::ShowOptions() {
  ApplyLanguage();
  if (showOptions)
    showOptions();
  else
    NotAvailable("settings dialog");
}

void QtUserInterface::ShowAbout() {
  ApplyLanguage();
  if (showAbout)
    showAbout();
  else
    NotAvailable("about box");
}

void QtUserInterface::ShowTransformIcon(ChangeIcon& picker) {
  ApplyLanguage();
  if (showTransformIcon)
    showTransformIcon(picker);
  else
    NotAvailable("new-icon dialog");
}

}  // namespace plumage::qt
