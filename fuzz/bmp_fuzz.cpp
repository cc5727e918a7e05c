// libFuzzer target for the BMP reader: load whatever bytes come, read every pixel, save the
// image and load the saved file back, which must show the same picture. Any crash, sanitizer
// report or abort here is a finding; a refused file is not.
#include <unistd.h>

#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <string>

#include "core/bmp_image.h"
#include "core/report.h"

namespace {

// Large pictures are refused, so that one input cannot take seconds of pixel reading.
constexpr int64_t kMaxPixelBytes = 1 << 18;

const std::filesystem::path& Folder() {
  static const std::filesystem::path folder = [] {
    std::filesystem::path base = std::filesystem::exists("/dev/shm")
                                     ? std::filesystem::path("/dev/shm")
                                     : std::filesystem::temp_directory_path();
    std::filesystem::path dir = base / ("quillon-fuzz-" + std::to_string(getpid()));
    std::filesystem::create_directories(dir);
    return dir;
  }();
  return folder;
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
  static quillon::ScopedReporter quiet([](const std::string&, const std::string&) {});
  const std::string in = (Folder() / "in.bmp").string();
  const std::string out = (Folder() / "out.bmp").string();
  std::FILE* file = std::fopen(in.c_str(), "wb");
  if (file == nullptr || std::fwrite(data, 1, size, file) != size || std::fclose(file) != 0)
    std::abort();

  quillon::BmpImage image(in);
  if (!image.Load(kMaxPixelBytes))
    return 0;
  const std::string view = View(image);
  image.SetFileName(out);
  if (!image.Save())
    std::abort();
  quillon::BmpImage again(out);
  if (!again.Load(kMaxPixelBytes) || View(again) != view)
    std::abort();
  return 0;
}
