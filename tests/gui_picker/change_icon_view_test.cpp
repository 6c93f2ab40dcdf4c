// The picker's window for a temporary folder, driven through its widgets:
// a click on an entry and OK write the folder's DESKTOP.INI; Cancel and Esc
// write nothing; typing into the file name box changes nothing.
#include <gtest/gtest.h>

#include <QApplication>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <QTest>
#include <memory>

#include "app/startup.h"
#include "picker/change_icon.h"
#include "platform/icons/file_icon_source.h"
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
  DibSpec spec;
  spec.width = 32;
  spec.height = 32;
  spec.palette = {colour};
  spec.pixels.assign(32 * 32, 0);
  return EncodeDib(spec);
}

class PickerViewTest : public ::testing::Test {
 protected:
  void SetUp() override {
    std::filesystem::create_directories(dir / "home" / "Icons");
    std::filesystem::create_directories(dir / "Music");
    tp.system.programFolder = (dir / "home").string() + "/";
    tp.os.icons = &icons;
    std::vector<GroupSpec> groups;
    for (int i = 0; i < 6; ++i)
      groups.push_back({"", static_cast<std::uint16_t>(1 + i),
                        {SolidImage({static_cast<std::uint8_t>(40 * i), 90, 200, 255})}});
    const Bytes pe = WritePe(groups);
    library = (dir / "six.dll").string();
    WriteFile(library, std::string(pe.begin(), pe.end()));
    tp.registry.SetString(kVerbRoot, kVerbKey, "", "C&hange icon...");
    tp.registry.SetString(kVerbRoot, kVerbKey, kDefaultLibraryValue, library);
    tp.registry.SetString(kVerbRoot, kVerbKey, kNoWarningValue, " 1");
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

}  // namespace
}  // namespace plumage::test
