#include "app/registry_manager.h"

#include <vector>

#include "base/codepage.h"

namespace plumage {

bool RegistryManager::OpenKey(std::uint32_t root, const std::string& subKey,
                              platform::RegHandle& key) {
  platform::RegHandle opened = 0;
  long rc = registry_.OpenKey(root, Utf8ToAnsi(subKey), &opened);
  key = rc == platform::kErrorSuccess ? opened : 0;
  return rc == platform::kErrorSuccess;
}

bool RegistryManager::GetStringValue(platform::RegHandle key, const std::string& name,
                                     std::string& text) {
  const std::string ansiName = Utf8ToAnsi(name);
  // First ask for the type and size alone; only a REG_SZ is read.
  std::uint32_t type = 0;
  std::uint32_t size = 0;
  if (registry_.QueryValue(key, ansiName, &type, nullptr, &size) != platform::kErrorSuccess ||
      type != formats::kRegSz)
    return false;
  // Then read into a buffer of exactly that size, handed back whole.
  std::vector<std::uint8_t> buffer(size, ' ');
  std::uint32_t got = size;
  if (registry_.QueryValue(key, ansiName, &type, buffer.data(), &got) != platform::kErrorSuccess)
    return false;
  text = AnsiToUtf8(std::string(buffer.begin(), buffer.end()));
  return true;
}

bool RegistryManager::SetStringValue(platform::RegHandle key, const std::string& name,
                                     const std::string& text) {
  if (key == 0) return false;
  // The data length counts the terminating NUL; an empty text is the NUL alone.
  std::string data = Utf8ToAnsi(text);
  data.push_back('\0');
  return registry_.SetValue(key, Utf8ToAnsi(name), formats::kRegSz,
                            reinterpret_cast<const std::uint8_t*>(data.data()),
                            static_cast<std::uint32_t>(data.size())) == platform::kErrorSuccess;
}

bool RegistryManager::CloseKey(platform::RegHandle key) {
  return registry_.CloseKey(key) == platform::kErrorSuccess;
}

}  // namespace plumage
