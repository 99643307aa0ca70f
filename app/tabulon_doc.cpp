#include "app/tabulon_doc.h"

#include "app/file_names.h"
#include "app/tabulon_app.h"
#include "app/tabulon_view.h"
#include "app/variable_dialogs.h"
#include "res/resource_ids.h"

IMPLEMENT_DYNCREATE(CTabulonDoc, CDocument)

// Commands that need data are enabled while the document holds data.
BEGIN_MESSAGE_MAP(CTabulonDoc, CDocument)
    ON_UPDATE_COMMAND_UI(ID_FILE_SAVE, &CTabulonDoc::OnUpdateDataCommand)
    ON_UPDATE_COMMAND_UI(ID_FILE_SAVE_AS, &CTabulonDoc::OnUpdateDataCommand)
    ON_UPDATE_COMMAND_UI(ID_FILE_EXPORT, &CTabulonDoc::OnUpdateDataCommand)
    ON_COMMAND(ID_FILE_EXPORT, &CTabulonDoc::OnFileExport)
    ON_COMMAND(ID_FILE_IMPORT, &CTabulonDoc::OnFileImport)
    ON_COMMAND(ID_EDIT_PASTE, &CTabulonDoc::OnEditPaste)
    ON_UPDATE_COMMAND_UI(ID_OPTIONS_CONFIGURATION, &CTabulonDoc::OnUpdateDataCommand)
    ON_COMMAND(ID_OPTIONS_CONFIGURATION, &CTabulonDoc::OnConfiguration)
    // Statistics menu.
    ON_UPDATE_COMMAND_UI(ID_STATS_DESCRIPTIVE, &CTabulonDoc::OnUpdateDataCommand)
    ON_COMMAND(ID_STATS_DESCRIPTIVE, &CTabulonDoc::OnDescriptiveStatistics)
    ON_UPDATE_COMMAND_UI(ID_STATS_RESISTANT_LINE, &CTabulonDoc::OnUpdateDataCommand)
    ON_COMMAND(ID_STATS_RESISTANT_LINE, &CTabulonDoc::OnResistantLine)
    ON_UPDATE_COMMAND_UI(ID_STATS_HISTOGRAM, &CTabulonDoc::OnUpdateDataCommand)
    ON_COMMAND(ID_STATS_HISTOGRAM, &CTabulonDoc::OnHistogram)
    ON_UPDATE_COMMAND_UI(ID_STATS_SCATTER, &CTabulonDoc::OnUpdateDataCommand)
    ON_COMMAND(ID_STATS_SCATTER, &CTabulonDoc::OnScatterDiagram)
    ON_UPDATE_COMMAND_UI(ID_STATS_REGRESSION, &CTabulonDoc::OnUpdateDataCommand)
    ON_COMMAND(ID_STATS_REGRESSION, &CTabulonDoc::OnLinearRegression)
    ON_UPDATE_COMMAND_UI(ID_STATS_BOXPLOT, &CTabulonDoc::OnUpdateDataCommand)
    ON_COMMAND(ID_STATS_BOXPLOT, &CTabulonDoc::OnBoxplot)
    ON_UPDATE_COMMAND_UI(ID_STATS_CORRELATION, &CTabulonDoc::OnUpdateDataCommand)
    ON_COMMAND(ID_STATS_CORRELATION, &CTabulonDoc::OnCorrelationMatrix)
    ON_UPDATE_COMMAND_UI(ID_STATS_COVARIANCE, &CTabulonDoc::OnUpdateDataCommand)
    ON_COMMAND(ID_STATS_COVARIANCE, &CTabulonDoc::OnCovarianceMatrix)
END_MESSAGE_MAP()

namespace {
const char kTextFilter[] = "Dat Data Files(*.dat)\0*.dat\0Text Files(*.txt)\0*.txt\0All Files(*.*)\0*.*\0";

void SetMainTitle(const char* title) {
    if (CWnd* frame = AfxGetMainWnd()) frame->SetWindowText(title);
}
}  // namespace

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

void CTabulonDoc::Serialize(CArchive& ar) {
    if (ar.IsStoring()) {
        if (m_pDataSet) m_pDataSet->Save(ar);
        return;
    }
    delete m_pDataSet;
    m_pDataSet = new CDataSet;
    if (m_pDataSet->Load(ar)) {
        CFile* file = ar.GetFile();
        SetMainTitle(file ? file->GetFilePath() : GetPathName());
        if (m_pView) m_pView->FillTable();
        SetModifiedFlag(FALSE);
        m_bDataPresent = 1;
    } else {
        AfxMessageBox("Não foi possivel abrir o Ficheiro de Dados");
        ShowRejectedFile();
    }
}

void CTabulonDoc::ShowRejectedFile() {
    // The rejected file leaves no half-built table behind.
    delete m_pDataSet;
    m_pDataSet = new CDataSet;
    m_bDataPresent = 0;
    SetMainTitle("Tesmo");
    SetModifiedFlag(FALSE);
}

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
    m_bImported = 0;
    SetMainTitle("Tesmo");
    return TRUE;
}

BOOL CTabulonDoc::OnOpenDocument(const char* path) {
    BOOL result = CDocument::OnOpenDocument(path);
    if (!result) return result;
    m_bNewUntitled = 0;
    m_bImported = 0;
    if (!m_pDataSet) {
        // An empty file is never read: it has no version line.
        AfxMessageBox("A versão do ficheiro de dados não está correcta");
        AfxMessageBox("Não foi possivel abrir o Ficheiro de Dados");
        ShowRejectedFile();
    }
    return TRUE;
}

BOOL CTabulonDoc::DoFileSave() {
    // A new or imported table has only a proposed name: ask for the real one.
    if (m_bNewUntitled || m_bImported) return DoSave(nullptr);
    return CDocument::DoFileSave();
}

BOOL CTabulonDoc::DoSave(const char* path, BOOL replace) {
    if (!CDocument::DoSave(path, replace)) return FALSE;
    if (replace) {
        m_bNewUntitled = 0;
        m_bImported = 0;
        SetMainTitle(GetPathName());
    }
    return TRUE;
}

void CTabulonDoc::TakeData(CDataSet* data) {
    DeleteContents();
    m_pDataSet = data;
    if (m_pView) m_pView->FillTable();
    m_bDataPresent = 1;
}

void CTabulonDoc::OnFileExport() {
    if (!m_pDataSet) return;
    CString path;
    if (PromptFileName(path, kTextFilter, FALSE) != IDOK) return;
    CFile file;
    if (!file.Open(path, CFile::modeCreate | CFile::modeWrite)) {
        AfxMessageBox("Erro a exportar o ficheiro");
        return;
    }
    try {
        CArchive ar(&file, CArchive::store, 4096);
        m_pDataSet->WriteRows(ar);
        ar.Close();
        file.Close();
    } catch (const std::exception&) {
        file.Abort();
        AfxMessageBox("Erro a exportar o ficheiro");
    }
}

void CTabulonDoc::OnFileImport() {
    // Unsaved edits are never dropped without asking.
    if (!SaveModified()) return;
    CString path;
    if (PromptFileName(path, kTextFilter, TRUE) != IDOK) return;
    CFile file;
    if (!file.Open(path, CFile::modeRead)) {
        AfxMessageBox("Erro a Importar Ficheiro");
        return;
    }
    if (file.GetLength() == 0) {
        AfxMessageBox("Ficheiro Vazio");
        return;
    }
    // The text is read into a data set of its own: a bad line leaves the document as it was.
    auto* data = new CDataSet;
    BOOL ok = FALSE;
    try {
        CArchive ar(&file, CArchive::load, 4096);
        ok = data->Import(ar);
    } catch (const std::exception&) {
        AfxMessageBox("Erro a Importar Ficheiro");
    }
    file.Abort();
    if (ok && data->GetRowCount() == 0) {
        // Blank lines only: there is no table in the file.
        AfxMessageBox("Ficheiro Vazio");
        ok = FALSE;
    }
    if (!ok) {
        delete data;
        return;
    }
    TakeData(data);
    m_bNewUntitled = 0;
    m_bImported = 1;
    CString name = ReplaceExtension(path);
    SetPathName(name, FALSE);
    SetMainTitle(name);
    SetModifiedFlag(FALSE);
}

void CTabulonDoc::OnEditPaste() {
    if (!(m_bNewUntitled && !m_bDataPresent)) theApp.OnFileNew();
    if (!m_bNewUntitled || m_bDataPresent) return;
    // The clipboard's text goes into a data set of its own: a rejected text leaves the
    // new document empty.
    auto* data = new CDataSet;
    if (!data->PasteFromClipboard()) {
        delete data;
        return;
    }
    TakeData(data);
    SetModifiedFlag(TRUE);
}

void CTabulonDoc::OnConfiguration() {
    if (!m_pDataSet) return;
    CString old = m_pDataSet->GetMissingCodeText();
    CMissingCodeDlg dlg(old);
    if (dlg.DoModal() != IDOK) return;
    CString code = dlg.GetMissingCode();
    if (code == old) return;
    m_pDataSet->SetMissingCodeText(code);
    m_pDataSet->ComputeMeanVariance();
    m_pDataSet->BuildModalities(true);
    SetModifiedFlag(TRUE);
}

void CTabulonDoc::OnUpdateDataCommand(CCmdUI* cmdUI) { cmdUI->Enable(m_bDataPresent != 0); }
