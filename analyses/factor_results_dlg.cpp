#include "analyses/factor_results_dlg.h"

CFactorResultsDlg::CFactorResultsDlg(UINT templateId, CAnalysisDlg* owner, CWnd* parent)
    : CDialog(templateId, parent), m_pOwner(owner) {}

CFactorResultsDlg::~CFactorResultsDlg() = default;
