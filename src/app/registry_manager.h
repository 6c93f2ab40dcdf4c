// RegistryManager: the program's only way into the registry. Four
// operations on string values; it never creates or deletes a key and never
// tells the user anything: each answers true or false.
#pragma once

#include <cstdint>
#include <string>

#include "platform/registry.h"

namespace plumage {

class RegistryManager {
 public:
  explicit RegistryManager(platform::IRegistry& registry) : registry_(registry) {}

  // The one key handle the whole program shares: callers open into it, read
  // or write, and close it, one key at a time.
  platform::RegHandle CurrentKey = 0;

  // Opens an existing key under a root; the handle goes to `key` (0 when the
  // key cannot be opened). An open does not close a key still held there.
  bool OpenKey(std::uint32_t root, const std::string& subKey, platform::RegHandle& key);

  // Reads a REG_SZ value. On success `text` is the data exactly as stored,
  // its terminating NUL included; on failure `text` is left as it was.
  bool GetStringValue(platform::RegHandle key, const std::string& name, std::string& text);

  // Writes `text` as a REG_SZ value with its terminating NUL. A handle of 0
  // writes nothing and gives false.
  bool SetStringValue(platform::RegHandle key, const std::string& name, const std::string& text);

  bool CloseKey(platform::RegHandle key);

 private:
  platform::IRegistry& registry_;
};

}  // namespace plumage
