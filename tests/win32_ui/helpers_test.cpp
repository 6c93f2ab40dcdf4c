// What the Win32 front end does at the boundary of the ANSI calls: the
// argument text taken from the whole command line, program texts shown by
// the controls and read back, and the common dialog's filter.
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

TEST(WindowsText, LineBreaksAndAccentsGoOutAsTheAnsiCallsShowThem) {
  // The picker's auto-create caption: a CR alone becomes CR LF.
  EXPECT_EQ(ToWindowsText("Auto-create from \r'Chess'"), "Auto-create from \r\n'Chess'");
  EXPECT_EQ(ToWindowsText("a\r\nb"), "a\r\nb");  // a pair stays one pair
  EXPECT_EQ(ToWindowsText("\r"), "\r\n");
  EXPECT_EQ(ToWindowsText("Paramètres"), "Param\xE8tres");  // Windows-1252
  EXPECT_EQ(ToWindowsText("\xE2\x82\xAC"), "\x80");          // the euro sign
  EXPECT_EQ(ToWindowsText(""), "");
}

TEST(WindowsText, ReadsBackWhatTheControlsHold) {
  EXPECT_EQ(FromWindowsText("C:\\Donn\xE9""es\\ic\xF4ne.ico"), "C:\\Données\\icône.ico");
  EXPECT_EQ(FromWindowsText("a\r\nb"), "a\rb");
  // Round trip of every caption-like text the dialogs show.
  for (const std::string& text : {"Icône courante:"s, "Création à partir de \r'Été'"s, "x\ry\rz"s})
    EXPECT_EQ(FromWindowsText(ToWindowsText(text)), text);
}

TEST(CommonDialogFilter, PairsEndedByNulsAndTheListByTwo) {
  EXPECT_EQ(CommonDialogFilter("Icon Files (*.ico)|*.ico|All|*.*"),
            "Icon Files (*.ico)\0*.ico\0All\0*.*\0\0"s);
  // French descriptions in the code page; an empty part keeps its place.
  EXPECT_EQ(CommonDialogFilter("Fichiers icônes|*.ico||*.*"), "Fichiers ic\xF4nes\0*.ico\0\0*.*\0\0"s);
  EXPECT_EQ(CommonDialogFilter(""), "\0\0"s);
}

}  // namespace
}  // namespace plumage::win32
