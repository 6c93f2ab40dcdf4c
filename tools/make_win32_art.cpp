// Writes the pictures the Qt front end draws (ui/qt/artwork, about_logo) as
// the files that plumage.exe's resource script compiles in, so that both
// front ends show the same pixels:
//   src/ui/win32/art/image1.bmp     Image1, 59 × 41
//   src/ui/win32/art/picture3.bmp   Picture3, 80 × 20
//   src/ui/win32/art/logo.bmp       the about box's logo, 150 × 104
//   src/ui/win32/art/plumage.ico    the window icon, 16, 32 and 48 pixels
// The bitmaps are 32-bit with their alpha (the Windows front end lays them
// over the window's face colour); the icon's images are 32-bit with an AND
// mask from the alpha.
//
// Usage: make_win32_art <source folder> (run with QT_QPA_PLATFORM=offscreen).
// The test "Win32 art is the generator's output" rebuilds them into a
// temporary folder and compares them with what is committed.
#include <QGuiApplication>
#include <QImage>
#include <QPixmap>
#include <cstdint>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

#include "ui/qt/about_logo.h"
#include "ui/qt/artwork.h"

namespace {

using Bytes = std::vector<std::uint8_t>;

void Put16(Bytes& b, unsigned v) {
  b.push_back(static_cast<std::uint8_t>(v & 0xFF));
  b.push_back(static_cast<std::uint8_t>((v >> 8) & 0xFF));
}
void Put32(Bytes& b, std::uint32_t v) {
  Put16(b, v & 0xFFFF);
  Put16(b, v >> 16);
}

// BITMAPINFOHEADER for a 32-bit, bottom-up picture; `heightField` is the
// height the header states (twice the picture's inside an icon).
void PutInfoHeader(Bytes& b, int width, int heightField, std::uint32_t imageBytes) {
  Put32(b, 40);
  Put32(b, static_cast<std::uint32_t>(width));
  Put32(b, static_cast<std::uint32_t>(heightField));
  Put16(b, 1);
  Put16(b, 32);
  Put32(b, 0);  // BI_RGB
  Put32(b, imageBytes);
  Put32(b, 0);
  Put32(b, 0);
  Put32(b, 0);
  Put32(b, 0);
}

// Blue, green, red, alpha (not premultiplied), bottom row first.
void PutPixels(Bytes& b, const QImage& argb) {
  for (int y = argb.height() - 1; y >= 0; --y)
    for (int x = 0; x < argb.width(); ++x) {
      const QRgb c = argb.pixel(x, y);
      b.push_back(static_cast<std::uint8_t>(qBlue(c)));
      b.push_back(static_cast<std::uint8_t>(qGreen(c)));
      b.push_back(static_cast<std::uint8_t>(qRed(c)));
      b.push_back(static_cast<std::uint8_t>(qAlpha(c)));
    }
}

Bytes BitmapFile(const QImage& image) {
  const QImage argb = image.convertToFormat(QImage::Format_ARGB32);
  const auto pixelBytes = static_cast<std::uint32_t>(argb.width() * argb.height() * 4);
  Bytes b;
  Put16(b, 0x4D42);  // "BM"
  Put32(b, 14 + 40 + pixelBytes);
  Put32(b, 0);
  Put32(b, 14 + 40);
  PutInfoHeader(b, argb.width(), argb.height(), pixelBytes);
  PutPixels(b, argb);
  return b;
}

Bytes IconFile(const std::vector<QImage>& images) {
  std::vector<Bytes> bodies;
  for (const QImage& image : images) {
    const QImage argb = image.convertToFormat(QImage::Format_ARGB32);
    const int side = argb.width();
    const int maskStride = ((side + 31) / 32) * 4;
    Bytes body;
    PutInfoHeader(body, side, side * 2,
                  static_cast<std::uint32_t>(side * side * 4 + maskStride * side));
    PutPixels(body, argb);
    // The AND mask: set where the picture is fully transparent, for the
    // systems that draw through the mask.
    for (int y = side - 1; y >= 0; --y) {
      Bytes row(static_cast<std::size_t>(maskStride), 0);
      for (int x = 0; x < side; ++x)
        if (qAlpha(argb.pixel(x, y)) == 0)
          row[static_cast<std::size_t>(x / 8)] |= static_cast<std::uint8_t>(0x80 >> (x % 8));
      body.insert(body.end(), row.begin(), row.end());
    }
    bodies.push_back(std::move(body));
  }
  Bytes b;
  Put16(b, 0);
  Put16(b, 1);  // icon
  Put16(b, static_cast<unsigned>(images.size()));
  std::uint32_t offset = 6 + 16 * static_cast<std::uint32_t>(images.size());
  for (std::size_t i = 0; i < images.size(); ++i) {
    const int side = images[i].width();
    b.push_back(static_cast<std::uint8_t>(side));
    b.push_back(static_cast<std::uint8_t>(side));
    b.push_back(0);  // no colour table
    b.push_back(0);
    Put16(b, 1);
    Put16(b, 32);
    Put32(b, static_cast<std::uint32_t>(bodies[i].size()));
    Put32(b, offset);
    offset += static_cast<std::uint32_t>(bodies[i].size());
  }
  for (const Bytes& body : bodies) b.insert(b.end(), body.begin(), body.end());
  return b;
}

bool Write(const std::filesystem::path& path, const Bytes& bytes) {
  std::ofstream out(path, std::ios::binary | std::ios::trunc);
  out.write(reinterpret_cast<const char*>(bytes.data()),
            static_cast<std::streamsize>(bytes.size()));
  out.close();
  if (!out) {
    std::fprintf(stderr, "make_win32_art: cannot write %s\n", path.string().c_str());
    return false;
  }
  return true;
}

}  // namespace

int main(int argc, char** argv) {
  if (argc != 2) {
    std::fprintf(stderr, "usage: make_win32_art <source folder>\n");
    return 2;
  }
  QGuiApplication app(argc, argv);
  namespace qt = plumage::qt;
  const std::filesystem::path art = std::filesystem::path(argv[1]) / "src/ui/win32/art";
  std::error_code ec;
  std::filesystem::create_directories(art, ec);
  std::vector<QImage> iconImages;
  const QIcon icon = qt::ProgramIcon();
  for (int side : {16, 32, 48}) iconImages.push_back(icon.pixmap(side, side).toImage());
  const bool ok = Write(art / "image1.bmp", BitmapFile(qt::Image1Art().toImage())) &&
                  Write(art / "picture3.bmp", BitmapFile(qt::Picture3Art().toImage())) &&
                  Write(art / "logo.bmp", BitmapFile(qt::DrawPlumageLogo())) &&
                  Write(art / "plumage.ico", IconFile(iconImages));
  return ok ? 0 : 1;
}
