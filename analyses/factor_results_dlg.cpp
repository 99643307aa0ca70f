#include "analyses/factor_results_dlg.h"

#include "platform/ui/text_viewer.h"

CFactorResultsDlg::CFactorResultsDlg(UINT templateId, CAnalysisDlg* owner, CWnd* parent)
    : CDialog(templateId, parent), m_pOwner(owner) {}

CFactorResultsDlg::~CFactorResultsDlg() = default;

void CFactorResultsDlg::OnListing() {
    if (!afx::ShowTextFile(m_strListingPath, false)) AfxMessageBox("Erro a abrir o notepad");
}
