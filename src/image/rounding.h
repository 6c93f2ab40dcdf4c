// Bringing a computed value to a whole number the way the engine's results
// are defined: to the nearest, ties to the even neighbour.
#pragma once

#include <cmath>
#include <cstdint>

namespace plumage::image {

// Round to nearest, ties to even. std::nearbyint follows the rounding mode,
// and the program never leaves the default one (to nearest, ties to even).
inline double RoundHalfEven(double v) {
  return std::nearbyint(v);
}

// The same, for values known to lie well inside the 32-bit range.
inline std::int32_t RoundHalfEvenToInt(double v) {
  return static_cast<std::int32_t>(std::nearbyint(v));
}

// Clamps a channel value into a byte.
inline std::uint8_t ClampByte(std::int32_t v) {
  return static_cast<std::uint8_t>(v < 0 ? 0 : (v > 255 ? 255 : v));
}

}  // namespace plumage::image
