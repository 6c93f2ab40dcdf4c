// Makes a program's manual page and bash completion from its own --help, as
// the build runs it: the program itself, then every subcommand it lists,
// depth-first. Run at build time, so that the page and the completion say
// what the program that is installed with them says.
//
// Usage: help_to_man PROGRAM NAME SECTION DATE SOURCE SUMMARY TAIL MANPAGE COMPLETION
//   PROGRAM     the program to run (started directly, with no shell)
//   NAME        its name in the page ("plumagectl")
//   TAIL        hand-written roff put after the generated part
//   MANPAGE, COMPLETION   the files to write
#include <sys/wait.h>
#include <unistd.h>

#include <cstdio>
#include <fstream>
#include <iostream>
#include <sstream>
#include <string>
#include <vector>

#include "help_pages.h"

namespace {

// The program's standard output; false when it could not be run or failed.
bool Run(const std::string& program, const std::vector<std::string>& argv, std::string& out) {
  int pipeEnds[2];
  if (pipe(pipeEnds) != 0) return false;
  const pid_t pid = fork();
  if (pid < 0) return false;
  if (pid == 0) {
    dup2(pipeEnds[1], 1);
    close(pipeEnds[0]);
    close(pipeEnds[1]);
    std::vector<char*> args;
    for (const std::string& a : argv) args.push_back(const_cast<char*>(a.c_str()));
    args.push_back(nullptr);
    execv(program.c_str(), args.data());
    _exit(127);
  }
  close(pipeEnds[1]);
  char buffer[4096];
  ssize_t n = 0;
  while ((n = read(pipeEnds[0], buffer, sizeof buffer)) > 0)
    out.append(buffer, static_cast<std::size_t>(n));
  close(pipeEnds[0]);
  int status = 0;
  waitpid(pid, &status, 0);
  return WIFEXITED(status) && WEXITSTATUS(status) == 0;
}

bool Collect(const std::string& program, const std::string& name,
             const std::vector<std::string>& path, std::vector<plumage::tools::HelpPage>& pages) {
  // The help names the program after argv[0]: the name, not the build's path.
  std::vector<std::string> argv = {name};
  argv.insert(argv.end(), path.begin(), path.end());
  argv.push_back("--help");
  std::string text;
  if (!Run(program, argv, text)) {
    std::cerr << "help_to_man: cannot run " << program << " with --help\n";
    return false;
  }
  plumage::tools::HelpPage page = plumage::tools::ParseHelp(text);
  page.path = path;
  const std::vector<std::string> subcommands = plumage::tools::Subcommands(page);
  pages.push_back(page);
  for (const std::string& sub : subcommands) {
    std::vector<std::string> deeper = path;
    deeper.push_back(sub);
    if (!Collect(program, name, deeper, pages)) return false;
  }
  return true;
}

bool Write(const std::string& path, const std::string& text) {
  std::ofstream file(path, std::ios::binary | std::ios::trunc);
  file << text;
  file.close();
  if (!file) std::cerr << "help_to_man: cannot write " << path << "\n";
  return static_cast<bool>(file);
}

}  // namespace

int main(int argc, char** argv) {
  if (argc != 10) {
    std::cerr << "usage: help_to_man PROGRAM NAME SECTION DATE SOURCE SUMMARY TAIL MANPAGE "
                 "COMPLETION\n";
    return 2;
  }
  const std::string program = argv[1];
  plumage::tools::ManPageHead head{argv[2], argv[3], argv[4], argv[5], argv[6]};
  std::ifstream tailFile(argv[7], std::ios::binary);
  if (!tailFile) {
    std::cerr << "help_to_man: cannot read " << argv[7] << "\n";
    return 1;
  }
  std::stringstream tail;
  tail << tailFile.rdbuf();

  std::vector<plumage::tools::HelpPage> pages;
  if (!Collect(program, head.program, {}, pages)) return 1;
  if (!Write(argv[8], plumage::tools::ManPage(head, pages, tail.str()))) return 1;
  if (!Write(argv[9], plumage::tools::BashCompletion(head.program, pages))) return 1;
  return 0;
}
