// Win32FileSystem and the file helpers on Wine's files: attributes with
// their Windows numbers, copy, delete, the listing's wildcard and attribute
// rules, drive roots and volumes, the atomic replace. The attributes written
// into PLUMAGE_DOSATTRIB_DIR are read back from Linux afterwards
// (check_dosattrib.sh) as user.DOSATTRIB.
#include <gtest/gtest.h>

#include <algorithm>
#include <fstream>

#include "platform/win32/win32_file_system.h"
#include "platform/win32/win32_files.h"
#include "support/temp_dir.h"
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
  std::string Make(const std::string& name, const std::string& bytes = "x") {
    WriteFile(dir / name, bytes);
    return (dir / name).string();
  }
  void TearDown() override {  // read-only files must not stop the clean-up
    for (const auto& e : std::filesystem::directory_iterator(dir.path()))
      SetFileAttributesA(e.path().string().c_str(), FILE_ATTRIBUTE_NORMAL);
  }
  TempDir dir;
  Win32FileSystem files;
};

// Setting and reading each attribute back: Win32DosAttrib below.
TEST_F(Win32Files, CopyAndDeleteKeepTheWindowsRules) {
  const std::string ini = Make("DESKTOP.INI");
  auto missing = files.GetAttributes((dir / "missing").string());
  EXPECT_EQ(std::tuple(missing.error().kind, missing.error().message.find("missing") != std::string::npos,
                       files.SetAttributes(ini, 8).error().kind),
            std::tuple(ErrorKind::NotFound, true, ErrorKind::Unsupported));

  // Read-only protects from deletion and from being copied over.
  const std::string from = Make("from.ico", "new bytes"), to = Make("to.ico", "old bytes");
  ASSERT_TRUE(files.SetAttributes(to, kAttributeReadOnly));
  auto removed = files.Remove(to);
  EXPECT_NE(removed.error().message.find("to.ico"), std::string::npos);
  EXPECT_FALSE(files.Copy(from, to));
  EXPECT_EQ(ReadFile(to), "old bytes");
  ASSERT_TRUE(files.SetAttributes(to, kAttributeNormal));
  ASSERT_TRUE(files.SetAttributes(from, kAttributeHidden));
  ASSERT_TRUE(files.Copy(from, to));
  EXPECT_EQ(ReadFile(to), "new bytes");
  ASSERT_TRUE(files.Remove(to));
  EXPECT_EQ(std::tuple(files.FileExists(to), files.FileExists(from), files.FileExists(dir.str()),
                       files.Remove(to).error().kind),
            std::tuple(false, true, false, ErrorKind::NotFound));
}

TEST_F(Win32Files, ListingKeepsTheProgramsWildcardAndAttributeRules) {
  for (const char* name : {"Chess.EXE", "go.exe", "readme.txt", "a-very-long-name.exe.bak"}) Make(name);
  ASSERT_TRUE(files.SetAttributes(Make("hidden.exe"), kAttributeHidden));
  ASSERT_TRUE(files.SetAttributes(Make("system.exe"), kAttributeSystem));
  ASSERT_TRUE(files.SetAttributes(Make("old.exe"), kAttributeReadOnly | kAttributeArchive));
  std::filesystem::create_directory(dir / "tools.exe");
  auto sorted = [&](std::uint32_t include, const std::string& pattern = "*.EXE") {
    std::vector<std::string> v = files.List(dir.str(), pattern, include).value();
    std::sort(v.begin(), v.end());
    return v;
  };
  using V = std::vector<std::string>;
  EXPECT_EQ(sorted(0), (V{"Chess.EXE", "go.exe", "old.exe"}));
  EXPECT_EQ(sorted(kAttributeHidden), (V{"Chess.EXE", "go.exe", "hidden.exe", "old.exe"}));
  EXPECT_EQ(sorted(kAttributeDirectory), (V{"Chess.EXE", "go.exe", "old.exe", "tools.exe"}));
  EXPECT_EQ(sorted(0, "?o.*"), (V{"go.exe"}));
  EXPECT_EQ(sorted(0, "*.*").size(), 5u) << "no '.' or '..'";
  EXPECT_NE(files.List((dir / "missing").string(), "*.*", 0).error().message.find("missing"),
            std::string::npos);
}

// Windows keeps the attributes itself on every volume; what differs is the
// kind, which the descriptor write asks about.
TEST_F(Win32Files, DriveRootsAndVolumes) {
  for (auto [path, root] : {std::pair<std::string, bool>("C:\\", true), {"c:", true},
                            {"C:\\windows", false}, {dir.str(), false}}) {
    EXPECT_EQ(files.IsDriveRoot(path), root) << path;
    auto volume = files.DescribeVolume(path);
    ASSERT_TRUE(volume) << volume.error().message;
    EXPECT_EQ(std::tuple(volume->attributes, volume->type.empty(), volume->network, volume->removable),
              std::tuple(AttributeStore::Native, false, false, false)) << path;
  }
  EXPECT_EQ(std::tuple(files.IsDriveRoot(""), files.DescribeVolume("").ok()), std::tuple(false, false));
}

TEST_F(Win32Files, ReplacingAFileKeepsItsAttributesAndLeavesNoSibling) {
  const std::string path = Make("DESKTOP.INI", "old");
  ASSERT_TRUE(files.SetAttributes(path, kAttributeHidden | kAttributeSystem));
  ASSERT_TRUE(WriteFileAtomically(path, "new contents"));
  std::string bytes;
  ASSERT_TRUE(ReadWholeFile(path, bytes));
  EXPECT_EQ(std::tuple(bytes, Attributes(files, path),
                       std::distance(std::filesystem::directory_iterator(dir.path()), {})),
            std::tuple("new contents", kAttributeHidden | kAttributeSystem, 1));
  ASSERT_TRUE(files.SetAttributes(path, kAttributeReadOnly));
  EXPECT_NE(WriteFileAtomically(path, "lost").error().message.find("read-only"), std::string::npos);
  ASSERT_TRUE(ReadWholeFile(path, bytes));
  EXPECT_EQ(bytes, "new contents");
  EXPECT_FALSE(ReadWholeFile((dir / "missing").string(), bytes));
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
      {"normal.txt", kAttributeNormal},         {"hidden.txt", kAttributeHidden},
      {"DESKTOP.INI", kAttributeHidden | kAttributeSystem}, {"archive.txt", kAttributeArchive},
      {"readonly.txt", kAttributeReadOnly | kAttributeHidden},
      {"folder", kAttributeSystem | kAttributeDirectory}};
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
