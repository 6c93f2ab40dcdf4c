// plumagectl image and plumagectl palette: the image engine from a terminal.
// Pictures are read from BMP files (any common depth) and PNG files into a
// cDIBSection and written by the engine itself, so the files are the ones
// the program makes.
#include <unistd.h>

#include <cerrno>
#include <cstdio>
#include <cstring>
#include <memory>
#include <optional>
#include <string>

#include "cli/cli.h"
#include "formats/bmp_reader.h"
#include "image/colour_reduce.h"
#include "image/dib_section.h"
#include "image/dib_section_save.h"
#include "image/palette.h"
#include "image/run_time_error.h"

namespace plumage::cli {
namespace {

using image::cColourReduceDIB;
using image::cDIBSection;
using image::cDIBSectionSave;
using image::cPalette;
using image::RunTimeError;

// The engine's progress as a bar on standard error, drawn only when standard
// error is a terminal. Each InitProgress starts a new step.
class ProgressBar : public image::IProgressObserver {
 public:
  ProgressBar() : shown_(isatty(STDERR_FILENO) == 1) {}
  void InitProgress(std::int32_t lMax) override {
    max_ = lMax > 0 ? lMax : 1;
    ++step_;
    percent_ = -1;
    Draw(0);
  }
  void Progress(std::int32_t lPosition) override { Draw(lPosition); }
  void Complete(std::int32_t lTimeMs) override {
    if (!shown_) return;
    Draw(max_);
    std::fprintf(stderr, " %d ms\n", lTimeMs);
  }

 private:
  void Draw(std::int32_t position) {
    if (!shown_) return;
    long long percent = static_cast<long long>(position) * 100 / max_;
    percent = percent < 0 ? 0 : (percent > 100 ? 100 : percent);
    // The octree reports its leaves by slot number after its rows, which
    // would send the bar back: it only moves forward.
    if (percent <= percent_) return;
    percent_ = percent;
    constexpr int kWidth = 30;
    char bar[kWidth + 1];
    int filled = static_cast<int>(percent * kWidth / 100);
    for (int i = 0; i < kWidth; ++i) bar[i] = i < filled ? '#' : '.';
    bar[kWidth] = '\0';
    std::fprintf(stderr, "\rstep %d [%s] %3lld%%", step_, bar, percent);
    std::fflush(stderr);
  }

  bool shown_;
  std::int32_t max_ = 1;
  int step_ = 0;
  long long percent_ = -1;
};

// The engine's messages ("Error in reducing nodes" may come once per pixel):
// counted, and told once when the command ends.
class MessageCounter : public image::IEngineMessages {
 public:
  void ShowMessage(const std::string& text) override {
    if (count_++ == 0) first_ = text;
  }
  void Report() const {
    if (count_ == 0) return;
    std::fprintf(stderr, "plumagectl: %s", first_.c_str());
    if (count_ > 1) std::fprintf(stderr, " (%ld times)", count_);
    std::fprintf(stderr, "\n");
  }

 private:
  long count_ = 0;
  std::string first_;
};

struct Engine {
  explicit Engine(Context& ctx) {
    services.system = &ctx.system;
    services.fileSystem = ctx.os.files;
    services.messages = &messages;
  }
  image::ImageServices services;
  MessageCounter messages;
  ProgressBar bar;
};

// Straight alpha composed over white: a transparent area reads as paper.
plumage::Surface24 FromRgba(const formats::RgbaImage& image) {
  plumage::Surface24 out(image.width, image.height);
  for (int y = 0; y < image.height; ++y)
    for (int x = 0; x < image.width; ++x) {
      const std::uint8_t* p = &image.rgba[(static_cast<std::size_t>(y) * image.width + x) * 4];
      auto over = [a = p[3]](std::uint8_t v) {
        return static_cast<std::uint8_t>((v * a + 255 * (255 - a) + 127) / 255);
      };
      out.Set(x, y, {over(p[0]), over(p[1]), over(p[2])});
    }
  return out;
}

// Reads a BMP or PNG picture into `dib`; false after telling why.
bool ReadPicture(Context& ctx, const std::string& path, cDIBSection& dib) {
  // Pictures are read whole: a bitmap of the largest size the engine makes
  // is far below this.
  constexpr std::size_t kMaxPictureBytes = 256u << 20;
  auto loaded = ctx.os.files->LoadFile(path, kMaxPictureBytes);
  if (!loaded) {
    const std::string& why = loaded.error().message;
    ctx.Fail(why.rfind("cannot read", 0) == 0 ? why : "cannot read " + why);
    return false;
  }
  const std::string& bytes = *loaded;
  std::span<const std::uint8_t> data(reinterpret_cast<const std::uint8_t*>(bytes.data()),
                                     bytes.size());
  plumage::Surface24 picture;
  if (formats::LooksLikePng(data)) {
    auto decoded = ctx.png.Decode(data);
    if (!decoded) {
      ctx.Fail(path + ": " + decoded.error().message);
      return false;
    }
    picture = FromRgba(*decoded);
  } else if (bytes.size() >= 2 && bytes[0] == 'B' && bytes[1] == 'M') {
    auto read = formats::ReadBmp(data);
    if (!read) {
      ctx.Fail(path + ": " + read.error().message);
      return false;
    }
    picture = std::move(*read);
  } else {
    ctx.Fail(path + ": not a BMP or PNG picture");
    return false;
  }
  if (!dib.CreateFromPicture(picture)) {
    ctx.Fail(path + ": a picture of " + std::to_string(picture.width()) + " x " +
             std::to_string(picture.height()) + " pixels is too large");
    return false;
  }
  return true;
}

// Runs a write of the engine; tells what went wrong when it did.
template <typename Write>
bool Written(Context& ctx, const std::string& path, Write write) {
  try {
    if (write()) return true;
    ctx.Fail(path + " was not written (the write failed; any earlier file is unchanged)");
  } catch (const RunTimeError& e) {
    ctx.Fail("cannot create " + path + ": " + e.Description());
  }
  return false;
}

std::unique_ptr<cPalette> ReadPalette(Context& ctx, Engine& engine, const std::string& path,
                                      bool jasc) {
  auto pal = std::make_unique<cPalette>(engine.services);
  if (jasc) {
    try {
      pal->LoadFromJASCFile(path);
    } catch (const RunTimeError& e) {
      ctx.Fail(path + ": " + e.Description() + " (reading a JASC palette)");
      return nullptr;
    }
    if (pal->Count() == 0) {
      ctx.Fail(path + ": no colour lines (three numbers from 0 to 255, CR LF line ends)");
      return nullptr;
    }
    return pal;
  }
  if (!pal->Load(path)) {
    ctx.Fail(path + ": not a binary palette file (a count from 1 to " +
             std::to_string(cPalette::kMaxFileCount) +
             " and its colours); --jasc reads a JASC palette");
    return nullptr;
  }
  return pal;
}

bool WritePalette(Context& ctx, cPalette& pal, const std::string& path, bool jasc) {
  if (jasc) return Written(ctx, path, [&] { return pal.SaveToJASCFile(path); });
  if (pal.Save(path)) return true;
  ctx.Fail("cannot write " + path);
  return false;
}

std::string Describe(const cDIBSection& dib) {
  return std::to_string(dib.Width()) + " x " + std::to_string(dib.Height());
}

// ---- image ------------------------------------------------------------------

struct ImageOptions {
  std::string in, out, palette;
  int depth = 24;
  int method = 0;
  bool jasc = false;
  std::int32_t width = 0, height = 0;
};

void Save(Context& ctx, const ImageOptions& o) {
  const int depthCode = o.depth == 1 ? 0 : o.depth == 4 ? 1 : o.depth == 8 ? 2 : 3;
  if (o.method == 1 && o.palette.empty())
    return ctx.Fail("--method 1 applies a palette: name one with --palette");
  if (!o.palette.empty() && o.method != 1 && !(o.depth == 8 && o.method == 0))
    return ctx.Fail("--palette is used by --method 1, or as the colours of --depth 8 --method 0");
  Engine engine(ctx);
  std::unique_ptr<cPalette> pal;
  if (!o.palette.empty() && !(pal = ReadPalette(ctx, engine, o.palette, o.jasc))) return;
  cDIBSection dib(engine.services);
  if (!ReadPicture(ctx, o.in, dib)) return;
  cDIBSectionSave saver(engine.services);
  saver.Events.Subscribe(&engine.bar);
  bool ok = Written(ctx, o.out, [&] { return saver.Save(o.out, dib, pal, depthCode, o.method); });
  engine.messages.Report();
  if (ok)
    std::printf(
        "%s: %s, %d bits per pixel%s\n", o.out.c_str(), Describe(dib).c_str(), o.depth,
        pal && o.depth == 8 ? (", " + std::to_string(pal->Count()) + " colours").c_str() : "");
}

void Gray(Context& ctx, const ImageOptions& o, bool blackAndWhite) {
  Engine engine(ctx);
  cDIBSection dib(engine.services);
  if (!ReadPicture(ctx, o.in, dib)) return;
  cColourReduceDIB reducer(engine.services);
  reducer.Events.Subscribe(&engine.bar);
  if (blackAndWhite) {
    cDIBSection target(engine.services);
    if (!target.Create(dib.Width(), dib.Height())) return ctx.Fail("out of memory");
    reducer.BlackAndWhite(dib, target);
  } else {
    reducer.GrayScale(dib);
  }
  if (Written(ctx, o.out, [&] { return dib.SavePicture(o.out); }))
    std::printf("%s: %s, 24 bits per pixel\n", o.out.c_str(), Describe(dib).c_str());
}

void Resample(Context& ctx, const ImageOptions& o) {
  Engine engine(ctx);
  cDIBSection dib(engine.services);
  if (!ReadPicture(ctx, o.in, dib)) return;
  auto out = dib.Resample(o.height, o.width);
  if (!out)
    return ctx.Fail("cannot make a picture of " + std::to_string(o.width) + " x " +
                    std::to_string(o.height));
  if (Written(ctx, o.out, [&] { return out->SavePicture(o.out); }))
    std::printf("%s: %s, 24 bits per pixel\n", o.out.c_str(), Describe(*out).c_str());
}

// ---- palette ----------------------------------------------------------------

struct PaletteOptions {
  std::string kind, in, out;
  std::int32_t colours = 236;
  std::int32_t levels = 6;
  bool jasc = false;
};

void CreatePalette(Context& ctx, const PaletteOptions& o) {
  Engine engine(ctx);
  cPalette pal(engine.services);
  if (o.kind == "websafe")
    pal.CreateWebSafe();
  else if (o.kind == "halftone")
    pal.CreateHalfTone();
  else if (o.kind == "mono")
    pal.CreateMono();
  else
    pal.Create16Colour();
  if (WritePalette(ctx, pal, o.out, o.jasc))
    std::printf("%s: %d colours\n", o.out.c_str(), pal.Count());
}

void OptimalPalette(Context& ctx, const PaletteOptions& o) {
  Engine engine(ctx);
  cDIBSection dib(engine.services);
  if (!ReadPicture(ctx, o.in, dib)) return;
  cPalette pal(engine.services);
  pal.Events.Subscribe(&engine.bar);
  pal.CreateOptimal(dib, o.colours, o.levels);
  engine.messages.Report();
  if (WritePalette(ctx, pal, o.out, o.jasc))
    std::printf("%s: %d colours\n", o.out.c_str(), pal.Count());
}

const bool registered = RegisterCommand([](CLI::App& app, Context& ctx) {
  auto* image = app.add_subcommand(
      "image", "Convert pictures (BMP or PNG in, BMP out) with the image engine");
  image->require_subcommand(1);

  auto save = std::make_shared<ImageOptions>();
  auto* s = image->add_subcommand("save",
                                  "Write a picture as a BMP file at 1, 4, 8 or 24 bits per pixel");
  s->add_option("IN", save->in, "Picture to read (BMP or PNG)")->required();
  s->add_option("OUT", save->out, "BMP file to write")->required();
  s->add_option("--depth", save->depth, "Bits per pixel")
      ->required()
      ->check(CLI::IsMember({1, 4, 8, 24}));
  s->add_option("--method", save->method,
                "Colour reduction: 0 none (the colour table decides), 1 the --palette with error "
                "diffusion, 2 automatic (dithering, 16 colours, or an optimal 236-colour palette)")
      ->check(CLI::IsMember({0, 1, 2}));
  s->add_option("--palette", save->palette, "Palette file (binary, or JASC with --jasc)");
  s->add_flag("--jasc", save->jasc, "The palette file is a JASC text palette");
  s->callback([&ctx, save] { Save(ctx, *save); });

  auto gray = std::make_shared<ImageOptions>();
  auto* g = image->add_subcommand("gray", "Turn a picture to grey levels (24-bit BMP out)");
  g->add_option("IN", gray->in, "Picture to read (BMP or PNG)")->required();
  g->add_option("OUT", gray->out, "BMP file to write")->required();
  g->callback([&ctx, gray] { Gray(ctx, *gray, false); });

  auto bw = std::make_shared<ImageOptions>();
  auto* b = image->add_subcommand("bw", "Dither a picture to black and white (24-bit BMP out)");
  b->add_option("IN", bw->in, "Picture to read (BMP or PNG)")->required();
  b->add_option("OUT", bw->out, "BMP file to write")->required();
  b->callback([&ctx, bw] { Gray(ctx, *bw, true); });

  auto resample = std::make_shared<ImageOptions>();
  auto* r = image->add_subcommand("resample", "Resize a picture, bilinear (24-bit BMP out)");
  r->add_option("IN", resample->in, "Picture to read (BMP or PNG)")->required();
  r->add_option("OUT", resample->out, "BMP file to write")->required();
  r->add_option("--width", resample->width, "New width in pixels")
      ->required()
      ->check(CLI::Range(1, 32767));
  r->add_option("--height", resample->height, "New height in pixels")
      ->required()
      ->check(CLI::Range(1, 32767));
  r->callback([&ctx, resample] { Resample(ctx, *resample); });

  auto* palette = app.add_subcommand("palette", "Make palette files (binary, or JASC with --jasc)");
  palette->require_subcommand(1);
  auto create = std::make_shared<PaletteOptions>();
  auto* c = palette->add_subcommand("create", "Write a built-in palette");
  c->add_option("KIND", create->kind, "websafe, halftone, mono or 16")
      ->required()
      ->check(CLI::IsMember({"websafe", "halftone", "mono", "16"}));
  c->add_option("OUT", create->out, "Palette file to write")->required();
  c->add_flag("--jasc", create->jasc, "Write a JASC text palette");
  c->callback([&ctx, create] { CreatePalette(ctx, *create); });

  auto optimal = std::make_shared<PaletteOptions>();
  auto* o = palette->add_subcommand("optimal", "Write the octree palette of a picture");
  o->add_option("IN", optimal->in, "Picture to read (BMP or PNG)")->required();
  o->add_option("OUT", optimal->out, "Palette file to write")->required();
  o->add_option("--colours", optimal->colours, "Most colours of the palette")
      ->check(CLI::Range(1, cPalette::kMaxFileCount));
  o->add_option("--levels", optimal->levels, "Depth of the octree")->check(CLI::Range(1, 8));
  o->add_flag("--jasc", optimal->jasc, "Write a JASC text palette");
  o->callback([&ctx, optimal] { OptimalPalette(ctx, *optimal); });
});

}  // namespace
}  // namespace plumage::cli
