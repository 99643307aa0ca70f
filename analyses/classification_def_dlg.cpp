#include "analyses/classification_def_dlg.h"

#include <cerrno>
#include <cstdlib>

#include "app/tabulon_app.h"
#include "app/tabulon_doc.h"

namespace {
const char kTooFewColumns[] = "Para classificar as colunas tem de seleccionar pelo menos duas variáveis";
const char kTooFewRows[] = "Para classificar as linhas são precisas pelo menos duas linhas sem valores ausentes";
const char kColumnsDiffer[] =
    "O número de colunas não corresponde ao número de variáveis seleccionadas.\n"
    "Seleccionar as variáveis e definir de novo as colunas";

// One whole-line integer.
bool ParseInt(const CString& line, int* value) {
    const char* p = line.GetString();
    char* end = nullptr;
    errno = 0;
    long v = std::strtol(p, &end, 10);
    if (end == p || errno == ERANGE || v < -2147483647L || v > 2147483647L) return false;
    while (*end == ' ' || *end == '\t') ++end;
    if (*end) return false;
    *value = static_cast<int>(v);
    return true;
}
}  // namespace

BEGIN_MESSAGE_MAP(CClassificationDefDlg, CAnalysisDlg)
    ON_BN_CLICKED(IDC_IDENTIFIER_DEFAULT, &CClassificationDefDlg::OnDefaultIdentifier)
    ON_BN_CLICKED(IDC_IDENTIFIER_OTHER, &CClassificationDefDlg::OnOtherIdentifier)
    ON_BN_CLICKED(IDC_CLASSIFICATION_MODES, &CClassificationDefDlg::OnModes)
    ON_BN_CLICKED(IDC_CLASSIFICATION_COLUMNS, &CClassificationDefDlg::OnColumns)
    ON_BN_CLICKED(IDC_CLASSIFICATION_OUTPUT, &CClassificationDefDlg::OnOutput)
    ON_BN_CLICKED(IDC_CLASSIFICATION_SAVE, &CClassificationDefDlg::OnSave)
    ON_BN_CLICKED(IDC_ANALYSIS_EXECUTE, &CClassificationDefDlg::OnExecute)
    ON_BN_CLICKED(IDC_CLASSIFICATION_PREVIOUS, &CClassificationDefDlg::OnPreviousPage)
    ON_BN_CLICKED(IDC_CLASSIFICATION_CANCEL, &CClassificationDefDlg::OnCancelPage)
END_MESSAGE_MAP()

CClassificationDefDlg::CClassificationDefDlg()
    : CAnalysisDlg(IDD_CLASSIFICATION_DEFINITION, PROGRAM_CLASSIFICATION, nullptr) {
    SetCaption("Definições de Dados");
}

void CClassificationDefDlg::DoDataExchange(CDataExchange* dx) {
    CAnalysisDlg::DoDataExchange(dx);
    DDX_Text(dx, IDC_CLASSIFICATION_ROWS, m_nRowCount);
}

BOOL CClassificationDefDlg::OnInitDialog() {
    BOOL result = CBaseDlg::OnInitDialog();
    UpdateIdentifierControls();
    EnableItem(IDC_CLASSIFICATION_ROWS, FALSE);   // shown, never typed into
    return result;
}

int CClassificationDefDlg::CompleteRowCount() const {
    CTabulonDoc* doc = Document();
    CDataSet* data = doc ? doc->GetDataSet() : nullptr;
    return data ? data->GetCompleteRows(m_selectedColumns, nullptr) : 0;
}

void CClassificationDefDlg::InitFromData(std::vector<int>* selection) {
    ResetIdentifier();
    SetSelectedColumns(*selection);
    m_nRowCount = CompleteRowCount();
    m_columnsDlg.SetColumns(static_cast<int>(selection->size()), {});
    m_columnsDlg.SetPageNames(*selection);
}

void CClassificationDefDlg::WriteParameters(CStdioFile& file) {
    file.WriteString(FormatString("%d %d\n", m_nRowCount, m_columnsDlg.GetColumnCount()));
    m_modesDlg.WriteParameters(file);
    file.WriteString(m_strDataMatrixPath + "\n");
    CTabulonDoc* doc = Document();
    file.WriteString((doc ? doc->GetPathName() : CString()) + "\n");
    m_columnsDlg.WriteParameters(file);
    m_outputDlg.WriteEngineFlags(file);
}

void CClassificationDefDlg::WriteBody(CStdioFile& file) {
    file.WriteString(FormatString("%d %d\n", m_nRowCount, m_columnsDlg.GetColumnCount()));
    m_modesDlg.WriteParameters(file);
    m_columnsDlg.WriteParameters(file);
    m_outputDlg.WriteParameters(file);
    // The variables go last, so that older readers stop before them; a selection that does
    // not match the columns (an older file loaded over another choice) is not stored.
    if (static_cast<int>(m_selectedColumns.size()) == m_columnsDlg.GetColumnCount()) WriteSelectedColumns(file);
}

void CClassificationDefDlg::OnSave() {
    SaveConfiguration([this](CStdioFile& file) { WriteBody(file); });
}

BOOL CClassificationDefDlg::ReadParameters(CStdioFile& file) {
    CTabulonDoc* doc = Document();
    CDataSet* data = doc ? doc->GetDataSet() : nullptr;
    if (!data) return FALSE;
    int counts[2];
    if (!ReadConfigurationInts(file, counts, 2)) return FALSE;
    const int rows = counts[0], columns = counts[1];
    if (rows < 0 || rows > data->GetRowCount() || columns < 0 || columns > data->GetVariableCount()) return FALSE;
    ClassificationModes modes;
    if (!m_modesDlg.ReadModes(file, modes)) return FALSE;
    std::vector<CString> codes;
    for (int i = 0; i < columns; ++i) {
        CString code;
        if (!ReadConfigurationLine(file, code)) return FALSE;
        codes.push_back(code);
    }
    int flags[3];
    if (!ReadConfigurationInts(file, flags, 3)) return FALSE;
    std::vector<int> selection;
    CString line;
    while (ReadConfigurationLine(file, line)) {
        int v = 0;
        if (!ParseInt(line, &v) || v < 1 || v > data->GetVariableCount()) return FALSE;
        selection.push_back(v);
    }
    if (!selection.empty()) {
        if (static_cast<int>(selection.size()) != columns || data->GetCompleteRows(selection, nullptr) != rows)
            return FALSE;
        m_selectedColumns = selection;
    }
    m_nRowCount = rows;
    m_columnsDlg.SetColumns(columns, codes);
    m_modesDlg.ApplyModes(modes);
    m_outputDlg.SetFlags(flags);
    return TRUE;
}

void CClassificationDefDlg::OnExecute() {
    const int columns = static_cast<int>(m_selectedColumns.size());
    if (columns != m_columnsDlg.GetColumnCount()) {
        AfxMessageBox(kColumnsDiffer);
        return;
    }
    const int rows = CompleteRowCount();
    if (m_modesDlg.GetMode() == 0 && columns < 2) {
        AfxMessageBox(kTooFewColumns);
        return;
    }
    if (m_modesDlg.GetMode() != 0 && rows < 2) {
        AfxMessageBox(kTooFewRows);
        return;
    }
    // The engine's row count is the number of lines "Dados.dat" gets.
    m_nRowCount = rows;
    WriteDataMatrix();
}
