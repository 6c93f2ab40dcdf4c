// plumagectl.exe install under Wine: the verb key in Wine's registry, with
// the command that starts plumage.exe with the folder's path as the whole
// argument text.
#include <gtest/gtest.h>

#include <string>

#include "platform/registry.h"
#include "platform/win32/win32_registry.h"
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

TEST(Win32Plumagectl, AFolderNamedInTheAnsiCodePageIsThatFolder) {
  TempDir dir;
  // "Icônes" as the ANSI command line carries it (Windows-1252).
  const std::string folder = dir.str() + "\\Ic\xF4nes";
  ASSERT_TRUE(CreateDirectoryA(folder.c_str(), nullptr));
  ASSERT_EQ(RunPlumagectl("set \"" + folder + "\" C:\\Icons\\game.ico 1"), 0u);
  char value[16] = {};
  GetPrivateProfileStringA(".ShellClassInfo", "IconIndex", "", value, sizeof value,
                           (folder + "\\DESKTOP.INI").c_str());
  EXPECT_STREQ(value, "1");
  SetFileAttributesA((folder + "\\DESKTOP.INI").c_str(), FILE_ATTRIBUTE_NORMAL);
  SetFileAttributesA(folder.c_str(), FILE_ATTRIBUTE_NORMAL);
}

}  // namespace
}  // namespace plumage::test
