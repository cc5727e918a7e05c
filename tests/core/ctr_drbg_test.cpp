// The system source's generator against the standard's known answers, and the properties the
// shares depend on: a forked child never repeats its parent's draws, and sources made for
// other threads are keyed apart.
#include "core/ctr_drbg.h"

#include <gtest/gtest.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cstring>
#include <string>
#include <vector>

#include "core/random.h"

namespace quillon {
namespace {

std::vector<uint8_t> FromHex(const std::string& hex) {
  std::vector<uint8_t> bytes;
  for (size_t i = 0; i + 1 < hex.size(); i += 2)
    bytes.push_back(static_cast<uint8_t>(std::stoi(hex.substr(i, 2), nullptr, 16)));
  return bytes;
}

// NIST CAVP (CAVS 14.3), drbgvectors_no_reseed/CTR_DRBG.rsp, [AES-256 no df],
// [PredictionResistance = False], no personalization or additional input, COUNT = 0.
const char kEntropy[] =
    "df5d73faa468649edda33b5cca79b0b05600419ccb7a879ddfec9db32ee494e5"
    "531b51de16a30f769262474c73bec010";
const char kReturnedBits[] =
    "d1c07cd95af8a7f11012c84ce48bb8cb87189e99d40fccb1771c619bdf82ab22"
    "80b1dc2f2581f39164f7ac0c510494b3a43c41b7db17514c87b107ae793e01c5";

TEST(CtrDrbg, NistKnownAnswerAndTheSourceOnIt) {
  uint8_t seed[CtrDrbg::kSeedBytes];
  const std::vector<uint8_t> entropy = FromHex(kEntropy);
  ASSERT_EQ(entropy.size(), sizeof seed);
  std::memcpy(seed, entropy.data(), sizeof seed);
  // The CAVP procedure: instantiate, generate 512 bits, generate 512 bits and compare those.
  CtrDrbg drbg;
  ASSERT_TRUE(drbg.Instantiate(seed));
  uint8_t out[64];
  ASSERT_TRUE(drbg.Generate(out, sizeof out));
  ASSERT_TRUE(drbg.Generate(out, sizeof out));
  EXPECT_EQ(std::vector<uint8_t>(out, out + 64), FromHex(kReturnedBits));
  EXPECT_EQ(drbg.Requests(), 2u);
  EXPECT_FALSE(drbg.Generate(out, 24)) << "whole blocks only";

  // The system source keyed with the same entropy: its draws are the generator's
  // little-endian words without their top bit, from one full-size request.
  CtrDrbg same;
  ASSERT_TRUE(same.Instantiate(seed));
  std::vector<uint8_t> request(CtrDrbg::kMaxRequest);
  ASSERT_TRUE(same.Generate(request.data(), request.size()));
  const EntropyFn fixed = [&](void* buffer, size_t length) -> ssize_t {
    const size_t n = std::min(length, entropy.size());
    std::memcpy(buffer, entropy.data(), n);
    return static_cast<ssize_t>(n);
  };
  auto system = MakeSystemRandom(fixed);
  int32_t draws[8];
  system->Fill(draws, 8);
  for (int i = 0; i < 8; ++i) {
    uint32_t word;
    std::memcpy(&word, request.data() + 4 * i, 4);
    EXPECT_EQ(draws[i], static_cast<int32_t>(word & 0x7FFFFFFFu)) << i;
  }

  // Whole requests filled straight into the caller's buffer are the numbers drawn one by one.
  auto oneByOne = MakeSystemRandom(fixed), inBulk = MakeSystemRandom(fixed);
  std::vector<int32_t> single(40000), bulk(40000);
  for (int32_t& v : single)
    v = oneByOne->Next();
  inBulk->Fill(bulk.data(), 3);
  inBulk->Fill(bulk.data() + 3, 16381);  // to the end of the first request
  inBulk->Fill(bulk.data() + 16384, 40000 - 16384);
  EXPECT_EQ(single, bulk);
}

// A child forked with part of a buffer unread must not draw what its parent draws next,
// through either way of drawing.
TEST(RandomSource, AForkedChildDrawsOtherNumbersThanItsParent) {
  for (bool oneByOne : {true, false}) {
    auto system = MakeSystemRandom();
    (void)system->Next();
    int pipeEnds[2];
    ASSERT_EQ(pipe(pipeEnds), 0);
    std::vector<int32_t> parent(64), child(64);
    const pid_t pid = fork();
    ASSERT_GE(pid, 0);
    if (pid == 0) {
      for (int32_t& v : child)
        v = oneByOne ? system->Next() : 0;
      if (!oneByOne)
        system->Fill(child.data(), 64);
      const ssize_t size = static_cast<ssize_t>(child.size() * sizeof(int32_t));
      _exit(write(pipeEnds[1], child.data(), size) == size && system->FailedWith() == 0 ? 0 : 1);
    }
    close(pipeEnds[1]);
    system->Fill(parent.data(), 64);
    const ssize_t size = static_cast<ssize_t>(child.size() * sizeof(int32_t));
    EXPECT_EQ(read(pipeEnds[0], child.data(), size), size);
    close(pipeEnds[0]);
    int status = 0;
    ASSERT_EQ(waitpid(pid, &status, 0), pid);
    EXPECT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 0);
    EXPECT_NE(parent, child) << (oneByOne ? "Next" : "Fill");
  }
}

// A source for another thread takes its own key when it is made, and never repeats the first
// source; a seeded source has no such sources, so seeded work stays on one sequence.
TEST(RandomSource, IndependentSourcesAreKeyedApart) {
  int calls = 0;
  auto system = MakeSystemRandom([&](void* buffer, size_t length) -> ssize_t {
    ++calls;
    return getentropy(buffer, length) == 0 ? static_cast<ssize_t>(length) : -1;
  });
  std::unique_ptr<RandomSource> other = system->Independent();
  ASSERT_NE(other, nullptr);
  EXPECT_EQ(calls, 1) << "keyed on the calling thread, when made";
  std::vector<int32_t> a(1000), b(1000);
  system->Fill(a.data(), 1000);
  other->Fill(b.data(), 1000);
  EXPECT_NE(a, b);
  EXPECT_EQ(calls, 2);
  EXPECT_EQ(MakeSeededRandom(1)->Independent(), nullptr);

  // A source made from one that cannot get entropy fails as well.
  auto failing = MakeSystemRandom([](void*, size_t) -> ssize_t {
    errno = EIO;
    return -1;
  });
  EXPECT_EQ(failing->Independent()->FailedWith(), EIO);
}

}  // namespace
}  // namespace quillon
