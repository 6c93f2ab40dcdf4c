// The map from local folders to the names Windows clients use for them.
#include <gtest/gtest.h>

#include "folder/windows_paths.h"

namespace plumage {
namespace {

TEST(WindowsPathsTest, CommandLineMappingsSplitAtTheEqualsBeforeTheWindowsName) {
  struct Case {
    const char* text;
    const char* local;    // nullptr: refused
    const char* windows;
  };
  for (const Case& c : {
           Case{"/srv/share=\\\\nas\\share", "/srv/share", "\\\\nas\\share"},
           Case{"/srv/share/=\\\\nas\\share\\", "/srv/share", "\\\\nas\\share"},
           Case{"/mnt/win=C:", "/mnt/win", "C:\\"},
           Case{"/mnt/win=c:/", "/mnt/win", "c:\\"},
           Case{"/a=b/c=D:\\x=y", "/a=b/c", "D:\\x=y"},  // '=' on both sides
           Case{"/srv/share=", "/srv/share", ""},        // removes the mapping
           Case{"srv=C:\\", nullptr, nullptr},           // not a full local path
           Case{"/srv=share", nullptr, nullptr},         // not a Windows name
           Case{"/srv", nullptr, nullptr},
           Case{"/a|b=C:\\", nullptr, nullptr},          // '|' cannot be stored
       }) {
    auto m = ParseWindowsPathArgument(c.text);
    if (!c.local) {
      EXPECT_FALSE(m) << c.text;
      continue;
    }
    ASSERT_TRUE(m) << c.text << ": " << m.error().message;
    EXPECT_EQ(m->localFolder, c.local) << c.text;
    EXPECT_EQ(m->windowsFolder, c.windows) << c.text;
  }
}

TEST(WindowsPathsTest, TheStoredFormRoundTripsAndPassesOverDamage) {
  WindowsPathMap map;
  UpdateWindowsPathMap(map, {"/srv/share", "\\\\nas\\share"});
  UpdateWindowsPathMap(map, {"/mnt/win", "C:\\"});
  UpdateWindowsPathMap(map, {"/srv/share", "\\\\nas2\\s"});  // replaces
  EXPECT_EQ(ParseWindowsPathMap(FormatWindowsPathMap(map)), map);
  ASSERT_EQ(map.size(), 2u);
  EXPECT_EQ(map[0].windowsFolder, "\\\\nas2\\s");
  UpdateWindowsPathMap(map, {"/srv/share", ""});
  EXPECT_EQ(map, (WindowsPathMap{{"/mnt/win", "C:\\"}}));
  EXPECT_EQ(ParseWindowsPathMap("relative|C:\\|/ok|D:\\x|/odd"),
            (WindowsPathMap{{"/ok", "D:\\x"}}));
  EXPECT_TRUE(ParseWindowsPathMap("").empty());
}

TEST(WindowsPathsTest, PathsMapBothWaysByWholeNamesAndTheLongestFolder) {
  const WindowsPathMap map{{"/srv/share", "\\\\nas\\share"},
                           {"/srv/share/music", "M:\\"},
                           {"/", "Z:\\"}};
  struct Case {
    const char* local;
    const char* windows;  // nullptr: no mapping holds it
  };
  for (const Case& c : {Case{"/srv/share/icons/a.ico", "\\\\nas\\share\\icons\\a.ico"},
                        Case{"/srv/share/music/b.ico", "M:\\b.ico"},
                        Case{"/srv/shared/c.ico", "Z:\\srv\\shared\\c.ico"},
                        Case{"/etc/d.ico", "Z:\\etc\\d.ico"}}) {
    EXPECT_EQ(ToWindowsPath(map, c.local), std::optional<std::string>(c.windows)) << c.local;
    EXPECT_EQ(FromWindowsPath(map, c.windows), std::optional<std::string>(c.local)) << c.windows;
  }
  const WindowsPathMap share{{"/srv/share", "\\\\nas\\share"}};
  EXPECT_EQ(ToWindowsPath(share, "/srv/shared/x.ico"), std::nullopt);
  EXPECT_EQ(FromWindowsPath(share, "\\\\NAS\\Share\\x.ico"), "/srv/share/x.ico")
      << "Windows ignores letter case";
  EXPECT_EQ(FromWindowsPath(share, "\\\\nas\\shared\\x.ico"), std::nullopt);
  EXPECT_EQ(FromWindowsPath(share, "C:\\x.ico"), std::nullopt);
}

}  // namespace
}  // namespace plumage
