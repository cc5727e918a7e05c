#include "io/picture.h"

#include "io/two_colour.h"

#include <algorithm>
#include <csetjmp>
#include <cstddef>
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

// The orientation (1 to 8) that an EXIF block, from its TIFF header on, asks viewers to show
// the picture in: tag 0x0112 of the first directory, a SHORT as the standard has it. Anything
// malformed or missing reads as 1, upright: a broken EXIF never costs the picture.
int ExifOrientation(const uint8_t* tiff, size_t size) {
  if (size < 8)
    return 1;
  bool bigEndian;
  if (tiff[0] == 'I' && tiff[1] == 'I')
    bigEndian = false;
  else if (tiff[0] == 'M' && tiff[1] == 'M')
    bigEndian = true;
  else
    return 1;
  // Every read below is of bytes already checked to lie within size.
  auto u16 = [&](size_t at) -> uint32_t {
    return bigEndian ? tiff[at] << 8 | tiff[at + 1] : tiff[at + 1] << 8 | tiff[at];
  };
  auto u32 = [&](size_t at) -> uint32_t {
    return bigEndian ? u16(at) << 16 | u16(at + 2) : u16(at + 2) << 16 | u16(at);
  };
  if (u16(2) != 42)
    return 1;
  const size_t directory = u32(4);
  if (directory > size || size - directory < 2)
    return 1;
  const size_t entries = u16(directory);
  for (size_t i = 0; i < entries; ++i) {
    const size_t entry = directory + 2 + 12 * i;
    if (size - entry < 12)
      return 1;
    if (u16(entry) != 0x0112)
      continue;
    constexpr uint32_t kShort = 3;
    const uint32_t value = u16(entry + 8);
    return u16(entry + 2) == kShort && u32(entry + 4) == 1 && value >= 1 && value <= 8 ? value : 1;
  }
  return 1;
}

// The orientation of a JPEG's first "Exif" APP1 segment before its scan; 1 without one.
int JpegOrientation(const uint8_t* data, size_t size) {
  constexpr uint8_t kExif[6] = {'E', 'x', 'i', 'f', 0, 0};
  size_t at = 2;  // past the start-of-image marker
  while (at + 4 <= size) {
    if (data[at] != 0xFF)
      return 1;
    const uint8_t marker = data[at + 1];
    if (marker == 0xFF) {  // fill byte
      ++at;
      continue;
    }
    if (marker == 0x01 || (marker >= 0xD0 && marker <= 0xD8)) {  // no length follows
      at += 2;
      continue;
    }
    if (marker == 0xDA || marker == 0xD9)  // the scan or the end: no EXIF comes after
      return 1;
    const size_t length = data[at + 2] << 8 | data[at + 3];
    if (length < 2 || length > size - at - 2)
      return 1;
    const uint8_t* body = data + at + 4;
    if (marker == 0xE1 && length - 2 >= sizeof kExif && std::memcmp(body, kExif, sizeof kExif) == 0)
      return ExifOrientation(body + sizeof kExif, length - 2 - sizeof kExif);
    at += 2 + length;
  }
  return 1;
}

// A pixel of value v and alpha a over white paper, in the file's own (gamma-encoded) values: the
// rounded 255 - a + v a / 255 that viewers show (no tie can occur: 255 is odd).
inline uint8_t OverWhite(uint8_t value, uint8_t alpha) {
  return static_cast<uint8_t>(255 - alpha + (value * alpha + 127) / 255);
}

// One row of 8-bit samples (grey, grey and alpha, RGB or RGBA) to luminance on white.
void LumaOfRow(const uint8_t* row, int channels, size_t width, uint8_t* luma) {
  for (size_t x = 0; x < width; ++x, row += channels) {
    switch (channels) {
      case 1:
        luma[x] = row[0];
        break;
      case 2:
        luma[x] = OverWhite(row[0], row[1]);
        break;
      case 3:
        luma[x] = Luma(row[0], row[1], row[2]);
        break;
      default:
        luma[x] =
            Luma(OverWhite(row[0], row[3]), OverWhite(row[1], row[3]), OverWhite(row[2], row[3]));
        break;
    }
  }
}

// libpng, like libjpeg below, reports errors by jumping back to the setjmp of the step
// running; the steps hold no C++ objects, so nothing is skipped.
struct PngJob {
  png_structp png = nullptr;
  png_infop info = nullptr;
  const uint8_t* data = nullptr;
  size_t size = 0;
  size_t offset = 0;
  char message[256] = {};
  uint32_t width = 0;
  uint32_t height = 0;
  int passes = 1;
  int channels = 0;
  int orientation = 1;
  uint8_t* rows = nullptr;  // one row, or every row of an interlaced file
  uint8_t* luma = nullptr;  // width * height bytes
};

PngJob* JobOf(png_structp png) {
  return static_cast<PngJob*>(png_get_error_ptr(png));
}

[[noreturn]] void OnPngError(png_structp png, png_const_charp message) {
  std::snprintf(JobOf(png)->message, sizeof JobOf(png)->message, "%s", message);
  png_longjmp(png, 1);
}

void OnPngWarning(png_structp, png_const_charp) {}

void ReadPngBytes(png_structp png, png_bytep into, size_t length) {
  PngJob* job = JobOf(png);
  if (length > job->size - job->offset)
    png_error(png, "the file ends before the picture does");
  std::memcpy(into, job->data + job->offset, length);
  job->offset += length;
}

bool ReadPngInfo(PngJob* job) {
  if (setjmp(png_jmpbuf(job->png)))
    return false;
  png_set_read_fn(job->png, nullptr, ReadPngBytes);
  png_read_info(job->png, job->info);
  job->width = png_get_image_width(job->png, job->info);
  job->height = png_get_image_height(job->png, job->info);
  // Only an eXIf chunk before the pixel data counts, as in browsers.
  png_uint_32 exifSize = 0;
  png_bytep exif = nullptr;
  if (png_get_eXIf_1(job->png, job->info, &exifSize, &exif) != 0 && exif != nullptr)
    job->orientation = ExifOrientation(exif, exifSize);
  return true;
}

// Every layout becomes 8-bit grey or RGB, with alpha where the file has transparency. Rows of
// 16-bit files are rounded to the nearest 8-bit value (v / 257), and interlaced files are
// assembled by libpng pass by pass.
bool SetPngTransforms(PngJob* job) {
  if (setjmp(png_jmpbuf(job->png)))
    return false;
  png_set_expand(job->png);
  if (png_get_bit_depth(job->png, job->info) == 16)
    png_set_scale_16(job->png);
  job->passes = png_set_interlace_handling(job->png);
  png_read_update_info(job->png, job->info);
  job->channels = png_get_channels(job->png, job->info);
  if (png_get_bit_depth(job->png, job->info) != 8 || job->channels < 1 || job->channels > 4 ||
      png_get_rowbytes(job->png, job->info) != size_t{job->width} * job->channels)
    png_error(job->png, "unexpected colour layout");
  return true;
}

bool ReadPngPixels(PngJob* job) {
  if (setjmp(png_jmpbuf(job->png)))
    return false;
  const size_t rowBytes = size_t{job->width} * job->channels;
  const bool interlaced = job->passes > 1;
  for (int pass = 0; pass < job->passes; ++pass) {
    for (uint32_t y = 0; y < job->height; ++y) {
      uint8_t* row = interlaced ? job->rows + y * rowBytes : job->rows;
      png_read_row(job->png, row, nullptr);
      if (!interlaced)
        LumaOfRow(row, job->channels, job->width, job->luma + size_t{y} * job->width);
    }
  }
  if (interlaced) {
    for (uint32_t y = 0; y < job->height; ++y)
      LumaOfRow(job->rows + y * rowBytes, job->channels, job->width,
                job->luma + size_t{y} * job->width);
  }
  return true;
}

Outcome DecodePng(const uint8_t* data, size_t size, GreyPicture& out) {
  PngJob job;
  job.data = data;
  job.size = size;
  job.png = png_create_read_struct(PNG_LIBPNG_VER_STRING, &job, OnPngError, OnPngWarning);
  if (job.png == nullptr)
    return Outcome::Fail(Code::kNoMemory);
  struct Destroy {
    PngJob* job;
    ~Destroy() { png_destroy_read_struct(&job->png, &job->info, nullptr); }
  } destroy{&job};
  job.info = png_create_info_struct(job.png);
  if (job.info == nullptr)
    return Outcome::Fail(Code::kNoMemory);

  if (!ReadPngInfo(&job))
    return Outcome::Fail(Code::kBadPicture).With(job.message);
  if (Outcome checked = CheckPictureSize(job.width, job.height); !checked)
    return checked;
  if (!SetPngTransforms(&job))
    return Outcome::Fail(Code::kBadPicture).With(job.message);
  const size_t pixels = size_t{job.width} * job.height;
  std::vector<uint8_t> rows;
  try {
    rows.resize(size_t{job.width} * job.channels * (job.passes > 1 ? job.height : 1));
    out.luma.resize(pixels);
  } catch (const std::bad_alloc&) {
    out.luma.clear();
    return Outcome::Fail(Code::kNoMemory);
  }
  job.rows = rows.data();
  job.luma = out.luma.data();
  if (!ReadPngPixels(&job)) {
    out.luma.clear();
    return Outcome::Fail(Code::kBadPicture).With(job.message);
  }
  out.width = static_cast<int32_t>(job.width);
  out.height = static_cast<int32_t>(job.height);
  return OrientPicture(out, job.orientation);
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

// Warnings are ignored but for a file that ends early, with its end marker or without:
// libjpeg would finish the picture in grey.
void OnJpegMessage(j_common_ptr info, int level) {
  const int code = info->err->msg_code;
  if (level < 0 && (code == JWRN_JPEG_EOF || code == JWRN_HIT_MARKER)) {
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
  return OrientPicture(out, JpegOrientation(data, size));
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

Outcome OrientPicture(GreyPicture& picture, int orientation) {
  if (orientation < 2 || orientation > 8)
    return Outcome::Ok();
  const ptrdiff_t w = picture.width, h = picture.height;
  const ptrdiff_t last = (h - 1) * w;  // the first pixel of the stored bottom row
  struct Walk {
    ptrdiff_t first, acrossX, acrossY;
  };
  const Walk walks[9] = {{},
                         {0, 1, w},
                         {w - 1, -1, w},          // mirrored left to right
                         {last + w - 1, -1, -w},  // turned half round
                         {last, 1, -w},           // mirrored top to bottom
                         {0, w, 1},               // mirrored along the diagonal
                         {last, -w, 1},           // turned a quarter clockwise
                         {last + w - 1, -w, -1},  // mirrored along the other diagonal
                         {w - 1, w, -1}};         // turned a quarter anticlockwise
  const Walk& walk = walks[orientation];
  const bool swapped = orientation >= 5;
  const ptrdiff_t width = swapped ? h : w, height = swapped ? w : h;
  std::vector<uint8_t> shown;
  try {
    shown.resize(picture.luma.size());
  } catch (const std::bad_alloc&) {
    picture = GreyPicture();
    return Outcome::Fail(Code::kNoMemory);
  }
  // Shown pixel (x, y) is stored pixel first + x * acrossX + y * acrossY. Mirrored rows are
  // copied whole; a quarter turn walks the stored picture down its columns, in tiles that keep
  // the rows it touches in the cache.
  if (!swapped) {
    for (ptrdiff_t y = 0; y < height; ++y) {
      const uint8_t* from = picture.luma.data() + walk.first + y * walk.acrossY;
      uint8_t* to = shown.data() + y * width;
      if (walk.acrossX == 1)
        std::copy(from, from + width, to);
      else
        std::reverse_copy(from - (width - 1), from + 1, to);
    }
  } else {
    constexpr ptrdiff_t kTile = 64;
    for (ptrdiff_t top = 0; top < height; top += kTile) {
      for (ptrdiff_t left = 0; left < width; left += kTile) {
        const ptrdiff_t bottom = std::min(top + kTile, height);
        const ptrdiff_t right = std::min(left + kTile, width);
        for (ptrdiff_t y = top; y < bottom; ++y) {
          const uint8_t* from = picture.luma.data() + walk.first + y * walk.acrossY;
          uint8_t* to = shown.data() + y * width;
          for (ptrdiff_t x = left; x < right; ++x)
            to[x] = from[x * walk.acrossX];
        }
      }
    }
  }
  picture.luma = std::move(shown);
  picture.width = static_cast<int32_t>(width);
  picture.height = static_cast<int32_t>(height);
  return Outcome::Ok();
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
