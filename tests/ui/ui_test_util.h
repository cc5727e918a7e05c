// A test fixture with the scripted backend: any failure of the script fails the test, and a
// script left unfinished at the end of the test fails it too.
#pragma once

#include <gtest/gtest.h>

#include "ui/application.h"
#include "ui/headless/headless_platform.h"

namespace quillon::ui::testing {

class HeadlessTest : public ::testing::Test {
 protected:
  explicit HeadlessTest(const ResourceSet& resources) : app(platform, resources, "quillon") {
    platform.SetFailureHandler([](const std::string& failure) { ADD_FAILURE() << failure; });
  }
  void TearDown() override { EXPECT_EQ(platform.Finish(), ""); }

  headless::HeadlessPlatform platform;
  Application app;
};

}  // namespace quillon::ui::testing
