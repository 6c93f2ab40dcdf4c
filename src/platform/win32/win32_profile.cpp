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
constexpr char kUtf8Bom[] = "\xEF\xBB\xBF";

// The longest value ReadText takes, in UTF-16 units.
constexpr DWORD kMaxTextUnits = 1u << 20;

// True when an ANSI profile file holds the text as it is: the system reads
// and writes such a file in its ANSI code page (Windows-1252 on English and
// French Windows), putting '?' or a look-alike for what that lacks.
bool FitsAnsiFile(const std::wstring& text) {
  if (text.empty()) return true;
  const UINT codePage = GetACP();
  if (codePage == CP_UTF8) return true;
  BOOL lost = FALSE;
  const int n = WideCharToMultiByte(codePage, WC_NO_BEST_FIT_CHARS, text.data(),
                                    static_cast<int>(text.size()), nullptr, 0, nullptr, &lost);
  return n > 0 && !lost;
}

// WritePrivateProfileStringW writes UTF-16 only into a file that begins
// with the UTF-16LE byte-order mark; an ANSI file would get '?' for what its
// code page lacks. So a missing file is made with the mark, and an ANSI one
// is turned into UTF-16 whole, its bytes read in the code page the system
// reads them in. A UTF-16 file, and a UTF-8 one (which the system writes in
// UTF-8), stay as they are.
Status MakeUtf16(const std::wstring& path, const std::string& file) {
  std::string bytes;
  const bool exists = GetFileAttributesW(path.c_str()) != INVALID_FILE_ATTRIBUTES;
  if (exists && !ReadWholeFile(file, bytes))
    return MakeError(ErrorKind::Io, "cannot read " + file + ": " + SystemErrorText(GetLastError()));
  if (bytes.compare(0, 2, kUtf16Bom) == 0 || bytes.compare(0, 3, kUtf8Bom) == 0) return Ok{};
  std::wstring text;
  if (!bytes.empty()) {
    const int size = static_cast<int>(bytes.size());
    const int n = MultiByteToWideChar(CP_ACP, 0, bytes.data(), size, nullptr, 0);
    if (n <= 0)
      return MakeError(ErrorKind::Io,
                       "cannot read " + file + ": " + SystemErrorText(GetLastError()));
    text.resize(static_cast<std::size_t>(n));
    MultiByteToWideChar(CP_ACP, 0, bytes.data(), size, text.data(), n);
  }
  std::string utf16(kUtf16Bom, 2);
  for (wchar_t c : text) {
    utf16.push_back(static_cast<char>(c & 0xFF));
    utf16.push_back(static_cast<char>((c >> 8) & 0xFF));
  }
  return WriteFileAtomically(file, utf16);
}

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

std::optional<std::string> Win32PrivateProfile::ReadText(const std::string& section,
                                                         const std::string& key,
                                                         const std::string& file) {
  const std::wstring s = Utf8ToWide(section), k = Utf8ToWide(key), path = Utf8ToWide(file);
  // The whole value: a buffer that came back full is made larger.
  auto read = [&](const wchar_t* defaultValue) {
    std::vector<wchar_t> buffer(256);
    for (;;) {
      const DWORD size = static_cast<DWORD>(buffer.size());
      const DWORD n = GetPrivateProfileStringW(s.c_str(), k.c_str(), defaultValue, buffer.data(),
                                               size, path.c_str());
      if (n + 1 < size || size >= kMaxTextUnits)
        return std::wstring(buffer.data(), std::min(n, size));
      buffer.resize(buffer.size() * 8);
    }
  };
  // Two defaults that no value equals tell a missing key from a value.
  std::wstring value = read(L"\x01");
  if (value == L"\x01") {
    value = read(L"\x02");
    if (value == L"\x02") return std::nullopt;
  }
  return WideToUtf8(value);
}

Status Win32PrivateProfile::WriteTexts(const std::string& section,
                                       const std::vector<ProfileValue>& values,
                                       const std::string& file) {
  const std::wstring path = Utf8ToWide(file);
  if (auto writable = CheckWritable(path, file); !writable) return writable;
  bool fits = FitsAnsiFile(Utf8ToWide(section));
  for (const auto& [key, value] : values)
    fits = fits && FitsAnsiFile(Utf8ToWide(key)) && FitsAnsiFile(Utf8ToWide(value));
  if (!fits)
    if (auto made = MakeUtf16(path, file); !made) return made;
  for (const auto& [key, value] : values)
    if (auto s = Write(Utf8ToWide(section), Utf8ToWide(key), Utf8ToWide(value), path, file); !s)
      return s;
  return Ok{};
}

}  // namespace plumage::platform
