// One QApplication for a whole view-test executable, made before the first
// test and gone before the program's own statics are: a function-local
// static would be destroyed after Qt's, and crash on the way out. Include it
// from exactly one file of a view-test executable.
#pragma once

#include <gtest/gtest.h>

#include <QApplication>
#include <memory>

namespace plumage::test {

class QtEnvironment : public ::testing::Environment {
 public:
  void SetUp() override {
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
    app_ = std::make_unique<QApplication>(argc_, argv_);
  }
  void TearDown() override { app_.reset(); }

 private:
  int argc_ = 1;
  char name_[10] = "view-test";
  char* argv_[2] = {name_, nullptr};
  std::unique_ptr<QApplication> app_;
};

inline const ::testing::Environment* const kQtEnvironment =
    ::testing::AddGlobalTestEnvironment(new QtEnvironment);

}  // namespace plumage::test
