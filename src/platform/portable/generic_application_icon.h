// The icon the shell shows for an application that carries none of its own:
// our own artwork, an .ico file with a 16 × 16 and a 32 × 32 image, made by
// tools/make_icon_art.cpp (generic_application_icon_data.cpp is its output).
#pragma once

#include <cstdint>
#include <span>

namespace plumage::platform {

extern const std::span<const std::uint8_t> kGenericApplicationIco;

}  // namespace plumage::platform
