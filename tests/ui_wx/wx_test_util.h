// Fixtures and small helpers shared by the GUI tests.
#pragma once

#include <gtest/gtest.h>

#include <string>

#include "app/resources/resources.h"
#include "tests/ui_wx/driver.h"
#include "ui/application.h"
#include "ui/wx/wx_platform.h"

namespace quillon::ui::wx::testing {

class WxTest : public ::testing::Test {
 protected:
  WxTest() : app(platform, res::QuillonResources(), "quillon") {}
  void TearDown() override { EXPECT_EQ(driver.Finish(), ""); }

  WxPlatform platform;
  Application app;
  Driver driver;
};

inline std::string Utf8(const wxString& text) {
  return std::string(text.utf8_str());
}

}  // namespace quillon::ui::wx::testing
