// quillon-cli's pictures beyond two-colour BMP: PNG and JPEG inputs (told by content), the
// options that turn grey or colour pictures into two colours, the warnings about secrets whose
// two-colour reading would mislead, and shares written as PNG.
#pragma once

#include <string>
#include <vector>

#include "cli/console.h"
#include "cli/options.h"
#include "core/bmp_image.h"
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

// Loads path as a two-colour picture into out. A PNG or JPEG file becomes two colours by
// rule; a BMP keeps its own reading unless byColour (invert swaps either). Returns whether
// it worked; on failure error says why, or is empty when BmpImage::Load has reported it.
bool LoadTwoColourPicture(const std::string& path, bool byColour, const TwoColourRule& rule,
                          BmpImage& out, std::string& error);

// Whether the file's content is a PNG or JPEG picture.
bool IsPngOrJpeg(const std::string& path);

// "cannot read the KIND 'path'" and the reason when there is one.
std::string CannotRead(const std::string& kind, const std::string& path, const std::string& error);

// Warns on stderr, with the option that helps, when the secret has no black or no white
// pixel or its palette would show its negative. converted: the secret was made two-colour
// by a rule rather than read as stored.
void WarnAboutSecret(const Console& console, const std::string& path, const BmpImage& secret,
                     bool converted);

// A private folder under the system's temporary folder, removed with everything in it.
class TempFolder {
 public:
  TempFolder() = default;
  ~TempFolder();
  TempFolder(const TempFolder&) = delete;
  TempFolder& operator=(const TempFolder&) = delete;
  // Creates the folder on first use. Returns an error text, empty on success.
  std::string Create();
  std::string File(const std::string& name) const;

 private:
  std::string m_path;
};

// The innocent images as the share methods read them: a BMP is passed on as it is unless the
// choice reads by colour; anything else is made two-colour and written as a BMP into temp.
// Returns an error text (the Load messages have been reported), empty on success.
std::string PrepareInnocentImages(std::vector<std::string>& files, const PictureChoice& choice,
                                  TempFolder& temp);

// Writes every BMP share as a PNG of the same name into outDir, all or none, and returns the
// files written (none when error is set).
std::vector<std::string> WritePngShares(const std::vector<std::string>& bmpShares,
                                        const std::string& outDir, std::string& error);

// Writes the two-colour secret to path: a PNG when path ends in .png, a 1-bit BMP otherwise.
std::string SaveTwoColour(const BmpImage& image, const std::string& path);

}  // namespace quillon::cli
