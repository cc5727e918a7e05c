// Print…: the paper, the pixel size and one page per share or all on one, with a preview of
// page 1 as it will be printed and what does not fit worded; "Save PDF…" asks for the file
// and writes it through the document. GUI thread only; the document and texts outlive it.
#pragma once

#include <wx/dialog.h>

#include <memory>

#include "studio/document.h"
#include "studio/texts.h"
#include "studio/wx/asker.h"

namespace quillon::studio::wx {

class PrintDialog : public wxDialog, public DocumentObserver {
 public:
  // The PDF's name is asked for through asker, which outlives the dialog.
  PrintDialog(wxWindow* parent, Document& document, const Texts& texts, Asker& asker);
  ~PrintDialog() override;

  void DocumentChanged(unsigned aspects) override;

 private:
  struct Impl;
  std::unique_ptr<Impl> m_impl;
};

}  // namespace quillon::studio::wx
