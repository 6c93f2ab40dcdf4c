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
  const std::string path = Utf8ToSystemAnsi(file);
  // Windows refuses a Read-only file with "access denied"; saying so is
  // clearer, and holds where the file system would let the owner write
  // (Wine run by root).
  DWORD attributes = GetFileAttributesA(path.c_str());
  if (attributes != INVALID_FILE_ATTRIBUTES) {
    if (attributes & FILE_ATTRIBUTE_DIRECTORY)
      return MakeError(ErrorKind::Io, "cannot write " + file + ": it is a folder");
    if (attributes & FILE_ATTRIBUTE_READONLY)
      return MakeError(ErrorKind::Io, "cannot write " + file + ": it is read-only");
  }
  if (WritePrivateProfileStringA(section.c_str(), key.c_str(), value.c_str(), path.c_str()))
    return Ok{};
  DWORD code = GetLastError();
  return MakeError(ErrorKind::Io, "cannot write " + file + ": " + SystemErrorText(code));
}

}  // namespace plumage::platform
