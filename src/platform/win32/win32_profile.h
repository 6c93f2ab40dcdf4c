// INI files through kernel32's GetPrivateProfileStringW and
// WritePrivateProfileStringW. The program hands section, key and value as
// Windows-1252 bytes; the file's path is its own text (UTF-8).
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

  // A value in the program's own text (UTF-8). One that Windows-1252 holds
  // is written as WriteString writes it, keeping the file's encoding; one
  // that it cannot hold makes the file UTF-16LE with its byte-order mark
  // first (an existing ANSI file converted whole), as Windows stores such
  // text in a DESKTOP.INI.
  Status WriteUnicodeString(const std::string& section, const std::string& key,
                            const std::string& utf8Value, const std::string& file);
};

}  // namespace plumage::platform
