#include "platform/win32/win32_profile.h"

#include <windows.h>

#include "platform/win32/win32_text.h"

namespace plumage::platform {

std::uint32_t Win32PrivateProfile::GetString(const std::string& section, const std::string& key,
                                             const std::string& defaultValue,
                                             std::span<char> buffer, const std::string& file) {
  if (buffer.empty()) return 0;
  // The count is a DWORD; a buffer beyond it is used up to its limit.
  DWORD size = buffer.size() > 0x7FFFFFFFu ? 0x7FFFFFFFu : static_cast<DWORD>(buffer.size());
  return GetPrivateProfileStringA(section.c_str(), key.c_str(), defaultValue.c_str(),
                                  buffer.data(), size, Utf8ToSystemAnsi(file).c_str());
}

Status Win32PrivateProfile::WriteString(const std::string& section, const std::string& key,
                                        const std::string& value, const std::string& file) {
  if (WritePrivateProfileStringA(section.c_str(), key.c_str(), value.c_str(),
                                 Utf8ToSystemAnsi(file).c_str()))
    return Ok{};
  DWORD code = GetLastError();
  return MakeError(ErrorKind::Io, "cannot write " + file + ": " + SystemErrorText(code));
}

}  // namespace plumage::platform
