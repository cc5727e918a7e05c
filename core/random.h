// Random draws, handed to the work that needs them. There is no process-wide source: each
// host makes one (MakeSystemRandom for real shares, MakeSeededRandom for tests and
// reproducible research) and passes it down, and every method states how many choices it
// makes and in which order, so that a seeded source fixes the shares bit for bit.
//
// A source and every ChoiceStream on it belong to one thread at a time; work divided among
// threads gives each thread a source of its own (Independent).
//
// Failure: the system source never aborts. When the operating system gives no entropy it
// records the error number, answers FailedWith() != 0 from then on and yields only 0, a
// value every bounded choice accepts, so the work runs to its end without spinning. Whoever
// handed the source in checks FailedWith() after the work and throws its result away.
#pragma once

#include <sys/types.h>

#include <cassert>
#include <cstddef>
#include <cstdint>
#include <exception>
#include <functional>
#include <memory>
#include <vector>

namespace quillon {

class RandomSource {
 public:
  virtual ~RandomSource() = default;
  // A non-negative 31-bit integer within [Lowest(), Lowest() + Span()).
  virtual int32_t Next() = 0;
  // Fills out[0..count) with the next count draws, in order.
  virtual void Fill(int32_t* out, int64_t count);
  // The range of Next(); bounded choices reject what would bias them.
  virtual int32_t Lowest() const { return 0; }
  virtual uint32_t Span() const { return uint32_t{1} << 31; }
  // The system's error number once the source has failed, 0 while it is good. The draws of
  // a failed source are worthless and whatever was made from them must be thrown away.
  virtual int FailedWith() const { return 0; }
  // Another source of the same kind, keyed independently of this one, for another thread;
  // null when every draw must come from this one (a seeded source, whose one sequence fixes
  // the shares). Call it on the thread that owns this source.
  virtual std::unique_ptr<RandomSource> Independent() { return nullptr; }
};

// One unbiased choice among bound (1 <= bound <= random.Span()): with limit = span -
// (span mod bound), draws r = Next() - Lowest() until r < limit, and answers r mod bound.
int32_t RandBelow(RandomSource& random, int32_t bound);

// Durstenfeld's shuffle of places 0..count): for i = count - 1 down to 1, swap(i, j) with j =
// choose(i + 1), a choice among i + 1. With unbiased choices every order is equally likely.
template <typename Choose, typename Swap>
void Shuffle(int64_t count, Choose&& choose, Swap&& swap) {
  for (int64_t i = count - 1; i > 0; --i)
    swap(i, static_cast<int64_t>(choose(static_cast<uint32_t>(i + 1))));
}

// The default, 0 .. 2^31 - 1: CTR_DRBG with AES-256 (core/ctr_drbg.h) keyed with 48 bytes of
// entropy on its first draw, given a new key after 2^32 blocks, and keyed afresh in a forked
// child, so that parent and child never repeat each other's draws. Shares are only as secret
// as these draws are unpredictable. entropy fills a buffer as getrandom does: it answers the
// number of bytes written (> 0), or -1 with errno set; empty means getrandom, then
// /dev/urandom where getrandom fails. A failure is recorded, never retried: see above.
// Independent() copies entropy and keys the new source at once, on the calling thread.
using EntropyFn = std::function<ssize_t(void* out, size_t length)>;
std::unique_ptr<RandomSource> MakeSystemRandom(EntropyFn entropy = {});
// std::minstd_rand seeded with seed: draw i is the engine's i-th output, 1 .. 2^31 - 2.
// Seeds name the engine's streams modulo 2^31 - 1, with 0 taken as 1: only 1 .. 2^31 - 2
// name different ones.
std::unique_ptr<RandomSource> MakeSeededRandom(uint32_t seed);

// A choice among a bound fixed for many draws, with its limit and a division-free modulo.
class ChoiceBound {
 public:
  // 1 <= bound <= span.
  ChoiceBound(uint32_t bound, uint32_t span)
      : m_bound(bound), m_limit(span - span % bound), m_inverse(~uint64_t{0} / bound + 1) {}
  uint32_t Bound() const { return m_bound; }
  bool Accepts(uint32_t r) const { return r < m_limit; }
  // r mod bound without a division (Lemire's method), exact for every 32-bit r.
  uint32_t Mod(uint32_t r) const {
    return static_cast<uint32_t>((static_cast<unsigned __int128>(m_inverse * r) * m_bound) >> 64);
  }

 private:
  uint32_t m_bound;
  uint32_t m_limit;
  uint64_t m_inverse;
};

// The choices of a whole method, drawn from one source in batches: exactly the numbers that
// as many RandBelow calls would take, in order, and never one more, so that whatever draws
// next sees the same sequence. choices is the number of choices the caller will ask for;
// every choice takes at least one number, so a batch of at most that many numbers never
// reaches past the last one needed.
class ChoiceStream {
 public:
  // random outlives the stream.
  ChoiceStream(RandomSource& random, int64_t choices);
  // Every choice announced must have been taken, unless an exception (say, bad_alloc while
  // the shares are made) cut the work short.
  ~ChoiceStream() {
    assert(std::uncaught_exceptions() > m_uncaught || (m_remaining == 0 && m_pos == m_end));
  }
  ChoiceStream(const ChoiceStream&) = delete;
  ChoiceStream& operator=(const ChoiceStream&) = delete;

  uint32_t Span() const { return m_span; }

  // A choice among bound.Bound(); the bound was made with Span().
  uint32_t Below(const ChoiceBound& bound) {
    for (;;) {
      const uint32_t r = NextRaw();
      if (bound.Accepts(r)) {
        --m_remaining;
        return bound.Mod(r);
      }
    }
  }

  // count choices among bound.Bound() into out, in order: the same as count calls of Below.
  void Fill(const ChoiceBound& bound, uint32_t* out, int64_t count);

  // count choices into out, choice k among bounds[k % period].Bound(), in order: the same as
  // count calls of Below with those bounds. Every bound was made with Span().
  void FillCycle(const ChoiceBound* bounds, int64_t period, uint32_t* out, int64_t count);

  // The next count choices among bound.Bound() without copying, when the buffer already holds
  // count numbers none of which is rejected: choice i is bound.Mod(raw[i] - Lowest()). Takes
  // them and returns raw; otherwise takes nothing and returns null (use Fill then).
  const int32_t* TakeAccepted(const ChoiceBound& bound, int64_t count);
  int32_t Lowest() const { return m_lowest; }

  // A choice among bound (1 <= bound <= Span()), for bounds that change from draw to draw.
  uint32_t Below(uint32_t bound) {
    for (;;) {
      const uint32_t r = NextRaw();
      // limit > span - bound always, so only the rare top values need the exact limit.
      if (r <= m_span - bound || r < m_span - m_span % bound) {
        --m_remaining;
        return r % bound;
      }
    }
  }

 private:
  uint32_t NextRaw() {
    if (m_pos == m_end)
      Refill();
    return static_cast<uint32_t>(m_buffer[m_pos++] - m_lowest);
  }
  void Refill();

  RandomSource& m_random;
  int32_t m_lowest;
  uint32_t m_span;
  std::vector<int32_t> m_buffer;
  int64_t m_pos = 0;
  int64_t m_end = 0;
  int64_t m_remaining;
  [[maybe_unused]] int m_uncaught;  // read by the assert only
};

}  // namespace quillon
