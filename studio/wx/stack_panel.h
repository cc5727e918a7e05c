// The layers and their stack: every share made here and every layer opened from a file, as a
// row with its tick, thumbnail, name and participant; the ticked layers stacked live on a
// canvas that zooms by whole steps without smoothing, where a layer is dragged with the mouse
// or nudged one pixel with the arrow keys; whether the ticked set is qualified; "Decode
// exactly" for the block methods; saving the stacked or decoded picture. Everything goes
// through the document; the panel only shows it. GUI thread only; the document and texts
// outlive the panel.
#pragma once

#include <wx/panel.h>

#include <memory>

#include "studio/document.h"
#include "studio/texts.h"
#include "studio/wx/asker.h"

namespace quillon::studio::wx {

class StackPanel : public wxPanel, public DocumentObserver {
 public:
  // Files to save are asked for through asker, which outlives the panel.
  StackPanel(wxWindow* parent, Document& document, const Texts& texts, Asker& asker);
  ~StackPanel() override;

  void DocumentChanged(unsigned aspects) override;

  // The frame's menu commands that act on the stack.
  void ZoomBy(int steps);  // +1 in, -1 out
  void DecodeExactly();
  void SaveStacked();  // asks for a file name, then saves the stack (or its decoding)

 private:
  struct Impl;
  std::unique_ptr<Impl> m_impl;
};

}  // namespace quillon::studio::wx
