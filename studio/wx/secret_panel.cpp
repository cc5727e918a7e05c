#include "studio/wx/secret_panel.h"

#include <wx/button.h>
#include <wx/checkbox.h>
#include <wx/sizer.h>
#include <wx/slider.h>
#include <wx/statbmp.h>
#include <wx/statbox.h>
#include <wx/stattext.h>

#include <algorithm>

#include "studio/wx/bitmaps.h"
#include "studio/wx/relayout.h"
#include "studio/wx/wx_text.h"

namespace quillon::studio::wx {
SecretPanel::SecretPanel(wxWindow* parent, Document& document, const Texts& texts,
                         Mnemonics& mnemonics, std::function<void(const Result&)> report)
    : wxPanel(parent, wxID_ANY), m_document(document), m_texts(texts), m_report(std::move(report)) {
  SetName(Wx(texts.Text(Label::kSecret)));
  auto* box = new wxStaticBoxSizer(wxVERTICAL, this, Wx(texts.Text(Label::kSecret)));
  wxWindow* inBox = box->GetStaticBox();
  const int side = FromDIP(kPictureSide);

  auto* pictures = new wxBoxSizer(wxHORIZONTAL);
  const auto column = [&](Label caption, wxStaticBitmap** bitmap) {
    auto* sizer = new wxBoxSizer(wxVERTICAL);
    *bitmap = new wxStaticBitmap(inBox, wxID_ANY, BlankSquare(side));
    (*bitmap)->SetName(Wx(texts.Text(caption)));
    sizer->Add(new wxStaticText(inBox, wxID_ANY, Wx(texts.Text(caption))), 0, wxBOTTOM, 2);
    sizer->Add(*bitmap, 0);
    pictures->Add(sizer, 0, wxRIGHT, FromDIP(8));
  };
  column(Label::kPictureAsRead, &m_picture);
  column(Label::kTwoColours, &m_twoColour);
  box->Add(pictures, 0, wxALL, FromDIP(4));
  m_empty = new wxStaticText(inBox, wxID_ANY, Wx(texts.Text(Label::kNoSecretYet)));
  box->Add(m_empty, 0, wxALL, FromDIP(4));

  auto* reading = new wxBoxSizer(wxHORIZONTAL);
  m_thresholdLabel =
      new wxStaticText(inBox, wxID_ANY, Wx(mnemonics.Mark(texts.Text(Label::kLuminanceThreshold))));
  m_threshold = new wxSlider(inBox, wxID_ANY, 128, 1, 255, wxDefaultPosition,
                             wxSize(FromDIP(160), -1), wxSL_HORIZONTAL | wxSL_VALUE_LABEL);
  m_threshold->SetName(Wx(texts.Text(Label::kLuminanceThreshold)));
  reading->Add(m_thresholdLabel, 0, wxALIGN_CENTER_VERTICAL | wxRIGHT, FromDIP(4));
  reading->Add(m_threshold, 1, wxALIGN_CENTER_VERTICAL | wxRIGHT, FromDIP(8));
  const auto check = [&](Label label) {
    auto* box = new wxCheckBox(inBox, wxID_ANY, Wx(mnemonics.Mark(texts.Text(label))));
    box->SetName(Wx(texts.Text(label)));
    reading->Add(box, 0, wxALIGN_CENTER_VERTICAL | wxRIGHT, FromDIP(8));
    box->Bind(wxEVT_CHECKBOX, [this](wxCommandEvent&) { ReadingChanged(); });
    return box;
  };
  m_dither = check(Label::kDither);
  m_invert = check(Label::kInvert);
  m_byColour = check(Label::kReadByColour);
  box->Add(reading, 0, wxEXPAND | wxALL, FromDIP(4));
  m_threshold->Bind(wxEVT_SLIDER, [this](wxCommandEvent&) { ReadingChanged(); });

  m_warnings = new wxBoxSizer(wxVERTICAL);
  box->Add(m_warnings, 0, wxEXPAND | wxALL, FromDIP(4));
  SetSizer(box);

  m_document.AddObserver(this);
  ShowPictures();
  ShowReading();
  ShowWarnings();
}

SecretPanel::~SecretPanel() {
  m_document.RemoveObserver(this);
}

void SecretPanel::DocumentChanged(unsigned aspects) {
  if (!(aspects & kSecretAspect))
    return;
  ShowPictures();
  ShowReading();
  ShowWarnings();
  Relayout(this);
}

void SecretPanel::ShowPictures() {
  const SecretPicture& secret = m_document.Secret();
  const int side = FromDIP(kPictureSide);
  m_empty->Show(secret.Empty());
  if (secret.Empty()) {
    m_picture->SetBitmap(BlankSquare(side));
    m_twoColour->SetBitmap(BlankSquare(side));
    m_shownGrey = nullptr;
    return;
  }
  // A BMP read as stored has no luminance yet: its picture is its reading.
  const GreyPicture& grey = secret.Luminance();
  if (grey.width == 0) {
    m_picture->SetBitmap(Thumbnail(*secret.TwoColour(), side));
    m_shownGrey = nullptr;
  } else if (grey.luma.data() != m_shownGrey) {
    m_picture->SetBitmap(GreyThumbnail(grey, side));
    m_shownGrey = grey.luma.data();
  }
  m_twoColour->SetBitmap(Thumbnail(*secret.TwoColour(), side));
}

void SecretPanel::ShowReading() {
  const SecretPicture& secret = m_document.Secret();
  const SecretReading& reading = secret.Reading();
  const bool open = !secret.Empty();
  const bool luminance = open && secret.ReadsByLuminance();
  m_threshold->SetValue(reading.rule.threshold);
  m_dither->SetValue(reading.rule.mode == TwoColourRule::Mode::Dither);
  m_invert->SetValue(reading.rule.invert);
  m_byColour->SetValue(luminance);
  m_threshold->Enable(luminance && reading.rule.mode == TwoColourRule::Mode::Threshold);
  m_thresholdLabel->Enable(m_threshold->IsEnabled());
  m_dither->Enable(luminance);
  m_invert->Enable(open);
  // Only a BMP has a reading as stored to choose instead.
  m_byColour->Show(open && secret.Format() == PictureFormat::Bmp);
  m_byColour->Enable(secret.CanReadByLuminance());
}

void SecretPanel::ShowWarnings() {
  m_warnings->Clear(true);
  wxWindow* inBox = m_thresholdLabel->GetParent();
  for (const SecretWarning& warning : m_document.Secret().Warnings()) {
    auto* row = new wxBoxSizer(wxHORIZONTAL);
    auto* text = new wxStaticText(inBox, wxID_ANY, Wx(m_texts.Warning(warning)));
    text->SetForegroundColour(wxColour(160, 60, 0));
    text->Wrap(FromDIP(2 * kPictureSide));
    row->Add(text, 1, wxALIGN_CENTER_VERTICAL | wxRIGHT, FromDIP(8));
    for (const SecretFix& fix : warning.fixes) {
      auto* button = new wxButton(inBox, wxID_ANY, Wx(m_texts.FixButton(fix)));
      // Named with its warning: "Dither" alone is also the checkbox's name.
      button->SetName(Wx(m_texts.FixButton(fix) + ": " + m_texts.Warning(warning)));
      button->Bind(wxEVT_BUTTON, [this, fix](wxCommandEvent&) {
        // The buttons are rebuilt by the change this causes: leave the handler first.
        CallAfter([this, fix] {
          if (Result result = m_document.ApplyFix(fix); !result)
            m_report(result);
        });
      });
      row->Add(button, 0, wxALIGN_CENTER_VERTICAL | wxRIGHT, FromDIP(4));
    }
    m_warnings->Add(row, 0, wxEXPAND | wxTOP, FromDIP(2));
  }
}

void SecretPanel::ReadingChanged() {
  const SecretPicture& secret = m_document.Secret();
  if (secret.Empty())
    return;
  SecretReading reading = secret.Reading();
  reading.byColour = m_byColour->GetValue();
  reading.rule.threshold = m_threshold->GetValue();
  reading.rule.mode =
      m_dither->GetValue() ? TwoColourRule::Mode::Dither : TwoColourRule::Mode::Threshold;
  reading.rule.invert = m_invert->GetValue();
  if (Result result = m_document.SetSecretReading(reading); !result) {
    m_report(result);
    ShowReading();  // the controls go back to the reading kept
  }
}

}  // namespace quillon::studio::wx
