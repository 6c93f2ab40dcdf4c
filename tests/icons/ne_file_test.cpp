// 16-bit executables, libraries and icon libraries (NE, .icl), made by our
// own writer from the file format.
#include <gtest/gtest.h>

#include <algorithm>
#include <functional>

#include "icon_test_util.h"
#include "platform/portable/file_icon_source.h"
#include "platform/portable/icon_builder.h"
#include "support/temp_dir.h"
#include "test_icon_set.h"

namespace plumage::test {
namespace {

using platform::IconHandle;
using platform::IconStatus;
using platform::icons::IconFileKind;
using platform::icons::ParseIconFile;

struct Library {
  std::vector<GroupDef> groups;
  std::vector<int> identities;  // of each group, in order
  std::vector<ImageDef> drawn;  // the image each is drawn from
};

// Twelve icons, named and numbered, in no sorted order: an .icl lists them
// in the order of its table.
Library TwelveIcons() {
  Library lib;
  const char* names[] = {"FOLDER", "", "DISK", "", "", "ZIP", "", "APPLE", "", "", "MAIL", ""};
  for (int k = 0; k < 12; ++k) {
    const ImageDef main{32, std::vector<int>{1, 4, 8, 24, 32}[static_cast<std::size_t>(k % 5)],
                        k == 7, k == 9};
    GroupDef g;
    g.name = names[k];
    g.id = static_cast<std::uint16_t>(100 - k * 7);
    g.images = {EncodeTestImage(k, ImageDef{16, 4}), EncodeTestImage(k, main)};
    lib.groups.push_back(g);
    lib.identities.push_back(k);
    lib.drawn.push_back(main);
  }
  return lib;
}

class NeFiles : public ::testing::Test {
 protected:
  platform::LibPngCodec png;
  platform::FileIconSource source{png};
  TempDir dir;

  // Lists the file as the picker does and checks every drawing.
  void ExpectListing(const Bytes& bytes, const Library& lib, const std::string& name) {
    const std::string path = (dir / name).string();
    WriteBytes(path, bytes);
    std::size_t n = 0;
    for (;; ++n) {
      IconHandle icon = source.ExtractIcon(path, static_cast<int>(n));
      if (!icon.IsIcon()) {
        EXPECT_EQ(icon.status(), IconStatus::None) << icon.reason();
        break;
      }
      ASSERT_LT(n, lib.groups.size()) << name;
      const GroupDef& g = lib.groups[n];
      EXPECT_EQ(icon.origin().resource, g.name.empty() ? "#" + std::to_string(g.id) : g.name);
      EXPECT_EQ(icon.origin().imageIndex, 1);
      plumage::Surface24 drawn(32, 32);
      source.DrawIcon(drawn, 0, 0, icon);
      const ImageDef& d = lib.drawn[n];
      const DibDef dibDef = TestDib(lib.identities[n], d.png ? ImageDef{32, 32, false, true} : d);
      EXPECT_TRUE(
          SameSurface(drawn, ExpectedDrawing(plumage::Surface24(32, 32), dibDef, 0, 0, 32, 32)))
          << name << " icon " << n;
    }
    EXPECT_EQ(n, lib.groups.size()) << name;
  }
};

TEST_F(NeFiles, AnIconLibraryListsItsIconsInTheOrderOfItsTable) {
  const Library lib = TwelveIcons();
  for (unsigned shift : {0u, 1u, 4u, 9u, 12u}) {
    SCOPED_TRACE("shift " + std::to_string(shift));
    ExpectListing(WriteNe(lib.groups, shift), lib, "lib" + std::to_string(shift) + ".icl");
  }
}

TEST_F(NeFiles, AFileThatEndsWithItsLastResourceIsComplete) {
  // Lengths count alignment units, so the last resource's length reaches
  // past a file that ends where the resource really ends.
  const Library lib = TwelveIcons();
  Bytes whole = WriteNe(lib.groups, 9);
  const Bytes last = lib.groups.back().images.back();
  auto found = std::search(whole.begin(), whole.end(), last.begin(), last.end());
  ASSERT_NE(found, whole.end());
  whole.resize(static_cast<std::size_t>(found - whole.begin()) + last.size());
  ASSERT_GT(WriteNe(lib.groups, 9).size() - whole.size(), 0u);
  ExpectListing(whole, lib, "cut.icl");
}

TEST_F(NeFiles, ANamedIconIsFoundByNameAndANumberedOneByItsNumber) {
  const std::string path = (dir / "named.icl").string();
  WriteBytes(path, WriteNe(TwelveIcons().groups));
  IconHandle byId = source.ExtractIcon(path, -(100 - 3 * 7));
  ASSERT_TRUE(byId.IsIcon()) << byId.reason();
  EXPECT_EQ(byId.origin().resource, "#79");
  EXPECT_EQ(source.ExtractIcon(path, 0).origin().resource, "FOLDER");
  EXPECT_EQ(source.filesParsed(), 1);
}

NeLayout layout;
Bytes Ne(unsigned shift = 4) {
  return WriteNe({GroupDef{"ONE", 0, {EncodeTestImage(1, ImageDef{32, 8})}},
                  GroupDef{"", 2, {EncodeTestImage(2, ImageDef{32, 4})}}},
                 shift, &layout);
}

// Offsets of the writer's table: shift (2), group type (8), group entries
// (12 each), icon type, icon entries.
std::size_t GroupEntry(int i) {
  return layout.resourceTable + 2 + 8 + 12 * static_cast<std::size_t>(i);
}

TEST(NeFile, DamagedTablesFailCleanlyWithTheirReason) {
  struct Case {
    const char* what;
    std::function<void(Bytes&)> damage;
    ErrorKind kind;
    const char* message;
  };
  const Case cases[] = {
      {"shift of 16", [](Bytes& b) { PutAt16(b, layout.resourceTable, 16); }, ErrorKind::Invalid,
       "alignment shift 16 is too large"},
      {"a type count past the table", [](Bytes& b) { PutAt16(b, layout.resourceTable + 4, 3000); },
       ErrorKind::Truncated, "run past its end"},
      {"no terminator",
       [](Bytes& b) { PutAt16(b, layout.header + 0x26, 0x40 + 2 + 8 + 12 * 2 + 8 + 12 * 2); },
       ErrorKind::Truncated, "NE resource table"},
      {"a table beyond the file", [](Bytes& b) { PutAt16(b, layout.header + 0x24, 0xFFF0); },
       ErrorKind::Truncated, "lies beyond the end"},
      {"a header cut short", [](Bytes& b) { b.resize(layout.header + 30); }, ErrorKind::Truncated,
       "NE header"},
  };
  for (const Case& c : cases) {
    Bytes b = Ne();
    c.damage(b);
    auto file = ParseIconFile(Span(b));
    ASSERT_FALSE(file) << c.what;
    EXPECT_EQ(file.error().kind, c.kind) << c.what << ": " << file.error().message;
    EXPECT_NE(file.error().message.find(c.message), std::string::npos)
        << c.what << ": " << file.error().message;
  }
}

TEST(NeFile, ProgramsWithoutWindowsResourcesHaveNoIcons) {
  Bytes os2 = Ne();
  os2[layout.header + 0x36] = 1;
  auto file = ParseIconFile(Span(os2));
  ASSERT_TRUE(file);
  EXPECT_EQ(file->kind, IconFileKind::OtherExecutable);
  EXPECT_TRUE(file->groups.empty());

  Bytes none = Ne();
  PutAt16(none, layout.header + 0x26, 0x40);  // the resident names where the resources would be
  file = ParseIconFile(Span(none));
  ASSERT_TRUE(file);
  EXPECT_EQ(file->kind, IconFileKind::Ne);
  EXPECT_TRUE(file->groups.empty());
}

TEST(NeFile, DamageInsideOneIconStaysWithThatIcon) {
  static platform::LibPngCodec png;
  struct Case {
    const char* what;
    std::function<void(Bytes&)> damage;
    const char* message;
    const char* name;
  };
  const Case cases[] = {
      {"group beyond the file", [](Bytes& b) { PutAt16(b, GroupEntry(0), 0xFFFF); },
       "lies beyond the end", "ONE"},
      {"image beyond the file",
       [](Bytes& b) { PutAt16(b, GroupEntry(2) + 8 + 0, 0xFFFF); },  // the icon type's first entry
       "image 1 (icon resource #1): offset", "ONE"},
      {"a name outside the table", [](Bytes& b) { PutAt16(b, GroupEntry(0) + 6, 0x7FFF); }, "",
       "?"},
  };
  for (const Case& c : cases) {
    Bytes b = Ne();
    c.damage(b);
    auto file = ParseIconFile(Span(b));
    ASSERT_TRUE(file) << c.what << ": " << file.error().message;
    ASSERT_EQ(file->groups.size(), 2u);
    EXPECT_EQ(file->groups[0].name, c.name) << c.what;
    IconHandle first = platform::icons::BuildIcon(file->groups[0], 32, png);
    if (*c.message) {
      EXPECT_FALSE(first.IsIcon()) << c.what;
      EXPECT_NE(first.reason().find(c.message), std::string::npos)
          << c.what << ": " << first.reason();
    }
    EXPECT_TRUE(platform::icons::BuildIcon(file->groups[1], 32, png).IsIcon()) << c.what;
  }
}

TEST(NeFile, EveryCutOfAFileFailsCleanly) {
  static platform::LibPngCodec png;
  const Bytes whole = Ne(0);
  for (std::size_t length = 0; length <= whole.size(); ++length) {
    const Bytes cut(whole.begin(), whole.begin() + static_cast<std::ptrdiff_t>(length));
    auto file = ParseIconFile(Span(cut));
    if (!file) {
      EXPECT_FALSE(file.error().message.empty());
      continue;
    }
    int icons = 0;
    for (const auto& g : file->groups) icons += platform::icons::BuildIcon(g, 32, png).IsIcon();
    EXPECT_EQ(icons == 2, length == whole.size()) << "cut at " << length;
  }
}

}  // namespace
}  // namespace plumage::test
