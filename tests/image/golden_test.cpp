// The engine's outputs and progress events for the fixed inputs of
// golden_cases.h, against the hashes in golden/engine.txt (made once from a
// plain, column-by-column implementation of each operation). Run on Linux
// and as the 32-bit Windows build under Wine, whose floating point once
// rounded differently.
//
// After a deliberate change of results: PLUMAGE_GOLDEN_WRITE=<file> writes
// the engine's lines there, to be looked at and committed.
#include <gtest/gtest.h>

#include <cstdlib>
#include <cstring>
#include <fstream>
#include <map>
#include <sstream>

#include "golden_cases.h"
#include "image/colour_reduce.h"
#include "image/dib_section.h"
#include "image/dib_section_save.h"
#include "image/palette.h"
#include "image_test_util.h"
#include "support/temp_dir.h"

namespace plumage::image {
namespace {

using namespace golden;

void Load(cDIBSection& dib, const Picture& p) {
  ASSERT_TRUE(dib.Create(p.w, p.h));
  std::memcpy(dib.DIBSectionBitsPtr(), p.bits.data(), p.bits.size());
}
Picture Of(const cDIBSection& dib) {
  Picture p(dib.Width(), dib.Height());
  std::memcpy(p.bits.data(), dib.DIBSectionBitsPtr(), p.bits.size());
  return p;
}
std::vector<Rgb> Of(const cPalette& pal) {
  std::vector<Rgb> out;
  for (const auto& e : pal.Entries()) out.push_back({e.red, e.green, e.blue});
  return out;
}
void Make(cPalette& pal, int id) {
  switch (id) {
    case kHalfTone:
      return pal.CreateHalfTone();
    case kWebSafe:
      return pal.CreateWebSafe();
    case kSixteen:
      return pal.Create16Colour();
    case kMono:
      return pal.CreateMono();
    default:
      pal.Clear();
      for (const Rgb& c : MadePalette(id)) pal.Add(c.r, c.g, c.b);
  }
}

std::string Outputs(const Case& c) {
  test::EventRecorder events;
  test::RecordingMessages messages;
  test::RecordingDevice files;
  ImageServices services;
  services.messages = &messages;
  services.files = &files;
  cDIBSection pic(services);
  if (c.w > 0) Load(pic, MakePicture(c.w, c.h, c.kind, c.Seed()));
  cPalette pal(services);
  if (c.palette >= 0) Make(pal, c.palette);
  cColourReduceDIB reducer;
  reducer.Events.Subscribe(&events);
  switch (c.op) {
    case Op::kPalette:
      return Field("pal", Of(pal));
    case Op::kClosest: {
      std::vector<std::int32_t> found;
      for (const auto& q : Queries(c.palette)) found.push_back(pal.ClosestIndex(q[0], q[1], q[2]));
      return Field("index", found.data(), 4 * found.size());
    }
    case Op::kGrey:
      reducer.GrayScale(pic);
      return Field("pic", Of(pic)) + Field("events", events.log);
    case Op::kBlackWhite:
    case Op::kApply: {
      cDIBSection to;
      if (c.w2 > 0) Load(to, MakePicture(c.w2, c.h2, kNoise, c.Seed() + 1));
      cDIBSection& target = c.w2 > 0 ? to : pic;
      if (c.op == Op::kBlackWhite)
        reducer.BlackAndWhite(pic, target);
      else
        reducer.ApplyPalette(pic, target, pal, c.a != 0);
      return Field("to", Of(target)) + Field("from", Of(pic)) + Field("events", events.log);
    }
    case Op::kOctree:
      pal.Events.Subscribe(&events);
      EXPECT_TRUE(pal.CreateOptimal(pic, c.a, c.b));
      return Field("pal", Of(pal)) + Field("events", events.log) +
             " messages=" + std::to_string(messages.shown.size());
    case Op::kResample: {
      auto out = pic.Resample(c.h2, c.w2);
      return out ? Field("pic", Of(*out)) : " none";
    }
    case Op::kNoise:
      pic.RandomiseBits(c.a != 0, static_cast<std::uint32_t>(c.Seed()));
      return Field("pic", Of(pic));
    case Op::kSave: {
      std::unique_ptr<cPalette> given;
      if (c.palette >= 0) given = std::make_unique<cPalette>(pal);
      cDIBSectionSave saver(services);
      saver.Events.Subscribe(&events);
      const bool written = saver.Save("out.bmp", pic, given, c.a, c.b);
      EXPECT_EQ(written, files.commits == 1) << c.Name();
      return (written ? Field("file", files.bytes.data(), files.bytes.size()) : " file=none") +
             Field("pic", Of(pic)) + (given ? Field("pal", Of(*given)) : " pal=none") +
             Field("events", events.log);
    }
  }
  return {};
}

TEST(ImageGolden, EveryOperationGivesItsGoldenBytesAndEvents) {
  std::map<std::string, std::string> golden;
  std::istringstream text(
      plumage::test::ReadFile(std::string(PLUMAGE_SOURCE_DIR) + "/tests/image/golden/engine.txt"));
  for (std::string line; std::getline(text, line);)
    golden[line.substr(0, line.find(':'))] = line.substr(line.find(':') + 1);
  const std::vector<Case> cases = Cases();
  ASSERT_EQ(golden.size(), cases.size()) << "a case without a golden line, or names not unique";
  std::ofstream write;
  if (const char* path = std::getenv("PLUMAGE_GOLDEN_WRITE")) write.open(path, std::ios::binary);
  int failures = 0;
  for (const Case& c : cases) {
    const std::string name = c.Name(), got = Outputs(c);
    if (write.is_open()) write << name << ':' << got << '\n';
    if (got != golden[name] && ++failures <= 20)
      ADD_FAILURE() << name << "\n  golden:" << golden[name] << "\n  engine:" << got;
  }
  EXPECT_EQ(failures, 0) << "cases differ";
}

}  // namespace
}  // namespace plumage::image
