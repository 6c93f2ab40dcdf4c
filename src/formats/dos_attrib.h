// The DOS attributes that Linux file systems keep in the extended attribute
// user.DOSATTRIB, read and written as Wine and Samba do.
//
// Two forms exist. Wine writes the text "0x" and the attributes in lower-case
// hex, without a NUL ("0x6"); Samba 3 wrote the same text and every Samba
// reads it. Samba 4 writes a binary (NDR) record instead: a NUL-terminated
// text (the hex form again in older versions, empty in newer ones), then,
// aligned to 2 bytes, a 16-bit version and the 16-bit level of the union
// that follows (the same number), then, aligned to 4 bytes, the version's
// record: the attributes come first in versions 0xFFFF and 1, after a
// 32-bit flags word in version 2, and after a 32-bit validity word in
// versions 3, 4 and 5, whose bit 1 says the attributes are there. All
// numbers are little-endian; offsets count from the start of the value.
#pragma once

#include <cstdint>
#include <optional>
#include <span>
#include <string>

namespace plumage::formats {

inline constexpr const char* kDosAttribName = "user.DOSATTRIB";

// The attributes a value holds (every bit it holds, as stored), or nothing
// when the value is in neither form.
std::optional<std::uint32_t> ParseDosAttrib(std::span<const std::uint8_t> value);

// The text form Wine writes: "0x" and lower-case hex, no NUL.
std::string FormatDosAttrib(std::uint32_t attributes);

}  // namespace plumage::formats
