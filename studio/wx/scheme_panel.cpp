#include "studio/wx/scheme_panel.h"

#include <wx/button.h>
#include <wx/checkbox.h>
#include <wx/checklst.h>
#include <wx/choice.h>
#include <wx/filename.h>
#include <wx/log.h>
#include <wx/sizer.h>
#include <wx/spinctrl.h>
#include <wx/statbmp.h>
#include <wx/statbox.h>
#include <wx/stattext.h>
#include <wx/textctrl.h>

#include "schemes/method_table.h"
#include "schemes/scheme_table.h"
#include "studio/wx/bitmaps.h"
#include "studio/wx/relayout.h"
#include "studio/wx/wx_text.h"

namespace quillon::studio::wx {
namespace {

constexpr int kSchemeCount = 5;
constexpr int kMethodCount = 7;
constexpr int kInnocentThumb = 40;

std::string Joined(const std::vector<std::string>& lines) {
  std::string text;
  for (const std::string& line : lines)
    text.append(text.empty() ? "" : "\n").append(line);
  return text;
}

// A small picture of an innocent image as the file shows it, or nothing when it cannot be
// read (the encryption then says why).
wxBitmap InnocentThumbnail(const std::string& path, int side) {
  wxImage image;
  {
    wxLogNull quiet;
    if (path.empty() || !image.LoadFile(Wx(path))) {
      return BlankSquare(side);
    }
  }
  const double scale = static_cast<double>(side) / std::max(image.GetWidth(), image.GetHeight());
  image.Rescale(std::max(1, static_cast<int>(image.GetWidth() * scale)),
                std::max(1, static_cast<int>(image.GetHeight() * scale)), wxIMAGE_QUALITY_NORMAL);
  return wxBitmap(image);
}

}  // namespace

SchemePanel::SchemePanel(wxWindow* parent, Document& document, const Texts& texts,
                         Mnemonics& mnemonics, Asker& asker,
                         std::function<void(const Result&)> report)
    : wxPanel(parent, wxID_ANY),
      m_document(document),
      m_texts(texts),
      m_asker(asker),
      m_report(std::move(report)) {
  auto* outer = new wxBoxSizer(wxVERTICAL);
  auto* box = new wxStaticBoxSizer(wxVERTICAL, this, Wx(texts.Text(Label::kScheme)));
  wxWindow* in = box->GetStaticBox();
  const int gap = FromDIP(6);

  // Each control follows its label, so that the label's mnemonic reaches it.
  auto* grid = new wxFlexGridSizer(4, wxSize(gap, gap));
  const auto labelled = [&](Label label, wxWindow* control) {
    control->SetName(Wx(texts.Text(label)));
    auto* text = new wxStaticText(in, wxID_ANY, Wx(mnemonics.Mark(texts.Text(label))));
    grid->Add(text, 0, wxALIGN_CENTER_VERTICAL);
    grid->Add(control, 0, wxALIGN_CENTER_VERTICAL | wxEXPAND);
    return text;
  };
  m_scheme = new wxChoice(in, wxID_ANY);
  for (int s = 0; s < kSchemeCount; ++s)
    m_scheme->Append(Wx(texts.SchemeName(static_cast<SchemeKind>(s))));
  m_method = new wxChoice(in, wxID_ANY);
  for (int m = 0; m < kMethodCount; ++m)
    m_method->Append(Wx(texts.MethodName(static_cast<ExpansionMethod>(m))));
  m_participants = new wxSpinCtrl(in, wxID_ANY, "", wxDefaultPosition, wxSize(FromDIP(110), -1),
                                  wxSP_ARROW_KEYS, 2, 9, 2);
  m_threshold = new wxSpinCtrl(in, wxID_ANY, "", wxDefaultPosition, wxSize(FromDIP(110), -1),
                               wxSP_ARROW_KEYS, 2, 9, 2);
  labelled(Label::kScheme, m_scheme);
  labelled(Label::kMethod, m_method);
  labelled(Label::kParticipants, m_participants);
  m_thresholdLabel = labelled(Label::kThreshold, m_threshold);
  grid->AddGrowableCol(1);
  grid->AddGrowableCol(3);
  box->Add(grid, 0, wxEXPAND | wxALL, FromDIP(4));

  auto* flags = new wxBoxSizer(wxHORIZONTAL);
  m_optimal = new wxCheckBox(in, wxID_ANY, Wx(mnemonics.Mark(texts.Text(Label::kOptimalContrast))));
  m_optimal->SetName(Wx(texts.Text(Label::kOptimalContrast)));
  m_allowClear =
      new wxCheckBox(in, wxID_ANY, Wx(mnemonics.Mark(texts.Text(Label::kAllowClearShare))));
  m_allowClear->SetName(Wx(texts.Text(Label::kAllowClearShare)));
  flags->Add(m_optimal, 0, wxRIGHT, FromDIP(12));
  flags->Add(m_allowClear, 0);
  box->Add(flags, 0, wxALL, FromDIP(4));

  auto* sets = new wxBoxSizer(wxHORIZONTAL);
  m_setsLabel =
      new wxStaticText(in, wxID_ANY, Wx(mnemonics.Mark(texts.Text(Label::kQualifiedSets))));
  m_sets = new wxTextCtrl(in, wxID_ANY);
  m_sets->SetName(Wx(texts.Text(Label::kQualifiedSets)));
  sets->Add(m_setsLabel, 0, wxALIGN_CENTER_VERTICAL | wxRIGHT, gap);
  sets->Add(m_sets, 1, wxALIGN_CENTER_VERTICAL);
  box->Add(sets, 0, wxEXPAND | wxALL, FromDIP(4));
  m_setsMessage = new wxStaticText(in, wxID_ANY, "");
  m_setsMessage->SetForegroundColour(wxColour(170, 0, 0));
  box->Add(m_setsMessage, 0, wxLEFT | wxRIGHT, FromDIP(4));
  m_candidates = new wxCheckListBox(in, wxID_ANY, wxDefaultPosition, wxSize(-1, FromDIP(90)));
  m_candidates->SetName(Wx(texts.Text(Label::kCandidateSets)));
  box->Add(m_candidates, 0, wxEXPAND | wxALL, FromDIP(4));

  m_innocentLabel = new wxStaticText(in, wxID_ANY, Wx(texts.Text(Label::kInnocentImage)));
  box->Add(m_innocentLabel, 0, wxLEFT | wxTOP, FromDIP(4));
  m_innocents = new wxFlexGridSizer(4, wxSize(gap, 2));
  m_innocents->AddGrowableCol(3);
  box->Add(m_innocents, 0, wxEXPAND | wxALL, FromDIP(4));
  outer->Add(box, 0, wxEXPAND | wxBOTTOM, gap);

  auto* factsBox = new wxStaticBoxSizer(wxVERTICAL, this, Wx(texts.Text(Label::kFacts)));
  wxWindow* inFacts = factsBox->GetStaticBox();
  m_facts = new wxStaticText(inFacts, wxID_ANY, "");
  m_facts->SetName(Wx(texts.Text(Label::kFacts)));
  m_factWarnings = new wxStaticText(inFacts, wxID_ANY, "");
  m_factWarnings->SetForegroundColour(wxColour(160, 60, 0));
  m_useOptimal =
      new wxButton(inFacts, wxID_ANY, Wx(mnemonics.Mark(texts.Text(Label::kUseOptimal))));
  m_useOptimal->SetName(Wx(texts.Text(Label::kUseOptimal)));
  factsBox->Add(m_facts, 0, wxEXPAND | wxALL, FromDIP(4));
  factsBox->Add(m_factWarnings, 0, wxEXPAND | wxALL, FromDIP(4));
  factsBox->Add(m_useOptimal, 0, wxALL, FromDIP(4));
  outer->Add(factsBox, 0, wxEXPAND);
  SetSizer(outer);

  m_scheme->Bind(wxEVT_CHOICE, [this](wxCommandEvent& e) {
    m_document.SetSchemeKind(static_cast<SchemeKind>(e.GetSelection()));
  });
  m_method->Bind(wxEVT_CHOICE, [this](wxCommandEvent& e) {
    m_document.SetMethod(static_cast<ExpansionMethod>(e.GetSelection()));
  });
  // The document answers the value it took (a k that cannot be built is skipped).
  m_participants->Bind(wxEVT_SPINCTRL, [this](wxSpinEvent& e) {
    m_participants->SetValue(m_document.SetParticipants(e.GetPosition()));
  });
  m_threshold->Bind(wxEVT_SPINCTRL, [this](wxSpinEvent& e) {
    m_threshold->SetValue(m_document.SetThreshold(e.GetPosition()));
  });
  m_optimal->Bind(wxEVT_CHECKBOX,
                  [this](wxCommandEvent& e) { m_document.SetOptimal(e.IsChecked()); });
  m_allowClear->Bind(wxEVT_CHECKBOX,
                     [this](wxCommandEvent& e) { m_document.SetAllowClearShare(e.IsChecked()); });
  m_sets->Bind(wxEVT_TEXT, [this](wxCommandEvent&) {
    m_document.SetQualifiedSetsText(Utf8(m_sets->GetValue()));
  });
  m_candidates->Bind(wxEVT_CHECKLISTBOX, [this](wxCommandEvent& e) {
    const int i = e.GetInt();
    if (i >= 0 && static_cast<size_t>(i) < m_candidateSets.size())
      m_document.ToggleQualifiedSet(m_candidateSets[i]);
  });
  m_useOptimal->Bind(wxEVT_BUTTON, [this](wxCommandEvent&) {
    CallAfter([this] { m_document.TakeOptimalOffer(); });
  });

  m_document.AddObserver(this);
  ShowScheme();
  ShowFacts();
}

SchemePanel::~SchemePanel() {
  m_document.RemoveObserver(this);
}

void SchemePanel::DocumentChanged(unsigned aspects) {
  if (aspects & (kSchemeAspect | kBusyAspect))
    ShowScheme();
  if (aspects & (kSchemeAspect | kFactsAspect | kSecretAspect | kPrintAspect))
    ShowFacts();
  if (aspects & (kSchemeAspect | kBusyAspect | kFactsAspect | kSecretAspect | kPrintAspect))
    Relayout(this);
}

void SchemePanel::ShowScheme() {
  const SchemeSetup& setup = m_document.Scheme();
  const unsigned uses = SchemeInfo(setup.Kind()).uses;
  const bool idle = !m_document.Busy();
  m_scheme->SetSelection(static_cast<int>(setup.Kind()));
  m_method->SetSelection(static_cast<int>(setup.Method()));
  const IntRange n = setup.ParticipantRange();
  const IntRange k = setup.ThresholdRange();
  m_participants->SetRange(n.min, n.max);
  m_participants->SetValue(setup.Participants());
  m_participants->Enable(idle && n.min < n.max);
  const bool hasK = setup.Threshold() > 0;
  m_threshold->SetRange(hasK ? k.min : 0, hasK ? k.max : 0);
  m_threshold->SetValue(setup.Threshold());
  m_threshold->Enable(idle && hasK && k.min < k.max);
  // A general access structure has no threshold: its sets say who sees the secret.
  m_threshold->Show(hasK);
  m_thresholdLabel->Show(hasK);
  m_optimal->SetValue(setup.Optimal());
  m_optimal->Show((uses & kUsesOptimal) != 0);
  const bool general = (uses & kUsesSets) != 0;
  m_allowClear->SetValue(setup.AllowClearShare());
  m_allowClear->Show(general);
  m_setsLabel->Show(general);
  m_sets->Show(general);
  m_candidates->Show(general);
  m_scheme->Enable(idle);
  m_method->Enable(idle);
  if (general)
    ShowSets();
  else
    m_setsMessage->Hide();
  ShowInnocents();
}

void SchemePanel::ShowSets() {
  const SchemeSetup& setup = m_document.Scheme();
  // Never rewrite the text while the user types it: only when the document's differs.
  if (Utf8(m_sets->GetValue()) != setup.SetsText())
    m_sets->ChangeValue(Wx(setup.SetsText()));
  const std::string problem = m_texts.SetsMessage(setup.SetsState());
  m_setsMessage->SetLabelText(Wx(problem));
  m_setsMessage->Show(!problem.empty());
  const std::vector<uint32_t> candidates = setup.CandidateSets();
  if (candidates != m_candidateSets) {
    m_candidateSets = candidates;
    wxArrayString names;
    for (uint32_t set : candidates)
      names.Add(Wx(m_texts.SetName(set)));
    m_candidates->Set(names);
  }
  for (size_t i = 0; i < m_candidateSets.size(); ++i)
    m_candidates->Check(static_cast<unsigned>(i), setup.HasSet(m_candidateSets[i]));
}

void SchemePanel::ShowInnocents() {
  const SchemeSetup& setup = m_document.Scheme();
  const bool extended = IsExtendedMethod(setup.Method());
  std::string shown;
  if (extended) {
    for (const std::string& path : setup.InnocentImages())
      shown.append(path).push_back('\n');
  }
  m_innocentLabel->Show(extended);
  if (shown == m_innocentsShown && extended == !m_innocents->IsEmpty())
    return;
  m_innocentsShown = shown;
  m_innocents->Clear(true);
  if (!extended)
    return;
  wxWindow* in = m_innocentLabel->GetParent();
  const std::vector<std::string> paths = setup.InnocentImages();
  for (size_t share = 0; share < paths.size(); ++share) {
    const int s = static_cast<int>(share);
    auto* button = new wxButton(in, wxID_ANY, Wx(m_texts.Text(Label::kChooseInnocentImage)));
    button->SetName(Wx(m_texts.ShareNumber(s) + ": " + m_texts.Text(Label::kInnocentImage)));
    button->Enable(!m_document.Busy());
    button->Bind(wxEVT_BUTTON,
                 [this, s](wxCommandEvent&) { CallAfter([this, s] { ChooseInnocent(s); }); });
    m_innocents->Add(new wxStaticText(in, wxID_ANY, Wx(m_texts.ShareNumber(s))), 0,
                     wxALIGN_CENTER_VERTICAL);
    m_innocents->Add(
        new wxStaticBitmap(in, wxID_ANY, InnocentThumbnail(paths[share], FromDIP(kInnocentThumb))),
        0, wxALIGN_CENTER_VERTICAL);
    m_innocents->Add(button, 0, wxALIGN_CENTER_VERTICAL);
    m_innocents->Add(new wxStaticText(in, wxID_ANY, wxFileName(Wx(paths[share])).GetFullName()), 0,
                     wxALIGN_CENTER_VERTICAL);
  }
}

void SchemePanel::ChooseInnocent(int share) {
  const std::vector<std::string> files =
      m_asker.OpenFiles(this, m_texts.Text(Label::kChooseInnocentImage),
                        m_document.Settings().secretFolder, m_texts.PictureFilter(), false);
  if (!files.empty())
    m_document.SetInnocentImage(share, files.front());
}

void SchemePanel::ShowFacts() {
  const SchemeFacts& facts = m_document.Facts();
  const ShareFacts shares = m_document.SharesFacts();
  const SchemeSetup& setup = m_document.Scheme();
  m_facts->SetLabelText(
      Wx(Joined(m_texts.FactLines(facts, shares, setup.Method(), m_document.Print().pixelMm))));
  const std::string warnings = Joined(m_texts.FactWarnings(facts));
  m_factWarnings->SetLabelText(Wx(warnings));
  m_factWarnings->Show(!warnings.empty());
  m_factWarnings->Wrap(FromDIP(560));
  m_facts->Wrap(FromDIP(560));
  m_useOptimal->Show(facts.optimalOffered);
  m_useOptimal->Enable(!m_document.Busy());
}

}  // namespace quillon::studio::wx
