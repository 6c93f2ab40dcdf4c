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
    if (auto why = WhyCannotMount(true)) GTEST_SKIP() << *why;
    if (FindTool("mkntfs").empty() || FindTool("ntfs-3g").empty())
      GTEST_SKIP() << "no mkntfs or ntfs-3g (Debian's ntfs-3g) here";
    std::string why;
    ASSERT_TRUE(MakeImage({FindTool("mkntfs"), "-F", "-q", "-f"}, dir / "ntfs.img", 8, &why))
        << why;
    fs::create_directory(point);
    ASSERT_TRUE(mount.Mount({FindTool("ntfs-3g"), (dir / "ntfs.img").string(), point.string()},
                            point, &why))
        << why;
    fs::create_directory(folder);
    WriteIcon(icon);
  }

  // The NTFS attributes; 0xFFFFFFFF when the driver gives none.
  static std::uint32_t Ntfs(const fs::path& path) {
    return GetfattrWord(path.string(), kNtfsAttrib).value_or(0xFFFFFFFFu);
  }
  // ntfs-3g keeps user.* attributes as alternate data streams, which
  // Windows never reads as attributes: none may be there.
  static void ExpectNoStreams(const fs::path& path) {
    ProcessResult dump = RunProcess({"/usr/bin/getfattr", "--absolute-names", "-d", path.string()});
    EXPECT_EQ(dump.out.find("user."), std::string::npos) << path << ": " << dump.out;
  }

  fs::path point = dir / "mnt";
  fs::path folder = point / "Music";
  fs::path ini = folder / "DESKTOP.INI";
  fs::path icon = point / "note.ico";
  MountGuard mount;  // after dir: unmounted before the folder goes
};

TEST_F(NtfsTest, SetGivesTheRealAttributesAndResetTakesSystemAway) {
  ASSERT_EQ(Ntfs(folder) & kDosBits, kA) << "a new NTFS folder is Archive";

  ProcessResult set = Ctl({"set", folder.string(), icon.string(), "0"});
  EXPECT_EQ(set.exitCode, 0) << set.out << set.err;
  // The icon is kept inside the folder, named by its bare name, and it is
  // Hidden and System in NTFS's own attributes, as the descriptor is.
  EXPECT_EQ(ReadFile(ini),
            "[.ShellClassInfo]\r\nIconFile=FolderIcon.ico\r\nIconIndex=0\r\n"
            "IconResource=FolderIcon.ico,0\r\n");
  const fs::path kept = folder / "FolderIcon.ico";
  EXPECT_EQ(Ntfs(kept) & kDosBits, kH | kS) << std::hex << Ntfs(kept);
  ExpectNoStreams(kept);
  EXPECT_EQ(Ntfs(ini) & kDosBits, kH | kS) << std::hex << Ntfs(ini);
  EXPECT_EQ(Ntfs(folder) & kDosBits, kS | kA) << std::hex << Ntfs(folder);
  EXPECT_NE(Ntfs(folder) & platform::kAttributeDirectory, 0u) << "the driver's own bits stay";
  ExpectNoStreams(ini);
  ExpectNoStreams(folder);

  // show reads them back the same way.
  ProcessResult show = Ctl({"show", folder.string()});
  EXPECT_EQ(show.exitCode, 0) << show.err;
  EXPECT_NE(show.out.find("Folder attributes: System, Archive\n"), std::string::npos) << show.out;
  EXPECT_NE(show.out.find(ini.string() + " attributes: Hidden, System\n"), std::string::npos)
      << show.out;
  EXPECT_NE(show.out.find("Volume: fuse (ntfs); DOS attributes: NTFS attributes\n"),
            std::string::npos)
      << show.out;

  ProcessResult reset = Ctl({"reset", folder.string()});
  EXPECT_EQ(reset.exitCode, 0) << reset.out << reset.err;
  EXPECT_EQ(Ntfs(folder) & kDosBits, kA) << std::hex << Ntfs(folder);
  EXPECT_EQ(Ntfs(ini) & kDosBits, kH | kS);
  EXPECT_FALSE(fs::exists(kept)) << "Reset removes the kept copy";
  ExpectNoStreams(folder);
}

// A folder customised on Windows: Read-only (as Explorer marks such folders),
// its DESKTOP.INI Hidden, System and Archive with keys of its own.
TEST_F(NtfsTest, AWindowsMadeDescriptorKeepsItsAttributes) {
  WriteFile(ini, "[.ShellClassInfo]\r\nInfoTip=Songs\r\nIconResource=C:\\x.dll,3\r\n");
  ASSERT_TRUE(RunProcess({"/usr/bin/setfattr", "-n", kNtfsAttrib, "-v", "0x00000026", ini.string()})
                  .exitCode == 0);
  ASSERT_TRUE(
      RunProcess({"/usr/bin/setfattr", "-n", kNtfsAttrib, "-v", "0x00000011", folder.string()})
          .exitCode == 0);
  ASSERT_EQ(Ntfs(ini) & kDosBits, kH | kS | kA);

  ProcessResult set = Ctl({"set", folder.string(), icon.string(), "0"});
  EXPECT_EQ(set.exitCode, 0) << set.out << set.err;
  EXPECT_NE(ReadFile(ini).find("InfoTip=Songs\r\n"), std::string::npos) << ReadFile(ini);
  EXPECT_EQ(Ntfs(ini) & (kH | kS), kH | kS) << std::hex << Ntfs(ini);
  EXPECT_EQ(Ntfs(folder) & kDosBits, kRO | kS) << "Read-only stays, System comes";
  ExpectNoStreams(ini);

  ProcessResult reset = Ctl({"reset", folder.string()});
  EXPECT_EQ(reset.exitCode, 0) << reset.err;
  EXPECT_EQ(Ntfs(folder) & kDosBits, kRO);
}

}  // namespace
}  // namespace plumage::test
