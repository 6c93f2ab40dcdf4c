// IconCacheManager: the program's hold on the shell's own icon settings.
// Three registry values that belong to the shell (not to Plumage), the cache
// file in the Windows directory, and the rebuild that makes the shell drop
// and redraw its cached icons. No user interface of its own: the settings
// dialog and plumagectl show what it reads and call what it writes.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "platform/registry.h"

namespace plumage {

struct Program;

// Where the shell keeps its icon values.
inline constexpr std::uint32_t kWindowMetricsRoot = formats::kHkeyCurrentUser;
inline constexpr const char* kWindowMetricsKey = "Control Panel\\Desktop\\WindowMetrics";
inline constexpr const char* kShellIconBppValue = "Shell Icon BPP";
inline constexpr const char* kShellIconSizeValue = "Shell Icon Size";
inline constexpr std::uint32_t kExplorerRoot = formats::kHkeyLocalMachine;
inline constexpr const char* kExplorerKey =
    "Software\\Microsoft\\Windows\\CurrentVersion\\explorer";
inline constexpr const char* kMaxCachedIconsValue = "Max Cached Icons";

// The cache file, in WindowsDirectory, named in lower case as we write it.
inline constexpr const char* kIconCacheFileName = "shelliconcache";

// How long the settings-change announcement waits for each window.
inline constexpr std::uint32_t kBroadcastTimeoutMs = 10000;

// The icon size a missing or zero "Shell Icon Size" stands for.
inline constexpr int kDefaultShellIconSize = 32;

// The cache-size choice: an index into kCacheSizeSteps, or nothing when the
// stored number lies outside every step (negative, or above 2000).
using CacheSizeChoice = std::optional<int>;
inline constexpr int kCacheSizeStepCount = 5;
inline constexpr int kCacheSizeSteps[kCacheSizeStepCount] = {100, 500, 1000, 1500, 2000};

// The choice a stored "Max Cached Icons" number selects: the smallest step
// at or above it, with 0 (missing, unreadable) standing for the system's own
// default of 500.
CacheSizeChoice CacheSizeChoiceFor(double stored);

// Whether shell icons are drawn with the maximum colours: "Shell Icon BPP"
// reads as 16 or more. Missing counts as no.
bool ReadIconColors(Program& program);
// Writes "16" for the maximum colours, "4" otherwise.
void WriteIconColors(Program& program, bool maximumColours);

// The choice that the stored "Max Cached Icons" selects.
CacheSizeChoice ReadCacheSize(Program& program);
// Writes the chosen step as text ("1000" for index 2); nothing for none or
// for an index outside the table.
void WriteCacheSize(Program& program, CacheSizeChoice choice);

// WindowsDirectory followed by the cache file's name.
std::string IconCachePath(const Program& program);

// Deletes the cache file after clearing its attributes. True when a file of
// that name was there (even if it could not be deleted: the shell rebuilds
// the cache on the next start in any case); false, with nothing touched,
// when there is no such file or it is a folder.
bool DeleteIconCache(Program& program);

// The shell's per-user icon cache files of Windows Vista and later: in the
// user's local application data, IconCache.db (Vista, 7) and
// Microsoft\Windows\Explorer\iconcache_*.db (8 and later).
inline constexpr const char* kUserIconCacheFile = "IconCache.db";
inline constexpr const char* kExplorerCacheFolder = "Microsoft\\Windows\\Explorer";
inline constexpr const char* kExplorerIconCachePattern = "iconcache_*.db";

struct UserIconCacheReport {
  std::vector<std::string> deleted;
  // Files the Explorer holds open: they go when it restarts.
  std::vector<std::string> inUse;
  bool found() const { return !deleted.empty() || !inUse.empty(); }
};

// The per-user icon cache files that are there, by their full paths; none
// where the system has no local application data folder.
std::vector<std::string> UserIconCacheFiles(Program& program);

// Deletes those files, attributes cleared first, and tells the shell that
// icons changed when one went. Nothing is touched that was not found.
UserIconCacheReport DeleteUserIconCaches(Program& program);

// Changes "Shell Icon Size" by one pixel and back, announcing each change,
// so that the shell redraws and recaches its icons. A missing size is
// stored as 32 afterwards.
void RebuildIconCache(Program& program);

// The size RebuildIconCache works with, from the stored text (its NUL
// included): the leading number rounded to the nearest whole number, 32
// when that is 0 or no usable size at all.
int ShellIconSizeFrom(const std::string& storedText);

}  // namespace plumage
