// The shell's icon settings as the program reads and writes them, the
// rebuild's steps, and the cache files it deletes.
#include "shellcache/icon_cache_manager.h"

#include <gtest/gtest.h>

#include "support/form_bench.h"

namespace plumage::test {
namespace {

namespace fs = std::filesystem;

class IconCacheTest : public ::testing::Test, public FormBench {
 protected:
  void Store(std::uint32_t root, const char* key, const char* name, const char* text) {
    if (text)
      tp.registry.SetString(root, key, name, text);
    else
      tp.registry.DeleteKeyTree(root, key);
  }
  std::optional<std::string> Stored(std::uint32_t root, const char* key, const char* name) {
    return tp.registry.Stored(root, key, name);
  }
};

TEST_F(IconCacheTest, StoredTextsReadAsTheCacheSizeChoiceAndTheColours) {
  // "Max Cached Icons" → the step it selects (-1: none); nullptr: no key.
  const std::pair<const char*, int> sizes[] = {
      {"1", 0},    {"100", 0},   {"101", 1},   {"1000", 2}, {"1001", 3},
      {"2000", 4}, {"2001", -1}, {"-5", -1},   {"0", 1},
      {"many", 1}, {" 100", 0},  {"100.5", 1}, {"99999999999999999999999", -1},
      {nullptr, 1}};
  for (const auto& [stored, choice] : sizes) {
    Store(kExplorerRoot, kExplorerKey, kMaxCachedIconsValue, stored);
    EXPECT_EQ(ReadCacheSize(program).value_or(-1), choice) << (stored ? stored : "(no key)");
    tp.registry.CreateKey(kExplorerRoot, kExplorerKey);
  }
  // A value of another type counts as missing.
  platform::RegHandle h = 0;
  tp.registry.OpenKey(kExplorerRoot, kExplorerKey, &h);
  tp.registry.SetValue(h, kMaxCachedIconsValue, formats::kRegDword,
                       reinterpret_cast<const std::uint8_t*>("\x10\0\0\0"), 4);
  tp.registry.CloseKey(h);
  EXPECT_EQ(ReadCacheSize(program), CacheSizeChoice(1));

  const std::pair<const char*, bool> colours[] = {
      {"16", true}, {" 24", true}, {"8", false}, {"15.9", false}, {nullptr, false}};
  for (const auto& [stored, maximum] : colours) {
    Store(kWindowMetricsRoot, kWindowMetricsKey, kShellIconBppValue, stored);
    EXPECT_EQ(ReadIconColors(program), maximum) << (stored ? stored : "(no key)");
    tp.registry.CreateKey(kWindowMetricsRoot, kWindowMetricsKey);
  }
  EXPECT_EQ(tp.registry.openHandles(), 0);
}

// The steps written are the dialog's (its tests hold them); here, what is
// not written.
TEST_F(IconCacheTest, NoStepOrNoKeyWritesNothing) {
  for (CacheSizeChoice none :
       {CacheSizeChoice(-1), CacheSizeChoice(kCacheSizeStepCount), CacheSizeChoice()})
    WriteCacheSize(program, none);
  EXPECT_TRUE(journal.empty());
  WriteCacheSize(program, 4);
  EXPECT_EQ(Stored(kExplorerRoot, kExplorerKey, kMaxCachedIconsValue), std::string("2000\0", 5));
  // A key that cannot be opened is left as it was.
  journal.clear();
  tp.registry.DeleteKeyTree(kExplorerRoot, kExplorerKey);
  WriteCacheSize(program, 4);
  EXPECT_TRUE(journal.empty());
  EXPECT_EQ(Stored(kExplorerRoot, kExplorerKey, kMaxCachedIconsValue), std::nullopt);
  EXPECT_EQ(tp.registry.openHandles(), 0);
}

// The size goes one pixel down and back, each step announced (the
// settings dialog's tests hold the sequence); without the key the
// announcements still go out, each waiting at most ten seconds.
TEST_F(IconCacheTest, RebuildAnnouncesEvenWithoutTheKey) {
  Store(kWindowMetricsRoot, kWindowMetricsKey, kShellIconSizeValue, nullptr);
  journal.clear();
  RebuildIconCache(program);
  EXPECT_EQ(journal,
            (Journal{"BroadcastSettingChange", "BroadcastSettingChange", "NotifyIconsChanged"}));
  EXPECT_EQ(tp.shell.broadcasts, (std::vector<std::uint32_t>{10000u, 10000u}));
  EXPECT_EQ(tp.registry.openHandles(), 0);
}

// Halves round to even, in every build (a 32-bit build once rounded them
// up), and a size whose one-less would not fit reads as the default.
TEST(ShellIconSize, RoundsToEvenAndKeepsTheSubtractionInRange) {
  const std::pair<std::string, int> table[] = {{std::string("32\0", 3), 32},
                                               {std::string(1, '\0'), 32},
                                               {"0.4", 32},
                                               {"2.5", 2},
                                               {"3.5", 4},
                                               {"-7", -7},
                                               {"2147483647", 2147483647},
                                               {"-2147483647", -2147483647},
                                               {"-2147483648", 32},
                                               {"1e400", 1}};  // the leading number is the 1
  for (const auto& [text, size] : table) EXPECT_EQ(ShellIconSizeFrom(text), size) << text;
}

// The real files, the calls noted; Remove fails (the file is held open).
class UndeletableFiles : public ForwardingFiles {
 public:
  UndeletableFiles(platform::IFileSystem& real, Journal& journal)
      : ForwardingFiles(real), journal_(journal) {}
  Status SetAttributes(const std::string& path, std::uint32_t attributes) override {
    journal_.push_back("SetAttributes " + fs::path(path).filename().string() + " " +
                       std::to_string(attributes));
    return ForwardingFiles::SetAttributes(path, attributes);
  }
  Status Remove(const std::string& path) override {
    journal_.push_back("Remove " + fs::path(path).filename().string());
    return MakeError(ErrorKind::Io, "cannot delete " + path);
  }

 private:
  Journal& journal_;
};

TEST_F(IconCacheTest, TheSystemsCacheFileThatCannotBeDeletedStillAsksForTheReboot) {
  // A folder of that name, and a read-only file, are the transcript cache.t.
  const fs::path cache = home / kIconCacheFileName;
  // One that cannot be deleted was there all the same: the reboot is due.
  WriteFile(cache, "cached icons");
  UndeletableFiles undeletable(tp.files, journal);
  tp.os.files = &undeletable;
  EXPECT_TRUE(DeleteIconCache(program));
  EXPECT_EQ(journal, (Journal{"SetAttributes shelliconcache 0", "Remove shelliconcache"}));
  tp.os.files = &tp.files;
}

// The per-user cache files of Windows Vista and later, in a local
// application data folder of the test's own: only the names looked for go,
// whatever their attributes. (Files the Explorer holds are the dialog's
// tests'.)
TEST_F(IconCacheTest, TheUsersCacheFilesGoByTheirNamesOnly) {
  const fs::path local = dir / "Local", explorer = local / "Microsoft" / "Windows" / "Explorer";
  fs::create_directories(explorer);
  for (const fs::path& f : {local / "IconCache.db", explorer / "iconcache_32.db",
                            explorer / "iconcache_idx.db", explorer / "thumbcache_32.db"})
    WriteFile(f, "cache");
  ASSERT_TRUE(tp.files.SetAttributes((local / "IconCache.db").string(),
                                     platform::kAttributeHidden | platform::kAttributeSystem));
  tp.system.localAppData = local.string();
  const UserIconCacheReport report = DeleteUserIconCaches(program);
  EXPECT_EQ(std::tuple(report.deleted.size(), report.inUse.size()), std::tuple(3, 0));
  std::vector<std::string> left;
  for (const auto& e : fs::recursive_directory_iterator(local))
    if (e.is_regular_file()) left.push_back(e.path().filename().string());
  EXPECT_EQ(left, std::vector<std::string>{"thumbcache_32.db"}) << "nothing it did not look for";
  EXPECT_EQ(tp.shell.iconsChanged, 1);
}

}  // namespace
}  // namespace plumage::test
