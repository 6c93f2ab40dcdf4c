// The hand-written part of plumagectl(1) (data/man/plumagectl.1.tail)
// against the program as the transcript usage.t holds it: its examples use
// only commands and options there are, and its exit statuses are the ones
// plumagectl gives. (The rest of the page is made from the help at build
// time; the package test renders it.)
#include <gtest/gtest.h>

#include <map>
#include <regex>
#include <sstream>

#include "support/temp_dir.h"

namespace plumage {
namespace {

const std::string kUsage = test::ReadFile(PLUMAGE_SOURCE_DIR "/tests/cli/transcripts/usage.t");

// What plumagectl printed for a command line, up to and with "? STATUS".
std::string Printed(const std::string& command) {
  const std::size_t begin = kUsage.find("\n$ " + command + "\n");
  if (begin == std::string::npos) return {};
  const std::size_t status = kUsage.find("\n? ", begin + 1);
  return kUsage.substr(begin + command.size() + 4, kUsage.find('\n', status + 1) - begin);
}

int Status(const std::string& command) {
  const std::string printed = Printed(command);
  EXPECT_NE(printed, "") << "usage.t has no case \"$ " << command << "\"";
  return printed.empty() ? -1 : std::stoi(printed.substr(printed.rfind("? ") + 2));
}

TEST(Manual, TheExamplesAndExitStatusesAreThePrograms) {
  std::istringstream tail(test::ReadFile(PLUMAGE_SOURCE_DIR "/data/man/plumagectl.1.tail"));
  std::string section, previous;
  std::map<std::string, int> statuses;  // the status's text, in lower case
  int examples = 0;
  for (std::string line; std::getline(tail, line); previous = line) {
    line = std::regex_replace(line, std::regex(R"(\\-)"), "-");
    if (line.starts_with(".SH ")) section = line.substr(4);
    if (section == "EXIT STATUS" && previous.starts_with(".B ") && !line.starts_with(".")) {
      std::string text = line;
      for (char& c : text) c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
      statuses[text] = std::stoi(previous.substr(3));
    }
    if (section != "EXAMPLES" || !line.starts_with(".B plumagectl ")) continue;
    ++examples;
    // The longest command with a help of its own, then its options.
    std::istringstream words(line.substr(14));
    std::string command = "plumagectl";
    for (std::string word; words >> word;) {
      if (!Printed(command + " " + word + " --help").empty()) {
        command += " " + word;
      } else if (word.starts_with("--")) {
        EXPECT_TRUE(std::regex_search(Printed(command + " --help"),
                                      std::regex(word + "([^-_A-Za-z0-9]|$)")))
            << line << ": " << word << " is no option of " << command;
      }
    }
    EXPECT_NE(command, "plumagectl") << line << ": no such command";
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
