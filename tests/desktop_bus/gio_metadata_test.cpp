// The folder's custom icon in GIO's metadata, against the real metadata
// service of gvfs on a private session bus, read back by an independent
// reader (gio info). The test program starts its own bus: it runs itself
// again under dbus-run-session with a home folder of its own, so that
// neither a user's bus nor their metadata is ever touched.
#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iostream>
#include <iterator>

#include "platform/posix/gio_metadata.h"
#include "support/run_process.h"
#include "support/temp_dir.h"

namespace plumage {
namespace {

namespace fs = std::filesystem;

constexpr const char* kInsideMark = "PLUMAGE_PRIVATE_BUS";

class PrivateBus : public ::testing::Environment {
 public:
  void SetUp() override {
    if (std::getenv(kInsideMark)) return;
    // The same program with the same arguments, under a bus of its own.
    std::ifstream in("/proc/self/cmdline", std::ios::binary);
    std::string cmdline((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
    std::vector<std::string> argv = {"/usr/bin/dbus-run-session", "--", "/proc/self/exe"};
    std::size_t start = cmdline.find('\0') + 1;  // argv[0] is /proc/self/exe now
    while (start < cmdline.size()) {
      std::size_t end = cmdline.find('\0', start);
      argv.push_back(cmdline.substr(start, end - start));
      start = end + 1;
    }
    argv[2] = fs::read_symlink("/proc/self/exe").string();
    int code = 1;
    {
      test::TempDir home;
      fs::create_directories(home / "runtime");
      fs::permissions(home / "runtime", fs::perms::owner_all);
      auto run = test::RunProcess(argv, {std::string(kInsideMark) + "=1", "HOME=" + home.str(),
                                         "XDG_DATA_HOME=" + (home / ".local/share").string(),
                                         "XDG_CONFIG_HOME=" + (home / ".config").string(),
                                         "XDG_CACHE_HOME=" + (home / ".cache").string(),
                                         "XDG_RUNTIME_DIR=" + (home / "runtime").string(),
                                         "PLUMAGE_HOME=" + (home / "program").string(),
                                         "PLUMAGE_CONFIG=" + (home / "config").string()});
      std::cout << run.out;
      std::cerr << run.err;
      code = run.exitCode;
    }  // the home folder goes before the end
    std::cout.flush();
    std::exit(code);
  }
};

const auto* const kBus = ::testing::AddGlobalTestEnvironment(new PrivateBus);

// What `gio info` reads for the folder: the value, or empty when none.
std::string GioInfoCustomIcon(const std::string& folder) {
  auto info =
      test::RunProcess({"/usr/bin/gio", "info", "-a", platform::kCustomIconAttribute, folder});
  EXPECT_EQ(info.exitCode, 0) << info.err;
  const std::string key = std::string(platform::kCustomIconAttribute) + ": ";
  const std::size_t at = info.out.find(key);
  if (at == std::string::npos) return {};
  const std::size_t end = info.out.find('\n', at);
  return info.out.substr(at + key.size(), end - at - key.size());
}

class GioMetadataTest : public ::testing::Test {
 protected:
  void SetUp() override {
    ASSERT_TRUE(platform::SessionBusKnown());
    folder = (fs::path(std::getenv("HOME")) / "My Music").string();
    fs::create_directories(folder);
  }
  std::string folder;
};

TEST_F(GioMetadataTest, TheCustomIconIsSetReadBackAndCleared) {
  const std::string uri = platform::FileUri("/opt/icons/a b.png");
  EXPECT_EQ(uri, "file:///opt/icons/a%20b.png");
  ASSERT_TRUE(platform::SetCustomIconMetadata(folder, uri));
  EXPECT_EQ(GioInfoCustomIcon(folder), uri);
  auto read = platform::ReadCustomIconMetadata(folder);
  ASSERT_TRUE(read);
  EXPECT_EQ(*read, uri);

  ASSERT_TRUE(platform::SetCustomIconMetadata(folder, ""));
  EXPECT_EQ(GioInfoCustomIcon(folder), "");
  // Clearing what is not there is no fault.
  EXPECT_TRUE(platform::SetCustomIconMetadata(folder, ""));
}

// The whole road as a user takes it: plumagectl, the program's desktop, the
// PNG in the program folder, the metadata service and .directory.
TEST_F(GioMetadataTest, PlumagectlSetAndResetAsAUserRunsThem) {
  const std::string ico = std::string(PLUMAGE_SOURCE_DIR) + "/data/icons/folder_blue.ico";
  auto install = test::RunProcess({PLUMAGECTL_PATH, "install"});
  ASSERT_EQ(install.exitCode, 0) << install.err;
  auto set = test::RunProcess({PLUMAGECTL_PATH, "set", folder, ico});
  ASSERT_EQ(set.exitCode, 0) << set.err;
  EXPECT_EQ(set.err, "");
  const std::string uri = GioInfoCustomIcon(folder);
  ASSERT_TRUE(uri.starts_with("file://") && uri.ends_with(".png")) << uri;
  const std::string png = uri.substr(7);
  EXPECT_EQ(uri, platform::FileUri(png));
  EXPECT_TRUE(png.starts_with(std::getenv("PLUMAGE_HOME")) && fs::is_regular_file(png)) << png;
  EXPECT_NE(test::ReadFile(fs::path(folder) / ".directory").find("Icon=" + png), std::string::npos);

  // Switched off, reset leaves the file managers' icon alone.
  ASSERT_EQ(test::RunProcess({PLUMAGECTL_PATH, "settings", "--linux-icons", "off"}).exitCode, 0);
  ASSERT_EQ(test::RunProcess({PLUMAGECTL_PATH, "reset", folder}).exitCode, 0);
  EXPECT_EQ(GioInfoCustomIcon(folder), uri);
  ASSERT_EQ(test::RunProcess({PLUMAGECTL_PATH, "settings", "--linux-icons", "on"}).exitCode, 0);
  auto reset = test::RunProcess({PLUMAGECTL_PATH, "reset", folder});
  ASSERT_EQ(reset.exitCode, 0) << reset.err;
  EXPECT_EQ(GioInfoCustomIcon(folder), "");
  EXPECT_FALSE(fs::exists(fs::path(folder) / ".directory"));
  ASSERT_EQ(test::RunProcess({PLUMAGECTL_PATH, "uninstall"}).exitCode, 0);
}

}  // namespace
}  // namespace plumage
