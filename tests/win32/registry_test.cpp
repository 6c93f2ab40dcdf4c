// Win32Registry against Wine's registry: the return codes and byte-exact
// values the registry layer relies on, the installer's key tree, and the
// program's own reading of the Windows directory.
#include <gtest/gtest.h>

#include <string>

#include "app/program.h"
#include "app/startup.h"
#include "platform/platform.h"
#include "platform/win32/win32_registry.h"
#include "platform/win32/win32_system.h"
#include "app/registry_manager.h"
#include "win32_test_util.h"

namespace plumage::test {
namespace {

using namespace platform;

class Win32RegistryTest : public ::testing::Test {
 protected:
  void SetUp() override {
    base = "Software\\PlumageTests\\" + UniqueName("registry");
    ASSERT_EQ(registry.CreateKey(kHkeyCurrentUser, base), kErrorSuccess);
  }
  void TearDown() override { registry.DeleteKeyTree(kHkeyCurrentUser, base); }

  Win32Registry registry;
  std::string base;
};

TEST_F(Win32RegistryTest, ValuesComeBackByteForByteWithTheSizesAndCodesOfTheRegistry) {
  RegHandle key = 0;
  ASSERT_EQ(registry.OpenKey(kHkeyCurrentUser, base, &key), kErrorSuccess);
  ASSERT_NE(key, 0u);
  // "Modifier l'icône..." in Windows-1252, with its closing NUL.
  const std::string text = "M&odifier l'ic\xF4ne...";
  const std::string stored = text + '\0';
  ASSERT_EQ(registry.SetValue(key, "", kRegSz, reinterpret_cast<const std::uint8_t*>(stored.data()),
                              static_cast<std::uint32_t>(stored.size())),
            kErrorSuccess);

  std::uint32_t type = 0, size = 0;
  ASSERT_EQ(registry.QueryValue(key, "", &type, nullptr, &size), kErrorSuccess);
  EXPECT_EQ(type, kRegSz);
  EXPECT_EQ(size, stored.size());

  std::string small(4, '\0');
  std::uint32_t smallSize = 4;
  EXPECT_EQ(registry.QueryValue(key, "", &type, reinterpret_cast<std::uint8_t*>(small.data()),
                                &smallSize),
            kErrorMoreData);
  EXPECT_EQ(smallSize, stored.size()) << "the size needed is told";

  std::string back(size, '\0');
  ASSERT_EQ(registry.QueryValue(key, "", &type, reinterpret_cast<std::uint8_t*>(back.data()), &size),
            kErrorSuccess);
  EXPECT_EQ(back, stored);

  EXPECT_EQ(registry.QueryValue(key, "Missing", &type, nullptr, &size), kErrorFileNotFound);
  const std::uint32_t dword = 0x12345678;
  ASSERT_EQ(registry.SetValue(key, "Number", kRegDword,
                              reinterpret_cast<const std::uint8_t*>(&dword), sizeof dword),
            kErrorSuccess);
  std::uint32_t readBack = 0, dwordSize = sizeof readBack;
  ASSERT_EQ(registry.QueryValue(key, "number", &type,
                                reinterpret_cast<std::uint8_t*>(&readBack), &dwordSize),
            kErrorSuccess)
      << "value names match without regard to case";
  EXPECT_EQ(type, kRegDword);
  EXPECT_EQ(readBack, dword);
  EXPECT_EQ(registry.CloseKey(key), kErrorSuccess);
}

TEST_F(Win32RegistryTest, HandlesItNeverGaveOrClosedAreRefused) {
  RegHandle key = 0;
  EXPECT_EQ(registry.OpenKey(kHkeyCurrentUser, base + "\\Missing", &key), kErrorFileNotFound);
  EXPECT_EQ(key, 0u);
  EXPECT_EQ(registry.OpenKey(0x80000005u, "Software", &key), kErrorInvalidHandle);
  std::uint32_t size = 0;
  EXPECT_EQ(registry.QueryValue(0x4242, "", nullptr, nullptr, &size), kErrorInvalidHandle);
  ASSERT_EQ(registry.OpenKey(kHkeyCurrentUser, base, &key), kErrorSuccess);
  EXPECT_EQ(registry.CloseKey(key), kErrorSuccess);
  EXPECT_EQ(registry.CloseKey(key), kErrorInvalidHandle);
  EXPECT_EQ(registry.SetValue(key, "x", kRegSz, reinterpret_cast<const std::uint8_t*>("a"), 2),
            kErrorInvalidHandle);
}

TEST_F(Win32RegistryTest, TheInstallersTreeIsMadeAndRemovedWhole) {
  const std::string verb = base + "\\Folder\\shell\\PlumIcon";
  ASSERT_EQ(registry.CreateKey(kHkeyCurrentUser, verb + "\\command"), kErrorSuccess);
  ASSERT_EQ(registry.CreateKey(kHkeyCurrentUser, verb + "\\other\\deeper"), kErrorSuccess);
  RegHandle key = 0;
  ASSERT_EQ(registry.OpenKey(kHkeyCurrentUser, verb + "\\command", &key), kErrorSuccess);
  registry.CloseKey(key);

  EXPECT_EQ(registry.DeleteKeyTree(kHkeyCurrentUser, verb), kErrorSuccess);
  EXPECT_EQ(registry.OpenKey(kHkeyCurrentUser, verb, &key), kErrorFileNotFound);
  EXPECT_EQ(registry.OpenKey(kHkeyCurrentUser, base + "\\Folder\\shell", &key), kErrorSuccess)
      << "the parent stays";
  registry.CloseKey(key);
  EXPECT_EQ(registry.DeleteKeyTree(kHkeyCurrentUser, verb), kErrorFileNotFound);
  EXPECT_EQ(registry.DeleteKeyTree(kHkeyCurrentUser, ""), kErrorAccessDenied)
      << "a root is never deleted";
}

TEST_F(Win32RegistryTest, TheRegistryLayerWritesAndReadsThroughIt) {
  Win32Registry layerStore;
  Platform os{&layerStore};
  Program program(os);
  RegHandle& key = program.Registry.CurrentKey;
  ASSERT_TRUE(program.Registry.OpenKey(kHkeyCurrentUser, base, key));
  ASSERT_TRUE(program.Registry.SetStringValue(key, "DefaultLibrary", "C:\\Ic\xC3\xB4nes\\lib.icl"));
  program.Registry.CloseKey(key);

  // Stored in the ANSI code page with one NUL, as the Windows program does.
  RegHandle raw = 0;
  ASSERT_EQ(registry.OpenKey(kHkeyCurrentUser, base, &raw), kErrorSuccess);
  char bytes[64] = {};
  std::uint32_t size = sizeof bytes, type = 0;
  ASSERT_EQ(registry.QueryValue(raw, "DefaultLibrary", &type, reinterpret_cast<std::uint8_t*>(bytes),
                                &size),
            kErrorSuccess);
  registry.CloseKey(raw);
  EXPECT_EQ(std::string(bytes, size), std::string("C:\\Ic\xF4nes\\lib.icl") + '\0');

  std::string text;
  ASSERT_TRUE(program.Registry.OpenKey(kHkeyCurrentUser, base, key));
  EXPECT_TRUE(program.Registry.GetStringValue(key, "DefaultLibrary", text));
  EXPECT_FALSE(program.Registry.GetStringValue(key, "NoWarning", text));
  program.Registry.CloseKey(key);
  // As stored, its closing NUL included; the callers take it off.
  EXPECT_EQ(text, std::string("C:\\Ic\xC3\xB4nes\\lib.icl") + '\0');
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
            CSTR_EQUAL)
      << program.WindowsDirectory << " vs " << expected;
}

}  // namespace
}  // namespace plumage::test
