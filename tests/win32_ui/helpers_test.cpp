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
      {R"(plumage.exe C:\Program Files\Accessories)", R"(C:\Program Files\Accessories)"},
      // Quotes around the path are not removed: the whole text is the path.
      {R"(plumage.exe "C:\My Folder")", R"("C:\My Folder")"},
      // Only the one blank after the name goes; further blanks are kept.
      {"plumage.exe  C:\\Data ", " C:\\Data "},
      {"plumage.exe\tC:\\Data", "C:\\Data"},
      // No argument: a settings-only run.
      {"plumage.exe", ""},
      {"plumage.exe ", ""},
      {R"("C:\Plumage\plumage.exe")", ""},
      {R"("C:\Plumage\plumage.exe" )", ""},
      // A quoted name runs to its closing quote, blanks and all.
      {R"("C:\A B\plumage.exe"C:\X)", R"(C:\X)"},
      {R"("C:\never closed)", ""},
      {"", ""},
      {R"(plumage.exe \\server\share\folder)", R"(\\server\share\folder)"},
  };
  for (const Case& c : cases)
    EXPECT_EQ(ArgumentTextFromCommandLine(c.commandLine), c.argument) << c.commandLine;
}

TEST(LineBreaks, CarriageReturnsGoOutAsPairsAndComeBackAlone) {
  // The picker's auto-create caption: a CR alone becomes CR LF.
  EXPECT_EQ(CrLfLineBreaks("Auto-create from \r'Chess'"), "Auto-create from \r\n'Chess'");
  EXPECT_EQ(CrLfLineBreaks("a\r\nb"), "a\r\nb");  // a pair stays one pair
  EXPECT_EQ(CrLfLineBreaks("\r"), "\r\n");
  EXPECT_EQ(CrLfLineBreaks("\r\r"), "\r\n\r\n");
  EXPECT_EQ(CrLfLineBreaks("a\nb"), "a\nb");  // a line feed alone is not the program's
  EXPECT_EQ(CrLfLineBreaks(""), "");
  EXPECT_EQ(CrLineBreaks("a\r\nb\r\n"), "a\rb\r");
  EXPECT_EQ(CrLineBreaks("a\rb\n"), "a\rb\n");
  // The round trip of every caption-like text the dialogs show.
  for (const std::string& text :
       {"Icône courante:"s, "Création à partir de \r'Été'"s, "x\ry\rz\r"s, ""s})
    EXPECT_EQ(CrLineBreaks(CrLfLineBreaks(text)), text);
}

TEST(CommonDialogFilter, PairsEndedByNulsAndTheListByTwo) {
  EXPECT_EQ(CommonDialogFilter("Icon Files (*.ico)|*.ico|All|*.*"),
            "Icon Files (*.ico)\0*.ico\0All\0*.*\0\0"s);
  // Bytes of the code page pass as they are; an empty part keeps its place.
  EXPECT_EQ(CommonDialogFilter("Fichiers ic\xF4nes|*.ico||*.*"),
            "Fichiers ic\xF4nes\0*.ico\0\0*.*\0\0"s);
  EXPECT_EQ(CommonDialogFilter(""), "\0\0"s);
}

}  // namespace
}  // namespace plumage::win32
