// Stacking nine 4096 x 4096 1-bit layers: the word-at-a-time path against one StackPixel
// per pixel. Only the stacking is timed; the layers are made once.
//
// Deep against 1-bit layers: two 2048 x 2048 layers of 24 bits against two of 1 bit, stacked
// from memory, and from files (load both, stack, save the result): loaded whole, or straight
// into their two-colour view as the stack command does.
#include <benchmark/benchmark.h>
#include <unistd.h>

#include <filesystem>
#include <random>

#include "combine/stack.h"
#include "reference/plain_stack.h"

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

// Two layers, mostly white, of 1 or 24 bits; a 24-bit pixel is black only when all three
// bytes are zero, as in a picture with black lettering.
std::vector<BmpImage> PairOfLayers(int bits, int32_t side) {
  std::vector<BmpImage> layers;
  std::mt19937 engine(2);
  for (int i = 0; i < 2; ++i) {
    layers.emplace_back("layer.bmp", side, side * bits);
    layers.back().MutableHeader().biWidth = side;
    layers.back().MutableHeader().biBitCount = static_cast<uint16_t>(bits);
    if (bits == 24) {
      // No colour table: the rows follow the headers.
      layers.back().MutableHeader().bfOffBits = kBmpHeaderBytes;
      layers.back().MutableHeader().bfSize -= 8;
    }
    for (int32_t y = 0; y < side; ++y) {
      uint8_t* row = layers.back().Row(y);
      if (bits == 1) {
        for (int32_t b = 0; b < side / 8; ++b)
          row[b] = static_cast<uint8_t>(engine() | engine());
      } else {
        for (int32_t x = 0; x < side; ++x) {
          const uint8_t value = engine() % 4 == 0 ? 0 : static_cast<uint8_t>(engine() | 1);
          row[3 * x] = row[3 * x + 1] = row[3 * x + 2] = value;
        }
      }
    }
  }
  return layers;
}

void BM_Stack2x2048(benchmark::State& state) {
  const std::vector<BmpImage> images = PairOfLayers(static_cast<int>(state.range(0)), 2048);
  const std::vector<const BmpImage*> layers = {&images[0], &images[1]};
  for (auto _ : state) {
    BmpImage result = StackLayers(layers, "resultado.bmp");
    benchmark::DoNotOptimize(result.Pixels().data());
  }
}

// The files of the stack command: load (whole, or into the two-colour view), stack, save.
void BM_StackFiles2x2048(benchmark::State& state) {
  const bool twoColour = state.range(1) != 0;
  const std::filesystem::path dir =
      std::filesystem::temp_directory_path() / ("quillon-bench-" + std::to_string(getpid()));
  std::filesystem::create_directories(dir);
  std::vector<BmpImage> images = PairOfLayers(static_cast<int>(state.range(0)), 2048);
  std::vector<std::string> files;
  for (size_t i = 0; i < images.size(); ++i) {
    files.push_back((dir / ("layer" + std::to_string(i) + ".bmp")).string());
    images[i].SetFileName(files.back());
    if (!images[i].Save(Env::Default()))
      state.SkipWithError("cannot write the layers");
  }
  for (auto _ : state) {
    BmpImage first(files[0]), second(files[1]);
    const bool loaded =
        twoColour ? first.LoadTwoColour(Env::Default()) && second.LoadTwoColour(Env::Default())
                  : first.Load(Env::Default()) && second.Load(Env::Default());
    if (!loaded)
      state.SkipWithError("cannot read the layers");
    BmpImage result = StackLayers({&first, &second}, (dir / "resultado.bmp").string());
    if (!result.Save(Env::Default()))
      state.SkipWithError("cannot write the result");
  }
  std::filesystem::remove_all(dir);
}

BENCHMARK(BM_Stack2x2048)
    ->ArgName("bits")
    ->Arg(1)
    ->Arg(24)
    ->Unit(benchmark::kMillisecond)
    ->UseRealTime()
    ->Repetitions(7)
    ->ReportAggregatesOnly(true);
BENCHMARK(BM_StackFiles2x2048)
    ->ArgNames({"bits", "two_colour"})
    ->ArgsProduct({{1, 24}, {0, 1}})
    ->Unit(benchmark::kMillisecond)
    ->UseRealTime()
    ->Repetitions(7)
    ->ReportAggregatesOnly(true);

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
