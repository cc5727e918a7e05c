// The preview of page 1 of the print layout: the paper to scale, each share of page 1 at its
// place as a sampled (never smoothed) picture, with the corner crosses that line the sheets
// up. It only draws what it is handed. GUI thread only; the document outlives the window.
#pragma once

#include <wx/bitmap.h>
#include <wx/window.h>

#include <optional>
#include <vector>

#include "studio/document.h"

namespace quillon::studio::wx {

class PrintPreviewWindow : public wxWindow {
 public:
  PrintPreviewWindow(wxWindow* parent, const Document& document);

  // The layout to show; nullopt shows no paper.
  void SetPreview(std::optional<PrintPreview> preview);

  // Where the paper and each share of page 1 are drawn, in window pixels (for the shares,
  // in the order of PrintPreview::firstPageShares). Empty without a preview.
  wxRect PaperRect() const;
  std::vector<wxRect> ShareRects() const;

 private:
  double Scale() const;  // window pixels per millimetre
  void OnPaint(wxPaintEvent& event);

  const Document& m_document;
  std::optional<PrintPreview> m_preview;
  // Thumbnails by share, with the side they were made for.
  std::vector<std::pair<int, wxBitmap>> m_thumbnails;
};

}  // namespace quillon::studio::wx
