// The commands run in-process: exit status, output and the files they leave.
#include <gtest/gtest.h>

#include <filesystem>
#include <set>

#include "cli/commands.h"
#include "cli/demo_secret.h"
#include "cli/messages.h"
#include "io/picture.h"
#include "io/png_writer.h"
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
  EXPECT_TRUE(secret.Save(Env::Default()));
  return secret;
}

BmpImage LoadImage(const std::string& path) {
  BmpImage image(path);
  EXPECT_TRUE(image.Load(Env::Default())) << path;
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
      {"split", "a.bmp", "--scheme", "2of2", "--seed", "0"},
      {"split", "a.bmp", "--scheme", "2of2", "--seed", "2147483647"},
      {"split", "a.bmp", "--scheme", "2of2", "--seed", "4294967296"},
      {"split", "a.bmp", "--scheme", "2of2", "--seed", "12x"},
      {"split", "a.bmp", "--scheme", "2of2", "--innocent", "i.bmp,j.bmp"},
      {"split", "a.bmp", "--scheme", "2of2", "--method", "extended-size", "--innocent", "i.bmp,"},
      {"split", "a.bmp", "--scheme", "2of2", "--out", ""},
      {"split", "a.bmp", "--scheme", "2of2", "--out"},
      {"stack", "a.bmp"},
      {"stack", "1", "2", "3", "4", "5", "6", "7", "8", "9", "10"},
      {"stack", "a.bmp", "b.bmp", "-o"},
      {"stack", "a.bmp", "b.bmp", "--out", "r.bmp", "-o", "s.bmp"},
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
    if (args.size() > 4 && args[4] == "--seed") {
      EXPECT_TRUE(Contains(run.err, "from 1 to 2147483646")) << run.err;
    }
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

// The help texts are written by hand: each that lists the schemes or methods must still name
// every one of the tables (print and stack refer to split's list).
TEST(UsageTest, HelpNamesEverySchemeAndMethodOfTheTables) {
  for (std::string command : {"matrices", "split", "analyze"}) {
    const std::string help = RunInProcess({command, "--help"}).out;
    for (const std::string& name : SchemeNames())
      EXPECT_TRUE(Contains(help, name)) << command << " lacks " << name;
  }
  const std::string split = RunInProcess({"split", "--help"}).out;
  for (const std::string& name : MethodNames())
    EXPECT_TRUE(Contains(split, name)) << "split lacks " << name;
  const std::string stack = RunInProcess({"stack", "--help"}).out;
  for (const std::string& name : MethodNames(IsBlockMethod))
    EXPECT_TRUE(Contains(stack, name)) << "stack lacks " << name;
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
    Code error;
  };
  const Case cases[] = {
      {{"matrices", "--scheme", "kofn", "--n", "7", "--k", "6"}, Code::kMatricesTooLarge},
      {{"matrices", "--scheme", "2ofn", "--n", "10"}, Code::kBadParameters},
      {{"matrices", "--scheme", "kofn", "--n", "4", "--k", "5"}, Code::kBadParameters},
      {{"matrices", "--scheme", "nofn", "--n", "-2"}, Code::kBadParameters},
  };
  for (const Case& c : cases) {
    CliRun run = RunInProcess(c.args);
    EXPECT_EQ(run.status, 1) << c.args[2];
    EXPECT_EQ(run.out, "");
    EXPECT_EQ(run.err,
              std::string("quillon-cli matrices: ") + Refusal(Outcome::Fail(c.error)) + "\n");
  }
}

// A general scheme without a usable qualified set says why and names --sets, in matrices as
// in split (where nothing is written, not even the output folder).
TEST(MatricesTest, AGeneralSchemeWithoutUsableSetsNamesTheOption) {
  ScratchDir dir;
  SaveSecret(dir.File("secret.bmp"));
  const std::string refusal = Refusal(Outcome::Fail(Code::kNoQualifiedSet));
  struct Case {
    std::vector<std::string> scheme;
    const char* why;
  };
  const Case cases[] = {
      {{"--scheme", "general", "--n", "3"}, "needs its minimal qualified sets in --sets"},
      {{"--scheme", "general", "--n", "3", "--sets", "1,4;5,2"},
       "every set in --sets names a participant beyond --n 3"},
  };
  for (const Case& c : cases) {
    for (std::vector<std::string> args :
         {std::vector<std::string>{"matrices"},
          std::vector<std::string>{"split", dir.File("secret.bmp"), "--out", dir.File("out")}}) {
      args.insert(args.end(), c.scheme.begin(), c.scheme.end());
      CliRun run = RunInProcess(args);
      EXPECT_EQ(run.status, 1);
      EXPECT_EQ(run.out, "");
      ASSERT_EQ(Lines(run.err).size(), 1u) << run.err;
      EXPECT_TRUE(run.err.starts_with("quillon-cli " + args[0] + ": " + refusal)) << run.err;
      EXPECT_TRUE(Contains(run.err, c.why)) << run.err;
      EXPECT_FALSE(fs::exists(dir.File("out")));
    }
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

// The lengths of PNG shares tell nothing of the secret: a blank secret's shares are as long
// as a drawn one's, the length that their size alone gives.
TEST(SplitTest, PngShareLengthsFollowTheirSizeAlone) {
  ScratchDir dir;
  for (auto [height, width] : {std::pair{33, 7}, {130, 301}}) {
    SaveSecret(dir.File("drawn.bmp"), height, width);
    ASSERT_TRUE(MakeImage(dir.File("blank.bmp"), height, width, [](int32_t, int32_t) {
                  return false;
                }).Save(Env::Default()));
    std::set<uintmax_t> lengths;
    for (const char* secret : {"drawn.bmp", "blank.bmp"}) {
      const std::string out = dir.File(std::string(secret) + std::to_string(width));
      CliRun run = RunInProcess({"split", dir.File(secret), "--scheme", "kofn", "--n", "3",
                                 "--method", "square", "--format", "png", "--out", out});
      ASSERT_EQ(run.status, 0) << run.err;
      for (const char* share : {"/capa1.png", "/capa2.png", "/capa3.png"}) {
        GreyPicture picture;
        ASSERT_TRUE(DecodePictureFile(Env::Default(), out + share, picture));
        EXPECT_EQ(static_cast<int64_t>(fs::file_size(out + share)),
                  PngFileBytes(picture.width, picture.height));
        lengths.insert(fs::file_size(out + share));
      }
    }
    EXPECT_EQ(lengths.size(), 1u) << width << "x" << height;
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
  MakeImage(dir.File("i1.bmp"), 12, 20, [](int32_t r, int32_t) {
    return r < 6;
  }).Save(Env::Default());
  MakeImage(dir.File("i2.bmp"), 12, 20, [](int32_t, int32_t c) {
    return c < 10;
  }).Save(Env::Default());

  CliRun tooFew =
      RunInProcess({"split", dir.File("secret.bmp"), "--scheme", "2of2", "--method",
                    "extended-size", "--innocent", dir.File("i1.bmp"), "--out", dir.File("few")});
  EXPECT_EQ(tooFew.status, 1);
  EXPECT_EQ(tooFew.out, "");
  EXPECT_EQ(tooFew.err,
            "quillon-cli split: not enough innocent images: the extended methods need one per "
            "share, and share 2 has none (--innocent A.bmp,B.bmp,...); nothing written\n");
  EXPECT_FALSE(fs::exists(dir.File("few")));

  CliRun enough = RunInProcess({"split", dir.File("secret.bmp"), "--scheme", "2of2", "--method",
                                "5", "--innocent", dir.File("i1.bmp") + "," + dir.File("i2.bmp"),
                                "--out", dir.File("enough")});
  ASSERT_EQ(enough.status, 0) << enough.err;
  EXPECT_EQ(Lines(enough.out).size(), 2u);
  EXPECT_EQ(LoadImage(dir.File("enough/capa2.bmp")).Width(), secret.Width());
}

// An unusable innocent image is named with the reason in one line (its own file, also for a
// PNG); nothing is written and no output folder is left behind.
TEST(SplitTest, AnUnusableInnocentImageSaysWhichAndWhy) {
  ScratchDir dir;
  SaveSecret(dir.File("secret.bmp"));  // 20 x 12
  MakeImage(dir.File("good.bmp"), 12, 20, [](int32_t, int32_t) {
    return false;
  }).Save(Env::Default());
  MakeImage(dir.File("narrow.bmp"), 12, 19, [](int32_t, int32_t) {
    return false;
  }).Save(Env::Default());
  MakeImage(dir.File("low.bmp"), 11, 30, [](int32_t, int32_t) {
    return false;
  }).Save(Env::Default());
  WriteFileBytes(dir.File("garbage.bmp"), {'B', 'M', 1, 2, 3});
  WriteFileBytes(dir.File("broken.png"), {0x89, 'P', 'N', 'G', '\r', '\n', 0x1A, '\n', 0, 0});
  struct Case {
    const char* second;
    std::string line;
  };
  const std::string innocent = "the innocent image '" + dir.File("");
  const Case cases[] = {
      {"narrow.bmp", innocent + "narrow.bmp' (share 2) is narrower than the secret: the image "
                                "19x12, the secret 20x12; nothing written"},
      {"low.bmp", innocent + "low.bmp' (share 2) is lower than the secret: the image 30x11, "
                             "the secret 20x12; nothing written"},
      {"missing.bmp", "cannot open " + innocent +
                          "missing.bmp': No such file or directory (share 2); nothing written"},
      {"garbage.bmp", "cannot read " + innocent +
                          "garbage.bmp': unsupported bitmap file (share 2); nothing written"},
      {"broken.png", "cannot read " + innocent + "broken.png': broken PNG file ("},
  };
  for (const Case& c : cases) {
    CliRun run = RunInProcess({"split", dir.File("secret.bmp"), "--scheme", "2of2", "--method",
                               "extended-detail", "--innocent",
                               dir.File("good.bmp") + "," + dir.File(c.second), "--out",
                               dir.File("out/shares")});
    EXPECT_EQ(run.status, 1) << c.second;
    EXPECT_EQ(run.out, "");
    std::vector<std::string> lines = Lines(run.err);
    ASSERT_FALSE(lines.empty());
    EXPECT_TRUE(lines[0].starts_with("quillon-cli split: " + c.line)) << lines[0];
    // Only a refused bitmap adds the hint of what can be read.
    EXPECT_EQ(lines.size(), c.second == std::string("garbage.bmp") ? 2u : 1u);
    EXPECT_FALSE(fs::exists(dir.File("out")));
  }
}

TEST(SplitTest, FailuresExitWithOneAndWriteNothing) {
  ScratchDir dir;
  SaveSecret(dir.File("secret.bmp"));
  WriteFileBytes(dir.File("notes.txt"), {'h', 'i'});

  CliRun missing =
      RunInProcess({"split", dir.File("none.bmp"), "--scheme", "2of2", "--out", dir.File("out1")});
  EXPECT_EQ(missing.status, 1);
  EXPECT_EQ(missing.err, "quillon-cli split: cannot open the secret image '" +
                             dir.File("none.bmp") + "': No such file or directory\n");
  EXPECT_FALSE(fs::exists(dir.File("out1")));

  // A refused bitmap is followed by one line saying what can be read and how to convert; a
  // file that is no picture at all says so alone.
  WriteFileBytes(dir.File("photo.bmp"), {'B', 'M', 'G', 'I', 'F', '8', '9', 'a', 1, 0, 1, 0});
  CliRun photo = RunInProcess({"split", dir.File("photo.bmp"), "--scheme", "2of2"});
  EXPECT_EQ(photo.status, 1);
  EXPECT_EQ(Lines(photo.err),
            (std::vector<std::string>{"quillon-cli split: cannot read the secret image '" +
                                          dir.File("photo.bmp") + "': unsupported bitmap file",
                                      UnsupportedFileHint()}));
  WriteFileBytes(dir.File("photo.gif"), {'G', 'I', 'F', '8', '9', 'a', 1, 0, 1, 0});
  CliRun gif = RunInProcess({"split", dir.File("photo.gif"), "--scheme", "2of2"});
  EXPECT_EQ(gif.err, "quillon-cli split: the secret image '" + dir.File("photo.gif") +
                         "' is not a picture (BMP, PNG or JPEG): it is empty or holds something "
                         "else\n");
  EXPECT_TRUE(Contains(UnsupportedFileHint(), "BMP3:")) << UnsupportedFileHint();

  CliRun refused = RunInProcess({"split", dir.File("secret.bmp"), "--scheme", "2ofn", "--n", "10",
                                 "--out", dir.File("out2")});
  EXPECT_EQ(refused.status, 1);
  EXPECT_TRUE(Contains(refused.err, Refusal(Outcome::Fail(Code::kBadParameters))));
  EXPECT_FALSE(fs::exists(dir.File("out2")));

  // Shares too large for the BMP format: refused after the folder was made, which goes again.
  BmpImage big(dir.File("big.bmp"), 1000, 1000);
  ASSERT_TRUE(big.Save(Env::Default()));
  CliRun tooLarge = RunInProcess({"split", dir.File("big.bmp"), "--scheme", "kofn", "--n", "8",
                                  "--k", "4", "--method", "square", "--out", dir.File("out3/a/b")});
  EXPECT_EQ(tooLarge.status, 1);
  // After the warning that the all-black secret has no white pixel.
  EXPECT_EQ(Lines(tooLarge.err).back(),
            "quillon-cli split: the shares would be too large for this image and method");
  EXPECT_FALSE(fs::exists(dir.File("out3")));

  CliRun badDir = RunInProcess(
      {"split", dir.File("secret.bmp"), "--scheme", "2of2", "--out", dir.File("notes.txt")});
  EXPECT_EQ(badDir.status, 1);
  EXPECT_TRUE(Contains(badDir.err, "cannot create the output folder")) << badDir.err;
}

TEST(MatricesTest, AnOutputThatCannotBeWrittenIsAFailure) {
  std::FILE* full = std::fopen("/dev/full", "w");
  if (full == nullptr)
    GTEST_SKIP() << "no /dev/full";
  Console console;
  console.out = full;
  console.err = std::tmpfile();
  int status = RunCli({"matrices", "--scheme", "nofn", "--n", "9"}, console);
  std::fclose(full);
  std::fclose(console.err);
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
    CliRun run = RunInProcess(
        {"stack", dir.File("layer.bmp"), dir.File(bad), "-o", dir.File("new/result.bmp")});
    EXPECT_EQ(run.status, 1) << bad;
    EXPECT_EQ(run.out, "");
    std::vector<std::string> lines = Lines(run.err);
    ASSERT_FALSE(lines.empty());
    EXPECT_TRUE(lines[0].starts_with("quillon-cli stack: cannot ")) << run.err;
    EXPECT_TRUE(lines[0].ends_with("the layer '" + dir.File(bad) + "'" +
                                   (bad == std::string("broken.bmp")
                                        ? ": unsupported bitmap file; nothing written"
                                        : ": No such file or directory; nothing written")))
        << run.err;
    EXPECT_EQ(lines.size(), bad == std::string("broken.bmp") ? 2u : 1u) << run.err;
    EXPECT_FALSE(fs::exists(dir.File("new")));
  }
}

TEST(StackTest, AnUnwritableResultIsAFailure) {
  ScratchDir dir;
  SaveSecret(dir.File("layer.bmp"));
  SaveSecret(dir.File("other.bmp"));
  fs::create_directories(dir.File("in-the-way.bmp"));
  CliRun run = RunInProcess(
      {"stack", dir.File("layer.bmp"), dir.File("other.bmp"), "-o", dir.File("in-the-way.bmp")});
  EXPECT_EQ(run.status, 1);
  EXPECT_EQ(run.out, "");
  EXPECT_EQ(run.err, "quillon-cli stack: cannot write '" + dir.File("in-the-way.bmp") +
                         "': it is a folder\n");
}

// --out as well as -o; a missing folder is made; layers of other sizes are warned about.
TEST(StackTest, WritesIntoNewFoldersAndWarnsOfSizes) {
  ScratchDir dir;
  SaveSecret(dir.File("a.bmp"), 12, 20);
  SaveSecret(dir.File("b.bmp"), 12, 20);
  SaveSecret(dir.File("small.bmp"), 10, 20);
  CliRun same =
      RunInProcess({"stack", dir.File("a.bmp"), dir.File("b.bmp"), "--out", dir.File("x/y/r.bmp")});
  EXPECT_EQ(same.status, 0) << same.err;
  EXPECT_EQ(same.out, dir.File("x/y/r.bmp") + "\n");
  EXPECT_EQ(same.err, "");
  EXPECT_EQ(LoadImage(dir.File("x/y/r.bmp")).Width(), 20);

  CliRun differ =
      RunInProcess({"stack", dir.File("a.bmp"), dir.File("small.bmp"), "-o", dir.File("r2.bmp")});
  EXPECT_EQ(differ.status, 0) << differ.err;
  EXPECT_EQ(differ.err, "quillon-cli stack: warning: layer '" + dir.File("small.bmp") +
                            "' is 20x10, the first layer 20x12; the result takes the first "
                            "layer's size\n");
  EXPECT_EQ(LoadImage(dir.File("r2.bmp")).Height(), 12);
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
