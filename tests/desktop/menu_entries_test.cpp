// The folder verb in the file managers' menus: the entry files against
// their formats. What install, rename and uninstall do to a home and to the
// user's Thunar actions, beside the package's entries or not, is the
// transcripts menus.t and menus_with_package.t.
#include <gtest/gtest.h>

#include <filesystem>

#include "app/texts.h"
#include "platform/posix/menu_entries.h"
#include "support/run_process.h"
#include "support/temp_dir.h"

namespace plumage {
namespace {

namespace fs = std::filesystem;
using platform::MenuEntries;

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

// An edited store's caption: no line of its own in an entry, no name
// outside the scripts folder; a rename with nothing installed writes
// nothing, and a fresh home is empty again afterwards.
TEST(MenuFormats, ACaptionFromAnEditedStoreCannotAddLinesOrLeaveTheScriptsFolder) {
  const std::string hostile = "Evil\nExec=rm -rf ~\\x";
  const std::string dolphin = platform::DolphinServiceMenu(hostile, "/p");
  EXPECT_EQ(KeyFileValue(dolphin, "Desktop Action plumageChangeIcon", "Exec"), "\"/p\" %f");
  EXPECT_EQ(dolphin.find("\nExec=rm"), std::string::npos);
  EXPECT_EQ(platform::NemoAction(hostile, "/p").find("\nExec=rm"), std::string::npos);
  EXPECT_EQ(platform::ThunarAction(hostile, "/p").find("\nExec=rm"), std::string::npos);

  test::TempDir dir;
  MenuEntries menu({(dir / "d").string(), (dir / "c").string(), {}}, "/p", (dir / "m").string());
  ASSERT_TRUE(menu.Rename(".."));
  EXPECT_TRUE(fs::is_empty(dir.path()));
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
