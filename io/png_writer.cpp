#include "io/png_writer.h"

#include <png.h>

#include <csetjmp>
#include <cstring>
#include <vector>

namespace quillon {
namespace {

struct PngJob {
  const BmpImage* image;
  WritableFile* file;
  uint8_t* row;     // (width + 7) / 8 bytes
  Outcome failure;  // what the file said when a write failed
};

void OnPngError(png_structp png, png_const_charp) {
  png_longjmp(png, 1);
}

void OnPngWarning(png_structp, png_const_charp) {}

// Kept apart from OnPngWrite, so that no C++ object lives in the frame that libpng leaves
// through longjmp.
bool AppendBytes(PngJob* job, const uint8_t* data, size_t length) {
  Outcome written = job->file->Append(data, length);
  if (written)
    return true;
  job->failure = std::move(written);
  return false;
}

void OnPngWrite(png_structp png, png_bytep data, size_t length) {
  if (!AppendBytes(static_cast<PngJob*>(png_get_io_ptr(png)), data, length))
    png_error(png, "write failed");
}

// Everything goes out through Append; the file is synced by its owner.
void OnPngFlush(png_structp) {}

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
bool EncodePng(PngJob* job, png_structp png, png_infop info) {
  if (setjmp(png_jmpbuf(png)))
    return false;
  const BmpImage& image = *job->image;
  png_set_write_fn(png, job, OnPngWrite, OnPngFlush);
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

Outcome WritePng(const BmpImage& image, WritableFile& file) {
  if (!image.HasPixels() || image.Width() <= 0 || image.Height() <= 0)
    return Outcome::Fail(Code::kNoPixels, image.FileName());
  std::vector<uint8_t> row((static_cast<size_t>(image.Width()) + 7) / 8);
  PngJob job{&image, &file, row.data(), Outcome::Ok()};
  png_structp png = png_create_write_struct(PNG_LIBPNG_VER_STRING, &job, OnPngError, OnPngWarning);
  png_infop info = png != nullptr ? png_create_info_struct(png) : nullptr;
  const bool written = info != nullptr && EncodePng(&job, png, info);
  png_destroy_write_struct(&png, &info);
  if (written)
    return Outcome::Ok();
  // The encoder's only other failure is running out of memory.
  return job.failure ? Outcome::Fail(Code::kNoMemory) : job.failure;
}

Outcome SavePng(Env& env, const BmpImage& image, const std::string& path, uint32_t mode) {
  if (!image.HasPixels() || image.Width() <= 0 || image.Height() <= 0)
    return Outcome::Fail(Code::kNoPixels, path);
  return WriteFileAtomically(env, path, mode,
                             [&image](WritableFile& file) { return WritePng(image, file); });
}

}  // namespace quillon
