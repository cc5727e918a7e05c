// Shares laid out for printing on transparencies: every share pixel a square of a chosen side
// in millimetres, drawn as vector rectangles (the black pixels of a row merged into runs),
// crosses outside the four corners to line the sheets up, and a label under each share.
// Written as PDF (one page per share, or all side by side) or as SVG (one file per page).
// Files are written through the Env handed in. Thread-safe for distinct files; failures come
// back as outcomes.
#pragma once

#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "core/bmp_image.h"
#include "core/env.h"
#include "core/outcome.h"

namespace quillon {

struct Paper {
  const char* name;
  double widthMm;
  double heightMm;
};

// "a4" or "letter", portrait.
std::optional<Paper> FindPaper(std::string_view name);

// Nothing is printed closer to the paper's edge than this.
constexpr double kPrintMarginMm = 10;
// The corner crosses are centred this far outside the image in both directions, with arms
// reaching kMarkArmMm from the centre.
constexpr double kMarkOffsetMm = 5;
constexpr double kMarkArmMm = 3;
// The finest and coarsest share pixels printed.
constexpr double kMinPixelMm = 0.1;
constexpr double kMaxPixelMm = 20;

struct PrintSheet {
  const BmpImage* image;  // a share with pixels, read in its two-colour view
  std::string label;      // UTF-8, printed small under the share
};

struct PrintOptions {
  double pixelMm = 0.5;
  Paper paper = {"a4", 210, 297};
  bool samePage = false;  // all shares side by side on one page
};

// The top-left corner of a share's image on its page, in millimetres from the page's
// top-left corner.
struct PlacedShare {
  int page = 0;
  double xMm = 0;
  double yMm = 0;
};

// What a page needs when its shares do not fit the paper.
struct PrintMisfit {
  double neededWidthMm = 0;  // the shares with their marks and labels
  double neededHeightMm = 0;
  double roomWidthMm = 0;  // inside the margins
  double roomHeightMm = 0;
  double fittingPixelMm = 0;  // the largest pixel size that fits; 0 when none of at least
                              // kMinPixelMm does
};

struct PrintLayout {
  PrintOptions options;
  std::vector<PlacedShare> shares;  // one per sheet, in order
  int pages = 0;
  PrintMisfit misfit;  // set when the layout was refused with kPrintTooLarge
};

// Places the sheets, centred on their pages. kBadParameters without sheets; kPrintTooLarge
// when a page's shares do not fit inside the margins (layout.misfit says how much room they
// need and the largest pixel size that fits).
Outcome LayOutPrint(const std::vector<PrintSheet>& sheets, const PrintOptions& options,
                    PrintLayout& layout);

// Writes the laid-out sheets as one PDF file through the atomic writer: a failure leaves any
// earlier file at path untouched. A drawing failure is kCannotWrite with Cairo's words as
// detail.
Outcome WritePrintPdf(Env& env, const std::vector<PrintSheet>& sheets, const PrintLayout& layout,
                      const std::string& path);

// Writes page p of the layout as an SVG file to paths[p] (paths holds layout.pages names),
// all pages or none (core/share_set_writer.h).
Outcome WritePrintSvg(Env& env, const std::vector<PrintSheet>& sheets, const PrintLayout& layout,
                      const std::vector<std::string>& paths);

}  // namespace quillon
