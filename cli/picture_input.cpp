#include "cli/picture_input.h"

#include <stdlib.h>

#include <cctype>
#include <cstring>
#include <filesystem>
#include <system_error>

#include "core/share_set_writer.h"
#include "io/picture.h"
#include "io/png_writer.h"

namespace quillon::cli {
namespace {

bool EndsWithPng(const std::string& path) {
  std::string ext = std::filesystem::path(path).extension().string();
  for (char& c : ext)
    c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
  return ext == ".png";
}

void Warn(const Console& console, const std::string& text) {
  std::fprintf(console.err, "%s split: warning: %s\n", kProgramName, OneLine(text).c_str());
  std::fflush(console.err);
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

bool LoadTwoColourPicture(const std::string& path, bool byColour, const TwoColourRule& rule,
                          BmpImage& out, std::string& error) {
  error.clear();
  const PictureFormat format = SniffPictureFile(path);
  if (format == PictureFormat::Png || format == PictureFormat::Jpeg) {
    GreyPicture picture;
    error = DecodePictureFile(path, picture);
    if (!error.empty())
      return false;
    out = MakeTwoColour(path, picture, rule);
    return out.HasPixels();
  }
  // Anything else goes to the BMP reader, which says what it refuses.
  BmpImage image(path);
  if (!image.Load())
    return false;
  if (byColour) {
    if (!BmpHasReadableColours(image)) {
      error = "the colours of a " + std::to_string(image.BitCount()) + "-bit BMP cannot be read";
      return false;
    }
    if (std::string size = CheckPictureSize(image.Width(), image.Height()); !size.empty()) {
      error = size;
      return false;
    }
    out = MakeTwoColour(path, image, rule);
  } else if (rule.invert) {
    out = TwoColourView(path, image, true);
  } else {
    out = std::move(image);
  }
  return out.HasPixels();
}

bool IsPngOrJpeg(const std::string& path) {
  const PictureFormat format = SniffPictureFile(path);
  return format == PictureFormat::Png || format == PictureFormat::Jpeg;
}

std::string CannotRead(const std::string& kind, const std::string& path, const std::string& error) {
  std::string text = "cannot read the " + kind + " '" + path + "'";
  return error.empty() ? text : text + ": " + error;
}

void WarnAboutSecret(const Console& console, const std::string& path, const BmpImage& secret,
                     bool converted) {
  const TwoColourFindings findings = InspectTwoColour(secret);
  const std::string fix = converted ? "try another --threshold, or --dither"
                                    : "--threshold 128 reads it by colour (in a 24-bit BMP only "
                                      "pure black counts as black)";
  if (!findings.hasBlack) {
    Warn(console, "the secret '" + path +
                      "' has no black pixel: the shares would hide an all-white picture; " + fix);
  } else if (!findings.hasWhite) {
    Warn(console, "the secret '" + path +
                      "' has no white pixel: the shares would hide an all-black picture; " +
                      (converted ? fix + " or --invert" : fix));
  } else if (findings.negativePalette) {
    Warn(console,
         "palette entry 0 of the secret '" + path +
             "' is lighter than the other colours its pixels use: the shares would hide its "
             "negative; --threshold 128 reads it by colour (or --invert swaps it)");
  }
}

TempFolder::~TempFolder() {
  if (!m_path.empty()) {
    std::error_code ignored;
    std::filesystem::remove_all(m_path, ignored);
  }
}

std::string TempFolder::Create() {
  if (!m_path.empty())
    return "";
  std::error_code error;
  std::string pattern = (std::filesystem::temp_directory_path(error) / "quillon-XXXXXX").string();
  if (error || mkdtemp(pattern.data()) == nullptr)
    return "cannot create a temporary folder";
  m_path = pattern;
  return "";
}

std::string TempFolder::File(const std::string& name) const {
  return (std::filesystem::path(m_path) / name).string();
}

std::string PrepareInnocentImages(std::vector<std::string>& files, const PictureChoice& choice,
                                  TempFolder& temp) {
  for (size_t i = 0; i < files.size(); ++i) {
    if (!choice.byColour && !IsPngOrJpeg(files[i]))
      continue;
    TwoColourRule rule = choice.rule;
    rule.invert = false;
    BmpImage image;
    std::string error;
    if (!LoadTwoColourPicture(files[i], choice.byColour, rule, image, error))
      return CannotRead("innocent image", files[i], error);
    if (error = temp.Create(); !error.empty())
      return error;
    image.SetFileName(temp.File("innocent" + std::to_string(i + 1) + ".bmp"));
    if (!image.Save())
      return "cannot write a temporary copy of '" + files[i] + "'";
    files[i] = image.FileName();
  }
  return "";
}

std::vector<std::string> WritePngShares(const std::vector<std::string>& bmpShares,
                                        const std::string& outDir, std::string& error) {
  std::vector<BmpImage> shares;
  std::vector<std::string> paths;
  for (const std::string& file : bmpShares) {
    const std::string name = std::filesystem::path(file).stem().string() + ".png";
    paths.push_back(outDir.empty() ? name : (std::filesystem::path(outDir) / name).string());
    shares.emplace_back(file);
    if (!shares.back().Load()) {
      error = "cannot read the share made for '" + paths.back() + "'";
      return {};
    }
  }
  // The PNG shares are one set: all are written or none.
  ShareSetWriter set(Env::Default());
  for (size_t i = 0; i < shares.size(); ++i)
    set.Add(paths[i], [&share = shares[i]](WritableFile& file) { return WritePng(share, file); });
  if (const Outcome written = set.Write(); !written) {
    error = "cannot write '" + written.file + "'" +
            (written.code == Code::kNotRegularFile ? std::string(": not a regular file")
             : written.error != 0 ? ": " + std::string(std::strerror(written.error))
                                  : std::string());
    return {};
  }
  return paths;
}

std::string SaveTwoColour(const BmpImage& image, const std::string& path) {
  if (EndsWithPng(path))
    return SavePng(image, path);
  BmpImage view = TwoColourView(path, image, false);
  return view.Save() ? "" : "cannot write '" + path + "'";
}

}  // namespace quillon::cli
