// One QApplication for every test of the program; windows need it before they are made.
// Headless unless the caller chose a platform.
#include <cstdlib>
#include <memory>

#include <gtest/gtest.h>
#include <QApplication>

#include "TestFiles.h"

namespace {

class QtApplicationEnvironment final : public ::testing::Environment {
 public:
  void SetUp() override {
    if (std::getenv("QT_QPA_PLATFORM") == nullptr) Orvane::Test::SetEnvironment("QT_QPA_PLATFORM", "offscreen");
    application_ = std::make_unique<QApplication>(argc_, argv_);
  }
  void TearDown() override { application_.reset(); }

 private:
  int argc_ = 1;
  char name_[16] = "orvane-tests";
  char* argv_[2] = {name_, nullptr};
  std::unique_ptr<QApplication> application_;
};

[[maybe_unused]] ::testing::Environment* const kQtApplication =
    ::testing::AddGlobalTestEnvironment(new QtApplicationEnvironment);

}  // namespace
