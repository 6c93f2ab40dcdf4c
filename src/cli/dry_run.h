// plumagectl --dry-run: the file system and the INI writer as the real ones
// see them, except that nothing is changed. Changes are kept in memory (so
// later steps read what earlier ones would have left) and told as they come.
#pragma once

#include <map>
#include <optional>
#include <string>
#include <vector>

#include "platform/files.h"
#include "platform/profile.h"

namespace plumage::cli {

class DryRunFiles : public platform::IFileSystem {
 public:
  explicit DryRunFiles(platform::IFileSystem& real) : real_(real) {}

  Result<std::uint32_t> GetAttributes(const std::string& path) override;
  Status SetAttributes(const std::string& path, std::uint32_t attributes) override;
  bool FileExists(const std::string& path) override;
  Status Remove(const std::string& path) override;
  Status Copy(const std::string& from, const std::string& to) override;
  Result<std::vector<std::string>> List(const std::string& folder, const std::string& pattern,
                                        std::uint32_t include) override;
  bool IsDriveRoot(const std::string& folder) override { return real_.IsDriveRoot(folder); }
  Result<std::string> LoadFile(const std::string& path, std::size_t maxBytes) override;
  Status StoreFile(const std::string& path, const std::string& bytes) override;
  Result<platform::VolumeInfo> DescribeVolume(const std::string& path) override {
    return real_.DescribeVolume(path);
  }

  // A file the profile writer would create.
  void Created(const std::string& path);
  // The changes, one line each, in order.
  std::vector<std::string> log;

 private:
  platform::IFileSystem& real_;
  std::map<std::string, std::uint32_t> attributes_;
  std::map<std::string, bool> exists_;
  std::map<std::string, std::string> stored_;
};

class DryRunProfile : public platform::IPrivateProfile {
 public:
  DryRunProfile(DryRunFiles& files, std::vector<std::string>& log) : files_(files), log_(log) {}

  std::uint32_t GetString(const std::string& section, const std::string& key,
                          const std::string& defaultValue, std::span<char> buffer,
                          const std::string& file) override;
  Status WriteString(const std::string& section, const std::string& key, const std::string& value,
                     const std::string& file) override;
  std::optional<std::string> ReadText(const std::string& section, const std::string& key,
                                      const std::string& file) override;
  Status WriteTexts(const std::string& section, const std::vector<platform::ProfileValue>& values,
                    const std::string& file) override;

  // The files as they would be written (their bytes, in the encoding the
  // write would leave).
  const std::map<std::string, std::string>& files() const { return contents_; }

 private:
  std::string Current(const std::string& file);
  // One key; `utf8` for the names and value of WriteTexts, else
  // Windows-1252 bytes.
  Status Write(const std::string& section, const std::string& key, const std::string& value,
               const std::string& file, bool utf8);

  DryRunFiles& files_;
  std::vector<std::string>& log_;
  std::map<std::string, std::string> contents_;
};

// "Hidden, System" for 6, "Normal" for 0.
std::string AttributeNames(std::uint32_t attributes);

}  // namespace plumage::cli
