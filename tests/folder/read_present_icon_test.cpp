// ReadIniValue and ReadPresentIcon over real DESKTOP.INI files.
#include "folder/descriptor.h"
#include "folder_fixture.h"
#include "profile/utf16.h"

namespace plumage::test {
namespace {

// A UTF-16LE DESKTOP.INI, as Windows writes one, with k= the given units.
std::string Utf16Ini(const std::u16string& value) {
  return Utf16(u"[S]\r\nk=" + value + u"\r\n");
}

template <typename Text>
Text Repeat(const Text& unit, std::size_t count) {
  Text out;
  for (std::size_t i = 0; i < count; ++i) out += unit;
  return out;
}

// A value is cut at 252 characters, not bytes nor UTF-16 units, whatever
// the file's encoding.
TEST_F(FolderTest, ReadIniValueCutsAt252Characters) {
  const auto file = (dir / "x.ini").string();
  const std::string cjk = "\xE9\x9F\xB3";        // 音: three bytes
  const std::string emoji = "\xF0\x9F\x98\x80";  // 😀: four, two UTF-16 units
  const std::u16string u16cjk = u"\u97F3";
  const std::u16string u16emoji = u"\U0001F600";
  const std::string ini = "[S]\r\nk=";
  struct Case {
    const char* what;
    std::string bytes;  // the whole file
    std::string read;
  };
  const Case cases[] = {
      {"empty", ini + "\r\n", "vide"},
      {"blanks around", ini + "  v  \r\n", "v"},
      {"blanks inside quotes", ini + "\"abc   \"\r\n", "abc   "},
      {"252", ini + std::string(252, 'b') + "\r\n", std::string(252, 'b')},
      {"253", ini + std::string(253, 'c') + "\r\n", std::string(252, 'c')},
      // 253 characters that end in blanks: the blanks go, then one more.
      {"blanks at the cut", ini + "\"" + std::string(250, 'f') + "   \"\r\n",
       std::string(249, 'f')},
      {"Windows-1252 in the file, UTF-8 in the program", ini + "\xE9t\xE9\r\n",
       "\xC3\xA9t\xC3\xA9"},
      {"UTF-16 empty", Utf16Ini(u""), "vide"},
      {"252 emoji", Utf16Ini(Repeat(u16emoji, 252)), Repeat(emoji, 252)},
      {"300 CJK", Utf16Ini(Repeat(u16cjk, 300)), Repeat(cjk, 252)},
      {"never half an emoji", Utf16Ini(Repeat(std::u16string(u"a"), 250) + Repeat(u16emoji, 5)),
       std::string(250, 'a') + emoji + emoji},
      {"UTF-16 blanks at the cut", Utf16Ini(u"\"" + Repeat(u16cjk, 250) + u"   \""),
       Repeat(cjk, 249)},
      {"UTF-8 with its mark", "\xEF\xBB\xBF" + ini + Repeat(cjk, 260) + "\r\n", Repeat(cjk, 252)},
  };
  for (const auto& c : cases) {
    WriteFile(file, c.bytes);
    EXPECT_EQ(ReadIniValue(env.profile, file, "S", "k"), c.read) << c.what;
  }
  EXPECT_EQ(ReadIniValue(env.profile, file, "S", "missing"), "vide");
  EXPECT_EQ(ReadIniValue(env.profile, (dir / "none.ini").string(), "S", "k"), "vide");
}

class PresentIconTest : public FolderTest {
 protected:
  PresentIconTest() {
    hooks.LoadIconList = [this] { journal.push_back("LoadIconList " + SelectedIcon); };
    hooks.ListCount = [] { return 3; };
    hooks.SelectListEntry = [this](int position) { selected = position; };
    hooks.Show = [this] { journal.push_back("Show"); };
    hooks.SelectionChanged = [this] { ++changes; };
  }
  PresentIconSource Read(const std::string& ini) {
    if (!ini.empty()) WriteFile(Ini(), ini);
    selected = 0;
    return Ops().ReadPresentIcon();
  }
  int selected = 0;
  int changes = 0;
};

// How the default library is listed and selected is the picker's test;
// here, when it is offered.
TEST_F(PresentIconTest, OffersTheFolderIconOrTheDefaultLibrary) {
  EXPECT_EQ(Read(""), PresentIconSource::None);
  EXPECT_EQ(std::tuple(SelectedIcon, SelectedNo, changes), std::tuple("", "", 1));
  EXPECT_TRUE(journal.empty()) << "nothing listed, nothing shown";

  env.program.DefaultLibrary = "/lib/icons.icl";
  EXPECT_EQ(Read("[.ShellClassInfo]\r\nIconFile=vide\r\nIconIndex=4\r\n"),
            PresentIconSource::DefaultLibrary);
  EXPECT_EQ(std::tuple(SelectedIcon, SelectedNo), std::tuple("/lib/icons.icl", "0"));

  // A drive root's icon, too, is read from a DESKTOP.INI in its root.
  files.roots.insert(folder.string());
  env.program.ArgumentText = folder.string() + "/";
  WriteFile(folder / "AUTORUN.INF", "[Autorun]\r\nIcon=/i/drive.ico,2\r\n");
  EXPECT_EQ(Read("[.ShellClassInfo]\r\nIconFile=/i/root.ico\r\n"), PresentIconSource::Descriptor);
  EXPECT_EQ(SelectedIcon, "/i/root.ico");
}

// The entry of index i is at position i + 1 in a list of 3; an index that
// is not a whole number within the list selects nothing.
TEST_F(PresentIconTest, SelectsThePresentIndexWhenTheListHasIt) {
  struct Case {
    const char* index;  // nullptr: no IconIndex line
    const char* selectedNo;
    int selected;
  };
  const Case cases[] = {
      {nullptr, "0", 1}, {" 12 ", "12", 0}, {"2", "2", 3},  {"3", "3", 0},
      {"1.5", "1.5", 0}, {"abc", "0", 1},   {"2x", "2", 3},
  };
  for (const auto& c : cases) {
    std::string ini = "[.ShellClassInfo]\r\nIconFile=/i/set.dll\r\n";
    if (c.index) ini += std::string("IconIndex=") + c.index + "\r\n";
    EXPECT_EQ(Read(ini), PresentIconSource::Descriptor);
    EXPECT_EQ(SelectedIcon, "/i/set.dll");
    EXPECT_EQ(std::tuple(SelectedNo, selected), std::tuple(c.selectedNo, c.selected))
        << (c.index ? c.index : "(none)");
  }
}

}  // namespace
}  // namespace plumage::test
