// The settings dialog's, the about box's and the icon cache's test bench: a
// real REGEDIT4 store in a temporary folder whose writes are noted in the
// journal that the shared fakes of the shell and the user interface write
// to, so a test sees every write, announcement and message in one order.
#pragma once

#include <gtest/gtest.h>

#include <cstdint>
#include <optional>
#include <string>

#include "app/form.h"
#include "app/program.h"
#include "platform/platform.h"
#ifdef _WIN32
#include "platform/win32/win32_file_system.h"
#else
#include "platform/posix/posix_file_system.h"
#include "platform/posix/registry_store.h"
#endif
#include "platform/registry.h"
#include "settings/settings.h"
#include "shellcache/icon_cache_manager.h"
#include "support/fakes.h"
#include "support/temp_dir.h"

namespace plumage::test {

// The Linux store, with "SetValue <name>=<data without its NUL>" noted for
// every write that reached it (data in the ANSI code page, as stored).
//
// The Windows build keeps the store in memory instead: the system registry
// is one for every test program of the Wine prefix.
class JournalRegistry : public platform::IRegistry {
 public:
#ifdef _WIN32
  using Store = MemoryRegistry;
  JournalRegistry(const std::string&, Journal& journal) : journal_(journal) {}
#else
  using Store = platform::PosixRegistry;
  JournalRegistry(std::string file, Journal& journal)
      : store_(std::move(file)), journal_(journal) {}
#endif

  long OpenKey(std::uint32_t root, const std::string& subKey, platform::RegHandle* key) override {
    ++openCalls;
    long rc = store_.OpenKey(root, subKey, key);
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
    if (rc == platform::kErrorSuccess) {
      std::string text(reinterpret_cast<const char*>(data), size);
      if (!text.empty() && text.back() == '\0') text.pop_back();
      journal_.push_back("SetValue " + name + "=" + text);
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

  Store& store() { return store_; }
  int openKeys = 0;   // opened through this registry and not yet closed
  int openCalls = 0;  // every attempt to open a key

 private:
  Store store_;
  Journal& journal_;
};

// Stands in for a view: notes when the form closes.
class JournalObserver : public IFormObserver {
 public:
  explicit JournalObserver(Journal& journal) : journal_(journal) {}
  void FormChanged() override {}
  void FormClosed() override { journal_.push_back("FormClosed"); }

 private:
  Journal& journal_;
};

// A program on that store, with the verb key and the shell's two keys
// present; the program folder and the Windows directory are the temporary
// folder; the files are the real Linux ones.
class DialogFixture {
 public:
  DialogFixture()
      : registry((dir / "registry.reg").string(), journal),
        shell(&journal),
        os{&registry, &system, &shell, &files},
        program(os),
        ui(journal) {
    system.programFolder = dir.str() + "/";
    registry.CreateKey(kVerbRoot, kVerbCommandKey);
    registry.CreateKey(kWindowMetricsRoot, kWindowMetricsKey);
    registry.CreateKey(kExplorerRoot, kExplorerKey);
    program.WindowsDirectory = dir.str() + "/";
  }

  // A string value as a test's starting state; not journaled.
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
  // The stored bytes of a value, its NUL included; nothing when missing.
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
  Journal journal;
  JournalRegistry registry;
  RecordingShell shell;
  FakeSystem system;
#ifdef _WIN32
  platform::Win32FileSystem files;
#else
  platform::PosixFileSystem files;
#endif
  platform::Platform os;
  Program program;
  JournalUi ui;
};

}  // namespace plumage::test
