// plumagectl show / set / reset, run as a separate program against a
// temporary folder and a settings store of its own.
#include "folder_fixture.h"
#include "support/icon_writer.h"

namespace plumage::test {
namespace {

class CliFolderTest : public ::testing::Test {
 protected:
  ProcessResult Ctl(std::vector<std::string> args) {
    args.insert(args.begin(), PLUMAGECTL_PATH);
    return RunProcess(args, {"PLUMAGE_CONFIG=" + (dir / "config").string(),
                             "PLUMAGE_HOME=" + (dir / "home").string(), "DISPLAY="});
  }
  TempDir dir;
  fs::path folder = dir / "My Games";
  fs::path ini = folder / "DESKTOP.INI";
};

TEST_F(CliFolderTest, SetShowReset) {
  fs::create_directory(folder);
  ProcessResult set = Ctl({"set", "--no-copy", "--force", folder.string(), "/icons/game.ico", "2"});
  // Written; the Linux file managers have no such icon to show: a warning.
  EXPECT_EQ(set.exitCode, 3) << set.err;
  EXPECT_EQ(ReadFile(ini), "[.ShellClassInfo]\r\nIconFile=/icons/game.ico\r\nIconIndex=2\r\n");
  EXPECT_EQ(GetfattrValue(ini.string(), "user.DOSATTRIB"), "0x6");
  EXPECT_EQ(GetfattrValue(folder.string(), "user.DOSATTRIB"), "0x4");

  ProcessResult show = Ctl({"show", folder.string()});
  EXPECT_EQ(show.exitCode, 0);
  EXPECT_NE(show.out.find("Icon file: /icons/game.ico\n"), std::string::npos) << show.out;
  EXPECT_NE(show.out.find("Index: 2\n"), std::string::npos);
  EXPECT_NE(show.out.find("Source: " + ini.string() + "\n"), std::string::npos);

  ProcessResult reset = Ctl({"reset", folder.string()});
  EXPECT_EQ(reset.exitCode, 0) << reset.err;
  EXPECT_EQ(ReadFile(ini), "[.ShellClassInfo]\r\nIconFile=\r\nIconIndex=\r\n");
  EXPECT_EQ(GetfattrValue(folder.string(), "user.DOSATTRIB"), std::nullopt);
}

TEST_F(CliFolderTest, DryRunChangesNothingAndSaysWhat) {
  fs::create_directory(folder);
  WriteFile(ini, "[Other]\r\nx=1\r\n");
  ProcessResult run = Ctl({"set", "--no-copy", "--dry-run", "--force", folder.string(), "/icons/game.ico"});
  EXPECT_EQ(run.exitCode, 0) << run.err;
  EXPECT_EQ(ReadFile(ini), "[Other]\r\nx=1\r\n");
  EXPECT_EQ(GetfattrValue(folder.string(), "user.DOSATTRIB"), std::nullopt);
  EXPECT_NE(run.out.find("IconFile=/icons/game.ico"), std::string::npos) << run.out;
  EXPECT_NE(run.out.find("set the attributes of " + ini.string() + " to 6 (Hidden, System)"),
            std::string::npos)
      << run.out;
  EXPECT_NE(run.out.find("[Other]\r\nx=1\r\n[.ShellClassInfo]\r\nIconFile=/icons/game.ico\r\n"
                         "IconIndex=0\r\n"),
            std::string::npos)
      << run.out;
}

TEST_F(CliFolderTest, FailuresGoToStandardErrorWithAnExitCode) {
  ProcessResult missing = Ctl({"set", (dir / "none").string(), "/icons/game.ico"});
  EXPECT_EQ(missing.exitCode, 1);
  EXPECT_NE(missing.err.find("Invalid folder!"), std::string::npos) << missing.err;
  EXPECT_FALSE(fs::exists(dir / "none"));

  ProcessResult network = Ctl({"reset", "//server/share"});
  EXPECT_EQ(network.exitCode, 1);
  EXPECT_NE(network.err.find("network"), std::string::npos) << network.err;

  fs::create_directory(folder);
  ProcessResult badIndex = Ctl({"set", folder.string(), "/icons/game.ico", "two"});
  EXPECT_EQ(badIndex.exitCode, 1);
  EXPECT_FALSE(fs::exists(ini));
}

// UTF-16LE with its byte-order mark, as Windows writes a DESKTOP.INI.
std::string Utf16(const std::u16string& text) {
  std::string out = "\xFF\xFE";
  for (char16_t c : text) {
    out.push_back(static_cast<char>(c & 0xFF));
    out.push_back(static_cast<char>(c >> 8));
  }
  return out;
}

// "/icons/Μουσική/音楽/😀.ico": Greek, CJK and an emoji beyond the BMP.
const std::string kWideIcon =
    "/icons/\xCE\x9C\xCE\xBF\xCF\x85\xCF\x83\xCE\xB9\xCE\xBA\xCE\xAE/\xE9\x9F\xB3\xE6\xA5\xBD/"
    "\xF0\x9F\x98\x80.ico";
const std::u16string kWideIcon16 =
    u"/icons/\u039C\u03BF\u03C5\u03C3\u03B9\u03BA\u03AE/\u97F3\u697D/\U0001F600.ico";

TEST_F(CliFolderTest, TextWindows1252LacksIsWrittenAsUtf16AndReadBack) {
  // A folder named in those scripts too.
  const fs::path named = dir /
                         "\xCE\x9C\xCE\xBF\xCF\x85\xCF\x83\xCE\xB9\xCE\xBA\xCE\xAE "
                         "\xE9\x9F\xB3\xE6\xA5\xBD \xF0\x9F\x98\x80";
  const fs::path namedIni = named / "DESKTOP.INI";
  fs::create_directory(named);
  ProcessResult set = Ctl({"set", "--force", named.string(), kWideIcon, "2"});
  EXPECT_EQ(set.exitCode, 3) << set.err;  // no such icon for the Linux file managers
  const std::string bytes = ReadFile(namedIni);
  EXPECT_EQ(bytes.substr(0, 2), "\xFF\xFE");
  EXPECT_EQ(bytes.substr(2, 38), Utf16(u"[.ShellClassInfo]\r\n").substr(2));
  EXPECT_EQ(bytes, Utf16(u"[.ShellClassInfo]\r\nIconFile=" + kWideIcon16 + u"\r\nIconIndex=2\r\n"));
  EXPECT_EQ(GetfattrValue(namedIni.string(), "user.DOSATTRIB"), "0x6");
  EXPECT_EQ(GetfattrValue(named.string(), "user.DOSATTRIB"), "0x4");

  ProcessResult show = Ctl({"show", named.string()});
  EXPECT_EQ(show.exitCode, 0) << show.err;
  EXPECT_NE(show.out.find("Icon file: " + kWideIcon + "\n"), std::string::npos) << show.out;
  EXPECT_NE(show.out.find("Index: 2\n"), std::string::npos) << show.out;

  // Plain ASCII keeps a UTF-16 file UTF-16.
  ProcessResult ascii = Ctl({"set", "--force", named.string(), "/icons/game.ico", "1"});
  EXPECT_EQ(ascii.exitCode, 3) << ascii.err;
  EXPECT_EQ(ReadFile(namedIni),
            Utf16(u"[.ShellClassInfo]\r\nIconFile=/icons/game.ico\r\nIconIndex=1\r\n"));
}

TEST_F(CliFolderTest, AWindows1252DescriptorStaysSoWhileTheTextFits) {
  fs::create_directory(folder);
  WriteFile(ini, "[.ShellClassInfo]\r\nInfoTip=caf\xE9\r\nIconFile=old.ico\r\n");
  ProcessResult set = Ctl({"set", "--no-copy", "--force", folder.string(), "/ic\xC3\xB4nes/a.ico"});
  EXPECT_EQ(set.exitCode, 3) << set.err;
  EXPECT_EQ(ReadFile(ini),
            "[.ShellClassInfo]\r\nInfoTip=caf\xE9\r\nIconFile=/ic\xF4nes/a.ico\r\nIconIndex=0\r\n");

  // A dry run tells the change of encoding and shows the text.
  ProcessResult dry = Ctl({"set", "--no-copy", "--dry-run", "--force", folder.string(), kWideIcon});
  EXPECT_EQ(dry.exitCode, 0) << dry.err;
  EXPECT_NE(dry.out.find(
                ini.string() +
                " would read (UTF-16LE):\n[.ShellClassInfo]\r\nInfoTip=caf\xC3\xA9\r\nIconFile=" +
                kWideIcon),
            std::string::npos)
      << dry.out;
  EXPECT_EQ(ReadFile(ini).substr(0, 2), "[.");

  // The text that does not fit: the whole file becomes UTF-16, what was
  // there converted.
  set = Ctl({"set", "--no-copy", "--force", folder.string(), kWideIcon});
  EXPECT_EQ(set.exitCode, 3) << set.err;
  EXPECT_EQ(ReadFile(ini), Utf16(u"[.ShellClassInfo]\r\nInfoTip=caf\u00E9\r\nIconFile=" +
                                 kWideIcon16 + u"\r\nIconIndex=0\r\n"));
  ProcessResult show = Ctl({"show", folder.string()});
  EXPECT_NE(show.out.find("Icon file: " + kWideIcon + "\n"), std::string::npos) << show.out;
}

}  // namespace
}  // namespace plumage::test

namespace plumage::test {
namespace {

// plumagectl doctor explains, one line each, what keeps Windows from
// showing the icon, and exits 0 only when nothing does.
TEST_F(CliFolderTest, DoctorSaysWhyWindowsWouldOrWouldNotShowTheIcon) {
  const Bytes ico = WriteIco({EncodeDib([] {
    DibDef d;
    d.width = d.height = 16;
    d.bpp = 8;
    d.palette = {{1, 2, 3, 255}};
    d.pixels.assign(16 * 16, 0);
    return d;
  }())});
  const fs::path icon = dir / "one.ico";
  WriteFile(icon, std::string(ico.begin(), ico.end()));
  fs::create_directory(folder);

  ProcessResult none = Ctl({"doctor", folder.string()});
  EXPECT_EQ(none.exitCode, 1);
  EXPECT_NE(none.out.find("FAIL  descriptor: no DESKTOP.INI in " + folder.string()),
            std::string::npos)
      << none.out;

  ASSERT_EQ(Ctl({"set", folder.string(), icon.string()}).exitCode, 0);
  ProcessResult good = Ctl({"doctor", folder.string()});
  EXPECT_EQ(good.exitCode, 0) << good.out;
  EXPECT_EQ(good.out.find("FAIL"), std::string::npos) << good.out;
  EXPECT_NE(good.out.find("ok    icon file: FolderIcon.ico is inside the folder"), std::string::npos)
      << good.out;
  EXPECT_NE(good.out.find("Windows would show this folder's icon.\n"), std::string::npos);

  struct Case {
    const char* ini;
    bool system;
    const char* says;
  };
  const std::string linuxPath = icon.string();
  for (const Case& c : {
           Case{"IconFile=/usr/share/x.ico\r\nIconIndex=0", true,
                "FAIL  icon file: /usr/share/x.ico is a path of this system only"},
           Case{"IconFile=gone.ico\r\nIconIndex=0", true,
                "FAIL  icon file: gone.ico is named inside the folder, but there is no file"},
           Case{"IconFile=FolderIcon.ico\r\nIconIndex=4", true,
                "FAIL  index: no icon at index 4 (the file holds 1 icon)"},
           Case{"IconFile=FolderIcon.ico\r\nIconIndex=0", false,
                "FAIL  folder: " },
           Case{"IconIndex=0", true, "FAIL  keys: no IconFile or IconResource"},
       }) {
    WriteFile(ini, std::string("[.ShellClassInfo]\r\n") + c.ini + "\r\n");
    // Quoted: setfattr takes a bare 0x... for hex-encoded bytes.
    ASSERT_TRUE(Setfattr(folder.string(), "user.DOSATTRIB", c.system ? "\"0x4\"" : "\"0x0\""));
    ProcessResult r = Ctl({"doctor", folder.string()});
    EXPECT_EQ(r.exitCode, 1) << c.ini << "\n" << r.out;
    EXPECT_NE(r.out.find(c.says), std::string::npos) << c.ini << "\n" << r.out;
    // One line says it: the checks after a failed one do not pile up.
    std::size_t fails = 0;
    for (std::size_t at = r.out.find("FAIL"); at != std::string::npos; at = r.out.find("FAIL", at + 1))
      ++fails;
    EXPECT_EQ(fails, 1u) << r.out;
    EXPECT_NE(r.out.find("Windows would not show this folder's icon.\n"), std::string::npos);
  }
}

}  // namespace
}  // namespace plumage::test
