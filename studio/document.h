// The Studio's document: the secret and its two-colour reading, the scheme and method
// choices, the facts before encrypting, the shares made here and the layers opened from
// files, the stack of the ticked layers, and the print and file choices. Every change goes
// through a command of this class, which tells the observers which aspects changed; the view
// only shows what the document holds and forwards the user's actions. Nothing here knows a
// window toolkit or words a message: results are data (studio/result.h), worded by
// studio/texts.h.
//
// Threads: a document and its observers belong to the owner thread. The one piece of work
// that runs elsewhere is the encryption (studio/encrypt_job.h), which reads only its own
// copies and changes the document when it is delivered back on the owner thread.
//
// Files go through the Env handed in; the random source of an encryption is handed to
// StartEncrypt.
#pragma once

#include <cstdint>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "combine/decode.h"
#include "core/bmp_image.h"
#include "core/env.h"
#include "core/random.h"
#include "io/print_sheets.h"
#include "studio/encrypt_job.h"
#include "studio/facts.h"
#include "studio/recent_files.h"
#include "studio/result.h"
#include "studio/scheme_setup.h"
#include "studio/secret.h"
#include "studio/settings.h"

namespace quillon::studio {

class Texts;

// What changed, as bits of DocumentObserver::DocumentChanged.
enum Aspect : unsigned {
  kSecretAspect = 1u << 0,   // the picture, its reading, its warnings
  kSchemeAspect = 1u << 1,   // scheme, n, k, sets, optimal, method, innocent images
  kFactsAspect = 1u << 2,    // the facts (they follow the scheme, secret and pixel size)
  kLayersAspect = 1u << 3,   // the layers: shares made, layers opened, ticks, participants
  kStackAspect = 1u << 4,    // the stacked picture, its check or its decoding
  kBusyAspect = 1u << 5,     // an encryption started or ended
  kRecentAspect = 1u << 6,   // the recent files
  kPrintAspect = 1u << 7,    // the print choices
  kFoldersAspect = 1u << 8,  // the folders remembered, the share format, the window size
};

class DocumentObserver {
 public:
  virtual ~DocumentObserver() = default;
  // Once per command that changed something, on the owner thread.
  virtual void DocumentChanged(unsigned aspects) = 0;
};

// One picture of the stack: a share made here or a layer opened from a file.
struct Layer {
  std::string name;  // a share made here: its share name ("capa1.bmp"); else the file's name
  std::string path;  // the file it was opened from; empty for a share made here
  std::shared_ptr<const BmpImage> image;
  bool made = false;     // a share of the document's last encryption
  int participant = -1;  // whose share it is, from 0; -1 when not known
  bool ticked = false;
  int dx = 0;  // offset in pixels: right
  int dy = 0;  // and down
};

// Whether the ticked layers show the secret, by the participants whose shares they are.
struct StackCheck {
  enum class State {
    kNothingTicked,
    kUnknownParticipant,  // layer: a ticked layer of no known participant
    kParticipantTwice,    // layer: a second ticked share of one participant
    kBeyondScheme,        // layer: a participant the scheme does not have
    kQualified,
    kForbidden,
  };
  State state = State::kNothingTicked;
  int layer = -1;
  int ticked = 0;
  int participants = 0;  // of the scheme the layers are judged by
  uint32_t members = 0;  // bit t: participant t
  // For a qualified or forbidden set of the analysed scheme: its stacked black sub-pixels
  // for a white (l) and a black (h) secret pixel, of m.
  bool analysed = false;
  int64_t l = 0;
  int64_t h = 0;
  int64_t m = 0;
};

// The files a Save Shares would write, before anything is written.
struct SharesPlan {
  std::vector<std::string> files;     // in share order
  std::vector<std::string> replaced;  // those of them that exist: ask before replacing
  // Earlier shares in the folder that the new set leaves (beyond its count, or of the other
  // format): they do not belong to it.
  std::vector<std::string> leftOver;
};

struct PrintPreview {
  PrintLayout layout;                // pages and where each share goes
  std::vector<int> firstPageShares;  // the shares on page 1 (indices into Layers())
  double paperWidthMm = 0;
  double paperHeightMm = 0;
};

class Document {
 public:
  explicit Document(Env& env);
  Document(const Document&) = delete;
  Document& operator=(const Document&) = delete;

  void AddObserver(DocumentObserver* observer);
  void RemoveObserver(DocumentObserver* observer);

  // ---- The secret.
  // Opens a BMP, PNG or JPEG picture (told by content) as the secret, read with the default
  // reading, and puts it first in the recent files. A failure (role kSecret) leaves the
  // document as it was.
  Result OpenSecret(const std::string& path);
  const SecretPicture& Secret() const { return m_secret; }
  // A new reading (threshold, dither, invert, read by colour): cheap, for live previews.
  Result SetSecretReading(const SecretReading& reading);
  // Applies one of the fixes that come with the secret's warnings.
  Result ApplyFix(const SecretFix& fix);

  // ---- The scheme and method (studio/scheme_setup.h keeps them buildable).
  const SchemeSetup& Scheme() const { return m_scheme; }
  void SetSchemeKind(SchemeKind kind);
  int SetParticipants(int n);
  int SetThreshold(int k);
  void SetOptimal(bool optimal);
  const SetsCheck& SetQualifiedSetsText(std::string text);
  void ToggleQualifiedSet(uint32_t members);
  void SetMethod(ExpansionMethod method);
  void SetInnocentImage(int share, std::string path);
  void SetAllowClearShare(bool allow);
  // Takes the contrast-optimal construction the facts offer: the (k,n) scheme with the
  // optimal pair. Nothing happens when none is offered.
  void TakeOptimalOffer();

  // ---- The facts before encrypting: kept until the scheme changes.
  const SchemeFacts& Facts();
  // The shares the current secret and method give, at the print pixel size.
  ShareFacts SharesFacts();

  // ---- Encrypting.
  // Makes the job that encrypts the current two-colour secret with the current choices; run
  // it on a worker thread and deliver it back here (studio/encrypt_job.h). Refusals made at
  // once: kBusy (a job is out), kSetsInvalid, kInnocentMissing (index: the share), and the
  // outcomes kNoSecret and the scheme's refusals; the rest comes from the job. While a job
  // is out, Busy() answers true.
  Result StartEncrypt(std::unique_ptr<RandomSource> random, std::unique_ptr<EncryptJob>* job);
  bool Busy() const { return m_busy; }

  // ---- Layers and the stack.
  // The shares made here come first (share r is layer r), then the layers opened.
  const std::vector<Layer>& Layers() const { return m_layers; }
  int MadeShares() const;
  // Opens files as layers (BMP, PNG, JPEG, read in their two-colour view), ticked; a file
  // named like a share ("capa3.png") is taken as that participant's. Every file that reads
  // is added; the result is the first failure (role kLayer, index: its place in paths).
  Result OpenLayers(const std::vector<std::string>& paths);
  // Takes an opened layer off (shares made here stay; kLayerIndex for them).
  Result RemoveLayer(int layer);
  Result TickLayer(int layer, bool ticked);
  // Offsets are kept within the layer's own size (farther, it covers nothing anyway).
  Result SetLayerOffset(int layer, int dx, int dy);
  Result NudgeLayer(int layer, int ddx, int ddy);
  // participant from 0, or -1 for not known; the shares made here keep their own.
  Result SetLayerParticipant(int layer, int participant);
  void ResetOffsets();

  // The scheme the layers are judged by: the one the shares made here were made with, or
  // the current choices while none were made.
  const SchemeSetup& StackScheme() const;
  // The ticked layers stacked at their offsets; null when nothing is ticked. Made when first
  // asked after a change (a few milliseconds for megapixel shares).
  const BmpImage* Stacked();
  StackCheck CheckStack();
  // Decodes the ticked, aligned layers exactly (combine/decode.h). Refusals: those of
  // CheckStack (kNothingTicked, kUnknownParticipant, kParticipantTwice, kForbiddenSet),
  // kNotBlockMethod, kOffsetsSet, kLayerSizesDiffer, kNotWholeBlocks; kNoMemory.
  Result DecodeStack();
  // The last decoding, until the stack changes; null when there is none.
  const DecodeResult* Decoded() const { return m_decoded ? &*m_decoded : nullptr; }
  // Writes the stacked (or decoded) picture to path whole or not at all, as PNG when path
  // ends in ".png", else as a 1-bit BMP; never over an input (the secret, an innocent image,
  // a layer). Role kStacked.
  Result SaveStacked(const std::string& path);
  Result SaveDecoded(const std::string& path);

  // ---- Saving the shares made here.
  // The names in folder ("capa1.bmp", ... or ".png"), those that would be replaced and the
  // earlier shares left over. Refusals: kNoShares; an output that is an input
  // (kOutputIsInput, kOutputTwice; role kShare) or whose status cannot be read.
  Result PlanSaveShares(const std::string& folder, ShareFormat format, SharesPlan* plan);
  // Writes the shares as one set (core/share_set_writer.h): all or none. Role kShare.
  Result SaveShares(const std::string& folder, ShareFormat format);

  // ---- Printing the shares made here (io/print_sheets.h).
  const PrintChoice& Print() const { return m_print; }
  // kBadPrintChoice for an unknown paper or a pixel size outside the printable range.
  Result SetPrintChoice(const PrintChoice& choice);
  // The layout of the shares made here, for the preview of page 1. Refusals: kNoShares, and
  // kPrintTooLarge (preview->layout.misfit says how much room they need).
  Result PreviewPrint(PrintPreview* preview) const;
  // Writes the layout as one PDF file, labelled in texts' words. Role kPdf.
  Result PrintPdf(const std::string& path, const Texts& texts);

  // ---- Recent files and settings.
  const RecentFiles& Recent() const { return m_recent; }
  // Takes a file that no longer opens off the list.
  void ForgetRecent(const std::string& path);
  StudioSettings Settings() const;
  // Takes stored settings back; every choice passes through its setter, so values out of
  // range end within range.
  void ApplySettings(const StudioSettings& settings);
  void SetWindowSize(int width, int height);
  // The format Save Shares offers first (also set by SaveShares).
  void SetShareFormat(ShareFormat format);
  ShareFormat GetShareFormat() const { return m_shareFormat; }

 private:
  friend class EncryptJob;
  // The end of a job: shares (null when it failed) become the shares made here; stacked,
  // when given, is their stack in place, taken as the stack unless an opened layer is ticked.
  void FinishJob(std::vector<BmpImage>* shares, const SchemeSetup& setup, SchemeFacts facts,
                 const std::string& secretPath, std::optional<BmpImage> stacked);
  const SchemeFacts& StackFacts();
  void Notify(unsigned aspects);
  void SchemeChanged();
  void StackChanged();
  Result LayerAt(int layer) const;
  // Every file open here: no output may replace one.
  std::vector<std::string> Inputs() const;
  Result SavePicture(const BmpImage& image, const std::string& path);

  Env& m_env;
  std::vector<DocumentObserver*> m_observers;
  SecretPicture m_secret;
  SchemeSetup m_scheme;
  std::optional<SchemeFacts> m_facts;
  bool m_busy = false;
  std::vector<Layer> m_layers;
  // What the shares made here were made with: its facts judge the stack.
  std::optional<SchemeSetup> m_madeWith;
  std::optional<SchemeFacts> m_madeFacts;
  std::string m_madeFrom;  // the secret they were made from
  std::optional<BmpImage> m_stacked;
  bool m_stackedValid = false;
  std::optional<DecodeResult> m_decoded;
  PrintChoice m_print;
  ShareFormat m_shareFormat = ShareFormat::kBmp;
  RecentFiles m_recent;
  StudioSettings m_folders;  // the folders and window size, kept as plain values
};

}  // namespace quillon::studio
