#include "studio/wx/print_preview.h"

#include <wx/dcbuffer.h>
#include <wx/settings.h>

#include <algorithm>
#include <cmath>

#include "io/print_sheets.h"
#include "studio/wx/bitmaps.h"

namespace quillon::studio::wx {
namespace {

constexpr int kPadding = 10;

}  // namespace

PrintPreviewWindow::PrintPreviewWindow(wxWindow* parent, const Document& document)
    : wxWindow(parent, wxID_ANY, wxDefaultPosition, wxSize(340, 440), wxFULL_REPAINT_ON_RESIZE),
      m_document(document) {
  SetBackgroundStyle(wxBG_STYLE_PAINT);
  Bind(wxEVT_PAINT, &PrintPreviewWindow::OnPaint, this);
}

void PrintPreviewWindow::SetPreview(std::optional<PrintPreview> preview) {
  m_preview = std::move(preview);
  m_thumbnails.clear();
  Refresh(false);
}

double PrintPreviewWindow::Scale() const {
  if (!m_preview || m_preview->paperWidthMm <= 0 || m_preview->paperHeightMm <= 0)
    return 0;
  const wxSize client = GetClientSize();
  return std::max(0.0, std::min((client.x - 2.0 * kPadding) / m_preview->paperWidthMm,
                                (client.y - 2.0 * kPadding) / m_preview->paperHeightMm));
}

wxRect PrintPreviewWindow::PaperRect() const {
  const double scale = Scale();
  if (scale <= 0)
    return wxRect();
  const wxSize client = GetClientSize();
  const int width = static_cast<int>(std::lround(m_preview->paperWidthMm * scale));
  const int height = static_cast<int>(std::lround(m_preview->paperHeightMm * scale));
  return wxRect((client.x - width) / 2, (client.y - height) / 2, width, height);
}

std::vector<wxRect> PrintPreviewWindow::ShareRects() const {
  std::vector<wxRect> rects;
  const double scale = Scale();
  if (scale <= 0)
    return rects;
  const wxRect paper = PaperRect();
  const std::vector<Layer>& layers = m_document.Layers();
  const double pixelMm = m_preview->layout.options.pixelMm;
  for (int share : m_preview->firstPageShares) {
    // The shares printed are the ones made here, which come first among the layers.
    if (share < 0 || static_cast<size_t>(share) >= m_preview->layout.shares.size() ||
        static_cast<size_t>(share) >= layers.size() || layers[share].image == nullptr) {
      continue;
    }
    const PlacedShare& placed = m_preview->layout.shares[share];
    const BmpImage& image = *layers[share].image;
    const int x = paper.x + static_cast<int>(std::lround(placed.xMm * scale));
    const int y = paper.y + static_cast<int>(std::lround(placed.yMm * scale));
    const int right =
        paper.x + static_cast<int>(std::lround((placed.xMm + image.Width() * pixelMm) * scale));
    const int bottom =
        paper.y + static_cast<int>(std::lround((placed.yMm + image.Height() * pixelMm) * scale));
    rects.emplace_back(x, y, std::max(1, right - x), std::max(1, bottom - y));
  }
  return rects;
}

void PrintPreviewWindow::OnPaint(wxPaintEvent&) {
  wxAutoBufferedPaintDC dc(this);
  dc.SetBackground(wxBrush(wxColour(150, 150, 150)));  // the desk the paper lies on
  dc.Clear();
  const wxRect paper = PaperRect();
  if (paper.IsEmpty())
    return;
  dc.SetPen(*wxTRANSPARENT_PEN);
  dc.SetBrush(wxBrush(wxColour(96, 96, 96)));
  dc.DrawRectangle(paper.x + 3, paper.y + 3, paper.width, paper.height);  // a shadow
  dc.SetPen(wxPen(wxColour(128, 128, 128)));
  dc.SetBrush(*wxWHITE_BRUSH);
  dc.DrawRectangle(paper);

  const std::vector<wxRect> rects = ShareRects();
  const std::vector<Layer>& layers = m_document.Layers();
  if (m_thumbnails.size() != rects.size())
    m_thumbnails.assign(rects.size(), {0, wxBitmap()});
  const double scale = Scale();
  const int offset = std::max(1, static_cast<int>(std::lround(kMarkOffsetMm * scale)));
  const int arm = std::max(2, static_cast<int>(std::lround(kMarkArmMm * scale)));
  dc.SetPen(*wxBLACK_PEN);
  for (size_t i = 0; i < rects.size(); ++i) {
    const wxRect& r = rects[i];
    const int side = std::max(r.width, r.height);
    auto& [madeFor, bitmap] = m_thumbnails[i];
    if (madeFor != side) {
      const BmpImage& image = *layers[m_preview->firstPageShares[i]].image;
      // Shrunk by sampling; enlarged to the exact size by repeating pixels, never blurred; in
      // device pixels, so that a high-DPI screen does not stretch it either.
      const int scale = std::max(1, static_cast<int>(std::lround(GetContentScaleFactor())));
      const int width = r.width * scale;
      const int height = r.height * scale;
      const wxImage picture =
          image.Width() >= width || image.Height() >= height
              ? Thumbnail(image, std::max(width, height)).ConvertToImage()
              : TwoColourImage(image).Scale(width, height, wxIMAGE_QUALITY_NEAREST);
      bitmap = picture.IsOk() ? wxBitmap(picture, -1, scale) : wxBitmap();
      madeFor = side;
    }
    if (bitmap.IsOk())
      dc.DrawBitmap(bitmap, r.x, r.y);
    // The crosses centred diagonally outside each corner.
    for (const wxPoint corner :
         {wxPoint(r.x - offset, r.y - offset), wxPoint(r.GetRight() + offset, r.y - offset),
          wxPoint(r.x - offset, r.GetBottom() + offset),
          wxPoint(r.GetRight() + offset, r.GetBottom() + offset)}) {
      dc.DrawLine(corner.x - arm, corner.y, corner.x + arm + 1, corner.y);
      dc.DrawLine(corner.x, corner.y - arm, corner.x, corner.y + arm + 1);
    }
  }
}

}  // namespace quillon::studio::wx
