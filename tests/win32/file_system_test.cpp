// Win32FileSystem and the file helpers on Wine's files: attributes with
// their Windows numbers, copy, delete, the listing's wildcard and attribute
// rules, drive roots. The attributes written into PLUMAGE_DOSATTRIB_DIR are
// read back from Linux afterwards (check_dosattrib.sh, the test after this
// one), as user.DOSATTRIB.
#include <gtest/gtest.h>

#include <algorithm>
#include <fstream>
#include <string>
#include <vector>

#include "formats/dos_attrib.h"
#include "platform/win32/win32_file_system.h"
#include "platform/win32/win32_files.h"
#include "support/temp_dir.h"
#include "win32_test_util.h"

namespace plumage::test {
namespace {

using namespace platform;

// Wine reports every file as Archive, whatever was set; Windows keeps the
// bit as set. The comparisons leave it out for files.
std::uint32_t WithoutArchive(std::uint32_t attributes) {
  return attributes & ~kAttributeArchive;
}

class Win32Files : public ::testing::Test {
 protected:
  std::string Make(const std::string& name, const std::string& bytes = "x") {
    const std::string path = (dir / name).string();
    WriteFile(path, bytes);
    return path;
  }
  void TearDown() override {
    // Read-only files must not stop the clean-up.
    for (const auto& e : std::filesystem::directory_iterator(dir.path()))
      SetFileAttributesA(e.path().string().c_str(), FILE_ATTRIBUTE_NORMAL);
  }

  TempDir dir;
  Win32FileSystem files;
};

TEST_F(Win32Files, AttributesAreSetAndReadWithTheirWindowsNumbers) {
  const std::string file = Make("DESKTOP.INI");
  for (std::uint32_t a : {kAttributeHidden | kAttributeSystem, kAttributeArchive,
                          kAttributeReadOnly | kAttributeHidden, kAttributeNormal}) {
    ASSERT_TRUE(files.SetAttributes(file, a).ok()) << a;
    auto back = files.GetAttributes(file);
    ASSERT_TRUE(back.ok());
    EXPECT_EQ(WithoutArchive(*back), WithoutArchive(a));
  }
  auto folder = files.GetAttributes(dir.str());
  ASSERT_TRUE(folder.ok());
  EXPECT_TRUE(*folder & kAttributeDirectory);
  ASSERT_TRUE(files.SetAttributes(dir.str(), kAttributeSystem | kAttributeDirectory).ok())
      << "Directory is the kind of the path and is ignored";
  EXPECT_EQ(*files.GetAttributes(dir.str()), kAttributeSystem | kAttributeDirectory);

  auto missing = files.GetAttributes((dir / "missing").string());
  ASSERT_FALSE(missing.ok());
  EXPECT_EQ(missing.error().kind, ErrorKind::NotFound);
  EXPECT_NE(missing.error().message.find("missing"), std::string::npos);
  auto odd = files.SetAttributes(file, 8);
  ASSERT_FALSE(odd.ok());
  EXPECT_EQ(odd.error().kind, ErrorKind::Unsupported);
}

TEST_F(Win32Files, ReadOnlyProtectsFromDeletionAndFromBeingCopiedOver) {
  const std::string from = Make("from.ico", "new bytes");
  const std::string to = Make("to.ico", "old bytes");
  ASSERT_TRUE(files.SetAttributes(to, kAttributeReadOnly).ok());
  auto removed = files.Remove(to);
  ASSERT_FALSE(removed.ok());
  EXPECT_NE(removed.error().message.find("to.ico"), std::string::npos);
  EXPECT_FALSE(files.Copy(from, to).ok());
  EXPECT_EQ(ReadFile(to), "old bytes");

  ASSERT_TRUE(files.SetAttributes(to, kAttributeNormal).ok());
  ASSERT_TRUE(files.SetAttributes(from, kAttributeHidden).ok());
  ASSERT_TRUE(files.Copy(from, to).ok());
  EXPECT_EQ(ReadFile(to), "new bytes");
  ASSERT_TRUE(files.Remove(to).ok());
  EXPECT_FALSE(files.FileExists(to));
  EXPECT_TRUE(files.FileExists(from));
  EXPECT_FALSE(files.FileExists(dir.str())) << "a folder is no file";
  EXPECT_EQ(files.Remove(to).error().kind, ErrorKind::NotFound);
}

TEST_F(Win32Files, ListingKeepsTheProgramsWildcardAndAttributeRules) {
  Make("Chess.EXE");
  Make("go.exe");
  Make("readme.txt");
  Make("a-very-long-name-for-a-program.exe.bak");  // its 8.3 name ends in .EXE here
  ASSERT_TRUE(files.SetAttributes(Make("hidden.exe"), kAttributeHidden).ok());
  ASSERT_TRUE(files.SetAttributes(Make("system.exe"), kAttributeSystem).ok());
  ASSERT_TRUE(files.SetAttributes(Make("old.exe"), kAttributeReadOnly | kAttributeArchive).ok());
  std::filesystem::create_directory(dir / "tools.exe");

  auto sorted = [&](std::uint32_t include, const std::string& pattern = "*.EXE") {
    auto names = files.List(dir.str(), pattern, include);
    EXPECT_TRUE(names.ok());
    std::vector<std::string> v = names.ok() ? *names : std::vector<std::string>{};
    std::sort(v.begin(), v.end());
    return v;
  };
  using V = std::vector<std::string>;
  EXPECT_EQ(sorted(0), (V{"Chess.EXE", "go.exe", "old.exe"}));
  EXPECT_EQ(sorted(kAttributeHidden), (V{"Chess.EXE", "go.exe", "hidden.exe", "old.exe"}));
  EXPECT_EQ(sorted(kAttributeDirectory), (V{"Chess.EXE", "go.exe", "old.exe", "tools.exe"}));
  EXPECT_EQ(sorted(0, "?o.*"), (V{"go.exe"}));
  EXPECT_EQ(sorted(0, "*.*").size(), 5u) << "no '.' or '..'";
  auto missing = files.List((dir / "missing").string(), "*.*", 0);
  ASSERT_FALSE(missing.ok());
  EXPECT_NE(missing.error().message.find("missing"), std::string::npos);
}

TEST_F(Win32Files, DriveRootsAreTheVolumesRoots) {
  EXPECT_TRUE(files.IsDriveRoot("C:\\"));
  EXPECT_TRUE(files.IsDriveRoot("c:"));
  EXPECT_FALSE(files.IsDriveRoot("C:\\windows"));
  EXPECT_FALSE(files.IsDriveRoot(dir.str()));
  EXPECT_FALSE(files.IsDriveRoot(""));
}

// Windows keeps the attributes itself on every volume; what differs is the
// kind, which the descriptor write will ask about.
TEST_F(Win32Files, VolumesAreDescribedByTheSystem) {
  for (const std::string& path : {std::string("C:\\"), std::string("c:"), dir.str()}) {
    SCOPED_TRACE(path);
    auto volume = files.DescribeVolume(path);
    ASSERT_TRUE(volume.ok()) << volume.error().message;
    EXPECT_EQ(volume->attributes, AttributeStore::Native);
    EXPECT_FALSE(volume->type.empty());
    EXPECT_FALSE(volume->network);
    EXPECT_FALSE(volume->removable);
  }
  EXPECT_FALSE(files.DescribeVolume("").ok());
}

TEST_F(Win32Files, ReplacingAFileKeepsItsAttributesAndLeavesNoSibling) {
  const std::string path = Make("DESKTOP.INI", "old");
  ASSERT_TRUE(files.SetAttributes(path, kAttributeHidden | kAttributeSystem).ok());
  ASSERT_TRUE(WriteFileAtomically(path, "new contents").ok());
  std::string bytes;
  ASSERT_TRUE(ReadWholeFile(path, bytes));
  EXPECT_EQ(bytes, "new contents");
  EXPECT_EQ(WithoutArchive(*files.GetAttributes(path)), kAttributeHidden | kAttributeSystem);
  EXPECT_EQ(std::distance(std::filesystem::directory_iterator(dir.path()),
                          std::filesystem::directory_iterator()),
            1);
  ASSERT_TRUE(files.SetAttributes(path, kAttributeReadOnly).ok());
  auto refused = WriteFileAtomically(path, "lost");
  ASSERT_FALSE(refused.ok());
  EXPECT_NE(refused.error().message.find("read-only"), std::string::npos);
  ASSERT_TRUE(ReadWholeFile(path, bytes));
  EXPECT_EQ(bytes, "new contents");
  EXPECT_FALSE(ReadWholeFile((dir / "missing").string(), bytes));
}

// Files with attributes set through Win32FileSystem, and the manifest that
// check_dosattrib.sh compares with what Linux reads: "<name> <attributes>".
TEST(Win32DosAttrib, AttributesWrittenForTheLinuxSideToReadBack) {
  const std::string folder = WinePath(PLUMAGE_DOSATTRIB_DIR);
  std::filesystem::create_directories(folder);
  Win32FileSystem files;
  std::ofstream manifest(folder + "\\expected.txt", std::ios::trunc);
  const struct {
    const char* name;
    std::uint32_t attributes;
  } cases[] = {
      {"normal.txt", kAttributeNormal},
      {"hidden.txt", kAttributeHidden},
      {"DESKTOP.INI", kAttributeHidden | kAttributeSystem},
      {"archive.txt", kAttributeArchive},
      {"readonly.txt", kAttributeReadOnly | kAttributeHidden},
      {"folder", kAttributeSystem | kAttributeDirectory},
  };
  for (const auto& c : cases) {
    const std::string path = folder + "\\" + c.name;
    SetFileAttributesA(path.c_str(), FILE_ATTRIBUTE_NORMAL);  // a run before left it so
    if (c.attributes & kAttributeDirectory)
      std::filesystem::create_directories(path);
    else
      WriteFile(path, "x");
    ASSERT_TRUE(files.SetAttributes(path, c.attributes).ok()) << path;
    ASSERT_EQ(WithoutArchive(*files.GetAttributes(path)), WithoutArchive(c.attributes)) << path;
    manifest << c.name << " " << c.attributes << "\n";
  }

  // The program's own write, as the picker's OK makes it: DESKTOP.INI
  // through WritePrivateProfileStringA, Hidden and System, the folder System.
  const std::string chess = folder + "\\Chess";
  SetFileAttributesA((chess + "\\DESKTOP.INI").c_str(), FILE_ATTRIBUTE_NORMAL);
  std::filesystem::remove_all(chess);
  std::filesystem::create_directories(chess);
  ASSERT_EQ(RunPlumagectl("set --force \"" + chess + "\" C:\\Icons\\game.ico 2"), 0u);
  char value[64] = {};
  GetPrivateProfileStringA(".ShellClassInfo", "IconFile", "", value, sizeof value,
                           (chess + "\\DESKTOP.INI").c_str());
  EXPECT_STREQ(value, "C:\\Icons\\game.ico");
  GetPrivateProfileStringA(".ShellClassInfo", "IconIndex", "", value, sizeof value,
                           (chess + "\\DESKTOP.INI").c_str());
  EXPECT_STREQ(value, "2");
  // Again, over the Hidden and System file the first write left.
  ASSERT_EQ(RunPlumagectl("set --force \"" + chess + "\" C:\\Icons\\game.ico 3"), 0u);
  GetPrivateProfileStringA(".ShellClassInfo", "IconIndex", "", value, sizeof value,
                           (chess + "\\DESKTOP.INI").c_str());
  EXPECT_STREQ(value, "3");
  manifest << "Chess " << (kAttributeSystem | kAttributeDirectory) << "\n";
  manifest << "Chess/DESKTOP.INI " << (kAttributeHidden | kAttributeSystem) << "\n";
}

}  // namespace
}  // namespace plumage::test
