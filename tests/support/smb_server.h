// A real Samba server for the tests: Debian's smbd in the foreground on a
// free loopback port, with a configuration, state, locks, cache and
// password database of its own in a temporary folder, serving one share
// (`share()`, the name "share") to guests. smbclient, with the same private
// configuration, shows what a Windows client sees. smbd and the children it
// forked are stopped when the object goes, however the test ends.
#pragma once

#include <cstdint>
#include <filesystem>
#include <optional>
#include <string>

#include "support/run_process.h"

namespace plumage::test {

class SmbServer {
 public:
  // Everything of the server goes under `root` (which must exist); the
  // share is root/share.
  explicit SmbServer(const std::filesystem::path& root);
  ~SmbServer();
  SmbServer(const SmbServer&) = delete;
  SmbServer& operator=(const SmbServer&) = delete;

  // Why no server can be started here (smbd or smbclient missing, not
  // root), or nothing.
  static std::optional<std::string> WhyUnavailable();

  // Starts smbd and waits until it takes connections; false, with its log
  // in `why`, when it did not.
  bool Start(std::string* why);
  void Stop();

  const std::filesystem::path& share() const { return share_; }
  int port() const { return port_; }

  // smbclient //127.0.0.1/share, as a guest, running `commands` (its -c).
  ProcessResult Client(const std::string& commands) const;

  // The attributes a client reads for a path of the share ("Music",
  // "Music/DESKTOP.INI"), from smbclient's allinfo; nothing when it has
  // no such path.
  std::optional<std::uint32_t> Attributes(const std::string& path) const;

  // Fetches a file of the share as a client does; false when it could not.
  bool Get(const std::string& path, const std::filesystem::path& local) const;

 private:
  std::filesystem::path root_;
  std::filesystem::path share_;
  std::filesystem::path config_;
  int port_ = 0;
  int pid_ = -1;
};

}  // namespace plumage::test
