// The INI reader and writer over real files in a temporary folder.
#include <gtest/gtest.h>
#include <sys/stat.h>
#include <sys/xattr.h>
#include <unistd.h>

#include <array>
#include <filesystem>

#include "platform/posix/posix_profile.h"
#include "support/temp_dir.h"
#include "support/xattr_tool.h"

namespace plumage::platform {
namespace {

using test::ReadFile;
using test::TempDir;
using test::WriteFile;

std::string Get(PosixPrivateProfile& profile, const std::string& file, const std::string& key,
                const std::string& defaultValue = "") {
  std::array<char, 64> buffer{};
  std::uint32_t n = profile.GetString("S", key, defaultValue, buffer, file);
  return std::string(buffer.data(), n);
}

mode_t Mode(const std::filesystem::path& path) {
  struct stat st {};
  stat(path.c_str(), &st);
  return st.st_mode & 07777;
}

ino_t Inode(const std::filesystem::path& path) {
  struct stat st {};
  stat(path.c_str(), &st);
  return st.st_ino;
}

// UTF-16LE with its byte-order mark.
std::string Utf16(const std::u16string& text) {
  std::string out = "\xFF\xFE";
  for (char16_t c : text) {
    out.push_back(static_cast<char>(c & 0xFF));
    out.push_back(static_cast<char>(c >> 8));
  }
  return out;
}

// "音楽" and an emoji beyond the BMP, in UTF-8.
const std::string kCjk = "\xE9\x9F\xB3\xE6\xA5\xBD";
const std::string kEmoji = "\xF0\x9F\x98\x80";

TEST(PosixProfile, MissingFileReadsTheDefaultAndIsCreatedByAWrite) {
  TempDir dir;
  PosixPrivateProfile profile;
  const std::string file = (dir / "new.ini").string();
  EXPECT_EQ(Get(profile, file, "k", "none"), "none");
  ASSERT_TRUE(profile.WriteString("S", "k", "v", file).ok());
  EXPECT_EQ(ReadFile(file), "[S]\r\nk=v\r\n");
  EXPECT_EQ(Get(profile, file, "k"), "v");
  // Nothing else is left in the folder: no temporary sibling.
  EXPECT_EQ(std::distance(std::filesystem::directory_iterator(dir.path()), {}), 1);
}

TEST(PosixProfile, ReplacesTheFileKeepingPermissionsAndExtendedAttributes) {
  TempDir dir;
  PosixPrivateProfile profile;
  const auto file = dir / "keep.ini";
  WriteFile(file, "; mine\n[S]\nk=1\n");
  ASSERT_EQ(chmod(file.c_str(), 0640), 0);
  ASSERT_EQ(setxattr(file.c_str(), "user.DOSATTRIB", "0x6", 3, 0), 0);
  ASSERT_EQ(setxattr(file.c_str(), "user.other", "x\0y", 3, 0), 0);
  const ino_t before = Inode(file);

  ASSERT_TRUE(profile.WriteString("S", "k", "2", file.string()).ok());
  EXPECT_EQ(ReadFile(file), "; mine\n[S]\nk=2\n");
  EXPECT_NE(Inode(file), before) << "a new file renamed over the old one";
  EXPECT_EQ(Mode(file), 0640);
  EXPECT_EQ(test::GetfattrValue(file.string(), "user.DOSATTRIB"), "0x6");
  EXPECT_EQ(test::GetfattrValue(file.string(), "user.other"), std::string("x\0y", 3));

  // The same value again: the file is not touched at all.
  const ino_t written = Inode(file);
  ASSERT_TRUE(profile.WriteString("S", "k", "2", file.string()).ok());
  EXPECT_EQ(Inode(file), written);
}

TEST(PosixProfile, AWriteThroughALinkRewritesItsTarget) {
  TempDir dir;
  PosixPrivateProfile profile;
  WriteFile(dir / "real.ini", "[S]\nk=1\n");
  std::filesystem::create_symlink("real.ini", dir / "link.ini");
  ASSERT_TRUE(profile.WriteString("S", "k", "2", (dir / "link.ini").string()).ok());
  EXPECT_TRUE(std::filesystem::is_symlink(dir / "link.ini"));
  EXPECT_EQ(ReadFile(dir / "real.ini"), "[S]\nk=2\n");
}

TEST(PosixProfile, RefusesWhatItMustNotOverwrite) {
  TempDir dir;
  PosixPrivateProfile profile;

  // Read-only: no write permission for anybody, root included.
  const auto readOnly = dir / "ro.ini";
  WriteFile(readOnly, "[S]\nk=1\n");
  ASSERT_EQ(chmod(readOnly.c_str(), 0444), 0);
  Status status = profile.WriteString("S", "k", "2", readOnly.string());
  ASSERT_FALSE(status.ok());
  EXPECT_NE(status.error().message.find(readOnly.string()), std::string::npos);
  EXPECT_NE(status.error().message.find("read-only"), std::string::npos);
  EXPECT_EQ(ReadFile(readOnly), "[S]\nk=1\n");
  EXPECT_EQ(Get(profile, readOnly.string(), "k"), "1");

  // A folder where the file should be.
  std::filesystem::create_directory(dir / "folder.ini");
  EXPECT_FALSE(profile.WriteString("S", "k", "2", (dir / "folder.ini").string()).ok());

  // A folder that is not there.
  EXPECT_FALSE(profile.WriteString("S", "k", "2", (dir / "none" / "x.ini").string()).ok());

  // A value the file could not give back.
  const auto plain = dir / "plain.ini";
  WriteFile(plain, "[S]\nk=1\n");
  EXPECT_FALSE(profile.WriteString("S", "k", "a\nIconIndex=9", plain.string()).ok());
  EXPECT_EQ(ReadFile(plain), "[S]\nk=1\n");
}

TEST(PosixProfile, TextWindows1252LacksMakesTheFileUtf16InOneReplace) {
  TempDir dir;
  PosixPrivateProfile profile;
  const auto file = dir / "DESKTOP.INI";
  WriteFile(file, "; caf\xE9\n[S]\nk=1\n");
  ASSERT_EQ(chmod(file.c_str(), 0640), 0);
  ASSERT_EQ(setxattr(file.c_str(), "user.DOSATTRIB", "0x6", 3, 0), 0);
  const ino_t before = Inode(file);

  // The first value fits Windows-1252, the second does not: one file, all
  // UTF-16, with both.
  ASSERT_TRUE(
      profile.WriteTexts("S", {{"k", "2"}, {"IconFile", kCjk + kEmoji}}, file.string()).ok());
  EXPECT_EQ(ReadFile(file), Utf16(u"; caf\u00E9\n[S]\nk=2\nIconFile=\u97F3\u697D\U0001F600\r\n"));
  EXPECT_NE(Inode(file), before);
  EXPECT_EQ(Mode(file), 0640);
  EXPECT_EQ(test::GetfattrValue(file.string(), "user.DOSATTRIB"), "0x6");
  EXPECT_EQ(std::distance(std::filesystem::directory_iterator(dir.path()), {}), 1);
  EXPECT_EQ(profile.ReadText("S", "IconFile", file.string()), kCjk + kEmoji);
  EXPECT_EQ(profile.ReadText("s", "K", file.string()), "2");
  EXPECT_EQ(profile.ReadText("S", "missing", file.string()), std::nullopt);

  // The same text again: the file is not touched.
  const ino_t written = Inode(file);
  ASSERT_TRUE(profile.WriteTexts("S", {{"IconFile", kCjk + kEmoji}}, file.string()).ok());
  EXPECT_EQ(Inode(file), written);

  // Plain text keeps it UTF-16.
  ASSERT_TRUE(profile.WriteTexts("S", {{"IconFile", "a.ico"}}, file.string()).ok());
  EXPECT_EQ(ReadFile(file), Utf16(u"; caf\u00E9\n[S]\nk=2\nIconFile=a.ico\r\n"));
}

TEST(PosixProfile, TextWritesFollowTheSameRulesAsByteWrites) {
  TempDir dir;
  PosixPrivateProfile profile;

  // Through a link that may be followed: its target is rewritten.
  WriteFile(dir / "real.ini", "[S]\r\nk=1\r\n");
  std::filesystem::create_symlink("real.ini", dir / "link.ini");
  ASSERT_TRUE(profile.WriteTexts("S", {{"k", kCjk}}, (dir / "link.ini").string()).ok());
  EXPECT_TRUE(std::filesystem::is_symlink(dir / "link.ini"));
  EXPECT_EQ(ReadFile(dir / "real.ini"), Utf16(u"[S]\r\nk=\u97F3\u697D\r\n"));

  // All or nothing: the second value cannot be kept, so the first is not
  // written either, and the file stays Windows-1252.
  const auto plain = dir / "plain.ini";
  WriteFile(plain, "[S]\nk=1\n");
  EXPECT_FALSE(profile.WriteTexts("S", {{"k", kCjk}, {"j", "a\nb"}}, plain.string()).ok());
  EXPECT_EQ(ReadFile(plain), "[S]\nk=1\n");

  // Read-only.
  ASSERT_EQ(chmod(plain.c_str(), 0444), 0);
  Status status = profile.WriteTexts("S", {{"k", kCjk}}, plain.string());
  ASSERT_FALSE(status.ok());
  EXPECT_NE(status.error().message.find("read-only"), std::string::npos);
  EXPECT_EQ(ReadFile(plain), "[S]\nk=1\n");

  EXPECT_EQ(profile.ReadText("S", "k", (dir / "none.ini").string()), std::nullopt);
}

TEST(PosixProfile, AFileBeyondTheCapIsNeitherReadNorWritten) {
  TempDir dir;
  PosixPrivateProfile profile;
  const auto big = dir / "big.ini";
  std::string bytes = "[S]\r\nk=1\r\n";
  bytes.resize(kMaxProfileBytes + 1, ';');
  WriteFile(big, bytes);
  EXPECT_EQ(Get(profile, big.string(), "k", "dflt"), "dflt");
  EXPECT_EQ(profile.ReadText("S", "k", big.string()), std::nullopt);
  Status status = profile.WriteString("S", "k", "2", big.string());
  ASSERT_FALSE(status.ok());
  EXPECT_NE(status.error().message.find("larger"), std::string::npos);
  EXPECT_FALSE(profile.WriteTexts("S", {{"k", kCjk}}, big.string()).ok());
  EXPECT_EQ(std::filesystem::file_size(big), bytes.size());

  // Within the cap, but not once it is UTF-16: refused, left as it is.
  const auto half = dir / "half.ini";
  const std::string halfBytes = bytes.substr(0, kMaxProfileBytes / 2 + 1);
  WriteFile(half, halfBytes);
  status = profile.WriteTexts("S", {{"k", kCjk}}, half.string());
  ASSERT_FALSE(status.ok());
  EXPECT_NE(status.error().message.find("larger"), std::string::npos) << status.error().message;
  EXPECT_EQ(ReadFile(half), halfBytes);
  EXPECT_TRUE(profile.WriteTexts("S", {{"k", "2"}}, half.string()).ok()) << "text that fits";
}

}  // namespace
}  // namespace plumage::platform
