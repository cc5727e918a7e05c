#include "core/random.h"

#include <fcntl.h>
#include <sys/random.h>
#include <unistd.h>

#include <algorithm>
#include <cassert>
#include <cerrno>
#include <iterator>
#include <random>
#include <utility>

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

class SystemRandom : public RandomSource {
 public:
  explicit SystemRandom(EntropyFn entropy) : m_entropy(std::move(entropy)) {
    if (!m_entropy)
      m_entropy = SystemEntropy;
  }

  int32_t Next() override {
    if (m_pos == kBuffer)
      Refill();
    return static_cast<int32_t>(m_buffer[m_pos++] & 0x7FFFFFFFu);
  }
  void Fill(int32_t* out, int64_t count) override {
    while (count > 0) {
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

 private:
  static constexpr int kBuffer = 16384;

  void Refill() {
    m_pos = 0;
    if (m_failedWith != 0)
      return;  // the buffer holds zeros since the failure
    auto* bytes = reinterpret_cast<unsigned char*>(m_buffer);
    size_t got = 0;
    while (got < sizeof m_buffer) {
      errno = 0;
      const ssize_t n = m_entropy(bytes + got, sizeof m_buffer - got);
      if (n <= 0) {
        // Without unpredictable draws no share may be made: zeros from now on, which every
        // bounded choice takes at once, and the error for the caller to find.
        m_failedWith = n < 0 && errno != 0 ? errno : EIO;
        std::fill(std::begin(m_buffer), std::end(m_buffer), 0u);
        return;
      }
      got += std::min(static_cast<size_t>(n), sizeof m_buffer - got);
    }
  }

  EntropyFn m_entropy;
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
