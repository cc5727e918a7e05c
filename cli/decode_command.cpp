// quillon-cli stack --decode: stacks the shares of a block method and decides every block
// by its count of black sub-pixels, which the scheme's matrices fix exactly.
#include <bit>
#include <string>

#include "cli/cli_session.h"
#include "cli/commands.h"
#include "cli/messages.h"
#include "cli/options.h"
#include "cli/scheme_choice.h"
#include "combine/decode.h"
#include "combine/stack.h"
#include "core/file_identity.h"
#include "schemes/analysis.h"

namespace quillon::cli {
namespace {

constexpr const char* kCommand = "stack";

constexpr const char* kDecodeOptions[] = {"--scheme",  "--n",      "--k",      "--sets",
                                          "--optimal", "--method", "--members"};

std::string BlockMethods() {
  return JoinWords(MethodNames(IsBlockMethod), "or");
}

std::string SizeText(const BmpImage& image) {
  return std::to_string(image.Width()) + "x" + std::to_string(image.Height());
}

// "1,3": the participant of each layer, in layer order. Returns an error text.
std::string ParseMembers(const std::string& text, size_t layers, uint32_t& members) {
  members = 0;
  const std::vector<std::string> items = SplitList(text, ',');
  for (const std::string& item : items) {
    auto number = ParseWholeNumber(item);
    if (!number || *number < 1 || *number > kMaxParticipantNumber) {
      return "participant '" + item + "' in --members is not a number from 1 to " +
             std::to_string(kMaxParticipantNumber);
    }
    if ((members >> (*number - 1)) & 1u)
      return "participant " + item + " is named twice in --members";
    members |= 1u << (*number - 1);
  }
  if (items.size() != layers) {
    return "--members names " + std::to_string(items.size()) + " participants for " +
           std::to_string(layers) + " layers";
  }
  return "";
}

}  // namespace

std::vector<OptionDef> DecodeOptionTable() {
  std::vector<OptionDef> options = SchemeOptionTable();
  options.push_back({"--decode", "", false});
  options.push_back({"--method", "", true});
  options.push_back({"--members", "", true});
  return options;
}

std::optional<int> RunStackDecode(const ParsedArgs& parsed, const std::string& outPath,
                                  const Console& console) {
  if (!parsed.Has("--decode")) {
    for (const char* name : kDecodeOptions) {
      if (parsed.Has(name))
        return UsageError(console, kCommand, std::string(name) + " belongs to --decode");
    }
    return std::nullopt;
  }
  SchemeChoice choice;
  if (std::string error = ReadSchemeChoice(parsed, choice); !error.empty())
    return UsageError(console, kCommand, error);
  const std::string* methodText = parsed.Value("--method");
  if (methodText == nullptr)
    return UsageError(console, kCommand, "--decode needs --method: " + BlockMethods());
  const auto method = ParseExpansionMethod(*methodText);
  if (!method || !IsBlockMethod(*method)) {
    return UsageError(
        console, kCommand,
        "--decode needs a block method (" + BlockMethods() + "), not '" + *methodText + "'");
  }
  const std::vector<std::string>& layerFiles = parsed.positional;
  const size_t layers = layerFiles.size();
  uint32_t members = 0;
  const std::string* membersText = parsed.Value("--members");
  if (membersText != nullptr) {
    if (std::string error = ParseMembers(*membersText, layers, members); !error.empty())
      return UsageError(console, kCommand, error);
  }

  SchemeParams params;
  BasisMatrix sets(0, 0);
  if (Code error = ChosenSchemeParams(choice, sets, params); error != Code::kOk)
    return Failure(console, kCommand, Refusal(Outcome::Fail(error)));
  const SchemePair pair = BuildSchemePair(params);
  if (pair.error != Code::kOk)
    return Failure(console, kCommand, Refusal(Outcome::Fail(pair.error)));
  const int m = pair.s0.Rows();
  params.n = SchemeParticipants(params);
  if (layers > static_cast<size_t>(m)) {
    return UsageError(console, kCommand,
                      std::to_string(layers) + " layers, but the scheme has " + std::to_string(m) +
                          " participants");
  }
  if (members >> m) {
    return UsageError(console, kCommand,
                      "--members names a participant beyond the scheme's " + std::to_string(m));
  }
  const SchemeAnalysis analysis = AnalyzePair(
      pair.s0, pair.s1, [&params](uint32_t set) { return SchemeQualifies(params, set); });
  if (!analysis.analysed)
    return Failure(console, kCommand, "the basis matrices cannot be analysed");
  if (members == 0) {
    // Without names, every set of that many participants must look the same.
    members = (1u << layers) - 1;
    const SetAnalysis& first = analysis.sets[members - 1];
    for (const SetAnalysis& set : analysis.sets) {
      if (std::popcount(set.members) == static_cast<int>(layers) &&
          (set.qualified != first.qualified || set.l != first.l || set.h != first.h)) {
        return UsageError(console, kCommand,
                          "this scheme treats sets of " + std::to_string(layers) +
                              " participants differently: name the layers' participants with "
                              "--members, e.g. --members 1,3");
      }
    }
  }
  const SetAnalysis& set = analysis.sets[members - 1];
  if (!set.qualified) {
    return Failure(console, kCommand,
                   "these " + std::to_string(layers) +
                       " participants are a forbidden set: their shares do not show the secret; "
                       "nothing written");
  }
  const auto layout =
      MethodBlockLayout(*method, m, pair.s0.Cols(), set.l, set.h, static_cast<int>(layers));
  if (!layout)
    return Failure(console, kCommand, "the shares of this scheme and method have no blocks");

  Env& env = console.Files();
  std::vector<RoleFile> inputs;
  for (const std::string& file : layerFiles)
    inputs.push_back({file, "layer"});
  const std::vector<RoleFile> outputs{{outPath, "result"}};
  if (Outcome apart = CheckOutputs(env, layerFiles, {outPath}); !apart)
    return Failure(console, kCommand, OverlapFailure(apart, inputs, outputs));
  std::vector<BmpImage> images(layers);
  for (size_t i = 0; i < layers; ++i) {
    const std::string& file = layerFiles[i];
    PictureFormat format = PictureFormat::Unknown;
    if (Outcome loaded = LoadLayerPicture(env, file, images[i], &format); !loaded) {
      return Failure(console, kCommand, ReadFailure(loaded, "layer", format) + "; nothing written",
                     WantsBitmapHint(loaded));
    }
    if (images[i].Width() != images.front().Width() ||
        images[i].Height() != images.front().Height()) {
      return Failure(console, kCommand,
                     "the layer '" + file + "' is " + SizeText(images[i]) + ", the first is " +
                         SizeText(images.front()) + ": not shares of one split; nothing written");
    }
  }
  const BmpImage& first = images.front();
  const int32_t side = layout->side;
  if (first.Width() < side || first.Height() < side || first.Width() % side != 0 ||
      first.Height() % side != 0) {
    return Failure(console, kCommand,
                   "the layers are " + SizeText(first) + ", not whole " + std::to_string(side) +
                       "x" + std::to_string(side) +
                       " blocks of this scheme and method; nothing written");
  }
  std::vector<const BmpImage*> pointers;
  for (const BmpImage& image : images)
    pointers.push_back(&image);
  const DecodeResult decoded = DecodeStacked(StackLayers(pointers, outPath), *layout, outPath);
  OutputFolders folders;
  if (Outcome ready = folders.Make(env, FolderOf(outPath)); !ready)
    return Failure(console, kCommand, WriteFailure(ready));
  if (Outcome saved = decoded.image.Save(env); !saved) {
    folders.RemoveMade(env);
    return Failure(console, kCommand, WriteFailure(saved));
  }
  std::fprintf(console.out, "%s\n%lld blocks decoded, %lld ambiguous\n", outPath.c_str(),
               static_cast<long long>(decoded.blocks), static_cast<long long>(decoded.ambiguous));
  if (std::fflush(console.out) != 0 || std::ferror(console.out))
    return kExitFailure;
  return kExitOk;
}

}  // namespace quillon::cli
