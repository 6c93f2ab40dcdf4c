#include "help_pages.h"

#include <algorithm>
#include <cctype>

namespace plumage::tools {
namespace {

std::vector<std::string> Lines(std::string_view text) {
  std::vector<std::string> lines;
  std::size_t start = 0;
  while (start < text.size()) {
    std::size_t nl = text.find('\n', start);
    if (nl == std::string_view::npos) nl = text.size();
    std::string line(text.substr(start, nl - start));
    while (!line.empty() && (line.back() == ' ' || line.back() == '\r')) line.pop_back();
    lines.push_back(line);
    start = nl + 1;
  }
  return lines;
}

std::size_t Indent(const std::string& line) {
  return line.find_first_not_of(' ');
}

std::string Lower(std::string text) {
  for (char& c : text) c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
  return text;
}

std::string Joined(const std::vector<std::string>& words, const char* between) {
  std::string out;
  for (const std::string& w : words) {
    if (!out.empty()) out += between;
    out += w;
  }
  return out;
}

// A shell word in single quotes, for the generated script's case labels.
std::string Quoted(const std::string& text) {
  std::string out = "'";
  for (char c : text) out += c == '\'' ? std::string("'\\''") : std::string(1, c);
  return out + "'";
}

}  // namespace

HelpPage ParseHelp(std::string_view text) {
  HelpPage page;
  bool seenUsage = false;
  for (const std::string& line : Lines(text)) {
    if (line.empty()) continue;
    if (!seenUsage) {
      if (line.starts_with("Usage:")) {
        seenUsage = true;
        page.usage = line.substr(line.find_first_not_of(' ', 6));
      } else {
        page.description.push_back(line);
      }
      continue;
    }
    const std::size_t indent = Indent(line);
    if (indent == 0) {
      if (line.back() == ':' && line.find(' ') == std::string::npos) {
        page.sections.push_back({line.substr(0, line.size() - 1), {}});
      } else {
        page.footer.push_back(line);
      }
      continue;
    }
    if (page.sections.empty() || !page.footer.empty()) {
      page.footer.push_back(line.substr(indent));
      continue;
    }
    std::vector<HelpEntry>& entries = page.sections.back().entries;
    // CLI11 starts an entry two blanks in and continues a description under
    // its column; a name too long for its column puts the text on the next line.
    if (indent > 2 && !entries.empty()) {
      entries.back().text.push_back(line.substr(indent));
      continue;
    }
    // The text starts in CLI11's column 30; a name that fills its column up
    // to one blank leaves no wider gap to tell the two apart.
    constexpr std::size_t kColumn = 30;
    HelpEntry entry;
    std::size_t gap = line.find("  ", indent);
    if ((gap == std::string::npos || gap > kColumn) && line.size() > kColumn &&
        line[kColumn - 1] == ' ' && line[kColumn] != ' ')
      gap = kColumn - 1;
    entry.name = line.substr(indent, gap == std::string::npos ? gap : gap - indent);
    if (gap != std::string::npos)
      entry.text.push_back(line.substr(line.find_first_not_of(' ', gap)));
    entries.push_back(entry);
  }
  return page;
}

std::vector<std::string> Subcommands(const HelpPage& page) {
  std::vector<std::string> names;
  for (const HelpSection& section : page.sections)
    if (Lower(section.title) == "subcommands")
      for (const HelpEntry& entry : section.entries) names.push_back(entry.name);
  return names;
}

bool IsHelpEntry(const HelpEntry& entry) {
  return entry.name == "-h,--help" || entry.name == "--help" || entry.name == "-h";
}

std::string RoffText(std::string_view text, bool dashes) {
  std::string out;
  for (char c : text) {
    if (c == '\\')
      out += "\\e";
    else if (c == '-' && dashes)
      out += "\\-";
    else
      out.push_back(c);
  }
  if (!out.empty() && (out.front() == '.' || out.front() == '\'')) out.insert(0, "\\&");
  return out;
}

namespace {

std::string CommandName(const std::string& program, const HelpPage& page) {
  std::vector<std::string> words = {program};
  words.insert(words.end(), page.path.begin(), page.path.end());
  return Joined(words, " ");
}

// Entries as a tagged list: the name in bold, the text below or beside it.
void WriteEntries(std::string& out, const HelpSection& section, bool skipHelp) {
  for (const HelpEntry& entry : section.entries) {
    if (skipHelp && IsHelpEntry(entry)) continue;
    out += ".TP\n\\fB" + RoffText(entry.name, true) + "\\fR\n";
    for (const std::string& line : entry.text) out += RoffText(line) + "\n.br\n";
  }
}

void WriteParagraph(std::string& out, const std::vector<std::string>& lines) {
  if (lines.empty()) return;
  out += ".PP\n";
  for (const std::string& line : lines) out += RoffText(line) + "\n.br\n";
}

}  // namespace

std::string ManPage(const ManPageHead& head, const std::vector<HelpPage>& pages,
                    const std::string& tail) {
  std::string upper;
  for (char c : head.program)
    upper.push_back(static_cast<char>(std::toupper(static_cast<unsigned char>(c))));
  std::string out = ".\\\" Made at build time from the output of " + head.program +
                    " --help: change the program's help text, not this file.\n";
  out += ".TH " + upper + " " + head.section + " \"" + head.date + "\" \"" + head.source +
         "\" \"User Commands\"\n";
  // Option names and paths are copied from the page: no hyphenation, no
  // stretched blanks.
  out += ".nh\n.ad l\n";
  out += ".SH NAME\n" + head.program + " \\- " + RoffText(head.summary) + "\n";
  out += ".SH SYNOPSIS\n";
  for (const HelpPage& page : pages) {
    if (!page.path.empty() && !Subcommands(page).empty()) continue;  // only what runs
    out += RoffText(page.usage, true) + "\n.br\n";
  }
  if (pages.empty()) return out + tail;
  const HelpPage& top = pages.front();
  out += ".SH DESCRIPTION\n";
  WriteParagraph(out, top.description);
  WriteParagraph(out, top.footer);
  for (const HelpSection& section : top.sections) {
    const bool commands = Lower(section.title) == "subcommands";
    std::string title = commands ? "COMMANDS" : section.title;
    for (char& c : title) c = static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
    out += ".SH " + RoffText(title) + "\n";
    WriteEntries(out, section, false);
  }
  if (pages.size() > 1) out += ".SH COMMAND DETAILS\n";
  for (std::size_t i = 1; i < pages.size(); ++i) {
    const HelpPage& page = pages[i];
    out += ".SS \"" + RoffText(CommandName(head.program, page), true) + "\"\n";
    WriteParagraph(out, page.description);
    out += ".PP\nUsage: " + RoffText(page.usage, true) + "\n";
    for (const HelpSection& section : page.sections) {
      if (std::all_of(section.entries.begin(), section.entries.end(), IsHelpEntry)) continue;
      out += ".PP\n" + RoffText(section.title) + ":\n";
      WriteEntries(out, section, true);
    }
    WriteParagraph(out, page.footer);
  }
  return out + tail;
}

namespace {

struct Value {
  std::string kind;  // "words:a b", "file", "dir", "none"
};

// What an option or argument takes, from its help: "TEXT:{en,fr}" lists its
// words, a number (or an index) takes none, a folder named as the value
// takes a folder, any other text a file.
Value ValueOf(const std::string& spec, const std::vector<std::string>& text) {
  const std::size_t open = spec.find(":{");
  if (open != std::string::npos) {
    std::string inner = spec.substr(open + 2, spec.find('}', open) - open - 2);
    std::replace(inner.begin(), inner.end(), ',', ' ');
    return {"words:" + inner};
  }
  for (const char* number : {"INT", "UINT", "FLOAT", "NUMBER", "INDEX"})
    if (spec.find(number) != std::string::npos) return {"none"};
  // "The folder", "into this folder": the value is one; "a folder has no
  // icon" only speaks of one.
  const std::string name = Lower(spec);
  const std::string words = Lower(Joined(text, " "));
  if (name.find("folder") != std::string::npos || name.find("dir") != std::string::npos ||
      words.starts_with("the folder") || words.find("this folder") != std::string::npos)
    return {"dir"};
  return {"file"};
}

}  // namespace

std::string BashCompletion(const std::string& program, const std::vector<HelpPage>& pages) {
  std::string subs, opts, values, args;
  for (const HelpPage& page : pages) {
    const std::string path = Quoted(Joined(page.path, " "));
    if (!Subcommands(page).empty())
      subs += "        " + path + ") echo " + Quoted(Joined(Subcommands(page), " ")) + " ;;\n";
    std::vector<std::string> names;
    int position = 0;
    for (const HelpSection& section : page.sections) {
      if (Lower(section.title) == "subcommands") continue;
      for (const HelpEntry& entry : section.entries) {
        // "-c,--colour,--color TEXT:{...} REQUIRED": the names, then what follows.
        const std::size_t blank = entry.name.find(' ');
        const std::string head = entry.name.substr(0, blank);
        const std::string spec = blank == std::string::npos ? "" : entry.name.substr(blank + 1);
        if (!head.starts_with("-")) {
          if (Lower(section.title) != "positionals") continue;
          const Value v = ValueOf(head + " " + spec, entry.text);
          args += "        " + Quoted(Joined(page.path, " ") + "|" + std::to_string(position++)) +
                  ") echo " + Quoted(v.kind) + " ;;\n";
          continue;
        }
        std::vector<std::string> aliases;
        std::size_t start = 0;
        while (start <= head.size()) {
          std::size_t comma = head.find(',', start);
          if (comma == std::string::npos) comma = head.size();
          aliases.push_back(head.substr(start, comma - start));
          start = comma + 1;
        }
        for (const std::string& alias : aliases) {
          if (std::find(names.begin(), names.end(), alias) != names.end()) continue;
          names.push_back(alias);
          if (!spec.empty() && spec != "REQUIRED")
            values += "        " + Quoted(Joined(page.path, " ") + "|" + alias) + ") echo " +
                      Quoted(ValueOf(spec, entry.text).kind) + " ;;\n";
        }
      }
    }
    opts += "        " + path + ") echo " + Quoted(Joined(names, " ")) + " ;;\n";
  }

  const std::string f = "_" + program;
  std::string s;
  s += "# bash completion for " + program + ": made at build time from the output of " + program +
       " --help.\n";
  s += "# It needs nothing of bash-completion's own functions, so zsh can use it\n";
  s += "# through bashcompinit.\n\n";
  s += f + "_subcommands() {\n    case $1 in\n" + subs + "    esac\n}\n\n";
  s += f + "_options() {\n    case $1 in\n" + opts + "    esac\n}\n\n";
  s += f + "_value() {\n    case $1 in\n" + values + "    esac\n}\n\n";
  s += f + "_argument() {\n    case $1 in\n" + args + "    esac\n}\n\n";
  s += f + "_reply() {\n";
  s += "    local kind=$1 cur=$2 line\n";
  s += "    case $kind in\n";
  s += "        words:*) while IFS= read -r line; do COMPREPLY+=(\"$line\"); done \\\n";
  s += "                     < <(compgen -W \"${kind#words:}\" -- \"$cur\") ;;\n";
  s += "        file | dir)\n";
  s += "            compopt -o filenames 2>/dev/null\n";
  s += "            local flag=-f\n";
  s += "            [[ $kind == dir ]] && flag=-d\n";
  s += "            while IFS= read -r line; do COMPREPLY+=(\"$line\"); done \\\n";
  s += "                < <(compgen \"$flag\" -- \"$cur\") ;;\n";
  s += "    esac\n}\n\n";
  s += f + "() {\n";
  s += "    COMPREPLY=()\n";
  s += "    local cur=${COMP_WORDS[COMP_CWORD]} prev= path= word i arguments=0 kind\n";
  s += "    ((COMP_CWORD > 0)) && prev=${COMP_WORDS[COMP_CWORD - 1]}\n";
  s += "    # The command the words so far name, and how many of its arguments\n";
  s += "    # are given; an option's value is no argument.\n";
  s += "    for ((i = 1; i < COMP_CWORD; i++)); do\n";
  s += "        word=${COMP_WORDS[i]}\n";
  s += "        if ((arguments == 0)) && [[ \" $(" + f +
       "_subcommands \"$path\") \" == *\" $word \"* ]]; then\n";
  s += "            path=${path:+$path }$word\n";
  s += "        elif [[ $word == -* ]]; then\n";
  s += "            [[ $word != *=* && -n $(" + f + "_value \"$path|$word\") ]] && ((i++))\n";
  s += "        else\n";
  s += "            ((arguments++))\n";
  s += "        fi\n";
  s += "    done\n";
  s += "    if [[ $prev == -* && $prev != *=* ]]; then\n";
  s += "        kind=$(" + f + "_value \"$path|$prev\")\n";
  s += "        if [[ -n $kind ]]; then\n";
  s += "            " + f + "_reply \"$kind\" \"$cur\"\n";
  s += "            return 0\n";
  s += "        fi\n";
  s += "    fi\n";
  s += "    if [[ $cur == -* ]]; then\n";
  s += "        " + f + "_reply \"words:$(" + f + "_options \"$path\")\" \"$cur\"\n";
  s += "        return 0\n";
  s += "    fi\n";
  s += "    ((arguments == 0)) && " + f + "_reply \"words:$(" + f +
       "_subcommands \"$path\")\" \"$cur\"\n";
  s += "    kind=$(" + f + "_argument \"$path|$arguments\")\n";
  s += "    [[ -n $kind ]] && " + f + "_reply \"$kind\" \"$cur\"\n";
  s += "    return 0\n";
  s += "}\n\n";
  s += "complete -F " + f + " " + program + "\n";
  return s;
}

}  // namespace plumage::tools
