#include "app/tabulon_doc.h"

#include "app/file_names.h"
#include "app/status.h"
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
}  // namespace

void CTabulonDoc::SetMainTitle(const char* title) {
    // While a file named on the command line is read the frame exists but is not yet the
    // application's main window: it is reached through the view.
    CWnd* frame = AfxGetMainWnd();
    if (!frame && m_pView) frame = m_pView->GetTopLevelParent();
    if (frame) frame->SetWindowText(title);
}

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
    // The file is read into a data set of its own: a refused file leaves the open table,
    // its path, the title and the recent files as they were.
    m_bOpenRefused = 0;
    if (afx::PathExists(path) && !afx::IsRegularFile(path)) {
        // A named pipe or a device would block or never end: refused before it is opened.
        AfxMessageBox(FormatString("Erro - %s não é um ficheiro regular", path));
        AfxMessageBox("Não foi possivel abrir o Ficheiro de Dados");
        m_bOpenRefused = 1;
        return FALSE;
    }
    CFile file;
    CFileException fe;
    if (!file.Open(path, CFile::modeRead | CFile::shareDenyWrite, &fe)) {
        ReportSaveLoadException(path, &fe, FALSE, 0);
        return FALSE;
    }
    auto* data = new CDataSet;
    BOOL ok = FALSE;
    try {
        // A large buffer: a file of a million rows is read in a few hundred calls.
        CArchive ar(&file, CArchive::load | CArchive::bNoFlushOnDelete, 1 << 20);
        ok = data->Load(ar);
        ar.Close();
        file.Close();
    } catch (const std::exception& e) {
        file.Abort();
        delete data;
        ReportSaveLoadException(path, &e, FALSE, 0);
        return FALSE;
    }
    if (!ok) {
        delete data;
        AfxMessageBox("Não foi possivel abrir o Ficheiro de Dados");
        m_bOpenRefused = 1;
        return FALSE;
    }
    DeleteContents();
    m_pDataSet = data;
    SetMainTitle(path);
    if (m_pView) m_pView->FillTable();
    m_bDataPresent = 1;
    m_bNewUntitled = 0;
    m_bImported = 0;
    SetModifiedFlag(FALSE);
    return TRUE;
}

BOOL CTabulonDoc::OnSaveDocument(const char* path) {
    // Never a file that the reader would refuse: the old file stays.
    if (m_pDataSet) {
        CString problem = m_pDataSet->FindUnwritable(false);
        if (!problem.IsEmpty()) {
            AfxMessageBox(problem);
            return FALSE;
        }
    }
    return CDocument::OnSaveDocument(path);
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
    CString problem = m_pDataSet->FindUnwritable(true);
    if (!problem.IsEmpty()) {
        AfxMessageBox(problem);
        return;
    }
    // The rows go in place of the old file only once all of them are written.
    CReplacingFile file;
    if (!file.OpenReplacing(path)) {
        AfxMessageBox("Erro a exportar o ficheiro");
        return;
    }
    try {
        CArchive ar(&file, CArchive::store, 4096);
        m_pDataSet->WriteRows(ar);
        ar.Close();
        file.Commit();
    } catch (const std::exception&) {
        file.Abandon();
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
    } else if (ok && data->GetVariableCount() == 0) {
        // Row names alone (binary data, or values separated by tabs) are no table.
        AfxMessageBox("Erro - O ficheiro não tem variáveis separadas por espaços");
        ok = FALSE;
    }
    if (!ok) {
        delete data;
        EndProgress();
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
    // The modalities are rebuilt from the codes that the new code leaves present; those
    // whose codes remain keep their names.
    std::vector<std::vector<CNamedCode>> names(static_cast<size_t>(m_pDataSet->GetVariableCount()));
    for (int v = 1; v <= m_pDataSet->GetVariableCount(); ++v) names[static_cast<size_t>(v - 1)] = m_pDataSet->GetVariable(v)->GetCategories();
    m_pDataSet->BuildModalities(true);
    for (int v = 1; v <= m_pDataSet->GetVariableCount(); ++v) {
        for (CNamedCode& modality : m_pDataSet->GetVariable(v)->GetCategories())
            for (const CNamedCode& before : names[static_cast<size_t>(v - 1)])
                if (before.code == modality.code) {
                    modality.name = before.name;
                    break;
                }
    }
    SetModifiedFlag(TRUE);
}

void CTabulonDoc::OnUpdateDataCommand(CCmdUI* cmdUI) { cmdUI->Enable(m_bDataPresent != 0); }
