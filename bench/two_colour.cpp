// What a 4096 x 4096 secret's two-colour reading shows (split's warnings): the word-at-a-time
// InspectTwoColour against the plain per-pixel scan it is tested against. Pictures without a
// black pixel are the whole scan; a picture with both colours early is the usual secret.
#include <benchmark/benchmark.h>

#include <cstring>

#include "io/two_colour.h"
#include "reference/plain_two_colour.h"

namespace quillon {
namespace {

constexpr int32_t kSide = 4096;

// A picture of kSide x kSide at bits per pixel, every byte `fill`; the first byte of the first
// row gets `first`.
BmpImage Picture(int bits, uint8_t fill, uint8_t first) {
  BmpImage image("secret.bmp", kSide, kSide * bits);
  image.MutableHeader().biWidth = kSide;
  image.MutableHeader().biBitCount = static_cast<uint16_t>(bits);
  for (int32_t y = 0; y < kSide; ++y)
    std::memset(image.Row(y), fill, static_cast<size_t>(image.Stride()));
  image.Row(0)[0] = first;
  return image;
}

template <TwoColourFindings (*Inspect)(const BmpImage&)>
void BM_Inspect(benchmark::State& state) {
  const int bits = static_cast<int>(state.range(0));
  const bool both = state.range(1) != 0;
  const BmpImage image = Picture(bits, 0xFF, both ? 0 : 0xFF);
  for (auto _ : state)
    benchmark::DoNotOptimize(Inspect(image));
}

void Arguments(benchmark::internal::Benchmark* b) {
  b->ArgNames({"bits", "both_early"});
  for (int bits : {1, 8, 24})
    b->Args({bits, 0});
  b->Args({1, 1});
  b->Unit(benchmark::kMillisecond)->UseRealTime()->Repetitions(7)->ReportAggregatesOnly(true);
}

BENCHMARK(BM_Inspect<InspectTwoColour>)->Name("BM_InspectTwoColour")->Apply(Arguments);
BENCHMARK(BM_Inspect<InspectTwoColourPlain>)->Name("BM_InspectTwoColour_Plain")->Apply(Arguments);

}  // namespace
}  // namespace quillon

BENCHMARK_MAIN();
