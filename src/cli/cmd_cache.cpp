// plumagectl cache: the shell's icon settings as the settings dialog shows
// them, changed through the very operations its OK, Delete and Rebuild use.
#include "app/startup.h"
#include "app/texts.h"
#include "cli/cli.h"
#include "shellcache/icon_cache_manager.h"

namespace plumage::cli {
namespace {

struct CacheOptions {
  std::string colours;  // "max" or "16"
  int size = 0;         // one of the steps, or 0 for unchanged
  bool remove = false;
  bool rebuild = false;
};

std::string RootName(std::uint32_t root) {
  return root == formats::kHkeyCurrentUser ? "HKEY_CURRENT_USER" : "HKEY_LOCAL_MACHINE";
}

bool KeyExists(Context& ctx, std::uint32_t root, const char* key) {
  RegistryManager& reg = ctx.program.Registry;
  if (!reg.OpenKey(root, key, reg.CurrentKey)) return false;
  reg.CloseKey(reg.CurrentKey);
  return true;
}

// The dialog's writes are silent when the shell's key is missing; a script
// is told, since nothing it asked for would have happened.
bool RequireKey(Context& ctx, std::uint32_t root, const char* key, const char* value) {
  if (KeyExists(ctx, root, key)) return true;
  ctx.Fail(std::string("cannot write \"") + value + "\": the key " + RootName(root) + "\\" + key +
           " is not in " + ctx.registry.path() + " (plumagectl install makes it)");
  return false;
}

std::string StoredText(Context& ctx, std::uint32_t root, const char* key, const char* value) {
  RegistryManager& reg = ctx.program.Registry;
  std::string text;
  bool read = false;
  if (reg.OpenKey(root, key, reg.CurrentKey)) {
    read = reg.GetStringValue(reg.CurrentKey, value, text);
    reg.CloseKey(reg.CurrentKey);
  }
  if (!read) return "not set";
  if (!text.empty() && text.back() == '\0') text.pop_back();
  return "\"" + text + "\"";
}

void Cache(Context& ctx, const CacheOptions& opt) {
  Program& p = ctx.program;
  FindWindowsDirectory(p);
  const std::string reboot = texts::options::kReboot.en;

  if (!opt.colours.empty()) {
    const bool maximum = opt.colours == "max";
    if (maximum != ReadIconColors(p)) {
      if (!RequireKey(ctx, kWindowMetricsRoot, kWindowMetricsKey, kShellIconBppValue)) return;
      WriteIconColors(p, maximum);
      if (ReadIconColors(p) != maximum)
        return ctx.Fail(std::string("cannot write \"") + kShellIconBppValue + "\" to " +
                        ctx.registry.path());
      std::printf("%s\n", reboot.c_str());
    }
  }
  if (opt.size != 0) {
    CacheSizeChoice wanted;
    for (int i = 0; i < kCacheSizeStepCount; ++i)
      if (kCacheSizeSteps[i] == opt.size) wanted = i;
    if (wanted != ReadCacheSize(p)) {
      if (!RequireKey(ctx, kExplorerRoot, kExplorerKey, kMaxCachedIconsValue)) return;
      WriteCacheSize(p, wanted);
      if (ReadCacheSize(p) != wanted)
        return ctx.Fail(std::string("cannot write \"") + kMaxCachedIconsValue + "\" to " +
                        ctx.registry.path());
    }
  }
  if (opt.remove) {
    if (DeleteIconCache(p))
      std::printf("Deleted the icon cache %s. %s\n", IconCachePath(p).c_str(), reboot.c_str());
    else
      std::printf("No icon cache file at %s: nothing to delete.\n", IconCachePath(p).c_str());
    const UserIconCacheReport user = DeleteUserIconCaches(p);
    for (const auto& file : user.deleted) std::printf("Deleted the icon cache %s.\n", file.c_str());
    for (const auto& file : user.inUse)
      std::printf("In use, left for the Explorer's next start: %s\n", file.c_str());
    if (!user.inUse.empty()) std::printf("%s\n", texts::options::kExplorerRestart.en);
  }
  if (opt.rebuild) {
    if (!RequireKey(ctx, kWindowMetricsRoot, kWindowMetricsKey, kShellIconSizeValue)) return;
    RebuildIconCache(p);
    std::printf("Icon cache rebuilt (\"%s\" stepped down by one and back).\n", kShellIconSizeValue);
  }

  std::printf("Icon colours: %s (%s = %s)\n", ReadIconColors(p) ? "maximum" : "16 colours",
              kShellIconBppValue,
              StoredText(ctx, kWindowMetricsRoot, kWindowMetricsKey, kShellIconBppValue).c_str());
  const CacheSizeChoice size = ReadCacheSize(p);
  std::printf("Icon cache size: %s (%s = %s)\n",
              size ? texts::options::kCacheSizes[*size].en : "none of the choices",
              kMaxCachedIconsValue,
              StoredText(ctx, kExplorerRoot, kExplorerKey, kMaxCachedIconsValue).c_str());
  std::printf("Icon cache file: %s\n", IconCachePath(p).c_str());
}

const bool registered = RegisterCommand([](CLI::App& app, Context& ctx) {
  auto opt = std::make_shared<CacheOptions>();
  auto* cmd = app.add_subcommand(
      "cache",
      "Show the shell's icon colour depth and cache size; the options change them as the "
      "settings dialog does");
  cmd->add_option("--colours", opt->colours,
                  "Shell icons in the maximum colours (writes \"Shell Icon BPP\" 16) or in 16 "
                  "colours (writes 4)")
      ->check(CLI::IsMember({"max", "16"}));
  cmd->add_option("--size", opt->size, "Number of icons the shell's cache holds")
      ->check(CLI::IsMember({100, 500, 1000, 1500, 2000}));
  cmd->add_flag("--delete", opt->remove, "Delete the icon cache file");
  cmd->add_flag("--rebuild", opt->rebuild,
                "Make the shell rebuild its icon cache (after any --size change)");
  cmd->callback([&ctx, opt] { Cache(ctx, *opt); });
});

}  // namespace
}  // namespace plumage::cli
