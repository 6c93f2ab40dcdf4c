// The picker's window for a temporary folder, driven through its widgets:
// a click on an entry and OK write the folder's DESKTOP.INI; Cancel and Esc
// write nothing; typing into the file name box changes nothing.
#include <gtest/gtest.h>

#include <QAbstractButton>
#include <QApplication>
#include <QComboBox>
#include <QDialogButtonBox>
#include <QFileDialog>
#include <QLabel>
#include <QLibraryInfo>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <QTest>
#include <QTimer>
#include <filesystem>
#include <memory>

#include "app/startup.h"
#include "picker/change_icon.h"
#include "platform/portable/file_icon_source.h"
#include "platform/posix/png_codec_libpng.h"
#include "settings/settings.h"
#include "support/fakes.h"
#include "support/icon_writer.h"
#include "support/qt_environment.h"
#include "support/temp_dir.h"
#include "ui/qt/change_icon_view.h"
#include "ui/qt/qt_user_interface.h"

namespace plumage::test {
namespace {

// The real Qt interface with its message boxes recorded instead of shown.
class QuietQtUi : public qt::QtUserInterface {
 public:
  void MessageBox(const std::string& text, const std::string&, MessageIcon) override {
    messages.push_back(text);
  }
  std::vector<std::string> messages;
};

Bytes SolidImage(platform::Rgba colour) {
  DibDef dibDef;
  dibDef.width = 32;
  dibDef.height = 32;
  dibDef.palette = {colour};
  dibDef.pixels.assign(32 * 32, 0);
  return EncodeDib(dibDef);
}

class PickerViewTest : public ::testing::Test {
 protected:
  void SetUp() override {
    std::filesystem::create_directories(dir / "home" / "Icons");
    std::filesystem::create_directories(dir / "Music");
    tp.system.programFolder = (dir / "home").string() + "/";
    tp.os.icons = &icons;
    std::vector<GroupDef> groups;
    for (int i = 0; i < 6; ++i)
      groups.push_back({"", static_cast<std::uint16_t>(1 + i),
                        {SolidImage({static_cast<std::uint8_t>(40 * i), 90, 200, 255})}});
    const Bytes pe = WritePe(groups);
    library = (dir / "six.dll").string();
    WriteFile(library, std::string(pe.begin(), pe.end()));
    tp.registry.SetString(kVerbRoot, kVerbKey, "", "C&hange icon...");
    tp.registry.SetString(kVerbRoot, kVerbKey, kDefaultLibraryValue, library);
    tp.registry.SetString(kVerbRoot, kVerbKey, kNoWarningValue, " 1");
    tp.registry.SetString(kVerbRoot, kVerbKey, kKeepIconInsideValue, " 0");
    BeginRun(tp.program, (dir / "Music").string());
    picker = std::make_unique<ChangeIcon>(tp.program, ui);
    view = std::make_unique<qt::ChangeIconView>(*picker);
    view->onFormClosed = [this] { closed = true; };
    picker->Form_Load();
    view->show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(view.get()));
  }
  void ClickEntry(int row) {
    QListWidget* list = view->listView();
    const QRect rect = list->visualItemRect(list->item(row));
    QTest::mouseClick(list->viewport(), Qt::LeftButton, {}, rect.center());
  }

  TempDir dir;
  TestPlatform tp;
  platform::LibPngCodec png;
  platform::FileIconSource icons{png};
  QuietQtUi ui;
  std::string library;
  std::unique_ptr<ChangeIcon> picker;
  std::unique_ptr<qt::ChangeIconView> view;
  bool closed = false;
};

TEST_F(PickerViewTest, ClickingAnEntryAndOkWritesTheDescriptor) {
  ASSERT_EQ(view->listView()->count(), 6);
  EXPECT_EQ(view->listView()->item(5)->text(), QStringLiteral(" 5"));
  EXPECT_EQ(view->size(), QSize(418, 400));
  EXPECT_EQ(view->windowTitle().left(10), QStringLiteral("Plumage - "));
  ClickEntry(4);
  EXPECT_EQ(view->selectedNo()->text(), QStringLiteral("4"));
  QTest::mouseClick(view->button("OKButton"), Qt::LeftButton);
  EXPECT_TRUE(closed);
  EXPECT_FALSE(view->isVisible());
  EXPECT_EQ(ReadFile(dir / "Music" / "DESKTOP.INI"),
            "[.ShellClassInfo]\r\nIconFile=" + library + "\r\nIconIndex=4\r\n");
  EXPECT_EQ(tp.shell.refreshKeys, 1);
}

TEST_F(PickerViewTest, CancelAndEscapeWriteNothing) {
  ClickEntry(2);
  QTest::mouseClick(view->button("CancelButton"), Qt::LeftButton);
  EXPECT_TRUE(closed);
  EXPECT_TRUE(ui.endRequested());
  EXPECT_FALSE(std::filesystem::exists(dir / "Music" / "DESKTOP.INI"));
  EXPECT_EQ(tp.shell.refreshKeys, 0);
}

TEST_F(PickerViewTest, EscapeAnswersCancel) {
  QTest::keyClick(view.get(), Qt::Key_Escape);
  EXPECT_TRUE(closed);
  EXPECT_FALSE(std::filesystem::exists(dir / "Music" / "DESKTOP.INI"));
}

TEST_F(PickerViewTest, TypingIntoTheFileNameChangesNothing) {
  QLineEdit* box = view->selectedIcon();
  box->setFocus();
  QTest::keyClicks(box, "abc");
  QTest::keyClick(box, Qt::Key_Backspace);
  EXPECT_EQ(qt::FromQt(box->text()), library);
  EXPECT_EQ(picker->SelectedIcon, library);
  EXPECT_TRUE(view->button("ButtonCreate")->isEnabled());
  // Delete types nothing and is not discarded: emptying the box disables
  // the conversion button.
  box->selectAll();
  QTest::keyClick(box, Qt::Key_Delete);
  EXPECT_EQ(picker->SelectedIcon, "");
  EXPECT_FALSE(view->button("ButtonCreate")->isEnabled());
}

TEST_F(PickerViewTest, TabVisitsTheControlsInTheOrderOfTheDialogTable) {
  const std::vector<QWidget*> order = {view->selectedIcon(),
                                       view->image1(),
                                       view->listView(),
                                       view->button("BrowseButton"),
                                       view->button("BtnAutoCreate"),
                                       view->button("ButtonCreate"),
                                       view->button("OKButton"),
                                       view->button("RemoveButton"),
                                       view->button("CancelButton"),
                                       view->button("OptionButton")};
  view->activateWindow();
  view->selectedIcon()->setFocus();
  ASSERT_TRUE(view->selectedIcon()->hasFocus());
  for (std::size_t i = 1; i <= order.size(); ++i) {
    QTest::keyClick(QApplication::focusWidget(), Qt::Key_Tab);
    EXPECT_EQ(QApplication::focusWidget(), order[i % order.size()]) << "after Tab number " << i;
  }
  // And back again with Shift+Tab.
  for (std::size_t i = order.size(); i-- > 0;) {
    QTest::keyClick(QApplication::focusWidget(), Qt::Key_Backtab, Qt::ShiftModifier);
    EXPECT_EQ(QApplication::focusWidget(), order[i]);
  }
  EXPECT_EQ(picker->SelectedIcon, library) << "Tab typed nothing into the file name";
  EXPECT_FALSE(closed);
}

TEST_F(PickerViewTest, TheKeyboardChoosesAsAClickDoes) {
  QListWidget* list = view->listView();
  view->activateWindow();
  list->setFocus();
  // The present icon (entry 1) is selected at the start.
  EXPECT_EQ(view->selectedNo()->text(), QStringLiteral("0"));
  QTest::keyClick(list, Qt::Key_Right);
  EXPECT_EQ(picker->SelectedNo, "1");
  EXPECT_EQ(view->selectedNo()->text(), QStringLiteral("1"));
  QTest::keyClick(list, Qt::Key_End);
  EXPECT_EQ(picker->SelectedNo, "5");
  EXPECT_EQ(picker->ListView.SelectedItem, 6);
  QTest::keyClick(list, Qt::Key_Left);
  EXPECT_EQ(picker->SelectedNo, "4");
  QTest::keyClick(list, Qt::Key_Home);
  EXPECT_EQ(picker->SelectedNo, "0");
  QTest::keyClick(list, Qt::Key_Right);
  QTest::keyClick(list, Qt::Key_Right);
  EXPECT_EQ(list->currentRow(), 2);
  EXPECT_EQ(picker->SelectedNo, "2");

  // OK then applies the entry the keyboard chose.
  QTest::mouseClick(view->button("OKButton"), Qt::LeftButton);
  EXPECT_EQ(ReadFile(dir / "Music" / "DESKTOP.INI"),
            "[.ShellClassInfo]\r\nIconFile=" + library + "\r\nIconIndex=2\r\n");
}

TEST_F(PickerViewTest, EnterOnAnEntryIsAClickOnItAndAppliesNothing) {
  QListWidget* list = view->listView();
  view->activateWindow();
  list->setFocus();
  // The program moved the choice away from the entry that is current in the
  // list (the present icon was read again): Enter on the current entry
  // chooses it again, as a click on it does.
  list->setCurrentRow(3);
  picker->SelectedNo = "0";
  QTest::keyClick(list, Qt::Key_Return);
  EXPECT_EQ(picker->SelectedNo, "3");
  EXPECT_EQ(view->selectedNo()->text(), QStringLiteral("3"));
  EXPECT_FALSE(closed) << "Enter in the list is no OK";
  EXPECT_FALSE(std::filesystem::exists(dir / "Music" / "DESKTOP.INI"));

  // Enter or Space on the logo opens the About box, as a click does.
  int about = 0;
  ui.showAbout = [&about] { ++about; };
  view->image1()->setFocus();
  QTest::keyClick(view->image1(), Qt::Key_Return);
  QTest::keyClick(view->image1(), Qt::Key_Space);
  QTest::mouseClick(view->image1(), Qt::LeftButton);
  EXPECT_EQ(about, 3);
}

TEST_F(PickerViewTest, EntriesAndTheLogoHaveNamesForAScreenReader) {
  QListWidget* list = view->listView();
  EXPECT_EQ(list->item(0)->data(Qt::AccessibleTextRole).toString(), QStringLiteral("Icon 0"));
  EXPECT_EQ(list->item(5)->data(Qt::AccessibleTextRole).toString(), QStringLiteral("Icon 5"));
  EXPECT_EQ(view->image1()->accessibleName(), QStringLiteral("About Plumage"));
  EXPECT_EQ(view->image1()->focusPolicy(), Qt::StrongFocus);
}

TEST_F(PickerViewTest, ALongFolderNameKeepsItsQuotesStartAndEndOnTheAutoCreateButton) {
  const std::string name = "A folder with a very long name indeed, longer than any button";
  std::filesystem::create_directories(dir / name);
  BeginRun(tp.program, (dir / name).string());
  ChangeIcon other(tp.program, ui);
  qt::ChangeIconView otherView(other);
  other.Form_Load();
  const QString caption = otherView.button("BtnAutoCreate")->text();
  const QString second = caption.section(QLatin1Char('\n'), 1);
  EXPECT_TRUE(caption.startsWith(QStringLiteral("Auto-create from \n'A folder")));
  EXPECT_TRUE(second.endsWith(QStringLiteral("button'"))) << second.toStdString();
  EXPECT_TRUE(second.contains(QChar(0x2026))) << second.toStdString();
  QPushButton* button = otherView.button("BtnAutoCreate");
  EXPECT_LE(button->fontMetrics().horizontalAdvance(second), button->width());
  EXPECT_EQ(other.Caption.BtnAutoCreate, "Auto-create from \r'" + name + "'")
      << "the form keeps the whole name";
}

// Qt's own texts in French: the file dialog of Browse, with its title the
// program's own.
TEST(FrenchFileDialog, QtsOwnTextsAreFrenchAndTheTitleIsTheProgramsOwn) {
  const QString translations = QLibraryInfo::path(QLibraryInfo::TranslationsPath);
  if (!std::filesystem::exists((translations + QStringLiteral("/qtbase_fr.qm")).toStdString()))
    GTEST_SKIP() << "Qt's French translation (qt6-translations-l10n) is not installed";
  std::int16_t language = 1;
  qt::QtUserInterface ui;
  ui.FollowLanguage(&language);
  OpenFileOptions options;
  options.Title = "Ouvrir icône...";
  options.Filter = "Tous les fichiers (*.*)|*.*|Fichiers icônes (*.ico)|*.ico";
  options.FilterIndex = 2;
  std::vector<QString> seen;
  QString title, accept, reject, lookIn, fileName, fileType;
  QTimer::singleShot(0, [&] {
    auto* dialog = qobject_cast<QFileDialog*>(QApplication::activeModalWidget());
    ASSERT_NE(dialog, nullptr);
    title = dialog->windowTitle();
    lookIn = dialog->findChild<QLabel*>(QStringLiteral("lookInLabel"))->text();
    fileName = dialog->findChild<QLabel*>(QStringLiteral("fileNameLabel"))->text();
    fileType = dialog->findChild<QLabel*>(QStringLiteral("fileTypeLabel"))->text();
    auto* buttons = dialog->findChild<QDialogButtonBox*>(QStringLiteral("buttonBox"));
    accept = buttons->button(QDialogButtonBox::Open)->text();
    reject = buttons->button(QDialogButtonBox::Cancel)->text();
    dialog->reject();
  });
  EXPECT_FALSE(ui.OpenFile(options).has_value());
  EXPECT_EQ(title, QStringLiteral("Ouvrir icône..."));
  EXPECT_EQ(lookIn, QStringLiteral("Voir dans :"));
  EXPECT_EQ(fileName, QStringLiteral("&Nom de fichier :"));
  EXPECT_EQ(fileType, QStringLiteral("Fichiers de type :"));
  EXPECT_EQ(accept, QStringLiteral("&Ouvrir"));
  EXPECT_EQ(reject, QStringLiteral("Annuler"));

  // Back to English, Qt's own texts are English again.
  language = 0;
  QTimer::singleShot(0, [&] {
    auto* dialog = qobject_cast<QFileDialog*>(QApplication::activeModalWidget());
    ASSERT_NE(dialog, nullptr);
    lookIn = dialog->findChild<QLabel*>(QStringLiteral("lookInLabel"))->text();
    dialog->reject();
  });
  options.Title.clear();
  ui.OpenFile(options);
  EXPECT_EQ(lookIn, QStringLiteral("Look in:"));
}

}  // namespace
}  // namespace plumage::test
