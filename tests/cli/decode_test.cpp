// quillon-cli stack --decode on shares that split wrote.
#include <gtest/gtest.h>

#include <filesystem>
#include <random>

#include "tests/cli/cli_test_util.h"
#include "tests/test_util.h"

namespace quillon::cli {
namespace {

using quillon::testing::ScratchDir;
using testing::CliRun;
using testing::Lines;
using testing::MakeImage;
using testing::RunInProcess;

BmpImage SaveNoise(const std::string& path, int32_t height, int32_t width, uint32_t seed) {
  std::mt19937 engine(seed);
  BmpImage image =
      MakeImage(path, height, width, [&engine](int32_t, int32_t) { return engine() % 2 == 0; });
  EXPECT_TRUE(image.Save(Env::Default()));
  return image;
}

std::vector<std::string> Concat(std::vector<std::string> a, const std::vector<std::string>& b) {
  a.insert(a.end(), b.begin(), b.end());
  return a;
}

TEST(StackDecodeTest, SplitThenDecodeGivesTheSecretBack) {
  ScratchDir dir;
  const BmpImage secret = SaveNoise(dir.File("secret.bmp"), 6, 8, 1);
  SaveNoise(dir.File("i1.bmp"), 6, 8, 2);
  SaveNoise(dir.File("i2.bmp"), 6, 8, 3);
  SaveNoise(dir.File("i3.bmp"), 6, 8, 4);
  const std::string innocents =
      dir.File("i1.bmp") + "," + dir.File("i2.bmp") + "," + dir.File("i3.bmp");
  const struct {
    std::vector<std::string> scheme;
    const char* method;
    std::vector<std::string> layers;  // share numbers
    std::vector<std::string> extra;
  } cases[] = {
      {{"--scheme", "kofn", "--n", "3", "--k", "2", "--optimal"},
       "smallest-filler",
       {"1", "3"},
       {}},
      {{"--scheme", "kofn", "--n", "3", "--k", "2"}, "smallest-no-filler", {"2", "3"}, {}},
      {{"--scheme", "2of2"}, "square", {"1", "2"}, {}},
      {{"--scheme", "nofn", "--n", "3"}, "extended-detail", {"1", "2", "3"}, {}},
      // {1,2} and {2,3} qualify, {1,3} does not: the layers must be named.
      {{"--scheme", "general", "--n", "3", "--sets", "1,2;2,3"},
       "pixel-sampling",
       {"3", "2"},
       {"--members", "3,2"}},
  };
  int run = 0;
  for (const auto& c : cases) {
    SCOPED_TRACE(c.method);
    std::string out = dir.File("s");
    out += std::to_string(++run);
    std::vector<std::string> split = {
        "split", dir.File("secret.bmp"), "--method", c.method, "--seed", "5", "--out", out};
    if (std::string(c.method) == "extended-detail")
      split = Concat(split, {"--innocent", innocents});
    CliRun r = RunInProcess(Concat(split, c.scheme));
    ASSERT_EQ(r.status, 0) << r.err;
    std::vector<std::string> stack = {"stack"};
    for (const std::string& share : c.layers)
      stack.push_back(out + "/capa" + share + ".bmp");
    // The result's folder is made when missing.
    const std::string result = out + "/decoded/secret.bmp";
    stack = Concat(Concat(stack, {"--decode", "--method", c.method, "-o", result}), c.scheme);
    r = RunInProcess(Concat(stack, c.extra));
    ASSERT_EQ(r.status, 0) << r.err;
    BmpImage decoded(result);
    ASSERT_TRUE(decoded.Load(Env::Default()));
    // Pixel sampling of 2 columns samples 2 x 2 blocks: one pixel per block.
    const int32_t s = std::string(c.method) == "pixel-sampling" ? 2 : 1;
    ASSERT_EQ(decoded.Width(), 8 / s);
    ASSERT_EQ(decoded.Height(), 6 / s);
    EXPECT_EQ(Lines(r.out), (std::vector<std::string>{result, std::to_string(48 / s / s) +
                                                                  " blocks decoded, 0 ambiguous"}));
    for (int32_t y = 0; y < decoded.Height(); ++y) {
      for (int32_t x = 0; x < decoded.Width(); ++x)
        ASSERT_EQ(decoded.GetPixel(y, x), secret.GetPixel(s * y, s * x)) << y << "," << x;
    }
  }
}

TEST(StackDecodeTest, RefusalsWriteNothing) {
  ScratchDir dir;
  SaveNoise(dir.File("secret.bmp"), 4, 4, 1);
  ASSERT_EQ(RunInProcess({"split", dir.File("secret.bmp"), "--scheme", "general", "--n", "3",
                          "--sets", "1,2;2,3", "--method", "square", "--out", dir.File("s")})
                .status,
            0);
  SaveNoise(dir.File("odd.bmp"), 5, 8, 2);
  const std::string a = dir.File("s/capa1.bmp"), b = dir.File("s/capa2.bmp"),
                    c = dir.File("s/capa3.bmp");
  const std::vector<std::string> general = {"--scheme", "general", "--n", "3", "--sets", "1,2;2,3"};
  const struct {
    std::vector<std::string> args;
    int status;
    const char* message;
  } cases[] = {
      {{a, b, "--method", "square"}, 2, "--method belongs to --decode"},
      {{a, b, "--decode", "--method", "square"}, 2, "missing --scheme"},
      {Concat({a, b, "--decode"}, general), 2, "needs --method"},
      {Concat({a, b, "--decode", "--method", "random-column"}, general), 2, "block method"},
      {Concat({a, b, "--decode", "--method", "square"}, general), 2, "--members"},
      {Concat({a, b, "--decode", "--method", "square", "--members", "1"}, general), 2,
       "1 participants for 2 layers"},
      {Concat({a, b, "--decode", "--method", "square", "--members", "2,2"}, general), 2,
       "named twice"},
      {Concat({a, b, "--decode", "--method", "square", "--members", "1,4"}, general), 2,
       "beyond the scheme's 3"},
      {Concat({a, c, "--decode", "--method", "square", "--members", "1,3"}, general), 1,
       "forbidden set"},
      {{a, b, c, "--decode", "--method", "square", "--scheme", "2of2"}, 2, "has 2 participants"},
      {Concat({a, dir.File("missing.bmp"), "--decode", "--method", "square", "--members", "1,2"},
              general),
       1, "cannot open the layer"},
      {Concat({a, dir.File("odd.bmp"), "--decode", "--method", "square", "--members", "1,2"},
              general),
       1, "not shares of one split"},
      // The general pair has 2 columns; as (2,3) shares with 12 columns the blocks do not fit.
      {{a, b, "--decode", "--method", "square", "--scheme", "kofn", "--n", "3"},
       1,
       "not whole 12x12 blocks"},
  };
  for (const auto& t : cases) {
    const std::string out = dir.File("out.bmp");
    CliRun r = RunInProcess(Concat(Concat({"stack"}, t.args), {"-o", out}));
    EXPECT_EQ(r.status, t.status) << r.err;
    EXPECT_NE(r.err.find(t.message), std::string::npos) << r.err;
    EXPECT_EQ(r.out, "");
    EXPECT_FALSE(std::filesystem::exists(out)) << r.err;
  }
}

}  // namespace
}  // namespace quillon::cli
