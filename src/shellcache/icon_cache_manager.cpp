#include "shellcache/icon_cache_manager.h"

#include <cmath>
#include <limits>

#include "base/paths.h"
#include "app/program.h"
#include "folder/descriptor.h"
#include "platform/files.h"
#include "platform/system.h"
#include "settings/settings.h"

namespace plumage {

namespace {

// One value, read the way every shell value is read: open, read into an
// empty text, close. A key or value that is not there reads as empty.
std::string ReadShellValue(Program& program, std::uint32_t root, const char* key,
                           const char* name) {
  RegistryManager& reg = program.Registry;
  std::string text;
  reg.OpenKey(root, key, reg.CurrentKey);
  reg.GetStringValue(reg.CurrentKey, name, text);
  reg.CloseKey(reg.CurrentKey);
  return CleanRegistryText(text);
}

void WriteShellValue(Program& program, std::uint32_t root, const char* key, const char* name,
                     const std::string& text) {
  RegistryManager& reg = program.Registry;
  // A key that does not open leaves CurrentKey at 0, and the write then
  // changes nothing (HKEY_LOCAL_MACHINE may refuse us): the shell's value
  // simply stays as it was.
  reg.OpenKey(root, key, reg.CurrentKey);
  reg.SetStringValue(reg.CurrentKey, name, text);
  reg.CloseKey(reg.CurrentKey);
}

}  // namespace

CacheSizeChoice CacheSizeChoiceFor(double stored) {
  // Missing and unreadable both read as 0: the shell then uses its default.
  if (stored == 0) return 1;
  if (!(stored > 0)) return std::nullopt;  // negative
  for (int i = 0; i < kCacheSizeStepCount; ++i)
    if (stored <= kCacheSizeSteps[i]) return i;
  return std::nullopt;  // more than any step: left alone unless the user picks one
}

bool ReadIconColors(Program& program) {
  return LeadingNumber(ReadShellValue(program, kWindowMetricsRoot, kWindowMetricsKey,
                                      kShellIconBppValue)) >= 16;
}

void WriteIconColors(Program& program, bool maximumColours) {
  WriteShellValue(program, kWindowMetricsRoot, kWindowMetricsKey, kShellIconBppValue,
                  maximumColours ? "16" : "4");
}

CacheSizeChoice ReadCacheSize(Program& program) {
  return CacheSizeChoiceFor(
      LeadingNumber(ReadShellValue(program, kExplorerRoot, kExplorerKey, kMaxCachedIconsValue)));
}

void WriteCacheSize(Program& program, CacheSizeChoice choice) {
  if (!choice || *choice < 0 || *choice >= kCacheSizeStepCount) return;
  WriteShellValue(program, kExplorerRoot, kExplorerKey, kMaxCachedIconsValue,
                  std::to_string(kCacheSizeSteps[*choice]));
}

std::string IconCachePath(const Program& program) {
  return program.WindowsDirectory + kIconCacheFileName;
}

int ShellIconSizeFrom(const std::string& storedText) {
  const double rounded = std::nearbyint(LeadingNumber(CleanRegistryText(storedText)));
  // A number beyond 32 bits is no icon size the shell could have written;
  // it is treated like a missing one rather than overflowing the arithmetic.
  constexpr double kLow = std::numeric_limits<std::int32_t>::min() + 1.0;
  constexpr double kHigh = std::numeric_limits<std::int32_t>::max();
  if (!(rounded >= kLow && rounded <= kHigh) || rounded == 0) return kDefaultShellIconSize;
  return static_cast<int>(rounded);
}

bool DeleteIconCache(Program& program) {
  platform::IFileSystem& files = *program.os.files;
  const std::string path = IconCachePath(program);
  if (GetPathKind(files, path) != 1) return false;
  // Failures from here on are not reported: the file was there, so the
  // reboot notice is due in any case.
  static_cast<void>(files.SetAttributes(path, platform::kAttributeNormal));
  static_cast<void>(files.Remove(path));
  return true;
}

std::vector<std::string> UserIconCacheFiles(Program& program) {
  std::vector<std::string> found;
  const std::string local = program.os.system->LocalAppDataFolder();
  if (local.empty()) return found;
  platform::IFileSystem& files = *program.os.files;
  constexpr std::uint32_t kAnyFile = platform::kAttributeHidden | platform::kAttributeSystem;
  const std::string root = WithTrailingSeparator(local);
  if (GetPathKind(files, root + kUserIconCacheFile) == 1)
    found.push_back(root + kUserIconCacheFile);
  std::string explorer = root + kExplorerCacheFolder;
  for (char& c : explorer)
    if (c == '\\') c = kPathSeparator;
  if (auto names = files.List(explorer, kExplorerIconCachePattern, kAnyFile))
    for (const auto& name : *names) found.push_back(JoinPath(explorer, name));
  return found;
}

UserIconCacheReport DeleteUserIconCaches(Program& program) {
  platform::IFileSystem& files = *program.os.files;
  UserIconCacheReport report;
  for (const std::string& path : UserIconCacheFiles(program)) {
    static_cast<void>(files.SetAttributes(path, platform::kAttributeNormal));
    // The Explorer keeps its own cache open while it runs: such a file stays
    // and goes at its next start.
    if (files.Remove(path))
      report.deleted.push_back(path);
    else
      report.inUse.push_back(path);
  }
  if (!report.deleted.empty()) program.os.shell->NotifyIconsChanged();
  return report;
}

void RebuildIconCache(Program& program) {
  RegistryManager& reg = program.Registry;
  reg.OpenKey(kWindowMetricsRoot, kWindowMetricsKey, reg.CurrentKey);
  std::string text;
  reg.GetStringValue(reg.CurrentKey, kShellIconSizeValue, text);
  const int size = ShellIconSizeFrom(text);
  // One pixel smaller, announced, then back, announced again: the shell
  // throws its cached icons away and draws them afresh.
  reg.SetStringValue(reg.CurrentKey, kShellIconSizeValue, std::to_string(size - 1));
  program.os.shell->BroadcastSettingChange(kBroadcastTimeoutMs);
  reg.SetStringValue(reg.CurrentKey, kShellIconSizeValue, std::to_string(size));
  program.os.shell->BroadcastSettingChange(kBroadcastTimeoutMs);
  reg.CloseKey(reg.CurrentKey);
  program.os.shell->NotifyIconsChanged();
}

}  // namespace plumage
