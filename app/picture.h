// A BMP file as a picture in its own colours, for the main dialog (unlike the black and white
// view of the rest of the program). Reads through the Env handed in and says nothing, as the
// platform's picture loader never did. Safe on any thread for distinct Envs.
#pragma once

#include <optional>
#include <string>

#include "core/env.h"
#include "ui/surface.h"

namespace quillon {

// The top-left part of the picture, at most maxWidth x maxHeight pixels, top line first.
// nullopt when the file cannot be read as a picture.
std::optional<ui::Surface> LoadPicture(Env& env, const std::string& path, int maxWidth,
                                       int maxHeight);

}  // namespace quillon
