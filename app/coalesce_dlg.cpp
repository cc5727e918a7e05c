#include "app/coalesce_dlg.h"

#include "app/resources/resource_ids.h"
#include "combine/combine_flow.h"

namespace quillon {

CCoalesceDlg::CCoalesceDlg(ui::Application& app, ui::Window* owner)
    : Dialog(app, "COALESCE", owner) {}

void CCoalesceDlg::DoDataExchange(ui::DataExchange& dx) {
  dx.Int(res::kEditLayerCount, m_layerCount, kMinLayers, kMaxLayers);
}

}  // namespace quillon
