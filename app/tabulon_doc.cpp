#include "app/tabulon_doc.h"

#include "app/tabulon_view.h"
#include "res/resource_ids.h"

IMPLEMENT_DYNCREATE(CTabulonDoc, CDocument)

// Commands that need data are enabled while the document holds data.
BEGIN_MESSAGE_MAP(CTabulonDoc, CDocument)
    ON_UPDATE_COMMAND_UI(ID_FILE_SAVE, &CTabulonDoc::OnUpdateDataCommand)
    ON_UPDATE_COMMAND_UI(ID_FILE_SAVE_AS, &CTabulonDoc::OnUpdateDataCommand)
END_MESSAGE_MAP()

CTabulonDoc::CTabulonDoc() = default;

CTabulonDoc::~CTabulonDoc() {
    delete m_pDataSet;
    m_pDataSet = nullptr;
}

void CTabulonDoc::RenameItem(int variable, const CString& name) {
    if (!m_pDataSet || m_pDataSet->GetVariableName(variable) == name) return;
    m_pDataSet->SetVariableName(variable, name);
    SetModifiedFlag(TRUE);
}

void CTabulonDoc::SetTableFlag(int variable, int type) {
    if (!m_pDataSet || m_pDataSet->GetVariableType(variable) == type) return;
    m_pDataSet->SetVariableType(variable, type);
    SetModifiedFlag(TRUE);
}

void CTabulonDoc::Serialize(CArchive&) {}

void CTabulonDoc::DeleteContents() {
    delete m_pDataSet;
    m_pDataSet = nullptr;
    m_bDataPresent = 0;
    if (m_pView) m_pView->ClearTable();
}

BOOL CTabulonDoc::OnNewDocument() {
    if (!CDocument::OnNewDocument()) return FALSE;
    m_pDataSet = new CDataSet;
    SetPathName("SemTitulo.tsm", FALSE);
    m_bNewUntitled = 1;
    m_bDataPresent = 0;
    if (CWnd* frame = AfxGetMainWnd()) frame->SetWindowText("Tesmo");
    return TRUE;
}

BOOL CTabulonDoc::OnOpenDocument(const char* path) {
    BOOL result = CDocument::OnOpenDocument(path);
    if (!result) return result;
    m_bNewUntitled = 0;
    return TRUE;
}

void CTabulonDoc::OnUpdateDataCommand(CCmdUI* cmdUI) { cmdUI->Enable(m_bDataPresent != 0); }
