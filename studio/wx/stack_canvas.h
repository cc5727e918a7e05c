// The stack canvas: the document's stacked picture (or its exact decoding) drawn at a zoom of
// whole steps, in (2x, 3x, ... 32x) or out (1 in 2, 4 or 8 pixels sampled), never smoothed.
// Only the visible part is ever built as an image, so an 8192 x 8192 stack at 32x costs no
// more than the window's own pixels. The mouse drags the selected layer by whole picture
// pixels; the arrow keys nudge it one pixel; + and - (or Ctrl and the wheel) zoom. GUI thread
// only; the document outlives the canvas.
#pragma once

#include <wx/colour.h>
#include <wx/dc.h>
#include <wx/gdicmn.h>
#include <wx/image.h>
#include <wx/scrolwin.h>

#include <functional>

#include "core/bmp_image.h"
#include "studio/document.h"

namespace quillon::studio::wx {

// One picture pixel covers numerator / denominator screen pixels; one of the two is 1.
struct ZoomFactor {
  int numerator = 1;
  int denominator = 1;
};

// The region (in screen pixels of the whole picture at zoom) of image as drawn: every screen
// pixel takes the colour of the picture pixel under it (black or white), and background where
// the region reaches beyond the picture. An empty region gives an invalid image.
wxImage ZoomedRegion(const BmpImage& image, ZoomFactor zoom, const wxRect& region,
                     const wxColour& background);

// Where the canvas shows no picture: grey, so that white share pixels stand apart from it.
inline wxColour OutsideColour() {
  return wxColour(128, 128, 128);
}

class StackCanvas : public wxScrolledCanvas {
 public:
  StackCanvas(wxWindow* parent, Document& document);

  // Shows what the document holds now; call after the stack, its decoding or a layer changed.
  // A picture of a new size is fitted to the canvas.
  void PictureChanged();
  // Zooms by whole steps (+1 in, -1 out), keeping the middle of the view where it is; from
  // then on the zoom stays as the user chose it.
  void ZoomBy(int steps);
  ZoomFactor Zoom() const;
  // The layer that the mouse drags and the arrow keys nudge; -1 for none.
  void SetSelectedLayer(int layer) { m_selected = layer; }

  // The picture as the canvas draws it now: its visible part at the zoom (invalid when nothing
  // is stacked). The selected layer's outline is drawn over it, not into it.
  wxImage VisibleImage();

  // Told after the zoom changed, and after a drag or nudge was refused (with its result).
  std::function<void()> onZoom;
  std::function<void(const Result&)> onRefused;

 private:
  const BmpImage* Picture();
  // The visible part in device pixels: scale of them to a window pixel (2 on a high-DPI
  // screen), so the toolkit never has to stretch, and blur, the bitmap.
  wxImage Render(int scale);
  void FitZoom(const BmpImage& picture);
  void UpdateVirtualSize();
  void TryFit();
  void OnSize(wxSizeEvent& event);
  void OnPaint(wxPaintEvent& event);
  void OnLeftDown(wxMouseEvent& event);
  void OnMotion(wxMouseEvent& event);
  void OnLeftUp(wxMouseEvent& event);
  void OnCaptureLost(wxMouseCaptureLostEvent& event);
  void OnKeyDown(wxKeyEvent& event);
  void Tell(const Result& result);
  void DrawFocus(wxDC& dc);

  Document& m_document;
  int m_zoomIndex;
  int m_selected = -1;
  wxSize m_shownSize;  // the picture size last shown, to fit a new one once
  // The zoom follows the canvas's size (fitting the picture) until the user zooms; a picture
  // of a new size is fitted again.
  bool m_autoZoom = true;
  bool m_dragging = false;
  wxPoint m_dragStart;
  int m_startDx = 0;
  int m_startDy = 0;
};

}  // namespace quillon::studio::wx
