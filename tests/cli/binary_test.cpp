// A few runs of the built quillon-cli program itself: exit statuses, stdout and stderr as a
// script sees them, and files written to the working directory.
#include <gtest/gtest.h>

#include <filesystem>

#include "tests/cli/cli_test_util.h"
#include "tests/test_util.h"

namespace quillon::cli {
namespace {

using quillon::testing::ScratchDir;
using testing::CliRun;
using testing::Lines;
using testing::MakeImage;
using testing::RunBinary;
namespace fs = std::filesystem;

TEST(BinaryTest, ExitStatusesAndStreams) {
  ScratchDir dir;
  CliRun help = RunBinary(dir.Path(), {"--help"});
  EXPECT_EQ(help.status, 0);
  EXPECT_TRUE(help.out.starts_with("Usage: quillon-cli")) << help.out;

  CliRun none = RunBinary(dir.Path(), {});
  EXPECT_EQ(none.status, 2);
  EXPECT_EQ(none.out, "");
  EXPECT_EQ(Lines(none.err).size(), 1u) << none.err;

  CliRun refused = RunBinary(dir.Path(), {"matrices", "--scheme", "kofn", "--n", "10"});
  EXPECT_EQ(refused.status, 1);
  EXPECT_EQ(Lines(refused.err).size(), 1u) << refused.err;
}

TEST(BinaryTest, SplitAndStackInTheWorkingDirectory) {
  ScratchDir dir;
  BmpImage secret = MakeImage(dir.File("s.bmp"), 9, 30,
                              [](int32_t r, int32_t c) { return (r / 3 + c / 3) % 2 == 0; });
  ASSERT_TRUE(secret.Save());

  CliRun split = RunBinary(dir.Path(), {"split", "s.bmp", "--scheme", "2of2", "--seed", "1"});
  ASSERT_EQ(split.status, 0) << split.err;
  EXPECT_EQ(split.out, "capa1.bmp\ncapa2.bmp\n");

  CliRun stack = RunBinary(dir.Path(), {"stack", "capa1.bmp", "capa2.bmp"});
  ASSERT_EQ(stack.status, 0) << stack.err;
  EXPECT_EQ(stack.out, "resultado.bmp\n");
  BmpImage stacked(dir.File("resultado.bmp"));
  ASSERT_TRUE(stacked.Load());
  for (int32_t r = 0; r < secret.Height(); ++r) {
    for (int32_t c = 0; c < secret.Width(); ++c) {
      if (secret.GetPixel(r, c) == 'b') {
        EXPECT_EQ(stacked.GetPixel(r, c), 'b');
      }
    }
  }

  CliRun missing = RunBinary(dir.Path(), {"stack", "capa1.bmp", "nope.bmp", "-o", "x.bmp"});
  EXPECT_EQ(missing.status, 1);
  EXPECT_FALSE(fs::exists(dir.File("x.bmp")));
}

TEST(BinaryTest, DemoWritesIntoItsDefaultFolder) {
  ScratchDir dir;
  CliRun demo = RunBinary(dir.Path(), {"demo"});
  ASSERT_EQ(demo.status, 0) << demo.err;
  EXPECT_TRUE(fs::exists(dir.File("quillon-demo/secret.bmp")));
  EXPECT_TRUE(fs::exists(dir.File("quillon-demo/kofn-2-of-3/resultado.bmp")));
  EXPECT_NE(demo.out.find("Files written"), std::string::npos);
  // The pictures fit an 80-column terminal.
  for (const std::string& line : Lines(demo.out)) {
    size_t columns = 0;
    for (unsigned char c : line)
      columns += (c & 0xC0) != 0x80;
    EXPECT_LE(columns, 80u) << line;
  }
}

}  // namespace
}  // namespace quillon::cli
