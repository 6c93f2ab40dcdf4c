// The apply flow: OK and Reset, the created-icon placeholder and the
// refresh reminder.
#include <algorithm>

#include "folder_fixture.h"

namespace plumage::test {
namespace {

class ApplyTest : public FolderTest {
 protected:
  ApplyTest() {
    hooks.Unload = [this] { journal.push_back("Unload"); };
    // The save of a created icon fails: the tests here are about what OK
    // does before and without it.
    hooks.SaveSelectedAsIcon = [this] {
      journal.push_back("SaveSelectedAsIcon " + SelectedIcon);
      return false;
    };
  }
  // The journal with the 1000 DoEvents counted as one entry.
  Journal Steps() const {
    Journal steps;
    for (const auto& entry : journal) {
      if (entry == "DoEvents" && !steps.empty() && steps.back().rfind("DoEvents", 0) == 0) {
        steps.back() = "DoEvents x" + std::to_string(std::stoi(steps.back().substr(10)) + 1);
        continue;
      }
      steps.push_back(entry == "DoEvents" ? "DoEvents x1" : entry);
    }
    return steps;
  }
};

TEST(Reminder, LinesAreJoinedByCarriageReturnsAndOnlyOneIsFrench) {
  const std::string en = ReminderText(0);
  const std::string fr = ReminderText(1);
  EXPECT_EQ(std::count(en.begin(), en.end(), '\r'), 6);
  EXPECT_EQ(std::count(fr.begin(), fr.end(), '\r'), 8);
  EXPECT_EQ(en.find('\n'), std::string::npos);
  EXPECT_EQ(en.rfind("If you don't see the icon immediately", 0), 0u) << en;
  EXPECT_EQ(fr.rfind("Si vous ne voyez pas votre ic\xC3\xB4ne", 0), 0u) << fr;
  EXPECT_EQ(ReminderText(7), en) << "anything but 1 is English";
}

TEST_F(ApplyTest, OkWritesClosesRemindsAndSendsF5) {
  SelectedIcon = "/i/a.ico";
  SelectedNo = "4";
  Ops().OKButton_Click();
  EXPECT_EQ(IniBytes(), "[.ShellClassInfo]\r\nIconFile=/i/a.ico\r\nIconIndex=4\r\n");
  EXPECT_EQ(Steps(), (Journal{"DoEvents x1", "UpdateShellImageCache /i/a.ico,4",
                              "NotifyFolderChanged " + folder.string(), "Unload",
                              "MessageBox Plumage: " + ReminderText(0), "DoEvents x1000",
                              "SendRefreshKey"}));
  ASSERT_EQ(ui.messages.size(), 1u);
  EXPECT_EQ(ui.messages[0].icon, MessageIcon::Information);

  // Without the reminder F5 still goes out, after the same wait.
  env.program.NoWarning = 1;
  journal.clear();
  Ops().OKButton_Click();
  EXPECT_EQ(ui.messages.size(), 1u);
  const Journal steps = Steps();
  EXPECT_EQ(Journal(steps.end() - 3, steps.end()),
            (Journal{"Unload", "DoEvents x1000", "SendRefreshKey"}));
}

TEST_F(ApplyTest, ResetAppliesAnEmptyChoiceThenRemindsInTodaysLanguage) {
  WriteFile(Ini(), "[.ShellClassInfo]\r\nIconFile=/i/a.ico\r\nIconIndex=4\r\n");
  // The picker loaded in English; the settings dialog switched to French
  // since: its own messages stay English, the reminder is composed now.
  env.program.Language = 1;
  Ops().OKButton_Click();
  EXPECT_EQ(IniBytes(), "[.ShellClassInfo]\r\nIconFile=\r\nIconIndex=\r\n");
  EXPECT_EQ(Steps(), (Journal{"NotifyFolderChanged " + folder.string(), "Unload",
                              "MessageBox Plumage: " + ReminderText(1), "DoEvents x1000",
                              "SendRefreshKey"}));
}

// The picker's messages are in the language it loaded in, the reminder in
// today's.
TEST_F(ApplyTest, AWriteFailureStillClosesAndReminds) {
  messages = FolderMessageTexts(1);
  env.program.ArgumentText = (dir / "none").string();
  ui.SetWaitCursor(true);
  journal.clear();
  SelectedIcon = "/i/a.ico";
  SelectedNo = "0";
  Ops().OKButton_Click();
  EXPECT_EQ(Steps(), (Journal{"SetWaitCursor off", "MessageBox Erreur!: Dossier invalide!",
                              "Unload", "MessageBox Plumage: " + ReminderText(0), "DoEvents x1000",
                              "SendRefreshKey"}));
  EXPECT_EQ(ui.messages[0].icon, MessageIcon::Exclamation);
  EXPECT_FALSE(ui.messages[0].waitCursorWasOn) << "the pointer is back to normal first";
  EXPECT_FALSE(fs::exists(dir / "none"));
  EXPECT_TRUE(env.shell.foldersChanged.empty());
}

// Only the exact placeholder of a created icon ("<folder name>.ico") is
// saved first; a failed save keeps the choice and writes nothing.
TEST_F(ApplyTest, OnlyTheExactPlaceholderIsSavedFirst) {
  struct Case {
    const char* folderName;  // "": a drive root
    const char* chosen;
    bool saved;
  };
  for (const Case& c : {Case{"Games", "Games.ico", true}, Case{"", ".ico", true},
                        Case{"Games", "games.ICO", false}}) {
    journal.clear();
    env.program.FolderName = c.folderName;
    SelectedIcon = c.chosen;
    SelectedNo = "3";
    Ops().OKButton_Click();
    if (c.saved) {
      EXPECT_EQ(journal,
                (Journal{"SaveSelectedAsIcon " + (dir / "program" / "Icons" / c.chosen).string()}))
          << c.chosen;
      EXPECT_EQ(SelectedIcon, c.chosen) << "the choice as it was";
      EXPECT_FALSE(fs::exists(Ini())) << c.chosen;
    } else {
      EXPECT_EQ(std::count_if(journal.begin(), journal.end(),
                              [](const std::string& e) { return e.rfind("SaveSelected", 0) == 0; }),
                0);
      EXPECT_EQ(IniBytes(), "[.ShellClassInfo]\r\nIconFile=games.ICO\r\nIconIndex=3\r\n");
    }
  }
}

}  // namespace
}  // namespace plumage::test
