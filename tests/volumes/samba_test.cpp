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
    fs::create_directory(server.share() / "Music");
    WriteIcon(server.share() / "note.ico");
  }

  SmbServer server{dir.path()};  // after dir: stopped before the folder goes
};

// The server's own record (Samba 4 writes a binary user.DOSATTRIB) is read
// and its bits kept: a folder a client made Read-only and Archive stays so,
// and gets System while it has an icon.
TEST_F(SambaTest, AWindowsClientSeesTheFolderSystemAndItsDescriptorHiddenSystem) {
  const fs::path music = server.share() / "Music";
  ASSERT_EQ(server.Client("setmode Music +ra").exitCode, 0);
  ASSERT_EQ(server.Attributes("Music").value_or(0) & (kRO | kS | kA), kRO | kA);

  ProcessResult set = Ctl({"set", music.string(), (server.share() / "note.ico").string(), "0"});
  EXPECT_EQ(set.exitCode, 0) << set.out << set.err;
  EXPECT_EQ(server.Attributes("Music").value_or(0) & (kDosBits | platform::kAttributeDirectory),
            kRO | kS | kA | platform::kAttributeDirectory);
  EXPECT_EQ(server.Attributes("Music/DESKTOP.INI").value_or(0) & (kH | kS), kH | kS);
  EXPECT_EQ(server.Attributes("Music/FolderIcon.ico").value_or(0) & (kH | kS), kH | kS);
  // The descriptor as the client reads it.
  ASSERT_TRUE(server.Get("Music/DESKTOP.INI", dir / "fetched.ini"));
  EXPECT_EQ(ReadFile(dir / "fetched.ini"), kKeptIconIni);

  ProcessResult reset = Ctl({"reset", music.string()});
  EXPECT_EQ(reset.exitCode, 0) << reset.err;
  EXPECT_EQ(server.Attributes("Music").value_or(0) & kDosBits, kRO | kA) << "System goes";
  EXPECT_EQ(server.Attributes("Music/DESKTOP.INI").value_or(0) & (kH | kS), kH | kS);
  EXPECT_FALSE(server.Attributes("Music/FolderIcon.ico").has_value()) << "Reset removes the copy";
}

// The share mounted on Linux through the kernel's SMB client: set goes
// through the client to the server, or says it cannot.
TEST_F(SambaTest, ThroughACifsMount) {
  if (auto why = WhyCannotMount("cifs")) GTEST_SKIP() << *why;
  fs::create_directory(point);
  MountGuard cifs;  // unmounted before the server stops
  std::string why;
  ASSERT_TRUE(
      cifs.Mount({"/usr/bin/mount", "-t", "cifs", "//127.0.0.1/share", point.string(), "-o",
                  "guest,vers=3.0,cache=none,ip=127.0.0.1,port=" + std::to_string(server.port())},
                 point, &why))
      << why;

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
