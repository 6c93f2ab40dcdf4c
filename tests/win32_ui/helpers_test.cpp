// What the Win32 front end does at the boundary of the ANSI calls: the
// argument text taken from the whole command line, line breaks as the
// controls take them and give them back, and the common dialog's filter.
#include <gtest/gtest.h>

#include <string>

#include "ui/win32/win32_text.h"

namespace plumage::win32 {
namespace {

using namespace std::string_literals;

TEST(ArgumentTextFromCommandLine, IsEverythingAfterTheProgramNameAndItsBlank) {
  struct Case {
    const char* commandLine;
    std::string argument;
  };
  const Case cases[] = {
      // As Explorer's verb starts the program.
      {R"("C:\Program Files\Plumage\plumage.exe" C:\Games\Chess)", R"(C:\Games\Chess)"},
      // Quotes around the path are not removed: the whole text is the path.
      {R"(plumage.exe "C:\My Folder")", R"("C:\My Folder")"},
      // Only the one blank after the name goes; further blanks are kept.
      {"plumage.exe  C:\\Data ", " C:\\Data "},
      {"plumage.exe\tC:\\Data", "C:\\Data"},
      // No argument: a settings-only run.
      {R"("C:\Plumage\plumage.exe" )", ""},
      // A quoted name runs to its closing quote, blanks and all.
      {R"("C:\A B\plumage.exe"C:\X)", R"(C:\X)"},
      {R"("C:\never closed)", ""},
  };
  for (const Case& c : cases)
    EXPECT_EQ(ArgumentTextFromCommandLine(c.commandLine), c.argument) << c.commandLine;
}

TEST(LineBreaks, CarriageReturnsGoOutAsPairsAndComeBackAlone) {
  const std::pair<std::string, std::string> out[] = {
      {"Auto-create from \r'Chess'", "Auto-create from \r\n'Chess'"}, {"a\r\nb", "a\r\nb"},
      {"\r\r", "\r\n\r\n"}, {"a\nb", "a\nb"}, {"", ""}};  // a line feed alone is not ours
  for (const auto& [text, windows] : out) EXPECT_EQ(CrLfLineBreaks(text), windows) << text;
  EXPECT_EQ(std::tuple(CrLineBreaks("a\r\nb\r\n"), CrLineBreaks("a\rb\n")), std::tuple("a\rb\r", "a\rb\n"));
  for (const std::string& text : {"Icône courante:"s, "Création à partir de \r'Été'"s, "x\ry\rz\r"s})
    EXPECT_EQ(CrLineBreaks(CrLfLineBreaks(text)), text);
}

TEST(CommonDialogFilter, PairsEndedByNulsAndTheListByTwo) {
  // Bytes of the code page pass as they are; an empty part keeps its place.
  EXPECT_EQ(CommonDialogFilter("Icon Files (*.ico)|*.ico|All|*.*"), "Icon Files (*.ico)\0*.ico\0All\0*.*\0\0"s);
  EXPECT_EQ(CommonDialogFilter("Fichiers ic\xF4nes|*.ico||*.*"), "Fichiers ic\xF4nes\0*.ico\0\0*.*\0\0"s);
  EXPECT_EQ(CommonDialogFilter(""), "\0\0"s);
}

}  // namespace
}  // namespace plumage::win32
