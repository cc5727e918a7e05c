#include "studio/wx/stack_panel.h"

#include <wx/button.h>
#include <wx/checkbox.h>
#include <wx/choice.h>
#include <wx/scrolwin.h>
#include <wx/settings.h>
#include <wx/sizer.h>
#include <wx/statbmp.h>
#include <wx/stattext.h>
#include <wx/wrapsizer.h>

#include <algorithm>
#include <filesystem>
#include <string>
#include <vector>

#include "schemes/method_table.h"
#include "studio/wx/bitmaps.h"
#include "studio/wx/mnemonics.h"
#include "studio/wx/stack_canvas.h"
#include "studio/wx/stack_widgets.h"
#include "studio/wx/wx_text.h"

namespace quillon::studio::wx {
namespace {

constexpr int kThumbnailSide = 48;

// A tint of the selection colour that keeps the row's black text readable.
wxColour SelectedRowColour() {
  const wxColour h = wxSystemSettings::GetColour(wxSYS_COLOUR_HIGHLIGHT);
  const wxColour w = wxSystemSettings::GetColour(wxSYS_COLOUR_WINDOW);
  return wxColour((h.Red() + 3 * w.Red()) / 4, (h.Green() + 3 * w.Green()) / 4,
                  (h.Blue() + 3 * w.Blue()) / 4);
}

}  // namespace

struct StackPanel::Impl {
  // One layer's row in the list.
  struct Row {
    wxPanel* panel = nullptr;
    wxCheckBox* tick = nullptr;
    wxStaticBitmap* thumbnail = nullptr;
    wxStaticText* name = nullptr;
    wxChoice* participant = nullptr;
    wxButton* remove = nullptr;  // null for the shares made here
    const BmpImage* image = nullptr;
    int participants = -1;  // entries of the choice besides "not known"
  };

  Impl(StackPanel* panel, Document& document, const Texts& texts, Asker& asker)
      : self(panel), doc(document), texts(texts), asker(asker) {}

  void Build();
  void SyncRows();
  void BuildRows();
  void UpdateRow(int i);
  void Select(int layer);
  void UpdateStack();
  void Say(const Result& result);
  void SayText(const std::string& text, bool problem);
  void WrapLines();

  StackPanel* self;
  Document& doc;
  const Texts& texts;
  Asker& asker;

  wxScrolledWindow* list = nullptr;
  wxBoxSizer* listSizer = nullptr;
  std::vector<Row> rows;
  int selected = -1;

  StackCanvas* canvas = nullptr;
  wxStaticText* zoomLine = nullptr;
  wxChoice* moving = nullptr;  // the layer the canvas drags and nudges
  wxStaticText* stackLine = nullptr;
  wxStaticText* messageLine = nullptr;
  // Their texts as worded: a wrapped label holds line breaks of an earlier width.
  wxString stackText;
  wxString messageText;
  wxButton* align = nullptr;
  wxButton* zoomIn = nullptr;
  wxButton* zoomOut = nullptr;
  wxButton* decode = nullptr;
  wxButton* save = nullptr;
  wxString saveStackedLabel;
  wxString saveDecodedLabel;
};

void StackPanel::Impl::Build() {
  const std::vector<wxString> labels = WithMnemonics(
      {texts.Text(Label::kLayers), texts.Text(Label::kStack), texts.Text(Label::kAlignLayers),
       texts.Text(Label::kZoomOut), texts.Text(Label::kZoomIn), texts.Text(Label::kDecodeExactly),
       texts.Text(Label::kSaveStacked), texts.Text(Label::kSaveDecoded),
       texts.Text(Label::kLayerToMove)});

  auto* layersHeading = new wxStaticText(self, wxID_ANY, labels[0]);
  layersHeading->SetFont(layersHeading->GetFont().Bold());
  list = new wxScrolledWindow(self, wxID_ANY, wxDefaultPosition, wxDefaultSize,
                              wxVSCROLL | wxBORDER_THEME);
  list->SetName(Wx(texts.Text(Label::kLayers)));
  list->SetScrollRate(0, 8);
  listSizer = new wxBoxSizer(wxVERTICAL);
  list->SetSizer(listSizer);
  align = new wxButton(self, wxID_ANY, labels[2]);
  align->SetName(Wx(texts.Text(Label::kAlignLayers)));

  auto* stackHeading = new wxStaticText(self, wxID_ANY, labels[1]);
  stackHeading->SetFont(stackHeading->GetFont().Bold());
  zoomOut = new wxButton(self, wxID_ANY, labels[3]);
  zoomOut->SetName(Wx(texts.Text(Label::kZoomOut)));
  zoomIn = new wxButton(self, wxID_ANY, labels[4]);
  zoomIn->SetName(Wx(texts.Text(Label::kZoomIn)));
  // As wide as its widest text, so that zooming never moves the controls (nor resizes the
  // canvas, whose size sets the zoom while it fits the picture).
  zoomLine =
      new wxStaticText(self, wxID_ANY, "", wxDefaultPosition, wxDefaultSize, wxST_NO_AUTORESIZE);
  zoomLine->SetMinSize(wxSize(std::max(zoomLine->GetTextExtent(Wx(texts.ZoomLine(3200, 1))).x,
                                       zoomLine->GetTextExtent(Wx(texts.ZoomLine(1, 8))).x),
                              -1));
  auto* movingLabel = new wxStaticText(self, wxID_ANY, labels[8]);
  moving = new wxChoice(self, wxID_ANY);
  moving->SetName(Wx(texts.Text(Label::kLayerToMove)));
  moving->Bind(wxEVT_CHOICE, [this](wxCommandEvent& event) { Select(event.GetSelection()); });
  canvas = new StackCanvas(self, doc);
  canvas->SetName(Wx(texts.Text(Label::kStack)));
  stackLine = new wxStaticText(self, wxID_ANY, "");
  messageLine = new wxStaticText(self, wxID_ANY, "");
  decode = new wxButton(self, wxID_ANY, labels[5]);
  decode->SetName(Wx(texts.Text(Label::kDecodeExactly)));
  saveStackedLabel = labels[6];
  saveDecodedLabel = labels[7];
  save = new wxButton(self, wxID_ANY, saveStackedLabel);
  save->SetName(Wx(texts.Text(Label::kSaveStacked)));

  // Layers above the stack, and rows that wrap, so that the panel reads at any width the
  // window gives it.
  auto* layersRow = new wxBoxSizer(wxHORIZONTAL);
  layersRow->Add(layersHeading, 0, wxALIGN_CENTER_VERTICAL);
  layersRow->AddStretchSpacer();
  layersRow->Add(align, 0);

  auto* stackRow = new wxWrapSizer(wxHORIZONTAL);
  stackRow->Add(stackHeading, 0, wxALIGN_CENTER_VERTICAL | wxRIGHT, 12);
  stackRow->Add(movingLabel, 0, wxALIGN_CENTER_VERTICAL | wxRIGHT, 4);
  stackRow->Add(moving, 0, wxALIGN_CENTER_VERTICAL | wxRIGHT, 12);
  stackRow->Add(zoomLine, 0, wxALIGN_CENTER_VERTICAL | wxRIGHT, 8);
  stackRow->Add(zoomOut, 0, wxRIGHT, 4);
  stackRow->Add(zoomIn, 0);
  auto* buttonRow = new wxWrapSizer(wxHORIZONTAL);
  buttonRow->Add(decode, 0, wxRIGHT | wxBOTTOM, 6);
  buttonRow->Add(save, 0, wxBOTTOM, 6);

  canvas->SetMinSize(wxSize(240, 200));
  auto* top = new wxBoxSizer(wxVERTICAL);
  top->Add(layersRow, 0, wxEXPAND | wxLEFT | wxRIGHT | wxTOP, 6);
  top->Add(list, 0, wxEXPAND | wxLEFT | wxRIGHT | wxTOP, 6);
  top->Add(stackRow, 0, wxEXPAND | wxLEFT | wxRIGHT | wxTOP, 6);
  top->Add(canvas, 1, wxEXPAND | wxLEFT | wxRIGHT | wxTOP, 6);
  top->Add(stackLine, 0, wxEXPAND | wxLEFT | wxRIGHT | wxTOP, 6);
  top->Add(messageLine, 0, wxEXPAND | wxLEFT | wxRIGHT | wxTOP, 6);
  top->Add(buttonRow, 0, wxEXPAND | wxALL, 6);
  self->SetSizer(top);

  align->Bind(wxEVT_BUTTON, [this](wxCommandEvent&) {
    SayText("", false);
    doc.ResetOffsets();
  });
  zoomIn->Bind(wxEVT_BUTTON, [this](wxCommandEvent&) { canvas->ZoomBy(1); });
  zoomOut->Bind(wxEVT_BUTTON, [this](wxCommandEvent&) { canvas->ZoomBy(-1); });
  decode->Bind(wxEVT_BUTTON, [this](wxCommandEvent&) { self->DecodeExactly(); });
  save->Bind(wxEVT_BUTTON, [this](wxCommandEvent&) { self->SaveStacked(); });
  canvas->onZoom = [this] {
    const ZoomFactor zoom = canvas->Zoom();
    zoomLine->SetLabel(Wx(texts.ZoomLine(zoom.numerator, zoom.denominator)));
  };
  canvas->onRefused = [this](const Result& result) { Say(result); };
  self->Bind(wxEVT_SIZE, [this](wxSizeEvent& event) {
    event.Skip();
    self->CallAfter([this] { WrapLines(); });
  });
  canvas->onZoom();
}

void StackPanel::Impl::WrapLines() {
  const int width = std::max(canvas->GetSize().x, 100);
  stackLine->SetLabel(stackText);
  stackLine->Wrap(width);
  messageLine->SetLabel(messageText);
  messageLine->Wrap(width);
  self->Layout();
}

void StackPanel::Impl::SyncRows() {
  const std::vector<Layer>& layers = doc.Layers();
  if (rows.size() != layers.size())
    BuildRows();
  wxArrayString names;
  for (size_t i = 0; i < rows.size(); ++i) {
    UpdateRow(static_cast<int>(i));
    names.Add(Wx(layers[i].name));
  }
  if (moving->GetStrings() != names)
    moving->Set(names);
  if (selected >= static_cast<int>(layers.size()) || (selected < 0 && !layers.empty()))
    Select(layers.empty() ? -1 : static_cast<int>(layers.size()) - 1);
  else
    Select(selected);
  // Up to four rows show whole; more scroll, and the stack keeps the rest of the height.
  const int rowHeight = rows.empty() ? kThumbnailSide + 8 : rows[0].panel->GetBestSize().y;
  const int shown = std::clamp(static_cast<int>(rows.size()), 2, 4);
  list->SetMinSize(wxSize(-1, shown * rowHeight + 4));
  list->FitInside();
  self->Layout();
}

void StackPanel::Impl::BuildRows() {
  list->Freeze();
  listSizer->Clear(true);
  rows.clear();
  const std::vector<Layer>& layers = doc.Layers();
  for (size_t i = 0; i < layers.size(); ++i) {
    const int index = static_cast<int>(i);
    Row row;
    row.panel = new wxPanel(list, wxID_ANY);
    row.tick = new wxCheckBox(row.panel, wxID_ANY, "");
    row.thumbnail =
        new wxStaticBitmap(row.panel, wxID_ANY, wxBitmap(kThumbnailSide, kThumbnailSide));
    row.thumbnail->SetMinSize(wxSize(kThumbnailSide, kThumbnailSide));
    // Long file names end in an ellipsis; the whole line is the tick's name and the tip.
    row.name = new wxStaticText(row.panel, wxID_ANY, "", wxDefaultPosition, wxDefaultSize,
                                wxST_ELLIPSIZE_END | wxST_NO_AUTORESIZE);
    row.participant = new wxChoice(row.panel, wxID_ANY);
    auto* sizer = new wxBoxSizer(wxHORIZONTAL);
    sizer->Add(row.tick, 0, wxALIGN_CENTER_VERTICAL | wxALL, 4);
    sizer->Add(row.thumbnail, 0, wxALIGN_CENTER_VERTICAL | wxALL, 2);
    sizer->Add(row.name, 1, wxALIGN_CENTER_VERTICAL | wxLEFT | wxRIGHT, 6);
    sizer->Add(row.participant, 0, wxALIGN_CENTER_VERTICAL | wxRIGHT, 4);
    if (!layers[i].made) {
      row.remove = new wxButton(row.panel, wxID_ANY, Wx(texts.Text(Label::kRemoveLayer)),
                                wxDefaultPosition, wxDefaultSize, wxBU_EXACTFIT);
      sizer->Add(row.remove, 0, wxALIGN_CENTER_VERTICAL | wxRIGHT, 4);
      // Taking the layer off destroys this row, so not from inside the button's own click.
      row.remove->Bind(wxEVT_BUTTON, [this, index](wxCommandEvent&) {
        self->CallAfter([this, index] {
          SayText("", false);
          Say(doc.RemoveLayer(index));
        });
      });
    }
    row.panel->SetSizer(sizer);
    listSizer->Add(row.panel, 0, wxEXPAND);

    row.tick->Bind(wxEVT_CHECKBOX, [this, index](wxCommandEvent& event) {
      SayText("", false);
      if (event.IsChecked())
        Select(index);
      Say(doc.TickLayer(index, event.IsChecked()));
    });
    row.participant->Bind(wxEVT_CHOICE, [this, index](wxCommandEvent& event) {
      SayText("", false);
      Say(doc.SetLayerParticipant(index, event.GetSelection() - 1));
    });
    // A click on the row, or ticking it, makes it the layer the canvas moves; the keyboard
    // chooses it in the "Layer to move" list (tabbing through the rows must not).
    for (wxWindow* w : {static_cast<wxWindow*>(row.panel), static_cast<wxWindow*>(row.thumbnail),
                        static_cast<wxWindow*>(row.name)}) {
      w->Bind(wxEVT_LEFT_DOWN, [this, index](wxMouseEvent& event) {
        event.Skip();
        Select(index);
      });
    }
    rows.push_back(row);
  }
  list->Thaw();
}

void StackPanel::Impl::UpdateRow(int i) {
  const Layer& layer = doc.Layers()[i];
  Row& row = rows[i];
  const wxString line = Wx(texts.LayerLine(layer));
  row.tick->SetValue(layer.ticked);
  row.tick->SetName(line);
  if (row.name->GetLabel() != line) {
    row.name->SetLabel(line);
    row.name->SetToolTip(line);
  }
  if (row.image != layer.image.get()) {
    row.image = layer.image.get();
    if (row.image != nullptr)
      row.thumbnail->SetBitmap(Thumbnail(*row.image, kThumbnailSide));
    row.thumbnail->SetName(Wx(layer.name));
  }
  const int participants = std::max(doc.StackScheme().Participants(), layer.participant + 1);
  if (participants != row.participants) {
    wxArrayString entries;
    entries.Add(Wx(texts.Text(Label::kUnknownParticipant)));
    for (int p = 1; p <= participants; ++p)
      entries.Add(wxString::Format("%d", p));
    row.participant->Set(entries);
    row.participants = participants;
  }
  row.participant->SetSelection(layer.participant + 1);
  row.participant->SetName(Wx(texts.Text(Label::kParticipant) + ": " + layer.name));
  // The shares made here are their participants' own.
  row.participant->Enable(!layer.made);
  if (row.remove != nullptr)
    row.remove->SetName(Wx(texts.Text(Label::kRemoveLayer) + ": " + layer.name));
}

void StackPanel::Impl::Select(int layer) {
  selected = layer;
  if (moving->GetSelection() != layer)
    moving->SetSelection(layer);
  canvas->SetSelectedLayer(layer);
  for (size_t i = 0; i < rows.size(); ++i) {
    const bool on = static_cast<int>(i) == layer;
    rows[i].panel->SetBackgroundColour(on ? SelectedRowColour() : wxNullColour);
    rows[i].panel->Refresh();
  }
  canvas->Refresh(false);
}

void StackPanel::Impl::UpdateStack() {
  const StackCheck check = doc.CheckStack();
  const DecodeResult* decodedResult = doc.Decoded();
  const bool decoded = decodedResult != nullptr;
  stackText = Wx(texts.StackLine(check, doc.Layers()));
  if (decoded)
    stackText += "\n" + Wx(texts.DecodedLine(*decodedResult));
  decode->Enable(check.state == StackCheck::State::kQualified &&
                 IsBlockMethod(doc.StackScheme().Method()) && !decoded);
  save->SetLabel(decoded ? saveDecodedLabel : saveStackedLabel);
  save->SetName(Wx(texts.Text(decoded ? Label::kSaveDecoded : Label::kSaveStacked)));
  canvas->PictureChanged();
  save->Enable(decoded || doc.Stacked() != nullptr);
  align->Enable(std::any_of(doc.Layers().begin(), doc.Layers().end(),
                            [](const Layer& layer) { return layer.dx != 0 || layer.dy != 0; }));
  WrapLines();
}

void StackPanel::Impl::Say(const Result& result) {
  if (!result)
    SayText(texts.Say(result), true);
}

void StackPanel::Impl::SayText(const std::string& text, bool problem) {
  messageLine->SetForegroundColour(problem ? wxColour(176, 0, 32) : wxNullColour);
  messageText = Wx(text);
  WrapLines();
}

StackPanel::StackPanel(wxWindow* parent, Document& document, const Texts& texts, Asker& asker)
    : wxPanel(parent, wxID_ANY), m_impl(std::make_unique<Impl>(this, document, texts, asker)) {
  m_impl->Build();
  m_impl->SyncRows();
  m_impl->UpdateStack();
  document.AddObserver(this);
}

StackPanel::~StackPanel() {
  m_impl->doc.RemoveObserver(this);
}

void StackPanel::DocumentChanged(unsigned aspects) {
  if (aspects & (kLayersAspect | kSchemeAspect))
    m_impl->SyncRows();
  if (aspects & (kLayersAspect | kStackAspect | kSchemeAspect))
    m_impl->UpdateStack();
}

void StackPanel::ZoomBy(int steps) {
  m_impl->canvas->ZoomBy(steps);
}

void StackPanel::DecodeExactly() {
  Impl& impl = *m_impl;
  const Result result = impl.doc.DecodeStack();
  impl.SayText("", false);
  if (!result) {
    impl.Say(result);
    // A refused decoding drops an earlier one without telling the observers.
    impl.UpdateStack();
  }
}

void StackPanel::SaveStacked() {
  Impl& impl = *m_impl;
  const bool decoded = impl.doc.Decoded() != nullptr;
  if (!decoded && impl.doc.Stacked() == nullptr) {
    impl.Say(Result::Refuse(Problem::kNothingTicked));  // before asking for a file in vain
    return;
  }
  SaveFileQuestion question;
  question.title =
      DialogTitle(impl.texts.Text(decoded ? Label::kSaveDecoded : Label::kSaveStacked));
  question.folder = Wx(impl.doc.Settings().stackFolder);
  const std::string secret = impl.doc.Secret().Path();
  // Named after the secret and the picture ("ring-stacked.png"), beside it, never over it.
  const BmpImage& picture = decoded ? impl.doc.Decoded()->image : *impl.doc.Stacked();
  const std::string stem =
      secret.empty() ? std::string() : std::filesystem::path(secret).stem().string() + "-";
  question.name = Wx(stem + picture.FileName() + ".png");
  question.wildcard = Wx(impl.texts.Text(Label::kFormatPng) + " (*.png)|*.png|" +
                         impl.texts.Text(Label::kFormatBmp) + " (*.bmp)|*.bmp");
  const std::string path = WithExtension(impl.asker.SaveFile(this, question), ".png");
  if (path.empty())
    return;
  const Result result = decoded ? impl.doc.SaveDecoded(path) : impl.doc.SaveStacked(path);
  if (result)
    impl.SayText(impl.texts.SavedLine(path), false);
  else
    impl.Say(result);
}

}  // namespace quillon::studio::wx
