#include "platform/win32/win32_registry.h"

#include <windows.h>

#include <vector>

namespace plumage::platform {
namespace {

// The predefined keys are these very numbers, sign-extended as Windows
// defines them.
HKEY RootKey(std::uint32_t root) {
  return reinterpret_cast<HKEY>(static_cast<ULONG_PTR>(static_cast<LONG>(root)));
}

bool IsRoot(std::uint32_t root) {
  return root == kHkeyClassesRoot || root == kHkeyCurrentUser || root == kHkeyLocalMachine;
}

// Deletes the sub-keys of `key` first, then the key: the NT family's
// RegDeleteKeyA refuses a key that has sub-keys.
LONG DeleteTree(HKEY parent, const std::string& name) {
  HKEY key = nullptr;
  LONG rc = RegOpenKeyA(parent, name.c_str(), &key);
  if (rc != ERROR_SUCCESS) return rc;
  std::vector<std::string> children;
  char child[MAX_PATH + 1];
  for (DWORD i = 0; RegEnumKeyA(key, i, child, sizeof child) == ERROR_SUCCESS; ++i)
    children.emplace_back(child);
  for (const auto& c : children) {
    rc = DeleteTree(key, c);
    if (rc != ERROR_SUCCESS && rc != ERROR_FILE_NOT_FOUND) {
      RegCloseKey(key);
      return rc;
    }
  }
  RegCloseKey(key);
  return RegDeleteKeyA(parent, name.c_str());
}

}  // namespace

Win32Registry::~Win32Registry() {
  for (auto& [handle, key] : open_) RegCloseKey(static_cast<HKEY>(key));
}

long Win32Registry::OpenKey(std::uint32_t root, const std::string& subKey, RegHandle* key) {
  if (key) *key = 0;
  if (!key || !IsRoot(root)) return kErrorInvalidHandle;
  HKEY opened = nullptr;
  LONG rc = RegOpenKeyA(RootKey(root), subKey.c_str(), &opened);
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
  DWORD valueType = 0;
  DWORD bytes = size ? *size : 0;
  LONG rc = RegQueryValueExA(static_cast<HKEY>(it->second), name.c_str(), nullptr, &valueType,
                             data, size ? &bytes : nullptr);
  if (type) *type = valueType;
  if (size) *size = bytes;
  return rc;
}

long Win32Registry::SetValue(RegHandle key, const std::string& name, std::uint32_t type,
                             const std::uint8_t* data, std::uint32_t size) {
  auto it = open_.find(key);
  if (it == open_.end()) return kErrorInvalidHandle;
  return RegSetValueExA(static_cast<HKEY>(it->second), name.c_str(), 0, type, data, size);
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
  LONG rc = RegCreateKeyA(RootKey(root), subKey.c_str(), &created);
  if (rc == ERROR_SUCCESS) RegCloseKey(created);
  return rc;
}

long Win32Registry::DeleteKeyTree(std::uint32_t root, const std::string& subKey) {
  if (!IsRoot(root)) return kErrorInvalidHandle;
  // An empty name would be the root itself.
  if (subKey.empty()) return kErrorAccessDenied;
  return DeleteTree(RootKey(root), subKey);
}

}  // namespace plumage::platform
