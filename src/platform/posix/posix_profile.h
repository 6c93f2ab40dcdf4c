// The Linux side of IPrivateProfile: the profile engine over real files.
// A write reads the whole file, edits it in memory and replaces it
// atomically, keeping its permissions and DOS attributes. A file without
// write permission (Read-only) is refused, as Windows refuses it.
#pragma once

#include <cstddef>

#include "platform/profile.h"

namespace plumage::platform {

// Real descriptor files are a few hundred bytes (Windows 95 stopped at
// 64 KiB); a larger one is not read, so a hostile file cannot exhaust
// memory, and is never rewritten.
inline constexpr std::size_t kMaxProfileBytes = 8u << 20;

class PosixPrivateProfile : public IPrivateProfile {
 public:
  std::uint32_t GetString(const std::string& section, const std::string& key,
                          const std::string& defaultValue, std::span<char> buffer,
                          const std::string& file) override;
  Status WriteString(const std::string& section, const std::string& key, const std::string& value,
                     const std::string& file) override;
  // Every value in one replace of the file: all of them or none.
  Status WriteStrings(const std::string& section, const std::vector<ProfileValue>& values,
                      const std::string& file) override;
  // The same in UTF-8, in the file's own encoding; a Windows-1252 file that
  // cannot hold a value is replaced by its UTF-16LE form in that one step.
  std::optional<std::string> ReadText(const std::string& section, const std::string& key,
                                      const std::string& file) override;
  Status WriteTexts(const std::string& section, const std::vector<ProfileValue>& values,
                    const std::string& file) override;
};

}  // namespace plumage::platform
