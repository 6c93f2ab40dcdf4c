// JASC palette text on any bytes: it loads, or fails with a type mismatch or
// an overflow keeping what came before; what loads writes back to text that
// loads the same colours.
#include <cstdint>
#include <cstdlib>
#include <string_view>

#include "image/palette.h"
#include "image/run_time_error.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  using namespace plumage::image;
  std::string_view text(reinterpret_cast<const char*>(data), size);
  cPalette pal;
  try {
    pal.LoadFromJASCText(text);
  } catch (const RunTimeError& e) {
    if (e.Number() != errors::kTypeMismatch && e.Number() != errors::kOverflow) std::abort();
    if (pal.Count() < 1) std::abort();  // the entry being filled is there
  }
  cPalette again;
  again.LoadFromJASCText(pal.JASCText());
  if (again.Count() != pal.Count()) std::abort();
  for (std::int32_t i = 1; i <= pal.Count(); ++i)
    if (again.Red(i) != pal.Red(i) || again.Green(i) != pal.Green(i) ||
        again.Blue(i) != pal.Blue(i))
      std::abort();
  return 0;
}
