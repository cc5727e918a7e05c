#include "shares/expansion.h"

#include <atomic>
#include <chrono>
#include <condition_variable>
#include <exception>
#include <memory>
#include <mutex>
#include <thread>

namespace quillon {
namespace {

// Thrown from a band's progress step once the work is to stop; never leaves this file.
struct BandStopped {};

// Create the shares at the method's size, then fill them with encode(images).
template <typename Encode>
void MakeShares(ExpansionMethod method, ShareTable& shares, const BmpImage& secret,
                const BasisMatrix& s0, Encode encode) {
  const int m = s0.Rows();
  const ShareSize size = MethodShareSize(method, secret.Width(), secret.Height(), m, s0.Cols());
  shares.CreateShareImages(m, static_cast<int32_t>(size.width), static_cast<int32_t>(size.height));
  encode(shares.Images());
}

void MakePermutedShares(RandomSource& random, ExpansionMethod method, ShareTable& shares,
                        const BmpImage& secret, BasisMatrix& s0, BasisMatrix& s1,
                        const ProgressFn& progress) {
  MakeShares(method, shares, secret, s0, [&](std::vector<BmpImage>& images) {
    EncodeShares(random, method, secret, {}, s0, s1, images, progress);
  });
}

// Methods that only read S0 and S1 use the driver's pair as it is, without a copy.
void MakeUnpermutedShares(RandomSource& random, ExpansionMethod method, ShareTable& shares,
                          const BmpImage& secret, const std::vector<BmpImage>& innocents,
                          const BasisMatrix& s0, const BasisMatrix& s1,
                          const ProgressFn& progress) {
  MakeShares(method, shares, secret, s0, [&](std::vector<BmpImage>& images) {
    EncodeUnpermutedShares(random, method, secret, innocents, s0, s1, images, progress);
  });
}

}  // namespace

void RandomBasisColumn(RandomSource& random, ShareTable& shares, const BmpImage& secret,
                       const BasisMatrix& s0, const BasisMatrix& s1, const ProgressFn& progress) {
  MakeUnpermutedShares(random, ExpansionMethod::RandomBasisColumn, shares, secret, {}, s0, s1,
                       progress);
}

void PixelSampling(RandomSource& random, ShareTable& shares, const BmpImage& secret,
                   BasisMatrix& s0, BasisMatrix& s1, const ProgressFn& progress) {
  MakePermutedShares(random, ExpansionMethod::PixelSampling, shares, secret, s0, s1, progress);
}

void SquareSubpixelExpansion(RandomSource& random, ShareTable& shares, const BmpImage& secret,
                             BasisMatrix& s0, BasisMatrix& s1, const ProgressFn& progress) {
  MakePermutedShares(random, ExpansionMethod::SquareSubpixelExpansion, shares, secret, s0, s1,
                     progress);
}

void SmallestSquareWithFiller(RandomSource& random, ShareTable& shares, const BmpImage& secret,
                              BasisMatrix& s0, BasisMatrix& s1, const ProgressFn& progress) {
  MakePermutedShares(random, ExpansionMethod::SmallestSquareWithFiller, shares, secret, s0, s1,
                     progress);
}

void SmallestSquareWithoutFiller(RandomSource& random, ShareTable& shares, const BmpImage& secret,
                                 BasisMatrix& s0, BasisMatrix& s1, const ProgressFn& progress) {
  MakePermutedShares(random, ExpansionMethod::SmallestSquareWithoutFiller, shares, secret, s0, s1,
                     progress);
}

void ExtendedPreserveSize(RandomSource& random, ShareTable& shares, const BmpImage& secret,
                          const std::vector<BmpImage>& innocents, const BasisMatrix& s0,
                          const BasisMatrix& s1, const ProgressFn& progress) {
  MakeUnpermutedShares(random, ExpansionMethod::ExtendedPreserveSize, shares, secret, innocents, s0,
                       s1, progress);
}

void ExtendedPreserveDetail(RandomSource& random, ShareTable& shares, const BmpImage& secret,
                            const std::vector<BmpImage>& innocents, const BasisMatrix& s0,
                            const BasisMatrix& s1, const ProgressFn& progress) {
  MakeUnpermutedShares(random, ExpansionMethod::ExtendedPreserveDetail, shares, secret, innocents,
                       s0, s1, progress);
}

void RunExpansionMethod(RandomSource& random, ExpansionMethod method, ShareTable& shares,
                        const BmpImage& secret, const std::vector<BmpImage>& innocents,
                        BasisMatrix& s0, BasisMatrix& s1, const ProgressFn& progress) {
  if (!PermutesPair(method))
    return MakeUnpermutedShares(random, method, shares, secret, innocents, s0, s1, progress);
  MakePermutedShares(random, method, shares, secret, s0, s1, progress);
}

bool RunExpansionMethodInBands(const std::vector<RandomSource*>& sources, ExpansionMethod method,
                               ShareTable& shares, const BmpImage& secret,
                               const std::vector<BmpImage>& innocents, BasisMatrix& s0,
                               BasisMatrix& s1, const BandWatch& watch) {
  const int m = s0.Rows();
  const ShareSize size = MethodShareSize(method, secret.Width(), secret.Height(), m, s0.Cols());
  shares.CreateShareImages(m, static_cast<int32_t>(size.width), static_cast<int32_t>(size.height));
  const int64_t rows = MethodWalkRows(method, secret, s0.Cols());
  const int64_t bands = std::min<int64_t>(static_cast<int64_t>(sources.size()), rows);
  if (bands <= 0)
    return watch(1);
  // The last band's order is kept apart while the others still read S0 and S1.
  const bool permutes = PermutesPair(method);
  BasisMatrix last0 = permutes ? s0 : BasisMatrix(0, 0);
  BasisMatrix last1 = permutes ? s1 : BasisMatrix(0, 0);

  std::atomic<bool> stop{false};
  const std::unique_ptr<std::atomic<int64_t>[]> done(new std::atomic<int64_t>[bands]);
  std::mutex mutex;
  std::condition_variable finished;
  int64_t running = bands;
  std::exception_ptr failure;
  std::vector<std::thread> threads;
  const auto runBand = [&](int64_t i) {
    const RowBand band{rows * i / bands, rows * (i + 1) / bands};
    const int64_t height = band.end - band.first;
    const ProgressFn progress = [&, i, height](double fraction) {
      done[i].store(static_cast<int64_t>(fraction * static_cast<double>(height)));
      if (stop.load())
        throw BandStopped{};
    };
    std::exception_ptr error;
    try {
      const bool last = i + 1 == bands && permutes;
      EncodeShareRows(*sources[i], method, secret, innocents, s0, s1, last ? &last0 : nullptr,
                      last ? &last1 : nullptr, shares.Images(), band, progress);
    } catch (const BandStopped&) {
    } catch (...) {
      error = std::current_exception();
      stop.store(true);
    }
    const std::lock_guard<std::mutex> lock(mutex);
    if (error && !failure)
      failure = error;
    if (--running == 0)
      finished.notify_all();
  };
  // However this function is left (a thread that cannot start, a watch that throws), the
  // bands begun stop and are joined first.
  struct Joiner {
    std::atomic<bool>& stop;
    std::vector<std::thread>& threads;
    ~Joiner() {
      for (std::thread& thread : threads) {
        if (thread.joinable()) {
          stop.store(true);
          thread.join();
        }
      }
    }
  } joiner{stop, threads};
  for (int64_t i = 0; i < bands; ++i)
    done[i].store(0);
  for (int64_t i = 0; i < bands; ++i)
    threads.emplace_back(runBand, i);
  bool watching = true;
  {
    // running is counted down by the bands, under the lock.
    std::unique_lock<std::mutex> lock(mutex);
    while (running > 0) {
      finished.wait_for(lock, std::chrono::milliseconds(20));
      if (running == 0 || !watching)
        continue;
      lock.unlock();
      int64_t sum = 0;
      for (int64_t i = 0; i < bands; ++i)
        sum += done[i].load();
      if (!watch(static_cast<double>(sum) / static_cast<double>(rows))) {
        watching = false;
        stop.store(true);
      }
      lock.lock();
    }
  }
  for (std::thread& thread : threads)
    thread.join();
  if (failure)
    std::rethrow_exception(failure);
  if (!watching)
    return false;
  if (permutes) {
    s0 = std::move(last0);
    s1 = std::move(last1);
  }
  return watch(1);
}

Outcome ChooseInnocentImages(ShareSession& session, Env& env, int m, int32_t width, int32_t height,
                             std::vector<BmpImage>& innocents) {
  innocents.clear();
  for (int r = 0; r < m; ++r) {
    const std::optional<std::string> path = session.ChooseInnocentImage(r);
    Outcome outcome;
    BmpImage image;
    if (!path) {
      outcome = Outcome::Fail(Code::kCancelled);
    } else if (outcome = session.LoadInnocentImage(env, r, *path, image); outcome) {
      // Every innocent pixel is read at the secret's own coordinates, so a smaller image
      // would be read outside its rows.
      if (!image.HasPixels() || image.Width() < width || image.Height() < height)
        outcome = Outcome::Fail(Code::kInnocentTooSmall, *path);
    }
    if (!outcome) {
      innocents.clear();
      return std::move(outcome).At(r);
    }
    innocents.push_back(std::move(image));
  }
  return Outcome::Ok();
}

}  // namespace quillon
