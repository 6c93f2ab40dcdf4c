// The icon kept inside the folder on the volumes a test cannot mount: the
// removable and network ones that keep it whatever the setting, and a drive
// root. The copy itself, later choices, Reset, a failed write and mapped
// folders are the transcript kept_icon.t.
#include "folder_fixture.h"
#include "support/icon_writer.h"

namespace plumage::test {
namespace {

class KeptIconTest : public FolderTest {
 protected:
  KeptIconTest() {
    DibDef image;
    image.width = 32;
    image.height = 32;
    image.bpp = 32;
    image.pixels.assign(32 * 32, 0xFF2060A0u);
    const Bytes ico = WriteIco({EncodeDib(image)});
    WriteFile(icon, std::string(ico.begin(), ico.end()));
  }
  void Choose(const std::string& chosen) {
    SelectedIcon = chosen;
    SelectedNo = chosen.empty() ? "" : "0";
    Ops().WriteFolderDescriptor();
  }
  fs::path Kept() const { return folder / "FolderIcon.ico"; }

  std::string icon = (dir / "note.ico").string();
};

TEST_F(KeptIconTest, RemovableAndNetworkVolumesKeepItWhateverTheSetting) {
  Choose(icon);
  EXPECT_NE(IniBytes().find("IconFile=" + icon + "\r\n"), std::string::npos) << IniBytes();
  for (bool removable : {true, false}) {
    platform::VolumeInfo volume;
    volume.type = removable ? "vfat" : "cifs";
    volume.removable = removable;
    volume.network = !removable;
    files.volume = volume;
    Choose(icon);
    EXPECT_NE(IniBytes().find("IconFile=FolderIcon.ico\r\n"), std::string::npos) << volume.type;
  }
}

TEST_F(KeptIconTest, ADriveRootKeepsItInTheRootAndResetDeletesBoth) {
  KeepIconInside(true);
  files.roots.insert(folder.string());
  Choose(icon);
  EXPECT_EQ(ReadFile(folder / "AUTORUN.INF"), "[Autorun]\r\nIcon=FolderIcon.ico,0\r\n");
  EXPECT_EQ(Dos(Kept()), "0x6");
  Choose("");
  EXPECT_FALSE(fs::exists(folder / "AUTORUN.INF"));
  EXPECT_FALSE(fs::exists(Kept()));
}

}  // namespace
}  // namespace plumage::test
