// Stacking nine 4096 x 4096 1-bit layers: the word-at-a-time path against one StackPixel
// per pixel. Only the stacking is timed; the layers are made once.
#include <benchmark/benchmark.h>

#include <random>

#include "combine/stack.h"

namespace quillon {
namespace {

std::vector<BmpImage> Layers(int count, int32_t side) {
  std::vector<BmpImage> layers;
  std::mt19937 engine(1);
  for (int i = 0; i < count; ++i) {
    layers.emplace_back("layer.bmp", side, side);
    for (int32_t y = 0; y < side; ++y) {
      uint8_t* row = layers.back().Row(y);
      // Mostly white, as shares are, so that no layer alone decides the result.
      for (int32_t b = 0; b < side / 8; ++b) {
        row[b] = static_cast<uint8_t>(engine() | engine() | engine());
      }
    }
  }
  return layers;
}

template <BmpImage (*Stack)(const std::vector<const BmpImage*>&, const std::string&)>
void BM_Stack9x4096(benchmark::State& state) {
  const std::vector<BmpImage> images = Layers(9, 4096);
  std::vector<const BmpImage*> layers;
  for (const BmpImage& image : images)
    layers.push_back(&image);
  for (auto _ : state) {
    BmpImage result = Stack(layers, "resultado.bmp");
    benchmark::DoNotOptimize(result.Pixels().data());
  }
}

BENCHMARK(BM_Stack9x4096<StackLayers>)
    ->Name("BM_Stack9x4096")
    ->Unit(benchmark::kMillisecond)
    ->UseRealTime()
    ->Repetitions(7)
    ->ReportAggregatesOnly(true);
BENCHMARK(BM_Stack9x4096<StackLayersPlain>)
    ->Name("BM_Stack9x4096_Plain")
    ->Unit(benchmark::kMillisecond)
    ->UseRealTime()
    ->Iterations(1)
    ->Repetitions(3)
    ->ReportAggregatesOnly(true);

}  // namespace
}  // namespace quillon

BENCHMARK_MAIN();
