// One QApplication for a whole view-test executable, made before the first
// test and gone before the program's own statics are: a function-local
// static would be destroyed after Qt's, and crash on the way out. Include it
// from exactly one file of a view-test executable.
#pragma once

#include <gtest/gtest.h>

#include <QApplication>
#include <memory>
#include <optional>

#include "support/temp_dir.h"

namespace plumage::test {

class QtEnvironment : public ::testing::Environment {
 public:
  void SetUp() override {
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
    // Qt keeps the file dialog's state (QtProject.conf) and its caches in
    // the home: the views get one of their own, and no session bus, whose
    // services write into the user's.
    home_.emplace();
    qunsetenv("DBUS_SESSION_BUS_ADDRESS");
    for (const char* name : {"XDG_CONFIG_HOME", "XDG_DATA_HOME", "XDG_CACHE_HOME", "XDG_STATE_HOME",
                             "XDG_RUNTIME_DIR"})
      qputenv(name, QByteArray::fromStdString(home_->str() + "/" + name));
    qputenv("HOME", QByteArray::fromStdString(home_->str()));
    std::filesystem::create_directory(*home_ / "XDG_RUNTIME_DIR");
    std::filesystem::permissions(*home_ / "XDG_RUNTIME_DIR", std::filesystem::perms::owner_all);
    app_ = std::make_unique<QApplication>(argc_, argv_);
  }
  void TearDown() override {
    app_.reset();
    home_.reset();
  }

 private:
  int argc_ = 1;
  char name_[10] = "view-test";
  char* argv_[2] = {name_, nullptr};
  std::optional<TempDir> home_;
  std::unique_ptr<QApplication> app_;
};

inline const ::testing::Environment* const kQtEnvironment =
    ::testing::AddGlobalTestEnvironment(new QtEnvironment);

}  // namespace plumage::test
