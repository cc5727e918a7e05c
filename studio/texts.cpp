#include "studio/texts.h"

#include <algorithm>
#include <cerrno>
#include <cmath>
#include <cstdio>
#include <cstring>
#include <filesystem>
#include <initializer_list>
#include <iterator>
#include <string_view>
#include <utility>

#include "io/picture.h"
#include "io/print_sheets.h"
#include "schemes/method_table.h"
#include "schemes/scheme_table.h"

// Marks an English text for the catalog (xgettext --keyword=N_); the text is its own key and
// is translated where it is used.
#define N_(text) text

namespace quillon::studio {
namespace {

using Blanks = std::initializer_list<std::pair<std::string_view, std::string>>;

// Joins pieces by appending (GCC 12 warns wrongly about "literal" + std::string).
std::string Concat(std::initializer_list<std::string_view> pieces) {
  std::string text;
  for (std::string_view piece : pieces)
    text.append(piece);
  return text;
}

// Fills every "{name}" of pattern with its value.
std::string Fill(std::string pattern, Blanks blanks) {
  for (const auto& [name, value] : blanks) {
    const std::string key = Concat({"{", name, "}"});
    for (size_t at = pattern.find(key); at != std::string::npos;
         at = pattern.find(key, at + value.size())) {
      pattern.replace(at, key.size(), value);
    }
  }
  return pattern;
}

std::string Number(int64_t value) {
  return std::to_string(value);
}

std::string Decimal(double value, int digits) {
  char text[32];
  std::snprintf(text, sizeof text, "%.*f", digits, value);
  return text;
}

// "1/4 (0.250)", or "1" for a whole number.
std::string Contrast(const Rational& r) {
  if (r.Den() == 1)
    return r.ToString();
  return Concat({r.ToString(), " (", Decimal(r.ToDouble(), 3), ")"});
}

std::string Quoted(const std::string& file) {
  return Concat({"\u201C", file, "\u201D"});
}

std::string Members(uint32_t members) {
  std::string text;
  for (int t = 0; t < 32; ++t) {
    if ((members >> t) & 1u)
      text.append(text.empty() ? "" : ", ").append(std::to_string(t + 1));
  }
  return text;
}

std::string FileNames(const std::vector<std::string>& paths) {
  std::string text;
  for (const std::string& path : paths)
    text.append(text.empty() ? "" : ", ").append(std::filesystem::path(path).filename().string());
  return text;
}

constexpr const char* kLabels[] = {
    N_("Open\u2026"),
    N_("Open Shares\u2026"),
    N_("Recent Files"),
    N_("Save Shares\u2026"),
    N_("Print\u2026"),
    N_("Quit"),
    N_("Encrypt"),
    N_("Cancel"),
    N_("Secret"),
    N_("Read by colour"),
    N_("Luminance threshold"),
    N_("Dither"),
    N_("Invert"),
    N_("Scheme"),
    N_("Method"),
    N_("Participants"),
    N_("Threshold"),
    N_("Minimal qualified sets"),
    N_("Optimal contrast"),
    N_("Allow a share in the clear"),
    N_("Innocent image"),
    N_("Choose Innocent Image\u2026"),
    N_("Facts"),
    N_("Use Optimal Contrast"),
    N_("Layers"),
    N_("Stack"),
    N_("Participant"),
    N_("Not known"),
    N_("Align Layers"),
    N_("Decode Exactly"),
    N_("Save Stacked Picture\u2026"),
    N_("Save Decoded Picture\u2026"),
    N_("Remove"),
    N_("Zoom In"),
    N_("Zoom Out"),
    N_("Layer to move"),
    N_("Share format"),
    N_("BMP"),
    N_("PNG"),
    N_("Replace"),
    N_("Paper"),
    N_("Pixel size (mm)"),
    N_("All shares on one page"),
    N_("Preview"),
    N_("Custom size"),
    N_("Width (mm)"),
    N_("Height (mm)"),
    N_("Save PDF\u2026"),
    N_("Use the Pixel Size That Fits"),
    N_("Encrypting"),
    N_("Pictures (BMP, PNG, JPEG)"),
    N_("PDF files"),
    N_("File"),
    N_("View"),
    N_("Help"),
    N_("About Quillon Studio"),
    N_("Splits a two-colour secret picture into shares; stacking the shares of a qualified "
       "set of participants shows the secret."),
    N_("Picture"),
    N_("Two colours"),
    N_("Open a picture, or drop one here, to make it the secret."),
    N_("Choose the folder for the shares"),
    N_("Save"),
    N_("Sets to choose from"),
};
static_assert(std::size(kLabels) == static_cast<size_t>(Label::kCount), "one text per label");

constexpr const char* kSchemeNames[] = {
    N_("(2,2) threshold"), N_("(2,n) threshold"),          N_("(n,n) threshold"),
    N_("(k,n) threshold"), N_("General access structure"),
};

constexpr const char* kMethodNames[] = {
    N_("Random basis column"),
    N_("Pixel sampling"),
    N_("Square sub-pixel expansion"),
    N_("Smallest square, with filler"),
    N_("Smallest square, without filler"),
    N_("Extended: preserve size"),
    N_("Extended: preserve detail"),
};

}  // namespace

Texts::Texts(Translate translate) : m_translate(std::move(translate)) {}

std::string Texts::T(const char* english) const {
  return m_translate ? m_translate(english) : std::string(english);
}

std::string Texts::Text(Label label) const {
  const size_t i = static_cast<size_t>(label);
  return i < std::size(kLabels) ? T(kLabels[i]) : std::string();
}

std::string Texts::WindowTitle(const std::string& secretPath) const {
  if (secretPath.empty())
    return kProgramName;
  return std::string(kProgramName) + " \u2014 " +
         std::filesystem::path(secretPath).filename().string();
}

std::string Texts::SchemeName(SchemeKind kind) const {
  const size_t i = static_cast<size_t>(kind);
  return i < std::size(kSchemeNames) ? T(kSchemeNames[i]) : std::string();
}

std::string Texts::MethodName(ExpansionMethod method) const {
  const size_t i = static_cast<size_t>(method);
  return i < std::size(kMethodNames) ? T(kMethodNames[i]) : std::string();
}

const std::vector<std::string>& PaperChoices() {
  static const std::vector<std::string> papers = {"a4", "a3",     "a5",    "a2",     "a1",
                                                  "a0", "letter", "legal", "tabloid"};
  return papers;
}

std::string Texts::PaperName(const std::string& paper) const {
  if (paper == "letter")
    return T(N_("Letter"));
  if (paper == "legal")
    return T(N_("Legal"));
  if (paper == "tabloid")
    return T(N_("Tabloid"));
  const std::optional<Paper> found = FindPaper(paper);
  if (!found)
    return paper;
  if (found->name.size() == 2 && found->name[0] == 'a')
    return "A" + found->name.substr(1);
  // Sizes of the user's own, to a tenth of a millimetre, whole ones without decimals.
  const auto mm = [](double value) {
    std::string text = Decimal(value, 1);
    if (text.size() > 2 && text.compare(text.size() - 2, 2, ".0") == 0)
      text.resize(text.size() - 2);
    return text;
  };
  return Fill(T(N_("{w} \u00D7 {h} mm")), {{"w", mm(found->widthMm)}, {"h", mm(found->heightMm)}});
}

std::string Texts::PictureFilter() const {
  return Text(Label::kPictureFiles) + "|*.bmp;*.BMP;*.png;*.PNG;*.jpg;*.JPG;*.jpeg;*.JPEG";
}

namespace {

// The pieces of Say, each taking the translating Texts.
struct Words {
  std::function<std::string(const char*)> t;

  // pattern with {reason} when the system said why, else the shorter one.
  std::string WithReason(const char* withReason, const char* without, const Outcome& o) const {
    if (o.error == 0)
      return Fill(t(without), {{"file", Quoted(o.file)}});
    return Fill(t(withReason), {{"file", Quoted(o.file)}, {"reason", std::strerror(o.error)}});
  }

  std::string Reading(const Outcome& o) const {
    const std::string file = Quoted(o.file);
    switch (o.code) {
      case Code::kCannotOpen:
        return WithReason(N_("Cannot open {file}: {reason}."), N_("Cannot open {file}."), o);
      case Code::kCannotRead:
        return WithReason(N_("Cannot read {file}: {reason}."), N_("Cannot read {file}."), o);
      case Code::kNotRegularFile:
        return Fill(t(o.error == EISDIR ? N_("{file} is a folder, not a picture.")
                                        : N_("{file} is not a regular file.")),
                    {{"file", file}});
      case Code::kNotAPicture:
        return Fill(t(N_("{file} is not a picture that Quillon Studio opens (BMP, PNG or JPEG).")),
                    {{"file", file}});
      case Code::kUnsupportedBitmap:
        return Fill(t(N_("{file} is a kind of BMP file that cannot be read.")), {{"file", file}});
      case Code::kShortPixelData:
        return Fill(t(N_("{file} is cut short: its pixels end before its header says.")),
                    {{"file", file}});
      case Code::kBadPicture:
        return Fill(t(N_("{file} is damaged ({detail}).")), {{"file", file}, {"detail", o.detail}});
      case Code::kPictureTooLarge:
        return Fill(t(N_("{file} is too large: {size} pixels, where at most {max} are read.")),
                    {{"file", file}, {"size", o.detail}, {"max", Number(kMaxPicturePixels)}});
      case Code::kFileTooLarge:
        return Fill(t(N_("{file} is too large a file (more than {limit}).")),
                    {{"file", file}, {"limit", o.detail}});
      case Code::kNoPixels:
        return Fill(t(N_("{file} has no pixels.")), {{"file", file}});
      case Code::kColoursUnreadable:
        return Fill(t(N_("The colours of {file}, a {bits}-bit BMP, cannot be read.")),
                    {{"file", file}, {"bits", o.detail}});
      case Code::kNoMemory:
        return Fill(t(N_("There is not enough memory to read {file}.")), {{"file", file}});
      default:
        return WithReason(N_("Cannot read {file}: {reason}."), N_("Cannot read {file}."), o);
    }
  }

  std::string Writing(const Outcome& o, Role role) const {
    const std::string file = Quoted(o.file);
    const std::string nothing = Concat({" ", t(N_("Nothing was written."))});
    switch (o.code) {
      case Code::kCannotCreate:
        return WithReason(N_("Cannot create {file}: {reason}."), N_("Cannot create {file}."), o) +
               nothing;
      case Code::kCannotReplace:
        if (role == Role::kShare && o.index > 0) {
          return WithReason(N_("Cannot put {file} in place: {reason}."),
                            N_("Cannot put {file} in place."), o) +
                 Concat({" ", t(N_("The shares before it were replaced: the folder holds a mixed "
                                   "set."))});
        }
        return WithReason(N_("Cannot put {file} in place: {reason}."),
                          N_("Cannot put {file} in place."), o) +
               nothing;
      case Code::kNotRegularFile:
        return Fill(t(o.error == EISDIR
                          ? N_("Cannot write {file}: a folder of that name is in the way.")
                          : N_("Cannot write {file}: it is not a regular file.")),
                    {{"file", file}}) +
               nothing;
      case Code::kCannotMakeFolder:
        return WithReason(N_("Cannot create the folder {file}: {reason}."),
                          N_("Cannot create the folder {file}."), o) +
               nothing;
      case Code::kOutputIsInput:
        return Fill(t(N_("{file} is {input}, which is open here: saving would replace it. "
                         "Choose another name or folder.")),
                    {{"file", file}, {"input", Quoted(o.detail)}});
      case Code::kOutputTwice:
        return Fill(t(N_("{file} and {other} are the same file.")),
                    {{"file", file}, {"other", Quoted(o.detail)}}) +
               nothing;
      case Code::kCannotOpen:
        return WithReason(N_("Cannot look at {file}: {reason}."), N_("Cannot look at {file}."), o) +
               nothing;
      case Code::kInterrupted:
        return t(N_("Interrupted.")) + nothing;
      case Code::kNoMemory:
        return Fill(t(N_("There is not enough memory to write {file}.")), {{"file", file}}) +
               nothing;
      case Code::kUnsupportedBitmap:
      case Code::kSharesTooLarge:
        return Fill(t(N_("{file} is too large for a BMP file.")), {{"file", file}}) + nothing;
      case Code::kCannotDraw:
        return Fill(t(N_("Cannot write {file}: share {share} could not be drawn ({reason}).")),
                    {{"file", file}, {"share", Number(o.index + 1)}, {"reason", o.detail}}) +
               nothing;
      default:
        return WithReason(N_("Cannot write {file}: {reason}."), N_("Cannot write {file}."), o) +
               nothing;
    }
  }

  std::string Refusal(const Outcome& o) const {
    const std::string participant = Number(o.index + 1);
    switch (o.code) {
      case Code::kOk:
        return "";
      case Code::kCancelled:
        return t(N_("The encryption was cancelled; nothing changed."));
      case Code::kNoSecret:
        return t(N_("Open a secret picture first."));
      case Code::kBadParameters:
        return t(
            N_("The number of participants must be from 2 to 9, and the threshold from 2 "
               "to the number of participants."));
      case Code::kMatricesTooLarge:
        return t(
            N_("The basis matrices of this scheme are too large to build. Choose a smaller "
               "threshold or fewer participants, or Optimal contrast."));
      case Code::kNoQualifiedSet:
        return t(
            N_("This scheme has no qualified set of participants: enter its minimal "
               "qualified sets."));
      case Code::kSingleQualified:
        return Fill(t(N_("Participant {p} alone is a qualified set, so share {p} would show the "
                         "secret in the clear. Change the sets, or allow a share in the clear.")),
                    {{"p", participant}});
      case Code::kSharesTooLarge:
        return t(N_("The shares would be too large for this picture and method."));
      case Code::kSmallerThanBlock:
        return t(N_("The secret is smaller than one block of this method."));
      case Code::kNoMemory:
        return t(N_("There is not enough memory for shares of this size."));
      case Code::kInnocentMissing:
        return t(N_("Choose an innocent image for every share."));
      case Code::kRandomFailed:
        if (o.error != 0) {
          return Fill(t(N_("The system's random generator failed ({reason}): nothing was "
                           "encrypted.")),
                      {{"reason", std::strerror(o.error)}});
        }
        return t(N_("The system's random generator failed: nothing was encrypted."));
      case Code::kPrintTooLarge:
        return t(N_("The shares do not fit on the paper at this pixel size."));
      default:
        return t(N_("The work could not be done."));
    }
  }

  std::string Innocent(const Outcome& o) const {
    const std::string share = Number(o.index + 1);
    if (o.code == Code::kInnocentTooSmall) {
      return Fill(t(N_("The innocent image {file} of share {share} is smaller than the secret.")),
                  {{"file", Quoted(o.file)}, {"share", share}});
    }
    return Reading(o) + " " +
           Fill(t(N_("It is the innocent image of share {share}.")), {{"share", share}});
  }
};

}  // namespace

std::string Texts::Say(const Result& result) const {
  const Words words{[this](const char* english) { return T(english); }};
  const std::string layer = Number(result.index + 1);
  switch (result.problem) {
    case Problem::kNone:
      return "";
    case Problem::kOutcome:
      switch (result.role) {
        case Role::kSecret:
        case Role::kLayer:
          return words.Reading(result.outcome);
        case Role::kInnocent:
          return words.Innocent(result.outcome);
        case Role::kShare:
        case Role::kStacked:
        case Role::kPdf:
          return words.Writing(result.outcome, result.role);
        case Role::kNone:
          return words.Refusal(result.outcome);
      }
      return words.Refusal(result.outcome);
    case Problem::kBusy:
      return T(N_("An encryption is running: wait for it to end, or cancel it."));
    case Problem::kNoShares:
      return T(N_("There are no shares yet: encrypt the secret first."));
    case Problem::kNothingTicked:
      return T(N_("Tick the layers to stack."));
    case Problem::kUnknownParticipant:
      return Fill(T(N_("Choose whose share layer {layer} is.")), {{"layer", layer}});
    case Problem::kParticipantTwice:
      return Fill(T(N_("Layer {layer} is a second share of a participant already ticked.")),
                  {{"layer", layer}});
    case Problem::kBeyondScheme:
      return Fill(T(N_("Layer {layer} is a participant the scheme does not have.")),
                  {{"layer", layer}});
    case Problem::kForbiddenSet:
      return T(N_("These shares are a forbidden set: stacked, they show nothing of the secret."));
    case Problem::kNotBlockMethod:
      return T(
          N_("Exact decoding needs shares of a block method, made by more than one "
             "participant: not Random basis column or Extended: preserve size."));
    case Problem::kOffsetsSet:
      return T(N_("Align the layers (every offset 0) to decode them exactly."));
    case Problem::kLayerSizesDiffer:
      return Fill(T(N_("Layer {layer} is not the size of the first: these are not shares of one "
                       "set.")),
                  {{"layer", layer}});
    case Problem::kNotWholeBlocks:
      return T(N_("The layers are not whole blocks of this scheme and method."));
    case Problem::kSetsInvalid:
      return T(N_("The minimal qualified sets cannot be read: correct them first."));
    case Problem::kBadPrintChoice:
      return T(N_("Choose a paper and a pixel size from 0.05 to 20 mm."));
    case Problem::kInnocentMissing:
      return Fill(T(N_("Choose an innocent image for share {share}.")), {{"share", layer}});
    case Problem::kLayerIndex:
      return T(N_("That layer cannot be changed this way."));
    case Problem::kNotDecoded:
      return T(N_("Decode the stack first."));
  }
  return "";
}

std::string Texts::Warning(const SecretWarning& warning) const {
  switch (warning.kind) {
    case SecretWarningKind::kNoBlack:
      return T(N_("The secret has no black pixel: the shares would hide an all-white picture."));
    case SecretWarningKind::kNoWhite:
      return T(N_("The secret has no white pixel: the shares would hide an all-black picture."));
    case SecretWarningKind::kNegativePalette:
      return T(
          N_("The first colour of this BMP's palette, which is read as black, is lighter "
             "than the others: the shares would hide the picture's negative."));
  }
  return "";
}

std::string Texts::FixButton(const SecretFix& fix) const {
  switch (fix.kind) {
    case FixKind::kReadByColour:
      return T(N_("Read by Colour"));
    case FixKind::kInvert:
      return T(N_("Invert"));
    case FixKind::kChangeThreshold:
      return Fill(T(N_("Use Threshold {value}")), {{"value", Number(fix.threshold)}});
    case FixKind::kDither:
      return T(N_("Dither"));
  }
  return "";
}

std::string Texts::SetsMessage(const SetsCheck& check) const {
  const std::string set = Number(check.set);
  switch (check.problem) {
    case SetsProblem::kNone:
      return "";
    case SetsProblem::kNoSets:
      return T(N_("Enter the minimal qualified sets, such as 1,2;2,3."));
    case SetsProblem::kEmptySet:
      return Fill(T(N_("Set {set} is empty.")), {{"set", set}});
    case SetsProblem::kEmptyMember:
      return Fill(T(N_("Set {set} has an empty member.")), {{"set", set}});
    case SetsProblem::kNotAParticipant:
      return Fill(T(N_("In set {set}, {member} is not a participant from 1 to {n}.")),
                  {{"set", set}, {"member", Quoted(check.member)}, {"n", Number(check.n)}});
  }
  return "";
}

std::string Texts::SetName(uint32_t members) const {
  return Concat({"{", Members(members), "}"});
}

std::vector<std::string> Texts::FactLines(const SchemeFacts& scheme, const ShareFacts& shares,
                                          ExpansionMethod method, double pixelMm) const {
  std::vector<std::string> lines;
  if (scheme.refusal != Code::kOk)
    return lines;
  lines.push_back(Fill(T(N_("Pixel expansion: {m} sub-pixels for every secret pixel.")),
                       {{"m", Number(scheme.subpixels)}}));
  const std::string side = Number(shares.blockSide);
  switch (MethodInfo(method).layout) {
    case PixelLayout::OneColumn:
      lines.push_back(
          T(N_("The shares keep the secret's size: each of their pixels is one "
               "sub-pixel drawn at random.")));
      break;
    case PixelLayout::BlockPerPixel:
      lines.push_back(
          Fill(T(N_("Each secret pixel becomes {s} \u00D7 {s} share pixels.")), {{"s", side}}));
      break;
    case PixelLayout::SampledBlock:
      lines.push_back(Fill(T(N_("Each {s} \u00D7 {s} block of the secret is drawn from its first "
                                "pixel: the shares keep the secret's size, cut to whole "
                                "blocks.")),
                           {{"s", side}}));
      break;
  }
  if (shares.refusal == Code::kOk) {
    lines.push_back(
        Fill(T(N_("Each share: {w} \u00D7 {h} pixels, {wmm} \u00D7 {hmm} mm printed at {px} mm "
                  "a pixel.")),
             {{"w", Number(shares.size.width)},
              {"h", Number(shares.size.height)},
              {"wmm", Decimal(shares.widthMm, 1)},
              {"hmm", Decimal(shares.heightMm, 1)},
              {"px", Decimal(pixelMm, 2)}}));
  } else if (shares.refusal != Code::kNoSecret) {
    lines.push_back(Say(Result::From(Outcome::Fail(shares.refusal))));
  }
  for (const SizeFacts& size : scheme.bySize) {
    const std::string count = Number(size.size);
    std::string line;
    if (size.qualified == 0) {
      line = Fill(T(N_("Sets of {size}: they see nothing of the secret.")), {{"size", count}});
    } else {
      const std::string contrast =
          size.minContrast == size.maxContrast
              ? Contrast(size.minContrast)
              : Fill(T(N_("{low} to {high}")),
                     {{"low", Contrast(size.minContrast)}, {"high", Contrast(size.maxContrast)}});
      line = size.qualified == size.sets
                 ? Fill(T(N_("Sets of {size}: contrast {contrast}.")),
                        {{"size", count}, {"contrast", contrast}})
                 : Fill(T(N_("Sets of {size}: {qualified} of {sets} qualified, contrast "
                             "{contrast}.")),
                        {{"size", count},
                         {"qualified", Number(size.qualified)},
                         {"sets", Number(size.sets)},
                         {"contrast", contrast}});
    }
    if (size.insecure > 0) {
      line.append(" ").append(Fill(T(N_("{insecure} forbidden sets of this size are NOT SECURE.")),
                                   {{"insecure", Number(size.insecure)}}));
    }
    lines.push_back(line);
  }
  lines.push_back(scheme.allSecure
                      ? T(N_("Security: every forbidden set sees nothing of the secret (checked "
                             "exactly)."))
                      : T(N_("Security: NOT SECURE. Some forbidden sets can tell black from "
                             "white.")));
  return lines;
}

std::vector<std::string> Texts::FactWarnings(const SchemeFacts& facts) const {
  std::vector<std::string> warnings;
  if (facts.refusal != Code::kOk)
    warnings.push_back(Say(Result::From(Outcome::Fail(facts.refusal))));
  if (facts.lowContrast) {
    warnings.push_back(Fill(T(N_("The contrast {contrast} is low: below 1/16 the secret is hard "
                                 "to see on stacked transparencies.")),
                            {{"contrast", Contrast(facts.minContrast)}}));
  }
  if (facts.optimalOffered) {
    const Blanks blanks = {{"k", Number(facts.optimalK)},
                           {"n", Number(facts.optimalN)},
                           {"m", Number(facts.optimalSubpixels)},
                           {"contrast", Contrast(facts.optimalContrast)}};
    warnings.push_back(
        facts.refusal == Code::kMatricesTooLarge
            ? Fill(T(N_("The contrast-optimal ({k},{n}) construction can be built: {m} "
                        "sub-pixels, contrast {contrast}.")),
                   blanks)
            : Fill(T(N_("The contrast-optimal ({k},{n}) construction shows the secret better: "
                        "contrast {contrast} with {m} sub-pixels.")),
                   blanks));
  }
  if (facts.loneParticipant >= 0) {
    warnings.push_back(Fill(T(N_("Participant {p} alone is qualified: share {p} shows the "
                                 "secret in the clear.")),
                            {{"p", Number(facts.loneParticipant + 1)}}));
  }
  if (facts.refusal == Code::kOk && !facts.allSecure) {
    warnings.push_back(
        T(N_("Some forbidden sets can tell black from white: these shares do not "
             "keep the secret.")));
  }
  return warnings;
}

std::string Texts::LayerLine(const Layer& layer) const {
  std::string line;
  if (layer.participant < 0) {
    line = Fill(T(N_("{name}, participant not known")), {{"name", layer.name}});
  } else {
    line = Fill(T(N_("{name}, participant {p}")),
                {{"name", layer.name}, {"p", Number(layer.participant + 1)}});
  }
  if (layer.dx != 0 || layer.dy != 0) {
    line.append(" ").append(
        Fill(T(N_("(moved {dx}, {dy})")), {{"dx", Number(layer.dx)}, {"dy", Number(layer.dy)}}));
  }
  return line;
}

std::string Texts::StackLine(const StackCheck& check, const std::vector<Layer>& layers) const {
  const bool named = check.layer >= 0 && static_cast<size_t>(check.layer) < layers.size();
  const std::string name = named ? Quoted(layers[check.layer].name) : std::string();
  const std::string p = named ? Number(layers[check.layer].participant + 1) : std::string();
  switch (check.state) {
    case StackCheck::State::kNothingTicked:
      return T(N_("Tick layers to stack them."));
    case StackCheck::State::kUnknownParticipant:
      return Fill(T(N_("Whose share {name} is, is not known: choose its participant to see "
                       "whether the stack shows the secret.")),
                  {{"name", name}});
    case StackCheck::State::kParticipantTwice:
      return Fill(T(N_("{name} is a second share of participant {p}.")),
                  {{"name", name}, {"p", p}});
    case StackCheck::State::kBeyondScheme:
      return Fill(T(N_("{name} is participant {p}, but the scheme has {n} participants.")),
                  {{"name", name}, {"p", p}, {"n", Number(check.participants)}});
    case StackCheck::State::kQualified:
      if (check.analysed && check.m > 0) {
        return Fill(T(N_("Participants {members} are qualified: the stack shows the secret "
                         "(contrast {contrast}).")),
                    {{"members", Members(check.members)},
                     {"contrast", Contrast(Rational::Fraction(check.h - check.l, check.m))}});
      }
      return Fill(T(N_("Participants {members} are qualified: the stack shows the secret.")),
                  {{"members", Members(check.members)}});
    case StackCheck::State::kForbidden:
      return Fill(T(N_("Participants {members} are a forbidden set: the stack shows nothing of "
                       "the secret.")),
                  {{"members", Members(check.members)}});
  }
  return "";
}

std::string Texts::DecodedLine(const DecodeResult& decoded) const {
  return Fill(T(N_("{blocks} blocks decoded, {ambiguous} of them ambiguous.")),
              {{"blocks", Number(decoded.blocks)}, {"ambiguous", Number(decoded.ambiguous)}});
}

std::string Texts::ZoomLine(int numerator, int denominator) const {
  const int64_t percent = denominator > 0 ? int64_t{100} * numerator / denominator : 0;
  return Fill(T(N_("Zoom {percent}%")), {{"percent", Number(percent)}});
}

std::string Texts::SavedLine(const std::string& path) const {
  return Fill(T(N_("Saved {file}.")),
              {{"file", Quoted(std::filesystem::path(path).filename().string())}});
}

std::string Texts::SavePlanLine(const SharesPlan& plan) const {
  return Fill(T(N_("The shares will be saved as {files}.")), {{"files", FileNames(plan.files)}});
}

std::string Texts::ReplaceQuestion(const SharesPlan& plan) const {
  if (plan.replaced.empty())
    return "";
  return Fill(T(N_("{files} already exist in this folder and will be replaced. Replace them?")),
              {{"files", FileNames(plan.replaced)}});
}

std::string Texts::LeftOverLine(const SharesPlan& plan) const {
  if (plan.leftOver.empty())
    return "";
  return Fill(T(N_("The earlier shares {files} stay in the folder, but they are not part of the "
                   "new set.")),
              {{"files", FileNames(plan.leftOver)}});
}

std::string Texts::PrintMisfit(const PrintPreview& preview, const PrintChoice& choice) const {
  const quillon::PrintMisfit& m = preview.layout.misfit;
  const std::string paper = PaperName(choice.paper);
  std::string text =
      Fill(T(N_("The shares need {w} \u00D7 {h} mm with their marks and labels, but {paper} paper "
                "holds {rw} \u00D7 {rh} mm inside its margins.")),
           {{"w", Decimal(m.neededWidthMm, 1)},
            {"h", Decimal(m.neededHeightMm, 1)},
            {"paper", paper},
            {"rw", Decimal(m.roomWidthMm, 1)},
            {"rh", Decimal(m.roomHeightMm, 1)}});
  if (m.fittingPixelMm > 0) {
    text.append(" ").append(Fill(T(N_("A pixel size of {px} mm fits.")),
                                 {{"px", Decimal(std::floor(m.fittingPixelMm * 100) / 100, 2)}}));
  }
  return text;
}

std::string Texts::PreviewPages(int pages) const {
  return Fill(T(N_("Page 1 of {pages}")), {{"pages", Number(pages)}});
}

std::string Texts::PrintLabel(const std::string& share, const SchemeSetup& setup) const {
  const unsigned uses = SchemeInfo(setup.Kind()).uses;
  std::string scheme = SchemeName(setup.Kind());
  if (uses & kUsesK)
    scheme.append(", k = ").append(Number(setup.Threshold()));
  if (uses & kUsesN)
    scheme.append(", n = ").append(Number(setup.Participants()));
  if (setup.Optimal())
    scheme.append(", ").append(T(N_("optimal contrast")));
  if (uses & kUsesSets)
    scheme.append(", ").append(QualifiedSetsText(setup.Sets()));
  return Concat({share, "    ", scheme, ", ", MethodName(setup.Method())});
}

std::string Texts::ShareNumber(int share) const {
  return Fill(T(N_("Share {n}")), {{"n", Number(share + 1)}});
}

std::string Texts::SharesMade(int count) const {
  return Fill(T(N_("{count} shares made: tick them under Layers to see them stacked.")),
              {{"count", Number(count)}});
}

std::string Texts::SharesSaved(const SharesPlan& plan, const std::string& folder) const {
  return Fill(T(N_("Saved {files} in {folder}.")),
              {{"files", FileNames(plan.files)}, {"folder", Quoted(folder)}});
}

std::string Texts::Progress(double fraction) const {
  const int percent = static_cast<int>(std::clamp(fraction, 0.0, 1.0) * 100);
  return Fill(T(N_("Encrypting\u2026 {percent}%")), {{"percent", Number(percent)}});
}

}  // namespace quillon::studio
