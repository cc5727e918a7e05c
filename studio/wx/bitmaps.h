// Pictures of the document as wx images: a two-colour picture (a secret's reading, a share, a
// stack) or a grey picture, at its own size or scaled by whole steps, never smoothed, so that
// every share pixel stays a sharp square on screen. On the GUI thread, or any one thread.
#pragma once

#include <wx/bitmap.h>
#include <wx/image.h>

#include "core/bmp_image.h"
#include "io/picture.h"

namespace quillon::studio::wx {

// The two-colour view of image (black and white), each pixel drawn as zoom x zoom screen
// pixels; zoom from 1. An image without pixels gives an invalid wxImage.
wxImage TwoColourImage(const BmpImage& image, int zoom = 1);

// A thumbnail that fits maxSide x maxSide: shrunk by sampling (a share's noise stays noise,
// not a grey smear) or enlarged by whole steps, never smoothed.
wxBitmap Thumbnail(const BmpImage& image, int maxSide);
// A grey picture shrunk the same way to fit maxSide x maxSide; a smaller one keeps its size.
wxBitmap GreyThumbnail(const GreyPicture& picture, int maxSide);

// A light grey square that holds a picture's place while there is none.
wxBitmap BlankSquare(int side);

}  // namespace quillon::studio::wx
