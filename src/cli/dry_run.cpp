#include "cli/dry_run.h"

#include <unistd.h>

#include <filesystem>

#include "cli/cli.h"
#include "base/codepage.h"
#include "formats/profile_engine.h"

namespace plumage::cli {

std::string AttributeNames(std::uint32_t attributes) {
  static const std::pair<std::uint32_t, const char*> kNames[] = {
      {platform::kAttributeReadOnly, "Read-only"},
      {platform::kAttributeHidden, "Hidden"},
      {platform::kAttributeSystem, "System"},
      {platform::kAttributeDirectory, "Directory"},
      {platform::kAttributeArchive, "Archive"}};
  std::string names;
  for (const auto& [bit, name] : kNames) {
    if ((attributes & bit) == 0) continue;
    if (!names.empty()) names += ", ";
    names += name;
  }
  return names.empty() ? "Normal" : names;
}

Result<std::uint32_t> DryRunFiles::GetAttributes(const std::string& path) {
  if (auto gone = exists_.find(path); gone != exists_.end() && !gone->second)
    return MakeError(ErrorKind::NotFound, path + " would be deleted");
  auto real = real_.GetAttributes(path);
  std::uint32_t kind = real ? (*real & platform::kAttributeDirectory) : 0;
  if (auto set = attributes_.find(path); set != attributes_.end()) return kind | set->second;
  if (!real && exists_.count(path)) return std::uint32_t{0};  // a file that would be created
  return real;
}

Status DryRunFiles::SetAttributes(const std::string& path, std::uint32_t attributes) {
  if (!GetAttributes(path)) return MakeError(ErrorKind::NotFound, "no file " + path);
  attributes &= ~platform::kAttributeDirectory;
  log.push_back("set the attributes of " + path + " to " + std::to_string(attributes) + " (" +
                AttributeNames(attributes) + ")");
  attributes_[path] = attributes;
  return Ok{};
}

bool DryRunFiles::FileExists(const std::string& path) {
  if (auto it = exists_.find(path); it != exists_.end()) return it->second;
  return real_.FileExists(path);
}

Status DryRunFiles::Remove(const std::string& path) {
  if (!FileExists(path)) return MakeError(ErrorKind::NotFound, "no file " + path);
  log.push_back("delete " + path);
  exists_[path] = false;
  stored_.erase(path);
  attributes_.erase(path);
  return Ok{};
}

Status DryRunFiles::Copy(const std::string& from, const std::string& to) {
  log.push_back("copy " + from + " to " + to);
  exists_[to] = true;
  return Ok{};
}

Result<std::vector<std::string>> DryRunFiles::List(const std::string& folder,
                                                   const std::string& pattern,
                                                   std::uint32_t include) {
  return real_.List(folder, pattern, include);
}

Result<std::string> DryRunFiles::LoadFile(const std::string& path, std::size_t maxBytes) {
  if (auto gone = exists_.find(path); gone != exists_.end() && !gone->second)
    return MakeError(ErrorKind::NotFound, path + " would be deleted");
  if (auto it = stored_.find(path); it != stored_.end()) return it->second;
  return real_.LoadFile(path, maxBytes);
}

Status DryRunFiles::StoreFile(const std::string& path, const std::string& bytes) {
  log.push_back("write " + path + " (" + std::to_string(bytes.size()) + " bytes)");
  stored_[path] = bytes;
  exists_[path] = true;
  return Ok{};
}

void DryRunFiles::Created(const std::string& path) {
  exists_[path] = true;
}

std::string DryRunProfile::Current(const std::string& file) {
  if (auto it = contents_.find(file); it != contents_.end()) return it->second;
  std::string bytes;
  if (!platform::ReadWholeFile(file, bytes)) bytes.clear();
  return bytes;
}

std::uint32_t DryRunProfile::GetString(const std::string& section, const std::string& key,
                                       const std::string& defaultValue, std::span<char> buffer,
                                       const std::string& file) {
  return formats::ProfileText(Current(file)).GetString(section, key, defaultValue, buffer);
}

Status DryRunProfile::WriteString(const std::string& section, const std::string& key,
                                  const std::string& value, const std::string& file) {
  return Write(section, key, value, file, false);
}

std::optional<std::string> DryRunProfile::ReadText(const std::string& section,
                                                   const std::string& key,
                                                   const std::string& file) {
  return formats::ProfileText(Current(file)).FindText(section, key);
}

Status DryRunProfile::WriteTexts(const std::string& section,
                                 const std::vector<platform::ProfileValue>& values,
                                 const std::string& file) {
  for (const auto& [key, value] : values)
    if (Status s = Write(section, key, value, file, true); !s) return s;
  return Ok{};
}

Status DryRunProfile::Write(const std::string& section, const std::string& key,
                            const std::string& value, const std::string& file, bool utf8) {
  // The checks of the real writer that a preview can make.
  if (auto a = files_.GetAttributes(file); a && (*a & platform::kAttributeReadOnly) != 0)
    return MakeError(ErrorKind::Io, "cannot write " + file + ": it is read-only");
  const std::string folder = std::filesystem::path(file).parent_path().string();
  if (access(folder.empty() ? "." : folder.c_str(), W_OK) != 0)
    return MakeError(ErrorKind::Io, "cannot write " + file + ": its folder is not writable");
  const formats::ProfileText text(Current(file));
  auto edited = utf8 ? text.SetText(section, key, value) : text.Set(section, key, value);
  if (!edited)
    return MakeError(ErrorKind::Invalid, "cannot write " + file + ": " + edited.error().message);
  auto shown = [utf8](const std::string& s) { return utf8 ? s : AnsiToUtf8(s); };
  log_.push_back("set [" + shown(section) + "] " + shown(key) + "=" + shown(value) + " in " + file +
                 (edited.value() ? "" : " (already so)"));
  if (edited.value()) {
    contents_[file] = *edited.value();
    files_.Created(file);
  }
  return Ok{};
}

}  // namespace plumage::cli
