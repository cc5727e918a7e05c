#include <gtest/gtest.h>

#include <cstdio>
#include <string>

#include "cli/cli_session.h"

namespace quillon::cli {
namespace {

std::string ReadAll(std::FILE* file) {
  std::rewind(file);
  std::string text;
  for (int c; (c = std::fgetc(file)) != EOF;)
    text += static_cast<char>(c);
  return text;
}

struct ProgressCase {
  bool terminal;
  std::vector<std::pair<double, double>> updates;  // (seconds since start, fraction)
  std::string expected;
};

TEST(ProgressLineTest, ShownOnATerminalOnlyForWorkLongerThanASecondAndClearedAtTheEnd) {
  // As long as the longest line, "quillon-cli split: 100%".
  const std::string blank = "\r" + std::string(23, ' ') + "\r";
  const ProgressCase kCases[] = {
      // Not a terminal: nothing, however long the work.
      {false, {{0.0, 0.1}, {5.0, 0.5}, {9.0, 1.0}}, ""},
      // Done within a second: nothing.
      {true, {{0.2, 0.3}, {0.9, 0.99}, {0.95, 1.0}}, ""},
      // Longer: the line appears after a second, changes with the percentage, is cleared.
      {true,
       {{0.5, 0.1}, {1.5, 0.42}, {1.6, 0.425}, {2.0, 0.5}, {3.0, 1.0}},
       "\rquillon-cli split:  42%\rquillon-cli split:  50%" + blank},
      // Work that stops before the end clears its line when the session goes.
      {true, {{2.0, 0.07}}, "\rquillon-cli split:   7%" + blank},
  };
  for (const ProgressCase& c : kCases) {
    std::FILE* err = std::tmpfile();
    ASSERT_NE(err, nullptr);
    double now = 0;
    {
      ProgressLine line(err, "split", c.terminal, [&now] { return now; });
      for (const auto& [seconds, fraction] : c.updates) {
        now = seconds;
        line.Update(fraction);
      }
    }
    EXPECT_EQ(ReadAll(err), c.expected) << "terminal " << c.terminal;
    std::fclose(err);
  }
}

TEST(ProgressLineTest, AFileIsNoTerminal) {
  std::FILE* err = std::tmpfile();
  ASSERT_NE(err, nullptr);
  {
    Console console;
    console.err = err;
    CliShareSession session(console, ShareOutput{});
    session.ShowProgress(0.5);
    session.ShowProgress(1.0);
  }
  EXPECT_EQ(ReadAll(err), "");
  std::fclose(err);
}

}  // namespace
}  // namespace quillon::cli
