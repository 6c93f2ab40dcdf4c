// The REGEDIT4 store file: values keep their type and exact bytes through a
// write and a read, files written by other tools are read, and a file with
// lines nobody understands is neither lost nor silently rewritten.
#include <sys/wait.h>
#include <unistd.h>

#include <gtest/gtest.h>

#include "platform/posix/registry_store.h"
#include "formats/regedit_document.h"
#include "support/temp_dir.h"

namespace plumage::platform {
namespace {

constexpr std::uint32_t kHkcr = kHkeyClassesRoot;
constexpr std::uint32_t kHklm = kHkeyLocalMachine;

TEST(RegDocument, EveryTypeAndByteSurvivesARoundTrip) {
  struct Case {
    const char* name;
    std::uint32_t type;
    std::string data;
  };
  const std::vector<Case> cases = {
      {"text", kRegSz, std::string("C:\\Icons\\\"quoted\"\0", 19)},
      {"empty", kRegSz, std::string(1, '\0')},
      {"no nul", kRegSz, "abc"},
      {"two nuls", kRegSz, std::string("a\0b\0", 4)},
      {"line break", kRegSz, std::string("a\r\nb\0", 5)},
      {"high bytes", kRegSz, std::string("\xE9\xF4\x80\x81\0", 5)},
      {"dword", kRegDword, std::string("\x78\x56\x34\x12", 4)},
      {"short dword", kRegDword, "\x01"},
      {"binary", kRegBinary, std::string("\x00\xFF\x10", 3)},
      {"empty binary", kRegBinary, ""},
      {"expand", kRegExpandSz, std::string("%WINDIR%\0", 9)},
      {"multi", kRegMultiSz, std::string("a\0b\0\0", 5)},
      {"odd type", 0x4711, "z"},
  };
  RegDocument doc;
  for (const auto& c : cases) doc.SetValue(kHkcr, "Folder\\shell\\PlumIcon", c.name, c.type, c.data);
  doc.SetValue(kHkcr, "Folder\\shell\\PlumIcon", "", kRegSz, std::string("C&hange icon...\0", 16));
  const std::string text = doc.Serialize();
  RegDocument back = RegDocument::Parse(text);
  EXPECT_FALSE(back.damaged());
  for (const auto& c : cases) {
    const RegEntry* e = back.FindValue(kHkcr, "Folder\\shell\\PlumIcon", c.name);
    ASSERT_NE(e, nullptr) << c.name;
    EXPECT_EQ(e->type, c.type) << c.name;
    EXPECT_EQ(e->data, c.data) << c.name;
  }
  EXPECT_EQ(back.FindValue(kHkcr, "Folder\\shell\\PlumIcon", "")->data,
            std::string("C&hange icon...\0", 16));
  // A second round trip changes nothing at all.
  EXPECT_EQ(back.Serialize(), text);
}

TEST(RegDocument, ReadsWhatRegeditAndHandsWrite) {
  const std::string file =
      "REGEDIT4\n\n"
      "[HKEY_LOCAL_MACHINE\\Software\\Microsoft\\Windows NT\\CurrentVersion]\n"
      "\"SystemRoot\"=\"C:\\\\WINNT\"\n"
      "\"Bin\"=hex:01,02,\\\n"
      "  03,04\n"
      "\"Path\"=hex(2):25,00\n"
      "; a comment\n"
      "\"Count\"=dword:0000002a\r"
      "[hkcr\\Folder\\shell\\PlumIcon]\r\n"
      "@=\"C&hange icon...\"";  // no line end at the very end
  RegDocument doc = RegDocument::Parse(file);
  EXPECT_FALSE(doc.damaged());
  const char* nt = "Software\\Microsoft\\Windows NT\\CurrentVersion";
  EXPECT_EQ(doc.FindValue(kHklm, nt, "SystemRoot")->data, std::string("C:\\WINNT\0", 9));
  EXPECT_EQ(doc.FindValue(kHklm, nt, "bin")->data, std::string("\x01\x02\x03\x04", 4));
  EXPECT_EQ(doc.FindValue(kHklm, nt, "Path")->type, kRegExpandSz);
  EXPECT_EQ(doc.FindValue(kHklm, nt, "Count")->data, std::string("\x2a\0\0\0", 4));
  EXPECT_EQ(doc.FindValue(kHkcr, "FOLDER\\SHELL\\PLUMICON", "")->data,
            std::string("C&hange icon...\0", 16));
  // Parents exist through their children; siblings with a longer name do not.
  EXPECT_TRUE(doc.KeyExists(kHkcr, "Folder\\shell"));
  EXPECT_TRUE(doc.KeyExists(kHkcr, "Folder"));
  EXPECT_FALSE(doc.KeyExists(kHkcr, "Folder\\she"));
  EXPECT_FALSE(doc.KeyExists(kHkeyCurrentUser, "Folder"));
}

TEST(RegDocument, UnreadableLinesAreKeptVerbatimInPlace) {
  const std::string file =
      "REGEDIT4\r\n\r\n[HKEY_CLASSES_ROOT\\Folder\\shell\\PlumIcon]\r\n"
      "@=\"C&hange icon...\"\r\n"
      "garbage line \x01\x02\n"
      "\"NoWarning\"=\" 1\"\r\n"
      "\"Broken\"=\"unterminated\r\n"
      "[HKEY_NOWHERE\\x]\r\n"
      "\"Lost\"=\"?\"\r\n";
  RegDocument doc = RegDocument::Parse(file);
  EXPECT_TRUE(doc.damaged());
  EXPECT_EQ(doc.FindValue(kHkcr, "Folder\\shell\\PlumIcon", "NoWarning")->data,
            std::string(" 1\0", 3));
  EXPECT_EQ(doc.FindValue(kHkcr, "Folder\\shell\\PlumIcon", "Broken"), nullptr);
  doc.SetValue(kHkcr, "Folder\\shell\\PlumIcon", "DefaultLibrary", kRegSz, std::string("x\0", 2));
  const std::string out = doc.Serialize();
  for (const char* kept : {"garbage line \x01\x02\n", "\"Broken\"=\"unterminated\r\n",
                           "[HKEY_NOWHERE\\x]\r\n", "\"Lost\"=\"?\"\r\n"})
    EXPECT_NE(out.find(kept), std::string::npos) << kept;
  EXPECT_EQ(RegDocument::Parse(out).RawLines(), doc.RawLines());
}

TEST(RegDocument, DeletingATreeLeavesKeysWithLongerNames) {
  RegDocument doc;
  doc.CreateKey(kHkcr, "Folder\\shell\\PlumIcon\\command");
  doc.CreateKey(kHkcr, "Folder\\shell\\PlumIconX");
  doc.DeleteKeyTree(kHkcr, "folder\\shell\\plumicon");
  EXPECT_FALSE(doc.KeyExists(kHkcr, "Folder\\shell\\PlumIcon"));
  EXPECT_TRUE(doc.KeyExists(kHkcr, "Folder\\shell\\PlumIconX"));
}

TEST(PosixRegistryFile, ADamagedFileIsCopiedOnceBeforeItsFirstRewrite) {
  test::TempDir dir;
  const auto path = dir / "registry.reg";
  const std::string damaged =
      "REGEDIT4\n[HKEY_CLASSES_ROOT\\Folder\\shell\\PlumIcon]\n@=\"C&hange icon...\"\n"
      "this is not a registry line\n";
  test::WriteFile(path, damaged);
  PosixRegistry store(path.string());
  // Reading needs no write: nothing is touched.
  RegHandle h = 0;
  ASSERT_EQ(store.OpenKey(kHkcr, "Folder\\shell\\PlumIcon", &h), 0);
  std::uint32_t type = 0, size = 0;
  EXPECT_EQ(store.QueryValue(h, "", &type, nullptr, &size), 0);
  EXPECT_EQ(test::ReadFile(path), damaged);
  EXPECT_FALSE(std::filesystem::exists(dir / "registry.reg.damaged"));

  const std::string one(" 1\0", 3);
  ASSERT_EQ(store.SetValue(h, "NoWarning", kRegSz, reinterpret_cast<const std::uint8_t*>(one.data()), 3), 0);
  EXPECT_EQ(test::ReadFile(dir / "registry.reg.damaged"), damaged);
  const std::string rewritten = test::ReadFile(path);
  EXPECT_NE(rewritten.find("this is not a registry line"), std::string::npos);
  EXPECT_NE(rewritten.find("\"NoWarning\"=\" 1\""), std::string::npos);

  // The same damage is not copied again on the next write.
  ASSERT_EQ(store.SetValue(h, "NoWarning", kRegSz, reinterpret_cast<const std::uint8_t*>(one.data()), 3), 0);
  EXPECT_FALSE(std::filesystem::exists(dir / "registry.reg.damaged.1"));
  EXPECT_EQ(test::ReadFile(dir / "registry.reg.damaged"), damaged);
}

TEST(PosixRegistryFile, WritersInSeveralProcessesLoseNothing) {
  test::TempDir dir;
  const std::string path = (dir / "registry.reg").string();
  {
    PosixRegistry store(path);
    ASSERT_EQ(store.CreateKey(kHkcr, "Folder\\shell\\PlumIcon"), 0);
  }
  constexpr int kWriters = 4;
  constexpr int kValuesEach = 25;
  std::vector<pid_t> children;
  for (int w = 0; w < kWriters; ++w) {
    pid_t pid = fork();
    ASSERT_GE(pid, 0);
    if (pid == 0) {
      PosixRegistry store(path);
      RegHandle h = 0;
      if (store.OpenKey(kHkcr, "Folder\\shell\\PlumIcon", &h) != 0) _exit(1);
      for (int i = 0; i < kValuesEach; ++i) {
        std::string name = "w" + std::to_string(w) + "v" + std::to_string(i);
        std::string data = name + '\0';
        if (store.SetValue(h, name, kRegSz, reinterpret_cast<const std::uint8_t*>(data.data()),
                           static_cast<std::uint32_t>(data.size())) != 0)
          _exit(2);
      }
      _exit(0);
    }
    children.push_back(pid);
  }
  for (pid_t pid : children) {
    int status = 0;
    waitpid(pid, &status, 0);
    EXPECT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 0);
  }
  RegDocument doc = RegDocument::Parse(test::ReadFile(path));
  for (int w = 0; w < kWriters; ++w)
    for (int i = 0; i < kValuesEach; ++i) {
      std::string name = "w" + std::to_string(w) + "v" + std::to_string(i);
      const RegEntry* e = doc.FindValue(kHkcr, "Folder\\shell\\PlumIcon", name);
      ASSERT_NE(e, nullptr) << name;
      EXPECT_EQ(e->data, name + '\0');
    }
}

}  // namespace
}  // namespace plumage::platform

namespace plumage::platform {
namespace {

// Found by fuzzing: a hex value ending in a backslash at the very end of a
// block swallowed the blank line after it once the file was written again.
TEST(RegDocument, AContinuationNeverSwallowsABlankOrAKeyLine) {
  const std::string file = "REGEDIT4\n[HKEY_CLASSES_ROOT\\x]\n\"E\"=hex(2):zz,01,\\\n";
  ASSERT_EQ(file.size(), 50u);
  RegDocument doc = RegDocument::Parse(file);
  doc.SetValue(kHkeyClassesRoot, "y", "v", kRegSz, std::string("1\0", 2));
  const std::string once = doc.Serialize();
  RegDocument again = RegDocument::Parse(once);
  EXPECT_EQ(again.Serialize(), once);
  EXPECT_NE(again.FindValue(kHkeyClassesRoot, "y", "v"), nullptr);
}

}  // namespace
}  // namespace plumage::platform
