#include "io/print_sheets.h"

#include <cairo-pdf.h>
#include <cairo-svg.h>
#include <cairo.h>

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <memory>

#include "core/atomic_file.h"
#include "core/share_set_writer.h"

namespace quillon {
namespace {

constexpr Paper kPapers[] = {{"a4", 210, 297}, {"letter", 215.9, 279.4}};

constexpr double kPointsPerMm = 72 / 25.4;
// What surrounds an image: the marks on every side, and below them the label.
constexpr double kAroundMm = kMarkOffsetMm + kMarkArmMm;
constexpr double kLabelSizeMm = 2.5;
constexpr double kLabelGapMm = 2;
constexpr double kBelowMm = kAroundMm + kLabelGapMm + kLabelSizeMm;
constexpr double kGapBetweenMm = 4;
constexpr double kMarkLineMm = 0.2;

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

// One share: its black pixels as rectangles, a row's neighbouring pixels merged into one,
// filled as one path so that no seams show between rows; then the crosses and the label.
void DrawSheet(cairo_t* cr, const PrintSheet& sheet, const PlacedShare& place, double pixelMm) {
  const BmpImage& image = *sheet.image;
  const int32_t width = image.Width();
  const int32_t height = image.Height();
  cairo_set_source_rgb(cr, 0, 0, 0);
  cairo_new_path(cr);
  for (int32_t y = 0; y < height; ++y) {
    const int32_t row = height - 1 - y;  // stored bottom row first
    int32_t x = 0;
    while (x < width) {
      if (image.GetPixel(row, x) != 'b') {
        ++x;
        continue;
      }
      const int32_t start = x;
      while (x < width && image.GetPixel(row, x) == 'b')
        ++x;
      cairo_rectangle(cr, place.xMm + start * pixelMm, place.yMm + y * pixelMm,
                      (x - start) * pixelMm, pixelMm);
    }
  }
  cairo_set_fill_rule(cr, CAIRO_FILL_RULE_WINDING);
  cairo_fill(cr);

  const double left = place.xMm - kMarkOffsetMm;
  const double top = place.yMm - kMarkOffsetMm;
  const double right = place.xMm + width * pixelMm + kMarkOffsetMm;
  const double bottom = place.yMm + height * pixelMm + kMarkOffsetMm;
  cairo_set_line_width(cr, kMarkLineMm);
  for (double cx : {left, right}) {
    for (double cy : {top, bottom}) {
      cairo_move_to(cr, cx - kMarkArmMm, cy);
      cairo_line_to(cr, cx + kMarkArmMm, cy);
      cairo_move_to(cr, cx, cy - kMarkArmMm);
      cairo_line_to(cr, cx, cy + kMarkArmMm);
    }
  }
  cairo_stroke(cr);

  cairo_select_font_face(cr, "sans-serif", CAIRO_FONT_SLANT_NORMAL, CAIRO_FONT_WEIGHT_NORMAL);
  cairo_set_font_size(cr, kLabelSizeMm);
  cairo_move_to(cr, place.xMm, bottom + kMarkArmMm + kLabelGapMm + kLabelSizeMm * 0.8);
  cairo_show_text(cr, sheet.label.c_str());
  cairo_new_path(cr);
}

void DrawPage(cairo_surface_t* surface, const std::vector<PrintSheet>& sheets,
              const PrintLayout& layout, int page) {
  cairo_t* cr = cairo_create(surface);
  cairo_scale(cr, kPointsPerMm, kPointsPerMm);
  for (size_t i = 0; i < sheets.size(); ++i) {
    if (layout.shares[i].page == page)
      DrawSheet(cr, sheets[i], layout.shares[i], layout.options.pixelMm);
  }
  cairo_show_page(cr);
  cairo_destroy(cr);
}

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

struct SurfaceDestroyer {
  void operator()(cairo_surface_t* surface) const { cairo_surface_destroy(surface); }
};
using Surface = std::unique_ptr<cairo_surface_t, SurfaceDestroyer>;

// Draws pages [first, last] onto the surface that make makes for the file and finishes it.
// A drawing failure is kCannotWrite with Cairo's words as detail.
template <typename Make>
Outcome WritePages(const std::vector<PrintSheet>& sheets, const PrintLayout& layout, int first,
                   int last, WritableFile& file, Make make) {
  SurfaceOutput output{&file, Outcome::Ok()};
  const double width = layout.options.paper.widthMm * kPointsPerMm;
  const double height = layout.options.paper.heightMm * kPointsPerMm;
  Surface surface(make(&output, width, height));
  for (int page = first; page <= last; ++page)
    DrawPage(surface.get(), sheets, layout, page);
  cairo_surface_finish(surface.get());
  if (!output.failure)
    return output.failure;
  if (cairo_status_t status = cairo_surface_status(surface.get()); status != CAIRO_STATUS_SUCCESS)
    return Outcome::Fail(Code::kCannotWrite).With(cairo_status_to_string(status));
  return Outcome::Ok();
}

cairo_surface_t* MakePdf(SurfaceOutput* output, double width, double height) {
  cairo_surface_t* surface =
      cairo_pdf_surface_create_for_stream(WriteToFile, output, width, height);
  cairo_pdf_surface_set_metadata(surface, CAIRO_PDF_METADATA_CREATOR, "quillon-cli");
  return surface;
}

cairo_surface_t* MakeSvg(SurfaceOutput* output, double width, double height) {
  cairo_surface_t* surface =
      cairo_svg_surface_create_for_stream(WriteToFile, output, width, height);
  // Points, so that the page has its paper size.
  cairo_svg_surface_set_document_unit(surface, CAIRO_SVG_UNIT_PT);
  return surface;
}

}  // namespace

std::optional<Paper> FindPaper(std::string_view name) {
  for (const Paper& paper : kPapers) {
    if (name == paper.name)
      return paper;
  }
  return std::nullopt;
}

Outcome LayOutPrint(const std::vector<PrintSheet>& sheets, const PrintOptions& options,
                    PrintLayout& layout) {
  layout = PrintLayout();
  layout.options = options;
  if (sheets.empty())
    return Outcome::Fail(Code::kBadParameters);
  const double roomWidth = options.paper.widthMm - 2 * kPrintMarginMm;
  const double roomHeight = options.paper.heightMm - 2 * kPrintMarginMm;
  const size_t perPage = options.samePage ? sheets.size() : 1;
  for (size_t first = 0; first < sheets.size(); first += perPage) {
    const Extent extent = GroupExtent(sheets, first, perPage, options.pixelMm);
    if (extent.widthMm > roomWidth || extent.heightMm > roomHeight) {
      const double fits = LargestPixelMm(sheets, first, perPage, roomWidth, roomHeight);
      layout.shares.clear();
      layout.pages = 0;
      layout.misfit = {extent.widthMm, extent.heightMm, roomWidth, roomHeight,
                       fits >= kMinPixelMm ? fits : 0};
      return Outcome::Fail(Code::kPrintTooLarge);
    }
    // Centred on the page; the images of one page aligned at the top.
    double x = (options.paper.widthMm - extent.widthMm) / 2 + kAroundMm;
    const double y = (options.paper.heightMm - extent.heightMm) / 2 + kAroundMm;
    for (size_t i = first; i < first + perPage; ++i) {
      layout.shares.push_back({layout.pages, x, y});
      x += sheets[i].image->Width() * options.pixelMm + 2 * kAroundMm + kGapBetweenMm;
    }
    ++layout.pages;
  }
  return Outcome::Ok();
}

Outcome WritePrintPdf(Env& env, const std::vector<PrintSheet>& sheets, const PrintLayout& layout,
                      const std::string& path) {
  Outcome written = WriteFileAtomically(env, path, kPrivateFileMode, [&](WritableFile& file) {
    return WritePages(sheets, layout, 0, layout.pages - 1, file, MakePdf);
  });
  if (!written && written.file.empty())
    written.file = path;
  return written;
}

Outcome WritePrintSvg(Env& env, const std::vector<PrintSheet>& sheets, const PrintLayout& layout,
                      const std::vector<std::string>& paths) {
  // The pages are one set of shares: all are written or none.
  ShareSetWriter set(env);
  for (int page = 0; page < layout.pages && page < static_cast<int>(paths.size()); ++page) {
    set.Add(paths[page], [&, page](WritableFile& file) {
      return WritePages(sheets, layout, page, page, file, MakeSvg);
    });
  }
  return set.Write();
}

}  // namespace quillon
