// Which volume a path lies on and where that volume keeps DOS attributes:
// the mapping from mountinfo lines and what the files answer, and the
// description of real folders compared with findmnt's.
#include <gtest/gtest.h>

#include <filesystem>

#include "platform/posix/posix_file_system.h"
#include "platform/posix/volumes.h"
#include "support/run_process.h"
#include "support/temp_dir.h"

namespace plumage::platform {
namespace {

using test::TempDir;

constexpr const char* kMountinfo =
    "22 1 0:21 / / rw,relatime shared:1 - ext4 /dev/vda1 rw\n"
    "23 22 0:22 / /proc rw,nosuid - proc proc rw\n"
    "30 22 0:30 / /tmp rw shared:5 - tmpfs tmpfs rw,size=100m\n"
    "40 22 8:17 / /media/my\\040stick rw,nosuid shared:7 - vfat /dev/sdb1 rw,fmask=0022\n"
    "41 22 8:33 / /media/usb rw - exfat /dev/sdc1 rw\n"
    "42 22 0:40 / /mnt/win rw,relatime shared:9 - fuseblk /dev/sda3 rw,user_id=0,allow_other\n"
    "43 22 0:41 / /mnt/img rw - fuse /srv/disk.img rw,user_id=0\n"
    "44 22 0:42 / /mnt/ntfs3 rw - ntfs3 /dev/sda4 rw,iocharset=utf8\n"
    "45 22 0:43 / /srv/nas rw - cifs //nas/music rw,vers=3.1.1\n"
    "46 22 0:44 / /srv/home rw - nfs4 server:/home rw,vers=4.2\n"
    "47 22 0:45 / /home/u/remote rw - fuse.sshfs u@host:/ rw,user_id=1000\n"
    "48 22 0:46 / /mnt/stick rw - fuseblk /dev/sdd1 rw\n"
    "49 22 8:1 / /data rw - xfs /dev/sda1 rw\n"
    // Mounted over /data later: it hides the xfs below.
    "50 22 8:2 / /data rw - btrfs /dev/sda2 rw\n"
    "51 50 0:47 /sub /data/sub rw - overlay overlay rw\n"
    "broken line\n";

TEST(VolumeMapping, FromMountinfoAndWhatTheFilesAnswer) {
  using S = AttributeStore;
  const VolumeAnswers none{false, false, ""};
  const VolumeAnswers xattrs{false, true, ""};
  const VolumeAnswers ntfs{true, true, std::string(3, '\0') + "NTFS    " + std::string(501, '\0')};
  const VolumeAnswers exfat{false, false,
                            std::string(3, '\0') + "EXFAT   " + std::string(501, '\0')};
  const struct {
    const char* path;
    VolumeAnswers answers;
    const char* point;
    const char* type;
    AttributeStore store;
    bool network;
  } cases[] = {
      {"/home/u/Music", xattrs, "/", "ext4", S::DosAttrib, false},
      {"/tmp/x", xattrs, "/tmp", "tmpfs", S::DosAttrib, false},
      {"/tmp/x", none, "/tmp", "tmpfs", S::None, false},  // an older kernel's tmpfs
      {"/media/my stick/Photos", none, "/media/my stick", "vfat", S::Fat, false},
      {"/media/usb", none, "/media/usb", "exfat", S::Fat, false},
      // ntfs-3g answers user.* too (as alternate data streams): NTFS wins.
      {"/mnt/win/Users", ntfs, "/mnt/win", "fuseblk (ntfs)", S::Ntfs, false},
      {"/mnt/win/Users", {true, true, ""}, "/mnt/win", "fuseblk (ntfs)", S::Ntfs, false},
      {"/mnt/img/a", ntfs, "/mnt/img", "fuse (ntfs)", S::Ntfs, false},
      {"/mnt/ntfs3/a", none, "/mnt/ntfs3", "ntfs3", S::Ntfs, false},
      {"/srv/nas/Music", none, "/srv/nas", "cifs", S::Smb, true},
      {"/srv/home/u", xattrs, "/srv/home", "nfs4", S::DosAttrib, true},
      {"/srv/home/u", none, "/srv/home", "nfs4", S::None, true},
      {"/home/u/remote/x", none, "/home/u/remote", "fuse.sshfs", S::None, true},
      // FUSE exFAT: no extended attributes of any kind.
      {"/mnt/stick/DCIM", exfat, "/mnt/stick", "fuseblk (exfat)", S::None, false},
      {"/data/x", xattrs, "/data", "btrfs", S::DosAttrib, false},
      {"/data/sub/y", xattrs, "/data/sub", "overlay", S::DosAttrib, false},
      {"/database", xattrs, "/", "ext4", S::DosAttrib, false},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.path);
    auto mount = MountHolding(kMountinfo, c.path);
    ASSERT_TRUE(mount.has_value());
    EXPECT_EQ(mount->point, c.point);
    const VolumeInfo info = ClassifyMount(*mount, c.answers);
    EXPECT_EQ(info.type, c.type);
    EXPECT_EQ(info.attributes, c.store) << AttributeStoreName(info.attributes);
    EXPECT_EQ(info.network, c.network);
  }
  EXPECT_FALSE(MountHolding("broken\n", "/x").has_value());

  auto line = ParseMountinfoLine(
      "42 22 8:17 / /media/a\\011b rw shared:1 master:2 - vfat /dev/my\\134disk rw");
  ASSERT_TRUE(line.has_value());
  EXPECT_EQ(line->point, "/media/a\tb");
  EXPECT_EQ(line->source, "/dev/my\\disk");
  EXPECT_EQ(line->major, 8u);
  EXPECT_EQ(line->minor, 17u);
}

// The folders of this machine, as findmnt (util-linux) sees them.
// A FUSE volume names no file system of its own: its first sector does.
// Each name is found in the shortest sector that holds it.
TEST(VolumeMapping, BootSectorsNameTheirFileSystem) {
  auto sector = [](std::size_t size, std::size_t at, const std::string& name) {
    std::string s(size, '\0');
    s.replace(at, name.size(), name);
    return s;
  };
  const std::pair<std::string, std::string> cases[] = {
      {sector(11, 3, "NTFS    "), "ntfs"},   {sector(11, 3, "EXFAT   "), "exfat"},
      {sector(57, 54, "FAT"), "vfat"},        {sector(87, 82, "FAT32"), "vfat"},
      {sector(56, 54, "FA"), ""},             {sector(86, 82, "FAT3"), ""},
      {sector(512, 3, "MSDOS5.0"), ""},       {"", ""},
  };
  for (const auto& [bytes, name] : cases)
    EXPECT_EQ(FileSystemOfBootSector(bytes), name) << bytes.size() << " bytes";
}

TEST(VolumeMapping, DescribesRealFoldersAsFindmntDoes) {
  TempDir dir;
  PosixFileSystem files;
  for (const std::string& path : {dir.str(), std::string("/proc/self"), std::string("/")}) {
    SCOPED_TRACE(path);
    auto info = files.DescribeVolume(path);
    ASSERT_TRUE(info.ok()) << info.error().message;
    test::ProcessResult findmnt =
        test::RunProcess({"/usr/bin/findmnt", "-n", "-o", "FSTYPE", "-T", path});
    ASSERT_EQ(findmnt.exitCode, 0) << findmnt.err;
    EXPECT_EQ(info->type, findmnt.out.substr(0, findmnt.out.find('\n')));
    EXPECT_FALSE(info->network);
  }
  // The temporary folders of the tests keep user.DOSATTRIB (the other
  // attribute tests depend on it); proc keeps no extended attributes.
  EXPECT_EQ(files.DescribeVolume(dir.str())->attributes, AttributeStore::DosAttrib);
  EXPECT_EQ(files.DescribeVolume("/proc/self")->attributes, AttributeStore::None);
  auto missing = files.DescribeVolume((dir / "none").string());
  ASSERT_FALSE(missing.ok());
  EXPECT_EQ(missing.error().kind, ErrorKind::NotFound);
}

}  // namespace
}  // namespace plumage::platform
