// The one process-wide source of random draws. Every method states how many numbers it
// draws and in which order, so that a deterministic source fixes the shares bit for bit.
#pragma once

#include <cstdint>
#include <memory>

namespace quillon {

class RandomSource {
 public:
  virtual ~RandomSource() = default;
  // A non-negative 31-bit integer.
  virtual int32_t Next() = 0;
  // Fills out[0..count) with the next count draws, in order.
  virtual void Fill(int32_t* out, int64_t count);
};

// Draws the next number from the installed source.
int32_t Rand();
// Draws count numbers at once; the same numbers as count calls of Rand().
void RandFill(int32_t* out, int64_t count);

// The default: the operating system's cryptographic generator. Shares are only as secret as
// these draws are unpredictable.
std::unique_ptr<RandomSource> MakeSystemRandom();
// std::minstd_rand seeded with seed: draw i is the engine's i-th output.
std::unique_ptr<RandomSource> MakeSeededRandom(uint32_t seed);

// Installs a source and returns the one it replaces (null restores the system source).
std::unique_ptr<RandomSource> SetRandomSource(std::unique_ptr<RandomSource> source);

// Installs a source for the lifetime of the object and restores the previous one after.
class ScopedRandomSource {
 public:
  explicit ScopedRandomSource(std::unique_ptr<RandomSource> source)
      : m_previous(SetRandomSource(std::move(source))) {}
  ~ScopedRandomSource() { SetRandomSource(std::move(m_previous)); }
  ScopedRandomSource(const ScopedRandomSource&) = delete;
  ScopedRandomSource& operator=(const ScopedRandomSource&) = delete;

 private:
  std::unique_ptr<RandomSource> m_previous;
};

// Installs a seeded source for the lifetime of the object.
class ScopedSeed : public ScopedRandomSource {
 public:
  explicit ScopedSeed(uint32_t seed) : ScopedRandomSource(MakeSeededRandom(seed)) {}
};

}  // namespace quillon
