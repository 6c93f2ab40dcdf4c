// Extended attributes as Debian's attr tools (/usr/bin) see them: a reader independent
// of the program, for tests of what it stores.
#pragma once

#include <optional>
#include <string>

namespace plumage::test {

// The value getfattr reads, or nothing when the file has no such attribute.
std::optional<std::string> GetfattrValue(const std::string& path, const std::string& name);

// setfattr -n NAME -v VALUE PATH (VALUE in setfattr's own syntax: "\"text\"",
// 0x hex or 0s base64); true when it succeeded.
bool Setfattr(const std::string& path, const std::string& name, const std::string& value);

}  // namespace plumage::test
