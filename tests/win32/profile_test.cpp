// Win32PrivateProfile (GetPrivateProfileStringA, WritePrivateProfileStringA
// under Wine) side by side with the program's own INI engine, the one the
// Linux build writes DESKTOP.INI with: the same files must read the same,
// and the same writes must leave files that both read the same.
#include <gtest/gtest.h>

#include <windows.h>

#include <array>
#include <optional>
#include <string>
#include <utility>

#include "formats/profile_engine.h"
#include "platform/win32/win32_file_system.h"
#include "platform/win32/win32_profile.h"
#include "platform/win32/win32_text.h"
#include "support/temp_dir.h"

namespace plumage::test {
namespace {

using namespace platform;

std::string Read(IPrivateProfile& profile, const std::string& file, const std::string& section,
                 const std::string& key, const std::string& def = "<default>",
                 std::size_t size = 260) {
  std::string buffer(size, '#');
  std::uint32_t n = profile.GetString(section, key, def, std::span(buffer.data(), size), file);
  return std::to_string(n) + ":" + buffer.substr(0, n);
}

std::string ReadEngine(const std::string& bytes, const std::string& section,
                       const std::string& key, const std::string& def = "<default>",
                       std::size_t size = 260) {
  std::string buffer(size, '#');
  std::uint32_t n =
      ProfileText(bytes).GetString(section, key, def, std::span(buffer.data(), size));
  return std::to_string(n) + ":" + buffer.substr(0, n);
}

class Win32Profile : public ::testing::Test {
 protected:
  TempDir dir;
  Win32PrivateProfile profile;
};

TEST_F(Win32Profile, ReadsAsTheProgramsEngineReads) {
  const std::string bytes =
      "; a comment\r\n"
      "[.ShellClassInfo]\r\n"
      "IconFile=C:\\Program Files\\Plumage\\Icons\\Chess.ico\r\n"
      "  IconIndex =  7  \r\n"
      "InfoTip=\"quoted text\"\r\n"
      "Single='one'\r\n"
      "Empty=\r\n"
      "NoEquals\r\n"
      "Accent=caf\xE9\r\n"
      "[Autorun]\r\n"
      "Icon=C:\\lib.icl,3\r\n"
      "[.shellclassinfo]\r\n"
      "IconFile=the second section of a name is never read\r\n";
  const std::string file = (dir / "DESKTOP.INI").string();
  WriteFile(file, bytes);
  const std::array<std::array<const char*, 2>, 12> lookups = {{
      {".ShellClassInfo", "IconFile"},
      {".shellclassinfo", "iconindex"},
      {".ShellClassInfo", "InfoTip"},
      {".ShellClassInfo", "Single"},
      {".ShellClassInfo", "Empty"},
      {".ShellClassInfo", "NoEquals"},
      {".ShellClassInfo", "Accent"},
      {".ShellClassInfo", "Missing"},
      {"Autorun", "Icon"},
      {"autorun", "ICON"},
      {"Missing", "Icon"},
      {" .ShellClassInfo ", " IconIndex "},
  }};
  for (const auto& [section, key] : lookups) {
    EXPECT_EQ(Read(profile, file, section, key), ReadEngine(bytes, section, key))
        << section << " / " << key;
  }
  EXPECT_EQ(Read(profile, file, ".ShellClassInfo", "IconFile", "", 10),
            ReadEngine(bytes, ".ShellClassInfo", "IconFile", "", 10))
      << "a short buffer";
  EXPECT_EQ(Read(profile, file, ".ShellClassInfo", "Missing", "default   "),
            ReadEngine(bytes, ".ShellClassInfo", "Missing", "default   "))
      << "the default's trailing blanks";
  EXPECT_EQ(Read(profile, (dir / "missing.ini").string(), "a", "b"), "9:<default>");
  std::array<char, 4> untouched = {'x', 'y', 'z', 'w'};
  EXPECT_EQ(profile.GetString("Autorun", "Icon", "", std::span(untouched.data(), 0), file), 0u);
  EXPECT_EQ(untouched[0], 'x');
}

TEST_F(Win32Profile, WritesLeaveWhatTheEngineLeaves) {
  const std::string start =
      "[.ShellClassInfo]\r\n"
      "IconFile=old.ico\r\n"
      "IconIndex=1\r\n"
      "[Other]\r\n"
      "Key=value\r\n";
  const std::string file = (dir / "DESKTOP.INI").string();
  WriteFile(file, start);
  std::string engine = start;
  const std::array<std::array<const char*, 3>, 5> writes = {{
      {".ShellClassInfo", "IconFile", "C:\\Icons\\Chess.ico"},  // replaced
      {".SHELLCLASSINFO", "IconIndex", "0"},                      // replaced, other case
      {".ShellClassInfo", "InfoTip", "new key"},                  // added to its section
      {"Autorun", "Icon", "C:\\lib.icl,3"},                       // a new section
      {"Other", "Key", "caf\xE9"},
  }};
  for (const auto& [section, key, value] : writes) {
    ASSERT_TRUE(profile.WriteString(section, key, value, file).ok());
    auto edited = ProfileText(engine).Set(section, key, value);
    ASSERT_TRUE(edited.ok());
    if (*edited) engine = **edited;
  }
  const std::string written = ReadFile(file);
  EXPECT_EQ(written, engine) << "Wine wrote:\n" << written << "\nthe engine:\n" << engine;
  for (const auto& [section, key, value] : writes)
    EXPECT_EQ(Read(profile, file, section, key), ReadEngine(engine, section, key));
}

TEST_F(Win32Profile, AMissingFileIsCreatedAndAReadOnlyOneRefusedWithItsName) {
  const std::string file = (dir / "AUTORUN.INF").string();
  ASSERT_TRUE(profile.WriteString("Autorun", "Icon", "C:\\lib.icl,3", file).ok());
  EXPECT_EQ(Read(profile, file, "Autorun", "Icon"), "12:C:\\lib.icl,3");
  Win32FileSystem files;
  ASSERT_TRUE(files.SetAttributes(file, kAttributeReadOnly).ok());
  auto refused = profile.WriteString("Autorun", "Icon", "other", file);
  ASSERT_FALSE(refused.ok());
  EXPECT_NE(refused.error().message.find("AUTORUN.INF"), std::string::npos)
      << refused.error().message;
  EXPECT_EQ(Read(profile, file, "Autorun", "Icon"), "12:C:\\lib.icl,3");
  ASSERT_TRUE(files.SetAttributes(file, kAttributeNormal).ok());
  auto noFolder = profile.WriteString("a", "b", "c", (dir / "missing" / "x.ini").string());
  EXPECT_FALSE(noFolder.ok());
}

std::wstring ReadWide(const std::string& file, const wchar_t* section, const wchar_t* key) {
  wchar_t value[260] = {};
  GetPrivateProfileStringW(section, key, L"<default>", value, 260, Utf8ToWide(file).c_str());
  return value;
}

// A folder and icon path in Greek, CJK and an emoji beyond the BMP:
// "C:\Μουσική\音楽\😀.ico".
const std::string kIcon =
    "C:\\\xCE\x9C\xCE\xBF\xCF\x85\xCF\x83\xCE\xB9\xCE\xBA\xCE\xAE\\\xE9\x9F\xB3\xE6\xA5\xBD\\"
    "\xF0\x9F\x98\x80.ico";
const std::wstring kWideIcon =
    L"C:\\\u039C\u03BF\u03C5\u03C3\u03B9\u03BA\u03AE\\\u97F3\u697D\\\xD83D\xDE00.ico";

TEST_F(Win32Profile, ReadsTheUtf16DescriptorTheLinuxEngineWrites) {
  // The engine turns a Windows-1252 DESKTOP.INI into UTF-16 for the path.
  const ProfileText ansi("[.ShellClassInfo]\r\nInfoTip=caf\xE9 \x80\r\nIconIndex=3\r\n");
  auto edited = ansi.SetText(".ShellClassInfo", "IconFile", kIcon);
  ASSERT_TRUE(edited.ok() && edited.value()) << (edited ? "unchanged" : edited.error().message);
  const std::string file = (dir / "DESKTOP.INI").string();
  WriteFile(file, *edited.value());
  ASSERT_EQ(ReadFile(file).substr(0, 2), "\xFF\xFE");

  EXPECT_EQ(ReadWide(file, L".ShellClassInfo", L"IconFile"), kWideIcon);
  EXPECT_EQ(ReadWide(file, L".ShellClassInfo", L"InfoTip"), L"caf\u00E9 \u20AC");
  EXPECT_EQ(ReadWide(file, L".ShellClassInfo", L"IconIndex"), L"3");
  EXPECT_EQ(profile.ReadText(".ShellClassInfo", "IconFile", file), kIcon);
  EXPECT_EQ(profile.ReadText(".ShellClassInfo", "Missing", file), std::nullopt);
  // The Windows-1252 reader gives '?' for what the code page lacks.
  EXPECT_EQ(Read(profile, file, ".ShellClassInfo", "InfoTip"), "6:caf\xE9 \x80");
}

TEST_F(Win32Profile, WritesTextTheLinuxEngineReadsBackEqual) {
  struct Case {
    const char* what;
    std::optional<std::string> before;  // nothing: no file
    std::string value;
    ProfileEncoding encoding;  // of the file afterwards
  };
  const Case cases[] = {
      {"a new file for text Windows-1252 lacks", std::nullopt, kIcon, ProfileEncoding::Utf16Le},
      {"a Windows-1252 file, converted", "[.ShellClassInfo]\r\nInfoTip=caf\xE9 \x80\r\n", kIcon,
       ProfileEncoding::Utf16Le},
      {"a UTF-16 file", ProfileText("").SetText("S", "k", kIcon).value().value(), kIcon,
       ProfileEncoding::Utf16Le},
      {"a UTF-16 file stays so for ASCII", ProfileText("").SetText("S", "k", kIcon).value().value(),
       "C:\\Icons\\a.ico", ProfileEncoding::Utf16Le},
      {"a Windows-1252 file stays so when the text fits",
       "[.ShellClassInfo]\r\nInfoTip=caf\xE9 \x80\r\n", "C:\\Ic\xC3\xB4nes\\a.ico",
       ProfileEncoding::Ansi},
  };
  int n = 0;
  for (const auto& c : cases) {
    const std::string file = (dir / ("case" + std::to_string(++n) + ".ini")).string();
    if (c.before) WriteFile(file, *c.before);
    ASSERT_TRUE(
        profile.WriteTexts(".ShellClassInfo", {{"IconFile", c.value}, {"IconIndex", "0"}}, file)
            .ok())
        << c.what;
    const ProfileText written(ReadFile(file));
    EXPECT_EQ(written.encoding(), c.encoding) << c.what;
    EXPECT_EQ(written.FindText(".ShellClassInfo", "IconFile"), c.value) << c.what;
    EXPECT_EQ(written.FindText(".ShellClassInfo", "IconIndex"), "0") << c.what;
    // What was there reads as before.
    const ProfileText old(c.before.value_or(""));
    const std::pair<const char*, const char*> others[] = {{".ShellClassInfo", "InfoTip"},
                                                          {"S", "k"}};
    for (const auto& [section, key] : others)
      EXPECT_EQ(written.FindText(section, key), old.FindText(section, key)) << c.what << key;
    EXPECT_EQ(profile.ReadText(".ShellClassInfo", "IconFile", file), c.value) << c.what;
  }
}

TEST_F(Win32Profile, AFileInAFolderNamedInAnyScriptIsReadAndWritten) {
  const std::string folder =
      dir.str() + "\\\xCE\xA6\xCE\xAC\xCE\xBA\xCE\xB5\xCE\xBB\xCE\xBF\xCF\x82";
  ASSERT_TRUE(CreateDirectoryW(Utf8ToWide(folder).c_str(), nullptr));
  const std::string file = folder + "\\DESKTOP.INI";
  ASSERT_TRUE(profile.WriteString(".ShellClassInfo", "IconIndex", "4", file).ok());
  EXPECT_EQ(Read(profile, file, ".ShellClassInfo", "IconIndex"), "1:4");
}

}  // namespace
}  // namespace plumage::test
