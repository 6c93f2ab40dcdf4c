// The new-icon dialog opened from the picker's Convert selected icon,
// driven through its widgets.
#include <gtest/gtest.h>

#include <QApplication>
#include <QDialog>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <QTest>
#include <QTimer>
#include <functional>
#include <memory>

#include "app/texts.h"
#include "iconmaker/frm_transform_icon.h"
#include "iconmaker/icon_making_fixture.h"
#include "iconmaker/save_selected.h"
#include "ui/qt/dialog_factories.h"
#include "ui/qt/qt_user_interface.h"
#include "ui/qt/view_metrics.h"

#include "support/qt_environment.h"

namespace plumage::test {
namespace {

// The real Qt interface with its message boxes and beeps recorded.
class TestQtUi : public qt::QtUserInterface {
 public:
  void MessageBox(const std::string& text, const std::string&, MessageIcon) override {
    messages.push_back(text);
  }
  void Beep() override { ++beeps; }
  std::vector<std::string> messages;
  int beeps = 0;
};

class TransformIconViewTest : public IconMakingTest {
 protected:
  TransformIconViewTest() {
    qt::InstallDialogFactories(qtUi, env.program);
    InstallIconMaking(picker);
    picker.SelectedIcon = WriteIcoFile("source.ico", 60);
    picker.SelectedNo = "0";
  }
  // Runs `step` on the dialog once it is up and its candidates are drawn.
  void WhenCandidatesShown(std::function<void(QDialog*)> step) {
    QTimer::singleShot(0, [step] {
      auto* dialog = qobject_cast<QDialog*>(QApplication::activeModalWidget());
      ASSERT_NE(dialog, nullptr) << "no modal dialog is up";
      auto* list = dialog->findChild<QListWidget*>("ListView");
      ASSERT_NE(list, nullptr);
      for (int turn = 0; turn < 100 && list->count() < 4; ++turn) QApplication::processEvents();
      step(dialog);
    });
  }
  template <typename W>
  static W* Child(QDialog* dialog, const char* name) {
    W* widget = dialog->findChild<W*>(QString::fromLatin1(name));
    EXPECT_NE(widget, nullptr) << name;
    return widget;
  }

  TestQtUi qtUi;
  ChangeIcon picker{env.program, qtUi};
};

TEST_F(TransformIconViewTest, ChooseAColourTypeANameOkAndThePickerListsTheNewIcon) {
  bool shown = false;
  WhenCandidatesShown([&](QDialog* d) {
    shown = true;
    EXPECT_EQ(d->objectName(), "frmTransformIcon");
    EXPECT_EQ(d->windowTitle(), "Transform icon...");
    const qt::ViewMetrics m(d);
    EXPECT_EQ(d->size(), QSize(m.Px(317), m.Px(253)));
    EXPECT_EQ(qt::FromQt(Child<QLabel>(d, "Label1")->text()), texts::transform_icon::kLabel1.en);
    auto* list = Child<QListWidget>(d, "ListView");
    ASSERT_EQ(list->count(), 4);
    EXPECT_EQ(list->item(3)->text(), " 3");
    EXPECT_FALSE(list->item(0)->icon().isNull());
    EXPECT_EQ(list->currentRow(), 0);
    list->setCurrentRow(2);  // blue
    QTest::keyClicks(Child<QLineEdit>(d, "IconName"), "Sky.blue");
    EXPECT_EQ(Child<QLineEdit>(d, "IconName")->text(), "Skyblue");
    QTest::mouseClick(Child<QPushButton>(d, "BtnOk"), Qt::LeftButton);
  });
  picker.ButtonCreate_Click();
  ASSERT_TRUE(shown);
  EXPECT_EQ(qtUi.beeps, 1);
  EXPECT_TRUE(qtUi.messages.empty());
  const fs::path made = IconsDir() / "Skyblue.ico";
  EXPECT_EQ(ReadFile(made).size(), 2238u);
  EXPECT_EQ(picker.SelectedIcon, made.string());
  EXPECT_EQ(picker.SelectedNo, "0");
  EXPECT_EQ(picker.ListView.ListItems.size(), 1u);

  // The blue candidate, as the form alone saves it.
  ChangeIcon other(env.program, ui);
  other.SelectedIcon = (dir / "source.ico").string();
  other.SelectedNo = "0";
  frmTransformIcon form(env.program, ui, other);
  form.BuildCandidates();
  form.ListView_ItemClick(3);
  other.SelectedIcon = (dir / "blue.ico").string();
  ASSERT_TRUE(SaveSelectedAsIcon(form));
  EXPECT_EQ(ReadFile(made), ReadFile(dir / "blue.ico"));
}

TEST_F(TransformIconViewTest, APastedPathIsRefusedAndEscapeWritesNothing) {
  const std::string before = picker.SelectedIcon;
  WhenCandidatesShown([&](QDialog* d) {
    Child<QLineEdit>(d, "IconName")->setText("../../outside");
    QTest::mouseClick(Child<QPushButton>(d, "BtnOk"), Qt::LeftButton);
    EXPECT_TRUE(d->isVisible());
    QTest::keyClick(d, Qt::Key_Escape);
  });
  picker.ButtonCreate_Click();
  ASSERT_EQ(qtUi.messages.size(), 1u);
  EXPECT_EQ(qtUi.messages[0], texts::transform_icon::kInvalidName.en);
  EXPECT_EQ(picker.SelectedIcon, before);
  EXPECT_TRUE(Names(IconsDir()).empty());
  EXPECT_FALSE(fs::exists(dir / "outside.ico"));
}

}  // namespace
}  // namespace plumage::test
