// The Linux registry: one REGEDIT4 text file. Every call reads the file
// afresh; every change is a read-modify-write under an exclusive lock with an
// atomic replace, so two processes writing at once both keep their value. A
// file with lines that cannot be parsed is never silently thrown away.
#pragma once

#include <cstdint>
#include <map>
#include <string>

#include "formats/regedit_document.h"
#include "platform/registry.h"

namespace plumage::platform {

class PosixRegistry : public IRegistry {
 public:
  // `file` is the store; its folder is created on the first write.
  explicit PosixRegistry(std::string file);

  // $PLUMAGE_CONFIG/registry.reg, else $XDG_CONFIG_HOME/plumage/registry.reg,
  // else ~/.config/plumage/registry.reg.
  static std::string DefaultPath();

  const std::string& path() const { return path_; }

  long OpenKey(std::uint32_t root, const std::string& subKey, RegHandle* key) override;
  long QueryValue(RegHandle key, const std::string& name, std::uint32_t* type,
                  std::uint8_t* data, std::uint32_t* size) override;
  long SetValue(RegHandle key, const std::string& name, std::uint32_t type,
                const std::uint8_t* data, std::uint32_t size) override;
  long CloseKey(RegHandle key) override;
  long CreateKey(std::uint32_t root, const std::string& subKey) override;
  long DeleteKeyTree(std::uint32_t root, const std::string& subKey) override;

 private:
  struct OpenedKey {
    std::uint32_t root;
    std::string path;
  };

  formats::RegDocument Load() const;
  template <typename Change>
  long Modify(Change&& change);
  void KeepDamagedCopy(const std::string& bytes, const formats::RegDocument& doc) const;

  std::string path_;
  std::map<RegHandle, OpenedKey> open_;
  RegHandle next_ = 0x10;
};

}  // namespace plumage::platform
