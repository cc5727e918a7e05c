// The desktop program under the scripted backend: a fresh working folder per test (shares,
// results and "tez.ini" go there), programs recorded but not started unless a test says so,
// a file layer that fails nothing until a test says so, and any script failure, or a script
// left unfinished, fails the test.
#pragma once

#include <gtest/gtest.h>

#include <filesystem>
#include <functional>
#include <string>
#include <vector>

#include "app/share_app.h"
#include "core/bmp_image.h"
#include "tests/fault_env.h"
#include "tests/test_util.h"
#include "ui/headless/headless_platform.h"
#include "ui/surface.h"

namespace quillon::testing {

// A 1-bit image from rows of 'b'/'w', row 0 first.
BmpImage Picture(const std::vector<std::string>& rows, const std::string& name);
// The pixels as rows of 'b'/'w', row 0 first.
std::vector<std::string> Pixels(const BmpImage& image);

class AppTest : public ::testing::Test {
 protected:
  AppTest() : m_previousDir(std::filesystem::current_path()) {
    std::filesystem::current_path(dir.Path());
    platform.SetFailureHandler([](const std::string& failure) { ADD_FAILURE() << failure; });
    platform.SetStartPrograms(false);
  }
  ~AppTest() override { std::filesystem::current_path(m_previousDir); }
  void TearDown() override { EXPECT_EQ(platform.Finish(), ""); }

  // A 1-bit picture from rows of 'b'/'w' (row 0 first, the bottom line), saved in the
  // working folder; returns its full path.
  std::string SavePicture(const std::string& name, const std::vector<std::string>& rows) {
    BmpImage image = Picture(rows, dir.File(name));
    EXPECT_TRUE(image.Save(Env::Default()));
    return image.FileName();
  }
  // A height x width 1-bit picture, black where black(row, col).
  std::string SavePicture(const std::string& name, int height, int width,
                          const std::function<bool(int, int)>& black) {
    BmpImage image(dir.File(name), height, width);
    for (int r = 0; r < height; ++r) {
      for (int c = 0; c < width; ++c)
        image.SetPixel(r, c, black(r, c));
    }
    EXPECT_TRUE(image.Save(Env::Default()));
    return image.FileName();
  }

  std::vector<std::string> MessageTexts() const {
    std::vector<std::string> texts;
    for (const auto& m : platform.Messages())
      texts.push_back(m.caption + "|" + m.text);
    return texts;
  }

  ScratchDir dir;
  std::filesystem::path m_previousDir;
  ui::headless::HeadlessPlatform platform;
  FaultEnv env;
  CShareApp app{platform, "quillon", env};
};

// A 24-bit BMP file written byte by byte, colour(x, y) with y the line from the top.
void Write24BitBmp(const std::string& path, int width, int height,
                   const std::function<ui::Rgb(int, int)>& colour);

// Whether the surface shows the file's picture, in its own colours, with its top-left
// corner at (x, y); says where it does not.
::testing::AssertionResult ShowsPicture(const ui::Surface& surface, int x, int y,
                                        const std::string& path);

std::string ReadText(const std::string& path);

}  // namespace quillon::testing
