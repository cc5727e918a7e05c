// The analysis of a pair (column patterns counted once) beside the plain set-by-set count it
// is tested against, the exact program of every optimal (k,n) pair, and decoding.
#include <benchmark/benchmark.h>

#include "combine/decode.h"
#include "reference/plain_checks.h"
#include "schemes/analysis.h"
#include "schemes/optimal_kofn.h"

namespace quillon {
namespace {

// The (3,7) pair: 6720 columns, 127 sets.
SchemePair Pair37() {
  SchemeParams params;
  params.scheme = SchemeKind::SchemeKofN;
  params.n = 7;
  params.k = 3;
  return BuildSchemePair(params);
}

void BM_AnalyzePair(benchmark::State& state) {
  const SchemePair pair = Pair37();
  for (auto _ : state) {
    benchmark::DoNotOptimize(
        AnalyzePair(pair.s0, pair.s1, [](uint32_t s) { return __builtin_popcount(s) >= 3; }));
  }
}
BENCHMARK(BM_AnalyzePair)
    ->Unit(benchmark::kMillisecond)
    ->Repetitions(5)
    ->ReportAggregatesOnly(true);

void BM_PlainAnalysis(benchmark::State& state) {
  const SchemePair pair = Pair37();
  for (auto _ : state) {
    int64_t sum = 0;
    for (uint32_t set = 1; set < 128; ++set) {
      sum += reference::StackedBlack(pair.s0, set) + reference::StackedBlack(pair.s1, set);
      if (__builtin_popcount(set) < 3)
        sum += reference::SeenPatterns(pair.s0, set) == reference::SeenPatterns(pair.s1, set);
    }
    benchmark::DoNotOptimize(sum);
  }
}
BENCHMARK(BM_PlainAnalysis)
    ->Unit(benchmark::kMillisecond)
    ->Repetitions(5)
    ->ReportAggregatesOnly(true);

// The program and the search of the optimal face for all 36 pairs.
void BM_SolveEveryOptimalKofN(benchmark::State& state) {
  for (auto _ : state) {
    for (int n = 2; n <= 9; ++n) {
      for (int k = 2; k <= n; ++k)
        benchmark::DoNotOptimize(SolveOptimalKofN(n, k));
    }
  }
}
BENCHMARK(BM_SolveEveryOptimalKofN)
    ->Unit(benchmark::kMillisecond)
    ->Repetitions(5)
    ->ReportAggregatesOnly(true);

// 1024 x 1024 stacked pixels in 2 x 2 blocks with three counted places.
void BM_DecodeStacked(benchmark::State& state) {
  BmpImage stacked("stacked.bmp", 1024, 1024);
  for (int32_t y = 0; y < 1024; ++y) {
    for (int32_t x = 0; x < 1024; ++x)
      stacked.SetPixel(y, x, (x * 7 + y * 3) % 5 < 2);
  }
  for (auto _ : state)
    benchmark::DoNotOptimize(DecodeStacked(stacked, {2, 3, 1, 2}, "decoded.bmp"));
}
BENCHMARK(BM_DecodeStacked)
    ->Unit(benchmark::kMillisecond)
    ->Repetitions(5)
    ->ReportAggregatesOnly(true);

}  // namespace
}  // namespace quillon

BENCHMARK_MAIN();
