// plumagectl doctor: why Windows would or would not show a folder's icon,
// one line per check.
#include <cstdio>

#include "cli/cli.h"
#include "folder/diagnosis.h"

namespace plumage::cli {
namespace {

void Doctor(Context& ctx, const std::string& folder) {
  BeginFolderRun(ctx, folder);
  const FolderDiagnosis diagnosis = DiagnoseFolder(ctx.program);
  for (const FolderCheck& c : diagnosis.checks) {
    const char* mark = c.verdict == FolderCheck::Verdict::Ok     ? "ok  "
                       : c.verdict == FolderCheck::Verdict::Note ? "note"
                                                                 : "FAIL";
    std::printf("%s  %s: %s\n", mark, c.topic.c_str(), c.text.c_str());
  }
  if (diagnosis.WouldShow()) {
    std::printf("Windows would show this folder's icon.\n");
  } else {
    std::printf("Windows would not show this folder's icon.\n");
    ctx.exitCode = kExitError;
  }
}

const bool registered = RegisterCommand([](CLI::App& app, Context& ctx) {
  auto folder = std::make_shared<std::string>();
  auto* cmd = app.add_subcommand(
      "doctor",
      "Say why Windows would or would not show a folder's icon: the descriptor and its keys, "
      "the icon file as Windows reaches it, the icon's index, the attributes and the volume");
  cmd->add_option("FOLDER", *folder, "The folder")->required();
  cmd->footer("Exit status: 0 Windows would show the icon; 1 it would not (a line says why); "
              "2 usage.");
  cmd->callback([&ctx, folder] { Doctor(ctx, *folder); });
});

}  // namespace
}  // namespace plumage::cli
