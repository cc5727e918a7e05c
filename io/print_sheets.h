// Shares laid out for printing on transparencies: every share pixel a square of a chosen side
// in millimetres, drawn as vector rectangles (the black pixels of a row merged into runs),
// crosses outside the four corners to line the sheets up, and a label under each share.
// Written as PDF (one page per share, or all side by side) or as SVG (one file per page).
// Thread-safe for distinct files; failures come back as an error text.
#pragma once

#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "core/bmp_image.h"

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

struct PrintLayout {
  PrintOptions options;
  std::vector<PlacedShare> shares;  // one per sheet, in order
  int pages = 0;
};

// Places the sheets, centred on their pages. Fails with a text that says how much room the
// shares need and the largest pixel size that fits when they do not fit inside the margins.
std::string LayOutPrint(const std::vector<PrintSheet>& sheets, const PrintOptions& options,
                        PrintLayout& layout);

// Writes the laid-out sheets as one PDF file. Written through a temporary file: a failure
// leaves any earlier file at path untouched.
std::string WritePrintPdf(const std::vector<PrintSheet>& sheets, const PrintLayout& layout,
                          const std::string& path);

// Writes page p of the layout as an SVG file to paths[p] (paths holds layout.pages names),
// all pages or none (core/share_set_writer.h).
std::string WritePrintSvg(const std::vector<PrintSheet>& sheets, const PrintLayout& layout,
                          const std::vector<std::string>& paths);

}  // namespace quillon
