// The registry as the program asks for it: the four calls of advapi32 that the
// registry layer makes, with their return codes, plus the two the installer
// needs. Value data is in the ANSI code page (Windows-1252), byte for byte.
#pragma once

#include <cstdint>
#include <string>

#include "formats/registry_values.h"

namespace plumage::platform {

using RegHandle = std::uint32_t;  // 0 means no key

// Return codes, as Windows gives them.
inline constexpr long kErrorSuccess = 0;
inline constexpr long kErrorFileNotFound = 2;
inline constexpr long kErrorAccessDenied = 5;
inline constexpr long kErrorInvalidHandle = 6;
inline constexpr long kErrorInvalidData = 13;
inline constexpr long kErrorMoreData = 234;

class IRegistry {
 public:
  virtual ~IRegistry() = default;

  // RegOpenKeyA: opens an existing key; a missing key is not created.
  virtual long OpenKey(std::uint32_t root, const std::string& subKey, RegHandle* key) = 0;

  // RegQueryValueExA: with data null, tells the type and the size in bytes;
  // otherwise copies the data when *size is large enough (else kErrorMoreData).
  virtual long QueryValue(RegHandle key, const std::string& name, std::uint32_t* type,
                          std::uint8_t* data, std::uint32_t* size) = 0;

  // RegSetValueExA: creates or replaces the value.
  virtual long SetValue(RegHandle key, const std::string& name, std::uint32_t type,
                        const std::uint8_t* data, std::uint32_t size) = 0;

  // RegCloseKey.
  virtual long CloseKey(RegHandle key) = 0;

  // For the installer only (plumagectl install/uninstall): the program's
  // registry layer never creates or deletes keys.
  virtual long CreateKey(std::uint32_t root, const std::string& subKey) = 0;
  virtual long DeleteKeyTree(std::uint32_t root, const std::string& subKey) = 0;
};

}  // namespace plumage::platform
