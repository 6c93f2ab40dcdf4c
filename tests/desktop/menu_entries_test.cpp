// The folder verb in the file managers' menus: the entry files against
// their formats, install and uninstall leaving a home folder as it was, the
// caption following the language, and the user's own Thunar actions kept.
#include <gtest/gtest.h>
#include <sys/stat.h>

#include <filesystem>
#include <map>

#include "app/texts.h"
#include "platform/posix/menu_entries.h"
#include "support/run_process.h"
#include "support/temp_dir.h"

namespace plumage {
namespace {

namespace fs = std::filesystem;
using platform::MenuEntries;
using platform::MenuPlaces;

const std::string kEnglish = "C&hange icon...";
const std::string kFrench = "M&odifier l'ic\xC3\xB4ne...";

// A value of a key file (desktop entry, Nemo action): the line "key=..."
// inside [group].
std::string KeyFileValue(const std::string& text, const std::string& group,
                         const std::string& key) {
  std::string current;
  std::size_t start = 0;
  while (start < text.size()) {
    std::size_t nl = text.find('\n', start);
    if (nl == std::string::npos) nl = text.size();
    const std::string line = text.substr(start, nl - start);
    start = nl + 1;
    if (line.starts_with("["))
      current = line.substr(1, line.size() - 2);
    else if (current == group && line.starts_with(key + "="))
      return line.substr(key.size() + 1);
  }
  return "<missing>";
}

TEST(MenuCaption, AccessKeyShownTheWayEachMenuShowsIt) {
  EXPECT_EQ(platform::CaptionWithoutAccessKey(kEnglish), "Change icon...");
  EXPECT_EQ(platform::CaptionWithoutAccessKey(kFrench), "Modifier l'ic\xC3\xB4ne...");
  EXPECT_EQ(platform::CaptionWithoutAccessKey("Save && &close"), "Save & close");
  EXPECT_EQ(platform::CaptionWithUnderscoreKey(kEnglish), "C_hange icon...");
  EXPECT_EQ(platform::CaptionWithUnderscoreKey("my_dir && &go"), "my__dir & _go");
}

TEST(MenuFormats, DolphinServiceMenuIsAValidDesktopEntryThatStartsPlumageOnFolders) {
  const std::string program = "/opt/My \"odd\" $dir\\100%/plumage";
  const std::string text = platform::DolphinServiceMenu(kEnglish, program);
  EXPECT_EQ(KeyFileValue(text, "Desktop Entry", "Type"), "Service");
  EXPECT_EQ(KeyFileValue(text, "Desktop Entry", "MimeType"), "inode/directory;");
  const std::string action = KeyFileValue(text, "Desktop Entry", "Actions");
  ASSERT_EQ(action, "plumageChangeIcon;");
  const std::string group = "Desktop Action plumageChangeIcon";
  EXPECT_EQ(KeyFileValue(text, group, "Name"), kEnglish);
  EXPECT_EQ(KeyFileValue(text, group, "Icon"), "plumage");
  // Quoted as the desktop entry format quotes (\" \$ \\ inside quotes), then
  // the string type's backslashes doubled; "%%" stands for "%".
  EXPECT_EQ(KeyFileValue(text, group, "Exec"),
            R"("/opt/My \\"odd\\" \\$dir\\\\100%%/plumage" %f)");
  // Our own group names only: Dolphin takes each Actions entry as a group.
  EXPECT_EQ(text.find("[Desktop Action ", text.find("[Desktop Action ") + 1), std::string::npos);
}

TEST(MenuFormats, NemoActionAndThunarCommandSplitToThePlumagePathAndTheFolder) {
  const std::string program = "/opt/it's a \"dir\"/plumage";
  const std::string nemo = platform::NemoAction(kFrench, program);
  EXPECT_EQ(KeyFileValue(nemo, "Nemo Action", "Name"), "M_odifier l'ic\xC3\xB4ne...");
  EXPECT_EQ(KeyFileValue(nemo, "Nemo Action", "Extensions"), "dir;");
  EXPECT_EQ(KeyFileValue(nemo, "Nemo Action", "Selection"), "s");
  const std::string exec = KeyFileValue(nemo, "Nemo Action", "Exec");
  ASSERT_TRUE(exec.ends_with(" %F"));
  // GLib splits these command lines as a POSIX shell splits words.
  auto split = test::RunProcess(
      {"/bin/sh", "-c", "printf '<%s>' " + exec.substr(0, exec.size() - 3) + " 'the folder'"});
  EXPECT_EQ(split.out, "<" + program + "><the folder>");

  const std::string thunar = platform::ThunarAction(kFrench, "/opt/a&b/plumage");
  EXPECT_NE(thunar.find("<name>Modifier l&apos;ic\xC3\xB4ne...</name>"), std::string::npos);
  EXPECT_NE(thunar.find("<command>&apos;/opt/a&amp;b/plumage&apos; %f</command>"),
            std::string::npos);
  EXPECT_NE(thunar.find("<directories/>"), std::string::npos);
}

TEST(MenuFormats, NautilusScriptStartsPlumageWithTheFullPathOfTheChosenFolder) {
  test::TempDir dir;
  // A stand-in for plumage that prints its arguments, under a name that
  // needs quoting.
  const fs::path fake = dir / "pl'u m$age";
  test::WriteFile(fake, "#!/bin/sh\nfor a in \"$@\"; do printf '<%s>' \"$a\"; done\n");
  fs::permissions(fake, fs::perms::owner_all);
  const fs::path script = dir / "Change icon...";
  test::WriteFile(script, platform::NautilusScript(fake.string()));
  fs::permissions(script, fs::perms::owner_all);
  fs::create_directory(dir / "My Music");
  // GNOME Files runs it in the folder shown, with the chosen names.
  auto relative = test::RunProcess(
      {"/bin/sh", "-c", "cd \"$0\" && \"$1\" 'My Music'", dir.str(), script.string()});
  EXPECT_EQ(relative.out, "<" + (dir / "My Music").string() + ">") << relative.err;
  auto absolute = test::RunProcess({script.string(), "/srv/a b"});
  EXPECT_EQ(absolute.out, "</srv/a b>");
}

// The user's actions kept byte for byte through install, rename and
// uninstall is the transcript menus_with_package.t; here the merge itself.
TEST(ThunarActions, OneActionOfOursRenamedInPlaceAndRemovedWithoutATrace) {
  const std::string users = "<actions>\n<action><name>Other</name></action>\n</actions>\n";
  auto merged = platform::MergeThunarAction(users, platform::ThunarAction(kEnglish, "/p"));
  ASSERT_TRUE(merged);
  auto again = platform::MergeThunarAction(*merged, platform::ThunarAction(kFrench, "/p"));
  ASSERT_TRUE(again);
  EXPECT_EQ(again->find("Change icon"), std::string::npos);
  EXPECT_EQ(again->find("plumage-folder-verb"), again->rfind("plumage-folder-verb"));
  bool removed = false;
  EXPECT_EQ(platform::RemoveThunarAction(*again, removed), users);
  EXPECT_TRUE(removed);
  auto empty =
      platform::MergeThunarAction("<?xml version=\"1.0\"?>\n<actions/>\n", "<action>A</action>\n");
  ASSERT_TRUE(empty);
  EXPECT_EQ(*empty, "<?xml version=\"1.0\"?>\n<actions>\n<action>A</action>\n</actions>\n");
}

// Every file and folder under a root, with its contents and mode.
std::map<std::string, std::string> Tree(const fs::path& root) {
  std::map<std::string, std::string> tree;
  for (const auto& entry : fs::recursive_directory_iterator(root)) {
    const std::string rel = fs::relative(entry.path(), root).string();
    struct stat st {};
    lstat(entry.path().c_str(), &st);
    tree[rel] = std::to_string(st.st_mode) + ":" +
                (entry.is_regular_file() ? test::ReadFile(entry.path()) : std::string());
  }
  return tree;
}

// A home under dir/home; with the package, its Dolphin and Nemo entries in
// dir/usr/share, after an empty system data folder.
class MenuInstallTest : public ::testing::Test {
 protected:
  void InstallPackage() {
    package = true;
    const fs::path data = fs::path(PLUMAGE_SOURCE_DIR) / "data" / "menus";
    fs::create_directories(dir / "usr/share/kio/servicemenus");
    fs::create_directories(dir / "usr/share/nemo/actions");
    fs::copy_file(data / "plumage-folder-verb.desktop",
                  dir / "usr/share/kio/servicemenus/plumage-folder-verb.desktop");
    fs::copy_file(data / "plumage-folder-verb.nemo_action",
                  dir / "usr/share/nemo/actions/plumage-folder-verb.nemo_action");
    fs::create_directories(dir / "home");
  }
  MenuPlaces Places() const {
    std::vector<std::string> system;
    if (package) system = {(dir / "usr/local/share").string(), (dir / "usr/share").string()};
    return {(dir / "home/.local/share").string(), (dir / "home/.config").string(), system};
  }
  MenuEntries Menu() const {
    return MenuEntries(Places(), "/usr/bin/plumage", (dir / "manifest").string());
  }
  test::TempDir dir;
  bool package = false;
};

TEST_F(MenuInstallTest, InstallThenUninstallLeavesTheHomeFolderAsItWas) {
  // A home with some of the places already there, one with the user's own.
  fs::create_directories(dir / "home/.local/share/nautilus/scripts");
  test::WriteFile(dir / "home/.local/share/nautilus/scripts/Mine", "#!/bin/sh\n");
  fs::create_directories(dir / "home/.config/Thunar");
  test::WriteFile(
      dir / "home/.config/Thunar/uca.xml",
      "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n<actions>\n<action><name>Other</name>"
      "<unique-id>42</unique-id></action>\n</actions>\n");
  fs::create_directories(dir / "home/.local/share/kio");  // empty, the user's
  const auto before = Tree(dir / "home");

  MenuEntries menu = Menu();
  ASSERT_TRUE(menu.Install(kEnglish));
  EXPECT_EQ(menu.PresentFiles().size(), 4u);
  EXPECT_TRUE(fs::exists(Places().NautilusScripts() + "/Change icon..."));
  struct stat st {};
  ASSERT_EQ(stat(Places().DolphinFile().c_str(), &st), 0);
  EXPECT_NE(st.st_mode & S_IXUSR, 0u);  // Dolphin runs only executable service menus
  EXPECT_NE(test::ReadFile(Places().ThunarFile()).find("<name>Other</name>"), std::string::npos);
  // Installing twice changes nothing.
  const auto installed = Tree(dir / "home");
  ASSERT_TRUE(menu.Install(kEnglish));
  EXPECT_EQ(Tree(dir / "home"), installed);

  ASSERT_TRUE(menu.Uninstall());
  EXPECT_EQ(Tree(dir / "home"), before);
  EXPECT_TRUE(menu.PresentFiles().empty());
}

// Every entry renamed is the transcript menus.t; here what a rename leaves.
TEST_F(MenuInstallTest, ARenameBringsBackNoEntryTheUserRemoved) {
  MenuEntries menu = Menu();
  ASSERT_TRUE(menu.Install(kEnglish));
  fs::remove(Places().NemoFile());
  ASSERT_TRUE(menu.Rename(kFrench));
  EXPECT_FALSE(fs::exists(Places().NemoFile()));
  EXPECT_TRUE(fs::exists(Places().NautilusScripts() + "/Modifier l'ic\xC3\xB4ne..."));
  EXPECT_EQ(menu.PresentFiles().size(), 3u);

  // Nothing installed: a rename writes nothing.
  test::TempDir other;
  MenuEntries none({(other / "d").string(), (other / "c").string(), {}}, "/p",
                   (other / "m").string());
  ASSERT_TRUE(none.Rename(kFrench));
  EXPECT_TRUE(fs::is_empty(other.path()));
}

TEST_F(MenuInstallTest, AThunarFileThatIsNoActionsFileStopsInstallAndStaysAsItWas) {
  fs::create_directories(dir / "home/.config/Thunar");
  test::WriteFile(Places().ThunarFile(), "garbage");
  auto s = Menu().Install(kEnglish);
  ASSERT_FALSE(s);
  EXPECT_NE(s.error().message.find(Places().ThunarFile()), std::string::npos);
  EXPECT_EQ(test::ReadFile(Places().ThunarFile()), "garbage");
  EXPECT_TRUE(Menu().PresentFiles().empty());  // and nothing else was written
}

// The package's Dolphin and Nemo entries are the program's own entries in
// both of its languages, naming plumage on PATH: a change of the caption or
// of an entry's form must reach the shipped files too.
TEST(SystemMenuEntries, TheShippedFilesAreWhatTheProgramWritesInBothLanguages) {
  const std::string en = texts::kVerbCaption.en;
  const std::vector<platform::TranslatedCaption> fr = {{"fr", texts::kVerbCaption.fr}};
  const fs::path data = fs::path(PLUMAGE_SOURCE_DIR) / "data" / "menus";
  const std::string dolphin = test::ReadFile(data / "plumage-folder-verb.desktop");
  EXPECT_EQ(dolphin, platform::DolphinServiceMenu(en, "plumage", fr));
  EXPECT_EQ(KeyFileValue(dolphin, "Desktop Action plumageChangeIcon", "Name[fr]"), kFrench);
  const std::string nemo = test::ReadFile(data / "plumage-folder-verb.nemo_action");
  EXPECT_EQ(nemo, platform::NemoAction(en, "plumage", fr));
  EXPECT_EQ(KeyFileValue(nemo, "Nemo Action", "Name[fr]"), "M_odifier l'ic\xC3\xB4ne...");
}

// What plumagectl install does beside the package is the transcript
// menus_with_package.t; here the package's entries as the menu finds them.
TEST_F(MenuInstallTest, ThePackagesEntriesStandInForTheUsersOwnAndAreNeverTouched) {
  InstallPackage();
  const MenuPlaces p = Places();
  EXPECT_EQ(p.SystemDolphinFile(),
            (dir / "usr/share/kio/servicemenus/plumage-folder-verb.desktop").string());
  const auto system = Tree(dir / "usr");
  MenuEntries menu = Menu();
  ASSERT_TRUE(menu.Install(kFrench));
  EXPECT_EQ(menu.PresentFiles().size(), 2u);
  EXPECT_EQ(menu.SystemFiles(),
            (std::vector<std::string>{p.SystemDolphinFile(), p.SystemNemoFile()}));
  ASSERT_TRUE(menu.Rename(kEnglish));
  EXPECT_FALSE(fs::exists(p.DolphinFile()));
  EXPECT_FALSE(fs::exists(p.NemoFile()));
  ASSERT_TRUE(menu.Uninstall());
  EXPECT_EQ(Tree(dir / "usr"), system);
}

TEST_F(MenuInstallTest, TheUsersOwnDataFolderInTheSystemListIsNoSystemFolder) {
  const MenuPlaces p{
      (dir / "share").string(), (dir / "config").string(), {(dir / "share").string()}};
  MenuEntries menu(p, "/usr/bin/plumage", (dir / "manifest").string());
  ASSERT_TRUE(menu.Install(kEnglish));
  EXPECT_TRUE(p.SystemDolphinFile().empty());
  ASSERT_TRUE(menu.Install(kEnglish));  // the second time finds its own entry there
  EXPECT_TRUE(fs::exists(p.DolphinFile()));
  EXPECT_TRUE(fs::exists(p.NemoFile()));
}

TEST_F(MenuInstallTest, PerUserEntriesFromBeforeThePackageGoAtTheNextInstallOrRename) {
  ASSERT_TRUE(Menu().Install(kEnglish));  // while no package was there
  InstallPackage();
  ASSERT_TRUE(fs::exists(Places().DolphinFile()));
  ASSERT_TRUE(Menu().Rename(kFrench));
  EXPECT_FALSE(fs::exists(Places().DolphinFile()));
  EXPECT_FALSE(fs::exists(Places().NemoFile()));
  EXPECT_EQ(Menu().PresentFiles().size(), 2u);

  // Without the package again (removed), install brings them back.
  fs::remove_all(dir / "usr");
  ASSERT_TRUE(Menu().Install(kFrench));
  EXPECT_NE(test::ReadFile(Places().DolphinFile()).find("odifier l"), std::string::npos);
  EXPECT_TRUE(fs::exists(Places().NemoFile()));
}

// An edited store's caption: no line of its own in an entry, no name
// outside the scripts folder; and a fresh home is empty again afterwards.
TEST(MenuFormats, ACaptionFromAnEditedStoreCannotAddLinesOrLeaveTheScriptsFolder) {
  const std::string hostile = "Evil\nExec=rm -rf ~\\x";
  const std::string dolphin = platform::DolphinServiceMenu(hostile, "/p");
  EXPECT_EQ(KeyFileValue(dolphin, "Desktop Action plumageChangeIcon", "Exec"), "\"/p\" %f");
  EXPECT_EQ(dolphin.find("\nExec=rm"), std::string::npos);
  EXPECT_EQ(platform::NemoAction(hostile, "/p").find("\nExec=rm"), std::string::npos);
  EXPECT_EQ(platform::ThunarAction(hostile, "/p").find("\nExec=rm"), std::string::npos);

  test::TempDir dir;
  MenuEntries menu({(dir / "d").string(), (dir / "c").string(), {}}, "/p", (dir / "m").string());
  ASSERT_TRUE(menu.Install("../../x"));
  ASSERT_TRUE(menu.Rename(".."));
  EXPECT_TRUE(fs::exists(dir / "d" / "nautilus" / "scripts" / "Plumage"));
  EXPECT_FALSE(fs::exists(dir / "x"));
  ASSERT_TRUE(menu.Uninstall());
  EXPECT_FALSE(fs::exists(dir / "d"));
  EXPECT_FALSE(fs::exists(dir / "c"));
}

}  // namespace
}  // namespace plumage
