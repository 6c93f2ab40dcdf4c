// plumagectl make-icon: the dialog's road from a script, and --apply.
#include "icon_making_fixture.h"
#include "iconmaker/frm_transform_icon.h"
#include "iconmaker/save_selected.h"
#include "support/run_process.h"

namespace plumage::test {
namespace {

class MakeIconCliTest : public IconMakingTest {
 protected:
  ProcessResult Run(std::vector<std::string> args) {
    args.insert(args.begin(), PLUMAGECTL_PATH);
    return RunProcess(args, {"PLUMAGE_CONFIG=" + (dir / "config").string(),
                             "PLUMAGE_HOME=" + programFolder.string(), "LC_ALL=C.UTF-8"});
  }
};

TEST_F(MakeIconCliTest, MakesTheIconOfTheDialogAndAppliesIt) {
  const std::string source = WriteIcoFile("source.ico", 90);
  ProcessResult r =
      Run({"make-icon", source, "--colour", "blue", "--name", "Music", "--apply", folder.string()});
  ASSERT_EQ(r.exitCode, 0) << r.out << r.err;
  const fs::path made = IconsDir() / "Music.ico";
  EXPECT_NE(r.out.find("Wrote " + made.string() + "\n"), std::string::npos) << r.out;

  // The same bytes as the dialog's blue candidate saved under another name.
  ChangeIcon picker(env.program, ui);
  picker.SelectedIcon = source;
  picker.SelectedNo = "0";
  frmTransformIcon dialog(env.program, ui, picker);
  dialog.BuildCandidates();
  dialog.ListView_ItemClick(3);
  picker.SelectedIcon = (dir / "blue.ico").string();
  ASSERT_TRUE(SaveSelectedAsIcon(dialog));
  EXPECT_EQ(ReadFile(made), ReadFile(dir / "blue.ico"));

  const std::string ini = ReadFile(folder / "DESKTOP.INI");
  EXPECT_NE(ini.find("IconFile=FolderIcon.ico\r\nIconIndex=0\r\n"), std::string::npos) << ini;
  const std::string kept = ReadFile(folder / "FolderIcon.ico");
  ASSERT_GT(kept.size(), 22u);
  EXPECT_EQ(kept.substr(22, ReadFile(made).size() - 22), ReadFile(made).substr(22));
  EXPECT_TRUE(TemporariesGone());
}

TEST_F(MakeIconCliTest, OutWritesAnywhereAndRefusalsFail) {
  const std::string source = WriteIcoFile("source.ico", 90);
  ProcessResult out =
      Run({"make-icon", source, "0", "--colour", "green", "--out", (dir / "green.ico").string()});
  ASSERT_EQ(out.exitCode, 0) << out.err;
  EXPECT_EQ(ReadFile(dir / "green.ico").size(), 2238u);

  ProcessResult climbing = Run({"make-icon", source, "--colour", "red", "--name", "../x"});
  EXPECT_EQ(climbing.exitCode, 1);
  EXPECT_NE(climbing.err.find("cannot contain"), std::string::npos) << climbing.err;
  ProcessResult noIcon = Run({"make-icon", source, "5", "--colour", "red", "--name", "x"});
  EXPECT_EQ(noIcon.exitCode, 1);
  ProcessResult badColour = Run({"make-icon", source, "--colour", "pink", "--name", "x"});
  EXPECT_EQ(badColour.exitCode, 2);
  ProcessResult both = Run({"make-icon", source, "--colour", "red"});
  EXPECT_EQ(both.exitCode, 1);
  EXPECT_TRUE(Names(IconsDir()).empty());
  EXPECT_FALSE(fs::exists(folder / "DESKTOP.INI"));
}

}  // namespace
}  // namespace plumage::test
