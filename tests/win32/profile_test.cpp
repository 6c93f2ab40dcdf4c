// Win32PrivateProfile (the INI calls under Wine) side by side with the
// program's own INI engine, the one the Linux build writes DESKTOP.INI with:
// the same files read the same, the same writes leave the same files, and
// UTF-16 files go both ways.
#include <gtest/gtest.h>

#include <optional>
#include <string>

#include "formats/profile_engine.h"
#include "platform/win32/win32_file_system.h"
#include "platform/win32/win32_profile.h"
#include "support/temp_dir.h"

namespace plumage::test {
namespace {

using namespace platform;
using namespace formats;

// "<count>:<text>" as a GetString into a buffer of `size` answers.
template <typename GetString>
std::string Answer(std::size_t size, GetString get) {
  std::string buffer(size, '#');
  const std::uint32_t n = get(std::span(buffer.data(), size));
  return std::to_string(n) + ":" + buffer.substr(0, n);
}

class Win32Profile : public ::testing::Test {
 protected:
  std::string File(const char* name) const { return (dir / name).string(); }
  TempDir dir;
  Win32PrivateProfile profile;
};

TEST_F(Win32Profile, ReadsAndWritesAsTheProgramsEngineDoes) {
  const std::string bytes =
      "; a comment\r\n[.ShellClassInfo]\r\nIconFile=C:\\Program Files\\Plumage\\Icons\\Chess.ico\r\n"
      "  IconIndex =  7  \r\nInfoTip=\"quoted text\"\r\nSingle='one'\r\nNoEquals\r\n"
      "Accent=caf\xE9\r\n[Autorun]\r\nIcon=C:\\lib.icl,3\r\n[.shellclassinfo]\r\n"
      "IconFile=the second section of a name is never read\r\n";
  const std::string file = File("DESKTOP.INI");
  WriteFile(file, bytes);
  const std::tuple<const char*, const char*, const char*, std::size_t> lookups[] = {
      {".ShellClassInfo", "IconFile", "<default>", 260}, {".shellclassinfo", "iconindex", "", 260},
      {".ShellClassInfo", "InfoTip", "", 260},  {".ShellClassInfo", "Single", "", 260},
      {".ShellClassInfo", "NoEquals", "x", 260}, {".ShellClassInfo", "Accent", "", 260},
      {"Missing", "Icon", "default   ", 260},   {" .ShellClassInfo ", " IconIndex ", "", 260},
      {".ShellClassInfo", "IconFile", "", 10}};
  for (const auto& [section, key, def, size] : lookups)
    EXPECT_EQ(Answer(size, [&](std::span<char> b) { return profile.GetString(section, key, def, b, file); }),
              Answer(size, [&](std::span<char> b) { return ProfileText(bytes).GetString(section, key, def, b); }))
        << section << " / " << key;
  EXPECT_EQ(Answer(260, [&](std::span<char> b) { return profile.GetString("a", "b", "none", b, File("x.ini")); }),
            "4:none");
  char untouched = 'x';
  EXPECT_EQ(profile.GetString("Autorun", "Icon", "", std::span(&untouched, 0), file), 0u);
  EXPECT_EQ(untouched, 'x');

  // Replaced (in another letter case too), added to its section, a new
  // section: what Wine writes is what the engine writes.
  std::string engine = "[.ShellClassInfo]\r\nIconFile=old.ico\r\nIconIndex=1\r\n[Other]\r\nKey=value\r\n";
  WriteFile(file, engine);
  const std::tuple<const char*, const char*, const char*> writes[] = {
      {".ShellClassInfo", "IconFile", "C:\\Icons\\Chess.ico"}, {".SHELLCLASSINFO", "IconIndex", "0"},
      {".ShellClassInfo", "InfoTip", "new key"}, {"Autorun", "Icon", "C:\\lib.icl,3"},
      {"Other", "Key", "caf\xE9"}};
  for (const auto& [section, key, value] : writes) {
    ASSERT_TRUE(profile.WriteString(section, key, value, file));
    if (auto edited = ProfileText(engine).Set(section, key, value).value()) engine = *edited;
  }
  EXPECT_EQ(ReadFile(file), engine);
}

TEST_F(Win32Profile, AMissingFileIsCreatedAndAReadOnlyOneRefusedWithItsName) {
  const std::string file = File("AUTORUN.INF");
  ASSERT_TRUE(profile.WriteString("Autorun", "Icon", "C:\\lib.icl,3", file));
  Win32FileSystem files;
  ASSERT_TRUE(files.SetAttributes(file, kAttributeReadOnly));
  EXPECT_NE(profile.WriteString("Autorun", "Icon", "other", file).error().message.find("AUTORUN.INF"),
            std::string::npos);
  EXPECT_EQ(profile.ReadText("Autorun", "Icon", file), std::optional<std::string>("C:\\lib.icl,3"));
  ASSERT_TRUE(files.SetAttributes(file, kAttributeNormal));
  EXPECT_FALSE(profile.WriteString("a", "b", "c", File("missing\\x.ini")));
}

// Wine writes UTF-16 where Windows-1252 cannot hold the text, and the engine
// reads what it wrote; Wine reads the engine's UTF-16 file. The icon path is
// in Greek, CJK and an emoji beyond the BMP.
TEST_F(Win32Profile, UnicodeTextGoesBothWaysBetweenWineAndTheEngine) {
  const std::string icon =
      "C:\\\xCE\x9C\xCE\xBF\xCF\x85\xCF\x83\xCE\xB9\xCE\xBA\xCE\xAE\\\xE9\x9F\xB3\xE6\xA5\xBD\\"
      "\xF0\x9F\x98\x80.ico";
  const std::string ansi = "[.ShellClassInfo]\r\nInfoTip=caf\xE9 \x80\r\n";
  const std::string utf16 = ProfileText("").SetText("S", "k", icon).value().value();
  const std::tuple<std::optional<std::string>, std::string, ProfileEncoding> cases[] = {
      {std::nullopt, icon, ProfileEncoding::Utf16Le},  // a new file for text Windows-1252 lacks
      {ansi, icon, ProfileEncoding::Utf16Le},          // a Windows-1252 file, converted
      {utf16, icon, ProfileEncoding::Utf16Le},
      {utf16, "C:\\Icons\\a.ico", ProfileEncoding::Utf16Le},  // stays UTF-16 for ASCII
      {ansi, "C:\\Ic\xC3\xB4nes\\a.ico", ProfileEncoding::Ansi}};  // the text fits
  int n = 0;
  for (const auto& [before, value, encoding] : cases) {
    const std::string file = (dir / ("case" + std::to_string(++n) + ".ini")).string();
    if (before) WriteFile(file, *before);
    ASSERT_TRUE(profile.WriteTexts(".ShellClassInfo", {{"IconFile", value}, {"IconIndex", "0"}}, file));
    const ProfileText written(ReadFile(file)), old(before.value_or(""));
    EXPECT_EQ(std::tuple(written.encoding(), written.FindText(".ShellClassInfo", "IconFile"),
                         written.FindText(".ShellClassInfo", "IconIndex"),
                         written.FindText(".ShellClassInfo", "InfoTip"), profile.ReadText("S", "k", file),
                         profile.ReadText(".ShellClassInfo", "IconFile", file)),
              std::tuple(encoding, std::optional(value), std::optional<std::string>("0"),
                         old.FindText(".ShellClassInfo", "InfoTip"), old.FindText("S", "k"),
                         std::optional(value)))
        << "case " << n;
  }
}

}  // namespace
}  // namespace plumage::test
