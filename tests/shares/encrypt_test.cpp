#include "shares/encrypt.h"

#include <gtest/gtest.h>

#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

#include <filesystem>
#include <fstream>

#include "shares/expansion.h"
#include "tests/shares/share_test_util.h"

namespace quillon {
namespace {

using testing::FakeSession;
using testing::MessageLog;
using testing::ReadFileBytes;
using testing::ScratchDir;

const std::string kDone =
    "Encriptaci\xF3n Realizada|Imagen ENCRIPTADA\nLas imagenes han sido almacenadas\ncon los "
    "nombres:\ncapa1.bmp, capa2.bmp,.., capan.bmp";

class Encrypt : public ::testing::Test {
 protected:
  Encrypt() : session(dir) {}

  EncryptOutcome Run(SchemeKind scheme, int n, int k, ExpansionMethod method,
                     const BmpImage* image) {
    EncryptRequest request;
    request.scheme.scheme = scheme;
    request.scheme.n = n;
    request.scheme.k = k;
    request.method = method;
    request.secret = image;
    request.random = random.get();
    return EncryptSecretImage(session, request);
  }

  void ExpectNothingMade() {
    EXPECT_TRUE(session.registered.empty());
    EXPECT_TRUE(session.selections.empty());
    EXPECT_TRUE(session.titles.empty());
    EXPECT_TRUE(std::filesystem::is_empty(dir.Path()));
  }

  ScratchDir dir;
  FakeSession session;
  std::unique_ptr<RandomSource> random = MakeSystemRandom();
  const BmpImage secret = testing::RandomPicture(9, 13, 1, 3);
};

TEST_F(Encrypt, NeedsASecretWithPixels) {
  MessageLog log;  // the failed load's own message
  BmpImage failed(dir.File("missing.bmp"));
  EXPECT_FALSE(failed.Load());
  const BmpImage empty("e.bmp", 4, 0), flat("f.bmp", 0, 4);
  const BmpImage* images[] = {nullptr, &failed, &empty, &flat};
  for (const BmpImage* image : images) {
    EXPECT_EQ(Run(SchemeKind::Scheme2of2, 2, 2, ExpansionMethod::RandomBasisColumn, image),
              EncryptOutcome::NoImage);
  }
  EXPECT_EQ(session.messages,
            std::vector<std::string>(4, "Cannot Encrypt|Please open a secret image file first."));
  ExpectNothingMade();
}

#if !defined(__SANITIZE_ADDRESS__) && !defined(__has_feature)
#define QUILLON_CAN_LIMIT_MEMORY 1
#elif defined(__has_feature)
#if !__has_feature(address_sanitizer)
#define QUILLON_CAN_LIMIT_MEMORY 1
#endif
#endif

#ifdef QUILLON_CAN_LIMIT_MEMORY
// Shares that pass the size checks but not the memory at hand: refused, nothing registered or
// written. Run in a child whose address space is capped (the sanitizers need it all).
TEST_F(Encrypt, SharesBeyondTheMemoryAtHandAreRefused) {
  const BmpImage small = testing::RandomPicture(4000, 4000, 1, 5);
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
    const EncryptOutcome outcome =
        Run(SchemeKind::SchemeNofN, 4, 4, ExpansionMethod::SquareSubpixelExpansion, &small);
    const bool ok = outcome == EncryptOutcome::Refused && session.registered.empty() &&
                    session.messages ==
                        std::vector<std::string>{
                            "Cannot Encrypt|There is not enough memory for "
                            "shares of this size."} &&
                    std::filesystem::is_empty(dir.Path());
    _exit(ok ? 0 : 1);
  }
  int status = 0;
  ASSERT_EQ(waitpid(child, &status, 0), child);
  ASSERT_TRUE(WIFEXITED(status));
  EXPECT_EQ(WEXITSTATUS(status), 0);
}
#endif

TEST_F(Encrypt, SchemeRefusalsBuildAndWriteNothing) {
  EXPECT_EQ(Run(SchemeKind::Scheme2ofN, 10, 2, ExpansionMethod::RandomBasisColumn, &secret),
            EncryptOutcome::Refused);
  EXPECT_EQ(Run(SchemeKind::SchemeKofN, 4, 5, ExpansionMethod::ExtendedPreserveSize, &secret),
            EncryptOutcome::Refused);
  // No qualified set chosen: a pair without columns.
  EXPECT_EQ(Run(SchemeKind::SchemeGeneral, 3, 2, ExpansionMethod::PixelSampling, &secret),
            EncryptOutcome::Refused);
  const std::string bad =
      std::string("Cannot Encrypt|") + SchemeErrorText(Code::kBadParameters);
  EXPECT_EQ(session.messages,
            (std::vector<std::string>{
                bad, bad,
                std::string("Cannot Encrypt|") + SchemeErrorText(Code::kNoQualifiedSet)}));
  ExpectNothingMade();
}

TEST_F(Encrypt, SharesTooLargeForTheFormatAreRefusedBeforeAnything) {
  const std::string tooLarge =
      "Cannot Encrypt|The shares would be too large for this image and method.";
  // (9,9): 256 columns. 256 x 1000 square blocks make 8 GB of pixel data per share.
  const BmpImage square("s.bmp", 1000, 1000);
  EXPECT_EQ(Run(SchemeKind::SchemeNofN, 9, 9, ExpansionMethod::SquareSubpixelExpansion, &square),
            EncryptOutcome::Refused);
  // A width beyond 32 bits, and an extended method, refused before any innocent is asked for.
  const BmpImage wide("w.bmp", 1, (1 << 23) + 1);
  EXPECT_EQ(Run(SchemeKind::SchemeNofN, 9, 9, ExpansionMethod::SquareSubpixelExpansion, &wide),
            EncryptOutcome::Refused);
  EXPECT_EQ(Run(SchemeKind::SchemeNofN, 9, 9, ExpansionMethod::ExtendedPreserveDetail, &square),
            EncryptOutcome::Refused);
  EXPECT_EQ(session.messages, std::vector<std::string>(3, tooLarge));
  ExpectNothingMade();
}

TEST_F(Encrypt, TwoOfTwoAlwaysMakesTwoSharesAndSaysSo) {
  random = MakeSeededRandom(11);
  EXPECT_EQ(Run(SchemeKind::Scheme2of2, 5, 3, ExpansionMethod::RandomBasisColumn, &secret),
            EncryptOutcome::Done);
  EXPECT_EQ(session.registered,
            (std::vector<std::string>{"capa1.bmp|capa1.bmp", "capa2.bmp|capa2.bmp"}));
  EXPECT_EQ(session.selections, std::vector<int>{2});
  EXPECT_EQ(session.messages, std::vector<std::string>{kDone});
  EXPECT_FALSE(std::filesystem::exists(dir.File("capa3.bmp")));

  // The files hold the shares: a black secret pixel is black in one share exactly.
  BmpImage first(dir.File("capa1.bmp")), second(dir.File("capa2.bmp"));
  ASSERT_TRUE(first.Load());
  ASSERT_TRUE(second.Load());
  EXPECT_EQ(first.Width(), 13);
  for (int32_t y = 0; y < 9; ++y) {
    for (int32_t x = 0; x < 13; ++x) {
      const bool differ = first.GetPixel(y, x) != second.GetPixel(y, x);
      EXPECT_EQ(differ, secret.GetPixel(y, x) == 'b') << y << "," << x;
    }
  }
}

TEST_F(Encrypt, NineParticipantsEndWithCapa9) {
  EXPECT_EQ(Run(SchemeKind::SchemeNofN, 9, 2, ExpansionMethod::RandomBasisColumn, &secret),
            EncryptOutcome::Done);
  ASSERT_EQ(session.registered.size(), 9u);
  EXPECT_EQ(session.registered.back(), "capa9.bmp|capa9.bmp");
  EXPECT_EQ(session.selections, std::vector<int>{9});
  EXPECT_EQ(session.messages, std::vector<std::string>{kDone});
}

TEST_F(Encrypt, SameSeedSameSharesAndTheSystemSourceDiffers) {
  auto shareBytes = [&](std::optional<uint32_t> seed) {
    random = seed ? MakeSeededRandom(*seed) : MakeSystemRandom();
    EXPECT_EQ(Run(SchemeKind::SchemeKofN, 3, 2, ExpansionMethod::SmallestSquareWithFiller, &secret),
              EncryptOutcome::Done);
    return ReadFileBytes(dir.File("capa2.bmp"));
  };
  EXPECT_EQ(shareBytes(7), shareBytes(7));
  EXPECT_NE(shareBytes(7), shareBytes(8));
  EXPECT_NE(shareBytes(std::nullopt), shareBytes(std::nullopt));
}

// A host that forgot the source: a debug build stops; a release build refuses silently.
TEST_F(Encrypt, WithoutARandomSourceNothingIsMade) {
  random.reset();
  [[maybe_unused]] EncryptOutcome outcome = EncryptOutcome::Done;
  EXPECT_DEBUG_DEATH(
      outcome = Run(SchemeKind::Scheme2of2, 2, 2, ExpansionMethod::RandomBasisColumn, &secret),
      "random source");
#ifdef NDEBUG
  EXPECT_EQ(outcome, EncryptOutcome::Refused);
#endif
  EXPECT_TRUE(session.messages.empty());
  ExpectNothingMade();
}

TEST_F(Encrypt, AShareThatFailsToSaveGetsNoSuccessMessage) {
  std::filesystem::remove_all(dir.Path());
  MessageLog log;
  EXPECT_EQ(
      Run(SchemeKind::Scheme2of2, 2, 2, ExpansionMethod::SmallestSquareWithoutFiller, &secret),
      EncryptOutcome::SaveFailed);
  // Save's messages reach the user through the session, and no success message follows.
  EXPECT_EQ(session.messages,
            (std::vector<std::string>{"|ERROR: Can't open " + dir.File("capa1.bmp"),
                                      "|ERROR: Can't open " + dir.File("capa2.bmp")}));
  EXPECT_TRUE(log.Texts().empty());
}

TEST_F(Encrypt, ExtendedMethodGivingUpEndsSilently) {
  EXPECT_EQ(Run(SchemeKind::Scheme2of2, 2, 2, ExpansionMethod::ExtendedPreserveDetail, &secret),
            EncryptOutcome::GaveUp);
  EXPECT_EQ(session.messages,
            std::vector<std::string>{"|Cannot Encrypt without valid innocent image source file."});
  EXPECT_TRUE(session.registered.empty());
}

}  // namespace
}  // namespace quillon
