#include "core/file_identity.h"

#include <gtest/gtest.h>
#include <unistd.h>

#include <filesystem>

#include "tests/test_util.h"

namespace quillon {
namespace {

namespace fs = std::filesystem;
using testing::ScratchDir;
using testing::WriteFileBytes;

TEST(FileIdentityTest, OutputsThatNameAnInputOrEachOtherAreRefused) {
  ScratchDir dir;
  fs::create_directories(dir.File("sub"));
  WriteFileBytes(dir.File("secret.bmp"), {'s'});
  WriteFileBytes(dir.File("other.bmp"), {'o'});
  fs::create_hard_link(dir.File("secret.bmp"), dir.File("hard.bmp"));
  fs::create_symlink("../secret.bmp", dir.File("sub/soft.bmp"));
  fs::create_symlink("new.bmp", dir.File("to-new.bmp"));  // dangling: new.bmp does not exist
  fs::create_symlink(dir.File("sub"), dir.File("sub-link"));
  const std::string secret = dir.File("secret.bmp");

  const struct {
    std::vector<std::string> outputs;
    Code code;
    int index;
    std::string detail;
  } cases[] = {
      {{dir.File("capa1.bmp"), dir.File("other.bmp"), dir.File("sub/capa1.bmp")},
       Code::kOk,
       -1,
       ""},
      {{dir.File("capa1.bmp"), dir.File("hard.bmp")}, Code::kOutputIsInput, 1, secret},
      {{dir.File("sub/soft.bmp")}, Code::kOutputIsInput, 0, secret},
      {{dir.File("sub/../secret.bmp")}, Code::kOutputIsInput, 0, secret},
      {{dir.File("new.bmp"), dir.File("sub/../new.bmp")},
       Code::kOutputTwice,
       1,
       dir.File("new.bmp")},
      {{dir.File("to-new.bmp"), dir.File("./new.bmp")},
       Code::kOutputTwice,
       1,
       dir.File("to-new.bmp")},
      {{dir.File("sub-link/x.bmp"), dir.File("sub/x.bmp")},
       Code::kOutputTwice,
       1,
       dir.File("sub-link/x.bmp")},
      {{dir.File("other.bmp"), dir.File("sub/../other.bmp")},
       Code::kOutputTwice,
       1,
       dir.File("other.bmp")},
  };
  for (const auto& c : cases) {
    const Outcome checked = CheckOutputs(Env::Default(), {secret}, c.outputs);
    EXPECT_EQ(checked.code, c.code) << c.outputs.back();
    EXPECT_EQ(checked.index, c.index) << c.outputs.back();
    EXPECT_EQ(checked.detail, c.detail) << c.outputs.back();
    if (c.index >= 0) {
      EXPECT_EQ(checked.file, c.outputs[c.index]);
    }
  }
}

TEST(FileIdentityTest, RelativePathsResolveFromTheWorkingFolder) {
  ScratchDir dir;
  fs::create_directories(dir.File("real"));
  fs::create_symlink("real", dir.File("link"));
  const fs::path was = fs::current_path();
  fs::current_path(dir.Path());
  std::string resolved;
  const Outcome outcome = ResolvePath(Env::Default(), "link/../link/./missing/../x", &resolved);
  fs::current_path(was);
  ASSERT_TRUE(outcome);
  EXPECT_EQ(resolved, fs::canonical(dir.Path()).string() + "/real/x");
}

}  // namespace
}  // namespace quillon
