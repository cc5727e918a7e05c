#include "app/princip.h"

#include "app/canvas.h"
#include "app/picture.h"
#include "app/resources/resource_ids.h"
#include "app/share_frame.h"
#include "combine/combine_flow.h"

namespace quillon {
namespace {

// Where pictures go in the dialog's client area.
constexpr int kPictureX = 160;
constexpr int kPictureY = 29;

}  // namespace

CPrincipDlg::CPrincipDlg(ui::Application& app) : Dialog(app, res::kPrincipDialog) {}

bool CPrincipDlg::OnCommand(int id, ui::Notify code) {
  static const ui::CommandEntry<CPrincipDlg> kTable[] = {
      {res::kButtonAbrir, ui::Notify::Command, &CPrincipDlg::OnAbrir},
      {res::kButtonEncriptar, ui::Notify::Command, &CPrincipDlg::OnEncriptar},
      {res::kButtonDesencriptar, ui::Notify::Command, &CPrincipDlg::OnDesencriptar},
  };
  return ui::Dispatch(*this, kTable, id, code) || Dialog::OnCommand(id, code);
}

void CPrincipDlg::DoDataExchange(ui::DataExchange& dx) {
  if (dx.IsSaving())
    return;
  dx.Int(res::kEditN, m_n);
  dx.Int(res::kEditK, m_k);
}

void CPrincipDlg::OnAbrir() {
  m_pFrame->OnOpenImage();
  ShowPicture(std::string(m_pFrame->CurrentPath()));
}

void CPrincipDlg::OnEncriptar() {
  m_pFrame->SelectKnScheme(ReadNumber(res::kEditN), ReadNumber(res::kEditK));
  m_pFrame->EncryptSecretImage();
}

void CPrincipDlg::OnDesencriptar() {
  m_pFrame->CombineShares();
  ShowPicture(kResultName);
}

int32_t CPrincipDlg::ReadNumber(int id) const {
  int32_t value = 0;
  return ui::ParseInteger(GetDlgItemText(id), &value) ? value : 0;
}

void CPrincipDlg::ShowPicture(const std::string& path) {
  const ui::Size client = ClientSize();
  std::optional<ui::Surface> picture =
      LoadPicture(m_pFrame->GetEnv(), path, client.width - kPictureX, client.height - kPictureY);
  if (!picture)
    return;
  // A smaller picture must not leave the edges of the one before it on screen.
  EraseClient();
  m_picture = std::move(picture);
  Client().CopyFrom(*m_picture, 0, 0, m_picture->Width(), m_picture->Height(), kPictureX,
                    kPictureY);
}

void CPrincipDlg::OnPaint() {
  if (m_picture) {
    Client().CopyFrom(*m_picture, 0, 0, m_picture->Width(), m_picture->Height(), kPictureX,
                      kPictureY);
  }
}

}  // namespace quillon
