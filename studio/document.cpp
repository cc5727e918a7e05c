#include "studio/document.h"

#include <algorithm>
#include <cctype>
#include <cmath>
#include <filesystem>
#include <new>

#include "combine/stack.h"
#include "core/atomic_file.h"
#include "core/file_identity.h"
#include "core/share_set_writer.h"
#include "io/png_writer.h"
#include "schemes/method_table.h"
#include "schemes/scheme_table.h"
#include "shares/share_output.h"
#include "studio/offset_stack.h"
#include "studio/texts.h"

namespace quillon::studio {
namespace {

std::string FolderOf(const std::string& path) {
  return std::filesystem::path(path).parent_path().string();
}

std::string FileNameOf(const std::string& path) {
  return std::filesystem::path(path).filename().string();
}

std::string Lower(std::string text) {
  for (char& c : text)
    c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
  return text;
}

bool EndsWithPng(const std::string& path) {
  return Lower(std::filesystem::path(path).extension().string()) == ".png";
}

std::string InFolder(const std::string& folder, const std::string& name) {
  if (folder.empty())
    return name;
  return folder.back() == '/' ? folder + name : folder + "/" + name;
}

// "capa3.bmp" (or .png) for share r.
std::string ShareFileName(int r, ShareFormat format) {
  const std::string name = ShareName(r);
  return format == ShareFormat::kPng ? name.substr(0, name.rfind('.')) + ".png" : name;
}

// The participant a file named like a share belongs to: "capa3.png" is participant 2.
int ParticipantOfName(const std::string& name) {
  const std::string lower = Lower(name);
  if (lower.size() < 5 || lower.compare(0, 4, "capa") != 0)
    return -1;
  const char digit = lower[4];
  if (digit < '1' || digit > '9' || (lower.size() > 5 && lower[5] != '.'))
    return -1;
  return digit - '1';
}

Outcome WritePicture(const BmpImage& image, bool png, WritableFile& file) {
  return png ? WritePng(image, file) : image.WriteTo(file);
}

}  // namespace

Document::Document(Env& env) : m_env(env) {}

void Document::AddObserver(DocumentObserver* observer) {
  if (observer != nullptr &&
      std::find(m_observers.begin(), m_observers.end(), observer) == m_observers.end()) {
    m_observers.push_back(observer);
  }
}

void Document::RemoveObserver(DocumentObserver* observer) {
  m_observers.erase(std::remove(m_observers.begin(), m_observers.end(), observer),
                    m_observers.end());
}

void Document::Notify(unsigned aspects) {
  if (aspects == 0)
    return;
  // An observer may remove itself while it hears.
  const std::vector<DocumentObserver*> observers = m_observers;
  for (DocumentObserver* observer : observers)
    observer->DocumentChanged(aspects);
}

// ---- The secret.

Result Document::OpenSecret(const std::string& path) {
  if (Outcome opened = m_secret.Open(m_env, path); !opened)
    return Result::From(std::move(opened), Role::kSecret);
  m_recent.Add(path);
  m_folders.secretFolder = FolderOf(path);
  Notify(kSecretAspect | kFactsAspect | kRecentAspect | kFoldersAspect);
  return Result::Ok();
}

Result Document::SetSecretReading(const SecretReading& reading) {
  if (m_secret.Empty())
    return Result::From(Outcome::Fail(Code::kNoSecret));
  if (reading == m_secret.Reading())
    return Result::Ok();
  if (Outcome read = m_secret.SetReading(reading); !read)
    return Result::From(std::move(read), Role::kSecret);
  Notify(kSecretAspect);
  return Result::Ok();
}

Result Document::ApplyFix(const SecretFix& fix) {
  if (m_secret.Empty())
    return Result::From(Outcome::Fail(Code::kNoSecret));
  return SetSecretReading(m_secret.Fixed(fix));
}

// ---- The scheme.

void Document::SchemeChanged() {
  m_facts.reset();
  // Without shares made here, the layers are judged by the current choices.
  unsigned aspects = kSchemeAspect | kFactsAspect;
  if (!m_madeWith) {
    m_decoded.reset();
    aspects |= kStackAspect;
  }
  Notify(aspects);
}

void Document::SetSchemeKind(SchemeKind kind) {
  if (static_cast<size_t>(kind) >= SchemeRows().size())
    return;
  m_scheme.SetKind(kind);
  SchemeChanged();
}

int Document::SetParticipants(int n) {
  const int taken = m_scheme.SetParticipants(n);
  SchemeChanged();
  return taken;
}

int Document::SetThreshold(int k) {
  const int taken = m_scheme.SetThreshold(k);
  SchemeChanged();
  return taken;
}

void Document::SetOptimal(bool optimal) {
  m_scheme.SetOptimal(optimal);
  SchemeChanged();
}

const SetsCheck& Document::SetQualifiedSetsText(std::string text) {
  m_scheme.SetSetsText(std::move(text));
  SchemeChanged();
  return m_scheme.SetsState();
}

void Document::ToggleQualifiedSet(uint32_t members) {
  m_scheme.ToggleSet(members);
  SchemeChanged();
}

void Document::SetMethod(ExpansionMethod method) {
  if (static_cast<size_t>(method) >= MethodRows().size())
    return;
  m_scheme.SetMethod(method);
  SchemeChanged();
}

void Document::SetInnocentImage(int share, std::string path) {
  m_scheme.SetInnocentImage(share, std::move(path));
  Notify(kSchemeAspect);
}

void Document::SetAllowClearShare(bool allow) {
  m_scheme.SetAllowClearShare(allow);
  Notify(kSchemeAspect);
}

void Document::TakeOptimalOffer() {
  const SchemeFacts& facts = Facts();
  if (!facts.optimalOffered)
    return;
  const int n = facts.optimalN, k = facts.optimalK;
  m_scheme.SetKind(SchemeKind::SchemeKofN);
  m_scheme.SetOptimal(true);
  m_scheme.SetParticipants(n);
  m_scheme.SetThreshold(k);
  SchemeChanged();
}

const SchemeFacts& Document::Facts() {
  if (!m_facts)
    m_facts = AnalyzeScheme(m_scheme);
  return *m_facts;
}

ShareFacts Document::SharesFacts() {
  return ShareSizeFacts(Facts(), m_scheme.Method(), m_secret.Width(), m_secret.Height(),
                        m_print.pixelMm);
}

// ---- Encrypting.

Result Document::StartEncrypt(std::unique_ptr<RandomSource> random,
                              std::unique_ptr<EncryptJob>* job) {
  if (job != nullptr)
    job->reset();
  if (m_busy)
    return Result::Refuse(Problem::kBusy);
  if (m_secret.Empty())
    return Result::From(Outcome::Fail(Code::kNoSecret));
  const SetsCheck& sets = m_scheme.SetsState();
  if ((SchemeInfo(m_scheme.Kind()).uses & kUsesSets) && !sets.Valid() &&
      sets.problem != SetsProblem::kNoSets) {
    return Result::Refuse(Problem::kSetsInvalid);
  }
  if (const Code code = m_scheme.Check(); code != Code::kOk)
    return Result::From(Outcome::Fail(code));
  if (IsExtendedMethod(m_scheme.Method())) {
    for (int r = 0; r < m_scheme.Participants(); ++r) {
      if (m_scheme.InnocentImage(r).empty())
        return Result::Refuse(Problem::kInnocentMissing, r);
    }
  }
  if (random == nullptr || job == nullptr)
    return Result::From(Outcome::Fail(Code::kRandomFailed));
  *job =
      std::make_unique<EncryptJob>(*this, m_env, m_secret.TwoColour(), m_scheme, std::move(random));
  m_busy = true;
  Notify(kBusyAspect);
  return Result::Ok();
}

void Document::FinishJob(std::vector<BmpImage>* shares, const SchemeSetup& setup, SchemeFacts facts,
                         const std::string& secretPath, std::optional<BmpImage> stacked) {
  if (!m_busy)
    return;
  m_busy = false;
  if (shares == nullptr) {
    Notify(kBusyAspect);
    return;
  }
  // The new set replaces the shares made before; the layers opened stay.
  m_layers.erase(m_layers.begin(), m_layers.begin() + MadeShares());
  std::vector<Layer> made;
  for (size_t r = 0; r < shares->size(); ++r) {
    Layer layer;
    layer.name = ShareName(static_cast<int>(r));
    layer.image = std::make_shared<const BmpImage>(std::move((*shares)[r]));
    layer.made = true;
    layer.participant = static_cast<int>(r);
    layer.ticked = true;
    made.push_back(std::move(layer));
  }
  m_layers.insert(m_layers.begin(), std::make_move_iterator(made.begin()),
                  std::make_move_iterator(made.end()));
  m_madeWith = setup;
  m_madeFacts = std::move(facts);
  m_madeFrom = secretPath;
  StackChanged();
  const bool openedTicked = std::any_of(m_layers.begin(), m_layers.end(), [](const Layer& layer) {
    return !layer.made && layer.ticked;
  });
  if (stacked && !openedTicked) {
    m_stacked = std::move(stacked);
    m_stackedValid = true;
  }
  Notify(kBusyAspect | kLayersAspect | kStackAspect | kPrintAspect);
}

// ---- Layers and the stack.

int Document::MadeShares() const {
  return static_cast<int>(std::count_if(m_layers.begin(), m_layers.end(),
                                        [](const Layer& layer) { return layer.made; }));
}

void Document::StackChanged() {
  m_stackedValid = false;
  m_stacked.reset();
  m_decoded.reset();
}

Result Document::LayerAt(int layer) const {
  if (layer < 0 || static_cast<size_t>(layer) >= m_layers.size())
    return Result::Refuse(Problem::kLayerIndex, layer);
  return Result::Ok();
}

Result Document::OpenLayers(const std::vector<std::string>& paths) {
  Result first;
  bool added = false;
  for (size_t i = 0; i < paths.size(); ++i) {
    const std::string& path = paths[i];
    BmpImage image;
    Outcome loaded;
    try {
      loaded = LoadTwoColourPicture(m_env, path, false, TwoColourRule(), image);
      if (loaded && (!image.HasPixels() || image.Width() <= 0 || image.Height() <= 0))
        loaded = Outcome::Fail(Code::kNoPixels, path);
    } catch (const std::bad_alloc&) {
      loaded = Outcome::Fail(Code::kNoMemory, path);
    }
    if (!loaded) {
      if (first.ok()) {
        first = Result::From(std::move(loaded), Role::kLayer);
        first.index = static_cast<int>(i);
      }
      continue;
    }
    Layer layer;
    layer.name = FileNameOf(path);
    layer.path = path;
    layer.image = std::make_shared<const BmpImage>(std::move(image));
    layer.participant = ParticipantOfName(layer.name);
    layer.ticked = true;
    m_layers.push_back(std::move(layer));
    m_folders.layersFolder = FolderOf(path);
    added = true;
  }
  if (added) {
    StackChanged();
    Notify(kLayersAspect | kStackAspect | kFoldersAspect);
  }
  return first;
}

Result Document::RemoveLayer(int layer) {
  if (Result at = LayerAt(layer); !at)
    return at;
  if (m_layers[layer].made)
    return Result::Refuse(Problem::kLayerIndex, layer);
  m_layers.erase(m_layers.begin() + layer);
  StackChanged();
  Notify(kLayersAspect | kStackAspect);
  return Result::Ok();
}

Result Document::TickLayer(int layer, bool ticked) {
  if (Result at = LayerAt(layer); !at)
    return at;
  if (m_layers[layer].ticked == ticked)
    return Result::Ok();
  m_layers[layer].ticked = ticked;
  StackChanged();
  Notify(kLayersAspect | kStackAspect);
  return Result::Ok();
}

Result Document::SetLayerOffset(int layer, int dx, int dy) {
  if (Result at = LayerAt(layer); !at)
    return at;
  Layer& l = m_layers[layer];
  const int width = l.image->Width(), height = l.image->Height();
  dx = std::clamp(dx, -width, width);
  dy = std::clamp(dy, -height, height);
  if (dx == l.dx && dy == l.dy)
    return Result::Ok();
  l.dx = dx;
  l.dy = dy;
  StackChanged();
  Notify(kLayersAspect | kStackAspect);
  return Result::Ok();
}

Result Document::NudgeLayer(int layer, int ddx, int ddy) {
  if (Result at = LayerAt(layer); !at)
    return at;
  const Layer& l = m_layers[layer];
  // In 64 bits, so that no nudge overflows before the clamp.
  auto moved = [](int from, int by) {
    return static_cast<int>(std::clamp<int64_t>(int64_t{from} + by, INT32_MIN, INT32_MAX));
  };
  return SetLayerOffset(layer, moved(l.dx, ddx), moved(l.dy, ddy));
}

Result Document::SetLayerParticipant(int layer, int participant) {
  if (Result at = LayerAt(layer); !at)
    return at;
  Layer& l = m_layers[layer];
  if (l.made)
    return Result::Refuse(Problem::kLayerIndex, layer);
  if (participant < 0 || participant >= kMaxParticipants)
    participant = -1;
  if (l.participant == participant)
    return Result::Ok();
  l.participant = participant;
  StackChanged();
  Notify(kLayersAspect | kStackAspect);
  return Result::Ok();
}

void Document::ResetOffsets() {
  bool moved = false;
  for (Layer& layer : m_layers) {
    moved = moved || layer.dx != 0 || layer.dy != 0;
    layer.dx = layer.dy = 0;
  }
  if (moved) {
    StackChanged();
    Notify(kLayersAspect | kStackAspect);
  }
}

const SchemeSetup& Document::StackScheme() const {
  return m_madeWith ? *m_madeWith : m_scheme;
}

const SchemeFacts& Document::StackFacts() {
  return m_madeFacts ? *m_madeFacts : Facts();
}

const BmpImage* Document::Stacked() {
  if (!m_stackedValid) {
    std::vector<PlacedLayer> placed;
    for (const Layer& layer : m_layers) {
      if (layer.ticked)
        placed.push_back({layer.image.get(), layer.dx, layer.dy});
    }
    m_stacked.reset();
    try {
      if (!placed.empty())
        m_stacked = StackPlacedLayers(placed, kStackedName);
    } catch (const std::bad_alloc&) {
      m_stacked.reset();
    }
    m_stackedValid = true;
  }
  return m_stacked && m_stacked->HasPixels() ? &*m_stacked : nullptr;
}

StackCheck Document::CheckStack() {
  StackCheck check;
  const SchemeSetup& scheme = StackScheme();
  const int participants = scheme.Participants();
  check.participants = participants;
  bool problem = false;
  for (size_t i = 0; i < m_layers.size(); ++i) {
    const Layer& layer = m_layers[i];
    if (!layer.ticked)
      continue;
    ++check.ticked;
    if (problem)
      continue;
    const int p = layer.participant;
    const uint32_t bit = p >= 0 ? uint32_t{1} << p : 0;
    if (p < 0) {
      check.state = StackCheck::State::kUnknownParticipant;
    } else if (p >= participants) {
      check.state = StackCheck::State::kBeyondScheme;
    } else if (check.members & bit) {
      check.state = StackCheck::State::kParticipantTwice;
    } else {
      check.members |= bit;
      continue;
    }
    check.layer = static_cast<int>(i);
    problem = true;
  }
  if (check.ticked == 0 || problem)
    return check;
  const bool qualified = SchemeQualifies(scheme.Params(), check.members);
  check.state = qualified ? StackCheck::State::kQualified : StackCheck::State::kForbidden;
  const SchemeFacts& facts = StackFacts();
  if (facts.refusal == Code::kOk && facts.analysis.analysed &&
      check.members - 1 < facts.analysis.sets.size()) {
    const SetAnalysis& set = facts.analysis.sets[check.members - 1];
    check.analysed = true;
    check.l = set.l;
    check.h = set.h;
    check.m = facts.analysis.m;
  }
  return check;
}

Result Document::DecodeStack() {
  m_decoded.reset();
  const StackCheck check = CheckStack();
  switch (check.state) {
    case StackCheck::State::kNothingTicked:
      return Result::Refuse(Problem::kNothingTicked);
    case StackCheck::State::kUnknownParticipant:
      return Result::Refuse(Problem::kUnknownParticipant, check.layer);
    case StackCheck::State::kParticipantTwice:
      return Result::Refuse(Problem::kParticipantTwice, check.layer);
    case StackCheck::State::kBeyondScheme:
      return Result::Refuse(Problem::kBeyondScheme, check.layer);
    case StackCheck::State::kForbidden:
      return Result::Refuse(Problem::kForbiddenSet);
    case StackCheck::State::kQualified:
      break;
  }
  const ExpansionMethod method = StackScheme().Method();
  if (!IsBlockMethod(method))
    return Result::Refuse(Problem::kNotBlockMethod);
  std::vector<const BmpImage*> images;
  for (size_t i = 0; i < m_layers.size(); ++i) {
    const Layer& layer = m_layers[i];
    if (!layer.ticked)
      continue;
    if (layer.dx != 0 || layer.dy != 0)
      return Result::Refuse(Problem::kOffsetsSet, static_cast<int>(i));
    if (!images.empty() && (layer.image->Width() != images[0]->Width() ||
                            layer.image->Height() != images[0]->Height())) {
      return Result::Refuse(Problem::kLayerSizesDiffer, static_cast<int>(i));
    }
    images.push_back(layer.image.get());
  }
  const SchemeFacts& facts = StackFacts();
  if (facts.refusal != Code::kOk || !check.analysed)
    return Result::From(
        Outcome::Fail(facts.refusal != Code::kOk ? facts.refusal : Code::kBadParameters));
  const auto layout = MethodBlockLayout(method, facts.participants, facts.subpixels, check.l,
                                        check.h, check.ticked);
  if (!layout)
    return Result::Refuse(Problem::kNotBlockMethod);
  const int32_t side = layout->side;
  const BmpImage& first = *images[0];
  if (first.Width() < side || first.Height() < side || first.Width() % side != 0 ||
      first.Height() % side != 0) {
    return Result::Refuse(Problem::kNotWholeBlocks);
  }
  try {
    m_decoded = DecodeStacked(StackLayers(images, "stacked"), *layout, "decoded");
  } catch (const std::bad_alloc&) {
    m_decoded.reset();
    return Result::From(Outcome::Fail(Code::kNoMemory));
  }
  Notify(kStackAspect);
  return Result::Ok();
}

std::vector<std::string> Document::Inputs() const {
  std::vector<std::string> inputs;
  auto add = [&inputs](const std::string& path) {
    if (!path.empty())
      inputs.push_back(path);
  };
  add(m_secret.Path());
  add(m_madeFrom);
  for (const std::string& path : m_scheme.InnocentImages())
    add(path);
  if (m_madeWith) {
    for (const std::string& path : m_madeWith->InnocentImages())
      add(path);
  }
  for (const Layer& layer : m_layers)
    add(layer.path);
  return inputs;
}

Result Document::SavePicture(const BmpImage& image, const std::string& path) {
  if (Outcome apart = CheckOutputs(m_env, Inputs(), {path}); !apart)
    return Result::From(std::move(apart), Role::kStacked);
  const bool png = EndsWithPng(path);
  Outcome saved;
  try {
    saved = WriteFileAtomically(m_env, path, kPrivateFileMode,
                                [&](WritableFile& file) { return WritePicture(image, png, file); });
  } catch (const std::bad_alloc&) {
    saved = Outcome::Fail(Code::kNoMemory, path);
  }
  if (!saved)
    return Result::From(std::move(saved), Role::kStacked);
  m_folders.stackFolder = FolderOf(path);
  Notify(kFoldersAspect);
  return Result::Ok();
}

Result Document::SaveStacked(const std::string& path) {
  const BmpImage* stacked = Stacked();
  if (stacked == nullptr)
    return Result::Refuse(Problem::kNothingTicked);
  return SavePicture(*stacked, path);
}

Result Document::SaveDecoded(const std::string& path) {
  if (!m_decoded)
    return Result::Refuse(Problem::kNotDecoded);
  return SavePicture(m_decoded->image, path);
}

// ---- Saving the shares.

Result Document::PlanSaveShares(const std::string& folder, ShareFormat format, SharesPlan* plan) {
  *plan = SharesPlan();
  const int m = MadeShares();
  if (m == 0)
    return Result::Refuse(Problem::kNoShares);
  for (int r = 0; r < m; ++r)
    plan->files.push_back(InFolder(folder, ShareFileName(r, format)));
  if (Outcome apart = CheckOutputs(m_env, Inputs(), plan->files); !apart)
    return Result::From(std::move(apart), Role::kShare);
  const ShareFormat other = format == ShareFormat::kPng ? ShareFormat::kBmp : ShareFormat::kPng;
  for (int r = 0; r < m; ++r) {
    FileStatus status;
    if (m_env.Status(plan->files[r], false, &status) && status.Exists())
      plan->replaced.push_back(plan->files[r]);
    const std::string earlier = InFolder(folder, ShareFileName(r, other));
    if (m_env.Status(earlier, false, &status) && status.Exists())
      plan->leftOver.push_back(earlier);
  }
  for (std::string& file : SharesBeyond(m_env, folder, m))
    plan->leftOver.push_back(std::move(file));
  return Result::Ok();
}

Result Document::SaveShares(const std::string& folder, ShareFormat format) {
  SharesPlan plan;
  if (Result planned = PlanSaveShares(folder, format, &plan); !planned)
    return planned;
  const bool png = format == ShareFormat::kPng;
  ShareSetWriter writer(m_env);
  for (size_t r = 0; r < plan.files.size(); ++r) {
    std::shared_ptr<const BmpImage> image = m_layers[r].image;
    writer.Add(plan.files[r],
               [image, png](WritableFile& file) { return WritePicture(*image, png, file); });
  }
  Outcome written;
  try {
    written = writer.Write();
  } catch (const std::bad_alloc&) {
    written = Outcome::Fail(Code::kNoMemory);
  }
  if (!written)
    return Result::From(std::move(written), Role::kShare);
  m_folders.sharesFolder = folder;
  m_shareFormat = format;
  Notify(kFoldersAspect);
  return Result::Ok();
}

// ---- Printing.

Result Document::SetPrintChoice(const PrintChoice& choice) {
  if (!FindPaper(choice.paper) || !std::isfinite(choice.pixelMm) || choice.pixelMm < kMinPixelMm ||
      choice.pixelMm > kMaxPixelMm) {
    return Result::Refuse(Problem::kBadPrintChoice);
  }
  m_print = choice;
  Notify(kPrintAspect | kFactsAspect);
  return Result::Ok();
}

Result Document::PreviewPrint(PrintPreview* preview) const {
  *preview = PrintPreview();
  std::vector<PrintSheet> sheets;
  for (const Layer& layer : m_layers) {
    if (layer.made)
      sheets.push_back({layer.image.get(), layer.name});
  }
  if (sheets.empty())
    return Result::Refuse(Problem::kNoShares);
  const std::optional<Paper> paper = FindPaper(m_print.paper);
  if (!paper)
    return Result::Refuse(Problem::kBadPrintChoice);
  PrintOptions options;
  options.pixelMm = m_print.pixelMm;
  options.paper = *paper;
  options.samePage = m_print.samePage;
  preview->paperWidthMm = paper->widthMm;
  preview->paperHeightMm = paper->heightMm;
  if (Outcome laid = LayOutPrint(sheets, options, preview->layout); !laid)
    return Result::From(std::move(laid));
  for (size_t i = 0; i < preview->layout.shares.size(); ++i) {
    if (preview->layout.shares[i].page == 0)
      preview->firstPageShares.push_back(static_cast<int>(i));
  }
  return Result::Ok();
}

Result Document::PrintPdf(const std::string& path, const Texts& texts) {
  PrintPreview preview;
  if (Result laid = PreviewPrint(&preview); !laid)
    return laid;
  std::vector<PrintSheet> sheets;
  for (const Layer& layer : m_layers) {
    if (layer.made)
      sheets.push_back({layer.image.get(), texts.PrintLabel(layer.name, *m_madeWith)});
  }
  if (Outcome apart = CheckOutputs(m_env, Inputs(), {path}); !apart)
    return Result::From(std::move(apart), Role::kPdf);
  Outcome written;
  try {
    written = WritePrintPdf(m_env, sheets, preview.layout, path);
  } catch (const std::bad_alloc&) {
    written = Outcome::Fail(Code::kNoMemory, path);
  }
  if (!written)
    return Result::From(std::move(written), Role::kPdf);
  m_folders.printFolder = FolderOf(path);
  Notify(kFoldersAspect);
  return Result::Ok();
}

// ---- Recent files and settings.

void Document::ForgetRecent(const std::string& path) {
  m_recent.Remove(path);
  Notify(kRecentAspect);
}

StudioSettings Document::Settings() const {
  StudioSettings settings = m_folders;
  settings.scheme = static_cast<int>(m_scheme.Kind());
  settings.participants = m_scheme.ChosenParticipants();
  settings.threshold = m_scheme.ChosenThreshold();
  settings.optimal = m_scheme.ChosenOptimal();
  settings.sets = m_scheme.SetsText();
  settings.method = static_cast<int>(m_scheme.Method());
  settings.shareFormat = m_shareFormat;
  settings.print = m_print;
  settings.recent = m_recent.Save();
  return settings;
}

void Document::ApplySettings(const StudioSettings& settings) {
  m_folders.secretFolder = settings.secretFolder;
  m_folders.layersFolder = settings.layersFolder;
  m_folders.sharesFolder = settings.sharesFolder;
  m_folders.stackFolder = settings.stackFolder;
  m_folders.printFolder = settings.printFolder;
  m_folders.windowWidth = std::max(0, settings.windowWidth);
  m_folders.windowHeight = std::max(0, settings.windowHeight);
  // n, k and the optimal flag pass through the (k,n) scheme, which reads them all, so that
  // they are kept (within range) whichever scheme is chosen after.
  m_scheme.SetKind(SchemeKind::SchemeKofN);
  m_scheme.SetOptimal(settings.optimal);
  m_scheme.SetParticipants(settings.participants);
  m_scheme.SetThreshold(settings.threshold);
  m_scheme.SetSetsText(settings.sets);
  const bool knownScheme =
      settings.scheme >= 0 && static_cast<size_t>(settings.scheme) < SchemeRows().size();
  m_scheme.SetKind(knownScheme ? static_cast<SchemeKind>(settings.scheme) : SchemeKind::Scheme2of2);
  if (settings.method >= 0 && static_cast<size_t>(settings.method) < MethodRows().size())
    m_scheme.SetMethod(static_cast<ExpansionMethod>(settings.method));
  m_shareFormat = settings.shareFormat;
  if (!SetPrintChoice(settings.print))
    m_print = PrintChoice();
  m_recent.Load(settings.recent);
  m_facts.reset();
  if (!m_madeWith)
    m_decoded.reset();
  Notify(kSchemeAspect | kFactsAspect | kStackAspect | kPrintAspect | kRecentAspect |
         kFoldersAspect);
}

void Document::SetWindowSize(int width, int height) {
  m_folders.windowWidth = std::max(0, width);
  m_folders.windowHeight = std::max(0, height);
  Notify(kFoldersAspect);
}

void Document::SetShareFormat(ShareFormat format) {
  m_shareFormat = format;
  Notify(kFoldersAspect);
}

}  // namespace quillon::studio
