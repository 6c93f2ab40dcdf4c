// What the folder tests share: a temporary folder to give an icon to, the
// real Linux files and INI writer, recording fakes for the user and the
// shell, and the picker's state that the folder operations work on.
#pragma once

#include <gtest/gtest.h>

#include <filesystem>
#include <optional>
#include <set>
#include <string>

#include "folder/folder_ops.h"
#include "settings/settings.h"
#include "support/fakes.h"
#include "support/run_process.h"
#include "support/temp_dir.h"
#include "support/xattr_tool.h"

namespace plumage::test {

namespace fs = std::filesystem;

// The real files, except that chosen folders count as drive roots: a test
// cannot mount a volume.
class DriveRootFiles : public ForwardingFiles {
 public:
  using ForwardingFiles::ForwardingFiles;
  bool IsDriveRoot(const std::string& folder) override { return roots.count(folder) > 0; }
  // A volume of the test's choosing, else the real one.
  Result<platform::VolumeInfo> DescribeVolume(const std::string& path) override {
    if (volume) return *volume;
    return ForwardingFiles::DescribeVolume(path);
  }

  std::set<std::string> roots;
  std::optional<platform::VolumeInfo> volume;
};

class FolderTest : public ::testing::Test {
 protected:
  FolderTest() : files(env.files) {
    env.os.files = &files;
    folder = dir / "Games";
    fs::create_directory(folder);
    env.program.ArgumentText = folder.string();
    env.program.FolderName = "Games";
    env.system.programFolder = (dir / "program").string() + "/";
    // The path as chosen: the kept-icon tests turn the setting on.
    KeepIconInside(false);
  }

  void KeepIconInside(bool on) {
    env.registry.SetString(kVerbRoot, kVerbKey, kKeepIconInsideValue, on ? " 1" : " 0");
  }

  FolderOps Ops() {
    return FolderOps(env.program, ui, messages.Refs(), SelectedIcon, SelectedNo, hooks);
  }

  // The folder's own DESKTOP.INI, its bytes, its user.DOSATTRIB as getfattr
  // reads it.
  fs::path Ini() const { return folder / "DESKTOP.INI"; }
  std::string IniBytes() const { return ReadFile(Ini()); }
  static std::optional<std::string> Dos(const fs::path& path) {
    return GetfattrValue(path.string(), "user.DOSATTRIB");
  }
  void SetDos(const fs::path& path, std::uint32_t attributes) {
    ASSERT_TRUE(env.files.SetAttributes(path.string(), attributes).ok()) << path;
  }

  Journal journal;
  TestPlatform env{&journal};
  DriveRootFiles files;
  JournalUi ui{journal};
  FolderMessageTexts messages{0};  // the picker's table, English at its load
  std::string SelectedIcon;
  std::string SelectedNo;
  PickerHooks hooks;
  TempDir dir;
  fs::path folder;
};

}  // namespace plumage::test
