// plumagectl(1) against plumagectl --help (as the transcript usage.t holds
// it): every line of every command's help is in that command's part of the
// page as man shows it, the page has no command the program lacks, and its
// hand-written examples and exit statuses are the program's. The page is the
// one the build made.
#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <map>
#include <regex>
#include <set>
#include <sstream>

#include "support/run_process.h"
#include "support/temp_dir.h"

namespace plumage {
namespace {

std::vector<std::string> Lines(const std::string& text) {
  std::vector<std::string> lines;
  std::istringstream in(text);
  for (std::string line; std::getline(in, line);) lines.push_back(line);
  return lines;
}

std::string Trimmed(const std::string& text) {
  const std::size_t begin = text.find_first_not_of(' ');
  if (begin == std::string::npos) return {};
  return text.substr(begin, text.find_last_not_of(' ') - begin + 1);
}

// Blanks and line breaks as one blank; the dashes and quotes that man may
// print for "-" and "'" as those.
std::string Flat(std::string text) {
  for (const auto& [from, to] : {std::pair<std::string, std::string>{"\xE2\x88\x92", "-"},
                                 {"\xE2\x80\x90", "-"},
                                 {"\xE2\x80\x99", "'"}})
    for (std::size_t at = 0; (at = text.find(from, at)) != std::string::npos;)
      text.replace(at, from.size(), to);
  std::istringstream words(text);
  std::string out;
  for (std::string word; words >> word;) out += (out.empty() ? "" : " ") + word;
  return out;
}

class ManualTest : public ::testing::Test {
 protected:
  // What plumagectl prints for a command line, "? STATUS" last, as the
  // transcript tests/cli/transcripts/usage.t holds it (and its test holds
  // the program to it).
  static std::string Printed(const std::string& command) {
    const std::string usage = test::ReadFile(PLUMAGE_SOURCE_DIR "/tests/cli/transcripts/usage.t");
    const std::size_t begin = usage.find("\n$ " + command + "\n");
    if (begin == std::string::npos) ADD_FAILURE() << "usage.t has no case \"$ " << command << "\"";
    if (begin == std::string::npos) return "? -1\n";
    const std::size_t status = usage.find("\n? ", begin + command.size() + 3);
    return usage.substr(begin + command.size() + 4,
                        usage.find('\n', status + 1) - begin - command.size() - 3);
  }
  static int Status(const std::string& command) {
    const std::string printed = Printed(command);
    return std::stoi(printed.substr(printed.rfind("? ") + 2));
  }
  static std::string Help(const std::vector<std::string>& path) {
    const std::string printed = Printed(Name(path) + " --help");
    EXPECT_TRUE(printed.ends_with("\n? 0\n")) << Name(path);
    return printed.substr(0, printed.rfind("? "));
  }
  static std::vector<std::string> SubcommandsIn(const std::string& help) {
    std::vector<std::string> names;
    bool inList = false;
    for (const std::string& line : Lines(help)) {
      if (!line.empty() && line[0] != ' ') {
        std::string lower = line;
        std::transform(lower.begin(), lower.end(), lower.begin(), ::tolower);
        inList = lower == "subcommands:";
      } else if (inList && line.starts_with("  ") && line[2] != ' ') {
        names.push_back(line.substr(2, line.find(' ', 2) - 2));
      }
    }
    return names;
  }
  // Every command, as the words after "plumagectl", with its help.
  static std::map<std::vector<std::string>, std::string> Commands() {
    std::map<std::vector<std::string>, std::string> all;
    std::vector<std::vector<std::string>> pending = {{}};
    while (!pending.empty()) {
      const std::vector<std::string> path = pending.back();
      pending.pop_back();
      all[path] = Help(path);
      for (const std::string& sub : SubcommandsIn(all[path])) {
        std::vector<std::string> deeper = path;
        deeper.push_back(sub);
        pending.push_back(deeper);
      }
    }
    return all;
  }
  // The page as man prints it, wide enough that no line of the help wraps.
  std::string Rendered() const {
    auto run = test::RunProcess(
        {"/usr/bin/man", "--warnings", "-l", std::string(PLUMAGE_MAN_DIR) + "/plumagectl.1"},
        {"LC_ALL=C.UTF-8", "MANWIDTH=250"});
    EXPECT_EQ(run.exitCode, 0) << run.err;
    EXPECT_EQ(run.err, "");  // groff's warnings: a line the page does not mean
    return run.out;
  }
  static std::string Name(const std::vector<std::string>& path) {
    std::string name = "plumagectl";
    for (const std::string& word : path) name += " " + word;
    return name;
  }
};

// The parts of the rendered page: "" for what comes before the commands'
// details, else a command's name for its subsection (up to the next one).
std::map<std::string, std::string> Parts(const std::string& rendered,
                                         const std::set<std::string>& names) {
  std::map<std::string, std::string> parts;
  std::string current;
  bool details = false;
  for (const std::string& line : Lines(rendered)) {
    const std::string trimmed = Trimmed(line);
    if (line == "COMMAND DETAILS") {
      details = true;
      continue;
    }
    if (details && !line.empty() && line[0] != ' ') details = false, current = "#after";
    if (details && (names.count(trimmed) || trimmed.starts_with("plumagectl ")) &&
        line.starts_with("   ") && !line.starts_with("       ")) {
      current = trimmed;
      parts[current];
      continue;
    }
    parts[current] += line + "\n";
  }
  return parts;
}

// An option name in a help text as a whole name: "--lang" is not "--language".
bool HasOption(const std::string& help, const std::string& option) {
  return std::regex_search(help, std::regex(option + "([^-_A-Za-z0-9]|$)"));
}

TEST_F(ManualTest, EveryLineOfEveryCommandsHelpIsInItsPartOfThePage) {
  const auto commands = Commands();
  ASSERT_GT(commands.size(), 5u);
  std::set<std::string> names;
  for (const auto& [path, help] : commands)
    if (!path.empty()) names.insert(Name(path));
  const auto parts = Parts(Rendered(), names);

  // No subsection for a command the program lacks, none missing.
  std::set<std::string> subsections;
  for (const auto& [name, text] : parts)
    if (name.starts_with("plumagectl")) subsections.insert(name);
  EXPECT_EQ(subsections, names);

  for (const auto& [path, help] : commands) {
    const std::string part =
        Flat(parts.count(path.empty() ? "" : Name(path)) ? parts.at(path.empty() ? "" : Name(path))
                                                         : std::string());
    for (std::string line : Lines(help)) {
      if (line.empty() || (line[0] != ' ' && line.back() == ':')) continue;  // a heading
      if (!path.empty() && Trimmed(line).starts_with("-h,--help")) continue;
      if (path.empty() && line.starts_with("Usage: ")) line = line.substr(7);  // the synopsis
      EXPECT_NE(part.find(Flat(line)), std::string::npos)
          << "plumagectl(1) lacks, under " << Name(path) << ":\n"
          << line;
    }
  }
}

// The hand-written part: the examples use only commands and options there
// are, and the exit status for a usage error is the one the program gives.
TEST_F(ManualTest, TheExamplesAndExitStatusesAreThePrograms) {
  const auto commands = Commands();
  const std::string rendered = Rendered();
  const auto parts = Parts(rendered, {});
  const std::string after = parts.count("#after") ? parts.at("#after") : rendered;

  std::string section;
  int examples = 0;
  std::map<std::string, int> statuses;
  for (const std::string& line : Lines(after)) {
    if (!line.empty() && line[0] != ' ') {
      section = line;
      continue;
    }
    const std::string trimmed = Trimmed(line);
    if (section == "EXAMPLES" && trimmed.starts_with("plumagectl ")) {
      ++examples;
      std::istringstream words(trimmed.substr(11));
      std::vector<std::string> path;
      for (std::string word; words >> word;) {
        std::vector<std::string> deeper = path;
        deeper.push_back(word);
        if (commands.count(deeper)) {
          path = deeper;
        } else if (word.starts_with("--")) {
          EXPECT_TRUE(HasOption(commands.at(path), word))
              << trimmed << ": " << word << " is no option of " << Name(path);
        }
      }
      EXPECT_FALSE(path.empty()) << trimmed << ": no such command";
    }
    if (section == "EXIT STATUS" && trimmed.size() > 2 && std::isdigit(trimmed[0]) &&
        trimmed[1] == ' ') {
      std::string text = Trimmed(trimmed.substr(1));
      std::transform(text.begin(), text.end(), text.begin(), ::tolower);
      statuses[text] = trimmed[0] - '0';
    }
  }
  EXPECT_GE(examples, 3);

  auto statusFor = [&](const std::string& words) {
    for (const auto& [text, code] : statuses)
      if (text.find(words) != std::string::npos) return code;
    ADD_FAILURE() << "the EXIT STATUS section says nothing of \"" << words << "\"";
    return -1;
  };
  EXPECT_EQ(Status("plumagectl --no-such-option"), statusFor("usage error"));
  EXPECT_EQ(Status("plumagectl set"), statusFor("usage error"));
  EXPECT_EQ(Status("plumagectl --version"), statusFor("done."));
  EXPECT_EQ(Status("plumagectl image gray missing.bmp grey.bmp"), statusFor("an error"));
}

}  // namespace
}  // namespace plumage
