// plumagectl make-icon: a new folder icon made the way the new-icon dialog
// makes it (the candidate drawn by ComposeFolderIcon on the chosen folder,
// saved by SaveSelectedAsIcon under the dialog's name rules), and written to
// a folder as the picker's OK would.
#include <cstdio>
#include <filesystem>
#include <map>

#include "base/paths.h"
#include "app/startup.h"
#include "cli/cli.h"
#include "folder/folder_ops.h"
#include "iconmaker/frm_transform_icon.h"
#include "platform/icon_source.h"
#include "iconmaker/save_selected.h"
#include "picker/change_icon.h"
#include "settings/settings.h"

namespace plumage::cli {
namespace {

namespace fs = std::filesystem;

struct MakeIconOptions {
  std::string file;
  std::string index = "0";
  std::string colour;
  std::string name;
  std::string out;
  std::string apply;
};

const std::map<std::string, int> kColours = {{"yellow", 0}, {"red", 1}, {"blue", 2}, {"green", 3}};

std::string FullPath(const std::string& text) {
  if (text.empty() || IsNetworkPath(text) || fs::path(text).is_absolute()) return text;
  std::error_code ec;
  fs::path full = fs::absolute(text, ec);
  return ec ? text : full.lexically_normal().string();
}

void MakeIcon(Context& ctx, const MakeIconOptions& opt) {
  std::int32_t index = 0;
  if (!ParseIconIndex(opt.index, index))
    return ctx.Fail("the index must be a whole number, not \"" + opt.index + "\"");
  if (opt.name.empty() == opt.out.empty())
    return ctx.Fail("give either --name NAME (in the folder of new icons) or --out PATH");

  BeginRun(ctx.program, opt.apply.empty() ? std::string() : FullPath(opt.apply));
  RegistryManager& reg = ctx.program.Registry;
  if (reg.OpenKey(kVerbRoot, kVerbKey, reg.CurrentKey)) {
    reg.CloseKey(reg.CurrentKey);
    LoadSettings(ctx.program, ctx.ui);
  }

  // A file without that icon would give a folder with a blank face: say so
  // rather than make it.
  if (auto icon = ctx.os.icons->ExtractIcon(FullPath(opt.file), index); !icon.IsIcon())
    return ctx.Fail(icon.reason().empty()
                        ? FullPath(opt.file) + " holds no icon at index " + std::to_string(index)
                        : icon.reason());

  ChangeIcon picker(ctx.program, ctx.ui);
  picker.SelectedIcon = FullPath(opt.file);
  picker.SelectedNo = std::to_string(index);
  frmTransformIcon dialog(ctx.program, ctx.ui, picker);
  dialog.Form_Load();
  dialog.BuildCandidates();
  if (dialog.Unloaded()) {
    ctx.exitCode = 1;  // the message said that the file holds no such icon
    return;
  }
  dialog.ListView_ItemClick(kColours.at(opt.colour) + 1);

  if (!opt.name.empty()) {
    dialog.IconName = opt.name;
    dialog.BtnOk_Click();
    if (!dialog.Unloaded()) {
      ctx.exitCode = 1;  // refused or not saved: the message said why
      return;
    }
  } else {
    picker.SelectedIcon = FullPath(opt.out);
    if (!SaveSelectedAsIcon(dialog)) {
      ctx.exitCode = 1;
      return;
    }
  }
  std::printf("Wrote %s\n", picker.SelectedIcon.c_str());
  if (opt.apply.empty()) return;

  const FolderMessageTexts messages(ctx.program.Language);
  if (IsNetworkPath(WithTrailingSeparator(ctx.program.ArgumentText))) {
    ctx.ui.MessageBox(messages.NetworkRefusal, messages.ErrorTitle, MessageIcon::Exclamation);
    ctx.exitCode = 1;
    return;
  }
  std::vector<std::string> shown;
  ctx.ui.held = &shown;
  FolderOps ops(ctx.program, ctx.ui, messages.Refs(), picker.SelectedIcon, picker.SelectedNo);
  FolderWriteReport report = ops.WriteFolderDescriptor();
  ctx.ui.held = nullptr;
  if (!shown.empty()) {
    for (const auto& message : shown)
      ctx.Fail(report.failure.empty() ? message : message + " " + report.failure);
    return;
  }
  for (const auto& problem : report.unstored) {
    std::fprintf(stderr, "plumagectl: warning: %s\n", problem.c_str());
    ctx.warned = true;
  }
  std::printf("Wrote %s,%s to %s\n", picker.SelectedIcon.c_str(), picker.SelectedNo.c_str(),
              report.place.descriptor.c_str());
}

const bool registered = RegisterCommand([](CLI::App& app, Context& ctx) {
  auto opt = std::make_shared<MakeIconOptions>();
  auto* cmd = app.add_subcommand(
      "make-icon",
      "Make a new folder icon from an icon of a file, as the Convert selected icon dialog "
      "does: the icon on a coloured folder, 32 x 32, 256 colours");
  cmd->add_option("FILE", opt->file, "The file holding the icon (.ico, .exe, .dll, .icl)")
      ->required();
  cmd->add_option("INDEX", opt->index, "The icon's index in the file (default 0)");
  cmd->add_option("--colour,--color", opt->colour, "The folder's colour")
      ->required()
      ->check(CLI::IsMember({"yellow", "red", "blue", "green"}));
  auto* name = cmd->add_option("--name", opt->name,
                               "Save as NAME.ico in the program folder's Icons folder (no \".ico\" "
                               "added to a name ending in ico)");
  auto* out = cmd->add_option("--out", opt->out, "Save to this path instead");
  name->excludes(out);
  cmd->add_option("--apply", opt->apply,
                  "Then give this folder the new icon, as the icon picker's OK does");
  cmd->footer("Exit status: 0 done; 1 a message said what failed; 2 usage.");
  cmd->callback([&ctx, opt] { MakeIcon(ctx, *opt); });
});

}  // namespace
}  // namespace plumage::cli
