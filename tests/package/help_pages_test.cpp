// The reading of CLI11's help and the page and completion made from it, on
// help texts shaped as the program's could become: a name too long for its
// column, one that fills it to a single blank, a footer, and text that roff
// would otherwise take for its own (a leading dot or quote, backslashes).
#include "help_pages.h"

#include <gtest/gtest.h>

#include "support/run_process.h"
#include "support/temp_dir.h"

namespace plumage {
namespace {

using tools::HelpPage;

const char* const kHelp =
    "Make a new folder icon\n"
    "Usage: plumagectl make-icon [OPTIONS] FILE\n"
    "\n"
    "Positionals:\n"
    "  FILE TEXT REQUIRED          The file holding the icon\n"
    "\n"
    "Options:\n"
    "  -h,--help                   Print this help message and exit\n"
    "  --colour,--color TEXT:{yellow,red} REQUIRED\n"
    "                              The folder's colour\n"
    "  --name TEXT Excludes: --out Save as NAME.ico in the program folder\n"
    "  --apply TEXT                Then give this folder the new icon\n"
    "  --width INT                 New width\n"
    "                              in pixels\n"
    "\n"
    ".ico files only; 'quoted' first\n"
    "Key: HKEY_CLASSES_ROOT\\Folder\\shell\n";

TEST(HelpPages, CliElevensColumnsAndFooterAreRead) {
  const HelpPage page = tools::ParseHelp(kHelp);
  EXPECT_EQ(page.description, std::vector<std::string>{"Make a new folder icon"});
  EXPECT_EQ(page.usage, "plumagectl make-icon [OPTIONS] FILE");
  ASSERT_EQ(page.sections.size(), 2u);
  EXPECT_EQ(page.sections[0].title, "Positionals");
  const auto& options = page.sections[1].entries;
  ASSERT_EQ(options.size(), 5u);
  EXPECT_TRUE(tools::IsHelpEntry(options[0]));
  EXPECT_EQ(options[1].name, "--colour,--color TEXT:{yellow,red} REQUIRED");
  EXPECT_EQ(options[1].text, std::vector<std::string>{"The folder's colour"});
  EXPECT_EQ(options[2].name, "--name TEXT Excludes: --out");
  EXPECT_EQ(options[2].text, std::vector<std::string>{"Save as NAME.ico in the program folder"});
  EXPECT_EQ(options[4].text, (std::vector<std::string>{"New width", "in pixels"}));
  EXPECT_EQ(page.footer, (std::vector<std::string>{".ico files only; 'quoted' first",
                                                   "Key: HKEY_CLASSES_ROOT\\Folder\\shell"}));
}

// The page shows every character of the help as it is; the completion
// offers what each value is.
TEST(HelpPages, ThePageAndTheCompletionFromAProgramAndACommand) {
  HelpPage top = tools::ParseHelp(
      "Tool\nUsage: plumagectl [OPTIONS] SUBCOMMAND\n\nSubcommands:\n"
      "  make-icon                   Make a new folder icon\n");
  HelpPage sub = tools::ParseHelp(kHelp);
  sub.path = {"make-icon"};
  const std::string page = tools::ManPage({"plumagectl", "1", "May 2026", "Plumage 1", "a tool"},
                                          {top, sub}, ".SH SEE ALSO\nplumage(1)\n");
  test::TempDir dir;
  test::WriteFile(dir / "plumagectl.1", page);
  auto run = test::RunProcess({"/usr/bin/groff", "-man", "-Tascii", "-ww", "-rLL=200n", "-P-cbou",
                               (dir / "plumagectl.1").string()});
  ASSERT_EQ(run.exitCode, 0) << run.err;
  EXPECT_EQ(run.err, "");
  for (const char* shown :
       {".ico files only; 'quoted' first", "Key: HKEY_CLASSES_ROOT\\Folder\\shell",
        "--colour,--color TEXT:{yellow,red} REQUIRED", "Usage: plumagectl make-icon [OPTIONS] FILE",
        "plumagectl make-icon [OPTIONS] FILE", "SEE ALSO"})
    EXPECT_NE(run.out.find(shown), std::string::npos) << shown << "\n" << run.out;
  // The help entry is named once, in the program's own options, not per command.
  EXPECT_EQ(run.out.find("Print this help message"), std::string::npos);

  const std::string script = tools::BashCompletion("plumagectl", {top, sub});
  for (const char* line :
       {"'make-icon|--colour') echo 'words:yellow red' ;;",
        "'make-icon|--color') echo 'words:yellow red' ;;", "'make-icon|--apply') echo 'dir' ;;",
        "'make-icon|--name') echo 'file' ;;", "'make-icon|--width') echo 'none' ;;",
        "'make-icon|0') echo 'file' ;;", "'') echo 'make-icon' ;;",
        "complete -F _plumagectl plumagectl"})
    EXPECT_NE(script.find(line), std::string::npos) << line;
  // A flag takes no value: the word after it is the next argument.
  EXPECT_EQ(script.find("'make-icon|-h')"), std::string::npos);
  auto syntax = test::RunProcess({"/bin/bash", "-n", "-c", script});
  EXPECT_EQ(syntax.exitCode, 0) << syntax.err;
}

}  // namespace
}  // namespace plumage
