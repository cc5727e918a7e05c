#include <cctype>
#include <charconv>
#include <filesystem>

#include "cli/commands.h"
#include "cli/messages.h"
#include "cli/options.h"
#include "cli/scheme_choice.h"
#include "core/file_identity.h"
#include "io/picture.h"
#include "io/print_sheets.h"

namespace quillon::cli {
namespace {

constexpr const char* kCommand = "print";

constexpr const char* kHelp =
    "Usage: quillon-cli print SHARE... [--pdf OUT.pdf] [--svg OUT.svg] --scheme S [--n N]\n"
    "                         [--k K] [--sets SETS] [--optimal] [--method M]\n"
    "                         [--pixel-mm MM] [--paper a4|letter] [--same-page]\n"
    "\n"
    "Lays shares out for printing on transparencies: every share pixel a black square,\n"
    "drawn as vector rectangles, crosses outside the corners to line the sheets up, and the\n"
    "share's name and scheme printed under it. Prints the path of every file written.\n"
    "Shares may be BMP, PNG or JPEG files.\n"
    "\n"
    "  --pdf OUT.pdf     write a PDF file, one page per share\n"
    "  --svg OUT.svg     write SVG: OUT.svg for one page, OUT-1.svg, OUT-2.svg, ... for more\n"
    "  --scheme S ...    the scheme the shares were made with, as for split (printed only)\n"
    "  --method M        the method they were made with (default random-column)\n"
    "  --pixel-mm MM     side of one share pixel in millimetres, 0.1 to 20 (default 0.5)\n"
    "  --paper P         a4 (default) or letter; shares that do not fit are refused\n"
    "  --same-page       all shares side by side on one page\n"
    "  -h, --help        show this help\n";

std::optional<double> ParseDecimal(std::string_view text) {
  double value = 0;
  const char* end = text.data() + text.size();
  if (text.empty() || !(std::isdigit(static_cast<unsigned char>(text[0])) || text[0] == '.'))
    return std::nullopt;
  auto [ptr, ec] = std::from_chars(text.data(), end, value, std::chars_format::fixed);
  if (ec != std::errc() || ptr != end)
    return std::nullopt;
  return value;
}

std::string SchemeLabel(const SchemeChoice& choice, ExpansionMethod method) {
  const unsigned uses = SchemeInfo(choice.kind).uses;
  std::string label = SchemeKindName(choice.kind);
  if (uses & kUsesK)
    label += " k=" + std::to_string(choice.k);
  if (uses & kUsesN)
    label += " n=" + std::to_string(choice.n);
  if ((uses & kUsesOptimal) && choice.optimal)
    label += " optimal";
  if (uses & kUsesSets) {
    label += " sets ";
    for (size_t s = 0; s < choice.sets.size(); ++s) {
      for (size_t m = 0; m < choice.sets[s].size(); ++m) {
        if (m > 0)
          label += ',';
        label += std::to_string(choice.sets[s][m]);
      }
      if (s + 1 < choice.sets.size())
        label += ";";
    }
  }
  return label + ", method " + ExpansionMethodName(method);
}

// OUT.svg for one page; OUT-1.svg, OUT-2.svg, ... beside it for more.
std::vector<std::string> SvgPaths(const std::string& path, int pages) {
  if (pages == 1)
    return {path};
  const std::filesystem::path base(path);
  std::vector<std::string> paths;
  for (int page = 1; page <= pages; ++page) {
    std::filesystem::path numbered = base;
    numbered.replace_filename(base.stem().string() + "-" + std::to_string(page) +
                              base.extension().string());
    paths.push_back(numbered.string());
  }
  return paths;
}

std::string Decimal(double value, int digits) {
  char text[32];
  std::snprintf(text, sizeof text, "%.*f", digits, value);
  return text;
}

// Why the shares do not fit, and the pixel size that would.
std::string Misfit(const PrintLayout& layout, const PrintOptions& options) {
  const PrintMisfit& m = layout.misfit;
  std::string text = "the shares need " + Decimal(m.neededWidthMm, 1) + " x " +
                     Decimal(m.neededHeightMm, 1) + " mm with their marks and labels, but " +
                     options.paper.name + " paper holds " + Decimal(m.roomWidthMm, 1) + " x " +
                     Decimal(m.roomHeightMm, 1) + " mm inside its margins";
  if (m.fittingPixelMm > 0)
    text += "; --pixel-mm " + Decimal(m.fittingPixelMm, 2) + " fits";
  return text;
}

}  // namespace

int RunPrint(const std::vector<std::string>& args, const Console& console) {
  std::vector<OptionDef> options = SchemeOptionTable();
  options.push_back({"--method", "", true});
  options.push_back({"--pdf", "", true});
  options.push_back({"--svg", "", true});
  options.push_back({"--pixel-mm", "", true});
  options.push_back({"--paper", "", true});
  options.push_back({"--same-page", "", false});
  ParsedArgs parsed = ParseArgs(args, options);
  if (auto status = HelpOrUsageError(parsed, console, kCommand, kHelp, SIZE_MAX))
    return *status;
  if (parsed.positional.empty())
    return UsageError(console, kCommand, "missing SHARE");
  const std::string* pdf = parsed.Value("--pdf");
  const std::string* svg = parsed.Value("--svg");
  if (pdf == nullptr && svg == nullptr)
    return UsageError(console, kCommand, "needs --pdf OUT.pdf or --svg OUT.svg");
  if ((pdf != nullptr && pdf->empty()) || (svg != nullptr && svg->empty()))
    return UsageError(console, kCommand, "--pdf and --svg need a file name");
  SchemeChoice choice;
  if (std::string error = ReadSchemeChoice(parsed, choice); !error.empty())
    return UsageError(console, kCommand, error);
  ExpansionMethod method = ExpansionMethod::RandomBasisColumn;
  if (const std::string* text = parsed.Value("--method")) {
    auto parsedMethod = ParseExpansionMethod(*text);
    if (!parsedMethod)
      return UsageError(console, kCommand, "unknown method '" + *text + "'");
    method = *parsedMethod;
  }
  PrintOptions print;
  if (const std::string* text = parsed.Value("--pixel-mm")) {
    auto value = ParseDecimal(*text);
    if (!value || *value < kMinPixelMm || *value > kMaxPixelMm)
      return UsageError(console, kCommand,
                        "--pixel-mm needs millimetres from 0.1 to 20, not '" + *text + "'");
    print.pixelMm = *value;
  }
  if (const std::string* text = parsed.Value("--paper")) {
    auto paper = FindPaper(*text);
    if (!paper)
      return UsageError(console, kCommand, "--paper is a4 or letter, not '" + *text + "'");
    print.paper = *paper;
  }
  print.samePage = parsed.Has("--same-page");

  Env& env = console.Files();
  std::vector<BmpImage> images(parsed.positional.size());
  std::vector<PrintSheet> sheets;
  const std::string scheme = SchemeLabel(choice, method);
  for (size_t i = 0; i < images.size(); ++i) {
    const std::string& file = parsed.positional[i];
    PictureFormat format = PictureFormat::Unknown;
    if (Outcome loaded = LoadTwoColourPicture(env, file, false, {}, images[i], &format); !loaded) {
      return Failure(console, kCommand, ReadFailure(loaded, "share", format) + "; nothing written",
                     WantsBitmapHint(loaded));
    }
    if (!images[i].HasPixels() || images[i].Width() <= 0 || images[i].Height() <= 0) {
      return Failure(
          console, kCommand,
          ReadFailure(Outcome::Fail(Code::kNoPixels, file), "share") + "; nothing written");
    }
    const std::string name = std::filesystem::path(file).filename().string();
    sheets.push_back({&images[i], ToUtf8(name) + "    " + scheme});
  }
  PrintLayout layout;
  if (Outcome laid = LayOutPrint(sheets, print, layout); !laid)
    return Failure(console, kCommand, Misfit(layout, print) + "; nothing written");

  // No page may replace a share, nor one output another.
  std::vector<RoleFile> inputs, outputs;
  for (const std::string& file : parsed.positional)
    inputs.push_back({file, "share"});
  if (pdf != nullptr)
    outputs.push_back({*pdf, "PDF file"});
  if (svg != nullptr) {
    for (const std::string& path : SvgPaths(*svg, layout.pages))
      outputs.push_back({path, "SVG file"});
  }
  std::vector<std::string> outputPaths;
  for (const RoleFile& output : outputs)
    outputPaths.push_back(output.path);
  if (Outcome apart = CheckOutputs(env, parsed.positional, outputPaths); !apart)
    return Failure(console, kCommand, OverlapFailure(apart, inputs, outputs));

  std::vector<std::string> written;
  Outcome failed;
  if (pdf != nullptr) {
    failed = WritePrintPdf(env, sheets, layout, *pdf);
    if (failed)
      written.push_back(*pdf);
  }
  if (svg != nullptr && failed) {
    const std::vector<std::string> paths = SvgPaths(*svg, layout.pages);
    failed = WritePrintSvg(env, sheets, layout, paths);
    if (failed)
      written.insert(written.end(), paths.begin(), paths.end());
  }
  for (const std::string& file : written)
    std::fprintf(console.out, "%s\n", file.c_str());
  if (!failed) {
    // Cairo's own words when the drawing failed, the system's otherwise.
    return Failure(console, kCommand,
                   failed.detail.empty() ? WriteFailure(failed)
                                         : "cannot write '" + failed.file + "': " + failed.detail);
  }
  if (std::fflush(console.out) != 0 || std::ferror(console.out))
    return kExitFailure;
  return kExitOk;
}

}  // namespace quillon::cli
