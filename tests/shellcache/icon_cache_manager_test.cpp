#include "shellcache/icon_cache_manager.h"

#include <gtest/gtest.h>

#include <filesystem>

#include "dialogs/dialog_fixture.h"

namespace plumage::test {
namespace {

namespace fs = std::filesystem;

const std::string kNul(1, '\0');

class IconCacheManagerTest : public ::testing::Test, public DialogFixture {
 protected:
  void StoreBpp(const std::string& text) {
    Store(kWindowMetricsRoot, kWindowMetricsKey, kShellIconBppValue, text);
  }
  void StoreMaxCached(const std::string& text) {
    Store(kExplorerRoot, kExplorerKey, kMaxCachedIconsValue, text);
  }
  void StoreIconSize(const std::string& text) {
    Store(kWindowMetricsRoot, kWindowMetricsKey, kShellIconSizeValue, text);
  }
};

// Stored "Max Cached Icons" → the choice it selects (-1: none).
TEST_F(IconCacheManagerTest, CacheSizeChoiceFollowsTheStoredNumber) {
  const struct {
    const char* stored;
    int choice;
  } table[] = {
      {"1", 0},    {"100", 0},   {"101", 1},   {"500", 1},   {"501", 2},
      {"750", 2},  {"1000", 2},  {"1001", 3},  {"1500", 3},  {"1501", 4},
      {"2000", 4}, {"2001", -1}, {"4096", -1}, {"-5", -1},   {"0", 1},
      {"", 1},     {"many", 1},  {" 100", 0},  {"100.5", 1}, {"99999999999999999999999", -1},
  };
  for (const auto& row : table) {
    StoreMaxCached(row.stored);
    EXPECT_EQ(ReadCacheSize(program).value_or(-1), row.choice) << '"' << row.stored << '"';
  }
}

TEST_F(IconCacheManagerTest, MissingCacheSizeOrKeyIsTheSystemDefault) {
  EXPECT_EQ(ReadCacheSize(program), CacheSizeChoice(1));
  ASSERT_EQ(registry.DeleteKeyTree(kExplorerRoot, kExplorerKey), platform::kErrorSuccess);
  EXPECT_EQ(ReadCacheSize(program), CacheSizeChoice(1));
}

TEST_F(IconCacheManagerTest, ACacheSizeOfAnotherTypeCountsAsMissing) {
  SetRaw(kExplorerRoot, kExplorerKey, kMaxCachedIconsValue, platform::kRegDword,
         std::string("\x10\x00\x00\x00", 4));
  EXPECT_EQ(ReadCacheSize(program), CacheSizeChoice(1));
}

TEST_F(IconCacheManagerTest, WritingACacheSizeWritesTheStepAsText) {
  for (int i = 0; i < kCacheSizeStepCount; ++i) WriteCacheSize(program, i);
  EXPECT_EQ(journal, (Journal{"SetValue Max Cached Icons=100", "SetValue Max Cached Icons=500",
                              "SetValue Max Cached Icons=1000", "SetValue Max Cached Icons=1500",
                              "SetValue Max Cached Icons=2000"}));
  EXPECT_EQ(Raw(kExplorerRoot, kExplorerKey, kMaxCachedIconsValue), "2000" + kNul);

  journal.clear();
  WriteCacheSize(program, std::nullopt);
  WriteCacheSize(program, 5);
  WriteCacheSize(program, -1);
  EXPECT_TRUE(journal.empty());
  EXPECT_EQ(Raw(kExplorerRoot, kExplorerKey, kMaxCachedIconsValue), "2000" + kNul);
}

TEST_F(IconCacheManagerTest, AKeyThatCannotBeOpenedIsLeftAsItWas) {
  ASSERT_EQ(registry.DeleteKeyTree(kExplorerRoot, kExplorerKey), platform::kErrorSuccess);
  WriteCacheSize(program, 4);
  EXPECT_TRUE(journal.empty());
  platform::RegHandle h = 0;
  EXPECT_NE(registry.OpenKey(kExplorerRoot, kExplorerKey, &h), platform::kErrorSuccess);
  EXPECT_EQ(registry.openKeys, 0);
}

TEST_F(IconCacheManagerTest, IconColoursAreMaximumFrom16BitsUp) {
  const struct {
    const char* stored;
    bool maximum;
  } table[] = {{"16", true}, {"24", true}, {"32", true},    {"8", false},
               {"4", false}, {"", false},  {"15.9", false}, {" 16", true}};
  for (const auto& row : table) {
    StoreBpp(row.stored);
    EXPECT_EQ(ReadIconColors(program), row.maximum) << '"' << row.stored << '"';
  }
  ASSERT_EQ(registry.DeleteKeyTree(kWindowMetricsRoot, kWindowMetricsKey), platform::kErrorSuccess);
  EXPECT_FALSE(ReadIconColors(program));
}

TEST_F(IconCacheManagerTest, IconColoursAreWrittenAs16Or4) {
  WriteIconColors(program, true);
  EXPECT_EQ(Raw(kWindowMetricsRoot, kWindowMetricsKey, kShellIconBppValue), "16" + kNul);
  WriteIconColors(program, false);
  EXPECT_EQ(Raw(kWindowMetricsRoot, kWindowMetricsKey, kShellIconBppValue), "4" + kNul);
  EXPECT_EQ(journal, (Journal{"SetValue Shell Icon BPP=16", "SetValue Shell Icon BPP=4"}));
  // Each operation closes what it opened.
  EXPECT_EQ(registry.openKeys, 0);
}

// The size goes one pixel down, is announced, comes back, is announced again.
TEST_F(IconCacheManagerTest, RebuildStepsTheIconSizeDownAndBack) {
  const struct {
    const char* stored;  // nullptr: value missing
    const char* less;
    const char* size;
  } table[] = {{"32", "31", "32"},     {"48", "47", "48"},         {nullptr, "31", "32"},
               {"0", "31", "32"},      {"32.5", "31", "32"},       {"33.5", "33", "34"},
               {" 16 px", "15", "16"}, {"99999999999", "31", "32"}};
  for (const auto& row : table) {
    if (row.stored) {
      StoreIconSize(row.stored);
    } else {
      ASSERT_EQ(registry.DeleteKeyTree(kWindowMetricsRoot, kWindowMetricsKey), 0);
      ASSERT_EQ(registry.CreateKey(kWindowMetricsRoot, kWindowMetricsKey), 0);
    }
    journal.clear();
    RebuildIconCache(program);
    EXPECT_EQ(journal, (Journal{std::string("SetValue Shell Icon Size=") + row.less,
                                "BroadcastSettingChange",
                                std::string("SetValue Shell Icon Size=") + row.size,
                                "BroadcastSettingChange", "NotifyIconsChanged"}))
        << (row.stored ? row.stored : "(missing)");
    EXPECT_EQ(Raw(kWindowMetricsRoot, kWindowMetricsKey, kShellIconSizeValue),
              std::string(row.size) + kNul);
    EXPECT_EQ(registry.openKeys, 0);
  }
}

TEST_F(IconCacheManagerTest, RebuildWithoutTheKeyStillAnnouncesAndWritesNothing) {
  ASSERT_EQ(registry.DeleteKeyTree(kWindowMetricsRoot, kWindowMetricsKey), platform::kErrorSuccess);
  RebuildIconCache(program);
  EXPECT_EQ(journal,
            (Journal{"BroadcastSettingChange", "BroadcastSettingChange", "NotifyIconsChanged"}));
  // Each announcement waits at most ten seconds for a window.
  EXPECT_EQ(shell.broadcasts, (std::vector<std::uint32_t>{10000, 10000}));
}

TEST(ShellIconSize, RoundsToEvenAndKeepsTheSubtractionInRange) {
  EXPECT_EQ(ShellIconSizeFrom("32" + kNul), 32);
  EXPECT_EQ(ShellIconSizeFrom(kNul), 32);
  EXPECT_EQ(ShellIconSizeFrom("0.4"), 32);  // rounds to 0, which means "not set"
  EXPECT_EQ(ShellIconSizeFrom("2.5"), 2);
  EXPECT_EQ(ShellIconSizeFrom("3.5"), 4);
  EXPECT_EQ(ShellIconSizeFrom("-7"), -7);
  EXPECT_EQ(ShellIconSizeFrom("2147483647"), 2147483647);
  EXPECT_EQ(ShellIconSizeFrom("-2147483647"), -2147483647);
  EXPECT_EQ(ShellIconSizeFrom("-2147483648"), 32);  // one less would not fit
  EXPECT_EQ(ShellIconSizeFrom("1e400"), 1);         // the leading number is the 1
}

class DeleteIconCacheTest : public IconCacheManagerTest {
 protected:
  fs::path CachePath() { return dir / kIconCacheFileName; }
};

TEST_F(DeleteIconCacheTest, APresentReadOnlyCacheFileIsDeleted) {
  WriteFile(CachePath(), "cached icons");
  fs::permissions(CachePath(), fs::perms::owner_read | fs::perms::group_read);
  EXPECT_EQ(IconCachePath(program), dir.str() + "/shelliconcache");
  EXPECT_TRUE(DeleteIconCache(program));
  EXPECT_FALSE(fs::exists(CachePath()));
}

TEST_F(DeleteIconCacheTest, HiddenSystemAndReadOnlyAreClearedOnTheWay) {
  WriteFile(CachePath(), "cached icons");
  ASSERT_TRUE(files
                  .SetAttributes(CachePath().string(), platform::kAttributeReadOnly |
                                                           platform::kAttributeHidden |
                                                           platform::kAttributeSystem)
                  .ok());
  EXPECT_TRUE(DeleteIconCache(program));
  EXPECT_FALSE(fs::exists(CachePath()));
}

// The real files, except that deleting fails: the file was there, so the
// caller is still told so (and shows the reboot notice).
class UndeletableFiles : public ForwardingFiles {
 public:
  UndeletableFiles(platform::IFileSystem& real, Journal& journal)
      : ForwardingFiles(real), journal_(journal) {}
  Status SetAttributes(const std::string& path, std::uint32_t attributes) override {
    journal_.push_back("SetAttributes " + std::to_string(attributes));
    return ForwardingFiles::SetAttributes(path, attributes);
  }
  Status Remove(const std::string& path) override {
    journal_.push_back("Remove");
    return MakeError(ErrorKind::Io, "cannot delete " + path);
  }

 private:
  Journal& journal_;
};

TEST_F(DeleteIconCacheTest, AFileThatCannotBeDeletedStillCountsAsFound) {
  UndeletableFiles undeletable(files, journal);
  os.files = &undeletable;
  WriteFile(CachePath(), "cached icons");
  EXPECT_TRUE(DeleteIconCache(program));
  EXPECT_EQ(journal, (Journal{"SetAttributes 0", "Remove"}));
  EXPECT_TRUE(fs::exists(CachePath()));

  journal.clear();
  fs::remove(CachePath());
  EXPECT_FALSE(DeleteIconCache(program));
  EXPECT_TRUE(journal.empty());
}

TEST_F(DeleteIconCacheTest, NoFileOrAFolderOfThatNameIsLeftAlone) {
  EXPECT_FALSE(DeleteIconCache(program));

  fs::create_directory(CachePath());
  WriteFile(CachePath() / "inside", "x");
  EXPECT_FALSE(DeleteIconCache(program));
  EXPECT_TRUE(fs::is_directory(CachePath()));
  EXPECT_TRUE(fs::exists(CachePath() / "inside"));
}

// The per-user cache files of Windows Vista and later, in a local
// application data folder of the test's own.
class UserIconCacheTest : public IconCacheManagerTest {
 protected:
  void SetUp() override {
    system.localAppData = (dir / "Local").string();
    fs::create_directories(Explorer());
  }
  fs::path Local() { return dir / "Local"; }
  fs::path Explorer() { return Local() / "Microsoft" / "Windows" / "Explorer"; }
  void MakeCaches() {
    WriteFile(Local() / "IconCache.db", "vista");
    WriteFile(Explorer() / "iconcache_32.db", "32");
    WriteFile(Explorer() / "iconcache_idx.db", "index");
    WriteFile(Explorer() / "thumbcache_32.db", "thumbnails are not icons");
    ASSERT_TRUE(files
                    .SetAttributes((Local() / "IconCache.db").string(),
                                   platform::kAttributeHidden | platform::kAttributeSystem)
                    .ok());
  }
};

TEST_F(UserIconCacheTest, TheShellsOwnCacheFilesGoAndTheShellIsTold) {
  MakeCaches();
  const UserIconCacheReport report = DeleteUserIconCaches(program);
  EXPECT_EQ(report.deleted.size(), 3u);
  EXPECT_TRUE(report.inUse.empty());
  EXPECT_FALSE(fs::exists(Local() / "IconCache.db")) << "hidden and system, found all the same";
  EXPECT_FALSE(fs::exists(Explorer() / "iconcache_32.db"));
  EXPECT_FALSE(fs::exists(Explorer() / "iconcache_idx.db"));
  EXPECT_TRUE(fs::exists(Explorer() / "thumbcache_32.db")) << "nothing it did not look for";
  EXPECT_EQ(shell.iconsChanged, 1);
}

TEST_F(UserIconCacheTest, NothingFoundNothingTouchedNothingTold) {
  EXPECT_FALSE(DeleteUserIconCaches(program).found());
  system.localAppData.clear();  // a system without the shell of Vista
  MakeCaches();
  EXPECT_FALSE(DeleteUserIconCaches(program).found());
  EXPECT_TRUE(fs::exists(Local() / "IconCache.db"));
  EXPECT_EQ(shell.iconsChanged, 0);
}

TEST_F(UserIconCacheTest, FilesTheExplorerHoldsAreNamedAndStay) {
  MakeCaches();
  UndeletableFiles undeletable(files, journal);
  os.files = &undeletable;
  const UserIconCacheReport report = DeleteUserIconCaches(program);
  EXPECT_TRUE(report.deleted.empty());
  ASSERT_EQ(report.inUse.size(), 3u);
  EXPECT_EQ(report.inUse[0], (Local() / "IconCache.db").string());
  EXPECT_TRUE(fs::exists(Explorer() / "iconcache_32.db"));
  EXPECT_EQ(shell.iconsChanged, 0) << "nothing went";
}

}  // namespace
}  // namespace plumage::test
