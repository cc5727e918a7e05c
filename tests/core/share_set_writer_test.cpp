#include "core/share_set_writer.h"

#include <gtest/gtest.h>
#include <signal.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <filesystem>

#include "core/bmp_image.h"
#include "core/staged_files.h"
#include "tests/core/write_test_util.h"
#include "tests/fault_env.h"
#include "tests/test_util.h"

namespace quillon {
namespace {

namespace fs = std::filesystem;
using testing::FaultEnv;
using testing::FileOp;
using testing::ModeOf;
using testing::ReadFileBytes;
using testing::ScratchDir;
using testing::Snapshot;
using testing::StagedCount;
using testing::WriteFileBytes;

WriteBytes Text(std::string text) {
  return [text](WritableFile& file) { return file.Append(text.data(), text.size()); };
}

// An earlier set of three shares in dir, each with its own content.
void WriteEarlierSet(const ScratchDir& dir) {
  for (int i = 1; i <= 3; ++i) {
    WriteFileBytes(dir.File("capa" + std::to_string(i) + ".bmp"),
                   {'o', 'l', 'd', static_cast<uint8_t>('0' + i)});
  }
}

Outcome WriteNewSet(Env& env, const ScratchDir& dir, int n = 3,
                    std::function<void(size_t)> hook = nullptr) {
  ShareSetWriter set(env);
  for (int i = 1; i <= n; ++i)
    set.Add(dir.File("capa" + std::to_string(i) + ".bmp"), Text("new" + std::to_string(i)));
  set.SetStagedHook(std::move(hook));
  return set.Write();
}

// A failure anywhere in the second share, or in the first rename, leaves the earlier set byte
// for byte and nothing staged; the outcome says which share.
TEST(ShareSetWriterTest, AFailureLeavesTheEarlierSet) {
  const struct {
    FileOp op;
    int nth;
    Code code;
    int index;
  } cases[] = {
      {FileOp::kStatus, 2, Code::kCannotCreate, 1},
      {FileOp::kCreateNew, 2, Code::kCannotCreate, 1},
      {FileOp::kAppend, 2, Code::kCannotWrite, 1},
      {FileOp::kSetMode, 2, Code::kCannotWrite, 1},
      {FileOp::kSync, 2, Code::kCannotWrite, 1},
      {FileOp::kClose, 2, Code::kCannotWrite, 1},
      {FileOp::kRename, 1, Code::kCannotReplace, 0},
  };
  for (const auto& c : cases) {
    ScratchDir dir;
    WriteEarlierSet(dir);
    const auto before = Snapshot(dir.Path());
    FaultEnv env;
    env.FailCall(c.op, c.nth, EIO);
    const Outcome written = WriteNewSet(env, dir);
    EXPECT_EQ(written.code, c.code) << static_cast<int>(c.op);
    EXPECT_EQ(written.index, c.index) << static_cast<int>(c.op);
    EXPECT_EQ(written.file, dir.File("capa" + std::to_string(c.index + 1) + ".bmp"));
    EXPECT_EQ(written.error, EIO);
    EXPECT_EQ(Snapshot(dir.Path()), before) << static_cast<int>(c.op);
  }
}

TEST(ShareSetWriterTest, WritesTheWholeSetAndRefusesBadTargetsFirst) {
  ScratchDir dir;
  WriteEarlierSet(dir);
  chmod(dir.File("capa1.bmp").c_str(), 0640);
  ASSERT_TRUE(WriteNewSet(Env::Default(), dir, 4));
  EXPECT_EQ(ReadFileBytes(dir.File("capa4.bmp")), (std::vector<uint8_t>{'n', 'e', 'w', '4'}));
  EXPECT_EQ(ModeOf(dir.File("capa1.bmp")), 0640u);
  EXPECT_EQ(ModeOf(dir.File("capa4.bmp")), 0600u);
  EXPECT_EQ(StagedCount(dir.Path()), 0);

  // A FIFO as the third share, or two shares that are one file: nothing is written at all.
  ASSERT_EQ(mkfifo(dir.File("capa3.bmp.fifo").c_str(), 0600), 0);
  fs::create_symlink("capa1.bmp", dir.File("link.bmp"));
  const auto before = Snapshot(dir.Path());
  for (const char* bad : {"capa3.bmp.fifo", "link.bmp"}) {
    FaultEnv env;
    ShareSetWriter set(env);
    set.Add(dir.File("capa1.bmp"), Text("x"));
    set.Add(dir.File("capa2.bmp"), Text("x"));
    set.Add(dir.File(bad), Text("x"));
    const Outcome written = set.Write();
    EXPECT_EQ(written.code, bad[0] == 'l' ? Code::kOutputTwice : Code::kNotRegularFile) << bad;
    EXPECT_EQ(written.index, 2);
    EXPECT_EQ(env.Calls(FileOp::kCreateNew), 0) << bad;
  }
  EXPECT_EQ(Snapshot(dir.Path()), before);
}

TEST(ShareSetWriterTest, BmpSharesAreWrittenAsSaveWritesThem) {
  ScratchDir dir;
  BmpImage share(dir.File("saved.bmp"), 3, 13);
  share.SetPixel(1, 5, 1);
  ASSERT_TRUE(share.Save(Env::Default()));
  ShareSetWriter set(Env::Default());
  set.Add(dir.File("set.bmp"), [&share](WritableFile& file) { return share.WriteTo(file); });
  ASSERT_TRUE(set.Write());
  EXPECT_EQ(ReadFileBytes(dir.File("set.bmp")), ReadFileBytes(dir.File("saved.bmp")));
}

TEST(ShareSetWriterTest, SharesBeyondANewSetAreListed) {
  ScratchDir dir;
  for (const char* name : {"capa1.bmp", "capa3.bmp", "capa3.png", "capa9.bmp", "capa10.bmp"})
    WriteFileBytes(dir.File(name), {'x'});
  fs::create_symlink("nowhere", dir.File("capa5.png"));
  EXPECT_EQ(SharesBeyond(Env::Default(), dir.Path().string(), 2),
            (std::vector<std::string>{dir.File("capa3.bmp"), dir.File("capa3.png"),
                                      dir.File("capa5.png"), dir.File("capa9.bmp")}));
  EXPECT_EQ(SharesBeyond(Env::Default(), dir.Path().string() + "/", 9), std::vector<std::string>{});
}

// A child process stages a set and stops after its first share; then it is interrupted.
// SIGINT and SIGTERM remove what it staged; after SIGKILL staged files may stay. Either way
// the earlier set is whole, and a later run replaces the set and touches nothing else.
TEST(ShareSetWriterTest, AnInterruptedRunLeavesTheEarlierSet) {
  for (int sig : {SIGINT, SIGTERM, SIGKILL}) {
    ScratchDir dir;
    WriteEarlierSet(dir);
    WriteFileBytes(dir.File("notes.txt"), {'n'});
    const auto before = Snapshot(dir.Path());
    int fds[2];
    ASSERT_EQ(pipe(fds), 0);
    const pid_t pid = fork();
    ASSERT_GE(pid, 0);
    if (pid == 0) {
      close(fds[0]);
      WriteNewSet(Env::Default(), dir, 3, [&](size_t staged) {
        if (staged == 1 && write(fds[1], "s", 1) == 1) {
          for (;;)
            pause();
        }
      });
      _exit(0);
    }
    close(fds[1]);
    char got = 0;
    ASSERT_EQ(read(fds[0], &got, 1), 1);
    close(fds[0]);
    kill(pid, sig);
    int status = 0;
    ASSERT_EQ(waitpid(pid, &status, 0), pid);
    EXPECT_TRUE(WIFSIGNALED(status) && WTERMSIG(status) == sig) << sig;

    auto after = Snapshot(dir.Path());
    if (sig == SIGKILL) {
      EXPECT_EQ(StagedCount(dir.Path()), 1);
      std::erase_if(after, [](const auto& entry) { return entry.first[0] == '.'; });
    }
    EXPECT_EQ(after, before) << sig;

    const auto leftover = Snapshot(dir.Path());
    ASSERT_TRUE(WriteNewSet(Env::Default(), dir));
    auto later = Snapshot(dir.Path());
    for (const auto& [name, content] : leftover) {
      if (name.rfind("capa", 0) != 0) {
        EXPECT_EQ(later[name], content) << name;
      }
    }
    EXPECT_EQ(later.size(), leftover.size());
  }
}

// A signal during the renames is held back until the set is in place, then acted on.
TEST(StagedFilesTest, ASignalWhileHeldWaitsAndThenRemovesWhatIsStaged) {
  ScratchDir dir;
  const std::string staged = dir.File(".staged");
  const pid_t pid = fork();
  ASSERT_GE(pid, 0);
  const std::string folder = dir.File(".staging");
  if (pid == 0) {
    // A folder registered before the file inside it still goes, after the file.
    fs::create_directories(folder);
    RegisterStaged(folder);
    WriteFileBytes(folder + "/capa1.bmp", {'s'});
    RegisterStaged(folder + "/capa1.bmp");
    WriteFileBytes(staged, {'s'});
    RegisterStaged(staged);
    {
      HoldStagedSignals hold;
      raise(SIGINT);
      WriteFileBytes(dir.File("after-the-signal"), {'a'});
    }
    _exit(0);
  }
  int status = 0;
  ASSERT_EQ(waitpid(pid, &status, 0), pid);
  EXPECT_TRUE(WIFSIGNALED(status) && WTERMSIG(status) == SIGINT);
  EXPECT_TRUE(fs::exists(dir.File("after-the-signal")));
  EXPECT_FALSE(fs::exists(staged));
  EXPECT_FALSE(fs::exists(folder));
}

// The handlers are there only while something is staged; an ignored signal stays ignored.
TEST(StagedFilesTest, HandlersComeAndGo) {
  struct sigaction was {};
  struct sigaction ignore {};
  ignore.sa_handler = SIG_IGN;
  sigaction(SIGTERM, &ignore, &was);
  auto handler = [](int sig) {
    struct sigaction now {};
    sigaction(sig, nullptr, &now);
    return now.sa_handler;
  };
  const auto previous = handler(SIGINT);
  ASSERT_TRUE(RegisterStaged("/nonexistent/a"));
  ASSERT_TRUE(RegisterStaged("/nonexistent/b"));
  EXPECT_NE(handler(SIGINT), previous);
  EXPECT_EQ(handler(SIGTERM), SIG_IGN);
  UnregisterStaged("/nonexistent/a");
  EXPECT_NE(handler(SIGINT), previous);
  UnregisterStaged("/nonexistent/b");
  EXPECT_EQ(handler(SIGINT), previous);
  sigaction(SIGTERM, &was, nullptr);
  EXPECT_FALSE(RegisterStaged(std::string(kMaxStagedPath, 'x')));
}

}  // namespace
}  // namespace quillon
