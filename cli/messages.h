// quillon-cli's words for what the computing code tells it: one English line per outcome,
// naming the file the user gave and the system's reason. Pure functions.
#pragma once

#include <string>
#include <string_view>

#include "core/outcome.h"
#include "io/picture.h"

namespace quillon::cli {

// Why reading the file of this role ("secret image", "layer", "innocent image", "share")
// failed: "cannot read the layer 'a.png': broken PNG file (CRC error)". format is what the
// file's first bytes said, for the decoder's name.
std::string ReadFailure(const Outcome& outcome, std::string_view role,
                        PictureFormat format = PictureFormat::Unknown);
// Why writing or placing an output failed: "cannot write 'out/capa2.bmp': No space left on
// device", "'x.bmp' is the same file as the layer 'x.bmp'".
std::string WriteFailure(const Outcome& outcome);
// A refusal of the scheme or the encryption ("the secret image is smaller than one block of
// this method"); empty for codes that are not refusals.
std::string Refusal(const Outcome& outcome);
// Whether the line is followed by the hint on what BMP files are read (a refused bitmap).
bool WantsBitmapHint(const Outcome& outcome);

}  // namespace quillon::cli
