// The secret: the picture as read (its luminance) and the two-colour reading that will be
// encrypted, side by side; the threshold slider, "Dither", "Invert" and, for a BMP, "Read by
// colour", each previewed live through Document::SetSecretReading; the secret's warnings,
// each with a button that applies its fix. GUI thread only; the document and texts outlive
// the panel.
#pragma once

#include <wx/panel.h>

#include <cstdint>
#include <functional>
#include <vector>

#include "studio/document.h"
#include "studio/texts.h"
#include "studio/wx/mnemonics.h"

class wxCheckBox;
class wxSlider;
class wxStaticBitmap;
class wxStaticText;
class wxBoxSizer;

namespace quillon::studio::wx {

class SecretPanel : public wxPanel, public DocumentObserver {
 public:
  // The side of the square each picture is shown in, in screen pixels (before DPI scaling).
  static constexpr int kPictureSide = 220;

  // report shows what a command that failed says.
  SecretPanel(wxWindow* parent, Document& document, const Texts& texts, Mnemonics& mnemonics,
              std::function<void(const Result&)> report);
  ~SecretPanel() override;

  void DocumentChanged(unsigned aspects) override;

 private:
  void ShowPictures();
  void ShowReading();
  void ShowWarnings();
  // Sends the controls' reading to the document.
  void ReadingChanged();

  Document& m_document;
  const Texts& m_texts;
  std::function<void(const Result&)> m_report;
  wxStaticBitmap* m_picture;
  wxStaticBitmap* m_twoColour;
  wxStaticText* m_empty;
  wxStaticText* m_thresholdLabel;
  wxSlider* m_threshold;
  wxCheckBox* m_dither;
  wxCheckBox* m_invert;
  wxCheckBox* m_byColour;
  wxBoxSizer* m_warnings;
  // The luminance the left bitmap shows: sampled anew only when the picture changes.
  const uint8_t* m_shownGrey = nullptr;
};

}  // namespace quillon::studio::wx
