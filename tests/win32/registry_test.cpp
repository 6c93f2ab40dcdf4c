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
  const std::string base = "Software\\PlumageTests\\registry-" + std::to_string(GetCurrentProcessId());
  const std::string verb = base + "\\Folder\\shell\\PlumIcon";
  ASSERT_EQ(registry.CreateKey(kHkeyCurrentUser, verb + "\\command"), kErrorSuccess);
  RegHandle key = 0, gone = 7;
  ASSERT_EQ(registry.OpenKey(kHkeyCurrentUser, base, &key), kErrorSuccess);
  // A REG_SZ value in the ANSI code page with its one NUL (as the settings
  // store writes it; plumage.exe's end-to-end test reads it back as text).
  const std::string stored = std::string("M&odifier l'ic\xF4ne...") + '\0';
  const std::uint32_t dword = 0x12345678;
  ASSERT_EQ(registry.SetValue(key, "", kRegSz, reinterpret_cast<const std::uint8_t*>(stored.data()),
                              static_cast<std::uint32_t>(stored.size())),
            kErrorSuccess);
  ASSERT_EQ(registry.SetValue(key, "Number", kRegDword, reinterpret_cast<const std::uint8_t*>(&dword), 4),
            kErrorSuccess);
  std::uint32_t sz = 0, dw = 0, size = 0, small = 4, back = 0, dwordSize = 4;
  std::string bytes(64, '\0');
  auto* data = reinterpret_cast<std::uint8_t*>(bytes.data());
  // Calls in order, each answered with the registry's own code: the size
  // alone, too small a buffer, the value, a name in another letter case, a
  // missing value, closing twice, a bad handle and root, a missing key; the
  // installer's tree goes whole, its parent stays, a root never goes.
  const std::vector<long> codes = {
      registry.QueryValue(key, "", &sz, nullptr, &size), registry.QueryValue(key, "", &sz, data, &small),
      registry.QueryValue(key, "", &sz, data, &size),
      registry.QueryValue(key, "number", &dw, reinterpret_cast<std::uint8_t*>(&back), &dwordSize),
      registry.QueryValue(key, "Missing", nullptr, nullptr, &dwordSize), registry.CloseKey(key),
      registry.CloseKey(key), registry.QueryValue(0x4242, "", nullptr, nullptr, &dwordSize),
      registry.OpenKey(0x80000005u, "Software", &key), registry.OpenKey(kHkeyCurrentUser, base + "\\Missing", &key),
      registry.DeleteKeyTree(kHkeyCurrentUser, verb), registry.OpenKey(kHkeyCurrentUser, verb, &gone),
      registry.DeleteKeyTree(kHkeyCurrentUser, verb), registry.DeleteKeyTree(kHkeyCurrentUser, ""),
      registry.OpenKey(kHkeyCurrentUser, base + "\\Folder\\shell", &key)};
  EXPECT_EQ(codes, (std::vector<long>{kErrorSuccess, kErrorMoreData, kErrorSuccess, kErrorSuccess,
                                      kErrorFileNotFound, kErrorSuccess, kErrorInvalidHandle,
                                      kErrorInvalidHandle, kErrorInvalidHandle, kErrorFileNotFound,
                                      kErrorSuccess, kErrorFileNotFound, kErrorFileNotFound,
                                      kErrorAccessDenied, kErrorSuccess}));
  EXPECT_EQ(std::tuple(sz, small, bytes.substr(0, size), dw, back, gone),
            std::tuple(kRegSz, static_cast<std::uint32_t>(stored.size()), stored, kRegDword, dword, 0u));
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
  EXPECT_EQ(lstrcmpiA(program.WindowsDirectory.c_str(), (std::string(expected) + "\\").c_str()), 0)
      << program.WindowsDirectory << " vs " << expected;
}

}  // namespace
}  // namespace plumage::test
