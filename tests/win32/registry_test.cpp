// Win32Registry against Wine's registry: the return codes and byte-exact
// values the registry layer relies on, the installer's key tree, and the
// program's own reading of the Windows directory.
#include <gtest/gtest.h>

#include "app/program.h"
#include "app/startup.h"
#include "platform/win32/win32_registry.h"
#include "platform/win32/win32_system.h"
#include "win32_test_util.h"

namespace plumage::test {
namespace {

using namespace platform;
using namespace formats;

TEST(Win32Registry, ValuesCodesAndTreesAreTheRegistrysOwn) {
  Win32Registry registry;
  const std::string base = "Software\\PlumageTests\\" + UniqueName("registry");
  ASSERT_EQ(registry.CreateKey(kHkeyCurrentUser, base + "\\Folder\\shell\\PlumIcon\\command"), kErrorSuccess);
  RegHandle key = 0;
  ASSERT_EQ(registry.OpenKey(kHkeyCurrentUser, base, &key), kErrorSuccess);
  // A REG_SZ value in the ANSI code page with its one NUL (as the settings
  // store writes it; plumage.exe's end-to-end test reads it back as text).
  const std::string stored = std::string("M&odifier l'ic\xF4ne...") + '\0';
  ASSERT_EQ(registry.SetValue(key, "", kRegSz, reinterpret_cast<const std::uint8_t*>(stored.data()),
                              static_cast<std::uint32_t>(stored.size())),
            kErrorSuccess);
  std::uint32_t type = 0, size = 0, small = 4;
  std::string bytes(64, '\0');
  EXPECT_EQ(registry.QueryValue(key, "", &type, nullptr, &size), kErrorSuccess);
  EXPECT_EQ(std::tuple(type, size), std::tuple(kRegSz, static_cast<std::uint32_t>(stored.size())));
  EXPECT_EQ(registry.QueryValue(key, "", &type, reinterpret_cast<std::uint8_t*>(bytes.data()), &small),
            kErrorMoreData);
  EXPECT_EQ(small, stored.size()) << "the size needed is told";
  ASSERT_EQ(registry.QueryValue(key, "", &type, reinterpret_cast<std::uint8_t*>(bytes.data()), &size),
            kErrorSuccess);
  EXPECT_EQ(bytes.substr(0, size), stored);
  const std::uint32_t dword = 0x12345678;
  std::uint32_t back = 0, dwordSize = 4;
  ASSERT_EQ(registry.SetValue(key, "Number", kRegDword, reinterpret_cast<const std::uint8_t*>(&dword), 4),
            kErrorSuccess);
  EXPECT_EQ(registry.QueryValue(key, "number", &type, reinterpret_cast<std::uint8_t*>(&back), &dwordSize),
            kErrorSuccess) << "names match without regard to case";
  EXPECT_EQ(std::tuple(type, back), std::tuple(kRegDword, dword));
  // Calls in order, each answered with the registry's own code.
  std::vector<long> codes;
  codes.push_back(registry.QueryValue(key, "Missing", &type, nullptr, &size));
  codes.push_back(registry.CloseKey(key));
  codes.push_back(registry.CloseKey(key));
  codes.push_back(registry.QueryValue(0x4242, "", nullptr, nullptr, &size));
  codes.push_back(registry.OpenKey(0x80000005u, "Software", &key));
  codes.push_back(registry.OpenKey(kHkeyCurrentUser, base + "\\Missing", &key));
  // The installer's tree goes whole; its parent stays; a root never goes.
  const std::string verb = base + "\\Folder\\shell\\PlumIcon";
  codes.push_back(registry.DeleteKeyTree(kHkeyCurrentUser, verb));
  codes.push_back(registry.OpenKey(kHkeyCurrentUser, verb, &key));
  codes.push_back(registry.DeleteKeyTree(kHkeyCurrentUser, verb));
  codes.push_back(registry.DeleteKeyTree(kHkeyCurrentUser, ""));
  EXPECT_EQ(codes, (std::vector<long>{kErrorFileNotFound, kErrorSuccess, kErrorInvalidHandle,
                                      kErrorInvalidHandle, kErrorInvalidHandle, kErrorFileNotFound,
                                      kErrorSuccess, kErrorFileNotFound, kErrorFileNotFound,
                                      kErrorAccessDenied}));
  EXPECT_EQ(key, 0u);
  ASSERT_EQ(registry.OpenKey(kHkeyCurrentUser, base + "\\Folder\\shell", &key), kErrorSuccess);
  registry.CloseKey(key);
  registry.DeleteKeyTree(kHkeyCurrentUser, base);
}

TEST(Win32WindowsDirectory, IsTheSystemsWindowsFolderWithABackslash) {
  Win32Registry registry;
  Win32System system;
  Platform os{&registry, &system};
  Program program(os);
  FindWindowsDirectory(program);
  char expected[MAX_PATH] = {};
  ASSERT_GT(GetWindowsDirectoryA(expected, MAX_PATH), 0u);
  EXPECT_EQ(CompareStringA(LOCALE_SYSTEM_DEFAULT, NORM_IGNORECASE, program.WindowsDirectory.c_str(),
                           -1, (std::string(expected) + "\\").c_str(), -1),
            CSTR_EQUAL) << program.WindowsDirectory << " vs " << expected;
}

}  // namespace
}  // namespace plumage::test
