// Binary palette records on any bytes, at the start and at a position the
// first byte chooses: a record is refused or gives 1 to 4097 colours, moves
// the position past it, and survives a trip through the JASC text.
#include <cstdint>
#include <cstdlib>
#include <span>

#include "image/palette.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  using plumage::image::cPalette;
  std::span<const std::uint8_t> bytes(data, size);
  for (std::int32_t start : {0, size > 0 ? static_cast<std::int32_t>(data[0]) : 0}) {
    cPalette pal;
    pal.CreateMono();
    std::int32_t position = start;
    const bool loaded = pal.LoadFromBytes(bytes, position);
    if (!loaded) {
      if (position != start && !(start < 1 && position == 0)) std::abort();
      continue;
    }
    if (pal.Count() < 1 || pal.Count() > cPalette::kMaxFileCount) std::abort();
    if (position != (start < 1 ? 0 : start) + 4 + 4 * pal.Count()) std::abort();
    cPalette text;
    text.LoadFromJASCText(pal.JASCText());
    if (text.Count() != pal.Count()) std::abort();
    for (std::int32_t i = 1; i <= pal.Count(); ++i) {
      if (text.Red(i) != pal.Red(i) || text.Green(i) != pal.Green(i) || text.Blue(i) != pal.Blue(i))
        std::abort();
      // Every colour of the palette finds itself or an earlier equal entry.
      std::int32_t found = pal.ClosestIndex(pal.Red(i), pal.Green(i), pal.Blue(i));
      if (found < 1 || found > i || pal.Red(found) != pal.Red(i)) std::abort();
    }
  }
  return 0;
}
