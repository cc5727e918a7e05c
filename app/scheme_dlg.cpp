#include "app/scheme_dlg.h"

#include <algorithm>
#include <string>
#include <vector>

#include "app/resources/resource_ids.h"
#include "schemes/scheme_pair.h"

namespace quillon {

CKxNVcsDlg::CKxNVcsDlg(ui::Application& app) : Dialog(app, "KxNVCS") {}

void CKxNVcsDlg::DoDataExchange(ui::DataExchange& dx) {
  dx.Int(res::kEditParticipantsN, m_n, 2, kMaxParticipants);
  dx.Int(res::kEditThresholdK, m_k, 2, m_n);
}

CNOnlyVcsDlg::CNOnlyVcsDlg(ui::Application& app, const char* templateName)
    : Dialog(app, templateName) {}

void CNOnlyVcsDlg::DoDataExchange(ui::DataExchange& dx) {
  dx.Int(res::kEditParticipantsN, m_n, 2, kMaxParticipants);
}

CNxNVcsDlg::CNxNVcsDlg(ui::Application& app) : CNOnlyVcsDlg(app, "NxNVCS") {}
C2xNVcsDlg::C2xNVcsDlg(ui::Application& app) : CNOnlyVcsDlg(app, "2xNVCS") {}
CGenVcsDlg::CGenVcsDlg(ui::Application& app) : CNOnlyVcsDlg(app, "GENVCS") {}

CMinQualSetDlg::CMinQualSetDlg(ui::Application& app, int32_t n)
    : Dialog(app, "MINQUALSET"), m_n(n), m_candidateSets(0, n), m_chosenSets(0, n) {}

bool CMinQualSetDlg::OnInitDialog() {
  Dialog::OnInitDialog();
  FillCandidateList();
  return true;
}

void CMinQualSetDlg::FillCandidateList() {
  m_candidateSets = BasisMatrix(0, m_n);
  auto* list = Item<ui::ListBox>(res::kListCandidateSets);
  // The dialog keeps n within 2 to 9; anything wider would list no sensible number of sets.
  if (!list || m_n < 2 || m_n > kMaxParticipants)
    return;
  std::vector<int32_t> row(m_n);
  for (uint32_t code = 3; code < (uint32_t{1} << m_n); ++code) {
    std::string text;
    int members = 0;
    for (int32_t t = 0; t < m_n; ++t) {
      row[t] = (code >> t) & 1;
      if (row[t]) {
        ++members;
        text += static_cast<char>('1' + t);
        text += ' ';
      }
    }
    if (members < 2)
      continue;
    m_candidateSets.InsertRow(m_candidateSets.Rows(), row.data());
    list->AddString(text);
  }
}

void CMinQualSetDlg::OnOK() {
  Dialog::OnOK();
  m_chosenSets = BasisMatrix(0, m_n);
  const auto* list = Item<ui::ListBox>(res::kListCandidateSets);
  if (!list)
    return;
  std::vector<int32_t> row(m_n > 0 ? m_n : 0);
  for (int index : list->GetSelItems(1 << std::clamp(m_n, 0, kMaxParticipants))) {
    if (index >= m_candidateSets.Rows())
      continue;
    for (int32_t t = 0; t < m_n; ++t)
      row[t] = m_candidateSets.Get(index, t);
    m_chosenSets.InsertRow(m_chosenSets.Rows(), row.data());
  }
}

}  // namespace quillon
