// plumagectl install / uninstall: what an installer does for Plumage.
#include <filesystem>
#include <memory>

#include "app/texts.h"
#include "cli/cli.h"
#include "base/codepage.h"
#include "settings/settings.h"
#include "shellcache/icon_cache_manager.h"

namespace plumage::cli {
namespace {

#ifdef _WIN32
constexpr const char* kPlumageExe = "plumage.exe";
#else
constexpr const char* kPlumageExe = "plumage";
#endif

// Where the verb key goes. On Windows HKEY_CLASSES_ROOT is the user's
// classes laid over the machine's: the user's key needs no administrator,
// the machine's serves every user; the program reads either through
// HKEY_CLASSES_ROOT. The Linux store has the one root.
struct VerbPlace {
  std::uint32_t root = kVerbRoot;
  std::string prefix;  // before kVerbKey
  std::string name = "HKEY_CLASSES_ROOT";
  std::string Key(const char* key) const { return prefix + key; }
};

struct ScopeOptions {
  bool user = false;
  bool allUsers = false;
};

VerbPlace PlaceFor([[maybe_unused]] Context& ctx, [[maybe_unused]] const ScopeOptions& scope) {
  VerbPlace place;
#ifdef _WIN32
  // As the installer chooses: every user when run elevated, else this one.
  const bool allUsers = scope.allUsers || (!scope.user && ctx.system.ProcessIsElevated());
  place.root = allUsers ? formats::kHkeyLocalMachine : formats::kHkeyCurrentUser;
  place.prefix = "Software\\Classes\\";
  place.name =
      allUsers ? "HKEY_LOCAL_MACHINE\\Software\\Classes" : "HKEY_CURRENT_USER\\Software\\Classes";
#endif
  return place;
}

std::string PlumageCommandLine() {
  std::filesystem::path beside = std::filesystem::path(ExecutableFolder()) / kPlumageExe;
  std::string exe = std::filesystem::exists(beside) ? beside.string() : std::string(kPlumageExe);
  // The folder's path follows the program's name as the whole argument text.
  return "\"" + exe + "\" %1";
}

// Writes the default value of a key through the registry itself: the
// installer is the one place that makes keys.
#ifdef _WIN32
// The keys above the verb key that it is made in and that were not there
// before, deepest first, kept in the verb key so that uninstall removes
// them again (while empty) and no key that was there before.
constexpr const char* kCreatedKeysValue = "CreatedKeys";

bool KeyExists(Context& ctx, std::uint32_t root, const std::string& key) {
  platform::RegHandle handle = 0;
  if (ctx.registry.OpenKey(root, key, &handle) != platform::kErrorSuccess) return false;
  ctx.registry.CloseKey(handle);
  return true;
}

std::string MissingParents(Context& ctx, const VerbPlace& place) {
  std::string missing;
  const std::string verb = place.Key(kVerbKey);
  for (std::size_t cut = verb.rfind('\\'); cut != std::string::npos && cut > 0;
       cut = verb.rfind('\\', cut - 1)) {
    const std::string parent = verb.substr(0, cut);
    if (KeyExists(ctx, place.root, parent)) break;
    if (!missing.empty()) missing.push_back(';');
    missing += parent;
  }
  return missing;
}

std::string CreatedKeys(Context& ctx, const VerbPlace& place) {
  platform::RegHandle handle = 0;
  if (ctx.registry.OpenKey(place.root, place.Key(kVerbKey), &handle) != platform::kErrorSuccess)
    return {};
  char data[1024] = {};
  std::uint32_t size = sizeof data - 1, type = 0;
  const long rc = ctx.registry.QueryValue(handle, kCreatedKeysValue, &type,
                                          reinterpret_cast<std::uint8_t*>(data), &size);
  ctx.registry.CloseKey(handle);
  return rc == platform::kErrorSuccess && type == formats::kRegSz ? std::string(data) : "";
}

bool SetText(Context& ctx, const VerbPlace& place, const char* name, const std::string& text) {
  platform::RegHandle handle = 0;
  if (ctx.registry.OpenKey(place.root, place.Key(kVerbKey), &handle) != platform::kErrorSuccess)
    return false;
  std::string data = text;
  data.push_back('\0');
  const long rc = ctx.registry.SetValue(handle, name, formats::kRegSz,
                                        reinterpret_cast<const std::uint8_t*>(data.data()),
                                        static_cast<std::uint32_t>(data.size()));
  ctx.registry.CloseKey(handle);
  return rc == platform::kErrorSuccess;
}
#endif

bool SetDefault(Context& ctx, const VerbPlace& place, const char* key, const std::string& text) {
  platform::RegHandle handle = 0;
  if (ctx.registry.OpenKey(place.root, place.Key(key), &handle) != platform::kErrorSuccess)
    return false;
  std::string data = Utf8ToAnsi(text);
  data.push_back('\0');
  long rc = ctx.registry.SetValue(handle, "", formats::kRegSz,
                                  reinterpret_cast<const std::uint8_t*>(data.data()),
                                  static_cast<std::uint32_t>(data.size()));
  ctx.registry.CloseKey(handle);
  return rc == platform::kErrorSuccess;
}

void Install(Context& ctx, const ScopeOptions& scope) {
  const VerbPlace place = PlaceFor(ctx, scope);
  const std::string folder = ctx.system.ProgramFolder();
  if (!std::filesystem::is_directory(std::filesystem::path(folder) / "Icons"))
    return ctx.Fail("cannot create the program folder " + folder + "Icons");
#ifdef _WIN32
  const bool freshVerb = !KeyExists(ctx, place.root, place.Key(kVerbKey));
  const std::string missingParents = freshVerb ? MissingParents(ctx, place) : std::string();
#endif
  if (ctx.registry.CreateKey(place.root, place.Key(kVerbCommandKey)) != platform::kErrorSuccess)
    return ctx.Fail("cannot write the settings store " + ctx.registry.path() + " (" + place.name +
                    ")");
#ifdef _WIN32
  if (!missingParents.empty() && !SetText(ctx, place, kCreatedKeysValue, missingParents))
    return ctx.Fail("cannot write to " + ctx.registry.path() + " (" + place.name + ")");
#endif
#ifndef _WIN32
  // Windows always has the shell's icon keys; here they are made once, so
  // that the settings dialog's colour depth, cache size and rebuild have
  // somewhere to write (the program itself never creates a key).
  if (ctx.registry.CreateKey(kWindowMetricsRoot, kWindowMetricsKey) != platform::kErrorSuccess ||
      ctx.registry.CreateKey(kExplorerRoot, kExplorerKey) != platform::kErrorSuccess)
    return ctx.Fail("cannot write the settings store " + ctx.registry.path());
#endif
  // A caption already there is the chosen language: installing again keeps it.
  std::string caption;
  bool hasCaption = false;
  if (ctx.program.Registry.OpenKey(kVerbRoot, kVerbKey, ctx.program.Registry.CurrentKey)) {
    hasCaption = ctx.program.Registry.GetStringValue(ctx.program.Registry.CurrentKey, "", caption);
    ctx.program.Registry.CloseKey(ctx.program.Registry.CurrentKey);
  }
  if (!hasCaption && !SetDefault(ctx, place, kVerbKey, texts::kVerbCaption.en))
    return ctx.Fail("cannot write the verb caption to " + ctx.registry.path());
  if (!SetDefault(ctx, place, kVerbCommandKey, PlumageCommandLine()))
    return ctx.Fail("cannot write the verb command to " + ctx.registry.path());
  std::printf("Installed: program folder %s, verb key %s\\%s in %s\n", folder.c_str(),
              place.name.c_str(), kVerbKey, ctx.registry.path().c_str());
#ifndef _WIN32
  // The file managers' context menus carry the caption stored now.
  if (!hasCaption) caption = texts::kVerbCaption.en;
  platform::MenuEntries menu = ctx.desktop.Menu();
  if (Status s = menu.Install(CleanRegistryText(caption)); !s)
    return ctx.Fail("the folder menu entries of the file managers: " + s.error().message);
  for (const std::string& file : menu.PresentFiles()) std::printf("Menu entry: %s\n", file.c_str());
  for (const std::string& file : menu.SystemFiles())
    std::printf("Menu entry for every user (from the package): %s\n", file.c_str());
#endif
}

void Uninstall(Context& ctx, const ScopeOptions& scope) {
  const VerbPlace place = PlaceFor(ctx, scope);
#ifndef _WIN32
  // The menu entries go first: they are what a user sees of Plumage.
  platform::MenuEntries menu = ctx.desktop.Menu();
  const std::vector<std::string> entries = menu.PresentFiles();
  if (Status s = menu.Uninstall(); !s)
    return ctx.Fail("the folder menu entries of the file managers: " + s.error().message);
  for (const std::string& file : entries) std::printf("Removed menu entry: %s\n", file.c_str());
#endif
#ifdef _WIN32
  const std::string created = CreatedKeys(ctx, place);
#endif
  long rc = ctx.registry.DeleteKeyTree(place.root, place.Key(kVerbKey));
  if (rc == platform::kErrorFileNotFound) {
    std::printf("Nothing to remove: the verb key is not in %s (%s)\n", ctx.registry.path().c_str(),
                place.name.c_str());
    return;
  }
  if (rc != platform::kErrorSuccess)
    return ctx.Fail("cannot write the settings store " + ctx.registry.path());
#ifdef _WIN32
  // The keys install made above it go too, deepest first, while nothing
  // else has come to live in them.
  for (std::size_t start = 0; start < created.size();) {
    std::size_t end = created.find(';', start);
    if (end == std::string::npos) end = created.size();
    ctx.registry.DeleteKeyIfEmpty(place.root, created.substr(start, end - start));
    start = end + 1;
  }
#endif
  std::printf("Removed the verb key from %s; the icons in %sIcons are kept.\n",
              ctx.registry.path().c_str(), ctx.system.ProgramFolder().c_str());
}

#ifdef _WIN32
// --user or --all-users; without either, every user when run elevated.
void AddScopeOptions(CLI::App* command, ScopeOptions& scope) {
  auto* user = command->add_flag("--user", scope.user,
                                 "For this user alone (HKEY_CURRENT_USER\\Software\\Classes); "
                                 "no administrator needed");
  auto* all = command->add_flag("--all-users", scope.allUsers,
                                "For every user (HKEY_LOCAL_MACHINE\\Software\\Classes); run "
                                "as administrator");
  user->excludes(all);
}
#else
void AddScopeOptions(CLI::App*, ScopeOptions&) {}
#endif

const bool registered = RegisterCommand([](CLI::App& app, Context& ctx) {
  auto scope = std::make_shared<ScopeOptions>();
#ifdef _WIN32
  const char* installText =
      "Create the program folder with Icons/ and the verb key on folders "
      "(Folder\\shell\\PlumIcon, for this user or every user) that starts plumage.exe";
#else
  const char* installText =
      "Create the program folder with Icons/, the verb key on folders "
      "(HKEY_CLASSES_ROOT\\Folder\\shell\\PlumIcon) that starts plumage, and "
      "its entry in the folder menus of GNOME Files, Dolphin, Nemo and Thunar (Dolphin's "
      "and Nemo's only where the package has not put one there for every user)";
#endif
  auto* install = app.add_subcommand("install", installText);
  AddScopeOptions(install, *scope);
  install->callback([&ctx, scope] { Install(ctx, *scope); });
  auto* uninstall = app.add_subcommand(
      "uninstall",
      "Remove the verb key and the file managers' menu entries; the program folder and its "
      "icons stay");
  AddScopeOptions(uninstall, *scope);
  uninstall->callback([&ctx, scope] { Uninstall(ctx, *scope); });
});

}  // namespace
}  // namespace plumage::cli
