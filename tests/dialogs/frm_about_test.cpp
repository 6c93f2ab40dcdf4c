#include "dialogs/frm_about.h"

#include <gtest/gtest.h>

#include <regex>

#include "app/texts.h"
#include "dialogs/dialog_fixture.h"

namespace plumage::test {
namespace {

class FrmAboutTest : public ::testing::Test, public DialogFixture {
 protected:
  frmAbout& Open() {
    form = std::make_unique<frmAbout>(program);
    observer = std::make_unique<JournalObserver>(journal);
    form->SetObserver(observer.get());
    form->Form_Load();
    return *form;
  }
  std::unique_ptr<frmAbout> form;
  std::unique_ptr<JournalObserver> observer;
};

// The version comes from the one place the build keeps it.
TEST(VersionText, IsTheProjectVersionWithoutLeadingZeros) {
  const std::string cmake = ReadFile(std::string(PLUMAGE_SOURCE_DIR) + "/CMakeLists.txt");
  std::smatch m;
  ASSERT_TRUE(
      std::regex_search(cmake, m, std::regex(R"(project\(Plumage VERSION (\d+)\.(\d+)\.(\d+))")));
  const std::string expected = "Version " + std::to_string(std::stoi(m[1])) + "." +
                               std::to_string(std::stoi(m[2])) + "." +
                               std::to_string(std::stoi(m[3]));
  EXPECT_EQ(VersionText(), expected);
  EXPECT_TRUE(std::regex_match(VersionText(),
                               std::regex(R"(Version (0|[1-9]\d*)\.(0|[1-9]\d*)\.(0|[1-9]\d*))")));
}

TEST_F(FrmAboutTest, EnglishTexts) {
  frmAbout& f = Open();
  EXPECT_EQ(f.Caption, "About Plumage");
  EXPECT_EQ(f.lblTitle.Caption, "Plumage");
  EXPECT_EQ(f.lblVersion.Caption, VersionText());
  EXPECT_EQ(f.lblDescription.Caption, texts::about::kDescription.en);
  EXPECT_EQ(f.Label1.Caption, texts::about::kCredit.en);
  EXPECT_EQ(f.Label4.Caption, "Website:");
  EXPECT_EQ(f.Label5[0].Caption, texts::about::kLink);
  EXPECT_EQ(f.cmdOK.Caption, "OK");
}

TEST_F(FrmAboutTest, FrenchTextsKeepWebsiteAndOk) {
  program.Language = 1;
  frmAbout& f = Open();
  EXPECT_EQ(f.Caption, "A propos de Plumage");
  EXPECT_EQ(f.lblTitle.Caption, "Plumage");
  EXPECT_EQ(f.lblVersion.Caption, VersionText());
  EXPECT_EQ(f.lblDescription.Caption, texts::about::kDescription.fr);
  EXPECT_EQ(f.Label1.Caption, texts::about::kCredit.fr);
  EXPECT_EQ(f.Label4.Caption, "Website:");
  EXPECT_EQ(f.cmdOK.Caption, "OK");
  // The French texts really are other texts.
  EXPECT_NE(f.lblDescription.Caption, texts::about::kDescription.en);
  EXPECT_NE(f.Label1.Caption, texts::about::kCredit.en);
}

TEST_F(FrmAboutTest, TheLinkOpensTheAddressItShowsAndTheBoxStaysOpen) {
  frmAbout& f = Open();
  f.Label5[0].Caption = "https://example.net/elsewhere";
  f.Label5_Click(0);
  f.Label5_Click(1);  // no such label
  f.Label5_Click(-1);
  EXPECT_EQ(journal, Journal{"OpenDocument https://example.net/elsewhere"});
  EXPECT_FALSE(f.Unloaded());
  f.cmdOK_Click();
  EXPECT_EQ(journal, (Journal{"OpenDocument https://example.net/elsewhere", "FormClosed"}));
  EXPECT_TRUE(f.Unloaded());
}

TEST_F(FrmAboutTest, ALinkThatNothingCouldOpenIsToldInTheLanguageOfTheLoad) {
  program.Language = 1;
  form = std::make_unique<frmAbout>(program, ui);
  form->Form_Load();
  program.Language = 0;  // changed since: the box keeps its own
  shell.openSucceeds = false;
  form->Label5_Click(0);
  const std::string link = texts::about::kLink;
  EXPECT_EQ(journal, (Journal{"OpenDocument " + link,
                              "MessageBox Erreur!: Aucun navigateur web n'a pu ouvrir " + link}));
  EXPECT_FALSE(form->Unloaded());
  // A link that opened says nothing.
  journal.clear();
  shell.openSucceeds = true;
  form->Label5_Click(0);
  EXPECT_EQ(journal, Journal{"OpenDocument " + link});
}

TEST_F(FrmAboutTest, NothingIsReadFromOrWrittenToTheRegistry) {
  program.Language = 1;
  Open().Label5_Click(0);
  form->cmdOK_Click();
  EXPECT_EQ(registry.openCalls, 0);
  EXPECT_EQ(journal, (Journal{std::string("OpenDocument ") + texts::about::kLink, "FormClosed"}));
}

}  // namespace
}  // namespace plumage::test
