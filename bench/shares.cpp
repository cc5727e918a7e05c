// Share generation, fast against plain. Random basis column on a 4096 x 4096 secret with the
// (3,5) scheme includes creating, filling and writing the five shares; the other methods
// on a 1024 x 1024 secret with the (2,2) scheme measure the pixel work alone.
#include <benchmark/benchmark.h>
#include <unistd.h>

#include <cstdlib>
#include <filesystem>
#include <random>

#include "core/random.h"
#include "reference/plain_expansion.h"
#include "schemes/scheme_pair.h"
#include "shares/encrypt.h"
#include "shares/expansion.h"

namespace quillon {
namespace {

// Writes into a fresh temporary folder, removed at exit; nothing is shown.
class BenchSession : public ShareSession {
 public:
  BenchSession() {
    char pattern[] = "/tmp/quillon-bench-XXXXXX";
    if (mkdtemp(pattern) == nullptr)
      std::abort();
    m_dir = pattern;
  }
  ~BenchSession() override { std::filesystem::remove_all(m_dir); }
  std::optional<std::string> ChooseInnocentImage(int) override { return std::nullopt; }
  std::string OutputPath(int, const std::string& name) override { return Path(name); }
  std::string Path(const std::string& name) const { return (m_dir / name).string(); }

 private:
  std::filesystem::path m_dir;
};

// A 1-bit picture, about half of it black.
BmpImage Noise(int32_t side, uint32_t seed) {
  BmpImage image("secret.bmp", side, side);
  std::mt19937 engine(seed);
  for (int32_t y = 0; y < side; ++y) {
    uint8_t* row = image.Row(y);
    for (int32_t i = 0; i < (side + 7) / 8; ++i)
      row[i] = static_cast<uint8_t>(engine());
  }
  return image;
}

SchemePair Pair(SchemeKind kind, int n, int k) {
  SchemeParams params;
  params.scheme = kind;
  params.n = n;
  params.k = k;
  return BuildSchemePair(params);
}

// state.range(0): 0 system source, 1 seeded source.
std::unique_ptr<RandomSource> ChosenSource(const benchmark::State& state) {
  return state.range(0) ? MakeSeededRandom(1) : MakeSystemRandom();
}

// state.range(1) threads for the driver (0: one per core); the system source only, as seeded
// work stays on one thread. Wall time, as the threads' CPU is not the benchmark thread's.
int ChosenThreads(const benchmark::State& state) {
  return state.range(1);
}

void BM_RandomBasisColumn3of5_4096(benchmark::State& state) {
  const BmpImage secret = Noise(4096, 1);
  BenchSession session;
  const std::unique_ptr<RandomSource> random = ChosenSource(state);
  // The whole driver: matrices, shares made and filled, the set written.
  EncryptRequest request;
  request.scheme.scheme = SchemeKind::SchemeKofN;
  request.scheme.n = 5;
  request.scheme.k = 3;
  request.secret = &secret;
  request.random = random.get();
  request.threads = ChosenThreads(state);
  for (auto _ : state) {
    if (!EncryptSecretImage(session, Env::Default(), request))
      state.SkipWithError("cannot write the shares");
  }
}

void BM_RandomBasisColumn3of5_4096_Plain(benchmark::State& state) {
  const BmpImage secret = Noise(4096, 1);
  SchemePair pair = Pair(SchemeKind::SchemeKofN, 5, 3);
  BenchSession session;
  const std::unique_ptr<RandomSource> random = ChosenSource(state);
  for (auto _ : state) {
    std::vector<BmpImage> shares =
        PlainShares(*random, ExpansionMethod::RandomBasisColumn, secret, {}, pair.s0, pair.s1);
    for (BmpImage& share : shares) {
      share.SetFileName(session.Path(share.FileName()));
      if (!share.Save(Env::Default()))
        state.SkipWithError("cannot write the shares");
    }
  }
}

// The pixel work of one method (state.range(0)) on a side x side secret.
void MethodWork(benchmark::State& state, const SchemePair& pair, int32_t side) {
  const auto method = static_cast<ExpansionMethod>(state.range(0));
  const BmpImage secret = Noise(side, 2);
  std::vector<BmpImage> innocents;
  for (int r = 0; r < pair.s0.Rows(); ++r)
    innocents.push_back(Noise(side, 3 + r));
  const std::unique_ptr<RandomSource> random = MakeSeededRandom(1);
  state.SetLabel(MethodInfo(method).selectorText);
  for (auto _ : state) {
    BasisMatrix s0 = pair.s0, s1 = pair.s1;
    const ShareSize size = MethodShareSize(method, side, side, s0.Rows(), s0.Cols());
    std::vector<BmpImage> shares;
    for (int r = 0; r < s0.Rows(); ++r) {
      shares.emplace_back(ShareName(r), static_cast<int32_t>(size.height),
                          static_cast<int32_t>(size.width));
    }
    EncodeShares(*random, method, secret, innocents, s0, s1, shares);
    benchmark::DoNotOptimize(shares.data());
  }
}

// The (2,2) scheme on a 1024 x 1024 secret.
void BM_Method2of2_1024(benchmark::State& state) {
  MethodWork(state, Pair(SchemeKind::Scheme2of2, 2, 2), 1024);
}

// The (4,4) scheme, eight columns: permutations of some length, on a 256 x 256 secret.
void BM_Method4of4_256(benchmark::State& state) {
  MethodWork(state, Pair(SchemeKind::SchemeNofN, 4, 4), 256);
}

void BM_Method2of2_1024_Plain(benchmark::State& state) {
  const auto method = static_cast<ExpansionMethod>(state.range(0));
  const BmpImage secret = Noise(1024, 2);
  const std::vector<BmpImage> innocents = {Noise(1024, 3), Noise(1024, 4)};
  const SchemePair pair = Pair(SchemeKind::Scheme2of2, 2, 2);
  const std::unique_ptr<RandomSource> random = MakeSeededRandom(1);
  state.SetLabel(MethodInfo(method).selectorText);
  for (auto _ : state) {
    BasisMatrix s0 = pair.s0, s1 = pair.s1;
    std::vector<BmpImage> shares = PlainShares(*random, method, secret, innocents, s0, s1);
    benchmark::DoNotOptimize(shares.data());
  }
}

BENCHMARK(BM_RandomBasisColumn3of5_4096)
    ->ArgNames({"seeded", "threads"})
    ->Args({0, 1})
    ->Args({0, 0})
    ->Args({1, 1})
    ->Unit(benchmark::kMillisecond)
    ->UseRealTime()
    ->Iterations(1)
    ->Repetitions(7)
    ->ReportAggregatesOnly(true);
BENCHMARK(BM_RandomBasisColumn3of5_4096_Plain)
    ->ArgName("seeded")
    ->Arg(0)
    ->Unit(benchmark::kMillisecond)
    ->UseRealTime()
    ->Iterations(1)
    ->Repetitions(3)
    ->ReportAggregatesOnly(true);
BENCHMARK(BM_Method2of2_1024)
    ->ArgName("method")
    ->DenseRange(0, 6)
    ->Unit(benchmark::kMillisecond)
    ->UseRealTime()
    ->Iterations(2)
    ->Repetitions(5)
    ->ReportAggregatesOnly(true);
BENCHMARK(BM_Method4of4_256)
    ->ArgName("method")
    ->DenseRange(0, 6)
    ->Unit(benchmark::kMillisecond)
    ->UseRealTime()
    ->Iterations(2)
    ->Repetitions(5)
    ->ReportAggregatesOnly(true);
BENCHMARK(BM_Method2of2_1024_Plain)
    ->ArgName("method")
    ->DenseRange(1, 6)
    ->Unit(benchmark::kMillisecond)
    ->UseRealTime()
    ->Iterations(1)
    ->Repetitions(3)
    ->ReportAggregatesOnly(true);

}  // namespace
}  // namespace quillon

BENCHMARK_MAIN();
