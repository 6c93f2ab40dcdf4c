// plumagectl on the folders a Linux file server shares, checked as a
// Windows client sees them: a real smbd on a loopback port and smbclient.
#include "support/smb_server.h"
#include "volume_fixture.h"

namespace plumage::test {
namespace {

class SambaTest : public VolumeTest {
 protected:
  void SetUp() override {
    if (auto why = SmbServer::WhyUnavailable()) GTEST_SKIP() << *why;
    std::string why;
    ASSERT_TRUE(server.Start(&why)) << why;
  }

  SmbServer server{dir.path()};  // after dir: stopped before the folder goes
};

TEST_F(SambaTest, AWindowsClientSeesTheFolderSystemAndItsDescriptorHiddenSystem) {
  const fs::path folder = server.share() / "Music";
  const fs::path icon = server.share() / "note.ico";
  fs::create_directory(folder);
  WriteIcon(icon);
  ASSERT_EQ(server.Attributes("Music").value_or(0) & kS, 0u) << "not System before";

  ProcessResult set = Ctl({"set", folder.string(), icon.string(), "0"});
  EXPECT_EQ(set.exitCode, 0) << set.out << set.err;
  const auto folderSeen = server.Attributes("Music");
  ASSERT_TRUE(folderSeen.has_value()) << server.Client("allinfo Music").out;
  EXPECT_EQ(*folderSeen & (kS | platform::kAttributeDirectory), kS | platform::kAttributeDirectory)
      << std::hex << *folderSeen;
  const auto iniSeen = server.Attributes("Music/DESKTOP.INI");
  ASSERT_TRUE(iniSeen.has_value());
  EXPECT_EQ(*iniSeen & (kH | kS), kH | kS) << std::hex << *iniSeen;
  // The file as the client reads it.
  ASSERT_TRUE(server.Get("Music/DESKTOP.INI", dir / "fetched.ini"));
  EXPECT_EQ(ReadFile(dir / "fetched.ini"), ReadFile(folder / "DESKTOP.INI"));
  EXPECT_EQ(ReadFile(dir / "fetched.ini"),
            "[.ShellClassInfo]\r\nIconFile=FolderIcon.ico\r\nIconIndex=0\r\n"
            "IconResource=FolderIcon.ico,0\r\n");
  // The icon it names, by its place in the folder: Hidden and System, and a
  // valid icon as the client fetches it.
  EXPECT_EQ(server.Attributes("Music/FolderIcon.ico").value_or(0) & (kH | kS), kH | kS);
  ASSERT_TRUE(server.Get("Music/FolderIcon.ico", dir / "fetched.ico"));
  ProcessResult listed = RunProcess({"/usr/bin/icotool", "-l", (dir / "fetched.ico").string()});
  EXPECT_EQ(listed.exitCode, 0) << listed.err;
  EXPECT_NE(listed.out.find("--width=32 --height=32"), std::string::npos) << listed.out;

  ProcessResult reset = Ctl({"reset", folder.string()});
  EXPECT_EQ(reset.exitCode, 0) << reset.err;
  EXPECT_EQ(server.Attributes("Music").value_or(kS) & kS, 0u) << "System goes with the icon";
  EXPECT_EQ(server.Attributes("Music/DESKTOP.INI").value_or(0) & (kH | kS), kH | kS);
  EXPECT_FALSE(server.Attributes("Music/FolderIcon.ico").has_value()) << "Reset removes the copy";
}

// The server's own record (Samba 4 writes a binary user.DOSATTRIB) is read
// and its bits kept: a folder a client made Read-only and Archive stays so.
TEST_F(SambaTest, AttributesAClientSetAreKept) {
  ASSERT_EQ(server.Client("mkdir Docs").exitCode, 0);
  ASSERT_EQ(server.Client("setmode Docs +ra").exitCode, 0);
  const auto before = server.Attributes("Docs");
  ASSERT_TRUE(before.has_value());
  ASSERT_EQ(*before & (kRO | kA), kRO | kA) << std::hex << *before;
  WriteIcon(server.share() / "note.ico");

  ProcessResult set =
      Ctl({"set", (server.share() / "Docs").string(), (server.share() / "note.ico").string()});
  EXPECT_EQ(set.exitCode, 0) << set.out << set.err;
  EXPECT_EQ(server.Attributes("Docs").value_or(0) & (kRO | kS | kA), kRO | kS | kA)
      << std::hex << server.Attributes("Docs").value_or(0);
}

// The share mounted on Linux through the kernel's SMB client: set goes
// through the client to the server, or says it cannot.
TEST_F(SambaTest, ThroughACifsMount) {
  if (!KernelHasFileSystem("cifs")) GTEST_SKIP() << "this kernel has no cifs file system";
  if (auto why = WhyCannotMount(false)) GTEST_SKIP() << *why;
  fs::create_directory(server.share() / "Music");
  WriteIcon(server.share() / "note.ico");
  const fs::path point = dir / "mnt";
  fs::create_directory(point);
  MountGuard mount;
  std::string why;
  ASSERT_TRUE(
      mount.Mount({"/usr/bin/mount", "-t", "cifs", "//127.0.0.1/share", point.string(), "-o",
                   "guest,vers=3.0,cache=none,ip=127.0.0.1,port=" + std::to_string(server.port())},
                  point, &why))
      << why;

  const fs::path folder = point / "Music";
  ProcessResult set = Ctl({"set", folder.string(), (point / "note.ico").string(), "0"});
  if (set.exitCode == 3) {
    // A kernel that lets no client set them: said, and not claimed.
    EXPECT_NE(set.err.find("System attribute of " + folder.string() + ": the cifs volume"),
              std::string::npos)
        << set.err;
    return;
  }
  EXPECT_EQ(set.exitCode, 0) << set.out << set.err;
  EXPECT_EQ(server.Attributes("Music").value_or(0) & kS, kS);
  EXPECT_EQ(server.Attributes("Music/DESKTOP.INI").value_or(0) & (kH | kS), kH | kS);
}

}  // namespace
}  // namespace plumage::test
