// Drawing on the frame's 1024 x 768 canvas: the screen-sized white background and an image
// in black and white, upright, 29 pixels below the top (the strip above is the toolbar's).
// Whatever falls outside the canvas is dropped. Not thread-safe.
#pragma once

#include "core/bmp_image.h"
#include "ui/resources.h"
#include "ui/surface.h"

namespace quillon {

constexpr int kPictureTop = 29;

// Fills (0, 0) to (screen width, screen height) with white, clipped to the canvas.
void WhitenCanvas(ui::Surface& canvas, ui::Size screen);

// Stored row r of the image (row 0 is the picture's bottom line) lands on canvas line
// height + 29 - r, column c on canvas column c: black where GetPixel answers 'b', white
// elsewhere. An image without pixels draws nothing.
void DrawImage(ui::Surface& canvas, const BmpImage& image);

}  // namespace quillon
