// The registry layer over the real Linux store, and the program's settings
// on it: the reading rules of the verb key's values and the
// missing-installation message. (The stored forms the settings dialog
// writes, and their reading by the next run, are the dialog's tests'.)
#include "settings/settings.h"

#include <gtest/gtest.h>

#include "app/program.h"
#include "platform/posix/posix_system.h"
#include "platform/posix/registry_store.h"
#include "support/recording_ui.h"
#include "support/temp_dir.h"

namespace plumage {
namespace {

TEST(SettingsText, RegistryTextAndLeadingNumbers) {
  const std::pair<std::string, std::string> clean[] = {
      {std::string(1, '\0'), ""},
      {std::string("abc\0\0", 5), std::string("abc\0", 4)},
      {"abc", "abc"}};
  for (const auto& [text, cleaned] : clean) EXPECT_EQ(CleanRegistryText(text), cleaned) << text;
  const std::pair<const char*, double> numbers[] = {{" 1", 1}, {"  42abc", 42}, {"\t-5", -5},
                                                    {"+3", 3}, {"2.25x", 2.25}, {"word", 0},
                                                    {"-", 0},  {".", 0},        {"-.5", -0.5}};
  for (const auto& [text, number] : numbers) EXPECT_EQ(LeadingNumber(text), number) << text;
}

class SettingsTest : public ::testing::Test {
 protected:
  void SetUp() override {
    setenv("PLUMAGE_HOME", (dir / "home").c_str(), 1);
    ASSERT_EQ(store.CreateKey(kVerbRoot, kVerbKey), 0);
  }
  void TearDown() override { unsetenv("PLUMAGE_HOME"); }
  void Set(const std::string& name, const std::string& bytes, std::uint32_t type = formats::kRegSz) {
    platform::RegHandle h = 0;
    ASSERT_EQ(store.OpenKey(kVerbRoot, kVerbKey, &h), 0);
    ASSERT_EQ(store.SetValue(h, name, type, reinterpret_cast<const std::uint8_t*>(bytes.data()),
                             static_cast<std::uint32_t>(bytes.size())),
              0);
    store.CloseKey(h);
  }
  Program Load() {
    Program p(os);
    LoadSettings(p, ui);
    return p;
  }
  std::string File() { return test::ReadFile(dir / "registry.reg"); }

  test::TempDir dir;
  platform::PosixRegistry store{(dir / "registry.reg").string()};
  platform::PosixSystem system;
  platform::Platform os{&store, &system, nullptr};
  RegistryManager reg{store};
  test::RecordingUi ui;
};

// Only a REG_SZ is read, whole and with its NUL; names and texts cross the
// boundary in Windows-1252.
TEST_F(SettingsTest, TheRegistryLayerReadsWhatItStoredByteForByte) {
  Set("Number", std::string("\x01\0\0\0", 4), formats::kRegDword);
  Set("Expand", std::string("%WINDIR%\0", 9), formats::kRegExpandSz);
  ASSERT_TRUE(reg.OpenKey(kVerbRoot, "FOLDER\\Shell\\plumicon", reg.CurrentKey));
  ASSERT_TRUE(reg.SetStringValue(reg.CurrentKey, "DefaultLibrary", ""));
  ASSERT_TRUE(reg.SetStringValue(reg.CurrentKey, "", "M&odifier l'ic\xC3\xB4ne..."));
  const std::pair<const char*, std::optional<std::string>> read[] = {
      {"defaultlibrary", std::string(1, '\0')},
      {"", std::string("M&odifier l'ic\xC3\xB4ne...") + '\0'},
      {"Number", std::nullopt},
      {"Expand", std::nullopt},
      {"Absent", std::nullopt}};
  for (const auto& [name, expected] : read) {
    std::string text = "unchanged";
    EXPECT_EQ(reg.GetStringValue(reg.CurrentKey, name, text), expected.has_value()) << name;
    EXPECT_EQ(text, expected.value_or("unchanged")) << name;
  }
  EXPECT_TRUE(reg.CloseKey(reg.CurrentKey));
  EXPECT_NE(File().find("@=\"M&odifier l'ic\xF4ne...\""), std::string::npos);

  // A key that is not there is neither opened nor made, and a handle of 0
  // writes nothing; a key deleted by another program is not brought back.
  const std::string before = File();
  reg.CurrentKey = 77;
  EXPECT_FALSE(reg.OpenKey(kVerbRoot, "Folder\\shell\\Nothing", reg.CurrentKey));
  EXPECT_EQ(reg.CurrentKey, 0u);
  EXPECT_FALSE(reg.SetStringValue(0, "DefaultLibrary", "x"));
  EXPECT_EQ(File(), before);
  ASSERT_TRUE(reg.OpenKey(kVerbRoot, kVerbKey, reg.CurrentKey));
  ASSERT_EQ(platform::PosixRegistry((dir / "registry.reg").string()).DeleteKeyTree(kVerbRoot, kVerbKey), 0);
  EXPECT_FALSE(reg.SetStringValue(reg.CurrentKey, "NoWarning", " 1"));
  EXPECT_EQ(File().find("PlumIcon"), std::string::npos);
}

TEST_F(SettingsTest, LoadReadsTheLanguageTheLibraryAndTheReminder) {
  const std::pair<std::string, int> captions[] = {
      {std::string("M&ODIFIER L'IC\xD4NE...\0", 21), 1},  // letter case differs only
      {std::string("Modifier l'ic\xF4ne...\0", 20), 0},   // no ampersand
      {std::string("C&hange icon...\0", 16), 0}};
  for (const auto& [caption, language] : captions) {
    Set("", caption);
    EXPECT_EQ(Load().Language, language) << caption;
  }
  // Only an exact one switches the reminder off.
  const std::pair<std::string, int> reminders[] = {{" 1", 1}, {"1.0", 1},  {" 0", 0},
                                                   {"2", 0},  {"word", 0}, {"1.5", 0}};
  for (const auto& [stored, noWarning] : reminders) {
    Set("NoWarning", stored + '\0');
    EXPECT_EQ(Load().NoWarning, noWarning) << '"' << stored << '"';
  }
  Set("DefaultLibrary", std::string("/usr/share/icons/lib.icl\0", 25));
  EXPECT_EQ(Load().DefaultLibrary, "/usr/share/icons/lib.icl");
  EXPECT_TRUE(ui.messages.empty());
}

TEST_F(SettingsTest, AMissingKeyShowsTheInstallationMessageAndChangesNothing) {
  ASSERT_EQ(store.DeleteKeyTree(kVerbRoot, kVerbKey), 0);
  ui.SetWaitCursor(true);
  Program p = Load();
  ASSERT_EQ(ui.messages.size(), 1u);
  const test::ShownMessage& m = ui.messages[0];
  EXPECT_EQ(std::tuple(m.text, m.title, m.icon, m.waitCursorWasOn),
            std::tuple(std::string("Plumage is not correctly installed! Please re-install the software."),
                       std::string("Error!"), MessageIcon::Exclamation, false));
  EXPECT_EQ(std::tuple(p.Language, p.DefaultLibrary, p.NoWarning), std::tuple(0, std::string(), 0));
  EXPECT_FALSE(StoreNoWarning(p, true)) << "nothing to store into";
  EXPECT_EQ(p.NoWarning, 0);
}

// The switches of the verb key: only a number there decides.
TEST_F(SettingsTest, SwitchesAreOnOrOffByTheirNumberElseByDefault) {
  const std::pair<const char*, bool> table[] = {{nullptr, true}, {" 0", false}, {"2", true},
                                                {"", true},      {"on", true},  {"  0.0", false}};
  for (const auto& [stored, on] : table) {
    if (stored) {
      Set(kLinuxIconsValue, std::string(stored) + '\0');
      Set(kKeepIconInsideValue, std::string(stored) + '\0');
    }
    Program p(os);
    // Linux reads no descriptors itself: keeping the icon inside is on by default.
    EXPECT_EQ(std::tuple(LinuxIconsEnabled(p), KeepIconInsideEnabled(p)), std::tuple(on, on))
        << (stored ? stored : "(missing)");
  }
  Program p(os);
  ASSERT_TRUE(StoreLinuxIcons(p, false));
  ASSERT_TRUE(StoreKeepIconInside(p, false));
  EXPECT_EQ(std::tuple(LinuxIconsEnabled(p), KeepIconInsideEnabled(p)), std::tuple(false, false));
  ASSERT_EQ(store.DeleteKeyTree(kVerbRoot, kVerbKey), 0);
  EXPECT_EQ(std::tuple(LinuxIconsEnabled(p), KeepIconInsideEnabled(p)), std::tuple(true, true));
}

}  // namespace
}  // namespace plumage
