#include "platform/win32/win32_file_system.h"

#include "platform/win32/win32_files.h"

#include <windows.h>

#include <cwchar>
#include <utility>

#include "platform/win32/win32_text.h"

namespace plumage::platform {
namespace {

// What SetFileAttributesW may keep beside the program's attributes.
constexpr DWORD kKeptAttributes =
    FILE_ATTRIBUTE_NOT_CONTENT_INDEXED | FILE_ATTRIBUTE_OFFLINE | FILE_ATTRIBUTE_TEMPORARY;

Error SystemError(const std::string& what, const std::string& path, DWORD code) {
  ErrorKind kind =
      (code == ERROR_FILE_NOT_FOUND || code == ERROR_PATH_NOT_FOUND || code == ERROR_INVALID_NAME)
          ? ErrorKind::NotFound
          : ErrorKind::Io;
  return MakeError(kind, what + " " + path + ": " + SystemErrorText(code));
}

DWORD RawAttributes(const std::string& path) {
  if (path.empty()) {
    SetLastError(ERROR_FILE_NOT_FOUND);
    return INVALID_FILE_ATTRIBUTES;
  }
  return GetFileAttributesW(Utf8ToWide(path).c_str());
}

// The full path of a folder (or file), ending in a backslash; "C:" alone
// is the drive, not its current folder. Empty when there is no such path.
std::wstring FullFolderPath(const std::string& folder) {
  if (folder.empty()) return {};
  std::wstring wide = Utf8ToWide(folder);
  if (wide.size() == 2 && wide[1] == L':') wide.push_back(L'\\');
  DWORD n = GetFullPathNameW(wide.c_str(), 0, nullptr, nullptr);
  if (n == 0) return {};
  std::wstring path(n, L'\0');
  n = GetFullPathNameW(wide.c_str(), n, path.data(), nullptr);
  if (n == 0 || n >= path.size()) return {};
  path.resize(n);
  if (path.back() != L'\\') path.push_back(L'\\');
  return path;
}

// The root of the volume a full path lies on, ending in a backslash
// (GetVolumePathNameW); empty when the system cannot tell.
std::wstring VolumeOf(const std::wstring& path) {
  if (path.empty()) return {};
  std::wstring volume(path.size() + 1, L'\0');
  if (!GetVolumePathNameW(path.c_str(), volume.data(), static_cast<DWORD>(volume.size())))
    return {};
  volume.resize(wcslen(volume.c_str()));
  if (volume.empty()) return {};
  if (volume.back() != L'\\') volume.push_back(L'\\');
  return volume;
}

}  // namespace

Result<std::uint32_t> Win32FileSystem::GetAttributes(const std::string& path) {
  DWORD attributes = RawAttributes(path);
  if (attributes == INVALID_FILE_ATTRIBUTES)
    return SystemError("cannot read the attributes of", path, GetLastError());
  return static_cast<std::uint32_t>(attributes & kAttributeMask);
}

Status Win32FileSystem::SetAttributes(const std::string& path, std::uint32_t attributes) {
  if ((attributes & ~kAttributeMask) != 0)
    return MakeError(ErrorKind::Unsupported, "the attribute value " + std::to_string(attributes) +
                                                 " of " + path + " cannot be stored");
  DWORD current = RawAttributes(path);
  if (current == INVALID_FILE_ATTRIBUTES)
    return SystemError("cannot set the attributes of", path, GetLastError());
  DWORD wanted = (current & kKeptAttributes) | (attributes & ~kAttributeDirectory);
  if (wanted == 0) wanted = FILE_ATTRIBUTE_NORMAL;
  if (!SetFileAttributesW(Utf8ToWide(path).c_str(), wanted)) {
    // Which attributes, on which file, on which kind of volume.
    const DWORD code = GetLastError();
    const std::uint32_t changed = (current ^ wanted) & kAttributeMask & ~kAttributeDirectory;
    auto volume = DescribeVolume(path);
    std::string what = "cannot set the attributes of";
    if (changed != 0) {
      std::string names;
      int count = 0;
      for (const auto& [bit, name] :
           {std::pair<std::uint32_t, const char*>{kAttributeReadOnly, "Read-only"},
            {kAttributeHidden, "Hidden"},
            {kAttributeSystem, "System"},
            {kAttributeArchive, "Archive"}}) {
        if ((changed & bit) == 0) continue;
        names += count++ == 0 ? "" : ", ";
        names += name;
      }
      what = "cannot change the " + names + (count > 1 ? " attributes of" : " attribute of");
    }
    const std::string where =
        volume ? " on the " + volume->type + (volume->network ? " network" : "") + " volume" : "";
    return SystemError(what, path + where, code);
  }
  return Ok{};
}

bool Win32FileSystem::FileExists(const std::string& path) {
  DWORD attributes = RawAttributes(path);
  return attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_DIRECTORY) == 0;
}

Status Win32FileSystem::Remove(const std::string& path) {
  if (path.empty()) return SystemError("cannot delete", path, ERROR_FILE_NOT_FOUND);
  if (!DeleteFileW(Utf8ToWide(path).c_str()))
    return SystemError("cannot delete", path, GetLastError());
  return Ok{};
}

Status Win32FileSystem::Copy(const std::string& from, const std::string& to) {
  // CopyFileW refuses a Read-only target; so does this, also where the file
  // system would let the owner write (Wine run by root).
  DWORD target = RawAttributes(to);
  if (target != INVALID_FILE_ATTRIBUTES && (target & FILE_ATTRIBUTE_READONLY))
    return MakeError(ErrorKind::Io, "cannot copy " + from + " to " + to + ": it is read-only");
  if (!CopyFileW(Utf8ToWide(from).c_str(), Utf8ToWide(to).c_str(), FALSE))
    return SystemError("cannot copy " + from + " to", to, GetLastError());
  return Ok{};
}

Result<std::vector<std::string>> Win32FileSystem::List(const std::string& folder,
                                                       const std::string& pattern,
                                                       std::uint32_t include) {
  std::string prefix = folder;
  if (!prefix.empty() && prefix.back() != '\\' && prefix.back() != '/' && prefix.back() != ':')
    prefix.push_back('\\');
  WIN32_FIND_DATAW found{};
  HANDLE search = FindFirstFileW(Utf8ToWide(prefix + "*").c_str(), &found);
  if (search == INVALID_HANDLE_VALUE) {
    DWORD code = GetLastError();
    if (code == ERROR_FILE_NOT_FOUND || code == ERROR_NO_MORE_FILES)
      return std::vector<std::string>{};  // an empty folder (a drive root has no "." entry)
    return SystemError("cannot list", folder, code);
  }
  const DWORD excluding = (kAttributeHidden | kAttributeSystem | kAttributeDirectory) & ~include;
  std::vector<std::string> names;
  do {
    std::string name = WideToUtf8(found.cFileName);
    if (name == "." || name == ".." || !MatchesWildcard(name, pattern)) continue;
    if ((found.dwFileAttributes & excluding) != 0) continue;
    names.push_back(std::move(name));
  } while (FindNextFileW(search, &found));
  DWORD code = GetLastError();
  FindClose(search);
  if (code != ERROR_NO_MORE_FILES) return SystemError("cannot list", folder, code);
  return names;
}

// Only a drive letter's root: Explorer reads AUTORUN.INF there, while a
// volume mounted into a folder or a share's root shows its DESKTOP.INI.
bool Win32FileSystem::IsDriveRoot(const std::string& folder) {
  const std::wstring path = FullFolderPath(folder);
  return path.size() == 3 && path[1] == L':';
}

Result<VolumeInfo> Win32FileSystem::DescribeVolume(const std::string& path) {
  const std::wstring full = FullFolderPath(path);
  const std::wstring volume = VolumeOf(full);
  if (volume.empty())
    return SystemError("cannot tell the volume of", path,
                       path.empty() ? ERROR_FILE_NOT_FOUND : GetLastError());
  VolumeInfo info;
  info.attributes = AttributeStore::Native;
  // \\server\share and \\?\UNC\server\share; \\?\C:\ and \\.\ name local devices.
  const bool unc = (full.rfind(L"\\\\", 0) == 0 && full.rfind(L"\\\\?\\", 0) != 0 &&
                    full.rfind(L"\\\\.\\", 0) != 0) ||
                   full.rfind(L"\\\\?\\UNC\\", 0) == 0;
  const UINT drive = GetDriveTypeW(volume.c_str());
  info.removable = drive == DRIVE_REMOVABLE;
  info.network = unc || drive == DRIVE_REMOTE;
  wchar_t name[MAX_PATH + 1] = {};
  if (GetVolumeInformationW(volume.c_str(), nullptr, 0, nullptr, nullptr, nullptr, name,
                            MAX_PATH + 1))
    info.type = WideToUtf8(name);
  else
    info.type = info.network ? "network share" : "unknown";
  return info;
}

Result<std::string> Win32FileSystem::LoadFile(const std::string& path, std::size_t maxBytes) {
  std::string bytes;
  if (!ReadWholeFile(path, bytes))
    return MakeError(FileExists(path) ? ErrorKind::Io : ErrorKind::NotFound, "cannot read " + path);
  if (bytes.size() > maxBytes)
    return MakeError(ErrorKind::Invalid, "cannot read " + path + ": it is larger than " +
                                             std::to_string(maxBytes) + " bytes");
  return bytes;
}

Status Win32FileSystem::StoreFile(const std::string& path, const std::string& bytes) {
  return WriteFileAtomically(path, bytes);
}

}  // namespace plumage::platform
