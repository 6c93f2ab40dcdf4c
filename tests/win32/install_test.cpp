// plumagectl.exe install under Wine: the verb key in Wine's registry, with
// the command that starts plumage.exe with the folder's path as the whole
// argument text.
#include <gtest/gtest.h>

#include <string>

#include "platform/registry.h"
#include "platform/win32/win32_files.h"
#include "platform/win32/win32_registry.h"
#include "platform/win32/win32_text.h"
#include "support/temp_dir.h"
#include "win32_test_util.h"

namespace plumage::test {
namespace {

using namespace platform;

std::string DefaultValue(Win32Registry& registry, const std::string& key) {
  RegHandle handle = 0;
  if (registry.OpenKey(kHkeyClassesRoot, key, &handle) != kErrorSuccess) return "<no key>";
  char data[1024] = {};
  std::uint32_t size = sizeof data - 1, type = 0;
  long rc = registry.QueryValue(handle, "", &type, reinterpret_cast<std::uint8_t*>(data), &size);
  registry.CloseKey(handle);
  if (rc != kErrorSuccess || type != kRegSz) return "<no value>";
  return std::string(data, size);
}

// A key's default value straight from the registry, "<no key>" without it.
std::wstring RawDefault(HKEY root, const wchar_t* key) {
  HKEY handle = nullptr;
  if (RegOpenKeyW(root, key, &handle) != ERROR_SUCCESS) return L"<no key>";
  wchar_t data[512] = {};
  DWORD size = sizeof data - sizeof(wchar_t);
  const LONG rc =
      RegQueryValueExW(handle, L"", nullptr, nullptr, reinterpret_cast<BYTE*>(data), &size);
  RegCloseKey(handle);
  return rc == ERROR_SUCCESS ? std::wstring(data) : L"<no value>";
}

TEST(Win32Install, PerUserTheVerbGoesToTheUsersClassesAndTheProgramFindsItThere) {
  ASSERT_EQ(RunPlumagectl("uninstall --all-users"), 0u) << "only the user's key is left to find";
  const wchar_t* userVerb = L"Software\\Classes\\Folder\\shell\\PlumIcon";
  const bool hadFolderKey =
      RawDefault(HKEY_CURRENT_USER, L"Software\\Classes\\Folder") != L"<no key>";
  ASSERT_EQ(RunPlumagectl("install --user"), 0u);
  const std::wstring command =
      RawDefault(HKEY_CURRENT_USER, L"Software\\Classes\\Folder\\shell\\PlumIcon\\command");
  EXPECT_TRUE(command.ends_with(L"plumage.exe\" %1")) << platform::WideToUtf8(command);
  EXPECT_EQ(RawDefault(HKEY_LOCAL_MACHINE, userVerb), L"<no key>") << "no administrator's key";
  Win32Registry registry;
  EXPECT_EQ(DefaultValue(registry, "Folder\\shell\\PlumIcon"),
            std::string("C&hange icon...") + '\0')
      << "read through HKEY_CLASSES_ROOT, as the program reads it";

  std::string refused;
  EXPECT_EQ(RunPlumagectl("install --user --all-users", &refused), 2u) << "one scope or the other";
  ASSERT_EQ(RunPlumagectl("uninstall --user"), 0u);
  EXPECT_EQ(RawDefault(HKEY_CURRENT_USER, userVerb), L"<no key>");
  EXPECT_EQ(RawDefault(HKEY_CURRENT_USER, L"Software\\Classes\\Folder") != L"<no key>",
            hadFolderKey)
      << "the keys install made above the verb go with it, and only those";
  EXPECT_EQ(DefaultValue(registry, "Folder\\shell\\PlumIcon"), "<no key>");
  ASSERT_EQ(RunPlumagectl("install --all-users"), 0u) << "the other tests of this prefix find it";
  EXPECT_NE(RawDefault(HKEY_LOCAL_MACHINE, userVerb), L"<no key>");
}

TEST(Win32Install, TheVerbStartsPlumageWithTheFolderAsTheWholeArgumentText) {
  ASSERT_EQ(RunPlumagectl("install"), 0u);
  ASSERT_EQ(RunPlumagectl("install"), 0u) << "installing again is harmless";
  Win32Registry registry;
  const std::string command = DefaultValue(registry, "Folder\\shell\\PlumIcon\\command");
  // The program's path in quotes (it may hold blanks), then %1 bare: the
  // path Explorer puts there, blanks and all, is the whole argument text,
  // and quotes around it would become part of it.
  const std::string tail = "plumage.exe\" %1";
  ASSERT_GE(command.size(), tail.size() + 1) << command;
  EXPECT_EQ(command.front(), '"') << command;
  EXPECT_EQ(command.back(), '\0') << "one closing NUL";
  EXPECT_EQ(command.substr(command.size() - 1 - tail.size(), tail.size()), tail) << command;
  EXPECT_EQ(DefaultValue(registry, "Folder\\shell\\PlumIcon"), std::string("C&hange icon...") + '\0');

  ASSERT_EQ(RunPlumagectl("uninstall"), 0u);
  EXPECT_EQ(DefaultValue(registry, "Folder\\shell\\PlumIcon"), "<no key>");
  ASSERT_EQ(RunPlumagectl("install"), 0u) << "the other tests of this prefix find it installed";
}

// "Icônes" fits the ANSI code page; "Φάκελος 写真 📁" does not, and holds a
// character beyond the BMP: either is the folder named on the command line,
// gets its DESKTOP.INI, and is printed back whole by show.
class Win32PlumagectlNames : public ::testing::TestWithParam<const char*> {};

TEST_P(Win32PlumagectlNames, AFolderNamedInAnyScriptIsThatFolder) {
  TempDir dir;
  const std::string folder = dir.str() + "\\" + GetParam();
  const std::wstring wideFolder = platform::Utf8ToWide(folder);
  ASSERT_TRUE(CreateDirectoryW(wideFolder.c_str(), nullptr));
  ASSERT_EQ(RunPlumagectl("set --force \"" + folder + "\" C:\\Icons\\game.ico 1"), 0u);
  const std::wstring ini = wideFolder + L"\\DESKTOP.INI";
  wchar_t value[64] = {};
  GetPrivateProfileStringW(L".ShellClassInfo", L"IconIndex", L"", value, 64, ini.c_str());
  EXPECT_STREQ(value, L"1");
  GetPrivateProfileStringW(L".ShellClassInfo", L"IconFile", L"", value, 64, ini.c_str());
  EXPECT_STREQ(value, L"C:\\Icons\\game.ico");
  EXPECT_TRUE(GetFileAttributesW(wideFolder.c_str()) & FILE_ATTRIBUTE_SYSTEM);
  // The INI file keeps Windows-1252 when its values fit: no byte-order mark.
  std::string bytes;
  ASSERT_TRUE(platform::ReadWholeFile(folder + "\\DESKTOP.INI", bytes));
  EXPECT_FALSE(bytes.size() >= 2 && bytes[0] == '\xFF' && bytes[1] == '\xFE') << bytes;

  std::string shown;
  ASSERT_EQ(RunPlumagectl("show \"" + folder + "\"", &shown), 0u);
  // The C run-time writes text mode: CR LF.
  EXPECT_NE(shown.find("Folder: " + folder + "\r\n"), std::string::npos) << shown;
  EXPECT_NE(shown.find("Icon file: C:\\Icons\\game.ico\r\n"), std::string::npos) << shown;

  SetFileAttributesW(ini.c_str(), FILE_ATTRIBUTE_NORMAL);
  SetFileAttributesW(wideFolder.c_str(), FILE_ATTRIBUTE_NORMAL);
}

// On Windows the full path names a file of the machine that reads the
// folder: it is written as chosen, unless the setting keeps the icon inside.
TEST(Win32PlumagectlKeptIcon, ThePathAsChosenUnlessTheSettingKeepsTheIconInside) {
  TempDir dir;
  const std::string folder = dir.str() + "\\Music";
  const std::wstring wideFolder = platform::Utf8ToWide(folder);
  ASSERT_TRUE(CreateDirectoryW(wideFolder.c_str(), nullptr));
  char system[MAX_PATH] = {};
  ASSERT_GT(GetSystemDirectoryA(system, MAX_PATH), 0u);
  const std::string library = std::string(system) + "\\shell32.dll";
  const std::wstring ini = wideFolder + L"\\DESKTOP.INI";
  const std::wstring kept = wideFolder + L"\\FolderIcon.ico";
  auto value = [&ini](const wchar_t* key) {
    wchar_t text[MAX_PATH] = {};
    GetPrivateProfileStringW(L".ShellClassInfo", key, L"", text, MAX_PATH, ini.c_str());
    return platform::WideToUtf8(text);
  };

  ASSERT_EQ(RunPlumagectl("set \"" + folder + "\" \"" + library + "\" 3"), 0u);
  EXPECT_EQ(value(L"IconFile"), library);
  EXPECT_EQ(value(L"IconIndex"), "3");
  EXPECT_EQ(GetFileAttributesW(kept.c_str()), INVALID_FILE_ATTRIBUTES);

  ASSERT_EQ(RunPlumagectl("settings --portable on"), 0u);
  ASSERT_EQ(RunPlumagectl("set \"" + folder + "\" \"" + library + "\" 3"), 0u);
  EXPECT_EQ(value(L"IconFile"), "FolderIcon.ico");
  EXPECT_EQ(value(L"IconIndex"), "0");
  EXPECT_EQ(value(L"IconResource"), "FolderIcon.ico,0");
  const DWORD attributes = GetFileAttributesW(kept.c_str());
  ASSERT_NE(attributes, INVALID_FILE_ATTRIBUTES);
  EXPECT_EQ(attributes & (FILE_ATTRIBUTE_HIDDEN | FILE_ATTRIBUTE_SYSTEM),
            static_cast<DWORD>(FILE_ATTRIBUTE_HIDDEN | FILE_ATTRIBUTE_SYSTEM));

  ASSERT_EQ(RunPlumagectl("reset \"" + folder + "\""), 0u);
  EXPECT_EQ(GetFileAttributesW(kept.c_str()), INVALID_FILE_ATTRIBUTES) << "Reset removes the copy";
  ASSERT_EQ(RunPlumagectl("settings --portable off"), 0u);
  SetFileAttributesW(ini.c_str(), FILE_ATTRIBUTE_NORMAL);
}

INSTANTIATE_TEST_SUITE_P(
    Names, Win32PlumagectlNames,
    ::testing::Values("Ic\xC3\xB4nes",
                      "\xCE\xA6\xCE\xAC\xCE\xBA\xCE\xB5\xCE\xBB\xCE\xBF\xCF\x82 "
                      "\xE5\x86\x99\xE7\x9C\x9F \xF0\x9F\x93\x81"));

}  // namespace
}  // namespace plumage::test
