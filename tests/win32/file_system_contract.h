// What every IFileSystem promises whichever system it runs on, checked on
// real files: the Windows build runs these on Win32FileSystem under Wine,
// the Linux build on PosixFileSystem.
#pragma once

#include <gtest/gtest.h>

#include <filesystem>
#include <set>
#include <string>
#include <vector>

#include "platform/files.h"
#include "support/temp_dir.h"

namespace plumage::test {

// Read-only protects a file from deletion and from being copied over; a
// folder is no file; what is missing is NotFound, named.
inline void ExpectCopyAndDeleteRules(platform::IFileSystem& files, const TempDir& dir) {
  using namespace platform;
  const std::string from = (dir / "from.ico").string(), to = (dir / "to.ico").string();
  WriteFile(from, "new bytes");
  WriteFile(to, "old bytes");
  auto missing = files.GetAttributes((dir / "missing").string());
  ASSERT_FALSE(missing.ok());
  EXPECT_EQ(std::tuple(missing.error().kind, missing.error().message.find("missing") != std::string::npos,
                       files.SetAttributes(from, 0x80).error().kind),
            std::tuple(ErrorKind::NotFound, true, ErrorKind::Unsupported));
  ASSERT_TRUE(files.SetAttributes(to, kAttributeReadOnly));
  auto removed = files.Remove(to);
  ASSERT_FALSE(removed.ok());
  EXPECT_NE(removed.error().message.find("to.ico"), std::string::npos);
  EXPECT_FALSE(files.Copy(from, to));
  EXPECT_EQ(ReadFile(to), "old bytes");
  ASSERT_TRUE(files.SetAttributes(to, kAttributeNormal));
  ASSERT_TRUE(files.SetAttributes(from, kAttributeHidden));
  ASSERT_TRUE(files.Copy(from, to));
  EXPECT_EQ(ReadFile(to), "new bytes");
  EXPECT_FALSE(files.Copy((dir / "missing").string(), to));
  EXPECT_EQ(ReadFile(to), "new bytes");
  ASSERT_TRUE(files.Remove(to));
  EXPECT_EQ(std::tuple(files.FileExists(to), files.FileExists(from), files.FileExists(dir.str()),
                       files.Remove(to).error().kind, files.Remove(dir.str()).ok()),
            std::tuple(false, true, false, ErrorKind::NotFound, false));
}

// The listing matches the wildcard without regard to case and leaves out
// Hidden, System and folders unless asked, in the file system's order.
inline void ExpectListingRules(platform::IFileSystem& files, const TempDir& dir) {
  using namespace platform;
  for (const char* name : {"Chess.EXE", "go.exe", "readme.txt", "a-very-long-name.exe.bak",
                           "hidden.exe", "system.exe", "old.exe"})
    WriteFile(dir / name, "MZ");
  std::filesystem::create_directory(dir / "tools.exe");
  ASSERT_TRUE(files.SetAttributes((dir / "hidden.exe").string(), kAttributeHidden));
  ASSERT_TRUE(files.SetAttributes((dir / "system.exe").string(), kAttributeSystem));
  ASSERT_TRUE(files.SetAttributes((dir / "old.exe").string(), kAttributeReadOnly | kAttributeArchive));
  auto inOrder = [&dir](const std::set<std::string>& names) {
    std::vector<std::string> listed;
    for (const auto& entry : std::filesystem::directory_iterator(dir.path()))
      if (names.count(entry.path().filename().string()))
        listed.push_back(entry.path().filename().string());
    return listed;
  };
  auto list = [&](const std::string& pattern, std::uint32_t include) {
    auto names = files.List(dir.str(), pattern, include);
    EXPECT_TRUE(names.ok()) << pattern;
    return names ? *names : std::vector<std::string>{"<failed>"};
  };
  EXPECT_EQ(list("*.EXE", 0), inOrder({"Chess.EXE", "go.exe", "old.exe"}));
  EXPECT_EQ(list("*.exe", kAttributeHidden), inOrder({"Chess.EXE", "go.exe", "hidden.exe", "old.exe"}));
  EXPECT_EQ(list("*.exe", kAttributeSystem | kAttributeDirectory),
            inOrder({"Chess.EXE", "go.exe", "system.exe", "old.exe", "tools.exe"}));
  EXPECT_EQ(list("?o.*", 0), std::vector<std::string>{"go.exe"});
  EXPECT_EQ(list("*.*", 0).size(), 5u) << "no '.' or '..'";
  auto missing = files.List((dir / "missing").string(), "*.*", 0);
  ASSERT_FALSE(missing.ok());
  EXPECT_NE(missing.error().message.find("missing"), std::string::npos);
  ASSERT_TRUE(files.SetAttributes((dir / "old.exe").string(), kAttributeNormal));  // for the clean-up
}

}  // namespace plumage::test
