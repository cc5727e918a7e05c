// Every word the Studio shows, in one place: labels, names, messages for the results of its
// commands, warnings and facts. The English texts are the catalog's keys; each is marked for
// extraction in texts.cpp (xgettext --keyword=N_) and passed through the Translate function
// handed in before its blanks ({file}, {n}, ...) are filled, so that a translation may
// reorder them. The wx view hands in wxGetTranslation; tests use the identity.
//
// The names scripts find controls by and the start of the window title are not translated.
// A Texts object holds no state but its function; use it on one thread at a time (the
// system's error texts come from strerror).
#pragma once

#include <cstdint>
#include <functional>
#include <string>
#include <vector>

#include "core/kinds.h"
#include "studio/document.h"
#include "studio/facts.h"
#include "studio/result.h"
#include "studio/scheme_setup.h"
#include "studio/secret.h"

namespace quillon::studio {

// The window title starts with the program's name, in every language.
inline constexpr char kProgramName[] = "Quillon Studio";
// The names (wxWindow::SetName) of the controls that scripts look for. The buttons are also
// found by their labels: Label::kEncrypt, kSaveShares and kPrint.
inline constexpr char kSchemeControlName[] = "Scheme";
inline constexpr char kMethodControlName[] = "Method";
inline constexpr char kParticipantsControlName[] = "Participants";
inline constexpr char kThresholdControlName[] = "Threshold";
inline constexpr char kEncryptButtonName[] = "Encrypt";
inline constexpr char kSaveSharesButtonName[] = "SaveShares";
inline constexpr char kPrintButtonName[] = "Print";

// The fixed words of the window.
enum class Label {
  kOpen,          // "Open…"
  kOpenShares,    // "Open Shares…"
  kRecentFiles,   // "Recent Files"
  kSaveShares,    // "Save Shares…"
  kPrint,         // "Print…"
  kQuit,          // "Quit"
  kEncrypt,       // "Encrypt"
  kCancel,        // "Cancel"
  kSecret,        // "Secret"
  kReadByColour,  // "Read by colour"
  kLuminanceThreshold,
  kDither,
  kInvert,
  kScheme,
  kMethod,
  kParticipants,
  kThreshold,
  kQualifiedSets,
  kOptimalContrast,
  kAllowClearShare,
  kInnocentImage,
  kChooseInnocentImage,
  kFacts,
  kUseOptimal,  // take the optimal construction the facts offer
  kLayers,
  kStack,
  kParticipant,
  kUnknownParticipant,
  kAlignLayers,  // every offset back to 0
  kDecodeExactly,
  kSaveStacked,  // "Save Stacked Picture…"
  kSaveDecoded,
  kRemoveLayer,  // takes an opened layer off the stack
  kZoomIn,
  kZoomOut,
  kLayerToMove,  // the layer that dragging and the arrow keys move
  kShareFormat,
  kFormatBmp,
  kFormatPng,
  kReplace,  // the button that confirms replacing files
  kPaper,
  kPixelSize,  // "Pixel size (mm)"
  kSamePage,
  kPreview,
  kCustomPaper,  // a paper of the user's own size
  kPaperWidth,   // "Width (mm)"
  kPaperHeight,
  kSavePdf,          // "Save PDF…"
  kUseFittingPixel,  // takes the largest pixel size that fits the paper
  kEncrypting,       // the progress window's title
  kPictureFiles,     // the file dialog's filter name
  kPdfFiles,
  kFileMenu,  // the menus
  kViewMenu,
  kHelpMenu,
  kAbout,
  kAboutText,      // one sentence on what the program does
  kPictureAsRead,  // the secret as opened, beside its reading
  kTwoColours,     // the reading that is encrypted
  kNoSecretYet,    // the empty secret panel
  kChooseSharesFolder,
  kSave,
  kCandidateSets,  // the list of sets to tick
  kCount,
};

// The papers the Studio offers by name, most used first, as FindPaper knows them.
const std::vector<std::string>& PaperChoices();

// Turns an English text into the user's language; empty for English.
using Translate = std::function<std::string(const char* english)>;

class Texts {
 public:
  explicit Texts(Translate translate = {});

  std::string Text(Label label) const;
  // "Quillon Studio", or "Quillon Studio — secret.png" with a secret open.
  std::string WindowTitle(const std::string& secretPath) const;
  std::string SchemeName(SchemeKind kind) const;
  std::string MethodName(ExpansionMethod method) const;
  // A paper's name as the user reads it: "A4", "Letter", "210 × 297 mm"; papers are named as
  // io/print_sheets.h's FindPaper knows them.
  std::string PaperName(const std::string& paper) const;
  // The file-dialog filter of the pictures the Studio opens, in wxWidgets' form.
  std::string PictureFilter() const;

  // What a command ended with, as one or two sentences; "" for Ok.
  std::string Say(const Result& result) const;

  // The secret's warnings and the buttons of their fixes.
  std::string Warning(const SecretWarning& warning) const;
  std::string FixButton(const SecretFix& fix) const;

  // Why the qualified sets as typed cannot be read; "" for valid sets.
  std::string SetsMessage(const SetsCheck& check) const;
  // "{1, 3}", for the list of candidate sets.
  std::string SetName(uint32_t members) const;

  // The facts, one line each: sub-pixels, share size and size on paper, the contrast of
  // each size of set, the security check.
  std::vector<std::string> FactLines(const SchemeFacts& scheme, const ShareFacts& shares,
                                     ExpansionMethod method, double pixelMm) const;
  // The warnings of the facts: low contrast, the optimal construction, a participant alone
  // qualified, insecure sets, a refusal.
  std::vector<std::string> FactWarnings(const SchemeFacts& facts) const;

  // The list entry of a layer: "capa1.bmp — participant 1".
  std::string LayerLine(const Layer& layer) const;
  // What the ticked layers show; layers are the document's.
  std::string StackLine(const StackCheck& check, const std::vector<Layer>& layers) const;
  std::string DecodedLine(const DecodeResult& decoded) const;
  // The stack's zoom as a percentage: "Zoom 400%", or "Zoom 25%" for 1 in 4.
  std::string ZoomLine(int numerator, int denominator) const;
  // What a save wrote: "Saved “stack.png”."
  std::string SavedLine(const std::string& path) const;

  // The files Save Shares will write, and the question before replacing.
  std::string SavePlanLine(const SharesPlan& plan) const;
  // "" when nothing would be replaced.
  std::string ReplaceQuestion(const SharesPlan& plan) const;
  // "" when no earlier share is left over.
  std::string LeftOverLine(const SharesPlan& plan) const;

  // Why the shares do not fit on the paper, and the pixel size that would.
  std::string PrintMisfit(const PrintPreview& preview, const PrintChoice& choice) const;
  // "Page 1 of 3", above the preview.
  std::string PreviewPages(int pages) const;
  // The label printed under a share: its name, the scheme and the method.
  std::string PrintLabel(const std::string& share, const SchemeSetup& setup) const;

  // The innocent image row of one share (from 0): "Share 1".
  std::string ShareNumber(int share) const;
  // What a finished encryption and a saved set say in the window.
  std::string SharesMade(int count) const;
  std::string SharesSaved(const SharesPlan& plan, const std::string& folder) const;

  // "Encrypting… 42%".
  std::string Progress(double fraction) const;

 private:
  std::string T(const char* english) const;

  Translate m_translate;
};

}  // namespace quillon::studio
