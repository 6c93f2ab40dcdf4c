// Draws the program's own icon artwork and writes it where the program and
// people find it:
//   data/icons/folder_{yellow,red,blue,green}.ico   the four folder backgrounds
//   data/icons/generic_application.ico              the icon of an application without one
//   src/picker/folder_backgrounds_data.cpp          the first four, compiled in
//   src/platform/portable/generic_application_icon_data.cpp   the last, compiled in
//
// The folders are 32 × 32, 256-colour icons whose transparent area is exactly
// FolderMaskTemplate: a pixel is drawn where the template says "inside" and
// left transparent (index 0, mask bit set) everywhere else, so icons made
// from these backgrounds and the template always agree.
//
// Usage: make_icon_art <source folder>. The test "icon art is the
// generator's output" rebuilds everything into a temporary folder and
// compares it with what is committed. To change the art, edit this file,
// then: cmake --build --preset default --target make_icon_art &&
//       build/default/tests/icons/make_icon_art .
#include <array>
#include <cstdint>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

#include "iconmaker/folder_mask.h"

namespace {

struct Colour {
  int r = 0, g = 0, b = 0;
};

// An 8-bit picture with its mask, top row first; mask 1 = transparent.
struct Picture {
  int side = 0;
  std::vector<std::uint8_t> index;
  std::vector<std::uint8_t> mask;
  Picture(int s)
      : side(s),
        index(static_cast<std::size_t>(s * s), 0),
        mask(static_cast<std::size_t>(s * s), 1) {}
  void Set(int x, int y, std::uint8_t i) {
    index[static_cast<std::size_t>(y * side + x)] = i;
    mask[static_cast<std::size_t>(y * side + x)] = 0;
  }
  bool Opaque(int x, int y) const {
    return x >= 0 && y >= 0 && x < side && y < side &&
           !mask[static_cast<std::size_t>(y * side + x)];
  }
};

// The one palette of all the art: index 0 is black (the transparent pixels
// hold it), then five shades for each folder colour, then the greys and
// blues of the application window.
class Palette {
 public:
  Palette() { Add({0, 0, 0}); }
  std::uint8_t Add(Colour c) {
    entries_.push_back(c);
    return static_cast<std::uint8_t>(entries_.size() - 1);
  }
  const std::vector<Colour>& entries() const { return entries_; }

 private:
  std::vector<Colour> entries_;
};

Colour Scale(Colour c, double f) {
  return {static_cast<int>(c.r * f + 0.5), static_cast<int>(c.g * f + 0.5),
          static_cast<int>(c.b * f + 0.5)};
}
Colour Lighten(Colour c, double f) {
  return {c.r + static_cast<int>((255 - c.r) * f + 0.5),
          c.g + static_cast<int>((255 - c.g) * f + 0.5),
          c.b + static_cast<int>((255 - c.b) * f + 0.5)};
}

struct FolderShades {
  std::uint8_t outline, back, highlight, face, lowFace;
};

FolderShades AddShades(Palette& p, Colour base) {
  return FolderShades{p.Add(Scale(base, 0.45)), p.Add(Scale(base, 0.78)),
                      p.Add(Lighten(base, 0.55)), p.Add(base), p.Add(Scale(base, 0.88))};
}

// The last opaque column of a template row: the shadow runs down it.
int LastOpaque(int y) {
  for (int x = plumage::kFolderMaskSide - 1; x >= 0; --x)
    if (plumage::FolderMaskOpaque(x, y)) return x;
  return -1;
}

Picture DrawFolder(const FolderShades& s, std::uint8_t shadow) {
  constexpr int kSide = plumage::kFolderMaskSide;
  constexpr int kShadowRow = 27;  // the template's last row inside the folder
  constexpr int kFaceTop = 9;     // the front of the folder starts here
  auto isShadow = [&](int x, int y) {
    return plumage::FolderMaskOpaque(x, y) &&
           (y == kShadowRow || (y >= 6 && y < kShadowRow && x == LastOpaque(y)));
  };
  auto isBody = [&](int x, int y) { return plumage::FolderMaskOpaque(x, y) && !isShadow(x, y); };
  Picture pic(kSide);
  for (int y = 0; y < kSide; ++y) {
    for (int x = 0; x < kSide; ++x) {
      if (!plumage::FolderMaskOpaque(x, y)) continue;
      if (isShadow(x, y)) {
        pic.Set(x, y, shadow);
        continue;
      }
      const bool edge =
          !isBody(x - 1, y) || !isBody(x + 1, y) || !isBody(x, y - 1) || !isBody(x, y + 1);
      std::uint8_t i = s.face;
      if (edge || y == kFaceTop)
        i = s.outline;
      else if (y < kFaceTop)
        i = s.back;
      else if (y == kFaceTop + 1)
        i = s.highlight;
      else if (y >= 23)
        i = s.lowFace;
      pic.Set(x, y, i);
    }
  }
  return pic;
}

struct WindowColours {
  std::uint8_t frame, shadow, title, titleLight, client, clientShade;
};

// A window: frame, title bar with its buttons, client area, and a shadow
// one pixel to the right and below.
Picture DrawApplication(int side, const WindowColours& c) {
  Picture pic(side);
  const bool small = side < 32;
  const int left = small ? 0 : 1, top = small ? 1 : 3;
  const int right = side - 2, bottom = side - (small ? 3 : 4);
  const int titleBottom = top + (small ? 3 : 5);
  for (int y = top; y <= bottom; ++y) {
    for (int x = left; x <= right; ++x) {
      std::uint8_t i = c.client;
      if (x == left || x == right || y == top || y == bottom)
        i = c.frame;
      else if (y < titleBottom)
        i = (x - left) * 2 < (right - left) ? c.title : c.titleLight;
      else if (y == titleBottom)
        i = c.frame;
      else if (x == left + 1 || y == titleBottom + 1)
        i = c.clientShade;
      pic.Set(x, y, i);
    }
  }
  // Title-bar buttons.
  const int buttons = small ? 1 : 3;
  for (int b = 0; b < buttons; ++b) {
    const int bx = right - 2 - b * 4 - (small ? 1 : 2);
    for (int y = top + (small ? 1 : 2); y < titleBottom - (small ? 0 : 1); ++y)
      for (int x = bx; x < bx + (small ? 2 : 3); ++x) pic.Set(x, y, c.client);
  }
  for (int y = top + 1; y <= bottom + 1; ++y) pic.Set(right + 1, y, c.shadow);
  for (int x = left + 1; x <= right + 1; ++x) pic.Set(x, bottom + 1, c.shadow);
  return pic;
}

void Put16(std::vector<std::uint8_t>& out, unsigned v) {
  out.push_back(static_cast<std::uint8_t>(v & 0xFF));
  out.push_back(static_cast<std::uint8_t>((v >> 8) & 0xFF));
}
void Put32(std::vector<std::uint8_t>& out, std::uint32_t v) {
  Put16(out, v & 0xFFFF);
  Put16(out, v >> 16);
}

// One 8-bit icon image: header, 256-entry palette, colour rows and mask rows,
// both bottom row first.
std::vector<std::uint8_t> EncodeImage(const Picture& pic, const Palette& palette) {
  std::vector<std::uint8_t> out;
  const int side = pic.side;
  const int colourStride = (side + 3) / 4 * 4;
  const int maskStride = (side + 31) / 32 * 4;
  Put32(out, 40);
  Put32(out, static_cast<std::uint32_t>(side));
  Put32(out, static_cast<std::uint32_t>(side * 2));
  Put16(out, 1);
  Put16(out, 8);
  Put32(out, 0);
  Put32(out, static_cast<std::uint32_t>((colourStride + maskStride) * side));
  Put32(out, 0);
  Put32(out, 0);
  Put32(out, 256);
  Put32(out, 0);
  for (int i = 0; i < 256; ++i) {
    Colour c = i < static_cast<int>(palette.entries().size())
                   ? palette.entries()[static_cast<std::size_t>(i)]
                   : Colour{};
    out.push_back(static_cast<std::uint8_t>(c.b));
    out.push_back(static_cast<std::uint8_t>(c.g));
    out.push_back(static_cast<std::uint8_t>(c.r));
    out.push_back(0);
  }
  for (int y = side - 1; y >= 0; --y)
    for (int x = 0; x < colourStride; ++x)
      out.push_back(x < side ? pic.index[static_cast<std::size_t>(y * side + x)] : 0);
  for (int y = side - 1; y >= 0; --y) {
    for (int b = 0; b < maskStride; ++b) {
      std::uint8_t byte = 0;
      for (int j = 0; j < 8; ++j) {
        const int x = b * 8 + j;
        if (x < side && pic.mask[static_cast<std::size_t>(y * side + x)])
          byte |= static_cast<std::uint8_t>(0x80 >> j);
      }
      out.push_back(byte);
    }
  }
  return out;
}

std::vector<std::uint8_t> EncodeIco(const std::vector<Picture>& pictures, const Palette& palette) {
  std::vector<std::vector<std::uint8_t>> images;
  for (const Picture& p : pictures) images.push_back(EncodeImage(p, palette));
  std::vector<std::uint8_t> out;
  Put16(out, 0);
  Put16(out, 1);
  Put16(out, static_cast<unsigned>(images.size()));
  std::uint32_t offset = static_cast<std::uint32_t>(6 + 16 * images.size());
  for (std::size_t i = 0; i < images.size(); ++i) {
    out.push_back(static_cast<std::uint8_t>(pictures[i].side));
    out.push_back(static_cast<std::uint8_t>(pictures[i].side));
    out.push_back(0);  // 256 colours
    out.push_back(0);
    Put16(out, 1);
    Put16(out, 8);
    Put32(out, static_cast<std::uint32_t>(images[i].size()));
    Put32(out, offset);
    offset += static_cast<std::uint32_t>(images[i].size());
  }
  for (const auto& image : images) out.insert(out.end(), image.begin(), image.end());
  return out;
}

std::string CArray(const std::string& name, const std::vector<std::uint8_t>& bytes) {
  std::string out = "constexpr std::uint8_t " + name + "[] = {";
  for (std::size_t i = 0; i < bytes.size(); ++i) {
    if (i % 16 == 0) out += "\n   ";
    char hex[8];
    std::snprintf(hex, sizeof hex, " 0x%02X,", bytes[i]);
    out += hex;
  }
  return out + "\n};\n";
}

bool Write(const std::filesystem::path& path, const std::string& text) {
  std::filesystem::create_directories(path.parent_path());
  std::ofstream out(path, std::ios::binary | std::ios::trunc);
  out.write(text.data(), static_cast<std::streamsize>(text.size()));
  out.close();
  if (!out) std::fprintf(stderr, "make_icon_art: cannot write %s\n", path.string().c_str());
  return static_cast<bool>(out);
}

std::string AsText(const std::vector<std::uint8_t>& b) {
  return std::string(b.begin(), b.end());
}

const char* kGeneratedNote =
    "// Generated by tools/make_icon_art.cpp, which draws this artwork; edit the\n"
    "// generator and run it again instead of editing this file.\n"
    "// clang-format off\n";

}  // namespace

int main(int argc, char** argv) {
  if (argc != 2) {
    std::fprintf(stderr, "usage: make_icon_art <source folder>\n");
    return 2;
  }
  const std::filesystem::path root = argv[1];
  Palette palette;
  const std::uint8_t shadow = palette.Add({96, 96, 96});
  const std::array<Colour, 4> bases = {Colour{244, 200, 66}, Colour{214, 58, 48},
                                       Colour{56, 110, 214}, Colour{64, 168, 72}};
  std::array<FolderShades, 4> shades;
  for (std::size_t i = 0; i < bases.size(); ++i) shades[i] = AddShades(palette, bases[i]);
  WindowColours window{palette.Add({64, 64, 64}),    palette.Add({128, 128, 128}),
                       palette.Add({0, 40, 140}),    palette.Add({60, 120, 220}),
                       palette.Add({255, 255, 255}), palette.Add({200, 200, 200})};

  const std::array<const char*, 4> names = {"yellow", "red", "blue", "green"};
  const std::array<const char*, 4> arrays = {"kYellow", "kRed", "kBlue", "kGreen"};
  std::string folders =
      std::string(kGeneratedNote) +
      "#include \"picker/folder_backgrounds.h\"\n\nnamespace plumage {\nnamespace {\n\n";
  bool ok = true;
  for (std::size_t i = 0; i < names.size(); ++i) {
    auto ico = EncodeIco({DrawFolder(shades[i], shadow)}, palette);
    ok &=
        Write(root / "data" / "icons" / (std::string("folder_") + names[i] + ".ico"), AsText(ico));
    folders += CArray(arrays[i], ico) + "\n";
  }
  folders +=
      "}  // namespace\n\nconst std::array<std::span<const std::uint8_t>, kFolderBackgroundCount> "
      "kFolderBackgroundIcos = {\n    kYellow, kRed, kBlue, kGreen};\n\n}  // namespace plumage\n";
  ok &= Write(root / "src" / "picker" / "folder_backgrounds_data.cpp", folders);

  auto app = EncodeIco({DrawApplication(16, window), DrawApplication(32, window)}, palette);
  ok &= Write(root / "data" / "icons" / "generic_application.ico", AsText(app));
  ok &= Write(root / "src" / "platform" / "portable" / "generic_application_icon_data.cpp",
              std::string(kGeneratedNote) +
                  "#include \"platform/portable/generic_application_icon.h\"\n\nnamespace "
                  "plumage::platform {\n"
                  "namespace {\n\n" +
                  CArray("kIco", app) +
                  "\n}  // namespace\n\nconst std::span<const std::uint8_t> kGenericApplicationIco "
                  "= kIco;\n\n"
                  "}  // namespace plumage::platform\n");
  return ok ? 0 : 1;
}
