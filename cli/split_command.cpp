#include <filesystem>
#include <system_error>

#include "cli/cli_session.h"
#include "cli/commands.h"
#include "cli/options.h"
#include "cli/picture_input.h"
#include "cli/scheme_choice.h"

namespace quillon::cli {
namespace {

constexpr const char* kCommand = "split";

constexpr const char* kHelp =
    "Usage: quillon-cli split SECRET.bmp --scheme S [--n N] [--k K] [--sets SETS] [--optimal]\n"
    "                         [--method M] [--innocent A.bmp,B.bmp,...] [--seed SEED]\n"
    "                         [--out DIR] [--threshold T | --dither] [--invert]\n"
    "                         [--save-secret FILE] [--format bmp|png]\n"
    "\n"
    "Splits a two-colour secret image into one share per participant, written as capa1.bmp,\n"
    "capa2.bmp, ... into DIR, and prints the path of every share written. Stacking the shares\n"
    "of a qualified set of participants (see 'quillon-cli stack') shows the secret.\n"
    "\n"
    "  --scheme S       2of2, 2ofn, nofn, kofn or general (or 0 to 4)\n"
    "  --n N            number of participants, 2 to 9 (default 2; 2of2 ignores it)\n"
    "  --k K            threshold of kofn, 2 to N (default 2)\n"
    "  --sets SETS      minimal qualified sets of general, e.g. '1,2;2,3'\n"
    "  --optimal        kofn: the pair with the best possible contrast for (K,N)\n"
    "  --method M       random-column (default), pixel-sampling, square, smallest-filler,\n"
    "                   smallest-no-filler, extended-size, extended-detail (or 0 to 6)\n"
    "  --innocent LIST  innocent images of the extended methods, one per share in share\n"
    "                   order, separated by ','; each at least as large as the secret\n"
    "  --seed SEED      draw from std::minstd_rand seeded with SEED (1 to 2147483646), for\n"
    "                   reproducible shares; anyone who knows SEED can recompute them, so\n"
    "                   without it the system's secure generator is used\n"
    "  --out DIR        output folder, created when missing (default: working directory)\n"
    "\n"
    "SECRET and the innocent images may be BMP, PNG or JPEG files (told by content). A PNG or\n"
    "JPEG picture becomes two-colour by luminance; a BMP is read as stored (a pixel is black\n"
    "when all its bits are zero) unless --threshold or --dither reads it by colour.\n"
    "  --threshold T    black where the luminance is below T, 0 to 255 (default 128)\n"
    "  --dither         Floyd-Steinberg error diffusion instead of a plain threshold\n"
    "  --invert         swap black and white in the secret\n"
    "  --save-secret FILE  also write the two-colour secret that was encrypted (PNG when\n"
    "                   FILE ends in .png, BMP otherwise)\n"
    "  --format F       bmp (default) or png: the shares' file format\n"
    "  -h, --help       show this help\n";

std::vector<OptionDef> SplitOptionTable() {
  std::vector<OptionDef> options = SchemeOptionTable();
  options.push_back({"--method", "", true});
  options.push_back({"--innocent", "", true});
  options.push_back({"--seed", "", true});
  options.push_back({"--out", "", true});
  for (OptionDef& option : PictureOptionTable())
    options.push_back(std::move(option));
  return options;
}

// The outermost folder of dir that does not exist yet; empty when dir exists.
std::filesystem::path FirstMissingFolder(const std::string& dir) {
  std::error_code error;
  std::filesystem::path missing;
  for (std::filesystem::path p = dir; !p.empty() && !std::filesystem::exists(p, error);
       p = p.parent_path()) {
    missing = p;
    if (p == p.parent_path())
      break;
  }
  return missing;
}

// Removes dir and its parents up to top, each only while it is empty.
void RemoveEmptyFolders(const std::string& dir, const std::filesystem::path& top) {
  if (top.empty())
    return;
  std::error_code error;
  for (std::filesystem::path p = dir; !p.empty(); p = p.parent_path()) {
    if (!std::filesystem::is_empty(p, error) || error || !std::filesystem::remove(p, error))
      return;
    if (p == top)
      return;
  }
}

}  // namespace

std::string MakeOutputDir(const std::string& dir) {
  if (dir.empty())
    return "";
  std::error_code error;
  std::filesystem::create_directories(dir, error);
  if (error || !std::filesystem::is_directory(dir, error)) {
    return "cannot create the output folder '" + dir + "'" +
           (error ? ": " + error.message() : std::string(": not a folder"));
  }
  return "";
}

SplitResult SplitSecret(const BmpImage& secret, const EncryptRequest& request,
                        const std::string& outDir, std::vector<std::string> innocentImages,
                        const Console& console, std::string_view command) {
  CliShareSession session(console, outDir, std::move(innocentImages));
  session.SetSecretSize(secret.Width(), secret.Height());
  EncryptRequest withSecret = request;
  withSecret.secret = &secret;
  SplitResult result;
  {
    // What loading an innocent image or saving a share reports joins the session's messages.
    ScopedReporter held([&session](const std::string& caption, const std::string& text) {
      session.ShowMessage(caption, text);
    });
    result.outcome = EncryptSecretImage(session, withSecret);
  }
  result.ranOutOfInnocentImages = session.RanOutOfInnocentImages();
  if (result.outcome == EncryptOutcome::Done) {
    result.shareFiles = session.ShareFiles();
    return result;
  }
  std::string text = session.TakeHeldMessages();
  if (result.outcome == EncryptOutcome::SaveFailed)
    text += " (not every share could be written)";
  Failure(console, command, text);
  return result;
}

int RunSplit(const std::vector<std::string>& args, const Console& console) {
  ParsedArgs parsed = ParseArgs(args, SplitOptionTable());
  if (auto status = HelpOrUsageError(parsed, console, kCommand, kHelp, 1))
    return *status;
  if (parsed.positional.empty())
    return UsageError(console, kCommand, "missing SECRET.bmp");
  SchemeChoice choice;
  if (std::string error = ReadSchemeChoice(parsed, choice); !error.empty()) {
    return UsageError(console, kCommand, error);
  }
  EncryptRequest request;
  if (const std::string* text = parsed.Value("--method")) {
    auto method = ParseExpansionMethod(*text);
    if (!method) {
      return UsageError(console, kCommand,
                        "unknown method '" + *text + "' (" + MethodChoices() + ")");
    }
    request.method = *method;
  }
  std::vector<std::string> innocentImages;
  if (const std::string* text = parsed.Value("--innocent")) {
    if (!IsExtendedMethod(request.method)) {
      return UsageError(
          console, kCommand,
          "--innocent belongs to the methods " + JoinWords(MethodNames(IsExtendedMethod), "and"));
    }
    innocentImages = SplitList(*text, ',');
    for (const std::string& file : innocentImages) {
      if (file.empty()) {
        return UsageError(console, kCommand, "empty file name in --innocent '" + *text + "'");
      }
    }
  }
  std::optional<uint32_t> seed;
  if (const std::string* text = parsed.Value("--seed")) {
    seed = ParseSeed(*text);
    if (!seed) {
      return UsageError(console, kCommand,
                        "--seed needs a whole number from " + std::to_string(kMinSeed) + " to " +
                            std::to_string(kMaxSeed) + ", not '" + *text + "'");
    }
  }
  std::string outDir;
  if (const std::string* text = parsed.Value("--out")) {
    if (text->empty())
      return UsageError(console, kCommand, "--out needs a folder name");
    outDir = *text;
  }
  PictureChoice pictures;
  if (std::string error = ReadPictureChoice(parsed, pictures); !error.empty())
    return UsageError(console, kCommand, error);

  BasisMatrix sets(0, 0);
  if (Code error = ChosenSchemeParams(choice, sets, request.scheme);
      error != Code::kOk) {
    return Failure(console, kCommand, SchemeErrorText(error));
  }
  if (std::string hint = QualifiedSetsHint(choice); !hint.empty()) {
    return Failure(console, kCommand,
                   SchemeErrorText(Code::kNoQualifiedSet) + (" (" + hint + ")"));
  }

  BmpImage secret;
  TempFolder temp;
  {
    // The BMP reader's own message, or what the picture decoder found, in one line.
    HeldMessages held(console, kCommand);
    std::string readError;
    if (!LoadTwoColourPicture(parsed.positional[0], pictures.byColour, pictures.rule, secret,
                              readError)) {
      return Failure(console, kCommand,
                     readError.empty()
                         ? held.Take("the secret image")
                         : CannotRead("secret image", parsed.positional[0], readError));
    }
    if (std::string error = PrepareInnocentImages(innocentImages, pictures, temp); !error.empty())
      return Failure(console, kCommand, held.Take(error));
  }
  // A folder made for shares that are then not written is removed again.
  const std::filesystem::path made = FirstMissingFolder(outDir);
  if (std::string error = MakeOutputDir(outDir); !error.empty()) {
    return Failure(console, kCommand, error);
  }

  if (seed) {
    std::fprintf(console.err,
                 "quillon-cli split: warning: a seeded split is reproducible: anyone who knows or "
                 "guesses the seed can recompute every share\n");
  }
  WarnAboutSecret(console, parsed.positional[0], secret,
                  pictures.byColour || IsPngOrJpeg(parsed.positional[0]));
  // PNG shares are made as BMP in a private folder first, so that no BMP is left behind.
  std::string shareDir = outDir;
  if (pictures.pngShares) {
    if (std::string error = temp.Create(); !error.empty())
      return Failure(console, kCommand, error);
    shareDir = temp.File("");
  }
  const std::unique_ptr<RandomSource> random = seed ? MakeSeededRandom(*seed) : MakeSystemRandom();
  request.random = random.get();
  SplitResult result =
      SplitSecret(secret, request, shareDir, std::move(innocentImages), console, kCommand);
  if (result.outcome != EncryptOutcome::Done) {
    RemoveEmptyFolders(outDir, made);
    return kExitFailure;
  }
  // What was written stays listed even when a later step fails.
  const auto listFiles = [&] {
    for (const std::string& file : result.shareFiles)
      std::fprintf(console.out, "%s\n", file.c_str());
  };
  if (pictures.pngShares) {
    std::string error;
    result.shareFiles = WritePngShares(result.shareFiles, outDir, error);
    if (!error.empty()) {
      listFiles();
      return Failure(console, kCommand, error);
    }
  }
  if (!pictures.saveSecret.empty()) {
    if (std::string error = SaveTwoColour(secret, pictures.saveSecret); !error.empty()) {
      listFiles();
      return Failure(console, kCommand, error);
    }
    result.shareFiles.push_back(pictures.saveSecret);
  }
  listFiles();
  if (std::fflush(console.out) != 0 || std::ferror(console.out))
    return kExitFailure;
  return kExitOk;
}

}  // namespace quillon::cli
