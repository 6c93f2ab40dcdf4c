// plumagectl icons: the icons of a file as the picker lists them (index 0,
// 1, 2 ... up to the first index without an icon), the image each one was
// drawn from, and optionally the 32 × 32 drawings as PNG files.
#include <filesystem>

#include "app/texts.h"
#include "cli/cli.h"

namespace plumage::cli {
namespace {

struct IconsOptions {
  std::string file;
  std::string exportDir;
  bool small = false;
};

std::string Describe(const platform::IconHandle& icon, int drawnSize) {
  const platform::IconOrigin& o = icon.origin();
  if (o.generic) return "the generic application icon";
  // The system's icon calls tell only the size of the icon they made.
  if (o.imageCount == 0) return std::to_string(o.width) + " x " + std::to_string(o.height);
  std::string text;
  if (!o.resource.empty()) text += "icon " + o.resource + ", ";
  text += "image " + std::to_string(o.imageIndex + 1) + " of " + std::to_string(o.imageCount) +
          ": " + std::to_string(o.width) + " x " + std::to_string(o.height) + ", " +
          std::to_string(o.bitsPerPixel) + " bpp";
  if (o.png) text += " PNG";
  if (o.width != drawnSize || o.height != drawnSize)
    text += ", drawn at " + std::to_string(drawnSize) + " x " + std::to_string(drawnSize);
  return text;
}

// The drawing as an opaque PNG, written whole or not at all.
bool ExportDrawing(Context& ctx, const plumage::Surface24& drawing,
                   const std::filesystem::path& to) {
  formats::RgbaImage image;
  image.width = drawing.width();
  image.height = drawing.height();
  for (int y = 0; y < drawing.height(); ++y)
    for (int x = 0; x < drawing.width(); ++x) {
      const plumage::Rgb c = drawing.At(x, y);
      image.rgba.insert(image.rgba.end(), {c.r, c.g, c.b, 255});
    }
  auto png = ctx.png.Encode(image);
  if (!png) {
    ctx.Fail("cannot encode " + to.string() + ": " + png.error().message);
    return false;
  }
  if (!platform::ReplaceFileAtomically(to.string(), std::string(png->begin(), png->end()))) {
    ctx.Fail("cannot write " + to.string());
    return false;
  }
  return true;
}

void NoIcon(Context& ctx, const platform::IconHandle& icon) {
  ctx.Fail(std::string(texts::Tr(ctx.program.Language, texts::change_icon::kNoIcon)) + " (" +
           icon.reason() + ")");
}

void Icons(Context& ctx, const IconsOptions& opt) {
  std::filesystem::path exportDir;
  if (!opt.exportDir.empty()) {
    exportDir = opt.exportDir;
    std::error_code ec;
    std::filesystem::create_directories(exportDir, ec);
    if (!std::filesystem::is_directory(exportDir))
      return ctx.Fail("cannot create the folder " + opt.exportDir);
  }
  const std::string stem = std::filesystem::path(opt.file).stem().string();

  if (opt.small) {
    platform::IconHandle icon = ctx.icons.SmallShellIcon(opt.file);
    if (!icon.IsIcon()) return NoIcon(ctx, icon);
    std::printf("small icon: %s\n", Describe(icon, platform::kSmallIconSize).c_str());
    if (!exportDir.empty()) {
      plumage::Surface24 drawing(platform::kSmallIconSize, platform::kSmallIconSize);
      ctx.icons.DrawSmallIcon(drawing, 0, 0, icon);
      ExportDrawing(ctx, drawing, exportDir / (stem + "_small.png"));
    }
    return;
  }

  // As the picker fills its list: until the first index without an icon.
  // ExtractIconA's marker for a file that is no icon file ends it as well.
  for (int n = 0;; ++n) {
    platform::IconHandle icon = ctx.icons.ExtractIcon(opt.file, n);
    if (!icon.IsIcon()) {
      if (n == 0) NoIcon(ctx, icon);
      return;
    }
    std::printf("%s  %s\n", (" " + std::to_string(n)).c_str(),
                Describe(icon, platform::kIconSize).c_str());
    if (!exportDir.empty()) {
      plumage::Surface24 drawing(platform::kIconSize, platform::kIconSize);
      ctx.icons.DrawIcon(drawing, 0, 0, icon);
      if (!ExportDrawing(ctx, drawing, exportDir / (stem + "_" + std::to_string(n) + ".png")))
        return;
    }
  }
}

const bool registered = RegisterCommand([](CLI::App& app, Context& ctx) {
  auto opt = std::make_shared<IconsOptions>();
  auto* cmd = app.add_subcommand(
      "icons", "List the icons of an .ico, .exe, .dll or .icl file as the icon picker shows them");
  cmd->add_option("file", opt->file, "The icon file, application or library")->required();
  cmd->add_option("--export", opt->exportDir,
                  "Write each 32 x 32 drawing as <name>_<index>.png into this folder");
  cmd->add_flag("--small", opt->small,
                "Show the file's 16 x 16 shell icon instead (exported as <name>_small.png)");
  cmd->callback([&ctx, opt] { Icons(ctx, *opt); });
});

}  // namespace
}  // namespace plumage::cli
