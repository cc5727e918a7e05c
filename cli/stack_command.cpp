#include <cstdint>

#include "cli/cli_session.h"
#include "cli/commands.h"
#include "cli/messages.h"
#include "cli/options.h"
#include "combine/combine_flow.h"
#include "core/file_identity.h"

namespace quillon::cli {
namespace {

constexpr const char* kCommand = "stack";

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
    "                        when missing. It is written whole or not at all, readable by\n"
    "                        its owner only, and never replaces a layer\n"
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

bool StackFiles(const std::vector<std::string>& layerFiles, const std::string& outPath,
                const Console& console, std::string_view command) {
  Env& env = console.Files();
  std::vector<RoleFile> inputs;
  for (const std::string& file : layerFiles)
    inputs.push_back({file, "layer"});
  const std::vector<RoleFile> outputs{{outPath, "result"}};
  if (Outcome apart = CheckOutputs(env, layerFiles, {outPath}); !apart) {
    Failure(console, command, OverlapFailure(apart, inputs, outputs));
    return false;
  }
  CliCombineSession session(console, layerFiles, outPath);
  const int count = static_cast<int>(layerFiles.size());
  std::vector<BmpImage> layers(layerFiles.size());
  if (Outcome combined = CombineLayers(session, env, count, layers); !combined) {
    session.Folders().RemoveMade(env);
    if (session.LayersLoaded() < count) {
      Failure(console, command,
              ReadFailure(combined, "layer", session.LayerFormat()) + "; nothing written",
              WantsBitmapHint(combined));
    } else if (combined.code == Code::kOutputIsInput || combined.code == Code::kOutputTwice) {
      Failure(console, command, OverlapFailure(combined, inputs, outputs));
    } else {
      Failure(console, command, WriteFailure(combined));
    }
    return false;
  }
  for (const BmpImage& layer : layers) {
    if (layer.Width() != layers[0].Width() || layer.Height() != layers[0].Height()) {
      Warning(console, command,
              "layer '" + layer.FileName() + "' is " + SizeText(layer) + ", the first layer " +
                  SizeText(layers[0]) + "; the result takes the first layer's size");
    }
  }
  return true;
}

int RunStack(const std::vector<std::string>& args, const Console& console) {
  std::vector<OptionDef> options = DecodeOptionTable();
  options.push_back({"-o", "--output", true});
  options.push_back({"--out", "", true});
  ParsedArgs parsed = ParseArgs(args, options);
  if (auto status = HelpOrUsageError(parsed, console, kCommand, kHelp, SIZE_MAX))
    return *status;
  size_t count = parsed.positional.size();
  if (count < static_cast<size_t>(kMinLayers) || count > static_cast<size_t>(kMaxLayers)) {
    return UsageError(console, kCommand,
                      "needs 2 to 9 layers, " + std::to_string(count) + " given");
  }
  std::string outPath = kResultName;
  if (parsed.Has("-o") && parsed.Has("--out"))
    return UsageError(console, kCommand, "-o and --out name the same file; give one");
  if (const std::string* text = parsed.Has("-o") ? parsed.Value("-o") : parsed.Value("--out")) {
    if (text->empty())
      return UsageError(console, kCommand, "-o needs a file name");
    outPath = *text;
  }
  if (auto status = RunStackDecode(parsed, outPath, console))
    return *status;
  if (!StackFiles(parsed.positional, outPath, console, kCommand))
    return kExitFailure;
  std::fprintf(console.out, "%s\n", outPath.c_str());
  if (std::fflush(console.out) != 0 || std::ferror(console.out))
    return kExitFailure;
  return kExitOk;
}

}  // namespace quillon::cli
