// The volumes of Linux as far as DOS attributes go: which file system a
// path lies on, where that file system keeps Read-only, Hidden, System and
// Archive, and reading and writing them there.
//
// - Linux file systems with user extended attributes (ext4, xfs, btrfs,
//   tmpfs, ...): user.DOSATTRIB, which Samba and Wine read; Read-only is
//   the write permission.
// - NTFS through ntfs-3g or the kernel's ntfs3: the file's real NTFS
//   attributes (system.ntfs_attrib_be, big-endian). A user.DOSATTRIB there
//   would be an alternate data stream that Windows never reads.
// - FAT (vfat; exFAT where its driver has the same ioctls): the directory
//   entry's attribute byte, FAT_IOCTL_GET/SET_ATTRIBUTES.
// - SMB client mounts (cifs): the server's attributes through
//   user.cifs.dosattrib (little-endian), settable where the kernel allows.
// - Anything else (a FUSE file system without extended attributes, an NFS
//   export without user xattrs): nowhere.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

#include "platform/files.h"

namespace plumage::platform {

// FILE_ATTRIBUTE_NORMAL: what NTFS and SMB say of a file with no other
// attribute; never beside another one.
inline constexpr std::uint32_t kAttributeNormalBit = 0x80;

// The NTFS attributes as ntfs-3g and ntfs3 give them.
inline constexpr const char* kNtfsAttribName = "system.ntfs_attrib_be";
// The attributes of a file on an SMB server, as the cifs client gives them.
inline constexpr const char* kCifsAttribName = "user.cifs.dosattrib";

// One line of /proc/self/mountinfo.
struct MountEntry {
  std::string point;   // where it is mounted, the kernel's escapes undone
  std::string type;    // "ext4", "fuseblk", "fuse.sshfs", "cifs"
  std::string source;  // "/dev/sdb1", "//nas/share", an image file
  unsigned major = 0;  // the device number the line gives
  unsigned minor = 0;
};

// The fields of one mountinfo line; nothing for a line not in that form.
std::optional<MountEntry> ParseMountinfoLine(std::string_view line);

// The mount that holds `realPath` (absolute, without links, "." or ".."):
// of the mounts whose point is the path or a folder above it, the deepest,
// and of those on one point the last listed (it hides the others).
std::optional<MountEntry> MountHolding(std::string_view mountinfo, const std::string& realPath);

// What a volume's files answer when asked.
struct VolumeAnswers {
  bool ntfsAttributes = false;  // system.ntfs_attrib_be can be read
  bool userXattrs = false;      // user.* extended attributes are supported
  // The first sector of the mount's device or image, where it can be read:
  // it names the file system behind a FUSE mount.
  std::string bootSector;
};

// The file system a boot sector names ("ntfs", "exfat", "vfat"), or "".
std::string FileSystemOfBootSector(std::string_view sector);

// The volume of a mount as its type and answers tell: its name, attribute
// store and whether it is a share of another machine (removable is the
// caller's to find).
VolumeInfo ClassifyMount(const MountEntry& mount, const VolumeAnswers& answers);

// The store of the volume that holds an existing path, from statfs and what
// the path answers (quick enough to ask for every file).
AttributeStore AttributeStoreOf(const std::string& path);

// The volume that holds an existing path: mountinfo, the answers of its
// files, its device's removable flag. Without /proc, statfs alone.
Result<VolumeInfo> DescribePath(const std::string& path);

// Whether a store holds Read-only too (on the other stores it is the
// write permission).
bool StoreHoldsReadOnly(AttributeStore store);

// The attribute word a store holds for a file: every bit of the NTFS, FAT
// or SMB word, or of the user.DOSATTRIB record (0 when the file has none).
// Fails for AttributeStore::None and where the store cannot be read.
Result<std::uint32_t> ReadStoredAttributes(const std::string& path, AttributeStore store);

// Puts a word in the store as it is (user.DOSATTRIB in Wine's text form,
// removed for 0): 0 when done, else the errno of the refusal.
int WriteStoredAttributes(const std::string& path, AttributeStore store, std::uint32_t word);

// Carries the DOS attributes of one file over to another, each kept its
// own volume's way (a copy from ext4 to an NTFS stick stays Hidden there).
// Best effort: what the target's volume cannot keep is left out, and the
// caller's own check of the result says so.
void CarryAttributes(const std::string& from, const std::string& to);

}  // namespace plumage::platform
