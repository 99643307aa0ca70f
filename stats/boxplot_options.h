// The boxplot command's options page: single or multiple box plots, the variables per
// multiple chart, and whether the values beyond the fences are marked.
#pragma once

#include "platform/afx.h"

class CBoxPlotOptionsDlg : public CDialog {
public:
    explicit CBoxPlotOptionsDlg(CWnd* parent = nullptr);

    // The variables per chart when multiple box plots are chosen, else 1.
    int GetVariableCount() const { return m_nMultiple ? m_nPerChart : 1; }
    int GetIdentifyOutliers() const { return m_bIdentify; }

    BOOL OnInitDialog() override;
    void DoDataExchange(CDataExchange* dx) override;
    void OnOK() override;
    void OnCancel() override;
    void OnMultiple();
    void OnSingle();
    void OnNext();
    void OnPrevious();

    DECLARE_MESSAGE_MAP()

private:
    int m_nMultiple = 0;
    int m_bIdentify = 1;
    int m_nPerChart = 2;
};
