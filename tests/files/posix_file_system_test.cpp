// The Linux file attributes and file operations on real files, checked
// with getfattr and setfattr (Debian's attr) as a second, independent
// reader and writer; copy, delete and the listing by the contract the
// Windows build keeps too (file_system_contract.h).
#include <fcntl.h>
#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include <filesystem>

#include "platform/posix/posix_file_system.h"
#include "platform/posix/posix_files.h"
#include "support/temp_dir.h"
#include "support/xattr_tool.h"
#include "win32/file_system_contract.h"

namespace plumage::platform {
namespace {

namespace fs = std::filesystem;
using test::GetfattrValue;
using test::ReadFile;
using test::TempDir;
using test::WriteFile;

constexpr std::uint32_t kRO = kAttributeReadOnly;
constexpr std::uint32_t kH = kAttributeHidden;
constexpr std::uint32_t kS = kAttributeSystem;
constexpr std::uint32_t kA = kAttributeArchive;

std::uint32_t Attributes(PosixFileSystem& files, const fs::path& path) {
  auto a = files.GetAttributes(path.string());
  EXPECT_TRUE(a.ok()) << path;
  return a ? *a : 0xFFFFFFFFu;
}

mode_t Mode(const fs::path& path) {
  struct stat st {};
  stat(path.c_str(), &st);
  return st.st_mode & 07777;
}

// A file with `mode` and, unless it is "", the user.DOSATTRIB `record` in
// setfattr's syntax ("\"0x22\"" as Wine and Samba 3 write it, 0x... for
// Samba 4's binary record).
fs::path MakeFile(const TempDir& dir, mode_t mode, const std::string& record) {
  const auto file = dir / "f";
  WriteFile(file, "x");
  if (!record.empty()) {
    EXPECT_TRUE(test::Setfattr(file.string(), "user.DOSATTRIB", record));
  }
  EXPECT_EQ(chmod(file.c_str(), mode), 0);
  return file;
}

// Read-only is the write permission (for root too); Hidden, System and
// Archive are read from user.DOSATTRIB in any form Wine and Samba write, and
// written in the text form Wine reads, beside the bits Samba keeps there.
TEST(PosixAttributes, TheWritePermissionAndTheRecordWineReads) {
  const struct {
    mode_t mode;
    const char* record;
    std::uint32_t read;  // before the set
    std::uint32_t set;
    const char* after;  // getfattr's value; nullptr for none, "same" for untouched
    mode_t modeAfter;
  } cases[] = {
      {0644, "", kAttributeNormal, kH | kS, "0x6", 0644},
      {0464, "", kAttributeNormal, kH | kA | kAttributeDirectory, "0x22", 0464},  // any write bit
      {0644, "\"0x6\"", kH | kS, kAttributeNormal, nullptr, 0644},  // none left, as Wine leaves
      {0664, "", kAttributeNormal, kRO | kH, "0x2", 0444},
      {0444, "\"0x2\"", kRO | kH, kRO | kS, "0x4", 0444},
      {0444, "", kRO, kS, "0x4", 0644},  // the owner's write permission only
      {0644, "\"garbage\"", kAttributeNormal, kH, "0x2", 0644},
      // Samba 4's record (version 5, valid) is kept when nothing changes; its
      // Read-only and Directory bits come from the file here.
      {0644, "0x0000050005000000010000001700000001020304050607080000", kH | kS, kH | kS, "same",
       0644},
      // A change writes the text form, Samba's Directory and Read-only kept.
      {0644, "\"0x16\"", kH | kS, kH, "0x12", 0644},
      {0644, "\"0x21\"", kA, kH | kS, "0x7", 0644},
  };
  PosixFileSystem files;
  for (const auto& c : cases) {
    TempDir dir;
    SCOPED_TRACE(std::string(c.record) + " " + std::to_string(c.set));
    const auto file = MakeFile(dir, c.mode, c.record);
    EXPECT_EQ(Attributes(files, file), c.read);
    const auto before = GetfattrValue(file.string(), "user.DOSATTRIB");
    ASSERT_TRUE(files.SetAttributes(file.string(), c.set).ok());
    const auto after = GetfattrValue(file.string(), "user.DOSATTRIB");
    if (!c.after)
      EXPECT_EQ(after, std::nullopt);
    else
      EXPECT_EQ(after, std::string(c.after) == "same" ? before : c.after);
    EXPECT_EQ(Mode(file), c.modeAfter);
    EXPECT_EQ(Attributes(files, file), c.set & ~kAttributeDirectory);
  }
  // A folder carries them the same way.
  TempDir dir;
  EXPECT_EQ(Attributes(files, dir.path()), kAttributeDirectory);
  ASSERT_TRUE(files.SetAttributes(dir.str(), kS).ok());
  EXPECT_EQ(GetfattrValue(dir.str(), "user.DOSATTRIB"), "0x4");
  EXPECT_EQ(Attributes(files, dir.path()), kAttributeDirectory | kS);
}

TEST(PosixAttributes, ReportsWhatCannotBeStored) {
  TempDir dir;
  PosixFileSystem files;
  // A pipe is no file of ours: every attribute is refused, naming it, and
  // the read afterwards does not pretend otherwise.
  const auto fifo = dir / "pipe";
  ASSERT_EQ(mkfifo(fifo.c_str(), 0644), 0);
  for (std::uint32_t attributes : {kAttributeHidden, kAttributeNormal}) {
    Status refused = files.SetAttributes(fifo.string(), attributes);
    ASSERT_FALSE(refused.ok());
    EXPECT_NE(refused.error().message.find(fifo.string() + ": it is not a regular file"),
              std::string::npos)
        << refused.error().message;
  }
  EXPECT_EQ(Attributes(files, fifo), kAttributeNormal);

  EXPECT_FALSE(files.SetAttributes((dir / "none").string(), kAttributeHidden).ok());
}

// The contract both builds keep, then what the copy carries here: the
// source's permissions and its record.
TEST(PosixFiles, CopyDeleteAndListingKeepTheContract) {
  TempDir dir;
  PosixFileSystem files;
  test::ExpectCopyAndDeleteRules(files, dir);
  test::ExpectListingRules(files, dir);
  const auto a = dir / "a.ico", b = dir / "b.ico";
  WriteFile(a, "new icon");
  ASSERT_EQ(chmod(a.c_str(), 0640), 0);
  ASSERT_TRUE(files.SetAttributes(a.string(), kAttributeHidden).ok());
  ASSERT_TRUE(files.Copy(a.string(), b.string()).ok());
  EXPECT_EQ(std::tuple(ReadFile(b), Mode(b), GetfattrValue(b.string(), "user.DOSATTRIB")),
            std::tuple("new icon", mode_t{0640}, std::optional<std::string>("0x2")));
}

// Which links stand for their target when a file the program manages is
// read or written, and which are refused (the target then stays as it was).
TEST(PosixFiles, OnlyAnOwnersLinkBesideItsTargetIsFollowed) {
  TempDir dir;
  fs::create_directory(dir / "folder");
  fs::create_directory(dir / "other");
  WriteFile(dir / "folder" / "mine.ini", "beside");
  WriteFile(dir / "other" / "far.ini", "far");
  fs::create_symlink("mine.ini", dir / "folder" / "near");
  fs::create_symlink(dir / "other" / "far.ini", dir / "folder" / "away");
  fs::create_symlink(dir / "folder", dir / "folder" / "dirlink");
  fs::create_symlink(dir / "folder" / "gone", dir / "folder" / "dangling");
  const struct {
    const char* name;
    bool followed;
  } cases[] = {{"near", true}, {"away", false}, {"dirlink", false}, {"dangling", false}};
  PosixFileSystem files;
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    const std::string link = (dir / "folder" / c.name).string();
    auto behind = FileBehind(link, Links::SameOwnerHere);
    EXPECT_EQ(behind.ok(), c.followed) << (behind ? *behind : behind.error().message);
    Status written = WriteFileAtomically(link, "new");
    EXPECT_EQ(written.ok(), c.followed) << (written ? "" : written.error().message);
    Status attributes = files.SetAttributes(link, kH | kS);
    // A link to a folder names the folder, as a folder the user gives does.
    EXPECT_EQ(attributes.ok(), c.followed || std::string(c.name) == "dirlink");
    EXPECT_TRUE(fs::is_symlink(link)) << "a link stays a link";
  }
  EXPECT_EQ(ReadFile(dir / "folder" / "mine.ini"), "new");
  EXPECT_EQ(ReadFile(dir / "other" / "far.ini"), "far");
  EXPECT_EQ(GetfattrValue((dir / "other" / "far.ini").string(), "user.DOSATTRIB"), std::nullopt);
  // An input the user named is theirs to name through any link.
  auto read = files.LoadFile((dir / "folder" / "away").string(), 100);
  ASSERT_TRUE(read.ok());
  EXPECT_EQ(*read, "far");
  EXPECT_FALSE(files.LoadFile((dir / "other" / "far.ini").string(), 2).ok()) << "over the cap";

  // Another owner's link, even beside its target: root could follow it into
  // a file of root's own.
  if (geteuid() == 0) {
    WriteFile(dir / "folder" / "roots.ini", "root's");
    fs::create_symlink("roots.ini", dir / "folder" / "planted");
    ASSERT_EQ(lchown((dir / "folder" / "planted").c_str(), 12345, 12345), 0);
    EXPECT_FALSE(WriteFileAtomically((dir / "folder" / "planted").string(), "x").ok());
    EXPECT_EQ(ReadFile(dir / "folder" / "roots.ini"), "root's");
  }
}

TEST(PosixFiles, DriveRootsAreMountPoints) {
  TempDir dir;
  PosixFileSystem files;
  EXPECT_TRUE(files.IsDriveRoot("/"));
  EXPECT_TRUE(files.IsDriveRoot("/proc")) << "/proc is a mount point";
  EXPECT_FALSE(files.IsDriveRoot(dir.str()));
  fs::create_directory(dir / "c:");
  EXPECT_FALSE(files.IsDriveRoot((dir / "c:").string())) << "':' is only a character here";
  EXPECT_FALSE(files.IsDriveRoot((dir / "none").string()));
}

// A run started with its standard input closed gets descriptor 0 for a
// lock: the lock goes with it all the same, else the next one the same
// process takes on that file would wait for ever.
TEST(PosixFiles, ALockOnDescriptorZeroIsReleased) {
  plumage::test::TempDir dir;
  const int saved = dup(0);
  ASSERT_GE(saved, 0);
  close(0);
  bool held = false;
  {
    platform::FileLock lock((dir / "lock").string());
    held = lock.held();
  }
  const bool released = fcntl(0, F_GETFD) == -1;
  dup2(saved, 0);
  close(saved);
  EXPECT_TRUE(held);
  EXPECT_TRUE(released);
}

}  // namespace
}  // namespace plumage::platform
