#include "platform/posix/registry_store.h"

#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <iterator>

#include "platform/posix/posix_files.h"

namespace plumage::platform {

using formats::RegDocument;
using formats::RegEntry;

namespace fs = std::filesystem;

PosixRegistry::PosixRegistry(std::string file) : path_(std::move(file)) {}

std::string PosixRegistry::DefaultPath() {
  if (const char* dir = std::getenv("PLUMAGE_CONFIG"); dir && *dir)
    return (fs::path(dir) / "registry.reg").string();
  fs::path base;
  if (const char* xdg = std::getenv("XDG_CONFIG_HOME"); xdg && *xdg)
    base = xdg;
  else
    base = fs::path(HomeFolder()) / ".config";
  return (base / "plumage" / "registry.reg").string();
}

RegDocument PosixRegistry::Load() const {
  std::string bytes;
  if (!ReadWholeFile(path_, bytes)) return RegDocument::Parse("");
  return RegDocument::Parse(bytes);
}

long PosixRegistry::OpenKey(std::uint32_t root, const std::string& subKey, RegHandle* key) {
  if (!key) return kErrorInvalidData;
  *key = 0;
  if (!Load().KeyExists(root, subKey)) return kErrorFileNotFound;
  RegHandle handle = next_;
  next_ += 4;
  open_[handle] = OpenedKey{root, subKey};
  *key = handle;
  return kErrorSuccess;
}

long PosixRegistry::QueryValue(RegHandle key, const std::string& name, std::uint32_t* type,
                               std::uint8_t* data, std::uint32_t* size) {
  auto it = open_.find(key);
  if (it == open_.end()) return kErrorInvalidHandle;
  RegDocument doc = Load();
  const RegEntry* entry = doc.FindValue(it->second.root, it->second.path, name);
  if (!entry) return kErrorFileNotFound;
  if (type) *type = entry->type;
  const auto needed = static_cast<std::uint32_t>(entry->data.size());
  if (!data) {
    if (size) *size = needed;
    return kErrorSuccess;
  }
  if (!size) return kErrorInvalidData;
  if (*size < needed) {
    *size = needed;
    return kErrorMoreData;
  }
  std::memcpy(data, entry->data.data(), needed);
  *size = needed;
  return kErrorSuccess;
}

long PosixRegistry::SetValue(RegHandle key, const std::string& name, std::uint32_t type,
                             const std::uint8_t* data, std::uint32_t size) {
  auto it = open_.find(key);
  if (it == open_.end()) return kErrorInvalidHandle;
  const OpenedKey target = it->second;
  std::string bytes(reinterpret_cast<const char*>(data), data ? size : 0);
  return Modify([&](RegDocument& doc) {
    // A key deleted since it was opened is not brought back.
    if (!doc.KeyExists(target.root, target.path)) return kErrorFileNotFound;
    doc.SetValue(target.root, target.path, name, type, bytes);
    return kErrorSuccess;
  });
}

long PosixRegistry::CloseKey(RegHandle key) {
  return open_.erase(key) ? kErrorSuccess : kErrorInvalidHandle;
}

long PosixRegistry::CreateKey(std::uint32_t root, const std::string& subKey) {
  if (!RegDocument::RootName(root)) return kErrorInvalidHandle;
  return Modify([&](RegDocument& doc) {
    doc.CreateKey(root, subKey);
    return kErrorSuccess;
  });
}

long PosixRegistry::DeleteKeyTree(std::uint32_t root, const std::string& subKey) {
  return Modify([&](RegDocument& doc) {
    if (!doc.KeyExists(root, subKey)) return kErrorFileNotFound;
    doc.DeleteKeyTree(root, subKey);
    return kErrorSuccess;
  });
}

template <typename Change>
long PosixRegistry::Modify(Change&& change) {
  std::error_code ec;
  fs::create_directories(fs::path(path_).parent_path(), ec);
  // The lock is a file of its own: the store itself is replaced by rename,
  // so a lock on it would be a lock on a file that is about to go away.
  FileLock lock(path_ + ".lock");
  if (!lock.held()) return kErrorAccessDenied;

  // A store that is there but cannot be read (too large, a FIFO, a link
  // elsewhere) is never replaced by one made from nothing.
  auto read = ReadRegularFile(path_);
  if (!read && read.error().kind != ErrorKind::NotFound) return kErrorAccessDenied;
  const bool existed = read.ok();
  const std::string before = existed ? *read : std::string();
  RegDocument doc = RegDocument::Parse(existed ? before : "");
  long rc = change(doc);
  if (rc != kErrorSuccess) return rc;
  if (existed && doc.damaged()) KeepDamagedCopy(before, doc);
  return ReplaceFileAtomically(path_, doc.Serialize()) ? kErrorSuccess : kErrorAccessDenied;
}

void PosixRegistry::KeepDamagedCopy(const std::string& bytes, const RegDocument& doc) const {
  // One copy per distinct damage: a copy that holds the same unreadable
  // lines already keeps what this one would.
  const auto raw = doc.RawLines();
  std::string copy = path_ + ".damaged";
  for (int n = 1;; ++n) {
    std::string existing;
    if (!ReadWholeFile(copy, existing)) break;
    if (RegDocument::Parse(existing).RawLines() == raw) return;
    copy = path_ + ".damaged." + std::to_string(n);
  }
  if (ReplaceFileAtomically(copy, bytes))
    std::fprintf(stderr,
                 "%s: %s holds lines that cannot be read; they are kept as they are, and "
                 "the file as it was before this change is saved as %s\n",
                 program_invocation_short_name, path_.c_str(), copy.c_str());
  else
    std::fprintf(stderr, "%s: %s holds lines that cannot be read, and no copy could be "
                 "saved beside it; they are kept as they are\n", program_invocation_short_name,
                 path_.c_str());
}

}  // namespace plumage::platform
