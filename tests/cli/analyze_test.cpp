// quillon-cli analyze and the --optimal scheme option, run in-process.
#include <gtest/gtest.h>

#include "tests/cli/cli_test_util.h"

namespace quillon::cli {
namespace {

using testing::CliRun;
using testing::RunInProcess;

size_t Count(const std::string& text, const std::string& part) {
  size_t count = 0;
  for (size_t at = text.find(part); at != std::string::npos; at = text.find(part, at + 1))
    ++count;
  return count;
}

TEST(AnalyzeCommandTest, PrintsEverySetAndTheBestKnownContrast) {
  CliRun run = RunInProcess({"analyze", "--scheme", "2of2"});
  EXPECT_EQ(run.status, 0) << run.err;
  EXPECT_EQ(run.err, "");
  EXPECT_EQ(run.out,
            "(2,2)-threshold VCS\n"
            "pixel expansion m = 2\n"
            "participants  set        l  h  contrast      security\n"
            "1             forbidden  1  1  0             secure\n"
            "2             forbidden  1  1  0             secure\n"
            "1,2           qualified  1  2  1/2 = 0.5000\n"
            "smallest contrast of a qualified set: 1/2 = 0.5000\n"
            "best contrast possible for (2,2): 1/2 = 0.5000, with m = 2 (--scheme kofn "
            "--optimal)\n"
            "every forbidden set is secure\n");

  run = RunInProcess({"analyze", "--scheme", "kofn", "--n", "4", "--k", "3", "--summary"});
  EXPECT_EQ(run.status, 0) << run.err;
  EXPECT_NE(run.out.find("pixel expansion m = 216\n"), std::string::npos) << run.out;
  EXPECT_NE(run.out.find("   3     4          4  144  180  1/6 = 0.1667       -\n"),
            std::string::npos)
      << run.out;
  EXPECT_NE(run.out.find("best contrast possible for (3,4): 1/6 = 0.1667, with m = 6"),
            std::string::npos);

  // A general structure has no threshold to compare with.
  run = RunInProcess({"analyze", "--scheme", "general", "--n", "3", "--sets", "1,2;2,3"});
  EXPECT_EQ(run.status, 0) << run.err;
  EXPECT_NE(run.out.find("1,3           forbidden  1  1  0             secure\n"),
            std::string::npos)
      << run.out;
  EXPECT_EQ(run.out.find("best contrast"), std::string::npos);
}

TEST(AnalyzeCommandTest, JsonHoldsEverySet) {
  CliRun run = RunInProcess(
      {"analyze", "--scheme", "kofn", "--n", "4", "--k", "2", "--optimal", "--json", "--summary"});
  ASSERT_EQ(run.status, 0) << run.err;
  const std::string& json = run.out;
  EXPECT_EQ(json.rfind("{\"scheme\": \"kofn\", \"n\": 4, \"k\": 2, \"optimal\": true, \"m\": 6, "
                       "\"min_contrast\": 0.3333333333333333, \"min_contrast_exact\": \"1/3\", "
                       "\"best_contrast\": 0.3333333333333333",
                       0),
            0u)
      << json;
  EXPECT_EQ(Count(json, "\"members\""), 15u);
  EXPECT_EQ(Count(json, "\"qualified\": true"), 11u);
  EXPECT_EQ(Count(json, "\"secure\": true"), 4u);
  EXPECT_NE(json.find("{\"members\": [1, 2], \"qualified\": true, \"l\": 3, \"h\": 5, "
                      "\"contrast\": 0.3333333333333333}"),
            std::string::npos);
  EXPECT_NE(json.find("{\"members\": [3], \"qualified\": false, \"l\": 3, \"h\": 3, "
                      "\"contrast\": 0, \"secure\": true}"),
            std::string::npos);
  EXPECT_EQ(json.substr(json.size() - 5), "}\n]}\n");
  EXPECT_EQ(Count(json, "{"), Count(json, "}"));
}

TEST(AnalyzeCommandTest, KofNTableListsEveryPair) {
  CliRun run = RunInProcess({"analyze", "--kofn-table"});
  ASSERT_EQ(run.status, 0) << run.err;
  const std::vector<std::string> lines = testing::Lines(run.out);
  ASSERT_EQ(lines.size(), 37u);
  EXPECT_EQ(lines[0],
            "k  n        kofn m  kofn contrast   built      --optimal m  --optimal contrast");
  EXPECT_EQ(lines[11], "3  5           360  1/10 = 0.1000   yes                  8  1/8 = 0.1250");
  EXPECT_EQ(lines[35],
            "8  9  512096256000  1/315 = 0.0032  too large          315  1/315 = 0.0032");
  run = RunInProcess({"analyze", "--kofn-table", "--scheme", "kofn"});
  EXPECT_EQ(run.status, 2);
  EXPECT_NE(run.err.find("--kofn-table takes no other option"), std::string::npos);
}

TEST(AnalyzeCommandTest, OptimalSchemeThroughMatricesAndRefusals) {
  // (2,3) at contrast 1/3: S0 two white columns and one black, S1 one black sub-pixel each.
  CliRun run = RunInProcess({"matrices", "--scheme", "kofn", "--n", "3", "--k", "2", "--optimal"});
  EXPECT_EQ(run.status, 0) << run.err;
  EXPECT_EQ(run.out, "S0 3x3\n001\n001\n001\nS1 3x3\n100\n010\n001\n");

  const struct {
    std::vector<std::string> args;
    int status;
    const char* message;
  } refusals[] = {
      {{"analyze", "--scheme", "2ofn", "--n", "3", "--optimal"}, 2, "--optimal belongs to"},
      {{"matrices", "--scheme", "nofn", "--optimal"}, 2, "--optimal belongs to"},
      {{"analyze", "--scheme", "kofn", "--n", "3", "--k", "4", "--optimal"}, 1, "threshold k"},
      {{"analyze", "--scheme", "kofn", "--n", "10", "--optimal"}, 1, "from 2 to 9"},
      {{"analyze", "--scheme", "kofn", "--n", "9", "--k", "7"}, 1, "too large to build"},
      {{"analyze", "--scheme", "general", "--n", "3"}, 1, "no qualified set"},
      {{"analyze", "--scheme", "2of2", "--json=yes"}, 2, "takes no value"},
      {{"analyze", "--scheme", "2of2", "extra"}, 2, "unexpected argument"},
  };
  for (const auto& r : refusals) {
    run = RunInProcess(r.args);
    EXPECT_EQ(run.status, r.status) << r.args[1] << " " << run.err;
    EXPECT_NE(run.err.find(r.message), std::string::npos) << run.err;
    EXPECT_EQ(run.out, "");
  }
}

}  // namespace
}  // namespace quillon::cli
