#include <memory>

#include "cli/cli_session.h"
#include "cli/commands.h"
#include "cli/messages.h"
#include "cli/options.h"
#include "cli/picture_input.h"
#include "cli/scheme_choice.h"
#include "core/file_identity.h"
#include "core/share_set_writer.h"
#include "core/whole_number.h"
#include "shares/share_output.h"

namespace quillon::cli {
namespace {

constexpr const char* kCommand = "split";

constexpr const char* kHelp =
    "Usage: quillon-cli split SECRET.bmp --scheme S [--n N] [--k K] [--sets SETS] [--optimal]\n"
    "                         [--method M] [--innocent A.bmp,B.bmp,...] [--seed SEED]\n"
    "                         [--out DIR] [--threshold T | --dither] [--invert]\n"
    "                         [--save-secret FILE] [--format bmp|png] [--allow-clear-share]\n"
    "                         [--threads N]\n"
    "\n"
    "Splits a two-colour secret image into one share per participant, written as capa1.bmp,\n"
    "capa2.bmp, ... into DIR, and prints the path of every share written. Stacking the shares\n"
    "of a qualified set of participants (see 'quillon-cli stack') shows the secret. The shares\n"
    "are written as one set, readable by their owner only: every share or, on a failure or\n"
    "Ctrl-C, none (earlier shares stay as they were). No share replaces an input.\n"
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
    "  --threads N      threads that share the rows, 1 to 256, each drawing from its own\n"
    "                   generator (default: one per core); a seeded split uses one\n"
    "  --allow-clear-share  let a general structure make one participant alone qualified\n"
    "                   (--sets 1 or '1;2,3'): that participant's share is then the secret\n"
    "                   in the clear\n"
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
  options.push_back({"--threads", "", true});
  options.push_back({"--allow-clear-share", "", false});
  for (OptionDef& option : PictureOptionTable())
    options.push_back(std::move(option));
  return options;
}

std::string SizeText(int32_t width, int32_t height) {
  return std::to_string(width) + "x" + std::to_string(height);
}

std::vector<RoleFile> SplitInputs(const std::string& secret, const ShareOutput& output) {
  std::vector<RoleFile> inputs{{secret, "secret image"}};
  for (const std::string& innocent : output.innocentImages)
    inputs.push_back({innocent, "innocent image"});
  return inputs;
}

std::vector<RoleFile> SplitOutputs(const ShareOutput& output, int shares,
                                   const std::string& saveSecret) {
  std::vector<RoleFile> outputs;
  for (int r = 0; r < shares; ++r)
    outputs.push_back({SharePath(output, r), "share"});
  if (!saveSecret.empty())
    outputs.push_back({saveSecret, "--save-secret file"});
  return outputs;
}

std::vector<std::string> Paths(const std::vector<RoleFile>& files) {
  std::vector<std::string> paths;
  for (const RoleFile& file : files)
    paths.push_back(file.path);
  return paths;
}

// The one line for a split that did not succeed; *hint when a refused bitmap is the cause.
std::string SplitFailureText(const Outcome& outcome, const CliShareSession& session,
                             const BmpImage& secret, const ShareOutput& output, bool* hint) {
  *hint = false;
  const std::string share = std::to_string(outcome.index + 1);
  if (session.InnocentLoadFailed()) {
    *hint = WantsBitmapHint(outcome);
    return ReadFailure(outcome, "innocent image", session.InnocentFormat()) + " (share " + share +
           "); nothing written";
  }
  switch (outcome.code) {
    case Code::kCancelled:
      return "not enough innocent images: the extended methods need one per share, and share " +
             share + " has none (--innocent A.bmp,B.bmp,...); nothing written";
    case Code::kInnocentTooSmall: {
      const bool narrow = session.InnocentWidth() < secret.Width();
      return "the innocent image '" + outcome.file + "' (share " + share + ") is " +
             (narrow ? "narrower" : "lower") + " than the secret: the image " +
             SizeText(session.InnocentWidth(), session.InnocentHeight()) + ", the secret " +
             SizeText(secret.Width(), secret.Height()) + "; nothing written";
    }
    case Code::kOutputIsInput:
    case Code::kOutputTwice:
      return OverlapFailure(outcome, SplitInputs(secret.FileName(), output),
                            SplitOutputs(output, kShareSlots, ""));
    case Code::kCannotReplace:
      if (outcome.index > 0) {
        return WriteFailure(outcome) + "; the shares before it were replaced, so the folder " +
               "holds a mixed set";
      }
      break;
    default:
      break;
  }
  if (outcome.file.empty()) {
    if (std::string refusal = Refusal(outcome); !refusal.empty())
      return refusal;
  }
  return WriteFailure(outcome) + "; nothing written";
}

// Shares of an earlier split that the new set does not replace: beyond its count, or of the
// other format. Said once, so that nobody stacks a share of another set.
void WarnAboutEarlierShares(const Console& console, const ShareOutput& output, int shares) {
  Env& env = console.Files();
  std::vector<std::string> earlier;
  ShareOutput other = output;
  other.png = !output.png;
  for (int r = 0; r < shares; ++r) {
    FileStatus status;
    if (env.Status(SharePath(other, r), false, &status) && status.Exists())
      earlier.push_back(SharePath(other, r));
  }
  for (std::string& file : SharesBeyond(env, output.folder, shares))
    earlier.push_back(std::move(file));
  if (earlier.empty())
    return;
  std::string list;
  for (const std::string& file : earlier)
    list += (list.empty() ? "'" : ", '") + file + "'";
  Warning(console, kCommand,
          (earlier.size() == 1 ? "the earlier share " : "the earlier shares ") + list +
              (earlier.size() == 1 ? " is" : " are") + " not part of the new set of " +
              std::to_string(shares) + " shares");
}

}  // namespace

bool SplitSecret(const BmpImage& secret, const EncryptRequest& request, const ShareOutput& output,
                 const Console& console, std::string_view command,
                 std::vector<std::string>& shareFiles) {
  CliShareSession session(console, output);
  EncryptRequest withSecret = request;
  withSecret.secret = &secret;
  const Outcome outcome = EncryptSecretImage(session, console.Files(), withSecret);
  if (outcome) {
    shareFiles = session.ShareFiles();
    return true;
  }
  bool hint = false;
  const std::string text = SplitFailureText(outcome, session, secret, output, &hint);
  Failure(console, command, text, hint);
  return false;
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
  ShareOutput output;
  if (const std::string* text = parsed.Value("--innocent")) {
    if (!IsExtendedMethod(request.method)) {
      return UsageError(
          console, kCommand,
          "--innocent belongs to the methods " + JoinWords(MethodNames(IsExtendedMethod), "and"));
    }
    output.innocentImages = SplitList(*text, ',');
    for (const std::string& file : output.innocentImages) {
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
  if (const std::string* text = parsed.Value("--threads")) {
    const std::optional<int32_t> threads = ParseWholeNumber(*text);
    if (!threads || *threads < 1 || *threads > kMaxThreads) {
      return UsageError(console, kCommand,
                        "--threads needs a whole number from 1 to " + std::to_string(kMaxThreads) +
                            ", not '" + *text + "'");
    }
    request.threads = *threads;
  }
  if (const std::string* text = parsed.Value("--out")) {
    if (text->empty())
      return UsageError(console, kCommand, "--out needs a folder name");
    output.folder = *text;
  }
  PictureChoice pictures;
  if (std::string error = ReadPictureChoice(parsed, pictures); !error.empty())
    return UsageError(console, kCommand, error);
  output.png = pictures.pngShares;
  output.innocentByColour = pictures.byColour;
  output.innocentRule = pictures.rule;
  request.allowClearShare = parsed.Has("--allow-clear-share");

  BasisMatrix sets(0, 0);
  if (Code error = ChosenSchemeParams(choice, sets, request.scheme); error != Code::kOk)
    return Failure(console, kCommand, Refusal(Outcome::Fail(error)));
  if (std::string hint = QualifiedSetsHint(choice); !hint.empty()) {
    return Failure(console, kCommand,
                   Refusal(Outcome::Fail(Code::kNoQualifiedSet)) + " (" + hint + ")");
  }

  // No output may name an input or another output: checked before anything is read or made.
  Env& env = console.Files();
  const std::string& secretPath = parsed.positional[0];
  const int shares = choice.kind == SchemeKind::Scheme2of2 ? 2 : request.scheme.n;
  const std::vector<RoleFile> inputs = SplitInputs(secretPath, output);
  const std::vector<RoleFile> outputs = SplitOutputs(output, shares, pictures.saveSecret);
  if (Outcome apart = CheckOutputs(env, Paths(inputs), Paths(outputs)); !apart)
    return Failure(console, kCommand, OverlapFailure(apart, inputs, outputs));

  BmpImage secret;
  PictureFormat format = PictureFormat::Unknown;
  if (Outcome loaded =
          LoadTwoColourPicture(env, secretPath, pictures.byColour, pictures.rule, secret, &format);
      !loaded) {
    return Failure(console, kCommand, ReadFailure(loaded, "secret image", format),
                   WantsBitmapHint(loaded));
  }
  if (!secret.HasPixels() || secret.Width() <= 0 || secret.Height() <= 0) {
    return Failure(console, kCommand,
                   ReadFailure(Outcome::Fail(Code::kNoPixels, secretPath), "secret image"));
  }
  // A folder made for shares that are then not written is removed again.
  OutputFolders folders;
  if (Outcome ready = folders.Make(env, output.folder); !ready) {
    folders.RemoveMade(env);
    return Failure(console, kCommand, WriteFailure(ready));
  }

  if (seed) {
    Warning(console, kCommand,
            "a seeded split is reproducible: anyone who knows or guesses the seed can recompute "
            "every share");
  }
  WarnAboutSecret(
      console, secretPath, secret,
      pictures.byColour || format == PictureFormat::Png || format == PictureFormat::Jpeg);
  const std::unique_ptr<RandomSource> random =
      seed ? MakeSeededRandom(*seed) : MakeSystemRandom(console.entropy);
  request.random = random.get();
  std::vector<std::string> written;
  if (!SplitSecret(secret, request, output, console, kCommand, written)) {
    folders.RemoveMade(env);
    return kExitFailure;
  }
  // What was written stays listed even when the saved secret then fails.
  const auto listFiles = [&] {
    for (const std::string& file : written)
      std::fprintf(console.out, "%s\n", file.c_str());
  };
  const int shareCount = static_cast<int>(written.size());
  if (!pictures.saveSecret.empty()) {
    if (Outcome saved = SaveTwoColour(env, secret, pictures.saveSecret); !saved) {
      listFiles();
      return Failure(console, kCommand, WriteFailure(saved));
    }
    written.push_back(pictures.saveSecret);
  }
  listFiles();
  WarnAboutEarlierShares(console, output, shareCount);
  if (std::fflush(console.out) != 0 || std::ferror(console.out))
    return kExitFailure;
  return kExitOk;
}

}  // namespace quillon::cli
