// Windows executables and libraries (PE, 32 and 64-bit): real files built
// by mingw-w64 at test build time, and damaged ones made by our own writer.
#include <gtest/gtest.h>

#include <algorithm>
#include <functional>
#include <optional>
#include <sstream>

#include "icon_test_util.h"
#include "platform/portable/file_icon_source.h"
#include "platform/portable/icon_builder.h"
#include "support/run_process.h"
#include "support/temp_dir.h"
#include "test_icon_set.h"

namespace plumage::test {
namespace {

using platform::IconHandle;
using platform::IconStatus;
using platform::icons::IconFileKind;
using platform::icons::ParseIconFile;

bool IsNumber(const std::string& s) {
  return std::all_of(s.begin(), s.end(), [](char c) { return c >= '0' && c <= '9'; });
}

// The order of a resource directory: names first, in ascending order, then
// numbers, ascending.
std::vector<TestIconDef> InResourceOrder(std::vector<TestIconDef> icons) {
  std::sort(icons.begin(), icons.end(), [](const TestIconDef& a, const TestIconDef& b) {
    const bool an = IsNumber(a.rcName), bn = IsNumber(b.rcName);
    if (an != bn) return bn;
    if (an) return std::stoi(a.rcName) < std::stoi(b.rcName);
    return a.rcName < b.rcName;
  });
  return icons;
}

// The image a 32 × 32 icon is drawn from: the deepest of the exact size
// (the first of equals), else the group's only image.
std::size_t ExpectedImage(const TestIconDef& def) {
  std::optional<std::size_t> best;
  for (std::size_t i = 0; i < def.images.size(); ++i)
    if (def.images[i].size == 32 && (!best || def.images[i].bpp > def.images[*best].bpp)) best = i;
  return best.value_or(0);
}

plumage::Surface24 ExpectedIconDrawing(int identity, const ImageDef& d) {
  DibDef dibDef = TestDib(identity, d.png ? ImageDef{d.size, 32, false, true} : d);
  return ExpectedDrawing(plumage::Surface24(32, 32), dibDef, 0, 0, 32, 32);
}

class RealPeFiles : public ::testing::Test {
 protected:
  platform::LibPngCodec png;
  platform::FileIconSource source{png};
};

TEST_F(RealPeFiles, ALibraryWithFortyIconsListsFortyInResourceOrder) {
  const auto expected = InResourceOrder(TestLibrary());
  for (const char* name : {"icons40_32.dll", "icons40_64.dll"}) {
    SCOPED_TRACE(name);
    const std::string path = PeDir() + "/" + name;
    int n = 0;
    for (;; ++n) {
      IconHandle icon = source.ExtractIcon(path, n);
      if (!icon.IsIcon()) {
        EXPECT_EQ(icon.status(), IconStatus::None);
        EXPECT_NE(icon.reason().find("no icon at index 40 (the file holds 40 icons)"),
                  std::string::npos)
            << icon.reason();
        break;
      }
      ASSERT_LT(n, 40);
      const TestIconDef& def = expected[static_cast<std::size_t>(n)];
      const std::size_t image = ExpectedImage(def);
      EXPECT_EQ(icon.origin().resource, IsNumber(def.rcName) ? "#" + def.rcName : def.rcName);
      EXPECT_EQ(icon.origin().imageIndex, static_cast<int>(image)) << def.rcName;
      EXPECT_EQ(icon.origin().imageCount, static_cast<int>(def.images.size()));
      EXPECT_EQ(icon.origin().png, def.images[image].png);
      // As the picker draws it: DrawIcon at (0, 0) on the window colour.
      plumage::Surface24 drawn(32, 32);
      source.DrawIcon(drawn, 0, 0, icon);
      EXPECT_EQ(drawn.At(16, 16),
                (plumage::Rgb{IdentityColour(def.identity).r, IdentityColour(def.identity).g,
                               IdentityColour(def.identity).b}))
          << "icon " << n << " is not " << def.rcName;
      EXPECT_TRUE(SameSurface(drawn, ExpectedIconDrawing(def.identity, def.images[image])))
          << "icon " << n << " (" << def.rcName << ", " << def.images[image].bpp << " bpp"
          << (def.images[image].png ? " PNG" : "") << ")";
    }
    EXPECT_EQ(n, 40);
  }
  // Listing 40 icons of each file read each file once.
  EXPECT_EQ(source.filesParsed(), 2);
}

TEST_F(RealPeFiles, TheOrderIsTheOneAnotherReaderSees) {
  // wrestool (icoutils) lists the group icons in directory order.
  const std::string path = PeDir() + "/icons40_32.dll";
  ProcessResult run = RunProcess({PLUMAGE_WRESTOOL, "-l", "--type=14", path});
  ASSERT_EQ(run.exitCode, 0) << run.err;
  std::vector<std::string> theirs;
  std::istringstream lines(run.out);
  for (std::string line; std::getline(lines, line);) {
    const auto at = line.find("--name=");
    ASSERT_NE(at, std::string::npos) << line;
    std::string name = line.substr(at + 7, line.find(' ', at) - at - 7);
    theirs.push_back(name.front() == '\'' ? name.substr(1, name.size() - 2) : "#" + name);
  }
  std::vector<std::string> ours;
  for (int n = 0;; ++n) {
    IconHandle icon = source.ExtractIcon(path, n);
    if (!icon.IsIcon()) break;
    ours.push_back(icon.origin().resource);
  }
  EXPECT_EQ(ours, theirs);
  EXPECT_EQ(ours.size(), 40u);
}

TEST_F(RealPeFiles, AResourceNumberNamesAnIconByANegativeIndex) {
  const std::string path = PeDir() + "/icons40_32.dll";
  IconHandle byId = source.ExtractIcon(path, -45);
  ASSERT_TRUE(byId.IsIcon()) << byId.reason();
  EXPECT_EQ(byId.origin().resource, "#45");
  EXPECT_EQ(source.ExtractIcon(path, -46).status(), IconStatus::None);
  // -1 asks Windows for the number of icons, which is no icon.
  EXPECT_EQ(source.ExtractIcon(path, -1).status(), IconStatus::None);
}

TEST_F(RealPeFiles, AnExecutableWithoutIconsListsNoneAndShowsTheGenericIcon) {
  const std::string path = PeDir() + "/noicons.exe";
  IconHandle first = source.ExtractIcon(path, 0);
  EXPECT_EQ(first.status(), IconStatus::None);
  EXPECT_NE(first.reason().find("the file holds 0 icons"), std::string::npos) << first.reason();
  IconHandle small = source.SmallShellIcon(path);
  ASSERT_TRUE(small.IsIcon());
  EXPECT_TRUE(small.origin().generic);
  EXPECT_EQ(small.bitmap().width, 16);
}

TEST_F(RealPeFiles, AnApplicationsSmallIconIsItsSixteenPixelImage) {
  const std::string path = PeDir() + "/app.exe";
  IconHandle small = source.SmallShellIcon(path);
  ASSERT_TRUE(small.IsIcon()) << small.reason();
  EXPECT_FALSE(small.origin().generic);
  EXPECT_EQ(small.origin().imageIndex, 0);
  plumage::Surface24 drawn(32, 32);
  source.DrawSmallIcon(drawn, 8, 9, small);
  EXPECT_TRUE(
      SameSurface(drawn, ExpectedDrawing(plumage::Surface24(32, 32),
                                         TestDib(kAppIdentity, AppImages()[0]), 8, 9, 16, 16)));
  IconHandle big = source.ExtractIcon(path, 0);
  ASSERT_TRUE(big.IsIcon());
  EXPECT_EQ(big.origin().imageIndex, 1);
  EXPECT_TRUE(big.bitmap().hasAlpha);
  EXPECT_EQ(source.ExtractIcon(path, 1).status(), IconStatus::None);
}

// ---- Damaged files, from our own writer --------------------------------------

std::vector<GroupDef> TwoGroups() {
  return {GroupDef{"", 10, {EncodeTestImage(1, ImageDef{32, 8})}},
          GroupDef{
              "", 20, {EncodeTestImage(2, ImageDef{16, 4}), EncodeTestImage(2, ImageDef{32, 24})}}};
}

struct Written {
  Bytes bytes;
  PeLayout layout;
};

Written Pe(bool pe64 = false) {
  Written w;
  w.bytes = WritePe(TwoGroups(), pe64, &w.layout);
  return w;
}

// Offsets inside the resource section, as the writer lays it out.
std::size_t TypeDirectory(const Written& w, int entry) {
  return w.layout.resources +
         (GetAt32(w.bytes, w.layout.resources + 16 + 8 * static_cast<std::size_t>(entry) + 4) &
          0x7FFFFFFF);
}
std::size_t LanguageDirectory(const Written& w, int type, int entry) {
  const std::size_t dir = TypeDirectory(w, type);
  return w.layout.resources +
         (GetAt32(w.bytes, dir + 16 + 8 * static_cast<std::size_t>(entry) + 4) & 0x7FFFFFFF);
}
std::size_t DataEntry(const Written& w, int type, int entry) {
  return w.layout.resources + GetAt32(w.bytes, LanguageDirectory(w, type, entry) + 16 + 4);
}

platform::IconHandle Build(const platform::icons::IconFile& file, std::size_t group) {
  static platform::LibPngCodec png;
  return platform::icons::BuildIcon(file.groups.at(group), 32, png);
}

TEST(PeFile, OurWriterMakesFilesTheReaderReads) {
  for (bool pe64 : {false, true}) {
    const Written w = Pe(pe64);
    auto file = ParseIconFile(Span(w.bytes));
    ASSERT_TRUE(file) << file.error().message;
    EXPECT_EQ(file->kind, IconFileKind::Pe);
    EXPECT_EQ(file->format, pe64 ? "PE32+" : "PE32");
    ASSERT_EQ(file->groups.size(), 2u);
    EXPECT_EQ(file->groups[1].name, "#20");
    EXPECT_EQ(Build(*file, 1).origin().bitsPerPixel, 24);
  }
}

TEST(PeFile, DamagedHeadersAndTreesFailCleanlyWithTheirReason) {
  struct Case {
    const char* what;
    std::function<void(Written&)> damage;
    ErrorKind kind;
    const char* message;
  };
  const std::size_t optional = kPeHeaderOffset + 24;
  const Case cases[] = {
      {"a tree that loops",
       [](Written& w) { PutAt32(w.bytes, w.layout.resources + 16 + 8 + 4, 0x80000000u); },
       ErrorKind::Invalid, "reached twice"},
      {"unknown optional header", [&](Written& w) { PutAt16(w.bytes, optional, 0x107); },
       ErrorKind::Unsupported, "neither PE32 nor PE32+"},
      {"sections past the end", [](Written& w) { w.bytes.resize(w.layout.sectionTable + 20); },
       ErrorKind::Truncated, "1 sections run past the end"},
      {"more sections than Windows loads", [](Written& w) { PutAt16(w.bytes, kPeHeaderOffset + 6, 97); },
       ErrorKind::Unsupported, "97 sections"},
      {"resources in no section",
       [&](Written& w) { PutAt32(w.bytes, optional + 92 + 4 + 16, 0x9000); }, ErrorKind::Invalid,
       "lies in no section"},
      {"a root with more entries than bytes",
       [](Written& w) { PutAt16(w.bytes, w.layout.resources + 14, 0xFFFF); }, ErrorKind::Truncated,
       "entries run past the end"},
      {"header pointer past the end (kept from a DOS program)",
       [](Written& w) { w.bytes.resize(kPeHeaderOffset + 10); }, ErrorKind::Truncated, "PE header"},
  };
  for (const Case& c : cases) {
    Written w = Pe();
    c.damage(w);
    auto file = ParseIconFile(Span(w.bytes));
    ASSERT_FALSE(file) << c.what;
    EXPECT_EQ(file.error().kind, c.kind) << c.what << ": " << file.error().message;
    EXPECT_NE(file.error().message.find(c.message), std::string::npos)
        << c.what << ": " << file.error().message;
  }
}

TEST(PeFile, FilesWithoutAResourceDirectoryHaveNoIcons) {
  const std::size_t optional = kPeHeaderOffset + 24;
  for (auto damage : std::vector<std::function<void(Written&)>>{
           [&](Written& w) { PutAt32(w.bytes, optional + 92 + 4 + 16, 0); },  // no address
           [&](Written& w) { PutAt32(w.bytes, optional + 92, 2); },          // two directories only
           [&](Written& w) { PutAt16(w.bytes, kPeHeaderOffset + 20, 96); },  // header too short
           [&](Written& w) {
             PutAt32(w.bytes, w.layout.resources + 16 + 8, 15);
           },  // type 15, not 14
       }) {
    Written w = Pe();
    damage(w);
    auto file = ParseIconFile(Span(w.bytes));
    ASSERT_TRUE(file) << file.error().message;
    EXPECT_EQ(file->kind, IconFileKind::Pe);
    EXPECT_TRUE(file->groups.empty());
  }
  // A header pointer that leads nowhere: a DOS program.
  Written w = Pe();
  PutAt32(w.bytes, 0x3C, 0x7FFFFFF0u);
  auto dos = ParseIconFile(Span(w.bytes));
  ASSERT_TRUE(dos);
  EXPECT_EQ(dos->kind, IconFileKind::OtherExecutable);
}

TEST(PeFile, DamageInsideOneIconStaysWithThatIcon) {
  struct Case {
    const char* what;
    std::function<void(Written&)> damage;
    const char* message;
  };
  const Case cases[] = {
      {"a fourth level",
       [](Written& w) {
         const std::size_t lang = LanguageDirectory(w, 1, 0);
         PutAt32(w.bytes, lang + 16 + 4, GetAt32(w.bytes, lang + 16 + 4) | 0x80000000u);
       },
       "deeper than three levels"},
      {"data in no section", [](Written& w) { PutAt32(w.bytes, DataEntry(w, 1, 0), 0x50000); },
       "lies in no section"},
      {"data in the part the file does not hold",
       [](Written& w) {
         PutAt32(w.bytes, w.layout.sectionTable + 8, 0x10000);  // virtual size beyond the raw data
         PutAt32(w.bytes, DataEntry(w, 1, 0), 0x1000 + 0x8000);
       },
       "does not hold"},
      {"an image that is not there",
       [](Written& w) {
         PutAt16(w.bytes,
                 w.layout.resources + GetAt32(w.bytes, DataEntry(w, 1, 0)) - 0x1000 + 6 + 12, 77);
       },
       "icon resource #77): not in the file"},
      {"a cursor group",
       [](Written& w) {
         PutAt16(w.bytes, w.layout.resources + GetAt32(w.bytes, DataEntry(w, 1, 0)) - 0x1000 + 2,
                 2);
       },
       "is not an icon"},
  };
  for (const Case& c : cases) {
    Written w = Pe();
    c.damage(w);
    auto file = ParseIconFile(Span(w.bytes));
    ASSERT_TRUE(file) << c.what << ": " << file.error().message;
    ASSERT_EQ(file->groups.size(), 2u) << c.what;
    platform::IconHandle first = Build(*file, 0);
    EXPECT_EQ(first.status(), IconStatus::None) << c.what;
    EXPECT_NE(first.reason().find(c.message), std::string::npos)
        << c.what << ": " << first.reason();
    EXPECT_TRUE(Build(*file, 1).IsIcon()) << c.what << ": the other icon is unharmed";
  }
}

TEST(PeFile, EveryCutOfAFileFailsCleanly) {
  for (bool pe64 : {false, true}) {
    const Bytes whole = Pe(pe64).bytes;
    for (std::size_t length = 0; length < whole.size(); ++length) {
      const Bytes cut(whole.begin(), whole.begin() + static_cast<std::ptrdiff_t>(length));
      auto file = ParseIconFile(Span(cut));
      if (!file) {
        EXPECT_FALSE(file.error().message.empty());
        continue;
      }
      // What is read is drawn or refused; both icons only once all is there.
      int icons = 0;
      for (std::size_t g = 0; g < file->groups.size(); ++g) icons += Build(*file, g).IsIcon();
      if (length < whole.size() - 0x200) {
        EXPECT_LT(icons, 2) << "cut at " << length;
      }
    }
  }
}

}  // namespace
}  // namespace plumage::test
