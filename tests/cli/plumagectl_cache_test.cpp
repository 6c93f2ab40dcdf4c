// plumagectl cache, run as an administrator would run it.
#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>

#include "formats/regedit_document.h"
#include "platform/registry.h"
#include "support/run_process.h"
#include "support/temp_dir.h"

namespace plumage {
namespace {

namespace fs = std::filesystem;

constexpr const char* kMetrics = "Control Panel\\Desktop\\WindowMetrics";
constexpr const char* kExplorer = "Software\\Microsoft\\Windows\\CurrentVersion\\explorer";

class PlumagectlCacheTest : public ::testing::Test {
 protected:
  test::ProcessResult Run(std::vector<std::string> args) {
    args.insert(args.begin(), PLUMAGECTL_PATH);
    return test::RunProcess(args, {"PLUMAGE_CONFIG=" + (dir / "config").string(),
                                   "PLUMAGE_HOME=" + (dir / "home").string(), "LC_ALL=C.UTF-8"});
  }
  // The stored data of a value (its NUL included), or "(missing)".
  std::string Value(std::uint32_t root, const char* key, const char* name) {
    auto doc = platform::RegDocument::Parse(test::ReadFile(dir / "config" / "registry.reg"));
    const auto* v = doc.FindValue(root, key, name);
    return v ? v->data : "(missing)";
  }
  std::string Bpp() { return Value(platform::kHkeyCurrentUser, kMetrics, "Shell Icon BPP"); }
  std::string MaxCached() {
    return Value(platform::kHkeyLocalMachine, kExplorer, "Max Cached Icons");
  }

  test::TempDir dir;
};

TEST_F(PlumagectlCacheTest, ShowsAndWritesWhatTheDialogWrites) {
  ASSERT_EQ(Run({"install"}).exitCode, 0);
  auto show = Run({"cache"});
  ASSERT_EQ(show.exitCode, 0) << show.err;
  EXPECT_NE(show.out.find("Icon colours: 16 colours (Shell Icon BPP = not set)"), std::string::npos)
      << show.out;
  EXPECT_NE(show.out.find("Icon cache size: 500 (system default) (Max Cached Icons = not set)"),
            std::string::npos)
      << show.out;

  auto set = Run({"cache", "--colours", "max", "--size", "2000"});
  ASSERT_EQ(set.exitCode, 0) << set.err;
  EXPECT_EQ(Bpp(), std::string("16") + '\0');
  EXPECT_EQ(MaxCached(), std::string("2000") + '\0');
  EXPECT_NE(set.out.find("you must reboot"), std::string::npos) << set.out;
  EXPECT_NE(set.out.find("Icon cache size: 2000 (recommended)"), std::string::npos) << set.out;

  auto back = Run({"cache", "--colours", "16", "--size", "100"});
  ASSERT_EQ(back.exitCode, 0) << back.err;
  EXPECT_EQ(Bpp(), std::string("4") + '\0');
  EXPECT_EQ(MaxCached(), std::string("100") + '\0');
}

TEST_F(PlumagectlCacheTest, AnUnchangedValueIsNotRewritten) {
  ASSERT_EQ(Run({"install"}).exitCode, 0);
  ASSERT_EQ(Run({"cache", "--size", "1000"}).exitCode, 0);
  const auto before = fs::last_write_time(dir / "config" / "registry.reg");
  const std::string bytes = test::ReadFile(dir / "config" / "registry.reg");
  auto again = Run({"cache", "--size", "1000", "--colours", "16"});
  ASSERT_EQ(again.exitCode, 0) << again.err;
  EXPECT_EQ(again.out.find("reboot"), std::string::npos) << again.out;
  EXPECT_EQ(test::ReadFile(dir / "config" / "registry.reg"), bytes);
  EXPECT_EQ(fs::last_write_time(dir / "config" / "registry.reg"), before);
}

TEST_F(PlumagectlCacheTest, DeleteAndRebuild) {
  ASSERT_EQ(Run({"install"}).exitCode, 0);
  // No Windows directory stored: the program folder stands in for it.
  const fs::path cache = dir / "home" / "shelliconcache";
  test::WriteFile(cache, "icons");
  fs::permissions(cache, fs::perms::owner_read);
  auto del = Run({"cache", "--delete"});
  ASSERT_EQ(del.exitCode, 0) << del.err;
  EXPECT_FALSE(fs::exists(cache));
  EXPECT_NE(del.out.find("Deleted the icon cache"), std::string::npos) << del.out;

  auto none = Run({"cache", "--delete"});
  ASSERT_EQ(none.exitCode, 0) << none.err;
  EXPECT_NE(none.out.find("No icon cache file at " + cache.string()), std::string::npos)
      << none.out;

  auto rebuild = Run({"cache", "--rebuild", "--size", "1500"});
  ASSERT_EQ(rebuild.exitCode, 0) << rebuild.err;
  EXPECT_EQ(Value(platform::kHkeyCurrentUser, kMetrics, "Shell Icon Size"),
            std::string("32") + '\0');
  EXPECT_EQ(MaxCached(), std::string("1500") + '\0');
}

TEST_F(PlumagectlCacheTest, AMissingShellKeyIsReportedInOneLine) {
  // Before install the shell's keys are not in the store.
  auto r = Run({"cache", "--colours", "max"});
  EXPECT_NE(r.exitCode, 0);
  EXPECT_NE(r.err.find("HKEY_CURRENT_USER\\Control Panel\\Desktop\\WindowMetrics"),
            std::string::npos)
      << r.err;
  EXPECT_EQ(std::count(r.err.begin(), r.err.end(), '\n'), 1) << r.err;

  auto bad = Run({"cache", "--size", "750"});
  EXPECT_NE(bad.exitCode, 0);
  EXPECT_EQ(std::count(bad.err.begin(), bad.err.end(), '\n'), 1) << bad.err;
}

}  // namespace
}  // namespace plumage
