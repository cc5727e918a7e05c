#include <algorithm>
#include <cctype>
#include <cstring>
#include <filesystem>

#include "cli/commands.h"
#include "cli/demo_secret.h"
#include "cli/messages.h"
#include "cli/options.h"
#include "cli/terminal_picture.h"

namespace quillon::cli {
namespace {

constexpr const char* kCommand = "demo";
constexpr const char* kDefaultDir = "quillon-demo";
// At most this many picture cells across: with the frame and the indent a line takes 78.
constexpr int kMaxPictureColumns = 74;

constexpr const char* kHelp =
    "Usage: quillon-cli demo [--out DIR]\n"
    "\n"
    "Shows visual cryptography at work without any input file: draws a secret (the word\n"
    "QUILLON), splits it into shares, stacks two of them and shows the secret, a share and\n"
    "the stacked result in the terminal. Every file goes into DIR (default: quillon-demo),\n"
    "made when missing; files of an earlier demo there are replaced.\n"
    "\n"
    "  --out DIR   the folder for the demo's files\n"
    "  -h, --help  show this help\n";

struct DemoSplit {
  const char* folder;
  SchemeKind scheme;
  int n;
  int k;
  ExpansionMethod method;
  const char* description;
};

constexpr DemoSplit kSplits[] = {
    {"kofn-2-of-3", SchemeKind::SchemeKofN, 3, 2, ExpansionMethod::RandomBasisColumn,
     "(2,3)-threshold scheme, random basis column: any 2 of the 3 shares show it"},
    {"2of2-smallest-no-filler", SchemeKind::Scheme2of2, 2, 2,
     ExpansionMethod::SmallestSquareWithoutFiller,
     "(2,2)-threshold scheme, smallest square expansion: 2x2 pixels per pixel"},
};

std::string Join(const std::string& dir, const std::string& name) {
  return (std::filesystem::path(dir) / name).string();
}

struct Frame {
  const char* topLeft;
  const char* topRight;
  const char* bottomLeft;
  const char* bottomRight;
  const char* across;
  const char* side;
};

// columns cells across, each of the same share of the picture as a dot of the secret's font, so
// that letters keep sharp edges.
void PrintPicture(const Console& console, const std::string& title, const BmpImage& image,
                  int columns, Glyphs glyphs, bool stretch) {
  static const Frame kUnicodeFrame = {"\u250c", "\u2510", "\u2514", "\u2518", "\u2500", "\u2502"};
  static const Frame kAsciiFrame = {"+", "+", "+", "+", "-", "|"};
  const Frame& frame = glyphs == Glyphs::Unicode ? kUnicodeFrame : kAsciiFrame;
  columns = std::min({columns, kMaxPictureColumns, image.Width()});
  std::string picture = RenderPicture(image, columns, glyphs, stretch);
  std::string edge;
  for (int i = 0; i < columns; ++i)
    edge += frame.across;

  std::string text = title + "\n  " + frame.topLeft + edge + frame.topRight + "\n";
  size_t start = 0;
  while (start < picture.size()) {
    size_t end = picture.find('\n', start);
    text += std::string("  ") + frame.side + picture.substr(start, end - start) + frame.side + "\n";
    start = end + 1;
  }
  text += std::string("  ") + frame.bottomLeft + edge + frame.bottomRight + "\n\n";
  std::fputs(text.c_str(), console.out);
}

// A word the shell takes as it is: quoted when it holds anything but plain path characters.
std::string ShellWord(const std::string& word) {
  const bool plain = !word.empty() && std::all_of(word.begin(), word.end(), [](char c) {
    return std::isalnum(static_cast<unsigned char>(c)) || std::strchr("_-+./=,:", c) != nullptr;
  });
  if (plain)
    return word;
  std::string quoted = "'";
  for (char c : word)
    quoted += c == '\'' ? std::string("'\\''") : std::string(1, c);
  return quoted + "'";
}

std::string SizeText(const BmpImage& image) {
  return std::to_string(image.Width()) + "x" + std::to_string(image.Height());
}

}  // namespace

int RunDemo(const std::vector<std::string>& args, const Console& console) {
  ParsedArgs parsed = ParseArgs(args, {{"--out", "", true}});
  if (auto status = HelpOrUsageError(parsed, console, kCommand, kHelp, 0))
    return *status;
  std::string dir = kDefaultDir;
  if (const std::string* text = parsed.Value("--out")) {
    if (text->empty())
      return UsageError(console, kCommand, "--out needs a folder name");
    dir = *text;
  }
  Env& env = console.Files();
  if (Outcome made = MakeFolders(env, dir); !made)
    return Failure(console, kCommand, WriteFailure(made));

  // Demo shares are real shares: they come from the system's secure generator.
  const std::unique_ptr<RandomSource> random = MakeSystemRandom(console.entropy);
  std::string written = "Files written:\n";

  BmpImage secret = MakeDemoSecret(Join(dir, "secret.bmp"));
  if (Outcome saved = secret.Save(env); !saved)
    return Failure(console, kCommand, WriteFailure(saved));
  written += "  " + secret.FileName() + "  the secret, " + SizeText(secret) + "\n";

  std::vector<std::string> firstShares, firstStacks;
  for (const DemoSplit& split : kSplits) {
    ShareOutput output;
    output.folder = Join(dir, split.folder);
    if (Outcome made = MakeFolders(env, output.folder); !made)
      return Failure(console, kCommand, WriteFailure(made));
    EncryptRequest request;
    request.scheme.scheme = split.scheme;
    request.scheme.n = split.n;
    request.scheme.k = split.k;
    request.method = split.method;
    request.random = random.get();
    std::vector<std::string> shareFiles;
    if (!SplitSecret(secret, request, output, console, kCommand, shareFiles))
      return kExitFailure;  // said already
    written += std::string("  ") + split.description + ":\n";
    for (const std::string& file : shareFiles)
      written += "    " + file + "\n";
    const std::string stacked = Join(output.folder, "resultado.bmp");
    if (!StackFiles({shareFiles[0], shareFiles[1]}, stacked, console, kCommand))
      return kExitFailure;
    written += "    " + stacked + "  shares 1 and 2 stacked\n";
    firstShares.push_back(shareFiles[0]);
    firstStacks.push_back(stacked);
  }

  // What is shown is read back from the files written, so the pictures are what a viewer
  // would see.
  BmpImage share(firstShares[0]);
  BmpImage stack(firstStacks[0]);
  BmpImage expanded(firstStacks[1]);
  for (BmpImage* image : {&share, &stack, &expanded}) {
    if (Outcome loaded = image->Load(env); !loaded)
      return Failure(console, kCommand, ReadFailure(loaded, "demo file"));
  }
  std::fprintf(console.out,
               "Visual cryptography demo: a secret is split into shares that each look like\n"
               "noise; laying a qualified set of shares over each other shows the secret.\n\n");
  const Glyphs glyphs = TerminalGlyphs();
  const int columns = secret.Width() / kDemoDotWidth;
  PrintPicture(console, "The secret, " + SizeText(secret) + " (" + secret.FileName() + "):", secret,
               columns, glyphs, false);
  // Shares are grey throughout; stretching the contrast makes the noise and, once stacked, the
  // darker letters stand out.
  PrintPicture(console, "Share 1 of 3 alone tells nothing (" + share.FileName() + "):", share,
               columns, glyphs, true);
  PrintPicture(console, "Shares 1+2 stacked (" + stack.FileName() + "):", stack, columns, glyphs,
               true);
  // The expanding method pays with size for a cleaner result: a black pixel comes out all
  // black, a white one half black.
  PrintPicture(console,
               "The (2,2) scheme with 2x2 pixels per pixel, shares 1+2 stacked\n(" +
                   expanded.FileName() + "):",
               expanded, columns, glyphs, true);
  std::fputs("(Shares are drawn with stretched contrast: light cells blank, dark ones full.)\n\n",
             console.out);

  // A command that works from where the user stands: the program as it was started, and
  // the shares' paths as they were written.
  const std::string folder = Join(dir, kSplits[0].folder);
  std::string summary = written + "Try other pairs, e.g. shares 2 and 3:\n  " +
                        ShellWord(ProgramPath()) + " stack \\\n      " +
                        ShellWord(Join(folder, "capa2.bmp")) + " " +
                        ShellWord(Join(folder, "capa3.bmp")) + " \\\n      -o " +
                        ShellWord(Join(folder, "capa2+3.bmp")) + "\n";
  std::fputs(summary.c_str(), console.out);
  if (std::fflush(console.out) != 0 || std::ferror(console.out))
    return kExitFailure;
  return kExitOk;
}

}  // namespace quillon::cli
