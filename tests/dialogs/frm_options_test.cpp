#include "dialogs/frm_options.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <memory>

#include "app/texts.h"
#include "dialogs/dialog_fixture.h"

namespace plumage::test {
namespace {

namespace fs = std::filesystem;

const std::string kNul(1, '\0');
const std::string kReboot = "MessageBox Plumage: " + std::string(texts::options::kReboot.en);
const std::string kRebootFr = "MessageBox Plumage: " + std::string(texts::options::kReboot.fr);

class FrmOptionsTest : public ::testing::Test, public DialogFixture {
 protected:
  // Loads a fresh dialog, as each showing does; the journal starts empty after.
  frmOptions& Open() {
    form = std::make_unique<frmOptions>(program, ui);
    observer = std::make_unique<JournalObserver>(journal);
    form->SetObserver(observer.get());
    form->Form_Load();
    journal.clear();
    return *form;
  }
  void StoreMaxCached(const std::string& text) {
    Store(kExplorerRoot, kExplorerKey, kMaxCachedIconsValue, text);
  }
  std::optional<std::string> MaxCached() {
    return Raw(kExplorerRoot, kExplorerKey, kMaxCachedIconsValue);
  }
  // Sets every control away from what it showed at load.
  void ChangeEverything(frmOptions& f) {
    f.Colors.Value = 1 - f.Colors.Value;
    f.CacheSize.ListIndex = f.CacheSize.ListIndex == 4 ? 0 : 4;
    f.DefaultLib.Text += "x";
    f.NoWarningBox.Value = 1 - f.NoWarningBox.Value;
    f.KeepInsideBox.Value = 1 - f.KeepInsideBox.Value;
    std::swap(f.Lang[0].Value, f.Lang[1].Value);
  }

  std::unique_ptr<frmOptions> form;
  std::unique_ptr<JournalObserver> observer;
};

TEST_F(FrmOptionsTest, OkWithoutAChangeWritesAndShowsNothing) {
  // Once with nothing stored, once with every value set.
  Open().cmdOK_Click();
  EXPECT_EQ(journal, Journal{"FormClosed"});

  program.Language = 1;
  program.DefaultLibrary = "/usr/share/icons/Lib.icl";
  program.NoWarning = 1;
  Store(kWindowMetricsRoot, kWindowMetricsKey, kShellIconBppValue, "32");
  StoreMaxCached("1000");
  Open().cmdOK_Click();
  EXPECT_EQ(journal, Journal{"FormClosed"});
  EXPECT_TRUE(ui.messages.empty());
}

TEST_F(FrmOptionsTest, CancelAfterChangingEveryControlWritesNothing) {
  frmOptions& f = Open();
  ChangeEverything(f);
  f.cmdCancel_Click();
  EXPECT_EQ(journal, Journal{"FormClosed"});
  EXPECT_EQ(program.Language, 0);
  EXPECT_EQ(program.DefaultLibrary, "");
  EXPECT_EQ(program.NoWarning, 0);
}

TEST_F(FrmOptionsTest, OnlyColoursChangedWritesSixteenShowsTheRebootNoticeThenCloses) {
  frmOptions& f = Open();
  ASSERT_EQ(f.Colors.Value, 0);
  f.Colors.Value = 1;
  f.cmdOK_Click();
  EXPECT_EQ(journal,
            (Journal{"SetValue Shell Icon BPP=16", "SetWaitCursor off", kReboot, "FormClosed"}));
  ASSERT_EQ(ui.messages.size(), 1u);
  EXPECT_EQ(ui.messages[0].title, "Plumage");
  EXPECT_EQ(ui.messages[0].icon, MessageIcon::Information);
  EXPECT_EQ(Raw(kWindowMetricsRoot, kWindowMetricsKey, kShellIconBppValue), "16" + kNul);

  Open().Colors.Value = 0;
  form->cmdOK_Click();
  EXPECT_EQ(journal,
            (Journal{"SetValue Shell Icon BPP=4", "SetWaitCursor off", kReboot, "FormClosed"}));
}

TEST_F(FrmOptionsTest, TheStoredCacheSizeSelectsItsEntry) {
  const struct {
    const char* stored;  // nullptr: missing
    int index;
  } table[] = {{nullptr, 1}, {"100", 0},   {"101", 1}, {"500", 1}, {"501", 2},
               {"2000", 4},  {"4096", -1}, {"-5", -1}, {"750", 2}};
  for (const auto& row : table) {
    if (row.stored) StoreMaxCached(row.stored);
    EXPECT_EQ(Open().CacheSize.ListIndex, row.index) << (row.stored ? row.stored : "(missing)");
    EXPECT_EQ(form->CacheSize.Items.size(), 5u);
  }
}

TEST_F(FrmOptionsTest, ACacheSizeOutsideTheStepsStaysUntilAnEntryIsPicked) {
  StoreMaxCached("4096");
  frmOptions& f = Open();
  ASSERT_EQ(f.CacheSize.ListIndex, -1);
  f.cmdOK_Click();
  EXPECT_EQ(MaxCached(), "4096" + kNul);
  EXPECT_EQ(journal, Journal{"FormClosed"});

  Open().CacheSize.ListIndex = 0;  // "100 (minimum)"
  form->cmdOK_Click();
  EXPECT_EQ(journal, (Journal{"SetValue Max Cached Icons=100", "FormClosed"}));
}

TEST_F(FrmOptionsTest, ReselectingTheLoadedCacheSizeIsNoChange) {
  StoreMaxCached("750");  // shown as "1000", stays 750 unless another entry is picked
  frmOptions& f = Open();
  f.CacheSize.ListIndex = 3;
  f.CacheSize.ListIndex = 2;
  f.cmdOK_Click();
  EXPECT_EQ(MaxCached(), "750" + kNul);
}

TEST_F(FrmOptionsTest, ALetterCaseChangeOfTheLibraryIsWritten) {
  program.DefaultLibrary = "/home/ann/Icons/Tools.icl";
  frmOptions& f = Open();
  EXPECT_EQ(f.DefaultLib.Text, "/home/ann/Icons/Tools.icl");
  f.DefaultLib.Text = "/home/ann/icons/Tools.icl";
  f.cmdOK_Click();
  EXPECT_EQ(journal, (Journal{"SetValue DefaultLibrary=/home/ann/icons/Tools.icl", "FormClosed"}));
  EXPECT_EQ(program.DefaultLibrary, "/home/ann/icons/Tools.icl");
}

TEST_F(FrmOptionsTest, AnEmptyOrMissingLibraryIsStoredAsTyped) {
  program.DefaultLibrary = "/gone.icl";
  Open().DefaultLib.Text = "";
  form->cmdOK_Click();
  EXPECT_EQ(Raw(kVerbRoot, kVerbKey, kDefaultLibraryValue), kNul);
  EXPECT_EQ(program.DefaultLibrary, "");
}

// On by default where the system's own shell does not read DESKTOP.INI
// (the fake system, as Linux); a stored value decides over the default.
TEST_F(FrmOptionsTest, KeepingTheIconInsideIsShownAndStoredOnlyWhenChanged) {
  frmOptions& f = Open();
  EXPECT_EQ(f.KeepInsideBox.Value, 1);
  EXPECT_EQ(f.KeepInsideBox.Caption, "Keep the icon inside the folder");
  f.KeepInsideBox.Value = 0;
  f.cmdOK_Click();
  EXPECT_EQ(Raw(kVerbRoot, kVerbKey, kKeepIconInsideValue), " 0" + kNul);
  EXPECT_FALSE(KeepIconInsideEnabled(program));
  EXPECT_EQ(Open().KeepInsideBox.Value, 0);
  form->cmdOK_Click();
  EXPECT_EQ(journal, Journal{"FormClosed"}) << "unchanged: nothing written";
  program.Language = 1;
  EXPECT_EQ(Open().KeepInsideBox.Caption, "Garder l'ic\xC3\xB4ne dans le dossier");
}

TEST_F(FrmOptionsTest, TheReminderFlagIsWrittenAsABlankAndADigit) {
  Open().NoWarningBox.Value = 1;
  form->cmdOK_Click();
  EXPECT_EQ(Raw(kVerbRoot, kVerbKey, kNoWarningValue), " 1" + kNul);
  EXPECT_EQ(program.NoWarning, 1);

  frmOptions& f = Open();
  EXPECT_EQ(f.NoWarningBox.Value, 1);
  f.NoWarningBox.Value = 0;
  f.cmdOK_Click();
  EXPECT_EQ(Raw(kVerbRoot, kVerbKey, kNoWarningValue), " 0" + kNul);
  EXPECT_EQ(program.NoWarning, 0);
  EXPECT_TRUE(ui.messages.empty());
}

TEST_F(FrmOptionsTest, SwitchingToFrenchStoresTheCaptionAndHelpFileAndTheNextDialogIsFrench) {
  frmOptions& f = Open();
  EXPECT_EQ(f.Caption, "Plumage settings");
  EXPECT_EQ(f.CacheSize.Items[1], "500 (system default)");
  f.Lang[0].Value = false;
  f.Lang[1].Value = true;
  f.cmdOK_Click();
  // The verb caption is stored in the ANSI code page: ô is one byte.
  EXPECT_EQ(journal, (Journal{"SetValue =M&odifier l'ic\xF4ne...", "FormClosed"}));
  EXPECT_TRUE(ui.messages.empty());
  EXPECT_EQ(program.Language, 1);
  EXPECT_EQ(program.HelpFile, dir.str() + "/HLPFR.HLP");

  // The next run reads French back from the caption.
  Program next(os);
  LoadSettings(next, ui);
  EXPECT_EQ(next.Language, 1);

  frmOptions& g = Open();
  EXPECT_EQ(g.Caption, "Paramètres Plumage");
  EXPECT_EQ(g.Frame3.Caption, "Paramètres système:");
  EXPECT_EQ(g.cmdCancel.Caption, "Annuler");
  EXPECT_EQ(g.AboutBox.Caption, "&A propos...");
  EXPECT_EQ(g.RebuildButton.Caption, "&Rafraîcher le cache");
  EXPECT_EQ(g.CacheSize.Items, (std::vector<std::string>{"100 (minimum)", "500 (valeur système)",
                                                         "1000", "1500", "2000 (recommandé)"}));
  // Captions that stay as designed in both languages.
  EXPECT_EQ(g.Frame1.Caption, "Options:");
  EXPECT_EQ(g.Lang[0].Caption, "En&glish");
  EXPECT_EQ(g.Lang[1].Caption, "&Français");
  EXPECT_EQ(g.cmdOK.Caption, "OK");
  EXPECT_TRUE(g.Lang[1].Value);
  EXPECT_FALSE(g.Lang[0].Value);
  EXPECT_EQ(g.FileFilter, texts::kIconFilter.fr);

  // And back: the English caption and help file.
  g.Lang[0].Value = true;
  g.Lang[1].Value = false;
  g.cmdOK_Click();
  EXPECT_EQ(journal, (Journal{"SetValue =C&hange icon...", "FormClosed"}));
  EXPECT_EQ(program.HelpFile, dir.str() + "/HLPEN.HLP");
  EXPECT_EQ(program.Language, 0);
}

TEST_F(FrmOptionsTest, TheFrenchDialogShowsItsRebootNoticeInFrench) {
  program.Language = 1;
  frmOptions& f = Open();
  f.Colors.Value = 1;
  // Switching back to English in the same OK does not change the notice:
  // the dialog keeps the text of the moment it loaded.
  f.Lang[0].Value = true;
  f.Lang[1].Value = false;
  f.cmdOK_Click();
  EXPECT_EQ(journal, (Journal{"SetValue Shell Icon BPP=16", "SetWaitCursor off", kRebootFr,
                              "SetValue =C&hange icon...", "FormClosed"}));
}

TEST_F(FrmOptionsTest, OkWritesEveryChangeInItsOrder) {
  program.DefaultLibrary = "/a.icl";
  frmOptions& f = Open();
  ChangeEverything(f);
  f.cmdOK_Click();
  EXPECT_EQ(journal,
            (Journal{"SetValue Shell Icon BPP=16", "SetWaitCursor off", kReboot,
                     "SetValue Max Cached Icons=2000", "SetValue DefaultLibrary=/a.iclx",
                     "SetValue NoWarning= 1", "SetValue KeepIconInside= 0",
                     "SetValue =M&odifier l'ic\xF4ne...", "FormClosed"}));
}

TEST_F(FrmOptionsTest, RebuildWritesTheChosenSizeFirstAndCancelDoesNotUndoIt) {
  frmOptions& f = Open();
  ASSERT_EQ(f.CacheSize.ListIndex, 1);
  f.CacheSize.ListIndex = 4;  // "2000 (recommended)"
  f.RebuildButton_Click();
  EXPECT_EQ(journal, (Journal{"SetWaitCursor on", "SetValue Max Cached Icons=2000",
                              "SetValue Shell Icon Size=31", "BroadcastSettingChange",
                              "SetValue Shell Icon Size=32", "BroadcastSettingChange",
                              "NotifyIconsChanged", "SetWaitCursor off"}));
  EXPECT_FALSE(f.Unloaded());
  EXPECT_TRUE(ui.messages.empty());
  f.cmdCancel_Click();
  EXPECT_EQ(MaxCached(), "2000" + kNul);
  EXPECT_EQ(Raw(kWindowMetricsRoot, kWindowMetricsKey, kShellIconSizeValue), "32" + kNul);
}

TEST_F(FrmOptionsTest, OkAfterRebuildWritesTheSizeOnceMore) {
  frmOptions& f = Open();
  f.CacheSize.ListIndex = 3;
  f.RebuildButton_Click();
  journal.clear();
  f.cmdOK_Click();
  EXPECT_EQ(journal, (Journal{"SetValue Max Cached Icons=1500", "FormClosed"}));
}

TEST_F(FrmOptionsTest, RebuildWithoutASizeChangeOnlyStepsTheIconSize) {
  Store(kWindowMetricsRoot, kWindowMetricsKey, kShellIconSizeValue, "48");
  // Once with the loaded entry still selected, once with nothing selected.
  for (const char* stored : {"750", "4096"}) {
    StoreMaxCached(stored);
    Open().RebuildButton_Click();
    EXPECT_EQ(journal,
              (Journal{"SetWaitCursor on", "SetValue Shell Icon Size=47", "BroadcastSettingChange",
                       "SetValue Shell Icon Size=48", "BroadcastSettingChange",
                       "NotifyIconsChanged", "SetWaitCursor off"}))
        << stored;
    EXPECT_EQ(MaxCached(), stored + kNul);
  }
}

TEST_F(FrmOptionsTest, DeleteRemovesAPresentReadOnlyCacheAndShowsTheNotice) {
  const fs::path cache = dir / "shelliconcache";
  WriteFile(cache, "icons");
  fs::permissions(cache, fs::perms::owner_read);
  frmOptions& f = Open();
  f.DeleteButton_Click();
  EXPECT_FALSE(fs::exists(cache));
  EXPECT_EQ(journal, Journal{kReboot});
  EXPECT_FALSE(f.Unloaded());
}

// The real files, except that nothing can be deleted: the Explorer holds
// its cache files open while it runs.
class HeldFiles : public ForwardingFiles {
 public:
  using ForwardingFiles::ForwardingFiles;
  Status Remove(const std::string& path) override {
    return MakeError(ErrorKind::Io, path + " is in use");
  }
};

TEST_F(FrmOptionsTest, DeleteTakesTheUsersCacheFilesAndSaysWhenTheExplorerMustRestart) {
  const fs::path local = dir / "Local";
  fs::create_directories(local / "Microsoft" / "Windows" / "Explorer");
  system.localAppData = local.string();
  WriteFile(local / "IconCache.db", "icons");
  frmOptions& f = Open();
  f.DeleteButton_Click();
  EXPECT_FALSE(fs::exists(local / "IconCache.db"));
  EXPECT_EQ(journal, Journal{"NotifyIconsChanged"})
      << "deleted and the shell told: no restart needed, no reboot notice";

  // In use, in the language of the moment the dialog loaded.
  WriteFile(local / "Microsoft" / "Windows" / "Explorer" / "iconcache_32.db", "icons");
  program.Language = 1;
  frmOptions& french = Open();
  HeldFiles held(files);
  os.files = &held;
  french.DeleteButton_Click();
  EXPECT_EQ(journal,
            Journal{"MessageBox Plumage: " + std::string(texts::options::kExplorerRestart.fr)});
  EXPECT_TRUE(fs::exists(local / "Microsoft" / "Windows" / "Explorer" / "iconcache_32.db"));
}

TEST_F(FrmOptionsTest, DeleteWithoutACacheFileShowsNothing) {
  frmOptions& f = Open();
  f.DeleteButton_Click();
  fs::create_directory(dir / "shelliconcache");
  f.DeleteButton_Click();
  EXPECT_TRUE(journal.empty());
  EXPECT_TRUE(fs::is_directory(dir / "shelliconcache"));
}

TEST_F(FrmOptionsTest, BrowseOffersTheIconFilesAndOnlyFillsTheTextBox) {
  program.DefaultLibrary = "/old.icl";
  frmOptions& f = Open();
  ui.openAnswers.push_back("/usr/share/icons/new.icl");
  f.BrowseLibButton_Click();
  ASSERT_EQ(ui.openRequests.size(), 1u);
  const OpenFileOptions& o = ui.openRequests[0];
  EXPECT_EQ(o.Filter, texts::kIconFilter.en);
  EXPECT_EQ(o.FilterIndex, 2);
  EXPECT_EQ(o.Flags, 4);
  EXPECT_EQ(o.Title, "");
  EXPECT_EQ(o.InitialDir, "");
  EXPECT_EQ(f.DefaultLib.Text, "/usr/share/icons/new.icl");
  EXPECT_TRUE(journal.empty());  // nothing written until OK

  ui.openAnswers.push_back(std::nullopt);  // cancelled
  f.BrowseLibButton_Click();
  EXPECT_EQ(f.DefaultLib.Text, "/usr/share/icons/new.icl");
  EXPECT_TRUE(ui.messages.empty());

  f.cmdOK_Click();
  EXPECT_EQ(journal, (Journal{"SetValue DefaultLibrary=/usr/share/icons/new.icl", "FormClosed"}));
}

TEST_F(FrmOptionsTest, AboutOpensOverTheDialogWhichStaysOpen) {
  frmOptions& f = Open();
  f.AboutBox_Click();
  EXPECT_EQ(ui.events, std::vector<std::string>{"show:about"});
  EXPECT_TRUE(journal.empty());
  EXPECT_FALSE(f.Unloaded());
}

TEST_F(FrmOptionsTest, AFailedSettingsWriteIsSaidAndNothingChanges) {
  // The verb key gone while the dialog is open: the store refuses every
  // value. The user is told once, and the program keeps what the store
  // keeps (so the file managers' entries are not renamed either).
  frmOptions& f = Open();
  ASSERT_EQ(registry.DeleteKeyTree(kVerbRoot, kVerbKey), platform::kErrorSuccess);
  const std::string library = program.DefaultLibrary;
  f.DefaultLib.Text = "/b.icl";
  f.NoWarningBox.Value = 1;
  f.Lang[1].Value = true;
  f.Lang[0].Value = false;
  f.cmdOK_Click();
  EXPECT_EQ(journal, (Journal{"SetWaitCursor off",
                              "MessageBox Error!: " + std::string(texts::options::kNotStored.en),
                              "FormClosed"}));
  EXPECT_EQ(program.DefaultLibrary, library);
  EXPECT_EQ(program.NoWarning, 0);
  EXPECT_EQ(program.Language, 0);
  EXPECT_EQ(registry.openKeys, 0);
}

}  // namespace
}  // namespace plumage::test
