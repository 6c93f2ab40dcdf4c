// The settings dialog and the about box as forms: what each sequence of a
// user's changes writes, shows and leaves, in the journal of the registry,
// the shell and the user interface.
#include <gtest/gtest.h>

#include <functional>
#include <regex>

#include "app/texts.h"
#include "dialogs/frm_about.h"
#include "dialogs/frm_options.h"
#include "support/form_bench.h"

namespace plumage::test {
namespace {

namespace fs = std::filesystem;
namespace t = texts::options;

const std::string kReboot = std::string("MessageBox Plumage: ") + t::kReboot.en;

// The real files, except that nothing can be deleted: the Explorer holds
// its cache files open while it runs.
class HeldFiles : public ForwardingFiles {
 public:
  using ForwardingFiles::ForwardingFiles;
  Status Remove(const std::string& path) override { return MakeError(ErrorKind::Io, path); }
};

std::string Stored(FormBench& b, std::uint32_t root, const char* key, const char* name) {
  const auto value = b.tp.registry.Stored(root, key, name);
  return value ? CleanRegistryText(*value) : "-";
}

// What the program and the store hold after the dialog, where it differs
// from a run with nothing stored, and whether the dialog is still open.
std::string State(FormBench& b, const frmOptions& f) {
  const Program& p = b.program;
  const std::pair<std::string, std::string> shown[] = {
      {"language", p.Language ? std::to_string(p.Language) : ""}, {"library", p.DefaultLibrary},
      {"reminder off", p.NoWarning ? std::to_string(p.NoWarning) : ""},
      {"help", fs::path(p.HelpFile).filename().string()},
      {"keep", Stored(b, kVerbRoot, kVerbKey, kKeepIconInsideValue)},
      {"BPP", Stored(b, kWindowMetricsRoot, kWindowMetricsKey, kShellIconBppValue)},
      {"cache", Stored(b, kExplorerRoot, kExplorerKey, kMaxCachedIconsValue)},
      {"size", Stored(b, kWindowMetricsRoot, kWindowMetricsKey, kShellIconSizeValue)}};
  std::string state = f.Unloaded() ? "closed" : "open";
  for (const auto& [name, value] : shown)
    if (!value.empty() && value != "-") state += ", " + name + " " + value;
  return state;
}

void ChangeEverything(frmOptions& f) {
  f.Colors.Value = 1 - f.Colors.Value;
  f.CacheSize.ListIndex = f.CacheSize.ListIndex == 4 ? 0 : 4;
  f.DefaultLib.Text += "x";
  f.NoWarningBox.Value = 1 - f.NoWarningBox.Value;
  f.KeepInsideBox.Value = 1 - f.KeepInsideBox.Value;
  std::swap(f.Lang[0].Value, f.Lang[1].Value);
}

void WriteCache(FormBench& b, std::uint32_t root, const char* key, const char* name, const char* text) {
  b.tp.registry.SetString(root, key, name, text);
}

struct OptionsCase {
  const char* what;
  std::function<void(FormBench&)> before;  // the stored state the dialog loads
  std::function<void(FormBench&, frmOptions&)> act;
  bool ok;  // OK afterwards
  Journal journal;
  std::string state;
};

const std::string kNothing = "closed";

const OptionsCase kOptionsCases[] = {
    {"nothing changed", {}, {}, true, {}, kNothing},
    {"nothing changed, every value stored",
     [](FormBench& b) {
       b.program.Language = 1;
       b.program.DefaultLibrary = "/usr/share/icons/Lib.icl";
       b.program.NoWarning = 1;
       b.Verb(kKeepIconInsideValue, " 0");
       WriteCache(b, kWindowMetricsRoot, kWindowMetricsKey, kShellIconBppValue, "32");
       WriteCache(b, kExplorerRoot, kExplorerKey, kMaxCachedIconsValue, "1000");
     },
     {}, true, {},
     "closed, language 1, library /usr/share/icons/Lib.icl, reminder off 1, keep  0, BPP 32, cache 1000"},
    {"cancel after changing everything", {}, [](FormBench&, frmOptions& f) {
       ChangeEverything(f);
       f.cmdCancel_Click();
     }, false, {}, kNothing},
    {"every control changed: written in its order",
     [](FormBench& b) { b.program.DefaultLibrary = "/a.icl"; },
     [](FormBench&, frmOptions& f) { ChangeEverything(f); }, true,
     {"SetValue Shell Icon BPP=16", "SetWaitCursor off", kReboot, "SetValue Max Cached Icons=2000",
      "SetValue DefaultLibrary=/a.iclx", "SetValue NoWarning= 1", "SetValue KeepIconInside= 0",
      "SetValue =M&odifier l'ic\xF4ne..."},  // the ANSI code page: ô is one byte
     "closed, language 1, library /a.iclx, reminder off 1, help HLPFR.HLP, keep  0, BPP 16, cache 2000"},
    {"fewer colours, the reminder back on, the library's letter case",
     [](FormBench& b) {
       WriteCache(b, kWindowMetricsRoot, kWindowMetricsKey, kShellIconBppValue, "16");
       b.program.NoWarning = 1;
       b.program.DefaultLibrary = "/home/ann/Icons/Tools.icl";
     },
     [](FormBench&, frmOptions& f) {
       f.Colors.Value = 0;
       f.NoWarningBox.Value = 0;
       f.DefaultLib.Text = "/home/ann/icons/Tools.icl";
     },
     true,
     {"SetValue Shell Icon BPP=4", "SetWaitCursor off", kReboot,
      "SetValue DefaultLibrary=/home/ann/icons/Tools.icl", "SetValue NoWarning= 0"},
     "closed, library /home/ann/icons/Tools.icl, BPP 4"},
    {"an emptied library is stored empty", [](FormBench& b) { b.program.DefaultLibrary = "/x"; },
     [](FormBench&, frmOptions& f) { f.DefaultLib.Text.clear(); }, true,
     {"SetValue DefaultLibrary="}, kNothing},
    {"a cache size outside the steps stays",
     [](FormBench& b) { WriteCache(b, kExplorerRoot, kExplorerKey, kMaxCachedIconsValue, "4096"); },
     {}, true, {},
     "closed, cache 4096"},
    {"... until an entry is picked",
     [](FormBench& b) { WriteCache(b, kExplorerRoot, kExplorerKey, kMaxCachedIconsValue, "4096"); },
     [](FormBench&, frmOptions& f) { f.CacheSize.ListIndex = 0; }, true,
     {"SetValue Max Cached Icons=100"},
     "closed, cache 100"},
    {"the loaded entry picked again is no change",
     [](FormBench& b) { WriteCache(b, kExplorerRoot, kExplorerKey, kMaxCachedIconsValue, "750"); },
     [](FormBench&, frmOptions& f) {
       f.CacheSize.ListIndex = 3;
       f.CacheSize.ListIndex = 2;
     },
     true, {},
     "closed, cache 750"},
    {"the French dialog keeps its own notice when English is chosen",
     [](FormBench& b) { b.program.Language = 1; },
     [](FormBench&, frmOptions& f) {
       f.Colors.Value = 1;
       f.Lang[0].Value = true;
       f.Lang[1].Value = false;
     },
     true,
     {"SetValue Shell Icon BPP=16", "SetWaitCursor off",
      std::string("MessageBox Plumage: ") + t::kReboot.fr, "SetValue =C&hange icon..."},
     "closed, help HLPEN.HLP, BPP 16"},
    {"a store that refuses every value: told once, nothing changes", {},
     [](FormBench& b, frmOptions& f) {
       b.tp.registry.DeleteKeyTree(kVerbRoot, kVerbKey);
       f.DefaultLib.Text = "/b.icl";
       f.NoWarningBox.Value = 1;
       f.KeepInsideBox.Value = 0;
       std::swap(f.Lang[0].Value, f.Lang[1].Value);
     },
     true, {"SetWaitCursor off", std::string("MessageBox Error!: ") + t::kNotStored.en}, kNothing},
    {"Rebuild writes the picked size first; Cancel does not undo it", {},
     [](FormBench&, frmOptions& f) {
       f.CacheSize.ListIndex = 4;
       f.RebuildButton_Click();
       f.cmdCancel_Click();
     },
     false,
     {"SetWaitCursor on", "SetValue Max Cached Icons=2000", "SetValue Shell Icon Size=31",
      "BroadcastSettingChange", "SetValue Shell Icon Size=32", "BroadcastSettingChange",
      "NotifyIconsChanged", "SetWaitCursor off"},
     "closed, cache 2000, size 32"},
    {"OK after Rebuild writes the size once more", {},
     [](FormBench& b, frmOptions& f) {
       f.CacheSize.ListIndex = 3;
       f.RebuildButton_Click();
       b.journal.clear();
     },
     true, {"SetValue Max Cached Icons=1500"},
     "closed, cache 1500, size 32"},
    {"Rebuild without a new size only steps the icon size",
     [](FormBench& b) {
       WriteCache(b, kExplorerRoot, kExplorerKey, kMaxCachedIconsValue, "750");
       WriteCache(b, kWindowMetricsRoot, kWindowMetricsKey, kShellIconSizeValue, "48");
     },
     [](FormBench&, frmOptions& f) { f.RebuildButton_Click(); }, false,
     {"SetWaitCursor on", "SetValue Shell Icon Size=47", "BroadcastSettingChange",
      "SetValue Shell Icon Size=48", "BroadcastSettingChange", "NotifyIconsChanged",
      "SetWaitCursor off"},
     "open, cache 750, size 48"},
    {"Delete finds the system's cache: the reboot notice",
     [](FormBench& b) { WriteFile(b.home / "shelliconcache", "icons"); },
     [](FormBench&, frmOptions& f) { f.DeleteButton_Click(); }, false, {kReboot},
     "open"},
    {"Delete takes the user's cache files: the shell told, no notice",
     [](FormBench& b) {
       b.tp.system.localAppData = b.dir.str();
       WriteFile(b.dir / "IconCache.db", "icons");
     },
     [](FormBench&, frmOptions& f) { f.DeleteButton_Click(); }, false, {"NotifyIconsChanged"},
     "open"},
    {"Delete of files the Explorer holds: restart, in the language of the load",
     [](FormBench& b) {
       b.program.Language = 1;
       b.tp.system.localAppData = b.dir.str();
       WriteFile(b.dir / "IconCache.db", "icons");
     },
     [](FormBench& b, frmOptions& f) {
       b.program.Language = 0;
       HeldFiles held(b.tp.files);
       b.tp.os.files = &held;
       f.DeleteButton_Click();
       b.tp.os.files = &b.tp.files;
     },
     false, {std::string("MessageBox Plumage: ") + t::kExplorerRestart.fr},
     "open"},
    {"Browse fills the library box only; OK writes it", {},
     [](FormBench& b, frmOptions& f) {
       b.ui.openAnswers = {"/usr/share/icons/new.icl", std::nullopt};
       f.BrowseLibButton_Click();
       f.BrowseLibButton_Click();  // cancelled: the box keeps the first answer
       const OpenFileOptions& o = b.ui.openRequests.at(0);
       EXPECT_EQ(std::tuple(o.Filter, o.FilterIndex, o.Flags, o.Title, o.InitialDir),
                 std::tuple(std::string(texts::kIconFilter.en), 2, 4, "", ""));
       EXPECT_TRUE(b.journal.empty());
     },
     true, {"SetValue DefaultLibrary=/usr/share/icons/new.icl"},
     "closed, library /usr/share/icons/new.icl"},
};

TEST(FrmOptions, WritesShowsAndLeavesWhatEachSequenceCallsFor) {
  for (const OptionsCase& c : kOptionsCases) {
    SCOPED_TRACE(c.what);
    FormBench b;
    if (c.before) c.before(b);
    frmOptions f(b.program, b.ui);
    f.Form_Load();
    b.journal.clear();
    if (c.act) c.act(b, f);
    if (c.ok) f.cmdOK_Click();
    EXPECT_EQ(b.journal, c.journal);
    EXPECT_EQ(State(b, f), c.state);
    EXPECT_EQ(b.tp.registry.openHandles(), 0);
  }
}

// The French load translates every text but the shared ones: the names of
// the languages, "Options:" and OK; the about box's name, version and link.
TEST(FrenchLoad, EachDialogTranslatesAllButItsSharedTexts) {
  auto pattern = [](const std::vector<std::string>& en, const std::vector<std::string>& fr) {
    std::string same;
    for (std::size_t i = 0; i < en.size(); ++i) same += en[i] == fr[i] ? '=' : 'x';
    return same;
  };
  auto options = [](std::int16_t language) {
    FormBench b;
    b.program.Language = language;
    frmOptions o(b.program, b.ui);
    o.Form_Load();
    return std::vector<std::string>{
        o.Caption, o.Frame1.Caption, o.Label3.Caption, o.BrowseLibButton.Caption,
        o.Label4.Caption, o.NoWarningBox.Caption, o.KeepInsideBox.Caption, o.Frame2.Caption,
        o.Lang[0].Caption, o.Lang[1].Caption, o.Frame3.Caption, o.Label5.Caption,
        o.Colors.Caption, o.RebuildButton.Caption, o.DeleteButton.Caption, o.cmdOK.Caption,
        o.cmdCancel.Caption, o.AboutBox.Caption, o.CacheSize.Items.at(1), o.FileFilter,
        o.RebootMessage, o.NotStoredMessage, o.ErrorTitle, o.ExplorerRestartMessage};
  };
  auto about = [](std::int16_t language) {
    FormBench b;
    b.program.Language = language;
    frmAbout a(b.program);
    a.Form_Load();
    return std::vector<std::string>{a.Caption, a.lblTitle.Caption, a.lblVersion.Caption,
                                    a.lblDescription.Caption, a.Label1.Caption, a.Label4.Caption,
                                    a.Label5[0].Caption, a.cmdOK.Caption};
  };
  EXPECT_EQ(pattern(options(0), options(1)), "x=xxxxxx==xxxxx=xxxxxxxx");
  EXPECT_EQ(pattern(about(0), about(1)), "x==xx===");
}

TEST(FrmAbout, TheVersionIsTheProjectsWithoutLeadingZeros) {
  const std::string cmake = ReadFile(std::string(PLUMAGE_SOURCE_DIR) + "/CMakeLists.txt");
  std::smatch m;
  ASSERT_TRUE(std::regex_search(cmake, m, std::regex(R"(project\(Plumage VERSION (\d+)\.(\d+)\.(\d+))")));
  EXPECT_EQ(VersionText(), "Version " + std::to_string(std::stoi(m[1])) + "." +
                               std::to_string(std::stoi(m[2])) + "." + std::to_string(std::stoi(m[3])));
}

TEST(FrmAbout, TheLinkOpensWhatItShowsAndAFailureIsToldInTheLanguageOfTheLoad) {
  FormBench b;
  b.program.Language = 1;
  frmAbout a(b.program, b.ui);
  a.Form_Load();
  b.program.Language = 0;  // changed since: the box keeps its own
  a.Label5[0].Caption = "https://example.net/elsewhere";
  a.Label5_Click(1);  // no such label
  a.Label5_Click(-1);
  a.Label5_Click(0);
  b.tp.shell.openSucceeds = false;
  a.Label5_Click(0);
  EXPECT_FALSE(a.Unloaded());
  a.cmdOK_Click();
  EXPECT_TRUE(a.Unloaded());
  EXPECT_EQ(b.journal, (Journal{"OpenDocument https://example.net/elsewhere",
                                "OpenDocument https://example.net/elsewhere",
                                "MessageBox Erreur!: Aucun navigateur web n'a pu ouvrir "
                                "https://example.net/elsewhere"}));
}

}  // namespace
}  // namespace plumage::test
