#include "core/random.h"

#include <fcntl.h>
#include <pthread.h>
#include <sys/random.h>
#include <unistd.h>

#include <algorithm>
#include <atomic>
#include <cassert>
#include <cerrno>
#include <iterator>
#include <mutex>
#include <random>
#include <utility>

#include "core/ctr_drbg.h"

namespace quillon {
namespace {

// getrandom, and /dev/urandom for kernels without it; -1 with errno set when both fail.
ssize_t SystemEntropy(void* out, size_t length) {
  ssize_t n;
  do {
    n = getrandom(out, length, 0);
  } while (n < 0 && errno == EINTR);
  if (n >= 0)
    return n;
  const int fd = open("/dev/urandom", O_RDONLY | O_CLOEXEC);
  if (fd < 0)
    return -1;
  do {
    n = read(fd, out, length);
  } while (n < 0 && errno == EINTR);
  const int readError = errno;
  close(fd);
  errno = readError;
  return n;
}

// Forks seen by this process: a child's generators find the count changed and take a new key,
// so that parent and child never give the same draws.
std::atomic<uint64_t> g_forks{0};

void CountForksOnce() {
  static std::once_flag once;
  std::call_once(once, [] {
    pthread_atfork(nullptr, nullptr, [] { g_forks.fetch_add(1, std::memory_order_relaxed); });
  });
}

class SystemRandom : public RandomSource {
 public:
  explicit SystemRandom(EntropyFn entropy) : m_entropy(std::move(entropy)) {
    if (!m_entropy)
      m_entropy = SystemEntropy;
    CountForksOnce();
  }

  int32_t Next() override {
    if (m_pos == kBuffer || m_forks != g_forks.load(std::memory_order_relaxed))
      Refill();
    return static_cast<int32_t>(m_buffer[m_pos++] & 0x7FFFFFFFu);
  }
  void Fill(int32_t* out, int64_t count) override {
    if (m_forks != g_forks.load(std::memory_order_relaxed))
      Refill();
    while (count > 0) {
      if (m_pos == kBuffer && count >= kBuffer) {
        // A whole request straight into out: the same numbers, without the copy.
        auto* words = reinterpret_cast<uint32_t*>(out);
        Produce(words);
        for (int i = 0; i < kBuffer; ++i)
          out[i] = static_cast<int32_t>(words[i] & 0x7FFFFFFFu);
        out += kBuffer;
        count -= kBuffer;
        continue;
      }
      if (m_pos == kBuffer)
        Refill();
      const int64_t take = std::min<int64_t>(count, kBuffer - m_pos);
      for (int64_t i = 0; i < take; ++i)
        out[i] = static_cast<int32_t>(m_buffer[m_pos + i] & 0x7FFFFFFFu);
      m_pos += static_cast<int>(take);
      out += take;
      count -= take;
    }
  }
  int FailedWith() const override { return m_failedWith; }

  std::unique_ptr<RandomSource> Independent() override {
    auto other = std::make_unique<SystemRandom>(m_entropy);
    // Keyed here, on the caller's thread, so that the entropy function is never called from
    // two threads at once.
    other->Refill();
    return other;
  }

 private:
  // One generator request fills the buffer.
  static constexpr int kBuffer = static_cast<int>(CtrDrbg::kMaxRequest / sizeof(uint32_t));
  // Requests of 2^12 blocks between keys: a new key after 2^32 blocks at most.
  static constexpr uint64_t kRequestsPerKey = uint64_t{1} << 20;

  void Refill() {
    m_pos = 0;
    Produce(m_buffer);
  }

  // The next generator request into words[0..kBuffer), or zeros once the source has failed.
  void Produce(uint32_t* words) {
    if (m_failedWith == 0) {
      const uint64_t forks = g_forks.load(std::memory_order_relaxed);
      bool ready = true;
      if (!m_keyed || forks != m_forks || m_drbg.Requests() >= kRequestsPerKey) {
        // A forked child starts afresh: nothing of its parent's state stays in its key.
        ready = Key(m_keyed && forks == m_forks);
        m_forks = forks;
      }
      if (ready && m_drbg.Generate(reinterpret_cast<uint8_t*>(words), sizeof m_buffer))
        return;
      if (ready)
        Fail(EIO);
    }
    std::fill(words, words + kBuffer, 0u);
  }

  bool Key(bool reseed) {
    uint8_t seed[CtrDrbg::kSeedBytes];
    size_t got = 0;
    while (got < sizeof seed) {
      errno = 0;
      const ssize_t n = m_entropy(seed + got, sizeof seed - got);
      if (n <= 0) {
        Fail(n < 0 && errno != 0 ? errno : EIO);
        return false;
      }
      got += std::min(static_cast<size_t>(n), sizeof seed - got);
    }
    const bool keyed = reseed ? m_drbg.Reseed(seed) : m_drbg.Instantiate(seed);
    std::fill(std::begin(seed), std::end(seed), uint8_t{0});
    if (!keyed) {
      Fail(CtrDrbg::Available() ? EIO : ELIBACC);
      return false;
    }
    m_keyed = true;
    return true;
  }

  // Without unpredictable draws no share may be made: zeros from now on, which every bounded
  // choice takes at once, and the error for the caller to find.
  void Fail(int error) {
    m_failedWith = error;
    std::fill(std::begin(m_buffer), std::end(m_buffer), 0u);
  }

  EntropyFn m_entropy;
  CtrDrbg m_drbg;
  bool m_keyed = false;
  uint64_t m_forks = 0;
  uint32_t m_buffer[kBuffer];
  int m_pos = kBuffer;
  int m_failedWith = 0;
};

class SeededRandom : public RandomSource {
 public:
  explicit SeededRandom(uint32_t seed) : m_engine(seed) {}
  int32_t Next() override { return static_cast<int32_t>(m_engine()); }
  void Fill(int32_t* out, int64_t count) override {
    for (int64_t i = 0; i < count; ++i)
      out[i] = static_cast<int32_t>(m_engine());
  }
  int32_t Lowest() const override { return static_cast<int32_t>(std::minstd_rand::min()); }
  uint32_t Span() const override {
    return static_cast<uint32_t>(std::minstd_rand::max() - std::minstd_rand::min() + 1);
  }

 private:
  std::minstd_rand m_engine;
};

constexpr int64_t kChoiceBatch = 1 << 14;

}  // namespace

void RandomSource::Fill(int32_t* out, int64_t count) {
  for (int64_t i = 0; i < count; ++i)
    out[i] = Next();
}

int32_t RandBelow(RandomSource& random, int32_t bound) {
  const uint32_t span = random.Span();
  const uint32_t b = static_cast<uint32_t>(bound);
  assert(b >= 1 && b <= span);
  const uint32_t limit = span - span % b;
  for (;;) {
    const uint32_t r = static_cast<uint32_t>(random.Next() - random.Lowest());
    if (r < limit)
      return static_cast<int32_t>(r % b);
  }
}

ChoiceStream::ChoiceStream(RandomSource& random, int64_t choices)
    : m_random(random),
      m_lowest(random.Lowest()),
      m_span(random.Span()),
      m_remaining(choices),
      m_uncaught(std::uncaught_exceptions()) {}

void ChoiceStream::Refill() {
  // Called only with the buffer used up; every choice still to come takes a number or more.
  assert(m_pos == m_end && m_remaining > 0);
  const int64_t fetch = std::min(kChoiceBatch, m_remaining);
  if (static_cast<int64_t>(m_buffer.size()) < fetch)
    m_buffer.resize(fetch);
  m_random.Fill(m_buffer.data(), fetch);
  m_pos = 0;
  m_end = fetch;
}

void ChoiceStream::Fill(const ChoiceBound& bound, uint32_t* out, int64_t count) {
  // Locals, so that the stores through out need not reload them.
  const ChoiceBound local = bound;
  const int32_t lowest = m_lowest;
  while (count > 0) {
    if (m_pos == m_end)
      Refill();
    // A straight run over the buffer up to the first rejected number, if any.
    const int32_t* raw = m_buffer.data() + m_pos;
    const int64_t run = std::min(count, m_end - m_pos);
    int64_t taken = 0;
    while (taken < run) {
      const uint32_t r = static_cast<uint32_t>(raw[taken] - lowest);
      if (!local.Accepts(r))
        break;
      out[taken++] = local.Mod(r);
    }
    m_pos += taken;
    m_remaining -= taken;
    out += taken;
    count -= taken;
    if (taken < run)
      ++m_pos;  // the rejected number
  }
}

void ChoiceStream::FillCycle(const ChoiceBound* bounds, int64_t period, uint32_t* out,
                             int64_t count) {
  if (period == 1)
    return Fill(bounds[0], out, count);
  const int32_t lowest = m_lowest;
  int64_t k = 0;
  while (count > 0) {
    if (m_pos == m_end)
      Refill();
    const int32_t* raw = m_buffer.data() + m_pos;
    const int64_t available = m_end - m_pos;
    int64_t used = 0, taken = 0;
    while (used < available && taken < count) {
      const uint32_t r = static_cast<uint32_t>(raw[used++] - lowest);
      if (bounds[k].Accepts(r)) {
        out[taken++] = bounds[k].Mod(r);
        k = k + 1 == period ? 0 : k + 1;
      }
    }
    m_pos += used;
    m_remaining -= taken;
    out += taken;
    count -= taken;
  }
}

const int32_t* ChoiceStream::TakeAccepted(const ChoiceBound& bound, int64_t count) {
  if (m_end - m_pos < count)
    return nullptr;
  const int32_t* raw = m_buffer.data() + m_pos;
  // The largest number decides: one pass without early exit, which the compiler vectorises.
  const uint32_t lowest = static_cast<uint32_t>(m_lowest);
  uint32_t largest = 0;
  for (int64_t i = 0; i < count; ++i)
    largest = std::max(largest, static_cast<uint32_t>(raw[i]) - lowest);
  if (!bound.Accepts(largest))
    return nullptr;
  m_pos += count;
  m_remaining -= count;
  return raw;
}

std::unique_ptr<RandomSource> MakeSystemRandom(EntropyFn entropy) {
  return std::make_unique<SystemRandom>(std::move(entropy));
}

std::unique_ptr<RandomSource> MakeSeededRandom(uint32_t seed) {
  return std::make_unique<SeededRandom>(seed);
}

}  // namespace quillon
