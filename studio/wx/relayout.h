// Lays a panel out again after its content changed, and the scrolled column it sits in, so
// that the column's scroll range follows. GUI thread only.
#pragma once

#include <wx/scrolwin.h>

namespace quillon::studio::wx {

inline void Relayout(wxWindow* panel) {
  panel->Layout();
  for (wxWindow* up = panel->GetParent(); up; up = up->GetParent()) {
    if (auto* column = dynamic_cast<wxScrolledWindow*>(up)) {
      column->Layout();
      column->FitInside();
      return;
    }
  }
}

}  // namespace quillon::studio::wx
