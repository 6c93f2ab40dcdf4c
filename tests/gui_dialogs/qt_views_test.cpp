// The Qt views over their forms under Qt's offscreen platform, opened the
// ways the program opens them: their widgets forward a user's clicks and
// keys to the forms' handlers and show the forms' state.
#include <gtest/gtest.h>

#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QDialog>
#include <QDialogButtonBox>
#include <QFileDialog>
#include <QLabel>
#include <QLibraryInfo>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <QRadioButton>
#include <QTest>
#include <QTimer>
#include <functional>

#include "app/texts.h"
#include "dialogs/frm_about.h"
#include "iconmaker/folder_mask.h"
#include "iconmaker/save_selected.h"
#include "picker/change_icon.h"
#include "support/form_bench.h"
#include "support/qt_environment.h"
#include "ui/qt/change_icon_view.h"
#include "ui/qt/dialog_factories.h"
#include "ui/qt/qt_user_interface.h"

namespace plumage::test {
namespace {

namespace fs = std::filesystem;

// The real Qt interface, its message boxes and beeps noted in the journal
// and the open-file dialog answered by the test.
class TestQtUi : public qt::QtUserInterface {
 public:
  explicit TestQtUi(Journal& journal) : journal_(journal) {}
  void MessageBox(const std::string& text, const std::string& title, MessageIcon) override {
    journal_.push_back("MessageBox " + title + ": " + text);
  }
  void Beep() override { journal_.push_back("Beep"); }
  std::optional<std::string> OpenFile(const OpenFileOptions&) override { return openFileAnswer; }
  std::optional<std::string> openFileAnswer;

 private:
  Journal& journal_;
};

class QtViewsTest : public ::testing::Test, public FormBench {
 protected:
  QtViewsTest() : qtUi(journal) {
    qt::InstallDialogFactories(qtUi, program);
    Verb(kDefaultLibraryValue, library);
    Verb(kNoWarningValue, " 1");
    Verb(kKeepIconInsideValue, " 0");
  }
  void OpenPicker(const fs::path& where) {
    BeginRun(program, where.string());
    picker = std::make_unique<ChangeIcon>(program, qtUi);
    InstallIconMaking(*picker);
    view = std::make_unique<qt::ChangeIconView>(*picker);
    view->onFormClosed = [this] { closed = true; };
    qtUi.SetParentWindow(view.get());
    picker->Form_Load();
    view->show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(view.get()));
    journal.clear();
  }
  // Runs `step` on the modal dialog once it is up (the next turn of the
  // event loop that its exec() runs).
  static void WhenModal(std::function<void(QDialog*)> step) {
    QTimer::singleShot(0, [step] {
      auto* dialog = qobject_cast<QDialog*>(QApplication::activeModalWidget());
      ASSERT_NE(dialog, nullptr) << "no modal dialog is up";
      step(dialog);
    });
  }
  template <typename W = QPushButton>
  static W* Child(QWidget* dialog, const char* name) {
    W* widget = dialog->findChild<W*>(QString::fromLatin1(name));
    EXPECT_NE(widget, nullptr) << name;
    return widget;
  }
  static void Click(QWidget* dialog, const char* name) {
    QTest::mouseClick(Child<QAbstractButton>(dialog, name), Qt::LeftButton);
  }
  void ClickEntry(int row) {
    QListWidget* list = view->listView();
    QTest::mouseClick(list->viewport(), Qt::LeftButton, {}, list->visualItemRect(list->item(row)).center());
  }
  std::string Descriptor() const {
    return fs::exists(folder / "DESKTOP.INI") ? ReadFile(folder / "DESKTOP.INI") : "(none)";
  }

  std::string library = Library("six.dll", 6);
  TestQtUi qtUi;
  std::unique_ptr<ChangeIcon> picker;
  std::unique_ptr<qt::ChangeIconView> view;
  bool closed = false;
};

TEST_F(QtViewsTest, ThePickerShowsItsFormAndAClickAndOkWriteTheDescriptor) {
  OpenPicker(folder);
  EXPECT_EQ(view->size(), QSize(418, 400));
  EXPECT_EQ(qt::FromQt(view->windowTitle()), picker->Caption.Title);
  EXPECT_EQ(qt::FromQt(view->selectedIcon()->text()), library);
  QListWidget* list = view->listView();
  ASSERT_EQ(list->count(), 6);
  EXPECT_EQ(std::tuple(list->item(5)->text(), list->item(5)->data(Qt::AccessibleTextRole).toString(),
                       view->image1()->accessibleName(), view->image1()->focusPolicy()),
            std::tuple(QString(" 5"), QString("Icon 5"), QString("About Plumage"), Qt::StrongFocus));
  ClickEntry(4);
  EXPECT_EQ(std::tuple(picker->SelectedNo, view->selectedNo()->text()), std::tuple("4", QString("4")));
  QTest::mouseClick(view->button("OKButton"), Qt::LeftButton);
  EXPECT_TRUE(closed);
  EXPECT_FALSE(view->isVisible());
  EXPECT_EQ(Descriptor(), "[.ShellClassInfo]\r\nIconFile=" + library + "\r\nIconIndex=4\r\n");
}

TEST_F(QtViewsTest, ThePickersKeysGoToTheFormAndEscIsCancel) {
  OpenPicker(folder);
  view->activateWindow();
  // The file name box takes no typing; Delete, which types nothing, empties it.
  QLineEdit* box = view->selectedIcon();
  box->setFocus();
  QTest::keyClicks(box, "abc");
  QTest::keyClick(box, Qt::Key_Backspace);
  EXPECT_EQ(std::tuple(qt::FromQt(box->text()), picker->SelectedIcon), std::tuple(library, library));
  // Tab and Shift+Tab go round in the order of the dialog's table.
  const std::vector<QWidget*> order = {
      box, view->image1(), view->listView(), view->button("BrowseButton"),
      view->button("BtnAutoCreate"), view->button("ButtonCreate"), view->button("OKButton"),
      view->button("RemoveButton"), view->button("CancelButton"), view->button("OptionButton")};
  for (std::size_t i = 1; i <= order.size(); ++i) {
    QTest::keyClick(QApplication::focusWidget(), Qt::Key_Tab);
    EXPECT_EQ(QApplication::focusWidget(), order[i % order.size()]) << "after Tab number " << i;
  }
  QTest::keyClick(QApplication::focusWidget(), Qt::Key_Backtab, Qt::ShiftModifier);
  EXPECT_EQ(QApplication::focusWidget(), order.back());
  // The arrows choose as a click does; Enter on an entry is a click on it,
  // not OK (here after the program moved the choice away from it).
  QListWidget* list = view->listView();
  list->setFocus();
  std::string chosen;
  for (Qt::Key key : {Qt::Key_Right, Qt::Key_End, Qt::Key_Left, Qt::Key_Home, Qt::Key_Right}) {
    QTest::keyClick(list, key);
    chosen += picker->SelectedNo;
  }
  picker->SelectedNo = "0";
  QTest::keyClick(list, Qt::Key_Return);
  EXPECT_EQ(std::tuple(chosen, picker->SelectedNo, qt::FromQt(view->selectedNo()->text()), closed),
            std::tuple("15401", "1", "1", false));
  // Enter, Space and a click on the logo open the about box.
  int about = 0;
  qtUi.showAbout = [&about] { ++about; };
  view->image1()->setFocus();
  QTest::keyClick(view->image1(), Qt::Key_Return);
  QTest::keyClick(view->image1(), Qt::Key_Space);
  QTest::mouseClick(view->image1(), Qt::LeftButton);
  EXPECT_EQ(about, 3);
  box->selectAll();
  QTest::keyClick(box, Qt::Key_Delete);
  EXPECT_EQ(std::tuple(picker->SelectedIcon, view->button("ButtonCreate")->isEnabled()),
            std::tuple("", false));
  QTest::keyClick(view.get(), Qt::Key_Escape);
  EXPECT_EQ(std::tuple(closed, qtUi.endRequested(), Descriptor()), std::tuple(true, true, "(none)"));
}

// The caption is wrapped at its blanks to the button's width; the folder's
// name keeps its quotes, its start and its end.
TEST_F(QtViewsTest, ALongFolderNameFitsTheAutoCreateButton) {
  const fs::path longer = dir / "A folder with a very long name indeed, longer than any button";
  fs::create_directories(longer);
  OpenPicker(longer);
  QPushButton* button = view->button("BtnAutoCreate");
  const QString caption = button->text(), second = caption.section(QLatin1Char('\n'), 1);
  EXPECT_TRUE(caption.startsWith("Auto-create from \n'A folder")) << caption.toStdString();
  EXPECT_TRUE(second.endsWith("button'") && second.contains(QChar(0x2026))) << second.toStdString();
  EXPECT_LE(button->fontMetrics().horizontalAdvance(second), button->width());
  EXPECT_EQ(picker->Caption.BtnAutoCreate, "Auto-create from \r'" + longer.filename().string() + "'");
}

TEST_F(QtViewsTest, TheSettingsDialogsWidgetsReachItsFormOverThePickerOrAlone) {
  OpenPicker(folder);
  qtUi.openFileAnswer = "/usr/share/icons/tools.icl";
  WhenModal([&](QDialog* d) {
    EXPECT_EQ(std::tuple(d->objectName(), d->parentWidget()), std::tuple(QString("frmOptions"), view.get()));
    auto* sizes = Child<QComboBox>(d, "CacheSize");
    EXPECT_EQ(std::tuple(sizes->count(), sizes->currentIndex()), std::tuple(5, 1));
    sizes->setCurrentIndex(4);
    for (const char* box : {"Colors", "NoWarningBox", "Lang1"}) Click(d, box);
    Click(d, "BrowseLibButton");
    QTest::keyClicks(Child<QLineEdit>(d, "DefaultLib"), "x");
    Click(d, "cmdOK");
  });
  QTest::mouseClick(view->button("OptionButton"), Qt::LeftButton);
  EXPECT_EQ(journal, (Journal{"SetValue Shell Icon BPP=16",
                              std::string("MessageBox Plumage: ") + texts::options::kReboot.en,
                              "SetValue Max Cached Icons=2000",
                              "SetValue DefaultLibrary=/usr/share/icons/tools.iclx",
                              "SetValue NoWarning= 0", "SetValue =M&odifier l'ic\xF4ne..."}));
  // Over a picker that is not on screen (the settings-only run) the dialog
  // has no parent; in French, its texts; Esc is Cancel, and the rebuild it
  // made is not undone; the about box opens over it and returns to it.
  view->hide();
  journal.clear();
  bool aboutShown = false;
  WhenModal([&](QDialog* d) {
    EXPECT_EQ(std::tuple(d->parentWidget(), qt::FromQt(d->windowTitle()),
                         Child<QRadioButton>(d, "Lang1")->isChecked()),
              std::tuple(nullptr, std::string(texts::options::kCaption.fr), true));
    Child<QComboBox>(d, "CacheSize")->setCurrentIndex(2);
    Click(d, "RebuildButton");
    WhenModal([&](QDialog* about) {
      aboutShown = about->objectName() == "frmAbout" && about->parentWidget() == d;
      Click(about, "cmdOK");
    });
    Click(d, "AboutBox");
    EXPECT_EQ(QApplication::activeModalWidget(), d);
    QTest::keyClick(d, Qt::Key_Escape);
  });
  qtUi.ShowOptions();
  EXPECT_TRUE(aboutShown);
  EXPECT_EQ(journal, (Journal{"SetValue Max Cached Icons=1000", "SetValue Shell Icon Size=31",
                              "BroadcastSettingChange", "SetValue Shell Icon Size=32",
                              "BroadcastSettingChange", "NotifyIconsChanged"}));
  EXPECT_EQ(QApplication::overrideCursor(), nullptr);
  EXPECT_EQ(program.Language, 1) << "Esc wrote nothing more";
}

TEST_F(QtViewsTest, TheAboutBoxShowsTheVersionAndItsLinkOpens) {
  WhenModal([&](QDialog* d) {
    EXPECT_EQ(std::tuple(d->windowTitle(), Child<QLabel>(d, "lblVersion")->text()),
              std::tuple(QString("About Plumage"), qt::ToQt(VersionText())));
    EXPECT_FALSE(Child<QLabel>(d, "picIcon")->pixmap().isNull());
    QTest::mouseClick(Child<QLabel>(d, "Label5"), Qt::LeftButton);
    EXPECT_TRUE(d->isVisible());
    Click(d, "cmdOK");
  });
  qtUi.ShowAbout();
  EXPECT_EQ(journal, Journal{std::string("OpenDocument ") + texts::about::kLink});
}

TEST_F(QtViewsTest, TheNewIconDialogSavesTheChosenCandidateUnderTheTypedName) {
  ChangeIcon owner(program, qtUi);
  InstallIconMaking(owner);
  owner.SelectedIcon = library;
  owner.SelectedNo = "2";
  auto candidatesShown = [](QDialog* d) {
    auto* list = Child<QListWidget>(d, "ListView");
    for (int turn = 0; turn < 100 && list->count() < 4; ++turn) QApplication::processEvents();
    return list;
  };
  WhenModal([&](QDialog* d) {
    QListWidget* list = candidatesShown(d);
    EXPECT_EQ(std::tuple(list->count(), list->currentRow(), list->item(0)->icon().isNull()),
              std::tuple(4, 0, false));
    Child<QLineEdit>(d, "IconName")->setText("../../outside");
    Click(d, "BtnOk");
    EXPECT_TRUE(d->isVisible());
    QTest::keyClick(d, Qt::Key_Escape);
  });
  owner.ButtonCreate_Click();
  WhenModal([&](QDialog* d) {
    candidatesShown(d)->setCurrentRow(2);  // blue
    QTest::keyClicks(Child<QLineEdit>(d, "IconName"), "Sky.blue");
    Click(d, "BtnOk");
  });
  owner.ButtonCreate_Click();
  EXPECT_EQ(journal, (Journal{std::string("MessageBox Error!: ") + texts::transform_icon::kInvalidName.en,
                              "Beep"}));
  EXPECT_EQ(std::tuple(owner.SelectedIcon, owner.SelectedNo, owner.ListView.ListItems.size()),
            std::tuple((home / "Icons" / "Skyblue.ico").string(), "0", 1u));
  int bluish = 0;  // the blue folder: blue outweighs the rest over much of its face
  for (int y = 0; y < 32; ++y)
    for (int x = 0; x < 32; ++x) {
      const Rgb c = owner.IconList.at(0).At(x, y);
      bluish += FolderMaskOpaque(x, y) && c.b > c.r && c.b > c.g;
    }
  EXPECT_GT(bluish, 150);
}

// Qt's own texts follow the language: the file dialog of Browse in French,
// with the program's own title.
TEST(QtOwnTexts, TheFileDialogInFrenchAndBackInEnglish) {
  const QString translations = QLibraryInfo::path(QLibraryInfo::TranslationsPath);
  if (!fs::exists((translations + "/qtbase_fr.qm").toStdString()))
    GTEST_SKIP() << "Qt's French translation (qt6-translations-l10n) is not installed";
  std::int16_t language = 1;
  qt::QtUserInterface ui;
  ui.FollowLanguage(&language);
  OpenFileOptions options;
  options.Title = "Ouvrir icône...";
  options.Filter = "Tous les fichiers (*.*)|*.*|Fichiers icônes (*.ico)|*.ico";
  std::vector<QString> seen;
  auto look = [&seen] {
    QTimer::singleShot(0, [&seen] {
      auto* d = qobject_cast<QFileDialog*>(QApplication::activeModalWidget());
      ASSERT_NE(d, nullptr);
      auto* buttons = d->findChild<QDialogButtonBox*>("buttonBox");
      seen = {d->windowTitle(), d->findChild<QLabel*>("lookInLabel")->text(),
              d->findChild<QLabel*>("fileNameLabel")->text(),
              buttons->button(QDialogButtonBox::Open)->text(),
              buttons->button(QDialogButtonBox::Cancel)->text()};
      d->reject();
    });
  };
  look();
  EXPECT_FALSE(ui.OpenFile(options).has_value());
  EXPECT_EQ(seen, (std::vector<QString>{"Ouvrir icône...", "Voir dans :", "&Nom de fichier :",
                                        "&Ouvrir", "Annuler"}));
  language = 0;
  look();
  ui.OpenFile(options);
  EXPECT_EQ(seen.at(1), "Look in:");
}

}  // namespace
}  // namespace plumage::test
