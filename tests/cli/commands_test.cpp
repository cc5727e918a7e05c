// The commands run in-process: exit status, output and the files they leave.
#include <gtest/gtest.h>

#include <filesystem>

#include "cli/commands.h"
#include "cli/demo_secret.h"
#include "schemes/scheme_pair.h"
#include "tests/cli/cli_test_util.h"
#include "tests/test_util.h"

namespace quillon::cli {
namespace {

using quillon::testing::ReadFileBytes;
using quillon::testing::ScratchDir;
using quillon::testing::WriteFileBytes;
using testing::CliRun;
using testing::Lines;
using testing::MakeImage;
using testing::RunInProcess;
namespace fs = std::filesystem;

bool Contains(const std::string& text, const std::string& part) {
  return text.find(part) != std::string::npos;
}

// A secret with a black frame and a black diagonal, so that both colours occur in every row.
BmpImage SaveSecret(const std::string& path, int32_t height = 12, int32_t width = 20) {
  BmpImage secret = MakeImage(path, height, width, [height, width](int32_t r, int32_t c) {
    return r == 0 || c == 0 || r == height - 1 || c == width - 1 || r == c;
  });
  EXPECT_TRUE(secret.Save());
  return secret;
}

BmpImage LoadImage(const std::string& path) {
  BmpImage image(path);
  EXPECT_TRUE(image.Load()) << path;
  return image;
}

TEST(UsageTest, EveryBadUsageExitsWithTwoAndOneLinePointingToHelp) {
  const std::vector<std::vector<std::string>> cases = {
      {},
      {"frobnicate"},
      {"--frob"},
      {"matrices"},
      {"matrices", "--scheme", "3of3"},
      {"matrices", "--scheme", "5"},
      {"matrices", "--scheme"},
      {"matrices", "--scheme", "kofn", "--n", "abc"},
      {"matrices", "--scheme", "kofn", "--n", ""},
      {"matrices", "--scheme", "kofn", "--k", "2.5"},
      {"matrices", "--scheme", "kofn", "--n", "3", "--n", "4"},
      {"matrices", "--scheme", "2of2", "--bogus"},
      {"matrices", "--scheme", "2of2", "extra"},
      {"matrices", "--scheme", "2ofn", "--sets", "1,2"},
      {"matrices", "--scheme", "general", "--sets", "1,2;"},
      {"matrices", "--scheme", "general", "--sets", "0,1"},
      {"matrices", "--scheme", "general", "--sets", "1,10"},
      {"matrices", "--scheme", "general", "--sets", "1,,2"},
      {"matrices", "--scheme", "general", "--sets="},
      {"split", "--scheme", "2of2"},
      {"split", "a.bmp", "b.bmp", "--scheme", "2of2"},
      {"split", "a.bmp"},
      {"split", "a.bmp", "--scheme", "2of2", "--method", "bogus"},
      {"split", "a.bmp", "--scheme", "2of2", "--method", "7"},
      {"split", "a.bmp", "--scheme", "2of2", "--seed", "-1"},
      {"split", "a.bmp", "--scheme", "2of2", "--seed", "4294967296"},
      {"split", "a.bmp", "--scheme", "2of2", "--seed", "12x"},
      {"split", "a.bmp", "--scheme", "2of2", "--innocent", "i.bmp,j.bmp"},
      {"split", "a.bmp", "--scheme", "2of2", "--method", "extended-size", "--innocent", "i.bmp,"},
      {"split", "a.bmp", "--scheme", "2of2", "--out", ""},
      {"split", "a.bmp", "--scheme", "2of2", "--out"},
      {"stack", "a.bmp"},
      {"stack", "1", "2", "3", "4", "5", "6", "7", "8", "9", "10"},
      {"stack", "a.bmp", "b.bmp", "-o"},
      {"stack", "a.bmp", "b.bmp", "--out", "r.bmp"},
      {"demo", "extra"},
      {"demo", "--out"},
  };
  for (const auto& args : cases) {
    std::string shown;
    for (const auto& a : args)
      shown += "[" + a + "] ";
    CliRun run = RunInProcess(args);
    EXPECT_EQ(run.status, 2) << shown;
    EXPECT_EQ(run.out, "") << shown;
    ASSERT_EQ(Lines(run.err).size(), 1u) << shown << run.err;
    EXPECT_TRUE(run.err.starts_with("quillon-cli")) << run.err;
    EXPECT_TRUE(Contains(run.err, "--help")) << run.err;
  }
}

TEST(UsageTest, HelpOnEveryCommandGoesToStdoutWithStatusZero) {
  for (std::string command : {"matrices", "split", "stack", "demo"}) {
    for (const char* flag : {"--help", "-h"}) {
      // Help wins even over a usage error in the same line.
      CliRun run = RunInProcess({command, "--bogus", flag});
      EXPECT_EQ(run.status, 0) << command;
      EXPECT_TRUE(run.out.starts_with("Usage: quillon-cli " + command)) << run.out;
      EXPECT_EQ(run.err, "");
    }
  }
  for (const char* top : {"--help", "-h", "help"}) {
    CliRun run = RunInProcess({top});
    EXPECT_EQ(run.status, 0);
    EXPECT_TRUE(Contains(run.out, "matrices") && Contains(run.out, "demo")) << run.out;
  }
}

TEST(MatricesTest, PrintsThePairThatEncryptionUses) {
  CliRun run = RunInProcess({"matrices", "--scheme", "2of2"});
  EXPECT_EQ(run.status, 0) << run.err;
  EXPECT_EQ(run.out, "S0 2x2\n01\n01\nS1 2x2\n01\n10\n");

  run = RunInProcess({"matrices", "--scheme", "kofn", "--n", "3", "--k", "2"});
  EXPECT_EQ(run.status, 0) << run.err;
  EXPECT_EQ(run.out,
            "S0 3x12\n010101010101\n010101010101\n010101010101\n"
            "S1 3x12\n010110011010\n011001100110\n100101101001\n");

  // By index as well as by name; the general scheme's common columns are cancelled.
  run = RunInProcess({"matrices", "--scheme", "4", "--n", "3", "--sets", "1,2;2,3"});
  EXPECT_EQ(run.status, 0) << run.err;
  EXPECT_EQ(run.out, "S0 3x2\n01\n01\n01\nS1 3x2\n10\n01\n10\n");
}

TEST(MatricesTest, RefusalsExitWithOneAndTheSchemeText) {
  struct Case {
    std::vector<std::string> args;
    SchemeError error;
  };
  const Case cases[] = {
      {{"matrices", "--scheme", "kofn", "--n", "7", "--k", "6"}, SchemeError::TooLarge},
      {{"matrices", "--scheme", "2ofn", "--n", "10"}, SchemeError::BadParameters},
      {{"matrices", "--scheme", "kofn", "--n", "4", "--k", "5"}, SchemeError::BadParameters},
      {{"matrices", "--scheme", "nofn", "--n", "-2"}, SchemeError::BadParameters},
      {{"matrices", "--scheme", "general", "--n", "3"}, SchemeError::NoQualifiedSet},
  };
  for (const Case& c : cases) {
    CliRun run = RunInProcess(c.args);
    EXPECT_EQ(run.status, 1) << c.args[2];
    EXPECT_EQ(run.out, "");
    EXPECT_EQ(run.err, std::string("quillon-cli matrices: ") + SchemeErrorText(c.error) + "\n");
  }
}

TEST(SplitTest, SeededSplitsAreReproducibleAndUnseededOnesDiffer) {
  ScratchDir dir;
  SaveSecret(dir.File("secret.bmp"));
  auto split = [&](const std::string& out, std::vector<std::string> extra) {
    std::vector<std::string> args = {
        "split", dir.File("secret.bmp"), "--scheme", "kofn", "--n", "3", "--out", dir.File(out)};
    args.insert(args.end(), extra.begin(), extra.end());
    CliRun run = RunInProcess(args);
    EXPECT_EQ(run.status, 0) << run.err;
    return run;
  };
  CliRun first = split("a", {"--seed", "12345"});
  split("b", {"--seed", "12345"});
  split("c", {"--seed", "12346"});
  // A seed is a key anyone can search for: said once, on stderr; a secure split says nothing.
  EXPECT_EQ(Lines(first.err).size(), 1u);
  EXPECT_NE(first.err.find("warning: a seeded split is reproducible"), std::string::npos);
  EXPECT_EQ(split("d", {}).err, "");
  split("e", {});
  EXPECT_EQ(Lines(first.out),
            (std::vector<std::string>{dir.File("a/capa1.bmp"), dir.File("a/capa2.bmp"),
                                      dir.File("a/capa3.bmp")}));
  for (const char* share : {"/capa1.bmp", "/capa2.bmp", "/capa3.bmp"}) {
    auto a = ReadFileBytes(dir.File("a") + share);
    ASSERT_FALSE(a.empty());
    EXPECT_EQ(a, ReadFileBytes(dir.File("b") + share)) << share;
    EXPECT_NE(a, ReadFileBytes(dir.File("c") + share)) << share;
    EXPECT_NE(ReadFileBytes(dir.File("d") + share), ReadFileBytes(dir.File("e") + share));
  }
}

TEST(SplitTest, TwoOfTwoSharesStackedShowEveryBlackSecretPixel) {
  ScratchDir dir;
  BmpImage secret = SaveSecret(dir.File("secret.bmp"));
  CliRun split = RunInProcess({"split", dir.File("secret.bmp"), "--scheme", "2of2", "--seed", "99",
                               "--out", dir.File("shares")});
  ASSERT_EQ(split.status, 0) << split.err;
  EXPECT_EQ(Lines(split.err).size(), 1u) << "only the seed's warning";
  CliRun stack = RunInProcess({"stack", dir.File("shares/capa1.bmp"), dir.File("shares/capa2.bmp"),
                               "-o", dir.File("stacked.bmp")});
  ASSERT_EQ(stack.status, 0) << stack.err;
  EXPECT_EQ(stack.out, dir.File("stacked.bmp") + "\n");

  BmpImage stacked = LoadImage(dir.File("stacked.bmp"));
  ASSERT_EQ(stacked.Width(), secret.Width());
  ASSERT_EQ(stacked.Height(), secret.Height());
  EXPECT_EQ(stacked.BitCount(), 1);
  int whiteShown = 0;
  for (int32_t r = 0; r < secret.Height(); ++r) {
    for (int32_t c = 0; c < secret.Width(); ++c) {
      if (secret.GetPixel(r, c) == 'b') {
        EXPECT_EQ(stacked.GetPixel(r, c), 'b') << r << "," << c;
      } else {
        whiteShown += stacked.GetPixel(r, c) == 'w';
      }
    }
  }
  // Half of the white pixels stay white on average; none at all would hide the secret.
  EXPECT_GT(whiteShown, 10);
}

TEST(SplitTest, ExtendedMethodsTakeOneInnocentImagePerShare) {
  ScratchDir dir;
  BmpImage secret = SaveSecret(dir.File("secret.bmp"));
  MakeImage(dir.File("i1.bmp"), 12, 20, [](int32_t r, int32_t) { return r < 6; }).Save();
  MakeImage(dir.File("i2.bmp"), 12, 20, [](int32_t, int32_t c) { return c < 10; }).Save();

  CliRun tooFew =
      RunInProcess({"split", dir.File("secret.bmp"), "--scheme", "2of2", "--method",
                    "extended-size", "--innocent", dir.File("i1.bmp"), "--out", dir.File("few")});
  EXPECT_EQ(tooFew.status, 1);
  EXPECT_EQ(tooFew.out, "");
  EXPECT_TRUE(Contains(tooFew.err, "not enough innocent images")) << tooFew.err;
  EXPECT_FALSE(fs::exists(dir.File("few/capa1.bmp")));

  CliRun enough = RunInProcess({"split", dir.File("secret.bmp"), "--scheme", "2of2", "--method",
                                "5", "--innocent", dir.File("i1.bmp") + "," + dir.File("i2.bmp"),
                                "--out", dir.File("enough")});
  ASSERT_EQ(enough.status, 0) << enough.err;
  EXPECT_EQ(Lines(enough.out).size(), 2u);
  EXPECT_EQ(LoadImage(dir.File("enough/capa2.bmp")).Width(), secret.Width());
}

TEST(SplitTest, FailuresExitWithOneAndWriteNothing) {
  ScratchDir dir;
  SaveSecret(dir.File("secret.bmp"));
  WriteFileBytes(dir.File("notes.txt"), {'h', 'i'});

  CliRun missing =
      RunInProcess({"split", dir.File("none.bmp"), "--scheme", "2of2", "--out", dir.File("out1")});
  EXPECT_EQ(missing.status, 1);
  EXPECT_TRUE(Contains(missing.err, "none.bmp")) << missing.err;
  EXPECT_TRUE(Contains(missing.err, "quillon-cli split: cannot read the secret image"));
  EXPECT_FALSE(fs::exists(dir.File("out1")));

  CliRun refused = RunInProcess({"split", dir.File("secret.bmp"), "--scheme", "2ofn", "--n", "10",
                                 "--out", dir.File("out2")});
  EXPECT_EQ(refused.status, 1);
  EXPECT_TRUE(Contains(refused.err, SchemeErrorText(SchemeError::BadParameters)));
  EXPECT_FALSE(fs::exists(dir.File("out2")));

  CliRun noSets = RunInProcess({"split", dir.File("secret.bmp"), "--scheme", "general", "--n", "3",
                                "--out", dir.File("out3")});
  EXPECT_EQ(noSets.status, 1);
  EXPECT_TRUE(Contains(noSets.err, SchemeErrorText(SchemeError::NoQualifiedSet))) << noSets.err;
  EXPECT_FALSE(fs::exists(dir.File("out3/capa1.bmp")));

  CliRun badDir = RunInProcess(
      {"split", dir.File("secret.bmp"), "--scheme", "2of2", "--out", dir.File("notes.txt")});
  EXPECT_EQ(badDir.status, 1);
  EXPECT_TRUE(Contains(badDir.err, "cannot create the output folder")) << badDir.err;
}

TEST(SplitTest, AShareThatCannotBeWrittenIsAFailure) {
  ScratchDir dir;
  SaveSecret(dir.File("secret.bmp"));
  // A folder where the first share should go: saving over it fails.
  fs::create_directories(dir.File("out/capa1.bmp"));
  CliRun run =
      RunInProcess({"split", dir.File("secret.bmp"), "--scheme", "2of2", "--out", dir.File("out")});
  EXPECT_EQ(run.status, 1);
  EXPECT_EQ(run.out, "");
  EXPECT_TRUE(Contains(run.err, "capa1.bmp")) << run.err;
  EXPECT_TRUE(Contains(run.err, "quillon-cli split: not every share could be written"));
}

TEST(MatricesTest, AnOutputThatCannotBeWrittenIsAFailure) {
  std::FILE* full = std::fopen("/dev/full", "w");
  if (full == nullptr)
    GTEST_SKIP() << "no /dev/full";
  std::FILE* err = std::tmpfile();
  int status = RunCli({"matrices", "--scheme", "nofn", "--n", "9"}, Console{full, err});
  std::fclose(full);
  std::fclose(err);
  EXPECT_EQ(status, 1);
}

TEST(SplitTest, CreatesNestedOutputFolders) {
  ScratchDir dir;
  SaveSecret(dir.File("secret.bmp"));
  CliRun run = RunInProcess({"split", dir.File("secret.bmp"), "--scheme", "nofn", "--n", "4",
                             "--method", "square", "--out", dir.File("x/y/z")});
  ASSERT_EQ(run.status, 0) << run.err;
  EXPECT_EQ(Lines(run.out).size(), 4u);
  EXPECT_TRUE(fs::exists(dir.File("x/y/z/capa4.bmp")));
}

TEST(StackTest, ALayerThatFailsToLoadWritesNothing) {
  ScratchDir dir;
  SaveSecret(dir.File("layer.bmp"));
  WriteFileBytes(dir.File("broken.bmp"), {'B', 'M', 0, 0});
  for (const char* bad : {"missing.bmp", "broken.bmp"}) {
    CliRun run =
        RunInProcess({"stack", dir.File("layer.bmp"), dir.File(bad), "-o", dir.File("result.bmp")});
    EXPECT_EQ(run.status, 1) << bad;
    EXPECT_EQ(run.out, "");
    std::vector<std::string> lines = Lines(run.err);
    ASSERT_GE(lines.size(), 2u) << run.err;
    EXPECT_TRUE(Contains(lines.front(), bad)) << run.err;  // the Load message
    EXPECT_TRUE(lines.back().starts_with("quillon-cli stack: cannot read the layer")) << run.err;
    EXPECT_FALSE(fs::exists(dir.File("result.bmp")));
  }
}

TEST(StackTest, AnUnwritableResultIsAFailure) {
  ScratchDir dir;
  SaveSecret(dir.File("layer.bmp"));
  CliRun run = RunInProcess({"stack", dir.File("layer.bmp"), dir.File("layer.bmp"), "-o",
                             dir.File("no/such/folder/r.bmp")});
  EXPECT_EQ(run.status, 1);
  EXPECT_EQ(run.out, "");
  EXPECT_TRUE(Contains(run.err, "quillon-cli stack: cannot write")) << run.err;
}

TEST(DemoTest, WritesEveryFileAndTheStackedSharesShowTheSecret) {
  ScratchDir dir;
  const std::string out = dir.File("demo");
  CliRun run = RunInProcess({"demo", "--out", out});
  ASSERT_EQ(run.status, 0) << run.err;
  EXPECT_EQ(run.err, "");
  const std::vector<std::string> files = {"secret.bmp",
                                          "kofn-2-of-3/capa1.bmp",
                                          "kofn-2-of-3/capa2.bmp",
                                          "kofn-2-of-3/capa3.bmp",
                                          "kofn-2-of-3/resultado.bmp",
                                          "2of2-smallest-no-filler/capa1.bmp",
                                          "2of2-smallest-no-filler/capa2.bmp",
                                          "2of2-smallest-no-filler/resultado.bmp"};
  for (const std::string& file : files) {
    EXPECT_TRUE(fs::exists(out + "/" + file)) << file;
    EXPECT_TRUE(Contains(run.out, (fs::path(out) / file).string())) << file;
  }

  BmpImage secret = LoadImage(out + "/secret.bmp");
  BmpImage expected = MakeDemoSecret("expected");
  ASSERT_EQ(secret.Width(), expected.Width());
  EXPECT_EQ(secret.Pixels(), expected.Pixels());

  // Each secret pixel became a 2x2 block: all black for black pixels, two of four for white.
  BmpImage stacked = LoadImage(out + "/2of2-smallest-no-filler/resultado.bmp");
  ASSERT_EQ(stacked.Width(), 2 * secret.Width());
  ASSERT_EQ(stacked.Height(), 2 * secret.Height());
  for (int32_t r = 0; r < secret.Height(); ++r) {
    for (int32_t c = 0; c < secret.Width(); ++c) {
      int black = 0;
      for (int p = 0; p < 4; ++p)
        black += stacked.GetPixel(2 * r + p / 2, 2 * c + p % 2) == 'b';
      ASSERT_EQ(black, secret.GetPixel(r, c) == 'b' ? 4 : 2) << r << "," << c;
    }
  }
}

}  // namespace
}  // namespace quillon::cli
