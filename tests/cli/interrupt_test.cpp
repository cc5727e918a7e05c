// The built quillon-cli interrupted while it writes a share set over an earlier one: Ctrl-C
// (SIGINT) leaves the earlier set whole and nothing staged; SIGKILL, which nothing can catch,
// still leaves the earlier set whole (hidden staged files may stay). The signal goes out once
// the first staged file appears; a run that ends before that is skipped, not failed.
#include <fcntl.h>
#include <gtest/gtest.h>
#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <cstring>
#include <filesystem>
#include <optional>

#include "tests/cli/cli_test_util.h"
#include "tests/test_util.h"

namespace quillon::cli {
namespace {

using quillon::testing::ScratchDir;
using testing::FolderState;
using testing::RunInProcess;
namespace fs = std::filesystem;

constexpr int kShares = 9;

// The split's arguments: nine shares of secret into out.
std::vector<std::string> SplitArgs(const std::string& secret, const std::string& out,
                                   const char* seed) {
  return {"split", secret, "--scheme", "kofn", "--n",   "9",
          "--k",   "2",    "--seed",   seed,   "--out", out};
}

pid_t Start(const std::vector<std::string>& args) {
  const pid_t pid = fork();
  if (pid == 0) {
    const int null = open("/dev/null", O_WRONLY);
    dup2(null, STDOUT_FILENO);
    dup2(null, STDERR_FILENO);
    std::vector<char*> argv{const_cast<char*>(QUILLON_CLI_PATH)};
    for (const std::string& arg : args)
      argv.push_back(const_cast<char*>(arg.c_str()));
    argv.push_back(nullptr);
    execv(QUILLON_CLI_PATH, argv.data());
    _exit(127);
  }
  return pid;
}

bool HasStagedFile(const std::string& folder) {
  std::error_code error;
  for (const auto& entry : fs::directory_iterator(folder, error)) {
    if (entry.path().filename().string().find(".quillon-") != std::string::npos)
      return true;
  }
  return false;
}

// Starts the split over the earlier set in out and sends signal once a staged file is there.
// Answers the wait status, or nullopt when the run ended first.
std::optional<int> InterruptSplit(const std::string& secret, const std::string& out, int signal) {
  const pid_t pid = Start(SplitArgs(secret, out, "2"));
  const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(120);
  int status = 0;
  while (std::chrono::steady_clock::now() < deadline) {
    if (HasStagedFile(out)) {
      kill(pid, signal);
      waitpid(pid, &status, 0);
      return status;
    }
    if (waitpid(pid, &status, WNOHANG) == pid)
      return std::nullopt;
    usleep(100);
  }
  kill(pid, SIGKILL);
  waitpid(pid, &status, 0);
  ADD_FAILURE() << "the split took more than two minutes";
  return std::nullopt;
}

// A secret large enough that writing nine shares of it takes a moment: 6000 x 6000.
void SaveBigSecret(const std::string& path) {
  BmpImage big(path, 6000, 6000);
  for (int32_t row = 0; row < big.Height(); ++row)
    std::memset(big.Row(row), row % 3 == 0 ? 0x0F : 0xF0, big.Stride());
  ASSERT_TRUE(big.Save(Env::Default()));
}

class InterruptTest : public ::testing::TestWithParam<int> {};

TEST_P(InterruptTest, TheEarlierSetStaysWhole) {
  const int signal = GetParam();
  ScratchDir dir;
  // The earlier set, from a small secret.
  const std::string out = dir.File("out");
  testing::MakeImage(dir.File("small.bmp"), 8, 8, [](int32_t r, int32_t c) {
    return r < c;
  }).Save(Env::Default());
  ASSERT_EQ(RunInProcess(SplitArgs(dir.File("small.bmp"), out, "1")).status, 0);
  const auto earlier = FolderState(out);
  ASSERT_EQ(earlier.size(), static_cast<size_t>(kShares));

  SaveBigSecret(dir.File("big.bmp"));

  const std::optional<int> status = InterruptSplit(dir.File("big.bmp"), out, signal);
  if (!status)
    GTEST_SKIP() << "the split ended before a staged file was seen";
  EXPECT_TRUE(WIFSIGNALED(*status) && WTERMSIG(*status) == signal) << *status;

  auto after = FolderState(out);
  if (signal == SIGKILL) {
    // Hidden staged files may stay behind; the shares themselves are the earlier ones.
    std::erase_if(after, [](const auto& entry) {
      return entry.first.find(".quillon-") != std::string::npos;
    });
  }
  // A signal that came while the finished set was being renamed into place waits for the
  // renames: the new set is then whole. Never a mixture.
  size_t same = 0;
  for (const auto& [name, bytes] : earlier)
    same += after.count(name) != 0 && after[name] == bytes;
  EXPECT_EQ(after.size(), earlier.size());
  EXPECT_TRUE(same == earlier.size() || same == 0) << same << " of the earlier shares remain";
}

// Ctrl-C once the output folders are made, before or while the shares are written: the
// folders go again with everything staged in them.
TEST(InterruptTest, CtrlCLeavesNoNewFolder) {
  ScratchDir dir;
  SaveBigSecret(dir.File("big.bmp"));
  const pid_t pid = Start(SplitArgs(dir.File("big.bmp"), dir.File("new/a/b"), "3"));
  int status = 0;
  bool interrupted = false;
  const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(120);
  while (!interrupted && std::chrono::steady_clock::now() < deadline) {
    if (fs::exists(dir.File("new/a/b"))) {
      kill(pid, SIGINT);
      interrupted = true;
    } else if (waitpid(pid, &status, WNOHANG) == pid) {
      break;
    }
    usleep(100);
  }
  if (!interrupted) {
    kill(pid, SIGKILL);
    waitpid(pid, &status, 0);
    GTEST_SKIP() << "the folder was never seen";
  }
  waitpid(pid, &status, 0);
  ASSERT_TRUE(WIFSIGNALED(status) && WTERMSIG(status) == SIGINT) << status;
  EXPECT_FALSE(fs::exists(dir.File("new")));
}

INSTANTIATE_TEST_SUITE_P(Signals, InterruptTest, ::testing::Values(SIGINT, SIGKILL),
                         [](const ::testing::TestParamInfo<int>& info) {
                           return info.param == SIGINT ? "Sigint" : "Sigkill";
                         });

}  // namespace
}  // namespace quillon::cli
