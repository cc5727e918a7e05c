#include "app/canvas.h"

#include <algorithm>
#include <cstdint>

namespace quillon {

void WhitenCanvas(ui::Surface& canvas, ui::Size screen) {
  canvas.FillRect(0, 0, screen.width, screen.height, ui::kWhite);
}

void DrawImage(ui::Surface& canvas, const BmpImage& image) {
  if (!image.HasPixels())
    return;
  const int64_t height = image.Height();
  const int32_t width = std::min<int64_t>(image.Width(), canvas.Width());
  // Only the rows whose line falls on the canvas: 0 <= height + 29 - r < canvas height.
  const int64_t firstRow = std::max<int64_t>(0, height + kPictureTop - canvas.Height() + 1);
  const int64_t lastRow = std::min<int64_t>(height - 1, height + kPictureTop);
  for (int64_t r = firstRow; r <= lastRow; ++r) {
    const int y = static_cast<int>(height + kPictureTop - r);
    for (int32_t c = 0; c < width; ++c) {
      const char pixel = image.GetPixel(static_cast<int32_t>(r), c);
      canvas.SetPixel(c, y, pixel == 'b' ? ui::kBlack : ui::kWhite);
    }
  }
}

}  // namespace quillon
