// INI files through kernel32's GetPrivateProfileStringA and
// WritePrivateProfileStringA.
#pragma once

#include "platform/profile.h"

namespace plumage::platform {

class Win32PrivateProfile : public IPrivateProfile {
 public:
  std::uint32_t GetString(const std::string& section, const std::string& key,
                          const std::string& defaultValue, std::span<char> buffer,
                          const std::string& file) override;
  Status WriteString(const std::string& section, const std::string& key, const std::string& value,
                     const std::string& file) override;
};

}  // namespace plumage::platform
