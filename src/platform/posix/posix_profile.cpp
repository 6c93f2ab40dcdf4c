#include "platform/posix/posix_profile.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstdlib>
#include <cstring>
#include <optional>
#include <string>

#include "platform/posix/posix_files.h"
#include "formats/profile_engine.h"

namespace plumage::platform {

using formats::ProfileText;

namespace {

Error FileError(const std::string& path, const std::string& what) {
  return MakeError(ErrorKind::Io, "cannot write " + path + ": " + what);
}

// The whole file, at most kMaxProfileBytes; empty when there is none.
Result<std::string> ReadProfile(const std::string& path) {
  auto read = ReadRegularFile(path, kMaxProfileBytes);
  if (!read && read.error().kind == ErrorKind::NotFound) return std::string();
  return read;
}

// Windows-1252 names and values, or UTF-8 ones.
enum class Text { Ansi, Utf8 };

// The bytes of `file` with every value set, or nothing when it holds them
// all already.
Result<std::optional<std::string>> Edited(const std::string& file, const std::string& section,
                                          const std::vector<ProfileValue>& values, Text text) {
  struct stat st {};
  if (stat(file.c_str(), &st) == 0 && S_ISREG(st.st_mode) &&
      (st.st_mode & (S_IWUSR | S_IWGRP | S_IWOTH)) == 0)
    return FileError(file, "it is read-only");
  auto read = ReadProfile(file);
  if (!read) return read.error();
  std::optional<std::string> bytes;
  for (const auto& [key, value] : values) {
    const ProfileText before(bytes ? *bytes : *read);
    auto edited =
        text == Text::Ansi ? before.Set(section, key, value) : before.SetText(section, key, value);
    if (!edited) return FileError(file, edited.error().message);
    if (edited.value()) bytes = std::move(*edited.value());
  }
  return bytes;
}

// Every value in one replace of the file: all of them or none.
Status Write(const std::string& file, const std::string& section,
             const std::vector<ProfileValue>& values, Text text) {
  // The file behind a link is written only where the link may be followed
  // (see FileBehind); the link stays a link.
  auto behind = FileBehind(file, Links::SameOwnerHere);
  if (!behind && behind.error().kind != ErrorKind::NotFound)
    return MakeError(ErrorKind::Invalid, "cannot write " + behind.error().message);
  const std::string target = behind ? *behind : file;
  auto edited = Edited(target, section, values, text);
  if (!edited) return edited.error();
  if (!edited.value()) {
    // It holds those values already; what killed runs left beside it goes
    // all the same.
    RemoveStaleSiblings(target);
    return Ok{};
  }
  // A file the reader would refuse is not written (a large Windows-1252
  // file doubles in UTF-16).
  if (edited.value()->size() > kMaxProfileBytes)
    return FileError(file, "it would become larger than " + std::to_string(kMaxProfileBytes) +
                               " bytes, more than such a file ever holds");
  return WriteFileAtomically(file, *edited.value());
}

}  // namespace

std::uint32_t PosixPrivateProfile::GetString(const std::string& section, const std::string& key,
                                             const std::string& defaultValue,
                                             std::span<char> buffer, const std::string& file) {
  // A file that cannot be read reads as an empty one: the default.
  auto bytes = ReadProfile(file);
  return ProfileText(bytes ? *bytes : std::string()).GetString(section, key, defaultValue, buffer);
}

Status PosixPrivateProfile::WriteString(const std::string& section, const std::string& key,
                                        const std::string& value, const std::string& file) {
  return WriteStrings(section, {{key, value}}, file);
}

Status PosixPrivateProfile::WriteStrings(const std::string& section,
                                         const std::vector<ProfileValue>& values,
                                         const std::string& file) {
  return Write(file, section, values, Text::Ansi);
}

std::optional<std::string> PosixPrivateProfile::ReadText(const std::string& section,
                                                         const std::string& key,
                                                         const std::string& file) {
  auto bytes = ReadProfile(file);
  if (!bytes) return std::nullopt;
  return ProfileText(*bytes).FindText(section, key);
}

Status PosixPrivateProfile::WriteTexts(const std::string& section,
                                       const std::vector<ProfileValue>& values,
                                       const std::string& file) {
  return Write(file, section, values, Text::Utf8);
}

}  // namespace plumage::platform
