#include "app/scheme_toolbar.h"

#include "app/resources/resource_ids.h"
#include "app/scheme_dlg.h"
#include "app/share_frame.h"
#include "schemes/method_table.h"
#include "schemes/scheme_table.h"

namespace quillon {

CSchemeToolBar::CSchemeToolBar(ui::Application& app, CShareFrame& frame)
    : ToolBar(app), m_frame(frame) {}

bool CSchemeToolBar::OnCommand(int id, ui::Notify code) {
  static const ui::CommandEntry<CSchemeToolBar> kTable[] = {
      {res::kSchemeSelector, ui::Notify::SelChange, &CSchemeToolBar::OnSchemeChange},
      {res::kMethodSelector, ui::Notify::SelChange, &CSchemeToolBar::OnMethodChange},
      {res::kImageSelector, ui::Notify::SelChange, &CSchemeToolBar::OnImageChange},
  };
  return ui::Dispatch(*this, kTable, id, code) || ToolBar::OnCommand(id, code);
}

ui::ComboBox* CSchemeToolBar::CreateSelector(int index, int id, int width, int dropHeight) {
  SetButtonInfo(index, id, ui::kSeparator, width);
  ui::Rect rect = GetItemRect(index);
  rect.height = dropHeight;
  return dynamic_cast<ui::ComboBox*>(&CreateControl(
      ui::ControlKind::ComboBox, id, "", rect, ui::kVisible | ui::kVScroll | ui::kDropDownList));
}

bool CSchemeToolBar::OnCreate() {
  if (!LoadToolBar(res::kToolBar))
    return false;
  m_schemeList = CreateSelector(5, res::kSchemeSelector, 200, 120);
  for (const SchemeRow& row : SchemeRows())
    m_schemeList->AddString(row.selectorText);
  m_schemeList->SetCurSel(0);
  m_methodList = CreateSelector(6, res::kMethodSelector, 270, 160);
  for (const MethodRow& row : MethodRows())
    m_methodList->AddString(row.selectorText);
  m_methodList->SetCurSel(0);
  m_imageList = CreateSelector(7, res::kImageSelector, 240, 160);
  m_scheme = 0;
  m_method = 0;
  m_k = 2;
  m_n = 2;
  return true;
}

void CSchemeToolBar::ReloadButtons() {
  LoadToolBar(res::kToolBar);
}

void CSchemeToolBar::OnSchemeChange() {
  bool confirmed = true;
  switch (m_schemeList->GetCurSel()) {
    case 0:
      m_n = 2;
      m_scheme = 0;
      break;
    case 1: {
      C2xNVcsDlg dialog(App());
      dialog.m_n = m_n;
      if ((confirmed = dialog.DoModal() == ui::kIdOk)) {
        m_n = dialog.m_n;
        m_k = 2;
        m_scheme = 1;
      }
      break;
    }
    case 2: {
      CNxNVcsDlg dialog(App());
      dialog.m_n = m_n;
      if ((confirmed = dialog.DoModal() == ui::kIdOk)) {
        m_n = dialog.m_n;
        m_k = dialog.m_n;
        m_scheme = 2;
      }
      break;
    }
    case 3: {
      CKxNVcsDlg dialog(App());
      dialog.m_n = m_n;
      dialog.m_k = m_k;
      if ((confirmed = dialog.DoModal() == ui::kIdOk)) {
        m_n = dialog.m_n;
        m_k = dialog.m_k;
        m_scheme = 3;
      }
      break;
    }
    case 4:
      confirmed = RunGeneralDialogs();
      break;
    default:
      break;
  }
  if (!confirmed)
    m_schemeList->SetCurSel(m_scheme);
}

// n is kept as soon as it is confirmed, even when the list of sets is then cancelled.
bool CSchemeToolBar::RunGeneralDialogs() {
  CGenVcsDlg general(App());
  general.m_n = m_n;
  if (general.DoModal() != ui::kIdOk)
    return false;
  m_n = general.m_n;
  CMinQualSetDlg sets(App(), m_n);
  if (sets.DoModal() != ui::kIdOk)
    return false;
  m_qualifiedSets = sets.m_chosenSets;
  m_scheme = 4;
  return true;
}

void CSchemeToolBar::OnMethodChange() {
  m_method = m_methodList->GetCurSel();
}

void CSchemeToolBar::OnImageChange() {
  m_frame.SelectImage(m_imageList->GetCurSel());
}

}  // namespace quillon
