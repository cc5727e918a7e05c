// CPrincipDlg: the main dialog (resource 101), the program's only visible window. Its
// buttons run the frame's commands: "Abrir" opens a secret and shows it, "Encriptar" splits
// the current image with the n and k typed into its boxes, "Desencriptar" combines shares
// and shows "resultado.bmp"; "SALIR" (and Escape) closes it, Enter does nothing. Pictures are
// drawn in their own colours at client pixel (160, 29), each on a client area erased first;
// a file that cannot be shown draws nothing and the last picture stays, repaints included;
// files are read through the frame's Env. m_pFrame must be set before DoModal or ShowPicture
// and outlive the dialog. Not thread-safe.
#pragma once

#include <cstdint>
#include <optional>
#include <string>

#include "ui/dialog.h"
#include "ui/surface.h"

namespace quillon {

class CShareFrame;

class CPrincipDlg : public ui::Dialog {
 public:
  explicit CPrincipDlg(ui::Application& app);

  void ShowPicture(const std::string& path);
  // The picture last drawn, if any.
  const std::optional<ui::Surface>& Picture() const { return m_picture; }

  CShareFrame* m_pFrame = nullptr;
  int32_t m_n = 2;
  int32_t m_k = 2;

 protected:
  bool OnCommand(int id, ui::Notify code) override;
  // The values go into the boxes when the dialog opens and are never read back.
  void DoDataExchange(ui::DataExchange& dx) override;
  void OnOK() override {}
  void OnPaint() override;

 private:
  void OnAbrir();
  void OnEncriptar();
  void OnDesencriptar();
  // The box's text as a signed decimal number; anything else reads as 0.
  int32_t ReadNumber(int id) const;

  std::optional<ui::Surface> m_picture;
};

}  // namespace quillon
