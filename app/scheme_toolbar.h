// CSchemeToolBar: the frame's toolbar. Four buttons from toolbar 3000 and three drop-down
// selectors on its last three separators: the scheme (3010), the method (3011) and the image
// list (3012). It holds the session's scheme, method, n, k and minimal qualified sets, set to
// their start values when it is created. Choosing a scheme asks for its parameters in a
// dialog; a cancelled dialog puts the selector back on the scheme in force. Reloading the
// buttons leaves the selectors as they are. Not thread-safe.
#pragma once

#include <cstdint>
#include <optional>

#include "core/basis_matrix.h"
#include "ui/frame.h"

namespace quillon {

class CShareFrame;

class CSchemeToolBar : public ui::ToolBar {
 public:
  CSchemeToolBar(ui::Application& app, CShareFrame& frame);

  // Loads the buttons of toolbar 3000 again; styles set since are lost.
  void ReloadButtons();

  void OnSchemeChange();
  void OnMethodChange();
  void OnImageChange();

  int32_t m_scheme = 0;
  int32_t m_method = 0;
  int32_t m_n = 2;
  int32_t m_k = 2;
  std::optional<BasisMatrix> m_qualifiedSets;
  // The selectors; null until the toolbar is created.
  ui::ComboBox* m_imageList = nullptr;
  ui::ComboBox* m_schemeList = nullptr;
  ui::ComboBox* m_methodList = nullptr;

 protected:
  bool OnCreate() override;
  bool OnCommand(int id, ui::Notify code) override;

 private:
  // Turns separator `index` into a selector of the given width and drop-down height.
  ui::ComboBox* CreateSelector(int index, int id, int width, int dropHeight);
  bool RunGeneralDialogs();

  CShareFrame& m_frame;
};

}  // namespace quillon
