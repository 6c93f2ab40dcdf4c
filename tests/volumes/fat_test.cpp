// plumagectl on the volumes of USB sticks and memory cards: FAT and exFAT
// images, mounted by the kernel where it has the file system, and exFAT
// through FUSE (exfat-fuse), which keeps no DOS attributes at all.
#include <fcntl.h>
#include <linux/msdos_fs.h>
#include <sys/ioctl.h>
#include <unistd.h>

#include "volume_fixture.h"

namespace plumage::test {
namespace {

// The attribute byte of the directory entry, as the kernel's FAT driver
// gives it; nothing when the driver has no such call.
std::optional<std::uint32_t> FatAttributes(const fs::path& path) {
  int fd = open(path.c_str(), O_RDONLY | O_CLOEXEC);
  if (fd < 0) return std::nullopt;
  __u32 attributes = 0;
  const int rc = ioctl(fd, FAT_IOCTL_GET_ATTRIBUTES, &attributes);
  close(fd);
  if (rc != 0) return std::nullopt;
  return attributes;
}

class FatTest : public VolumeTest {
 protected:
  // An image made by `mkfs`, on a loop device, mounted by `mounter`
  // (its arguments before the device and the folder).
  void MountImage(const std::string& mkfs, const std::vector<std::string>& mounter) {
    std::string why;
    ASSERT_TRUE(MakeImage({FindTool(mkfs)}, dir / "disk.img", 16, &why)) << why;
    const std::string loop = mount.AttachLoop(dir / "disk.img", &why);
    ASSERT_FALSE(loop.empty()) << why;
    fs::create_directory(point);
    std::vector<std::string> argv = mounter;
    argv.push_back(loop);
    argv.push_back(point.string());
    ASSERT_TRUE(mount.Mount(argv, point, &why)) << why;
    fs::create_directory(folder);
    WriteIcon(icon);
  }

  // The kernel mounts it: set gives the attributes (the kernel's exFAT
  // driver may have no call for them, and then set says so).
  void SetAndResetThroughTheKernel(const std::string& type) {
    ProcessResult set = Ctl({"set", folder.string(), icon.string(), "0"});
    const auto iniBits = FatAttributes(ini);
    if (type == "exfat" && !iniBits) {
      EXPECT_EQ(set.exitCode, 3) << set.err;
      EXPECT_NE(set.err.find("System attribute of " + folder.string()), std::string::npos)
          << set.err;
      EXPECT_NE(set.err.find("exfat volume"), std::string::npos) << set.err;
      return;
    }
    EXPECT_EQ(set.exitCode, 0) << set.out << set.err;
    ASSERT_TRUE(iniBits.has_value());
    EXPECT_EQ(*iniBits & kDosBits, kH | kS);
    EXPECT_EQ(FatAttributes(folder).value_or(0) & kS, kS);
    ProcessResult reset = Ctl({"reset", folder.string()});
    EXPECT_EQ(reset.exitCode, 0) << reset.err;
    EXPECT_EQ(FatAttributes(folder).value_or(kS) & kS, 0u);
  }

  fs::path point = dir / "mnt";
  fs::path folder = point / "Music";
  fs::path ini = folder / "DESKTOP.INI";
  fs::path icon = point / "note.ico";
  MountGuard mount;  // after dir: unmounted before the folder goes
};

TEST_F(FatTest, VfatKeepsTheAttributesInItsDirectoryEntries) {
  if (!KernelHasFileSystem("vfat")) GTEST_SKIP() << "this kernel has no vfat file system";
  if (auto why = WhyCannotMount(false)) GTEST_SKIP() << *why;
  if (FindTool("mkfs.vfat").empty()) GTEST_SKIP() << "no mkfs.vfat (Debian's dosfstools) here";
  MountImage("mkfs.vfat", {"/usr/bin/mount", "-t", "vfat"});
  SetAndResetThroughTheKernel("vfat");
}

TEST_F(FatTest, ExfatThroughTheKernel) {
  if (!KernelHasFileSystem("exfat")) GTEST_SKIP() << "this kernel has no exfat file system";
  if (auto why = WhyCannotMount(false)) GTEST_SKIP() << *why;
  if (FindTool("mkfs.exfat").empty()) GTEST_SKIP() << "no mkfs.exfat (Debian's exfatprogs) here";
  MountImage("mkfs.exfat", {"/usr/bin/mount", "-t", "exfat"});
  SetAndResetThroughTheKernel("exfat");
}

// FUSE exFAT has no extended attributes and no attribute calls: the
// descriptor is written, and set says which attributes of which file it
// could not store, on which volume, and exits 3.
TEST_F(FatTest, ExfatThroughFuseSaysWhatItCannotStore) {
  if (auto why = WhyCannotMount(true)) GTEST_SKIP() << *why;
  if (FindTool("mkfs.exfat").empty() || FindTool("mount.exfat-fuse").empty())
    GTEST_SKIP() << "no mkfs.exfat or mount.exfat-fuse (exfatprogs, exfat-fuse) here";
  MountImage("mkfs.exfat", {FindTool("mount.exfat-fuse")});

  ProcessResult set = Ctl({"set", folder.string(), icon.string(), "0"});
  EXPECT_EQ(set.exitCode, 3) << set.out << set.err;
  EXPECT_EQ(ReadFile(ini),
            "[.ShellClassInfo]\r\nIconFile=FolderIcon.ico\r\nIconIndex=0\r\n"
            "IconResource=FolderIcon.ico,0\r\n");
  EXPECT_NE(set.err.find("cannot set the Hidden and System attributes of " + ini.string() +
                         ": the fuseblk (exfat) volume"),
            std::string::npos)
      << set.err;
  EXPECT_NE(set.err.find("cannot set the System attribute of " + folder.string() +
                         ": the fuseblk (exfat) volume"),
            std::string::npos)
      << set.err;
  EXPECT_NE(set.out.find("the warnings say what was not stored"), std::string::npos) << set.out;

  ProcessResult show = Ctl({"show", folder.string()});
  EXPECT_NE(show.out.find("Folder attributes: Normal\n"), std::string::npos) << show.out;
  EXPECT_NE(show.out.find("Volume: fuseblk (exfat); DOS attributes: nowhere\n"), std::string::npos)
      << show.out;

  // Reset marks the emptied descriptor Hidden and System again: the same
  // warning.
  ProcessResult reset = Ctl({"reset", folder.string()});
  EXPECT_EQ(reset.exitCode, 3) << reset.err;
  EXPECT_NE(reset.err.find("Hidden and System attributes of " + ini.string()), std::string::npos)
      << reset.err;
}

}  // namespace
}  // namespace plumage::test
