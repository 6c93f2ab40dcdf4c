#include "platform/win32/win32_profile.h"

#include <windows.h>

#include <algorithm>
#include <cstring>
#include <vector>

#include "platform/win32/win32_files.h"
#include "platform/win32/win32_text.h"

namespace plumage::platform {
namespace {

// Windows refuses a Read-only file with "access denied"; saying so is
// clearer, and holds where the file system would let the owner write (Wine
// run by root).
Status CheckWritable(const std::wstring& path, const std::string& file) {
  DWORD attributes = GetFileAttributesW(path.c_str());
  if (attributes != INVALID_FILE_ATTRIBUTES) {
    if (attributes & FILE_ATTRIBUTE_DIRECTORY)
      return MakeError(ErrorKind::Io, "cannot write " + file + ": it is a folder");
    if (attributes & FILE_ATTRIBUTE_READONLY)
      return MakeError(ErrorKind::Io, "cannot write " + file + ": it is read-only");
  }
  return Ok{};
}

Status Write(const std::wstring& section, const std::wstring& key, const std::wstring& value,
             const std::wstring& path, const std::string& file) {
  if (auto writable = CheckWritable(path, file); !writable) return writable;
  if (WritePrivateProfileStringW(section.c_str(), key.c_str(), value.c_str(), path.c_str()))
    return Ok{};
  DWORD code = GetLastError();
  return MakeError(ErrorKind::Io, "cannot write " + file + ": " + SystemErrorText(code));
}

constexpr char kUtf16Bom[] = "\xFF\xFE";

}  // namespace

std::uint32_t Win32PrivateProfile::GetString(const std::string& section, const std::string& key,
                                             const std::string& defaultValue,
                                             std::span<char> buffer, const std::string& file) {
  if (buffer.empty()) return 0;
  // The count is a DWORD; a buffer beyond it is used up to its limit. Each
  // character the wide call gives is one byte here, so the same count of
  // characters fits.
  const DWORD size = buffer.size() > 0x00FFFFFFu ? 0x00FFFFFFu : static_cast<DWORD>(buffer.size());
  std::vector<wchar_t> wide(size, L'\0');
  const DWORD n = GetPrivateProfileStringW(AnsiToWide(section).c_str(), AnsiToWide(key).c_str(),
                                           AnsiToWide(defaultValue).c_str(), wide.data(), size,
                                           Utf8ToWide(file).c_str());
  std::string bytes = WideToAnsi(std::wstring_view(wide.data(), std::min<DWORD>(n, size)));
  // A character outside the BMP is two wide units and one '?' here; the
  // result never outgrows the buffer, NUL included.
  if (bytes.size() > size - 1) bytes.resize(size - 1);
  std::memcpy(buffer.data(), bytes.data(), bytes.size());
  buffer[bytes.size()] = '\0';
  return static_cast<std::uint32_t>(bytes.size());
}

Status Win32PrivateProfile::WriteString(const std::string& section, const std::string& key,
                                        const std::string& value, const std::string& file) {
  return Write(AnsiToWide(section), AnsiToWide(key), AnsiToWide(value), Utf8ToWide(file), file);
}

Status Win32PrivateProfile::WriteUnicodeString(const std::string& section, const std::string& key,
                                               const std::string& utf8Value,
                                               const std::string& file) {
  const std::wstring path = Utf8ToWide(file);
  if (!FitsAnsi(utf8Value)) {
    if (auto writable = CheckWritable(path, file); !writable) return writable;
    // Windows writes a profile file as UTF-16 only when it begins with the
    // UTF-16LE byte-order mark; an ANSI file would get '?' for the value.
    // A missing file is made with the mark; an ANSI one is turned into
    // UTF-16 whole (its bytes read as Windows-1252, as they were written).
    std::string bytes;
    const bool exists = GetFileAttributesW(path.c_str()) != INVALID_FILE_ATTRIBUTES;
    if (exists && !ReadWholeFile(file, bytes))
      return MakeError(ErrorKind::Io,
                       "cannot read " + file + ": " + SystemErrorText(GetLastError()));
    if (bytes.compare(0, 2, kUtf16Bom) != 0) {
      const std::wstring text = AnsiToWide(bytes);
      std::string utf16(kUtf16Bom, 2);
      utf16.append(reinterpret_cast<const char*>(text.data()), text.size() * sizeof(wchar_t));
      if (auto written = WriteFileAtomically(file, utf16); !written) return written;
    }
  }
  return Write(Utf8ToWide(section), Utf8ToWide(key), Utf8ToWide(utf8Value), path, file);
}

}  // namespace plumage::platform
