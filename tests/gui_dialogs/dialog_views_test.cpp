// The settings dialog and the about box opened the ways the program opens
// them, driven through their widgets.
#include <gtest/gtest.h>

#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QDialog>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QTest>
#include <QTimer>
#include <filesystem>
#include <functional>
#include <memory>

#include "app/startup.h"
#include "app/texts.h"
#include "dialogs/dialog_fixture.h"
#include "dialogs/frm_about.h"
#include "ui/qt/dialog_factories.h"
#include "ui/qt/qt_user_interface.h"

#include "support/qt_environment.h"

namespace plumage::test {
namespace {

namespace fs = std::filesystem;

// The real Qt interface, with its message boxes recorded instead of shown
// and the open-file dialog pre-answered.
class TestQtUi : public qt::QtUserInterface {
 public:
  explicit TestQtUi(Journal& journal) : journal_(journal) {}
  void MessageBox(const std::string& text, const std::string& title, MessageIcon) override {
    journal_.push_back("MessageBox " + title + ": " + text);
  }
  std::optional<std::string> OpenFile(const OpenFileOptions&) override { return openFileAnswer; }
  std::optional<std::string> openFileAnswer;

 private:
  Journal& journal_;
};

class DialogViewsTest : public ::testing::Test, public DialogFixture {
 protected:
  DialogViewsTest() : qtUi(journal) { qt::InstallDialogFactories(qtUi, program); }

  // Runs `step` on the modal dialog once it is up (the next turn of the
  // event loop that its exec() runs).
  void WhenModal(std::function<void(QDialog*)> step) {
    QTimer::singleShot(0, [step] {
      auto* dialog = qobject_cast<QDialog*>(QApplication::activeModalWidget());
      ASSERT_NE(dialog, nullptr) << "no modal dialog is up";
      step(dialog);
    });
  }
  template <typename W>
  static W* Child(QDialog* dialog, const char* name) {
    W* widget = dialog->findChild<W*>(QString::fromLatin1(name));
    EXPECT_NE(widget, nullptr) << name;
    return widget;
  }
  static void Click(QDialog* dialog, const char* button) {
    QTest::mouseClick(Child<QPushButton>(dialog, button), Qt::LeftButton);
  }
  static std::string Text(QDialog* dialog, const char* label) {
    return qt::FromQt(Child<QLabel>(dialog, label)->text());
  }

  TestQtUi qtUi;
};

TEST_F(DialogViewsTest, ASettingsOnlyRunFindsTheCacheInTheWindowsDirectory) {
  const fs::path windows = dir / "windows";
  fs::create_directory(windows);
  WriteFile(windows / "shelliconcache", "icons");
  registry.CreateKey(platform::kHkeyLocalMachine, kWinNtKey);
  Store(platform::kHkeyLocalMachine, kWinNtKey, kWinNtValue, windows.string());

  BeginRun(program, "");
  ASSERT_EQ(DecideRun(program.ArgumentText), RunKind::SettingsOnly);
  bool shown = false;
  WhenModal([&](QDialog* d) {
    shown = true;
    EXPECT_EQ(d->objectName(), "frmOptions");
    EXPECT_EQ(d->windowTitle(), "Plumage settings");
    EXPECT_EQ(d->parentWidget(), nullptr);
    Click(d, "DeleteButton");
    Click(d, "cmdOK");
  });
  qtUi.ShowOptions();
  EXPECT_TRUE(shown);
  EXPECT_FALSE(fs::exists(windows / "shelliconcache"));
  EXPECT_EQ(journal, Journal{"MessageBox Plumage: " + std::string(texts::options::kReboot.en)});
}

TEST_F(DialogViewsTest, FromThePickerTheWidgetsReachTheFormAndOkWritesTheChanges) {
  QWidget picker;  // stands in for the picker's window, on screen
  picker.show();
  qtUi.SetParentWindow(&picker);
  WhenModal([&](QDialog* d) {
    EXPECT_EQ(d->parentWidget(), &picker);
    auto* sizes = Child<QComboBox>(d, "CacheSize");
    EXPECT_EQ(sizes->count(), 5);
    EXPECT_EQ(sizes->currentText(), "500 (system default)");
    sizes->setCurrentIndex(4);
    QTest::mouseClick(Child<QCheckBox>(d, "Colors"), Qt::LeftButton);
    QTest::mouseClick(Child<QCheckBox>(d, "NoWarningBox"), Qt::LeftButton);
    QTest::mouseClick(Child<QRadioButton>(d, "Lang1"), Qt::LeftButton);
    Click(d, "cmdOK");
  });
  qtUi.ShowOptions();
  EXPECT_EQ(journal, (Journal{"SetValue Shell Icon BPP=16",
                              "MessageBox Plumage: " + std::string(texts::options::kReboot.en),
                              "SetValue Max Cached Icons=2000", "SetValue NoWarning= 1",
                              "SetValue =M&odifier l'ic\xF4ne..."}));
  EXPECT_EQ(qtUi.parentWindow(), &picker);

  // Over a picker that is not on screen (the settings-only run), the
  // dialog has no parent and is centred on the screen.
  picker.hide();
  journal.clear();
  WhenModal([&](QDialog* d) {
    EXPECT_EQ(d->parentWidget(), nullptr);
    Click(d, "cmdCancel");
  });
  qtUi.ShowOptions();
  EXPECT_EQ(qtUi.parentWindow(), &picker);
}

TEST_F(DialogViewsTest, BrowsingAndTypingFillTheLibraryBox) {
  qtUi.openFileAnswer = "/usr/share/icons/tools.icl";
  WhenModal([&](QDialog* d) {
    auto* lib = Child<QLineEdit>(d, "DefaultLib");
    Click(d, "BrowseLibButton");
    EXPECT_EQ(lib->text(), "/usr/share/icons/tools.icl");
    EXPECT_TRUE(journal.empty());
    QTest::keyClicks(lib, "x");
    Click(d, "cmdOK");
  });
  qtUi.ShowOptions();
  EXPECT_EQ(journal, Journal{"SetValue DefaultLibrary=/usr/share/icons/tools.iclx"});
}

TEST_F(DialogViewsTest, EscapeIsCancelAndRebuildIsNotUndone) {
  WhenModal([&](QDialog* d) {
    Child<QComboBox>(d, "CacheSize")->setCurrentIndex(2);
    QTest::mouseClick(Child<QCheckBox>(d, "Colors"), Qt::LeftButton);
    Click(d, "RebuildButton");
    EXPECT_TRUE(d->isVisible());
    QTest::keyClick(d, Qt::Key_Escape);
  });
  qtUi.ShowOptions();
  EXPECT_EQ(journal, (Journal{"SetValue Max Cached Icons=1000", "SetValue Shell Icon Size=31",
                              "BroadcastSettingChange", "SetValue Shell Icon Size=32",
                              "BroadcastSettingChange", "NotifyIconsChanged"}));
  EXPECT_EQ(QApplication::overrideCursor(), nullptr);
}

TEST_F(DialogViewsTest, TheAboutBoxOpensOverTheSettingsDialogAndReturnsToIt) {
  bool aboutShown = false;
  WhenModal([&](QDialog* options) {
    WhenModal([&](QDialog* about) {
      aboutShown = true;
      EXPECT_EQ(about->objectName(), "frmAbout");
      EXPECT_EQ(about->parentWidget(), options);
      EXPECT_EQ(about->windowTitle(), "About Plumage");
      Click(about, "cmdOK");
    });
    Click(options, "AboutBox");
    EXPECT_EQ(QApplication::activeModalWidget(), options);
    EXPECT_TRUE(options->isVisible());
    Click(options, "cmdCancel");
  });
  qtUi.ShowOptions();
  EXPECT_TRUE(aboutShown);
  EXPECT_TRUE(journal.empty());
}

TEST_F(DialogViewsTest, TheAboutBoxFromThePickerShowsTheVersionAndOpensTheLink) {
  WhenModal([&](QDialog* d) {
    EXPECT_EQ(Text(d, "lblTitle"), "Plumage");
    EXPECT_EQ(Text(d, "lblVersion"), VersionText());
    EXPECT_EQ(Text(d, "Label4"), "Website:");
    auto* link = Child<QLabel>(d, "Label5");
    EXPECT_EQ(link->cursor().shape(), Qt::UpArrowCursor);
    EXPECT_EQ(link->palette().color(QPalette::WindowText), QColor(0, 0, 255));
    EXPECT_TRUE(link->font().underline());
    QTest::mouseClick(link, Qt::LeftButton);
    EXPECT_TRUE(d->isVisible());
    const QPixmap logo = Child<QLabel>(d, "picIcon")->pixmap();
    EXPECT_FALSE(logo.isNull());
    Click(d, "cmdOK");
  });
  qtUi.ShowAbout();
  EXPECT_EQ(journal, Journal{std::string("OpenDocument ") + texts::about::kLink});
}

TEST_F(DialogViewsTest, FrenchDialogsKeepWebsiteAndOk) {
  program.Language = 1;
  WhenModal([&](QDialog* options) {
    EXPECT_EQ(options->windowTitle(), "Paramètres Plumage");
    EXPECT_EQ(Child<QComboBox>(options, "CacheSize")->itemText(1), "500 (valeur système)");
    EXPECT_TRUE(Child<QRadioButton>(options, "Lang1")->isChecked());
    EXPECT_EQ(Child<QPushButton>(options, "cmdCancel")->text(), "Annuler");
    WhenModal([&](QDialog* about) {
      EXPECT_EQ(about->windowTitle(), "A propos de Plumage");
      EXPECT_EQ(Text(about, "Label4"), "Website:");
      EXPECT_EQ(Child<QPushButton>(about, "cmdOK")->text(), "OK");
      EXPECT_EQ(Text(about, "lblDescription"), texts::about::kDescription.fr);
      Click(about, "cmdOK");
    });
    Click(options, "AboutBox");
    Click(options, "cmdOK");
  });
  qtUi.ShowOptions();
  EXPECT_TRUE(journal.empty());
}

}  // namespace
}  // namespace plumage::test
