#include "platform/win32/win32_registry.h"

#include <windows.h>

#include <cstring>
#include <vector>

#include "platform/win32/win32_text.h"

namespace plumage::platform {

using formats::kHkeyClassesRoot;
using formats::kHkeyCurrentUser;
using formats::kHkeyLocalMachine;

namespace {

// The predefined keys are these very numbers, sign-extended as Windows
// defines them.
HKEY RootKey(std::uint32_t root) {
  return reinterpret_cast<HKEY>(static_cast<ULONG_PTR>(static_cast<LONG>(root)));
}

bool IsRoot(std::uint32_t root) {
  return root == kHkeyClassesRoot || root == kHkeyCurrentUser || root == kHkeyLocalMachine;
}

bool IsText(DWORD type) {
  return type == REG_SZ || type == REG_EXPAND_SZ || type == REG_MULTI_SZ;
}

// Deletes the sub-keys of `key` first, then the key: the NT family's
// RegDeleteKeyW refuses a key that has sub-keys.
LONG DeleteTree(HKEY parent, const std::wstring& name) {
  HKEY key = nullptr;
  LONG rc = RegOpenKeyW(parent, name.c_str(), &key);
  if (rc != ERROR_SUCCESS) return rc;
  std::vector<std::wstring> children;
  // A key name is at most 255 characters.
  wchar_t child[256];
  for (DWORD i = 0; RegEnumKeyW(key, i, child, 256) == ERROR_SUCCESS; ++i)
    children.emplace_back(child);
  for (const auto& c : children) {
    rc = DeleteTree(key, c);
    if (rc != ERROR_SUCCESS && rc != ERROR_FILE_NOT_FOUND) {
      RegCloseKey(key);
      return rc;
    }
  }
  RegCloseKey(key);
  return RegDeleteKeyW(parent, name.c_str());
}

}  // namespace

Win32Registry::~Win32Registry() {
  for (auto& [handle, key] : open_) RegCloseKey(static_cast<HKEY>(key));
}

long Win32Registry::OpenKey(std::uint32_t root, const std::string& subKey, RegHandle* key) {
  if (key) *key = 0;
  if (!key || !IsRoot(root)) return kErrorInvalidHandle;
  HKEY opened = nullptr;
  const std::wstring wide = AnsiToWide(subKey);
  LONG rc = ERROR_FILE_NOT_FOUND;
  // HKEY_CLASSES_ROOT shows the user's classes over the machine's: a key
  // installed for this user alone is found there first, as Windows finds
  // it (Wine's HKEY_CLASSES_ROOT holds the machine's alone).
  if (root == kHkeyClassesRoot && !wide.empty())
    rc = RegOpenKeyW(HKEY_CURRENT_USER, (L"Software\\Classes\\" + wide).c_str(), &opened);
  if (rc != ERROR_SUCCESS) rc = RegOpenKeyW(RootKey(root), wide.c_str(), &opened);
  if (rc != ERROR_SUCCESS) return rc;
  RegHandle handle = next_++;
  if (next_ == 0) next_ = 0x10;
  open_[handle] = opened;
  *key = handle;
  return kErrorSuccess;
}

long Win32Registry::QueryValue(RegHandle key, const std::string& name, std::uint32_t* type,
                               std::uint8_t* data, std::uint32_t* size) {
  auto it = open_.find(key);
  if (it == open_.end()) return kErrorInvalidHandle;
  HKEY hkey = static_cast<HKEY>(it->second);
  const std::wstring wideName = AnsiToWide(name);
  DWORD valueType = 0;
  DWORD bytes = 0;
  LONG rc = RegQueryValueExW(hkey, wideName.c_str(), nullptr, &valueType, nullptr, &bytes);
  if (type) *type = valueType;
  if (rc != ERROR_SUCCESS) return rc;
  if (!IsText(valueType)) {
    bytes = size ? *size : 0;
    rc = RegQueryValueExW(hkey, wideName.c_str(), nullptr, &valueType, data,
                          size ? &bytes : nullptr);
    if (type) *type = valueType;
    if (size) *size = bytes;
    return rc;
  }
  // Text is stored as UTF-16 and handed over as Windows-1252 bytes, as the
  // ANSI call did: sizes count those bytes. The value is read whole first
  // (it may grow between the calls).
  std::vector<std::uint8_t> raw(bytes + sizeof(wchar_t));
  for (int attempt = 0; attempt < 4; ++attempt) {
    bytes = static_cast<DWORD>(raw.size());
    rc = RegQueryValueExW(hkey, wideName.c_str(), nullptr, &valueType, raw.data(), &bytes);
    if (rc != ERROR_MORE_DATA) break;
    raw.resize(bytes + sizeof(wchar_t));
  }
  if (type) *type = valueType;
  if (rc != ERROR_SUCCESS) return rc;
  std::wstring wide(bytes / sizeof(wchar_t), L'\0');
  std::memcpy(wide.data(), raw.data(), wide.size() * sizeof(wchar_t));
  const std::string ansi = WideToAnsi(wide);
  if (!size) return data ? kErrorInvalidData : kErrorSuccess;
  const std::uint32_t room = *size;
  *size = static_cast<std::uint32_t>(ansi.size());
  if (!data) return kErrorSuccess;
  if (room < ansi.size()) return kErrorMoreData;
  std::memcpy(data, ansi.data(), ansi.size());
  return kErrorSuccess;
}

long Win32Registry::SetValue(RegHandle key, const std::string& name, std::uint32_t type,
                             const std::uint8_t* data, std::uint32_t size) {
  auto it = open_.find(key);
  if (it == open_.end()) return kErrorInvalidHandle;
  HKEY hkey = static_cast<HKEY>(it->second);
  const std::wstring wideName = AnsiToWide(name);
  if (!IsText(type) || !data) return RegSetValueExW(hkey, wideName.c_str(), 0, type, data, size);
  const std::wstring wide = AnsiToWide(std::string_view(reinterpret_cast<const char*>(data), size));
  return RegSetValueExW(hkey, wideName.c_str(), 0, type, reinterpret_cast<const BYTE*>(wide.data()),
                        static_cast<DWORD>(wide.size() * sizeof(wchar_t)));
}

long Win32Registry::CloseKey(RegHandle key) {
  auto it = open_.find(key);
  if (it == open_.end()) return kErrorInvalidHandle;
  LONG rc = RegCloseKey(static_cast<HKEY>(it->second));
  open_.erase(it);
  return rc;
}

long Win32Registry::CreateKey(std::uint32_t root, const std::string& subKey) {
  if (!IsRoot(root)) return kErrorInvalidHandle;
  HKEY created = nullptr;
  LONG rc = RegCreateKeyW(RootKey(root), AnsiToWide(subKey).c_str(), &created);
  if (rc == ERROR_SUCCESS) RegCloseKey(created);
  return rc;
}

long Win32Registry::DeleteKeyTree(std::uint32_t root, const std::string& subKey) {
  if (!IsRoot(root)) return kErrorInvalidHandle;
  // An empty name would be the root itself.
  if (subKey.empty()) return kErrorAccessDenied;
  return DeleteTree(RootKey(root), AnsiToWide(subKey));
}

long Win32Registry::DeleteKeyIfEmpty(std::uint32_t root, const std::string& subKey) {
  if (!IsRoot(root)) return kErrorInvalidHandle;
  if (subKey.empty()) return kErrorAccessDenied;
  const std::wstring wide = AnsiToWide(subKey);
  HKEY key = nullptr;
  LONG rc = RegOpenKeyExW(RootKey(root), wide.c_str(), 0, KEY_READ, &key);
  if (rc != ERROR_SUCCESS) return rc;
  DWORD subKeys = 0, values = 0;
  rc = RegQueryInfoKeyW(key, nullptr, nullptr, nullptr, &subKeys, nullptr, nullptr, &values,
                        nullptr, nullptr, nullptr, nullptr);
  RegCloseKey(key);
  if (rc != ERROR_SUCCESS) return rc;
  if (subKeys != 0 || values != 0) return kErrorAccessDenied;
  return RegDeleteKeyW(RootKey(root), wide.c_str());
}

}  // namespace plumage::platform
