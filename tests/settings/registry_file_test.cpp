// The REGEDIT4 store file: values keep their type and exact bytes through a
// write and a read, files written by other tools are read, and a file with
// lines nobody understands is neither lost nor silently rewritten. (Writers
// at once are plumagectl's runs in tests/cli.)
#include <gtest/gtest.h>

#include "formats/regedit_document.h"
#include "platform/registry.h"

namespace plumage::platform {
namespace {

using namespace formats;

constexpr std::uint32_t kHkcr = kHkeyClassesRoot;
constexpr std::uint32_t kHklm = kHkeyLocalMachine;
const char* const kVerb = "Folder\\shell\\PlumIcon";

TEST(RegDocument, EveryTypeAndByteSurvivesARoundTrip) {
  const std::tuple<const char*, std::uint32_t, std::string> cases[] = {
      {"", kRegSz, std::string("C:\\Icons\\\"quoted\"\0", 19)},
      {"no nul", kRegSz, "abc"},
      {"two nuls", kRegSz, std::string("a\0b\0", 4)},
      {"line break", kRegSz, std::string("a\r\nb\0", 5)},
      {"high bytes", kRegSz, std::string("\xE9\xF4\x80\x81\0", 5)},
      {"short dword", kRegDword, "\x01"},
      {"empty binary", kRegBinary, ""},
      {"multi", kRegMultiSz, std::string("a\0b\0\0", 5)},
      {"odd type", 0x4711, "z"}};
  RegDocument doc;
  for (const auto& [name, type, data] : cases) doc.SetValue(kHkcr, kVerb, name, type, data);
  const std::string text = doc.Serialize();
  RegDocument back = RegDocument::Parse(text);
  EXPECT_FALSE(back.damaged());
  for (const auto& [name, type, data] : cases) {
    const RegEntry* e = back.FindValue(kHkcr, kVerb, name);
    ASSERT_NE(e, nullptr) << name;
    EXPECT_EQ(std::tuple(e->type, e->data), std::tuple(type, data)) << name;
  }
  EXPECT_EQ(back.Serialize(), text) << "a second round trip changes nothing";
}

TEST(RegDocument, ReadsWhatRegeditAndHandsWrite) {
  RegDocument doc = RegDocument::Parse(
      "REGEDIT4\n\n"
      "[HKEY_LOCAL_MACHINE\\Software\\Microsoft\\Windows NT\\CurrentVersion]\n"
      "\"SystemRoot\"=\"C:\\\\WINNT\"\n"
      "\"Bin\"=hex:01,02,\\\n  03,04\n"
      "\"Path\"=hex(2):25,00\n"
      "; a comment\n"
      "\"Count\"=dword:0000002a\r"
      "[hkcr\\Folder\\shell\\PlumIcon]\r\n"
      "@=\"C&hange icon...\"");  // no line end at the very end
  EXPECT_FALSE(doc.damaged());
  const char* nt = "Software\\Microsoft\\Windows NT\\CurrentVersion";
  const std::tuple<std::uint32_t, const char*, const char*, std::uint32_t, std::string> values[] = {
      {kHklm, nt, "SystemRoot", kRegSz, std::string("C:\\WINNT\0", 9)},
      {kHklm, nt, "bin", kRegBinary, std::string("\x01\x02\x03\x04", 4)},
      {kHklm, nt, "Path", kRegExpandSz, std::string("%\0", 2)},
      {kHklm, nt, "Count", kRegDword, std::string("\x2a\0\0\0", 4)},
      {kHkcr, "FOLDER\\SHELL\\PLUMICON", "", kRegSz, std::string("C&hange icon...\0", 16)}};
  for (const auto& [root, key, name, type, data] : values) {
    const RegEntry* e = doc.FindValue(root, key, name);
    ASSERT_NE(e, nullptr) << name;
    EXPECT_EQ(std::tuple(e->type, e->data), std::tuple(type, data)) << name;
  }
  // Parents exist through their children; siblings with a longer name do not.
  EXPECT_EQ(std::tuple(doc.KeyExists(kHkcr, "Folder\\shell"), doc.KeyExists(kHkcr, "Folder"),
                       doc.KeyExists(kHkcr, "Folder\\she"), doc.KeyExists(kHkeyCurrentUser, "Folder")),
            std::tuple(true, true, false, false));
  doc.CreateKey(kHkcr, "Folder\\shell\\PlumIconX");
  doc.DeleteKeyTree(kHkcr, "folder\\shell\\plumicon");
  EXPECT_EQ(std::tuple(doc.KeyExists(kHkcr, kVerb), doc.KeyExists(kHkcr, "Folder\\shell\\PlumIconX")),
            std::tuple(false, true));
}

TEST(RegDocument, UnreadableLinesAreKeptVerbatimInPlace) {
  RegDocument doc = RegDocument::Parse(
      "REGEDIT4\r\n\r\n[HKEY_CLASSES_ROOT\\Folder\\shell\\PlumIcon]\r\n"
      "garbage line \x01\x02\n"
      "\"NoWarning\"=\" 1\"\r\n"
      "\"Broken\"=\"unterminated\r\n"
      "[HKEY_NOWHERE\\x]\r\n"
      "\"Lost\"=\"?\"\r\n");
  EXPECT_TRUE(doc.damaged());
  EXPECT_EQ(doc.FindValue(kHkcr, kVerb, "NoWarning")->data, std::string(" 1\0", 3));
  EXPECT_EQ(doc.FindValue(kHkcr, kVerb, "Broken"), nullptr);
  doc.SetValue(kHkcr, kVerb, "DefaultLibrary", kRegSz, std::string("x\0", 2));
  const std::string out = doc.Serialize();
  for (const char* kept : {"garbage line \x01\x02\n", "\"Broken\"=\"unterminated\r\n",
                           "[HKEY_NOWHERE\\x]\r\n", "\"Lost\"=\"?\"\r\n"})
    EXPECT_NE(out.find(kept), std::string::npos) << kept;
  EXPECT_EQ(RegDocument::Parse(out).RawLines(), doc.RawLines());
}

// Found by fuzzing: a hex value ending in a backslash at the very end of a
// block swallowed the blank line after it once the file was written again.
TEST(RegDocument, AContinuationNeverSwallowsABlankOrAKeyLine) {
  RegDocument doc = RegDocument::Parse("REGEDIT4\n[HKEY_CLASSES_ROOT\\x]\n\"E\"=hex(2):zz,01,\\\n");
  doc.SetValue(kHkcr, "y", "v", kRegSz, std::string("1\0", 2));
  const std::string once = doc.Serialize();
  RegDocument again = RegDocument::Parse(once);
  EXPECT_EQ(again.Serialize(), once);
  EXPECT_NE(again.FindValue(kHkcr, "y", "v"), nullptr);
}

}  // namespace
}  // namespace plumage::platform
