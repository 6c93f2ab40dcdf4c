// Recording fakes for the settings dialog, the about box and the shell icon
// cache: a registry that logs every write on its way to a real REGEDIT4
// store in a temporary folder, a shell that logs announcements and opened
// addresses in the same log, and a user interface that records and
// pre-answers.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "app/form.h"
#include "app/program.h"
#include "app/user_interface.h"
#include "platform/platform.h"
#include "platform/posix/posix_file_system.h"
#include "platform/posix/registry_store.h"
#include "platform/registry.h"
#include "platform/system.h"
#include "settings/settings.h"
#include "shellcache/icon_cache_manager.h"
#include "support/temp_dir.h"

namespace plumage::test::dialogs {

using Log = std::vector<std::string>;

class RecordingRegistry : public platform::IRegistry {
 public:
  RecordingRegistry(std::string file, Log& log) : store_(std::move(file)), log_(log) {}

  long OpenKey(std::uint32_t root, const std::string& subKey, platform::RegHandle* key) override {
    long rc = store_.OpenKey(root, subKey, key);
    ++openCalls;
    if (rc == platform::kErrorSuccess) ++openKeys;
    return rc;
  }
  long QueryValue(platform::RegHandle key, const std::string& name, std::uint32_t* type,
                  std::uint8_t* data, std::uint32_t* size) override {
    return store_.QueryValue(key, name, type, data, size);
  }
  long SetValue(platform::RegHandle key, const std::string& name, std::uint32_t type,
                const std::uint8_t* data, std::uint32_t size) override {
    long rc = store_.SetValue(key, name, type, data, size);
    // Logged as "set <name>=<data without its NUL>", data in the ANSI code
    // page as stored; only writes that reached the store are logged.
    if (rc == platform::kErrorSuccess) {
      std::string text(reinterpret_cast<const char*>(data), size);
      if (!text.empty() && text.back() == '\0') text.pop_back();
      log_.push_back("set " + name + "=" + text);
    }
    return rc;
  }
  long CloseKey(platform::RegHandle key) override {
    long rc = store_.CloseKey(key);
    if (rc == platform::kErrorSuccess) --openKeys;
    return rc;
  }
  long CreateKey(std::uint32_t root, const std::string& subKey) override {
    return store_.CreateKey(root, subKey);
  }
  long DeleteKeyTree(std::uint32_t root, const std::string& subKey) override {
    return store_.DeleteKeyTree(root, subKey);
  }

  platform::PosixRegistry& store() { return store_; }

  int openKeys = 0;   // keys opened through this registry and not yet closed
  int openCalls = 0;  // every attempt to open a key

 private:
  platform::PosixRegistry store_;
  Log& log_;
};

class RecordingShell : public platform::IShell {
 public:
  explicit RecordingShell(Log& log) : log_(log) {}
  void OpenDocument(const std::string& target) override { log_.push_back("open " + target); }
  void SendRefreshKey() override { log_.push_back("refresh key"); }
  void UpdateShellImageCache(const std::string& file, std::int32_t index) override {
    log_.push_back("image cache " + file + "," + std::to_string(index));
  }
  void BroadcastSettingChange(std::uint32_t timeoutMs) override {
    log_.push_back("broadcast " + std::to_string(timeoutMs));
  }

 private:
  Log& log_;
};

class FakeSystem : public platform::ISystem {
 public:
  explicit FakeSystem(std::string folder) : folder_(std::move(folder)) {}
  std::string ProgramFolder() override { return folder_; }
  std::string ExecutableName() override { return "plumage"; }
  bool PreviousInstanceRunning() override { return false; }
  std::uint32_t TickCount() override { return 0; }
  long LastError() override { return 0; }
  std::string ErrorMessage(long) override { return {}; }

 private:
  std::string folder_;
};

struct Message {
  std::string text;
  std::string title;
  MessageIcon icon;
};

class LoggingUi : public IUserInterface {
 public:
  explicit LoggingUi(Log& log) : log_(log) {}

  void MessageBox(const std::string& text, const std::string& title, MessageIcon icon) override {
    messages.push_back({text, title, icon});
    log_.push_back("message " + title + ": " + text);
  }
  void SetWaitCursor(bool busy) override { log_.push_back(busy ? "wait on" : "wait off"); }
  std::optional<std::string> OpenFile(const OpenFileOptions& options) override {
    openFileCalls.push_back(options);
    return openFileAnswer;
  }
  void Beep() override { log_.push_back("beep"); }
  void DoEvents() override {}
  void EndProgram() override { log_.push_back("end"); }
  void ShowOptions() override { log_.push_back("show options"); }
  void ShowAbout() override { log_.push_back("show about"); }
  void ShowTransformIcon(ChangeIcon&) override { log_.push_back("show transform"); }

  std::vector<Message> messages;
  std::vector<OpenFileOptions> openFileCalls;
  std::optional<std::string> openFileAnswer;  // what the open-file dialog "picks"

 private:
  Log& log_;
};

// Stands in for a view: logs when the form closes.
class LogObserver : public IFormObserver {
 public:
  explicit LogObserver(Log& log) : log_(log) {}
  void FormChanged() override { ++changes; }
  void FormClosed() override { log_.push_back("closed"); }
  int changes = 0;

 private:
  Log& log_;
};

// A program on a temporary registry file, with the verb key and the shell's
// two keys present, the program folder and the Windows directory in the
// temporary folder, and the real Linux files.
class ProgramFixture {
 public:
  ProgramFixture()
      : registry((dir / "registry.reg").string(), log),
        shell(log),
        system(dir.str() + "/"),
        os{&registry, &system, &shell, &files},
        program(os),
        ui(log) {
    registry.CreateKey(kVerbRoot, kVerbCommandKey);
    registry.CreateKey(kWindowMetricsRoot, kWindowMetricsKey);
    registry.CreateKey(kExplorerRoot, kExplorerKey);
    program.WindowsDirectory = dir.str() + "/";
  }

  // Writes a value as a test's starting state; not part of the log.
  void Store(std::uint32_t root, const char* key, const char* name, const std::string& text) {
    SetRaw(root, key, name, platform::kRegSz, text + std::string(1, '\0'));
  }
  void SetRaw(std::uint32_t root, const char* key, const char* name, std::uint32_t type,
              const std::string& bytes) {
    platform::RegHandle h = 0;
    ASSERT_EQ(registry.store().OpenKey(root, key, &h), platform::kErrorSuccess);
    ASSERT_EQ(registry.store().SetValue(h, name, type,
                                        reinterpret_cast<const std::uint8_t*>(bytes.data()),
                                        static_cast<std::uint32_t>(bytes.size())),
              platform::kErrorSuccess);
    registry.store().CloseKey(h);
  }

  // The stored bytes of a string value, its NUL included; nothing when it is
  // missing.
  std::optional<std::string> Raw(std::uint32_t root, const char* key, const char* name) {
    platform::RegHandle h = 0;
    if (registry.store().OpenKey(root, key, &h) != platform::kErrorSuccess) return std::nullopt;
    std::uint32_t type = 0, size = 0;
    std::optional<std::string> result;
    if (registry.store().QueryValue(h, name, &type, nullptr, &size) == platform::kErrorSuccess) {
      std::string bytes(size, '\0');
      if (registry.store().QueryValue(h, name, &type, reinterpret_cast<std::uint8_t*>(bytes.data()),
                                      &size) == platform::kErrorSuccess)
        result = bytes.substr(0, size);
    }
    registry.store().CloseKey(h);
    return result;
  }

  TempDir dir;
  Log log;
  RecordingRegistry registry;
  RecordingShell shell;
  FakeSystem system;
  platform::PosixFileSystem files;
  platform::Platform os;
  Program program;
  LoggingUi ui;
};

}  // namespace plumage::test::dialogs
