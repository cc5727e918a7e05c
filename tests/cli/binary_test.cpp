// A few runs of the built quillon-cli program itself: exit statuses, stdout and stderr as a
// script sees them, and files written to the working directory.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstdlib>
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
  ASSERT_TRUE(secret.Save(Env::Default()));

  CliRun split = RunBinary(dir.Path(), {"split", "s.bmp", "--scheme", "2of2", "--seed", "1"});
  ASSERT_EQ(split.status, 0) << split.err;
  EXPECT_EQ(split.out, "capa1.bmp\ncapa2.bmp\n");

  CliRun stack = RunBinary(dir.Path(), {"stack", "capa1.bmp", "capa2.bmp"});
  ASSERT_EQ(stack.status, 0) << stack.err;
  EXPECT_EQ(stack.out, "resultado.bmp\n");
  BmpImage stacked(dir.File("resultado.bmp"));
  ASSERT_TRUE(stacked.Load(Env::Default()));
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
  // The pictures fit an 80-column terminal (the program's own path may be longer).
  std::vector<std::string> lines = Lines(demo.out);
  for (const std::string& line : lines) {
    size_t columns = 0;
    for (unsigned char c : line)
      columns += (c & 0xC0) != 0x80;
    if (line.find(QUILLON_CLI_PATH) == std::string::npos) {
      EXPECT_LE(columns, 80u) << line;
    }
  }

  // The closing hint is a command that works where the demo was run.
  auto hint = std::find_if(lines.begin(), lines.end(),
                           [](const std::string& l) { return l.starts_with("Try other pairs"); });
  ASSERT_NE(hint, lines.end()) << demo.out;
  std::string command;
  for (auto line = hint + 1; line != lines.end(); ++line)
    command += (line->ends_with("\\") ? line->substr(0, line->size() - 1) : *line);
  EXPECT_TRUE(command.find(std::string(QUILLON_CLI_PATH) + " stack ") != std::string::npos)
      << command;
  const std::string run = "cd '" + dir.Path().string() + "' && " + command + " >/dev/null";
  EXPECT_EQ(std::system(run.c_str()), 0) << run;
  EXPECT_TRUE(fs::exists(dir.File("quillon-demo/kofn-2-of-3/capa2+3.bmp")));
}

}  // namespace
}  // namespace quillon::cli
