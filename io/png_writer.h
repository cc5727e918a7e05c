// Writes a picture's two-colour view as a 1-bit greyscale PNG: sample 0 black, 1 white, the
// top row first. Thread-safe for distinct files.
#pragma once

#include <string>

#include "core/bmp_image.h"

namespace quillon {

// Writes image (with pixels) to path through a temporary file beside it, renamed over path
// when complete: a failure leaves any earlier file at path untouched. Returns an error text,
// empty on success.
std::string SavePng(const BmpImage& image, const std::string& path);

}  // namespace quillon
