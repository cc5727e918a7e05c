#include "app/share_frame.h"

#include <cstdio>
#include <utility>

#include "app/canvas.h"
#include "app/coalesce_dlg.h"
#include "app/resources/resource_ids.h"
#include "core/atomic_file.h"
#include "core/kinds.h"
#include "shares/encrypt.h"
#include "shares/share_output.h"
#include "ui/application.h"
#include "ui/file_dialog.h"

namespace quillon {
namespace {

const char kFilter[] = "Bitmap Files(*.bmp)|*.bmp|All Files(*.*)|*.*||";
const char kOpenTitle[] = "Seleccione la imagen que desea encriptar";
const char kSaveTitle[] = "Save Image As...";

const char kHelpText[] =
    "No help file has been made for Quillon.\n\n"
    "Open a two-colour secret image with \"Abrir\", type the number of participants n and the "
    "threshold k, and press \"Encriptar\": the shares are written as capa1.bmp, capa2.bmp, "
    "... in the working folder. \"Desencriptar\" stacks the shares you choose and shows the "
    "result, resultado.bmp. Any k of the n shares show the secret; fewer show nothing.";
const char kAboutText[] =
    "Quillon\n\n"
    "Visual cryptography: a secret picture split into shares that show it only when enough "
    "of them are laid over each other.\n\n"
    "Thanks to everyone who tried it out and helped to make it better.";

// The frame's window: overlapped, not visible, 900 x 600 at the top-left corner.
constexpr ui::Rect kFrameRect{0, 0, 900, 600};
// The part of the canvas that painting shows.
constexpr int kPaintWidth = 800;
constexpr int kPaintHeight = 600;

}  // namespace

CShareFrame::CShareFrame(ui::Application& app, Env& env)
    : FrameWnd(app), m_env(env), m_toolBar(app, *this), m_layers(kMaxLayers) {
  Create("Quillon", ui::kOverlappedWindow, kFrameRect, nullptr, res::kMenu);
  m_toolBar.Create(*this, ui::kVisible | ui::kAlignTop | ui::kToolTips | ui::kFlyBy,
                   ui::kStandardToolBarId);
  for (int i = 0; i < 3 && i < m_toolBar.GetCount(); ++i) {
    m_toolBar.SetButtonStyle(i, ui::kCheckGroup | (m_toolBar.GetButtonStyle(i) & ui::kSeparator));
  }
  WhitenCanvas(m_canvas, App().GetPlatform().ScreenSize());
}

bool CShareFrame::OnCommand(int id, ui::Notify code) {
  using F = CShareFrame;
  using ui::Notify;
  static const ui::CommandEntry<CShareFrame> kTable[] = {
      {res::kCmdOpenImage, Notify::Command, &F::OnOpenImage},
      {res::kToolOpen, Notify::Command, &F::OnOpenImage},
      {res::kCmdCloseImage, Notify::Command, &F::OnCloseImage},
      {res::kCmdCloseAll, Notify::Command, &F::OnCloseAll},
      {res::kCmdSaveCurrentAs, Notify::Command, &F::OnSaveCurrentAs},
      {res::kToolSaveCurrentAs, Notify::Command, &F::OnSaveCurrentAs},
      {res::kCmdExit, Notify::Command, &F::OnExit},
      {res::kCmdEncrypt, Notify::Command, &F::EncryptSecretImage},
      {res::kToolEncrypt, Notify::Command, &F::EncryptSecretImage},
      {res::kCmdCombine, Notify::Command, &F::CombineShares},
      {res::kToolCombine, Notify::Command, &F::CombineShares},
      {res::kCmdHelp, Notify::Command, &F::OnHelp},
      {res::kCmdAbout, Notify::Command, &F::OnAbout},
      {res::kImageSelector, Notify::Command, &F::RefreshCanvas},
  };
  return ui::Dispatch(*this, kTable, id, code) || FrameWnd::OnCommand(id, code);
}

void CShareFrame::ShowMessages(const std::vector<AppMessage>& messages) {
  for (const AppMessage& message : messages)
    MessageBox(message.text, message.caption);
}

std::optional<std::string> CShareFrame::ChooseBmpFile(const std::string& title) {
  ui::FileDialog dialog(App(), true, "", "", ui::kFileMustExist | ui::kHideReadOnly, kFilter, this);
  dialog.SetTitle(title);
  if (dialog.DoModal() != ui::kIdOk)
    return std::nullopt;
  return dialog.GetPathName();
}

void CShareFrame::OnOpenImage() {
  WhitenCanvas(m_canvas, App().GetPlatform().ScreenSize());
  if (std::optional<std::string> path = ChooseBmpFile(kOpenTitle)) {
    m_currentPath = *path;
    m_currentImage.emplace(m_currentPath);
    // A file that cannot be read is registered all the same, as an image without pixels.
    ShowMessages(LoadMessages(*m_currentImage, m_currentImage->Load(m_env)));
    RegisterImage(m_currentPath, ui::FileTitleOf(m_currentPath));
    SelectFromEnd(1);
  }
  m_toolBar.ReloadButtons();
}

void CShareFrame::OnCloseImage() {
  if (m_images.Count() == 0 || !m_images.CloseSelected())
    return;
  SyncImageSelector();
  RefreshCanvas();
}

void CShareFrame::OnCloseAll() {
  m_images.CloseAll();
  SyncImageSelector();
  RefreshCanvas();
}

void CShareFrame::OnSaveCurrentAs() {
  if (m_images.Count() == 0 || !m_currentImage)
    return;
  ui::FileDialog dialog(App(), false, "", "", ui::kHideReadOnly | ui::kOverwritePrompt, kFilter,
                        this);
  dialog.SetTitle(kSaveTitle);
  if (dialog.DoModal() == ui::kIdOk) {
    std::string path = dialog.GetPathName();
    if (dialog.GetFileExt() != "bmp")
      path += ".bmp";
    const std::string previous = m_currentImage->FileName();
    m_currentImage->SetFileName(path);
    // The entry names the new file only once it exists: a failed save keeps the old one.
    const Outcome saved = m_currentImage->Save(m_env);
    if (saved) {
      m_images.RenameSelected(path, dialog.GetFileTitle());
      SyncImageSelector();
    } else {
      m_currentImage->SetFileName(previous);
    }
    ShowMessages(SaveMessages(saved));
  }
  m_toolBar.ReloadButtons();
}

void CShareFrame::OnExit() {
  SendClose();
}

const char* CShareFrame::HelpText() {
  return kHelpText;
}

const char* CShareFrame::AboutText() {
  return kAboutText;
}

void CShareFrame::OnHelp() {
  MessageBox(kHelpText);
}

void CShareFrame::OnAbout() {
  MessageBox(kAboutText);
}

void CShareFrame::EncryptSecretImage() {
  const CSchemeToolBar& tb = m_toolBar;
  EncryptRequest request;
  request.scheme.scheme = static_cast<SchemeKind>(tb.m_scheme);
  request.scheme.n = tb.m_n;
  request.scheme.k = tb.m_k;
  request.scheme.qualifiedSets = tb.m_qualifiedSets ? &*tb.m_qualifiedSets : nullptr;
  request.method = static_cast<ExpansionMethod>(tb.m_method);
  // Once the shares are written the first one becomes current, so the secret is held here
  // meanwhile; a refusal gives it back.
  std::optional<BmpImage> secret;
  if (m_images.Count() >= 1)
    secret = std::exchange(m_currentImage, std::nullopt);
  request.secret = secret ? &*secret : nullptr;
  const std::unique_ptr<RandomSource> random = m_randomMaker ? m_randomMaker() : MakeSystemRandom();
  request.random = random.get();
  // The program has always written the share of a participant who alone is qualified.
  request.allowClearShare = true;
  m_progressWanted = true;
  m_loadRefused = false;
  const Outcome outcome = quillon::EncryptSecretImage(*this, m_env, request);
  m_progressWanted = false;
  if (!m_currentImage)
    m_currentImage = std::move(secret);
  EndProgress();
  ShowMessages(m_loadRefused ? InnocentLoadMessages(outcome) : EncryptMessages(outcome));
  // Giving up over an innocent image leaves the toolbar as it was.
  const bool gaveUp =
      m_loadRefused || outcome.code == Code::kCancelled || outcome.code == Code::kInnocentTooSmall;
  if (!gaveUp)
    m_toolBar.ReloadButtons();
}

void CShareFrame::CombineShares() {
  m_toolBar.ReloadButtons();
  CCoalesceDlg dialog(App());
  dialog.m_layerCount = m_toolBar.m_n;
  if (dialog.DoModal() != ui::kIdOk)
    return;
  m_loadRefused = false;
  const Outcome outcome = CombineLayers(*this, m_env, dialog.m_layerCount, m_layers);
  ShowMessages(m_loadRefused ? LayerLoadMessages(outcome) : CombineMessages(outcome));
}

void CShareFrame::RefreshCanvas() {
  const ui::Size screen = App().GetPlatform().ScreenSize();
  WhitenCanvas(m_canvas, screen);
  if (m_images.Count() == 0) {
    Client().CopyFrom(m_canvas, 0, 0, screen.width, screen.height, 0, kPictureTop);
  } else if (const std::string* name = m_images.SelectedName()) {
    m_currentImage.emplace(*name);
    ShowMessages(LoadMessages(*m_currentImage, m_currentImage->Load(m_env)));
    DrawImage(m_canvas, *m_currentImage);
    Invalidate();
    Client().CopyFrom(m_canvas, 0, 0, m_currentImage->Width(), m_currentImage->Height(), 0,
                      kPictureTop);
  }
  m_toolBar.ReloadButtons();
}

void CShareFrame::OnPaint() {
  if (m_images.Count() >= 1)
    Client().CopyFrom(m_canvas, 0, 0, kPaintWidth, kPaintHeight, 0, 0);
  m_toolBar.ReloadButtons();
}

void CShareFrame::SelectKnScheme(int n, int k) {
  m_toolBar.m_n = n;
  m_toolBar.m_k = k;
  m_toolBar.m_scheme = static_cast<int>(SchemeKind::SchemeKofN);
}

void CShareFrame::SelectImage(int index) {
  m_images.Select(index);
  SyncImageSelector();
  RefreshCanvas();
}

void CShareFrame::SyncImageSelector() {
  ui::ComboBox* selector = m_toolBar.m_imageList;
  if (!selector)
    return;
  selector->ResetContent();
  for (int i = 0; i < m_images.Count(); ++i)
    selector->AddString(m_images.Label(i));
  selector->SetCurSel(m_images.Selection());
}

void CShareFrame::RegisterImage(const std::string& path, const std::string& label) {
  m_images.RegisterImage(path, label);
  SyncImageSelector();
}

void CShareFrame::SelectFromEnd(int fromEnd) {
  m_images.Select(m_images.Count() - fromEnd);
  SyncImageSelector();
  RefreshCanvas();
}

Outcome CShareFrame::LoadForFlow(Env& env, const std::string& path, BmpImage& image) {
  image = BmpImage(path);
  const Outcome loaded = image.Load(env);
  if (loaded)
    ShowMessages(LoadMessages(image, loaded));
  else
    m_loadRefused = true;
  return loaded;
}

std::optional<std::string> CShareFrame::ChooseInnocentImage(int share) {
  return ChooseBmpFile(InnocentImageTitle(share));
}

Outcome CShareFrame::LoadInnocentImage(Env& env, int, const std::string& path, BmpImage& image) {
  return LoadForFlow(env, path, image);
}

// A full list drops its last entries to make room, so the first new share is m from the end.
void CShareFrame::SharesWritten(int m) {
  for (int r = 0; r < m; ++r)
    RegisterImage(ShareName(r), ShareName(r));
  SelectFromEnd(m);
}

// Only the share methods' pixel work is long enough to want a window; combining reports
// between its file dialogs, where one would only be in the way.
void CShareFrame::ShowProgress(double fraction) {
  if (!m_progressWanted)
    return;
  if (!m_progress)
    m_progress = App().GetPlatform().OpenProgress(this, App().Name(), "Encriptando...");
  m_progress->Update(fraction);
  if (fraction >= 1.0)
    EndProgress();
}

std::optional<std::string> CShareFrame::ChooseLayer(int layer) {
  return ChooseBmpFile(LayerTitle(layer));
}

Outcome CShareFrame::LoadLayer(Env& env, int, const std::string& path, BmpImage& image) {
  return LoadForFlow(env, path, image);
}

void CShareFrame::LayerLoaded(int layer) {
  // One byte, the layer's digit, then the viewer; it may not exist, which changes nothing.
  // The file is replaced whole, so a viewer still reading the last one never finds it empty;
  // a failure to write it changes nothing either.
  const char digit = static_cast<char>('1' + layer);
  WriteFileAtomically(m_env, kViewerSettings, kOrdinaryFileMode,
                      [digit](WritableFile& file) { return file.Append(&digit, 1); });
  App().GetPlatform().StartProgram(kViewerProgram);
}

void CShareFrame::ResultWritten() {
  RegisterImage(kResultName, kResultName);
  SelectFromEnd(1);
}

}  // namespace quillon
