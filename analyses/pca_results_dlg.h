// The results of the principal components analysis: mur.tmp's eigenvalues and the
// coordinates of the active and supplementary columns and rows.
#pragma once

#include "analyses/factor_results_dlg.h"

constexpr UINT IDD_PCA_RESULTS = 181;

class CPcaResultsDlg : public CFactorResultsDlg {
public:
    CPcaResultsDlg(CAnalysisDlg* owner, CWnd* parent = nullptr);
    ~CPcaResultsDlg() override;
    void ReadResults(CString path) override;

    DECLARE_MESSAGE_MAP()
};
