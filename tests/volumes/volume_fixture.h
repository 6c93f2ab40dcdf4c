// What the tests on real volumes share: a temporary folder (declared first,
// so that it goes after the mounts and servers inside it), a small real
// icon, plumagectl, and an image mounted on dir/mnt with a folder Music to
// customise.
#pragma once

#include <gtest/gtest.h>

#include <filesystem>
#include <string>
#include <vector>

#include "platform/files.h"
#include "support/icon_writer.h"
#include "support/run_process.h"
#include "support/temp_dir.h"
#include "support/volume_mount.h"

namespace plumage::test {

namespace fs = std::filesystem;

inline constexpr std::uint32_t kRO = platform::kAttributeReadOnly;
inline constexpr std::uint32_t kH = platform::kAttributeHidden;
inline constexpr std::uint32_t kS = platform::kAttributeSystem;
inline constexpr std::uint32_t kA = platform::kAttributeArchive;
inline constexpr std::uint32_t kDosBits = kRO | kH | kS | kA;

// The descriptor set writes for an icon kept inside the folder.
inline constexpr const char* kKeptIconIni =
    "[.ShellClassInfo]\r\nIconFile=FolderIcon.ico\r\nIconIndex=0\r\n"
    "IconResource=FolderIcon.ico,0\r\n";

class VolumeTest : public ::testing::Test {
 protected:
  // plumagectl with a settings store of the test's own (RunProcess gives
  // it a private home and XDG folders).
  ProcessResult Ctl(std::vector<std::string> args) {
    args.insert(args.begin(), {"/usr/bin/timeout", "120", PLUMAGECTL_PATH});
    return RunProcess(args, {"PLUMAGE_CONFIG=" + (dir / "config").string(),
                             "PLUMAGE_HOME=" + (dir / "program").string(), "DISPLAY="});
  }

  // A 32 × 32 icon at `path`.
  static void WriteIcon(const fs::path& path) {
    DibDef dib;
    dib.width = 32;
    dib.height = 32;
    dib.bpp = 32;
    dib.pixels.assign(32 * 32, 0xFF2060A0u);
    const Bytes ico = WriteIco({EncodeDib(dib)});
    WriteFile(path, std::string(ico.begin(), ico.end()));
  }

  // A 16 MiB image made by mkfs.TYPE and mounted on `point` by the kernel,
  // with `folder` and `icon` made on it.
  void MountImage(const std::string& type) {
    std::string why;
    ASSERT_TRUE(MakeImage({FindTool("mkfs." + type)}, dir / "disk.img", 16, &why)) << why;
    fs::create_directory(point);
    ASSERT_TRUE(mount.Mount({"/usr/bin/mount", "-o", "loop", "-t", type,
                             (dir / "disk.img").string(), point.string()},
                            point, &why))
        << why;
    fs::create_directory(folder);
    WriteIcon(icon);
  }

  TempDir dir;
  fs::path point = dir / "mnt";
  fs::path folder = point / "Music";
  fs::path ini = folder / "DESKTOP.INI";
  fs::path icon = point / "note.ico";
  MountGuard mount;  // after dir: unmounted before the folder goes
};

}  // namespace plumage::test
