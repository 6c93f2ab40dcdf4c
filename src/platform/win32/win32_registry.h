// The Windows registry through advapi32: RegOpenKeyW, RegQueryValueExW,
// RegSetValueExW and RegCloseKey for the program, RegCreateKeyW and
// RegDeleteKeyW for the installer. Names and text values cross as
// Windows-1252 bytes, the registry layer's own form, converted to the
// registry's UTF-16 here. Keys opened are handed out as small
// numbers, so a handle the program never got is refused, not followed.
#pragma once

#include <cstdint>
#include <map>
#include <string>

#include "platform/registry.h"

namespace plumage::platform {

class Win32Registry : public IRegistry {
 public:
  Win32Registry() = default;
  ~Win32Registry() override;
  Win32Registry(const Win32Registry&) = delete;
  Win32Registry& operator=(const Win32Registry&) = delete;

  // Where the settings live, for messages.
  std::string path() const { return "the Windows registry"; }

  long OpenKey(std::uint32_t root, const std::string& subKey, RegHandle* key) override;
  long QueryValue(RegHandle key, const std::string& name, std::uint32_t* type,
                  std::uint8_t* data, std::uint32_t* size) override;
  long SetValue(RegHandle key, const std::string& name, std::uint32_t type,
                const std::uint8_t* data, std::uint32_t size) override;
  long CloseKey(RegHandle key) override;
  long CreateKey(std::uint32_t root, const std::string& subKey) override;
  // The key and everything under it (RegDeleteKeyW removes only a key
  // without sub-keys on the NT family).
  long DeleteKeyTree(std::uint32_t root, const std::string& subKey) override;
  // The key when it holds neither sub-keys nor values (the parents the
  // installer made); kErrorAccessDenied when it holds something.
  long DeleteKeyIfEmpty(std::uint32_t root, const std::string& subKey);

 private:
  std::map<RegHandle, void*> open_;  // HKEY
  RegHandle next_ = 0x10;
};

}  // namespace plumage::platform
