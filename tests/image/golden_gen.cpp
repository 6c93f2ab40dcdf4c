// Writes golden/engine.txt from the plain reference: one line per case.
#include <fstream>
#include <iostream>

#include "golden_cases.h"
#include "reference.h"

using namespace plumage::image;
using namespace plumage::image::golden;

namespace {

ref::Picture ToRef(const Picture& p) {
  ref::Picture out(p.w, p.h);
  out.bits = p.bits;
  return out;
}
Picture FromRef(const ref::Picture& p) {
  Picture out(p.width, p.height);
  out.bits = p.bits;
  return out;
}
std::vector<Rgb> FromRef(const std::vector<ref::Colour>& colours) {
  std::vector<Rgb> out;
  for (const auto& c : colours) out.push_back({c.r, c.g, c.b});
  return out;
}
std::vector<ref::Colour> RefPalette(int id) {
  switch (id) {
    case kHalfTone:
      return ref::HalfTone();
    case kWebSafe:
      return ref::WebSafe();
    case kSixteen:
      return ref::SixteenColour();
    case kMono:
      return {{0, 0, 0}, {255, 255, 255}};
    default: {
      std::vector<ref::Colour> out;
      for (const Rgb& c : MadePalette(id)) out.push_back({c.r, c.g, c.b});
      return out;
    }
  }
}

std::string Run(const Case& c) {
  ref::EventLog log;
  std::string line;
  ref::Picture pic = ToRef(MakePicture(c.w, c.h, c.kind, c.Seed()));
  switch (c.op) {
    case Op::kPalette:
      return Field("pal", FromRef(RefPalette(c.palette)));
    case Op::kClosest: {
      std::vector<std::int32_t> found;
      for (const auto& q : Queries(c.palette))
        found.push_back(ref::ClosestIndex(RefPalette(c.palette), q[0], q[1], q[2]));
      return Field("index", found.data(), 4 * found.size());
    }
    case Op::kGrey:
      ref::GrayScale(pic, log);
      return Field("pic", FromRef(pic)) + Field("events", log);
    case Op::kBlackWhite:
    case Op::kApply: {
      const bool self = c.w2 == 0;
      ref::Picture to = self ? ref::Picture() : ToRef(MakePicture(c.w2, c.h2, kNoise, c.Seed() + 1));
      ref::Picture& target = self ? pic : to;
      if (c.op == Op::kBlackWhite)
        ref::BlackAndWhite(pic, target, log);
      else
        ref::ApplyPalette(pic, target, RefPalette(c.palette), c.a != 0, log);
      return Field("to", FromRef(target)) + Field("from", FromRef(pic)) + Field("events", log);
    }
    case Op::kOctree: {
      int messages = 0;
      auto pal = FromRef(ref::CreateOptimal(pic, c.a, c.b, log, messages));
      return Field("pal", pal) + Field("events", log) + " messages=" + std::to_string(messages);
    }
    case Op::kResample: {
      ref::Picture out;
      if (!ref::Resample(pic, c.h2, c.w2, out)) return " none";
      return Field("pic", FromRef(out));
    }
    case Op::kNoise:
      ref::RandomiseBits(pic, c.a != 0, static_cast<std::uint32_t>(c.Seed()));
      return Field("pic", FromRef(pic));
    case Op::kSave: {
      const bool given = c.palette >= 0;
      auto r = ref::Save(pic, given, given ? RefPalette(c.palette) : std::vector<ref::Colour>{},
                         c.a, c.b, log);
      line = r.written ? Field("file", r.file.data(), r.file.size()) : " file=none";
      line += Field("pic", FromRef(pic));
      line += r.hasPalette ? Field("pal", FromRef(r.palette)) : " pal=none";
      return line + Field("events", log);
    }
  }
  return line;
}

}  // namespace

int main(int argc, char** argv) {
  std::ofstream file;
  if (argc > 1) file.open(argv[1], std::ios::binary);
  std::ostream& out = argc > 1 ? file : std::cout;
  for (const Case& c : Cases()) out << c.Name() << ':' << Run(c) << '\n';
  return out.good() ? 0 : 1;
}
