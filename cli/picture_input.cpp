#include "cli/picture_input.h"

#include <cctype>
#include <filesystem>

#include "io/png_writer.h"

namespace quillon::cli {
namespace {

bool EndsWithPng(const std::string& path) {
  std::string ext = std::filesystem::path(path).extension().string();
  for (char& c : ext)
    c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
  return ext == ".png";
}

}  // namespace

std::vector<OptionDef> PictureOptionTable() {
  return {{"--threshold", "", true},
          {"--dither", "", false},
          {"--invert", "", false},
          {"--save-secret", "", true},
          {"--format", "", true}};
}

std::string ReadPictureChoice(const ParsedArgs& args, PictureChoice& choice) {
  choice = PictureChoice();
  if (args.Has("--threshold") && args.Has("--dither"))
    return "--threshold and --dither exclude each other";
  if (const std::string* text = args.Value("--threshold")) {
    auto value = ParseWholeNumber(*text);
    if (!value || *value < 0 || *value > 255)
      return "--threshold needs a luminance from 0 to 255, not '" + *text + "'";
    choice.rule.threshold = *value;
    choice.byColour = true;
  }
  if (args.Has("--dither")) {
    choice.rule.mode = TwoColourRule::Mode::Dither;
    choice.byColour = true;
  }
  choice.rule.invert = args.Has("--invert");
  if (const std::string* text = args.Value("--save-secret")) {
    if (text->empty())
      return "--save-secret needs a file name";
    choice.saveSecret = *text;
  }
  if (const std::string* text = args.Value("--format")) {
    if (*text != "bmp" && *text != "png")
      return "--format is bmp or png, not '" + *text + "'";
    choice.pngShares = *text == "png";
  }
  return "";
}

void WarnAboutSecret(const Console& console, const std::string& path, const BmpImage& secret,
                     bool converted) {
  const TwoColourFindings findings = InspectTwoColour(secret);
  const std::string fix = converted ? "try another --threshold, or --dither"
                                    : "--threshold 128 reads it by colour (in a 24-bit BMP only "
                                      "pure black counts as black)";
  if (!findings.hasBlack) {
    Warning(console, "split",
            "the secret '" + path +
                "' has no black pixel: the shares would hide an all-white picture; " + fix);
  } else if (!findings.hasWhite) {
    Warning(console, "split",
            "the secret '" + path + "' has no white pixel: the shares would hide an all-black " +
                "picture; " + (converted ? fix + " or --invert" : fix));
  } else if (findings.negativePalette) {
    Warning(console, "split",
            "palette entry 0 of the secret '" + path +
                "' is lighter than the other colours its pixels use: the shares would hide its "
                "negative; --threshold 128 reads it by colour (or --invert swaps it)");
  }
}

Outcome SaveTwoColour(Env& env, const BmpImage& image, const std::string& path) {
  if (EndsWithPng(path))
    return SavePng(env, image, path);
  return TwoColourView(path, image, false).Save(env);
}

}  // namespace quillon::cli
