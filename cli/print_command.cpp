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
    "Usage: quillon-cli print SHARE... [--pdf OUT.pdf] [--svg OUT.svg] [--pixel-mm MM]\n"
    "                         [--paper P] [--same-page] [--scheme S [--n N] [--k K]\n"
    "                         [--sets SETS] [--optimal] [--method M]]\n"
    "\n"
    "Lays shares out for printing on transparencies: each share one black-and-white image\n"
    "whose every pixel prints as one sharp square, crosses outside the corners to line the\n"
    "sheets up, and the share's name and size (and scheme, when given) printed under it.\n"
    "Prints the path of every file written. Shares may be BMP, PNG or JPEG files.\n"
    "\n"
    "  --pdf OUT.pdf     write a PDF file, one page per share\n"
    "  --svg OUT.svg     write SVG: OUT.svg for one page, OUT-1.svg, OUT-2.svg, ... for more\n"
    "  --pixel-mm MM     side of one share pixel in millimetres, 0.05 to 20 (default 0.5);\n"
    "                    below 0.2 sheets are hard to line up by hand\n"
    "  --paper P         a0 to a5, letter, legal, tabloid or WxH in millimetres, e.g.\n"
    "                    300x400 (default a4); shares that do not fit are refused\n"
    "  --same-page       all shares side by side on one page\n"
    "  --scheme S ...    the scheme the shares were made with, as for split (printed only)\n"
    "  --method M        the method they were made with (default random-column)\n"
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

// 0.05, 20: as few digits as the value needs.
std::string Millimetres(double value) {
  std::string text = Decimal(value, 2);
  while (text.back() == '0')
    text.pop_back();
  if (text.back() == '.')
    text.pop_back();
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

// A write or drawing failure; a drawing failure names the share whose page it was.
std::string PrintFailure(const Outcome& failed, const std::vector<std::string>& shares) {
  const bool share = failed.index >= 0 && static_cast<size_t>(failed.index) < shares.size();
  if (failed.code == Code::kCannotDraw && share) {
    return "cannot draw the share '" + shares[failed.index] + "' into '" + failed.file +
           "': " + failed.detail;
  }
  if (failed.code == Code::kNoMemory && share) {
    return "not enough memory to draw the share '" + shares[failed.index] + "' into '" +
           failed.file + "'";
  }
  return WriteFailure(failed);
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
  // The scheme only feeds the labels; without it they name the file and its size.
  std::string scheme;
  if (parsed.Has("--scheme")) {
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
    scheme = SchemeLabel(choice, method);
  } else {
    for (const char* option : {"--n", "--k", "--sets", "--optimal", "--method"}) {
      if (parsed.Has(option))
        return UsageError(console, kCommand, std::string(option) + " belongs with --scheme");
    }
  }
  PrintOptions print;
  if (const std::string* text = parsed.Value("--pixel-mm")) {
    auto value = ParseDecimal(*text);
    if (!value || *value < kMinPixelMm || *value > kMaxPixelMm) {
      return UsageError(console, kCommand,
                        "--pixel-mm needs millimetres from " + Millimetres(kMinPixelMm) + " to " +
                            Millimetres(kMaxPixelMm) + ", not '" + *text + "'");
    }
    print.pixelMm = *value;
  }
  if (const std::string* text = parsed.Value("--paper")) {
    auto paper = FindPaper(*text);
    if (!paper) {
      return UsageError(console, kCommand,
                        "--paper is a0 to a5, letter, legal, tabloid or WxH in millimetres (" +
                            Millimetres(kMinPaperMm) + " to " + Millimetres(kMaxPaperMm) +
                            " each), not '" + *text + "'");
    }
    print.paper = *paper;
  }
  print.samePage = parsed.Has("--same-page");

  Env& env = console.Files();
  std::vector<BmpImage> images(parsed.positional.size());
  std::vector<PrintSheet> sheets;
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
    // The name's bytes as they are: the drawing shows what is not UTF-8 as U+FFFD.
    std::string label = std::filesystem::path(file).filename().string() + "    " +
                        std::to_string(images[i].Width()) + " x " +
                        std::to_string(images[i].Height()) + " pixels";
    if (!scheme.empty())
      label += "    " + scheme;
    sheets.push_back({&images[i], std::move(label)});
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

  if (print.pixelMm < kHandAlignPixelMm) {
    Warning(console, kCommand,
            "pixels of " + Millimetres(print.pixelMm) + " mm are hard to line up by hand; " +
                Millimetres(kHandAlignPixelMm) + " mm or more is easier");
  }

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
  if (!failed)
    return Failure(console, kCommand, PrintFailure(failed, parsed.positional));
  if (std::fflush(console.out) != 0 || std::ferror(console.out))
    return kExitFailure;
  return kExitOk;
}

}  // namespace quillon::cli
