#include "studio/wx/main_frame.h"

#include <wx/aboutdlg.h>
#include <wx/accel.h>
#include <wx/artprov.h>
#include <wx/button.h>
#include <wx/choice.h>
#include <wx/display.h>
#include <wx/dnd.h>
#include <wx/gauge.h>
#include <wx/infobar.h>
#include <wx/menu.h>
#include <wx/scrolwin.h>
#include <wx/sizer.h>
#include <wx/stattext.h>
#include <wx/toolbar.h>

#include <algorithm>
#include <utility>

#include "core/random.h"
#include "studio/wx/print_dialog.h"
#include "studio/wx/relayout.h"
#include "studio/wx/scheme_panel.h"
#include "studio/wx/secret_panel.h"
#include "studio/wx/stack_panel.h"
#include "studio/wx/wx_text.h"

namespace quillon::studio::wx {
namespace {

enum {
  kIdOpenShares = wxID_HIGHEST + 1,
  kIdDecode,
  kIdSaveStacked,
  kIdRecentFirst,
  kIdRecentLast = kIdRecentFirst + static_cast<int>(kMaxRecentFiles) - 1,
};

// A picture dropped on the window opens as the secret.
class DropSecret : public wxFileDropTarget {
 public:
  explicit DropSecret(MainFrame* frame) : m_frame(frame) {}
  bool OnDropFiles(wxCoord, wxCoord, const wxArrayString& files) override {
    if (files.empty())
      return false;
    const std::string path = Utf8(files[0]);
    // Opening may show a message: not inside the toolkit's drop handling.
    m_frame->CallAfter([frame = m_frame, path] { frame->OpenSecret(path); });
    return true;
  }

 private:
  MainFrame* m_frame;
};

// Reserves the mnemonic letters the labels under window already use.
void TakeMnemonics(wxWindow* window, Mnemonics& mnemonics) {
  for (wxWindow* child : window->GetChildren()) {
    const wxString label = child->GetLabel();
    for (size_t i = 0; i + 1 < label.length(); ++i) {
      if (label[i] == '&') {
        if (label[i + 1] != '&')
          mnemonics.Take(label[i + 1]);
        ++i;
      }
    }
    TakeMnemonics(child, mnemonics);
  }
}

}  // namespace

MainFrame::MainFrame(Document& document, const Texts& texts)
    : wxFrame(nullptr, wxID_ANY, Wx(texts.WindowTitle("")), wxDefaultPosition, wxSize(1360, 900)),
      m_document(document),
      m_texts(texts),
      m_progressTimer(this) {
  SetName("QuillonStudio");
  MakeMenus();
  MakeToolBar();

  auto* root = new wxPanel(this, wxID_ANY);
  auto* rootSizer = new wxBoxSizer(wxVERTICAL);
  m_infoBar = new wxInfoBar(root);
  rootSizer->Add(m_infoBar, 0, wxEXPAND);

  auto* columns = new wxBoxSizer(wxHORIZONTAL);
  auto* left = new wxScrolledWindow(root, wxID_ANY, wxDefaultPosition, wxDefaultSize,
                                    wxVSCROLL | wxTAB_TRAVERSAL);
  // The stack panel words its own labels: the letters it took are not offered again here.
  m_stack = new StackPanel(root, document, texts, m_asker);
  TakeMnemonics(m_stack, m_mnemonics);
  for (Label label : {Label::kEncrypt, Label::kSaveShares, Label::kPrint, Label::kShareFormat})
    m_marked[label] = m_mnemonics.Mark(texts.Text(label));

  left->SetScrollRate(0, FromDIP(12));
  auto* leftSizer = new wxBoxSizer(wxVERTICAL);
  const auto report = [this](const Result& result) { Report(result); };
  leftSizer->Add(new SecretPanel(left, document, texts, m_mnemonics, report), 0, wxEXPAND | wxALL,
                 FromDIP(6));
  leftSizer->Add(new SchemePanel(left, document, texts, m_mnemonics, m_asker, report), 0,
                 wxEXPAND | wxLEFT | wxRIGHT, FromDIP(6));
  leftSizer->Add(MakeActions(left), 0, wxEXPAND | wxALL, FromDIP(6));
  left->SetSizer(leftSizer);
  left->FitInside();
  // As wide as its content, so that only the stack side grows with the window.
  left->SetMinSize(wxSize(leftSizer->GetMinSize().x + FromDIP(20), -1));
  columns->Add(left, 0, wxEXPAND);
  columns->Add(m_stack, 1, wxEXPAND | wxALL, FromDIP(6));
  rootSizer->Add(columns, 1, wxEXPAND);
  root->SetSizer(rootSizer);

  CreateStatusBar();
  SetDropTarget(new DropSecret(this));

  const StudioSettings settings = document.Settings();
  const wxSize size = settings.windowWidth > 0 && settings.windowHeight > 0
                          ? wxSize(settings.windowWidth, settings.windowHeight)
                          : FromDIP(wxSize(1360, 900));
  // Wide enough for both columns, so that the stack is never squeezed out of sight; never
  // larger than the screen it opens on, wherever the size came from.
  const wxRect screen = wxDisplay(this).GetClientArea();
  SetMinClientSize(wxSize(std::min(rootSizer->GetMinSize().x, screen.width), FromDIP(480)));
  SetSize(wxSize(std::min(std::max(size.x, GetMinSize().x), screen.width),
                 std::min(size.y, screen.height)));
  Centre();

  Bind(wxEVT_TIMER, [this](wxTimerEvent&) {
    if (m_job) {
      m_gauge->SetValue(static_cast<int>(m_job->Progress() * 1000));
      m_progressText->SetLabelText(Wx(m_texts.Progress(m_job->Progress())));
    }
  });
  Bind(wxEVT_CLOSE_WINDOW, &MainFrame::OnClose, this);
  // Escape stops an encryption, as it closes a progress dialog.
  wxAcceleratorEntry escape(wxACCEL_NORMAL, WXK_ESCAPE, wxID_CANCEL);
  SetAcceleratorTable(wxAcceleratorTable(1, &escape));
  Bind(
      wxEVT_MENU, [this](wxCommandEvent&) { CancelEncrypt(); }, wxID_CANCEL);

  m_document.AddObserver(this);
  ShowRecent();
  ShowState();
}

MainFrame::~MainFrame() {
  m_document.RemoveObserver(this);
  if (m_worker.joinable()) {
    m_job->Cancel();
    m_worker.join();
  }
  m_job.reset();
}

void MainFrame::MakeMenus() {
  const auto item = [](wxMenu* menu, Mnemonics& marks, int id, const std::string& label,
                       const char* accel = nullptr) {
    std::string text = marks.Mark(label);
    if (accel)
      text.append("\t").append(accel);
    menu->Append(id, Wx(text));
  };
  Mnemonics bar;
  auto* menuBar = new wxMenuBar;

  Mnemonics fileMarks;
  auto* file = new wxMenu;
  item(file, fileMarks, wxID_OPEN, m_texts.Text(Label::kOpen), "Ctrl+O");
  item(file, fileMarks, kIdOpenShares, m_texts.Text(Label::kOpenShares));
  m_recentMenu = new wxMenu;
  m_recentItem =
      file->AppendSubMenu(m_recentMenu, Wx(fileMarks.Mark(m_texts.Text(Label::kRecentFiles))));
  file->AppendSeparator();
  item(file, fileMarks, wxID_SAVE, m_texts.Text(Label::kSaveShares), "Ctrl+S");
  item(file, fileMarks, wxID_PRINT, m_texts.Text(Label::kPrint), "Ctrl+P");
  file->AppendSeparator();
  item(file, fileMarks, wxID_EXIT, m_texts.Text(Label::kQuit), "Ctrl+Q");
  menuBar->Append(file, Wx(bar.Mark(m_texts.Text(Label::kFileMenu))));

  Mnemonics viewMarks;
  auto* view = new wxMenu;
  item(view, viewMarks, wxID_ZOOM_IN, m_texts.Text(Label::kZoomIn), "Ctrl++");
  item(view, viewMarks, wxID_ZOOM_OUT, m_texts.Text(Label::kZoomOut), "Ctrl+-");
  menuBar->Append(view, Wx(bar.Mark(m_texts.Text(Label::kViewMenu))));

  Mnemonics stackMarks;
  auto* stack = new wxMenu;
  item(stack, stackMarks, kIdDecode, m_texts.Text(Label::kDecodeExactly), "Ctrl+D");
  item(stack, stackMarks, kIdSaveStacked, m_texts.Text(Label::kSaveStacked));
  menuBar->Append(stack, Wx(bar.Mark(m_texts.Text(Label::kStack))));

  Mnemonics helpMarks;
  auto* help = new wxMenu;
  item(help, helpMarks, wxID_ABOUT, m_texts.Text(Label::kAbout));
  menuBar->Append(help, Wx(bar.Mark(m_texts.Text(Label::kHelpMenu))));
  SetMenuBar(menuBar);

  const auto on = [this](int id, auto handler) {
    Bind(
        wxEVT_MENU, [handler](wxCommandEvent&) { handler(); }, id);
  };
  on(wxID_OPEN, [this] {
    const std::vector<std::string> files =
        m_asker.OpenFiles(this, m_texts.Text(Label::kOpen), m_document.Settings().secretFolder,
                          m_texts.PictureFilter(), false);
    if (!files.empty())
      OpenSecret(files.front());
  });
  on(kIdOpenShares, [this] { OpenShares(); });
  on(wxID_SAVE, [this] { SaveShares(); });
  on(wxID_PRINT, [this] { Print(); });
  on(wxID_EXIT, [this] { Close(); });
  on(wxID_ZOOM_IN, [this] { m_stack->ZoomBy(1); });
  on(wxID_ZOOM_OUT, [this] { m_stack->ZoomBy(-1); });
  on(kIdDecode, [this] { m_stack->DecodeExactly(); });
  on(kIdSaveStacked, [this] { m_stack->SaveStacked(); });
  on(wxID_ABOUT, [this] {
    wxAboutDialogInfo info;
    info.SetName(kProgramName);
    info.SetDescription(Wx(m_texts.Text(Label::kAboutText)));
    wxAboutBox(info, this);
  });
  Bind(
      wxEVT_MENU,
      [this](wxCommandEvent& event) {
        const size_t i = static_cast<size_t>(event.GetId() - kIdRecentFirst);
        const std::vector<std::string>& paths = m_document.Recent().Paths();
        if (i < paths.size())
          OpenSecret(std::string(paths[i]));
      },
      kIdRecentFirst, kIdRecentLast);
}

void MainFrame::MakeToolBar() {
  wxToolBar* bar = CreateToolBar(wxTB_HORIZONTAL | wxTB_FLAT);
  // Bundles give the theme's icon at the screen's scale, so they stay sharp on high DPI.
  const auto tool = [&](int id, const wxArtID& art, Label label) {
    const wxString text = Wx(m_texts.Text(label));
    bar->AddTool(id, text, wxArtProvider::GetBitmapBundle(art, wxART_TOOLBAR), text);
  };
  tool(wxID_OPEN, wxART_FILE_OPEN, Label::kOpen);
  tool(kIdOpenShares, wxART_FOLDER_OPEN, Label::kOpenShares);
  tool(wxID_SAVE, wxART_FILE_SAVE_AS, Label::kSaveShares);
  tool(wxID_PRINT, wxART_PRINT, Label::kPrint);
  bar->AddSeparator();
  tool(wxID_ZOOM_IN, wxART_PLUS, Label::kZoomIn);
  tool(wxID_ZOOM_OUT, wxART_MINUS, Label::kZoomOut);
  bar->Realize();
}

wxWindow* MainFrame::MakeActions(wxWindow* parent) {
  auto* panel = new wxPanel(parent, wxID_ANY);
  auto* sizer = new wxBoxSizer(wxVERTICAL);
  auto* buttons = new wxBoxSizer(wxHORIZONTAL);
  const auto button = [&](Label label, const char* name) {
    auto* b = new wxButton(panel, wxID_ANY, Wx(m_marked[label]));
    b->SetName(name);
    buttons->Add(b, 0, wxRIGHT | wxALIGN_CENTER_VERTICAL, FromDIP(6));
    return b;
  };
  m_encrypt = button(Label::kEncrypt, kEncryptButtonName);
  m_encrypt->SetDefault();
  buttons->AddSpacer(FromDIP(12));
  auto* formatLabel = new wxStaticText(panel, wxID_ANY, Wx(m_marked[Label::kShareFormat]));
  m_format = new wxChoice(panel, wxID_ANY);
  m_format->Append(Wx(m_texts.Text(Label::kFormatBmp)));
  m_format->Append(Wx(m_texts.Text(Label::kFormatPng)));
  m_format->SetName(Wx(m_texts.Text(Label::kShareFormat)));
  buttons->Add(formatLabel, 0, wxRIGHT | wxALIGN_CENTER_VERTICAL, FromDIP(4));
  buttons->Add(m_format, 0, wxRIGHT | wxALIGN_CENTER_VERTICAL, FromDIP(6));
  m_saveShares = button(Label::kSaveShares, kSaveSharesButtonName);
  m_print = button(Label::kPrint, kPrintButtonName);
  sizer->Add(buttons, 0, wxEXPAND);

  auto* progress = new wxBoxSizer(wxHORIZONTAL);
  m_gauge = new wxGauge(panel, wxID_ANY, 1000);
  m_gauge->SetName(Wx(m_texts.Text(Label::kEncrypting)));
  m_progressText = new wxStaticText(panel, wxID_ANY, "");
  m_cancel = new wxButton(panel, wxID_CANCEL, Wx(m_texts.Text(Label::kCancel)));
  m_cancel->SetName(Wx(m_texts.Text(Label::kCancel)));
  progress->Add(m_gauge, 1, wxRIGHT | wxALIGN_CENTER_VERTICAL, FromDIP(6));
  progress->Add(m_progressText, 0, wxRIGHT | wxALIGN_CENTER_VERTICAL, FromDIP(6));
  progress->Add(m_cancel, 0, wxALIGN_CENTER_VERTICAL);
  sizer->Add(progress, 0, wxEXPAND | wxTOP, FromDIP(6));
  panel->SetSizer(sizer);

  m_encrypt->Bind(wxEVT_BUTTON, [this](wxCommandEvent&) { Encrypt(); });
  m_saveShares->Bind(wxEVT_BUTTON, [this](wxCommandEvent&) { SaveShares(); });
  m_print->Bind(wxEVT_BUTTON, [this](wxCommandEvent&) { Print(); });
  m_cancel->Bind(wxEVT_BUTTON, [this](wxCommandEvent&) { CancelEncrypt(); });
  m_format->Bind(wxEVT_CHOICE, [this](wxCommandEvent& e) {
    m_document.SetShareFormat(e.GetSelection() == 1 ? ShareFormat::kPng : ShareFormat::kBmp);
  });
  return panel;
}

void MainFrame::DocumentChanged(unsigned aspects) {
  if (aspects & kRecentAspect)
    ShowRecent();
  if (aspects & (kSecretAspect | kBusyAspect | kLayersAspect | kFoldersAspect))
    ShowState();
}

void MainFrame::ShowRecent() {
  while (m_recentMenu->GetMenuItemCount() > 0)
    m_recentMenu->Destroy(m_recentMenu->FindItemByPosition(0));
  const std::vector<std::string>& paths = m_document.Recent().Paths();
  for (size_t i = 0; i < paths.size() && i < kMaxRecentFiles; ++i) {
    // The number is the entry's mnemonic; a "&" of the path is shown as itself.
    wxString path = Wx(paths[i]);
    path.Replace("&", "&&");
    m_recentMenu->Append(kIdRecentFirst + static_cast<int>(i),
                         wxString::Format("&%zu %s", i + 1, path));
  }
  m_recentItem->Enable(!paths.empty());
}

void MainFrame::ShowState() {
  SetTitle(Wx(m_texts.WindowTitle(m_document.Secret().Path())));
  const bool busy = m_document.Busy() || m_job != nullptr;
  const bool made = m_document.MadeShares() > 0;
  m_encrypt->Enable(!busy && !m_document.Secret().Empty());
  m_saveShares->Enable(!busy && made);
  m_print->Enable(!busy && made);
  m_format->SetSelection(m_document.GetShareFormat() == ShareFormat::kPng ? 1 : 0);
  wxMenuBar* bar = GetMenuBar();
  bar->Enable(wxID_SAVE, !busy && made);
  bar->Enable(wxID_PRINT, !busy && made);
  bar->Enable(wxID_OPEN, !busy);
  GetToolBar()->EnableTool(wxID_SAVE, !busy && made);
  GetToolBar()->EnableTool(wxID_PRINT, !busy && made);
  GetToolBar()->EnableTool(wxID_OPEN, !busy);
  m_gauge->Show(busy);
  m_progressText->Show(busy);
  m_cancel->Show(busy);
  Relayout(m_gauge->GetParent());
}

void MainFrame::Report(const Result& result) {
  if (!result.ok())
    Tell(m_texts.Say(result), true);
}

void MainFrame::Tell(const std::string& message, bool problem) {
  m_lastMessage = message;
  if (message.empty()) {
    m_infoBar->Dismiss();
    return;
  }
  m_infoBar->ShowMessage(Wx(message), problem ? wxICON_WARNING : wxICON_INFORMATION);
  SetStatusText(Wx(message));
}

void MainFrame::OpenSecret(const std::string& path) {
  // The secret being encrypted stays on screen until its shares are in.
  if (m_job) {
    Report(Result::Refuse(Problem::kBusy));
    return;
  }
  const bool recent = [&] {
    for (const std::string& p : m_document.Recent().Paths())
      if (p == path)
        return true;
    return false;
  }();
  const Result result = m_document.OpenSecret(path);
  if (!result) {
    // A recent file that no longer opens comes off the list.
    if (recent)
      m_document.ForgetRecent(path);
    Report(result);
    return;
  }
  Tell("", false);
}

void MainFrame::OpenShares() {
  const std::vector<std::string> files =
      m_asker.OpenFiles(this, m_texts.Text(Label::kOpenShares), m_document.Settings().layersFolder,
                        m_texts.PictureFilter(), true);
  if (!files.empty())
    Report(m_document.OpenLayers(files));
}

void MainFrame::Encrypt() {
  if (m_job)
    return;
  std::unique_ptr<EncryptJob> job;
  if (Result result = m_document.StartEncrypt(MakeSystemRandom(), &job); !result) {
    Report(result);
    return;
  }
  Tell("", false);
  m_encryptStarted = std::chrono::steady_clock::now();
  m_job = std::move(job);
  m_gauge->SetValue(0);
  m_progressText->SetLabelText(Wx(m_texts.Progress(0)));
  ShowState();
  m_progressTimer.Start(100);
  EncryptJob* work = m_job.get();
  m_worker = std::thread([this, work] {
    work->Run();
    CallAfter(&MainFrame::JobEnded);
  });
}

void MainFrame::CancelEncrypt() {
  if (m_job)
    m_job->Cancel();
}

void MainFrame::JobEnded() {
  if (!m_job)
    return;
  m_worker.join();
  m_progressTimer.Stop();
  const Result result = m_job->Deliver();
  m_job.reset();
  ShowState();
  if (result) {
    // The stack panel has shown the thumbnails on the document's notice.
    Update();
    m_lastEncryptMs = std::chrono::duration<double, std::milli>(std::chrono::steady_clock::now() -
                                                                m_encryptStarted)
                          .count();
    Tell(m_texts.SharesMade(m_document.MadeShares()), false);
  } else if (!(result.problem == Problem::kOutcome && result.outcome.code == Code::kCancelled)) {
    Report(result);
  } else {
    Tell(m_texts.Say(result), false);
  }
}

void MainFrame::SaveShares() {
  if (m_job || m_document.MadeShares() == 0)
    return;
  const std::string folder = m_asker.ChooseFolder(this, m_texts.Text(Label::kChooseSharesFolder),
                                                  m_document.Settings().sharesFolder);
  if (folder.empty())
    return;
  const ShareFormat format = m_document.GetShareFormat();
  SharesPlan plan;
  if (Result result = m_document.PlanSaveShares(folder, format, &plan); !result) {
    Report(result);
    return;
  }
  // The names are shown before anything is written; replacing files is said and asked.
  std::string question = m_texts.SavePlanLine(plan);
  for (const std::string& line : {m_texts.LeftOverLine(plan), m_texts.ReplaceQuestion(plan)}) {
    if (!line.empty())
      question.append("\n\n").append(line);
  }
  const Label yes = plan.replaced.empty() ? Label::kSave : Label::kReplace;
  if (!m_asker.Confirm(this, question, m_texts.Text(yes)))
    return;
  if (Result result = m_document.SaveShares(folder, format); !result) {
    Report(result);
    return;
  }
  Tell(m_texts.SharesSaved(plan, folder), false);
}

void MainFrame::Print() {
  if (m_job || m_document.MadeShares() == 0)
    return;
  PrintDialog dialog(this, m_document, m_texts, m_asker);
  dialog.ShowModal();
}

void MainFrame::OnClose(wxCloseEvent& event) {
  if (m_job)
    m_job->Cancel();
  if (!IsMaximized() && !IsIconized()) {
    const wxSize size = GetSize();
    m_document.SetWindowSize(size.x, size.y);
  }
  event.Skip();
}

}  // namespace quillon::studio::wx
