#include "io/picture.h"

#include "io/two_colour.h"

#include <csetjmp>
#include <cstdio>
#include <cstring>
#include <memory>
#include <new>

// clang-format off
#include <png.h>
#include <jpeglib.h>
#include <jerror.h>
// clang-format on

namespace quillon {
namespace {

constexpr uint8_t kPngSignature[8] = {0x89, 'P', 'N', 'G', '\r', '\n', 0x1A, '\n'};

// A progressive JPEG may hold any number of scans, each one a pass over the whole picture: a
// small file could keep the decoder busy for hours. Real files have a dozen or so.
constexpr int kMaxJpegScans = 500;
// What libjpeg may allocate beyond the picture itself: a progressive file keeps every
// coefficient of the picture, 2 bytes per sample.
constexpr long kMaxJpegWorkingBytes = 512L << 20;

Outcome DecodePng(const uint8_t* data, size_t size, GreyPicture& out) {
  png_image image;
  std::memset(&image, 0, sizeof image);
  image.version = PNG_IMAGE_VERSION;
  if (!png_image_begin_read_from_memory(&image, data, size))
    return Outcome::Fail(Code::kBadPicture).With(image.message);
  if (Outcome size = CheckPictureSize(image.width, image.height); !size) {
    png_image_free(&image);
    return size;
  }
  image.format = PNG_FORMAT_RGB;
  const size_t pixels = static_cast<size_t>(image.width) * image.height;
  std::vector<uint8_t> rgb;
  try {
    rgb.resize(3 * pixels);
    out.luma.resize(pixels);
  } catch (const std::bad_alloc&) {
    png_image_free(&image);
    return Outcome::Fail(Code::kNoMemory);
  }
  const png_color paper = {255, 255, 255};
  if (!png_image_finish_read(&image, &paper, rgb.data(), 0, nullptr)) {
    out.luma.clear();
    return Outcome::Fail(Code::kBadPicture).With(image.message);
  }
  for (size_t i = 0; i < pixels; ++i)
    out.luma[i] = Luma(rgb[3 * i], rgb[3 * i + 1], rgb[3 * i + 2]);
  out.width = static_cast<int32_t>(image.width);
  out.height = static_cast<int32_t>(image.height);
  return Outcome::Ok();
}

// libjpeg reports errors through a callback that must not return: it jumps back to the
// setjmp of the step running. The steps below hold no C++ objects, so nothing is skipped.
struct JpegJob {
  jpeg_decompress_struct info;
  jpeg_error_mgr errors;
  jpeg_progress_mgr progress;
  std::jmp_buf jump;
  char message[JMSG_LENGTH_MAX];
  const uint8_t* data;
  size_t size;
  uint8_t* luma;  // width * height bytes, filled by ReadJpegPixels
  uint8_t* row;   // one decoded row
};

JpegJob* JobOf(j_common_ptr info) {
  return static_cast<JpegJob*>(info->client_data);
}

[[noreturn]] void OnJpegError(j_common_ptr info) {
  JpegJob* job = JobOf(info);
  info->err->format_message(info, job->message);
  std::longjmp(job->jump, 1);
}

// Warnings are ignored but one: a file that ends early would be finished in grey.
void OnJpegMessage(j_common_ptr info, int level) {
  if (level < 0 && info->err->msg_code == JWRN_JPEG_EOF) {
    JpegJob* job = JobOf(info);
    std::snprintf(job->message, sizeof job->message, "the file ends before the picture does");
    std::longjmp(job->jump, 1);
  }
}

void OnJpegProgress(j_common_ptr info) {
  auto* decompress = reinterpret_cast<j_decompress_ptr>(info);
  if (decompress->input_scan_number > kMaxJpegScans) {
    JpegJob* job = JobOf(info);
    std::snprintf(job->message, sizeof job->message, "more than %d scans", kMaxJpegScans);
    std::longjmp(job->jump, 1);
  }
}

bool ReadJpegHeader(JpegJob* job) {
  if (setjmp(job->jump))
    return false;
  jpeg_mem_src(&job->info, job->data, static_cast<unsigned long>(job->size));
  jpeg_read_header(&job->info, TRUE);
  const J_COLOR_SPACE space = job->info.jpeg_color_space;
  job->info.out_color_space = space == JCS_GRAYSCALE                   ? JCS_GRAYSCALE
                              : space == JCS_CMYK || space == JCS_YCCK ? JCS_CMYK
                                                                       : JCS_RGB;
  return true;
}

bool ReadJpegPixels(JpegJob* job, size_t rowBytes) {
  if (setjmp(job->jump))
    return false;
  jpeg_start_decompress(&job->info);
  const JDIMENSION width = job->info.output_width;
  const int components = job->info.output_components;
  if (static_cast<size_t>(components) * width > rowBytes) {
    std::snprintf(job->message, sizeof job->message, "unexpected colour layout");
    return false;
  }
  // Adobe's CMYK files store the inks inverted.
  const bool inverted = job->info.saw_Adobe_marker;
  while (job->info.output_scanline < job->info.output_height) {
    uint8_t* luma = job->luma + static_cast<size_t>(job->info.output_scanline) * width;
    JSAMPROW rows[1] = {job->row};
    if (jpeg_read_scanlines(&job->info, rows, 1) != 1) {
      std::snprintf(job->message, sizeof job->message, "the file ends before the picture does");
      return false;
    }
    const uint8_t* p = job->row;
    for (JDIMENSION x = 0; x < width; ++x, p += components) {
      if (components == 1) {
        luma[x] = p[0];
      } else if (components == 3) {
        luma[x] = Luma(p[0], p[1], p[2]);
      } else {
        auto ink = [inverted, k = p[3]](uint8_t c) {
          const int paper = inverted ? c : 255 - c;
          const int black = inverted ? k : 255 - k;
          return static_cast<uint8_t>(paper * black / 255);
        };
        luma[x] = Luma(ink(p[0]), ink(p[1]), ink(p[2]));
      }
    }
  }
  jpeg_finish_decompress(&job->info);
  return true;
}

bool CreateJpegDecompress(JpegJob* job) {
  if (setjmp(job->jump))
    return false;
  jpeg_create_decompress(&job->info);
  return true;
}

Outcome DecodeJpeg(const uint8_t* data, size_t size, GreyPicture& out) {
  auto job = std::make_unique<JpegJob>();
  std::memset(job.get(), 0, sizeof(JpegJob));
  job->data = data;
  job->size = size;
  job->info.err = jpeg_std_error(&job->errors);
  job->info.client_data = job.get();
  job->errors.error_exit = OnJpegError;
  job->errors.emit_message = OnJpegMessage;
  if (!CreateJpegDecompress(job.get()))
    return Outcome::Fail(Code::kBadPicture).With(job->message);
  struct Destroy {
    jpeg_decompress_struct* info;
    ~Destroy() { jpeg_destroy_decompress(info); }
  } destroy{&job->info};
  job->info.mem->max_memory_to_use = kMaxJpegWorkingBytes;
  job->progress.progress_monitor = OnJpegProgress;
  job->info.progress = &job->progress;

  if (!ReadJpegHeader(job.get()))
    return Outcome::Fail(Code::kBadPicture).With(job->message);
  const int64_t width = job->info.image_width;
  const int64_t height = job->info.image_height;
  if (Outcome checked = CheckPictureSize(width, height); !checked)
    return checked;
  std::vector<uint8_t> row;
  try {
    out.luma.resize(static_cast<size_t>(width * height));
    row.resize(static_cast<size_t>(4 * width));
  } catch (const std::bad_alloc&) {
    return Outcome::Fail(Code::kNoMemory);
  }
  job->luma = out.luma.data();
  job->row = row.data();
  if (!ReadJpegPixels(job.get(), row.size()) ||
      job->info.output_width != static_cast<JDIMENSION>(width) ||
      job->info.output_height != static_cast<JDIMENSION>(height)) {
    out.luma.clear();
    return Outcome::Fail(Code::kBadPicture).With(job->message);
  }
  out.width = static_cast<int32_t>(width);
  out.height = static_cast<int32_t>(height);
  return Outcome::Ok();
}

}  // namespace

PictureFormat SniffPictureFormat(const uint8_t* bytes, size_t size) {
  if (size >= sizeof kPngSignature && std::memcmp(bytes, kPngSignature, sizeof kPngSignature) == 0)
    return PictureFormat::Png;
  if (size >= 3 && bytes[0] == 0xFF && bytes[1] == 0xD8 && bytes[2] == 0xFF)
    return PictureFormat::Jpeg;
  if (size >= 2 && bytes[0] == 'B' && bytes[1] == 'M')
    return PictureFormat::Bmp;
  return PictureFormat::Unknown;
}

PictureFormat SniffPictureFile(Env& env, const std::string& path) {
  std::unique_ptr<ReadableFile> file;
  if (!env.OpenForRead(path, &file))
    return PictureFormat::Unknown;
  uint8_t head[sizeof kPngSignature];
  size_t got = 0;
  if (!file->ReadAt(0, head, sizeof head, &got))
    return PictureFormat::Unknown;
  return SniffPictureFormat(head, got);
}

Outcome CheckPictureSize(int64_t width, int64_t height) {
  if (width <= 0 || height <= 0)
    return Outcome::Fail(Code::kNoPixels);
  // Compared by division: the product of two hostile sizes may overflow.
  if (width > kMaxPicturePixels || height > kMaxPicturePixels / width)
    return Outcome::Fail(Code::kPictureTooLarge).With(PictureSizeText(width, height));
  return Outcome::Ok();
}

std::string PictureSizeText(int64_t width, int64_t height) {
  return std::to_string(width) + " x " + std::to_string(height);
}

uint8_t Luma(uint8_t red, uint8_t green, uint8_t blue) {
  return static_cast<uint8_t>((299 * red + 587 * green + 114 * blue + 500) / 1000);
}

Outcome DecodePicture(const uint8_t* data, size_t size, GreyPicture& out) {
  out = GreyPicture();
  switch (SniffPictureFormat(data, size)) {
    case PictureFormat::Png:
      return DecodePng(data, size, out);
    case PictureFormat::Jpeg:
      return DecodeJpeg(data, size, out);
    case PictureFormat::Bmp:
    case PictureFormat::Unknown:
      break;
  }
  return Outcome::Fail(Code::kNotAPicture);
}

Outcome DecodePictureFile(Env& env, const std::string& path, GreyPicture& out) {
  out = GreyPicture();
  std::vector<uint8_t> bytes;
  Outcome read = ReadWholeFile(env, path, kMaxPictureFileBytes, &bytes);
  if (read.code == Code::kFileTooLarge)
    read.detail = std::to_string(kMaxPictureFileBytes >> 20) + " MiB";
  if (!read)
    return read;
  Outcome decoded = DecodePicture(bytes.data(), bytes.size(), out);
  decoded.file = path;
  return decoded;
}

Outcome LoadTwoColourPicture(Env& env, const std::string& path, bool byColour,
                             const TwoColourRule& rule, BmpImage& out, PictureFormat* format) {
  const PictureFormat sniffed = SniffPictureFile(env, path);
  if (format != nullptr)
    *format = sniffed;
  if (sniffed == PictureFormat::Png || sniffed == PictureFormat::Jpeg) {
    GreyPicture picture;
    if (Outcome decoded = DecodePictureFile(env, path, picture); !decoded)
      return decoded;
    out = MakeTwoColour(path, picture, rule);
    return out.HasPixels() ? Outcome::Ok() : Outcome::Fail(Code::kNoMemory, path);
  }
  // Anything else goes to the BMP reader, which tells a bitmap it refuses from no picture.
  BmpImage image(path);
  if (Outcome loaded = image.Load(env); !loaded)
    return loaded;
  if (byColour) {
    if (!BmpHasReadableColours(image))
      return Outcome::Fail(Code::kColoursUnreadable, path).With(std::to_string(image.BitCount()));
    if (Outcome size = CheckPictureSize(image.Width(), image.Height()); !size) {
      size.file = path;
      return size;
    }
    out = MakeTwoColour(path, image, rule);
  } else if (rule.invert) {
    out = TwoColourView(path, image, true);
  } else {
    out = std::move(image);
  }
  if (!out.HasPixels())
    return Outcome::Fail(out.Width() == 0 || out.Height() == 0 ? Code::kNoPixels : Code::kNoMemory,
                         path);
  return Outcome::Ok();
}

}  // namespace quillon
