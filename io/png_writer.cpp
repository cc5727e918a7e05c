#include "io/png_writer.h"

#include <png.h>

#include <csetjmp>
#include <cstdio>
#include <cstring>
#include <vector>

#include "core/atomic_file.h"

namespace quillon {
namespace {

struct PngJob {
  const BmpImage* image;
  std::FILE* file;
  uint8_t* row;  // (width + 7) / 8 bytes
  char message[200];
};

void OnPngError(png_structp png, png_const_charp text) {
  auto* job = static_cast<PngJob*>(png_get_error_ptr(png));
  std::snprintf(job->message, sizeof job->message, "%s", text);
  png_longjmp(png, 1);
}

void OnPngWarning(png_structp, png_const_charp) {}

// Picture row y (0 at the top) as PNG packs it; bits past the width are zero.
void PackRow(const BmpImage& image, int32_t y, uint8_t* out) {
  const int32_t width = image.Width();
  const size_t bytes = (static_cast<size_t>(width) + 7) / 8;
  const int32_t row = image.Height() - 1 - y;
  if (image.BitCount() == 1) {
    // A 1-bit BMP row is packed the same way: column 0 in the high bit, 0 for black.
    std::memcpy(out, image.Row(row), bytes);
    if (width % 8 != 0)
      out[bytes - 1] &= static_cast<uint8_t>(0xFF << (8 - width % 8));
    return;
  }
  std::memset(out, 0, bytes);
  for (int32_t x = 0; x < width; ++x) {
    if (image.GetPixel(row, x) == 'w')
      out[x / 8] |= static_cast<uint8_t>(0x80 >> (x % 8));
  }
}

// libpng leaves through longjmp on errors; this frame holds no C++ objects.
bool WritePng(PngJob* job, png_structp png, png_infop info) {
  if (setjmp(png_jmpbuf(png)))
    return false;
  const BmpImage& image = *job->image;
  png_init_io(png, job->file);
  png_set_IHDR(png, info, static_cast<png_uint_32>(image.Width()),
               static_cast<png_uint_32>(image.Height()), 1, PNG_COLOR_TYPE_GRAY, PNG_INTERLACE_NONE,
               PNG_COMPRESSION_TYPE_DEFAULT, PNG_FILTER_TYPE_DEFAULT);
  png_write_info(png, info);
  for (int32_t y = 0; y < image.Height(); ++y) {
    PackRow(image, y, job->row);
    png_write_row(png, job->row);
  }
  png_write_end(png, info);
  return true;
}

}  // namespace

std::string SavePng(const BmpImage& image, const std::string& path) {
  if (!image.HasPixels() || image.Width() <= 0 || image.Height() <= 0)
    return "cannot write '" + path + "': the picture has no pixels";
  std::vector<uint8_t> row((static_cast<size_t>(image.Width()) + 7) / 8);
  AtomicFile file(path);
  if (std::string error = file.Open(); !error.empty())
    return error;
  PngJob job{&image, file.Stream(), row.data(), {}};
  png_structp png = png_create_write_struct(PNG_LIBPNG_VER_STRING, &job, OnPngError, OnPngWarning);
  png_infop info = png != nullptr ? png_create_info_struct(png) : nullptr;
  const bool written = info != nullptr && WritePng(&job, png, info);
  png_destroy_write_struct(&png, &info);
  if (!written)
    return "cannot write '" + path + "': " + (job.message[0] ? job.message : "out of memory");
  return file.Commit();
}

}  // namespace quillon
