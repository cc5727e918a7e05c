// Every refusal of quillon-cli's writing commands, run in-process: exit status 1, one line on
// stderr that names the file and the reason, and the folder exactly as it was before (no new
// file or folder, no staged ".quillon-" file, earlier shares byte for byte).
#include <gtest/gtest.h>
#include <sys/stat.h>

#include <cerrno>
#include <filesystem>
#include <functional>

#include "cli/console.h"
#include "io/png_writer.h"
#include "tests/cli/cli_test_util.h"
#include "tests/fault_env.h"
#include "tests/test_util.h"

namespace quillon::cli {
namespace {

using quillon::testing::FaultEnv;
using quillon::testing::FileOp;
using quillon::testing::ScratchDir;
using quillon::testing::WriteFileBytes;
using testing::CliRun;
using testing::FolderState;
using testing::Lines;
using testing::MakeImage;
using testing::RunInProcess;
namespace fs = std::filesystem;

// "{D}" stands for the scratch folder in arguments and expected words.
std::string InDir(std::string text, const std::string& dir) {
  for (size_t at; (at = text.find("{D}")) != std::string::npos;)
    text.replace(at, 3, dir);
  return text;
}

void SaveBmp(const std::string& path) {
  MakeImage(path, 12, 20, [](int32_t r, int32_t c) {
    return r == c || r == 0;
  }).Save(Env::Default());
}

// An earlier set of three shares in {D}/out.
void EarlierSet(const std::string& dir) {
  SaveBmp(dir + "/s.bmp");
  ASSERT_EQ(RunInProcess({"split", dir + "/s.bmp", "--scheme", "kofn", "--n", "3", "--seed", "1",
                          "--out", dir + "/out"})
                .status,
            0);
}

// A bitmap of width 8 and height 0: a header and a colour table, no pixels.
void SaveEmptyBitmap(const std::string& path) {
  std::vector<uint8_t> bytes(62);
  const auto put = [&bytes](size_t at, uint32_t value) {
    for (int i = 0; i < 4; ++i)
      bytes[at + i] = static_cast<uint8_t>(value >> (8 * i));
  };
  bytes[0] = 'B';
  bytes[1] = 'M';
  put(2, 62);
  put(10, 62);
  put(14, 40);
  put(18, 8);
  bytes[26] = 1;  // planes
  bytes[28] = 1;  // bits
  bytes[58] = bytes[59] = bytes[60] = 255;
  WriteFileBytes(path, bytes);
}

struct RefusalCase {
  const char* what;
  std::function<void(const std::string& dir)> setup;
  std::vector<std::string> args;
  std::vector<std::string> words;  // all in the one line
  std::function<void(FaultEnv&)> faults = {};
  bool failingRandom = false;
  bool bitmapHint = false;
};

TEST(RefusalsTest, OneLineAndEveryFileAsItWas) {
  const auto secret = [](const std::string& dir) { SaveBmp(dir + "/s.bmp"); };
  const auto layers = [](const std::string& dir) {
    SaveBmp(dir + "/a.bmp");
    SaveBmp(dir + "/b.bmp");
  };
  const std::vector<std::string> split = {"split", "{D}/s.bmp", "--scheme", "kofn",
                                          "--n",   "3",         "--out",    "{D}/out"};
  const auto with = [](std::vector<std::string> args, const std::vector<std::string>& more) {
    args.insert(args.end(), more.begin(), more.end());
    return args;
  };
  const RefusalCase cases[] = {
      // Outputs that name inputs or each other, caught before anything is read or made.
      {"secret named as a share",
       [](const std::string& dir) { SaveBmp(dir + "/capa1.bmp"); },
       {"split", "{D}/capa1.bmp", "--scheme", "2of2", "--out", "{D}"},
       {"the share '{D}/capa1.bmp' would replace the secret image '{D}/capa1.bmp'"}},
      {"--save-secret names a share",
       secret,
       with(split, {"--save-secret", "{D}/out/capa1.bmp"}),
       {"the --save-secret file '{D}/out/capa1.bmp' and the share '{D}/out/capa1.bmp' are the "
        "same file"}},
      {"--save-secret names the secret",
       [](const std::string& dir) {
         const BmpImage image =
             MakeImage("p", 6, 8, [](int32_t r, int32_t c) { return (r + c) % 3 == 0; });
         ASSERT_TRUE(SavePng(Env::Default(), image, dir + "/photo.png"));
       },
       {"split", "{D}/photo.png", "--scheme", "2of2", "--out", "{D}/out", "--save-secret",
        "{D}/photo.png"},
       {"the --save-secret file '{D}/photo.png' would replace the secret image '{D}/photo.png'"}},
      {"an innocent image named as a share",
       [](const std::string& dir) {
         SaveBmp(dir + "/s.bmp");
         SaveBmp(dir + "/i.bmp");
         SaveBmp(dir + "/capa2.bmp");
       },
       {"split", "{D}/s.bmp", "--scheme", "2of2", "--method", "extended-size", "--innocent",
        "{D}/i.bmp,{D}/capa2.bmp", "--out", "{D}/sub/.."},
       {"would replace the innocent image '{D}/capa2.bmp'"}},
      {"stack over a layer",
       layers,
       {"stack", "{D}/a.bmp", "{D}/b.bmp", "-o", "{D}/a.bmp"},
       {"the result '{D}/a.bmp' would replace the layer '{D}/a.bmp'"}},
      {"stack --decode over a layer",
       layers,
       {"stack", "{D}/a.bmp", "{D}/b.bmp", "--decode", "--scheme", "2of2", "--method", "square",
        "-o", "{D}/b.bmp"},
       {"the result '{D}/b.bmp' would replace the layer '{D}/b.bmp'"}},
      {"print over a share",
       layers,
       {"print", "{D}/a.bmp", "--scheme", "2of2", "--pdf", "{D}/a.bmp"},
       {"the PDF file '{D}/a.bmp' would replace the share '{D}/a.bmp'"}},

      // One participant alone qualified: that share would be the secret itself.
      {"--sets 1",
       secret,
       {"split", "{D}/s.bmp", "--scheme", "general", "--n", "2", "--sets", "1", "--out", "{D}/out"},
       {"participant 1 alone is a qualified set: share 1 would be the secret in the clear",
        "--allow-clear-share"}},
      {"--sets 2,3;1",
       secret,
       {"split", "{D}/s.bmp", "--scheme", "general", "--n", "3", "--sets", "2,3;1", "--out",
        "{D}/out"},
       {"participant 1 alone", "--allow-clear-share"}},

      // Inputs that are no picture, refused at once and without the bitmap hint.
      {"a FIFO",
       [](const std::string& dir) { ASSERT_EQ(mkfifo((dir + "/fifo.bmp").c_str(), 0600), 0); },
       {"split", "{D}/fifo.bmp", "--scheme", "2of2", "--out", "{D}/out"},
       {"the secret image '{D}/fifo.bmp' is not a regular file"}},
      {"a folder",
       [](const std::string& dir) { fs::create_directory(dir + "/folder.bmp"); },
       {"split", "{D}/folder.bmp", "--scheme", "2of2", "--out", "{D}/out"},
       {"the secret image '{D}/folder.bmp' is a folder"}},
      {"an empty file",
       [](const std::string& dir) { WriteFileBytes(dir + "/empty.bmp", {}); },
       {"split", "{D}/empty.bmp", "--scheme", "2of2", "--out", "{D}/out"},
       {"the secret image '{D}/empty.bmp' is not a picture"}},
      {"a text layer",
       [](const std::string& dir) {
         SaveBmp(dir + "/a.bmp");
         WriteFileBytes(dir + "/notes.txt", {'h', 'i', '\n'});
       },
       {"stack", "{D}/a.bmp", "{D}/notes.txt", "-o", "{D}/new/r.bmp"},
       {"the layer '{D}/notes.txt' is not a picture", "nothing written"}},
      {"a layer without pixels",
       [](const std::string& dir) {
         SaveBmp(dir + "/a.bmp");
         SaveEmptyBitmap(dir + "/empty.bmp");
       },
       {"stack", "{D}/a.bmp", "{D}/empty.bmp", "-o", "{D}/new/r.bmp"},
       {"the layer '{D}/empty.bmp' has no pixels"}},
      {"a refused bitmap",
       [](const std::string& dir) {
         WriteFileBytes(dir + "/bad.bmp", {'B', 'M', 9, 9});
       },
       {"split", "{D}/bad.bmp", "--scheme", "2of2", "--out", "{D}/out"},
       {"cannot read the secret image '{D}/bad.bmp': unsupported bitmap file"},
       {},
       false,
       true},

      // The work refused or failed: nothing written, no new folder left behind.
      {"the system's generator fails",
       secret,
       split,
       {"the system's random generator failed: Input/output error; nothing written"},
       {},
       true},
      {"too little memory",
       secret,
       split,
       {"there is not enough memory for shares of this size (they need about", "MiB available)"},
       [](FaultEnv& env) { env.SetAvailableMemory(100); }},
      {"disk full",
       EarlierSet,
       split,
       {"cannot write '{D}/out/capa2.bmp': No space left on device; nothing written"},
       [](FaultEnv& env) { env.FailPath(FileOp::kAppend, "capa2", ENOSPC); }},
      {"permission denied",
       EarlierSet,
       split,
       {"cannot create '{D}/out/capa3.bmp': Permission denied; nothing written"},
       [](FaultEnv& env) { env.FailPath(FileOp::kCreateNew, "capa3", EACCES); }},
      {"a folder where capa2.bmp goes",
       [](const std::string& dir) {
         EarlierSet(dir);
         fs::remove(dir + "/out/capa2.bmp");
         fs::create_directory(dir + "/out/capa2.bmp");
       },
       split,
       {"cannot write '{D}/out/capa2.bmp': it is a folder; nothing written"}},
      {"a stacked result on a full disk",
       layers,
       {"stack", "{D}/a.bmp", "{D}/b.bmp", "-o", "{D}/new/r.bmp"},
       {"cannot write '{D}/new/r.bmp': No space left on device"},
       [](FaultEnv& env) { env.FailPath(FileOp::kAppend, "r.bmp", ENOSPC); }},
  };
  for (const RefusalCase& c : cases) {
    SCOPED_TRACE(c.what);
    ScratchDir scratch;
    const std::string dir = scratch.Path().string();
    c.setup(dir);
    const auto before = FolderState(dir);
    FaultEnv env;
    if (c.faults)
      c.faults(env);
    std::vector<std::string> args;
    for (const std::string& arg : c.args)
      args.push_back(InDir(arg, dir));
    EntropyFn entropy;
    if (c.failingRandom) {
      entropy = [](void*, size_t) -> ssize_t {
        errno = EIO;
        return -1;
      };
    }
    const CliRun run = RunInProcess(args, &env, entropy);
    EXPECT_EQ(run.status, 1);
    EXPECT_EQ(run.out, "");
    const std::vector<std::string> lines = Lines(run.err);
    ASSERT_EQ(lines.size(), c.bitmapHint ? 2u : 1u) << run.err;
    EXPECT_TRUE(lines[0].starts_with("quillon-cli " + args[0] + ": ")) << lines[0];
    for (const std::string& word : c.words)
      EXPECT_NE(lines[0].find(InDir(word, dir)), std::string::npos) << lines[0];
    if (c.bitmapHint) {
      EXPECT_EQ(lines[1], UnsupportedFileHint());
    }
    EXPECT_EQ(FolderState(dir), before);
  }
}

// What --allow-clear-share lets through: the lone participant's share alone shows the
// secret, so it is refused unless asked for.
TEST(RefusalsTest, AllowClearShareWritesTheSet) {
  ScratchDir dir;
  SaveBmp(dir.File("s.bmp"));
  const CliRun run =
      RunInProcess({"split", dir.File("s.bmp"), "--scheme", "general", "--n", "3", "--sets",
                    "1;2,3", "--allow-clear-share", "--out", dir.File("out")});
  EXPECT_EQ(run.status, 0) << run.err;
  EXPECT_EQ(Lines(run.out).size(), 3u);
}

// A new set smaller than the one in the folder, or of the other format, says in one line
// which earlier shares stay beside it.
TEST(RefusalsTest, EarlierSharesBeyondTheNewSetAreNamed) {
  ScratchDir dir;
  const std::string d = dir.Path().string();
  EarlierSet(d);
  CliRun run = RunInProcess({"split", d + "/s.bmp", "--scheme", "2of2", "--out", d + "/out"});
  EXPECT_EQ(run.status, 0) << run.err;
  EXPECT_EQ(run.err, "quillon-cli split: warning: the earlier share '" + d +
                         "/out/capa3.bmp' is not part of the new set of 2 shares\n");
  run = RunInProcess(
      {"split", d + "/s.bmp", "--scheme", "2of2", "--format", "png", "--out", d + "/out"});
  EXPECT_EQ(run.status, 0) << run.err;
  EXPECT_EQ(run.err, "quillon-cli split: warning: the earlier shares '" + d + "/out/capa1.bmp', '" +
                         d + "/out/capa2.bmp', '" + d +
                         "/out/capa3.bmp' are not part of the new set of 2 shares\n");
  // Shares are the owner's alone.
  EXPECT_EQ(fs::status(d + "/out/capa1.png").permissions() & fs::perms::all,
            fs::perms::owner_read | fs::perms::owner_write);
}

}  // namespace
}  // namespace quillon::cli
