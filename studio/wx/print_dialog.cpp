#include "studio/wx/print_dialog.h"

#include <wx/button.h>
#include <wx/checkbox.h>
#include <wx/choice.h>
#include <wx/sizer.h>
#include <wx/spinctrl.h>
#include <wx/stattext.h>

#include <cmath>
#include <cstdio>
#include <filesystem>
#include <optional>
#include <string>

#include "io/print_sheets.h"
#include "studio/wx/mnemonics.h"
#include "studio/wx/print_preview.h"
#include "studio/wx/stack_widgets.h"
#include "studio/wx/wx_text.h"

namespace quillon::studio::wx {
namespace {

// A paper of the user's own, as FindPaper reads it.
std::string CustomPaper(double widthMm, double heightMm) {
  char name[64];
  std::snprintf(name, sizeof name, "%.1fx%.1f", widthMm, heightMm);
  return name;
}

void SetIfChanged(wxSpinCtrlDouble* spin, double value) {
  if (std::fabs(spin->GetValue() - value) > 1e-9)
    spin->SetValue(value);
}

}  // namespace

struct PrintDialog::Impl {
  Impl(PrintDialog* dialog, Document& document, const Texts& texts, Asker& asker)
      : self(dialog), doc(document), texts(texts), asker(asker) {}

  void Build();
  void Sync();
  void Apply();
  void SavePdf();
  void Say(const std::string& text, bool problem);

  PrintDialog* self;
  Document& doc;
  const Texts& texts;
  Asker& asker;

  wxChoice* paper = nullptr;
  wxStaticText* widthLabel = nullptr;
  wxSpinCtrlDouble* width = nullptr;
  wxStaticText* heightLabel = nullptr;
  wxSpinCtrlDouble* height = nullptr;
  wxSpinCtrlDouble* pixel = nullptr;
  wxCheckBox* samePage = nullptr;
  PrintPreviewWindow* preview = nullptr;
  wxStaticText* pagesLine = nullptr;
  wxStaticText* misfitLine = nullptr;
  wxStaticText* messageLine = nullptr;
  wxButton* useFitting = nullptr;
  double fittingPixelMm = 0;  // offered while the shares do not fit
  wxButton* save = nullptr;
};

void PrintDialog::Impl::Build() {
  const std::vector<wxString> labels = WithMnemonics(
      {texts.Text(Label::kPaper), texts.Text(Label::kPaperWidth), texts.Text(Label::kPaperHeight),
       texts.Text(Label::kPixelSize), texts.Text(Label::kSamePage), texts.Text(Label::kSavePdf),
       texts.Text(Label::kPreview), texts.Text(Label::kUseFittingPixel)});

  auto* paperLabel = new wxStaticText(self, wxID_ANY, labels[0]);
  paper = new wxChoice(self, wxID_ANY);
  paper->SetName(Wx(texts.Text(Label::kPaper)));
  for (const std::string& name : PaperChoices())
    paper->Append(Wx(texts.PaperName(name)));
  paper->Append(Wx(texts.Text(Label::kCustomPaper)));

  auto sideSpin = [this](const std::string& name) {
    auto* spin = new wxSpinCtrlDouble(self, wxID_ANY, "", wxDefaultPosition, wxDefaultSize,
                                      wxSP_ARROW_KEYS, kMinPaperMm, kMaxPaperMm, 210, 1);
    spin->SetDigits(1);
    spin->SetName(Wx(name));
    return spin;
  };
  widthLabel = new wxStaticText(self, wxID_ANY, labels[1]);
  width = sideSpin(texts.Text(Label::kPaperWidth));
  heightLabel = new wxStaticText(self, wxID_ANY, labels[2]);
  height = sideSpin(texts.Text(Label::kPaperHeight));

  auto* pixelLabel = new wxStaticText(self, wxID_ANY, labels[3]);
  pixel = new wxSpinCtrlDouble(self, wxID_ANY, "", wxDefaultPosition, wxDefaultSize,
                               wxSP_ARROW_KEYS, kMinPixelMm, kMaxPixelMm, 0.5, 0.05);
  pixel->SetDigits(2);
  pixel->SetName(Wx(texts.Text(Label::kPixelSize)));
  samePage = new wxCheckBox(self, wxID_ANY, labels[4]);
  samePage->SetName(Wx(texts.Text(Label::kSamePage)));

  auto* previewLabel = new wxStaticText(self, wxID_ANY, labels[6]);
  previewLabel->SetFont(previewLabel->GetFont().Bold());
  preview = new PrintPreviewWindow(self, doc);
  preview->SetName(Wx(texts.Text(Label::kPreview)));
  pagesLine = new wxStaticText(self, wxID_ANY, "");
  misfitLine = new wxStaticText(self, wxID_ANY, "");
  misfitLine->SetForegroundColour(wxColour(176, 0, 32));
  messageLine = new wxStaticText(self, wxID_ANY, "");
  useFitting = new wxButton(self, wxID_ANY, labels[7]);
  useFitting->SetName(Wx(texts.Text(Label::kUseFittingPixel)));

  save = new wxButton(self, wxID_ANY, labels[5]);
  save->SetName(Wx(texts.Text(Label::kSavePdf)));
  auto* close = new wxButton(self, wxID_CLOSE);
  self->SetEscapeId(wxID_CLOSE);
  save->SetDefault();

  auto* grid = new wxFlexGridSizer(2, 6, 8);
  grid->AddGrowableCol(1);
  grid->Add(paperLabel, 0, wxALIGN_CENTER_VERTICAL);
  grid->Add(paper, 0, wxEXPAND);
  grid->Add(widthLabel, 0, wxALIGN_CENTER_VERTICAL);
  grid->Add(width, 0, wxEXPAND);
  grid->Add(heightLabel, 0, wxALIGN_CENTER_VERTICAL);
  grid->Add(height, 0, wxEXPAND);
  grid->Add(pixelLabel, 0, wxALIGN_CENTER_VERTICAL);
  grid->Add(pixel, 0, wxEXPAND);

  auto* left = new wxBoxSizer(wxVERTICAL);
  left->Add(grid, 0, wxEXPAND);
  left->Add(samePage, 0, wxTOP, 10);
  left->Add(misfitLine, 0, wxEXPAND | wxTOP, 12);
  left->Add(useFitting, 0, wxTOP, 6);
  left->AddStretchSpacer();
  left->Add(messageLine, 0, wxEXPAND | wxTOP, 6);

  auto* right = new wxBoxSizer(wxVERTICAL);
  right->Add(previewLabel, 0, wxBOTTOM, 4);
  right->Add(preview, 1, wxEXPAND);
  right->Add(pagesLine, 0, wxTOP, 4);

  auto* body = new wxBoxSizer(wxHORIZONTAL);
  body->Add(left, 0, wxEXPAND | wxRIGHT, 12);
  body->Add(right, 1, wxEXPAND);

  auto* buttons = new wxBoxSizer(wxHORIZONTAL);
  buttons->AddStretchSpacer();
  buttons->Add(save, 0, wxRIGHT, 6);
  buttons->Add(close, 0);

  auto* top = new wxBoxSizer(wxVERTICAL);
  top->Add(body, 1, wxEXPAND | wxALL, 12);
  top->Add(buttons, 0, wxEXPAND | wxLEFT | wxRIGHT | wxBOTTOM, 12);
  self->SetSizer(top);
  misfitLine->Wrap(260);

  paper->Bind(wxEVT_CHOICE, [this](wxCommandEvent&) { Apply(); });
  for (wxSpinCtrlDouble* spin : {width, height, pixel})
    spin->Bind(wxEVT_SPINCTRLDOUBLE, [this](wxSpinDoubleEvent&) { Apply(); });
  samePage->Bind(wxEVT_CHECKBOX, [this](wxCommandEvent&) { Apply(); });
  save->Bind(wxEVT_BUTTON, [this](wxCommandEvent&) { SavePdf(); });
  useFitting->Bind(wxEVT_BUTTON, [this](wxCommandEvent&) {
    PrintChoice choice = doc.Print();
    choice.pixelMm = fittingPixelMm;
    Say("", false);
    if (const Result result = doc.SetPrintChoice(choice); !result)
      Say(texts.Say(result), true);
  });
}

void PrintDialog::Impl::Sync() {
  const PrintChoice& choice = doc.Print();
  const std::vector<std::string>& papers = PaperChoices();
  const auto known = std::find(papers.begin(), papers.end(), choice.paper);
  const bool custom = known == papers.end();
  paper->SetSelection(static_cast<int>(known - papers.begin()));  // the last entry: custom
  if (const std::optional<Paper> found = FindPaper(choice.paper)) {
    SetIfChanged(width, found->widthMm);
    SetIfChanged(height, found->heightMm);
  }
  for (wxWindow* w : {static_cast<wxWindow*>(widthLabel), static_cast<wxWindow*>(width),
                      static_cast<wxWindow*>(heightLabel), static_cast<wxWindow*>(height)}) {
    w->Enable(custom);
  }
  SetIfChanged(pixel, choice.pixelMm);
  samePage->SetValue(choice.samePage);

  PrintPreview laid;
  const Result result = doc.PreviewPrint(&laid);
  const bool misfit =
      result.problem == Problem::kOutcome && result.outcome.code == Code::kPrintTooLarge;
  if (result) {
    preview->SetPreview(laid);
    pagesLine->SetLabel(Wx(texts.PreviewPages(laid.layout.pages)));
  } else {
    // Too large: the bare paper, so the user sees what the misfit line measures against.
    if (misfit && laid.paperWidthMm > 0) {
      laid.firstPageShares.clear();
      preview->SetPreview(laid);
    } else {
      preview->SetPreview(std::nullopt);
    }
    pagesLine->SetLabel("");
  }
  misfitLine->SetLabel(misfit ? Wx(texts.PrintMisfit(laid, choice))
                              : Wx(result ? "" : texts.Say(result)));
  misfitLine->Wrap(260);
  // The size the misfit line names, to the hundredth below, as Texts words it.
  fittingPixelMm = misfit ? std::floor(laid.layout.misfit.fittingPixelMm * 100) / 100 : 0;
  useFitting->Show(fittingPixelMm >= kMinPixelMm);
  save->Enable(result.ok());
  self->Layout();
}

void PrintDialog::Impl::Apply() {
  PrintChoice choice = doc.Print();
  const std::vector<std::string>& papers = PaperChoices();
  const int selection = paper->GetSelection();
  if (selection >= 0 && static_cast<size_t>(selection) < papers.size()) {
    choice.paper = papers[selection];
  } else {
    choice.paper = CustomPaper(width->GetValue(), height->GetValue());
  }
  choice.pixelMm = pixel->GetValue();
  choice.samePage = samePage->GetValue();
  Say("", false);
  if (const Result result = doc.SetPrintChoice(choice); !result) {
    Say(texts.Say(result), true);
    Sync();  // the controls show the choice the document kept
  }
}

void PrintDialog::Impl::SavePdf() {
  SaveFileQuestion question;
  question.title = DialogTitle(texts.Text(Label::kSavePdf));
  question.folder = Wx(doc.Settings().printFolder);
  const std::string secret = doc.Secret().Path();
  question.name =
      Wx(secret.empty() ? std::string() : std::filesystem::path(secret).stem().string() + ".pdf");
  question.wildcard = Wx(texts.Text(Label::kPdfFiles) + " (*.pdf)|*.pdf");
  const std::string path = WithExtension(asker.SaveFile(self, question), ".pdf");
  if (path.empty())
    return;
  const Result result = doc.PrintPdf(path, texts);
  Say(result ? texts.SavedLine(path) : texts.Say(result), !result);
}

void PrintDialog::Impl::Say(const std::string& text, bool problem) {
  messageLine->SetForegroundColour(problem ? wxColour(176, 0, 32) : wxNullColour);
  messageLine->SetLabel(Wx(text));
  messageLine->Wrap(260);
  self->Layout();
}

PrintDialog::PrintDialog(wxWindow* parent, Document& document, const Texts& texts, Asker& asker)
    : wxDialog(parent, wxID_ANY, DialogTitle(texts.Text(Label::kPrint)), wxDefaultPosition,
               wxDefaultSize, wxDEFAULT_DIALOG_STYLE | wxRESIZE_BORDER),
      m_impl(std::make_unique<Impl>(this, document, texts, asker)) {
  m_impl->Build();
  m_impl->Sync();
  GetSizer()->SetSizeHints(this);
  CentreOnParent();
  document.AddObserver(this);
}

PrintDialog::~PrintDialog() {
  m_impl->doc.RemoveObserver(this);
}

void PrintDialog::DocumentChanged(unsigned aspects) {
  if (aspects & (kPrintAspect | kLayersAspect))
    m_impl->Sync();
}

}  // namespace quillon::studio::wx
