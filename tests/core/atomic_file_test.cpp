#include "core/atomic_file.h"

#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include <filesystem>

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

Outcome WriteText(Env& env, const std::string& path, const std::string& text,
                  uint32_t mode = kPrivateFileMode) {
  return WriteFileAtomically(env, path, mode, [&text](WritableFile& file) {
    return file.Append(text.data(), text.size());
  });
}

std::string Text(const std::string& path) {
  const std::vector<uint8_t> bytes = ReadFileBytes(path);
  return std::string(bytes.begin(), bytes.end());
}

// Whatever call fails, the earlier file stays byte for byte with its mode, nothing staged
// stays behind, and the outcome names the target as given with the system's error.
TEST(AtomicFileTest, EveryFailedStepLeavesTheEarlierFile) {
  const struct {
    FileOp op;
    Code code;
  } cases[] = {{FileOp::kStatus, Code::kCannotCreate}, {FileOp::kCreateNew, Code::kCannotCreate},
               {FileOp::kAppend, Code::kCannotWrite},  {FileOp::kSetMode, Code::kCannotWrite},
               {FileOp::kSync, Code::kCannotWrite},    {FileOp::kClose, Code::kCannotWrite},
               {FileOp::kRename, Code::kCannotReplace}};
  for (const auto& c : cases) {
    ScratchDir dir;
    const std::string target = dir.File("keep.bmp");
    WriteFileBytes(target, {'o', 'l', 'd'});
    chmod(target.c_str(), 0640);
    const auto before = Snapshot(dir.Path());
    FaultEnv env;
    env.FailCall(c.op, 0, ENOSPC);
    const Outcome written = WriteText(env, target, "new");
    EXPECT_EQ(written.code, c.code) << static_cast<int>(c.op);
    EXPECT_EQ(written.file, target);
    EXPECT_EQ(written.error, ENOSPC);
    EXPECT_EQ(Snapshot(dir.Path()), before) << static_cast<int>(c.op);
  }

  // A writer that gives up is returned as it said, naming the target.
  ScratchDir dir;
  const Outcome refused = WriteFileAtomically(Env::Default(), dir.File("x"), 0600, [](auto&) {
    return Outcome::Fail(Code::kNoPixels, "whatever");
  });
  EXPECT_EQ(refused.code, Code::kNoPixels);
  EXPECT_EQ(refused.file, dir.File("x"));
  EXPECT_EQ(StagedCount(dir.Path()), 0);

  // A folder sync that fails is told, though the file is in place.
  FaultEnv env;
  env.FailCall(FileOp::kSyncFolder, 0);
  EXPECT_EQ(WriteText(env, dir.File("y"), "new").code, Code::kCannotWrite);
  EXPECT_EQ(Text(dir.File("y")), "new");
}

TEST(AtomicFileTest, NewFilesArePrivateAndReplacedFilesKeepTheirMode) {
  ScratchDir dir;
  const mode_t umaskWas = umask(022);
  ASSERT_TRUE(WriteText(Env::Default(), dir.File("share.bmp"), "a"));
  ASSERT_TRUE(WriteText(Env::Default(), dir.File("tez.ini"), "1", kOrdinaryFileMode));
  WriteFileBytes(dir.File("old.bmp"), {'o'});
  chmod(dir.File("old.bmp").c_str(), 0640);
  ASSERT_TRUE(WriteText(Env::Default(), dir.File("old.bmp"), "b"));
  umask(umaskWas);
  EXPECT_EQ(ModeOf(dir.File("share.bmp")), 0600u);
  EXPECT_EQ(ModeOf(dir.File("tez.ini")), 0644u);
  EXPECT_EQ(ModeOf(dir.File("old.bmp")), 0640u);
  EXPECT_EQ(Text(dir.File("old.bmp")), "b");
}

// A link is written through to its final target; the links stay links.
TEST(AtomicFileTest, LinksAreWrittenThrough) {
  ScratchDir dir;
  fs::create_directories(dir.File("sub"));
  WriteFileBytes(dir.File("sub/real.bmp"), {'o'});
  chmod(dir.File("sub/real.bmp").c_str(), 0640);
  fs::create_symlink("real.bmp", dir.File("sub/near"));  // relative to its own folder
  fs::create_symlink("sub/near", dir.File("chain"));     // a link to a link
  fs::create_symlink(dir.File("sub/new.bmp"), dir.File("dangling"));
  fs::create_symlink("loop", dir.File("loop"));

  ASSERT_TRUE(WriteText(Env::Default(), dir.File("chain"), "through"));
  EXPECT_TRUE(fs::is_symlink(dir.File("chain")));
  EXPECT_TRUE(fs::is_symlink(dir.File("sub/near")));
  EXPECT_EQ(Text(dir.File("sub/real.bmp")), "through");
  EXPECT_EQ(ModeOf(dir.File("sub/real.bmp")), 0640u);

  ASSERT_TRUE(WriteText(Env::Default(), dir.File("dangling"), "made"));
  EXPECT_TRUE(fs::is_symlink(dir.File("dangling")));
  EXPECT_EQ(Text(dir.File("sub/new.bmp")), "made");

  const Outcome looped = WriteText(Env::Default(), dir.File("loop"), "x");
  EXPECT_EQ(looped.code, Code::kCannotCreate);
  EXPECT_EQ(looped.error, ELOOP);
  EXPECT_EQ(StagedCount(dir.Path()), 0);
}

// Folders, FIFOs and devices are never replaced, and nothing is created beside them.
TEST(AtomicFileTest, TargetsThatAreNoRegularFileAreRefused) {
  ScratchDir dir;
  fs::create_directories(dir.File("folder.bmp"));
  ASSERT_EQ(mkfifo(dir.File("fifo.bmp").c_str(), 0600), 0);
  fs::create_symlink("fifo.bmp", dir.File("to-fifo.bmp"));
  const auto before = Snapshot(dir.Path());
  for (const std::string& target : {dir.File("folder.bmp"), dir.File("fifo.bmp"),
                                    dir.File("to-fifo.bmp"), std::string("/dev/null")}) {
    FaultEnv env;
    const Outcome written = WriteText(env, target, "x");
    EXPECT_EQ(written.code, Code::kNotRegularFile) << target;
    EXPECT_EQ(written.file, target);
    EXPECT_EQ(env.Calls(FileOp::kCreateNew), 0) << target;
  }
  EXPECT_EQ(Snapshot(dir.Path()), before);
}

TEST(AtomicFileTest, AnUncommittedFileIsRemoved) {
  ScratchDir dir;
  {
    AtomicFile file(Env::Default(), dir.File("x.bmp"));
    ASSERT_TRUE(file.Open());
    EXPECT_EQ(file.StagedPath().rfind(dir.File(".x.bmp.quillon-"), 0), 0u) << file.StagedPath();
    ASSERT_TRUE(file.File().Append("abc", 3));
    EXPECT_EQ(StagedCount(dir.Path()), 1);
  }
  EXPECT_TRUE(fs::is_empty(dir.Path()));
}

}  // namespace
}  // namespace quillon
