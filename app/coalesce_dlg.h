// The layer-count dialog of combining ("COALESCE"): one edit box, a whole number from 2 to 9,
// 2 unless set before the dialog opens. It belongs to the desktop program, not to the
// computing library. Not thread-safe.
#pragma once

#include <cstdint>

#include "ui/dialog.h"

namespace quillon {

class CCoalesceDlg : public ui::Dialog {
 public:
  explicit CCoalesceDlg(ui::Application& app, ui::Window* owner = nullptr);
  int32_t m_layerCount = 2;

 protected:
  void DoDataExchange(ui::DataExchange& dx) override;
};

}  // namespace quillon
