// Win32FileSystem and the file helpers on Wine's files: the contract both
// builds keep (file_system_contract.h), drive roots and volumes, the atomic
// replace. The attributes written into PLUMAGE_DOSATTRIB_DIR are read back
// from Linux afterwards (check_dosattrib.sh) as user.DOSATTRIB.
#include <gtest/gtest.h>

#include <fstream>

#include "platform/win32/win32_file_system.h"
#include "platform/win32/win32_files.h"
#include "support/temp_dir.h"
#include "win32/file_system_contract.h"
#include "win32_test_util.h"

namespace plumage::test {
namespace {

using namespace platform;

// Wine reports every file as Archive, whatever was set: left out for files.
std::uint32_t Attributes(Win32FileSystem& files, const std::string& path) {
  auto a = files.GetAttributes(path);
  return a ? *a & ~kAttributeArchive : 0xFFFFFFFF;
}

class Win32Files : public ::testing::Test {
 protected:
  void TearDown() override {  // read-only files must not stop the clean-up
    for (const auto& e : std::filesystem::directory_iterator(dir.path()))
      SetFileAttributesA(e.path().string().c_str(), FILE_ATTRIBUTE_NORMAL);
  }
  TempDir dir;
  Win32FileSystem files;
};

// Setting and reading each attribute back: Win32DosAttrib below.
TEST_F(Win32Files, CopyDeleteAndListingKeepTheContract) {
  ExpectCopyAndDeleteRules(files, dir);
  ExpectListingRules(files, dir);
}

// Windows keeps the attributes itself on every volume; what differs is the
// kind, which the descriptor write asks about.
TEST_F(Win32Files, DriveRootsAndVolumes) {
  for (auto [path, root] : {std::pair<std::string, bool>("C:\\", true), {"c:", true}, {dir.str(), false}}) {
    auto volume = files.DescribeVolume(path);
    ASSERT_TRUE(volume) << volume.error().message;
    EXPECT_EQ(std::tuple(files.IsDriveRoot(path), volume->attributes, volume->type.empty(), volume->network,
                         volume->removable),
              std::tuple(root, AttributeStore::Native, false, false, false)) << path;
  }
  EXPECT_EQ(std::tuple(files.IsDriveRoot(""), files.DescribeVolume("").ok()), std::tuple(false, false));
}

TEST_F(Win32Files, ReplacingAFileKeepsItsAttributesAndLeavesNoSibling) {
  const std::string path = (dir / "DESKTOP.INI").string();
  WriteFile(path, "old");
  ASSERT_TRUE(files.SetAttributes(path, kAttributeHidden | kAttributeSystem));
  ASSERT_TRUE(WriteFileAtomically(path, "new contents"));
  std::string bytes;
  ASSERT_TRUE(ReadWholeFile(path, bytes));
  EXPECT_EQ(std::tuple(bytes, Attributes(files, path),
                       std::distance(std::filesystem::directory_iterator(dir.path()), {})),
            std::tuple("new contents", kAttributeHidden | kAttributeSystem, 1));
  ASSERT_TRUE(files.SetAttributes(path, kAttributeReadOnly));
  EXPECT_NE(WriteFileAtomically(path, "lost").error().message.find("read-only"), std::string::npos);
  EXPECT_EQ(std::tuple(ReadFile(path), ReadWholeFile((dir / "missing").string(), bytes)),
            std::tuple("new contents", false));
}

// Files with attributes set through Win32FileSystem, and the program's own
// descriptor write (plumagectl set, twice: the second over the Hidden and
// System file of the first), in the manifest check_dosattrib.sh compares
// with what Linux reads: "<name> <attributes>".
TEST(Win32DosAttrib, AttributesWrittenForTheLinuxSideToReadBack) {
  const std::string folder = WinePath(PLUMAGE_DOSATTRIB_DIR), chess = folder + "\\Chess";
  std::filesystem::create_directories(folder);
  Win32FileSystem files;
  std::ofstream manifest(folder + "\\expected.txt", std::ios::trunc);
  const std::pair<const char*, std::uint32_t> cases[] = {
      {"normal.txt", kAttributeNormal}, {"DESKTOP.INI", kAttributeHidden | kAttributeSystem},
      {"readonly.txt", kAttributeReadOnly | kAttributeHidden}, {"folder", kAttributeSystem | kAttributeDirectory}};
  for (const auto& [name, attributes] : cases) {
    const std::string path = folder + "\\" + name;
    SetFileAttributesA(path.c_str(), FILE_ATTRIBUTE_NORMAL);  // a run before left it so
    if (attributes & kAttributeDirectory)
      std::filesystem::create_directories(path);
    else
      WriteFile(path, "x");
    ASSERT_TRUE(files.SetAttributes(path, attributes)) << path;
    ASSERT_EQ(Attributes(files, path), attributes & ~kAttributeArchive) << path;
    manifest << name << " " << attributes << "\n";
  }
  SetFileAttributesA((chess + "\\DESKTOP.INI").c_str(), FILE_ATTRIBUTE_NORMAL);
  std::filesystem::remove_all(chess);
  std::filesystem::create_directories(chess);
  for (const char* index : {"2", "3"}) {
    ASSERT_EQ(RunPlumagectl("set --force \"" + chess + "\" C:\\Icons\\game.ico " + index), 0u);
    char value[64] = {};
    GetPrivateProfileStringA(".ShellClassInfo", "IconIndex", "", value, sizeof value,
                             (chess + "\\DESKTOP.INI").c_str());
    EXPECT_STREQ(value, index);
  }
  manifest << "Chess " << (kAttributeSystem | kAttributeDirectory) << "\n"
           << "Chess/DESKTOP.INI " << (kAttributeHidden | kAttributeSystem) << "\n";
}

}  // namespace
}  // namespace plumage::test
