// quillon-cli's pictures beyond two-colour BMP: the options that turn grey or colour pictures
// into two colours, the warnings about secrets whose two-colour reading would mislead, and the
// saved two-colour secret.
#pragma once

#include <string>
#include <vector>

#include "cli/console.h"
#include "cli/options.h"
#include "core/bmp_image.h"
#include "core/env.h"
#include "io/two_colour.h"

namespace quillon::cli {

// What split's --threshold, --dither, --invert, --save-secret and --format chose.
struct PictureChoice {
  bool byColour = false;  // --threshold or --dither: BMPs too are read by colour
  TwoColourRule rule;     // rule.invert applies to the secret only
  std::string saveSecret;
  bool pngShares = false;
};

std::vector<OptionDef> PictureOptionTable();

// Reads the picture options. Returns a usage error text, empty when they are fine.
std::string ReadPictureChoice(const ParsedArgs& args, PictureChoice& choice);

// Warns on stderr, with the option that helps, when the secret has no black or no white
// pixel or its palette would show its negative. converted: the secret was made two-colour
// by a rule rather than read as stored.
void WarnAboutSecret(const Console& console, const std::string& path, const BmpImage& secret,
                     bool converted);

// Writes the two-colour secret to path through env, whole or not at all: a PNG when path
// ends in .png, a 1-bit BMP otherwise. The outcome names path.
Outcome SaveTwoColour(Env& env, const BmpImage& image, const std::string& path);

}  // namespace quillon::cli
