#include "studio/wx/stack_canvas.h"

#include <wx/dcclient.h>
#include <wx/settings.h>

#include <algorithm>
#include <cmath>
#include <iterator>
#include <vector>

namespace quillon::studio::wx {
namespace {

constexpr ZoomFactor kZooms[] = {{1, 8}, {1, 4}, {1, 2},  {1, 1},  {2, 1},  {3, 1}, {4, 1},
                                 {6, 1}, {8, 1}, {12, 1}, {16, 1}, {24, 1}, {32, 1}};
constexpr int kOneToOne = 3;
constexpr int kZoomCount = static_cast<int>(std::size(kZooms));
constexpr int64_t kMaxVirtualSide = int64_t{1} << 30;

// Screen pixels of n picture pixels at zoom, rounded up so the last pixel shows.
int64_t Zoomed(int64_t n, ZoomFactor zoom) {
  return (n * zoom.numerator + zoom.denominator - 1) / zoom.denominator;
}

// The picture pixel under screen pixel s (s >= 0).
int64_t Unzoomed(int64_t s, ZoomFactor zoom) {
  return s * zoom.denominator / zoom.numerator;
}

// Whole picture pixels a mouse move of delta screen pixels means, toward zero both ways.
int DragPixels(int delta, ZoomFactor zoom) {
  const int64_t pixels = int64_t{delta} * zoom.denominator / zoom.numerator;
  return static_cast<int>(pixels);
}

}  // namespace

wxImage ZoomedRegion(const BmpImage& image, ZoomFactor zoom, const wxRect& region,
                     const wxColour& background) {
  if (region.width <= 0 || region.height <= 0 || zoom.numerator < 1 || zoom.denominator < 1)
    return wxImage();
  wxImage out(region.width, region.height, false);
  if (!out.IsOk())
    return out;
  const int64_t width = image.HasPixels() ? image.Width() : 0;
  const int64_t height = image.HasPixels() ? image.Height() : 0;
  // The picture column under each screen column of the region, -1 beyond the picture.
  std::vector<int64_t> column(static_cast<size_t>(region.width));
  for (int i = 0; i < region.width; ++i) {
    const int64_t s = int64_t{region.x} + i;
    const int64_t x = s < 0 ? -1 : Unzoomed(s, zoom);
    column[i] = x < width ? x : -1;
  }
  std::vector<uint8_t> bits(static_cast<size_t>((width + 7) / 8));
  int64_t rowRead = -1;
  unsigned char* rgb = out.GetData();
  for (int j = 0; j < region.height; ++j) {
    const int64_t s = int64_t{region.y} + j;
    const int64_t y = s < 0 ? -1 : Unzoomed(s, zoom);
    const bool inside = y >= 0 && y < height;
    if (inside && y != rowRead) {
      // Rows are stored bottom-up; y counts from the top as the picture is seen.
      image.WhiteRow(static_cast<int32_t>(height - 1 - y), bits.data());
      rowRead = y;
    }
    for (int i = 0; i < region.width; ++i, rgb += 3) {
      const int64_t x = column[i];
      if (!inside || x < 0) {
        rgb[0] = background.Red();
        rgb[1] = background.Green();
        rgb[2] = background.Blue();
      } else {
        rgb[0] = rgb[1] = rgb[2] = (bits[x >> 3] & (0x80 >> (x & 7))) ? 255 : 0;
      }
    }
  }
  return out;
}

StackCanvas::StackCanvas(wxWindow* parent, Document& document)
    : wxScrolledCanvas(parent, wxID_ANY, wxDefaultPosition, wxDefaultSize,
                       wxHSCROLL | wxVSCROLL | wxWANTS_CHARS | wxFULL_REPAINT_ON_RESIZE),
      m_document(document),
      m_zoomIndex(kOneToOne) {
  SetBackgroundStyle(wxBG_STYLE_PAINT);
  SetScrollRate(8, 8);
  Bind(wxEVT_PAINT, &StackCanvas::OnPaint, this);
  Bind(wxEVT_SIZE, &StackCanvas::OnSize, this);
  Bind(wxEVT_SET_FOCUS, [this](wxFocusEvent& event) {
    event.Skip();
    Refresh(false);
  });
  Bind(wxEVT_KILL_FOCUS, [this](wxFocusEvent& event) {
    event.Skip();
    Refresh(false);
  });
  Bind(wxEVT_LEFT_DOWN, &StackCanvas::OnLeftDown, this);
  Bind(wxEVT_MOTION, &StackCanvas::OnMotion, this);
  Bind(wxEVT_LEFT_UP, &StackCanvas::OnLeftUp, this);
  Bind(wxEVT_MOUSE_CAPTURE_LOST, &StackCanvas::OnCaptureLost, this);
  Bind(wxEVT_KEY_DOWN, &StackCanvas::OnKeyDown, this);
  // Ctrl and the wheel zoom, as in picture viewers; the wheel alone scrolls.
  Bind(wxEVT_MOUSEWHEEL, [this](wxMouseEvent& event) {
    if (!event.ControlDown() || event.GetWheelRotation() == 0) {
      event.Skip();
      return;
    }
    ZoomBy(event.GetWheelRotation() > 0 ? 1 : -1);
  });
}

ZoomFactor StackCanvas::Zoom() const {
  return kZooms[m_zoomIndex];
}

const BmpImage* StackCanvas::Picture() {
  const DecodeResult* decoded = m_document.Decoded();
  if (decoded != nullptr && decoded->image.HasPixels())
    return &decoded->image;
  return m_document.Stacked();
}

void StackCanvas::FitZoom(const BmpImage& picture) {
  const wxSize room = GetClientSize();
  int best = 0;
  for (int i = 0; i < kZoomCount; ++i) {
    if (Zoomed(picture.Width(), kZooms[i]) <= room.x &&
        Zoomed(picture.Height(), kZooms[i]) <= room.y)
      best = i;
  }
  // Very small pictures are not blown up past 8x when first shown; the user zooms on.
  m_zoomIndex = std::min(best, 8);
}

void StackCanvas::UpdateVirtualSize() {
  const BmpImage* picture = Picture();
  const ZoomFactor zoom = Zoom();
  if (picture == nullptr) {
    SetVirtualSize(0, 0);
    return;
  }
  SetVirtualSize(static_cast<int>(std::min(Zoomed(picture->Width(), zoom), kMaxVirtualSide)),
                 static_cast<int>(std::min(Zoomed(picture->Height(), zoom), kMaxVirtualSide)));
}

void StackCanvas::PictureChanged() {
  const BmpImage* picture = Picture();
  const wxSize size = picture ? wxSize(picture->Width(), picture->Height()) : wxSize();
  if (picture != nullptr && size != m_shownSize)
    m_autoZoom = true;
  m_shownSize = size;
  TryFit();
  UpdateVirtualSize();
  Refresh(false);
}

void StackCanvas::TryFit() {
  const BmpImage* picture = Picture();
  const wxSize client = GetClientSize();
  // Before the first layout the canvas is a few pixels wide: fitting then would shrink
  // every picture to the smallest zoom.
  if (!m_autoZoom || picture == nullptr || client.x < 64 || client.y < 64)
    return;
  const int before = m_zoomIndex;
  FitZoom(*picture);
  if (m_zoomIndex == before)
    return;
  UpdateVirtualSize();
  Refresh(false);
  if (onZoom)
    onZoom();
}

void StackCanvas::OnSize(wxSizeEvent& event) {
  event.Skip();
  TryFit();
}

void StackCanvas::ZoomBy(int steps) {
  int index = std::clamp(m_zoomIndex + steps, 0, kZoomCount - 1);
  // The scrolled area counts in int: a zoom whose picture would overflow it is not offered.
  if (const BmpImage* picture = Picture()) {
    const auto fits = [picture](int i) {
      const int64_t side = std::max(picture->Width(), picture->Height());
      return Zoomed(side, kZooms[i]) <= kMaxVirtualSide;
    };
    while (index > m_zoomIndex && !fits(index))
      --index;
  }
  if (index == m_zoomIndex)
    return;
  const ZoomFactor before = Zoom();
  const wxSize client = GetClientSize();
  const wxPoint middle = CalcUnscrolledPosition(wxPoint(client.x / 2, client.y / 2));
  m_zoomIndex = index;
  m_autoZoom = false;
  const ZoomFactor after = Zoom();
  UpdateVirtualSize();
  // The picture point that was in the middle stays there.
  const int64_t x = Unzoomed(std::max(middle.x, 0), before) * after.numerator / after.denominator;
  const int64_t y = Unzoomed(std::max(middle.y, 0), before) * after.numerator / after.denominator;
  int rateX = 1, rateY = 1;
  GetScrollPixelsPerUnit(&rateX, &rateY);
  Scroll(static_cast<int>(std::max<int64_t>(0, x - client.x / 2) / std::max(rateX, 1)),
         static_cast<int>(std::max<int64_t>(0, y - client.y / 2) / std::max(rateY, 1)));
  Refresh(false);
  if (onZoom)
    onZoom();
}

wxImage StackCanvas::VisibleImage() {
  return Render(1);
}

wxImage StackCanvas::Render(int scale) {
  const BmpImage* picture = Picture();
  if (picture == nullptr)
    return wxImage();
  const wxSize client = GetClientSize();
  const wxPoint origin = CalcUnscrolledPosition(wxPoint(0, 0));
  const ZoomFactor zoom = Zoom();
  return ZoomedRegion(
      *picture, {zoom.numerator * scale, zoom.denominator},
      wxRect(origin.x * scale, origin.y * scale, client.x * scale, client.y * scale),
      OutsideColour());
}

void StackCanvas::OnPaint(wxPaintEvent&) {
  wxPaintDC dc(this);
  const wxColour background = OutsideColour();
  const int scale = std::max(1, static_cast<int>(std::lround(GetContentScaleFactor())));
  const wxImage image = Render(scale);
  if (!image.IsOk()) {
    dc.SetBackground(wxBrush(background));
    dc.Clear();
    DrawFocus(dc);
    return;
  }
  dc.DrawBitmap(wxBitmap(image, -1, scale), 0, 0);
  DrawFocus(dc);
  // The selected layer's outline shows what a drag will move (not over a decoding, which
  // has no layers).
  const std::vector<Layer>& layers = m_document.Layers();
  if (m_document.Decoded() != nullptr || m_selected < 0 ||
      static_cast<size_t>(m_selected) >= layers.size()) {
    return;
  }
  const Layer& layer = layers[m_selected];
  const BmpImage* picture = Picture();
  if (!layer.ticked || layer.image == nullptr || picture == nullptr)
    return;
  const ZoomFactor zoom = Zoom();
  const int64_t left = layer.dx;
  const int64_t top = int64_t{picture->Height()} - layer.image->Height() + layer.dy;
  const wxPoint origin = CalcUnscrolledPosition(wxPoint(0, 0));
  const wxRect outline(static_cast<int>(left * zoom.numerator / zoom.denominator) - origin.x,
                       static_cast<int>(top * zoom.numerator / zoom.denominator) - origin.y,
                       static_cast<int>(Zoomed(layer.image->Width(), zoom)),
                       static_cast<int>(Zoomed(layer.image->Height(), zoom)));
  dc.SetBrush(*wxTRANSPARENT_BRUSH);
  dc.SetPen(wxPen(wxSystemSettings::GetColour(wxSYS_COLOUR_HIGHLIGHT), 1, wxPENSTYLE_SHORT_DASH));
  dc.DrawRectangle(outline);
}

void StackCanvas::DrawFocus(wxDC& dc) {
  // The arrow keys act here only while the canvas has the keyboard: show when it has.
  if (HasFocus()) {
    dc.SetBrush(*wxTRANSPARENT_BRUSH);
    dc.SetPen(wxPen(wxSystemSettings::GetColour(wxSYS_COLOUR_HIGHLIGHT), 2));
    dc.DrawRectangle(wxRect(GetClientSize()).Deflate(1));
  }
}

void StackCanvas::Tell(const Result& result) {
  if (!result && onRefused)
    onRefused(result);
}

void StackCanvas::OnLeftDown(wxMouseEvent& event) {
  SetFocus();
  const std::vector<Layer>& layers = m_document.Layers();
  if (m_selected < 0 || static_cast<size_t>(m_selected) >= layers.size())
    return;
  m_dragging = true;
  m_dragStart = event.GetPosition();
  m_startDx = layers[m_selected].dx;
  m_startDy = layers[m_selected].dy;
  if (!HasCapture())
    CaptureMouse();
}

void StackCanvas::OnMotion(wxMouseEvent& event) {
  if (!m_dragging || !event.LeftIsDown())
    return;
  const std::vector<Layer>& layers = m_document.Layers();
  if (m_selected < 0 || static_cast<size_t>(m_selected) >= layers.size())
    return;
  const ZoomFactor zoom = Zoom();
  const wxPoint delta = event.GetPosition() - m_dragStart;
  const int dx = m_startDx + DragPixels(delta.x, zoom);
  const int dy = m_startDy + DragPixels(delta.y, zoom);
  if (dx != layers[m_selected].dx || dy != layers[m_selected].dy)
    Tell(m_document.SetLayerOffset(m_selected, dx, dy));
}

void StackCanvas::OnLeftUp(wxMouseEvent&) {
  m_dragging = false;
  if (HasCapture())
    ReleaseMouse();
}

void StackCanvas::OnCaptureLost(wxMouseCaptureLostEvent&) {
  m_dragging = false;
}

void StackCanvas::OnKeyDown(wxKeyEvent& event) {
  int ddx = 0, ddy = 0;
  switch (event.GetKeyCode()) {
    case WXK_LEFT:
    case WXK_NUMPAD_LEFT:
      ddx = -1;
      break;
    case WXK_RIGHT:
    case WXK_NUMPAD_RIGHT:
      ddx = 1;
      break;
    case WXK_UP:
    case WXK_NUMPAD_UP:
      ddy = -1;
      break;
    case WXK_DOWN:
    case WXK_NUMPAD_DOWN:
      ddy = 1;
      break;
    case '+':
    case '=':
    case WXK_NUMPAD_ADD:
      ZoomBy(1);
      return;
    case '-':
    case WXK_NUMPAD_SUBTRACT:
      ZoomBy(-1);
      return;
    case WXK_TAB:
      // The canvas wants the arrow keys, but Tab still moves on.
      Navigate(event.ShiftDown() ? wxNavigationKeyEvent::IsBackward
                                 : wxNavigationKeyEvent::IsForward);
      return;
    default:
      event.Skip();
      return;
  }
  if (m_selected >= 0)
    Tell(m_document.NudgeLayer(m_selected, ddx, ddy));
}

}  // namespace quillon::studio::wx
