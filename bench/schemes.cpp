// Build times of the scheme pairs: every (k,n) threshold pair within the size limit, and the
// plain rank walk over all q! ranks beside the enumeration that replaces it.
#include <benchmark/benchmark.h>

#include "reference/plain_schemes.h"
#include "schemes/kofn.h"
#include "schemes/scheme_pair.h"

namespace quillon {
namespace {

void BM_BuildSchemePair(benchmark::State& state) {
  SchemeParams params;
  params.scheme = SchemeKind::SchemeKofN;
  params.k = static_cast<int>(state.range(0));
  params.n = static_cast<int>(state.range(1));
  int64_t cols = 0;
  for (auto _ : state) {
    SchemePair pair = BuildSchemePair(params);
    cols = pair.s0.Cols();
    benchmark::DoNotOptimize(pair);
  }
  state.counters["rows"] = params.n;
  state.counters["cols"] = static_cast<double>(cols);
}

void EveryPairWithinTheLimit(benchmark::internal::Benchmark* b) {
  for (int n = 2; n <= kMaxParticipants; ++n) {
    for (int k = 2; k <= n; ++k) {
      SchemeParams params;
      params.scheme = SchemeKind::SchemeKofN;
      params.n = n;
      params.k = k;
      if (CheckSchemeParams(params) == Code::kOk)
        b->Args({k, n});
    }
  }
}

BENCHMARK(BM_BuildSchemePair)
    ->ArgNames({"k", "n"})
    ->Apply(EveryPairWithinTheLimit)
    ->Unit(benchmark::kMillisecond)
    ->MinTime(0.2)
    ->Repetitions(5)
    ->ReportAggregatesOnly(true);

// (k,n) = (3,7): q = 9, 362880 ranks, 1680 arrangements.
void BM_PlainRankWalk(benchmark::State& state) {
  for (auto _ : state)
    benchmark::DoNotOptimize(reference::BuildArrangements(9, 3, true));
}
BENCHMARK(BM_PlainRankWalk)
    ->Unit(benchmark::kMillisecond)
    ->Repetitions(3)
    ->ReportAggregatesOnly(true);

void BM_Arrangements(benchmark::State& state) {
  for (auto _ : state)
    benchmark::DoNotOptimize(BuildArrangements(9, 3));
}
BENCHMARK(BM_Arrangements)
    ->Unit(benchmark::kMillisecond)
    ->Repetitions(5)
    ->ReportAggregatesOnly(true);

}  // namespace
}  // namespace quillon

BENCHMARK_MAIN();
