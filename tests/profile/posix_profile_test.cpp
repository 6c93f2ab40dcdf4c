// The INI writer's refusals over real files in a temporary folder. (What
// a write replaces and keeps, through the user's own link too, is
// plumagectl's in the transcripts folder.t and safe_writes.t.)
#include <gtest/gtest.h>
#include <sys/stat.h>

#include <array>
#include <filesystem>
#include <vector>

#include "platform/posix/posix_profile.h"
#include "support/temp_dir.h"

namespace plumage::platform {
namespace {

namespace fs = std::filesystem;
using test::ReadFile;
using test::TempDir;
using test::WriteFile;

std::string Get(PosixPrivateProfile& profile, const std::string& file, const std::string& key,
                const std::string& defaultValue = "") {
  std::array<char, 64> buffer{};
  std::uint32_t n = profile.GetString("S", key, defaultValue, buffer, file);
  return std::string(buffer.data(), n);
}

// "音楽" in UTF-8.
const std::string kCjk = "\xE9\x9F\xB3\xE6\xA5\xBD";

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
