#include "shares/encrypt.h"

#include <gtest/gtest.h>

#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cstring>
#include <filesystem>
#include <fstream>

#include "schemes/method_table.h"
#include "shares/expansion.h"
#include "shares/share_output.h"
#include "tests/fault_env.h"
#include "tests/shares/share_test_util.h"

namespace quillon {
namespace {

using testing::FakeSession;
using testing::FaultEnv;
using testing::FileOp;
using testing::ReadFileBytes;
using testing::ScratchDir;

// A source whose system has no entropy left: it answers zeros and says so.
class FailedRandom : public RandomSource {
 public:
  int32_t Next() override { return 0; }
  int FailedWith() const override { return EIO; }
};

class Encrypt : public ::testing::Test {
 protected:
  Encrypt() : session(dir) {}

  Outcome Run(SchemeKind scheme, int n, int k, ExpansionMethod method, const BmpImage* image,
              const BasisMatrix* sets = nullptr, bool allowClearShare = false) {
    EncryptRequest request;
    request.scheme.scheme = scheme;
    request.scheme.n = n;
    request.scheme.k = k;
    request.scheme.qualifiedSets = sets;
    request.method = method;
    request.secret = image;
    request.random = random.get();
    request.allowClearShare = allowClearShare;
    return EncryptSecretImage(session, env, request);
  }

  void ExpectNothingMade() {
    EXPECT_TRUE(session.written.empty());
    EXPECT_TRUE(session.asked.empty());
    EXPECT_TRUE(std::filesystem::is_empty(dir.Path()));
  }

  ScratchDir dir;
  FakeSession session;
  FaultEnv env;
  std::unique_ptr<RandomSource> random = MakeSystemRandom();
  const BmpImage secret = testing::RandomPicture(9, 13, 1, 3);
};

// Every refusal that comes before any work: its code, and nothing asked, drawn or written.
TEST_F(Encrypt, RefusalsBeforeTheWorkMakeNothing) {
  BmpImage failed(dir.File("missing.bmp"));
  EXPECT_FALSE(failed.Load(Env::Default()));
  const BmpImage empty("e.bmp", 4, 0), flat("f.bmp", 0, 4);
  // (9,9): 256 columns. 256 x 1000 square blocks make 8 GB of pixel data per share.
  const BmpImage square("s.bmp", 1000, 1000), wide("w.bmp", 1, (1 << 23) + 1);
  // Pixel sampling of (2,3) reads 2 x 2 blocks: a 1-pixel-high secret gives no share rows.
  const BmpImage thin("t.bmp", 1, 40);
  const BasisMatrix lone = testing::Matrix({"100", "011"});
  struct Case {
    const char* name;
    SchemeKind scheme;
    int n, k;
    ExpansionMethod method;
    const BmpImage* image;
    const BasisMatrix* sets;
    Code code;
  } cases[] = {
      {"no secret", SchemeKind::Scheme2of2, 2, 2, ExpansionMethod::RandomBasisColumn, nullptr,
       nullptr, Code::kNoSecret},
      {"failed load", SchemeKind::Scheme2of2, 2, 2, ExpansionMethod::RandomBasisColumn, &failed,
       nullptr, Code::kNoSecret},
      {"no width", SchemeKind::Scheme2of2, 2, 2, ExpansionMethod::RandomBasisColumn, &empty,
       nullptr, Code::kNoSecret},
      {"no height", SchemeKind::Scheme2of2, 2, 2, ExpansionMethod::RandomBasisColumn, &flat,
       nullptr, Code::kNoSecret},
      {"n of 10", SchemeKind::Scheme2ofN, 10, 2, ExpansionMethod::RandomBasisColumn, &secret,
       nullptr, Code::kBadParameters},
      {"k above n", SchemeKind::SchemeKofN, 4, 5, ExpansionMethod::ExtendedPreserveSize, &secret,
       nullptr, Code::kBadParameters},
      {"no qualified set", SchemeKind::SchemeGeneral, 3, 2, ExpansionMethod::PixelSampling, &secret,
       nullptr, Code::kNoQualifiedSet},
      {"participant 1 alone", SchemeKind::SchemeGeneral, 3, 2, ExpansionMethod::RandomBasisColumn,
       &secret, &lone, Code::kSingleQualified},
      {"8 GB shares", SchemeKind::SchemeNofN, 9, 9, ExpansionMethod::SquareSubpixelExpansion,
       &square, nullptr, Code::kSharesTooLarge},
      {"wider than 32 bits", SchemeKind::SchemeNofN, 9, 9, ExpansionMethod::SquareSubpixelExpansion,
       &wide, nullptr, Code::kSharesTooLarge},
      {"too large before innocents", SchemeKind::SchemeNofN, 9, 9,
       ExpansionMethod::ExtendedPreserveDetail, &square, nullptr, Code::kSharesTooLarge},
      {"smaller than a block", SchemeKind::SchemeKofN, 3, 2, ExpansionMethod::PixelSampling, &thin,
       nullptr, Code::kSmallerThanBlock},
  };
  for (const Case& c : cases) {
    const Outcome outcome = Run(c.scheme, c.n, c.k, c.method, c.image, c.sets);
    EXPECT_EQ(outcome.code, c.code) << c.name;
    if (c.code == Code::kSingleQualified) {
      EXPECT_EQ(outcome.index, 0) << c.name;
    }
  }
  ExpectNothingMade();

  // Work the memory at hand cannot hold is refused from the estimate, saying how much.
  env.SetAvailableMemory(1000);
  const Outcome memory =
      Run(SchemeKind::Scheme2of2, 2, 2, ExpansionMethod::RandomBasisColumn, &square);
  EXPECT_EQ(memory.code, Code::kNoMemory);
  EXPECT_NE(memory.detail.find("MiB"), std::string::npos) << memory.detail;
  ExpectNothingMade();
}

TEST_F(Encrypt, ALoneQualifiedParticipantIsMadeOnlyWhenAllowed) {
  random = MakeSeededRandom(3);
  const BasisMatrix lone = testing::Matrix({"100", "011"});
  ASSERT_TRUE(Run(SchemeKind::SchemeGeneral, 3, 2, ExpansionMethod::RandomBasisColumn, &secret,
                  &lone, true));
  // Participant 1's share alone shows the secret: black wherever the secret is black.
  BmpImage first(dir.File("capa1.bmp"));
  ASSERT_TRUE(first.Load(Env::Default()));
  const std::vector<std::string> share = testing::Pixels(first), plain = testing::Pixels(secret);
  int whiteShown = 0;
  for (size_t y = 0; y < plain.size(); ++y) {
    for (size_t x = 0; x < plain[y].size(); ++x) {
      if (plain[y][x] == 'b') {
        EXPECT_EQ(share[y][x], 'b') << y << "," << x;
      }
      whiteShown += share[y][x] == 'w';
    }
  }
  EXPECT_GT(whiteShown, 0);
}

#if !defined(__SANITIZE_ADDRESS__) && !defined(__has_feature)
#define QUILLON_CAN_LIMIT_MEMORY 1
#elif defined(__has_feature)
#if !__has_feature(address_sanitizer)
#define QUILLON_CAN_LIMIT_MEMORY 1
#endif
#endif

#ifdef QUILLON_CAN_LIMIT_MEMORY
// Shares that pass the estimate but not the allocation: refused, nothing written. Run in a
// child whose address space is capped (the sanitizers need it all).
TEST_F(Encrypt, SharesBeyondTheMemoryAtHandAreRefused) {
  const BmpImage small = testing::RandomPicture(4000, 4000, 1, 5);
  env.SetAvailableMemory(int64_t{1} << 40);
  const pid_t child = fork();
  ASSERT_GE(child, 0);
  if (child == 0) {
    // Four shares of 32000 x 32000 (128 MB each) in 256 MB more than is in use now.
    struct rlimit limit;
    getrlimit(RLIMIT_AS, &limit);
    std::ifstream status("/proc/self/statm");
    long pages = 0;
    status >> pages;
    limit.rlim_cur = static_cast<rlim_t>(pages) * sysconf(_SC_PAGESIZE) + (rlim_t{256} << 20);
    setrlimit(RLIMIT_AS, &limit);
    const Outcome outcome =
        Run(SchemeKind::SchemeNofN, 4, 4, ExpansionMethod::SquareSubpixelExpansion, &small);
    const bool ok = outcome.code == Code::kNoMemory && session.written.empty() &&
                    std::filesystem::is_empty(dir.Path());
    _exit(ok ? 0 : 1);
  }
  int status = 0;
  ASSERT_EQ(waitpid(child, &status, 0), child);
  ASSERT_TRUE(WIFEXITED(status));
  EXPECT_EQ(WEXITSTATUS(status), 0);
}
#endif

TEST_F(Encrypt, TwoOfTwoAlwaysMakesTwoShares) {
  random = MakeSeededRandom(11);
  EXPECT_TRUE(Run(SchemeKind::Scheme2of2, 5, 3, ExpansionMethod::RandomBasisColumn, &secret));
  EXPECT_EQ(session.written, std::vector<int>{2});
  EXPECT_FALSE(std::filesystem::exists(dir.File("capa3.bmp")));
  // Shares are private files.
  EXPECT_EQ(
      std::filesystem::status(dir.File("capa1.bmp")).permissions() & std::filesystem::perms::all,
      std::filesystem::perms::owner_read | std::filesystem::perms::owner_write);

  // The files hold the shares: a black secret pixel is black in one share exactly.
  BmpImage first(dir.File("capa1.bmp")), second(dir.File("capa2.bmp"));
  ASSERT_TRUE(first.Load(Env::Default()));
  ASSERT_TRUE(second.Load(Env::Default()));
  EXPECT_EQ(first.Width(), 13);
  for (int32_t y = 0; y < 9; ++y) {
    for (int32_t x = 0; x < 13; ++x) {
      const bool differ = first.GetPixel(y, x) != second.GetPixel(y, x);
      EXPECT_EQ(differ, secret.GetPixel(y, x) == 'b') << y << "," << x;
    }
  }
}

TEST_F(Encrypt, NineParticipantsEndWithCapa9) {
  EXPECT_TRUE(Run(SchemeKind::SchemeNofN, 9, 2, ExpansionMethod::RandomBasisColumn, &secret));
  EXPECT_EQ(session.written, std::vector<int>{9});
  EXPECT_TRUE(std::filesystem::exists(dir.File("capa9.bmp")));
  ASSERT_FALSE(session.progress.empty());
  EXPECT_EQ(session.progress.back(), 1.0);
}

TEST_F(Encrypt, SameSeedSameSharesAndTheSystemSourceDiffers) {
  auto shareBytes = [&](std::optional<uint32_t> seed) {
    random = seed ? MakeSeededRandom(*seed) : MakeSystemRandom();
    EXPECT_TRUE(
        Run(SchemeKind::SchemeKofN, 3, 2, ExpansionMethod::SmallestSquareWithFiller, &secret));
    return ReadFileBytes(dir.File("capa2.bmp"));
  };
  EXPECT_EQ(shareBytes(7), shareBytes(7));
  EXPECT_NE(shareBytes(7), shareBytes(8));
  EXPECT_NE(shareBytes(std::nullopt), shareBytes(std::nullopt));
}

// A host that forgot the source: a debug build stops; a release build refuses.
TEST_F(Encrypt, WithoutARandomSourceNothingIsMade) {
  random.reset();
  [[maybe_unused]] Outcome outcome;
  EXPECT_DEBUG_DEATH(
      outcome = Run(SchemeKind::Scheme2of2, 2, 2, ExpansionMethod::RandomBasisColumn, &secret),
      "random source");
#ifdef NDEBUG
  EXPECT_EQ(outcome.code, Code::kRandomFailed);
#endif
  ExpectNothingMade();
}

// Shares drawn from a generator that failed would hide nothing: none is written.
TEST_F(Encrypt, AFailedGeneratorWritesNothing) {
  random = std::make_unique<FailedRandom>();
  const Outcome outcome =
      Run(SchemeKind::SchemeKofN, 3, 2, ExpansionMethod::SquareSubpixelExpansion, &secret);
  EXPECT_EQ(outcome.code, Code::kRandomFailed);
  EXPECT_EQ(outcome.error, EIO);
  ExpectNothingMade();
}

// A share that cannot be written: no share of the new set is written and the earlier set stays
// as it was, byte for byte; the outcome names the share.
TEST_F(Encrypt, ASetIsWrittenWholeOrNotAtAll) {
  random = MakeSeededRandom(5);
  ASSERT_TRUE(Run(SchemeKind::SchemeNofN, 3, 3, ExpansionMethod::RandomBasisColumn, &secret));
  std::vector<std::vector<uint8_t>> before;
  for (const char* name : {"capa1.bmp", "capa2.bmp", "capa3.bmp"})
    before.push_back(ReadFileBytes(dir.File(name)));
  const FileOp failures[] = {FileOp::kCreateNew, FileOp::kAppend, FileOp::kSync, FileOp::kClose};
  for (FileOp op : failures) {
    FaultEnv failing;
    failing.FailPath(op, "capa2.bmp", ENOSPC);
    EncryptRequest request;
    request.scheme.scheme = SchemeKind::SchemeNofN;
    request.scheme.n = 3;
    request.scheme.k = 3;
    request.secret = &secret;
    request.random = random.get();
    const Outcome outcome = EncryptSecretImage(session, failing, request);
    EXPECT_FALSE(outcome) << static_cast<int>(op);
    EXPECT_EQ(outcome.index, 1) << static_cast<int>(op);
    EXPECT_EQ(outcome.error, ENOSPC) << static_cast<int>(op);
    EXPECT_EQ(outcome.file, dir.File("capa2.bmp")) << static_cast<int>(op);
    EXPECT_EQ(ReadFileBytes(dir.File("capa1.bmp")), before[0]);
    EXPECT_EQ(ReadFileBytes(dir.File("capa2.bmp")), before[1]);
    EXPECT_EQ(ReadFileBytes(dir.File("capa3.bmp")), before[2]);
    EXPECT_EQ(std::distance(std::filesystem::directory_iterator(dir.Path()), {}), 3)
        << "nothing staged is left";
  }
  EXPECT_EQ(session.written, std::vector<int>{3});
}

// No share replaces the secret or an innocent image.
TEST_F(Encrypt, NoShareReplacesAnInput) {
  BmpImage named = secret;
  named.SetFileName(dir.File("capa2.bmp"));
  ASSERT_TRUE(named.Save(Env::Default()));
  const std::vector<uint8_t> bytes = ReadFileBytes(dir.File("capa2.bmp"));
  const Outcome outcome =
      Run(SchemeKind::SchemeKofN, 3, 2, ExpansionMethod::RandomBasisColumn, &named);
  EXPECT_EQ(outcome.code, Code::kOutputIsInput);
  EXPECT_EQ(outcome.detail, dir.File("capa2.bmp"));
  EXPECT_EQ(ReadFileBytes(dir.File("capa2.bmp")), bytes);
  EXPECT_FALSE(std::filesystem::exists(dir.File("capa1.bmp")));

  // An innocent image chosen from where a share goes.
  BmpImage innocent = testing::RandomPicture(9, 13, 1, 4, dir.File("capa1.bmp"));
  ASSERT_TRUE(innocent.Save(Env::Default()));
  session.innocentChoices = {dir.File("capa1.bmp"), dir.File("capa1.bmp")};
  EXPECT_EQ(Run(SchemeKind::Scheme2of2, 2, 2, ExpansionMethod::ExtendedPreserveSize, &secret).code,
            Code::kOutputIsInput);
  EXPECT_EQ(std::distance(std::filesystem::directory_iterator(dir.Path()), {}), 2);
}

// The extended methods ask for one innocent image per share; what ends the asking is told
// with the share it concerns.
TEST_F(Encrypt, InnocentImagesThatEndTheMethod) {
  BmpImage big = testing::RandomPicture(9, 13, 1, 4, dir.File("big.bmp"));
  BmpImage small = testing::RandomPicture(8, 13, 1, 4, dir.File("small.bmp"));
  ASSERT_TRUE(big.Save(Env::Default()) && small.Save(Env::Default()));
  testing::WriteFileBytes(dir.File("junk.bmp"), {'B', 'M', 1});
  struct Case {
    std::deque<std::optional<std::string>> choices;
    Code code;
    int index;
  } cases[] = {
      {{}, Code::kCancelled, 0},
      {{dir.File("big.bmp")}, Code::kCancelled, 1},
      {{dir.File("big.bmp"), dir.File("small.bmp")}, Code::kInnocentTooSmall, 1},
      {{dir.File("junk.bmp")}, Code::kUnsupportedBitmap, 0},
      {{dir.File("none.bmp")}, Code::kCannotOpen, 0},
  };
  for (const Case& c : cases) {
    session.innocentChoices = c.choices;
    const Outcome outcome =
        Run(SchemeKind::Scheme2of2, 2, 2, ExpansionMethod::ExtendedPreserveDetail, &secret);
    EXPECT_EQ(outcome.code, c.code);
    EXPECT_EQ(outcome.index, c.index);
  }
  EXPECT_TRUE(session.written.empty());
  EXPECT_FALSE(std::filesystem::exists(dir.File("capa1.bmp")));
}

// A session that cancels from its nth answer to Cancelled() on (0: never), counting them.
class CancellingSession : public FakeSession {
 public:
  using FakeSession::FakeSession;
  bool Cancelled() override { return ++questions == cancelFrom; }
  int cancelFrom = 0;
  int questions = 0;
};

// The shares made in memory are the very shares the driver writes from the same draws, for
// every method; making them asks for no output and writes nothing.
TEST_F(Encrypt, MadeSharesAreTheWrittenShares) {
  BmpImage innocent = testing::RandomPicture(9, 13, 8, 6, dir.File("innocent.bmp"));
  ASSERT_TRUE(innocent.Save(Env::Default()));
  ScratchDir madeDir;
  for (const MethodRow& row : MethodRows()) {
    const std::string method = row.name;
    EncryptRequest request;
    request.scheme = {SchemeKind::SchemeKofN, 3, 2, nullptr, false};
    request.method = row.method;
    request.secret = &secret;
    random = MakeSeededRandom(17);
    request.random = random.get();
    session.innocentChoices.assign(3, dir.File("innocent.bmp"));
    ASSERT_TRUE(EncryptSecretImage(session, env, request)) << method;

    FakeSession quiet(madeDir);
    quiet.innocentChoices.assign(3, dir.File("innocent.bmp"));
    random = MakeSeededRandom(17);
    request.random = random.get();
    std::vector<BmpImage> shares;
    ASSERT_TRUE(MakeShares(quiet, env, request, shares)) << method;
    EXPECT_TRUE(quiet.written.empty()) << method;
    EXPECT_FALSE(quiet.progress.empty()) << method;
    EXPECT_TRUE(std::filesystem::is_empty(madeDir.Path())) << method;
    ASSERT_EQ(shares.size(), 3u) << method;
    for (int r = 0; r < 3; ++r) {
      EXPECT_EQ(shares[r].FileName(), ShareName(r)) << method;
      shares[r].SetFileName(madeDir.File(ShareName(r)));
      ASSERT_TRUE(shares[r].Save(Env::Default())) << method;
      EXPECT_EQ(ReadFileBytes(madeDir.File(ShareName(r))), ReadFileBytes(dir.File(ShareName(r))))
          << method << " share " << r;
    }
    std::filesystem::remove_all(madeDir.Path());
    std::filesystem::create_directory(madeDir.Path());
  }
  // A refusal leaves no shares behind.
  std::vector<BmpImage> shares(1);
  EncryptRequest request;
  request.random = random.get();
  EXPECT_EQ(MakeShares(session, env, request, shares).code, Code::kNoSecret);
  EXPECT_TRUE(shares.empty());
}

// A cancel heard anywhere, from before the work to just before the writing, ends the work
// with kCancelled: nothing written, the earlier set as it was, no shares handed back.
TEST_F(Encrypt, ACancelAnywhereWritesNothing) {
  random = MakeSeededRandom(5);
  const BmpImage tall = testing::RandomPicture(400, 13, 1, 9);
  ASSERT_TRUE(Run(SchemeKind::SchemeNofN, 3, 3, ExpansionMethod::SquareSubpixelExpansion, &tall));
  const std::vector<uint8_t> before = ReadFileBytes(dir.File("capa1.bmp"));

  auto run = [&](CancellingSession& host, bool write, std::vector<BmpImage>* shares) {
    EncryptRequest request;
    request.scheme = {SchemeKind::SchemeNofN, 3, 3, nullptr, false};
    request.method = ExpansionMethod::SquareSubpixelExpansion;
    request.secret = &tall;
    random = MakeSeededRandom(6);
    request.random = random.get();
    return write ? EncryptSecretImage(host, env, request) : MakeShares(host, env, request, *shares);
  };
  // How often a run that goes through asks: once before the work, after every progress call,
  // once before the writing.
  CancellingSession counting(dir);
  ASSERT_TRUE(run(counting, true, nullptr));
  const int questions = counting.questions;
  ASSERT_EQ(questions, static_cast<int>(counting.progress.size()) + 2);
  const std::vector<uint8_t> written = ReadFileBytes(dir.File("capa1.bmp"));
  testing::WriteFileBytes(dir.File("capa1.bmp"), before);

  for (int from : {1, 2, questions / 2, questions - 1, questions}) {
    CancellingSession host(dir);
    host.cancelFrom = from;
    const Outcome outcome = run(host, true, nullptr);
    EXPECT_EQ(outcome.code, Code::kCancelled) << from;
    EXPECT_EQ(outcome.index, -1) << from;
    EXPECT_EQ(host.questions, from) << "the work ends at the first cancel";
    EXPECT_EQ(host.progress.size(),
              static_cast<size_t>(std::max(0, std::min(from - 1, questions - 2))));
    EXPECT_TRUE(host.written.empty());
    EXPECT_EQ(ReadFileBytes(dir.File("capa1.bmp")), before) << from;
    EXPECT_EQ(std::distance(std::filesystem::directory_iterator(dir.Path()), {}), 3)
        << "nothing staged is left";
    if (from < questions) {
      CancellingSession made(dir);
      made.cancelFrom = from;
      std::vector<BmpImage> shares(2);
      EXPECT_EQ(run(made, false, &shares).code, Code::kCancelled) << from;
      EXPECT_TRUE(shares.empty()) << from;
    }
  }
  // A cancel that comes too late changes nothing: the set is written as before.
  CancellingSession late(dir);
  late.cancelFrom = questions + 1;
  ASSERT_TRUE(run(late, true, nullptr));
  EXPECT_EQ(ReadFileBytes(dir.File("capa1.bmp")), written);
}

// Work shared among threads: shares of the size one thread makes, the bands drawn from
// generators keyed apart (a white secret's bands never repeat one another), progress up to 1,
// and a cancel or a generator without entropy on any thread leaves nothing written.
TEST_F(Encrypt, ThreadsShareTheRowsWithGeneratorsKeyedApart) {
  BmpImage white("white.bmp", 64, 40);
  for (int32_t y = 0; y < 64; ++y) {
    for (int32_t x = 0; x < 40; ++x)
      white.SetPixel(y, x, false);
  }
  auto run = [&](FakeSession& host, int threads, EntropyFn entropy, std::vector<BmpImage>& made) {
    EncryptRequest request;
    request.scheme = {SchemeKind::SchemeKofN, 3, 2, nullptr, false};
    request.method = ExpansionMethod::RandomBasisColumn;
    request.secret = &white;
    random = MakeSystemRandom(std::move(entropy));
    request.random = random.get();
    request.threads = threads;
    return MakeShares(host, env, request, made);
  };
  std::vector<BmpImage> one, four;
  ASSERT_TRUE(run(session, 1, {}, one));
  FakeSession watched(dir);
  ASSERT_TRUE(run(watched, 4, {}, four));
  ASSERT_EQ(four.size(), one.size());
  for (size_t r = 0; r < four.size(); ++r) {
    EXPECT_EQ(four[r].Width(), one[r].Width());
    EXPECT_EQ(four[r].Height(), one[r].Height());
    // Rows 0 and 16 are the first rows of bands 1 and 2.
    EXPECT_NE(std::memcmp(four[r].Row(0), four[r].Row(16), four[r].Stride()), 0) << r;
  }
  ASSERT_FALSE(watched.progress.empty());
  EXPECT_TRUE(std::is_sorted(watched.progress.begin(), watched.progress.end()));
  EXPECT_EQ(watched.progress.back(), 1.0);

  CancellingSession cancelling(dir);
  cancelling.cancelFrom = 2;  // the first question once the bands have begun
  EXPECT_EQ(run(cancelling, 4, {}, four).code, Code::kCancelled);
  EXPECT_TRUE(four.empty());

  // The entropy runs out for the first source made for a thread, or for the caller's own.
  for (int failing : {1, 2}) {
    int calls = 0;
    const EntropyFn entropy = [&](void* out, size_t length) -> ssize_t {
      if (++calls == failing) {
        errno = ENOSYS;
        return -1;
      }
      return getentropy(out, length) == 0 ? static_cast<ssize_t>(length) : -1;
    };
    const Outcome outcome = run(session, 2, entropy, four);
    EXPECT_EQ(outcome.code, Code::kRandomFailed) << failing;
    EXPECT_EQ(outcome.error, ENOSYS) << failing;
    EXPECT_TRUE(four.empty());
  }
  EXPECT_TRUE(session.written.empty());
  EXPECT_TRUE(std::filesystem::is_empty(dir.Path()));
}

}  // namespace
}  // namespace quillon
