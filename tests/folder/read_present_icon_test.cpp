// ReadIniValue and ReadPresentIcon over real DESKTOP.INI files.
#include "folder/descriptor.h"
#include "folder_fixture.h"

namespace plumage::test {
namespace {

TEST_F(FolderTest, ReadIniValueCutsAt252Characters) {
  const auto file = (dir / "x.ini").string();
  struct Case {
    std::string stored;  // the line's value as it stands in the file
    std::string read;
  };
  const Case cases[] = {
      {"", "vide"},
      {"vide", "vide"},
      {"  v  ", "v"},
      {"\"abc   \"", "abc   "},  // blanks inside quotes stay
      {std::string(251, 'a'), std::string(251, 'a')},
      {std::string(252, 'b'), std::string(252, 'b')},
      {std::string(253, 'c'), std::string(252, 'c')},
      {std::string(254, 'd'), std::string(252, 'd')},
      {std::string(400, 'e'), std::string(252, 'e')},
      // 253 characters that end in blanks: the blanks go, then one more.
      {"\"" + std::string(250, 'f') + "   \"", std::string(249, 'f')},
      {"\xE9t\xE9", "\xC3\xA9t\xC3\xA9"},  // Windows-1252 in the file, UTF-8 in the program
  };
  for (const auto& c : cases) {
    WriteFile(file, "[S]\r\nk=" + c.stored + "\r\n");
    EXPECT_EQ(ReadIniValue(env.profile, file, "S", "k"), c.read) << c.stored.size();
  }
  EXPECT_EQ(ReadIniValue(env.profile, file, "S", "missing"), "vide");
  EXPECT_EQ(ReadIniValue(env.profile, (dir / "none.ini").string(), "S", "k"), "vide");
}

// A UTF-16LE DESKTOP.INI, as Windows writes one, with k= the given units.
std::string Utf16Ini(const std::u16string& value) {
  const std::u16string text = u"[S]\r\nk=" + value + u"\r\n";
  std::string out = "\xFF\xFE";
  for (char16_t c : text) {
    out.push_back(static_cast<char>(c & 0xFF));
    out.push_back(static_cast<char>(c >> 8));
  }
  return out;
}

std::u16string Repeat(std::u16string_view unit, std::size_t count) {
  std::u16string out;
  for (std::size_t i = 0; i < count; ++i) out += unit;
  return out;
}

std::string Repeat(std::string_view utf8, std::size_t count) {
  std::string out;
  for (std::size_t i = 0; i < count; ++i) out += utf8;
  return out;
}

TEST_F(FolderTest, ReadIniValueCountsCharactersNotBytes) {
  const auto file = (dir / "x.ini").string();
  const std::string greek = "\xCE\x9C";          // Μ: two bytes
  const std::string cjk = "\xE9\x9F\xB3";        // 音: three
  const std::string emoji = "\xF0\x9F\x98\x80";  // 😀: four, two UTF-16 units
  struct Case {
    const char* what;
    std::string bytes;  // the whole file
    std::string read;
  };
  const Case cases[] = {
      {"empty", Utf16Ini(u""), "vide"},
      {"252 emoji", Utf16Ini(Repeat(u"\U0001F600", 252)), Repeat(emoji, 252)},
      {"253 Greek letters", Utf16Ini(Repeat(u"\u039C", 253)), Repeat(greek, 252)},
      {"300 CJK", Utf16Ini(Repeat(u"\u97F3", 300)), Repeat(cjk, 252)},
      {"never half an emoji", Utf16Ini(Repeat(u"a", 250) + Repeat(u"\U0001F600", 5)),
       std::string(250, 'a') + emoji + emoji},
      {"253 characters that end in blanks: the blanks go, then one more",
       Utf16Ini(u"\"" + Repeat(u"\u97F3", 250) + u"   \""), Repeat(cjk, 249)},
      {"UTF-8 with its mark", "\xEF\xBB\xBF[S]\r\nk=" + Repeat(cjk, 260) + "\r\n",
       Repeat(cjk, 252)},
  };
  for (const auto& c : cases) {
    WriteFile(file, c.bytes);
    EXPECT_EQ(ReadIniValue(env.profile, file, "S", "k"), c.read) << c.what;
  }
}

TEST_F(FolderTest, PathKinds) {
  WriteFile(dir / "f", "x");
  EXPECT_EQ(GetPathKind(env.files, (dir / "f").string()), 1);
  EXPECT_EQ(GetPathKind(env.files, folder.string()), 2);
  EXPECT_EQ(GetPathKind(env.files, (dir / "none").string()), 0);
  EXPECT_EQ(GetPathKind(env.files, ""), 0);
}

class PresentIconTest : public FolderTest {
 protected:
  PresentIconTest() {
    hooks.LoadIconList = [this] { journal.push_back("LoadIconList " + SelectedIcon); };
    hooks.ListCount = [this] { return listCount; };
    hooks.SelectListEntry = [this](int position) { selected = position; };
    hooks.Show = [this] { journal.push_back("Show"); };
    hooks.SelectionChanged = [this] { ++changes; };
  }
  PresentIconSource Read(const std::string& ini) {
    if (!ini.empty()) WriteFile(Ini(), ini);
    selected = 0;
    return Ops().ReadPresentIcon();
  }
  int listCount = 3;
  int selected = 0;
  int changes = 0;
};

TEST_F(PresentIconTest, OffersTheFolderIconOrTheDefaultLibrary) {
  EXPECT_EQ(Read(""), PresentIconSource::None);
  EXPECT_EQ(SelectedIcon, "");
  EXPECT_EQ(SelectedNo, "");
  EXPECT_EQ(changes, 1);
  EXPECT_TRUE(journal.empty()) << "nothing listed, nothing shown";

  env.program.DefaultLibrary = "/lib/icons.icl";
  EXPECT_EQ(Read(""), PresentIconSource::DefaultLibrary);
  EXPECT_EQ(SelectedIcon, "/lib/icons.icl");
  EXPECT_EQ(SelectedNo, "0");
  EXPECT_EQ(selected, 1);
  EXPECT_EQ(journal, (Journal{"LoadIconList /lib/icons.icl", "Show"}));

  EXPECT_EQ(Read("[.ShellClassInfo]\r\nIconFile=vide\r\nIconIndex=4\r\n"),
            PresentIconSource::DefaultLibrary);
  EXPECT_EQ(SelectedIcon, "/lib/icons.icl");
  EXPECT_EQ(SelectedNo, "0");
}

TEST_F(PresentIconTest, SelectsThePresentIndexWhenTheListHasIt) {
  struct Case {
    const char* index;  // nullptr: no IconIndex line
    const char* selectedNo;
    int selected;
  };
  const Case cases[] = {
      {nullptr, "0", 1}, {"0", "0", 1},     {" 12 ", "12", 0}, {"2", "2", 3}, {"3", "3", 0},
      {"-1", "-1", 0},   {"1.5", "1.5", 0}, {"abc", "0", 1},   {"", "0", 1},  {"2x", "2", 3},
  };
  for (const auto& c : cases) {
    std::string ini = "[.ShellClassInfo]\r\nIconFile=/i/set.dll\r\n";
    if (c.index) ini += std::string("IconIndex=") + c.index + "\r\n";
    EXPECT_EQ(Read(ini), PresentIconSource::Descriptor);
    EXPECT_EQ(SelectedIcon, "/i/set.dll");
    EXPECT_EQ(SelectedNo, c.selectedNo) << (c.index ? c.index : "(none)");
    EXPECT_EQ(selected, c.selected) << (c.index ? c.index : "(none)");
  }
}

TEST_F(PresentIconTest, ADriveRootIsReadFromItsDesktopIni) {
  files.roots.insert(folder.string());
  env.program.ArgumentText = folder.string() + "/";
  env.program.DefaultLibrary = "/lib/icons.icl";
  WriteFile(folder / "AUTORUN.INF", "[Autorun]\r\nIcon=/i/drive.ico,2\r\n");
  EXPECT_EQ(Read(""), PresentIconSource::DefaultLibrary);
  EXPECT_EQ(Read("[.ShellClassInfo]\r\nIconFile=/i/root.ico\r\n"), PresentIconSource::Descriptor);
  EXPECT_EQ(SelectedIcon, "/i/root.ico");
}

TEST_F(PresentIconTest, ANetworkFolderIsRefused) {
  env.program.ArgumentText = "//server/share/folder";
  ui.SetWaitCursor(true);
  journal.clear();
  EXPECT_EQ(Read(""), PresentIconSource::Refused);
  ASSERT_EQ(ui.messages.size(), 1u);
  EXPECT_EQ(ui.messages[0].text,
            "You cannot modify a folder located on a network. This can be done from the server, "
            "using Plumage Professionnal version.");
  EXPECT_EQ(ui.messages[0].title, "Error!");
  EXPECT_EQ(ui.messages[0].icon, MessageIcon::Exclamation);
  EXPECT_FALSE(ui.messages[0].waitCursorWasOn);
  EXPECT_TRUE(ui.endRequested);
  EXPECT_EQ(journal.back(), "EndProgram");
  EXPECT_EQ(changes, 0);
}

}  // namespace
}  // namespace plumage::test
