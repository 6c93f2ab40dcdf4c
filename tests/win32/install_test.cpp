// plumagectl.exe under Wine: install puts the verb key where its scope says,
// with the command that starts plumage.exe with the folder as the whole
// argument text; a folder named in any script, or by a path that begins
// with '/', is that folder.
#include <gtest/gtest.h>

#include <string>

#include "platform/win32/win32_files.h"
#include "platform/win32/win32_registry.h"
#include "support/temp_dir.h"
#include "win32_test_util.h"

namespace plumage::test {
namespace {

using platform::Utf8ToWide;

const std::string kVerb = "Folder\\shell\\PlumIcon";
const std::string kUserVerb = "Software\\Classes\\" + kVerb;

// The verb's caption as the program reads it: through HKEY_CLASSES_ROOT,
// where it shows the user's key over the machine's.
std::string Caption() {
  platform::Win32Registry registry;
  platform::RegHandle key = 0;
  if (registry.OpenKey(formats::kHkeyClassesRoot, kVerb, &key) != platform::kErrorSuccess)
    return "<no key>";
  char data[256] = {};
  std::uint32_t size = sizeof data - 1, type = 0;
  registry.QueryValue(key, "", &type, reinterpret_cast<std::uint8_t*>(data), &size);
  registry.CloseKey(key);
  return data;
}

TEST(Win32Install, TheVerbGoesWhereItsScopeSaysAndStartsPlumageWithTheWholePath) {
  ASSERT_EQ(RunPlumagectl("uninstall --all-users"), 0u);
  const bool hadFolderKey = RegistryText(HKEY_CURRENT_USER, "Software\\Classes\\Folder") != "<no key>";
  ASSERT_EQ(RunPlumagectl("install --user"), 0u);
  ASSERT_EQ(RunPlumagectl("install --user"), 0u) << "installing again is harmless";
  // The program's path in quotes (it may hold blanks), then %1 bare: the
  // path Explorer puts there, blanks and all, is the whole argument text.
  const std::string command = RegistryText(HKEY_CURRENT_USER, kUserVerb + "\\command");
  EXPECT_TRUE(command.front() == '"' && command.ends_with("plumage.exe\" %1")) << command;
  EXPECT_EQ(std::tuple(RegistryText(HKEY_LOCAL_MACHINE, kUserVerb), Caption()),
            std::tuple("<no key>", "C&hange icon..."))
      << "no administrator's key; the program reads the user's through HKEY_CLASSES_ROOT";
  EXPECT_EQ(RunPlumagectl("install --user --all-users"), 2u) << "one scope or the other";
  ASSERT_EQ(RunPlumagectl("uninstall --user"), 0u);
  EXPECT_EQ(std::tuple(RegistryText(HKEY_CURRENT_USER, kUserVerb), Caption(),
                       RegistryText(HKEY_CURRENT_USER, "Software\\Classes\\Folder") != "<no key>"),
            std::tuple("<no key>", "<no key>", hadFolderKey))
      << "the keys install made above the verb go with it, and only those";
  ASSERT_EQ(RunPlumagectl("install --all-users"), 0u) << "the other tests of this prefix find it";
  EXPECT_TRUE(RegistryText(HKEY_LOCAL_MACHINE, kUserVerb + "\\command").ends_with("plumage.exe\" %1"));
}

// A folder made for a test, its DESKTOP.INI left deletable at the end.
class Win32Plumagectl : public ::testing::Test {
 protected:
  std::string Folder(const std::string& name) {
    folder = dir.str() + "\\" + name;
    EXPECT_TRUE(CreateDirectoryW(Utf8ToWide(folder).c_str(), nullptr)) << folder;
    return folder;
  }
  void TearDown() override {
    SetFileAttributesW(Utf8ToWide(folder + "\\DESKTOP.INI").c_str(), FILE_ATTRIBUTE_NORMAL);
  }
  TempDir dir;
  std::string folder;
};

// "Φάκελος 写真 📁" lacks the ANSI code page and holds a character beyond
// the BMP: it is the folder named on the command line, gets its DESKTOP.INI
// (Windows-1252 while its values fit) and is printed back whole by show.
TEST_F(Win32Plumagectl, AFolderNamedInAnyScriptIsThatFolder) {
  Folder("\xCE\xA6\xCE\xAC\xCE\xBA\xCE\xB5\xCE\xBB\xCE\xBF\xCF\x82 \xE5\x86\x99\xE7\x9C\x9F \xF0\x9F\x93\x81");
  ASSERT_EQ(RunPlumagectl("set --force \"" + folder + "\" C:\\Icons\\game.ico 1"), 0u);
  std::string bytes, shown;
  ASSERT_TRUE(platform::ReadWholeFile(folder + "\\DESKTOP.INI", bytes));
  EXPECT_EQ(std::tuple(DescriptorValue(folder, "IconFile"), DescriptorValue(folder, "IconIndex"),
                       bytes.substr(0, 2) == "\xFF\xFE",
                       (GetFileAttributesW(Utf8ToWide(folder).c_str()) & FILE_ATTRIBUTE_SYSTEM) != 0),
            std::tuple("C:\\Icons\\game.ico", "1", false, true));
  ASSERT_EQ(RunPlumagectl("show \"" + folder + "\"", &shown), 0u);
  // The C run-time writes text mode: CR LF.
  EXPECT_NE(shown.find("Folder: " + folder + "\r\nIcon file: C:\\Icons\\game.ico\r\n"),
            std::string::npos) << shown;
}

// Options begin with '-' on Windows too: a path that begins with '/' (one
// of the present drive on Windows, a Linux path under Wine) is an
// argument, not a "/option".
TEST_F(Win32Plumagectl, APathThatBeginsWithASlashIsAFolder) {
  Folder("Slash");
  using UnixName = char*(CDECL*)(LPCWSTR);
  const auto unixName = reinterpret_cast<UnixName>(
      reinterpret_cast<void*>(GetProcAddress(GetModuleHandleW(L"kernel32"), "wine_get_unix_file_name")));
  ASSERT_NE(unixName, nullptr) << "not under Wine";
  char* name = unixName(Utf8ToWide(folder).c_str());
  const std::string slashed = name;
  HeapFree(GetProcessHeap(), 0, name);
  std::string out;
  const DWORD status = RunPlumagectl("set --force " + slashed + " C:\\Icons\\game.ico 2", &out);
  EXPECT_EQ(std::tuple(status, DescriptorValue(folder, "IconIndex")), std::tuple(0u, "2"))
      << slashed << "\n" << out;
}

// On Windows the full path names a file of the machine that reads the
// folder: it is written as chosen, unless the setting keeps the icon inside.
TEST_F(Win32Plumagectl, ThePathAsChosenUnlessTheSettingKeepsTheIconInside) {
  const std::string kept = Folder("Music") + "\\FolderIcon.ico";
  char system[MAX_PATH] = {};
  ASSERT_GT(GetSystemDirectoryA(system, MAX_PATH), 0u);
  const std::string set = "set \"" + folder + "\" \"" + system + "\\shell32.dll\" 3";
  auto keptAttributes = [&] { return GetFileAttributesW(Utf8ToWide(kept).c_str()); };
  ASSERT_EQ(RunPlumagectl(set), 0u);
  EXPECT_EQ(std::tuple(DescriptorValue(folder, "IconFile"), DescriptorValue(folder, "IconIndex"),
                       keptAttributes()),
            std::tuple(std::string(system) + "\\shell32.dll", "3", INVALID_FILE_ATTRIBUTES));
  ASSERT_EQ(RunPlumagectl("settings --portable on"), 0u);
  ASSERT_EQ(RunPlumagectl(set), 0u);
  EXPECT_EQ(std::tuple(DescriptorValue(folder, "IconFile"), DescriptorValue(folder, "IconIndex"),
                       DescriptorValue(folder, "IconResource"),
                       keptAttributes() & (FILE_ATTRIBUTE_HIDDEN | FILE_ATTRIBUTE_SYSTEM)),
            std::tuple("FolderIcon.ico", "0", "FolderIcon.ico,0",
                       static_cast<DWORD>(FILE_ATTRIBUTE_HIDDEN | FILE_ATTRIBUTE_SYSTEM)));
  ASSERT_EQ(RunPlumagectl("reset \"" + folder + "\""), 0u);
  EXPECT_EQ(keptAttributes(), INVALID_FILE_ATTRIBUTES) << "Reset removes the copy";
  ASSERT_EQ(RunPlumagectl("settings --portable off"), 0u);
}

}  // namespace
}  // namespace plumage::test
