// Stored settings: the reading rules of the verb key's values, the stored
// forms the settings writers produce, and the missing-installation message.
#include "settings/settings.h"

#include <gtest/gtest.h>

#include "app/program.h"
#include "platform/posix/posix_system.h"
#include "platform/posix/registry_store.h"
#include "support/recording_ui.h"
#include "support/temp_dir.h"

namespace plumage {
namespace {

TEST(CleanRegistryText, RemovesOneTerminatingNul) {
  EXPECT_EQ(CleanRegistryText(""), "");
  EXPECT_EQ(CleanRegistryText(std::string(1, '\0')), "");
  EXPECT_EQ(CleanRegistryText(std::string("abc\0", 4)), "abc");
  EXPECT_EQ(CleanRegistryText(std::string("abc\0\0", 5)), std::string("abc\0", 4));
  EXPECT_EQ(CleanRegistryText("abc"), "abc");
}

TEST(LeadingNumber, ReadsTheNumberAtTheStart) {
  EXPECT_EQ(LeadingNumber(" 1"), 1);
  EXPECT_EQ(LeadingNumber("1"), 1);
  EXPECT_EQ(LeadingNumber("1.0"), 1);
  EXPECT_EQ(LeadingNumber("  42abc"), 42);
  EXPECT_EQ(LeadingNumber("-5"), -5);
  EXPECT_EQ(LeadingNumber("0.5"), 0.5);
  EXPECT_EQ(LeadingNumber("word"), 0);
  EXPECT_EQ(LeadingNumber(""), 0);
  EXPECT_EQ(LeadingNumber("-"), 0);
  EXPECT_EQ(LeadingNumber("."), 0);
}

class LoadSettingsTest : public ::testing::Test {
 protected:
  void SetUp() override {
    setenv("PLUMAGE_HOME", (dir / "home").c_str(), 1);
    ASSERT_EQ(store.CreateKey(kVerbRoot, kVerbKey), 0);
  }
  void TearDown() override { unsetenv("PLUMAGE_HOME"); }
  void Set(const std::string& name, const std::string& text) {
    platform::RegHandle h = 0;
    ASSERT_EQ(store.OpenKey(kVerbRoot, kVerbKey, &h), 0);
    ASSERT_EQ(store.SetValue(h, name, platform::kRegSz,
                             reinterpret_cast<const std::uint8_t*>(text.data()),
                             static_cast<std::uint32_t>(text.size())),
              0);
    store.CloseKey(h);
  }
  Program Load() {
    Program p(os);
    LoadSettings(p, ui);
    return p;
  }

  test::TempDir dir;
  platform::PosixRegistry store{(dir / "registry.reg").string()};
  platform::PosixSystem system;
  platform::Platform os{&store, &system, nullptr};
  test::RecordingUi ui;
};

TEST_F(LoadSettingsTest, TheCaptionIsTheLanguage) {
  const std::pair<std::string, int> cases[] = {
      {std::string("M&odifier l'ic\xF4ne...\0", 21), 1},
      {std::string("M&ODIFIER L'IC\xD4NE...\0", 21), 1},  // letter case differs only
      {std::string("m&odifier l'ic\xF4ne...\0", 21), 1},
      {std::string("Modifier l'ic\xF4ne...\0", 20), 0},  // no ampersand
      {std::string("C&hange icon...\0", 16), 0},
      {std::string("anything\0", 9), 0},
  };
  for (const auto& [caption, language] : cases) {
    Set("", caption);
    EXPECT_EQ(Load().Language, language) << caption;
  }
  EXPECT_TRUE(ui.messages.empty());
}

TEST_F(LoadSettingsTest, OnlyAnExactOneSwitchesTheReminderOff) {
  const std::pair<std::string, int> cases[] = {
      {" 1", 1}, {"1", 1}, {"1.0", 1}, {" 0", 0}, {"2", 0}, {"word", 0}, {"", 0}, {"1.5", 0}};
  for (const auto& [stored, noWarning] : cases) {
    Set("NoWarning", stored + '\0');
    EXPECT_EQ(Load().NoWarning, noWarning) << '"' << stored << '"';
  }
}

TEST_F(LoadSettingsTest, ALoneNulLibraryIsNoLibrary) {
  Set("DefaultLibrary", std::string(1, '\0'));
  EXPECT_EQ(Load().DefaultLibrary, "");
  Set("DefaultLibrary", std::string("/usr/share/icons/lib.icl\0", 25));
  EXPECT_EQ(Load().DefaultLibrary, "/usr/share/icons/lib.icl");
}

TEST_F(LoadSettingsTest, AMissingKeyShowsTheInstallationMessageOnceInEnglish) {
  ASSERT_EQ(store.DeleteKeyTree(kVerbRoot, kVerbKey), 0);
  ui.SetWaitCursor(true);
  Program p(os);
  p.Language = 0;
  p.NoWarning = 0;
  LoadSettings(p, ui);
  ASSERT_EQ(ui.messages.size(), 1u);
  EXPECT_EQ(ui.messages[0].text, "Plumage is not correctly installed! Please re-install the software.");
  EXPECT_EQ(ui.messages[0].title, "Error!");
  EXPECT_EQ(ui.messages[0].icon, MessageIcon::Exclamation);
  EXPECT_FALSE(ui.messages[0].waitCursorWasOn);
  EXPECT_EQ(p.Language, 0);
  EXPECT_EQ(p.DefaultLibrary, "");
  EXPECT_EQ(p.NoWarning, 0);
}

TEST_F(LoadSettingsTest, StoredFormsAreWhatTheSettingsDialogWrites) {
  Program p(os);
  StoreLanguage(p, 1);
  StoreNoWarning(p, true);
  StoreDefaultLibrary(p, "C:\\Icons\\Lib.ICL");
  EXPECT_EQ(p.Language, 1);
  EXPECT_EQ(p.NoWarning, 1);
  EXPECT_EQ(p.HelpFile, (dir / "home" / "HLPFR.HLP").string());
  const std::string file = test::ReadFile(dir / "registry.reg");
  EXPECT_NE(file.find("@=\"M&odifier l'ic\xF4ne...\""), std::string::npos);
  EXPECT_NE(file.find("\"NoWarning\"=\" 1\""), std::string::npos);
  EXPECT_NE(file.find("\"DefaultLibrary\"=\"C:\\\\Icons\\\\Lib.ICL\""), std::string::npos);
  Program next = Load();
  EXPECT_EQ(next.Language, 1);
  EXPECT_EQ(next.NoWarning, 1);
  EXPECT_EQ(next.DefaultLibrary, "C:\\Icons\\Lib.ICL");

  StoreNoWarning(p, false);
  StoreLanguage(p, 0);
  EXPECT_NE(test::ReadFile(dir / "registry.reg").find("\"NoWarning\"=\" 0\""), std::string::npos);
  EXPECT_EQ(p.HelpFile, (dir / "home" / "HLPEN.HLP").string());
  EXPECT_EQ(Load().Language, 0);
}

}  // namespace
}  // namespace plumage
