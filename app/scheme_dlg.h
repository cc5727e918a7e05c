// The parameter dialogs of the schemes, as the toolbar's scheme selector runs them: (k,n),
// (n,n), (2,n), the general access structure's n, and the list of candidate sets from which
// the minimal qualified sets are chosen. They belong to the desktop program, not to the
// computing library. Each keeps its values when cancelled; on OK they hold what was
// confirmed. Not thread-safe.
#pragma once

#include <cstdint>

#include "core/basis_matrix.h"
#include "ui/dialog.h"

namespace quillon {

// n from 2 to 9, then k from 2 to that n; the first value refused keeps the dialog open.
class CKxNVcsDlg : public ui::Dialog {
 public:
  explicit CKxNVcsDlg(ui::Application& app);
  int32_t m_k = 2;
  int32_t m_n = 2;

 protected:
  void DoDataExchange(ui::DataExchange& dx) override;
};

// The dialogs that ask for n alone, from 2 to 9.
class CNOnlyVcsDlg : public ui::Dialog {
 public:
  int32_t m_n = 2;

 protected:
  CNOnlyVcsDlg(ui::Application& app, const char* templateName);
  void DoDataExchange(ui::DataExchange& dx) override;
};

class CNxNVcsDlg : public CNOnlyVcsDlg {
 public:
  explicit CNxNVcsDlg(ui::Application& app);
};

class C2xNVcsDlg : public CNOnlyVcsDlg {
 public:
  explicit C2xNVcsDlg(ui::Application& app);
};

class CGenVcsDlg : public CNOnlyVcsDlg {
 public:
  explicit CGenVcsDlg(ui::Application& app);
};

// Lists every set of two or more of m_n participants ("1 2 ", "1 3 ", ...; each digit
// followed by a space), in increasing order of the set's code; on OK m_chosenSets holds the
// membership rows of the selected entries, in list order (none selected: no rows).
class CMinQualSetDlg : public ui::Dialog {
 public:
  CMinQualSetDlg(ui::Application& app, int32_t n);
  int32_t m_n;
  BasisMatrix m_candidateSets;
  BasisMatrix m_chosenSets;

 protected:
  bool OnInitDialog() override;
  void OnOK() override;

 private:
  void FillCandidateList();
};

}  // namespace quillon
