#include "support/fakes.h"

#include <algorithm>
#include <cstring>

namespace plumage::test {

void RecordingShell::Note(const std::string& entry) {
  if (journal_) journal_->push_back(entry);
}

bool RecordingShell::OpenDocument(const std::string& target) {
  opened.push_back(target);
  Note("OpenDocument " + target);
  return openSucceeds;
}

void RecordingShell::SendRefreshKey() {
  ++refreshKeys;
  Note("SendRefreshKey");
}

void RecordingShell::UpdateShellImageCache(const std::string& iconFile, std::int32_t index) {
  cached.emplace_back(iconFile, index);
  Note("UpdateShellImageCache " + iconFile + "," + std::to_string(index));
}

void RecordingShell::BroadcastSettingChange(std::uint32_t timeoutMs) {
  broadcasts.push_back(timeoutMs);
  Note("BroadcastSettingChange");
}

void RecordingShell::NotifyFolderChanged(const std::string& folder, const std::string& descriptor) {
  foldersChanged.emplace_back(folder, descriptor);
  Note("NotifyFolderChanged " + folder);
}

void RecordingShell::NotifyIconsChanged() {
  ++iconsChanged;
  Note("NotifyIconsChanged");
}

std::string MemoryRegistry::Upper(std::string text) {
  for (char& c : text)
    if (c >= 'a' && c <= 'z') c = static_cast<char>(c - 32);
  return text;
}

std::string MemoryRegistry::KeyId(std::uint32_t root, const std::string& subKey) {
  return std::to_string(root) + "\\" + Upper(subKey);
}

long MemoryRegistry::OpenKey(std::uint32_t root, const std::string& subKey,
                             platform::RegHandle* key) {
  const std::string id = KeyId(root, subKey);
  // A key exists when it, or a key below it, was created.
  bool exists = subKey.empty() || std::any_of(keys_.begin(), keys_.end(), [&](const auto& entry) {
                  return entry.first == id || entry.first.rfind(id + "\\", 0) == 0;
                });
  if (!exists) {
    *key = 0;
    return platform::kErrorFileNotFound;
  }
  keys_[id];
  *key = next_++;
  handles_[*key] = id;
  return platform::kErrorSuccess;
}

long MemoryRegistry::QueryValue(platform::RegHandle key, const std::string& name,
                                std::uint32_t* type, std::uint8_t* data, std::uint32_t* size) {
  auto handle = handles_.find(key);
  if (handle == handles_.end()) return platform::kErrorInvalidHandle;
  const auto& values = keys_[handle->second];
  auto value = values.find(Upper(name));
  if (value == values.end()) return platform::kErrorFileNotFound;
  if (type) *type = value->second.type;
  const auto needed = static_cast<std::uint32_t>(value->second.data.size());
  if (!data) {
    if (size) *size = needed;
    return platform::kErrorSuccess;
  }
  if (!size || *size < needed) {
    if (size) *size = needed;
    return platform::kErrorMoreData;
  }
  std::memcpy(data, value->second.data.data(), needed);
  *size = needed;
  return platform::kErrorSuccess;
}

long MemoryRegistry::SetValue(platform::RegHandle key, const std::string& name, std::uint32_t type,
                              const std::uint8_t* data, std::uint32_t size) {
  auto handle = handles_.find(key);
  if (handle == handles_.end()) return platform::kErrorInvalidHandle;
  std::string bytes(reinterpret_cast<const char*>(data), size);
  if (journal)
    journal->push_back("SetValue " + name + "=" +
                       (bytes.ends_with('\0') ? bytes.substr(0, bytes.size() - 1) : bytes));
  keys_[handle->second][Upper(name)] = {type, std::move(bytes)};
  return platform::kErrorSuccess;
}

long MemoryRegistry::CloseKey(platform::RegHandle key) {
  return handles_.erase(key) ? platform::kErrorSuccess : platform::kErrorInvalidHandle;
}

long MemoryRegistry::CreateKey(std::uint32_t root, const std::string& subKey) {
  keys_[KeyId(root, subKey)];
  return platform::kErrorSuccess;
}

long MemoryRegistry::DeleteKeyTree(std::uint32_t root, const std::string& subKey) {
  const std::string id = KeyId(root, subKey);
  bool found = false;
  for (auto it = keys_.begin(); it != keys_.end();) {
    if (it->first == id || it->first.rfind(id + "\\", 0) == 0) {
      it = keys_.erase(it);
      found = true;
    } else {
      ++it;
    }
  }
  return found ? platform::kErrorSuccess : platform::kErrorFileNotFound;
}

void MemoryRegistry::SetString(std::uint32_t root, const std::string& subKey,
                               const std::string& name, const std::string& text) {
  keys_[KeyId(root, subKey)][Upper(name)] = {formats::kRegSz, text + std::string(1, '\0')};
}

std::optional<std::string> MemoryRegistry::Stored(std::uint32_t root, const std::string& subKey,
                                                 const std::string& name) const {
  auto key = keys_.find(KeyId(root, subKey));
  if (key == keys_.end()) return std::nullopt;
  auto value = key->second.find(Upper(name));
  if (value == key->second.end()) return std::nullopt;
  return value->second.data;
}

TestPlatform::TestPlatform(Journal* journal)
    : shell(journal), os{&registry, &system, &shell, &files, &profile}, program(os) {}

platform::IFileSystem& RealFiles() {
#ifdef _WIN32
  static platform::Win32FileSystem files;
#else
  static platform::PosixFileSystem files;
#endif
  return files;
}

}  // namespace plumage::test
