// INI files through kernel32's GetPrivateProfileStringW and
// WritePrivateProfileStringW. GetString and WriteString take section, key
// and value as Windows-1252 bytes, ReadText and WriteTexts as UTF-8; the
// file's path is the program's own text (UTF-8).
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

  std::optional<std::string> ReadText(const std::string& section, const std::string& key,
                                      const std::string& file) override;
  // Text that the system's ANSI code page holds is written as WriteString
  // writes it, keeping the file's encoding; text that it cannot hold makes
  // an ANSI file (or a missing one) UTF-16LE with its byte-order mark first,
  // its content converted, as Windows stores such text in a DESKTOP.INI.
  // One key after another, stopping at the first failure.
  Status WriteTexts(const std::string& section, const std::vector<ProfileValue>& values,
                    const std::string& file) override;
};

}  // namespace plumage::platform
