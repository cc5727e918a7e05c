// The scheme and the facts before encrypting: "Scheme" and "Method" choices, the
// "Participants" and "Threshold" spin controls limited to what can be built (showing the
// values the document takes), the minimal qualified sets typed and checked as typed or ticked
// in the list of candidate sets, "Optimal contrast", "Allow a share in the clear", one
// innocent image per share for the extended methods; then the facts and their warnings, with
// the optimal construction offered. Everything goes through the document. GUI thread only;
// the document, texts and asker outlive the panel.
#pragma once

#include <wx/panel.h>

#include <functional>
#include <string>

#include "studio/document.h"
#include "studio/texts.h"
#include "studio/wx/asker.h"
#include "studio/wx/mnemonics.h"

class wxBoxSizer;
class wxButton;
class wxCheckBox;
class wxCheckListBox;
class wxChoice;
class wxFlexGridSizer;
class wxSpinCtrl;
class wxStaticText;
class wxTextCtrl;

namespace quillon::studio::wx {

class SchemePanel : public wxPanel, public DocumentObserver {
 public:
  // report shows what a command that failed says.
  SchemePanel(wxWindow* parent, Document& document, const Texts& texts, Mnemonics& mnemonics,
              Asker& asker, std::function<void(const Result&)> report);
  ~SchemePanel() override;

  void DocumentChanged(unsigned aspects) override;

 private:
  void ShowScheme();
  void ShowSets();
  void ShowInnocents();
  void ShowFacts();
  void ChooseInnocent(int share);

  Document& m_document;
  const Texts& m_texts;
  Asker& m_asker;
  std::function<void(const Result&)> m_report;
  wxChoice* m_scheme;
  wxChoice* m_method;
  wxSpinCtrl* m_participants;
  wxSpinCtrl* m_threshold;
  wxStaticText* m_thresholdLabel;
  wxCheckBox* m_optimal;
  wxCheckBox* m_allowClear;
  wxStaticText* m_setsLabel;
  wxTextCtrl* m_sets;
  wxStaticText* m_setsMessage;
  wxCheckListBox* m_candidates;
  std::vector<uint32_t> m_candidateSets;  // the list's entries
  wxStaticText* m_innocentLabel;
  wxFlexGridSizer* m_innocents;
  std::string m_innocentsShown;  // what the innocent rows were built for
  wxStaticText* m_facts;
  wxStaticText* m_factWarnings;
  wxButton* m_useOptimal;
};

}  // namespace quillon::studio::wx
