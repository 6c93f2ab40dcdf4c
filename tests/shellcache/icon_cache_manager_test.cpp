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
      {"1", 0},    {"100", 0},   {"101", 1},   {"500", 1},  {"501", 2},   {"750", 2},
      {"1000", 2}, {"1001", 3},  {"1500", 3},  {"1501", 4}, {"2000", 4},  {"2001", -1},
      {"4096", -1}, {"-5", -1},  {"0", 1},     {"", 1},     {"many", 1},  {" 100", 0},
      {"100.5", 1}, {"99999999999999999999999", -1}, {nullptr, 1}};
  for (const auto& [stored, choice] : sizes) {
    Store(kExplorerRoot, kExplorerKey, kMaxCachedIconsValue, stored);
    EXPECT_EQ(ReadCacheSize(program).value_or(-1), choice) << (stored ? stored : "(no key)");
    tp.registry.CreateKey(kExplorerRoot, kExplorerKey);
  }
  // A value of another type counts as missing.
  platform::RegHandle h = 0;
  tp.registry.OpenKey(kExplorerRoot, kExplorerKey, &h);
  tp.registry.SetValue(h, kMaxCachedIconsValue, platform::kRegDword,
                       reinterpret_cast<const std::uint8_t*>("\x10\0\0\0"), 4);
  tp.registry.CloseKey(h);
  EXPECT_EQ(ReadCacheSize(program), CacheSizeChoice(1));

  const std::pair<const char*, bool> colours[] = {
      {"16", true}, {"24", true}, {" 16", true}, {"8", false}, {"4", false},
      {"", false},  {"15.9", false}, {nullptr, false}};
  for (const auto& [stored, maximum] : colours) {
    Store(kWindowMetricsRoot, kWindowMetricsKey, kShellIconBppValue, stored);
    EXPECT_EQ(ReadIconColors(program), maximum) << (stored ? stored : "(no key)");
    tp.registry.CreateKey(kWindowMetricsRoot, kWindowMetricsKey);
  }
  EXPECT_EQ(tp.registry.openHandles(), 0);
}

TEST_F(IconCacheTest, WritesAreTheStepsAsTextAndNothingElse) {
  for (int i = -1; i <= kCacheSizeStepCount; ++i) WriteCacheSize(program, i);
  WriteCacheSize(program, std::nullopt);
  WriteIconColors(program, true);
  WriteIconColors(program, false);
  EXPECT_EQ(journal, (Journal{"SetValue Max Cached Icons=100", "SetValue Max Cached Icons=500",
                              "SetValue Max Cached Icons=1000", "SetValue Max Cached Icons=1500",
                              "SetValue Max Cached Icons=2000", "SetValue Shell Icon BPP=16",
                              "SetValue Shell Icon BPP=4"}));
  EXPECT_EQ(Stored(kExplorerRoot, kExplorerKey, kMaxCachedIconsValue), std::string("2000\0", 5));
  // A key that cannot be opened is left as it was.
  journal.clear();
  tp.registry.DeleteKeyTree(kExplorerRoot, kExplorerKey);
  WriteCacheSize(program, 4);
  EXPECT_TRUE(journal.empty());
  EXPECT_EQ(Stored(kExplorerRoot, kExplorerKey, kMaxCachedIconsValue), std::nullopt);
  EXPECT_EQ(tp.registry.openHandles(), 0);
}

// The size goes one pixel down, is announced, comes back, is announced
// again; each announcement waits at most ten seconds for a window.
TEST_F(IconCacheTest, RebuildStepsTheIconSizeDownAndBack) {
  const struct {
    const char* stored;  // nullptr: missing
    const char* less;
    const char* size;
  } table[] = {{"32", "31", "32"},     {"48", "47", "48"},   {nullptr, "31", "32"},
               {"0", "31", "32"},      {"32.5", "31", "32"}, {"33.5", "33", "34"},
               {" 16 px", "15", "16"}, {"99999999999", "31", "32"}};
  for (const auto& row : table) {
    Store(kWindowMetricsRoot, kWindowMetricsKey, kShellIconSizeValue, row.stored);
    tp.registry.CreateKey(kWindowMetricsRoot, kWindowMetricsKey);
    journal.clear();
    RebuildIconCache(program);
    EXPECT_EQ(journal, (Journal{std::string("SetValue Shell Icon Size=") + row.less,
                                "BroadcastSettingChange",
                                std::string("SetValue Shell Icon Size=") + row.size,
                                "BroadcastSettingChange", "NotifyIconsChanged"}))
        << (row.stored ? row.stored : "(missing)");
    EXPECT_EQ(tp.registry.openHandles(), 0);
  }
  Store(kWindowMetricsRoot, kWindowMetricsKey, kShellIconSizeValue, nullptr);
  journal.clear();
  RebuildIconCache(program);
  EXPECT_EQ(journal,
            (Journal{"BroadcastSettingChange", "BroadcastSettingChange", "NotifyIconsChanged"}));
  EXPECT_EQ(tp.shell.broadcasts.back(), 10000u);
}

TEST(ShellIconSize, RoundsToEvenAndKeepsTheSubtractionInRange) {
  const std::pair<std::string, int> table[] = {
      {std::string("32\0", 3), 32}, {std::string(1, '\0'), 32}, {"0.4", 32}, {"2.5", 2},
      {"3.5", 4},  {"-7", -7}, {"2147483647", 2147483647}, {"-2147483647", -2147483647},
      {"-2147483648", 32},  // one less would not fit
      {"1e400", 1}};        // the leading number is the 1
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

TEST_F(IconCacheTest, TheSystemsCacheFileIsDeletedWhateverItsAttributes) {
  const fs::path cache = home / kIconCacheFileName;
  EXPECT_EQ(IconCachePath(program), cache.string());
  EXPECT_FALSE(DeleteIconCache(program)) << "no file";
  fs::create_directory(cache);
  WriteFile(cache / "inside", "x");
  EXPECT_FALSE(DeleteIconCache(program)) << "a folder of that name";
  EXPECT_TRUE(fs::exists(cache / "inside"));
  fs::remove_all(cache);

  WriteFile(cache, "cached icons");
  ASSERT_TRUE(tp.files.SetAttributes(cache.string(), platform::kAttributeReadOnly |
                                                         platform::kAttributeHidden |
                                                         platform::kAttributeSystem));
  EXPECT_TRUE(DeleteIconCache(program));
  EXPECT_FALSE(fs::exists(cache));

  // One that cannot be deleted was there all the same: the reboot is due.
  WriteFile(cache, "cached icons");
  UndeletableFiles undeletable(tp.files, journal);
  tp.os.files = &undeletable;
  EXPECT_TRUE(DeleteIconCache(program));
  EXPECT_EQ(journal, (Journal{"SetAttributes shelliconcache 0", "Remove shelliconcache"}));
  tp.os.files = &tp.files;
}

// The per-user cache files of Windows Vista and later, in a local
// application data folder of the test's own.
TEST_F(IconCacheTest, TheUsersCacheFilesGoAndTheShellIsToldWhenOneWent) {
  const fs::path local = dir / "Local", explorer = local / "Microsoft" / "Windows" / "Explorer";
  fs::create_directories(explorer);
  for (const fs::path& f : {local / "IconCache.db", explorer / "iconcache_32.db",
                            explorer / "iconcache_idx.db", explorer / "thumbcache_32.db"})
    WriteFile(f, "cache");
  ASSERT_TRUE(tp.files.SetAttributes((local / "IconCache.db").string(),
                                     platform::kAttributeHidden | platform::kAttributeSystem));
  EXPECT_FALSE(DeleteUserIconCaches(program).found()) << "a system without the shell of Vista";

  tp.system.localAppData = local.string();
  UndeletableFiles undeletable(tp.files, journal);
  tp.os.files = &undeletable;
  const UserIconCacheReport held = DeleteUserIconCaches(program);
  EXPECT_EQ(std::tuple(held.deleted.size(), held.inUse.size()), std::tuple(0, 3));
  EXPECT_EQ(held.inUse.at(0), (local / "IconCache.db").string());
  EXPECT_EQ(tp.shell.iconsChanged, 0) << "nothing went";

  tp.os.files = &tp.files;
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
