// plumagectl on an NTFS volume as Debian mounts a Windows disk: an image
// made by mkntfs and mounted through ntfs-3g. The attributes are read back
// with getfattr as the NTFS driver gives them (system.ntfs_attrib_be), which
// is what Windows reads from the disk.
#include "volume_fixture.h"

namespace plumage::test {
namespace {

constexpr const char* kNtfsAttrib = "system.ntfs_attrib_be";

class NtfsTest : public VolumeTest {
 protected:
  void SetUp() override {
    if (auto why = WhyCannotMount("fuse", {"mkntfs", "ntfs-3g"})) GTEST_SKIP() << *why;
    MountImage({FindTool("mkntfs"), "-F", "-q", "-f"}, {FindTool("ntfs-3g")}, false);
  }

  // The NTFS attributes, a big-endian word; 0xFFFFFFFF when the driver
  // gives none.
  static std::uint32_t Ntfs(const fs::path& path) {
    const auto raw = GetfattrValue(path.string(), kNtfsAttrib);
    if (!raw || raw->size() != 4) return 0xFFFFFFFFu;
    std::uint32_t word = 0;
    for (char c : *raw) word = word << 8 | static_cast<std::uint8_t>(c);
    return word;
  }

  // ntfs-3g keeps user.* attributes as alternate data streams, which
  // Windows never reads as attributes: none may be there.
  static void ExpectNoStreams(const std::vector<fs::path>& paths) {
    for (const fs::path& path : paths) {
      ProcessResult dump =
          RunProcess({"/usr/bin/getfattr", "--absolute-names", "-d", path.string()});
      EXPECT_EQ(dump.out.find("user."), std::string::npos) << path << ": " << dump.out;
    }
  }
};

// A folder customised on Windows: Read-only (as Explorer marks such
// folders) and Archive, its DESKTOP.INI Hidden, System and Archive with keys
// of its own. Set gives the folder System and keeps the icon inside, Hidden
// and System in NTFS's own attributes as the descriptor is; reset takes
// System away again.
TEST_F(NtfsTest, SetGivesTheRealAttributesAndResetTakesSystemAway) {
  WriteFile(ini, "[.ShellClassInfo]\r\nInfoTip=Songs\r\nIconResource=C:\\x.dll,3\r\n");
  ASSERT_TRUE(Setfattr(ini.string(), kNtfsAttrib, "0x00000026"));
  // Not content indexed (0x2000): a bit of NTFS's own that a write of the
  // DOS bits must carry over.
  constexpr std::uint32_t kNotIndexed = 0x2000;
  ASSERT_TRUE(Setfattr(folder.string(), kNtfsAttrib, "0x00002031"));
  ASSERT_NE(Ntfs(folder) & kNotIndexed, 0u) << std::hex << Ntfs(folder);

  ProcessResult set = Ctl({"set", folder.string(), icon.string(), "0"});
  EXPECT_EQ(set.exitCode, 0) << set.out << set.err;
  EXPECT_NE(ReadFile(ini).find("InfoTip=Songs\r\n"), std::string::npos) << ReadFile(ini);
  EXPECT_NE(ReadFile(ini).find("IconResource=FolderIcon.ico,0\r\n"), std::string::npos);
  const fs::path kept = folder / "FolderIcon.ico";
  EXPECT_EQ(Ntfs(kept) & kDosBits, kH | kS) << std::hex << Ntfs(kept);
  EXPECT_EQ(Ntfs(ini) & (kH | kS), kH | kS) << std::hex << Ntfs(ini);
  EXPECT_EQ(Ntfs(folder) & kDosBits, kRO | kS | kA) << std::hex << Ntfs(folder);
  EXPECT_NE(Ntfs(folder) & platform::kAttributeDirectory, 0u) << "the driver's own bits stay";
  EXPECT_NE(Ntfs(folder) & kNotIndexed, 0u) << std::hex << Ntfs(folder);
  ExpectNoStreams({kept, ini, folder});

  ProcessResult show = Ctl({"show", folder.string()});
  EXPECT_NE(show.out.find("Folder attributes: Read-only, System, Archive\n"), std::string::npos)
      << show.out;
  EXPECT_NE(show.out.find("Volume: fuse (ntfs); DOS attributes: NTFS attributes\n"),
            std::string::npos)
      << show.out;

  ProcessResult reset = Ctl({"reset", folder.string()});
  EXPECT_EQ(reset.exitCode, 0) << reset.out << reset.err;
  EXPECT_EQ(Ntfs(folder) & kDosBits, kRO | kA) << std::hex << Ntfs(folder);
  EXPECT_EQ(Ntfs(ini) & (kH | kS), kH | kS);
  EXPECT_FALSE(fs::exists(kept)) << "Reset removes the kept copy";
}

}  // namespace
}  // namespace plumage::test
