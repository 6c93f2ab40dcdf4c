// Recording fakes of the platform, and a journaling user interface, for
// tests that drive forms and program modules. Every call is noted in a
// shared journal (when one is given) so that a test can check the order
// across fakes.
#pragma once

#include <cstdint>
#include <map>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "app/program.h"
#include "app/user_interface.h"
#include "platform/platform.h"
#ifdef _WIN32
#include "platform/win32/win32_file_system.h"
#include "platform/win32/win32_profile.h"
#else
#include "platform/posix/posix_file_system.h"
#include "platform/posix/posix_profile.h"
#endif
#include "platform/registry.h"
#include "platform/system.h"
#include "support/recording_ui.h"

namespace plumage::test {

using Journal = std::vector<std::string>;

// RecordingUi that also notes every call, DoEvents included, in a journal
// it shares with the other fakes.
class JournalUi : public RecordingUi {
 public:
  explicit JournalUi(Journal& journal) : journal_(journal) {}
  void MessageBox(const std::string& text, const std::string& title, MessageIcon icon) override {
    journal_.push_back("MessageBox " + title + ": " + text);
    RecordingUi::MessageBox(text, title, icon);
  }
  void SetWaitCursor(bool busy) override {
    journal_.push_back(busy ? "SetWaitCursor on" : "SetWaitCursor off");
    RecordingUi::SetWaitCursor(busy);
  }
  void DoEvents() override {
    journal_.push_back("DoEvents");
    RecordingUi::DoEvents();
  }
  void EndProgram() override {
    journal_.push_back("EndProgram");
    RecordingUi::EndProgram();
  }

 private:
  Journal& journal_;
};

class RecordingShell : public platform::IShell {
 public:
  explicit RecordingShell(Journal* journal = nullptr) : journal_(journal) {}

  bool OpenDocument(const std::string& target) override;
  void SendRefreshKey() override;
  void UpdateShellImageCache(const std::string& iconFile, std::int32_t index) override;
  void BroadcastSettingChange(std::uint32_t timeoutMs) override;
  void NotifyFolderChanged(const std::string& folder, const std::string& descriptor) override;
  void NotifyIconsChanged() override;

  std::vector<std::string> opened;
  bool openSucceeds = true;  // what OpenDocument answers
  int refreshKeys = 0;
  std::vector<std::pair<std::string, std::int32_t>> cached;
  std::vector<std::uint32_t> broadcasts;
  std::vector<std::pair<std::string, std::string>> foldersChanged;  // folder, descriptor
  int iconsChanged = 0;

 private:
  void Note(const std::string& entry);
  Journal* journal_;
};

// The registry in memory, with the return codes of the real one.
class MemoryRegistry : public platform::IRegistry {
 public:
  long OpenKey(std::uint32_t root, const std::string& subKey, platform::RegHandle* key) override;
  long QueryValue(platform::RegHandle key, const std::string& name, std::uint32_t* type,
                  std::uint8_t* data, std::uint32_t* size) override;
  long SetValue(platform::RegHandle key, const std::string& name, std::uint32_t type,
                const std::uint8_t* data, std::uint32_t size) override;
  long CloseKey(platform::RegHandle key) override;
  long CreateKey(std::uint32_t root, const std::string& subKey) override;
  long DeleteKeyTree(std::uint32_t root, const std::string& subKey) override;

  // A REG_SZ value with its closing NUL, creating the key.
  void SetString(std::uint32_t root, const std::string& subKey, const std::string& name,
                 const std::string& text);
  // A value's stored bytes, its NUL included; nothing when it is missing.
  std::optional<std::string> Stored(std::uint32_t root, const std::string& subKey,
                                    const std::string& name) const;
  int openHandles() const { return static_cast<int>(handles_.size()); }
  // When set, every stored value is noted there as "SetValue <name>=<data
  // without its closing NUL>", in the bytes it was given (the ANSI code page).
  Journal* journal = nullptr;

 private:
  struct Value {
    std::uint32_t type = 0;
    std::string data;
  };
  static std::string KeyId(std::uint32_t root, const std::string& subKey);
  static std::string Upper(std::string text);
  std::map<std::string, std::map<std::string, Value>> keys_;  // by KeyId, names upper-cased
  std::map<platform::RegHandle, std::string> handles_;
  platform::RegHandle next_ = 1;
};

class FakeSystem : public platform::ISystem {
 public:
  std::string ProgramFolder() override { return programFolder; }
  std::string ExecutableName() override { return "plumage"; }
  bool PreviousInstanceRunning() override { return previousInstance; }
  std::uint32_t TickCount() override { return tick++; }
  long LastError() override { return 0; }
  std::string ErrorMessage(long code) override { return "error " + std::to_string(code); }
  std::string LocalAppDataFolder() override { return localAppData; }

  std::string programFolder = "/opt/plumage/";
  std::string localAppData;  // none: no per-user icon cache files
  bool previousInstance = false;
  std::uint32_t tick = 0;
};

// The real files, passed through call for call; a test's own file system
// derives from it and changes only the calls it is about.
class ForwardingFiles : public platform::IFileSystem {
 public:
  explicit ForwardingFiles(platform::IFileSystem& real) : real_(real) {}
  Result<std::uint32_t> GetAttributes(const std::string& path) override {
    return real_.GetAttributes(path);
  }
  Status SetAttributes(const std::string& path, std::uint32_t attributes) override {
    return real_.SetAttributes(path, attributes);
  }
  bool FileExists(const std::string& path) override { return real_.FileExists(path); }
  Status Remove(const std::string& path) override { return real_.Remove(path); }
  Status Copy(const std::string& from, const std::string& to) override {
    return real_.Copy(from, to);
  }
  Result<std::vector<std::string>> List(const std::string& folder, const std::string& pattern,
                                        std::uint32_t include) override {
    return real_.List(folder, pattern, include);
  }
  bool IsDriveRoot(const std::string& folder) override { return real_.IsDriveRoot(folder); }
  Result<platform::VolumeInfo> DescribeVolume(const std::string& path) override {
    return real_.DescribeVolume(path);
  }
  Result<std::string> LoadFile(const std::string& path, std::size_t maxBytes) override {
    return real_.LoadFile(path, maxBytes);
  }
  Status StoreFile(const std::string& path, const std::string& bytes) override {
    return real_.StoreFile(path, bytes);
  }
  std::unique_ptr<platform::FolderLock> LockFolder(const std::string& folder) override {
    return real_.LockFolder(folder);
  }

 private:
  platform::IFileSystem& real_;
};

// An INI writer that passes everything to another one, except that the
// write numbered `failOnWrite` (from 1) fails: the "cannot write" road.
class FailingProfile : public platform::IPrivateProfile {
 public:
  FailingProfile(platform::IPrivateProfile& real, int failOnWrite)
      : real_(real), failOnWrite_(failOnWrite) {}
  std::uint32_t GetString(const std::string& section, const std::string& key,
                          const std::string& defaultValue, std::span<char> buffer,
                          const std::string& file) override {
    return real_.GetString(section, key, defaultValue, buffer, file);
  }
  Status WriteString(const std::string& section, const std::string& key, const std::string& value,
                     const std::string& file) override {
    if (++writes == failOnWrite_)
      return MakeError(ErrorKind::Io, "cannot write " + file + ": test");
    return real_.WriteString(section, key, value, file);
  }
  int writes = 0;

 private:
  platform::IPrivateProfile& real_;
  int failOnWrite_;
};

// This build's own files (Linux or Win32), for tests that write real files.
platform::IFileSystem& RealFiles();

// A platform of fakes around the real Linux files and INI writer, and a
// Program on it: what a test of a form or of the folder operations needs.
struct TestPlatform {
  explicit TestPlatform(Journal* journal = nullptr);
  MemoryRegistry registry;
  FakeSystem system;
  RecordingShell shell;
#ifdef _WIN32
  platform::Win32FileSystem files;
  platform::Win32PrivateProfile profile;
#else
  platform::PosixFileSystem files;
  platform::PosixPrivateProfile profile;
#endif
  platform::Platform os;
  Program program;
};

}  // namespace plumage::test
