#include "ui/wx/wx_platform.h"

#include <clocale>
#include <cmath>
#include <cstdio>

#include <wx/app.h>
#include <wx/display.h>
#include <wx/filedlg.h>
#include <wx/fontenum.h>
#include <wx/frame.h>
#include <wx/init.h>
#include <wx/msgdlg.h>
#include <wx/progdlg.h>
#include <wx/settings.h>

#include "ui/application.h"
#include "ui/dialog.h"
#include "ui/file_dialog.h"
#include "ui/process.h"
#include "ui/wx/views.h"
#include "ui/wx/windows1252.h"

namespace quillon::ui::wx {
namespace {

// Families with the metrics of the Windows dialog fonts, best first; the toolkit's sans-serif
// family stands in when none is installed.
const wxString kSansSubstitutes[] = {"Liberation Sans", "Arimo", "Arial", "Helvetica",
                                     "Nimbus Sans"};
const wxString kWindowsSansFonts[] = {
    "MS Sans Serif", "Microsoft Sans Serif", "MS Shell Dlg", "MS Shell Dlg 2", "Tahoma", "Arial"};

// Shows the toolkit's progress dialog only once the work has run for the delay, so short work
// does not flash a window.
class WxProgress : public ProgressDialog {
 public:
  WxProgress(wxWindow* parent, wxString caption, wxString text, std::chrono::milliseconds delay)
      : m_parent(parent),
        m_caption(std::move(caption)),
        m_text(std::move(text)),
        m_showAt(std::chrono::steady_clock::now() + delay) {}
  ~WxProgress() override { delete m_dialog; }

  void Update(double fraction) override {
    const int value = std::clamp(static_cast<int>(std::lround(fraction * kRange)), 0, kRange - 1);
    if (!m_dialog) {
      if (std::chrono::steady_clock::now() < m_showAt)
        return;
      // No time labels: the toolkit words them in its own language, not the program's.
      m_dialog =
          new wxProgressDialog(m_caption, m_text, kRange, m_parent, wxPD_APP_MODAL | wxPD_SMOOTH);
    }
    // Update also lets the toolkit repaint the windows below while the work goes on.
    m_dialog->Update(value);
  }

 private:
  // The dialog never reaches its maximum: at the maximum it would wait to be closed.
  static constexpr int kRange = 1000;
  wxWindow* m_parent;
  wxString m_caption;
  wxString m_text;
  std::chrono::steady_clock::time_point m_showAt;
  wxProgressDialog* m_dialog = nullptr;
};

class ToolkitApp : public wxApp {
 public:
  // The program reads no command line: the toolkit's own parsing is skipped.
  bool OnInit() override { return true; }
};

}  // namespace

WxPlatform::WxPlatform(TextDecoder decoder)
    : m_decoder(decoder ? std::move(decoder) : TextDecoder(DecodeWindows1252)) {}

WxPlatform::~WxPlatform() {
  for (FrameView* frame : m_frames)
    frame->Destroy();
  if (m_measure)
    m_measure->Destroy();
}

wxFont WxPlatform::FontFor(const DialogTemplate& dialog) const {
  if (dialog.fontName.empty() || dialog.fontPoints <= 0)
    return wxSystemSettings::GetFont(wxSYS_DEFAULT_GUI_FONT);
  wxString face = Decode(dialog.fontName);
  if (!wxFontEnumerator::IsValidFacename(face)) {
    wxString substitute;
    for (const wxString& windowsFont : kWindowsSansFonts) {
      if (!face.IsSameAs(windowsFont, false))
        continue;
      for (const wxString& candidate : kSansSubstitutes) {
        if (wxFontEnumerator::IsValidFacename(candidate)) {
          substitute = candidate;
          break;
        }
      }
    }
    face = substitute;
  }
  return wxFont(wxFontInfo(dialog.fontPoints).Family(wxFONTFAMILY_SWISS).FaceName(face));
}

Size WxPlatform::DialogBaseUnits(const DialogTemplate& dialog) const {
  if (!m_measure) {
    // Never shown: it only lends the toolkit's conversion for a font.
    m_measure = new wxFrame(nullptr, wxID_ANY, wxString());
  }
  m_measure->SetFont(FontFor(dialog));
  const wxSize base = m_measure->ConvertDialogToPixels(wxSize(4, 8));
  return Size{base.x, base.y};
}

Size WxPlatform::ScreenSize() const {
  const wxRect screen = wxDisplay(0u).GetGeometry();
  return Size{screen.width, screen.height};
}

wxWindow* WxPlatform::ViewOf(const Window* window) const {
  if (!window)
    return nullptr;
  for (DialogView* view : m_modal) {
    if (&view->Model() == window)
      return view;
  }
  for (FrameView* view : m_frames) {
    if (&view->Model() == window)
      return view;
  }
  return nullptr;
}

wxWindow* WxPlatform::ControlView(const Window* window, int id) const {
  for (DialogView* view : m_modal) {
    if (&view->Model() == window)
      return view->Widget(id);
  }
  for (FrameView* view : m_frames) {
    if (&view->Model() == window ||
        (window && window->GetParent() == &view->Model()))  // the frame's toolbar
      return view->Widget(id);
  }
  return nullptr;
}

wxWindow* WxPlatform::ParentFor(const Window* owner) const {
  if (wxWindow* view = ViewOf(owner); view && view->IsShown())
    return view;
  if (!m_modal.empty())
    return m_modal.back();
  return nullptr;
}

void WxPlatform::AfterInput(Application& app) {
  if (m_syncing)
    return;  // painting or a refresh opened no window, but be safe against re-entry
  m_syncing = true;
  app.UpdateWindows();
  SyncWindows(app);
  for (DialogView* view : std::vector<DialogView*>(m_modal))
    view->SyncFromModel();
  m_syncing = false;
}

int WxPlatform::RunModal(Dialog& dialog) {
  // Deleted as soon as its loop ends, not later when idle: the model dies with DoModal.
  auto view = std::make_unique<DialogView>(*this, dialog, ParentFor(dialog.Owner()));
  m_modal.push_back(view.get());
  // Paint what the program drew before the loop starts.
  dialog.App().UpdateWindows();
  view->SyncFromModel();
  if (!dialog.IsEnded())
    view->ShowModal();
  m_modal.pop_back();
  view.reset();
  // A dialog that could not reach its end by itself (the toolkit closed it) is cancelled.
  if (!dialog.IsEnded())
    dialog.EndDialog(kIdCancel);
  return dialog.Result();
}

int WxPlatform::RunFileDialog(FileDialog& dialog) {
  wxString wildcard;
  for (const FileFilter& filter : dialog.Filters()) {
    if (!wildcard.empty())
      wildcard += "|";
    wildcard += Decode(filter.label) + "|" + Decode(filter.pattern);
  }
  if (wildcard.empty())
    wildcard = wxFileSelectorDefaultWildcardStr;
  long style = dialog.IsOpenDialog() ? wxFD_OPEN : wxFD_SAVE;
  if (dialog.IsOpenDialog() && dialog.HasFlag(kFileMustExist))
    style |= wxFD_FILE_MUST_EXIST;
  if (!dialog.IsOpenDialog() && dialog.HasFlag(kOverwritePrompt))
    style |= wxFD_OVERWRITE_PROMPT;
  wxFileDialog file(ParentFor(dialog.Owner()), Decode(dialog.Title()), wxString(),
                    Decode(dialog.InitialFileName()), wildcard, style);
  if (file.ShowModal() != wxID_OK || file.GetPath().empty())
    return kIdCancel;
  // The file name as the system spells it, not as text for display.
  const wxString chosen = file.GetPath();
  const wxScopedCharBuffer path = chosen.fn_str();
  dialog.Accept(std::string(path.data(), path.length()));
  return kIdOk;
}

int WxPlatform::ShowMessageBox(const MessageBoxRequest& request) {
  const long icon = request.icon == MessageIcon::Exclamation ? wxICON_EXCLAMATION : wxICON_NONE;
  wxMessageDialog box(ParentFor(request.owner), Decode(request.text), Decode(request.caption),
                      wxOK | icon);
  box.ShowModal();
  return kIdOk;
}

std::unique_ptr<ProgressDialog> WxPlatform::OpenProgress(const Window* owner,
                                                         const std::string& caption,
                                                         const std::string& text) {
  return std::make_unique<WxProgress>(ParentFor(owner), Decode(caption), Decode(text),
                                      m_progressDelay);
}

bool WxPlatform::StartProgram(const std::string& name) {
  return StartDetached(name);
}

void WxPlatform::SyncWindows(Application& app) {
  // Views of frames that are gone or hidden go first.
  for (size_t i = 0; i < m_frames.size();) {
    FrameView* view = m_frames[i];
    if (IsAlive(app, &view->Model()) && view->Model().IsWindowVisible()) {
      ++i;
      continue;
    }
    m_frames.erase(m_frames.begin() + static_cast<long>(i));
    view->Hide();
    view->Destroy();
  }
  for (Window* window : app.Windows()) {
    auto* frame = dynamic_cast<FrameWnd*>(window);
    if (!frame || !frame->IsWindowVisible() || ViewOf(frame))
      continue;
    auto* view = new FrameView(*this, *frame);
    m_frames.push_back(view);
    view->Show();
  }
  for (FrameView* view : m_frames)
    view->SyncFromModel();
  if (m_frames.empty() && m_frameLoop)
    m_frameLoop->Exit();
}

void WxPlatform::RunWhileFramesVisible(Application& app) {
  SyncWindows(app);
  if (m_frames.empty())
    return;
  wxGUIEventLoop loop;
  m_frameLoop = &loop;
  loop.Run();
  m_frameLoop = nullptr;
}

int RunWithToolkit(int argc, char** argv, const std::function<int()>& body) {
  wxApp::SetInstance(new ToolkitApp);
  if (!wxEntryStart(argc, argv)) {
    // wxEntryStart has undone its own start: cleaning up again would touch GTK without a
    // display, which aborts.
    std::fprintf(stderr, "%s: cannot open the display to show windows\n",
                 argc > 0 ? argv[0] : "program");
    return 1;
  }
  // The toolkit set the locale from the environment; numbers stay in the C format that files
  // and messages use.
  std::setlocale(LC_NUMERIC, "C");
  // Debian's toolkit checks its own use with assertions that open a dialog; a report on
  // stderr is enough and never blocks.
  wxSetAssertHandler([](const wxString& file, int line, const wxString& func, const wxString& cond,
                        const wxString& msg) {
    std::fprintf(
        stderr, "toolkit assertion %s failed in %s (%s:%d): %s\n",
        static_cast<const char*>(cond.utf8_str()), static_cast<const char*>(func.utf8_str()),
        static_cast<const char*>(file.utf8_str()), line, static_cast<const char*>(msg.utf8_str()));
  });
  int status = 1;
  if (wxTheApp->CallOnInit()) {
    status = body();
    wxTheApp->OnExit();
  }
  wxEntryCleanup();
  return status;
}

}  // namespace quillon::ui::wx
