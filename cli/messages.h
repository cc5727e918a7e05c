// quillon-cli's words for what the computing code tells it: one English line per outcome,
// naming the file the user gave and the system's reason. Pure functions, except that
// WriteFailure looks at a target that is not a regular file to say whether it is a folder.
#pragma once

#include <string>
#include <string_view>
#include <vector>

#include "core/outcome.h"
#include "io/picture.h"

namespace quillon::cli {

// A file of the command line and what it is to the command ("secret image", "share"), for
// the lines that name both.
struct RoleFile {
  std::string path;
  std::string role;
};

// Why reading the file of this role ("secret image", "layer", "innocent image", "share")
// failed: "cannot read the layer 'a.png': broken PNG file (CRC error)". format is what the
// file's first bytes said, for the decoder's name.
std::string ReadFailure(const Outcome& outcome, std::string_view role,
                        PictureFormat format = PictureFormat::Unknown);
// Why writing or placing an output failed: "cannot write 'out/capa2.bmp': No space left on
// device", "cannot write 'out/capa2.bmp': it is a folder".
std::string WriteFailure(const Outcome& outcome);
// An output that names an input or another output (kOutputIsInput, kOutputTwice of
// core/file_identity.h, index: the output's place in outputs), with the roles of both: "the
// share 'capa1.bmp' would replace the secret image 'capa1.bmp'; nothing written". Other
// outcomes are worded by WriteFailure.
std::string OverlapFailure(const Outcome& outcome, const std::vector<RoleFile>& inputs,
                           const std::vector<RoleFile>& outputs);
// A refusal of the scheme or the encryption ("the secret image is smaller than one block of
// this method"); empty for codes that are not refusals.
std::string Refusal(const Outcome& outcome);
// Whether the line is followed by the hint on what BMP files are read: a bitmap the reader
// refuses, never a file that is no picture at all.
bool WantsBitmapHint(const Outcome& outcome);

}  // namespace quillon::cli
