// Shares laid out for printing on transparencies: each share drawn as one 1-bit image at its
// own resolution, every share pixel a square of a chosen side in millimetres and never smoothed,
// crosses outside the four corners to line the sheets up, and a label under each share (crosses
// and labels are vector). Written as PDF (one page per share, or all side by side) or as SVG
// (one file per page, the image embedded as PNG). Each image's corner lies on a whole multiple
// of the pixel side from the page's corner, so a pixel that is a whole number of printer dots
// is printed as exactly that many dots. Files are written through the Env handed in.
// Thread-safe for distinct files; failures come back as outcomes.
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
  std::string name;  // "a4", or "WxH mm" for a size of the user's own
  double widthMm;
  double heightMm;
};

// The sides a paper of the user's own may have: room for a share with its marks, and no
// larger than a wide-format roll (so that no image exceeds what the drawing library takes).
constexpr double kMinPaperMm = 50;
constexpr double kMaxPaperMm = 1600;

// "a0" to "a5", "letter", "legal", "tabloid" (in any case), or "WxH" in millimetres (decimals
// allowed, each side from kMinPaperMm to kMaxPaperMm), portrait as given; nullopt for anything
// else.
std::optional<Paper> FindPaper(std::string_view name);

// Nothing is printed closer to the paper's edge than this.
constexpr double kPrintMarginMm = 5;
// The corner crosses are centred this far outside the image in both directions, with arms
// reaching kMarkArmMm from the centre.
constexpr double kMarkOffsetMm = 3;
constexpr double kMarkArmMm = 2.5;
// The finest and coarsest share pixels printed; below kHandAlignPixelMm sheets are hard to
// line up by hand.
constexpr double kMinPixelMm = 0.05;
constexpr double kMaxPixelMm = 20;
constexpr double kHandAlignPixelMm = 0.2;

struct PrintSheet {
  const BmpImage* image;  // a share with pixels, read in its two-colour view
  std::string label;      // UTF-8, printed small under the share (see PrintableText)
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

// Places the sheets, centred on their pages as nearly as whole pixel steps allow.
// kBadParameters without sheets, for a sheet without pixels, or for a pixel size or paper
// outside the limits above; kPrintTooLarge when a page's shares do not fit inside the margins
// (layout.misfit says how much room they need and the largest pixel size that fits).
Outcome LayOutPrint(const std::vector<PrintSheet>& sheets, const PrintOptions& options,
                    PrintLayout& layout);

// The label as it is drawn: text read strictly as UTF-8, where every ill-formed part (a stray
// or missing continuation byte, an overlong form, a surrogate, anything past U+10FFFF) and
// every control character becomes U+FFFD, one for each maximal ill-formed part.
std::string PrintableText(std::string_view text);

// The writers take the sheets that were laid out (kBadParameters otherwise).
// Writes the laid-out sheets as one PDF file through the atomic writer: a failure leaves any
// earlier file at path untouched. A page that cannot be drawn is kCannotDraw (kNoMemory when
// memory ran out) with the share's index and the drawing library's words as detail; a failed
// write comes back as the file said it. Outcomes name path.
Outcome WritePrintPdf(Env& env, const std::vector<PrintSheet>& sheets, const PrintLayout& layout,
                      const std::string& path);

// Writes page p of the layout as an SVG file to paths[p] (paths holds layout.pages names),
// all pages or none (core/share_set_writer.h); failures as for WritePrintPdf.
Outcome WritePrintSvg(Env& env, const std::vector<PrintSheet>& sheets, const PrintLayout& layout,
                      const std::vector<std::string>& paths);

}  // namespace quillon
