// The registry layer over the real Linux store: what is read back, what is
// stored byte for byte, and what the layer refuses.
#include "app/registry_manager.h"

#include <gtest/gtest.h>

#include "platform/posix/registry_store.h"
#include "support/temp_dir.h"

namespace plumage {
namespace {

using platform::kHkeyClassesRoot;
using platform::PosixRegistry;

class RegistryManagerTest : public ::testing::Test {
 protected:
  void SetUp() override {
    ASSERT_EQ(store.CreateKey(kHkeyClassesRoot, "Folder\\shell\\PlumIcon"), 0);
  }
  // The raw value as the store keeps it.
  std::string RawValue(const std::string& name, std::uint32_t* type = nullptr) {
    platform::RegHandle h = 0;
    EXPECT_EQ(store.OpenKey(kHkeyClassesRoot, "Folder\\shell\\PlumIcon", &h), 0);
    std::uint32_t t = 0, size = 0;
    EXPECT_EQ(store.QueryValue(h, name, &t, nullptr, &size), 0);
    std::string data(size, '\0');
    EXPECT_EQ(store.QueryValue(h, name, &t, reinterpret_cast<std::uint8_t*>(data.data()), &size), 0);
    store.CloseKey(h);
    if (type) *type = t;
    return data;
  }
  void SetRaw(const std::string& name, std::uint32_t type, const std::string& data) {
    platform::RegHandle h = 0;
    ASSERT_EQ(store.OpenKey(kHkeyClassesRoot, "Folder\\shell\\PlumIcon", &h), 0);
    ASSERT_EQ(store.SetValue(h, name, type, reinterpret_cast<const std::uint8_t*>(data.data()),
                             static_cast<std::uint32_t>(data.size())),
              0);
    store.CloseKey(h);
  }

  test::TempDir dir;
  PosixRegistry store{(dir / "registry.reg").string()};
  RegistryManager reg{store};
};

TEST_F(RegistryManagerTest, TextReadsBackWithItsTerminatingNul) {
  ASSERT_TRUE(reg.OpenKey(kHkeyClassesRoot, "Folder\\shell\\PlumIcon", reg.CurrentKey));
  ASSERT_TRUE(reg.SetStringValue(reg.CurrentKey, "DefaultLibrary", "abc"));
  std::string text = "preset";
  ASSERT_TRUE(reg.GetStringValue(reg.CurrentKey, "DefaultLibrary", text));
  EXPECT_EQ(text, std::string("abc\0", 4));
  EXPECT_TRUE(reg.CloseKey(reg.CurrentKey));
  EXPECT_EQ(RawValue("DefaultLibrary"), std::string("abc\0", 4));
}

TEST_F(RegistryManagerTest, EmptyTextIsStoredAsTheNulAlone) {
  ASSERT_TRUE(reg.OpenKey(kHkeyClassesRoot, "Folder\\shell\\PlumIcon", reg.CurrentKey));
  ASSERT_TRUE(reg.SetStringValue(reg.CurrentKey, "DefaultLibrary", ""));
  std::uint32_t type = 0;
  EXPECT_EQ(RawValue("DefaultLibrary", &type), std::string(1, '\0'));
  EXPECT_EQ(type, platform::kRegSz);
  std::string text;
  ASSERT_TRUE(reg.GetStringValue(reg.CurrentKey, "DefaultLibrary", text));
  EXPECT_EQ(text, std::string(1, '\0'));
}

TEST_F(RegistryManagerTest, OtherValueTypesReadAsMissingAndLeaveTheTextAlone) {
  SetRaw("Number", platform::kRegDword, std::string("\x01\x00\x00\x00", 4));
  SetRaw("Binary", platform::kRegBinary, "ab");
  SetRaw("Expand", platform::kRegExpandSz, std::string("%WINDIR%\0", 9));
  ASSERT_TRUE(reg.OpenKey(kHkeyClassesRoot, "Folder\\shell\\PlumIcon", reg.CurrentKey));
  for (const char* name : {"Number", "Binary", "Expand", "Absent"}) {
    std::string text = "unchanged";
    EXPECT_FALSE(reg.GetStringValue(reg.CurrentKey, name, text)) << name;
    EXPECT_EQ(text, "unchanged") << name;
  }
}

TEST_F(RegistryManagerTest, EmptyNameIsTheDefaultValue) {
  ASSERT_TRUE(reg.OpenKey(kHkeyClassesRoot, "Folder\\shell\\PlumIcon", reg.CurrentKey));
  ASSERT_TRUE(reg.SetStringValue(reg.CurrentKey, "", "M&odifier l'icône..."));
  // Windows-1252 at the boundary: ô is one byte, 0xF4.
  EXPECT_EQ(RawValue(""), std::string("M&odifier l'ic\xF4ne...\0", 21));
  std::string text;
  ASSERT_TRUE(reg.GetStringValue(reg.CurrentKey, "", text));
  EXPECT_EQ(text, std::string("M&odifier l'icône...") + '\0');
  EXPECT_NE(test::ReadFile(dir / "registry.reg").find("@=\"M&odifier l'ic\xF4ne...\""),
            std::string::npos);
}

TEST_F(RegistryManagerTest, HandleZeroWritesNothing) {
  const std::string before = test::ReadFile(dir / "registry.reg");
  EXPECT_FALSE(reg.SetStringValue(0, "DefaultLibrary", "x"));
  EXPECT_EQ(test::ReadFile(dir / "registry.reg"), before);
}

TEST_F(RegistryManagerTest, OpeningAMissingKeyFailsAndCreatesNothing) {
  const std::string before = test::ReadFile(dir / "registry.reg");
  reg.CurrentKey = 77;
  EXPECT_FALSE(reg.OpenKey(kHkeyClassesRoot, "Folder\\shell\\Nothing", reg.CurrentKey));
  EXPECT_EQ(reg.CurrentKey, 0u);
  // A write through the failed open changes nothing either.
  EXPECT_FALSE(reg.SetStringValue(reg.CurrentKey, "DefaultLibrary", "x"));
  EXPECT_EQ(test::ReadFile(dir / "registry.reg"), before);
  EXPECT_FALSE(reg.OpenKey(kHkeyClassesRoot, "Folder\\shell\\Nothing", reg.CurrentKey));
}

TEST_F(RegistryManagerTest, KeyNamesMatchWithoutRegardToCase) {
  ASSERT_TRUE(reg.OpenKey(kHkeyClassesRoot, "FOLDER\\Shell\\plumicon", reg.CurrentKey));
  ASSERT_TRUE(reg.SetStringValue(reg.CurrentKey, "NoWarning", " 1"));
  std::string text;
  ASSERT_TRUE(reg.GetStringValue(reg.CurrentKey, "nowarning", text));
  EXPECT_EQ(text, std::string(" 1\0", 3));
}

TEST_F(RegistryManagerTest, AKeyDeletedByAnotherProgramIsNotBroughtBack) {
  ASSERT_TRUE(reg.OpenKey(kHkeyClassesRoot, "Folder\\shell\\PlumIcon", reg.CurrentKey));
  PosixRegistry other{(dir / "registry.reg").string()};
  ASSERT_EQ(other.DeleteKeyTree(kHkeyClassesRoot, "Folder\\shell\\PlumIcon"), 0);
  EXPECT_FALSE(reg.SetStringValue(reg.CurrentKey, "NoWarning", " 1"));
  platform::RegHandle h = 0;
  EXPECT_NE(store.OpenKey(kHkeyClassesRoot, "Folder\\shell\\PlumIcon", &h), 0);
}

}  // namespace
}  // namespace plumage
