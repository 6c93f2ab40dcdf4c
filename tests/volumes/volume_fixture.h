// What the tests on real volumes share: a temporary folder (declared first,
// so that it goes after the mounts and servers inside it), a small real
// icon, and plumagectl run with a home, a settings store and XDG folders of
// its own.
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

class VolumeTest : public ::testing::Test {
 protected:
  ProcessResult Ctl(std::vector<std::string> args) {
    args.insert(args.begin(), {"/usr/bin/timeout", "120", PLUMAGECTL_PATH});
    return RunProcess(
        args, {"PLUMAGE_CONFIG=" + (dir / "config").string(),
               "PLUMAGE_HOME=" + (dir / "program").string(), "HOME=" + (dir / "home").string(),
               "XDG_DATA_HOME=" + (dir / "home/.local/share").string(),
               "XDG_CONFIG_HOME=" + (dir / "home/.config").string(),
               "XDG_CACHE_HOME=" + (dir / "home/.cache").string(),
               "XDG_STATE_HOME=" + (dir / "home/.local/state").string(), "DISPLAY="});
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

  TempDir dir;
};

}  // namespace plumage::test
