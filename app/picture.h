// A BMP file as a picture in its own colours, for the main dialog (unlike the black and white
// view of the rest of the program). Not thread-safe: loading silences the global reporter
// while it runs.
#pragma once

#include <optional>
#include <string>

#include "ui/surface.h"

namespace quillon {

// The top-left part of the picture, at most maxWidth x maxHeight pixels, top line first.
// nullopt when the file cannot be read as a picture; nothing is reported then.
std::optional<ui::Surface> LoadPicture(const std::string& path, int maxWidth, int maxHeight);

}  // namespace quillon
