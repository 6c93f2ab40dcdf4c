// plumagectl settings: shows the stored settings; the options change them
// through the settings dialog's own form, as a user would.
#include "app/texts.h"
#include "cli/cli.h"
#include "dialogs/frm_options.h"
#include "folder/windows_paths.h"
#include "settings/settings.h"

namespace plumage::cli {
namespace {

struct SettingsOptions {
  std::string language;
  std::string library;
  CLI::Option* libraryOption = nullptr;
  std::string reminder;
  std::string linuxIcons;
  std::string portable;
  std::vector<std::string> windowsPaths;
};

bool VerbKeyExists(Context& ctx) {
  RegistryManager& reg = ctx.program.Registry;
  if (!reg.OpenKey(kVerbRoot, kVerbKey, reg.CurrentKey)) return false;
  reg.CloseKey(reg.CurrentKey);
  return true;
}

void Settings(Context& ctx, const SettingsOptions& opt) {
  const bool libraryGiven = opt.libraryOption->count() > 0;
  bool writes = !opt.language.empty() || libraryGiven || !opt.reminder.empty() ||
                !opt.linuxIcons.empty() || !opt.portable.empty() || !opt.windowsPaths.empty();
  // Every mapping is checked before anything is stored.
  WindowsPathMap map = ParseWindowsPathMap(StoredWindowsPaths(ctx.program));
  const WindowsPathMap mapBefore = map;
  for (const std::string& text : opt.windowsPaths) {
    // The option's check has let only well-formed mappings through.
    if (auto mapping = ParseWindowsPathArgument(text)) UpdateWindowsPathMap(map, *mapping);
  }
  if (writes && !VerbKeyExists(ctx))
    return ctx.Fail("Plumage is not installed in " + ctx.registry.path() +
                    ": run plumagectl install first");
  LoadSettings(ctx.program, ctx.ui);
  if (ctx.ui.errorsShown) {
    ctx.exitCode = 1;
    return;
  }
  Program& p = ctx.program;
  // The settings the dialog shows go through the dialog itself: its
  // controls are set as a user would set them, then its OK writes what
  // changed, in its order, and says what the store refused.
  if (libraryGiven || !opt.reminder.empty() || !opt.portable.empty() || !opt.language.empty()) {
    frmOptions dialog(p, ctx.ui);
    dialog.Form_Load();
    if (libraryGiven) dialog.DefaultLib.Text = opt.library;
    if (!opt.reminder.empty()) dialog.NoWarningBox.Value = opt.reminder == "off" ? 1 : 0;
    if (!opt.portable.empty()) dialog.KeepInsideBox.Value = opt.portable == "on" ? 1 : 0;
    if (!opt.language.empty()) {
      dialog.Lang[0].Value = opt.language != "fr";
      dialog.Lang[1].Value = opt.language == "fr";
    }
    const int errorsBefore = ctx.ui.errorsShown;
    dialog.cmdOK_Click();
    if (ctx.ui.errorsShown != errorsBefore)
      return ctx.Fail("cannot store the settings in " + ctx.registry.path() +
                      "; a value the store refused is left as it was");
  }
  // The Linux-only settings, which the dialog does not show. The first
  // value the store refuses ends the command: what follows is not tried.
  auto stored = [&ctx](bool ok, const char* what) {
    if (!ok)
      ctx.Fail(std::string("cannot store ") + what + " in " + ctx.registry.path() +
               "; the settings are left as they were");
    return ok;
  };
  if (!opt.linuxIcons.empty()) {
    bool on = opt.linuxIcons == "on";
    if (on != LinuxIconsEnabled(p) && !stored(StoreLinuxIcons(p, on), "the Linux icons setting"))
      return;
  }
  if (map != mapBefore &&
      !stored(StoreWindowsPaths(p, FormatWindowsPathMap(map)), "the Windows paths"))
    return;
  if (writes) {
    // Read back what is stored now, as the next run will see it.
    Program fresh(ctx.os);
    LoadSettings(fresh, ctx.ui);
    p.Language = fresh.Language;
    p.DefaultLibrary = fresh.DefaultLibrary;
    p.NoWarning = fresh.NoWarning;
  }
  std::printf("Language: %s\n", p.Language == 1 ? "French" : "English");
  std::printf("Default library: %s\n", p.DefaultLibrary.empty() ? "(none)" : p.DefaultLibrary.c_str());
  std::printf("Refresh reminder: %s\n", p.NoWarning == 1 ? "off" : "on");
#ifndef _WIN32
  std::printf("Linux file manager icons: %s\n", LinuxIconsEnabled(p) ? "on" : "off");
#endif
  std::printf("Keep the icon inside the folder: %s\n", KeepIconInsideEnabled(p) ? "on" : "off");
  const WindowsPathMap mapNow = ParseWindowsPathMap(StoredWindowsPaths(p));
  if (mapNow.empty()) std::printf("Windows paths: (none)\n");
  for (const auto& m : mapNow)
    std::printf("Windows path: %s = %s\n", m.localFolder.c_str(), m.windowsFolder.c_str());
}

const bool registered = RegisterCommand([](CLI::App& app, Context& ctx) {
  auto opt = std::make_shared<SettingsOptions>();
  auto* cmd = app.add_subcommand(
      "settings", "Show the stored settings; the options change them as the settings dialog does");
  cmd->add_option("--language", opt->language, "Language of the user interface (writes the verb caption)")
      ->check(CLI::IsMember({"en", "fr"}));
  opt->libraryOption = cmd->add_option(
      "--default-library", opt->library,
      "Icon file offered when a folder has no icon (stored as typed; empty for none)");
  cmd->add_option("--reminder", opt->reminder, "The 'Refresh' reminder after a change")
      ->check(CLI::IsMember({"on", "off"}));
#ifndef _WIN32
  // Windows shows the folder's icon from DESKTOP.INI alone.
  cmd->add_option("--linux-icons", opt->linuxIcons,
                  "Also give a folder its icon in the Linux file managers (GIO metadata, "
                  "KDE's .directory) when its DESKTOP.INI is written; on by default")
      ->check(CLI::IsMember({"on", "off"}));
#endif
  cmd->add_option("--portable", opt->portable,
                  "Keep the chosen icon inside the folder, as an .ico file its DESKTOP.INI "
                  "names by its bare name, so Windows machines reading the folder find it; "
                  "on by default on Linux, off on Windows (removable and network volumes "
                  "always keep it inside)")
      ->check(CLI::IsMember({"on", "off"}));
  cmd->add_option("--windows-path", opt->windowsPaths,
                  "LINUXFOLDER=WINDOWSFOLDER: the name Windows clients use for a folder "
                  "(/srv/share=\\\\nas\\share, /mnt/win=C:\\), written for an icon "
                  "file under it when the icon is not kept inside the folder; "
                  "LINUXFOLDER= removes the mapping; may be given several times")
      ->check([](const std::string& text) {
        auto mapping = ParseWindowsPathArgument(text);
        return mapping ? std::string() : mapping.error().message;
      });
  cmd->callback([&ctx, opt] { Settings(ctx, *opt); });
});

}  // namespace
}  // namespace plumage::cli
