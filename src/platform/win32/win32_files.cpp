#include "platform/win32/win32_files.h"

#include <windows.h>

#include <algorithm>

#include "platform/win32/win32_text.h"

namespace plumage::platform {
namespace {

// Files larger than this are not read whole.
constexpr ULONGLONG kMaxWholeFile = 512ull << 20;

Error WriteError(const std::string& path, DWORD code) {
  return MakeError(ErrorKind::Io, "cannot write " + path + ": " + SystemErrorText(code));
}

}  // namespace

bool ReadWholeFile(const std::string& path, std::string& bytes) {
  bytes.clear();
  HANDLE file =
      CreateFileW(Utf8ToWide(path).c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE,
                  nullptr, OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr);
  if (file == INVALID_HANDLE_VALUE) return false;
  LARGE_INTEGER size{};
  bool ok = GetFileSizeEx(file, &size) != 0 && static_cast<ULONGLONG>(size.QuadPart) <= kMaxWholeFile;
  if (ok) {
    bytes.resize(static_cast<std::size_t>(size.QuadPart));
    std::size_t done = 0;
    while (ok && done < bytes.size()) {
      DWORD n = 0;
      DWORD want = static_cast<DWORD>(std::min<std::size_t>(bytes.size() - done, 1u << 20));
      ok = ReadFile(file, bytes.data() + done, want, &n, nullptr) != 0;
      if (ok && n == 0) break;  // the file shrank meanwhile
      done += n;
    }
    bytes.resize(done);
  }
  CloseHandle(file);
  if (!ok) bytes.clear();
  return ok;
}

Status WriteFileAtomically(const std::string& path, const std::string& bytes) {
  const std::wstring target = Utf8ToWide(path);
  const std::wstring sibling = target + L".plumage-new";
  DWORD attributes = GetFileAttributesW(target.c_str());
  if (attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_READONLY))
    return MakeError(ErrorKind::Io, "cannot write " + path + ": it is read-only");
  HANDLE file = CreateFileW(sibling.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS,
                            FILE_ATTRIBUTE_NORMAL, nullptr);
  if (file == INVALID_HANDLE_VALUE) return WriteError(path, GetLastError());
  std::size_t done = 0;
  bool ok = true;
  while (ok && done < bytes.size()) {
    DWORD n = 0;
    DWORD want = static_cast<DWORD>(std::min<std::size_t>(bytes.size() - done, 1u << 20));
    ok = WriteFile(file, bytes.data() + done, want, &n, nullptr) != 0 && n > 0;
    done += n;
  }
  DWORD code = ok ? 0 : GetLastError();
  if (ok && !FlushFileBuffers(file)) {
    ok = false;
    code = GetLastError();
  }
  CloseHandle(file);
  if (ok && !MoveFileExW(sibling.c_str(), target.c_str(),
                         MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH)) {
    ok = false;
    code = GetLastError();
  }
  if (!ok) {
    DeleteFileW(sibling.c_str());
    return WriteError(path, code);
  }
  // The replaced file's Hidden, System and Archive attributes stay.
  if (attributes != INVALID_FILE_ATTRIBUTES)
    SetFileAttributesW(target.c_str(), attributes & ~FILE_ATTRIBUTE_DIRECTORY);
  return Ok{};
}

bool ReplaceFileAtomically(const std::string& path, const std::string& bytes) {
  return WriteFileAtomically(path, bytes).ok();
}

}  // namespace plumage::platform
