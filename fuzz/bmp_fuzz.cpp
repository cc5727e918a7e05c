// libFuzzer target for the BMP reader: load whatever bytes come, read every pixel, save the
// image and load the saved file back, which must show the same picture; the load straight into
// two colours must give the same outcome and picture. Any crash, sanitizer report or abort
// here is a finding; a refused file is not.
#include <unistd.h>

#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <string>

#include "core/bmp_image.h"

namespace {

// Large pictures are refused, so that one input cannot take seconds of pixel reading.
constexpr int64_t kMaxPixelBytes = 1 << 18;

// The input and the saved copy, beside each other in memory where /dev/shm is there.
std::string Scratch(const char* what) {
  static const std::filesystem::path base = std::filesystem::exists("/dev/shm")
                                                ? std::filesystem::path("/dev/shm")
                                                : std::filesystem::temp_directory_path();
  return (base / ("quillon-fuzz-" + std::to_string(getpid()) + "-" + what + ".bmp")).string();
}

std::string View(const quillon::BmpImage& image) {
  std::string view;
  for (int32_t r = 0; r < image.Height(); ++r) {
    for (int32_t c = 0; c < image.Width(); ++c)
      view += image.GetPixel(r, c);
  }
  return view;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  static const std::string in = Scratch("in");
  static const std::string out = Scratch("out");
  std::FILE* file = std::fopen(in.c_str(), "wb");
  if (file == nullptr || std::fwrite(data, 1, size, file) != size || std::fclose(file) != 0)
    std::abort();

  quillon::Env& env = quillon::Env::Default();
  quillon::BmpImage image(in), twoColour(in);
  const quillon::Outcome loaded = image.Load(env, kMaxPixelBytes);
  if (twoColour.LoadTwoColour(env, kMaxPixelBytes).code != loaded.code)
    std::abort();
  if (loaded) {
    const std::string view = View(image);
    if (View(twoColour) != view)
      std::abort();
    image.SetFileName(out);
    if (!image.Save(env))
      std::abort();
    quillon::BmpImage again(out);
    if (!again.Load(env, kMaxPixelBytes) || View(again) != view)
      std::abort();
  }
  std::remove(in.c_str());
  std::remove(out.c_str());
  return 0;
}
