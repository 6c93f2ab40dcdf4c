// The golden dump of the icon code: what the readers, the choice of image,
// the drawing, the icon source and the folder drawing make of a fixed set of
// files, as one text compared with golden/icons.txt. The files are the real
// Windows files of the tests (mingw-w64), files from our own writer, and the
// same damaged as broken or hostile files are (cases/). Each line says what the
// program answered: icons, images, decoded pixels and drawings as hashes, or
// the error with its kind and message. The Windows build, under Wine, gives
// the very same text.
//
// After a change of behaviour that is meant, write the golden anew and read
// its diff before committing it:
//   PLUMAGE_UPDATE_GOLDEN=1 build/default/tests/icons/test_icons --gtest_filter='IconGolden.*'
#include <gtest/gtest.h>

#include <algorithm>
#include <cctype>
#include <cstdlib>
#include <map>
#include <sstream>

#include "iconmaker/folder_mask.h"
#include "picker/compose_drawing.h"
#include "platform/portable/file_icon_source.h"
#include "platform/portable/generic_application_icon.h"
#include "formats/icons/ico_writer.h"
#include "platform/portable/icon_builder.h"
#include "support/temp_dir.h"
#include "test_icon_set.h"

namespace plumage::test {
namespace {

using namespace platform;
using namespace formats;

template <typename... T>
std::string Cat(const T&... values) {
  std::ostringstream s;
  (s << ... << values);
  return s.str();
}
// FNV-1a as 8 hex digits: enough to tell any two results here apart.
std::string HashOf(std::span<const std::uint8_t> bytes) {
  std::uint32_t h = 2166136261u;
  for (std::uint8_t b : bytes) h = (h ^ b) * 16777619u;
  char text[10];
  std::snprintf(text, sizeof text, "#%08x", h);
  return text;
}
std::string Pixels(const IconBitmap& b) {
  Bytes all;
  Put16(all, {std::uint32_t(b.width), std::uint32_t(b.height), b.hasAlpha});
  for (const Rgba& c : b.color) all.insert(all.end(), {c.r, c.g, c.b, c.a});
  all.insert(all.end(), b.mask.begin(), b.mask.end());
  return Cat(b.width, "x", b.height, b.hasAlpha ? " alpha " : " ", HashOf(all));
}
std::string Text(const Error& e) {
  static const char* kKinds[] = {"truncated", "invalid", "unsupported", "not found", "i/o"};
  return Cat("error (", kKinds[int(e.kind)], "): ", e.message);
}
std::string Text(const Result<IconImageInfo>& i) {
  return i ? Cat(i->width, "x", i->height, " ", i->bitsPerPixel, " bpp", i->png ? " png" : "")
           : Text(i.error());
}
std::string Text(const IconHandle& h) {
  const IconOrigin& o = h.origin();
  if (!h.IsIcon())
    return (h.status() == IconStatus::None ? "no icon: " : "marker 1: ") + h.reason();
  return Cat(o.resource, o.resource.empty() ? "" : " ", "image ", o.imageIndex + 1, " of ",
             o.imageCount, " (", o.width, "x", o.height, " ", o.bitsPerPixel, " bpp",
             o.png ? " png" : "", o.generic ? " generic" : "", ") ", Pixels(h.bitmap()));
}

// libpng on Linux, WIC under Wine: their words differ and stay out of the
// text. The dump counts the decoder's calls, and can make it lie.
struct Codec : IPngCodec {
  Result<RgbaImage> Decode(std::span<const std::uint8_t> bytes) override {
    ++calls;
    if (lie) return RgbaImage{5, 5, std::vector<std::uint8_t>(100, 0)};
    auto image = real.Decode(bytes);
    return image ? image : Result<RgbaImage>(MakeError(ErrorKind::Invalid, "PNG: refused"));
  }
  Result<std::vector<std::uint8_t>> Encode(const RgbaImage& i) override { return real.Encode(i); }
  int calls = 0;
  bool lie = false;
  LibPngCodec real;
};

struct Dump {
  std::ostringstream out;
  Codec codec;
  FileIconSource source{codec};

  // An image alone: its header, then its pixels.
  void Image(const std::string& what, const Bytes& bytes, bool decode = true) {
    codec.calls = 0;
    auto bitmap = DecodeIconImage(bytes, codec);
    out << what << ": " << Text(PeekIconImage(bytes));
    if (decode) out << " -> " << (bitmap ? Pixels(*bitmap) : Text(bitmap.error()));
    out << (decode && codec.calls ? ", by the PNG decoder\n" : "\n");
  }
  // A file: its kind, then each icon with its images (their bytes unless
  // `bytesShown` is false; PNG bytes differ between encoders), the icon at
  // 32, at 16 and at its largest, their drawings, the icon written as .ico.
  std::string File(const Bytes& bytes, bool bytesShown = true) {
    static const char* kKinds[] = {"ico", "pe", "ne", "other executable", "no icon file"};
    auto file = ParseIconFile(bytes);
    if (!file) return Text(file.error()) + "\n";
    std::string text =
        Cat(kKinds[int(file->kind)], " ", file->format, ", ", file->groups.size(), " icons\n");
    for (const IconGroup& g : file->groups) {
      text += Cat("icon '", g.name, "' id ", g.id, ", ", g.entryCount, " listed\n");
      for (const std::string& p : g.problems) text += "  problem: " + p + "\n";
      if (g.moreProblems) text += Cat("  and ", g.moreProblems, " problems more\n");
      std::vector<std::string> lines;
      for (const IconImageRef& image : g.images) {
        auto info = PeekIconImage(image.bytes);
        lines.push_back(Text(info));
        if (bytesShown && (!info || !info->png))
          lines.back() += Cat(", ", image.bytes.size(), " bytes ", HashOf(image.bytes));
      }
      for (std::size_t i = 0, j = 0; i < lines.size(); i = j) {  // a run of the same as one line
        while (j < lines.size() && lines[j] == lines[i]) ++j;
        text += Cat("  image ", g.images[i].entry + 1,
                    j > i + 1 ? Cat(" to ", g.images[j - 1].entry + 1) : "", ": ", lines[i], "\n");
      }
      const IconHandle big = BuildIcon(g, 32, codec), small = BuildIcon(g, 16, codec),
                       largest = BuildIcon(g, kNaturalSize, codec);
      text +=
          Cat("  at 32: ", Text(big), "\n  at 16: ", Text(small), "\n  largest: ", Text(largest),
              "\n  drawn ", Drawn(big, small, largest), ", written ", Written(g), "\n");
    }
    return text;
  }
  // On a background that shows transparency, inversion and blending: the
  // icon, the composed 19 × 19, the small icon cut at the left and bottom,
  // the largest image stretched to 32 and cut at the right and top.
  std::string Drawn(const IconHandle& big, const IconHandle& small, const IconHandle& largest) {
    Surface24 s(96, 48);
    for (int y = 0; y < 48; ++y)
      for (int x = 0; x < 96; ++x)
        s.Set(x, y, {std::uint8_t(x * 5), std::uint8_t(y * 5), std::uint8_t(x * y)});
    source.DrawIcon(s, 4, 4, big);
    source.DrawIconEx(s, 40, 7, big, 19, 19);
    source.DrawSmallIcon(s, -5, 40, small);
    source.DrawIconEx(s, 80, -6, largest, 32, 32);
    return HashOf({s.bits(), s.size_bytes()});
  }
  // The header and the entries' sides, colours, planes and depths, and that
  // the file holds every image that could be read, in order.
  static std::string Written(const IconGroup& g) {
    auto ico = WriteIcoFile(g);
    if (!ico) return Text(ico.error());
    const Bytes bytes(ico->begin(), ico->end());
    Bytes fields(bytes.begin(), bytes.begin() + 6);
    for (std::size_t at = 6;
         at + 16 <= bytes.size() && at < 6 + 16 * std::size_t(bytes[4] | bytes[5] << 8); at += 16)
      fields.insert(fields.end(), &bytes[at], &bytes[at + 8]);
    std::string kept, back;
    for (const IconImageRef& image : g.images)
      kept += PeekIconImage(image.bytes) ? HashOf(image.bytes) : "";
    auto file = ReadIcoFile(bytes);
    for (const IconImageRef& image : file ? file->groups[0].images : std::vector<IconImageRef>{})
      back += HashOf(image.bytes);
    return HashOf(fields) + (kept == back ? ", read back whole" : ", READ BACK OTHERWISE");
  }
  // A file, or that it gives what `same` gives when bytes are not shown.
  void Section(const std::string& what, const Bytes& bytes, const Bytes& same = {}) {
    const std::string text = File(bytes), kind = text.substr(0, text.find('\n'));
    const std::string a = File(bytes, false), b = same.empty() ? "" : File(same, false);
    const bool alike = !b.empty() && a.substr(a.find('\n')) == b.substr(b.find('\n'));
    out << "== " << what << ": " << (alike ? kind + ", the same icons\n" : text);
  }
};

// The real Windows files the build makes (pe_test_files.cmake), the cases.
const std::string kPe = PLUMAGE_TEST_PE_DIR;
const std::string kCases = std::string(PLUMAGE_SOURCE_DIR) + "/tests/icons/cases/";

Bytes ReadBytes(const std::string& path) {
  const std::string s = ReadFile(path);
  return Bytes(s.begin(), s.end());
}
std::size_t Find(const Bytes& in, const Bytes& what) {
  return std::size_t(std::search(in.begin(), in.end(), what.begin(), what.end()) - in.begin());
}

// The lines of a file of cases/, its comments left out.
std::vector<std::string> CaseLines(const std::string& name) {
  std::istringstream in(ReadFile(kCases + name));
  std::vector<std::string> lines;
  for (std::string line; std::getline(in, line);)
    if (!line.empty() && line[0] != '#') lines.push_back(line);
  return lines;
}

// A file of `files` with the edits of a case line "<what> | <file>
// <edit>...", each edit "<place>:cut" or
// "<place>:<n>=<value>" (or "|=" to set bits); a place a number, or a name
// of `places` (E: the end of the file) and an offset.
Bytes Damaged(const std::string& line, const std::map<std::string, Bytes>& files,
              const std::map<std::string, std::size_t>& places) {
  std::istringstream in(line.substr(line.find(" | ") + 3));
  std::string name, edit;
  in >> name;
  Bytes b = files.at(name);
  while (in >> edit) {
    const std::string place = edit.substr(0, edit.find(':')), what = edit.substr(place.size() + 1);
    const std::size_t sign = std::isdigit(static_cast<unsigned char>(place[0]))
                                 ? 0
                                 : std::min(place.find_first_of("+-"), place.size());
    const std::string base = place.substr(0, sign), offset = place.substr(sign);
    std::size_t at = base.empty() ? 0 : base == "E" ? b.size() : places.at(base);
    if (!offset.empty()) at += std::size_t(std::stol(offset, nullptr, 0));
    if (what == "cut") {
      b.resize(at);
      continue;
    }
    const bool bits = what[1] == '|';
    const std::uint32_t value = std::uint32_t(std::stoull(what.substr(bits ? 3 : 2), nullptr, 0));
    PutAt(b, at, bits ? value | GetAt32(b, at) : value, std::size_t(what[0] - '0'));
  }
  return b;
}

TEST(IconGolden, EveryAnswerIsTheRecordedOne) {
  Dump d;
  // The real Windows files, the program's own art.
  for (const char* name : {"icons40_32.dll", "icons40_64.dll", "app.exe", "noicons.exe", "app.ico"})
    d.Section(name, ReadBytes(kPe + "/" + name),
              std::string_view(name) == "icons40_64.dll" ? ReadBytes(kPe + "/icons40_32.dll")
                                                         : Bytes{});
  for (int i = 0; i < kFolderBackgroundCount; ++i)
    d.Section(Cat("folder background ", i), Bytes(kFolderBackgroundIcos[std::size_t(i)].begin(),
                                                  kFolderBackgroundIcos[std::size_t(i)].end()));
  d.Section("generic application icon",
            Bytes(kGenericApplicationIco.begin(), kGenericApplicationIco.end()));
  d.out << "folder mask, bottom row first:\n";
  for (int row = 0; row < 32; ++row)
    d.out << FolderMaskTemplate().substr(std::size_t(row) * 32, 32) << "\n";

  // Our writer's: twelve icons in no sorted order, named (one in
  // Windows-1252, one longer than names are shown) and numbered, in an icon
  // library at every alignment, one that ends where its last image ends (its
  // length counts whole units, so it reaches past the end), and PE files.
  std::vector<GroupDef> twelve;
  const char* names[] = {"FOLDER", "", "DISK", "", "", "\xC9T\xC9", "", "APPLE", "", "", "", ""};
  for (int k = 0; k < 12; ++k)
    twelve.push_back(
        {k == 10 ? std::string(130, 'L') : names[k],
         std::uint16_t(100 - k * 7),
         {EncodeTestImage(k, {16, 4}),
          EncodeTestImage(k, {32, std::vector{1, 4, 8, 24, 32}[k % 5], k == 7, k == 9})}});
  d.Section("twelve.icl", WriteNe(twelve, 4));
  for (unsigned shift : {0u, 1u, 9u, 12u, 15u})
    d.Section(Cat("twelve.icl, shift ", shift), WriteNe(twelve, shift), WriteNe(twelve));
  Bytes cut = WriteNe(twelve, 9);
  cut.resize(Find(cut, twelve.back().images.back()) + twelve.back().images.back().size());
  d.Section("twelve.icl, shift 9, ending with its last image", cut, WriteNe(twelve));
  d.Section("twelve.dll", WritePe(twelve));
  d.Section("twelve.dll, 64-bit", WritePe(twelve, true), WritePe(twelve));

  // Damage to sound files (cases/damage.txt).
  const Bytes pe = WritePe({{"", 10, {EncodeTestImage(1, {32, 8})}},
                            {"", 20, {EncodeTestImage(2, {16, 4}), EncodeTestImage(2, {32, 24})}}});
  const Bytes ne =
      WriteNe({{"ONE", 0, {EncodeTestImage(1, {32, 8})}}, {"", 2, {EncodeTestImage(2, {32, 4})}}});
  const std::vector<Bytes> three = {EncodeTestImage(1, {16, 8}), EncodeTestImage(2, {32, 8}),
                                    EncodeTestImage(3, {32, 4})};
  const Bytes ico = WriteIco(three), wide = WritePe({{"WIDE", 0, {three[1]}}});
  const std::size_t R = kPeResources;
  const std::map<std::string, std::size_t> places = {
      {"P", kPeHeader},
      {"O", kPeHeader + 24},
      {"S", kPeHeader + 24 + 224},
      {"R", R},
      {"G10", R + GetAt32(pe, R + 272) - kPeResourceRva},
      {"G20", R + GetAt32(pe, R + 288) - kPeResourceRva},
      {"I", R + GetAt32(pe, R + 224) - kPeResourceRva},
      {"N", Find(wide, {'W', 0, 'I', 0})},
      {"H", kNeHeader},
      {"T", kNeResourceTable},
      {"L", Find(ne, EncodeTestImage(2, {32, 4}))}};
  const std::map<std::string, Bytes> files = {{"pe", pe}, {"wide", wide}, {"ne", ne}, {"ico", ico}};
  for (const std::string& line : CaseLines("damage.txt"))
    d.Section(line.substr(0, line.find(" | ")), Damaged(line, files, places));
  Bytes claims24 = three[1], zeros = ico, lost = WriteIco(std::vector<Bytes>(300, three[0]));
  PutAt(claims24, 14, 24, 2);  // its colour bits now run past its end
  PutAt(zeros, 18, 0xFFFFFFF0u);
  std::fill(zeros.begin() + GetAt32(ico, 34), zeros.end(), 0);
  for (std::size_t i = 0; i < 300; ++i) PutAt(lost, 18 + 16 * i, 0xFFFFFF00u);
  std::vector<Bytes> many(299, EncodeTestImage(1, {16, 1}));
  many.push_back(three[1]);
  for (const auto& [what, bytes] : std::initializer_list<std::pair<const char*, Bytes>>{
           {"ico: an offset past the end, then images of zeros", zeros},
           {"ico: the best image claims 24 bits", WriteIco({three[0], claims24, three[2]})},
           {"ico: 3 damaged images of the size",
            WriteIco({claims24, claims24, claims24, three[0]})},
           {"ico: 4 damaged images of the size",
            WriteIco({claims24, claims24, claims24, claims24, three[0]})},
           {"ico: 300 images, the one of the size last", WriteIco(many)},
           {"ico: 300 images past the end", lost},
           {"ico: an image of 32 x 16", WriteIco({RandomDib(32, 16, 8, false, 5)})},
           {"ico: an image of 1 x 1", WriteIco({RandomDib(1, 1, 24, false, 6)})},
           {"ico: a PNG of 256 x 256", WriteIco({EncodeTestImage(9, {256, 32, true})})},
           {"a bitmap", {'B', 'M', 0x3E, 0, 0, 0}}})
    d.Section(what, bytes);

  // Images alone: every depth at odd sizes; colour tables of every length,
  // PNG images, masks missing, headers damaged (cases/images.txt).
  d.out << "== images\n";
  unsigned seed = 0;
  for (int bpp : {1, 4, 8, 24, 32, 33})  // 33: 32 with alpha
    for (int w : {1, 7, 31, 33})
      for (int h : {1, 17})
        d.Image(Cat("dib ", bpp, " bpp ", w, "x", h),
                RandomDib(w, h, std::min(bpp, 32), bpp == 33, ++seed));
  std::map<std::string, Bytes> images;
  for (const auto& e : std::filesystem::directory_iterator(kCases + "images"))
    images[e.path().filename().string()] = ReadBytes(e.path().string());
  for (const std::string& line : CaseLines("images.txt")) {
    const bool peek = line.ends_with(" peek");
    d.Image(line.substr(0, line.find(" | ")),
            Damaged(line.substr(0, line.size() - (peek ? 5 : 0)), images, {}), !peek);
  }
  d.codec.lie = true;
  d.Image("png, a decoder that disagrees", images["png.png"]);
  d.codec.lie = false;

  // The icon source and the folder drawing, on files in a folder of their
  // own; the text names them <dir>/ and <pe>/.
  TempDir dir;
  auto said = [&](std::string text) {
    for (const std::string& path : {dir.str(), kPe})
      for (std::size_t at; (at = text.find(path)) != std::string::npos;)
        text.replace(at, path.size(), path == kPe ? "<pe>" : "<dir>");
    std::replace(text.begin(), text.end(), '\\', '/');
    return text;
  };
  const Bytes one = WriteIco({EncodeTestImage(3, {16, 8}), EncodeTestImage(3, {32, 4})});
  for (const auto& [name, bytes] : std::initializer_list<std::pair<const char*, Bytes>>{
           {"one.ico", one},
           {"notes.txt", {'h', 'i'}},
           {"tool.EXE", {'M', 'Z', '!'}},
           {"readme.exe", {'h', 'i'}},
           {"broken.ico", Bytes(one.begin(), one.begin() + 30)},
           {"huge.dll", {'M', 'Z'}},
           {"star.ico", WriteIco({EncodeTestImage(5, {32, 24}), EncodeTestImage(5, {16, 8})})},
           {"three.icl", WriteNe({{"", 1, {EncodeTestImage(10, {32, 8})}},
                                  {"", 2, {EncodeTestImage(11, {32, 8})}},
                                  {"", 3, {EncodeTestImage(12, {32, 8})}}})}})
    WriteFile(dir / name, std::string(bytes.begin(), bytes.end()));
  std::filesystem::resize_file(dir / "huge.dll", kMaxIconSourceBytes + 1);  // sparse: costs no disk
  auto path = [&](const std::string& name) {
    return name == "."      ? dir.str()
           : name[0] == '<' ? kPe + name.substr(4)
                            : (dir / name).string();
  };
  // A listing reads a file once; another file in between, or a change of the
  // file (fewer icons; the same size at a new time) has it read again.
  auto listed = [&](const std::string& name) {
    const int before = d.source.filesParsed();
    int n = 0;
    while (d.source.ExtractIcon(path(name), n).IsIcon()) ++n;
    return Cat(n, " icons, read ", d.source.filesParsed() - before, " times");
  };
  FolderPictures folders(d.source);
  d.out << "== the icon source\n";
  for (const std::string& line : CaseLines("source.txt")) {
    std::istringstream in(line);
    std::string call, name;
    in >> call >> name;
    std::vector<int> n;
    for (int v; in >> v;) n.push_back(v);
    n.resize(4);
    std::string answer;
    if (call == "ExtractIcon") {
      answer = Text(d.source.ExtractIcon(path(name), n[0]));
    } else if (call == "SmallShellIcon") {
      answer = Text(d.source.SmallShellIcon(path(name)));
    } else if (call == "ExtractIconAtSize") {
      answer = Text(d.source.ExtractIconAtSize(path(name), n[0], n[1]));
    } else if (call == "ExtractLargestIcon") {
      answer = Text(d.source.ExtractLargestIcon(path(name), n[0]));
    } else if (call == "listing") {
      answer = listed(name);
    } else if (call == "compose") {
      auto picture = ComposeFolderDrawing(d.source, folders, std::int16_t(n[1]), std::int16_t(n[2]),
                                          path(name), std::int16_t(n[0]), n[3]);
      answer = picture ? HashOf({picture->bits(), picture->size_bytes()}) : Text(picture.error());
    } else {
      ADD_FAILURE() << "not a call: " << line;
    }
    d.out << line << ": " << said(answer) << "\n";
  }
  Bytes reserved = one;
  PutAt(reserved, 0, 0x10001);
  d.out << "LoadIconResource one.ico 16: " << Text(d.source.LoadIconResource(one, 16))
        << "\nLoadIconResource one.ico, reserved 1: "
        << Text(d.source.LoadIconResource(reserved, 32))
        << "\nLoadIconResource 7 bytes: "
        << Text(d.source.LoadIconResource(Bytes{1, 2, 3, 4, 5, 6, 7}, 32)) << "\n";
  for (const char* name : {"C:\\Games\\chess.exe", "/apps/Chess.EXE", "folder.Ico", "shell32.dll",
                           "icons.icl", "notanexe", "ico", "co", "", "caf\xC3\xA9.ICO", "a.exe "})
    d.out << "UsesShellIcon '" << name << "' 0, 1: " << UsesShellIcon(name, 0)
          << UsesShellIcon(name, 1) << "\n";
  for (int version : {0, 1, 2}) {  // 3 icons; 2; 2 others, the same size at a later time
    std::vector<GroupDef> groups;
    for (int k = 0; k < (version ? 2 : 3); ++k)
      groups.push_back(
          {"", std::uint16_t(k + 1), {EncodeTestImage(13 + 3 * version + k, {32, 8})}});
    const Bytes icl = WriteNe(groups);
    WriteFile(dir / "changing.icl", std::string(icl.begin(), icl.end()));
    std::filesystem::last_write_time(
        dir / "changing.icl",
        std::filesystem::file_time_type::clock::now() + std::chrono::seconds(5 * version));
    d.out << "listing changing.icl: " << listed("changing.icl") << "\n";
  }
  d.out << "changing.icl 0: " << Text(d.source.ExtractIcon(path("changing.icl"), 0)) << "\n";

  const std::string golden = std::string(PLUMAGE_SOURCE_DIR) + "/tests/icons/golden/icons.txt";
  if (std::getenv("PLUMAGE_UPDATE_GOLDEN")) {
    WriteFile(golden, d.out.str());
    GTEST_SKIP() << "wrote " << golden;
  }
  // The first lines that differ, rather than two texts of thousands of lines.
  std::istringstream is(d.out.str()), was(ReadFile(golden));
  int differences = 0;
  for (int line = 1; is || was; ++line) {
    std::string a, b;
    std::getline(is, a);
    std::getline(was, b);
    if (a != b && ++differences <= 12)
      ADD_FAILURE() << "line " << line << "\n  is: " << a << "\n was: " << b;
  }
  EXPECT_EQ(differences, 0) << "see the top of " << __FILE__ << " to write the golden anew";
}

}  // namespace
}  // namespace plumage::test
