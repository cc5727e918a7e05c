#include <cstdint>
#include <filesystem>

#include "cli/commands.h"
#include "cli/options.h"
#include "cli/picture_input.h"
#include "combine/stack.h"
#include "core/report.h"

namespace quillon::cli {
namespace {

constexpr const char* kCommand = "stack";
constexpr size_t kMinLayers = 2;
constexpr size_t kMaxLayers = 9;
constexpr const char* kDefaultResult = "resultado.bmp";

constexpr const char* kHelp =
    "Usage: quillon-cli stack LAYER.bmp LAYER.bmp [...] [-o OUT.bmp]\n"
    "       quillon-cli stack LAYER.bmp LAYER.bmp [...] --decode --scheme S [--n N] [--k K]\n"
    "                         [--sets SETS] [--optimal] --method M [--members LIST]\n"
    "                         [-o OUT.bmp]\n"
    "\n"
    "Stacks 2 to 9 share images the way transparencies are laid over each other: a result\n"
    "pixel is black when it is black in at least one layer. The result is a 1-bit image of\n"
    "the first layer's size; pixels outside a smaller layer count as white there, and layers\n"
    "of different sizes are warned about. Layers may be BMP, PNG or JPEG files.\n"
    "\n"
    "  -o, --out OUT.bmp     the result file (default: resultado.bmp); its folder is created\n"
    "                        when missing\n"
    "  --decode              for shares of a block method (pixel-sampling, square,\n"
    "                        smallest-filler, smallest-no-filler, extended-detail): count the\n"
    "                        black sub-pixels of every stacked block and write the secret,\n"
    "                        one pixel per block; then print how many blocks were ambiguous.\n"
    "                        Takes the scheme and --method options of split, and\n"
    "  --members LIST        the participant of each layer, e.g. 1,3 (needed when the\n"
    "                        scheme treats sets of that size differently)\n"
    "  -h, --help            show this help\n";

std::string SizeText(const BmpImage& image) {
  return std::to_string(image.Width()) + "x" + std::to_string(image.Height());
}

}  // namespace

std::string StackFiles(const std::vector<std::string>& layerFiles, const std::string& outPath) {
  std::vector<BmpImage> layers;
  layers.reserve(layerFiles.size());
  for (const std::string& file : layerFiles) {
    layers.emplace_back(file);
    // A BMP's refusal is the reader's own message, held by the caller; a PNG or JPEG
    // decoder's comes back here.
    if (std::string error; !LoadTwoColourPicture(file, false, {}, layers.back(), error)) {
      return (error.empty() ? "layer " + std::to_string(layers.size())
                            : CannotRead("layer", file, error)) +
             "; nothing written";
    }
  }
  std::vector<const BmpImage*> pointers;
  for (const BmpImage& layer : layers) {
    pointers.push_back(&layer);
    if (layer.Width() != layers[0].Width() || layer.Height() != layers[0].Height()) {
      Report("warning", "layer '" + layer.FileName() + "' is " + SizeText(layer) +
                            ", the first layer " + SizeText(layers[0]) +
                            "; the result takes the first layer's size");
    }
  }
  const std::string folder = std::filesystem::path(outPath).parent_path().string();
  if (std::string error = MakeOutputDir(folder); !error.empty())
    return error;
  BmpImage result = StackLayers(pointers, outPath);
  if (!result.Save())
    return "the result";
  return "";
}

int RunStack(const std::vector<std::string>& args, const Console& console) {
  std::vector<OptionDef> options = DecodeOptionTable();
  options.push_back({"-o", "--output", true});
  options.push_back({"--out", "", true});
  ParsedArgs parsed = ParseArgs(args, options);
  if (auto status = HelpOrUsageError(parsed, console, kCommand, kHelp, SIZE_MAX))
    return *status;
  size_t count = parsed.positional.size();
  if (count < kMinLayers || count > kMaxLayers) {
    return UsageError(console, kCommand,
                      "needs 2 to 9 layers, " + std::to_string(count) + " given");
  }
  std::string outPath = kDefaultResult;
  if (parsed.Has("-o") && parsed.Has("--out"))
    return UsageError(console, kCommand, "-o and --out name the same file; give one");
  if (const std::string* text = parsed.Has("-o") ? parsed.Value("-o") : parsed.Value("--out")) {
    if (text->empty())
      return UsageError(console, kCommand, "-o needs a file name");
    outPath = *text;
  }
  if (auto status = RunStackDecode(parsed, outPath, console))
    return *status;
  HeldMessages held(console, kCommand);
  if (std::string error = StackFiles(parsed.positional, outPath); !error.empty()) {
    return Failure(console, kCommand, held.Take(error));
  }
  std::fprintf(console.out, "%s\n", outPath.c_str());
  if (std::fflush(console.out) != 0 || std::ferror(console.out))
    return kExitFailure;
  return kExitOk;
}

}  // namespace quillon::cli
