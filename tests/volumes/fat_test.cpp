// plumagectl on the volumes of USB sticks and memory cards: FAT and exFAT
// images, mounted by the kernel where it has the file system. (NTFS and
// exFAT through FUSE are the transcript volumes_fuse.t.)
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
  // The kernel mounts it: set gives the attributes (the kernel's exFAT
  // driver may have no call for them, and then set says so).
  void SetAndResetThroughTheKernel(const std::string& type) {
    if (auto why = WhyCannotMount(type, {"mkfs." + type})) GTEST_SKIP() << *why;
    MountImage(type);
    if (HasFatalFailure()) return;
    ProcessResult set = Ctl({"set", folder.string(), icon.string(), "0"});
    const auto iniBits = FatAttributes(ini);
    if (type == "exfat" && !iniBits) {
      EXPECT_EQ(set.exitCode, 3) << set.err;
      EXPECT_NE(set.err.find("System attribute of " + folder.string() + ": the exfat volume"),
                std::string::npos)
          << set.err;
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
};

TEST_F(FatTest, VfatKeepsTheAttributesInItsDirectoryEntries) {
  SetAndResetThroughTheKernel("vfat");
}

TEST_F(FatTest, ExfatThroughTheKernel) {
  SetAndResetThroughTheKernel("exfat");
}

}  // namespace
}  // namespace plumage::test
