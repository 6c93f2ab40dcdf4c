// plumagectl show / set / reset: a folder's icon, read as the picker reads
// it and written by the very WriteFolderDescriptor that the picker's OK and
// Reset run, with the same steps, attributes and messages.
#include <cerrno>
#include <cstdio>
#include <cstring>
#include <filesystem>
#include <optional>

#include "base/paths.h"
#include "app/startup.h"
#include "cli/cli.h"
#include "cli/dry_run.h"
#include "folder/folder_ops.h"
#include "base/codepage.h"
#include "formats/profile_engine.h"
#include "settings/settings.h"

namespace plumage::cli {

namespace fs = std::filesystem;

// The folder as the picker gets it from the file manager: a full path.
std::string FullPath(const std::string& text) {
  if (text.empty() || IsNetworkPath(text) || fs::path(text).is_absolute()) return text;
  std::error_code ec;
  fs::path full = fs::absolute(text, ec);
  return ec ? text : full.lexically_normal().string();
}

// The program-wide values a picker would have for this folder. A missing
// verb key is no fault here: the defaults serve.
void BeginFolderRun(Context& ctx, const std::string& folder) {
  BeginRun(ctx.program, FullPath(folder));
  RegistryManager& reg = ctx.program.Registry;
  if (reg.OpenKey(kVerbRoot, kVerbKey, reg.CurrentKey)) {
    reg.CloseKey(reg.CurrentKey);
    LoadSettings(ctx.program, ctx.ui);
  }
}

namespace {


struct FolderOptions {
  std::string folder;
  std::string iconFile;
  std::string index = "0";
  bool dryRun = false;
  bool force = false;
  bool noCopy = false;
};

bool Refused(Context& ctx, const FolderMessageTexts& messages) {
  if (!IsNetworkPath(WithTrailingSeparator(ctx.program.ArgumentText))) return false;
  ctx.ui.MessageBox(messages.NetworkRefusal, messages.ErrorTitle, MessageIcon::Exclamation);
  ctx.exitCode = 1;
  return true;
}

// Why a folder cannot be read or written, or nothing when it is a folder.
std::optional<std::string> NotAFolder(Context& ctx) {
  std::string folder = ctx.program.ArgumentText;
  if (folder.size() > 1 && IsPathSeparator(folder.back())) folder.pop_back();
  auto attributes = ctx.os.files->GetAttributes(folder);
  // Such a path fills a terminal: its length says enough.
  constexpr std::size_t kLongestShown = 300;
  if (!attributes && folder.size() > kLongestShown &&
      attributes.error().message.find(std::strerror(ENAMETOOLONG)) != std::string::npos)
    return "the folder's path is too long for the system (" + std::to_string(folder.size()) +
           " bytes)";
  if (!attributes) return attributes.error().message;
  if ((*attributes & platform::kAttributeDirectory) == 0) return folder + " is not a folder";
  return std::nullopt;
}

void Show(Context& ctx, const FolderOptions& opt) {
  BeginFolderRun(ctx, opt.folder);
  const FolderMessageTexts messages(ctx.program.Language);
  if (Refused(ctx, messages)) return;
  if (auto why = NotAFolder(ctx)) return ctx.Fail(messages.InvalidFolder + " " + *why);
  std::string icon, index;
  FolderOps ops(ctx.program, ctx.ui, messages.Refs(), icon, index);
  PresentIconSource source = ops.ReadPresentIcon();
  if (source == PresentIconSource::Refused) {
    ctx.exitCode = 1;
    return;
  }
  const std::string folderPath = WithTrailingSeparator(ctx.program.ArgumentText);
  const DescriptorPlace place = LocateDescriptor(*ctx.os.files, ctx.program.ArgumentText);
  std::printf("Folder: %s\n", ctx.program.ArgumentText.c_str());
  std::printf("Icon file: %s\n", icon.empty() ? "(none)" : icon.c_str());
  std::printf("Index: %s\n", index.empty() ? "(none)" : index.c_str());
  switch (source) {
    case PresentIconSource::Descriptor:
      std::printf("Source: %s\n",
                  (folderPath + DescriptorName(*ctx.os.files, folderPath, kDesktopIni)).c_str());
      break;
    case PresentIconSource::DefaultLibrary:
      std::printf("Source: the default library (the folder has no icon of its own)\n");
      break;
    default:
      std::printf("Source: none (no icon of its own, no default library)\n");
      break;
  }
  std::printf("Set and reset write: %s%s\n", place.descriptor.c_str(),
              place.driveRoot ? " (a drive root)" : "");
  // The attributes as the folder's volume keeps them: what a Windows
  // machine reading the volume sees.
  platform::IFileSystem& files = *ctx.os.files;
  if (auto attributes = files.GetAttributes(place.folder))
    std::printf("Folder attributes: %s\n",
                AttributeNames(*attributes & ~platform::kAttributeDirectory).c_str());
  if (files.FileExists(place.descriptor)) {
    if (auto attributes = files.GetAttributes(place.descriptor))
      std::printf("%s attributes: %s\n", place.descriptor.c_str(),
                  AttributeNames(*attributes).c_str());
  }
  if (auto volume = files.DescribeVolume(place.folder))
    std::printf("Volume: %s%s%s; DOS attributes: %s\n", volume->type.c_str(),
                volume->removable ? ", removable" : "", volume->network ? ", network" : "",
                platform::AttributeStoreName(volume->attributes));
}

void Apply(Context& ctx, const FolderOptions& opt, bool reset) {
  BeginFolderRun(ctx, opt.folder);
  const FolderMessageTexts messages(ctx.program.Language);
  if (Refused(ctx, messages)) return;
  if (auto why = NotAFolder(ctx)) return ctx.Fail(messages.InvalidFolder + " " + *why);

  std::string icon, index;
  if (!reset) {
    std::int32_t parsed = 0;
    if (!ParseIconIndex(opt.index, parsed))
      return ctx.Fail("the index must be a whole number, not \"" + opt.index + "\"");
    if (opt.iconFile.empty())
      return ctx.Fail("no icon file given (plumagectl reset removes the icon)");
    // A relative name of an existing file is made full, as the picker's file
    // dialog gives it; anything else (a path for Windows to read through a
    // share, say) is stored as typed.
    icon = opt.iconFile;
    std::error_code ec;
    const auto status = fs::status(icon, ec);
    if (!opt.force && !fs::is_regular_file(status))
      return ctx.Fail("the icon file " + icon +
                      (fs::exists(status) ? " is not a regular file" : " does not exist") +
                      "; nothing was changed (--force writes it all the same)");
    if (fs::path(icon).is_relative() && fs::is_regular_file(status)) icon = FullPath(icon);
    index = std::to_string(parsed);
  }

  platform::Platform* os = &ctx.os;
  DryRunFiles dryFiles(*ctx.os.files);
  DryRunProfile dryProfile(dryFiles, dryFiles.log);
  platform::Platform dry{ctx.os.registry, ctx.os.system, ctx.os.shell, &dryFiles, &dryProfile};
  if (opt.dryRun) os = &dry;
  Program program(*os);
  program.ArgumentText = ctx.program.ArgumentText;
  program.FolderName = ctx.program.FolderName;
  program.WindowsDirectory = ctx.program.WindowsDirectory;
  program.Language = ctx.program.Language;
  program.DefaultLibrary = ctx.program.DefaultLibrary;
  program.NoWarning = ctx.program.NoWarning;

  // The message box and the reason behind it make one line.
  std::vector<std::string> held;
  ctx.ui.held = &held;
  FolderOps ops(program, ctx.ui, messages.Refs(), icon, index);
  FolderWriteOptions writeOptions;
  writeOptions.noCopy = opt.noCopy;
  FolderWriteReport report = ops.WriteFolderDescriptor(writeOptions);
  ctx.ui.held = nullptr;
  for (const auto& message : held)
    ctx.Fail(report.failure.empty() ? message : message + " " + report.failure);
  for (const auto& problem : report.unstored) {
    std::fprintf(stderr, "plumagectl: warning: %s\n", problem.c_str());
    if (ctx.exitCode == 0) ctx.exitCode = kExitWarning;
  }
  if (opt.dryRun) {
    std::printf("Dry run: nothing was changed. The write would:\n");
    for (const auto& line : dryFiles.log) std::printf("  %s\n", line.c_str());
    for (const auto& [file, bytes] : dryProfile.files()) {
      const formats::ProfileText text(bytes);
      const char* encoding = text.encoding() == formats::ProfileEncoding::Utf16Le ? " (UTF-16LE)"
                             : text.encoding() == formats::ProfileEncoding::Utf8  ? " (UTF-8)"
                                                                                   : "";
      std::printf("%s would read%s:\n", file.c_str(), encoding);
      const std::string shown = text.Text();
      std::fwrite(shown.data(), 1, shown.size(), stdout);
    }
    return;
  }
  if (ctx.exitCode == 1) return;
  const char* unstoredNote =
      report.unstored.empty() ? "" : "; the warnings say what was not stored";
  switch (report.outcome) {
    case FolderWriteReport::Outcome::Written:
      if (reset)
        std::printf("Removed the icon of %s (%s)%s\n", report.place.folder.c_str(),
                    report.place.descriptor.c_str(), unstoredNote);
      else if (!report.keptIcon.empty())
        std::printf("Wrote %s,0 to %s (a copy of %s,%s kept inside the folder)%s\n",
                    report.storedIcon.c_str(), report.place.descriptor.c_str(), icon.c_str(),
                    index.c_str(), unstoredNote);
      else
        std::printf("Wrote %s,%s to %s%s\n", report.storedIcon.c_str(), index.c_str(),
                    report.place.descriptor.c_str(), unstoredNote);
      break;
    case FolderWriteReport::Outcome::Removed:
      std::printf("Removed the icon of %s (%s deleted)\n", report.place.folder.c_str(),
                  report.place.descriptor.c_str());
      break;
    default:
      break;
  }
}

const bool registered = RegisterCommand([](CLI::App& app, Context& ctx) {
  auto opt = std::make_shared<FolderOptions>();

  auto* show = app.add_subcommand(
      "show",
      "Print a folder's present icon file and index as the icon picker reads them, and "
      "where they come from");
  show->add_option("FOLDER", opt->folder, "The folder")->required();
  show->callback([&ctx, opt] { Show(ctx, *opt); });

  const char* exits = kExitStatusHelp;
  auto* set = app.add_subcommand(
      "set",
      "Give a folder an icon: write its DESKTOP.INI (a drive root's AUTORUN.INF) with "
      "the attributes, as the picker's OK does");
  set->add_option("FOLDER", opt->folder, "The folder")->required();
  set->add_option("ICONFILE", opt->iconFile,
                  "The icon file (.ico, .exe, .dll, .icl); the icon is copied into the folder "
                  "unless the settings or --no-copy say otherwise")
      ->required();
  set->add_option("INDEX", opt->index, "The icon's index in the file (default 0)");
  set->add_flag("--dry-run", opt->dryRun, "Say what would be written; change nothing");
  set->add_flag("--no-copy", opt->noCopy,
                "Name the icon file by its path (its Windows name where a --windows-path "
                "mapping holds it) instead of keeping a copy inside the folder");
  set->add_flag("--force", opt->force,
                "Write the icon file as given even when it does not exist (yet) or is not a file");
  set->footer(exits);
  set->callback([&ctx, opt] { Apply(ctx, *opt, false); });

  auto* reset = app.add_subcommand(
      "reset",
      "Remove a folder's icon as the picker's Reset does (a drive root's AUTORUN.INF "
      "is deleted)");
  reset->add_option("FOLDER", opt->folder, "The folder")->required();
  reset->add_flag("--dry-run", opt->dryRun, "Say what would be written; change nothing");
  reset->footer(exits);
  reset->callback([&ctx, opt] { Apply(ctx, *opt, true); });
});

}  // namespace
}  // namespace plumage::cli
