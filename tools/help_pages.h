// plumagectl's manual page and bash completion are made from its own --help
// output at build time, so that they cannot drift from the program. This is
// the reading of that output (CLI11's layout) and the writing of the two.
#pragma once

#include <string>
#include <string_view>
#include <vector>

namespace plumage::tools {

// One line of a help section: "  --language TEXT:{en,fr}   Language of ...".
struct HelpEntry {
  std::string name;               // the left column: "--language TEXT:{en,fr}"
  std::vector<std::string> text;  // the right column, one element a line
};

struct HelpSection {
  std::string title;  // "OPTIONS", "POSITIONALS", "SUBCOMMANDS" (without the colon)
  std::vector<HelpEntry> entries;
};

struct HelpPage {
  std::vector<std::string> path;         // {"image", "save"}; empty for the program itself
  std::vector<std::string> description;  // the lines before "Usage:"
  std::string usage;                     // after "Usage: "
  std::vector<HelpSection> sections;
  std::vector<std::string> footer;  // lines after the sections, not indented
};

HelpPage ParseHelp(std::string_view text);

// The subcommands a page lists, in its order.
std::vector<std::string> Subcommands(const HelpPage& page);
// The entry that every command has (-h,--help), left out of the commands' own
// parts of the manual page since the program's options name it once.
bool IsHelpEntry(const HelpEntry& entry);

// Text for a roff line: backslashes escaped, a leading control character
// made harmless. `dashes` writes "-" as the minus sign "\-", for option names
// that are typed as written.
std::string RoffText(std::string_view text, bool dashes = false);

struct ManPageHead {
  std::string program;  // "plumagectl"
  std::string section;  // "1"
  std::string date;     // "December 2026"
  std::string source;   // "Plumage 1.0.96"
  std::string summary;  // the NAME line after "plumagectl \-"
};

// The whole page: the generated parts from `pages` (the program's own first,
// then each command depth-first) and `tail`, hand-written roff (FILES,
// ENVIRONMENT, EXIT STATUS, EXAMPLES...) put after them as it is.
std::string ManPage(const ManPageHead& head, const std::vector<HelpPage>& pages,
                    const std::string& tail);

// A bash completion script for the same commands: subcommands, options, the
// values an option takes ({a,b} lists as words, a number nothing, other
// text a file name, or a folder where the help names the value a folder).
std::string BashCompletion(const std::string& program, const std::vector<HelpPage>& pages);

}  // namespace plumage::tools
