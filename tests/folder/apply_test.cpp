// The apply flow: OK and Reset, the created-icon placeholder and the
// refresh reminder.
#include <algorithm>

#include "folder_fixture.h"

namespace plumage::test {
namespace {

// The reminders, typed here byte for byte from the texts they must show.
const std::string kReminderEn =
    "If you don't see the icon immediately, do not forget to\r"
    "refresh the Windows Explorer in order to see the changes.\r"
    "This can be done by clicking on the 'View' menu and\r"
    "selecting 'Refresh.\r"
    "This can be also done by simply pressing the F5 key.\r"
    "\r"
    "(This message can be disabled in the options dialog box.)";
const std::string kReminderFr =
    "Si vous ne voyez pas votre ic\xC3\xB4ne imm\xC3\xA9"
    "diatement,\r"
    "n'oubliez pas de rafra\xC3\xAE"
    "chir l'Explorateur Windows.\r"
    "Ceci est fait en cliquant dans le menu 'Affichage' et\r"
    "en s\xC3\xA9lectionnant l'option 'Actualiser'.\r"
    "Vous pouvez aussi appuyer tout simplement sur\r"
    "la touche F5.\r"
    "\r"
    "(Ce message peut \xC3\xAAtre d\xC3\xA9sactiv\xC3\xA9 dans la bo\xC3\xAEte de\r"
    "dialogue 'Param\xC3\xA8tres.)";

class ApplyTest : public FolderTest {
 protected:
  ApplyTest() {
    hooks.Unload = [this] { journal.push_back("Unload"); };
    hooks.SaveSelectedAsIcon = [this] {
      journal.push_back("SaveSelectedAsIcon " + SelectedIcon);
      if (!saveSucceeds) return false;
      SelectedNo = "0";
      return true;
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
  bool saveSucceeds = true;
};

TEST(Reminder, TextsAreByteExact) {
  EXPECT_EQ(ReminderText(0), kReminderEn);
  EXPECT_EQ(ReminderText(1), kReminderFr);
  EXPECT_EQ(ReminderText(7), kReminderEn) << "anything but 1 is English";
  EXPECT_EQ(std::count(kReminderEn.begin(), kReminderEn.end(), '\r'), 6);
  EXPECT_EQ(std::count(kReminderFr.begin(), kReminderFr.end(), '\r'), 8);
}

TEST_F(ApplyTest, OkWritesClosesRemindsAndSendsF5) {
  SelectedIcon = "/i/a.ico";
  SelectedNo = "4";
  Ops().OKButton_Click();
  EXPECT_EQ(IniBytes(), "[.ShellClassInfo]\r\nIconFile=/i/a.ico\r\nIconIndex=4\r\n");
  EXPECT_EQ(Steps(),
            (Journal{"DoEvents x1", "UpdateShellImageCache /i/a.ico,4",
                     "NotifyFolderChanged " + folder.string(), "Unload",
                     "MessageBox Plumage: " + kReminderEn, "DoEvents x1000", "SendRefreshKey"}));
  ASSERT_EQ(ui.messages.size(), 1u);
  EXPECT_EQ(ui.messages[0].icon, MessageIcon::Information);
}

TEST_F(ApplyTest, NoWarningShowsNothingButStillSendsF5) {
  env.program.NoWarning = 1;
  SelectedIcon = "/i/a.ico";
  SelectedNo = "0";
  Ops().OKButton_Click();
  EXPECT_TRUE(ui.messages.empty());
  EXPECT_EQ(env.shell.refreshKeys, 1);
  const Journal steps = Steps();
  EXPECT_EQ(Journal(steps.end() - 3, steps.end()),
            (Journal{"Unload", "DoEvents x1000", "SendRefreshKey"}));
}

TEST_F(ApplyTest, ResetAppliesAnEmptyChoiceThenRemindsInTodaysLanguage) {
  SetDos(folder, platform::kAttributeSystem);
  WriteFile(Ini(), "[.ShellClassInfo]\r\nIconFile=/i/a.ico\r\nIconIndex=4\r\n");
  // The picker loaded in English; the settings dialog switched to French
  // since: its own messages stay English, the reminder is composed now.
  env.program.Language = 1;
  Ops().OKButton_Click();
  EXPECT_EQ(IniBytes(), "[.ShellClassInfo]\r\nIconFile=\r\nIconIndex=\r\n");
  EXPECT_EQ(Dos(folder), std::nullopt);
  EXPECT_TRUE(env.shell.cached.empty());
  EXPECT_EQ(Steps(),
            (Journal{"NotifyFolderChanged " + folder.string(), "Unload",
                     "MessageBox Plumage: " + kReminderFr, "DoEvents x1000", "SendRefreshKey"}));
}

TEST_F(ApplyTest, AWriteFailureStillClosesAndReminds) {
  env.program.ArgumentText = (dir / "none").string();
  SelectedIcon = "/i/a.ico";
  SelectedNo = "0";
  Ops().OKButton_Click();
  EXPECT_EQ(Steps(),
            (Journal{"SetWaitCursor off", "MessageBox Error!: Invalid folder!", "Unload",
                     "MessageBox Plumage: " + kReminderEn, "DoEvents x1000", "SendRefreshKey"}));
}

TEST_F(ApplyTest, TheCreatedIconIsSavedFirst) {
  SelectedIcon = "Games.ico";
  SelectedNo = "3";
  Ops().OKButton_Click();
  const std::string saved = (dir / "program" / "Icons" / "Games.ico").string();
  EXPECT_EQ(SelectedIcon, saved);
  EXPECT_EQ(journal.front(), "SaveSelectedAsIcon " + saved);
  EXPECT_EQ(IniBytes(), "[.ShellClassInfo]\r\nIconFile=" + saved + "\r\nIconIndex=0\r\n");
  EXPECT_EQ(env.shell.refreshKeys, 1);
}

TEST_F(ApplyTest, AFailedSaveKeepsThePlaceholderAndTheNextOkSavesAgain) {
  saveSucceeds = false;
  SelectedIcon = "Games.ico";
  SelectedNo = "1";
  Ops().OKButton_Click();
  const std::string saved = (dir / "program" / "Icons" / "Games.ico").string();
  EXPECT_EQ(SelectedIcon, "Games.ico") << "the choice as it was";
  EXPECT_EQ(journal, (Journal{"SaveSelectedAsIcon " + saved}));
  EXPECT_FALSE(fs::exists(Ini()));

  // Failing again changes nothing either: the folder never names the file
  // that was not made.
  Ops().OKButton_Click();
  EXPECT_EQ(SelectedIcon, "Games.ico");
  EXPECT_FALSE(fs::exists(Ini()));

  // Once the save succeeds the created icon is applied with index 0.
  saveSucceeds = true;
  Ops().OKButton_Click();
  EXPECT_EQ(std::count(journal.begin(), journal.end(), "SaveSelectedAsIcon " + saved), 3);
  EXPECT_EQ(IniBytes(), "[.ShellClassInfo]\r\nIconFile=" + saved + "\r\nIconIndex=0\r\n");
  EXPECT_EQ(env.shell.refreshKeys, 1);
}

TEST_F(ApplyTest, ThePlaceholderComparesWithLetterCase) {
  SelectedIcon = "games.ICO";
  SelectedNo = "0";
  Ops().OKButton_Click();
  EXPECT_EQ(std::count_if(journal.begin(), journal.end(),
                          [](const std::string& e) { return e.rfind("SaveSelected", 0) == 0; }),
            0);
  EXPECT_EQ(IniBytes(), "[.ShellClassInfo]\r\nIconFile=games.ICO\r\nIconIndex=0\r\n");
}

TEST_F(ApplyTest, ADriveRootsPlaceholderIsDotIcoAlone) {
  env.program.FolderName = "";
  SelectedIcon = ".ico";
  SelectedNo = "0";
  saveSucceeds = false;
  Ops().OKButton_Click();
  EXPECT_EQ(journal, (Journal{"SaveSelectedAsIcon " + (dir / "program" / "Icons" / ".ico").string()}));
  EXPECT_EQ(SelectedIcon, ".ico");
}

TEST(OpenDocument, GoesToTheShell) {
  TestPlatform env;
  OpenDocument(env.program, "https://plumage.example.org/");
  EXPECT_EQ(env.shell.opened, (std::vector<std::string>{"https://plumage.example.org/"}));
}

}  // namespace
}  // namespace plumage::test
