// The INI reader and writer over real files in a temporary folder. (A
// write through the user's own link, and a new file, are plumagectl's in
// the transcripts safe_writes.t and folder.t.)
#include <gtest/gtest.h>
#include <sys/stat.h>
#include <sys/xattr.h>

#include <array>
#include <filesystem>
#include <vector>

#include "platform/posix/posix_profile.h"
#include "profile/utf16.h"
#include "support/temp_dir.h"
#include "support/xattr_tool.h"

namespace plumage::platform {
namespace {

namespace fs = std::filesystem;
using test::ReadFile;
using test::TempDir;
using test::Utf16;
using test::WriteFile;

std::string Get(PosixPrivateProfile& profile, const std::string& file, const std::string& key,
                const std::string& defaultValue = "") {
  std::array<char, 64> buffer{};
  std::uint32_t n = profile.GetString("S", key, defaultValue, buffer, file);
  return std::string(buffer.data(), n);
}

struct stat Stat(const fs::path& path) {
  struct stat st {};
  stat(path.c_str(), &st);
  return st;
}

std::size_t Entries(const TempDir& dir) {
  return static_cast<std::size_t>(std::distance(fs::directory_iterator(dir.path()), {}));
}

// "音楽" and an emoji beyond the BMP, in UTF-8.
const std::string kCjk = "\xE9\x9F\xB3\xE6\xA5\xBD";
const std::string kEmoji = "\xF0\x9F\x98\x80";

// Each write replaces the file (a new one renamed over it) keeping its
// permissions and extended attributes; text Windows-1252 lacks makes it
// UTF-16 in that one replace; the values it holds already leave it alone.
TEST(PosixProfile, ReplacesTheFileKeepingPermissionsAndExtendedAttributes) {
  TempDir dir;
  PosixPrivateProfile profile;
  const auto file = dir / "DESKTOP.INI";
  WriteFile(file, "; caf\xE9\n[S]\nk=1\n");
  ASSERT_EQ(chmod(file.c_str(), 0640), 0);
  ASSERT_EQ(setxattr(file.c_str(), "user.DOSATTRIB", "0x6", 3, 0), 0);
  ASSERT_EQ(setxattr(file.c_str(), "user.other", "x\0y", 3, 0), 0);
  const ino_t before = Stat(file).st_ino;

  ASSERT_TRUE(profile.WriteString("S", "k", "2", file.string()).ok());
  EXPECT_EQ(ReadFile(file), "; caf\xE9\n[S]\nk=2\n");
  const ino_t ansi = Stat(file).st_ino;
  EXPECT_NE(ansi, before) << "a new file renamed over the old one";
  ASSERT_TRUE(profile.WriteString("S", "k", "2", file.string()).ok());
  EXPECT_EQ(Stat(file).st_ino, ansi) << "the same value: not touched";

  ASSERT_TRUE(
      profile.WriteTexts("S", {{"k", "3"}, {"IconFile", kCjk + kEmoji}}, file.string()).ok());
  EXPECT_EQ(ReadFile(file), Utf16(u"; caf\u00E9\n[S]\nk=3\nIconFile=\u97F3\u697D\U0001F600\r\n"));
  EXPECT_EQ(Stat(file).st_mode & 07777, 0640u);
  EXPECT_EQ(test::GetfattrValue(file.string(), "user.DOSATTRIB"), "0x6");
  EXPECT_EQ(test::GetfattrValue(file.string(), "user.other"), std::string("x\0y", 3));
  EXPECT_EQ(Entries(dir), 1u);
  EXPECT_EQ(profile.ReadText("S", "IconFile", file.string()), kCjk + kEmoji);
  EXPECT_EQ(profile.ReadText("s", "K", file.string()), "3");

  const ino_t utf16 = Stat(file).st_ino;
  ASSERT_TRUE(profile.WriteTexts("S", {{"IconFile", kCjk + kEmoji}}, file.string()).ok());
  EXPECT_EQ(Stat(file).st_ino, utf16) << "the same text: not touched";
  ASSERT_TRUE(profile.WriteTexts("S", {{"IconFile", "a.ico"}}, file.string()).ok());
  EXPECT_EQ(ReadFile(file), Utf16(u"; caf\u00E9\n[S]\nk=3\nIconFile=a.ico\r\n"))
      << "plain text keeps it UTF-16";
}

// What must not be overwritten is refused in both views, naming the file
// and why, and the file stays as it was.
TEST(PosixProfile, RefusesWhatItMustNotOverwrite) {
  TempDir dir;
  PosixPrivateProfile profile;
  const auto file = dir / "plain.ini";
  std::string big = "[S]\r\nk=1\r\n";
  big.resize(kMaxProfileBytes + 1, ';');
  const struct {
    const char* what;
    std::string bytes;
    bool readOnly;
    bool text;  // WriteTexts, else WriteStrings
    std::vector<ProfileValue> values;
    const char* why;
  } cases[] = {
      {"read-only, for root too", "[S]\nk=1\n", true, false, {{"k", "2"}}, "read-only"},
      {"read-only text", "[S]\nk=1\n", true, true, {{"k", kCjk}}, "read-only"},
      {"a value the file could not give back",
       "[S]\nk=1\n",
       false,
       false,
       {{"k", "a\nIconIndex=9"}},
       "line"},
      // All or nothing: the first value is not written either.
      {"one text cannot be kept", "[S]\nk=1\n", false, true, {{"k", kCjk}, {"j", "a\nb"}}, "line"},
      // Within the cap, but not once it is UTF-16.
      {"beyond the cap once UTF-16",
       big.substr(0, kMaxProfileBytes / 2 + 1),
       false,
       true,
       {{"k", kCjk}},
       "larger"},
      {"beyond the cap", big, false, false, {{"k", "2"}}, "larger"},
      {"text beyond the cap", big, false, true, {{"k", kCjk}}, "larger"},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.what);
    fs::remove(file);
    WriteFile(file, c.bytes);
    if (c.readOnly) {
      ASSERT_EQ(chmod(file.c_str(), 0444), 0);
    }
    Status status = c.text ? profile.WriteTexts("S", c.values, file.string())
                           : profile.WriteStrings("S", c.values, file.string());
    ASSERT_FALSE(status.ok());
    EXPECT_NE(status.error().message.find(file.string()), std::string::npos);
    EXPECT_NE(status.error().message.find(c.why), std::string::npos) << status.error().message;
    EXPECT_EQ(ReadFile(file), c.bytes);
  }
  // A file beyond the cap is not read either; a folder where the file
  // should be, or no folder at all, is refused.
  EXPECT_EQ(Get(profile, file.string(), "k", "dflt"), "dflt");
  EXPECT_EQ(profile.ReadText("S", "k", file.string()), std::nullopt);
  WriteFile(file, big.substr(0, kMaxProfileBytes / 2 + 1));
  EXPECT_TRUE(profile.WriteTexts("S", {{"k", "2"}}, file.string()).ok()) << "text that fits";
  fs::create_directory(dir / "folder.ini");
  EXPECT_FALSE(profile.WriteString("S", "k", "2", (dir / "folder.ini").string()).ok());
  EXPECT_FALSE(profile.WriteString("S", "k", "2", (dir / "none" / "x.ini").string()).ok());
}

}  // namespace
}  // namespace plumage::platform
