#include "io/print_sheets.h"

#include <cairo-pdf.h>
#include <cairo.h>
#include <png.h>

#include <algorithm>
#include <bit>
#include <cctype>
#include <charconv>
#include <cmath>
#include <csetjmp>
#include <memory>
#include <new>

#include "core/atomic_file.h"
#include "core/share_set_writer.h"
#include "core/shared_library.h"

namespace quillon {
namespace {

const Paper kPapers[] = {
    {"a0", 841, 1189},        {"a1", 594, 841},        {"a2", 420, 594},
    {"a3", 297, 420},         {"a4", 210, 297},        {"a5", 148, 210},
    {"letter", 215.9, 279.4}, {"legal", 215.9, 355.6}, {"tabloid", 279.4, 431.8},
};

constexpr double kPointsPerMm = 72 / 25.4;
// What surrounds an image: the marks on every side, and below them the label.
constexpr double kAroundMm = kMarkOffsetMm + kMarkArmMm;
constexpr double kLabelSizeMm = 2.5;
constexpr double kLabelGapMm = 2;
constexpr double kBelowMm = kAroundMm + kLabelGapMm + kLabelSizeMm;
constexpr double kGapBetweenMm = 4;
constexpr double kMarkLineMm = 0.2;
// Slack for comparing sums of millimetres.
constexpr double kEpsilonMm = 1e-9;

bool Within(double value, double low, double high) {
  return value >= low && value <= high;  // false for NaN
}

std::optional<double> ParseMm(std::string_view text) {
  if (text.empty() || !(std::isdigit(static_cast<unsigned char>(text[0])) || text[0] == '.'))
    return std::nullopt;
  double value = 0;
  auto [end, error] =
      std::from_chars(text.data(), text.data() + text.size(), value, std::chars_format::fixed);
  if (error != std::errc() || end != text.data() + text.size())
    return std::nullopt;
  return value;
}

struct Extent {
  double widthMm;
  double heightMm;
};

// The room a group of sheets takes on one page: side by side, images aligned at the top.
Extent GroupExtent(const std::vector<PrintSheet>& sheets, size_t first, size_t count,
                   double pixelMm) {
  Extent extent{0, 0};
  for (size_t i = first; i < first + count; ++i) {
    extent.widthMm += sheets[i].image->Width() * pixelMm + 2 * kAroundMm;
    extent.heightMm =
        std::max(extent.heightMm, sheets[i].image->Height() * pixelMm + kAroundMm + kBelowMm);
  }
  extent.widthMm += kGapBetweenMm * static_cast<double>(count - 1);
  return extent;
}

// The largest pixel side with which the group fits the room, or 0.
double LargestPixelMm(const std::vector<PrintSheet>& sheets, size_t first, size_t count,
                      double roomWidthMm, double roomHeightMm) {
  double pixelsWide = 0, pixelsHigh = 0;
  for (size_t i = first; i < first + count; ++i) {
    pixelsWide += sheets[i].image->Width();
    pixelsHigh = std::max<double>(pixelsHigh, sheets[i].image->Height());
  }
  const double fixedWide =
      static_cast<double>(count) * 2 * kAroundMm + kGapBetweenMm * static_cast<double>(count - 1);
  const double byWidth = (roomWidthMm - fixedWide) / pixelsWide;
  const double byHeight = (roomHeightMm - kAroundMm - kBelowMm) / pixelsHigh;
  return std::max(0.0, std::floor(std::min(byWidth, byHeight) * 100) / 100);
}

// The whole multiple of step nearest to ideal that is at least low and at most high.
std::optional<double> SnapWithin(double ideal, double step, double low, double high) {
  const double lowest = std::ceil(low / step - kEpsilonMm);
  const double highest = std::floor(high / step + kEpsilonMm);
  if (lowest > highest)
    return std::nullopt;
  return std::clamp(std::round(ideal / step), lowest, highest) * step;
}

// Places one page's group, centred. Image corners go on whole multiples of the pixel side
// where the room allows it, so that pixels line up with a printer's dots; else exactly centred.
void PlaceGroup(const std::vector<PrintSheet>& sheets, size_t first, size_t count,
                const Extent& extent, const PrintOptions& options, int page,
                std::vector<PlacedShare>& placed) {
  const double pixel = options.pixelMm;
  const Paper& paper = options.paper;
  const double centredY = (paper.heightMm - extent.heightMm) / 2 + kAroundMm;
  const double y = SnapWithin(centredY, pixel, kPrintMarginMm + kAroundMm,
                              paper.heightMm - kPrintMarginMm - extent.heightMm + kAroundMm)
                       .value_or(centredY);
  std::vector<double> centred, snapped;
  double x = (paper.widthMm - extent.widthMm) / 2 + kAroundMm;
  double leftmost = kPrintMarginMm + kAroundMm;
  bool fits = true;
  for (size_t i = first; i < first + count; ++i) {
    const double width = sheets[i].image->Width() * pixel;
    centred.push_back(x);
    const auto at =
        SnapWithin(x, pixel, leftmost, paper.widthMm - kPrintMarginMm - kAroundMm - width);
    fits = fits && at.has_value();
    snapped.push_back(at.value_or(x));
    leftmost = snapped.back() + width + 2 * kAroundMm + kGapBetweenMm;
    x += width + 2 * kAroundMm + kGapBetweenMm;
  }
  for (size_t i = 0; i < count; ++i)
    placed.push_back({page, fits ? snapped[i] : centred[i], y});
}

// UTF-8 sequences: the range of a lead byte's first continuation byte (Unicode's table of
// well-formed sequences), and how many continuation bytes follow it.
struct Lead {
  int continuations;
  unsigned char low, high;
};

std::optional<Lead> LeadOf(unsigned char byte) {
  if (byte >= 0xC2 && byte <= 0xDF)
    return Lead{1, 0x80, 0xBF};
  if (byte == 0xE0)
    return Lead{2, 0xA0, 0xBF};
  if (byte == 0xED)  // past it lie the surrogates
    return Lead{2, 0x80, 0x9F};
  if (byte >= 0xE1 && byte <= 0xEF)
    return Lead{2, 0x80, 0xBF};
  if (byte == 0xF0)
    return Lead{3, 0x90, 0xBF};
  if (byte >= 0xF1 && byte <= 0xF3)
    return Lead{3, 0x80, 0xBF};
  if (byte == 0xF4)  // past U+10FFFF otherwise
    return Lead{3, 0x80, 0x8F};
  return std::nullopt;
}

bool Printable(char32_t code) {
  return !(code < 0x20 || (code >= 0x7F && code < 0xA0) || code == 0xFFFE || code == 0xFFFF);
}

// ---- PDF ----

// Cairo's functions the PDF writer uses. Cairo, with the fonts and X libraries it brings, is
// loaded on the first PDF written, so that no other command pays for loading it.
struct CairoFunctions {
  decltype(&::cairo_create) create = nullptr;
  decltype(&::cairo_destroy) destroy = nullptr;
  decltype(&::cairo_image_surface_create) imageSurfaceCreate = nullptr;
  decltype(&::cairo_image_surface_get_data) imageSurfaceGetData = nullptr;
  decltype(&::cairo_image_surface_get_stride) imageSurfaceGetStride = nullptr;
  decltype(&::cairo_line_to) lineTo = nullptr;
  decltype(&::cairo_mask) mask = nullptr;
  decltype(&::cairo_move_to) moveTo = nullptr;
  decltype(&::cairo_new_path) newPath = nullptr;
  decltype(&::cairo_pattern_create_for_surface) patternCreateForSurface = nullptr;
  decltype(&::cairo_pattern_destroy) patternDestroy = nullptr;
  decltype(&::cairo_pattern_set_filter) patternSetFilter = nullptr;
  decltype(&::cairo_pdf_surface_create_for_stream) pdfSurfaceCreateForStream = nullptr;
  decltype(&::cairo_pdf_surface_set_metadata) pdfSurfaceSetMetadata = nullptr;
  decltype(&::cairo_restore) restore = nullptr;
  decltype(&::cairo_save) save = nullptr;
  decltype(&::cairo_scale) scale = nullptr;
  decltype(&::cairo_select_font_face) selectFontFace = nullptr;
  decltype(&::cairo_set_font_size) setFontSize = nullptr;
  decltype(&::cairo_set_line_width) setLineWidth = nullptr;
  decltype(&::cairo_set_source_rgb) setSourceRgb = nullptr;
  decltype(&::cairo_show_page) showPage = nullptr;
  decltype(&::cairo_show_text) showText = nullptr;
  decltype(&::cairo_status) status = nullptr;
  decltype(&::cairo_status_to_string) statusToString = nullptr;
  decltype(&::cairo_stroke) stroke = nullptr;
  decltype(&::cairo_surface_destroy) surfaceDestroy = nullptr;
  decltype(&::cairo_surface_finish) surfaceFinish = nullptr;
  decltype(&::cairo_surface_flush) surfaceFlush = nullptr;
  decltype(&::cairo_surface_mark_dirty) surfaceMarkDirty = nullptr;
  decltype(&::cairo_surface_status) surfaceStatus = nullptr;
  decltype(&::cairo_translate) translate = nullptr;
  std::string error;  // why Cairo could not be loaded; empty once it is
};

// Loaded on first use; WritePdfPages checks error before anything is drawn.
const CairoFunctions& Cairo() {
  static const CairoFunctions cairo = [] {
    static SharedLibrary library("libcairo.so.2");
    CairoFunctions c;
    const bool bound =
        library.Bind(c.create, "cairo_create") && library.Bind(c.destroy, "cairo_destroy") &&
        library.Bind(c.imageSurfaceCreate, "cairo_image_surface_create") &&
        library.Bind(c.imageSurfaceGetData, "cairo_image_surface_get_data") &&
        library.Bind(c.imageSurfaceGetStride, "cairo_image_surface_get_stride") &&
        library.Bind(c.lineTo, "cairo_line_to") && library.Bind(c.mask, "cairo_mask") &&
        library.Bind(c.moveTo, "cairo_move_to") && library.Bind(c.newPath, "cairo_new_path") &&
        library.Bind(c.patternCreateForSurface, "cairo_pattern_create_for_surface") &&
        library.Bind(c.patternDestroy, "cairo_pattern_destroy") &&
        library.Bind(c.patternSetFilter, "cairo_pattern_set_filter") &&
        library.Bind(c.pdfSurfaceCreateForStream, "cairo_pdf_surface_create_for_stream") &&
        library.Bind(c.pdfSurfaceSetMetadata, "cairo_pdf_surface_set_metadata") &&
        library.Bind(c.restore, "cairo_restore") && library.Bind(c.save, "cairo_save") &&
        library.Bind(c.scale, "cairo_scale") &&
        library.Bind(c.selectFontFace, "cairo_select_font_face") &&
        library.Bind(c.setFontSize, "cairo_set_font_size") &&
        library.Bind(c.setLineWidth, "cairo_set_line_width") &&
        library.Bind(c.setSourceRgb, "cairo_set_source_rgb") &&
        library.Bind(c.showPage, "cairo_show_page") &&
        library.Bind(c.showText, "cairo_show_text") && library.Bind(c.status, "cairo_status") &&
        library.Bind(c.statusToString, "cairo_status_to_string") &&
        library.Bind(c.stroke, "cairo_stroke") &&
        library.Bind(c.surfaceDestroy, "cairo_surface_destroy") &&
        library.Bind(c.surfaceFinish, "cairo_surface_finish") &&
        library.Bind(c.surfaceFlush, "cairo_surface_flush") &&
        library.Bind(c.surfaceMarkDirty, "cairo_surface_mark_dirty") &&
        library.Bind(c.surfaceStatus, "cairo_surface_status") &&
        library.Bind(c.translate, "cairo_translate");
    if (!bound)
      c.error = "cannot load Cairo: " + library.Error();
    return c;
  }();
  return cairo;
}

struct SurfaceDestroyer {
  void operator()(cairo_surface_t* surface) const { Cairo().surfaceDestroy(surface); }
};
using Surface = std::unique_ptr<cairo_surface_t, SurfaceDestroyer>;

struct PatternDestroyer {
  void operator()(cairo_pattern_t* pattern) const { Cairo().patternDestroy(pattern); }
};

struct ContextDestroyer {
  void operator()(cairo_t* cr) const { Cairo().destroy(cr); }
};

// Where a surface's bytes go, and what the file said when a write failed.
struct SurfaceOutput {
  WritableFile* file;
  Outcome failure;
};

cairo_status_t WriteToFile(void* closure, const unsigned char* data, unsigned int length) {
  auto* output = static_cast<SurfaceOutput*>(closure);
  if (Outcome written = output->file->Append(data, length); !written) {
    output->failure = std::move(written);
    return CAIRO_STATUS_WRITE_ERROR;
  }
  return CAIRO_STATUS_SUCCESS;
}

// Why drawing share stopped: the file's words when a write failed, else Cairo's.
Outcome DrawingFailure(cairo_status_t status, const SurfaceOutput& output, int share) {
  if (!output.failure)
    return output.failure;
  if (status == CAIRO_STATUS_NO_MEMORY)
    return Outcome::Fail(Code::kNoMemory).At(share);
  return Outcome::Fail(Code::kCannotDraw).At(share).With(Cairo().statusToString(status));
}

uint8_t ReversedBits(uint8_t byte) {
  byte = static_cast<uint8_t>((byte & 0xF0) >> 4 | (byte & 0x0F) << 4);
  byte = static_cast<uint8_t>((byte & 0xCC) >> 2 | (byte & 0x33) << 2);
  return static_cast<uint8_t>((byte & 0xAA) >> 1 | (byte & 0x55) << 1);
}

// The share's two-colour view as a 1-bit alpha surface: black opaque, white clear, the top
// row first. Cairo packs A1 pixels in native-endian words, so on a little-endian machine a
// byte's first pixel is its lowest bit.
Surface ShareMask(const BmpImage& image) {
  const int32_t width = image.Width();
  const int32_t height = image.Height();
  Surface mask(Cairo().imageSurfaceCreate(CAIRO_FORMAT_A1, width, height));
  if (Cairo().surfaceStatus(mask.get()) != CAIRO_STATUS_SUCCESS)
    return mask;
  Cairo().surfaceFlush(mask.get());
  unsigned char* data = Cairo().imageSurfaceGetData(mask.get());
  const int stride = Cairo().imageSurfaceGetStride(mask.get());
  const size_t bytes = (static_cast<size_t>(width) + 7) / 8;
  const auto last = static_cast<uint8_t>(width % 8 == 0 ? 0xFF : 0xFF << (8 - width % 8));
  std::vector<uint8_t> white(bytes);
  for (int32_t y = 0; y < height; ++y) {
    image.WhiteRow(height - 1 - y, white.data());
    unsigned char* out = data + static_cast<size_t>(y) * stride;
    for (size_t b = 0; b < bytes; ++b) {
      auto opaque = static_cast<uint8_t>(~white[b] & (b + 1 == bytes ? last : 0xFF));
      out[b] = std::endian::native == std::endian::little ? ReversedBits(opaque) : opaque;
    }
  }
  Cairo().surfaceMarkDirty(mask.get());
  return mask;
}

void DrawMarksAndLabel(cairo_t* cr, const PrintSheet& sheet, const PlacedShare& place,
                       double pixelMm) {
  const double left = place.xMm - kMarkOffsetMm;
  const double top = place.yMm - kMarkOffsetMm;
  const double right = place.xMm + sheet.image->Width() * pixelMm + kMarkOffsetMm;
  const double bottom = place.yMm + sheet.image->Height() * pixelMm + kMarkOffsetMm;
  Cairo().setSourceRgb(cr, 0, 0, 0);
  Cairo().setLineWidth(cr, kMarkLineMm);
  for (double cx : {left, right}) {
    for (double cy : {top, bottom}) {
      Cairo().moveTo(cr, cx - kMarkArmMm, cy);
      Cairo().lineTo(cr, cx + kMarkArmMm, cy);
      Cairo().moveTo(cr, cx, cy - kMarkArmMm);
      Cairo().lineTo(cr, cx, cy + kMarkArmMm);
    }
  }
  Cairo().stroke(cr);

  Cairo().selectFontFace(cr, "sans-serif", CAIRO_FONT_SLANT_NORMAL, CAIRO_FONT_WEIGHT_NORMAL);
  Cairo().setFontSize(cr, kLabelSizeMm);
  Cairo().moveTo(cr, place.xMm, bottom + kMarkArmMm + kLabelGapMm + kLabelSizeMm * 0.8);
  Cairo().showText(cr, PrintableText(sheet.label).c_str());
  Cairo().newPath(cr);
}

// One share: its image in black through its own 1-bit mask, scaled to the pixel side and
// sampled without smoothing, so every share pixel stays one sharp square. The image is inset
// by a sliver far below any printer's dot: renderers that paint every dot an image touches
// (poppler does) would otherwise add a dot row and column where its edge falls on a dot's edge.
void DrawSheet(cairo_t* cr, const PrintSheet& sheet, const PlacedShare& place, double pixelMm) {
  constexpr double kInsetMm = 0.0005;
  const BmpImage& image = *sheet.image;
  Surface mask = ShareMask(image);
  std::unique_ptr<cairo_pattern_t, PatternDestroyer> pattern(
      Cairo().patternCreateForSurface(mask.get()));
  Cairo().patternSetFilter(pattern.get(), CAIRO_FILTER_NEAREST);
  Cairo().save(cr);
  Cairo().translate(cr, place.xMm + kInsetMm, place.yMm + kInsetMm);
  Cairo().scale(cr, (image.Width() * pixelMm - 2 * kInsetMm) / image.Width(),
                (image.Height() * pixelMm - 2 * kInsetMm) / image.Height());
  Cairo().setSourceRgb(cr, 0, 0, 0);
  Cairo().mask(cr, pattern.get());
  Cairo().restore(cr);
  DrawMarksAndLabel(cr, sheet, place, pixelMm);
}

Outcome WritePdfPages(const std::vector<PrintSheet>& sheets, const PrintLayout& layout,
                      WritableFile& file) {
  if (const std::string& error = Cairo().error; !error.empty())
    return Outcome::Fail(Code::kCannotDraw).At(0).With(error);
  SurfaceOutput output{&file, Outcome::Ok()};
  const Paper& paper = layout.options.paper;
  Surface surface(Cairo().pdfSurfaceCreateForStream(
      WriteToFile, &output, paper.widthMm * kPointsPerMm, paper.heightMm * kPointsPerMm));
  Cairo().pdfSurfaceSetMetadata(surface.get(), CAIRO_PDF_METADATA_CREATOR, "quillon-cli");
  int lastShare = 0;
  for (int page = 0; page < layout.pages; ++page) {
    std::unique_ptr<cairo_t, ContextDestroyer> cr(Cairo().create(surface.get()));
    Cairo().scale(cr.get(), kPointsPerMm, kPointsPerMm);
    for (size_t i = 0; i < sheets.size(); ++i) {
      if (layout.shares[i].page != page)
        continue;
      lastShare = static_cast<int>(i);
      DrawSheet(cr.get(), sheets[i], layout.shares[i], layout.options.pixelMm);
      if (cairo_status_t status = Cairo().status(cr.get()); status != CAIRO_STATUS_SUCCESS)
        return DrawingFailure(status, output, lastShare);
    }
    Cairo().showPage(cr.get());
    if (cairo_status_t status = Cairo().status(cr.get()); status != CAIRO_STATUS_SUCCESS)
      return DrawingFailure(status, output, lastShare);
  }
  Cairo().surfaceFinish(surface.get());
  if (cairo_status_t status = Cairo().surfaceStatus(surface.get()); status != CAIRO_STATUS_SUCCESS)
    return DrawingFailure(status, output, lastShare);
  return output.failure;
}

// ---- SVG ----

// A number of millimetres as SVG takes it, whatever the locale.
std::string Number(double value) {
  char text[64];
  auto [end, error] = std::to_chars(text, text + sizeof text, value, std::chars_format::fixed, 6);
  if (error != std::errc())
    return "0";
  std::string number(text, end);
  while (number.back() == '0')
    number.pop_back();
  if (number.back() == '.')
    number.pop_back();
  return number;
}

void Append(std::string& text, std::initializer_list<std::string_view> parts) {
  for (std::string_view part : parts)
    text += part;
}

std::string XmlEscaped(std::string_view text) {
  std::string escaped;
  for (char c : text) {
    switch (c) {
      case '&':
        escaped += "&amp;";
        break;
      case '<':
        escaped += "&lt;";
        break;
      case '>':
        escaped += "&gt;";
        break;
      case '"':
        escaped += "&quot;";
        break;
      default:
        escaped += c;
    }
  }
  return escaped;
}

void AppendBase64(std::string& out, const std::vector<uint8_t>& bytes) {
  static constexpr char kDigits[] =
      "ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz0123456789+/";
  size_t i = 0;
  for (; i + 2 < bytes.size(); i += 3) {
    const uint32_t v = bytes[i] << 16 | bytes[i + 1] << 8 | bytes[i + 2];
    for (int shift : {18, 12, 6, 0})
      out += kDigits[(v >> shift) & 63];
  }
  if (const size_t left = bytes.size() - i; left > 0) {
    const uint32_t v = bytes[i] << 16 | (left == 2 ? bytes[i + 1] << 8 : 0);
    out += kDigits[(v >> 18) & 63];
    out += kDigits[(v >> 12) & 63];
    out += left == 2 ? kDigits[(v >> 6) & 63] : '=';
    out += '=';
  }
}

// Rows [first, first + count) of a share (0 at the top) as a 1-bit greyscale PNG whose white
// is transparent, so that stacked pages cover only where the share is black.
struct PngStrip {
  const BmpImage* image;
  int32_t first;
  int32_t count;
  uint8_t* row;               // (width + 7) / 8 bytes
  std::vector<uint8_t>* out;  // the encoded file
};

void OnPngError(png_structp png, png_const_charp) {
  png_longjmp(png, 1);
}

void OnPngWarning(png_structp, png_const_charp) {}

// Kept apart from OnPngWrite, so that no C++ object lives in a frame that libpng leaves
// through longjmp.
bool AppendToBuffer(std::vector<uint8_t>* out, const uint8_t* data, size_t length) {
  try {
    out->insert(out->end(), data, data + length);
    return true;
  } catch (const std::bad_alloc&) {
    return false;
  }
}

void OnPngWrite(png_structp png, png_bytep data, size_t length) {
  if (!AppendToBuffer(static_cast<PngStrip*>(png_get_io_ptr(png))->out, data, length))
    png_error(png, "out of memory");
}

void OnPngFlush(png_structp) {}

// libpng leaves through longjmp on errors; this frame holds no C++ objects.
bool EncodeStrip(PngStrip* strip, png_structp png, png_infop info) {
  if (setjmp(png_jmpbuf(png)))
    return false;
  const BmpImage& image = *strip->image;
  png_set_write_fn(png, strip, OnPngWrite, OnPngFlush);
  png_set_IHDR(png, info, static_cast<png_uint_32>(image.Width()),
               static_cast<png_uint_32>(strip->count), 1, PNG_COLOR_TYPE_GRAY, PNG_INTERLACE_NONE,
               PNG_COMPRESSION_TYPE_DEFAULT, PNG_FILTER_TYPE_DEFAULT);
  png_color_16 clear{};
  clear.gray = 1;
  png_set_tRNS(png, info, nullptr, 0, &clear);
  png_write_info(png, info);
  for (int32_t y = strip->first; y < strip->first + strip->count; ++y) {
    image.WhiteRow(image.Height() - 1 - y, strip->row);
    png_write_row(png, strip->row);
  }
  png_write_end(png, info);
  return true;
}

bool EncodePngStrip(const BmpImage& image, int32_t first, int32_t count,
                    std::vector<uint8_t>& out) {
  out.clear();
  std::vector<uint8_t> row((static_cast<size_t>(image.Width()) + 7) / 8);
  PngStrip strip{&image, first, count, row.data(), &out};
  png_structp png =
      png_create_write_struct(PNG_LIBPNG_VER_STRING, nullptr, OnPngError, OnPngWarning);
  png_infop info = png != nullptr ? png_create_info_struct(png) : nullptr;
  const bool encoded = info != nullptr && EncodeStrip(&strip, png, info);
  png_destroy_write_struct(&png, &info);
  return encoded;
}

// Pixels per embedded PNG: a data address stays a few megabytes, far below the 10 MB that
// XML parsers such as libxml2 take in one attribute. Larger shares are drawn as strips.
constexpr int64_t kStripPixels = int64_t{1} << 24;

// One share's images, crosses and label as SVG elements, appended to file as they are made.
Outcome WriteSvgSheet(WritableFile& file, const PrintSheet& sheet, const PlacedShare& place,
                      double pixelMm, int share) {
  const BmpImage& image = *sheet.image;
  const int32_t rowsPerStrip =
      static_cast<int32_t>(std::clamp<int64_t>(kStripPixels / image.Width(), 1, image.Height()));
  std::string text;
  std::vector<uint8_t> png;
  for (int32_t first = 0; first < image.Height(); first += rowsPerStrip) {
    const int32_t count = std::min(rowsPerStrip, image.Height() - first);
    if (!EncodePngStrip(image, first, count, png))
      return Outcome::Fail(Code::kNoMemory).At(share);
    text = "<image x=\"" + Number(place.xMm) + "\" y=\"" + Number(place.yMm + first * pixelMm) +
           "\" width=\"" + Number(image.Width() * pixelMm) + "\" height=\"" +
           Number(count * pixelMm) +
           "\" preserveAspectRatio=\"none\" image-rendering=\"optimizeSpeed\" "
           "style=\"image-rendering:pixelated\" xlink:href=\"data:image/png;base64,";
    AppendBase64(text, png);
    text += "\"/>\n";
    if (Outcome written = file.Append(text.data(), text.size()); !written)
      return written;
  }

  const double left = place.xMm - kMarkOffsetMm;
  const double top = place.yMm - kMarkOffsetMm;
  const double right = place.xMm + image.Width() * pixelMm + kMarkOffsetMm;
  const double bottom = place.yMm + image.Height() * pixelMm + kMarkOffsetMm;
  text = "<path fill=\"none\" stroke=\"black\" stroke-width=\"" + Number(kMarkLineMm) + "\" d=\"";
  for (double cx : {left, right}) {
    for (double cy : {top, bottom}) {
      Append(text, {"M", Number(cx - kMarkArmMm), " ", Number(cy), "h", Number(2 * kMarkArmMm), "M",
                    Number(cx), " ", Number(cy - kMarkArmMm), "v", Number(2 * kMarkArmMm)});
    }
  }
  text += "\"/>\n<text x=\"" + Number(place.xMm) + "\" y=\"" +
          Number(bottom + kMarkArmMm + kLabelGapMm + kLabelSizeMm * 0.8) +
          "\" font-family=\"sans-serif\" font-size=\"" + Number(kLabelSizeMm) +
          "\" xml:space=\"preserve\">" + XmlEscaped(PrintableText(sheet.label)) + "</text>\n";
  return file.Append(text.data(), text.size());
}

// The page in millimetres: its size is the paper's, and one user unit is one millimetre.
Outcome WriteSvgPage(const std::vector<PrintSheet>& sheets, const PrintLayout& layout, int page,
                     WritableFile& file, int& failedShare) {
  const Paper& paper = layout.options.paper;
  const std::string width = Number(paper.widthMm), height = Number(paper.heightMm);
  const std::string head =
      "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n"
      "<svg xmlns=\"http://www.w3.org/2000/svg\" xmlns:xlink=\"http://www.w3.org/1999/xlink\" "
      "version=\"1.1\" width=\"" +
      width + "mm\" height=\"" + height + "mm\" viewBox=\"0 0 " + width + " " + height + "\">\n";
  if (Outcome written = file.Append(head.data(), head.size()); !written)
    return written;
  for (size_t i = 0; i < sheets.size(); ++i) {
    if (layout.shares[i].page != page)
      continue;
    Outcome written;
    try {
      written = WriteSvgSheet(file, sheets[i], layout.shares[i], layout.options.pixelMm,
                              static_cast<int>(i));
    } catch (const std::bad_alloc&) {
      written = Outcome::Fail(Code::kNoMemory).At(static_cast<int>(i));
    }
    if (!written) {
      failedShare = written.index;
      return written;
    }
  }
  static constexpr char kTail[] = "</svg>\n";
  return file.Append(kTail, sizeof kTail - 1);
}

}  // namespace

std::optional<Paper> FindPaper(std::string_view name) {
  std::string lower(name);
  for (char& c : lower)
    c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
  for (const Paper& paper : kPapers) {
    if (lower == paper.name)
      return paper;
  }
  const size_t cross = name.find_first_of("xX");
  if (cross == std::string_view::npos)
    return std::nullopt;
  const auto width = ParseMm(name.substr(0, cross));
  const auto height = ParseMm(name.substr(cross + 1));
  if (!width || !height || !Within(*width, kMinPaperMm, kMaxPaperMm) ||
      !Within(*height, kMinPaperMm, kMaxPaperMm)) {
    return std::nullopt;
  }
  return Paper{Number(*width) + "x" + Number(*height) + " mm", *width, *height};
}

std::string PrintableText(std::string_view text) {
  static constexpr char kReplacement[] = "\xEF\xBF\xBD";
  std::string out;
  out.reserve(text.size());
  const auto byte = [&](size_t i) { return static_cast<unsigned char>(text[i]); };
  for (size_t at = 0; at < text.size();) {
    const unsigned char first = byte(at);
    if (first < 0x80) {
      if (Printable(first))
        out += static_cast<char>(first);
      else
        out += kReplacement;
      ++at;
      continue;
    }
    const std::optional<Lead> lead = LeadOf(first);
    size_t end = at + 1;
    bool whole = lead.has_value();
    char32_t code = whole ? first & (0x7F >> (lead->continuations + 1)) : 0;
    for (int k = 0; whole && k < lead->continuations; ++k, ++end) {
      const unsigned char low = k == 0 ? lead->low : 0x80, high = k == 0 ? lead->high : 0xBF;
      if (end >= text.size() || byte(end) < low || byte(end) > high) {
        whole = false;
        break;
      }
      code = code << 6 | (byte(end) & 0x3F);
    }
    if (whole && Printable(code))
      out.append(text.substr(at, end - at));
    else
      out += kReplacement;
    at = end;
  }
  return out;
}

Outcome LayOutPrint(const std::vector<PrintSheet>& sheets, const PrintOptions& options,
                    PrintLayout& layout) {
  layout = PrintLayout();
  layout.options = options;
  if (sheets.empty() || !Within(options.pixelMm, kMinPixelMm, kMaxPixelMm) ||
      !Within(options.paper.widthMm, kMinPaperMm, kMaxPaperMm) ||
      !Within(options.paper.heightMm, kMinPaperMm, kMaxPaperMm)) {
    return Outcome::Fail(Code::kBadParameters);
  }
  for (const PrintSheet& sheet : sheets) {
    if (sheet.image == nullptr || !sheet.image->HasPixels() || sheet.image->Width() <= 0 ||
        sheet.image->Height() <= 0) {
      return Outcome::Fail(Code::kBadParameters);
    }
  }
  const double roomWidth = options.paper.widthMm - 2 * kPrintMarginMm;
  const double roomHeight = options.paper.heightMm - 2 * kPrintMarginMm;
  const size_t perPage = options.samePage ? sheets.size() : 1;
  for (size_t first = 0; first < sheets.size(); first += perPage) {
    const Extent extent = GroupExtent(sheets, first, perPage, options.pixelMm);
    if (extent.widthMm > roomWidth + kEpsilonMm || extent.heightMm > roomHeight + kEpsilonMm) {
      const double fits = LargestPixelMm(sheets, first, perPage, roomWidth, roomHeight);
      layout.shares.clear();
      layout.pages = 0;
      layout.misfit = {extent.widthMm, extent.heightMm, roomWidth, roomHeight,
                       fits >= kMinPixelMm ? fits : 0};
      return Outcome::Fail(Code::kPrintTooLarge);
    }
    PlaceGroup(sheets, first, perPage, extent, options, layout.pages, layout.shares);
    ++layout.pages;
  }
  return Outcome::Ok();
}

Outcome WritePrintPdf(Env& env, const std::vector<PrintSheet>& sheets, const PrintLayout& layout,
                      const std::string& path) {
  if (layout.shares.size() != sheets.size())
    return Outcome::Fail(Code::kBadParameters, path);
  Outcome written = WriteFileAtomically(env, path, kPrivateFileMode, [&](WritableFile& file) {
    try {
      return WritePdfPages(sheets, layout, file);
    } catch (const std::bad_alloc&) {
      return Outcome::Fail(Code::kNoMemory);
    }
  });
  if (!written && written.file.empty())
    written.file = path;
  return written;
}

Outcome WritePrintSvg(Env& env, const std::vector<PrintSheet>& sheets, const PrintLayout& layout,
                      const std::vector<std::string>& paths) {
  if (layout.shares.size() != sheets.size() || paths.size() != static_cast<size_t>(layout.pages))
    return Outcome::Fail(Code::kBadParameters);
  // The pages are one set of shares: all are written or none.
  ShareSetWriter set(env);
  int failedShare = -1;
  for (int page = 0; page < layout.pages; ++page) {
    set.Add(paths[page], [&, page](WritableFile& file) {
      return WriteSvgPage(sheets, layout, page, file, failedShare);
    });
  }
  Outcome written = set.Write();
  // The set numbers its files; a drawing failure is about the share.
  if (!written && failedShare >= 0)
    written.index = failedShare;
  return written;
}

}  // namespace quillon
