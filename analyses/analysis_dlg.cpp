#include "analyses/analysis_dlg.h"

#include <cerrno>
#include <climits>
#include <cstdlib>
#include <cstring>

#include "app/file_names.h"
#include "app/tabulon_app.h"
#include "app/tabulon_doc.h"

const char kDamagedConfigurationMessage[] = "O ficheiro de configuração está danificado";

namespace {
const char kConfigurationFilter[] = "Ficheiros Configuração(*.tcfg)\0*.tcfg\0Todos Ficheiros(*.*)\0*.*\0";
const char kNoIdentifier[] = "Tem de selecionar uma variável qualitativa para identificador";
const char kSaveError[] = "Erro a gravar o ficheiro de configuração";
const char kOtherProgram[] = "Este ficheiro de configuração não corresponde ao programa que deseja correr";
const char kDataMismatch[] = "Ficheiro de dados não coincide.\nAbrir primeiro o ficheiro de dados correspondente";
const char kIdentifierChanged[] =
    "Identificador tem de ser uma variável Qualitativa\nFoi alterado para o valor por defeito";
const char kMatrixOpenError[] = "Erro a Abrir o ficheiro para a escrita da matriz de dados - ";

// Whole-line integers: every one present, nothing but blanks after the last.
bool ParseInts(const CString& line, int* values, int count) {
    const char* p = line.GetString();
    for (int i = 0; i < count; ++i) {
        char* end = nullptr;
        errno = 0;
        long v = std::strtol(p, &end, 10);
        if (end == p || errno == ERANGE || v < INT_MIN || v > INT_MAX) return false;
        values[i] = static_cast<int>(v);
        p = end;
    }
    while (*p == ' ' || *p == '\t') ++p;
    return *p == '\0';
}
}  // namespace

BOOL ReadConfigurationLine(CStdioFile& file, CString& line) {
    char buffer[300];
    if (!file.ReadString(buffer, sizeof buffer)) return FALSE;
    size_t n = std::strlen(buffer);
    if (n > 0 && buffer[n - 1] == '\n') {
        --n;
    } else if (n == sizeof buffer - 1) {
        // No line end within the bound: a longer line than any this file may hold.
        return FALSE;
    }
    line = CString(buffer, static_cast<int>(n));
    return TRUE;
}

BOOL ReadConfigurationInts(CStdioFile& file, int* values, int count) {
    CString line;
    return ReadConfigurationLine(file, line) && ParseInts(line, values, count);
}

BEGIN_MESSAGE_MAP(CAnalysisDlg, CBaseDlg)
END_MESSAGE_MAP()

CAnalysisDlg::CAnalysisDlg(UINT templateId, int programId, CWnd* parent)
    : CBaseDlg(templateId, parent), m_identifierList(4, 0), m_nProgramId(programId) {
    m_identifierList.SetSingleCheck(TRUE);
}

CAnalysisDlg::~CAnalysisDlg() = default;

CTabulonDoc* CAnalysisDlg::Document() const { return theApp.GetDocument(); }

void CAnalysisDlg::GetSupplementaryRows(std::vector<int>&) {}
void CAnalysisDlg::GetActiveRows(std::vector<int>&) {}
int CAnalysisDlg::GetFactorCount() { return 0; }
int CAnalysisDlg::GetDataRowCount() { return 0; }
int CAnalysisDlg::GetColumnTotal() { return 0; }
int CAnalysisDlg::GetSupplementaryRowCount() { return 0; }
int CAnalysisDlg::GetActiveRowCount() { return 0; }
int CAnalysisDlg::GetActiveColumnCount() { return 0; }
int CAnalysisDlg::GetSupplementaryColumnCount() { return 0; }

void CAnalysisDlg::InitFromData(std::vector<int>*) { ResetIdentifier(); }

void CAnalysisDlg::ResetIdentifier() {
    m_bDefaultIdentifier = 1;
    FillIdentifierCandidates();
}

void CAnalysisDlg::FillIdentifierCandidates() {
    m_identifierCandidates.clear();
    CTabulonDoc* doc = Document();
    CDataSet* data = doc ? doc->GetDataSet() : nullptr;
    if (!data) return;
    for (int v = 1; v <= data->GetVariableCount(); ++v)
        if (data->GetVariableType(v) == 0) m_identifierCandidates.push_back({data->GetVariableName(v), v});
}

void CAnalysisDlg::FillIdentifierList() {
    FillIdentifierCandidates();
    m_identifierList.ResetContent();
    for (size_t i = 0; i < m_identifierCandidates.size(); ++i)
        m_identifierList.InsertString(static_cast<int>(i), m_identifierCandidates[i].name);
}

void CAnalysisDlg::UpdateIdentifierControls() {
    m_identifierList.SubclassDlgItem(IDC_IDENTIFIER_LIST, this);
    CheckRadioButton(IDC_IDENTIFIER_DEFAULT, IDC_IDENTIFIER_OTHER,
                     m_bDefaultIdentifier ? IDC_IDENTIFIER_DEFAULT : IDC_IDENTIFIER_OTHER);
    m_identifierList.EnableWindow(!m_bDefaultIdentifier);
    FillIdentifierList();
    int count = m_identifierList.GetCount();
    if (!m_bDefaultIdentifier && m_nLoadedIdentifier >= 0 && m_nLoadedIdentifier < count)
        m_identifierList.SetCheck(m_nLoadedIdentifier, BST_CHECKED);
    if (count == 0)
        if (CWnd* other = GetDlgItem(IDC_IDENTIFIER_OTHER)) other->EnableWindow(FALSE);
}

void CAnalysisDlg::OnDefaultIdentifier() {
    m_bDefaultIdentifier = 1;
    m_identifierList.EnableWindow(FALSE);
}

void CAnalysisDlg::OnOtherIdentifier() {
    m_bDefaultIdentifier = 0;
    m_identifierList.EnableWindow(TRUE);
}

int CAnalysisDlg::CheckedIdentifierIndex() {
    int index = m_identifierList.GetSafeHwnd() ? m_identifierList.GetCheckedIndex() : m_nLoadedIdentifier;
    return index >= 0 && index < static_cast<int>(m_identifierCandidates.size()) ? index : -1;
}

void CAnalysisDlg::WriteDataMatrix() {
    int identifier = -1;
    if (!m_bDefaultIdentifier) {
        int index = CheckedIdentifierIndex();
        if (index < 0) {
            AfxMessageBox(kNoIdentifier);
            return;
        }
        identifier = m_identifierCandidates[static_cast<size_t>(index)].code;
    }
    CTabulonDoc* doc = Document();
    CDataSet* data = doc ? doc->GetDataSet() : nullptr;
    if (!data) return;
    m_strDataMatrixPath = FormatString("%s/%s/%s", theApp.GetWorkDir(), "dados", "Dados.dat");
    CStdioFile file;
    CFileException error;
    if (!file.Open(m_strDataMatrixPath, CFile::modeCreate | CFile::modeWrite | CFile::typeText, &error)) {
        file.Abort();
        AfxMessageBox(FormatString("%s%s", kMatrixOpenError, error.GetErrorMessage().Left(100)));
        return;
    }
    try {
        data->WriteEngineMatrix(&file, m_selectedColumns, identifier);
        file.Close();
    } catch (CFileException& e) {
        file.Abort();
        AfxMessageBox(FormatString("%s%s", kMatrixOpenError, e.GetErrorMessage().Left(100)));
        return;
    }
    EndDialog(STEP_FINISH);
}

int CAnalysisDlg::SaveConfiguration(CReplacingFile& file) {
    CTabulonDoc* doc = Document();
    if (!doc) return 0;
    // "Outro" with nothing ticked has no identifier to store: refused as "Executar" does.
    int identifier = 0;
    if (!m_bDefaultIdentifier) {
        int index = CheckedIdentifierIndex();
        if (index < 0) {
            AfxMessageBox(kNoIdentifier);
            return 0;
        }
        identifier = m_identifierCandidates[static_cast<size_t>(index)].code;
    }
    if (doc->IsModified()) {
        if (AfxMessageBox("Gravar primeiro o ficheiro de dados", MB_YESNO | MB_ICONSTOP) != IDYES) return 0;
        if (!doc->DoFileSave()) return 0;
    }
    CString path;
    if (PromptFileName(path, kConfigurationFilter, FALSE) != IDOK) return 0;
    int slash = path.ReverseFind('/');
    if (path.Find('.', slash + 1) < 0) path += ".tcfg";

    // A link already at that name is replaced, never written through.
    if (!file.OpenReplacing(path, nullptr, CFile::typeText | CReplacingFile::replaceLinks)) {
        AfxMessageBox(kSaveError);
        return 0;
    }
    try {
        file.WriteString(FormatString("%d\n", m_nProgramId));
        if (!doc->WriteConfigurationHeader(file)) {
            file.Abandon();
            AfxMessageBox(kSaveError);
            return 0;
        }
        file.WriteString(FormatString("%d\n", identifier));
    } catch (CFileException&) {
        file.Abandon();
        AfxMessageBox(kSaveError);
        return 0;
    }
    return 1;
}

int CAnalysisDlg::SaveConfiguration(const std::function<void(CStdioFile&)>& body) {
    CReplacingFile file;
    if (!SaveConfiguration(file)) return 0;
    try {
        body(file);
        file.Commit();
    } catch (CFileException&) {
        file.Abandon();
        AfxMessageBox(kSaveError);
        return 0;
    }
    return 1;
}

int CAnalysisDlg::LoadConfiguration(CStdioFile& file) {
    int programId = 0;
    if (!ReadConfigurationInts(file, &programId, 1) || programId != m_nProgramId) {
        AfxMessageBox(kOtherProgram);
        return 0;
    }
    CString dataPath, codeText, lengthLine;
    int counts[2] = {0, 0};
    int identifier = 0;
    long long length = 0;
    bool read = ReadConfigurationLine(file, dataPath) && ReadConfigurationLine(file, lengthLine);
    if (read) {
        char* end = nullptr;
        errno = 0;
        length = std::strtoll(lengthLine.GetString(), &end, 10);
        read = end != lengthLine.GetString() && errno != ERANGE && length >= 0;
        while (read && (*end == ' ' || *end == '\t')) ++end;
        read = read && *end == '\0';
    }
    read = read && ReadConfigurationLine(file, codeText) && ReadConfigurationInts(file, counts, 2);
    if (!read) {
        AfxMessageBox(kDataMismatch);
        return 0;
    }
    CTabulonDoc* doc = Document();
    if (!doc || !doc->CheckConfiguration(dataPath, length, counts[0], counts[1], codeText)) return 0;
    if (!ReadConfigurationInts(file, &identifier, 1)) {
        // The data file matched: it is the configuration that is damaged.
        AfxMessageBox(kDamagedConfigurationMessage);
        return 0;
    }
    if (identifier == 0) {
        m_bDefaultIdentifier = 1;
        return 1;
    }
    m_bDefaultIdentifier = 0;
    FillIdentifierCandidates();
    m_nLoadedIdentifier = -1;
    for (size_t i = 0; i < m_identifierCandidates.size(); ++i)
        if (m_identifierCandidates[i].code == identifier) m_nLoadedIdentifier = static_cast<int>(i);
    if (m_nLoadedIdentifier < 0) {
        m_bDefaultIdentifier = 1;
        AfxMessageBox(kIdentifierChanged);
    }
    return 1;
}

void CAnalysisDlg::WriteSelectedColumns(CStdioFile& file) {
    for (int column : m_selectedColumns) file.WriteString(FormatString("%d\n", column));
}

BOOL CAnalysisDlg::ReadSelectedColumns(CStdioFile& file, int count) {
    CTabulonDoc* doc = Document();
    CDataSet* data = doc ? doc->GetDataSet() : nullptr;
    if (!data || count < 0 || count > data->GetVariableCount()) return FALSE;
    std::vector<int> columns;
    for (int i = 0; i < count; ++i) {
        int v = 0;
        if (!ReadConfigurationInts(file, &v, 1) || v < 1 || v > data->GetVariableCount()) return FALSE;
        columns.push_back(v);
    }
    m_selectedColumns = std::move(columns);
    return TRUE;
}

CAnalysisDlg::IdentifierState CAnalysisDlg::SaveIdentifierState() const {
    return {m_bDefaultIdentifier, m_nLoadedIdentifier, m_identifierCandidates, m_selectedColumns};
}

void CAnalysisDlg::RestoreIdentifierState(const IdentifierState& state) {
    m_bDefaultIdentifier = state.defaultIdentifier;
    m_nLoadedIdentifier = state.loadedIdentifier;
    m_identifierCandidates = state.candidates;
    m_selectedColumns = state.selectedColumns;
}
