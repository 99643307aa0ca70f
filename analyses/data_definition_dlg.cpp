#include "analyses/data_definition_dlg.h"

#include <algorithm>

#include "app/tabulon_app.h"
#include "app/tabulon_doc.h"

namespace {
const char kNoIdentifier[] = "Tem de selecionar um identificador";
// Counts that fit any table the program can hold.
constexpr int kMaxCount = 1000000;
}  // namespace

BEGIN_MESSAGE_MAP(CDataDefinitionDlg, CAnalysisDlg)
    ON_BN_CLICKED(IDC_IDENTIFIER_DEFAULT, &CDataDefinitionDlg::OnDefaultIdentifier)
    ON_BN_CLICKED(IDC_IDENTIFIER_OTHER, &CDataDefinitionDlg::OnOtherIdentifier)
    ON_BN_CLICKED(IDC_DEFINITION_ROWS, &CDataDefinitionDlg::OnRows)
    ON_BN_CLICKED(IDC_DEFINITION_COLUMNS, &CDataDefinitionDlg::OnColumns)
    ON_BN_CLICKED(IDC_DEFINITION_OPTIONS, &CDataDefinitionDlg::ShowOptions)
    ON_BN_CLICKED(IDC_ANALYSIS_EXECUTE, &CDataDefinitionDlg::OnExecute)
    ON_BN_CLICKED(IDC_DEFINITION_SAVE, &CDataDefinitionDlg::OnSave)
    ON_BN_CLICKED(IDC_DEFINITION_PREVIOUS, &CDataDefinitionDlg::OnPrevious)
    ON_BN_CLICKED(IDC_DEFINITION_CANCEL, &CDataDefinitionDlg::OnCancelDefinition)
END_MESSAGE_MAP()

CDataDefinitionDlg::CDataDefinitionDlg(CWnd* parent, int createOptions, int programId)
    : CAnalysisDlg(IDD_DATA_DEFINITION, programId, parent) {
    m_columnsPage.SetCaption("Colunas (Variáveis) no Ficheiro de Dados");
    m_rowsPage.SetCaption("Linhas (Amostras) do Ficheiro de Dados");
    if (createOptions) {
        m_pOptionsPage = std::make_unique<CResultsOptionsDlg>();
        m_pOptionsPage->SetCaption("Opções");
        m_pOptionsPage->SetMaxFactors(SmallerActiveCount(), 1, 0);
    }
}

CDataDefinitionDlg::~CDataDefinitionDlg() = default;

CCorrespDataDlg::CCorrespDataDlg(CWnd* parent) : CDataDefinitionDlg(parent, 0, PROGRAM_BINARY_CORRESPONDENCE) {
    m_pOptionsPage = std::make_unique<CFactorOptionsDlg>();
    m_pOptionsPage->SetCaption("Resultados");
    m_pOptionsPage->SetMaxFactors(SmallerActiveCount(), 1, 0);
}

int CDataDefinitionDlg::SmallerActiveCount() const {
    return std::min(m_rowsPage.GetActive(), m_columnsPage.GetActive());
}

void CDataDefinitionDlg::GetSupplementaryRows(std::vector<int>& rows) { m_rowsPage.GetSupplementaryRows(rows); }
void CDataDefinitionDlg::GetActiveRows(std::vector<int>& rows) { m_rowsPage.GetActiveRows(rows); }
int CDataDefinitionDlg::GetFactorCount() { return m_pOptionsPage ? m_pOptionsPage->GetFactorCount() : 0; }
int CDataDefinitionDlg::GetSupplementaryRowCount() { return m_rowsPage.GetTotal() - m_rowsPage.GetActive(); }
int CDataDefinitionDlg::GetActiveRowCount() { return m_rowsPage.GetActive(); }
int CDataDefinitionDlg::GetActiveColumnCount() { return m_columnsPage.GetActive(); }
int CDataDefinitionDlg::GetSupplementaryColumnCount() { return m_columnsPage.GetTotal() - m_columnsPage.GetActive(); }

void CDataDefinitionDlg::InitFromData(std::vector<int>* selection) {
    ResetIdentifier();
    SetSelectedColumns(selection ? *selection : std::vector<int>());
    CTabulonDoc* doc = theApp.GetDocument();
    CDataSet* data = doc ? doc->GetDataSet() : nullptr;
    int rows = data ? data->GetCompleteRows(m_selectedColumns, nullptr) : 0;
    m_rowsPage.SetTotal(rows);
    m_rowsPage.SetSelection(&m_selectedColumns);
    m_rowsPage.SetIdentifier(-1);
    m_rowsPage.Refresh();
    m_columnsPage.SetTotal(static_cast<int>(m_selectedColumns.size()));
    m_columnsPage.SetPageNames(m_selectedColumns);
    if (m_pOptionsPage) m_pOptionsPage->SetMaxFactors(SmallerActiveCount(), 0, 0);
}

BOOL CDataDefinitionDlg::OnInitDialog() {
    BOOL result = CBaseDlg::OnInitDialog();
    UpdateIdentifierControls();
    return result;
}

BOOL CDataDefinitionDlg::CheckIdentifier() {
    int code = -1;
    if (!m_bDefaultIdentifier) {
        int index = CheckedIdentifierIndex();
        if (index < 0) {
            AfxMessageBox(kNoIdentifier);
            return FALSE;
        }
        code = m_identifierCandidates[static_cast<size_t>(index)].code;
    }
    m_rowsPage.SetIdentifier(code);
    return TRUE;
}

void CDataDefinitionDlg::OnRows() {
    if (!CheckIdentifier()) return;
    m_rowsPage.SetSelection(&m_selectedColumns);
    m_rowsPage.DoModal();
    if (m_pOptionsPage) m_pOptionsPage->SetMaxFactors(SmallerActiveCount(), 0, 1);
}

void CDataDefinitionDlg::OnColumns() {
    m_columnsPage.DoModal();
    if (m_pOptionsPage) m_pOptionsPage->SetMaxFactors(SmallerActiveCount(), 0, 1);
}

void CDataDefinitionDlg::ShowOptions() {
    if (!m_pOptionsPage) return;
    m_pOptionsPage->SetMaxFactors(SmallerActiveCount(), 0, 1);
    m_pOptionsPage->DoModal();
    // "Cancelar" keeps what was typed, even a count above the limit: it is lowered.
    m_pOptionsPage->SetMaxFactors(SmallerActiveCount(), 0, 1);
}

CString CDataDefinitionDlg::ExecuteRefusal() {
    CTabulonDoc* doc = theApp.GetDocument();
    CDataSet* data = doc ? doc->GetDataSet() : nullptr;
    int complete = data ? data->GetCompleteRows(m_selectedColumns, nullptr) : 0;
    int columns = static_cast<int>(m_selectedColumns.size());
    // The engine reads as many rows and columns as the parameter file says: they must be
    // the ones "Dados.dat" holds.
    if (m_rowsPage.GetTotal() != complete)
        return FormatString("O número de linhas (%d) é diferente do número de linhas completas do ficheiro de dados (%d)",
                            m_rowsPage.GetTotal(), complete);
    if (m_columnsPage.GetTotal() != columns)
        return FormatString("O número de colunas (%d) é diferente do número de variáveis seleccionadas (%d)",
                            m_columnsPage.GetTotal(), columns);
    if (complete < 2) return "Os dados têm de ter pelo menos 2 linhas completas";
    if (m_rowsPage.GetActive() < 2) return "Tem de ter pelo menos 2 linhas activas";
    if (m_columnsPage.GetActive() < 2) return "Tem de ter pelo menos 2 colunas activas";
    if (GetFactorCount() < 1) return "O Numero de factores tem de ser pelo menos 1";
    return CString();
}

void CDataDefinitionDlg::WriteDataMatrix() {
    if (!CheckIdentifier()) return;
    // The row list of this run: the complete rows of the columns now selected.
    m_rowsPage.SetSelection(&m_selectedColumns);
    m_rowsPage.Refresh();
    CString refusal = ExecuteRefusal();
    if (!refusal.IsEmpty()) {
        AfxMessageBox(refusal);
        return;
    }
    CAnalysisDlg::WriteDataMatrix();
}

void CDataDefinitionDlg::WriteParameters(CStdioFile& file) {
    int rows = m_rowsPage.GetTotal(), rowsActive = m_rowsPage.GetActive();
    int columns = m_columnsPage.GetTotal(), columnsActive = m_columnsPage.GetActive();
    file.WriteString(FormatString("%d %d %d %d %d\n", rows, rowsActive, columns, columnsActive, GetFactorCount()));
    file.WriteString(m_strDataMatrixPath + "\n");
    CTabulonDoc* doc = theApp.GetDocument();
    file.WriteString((doc ? doc->GetPathName() : CString()) + "\n");
    if (rows != rowsActive || columns != columnsActive) {
        m_rowsPage.WriteFlags(file);
        m_columnsPage.WriteFlags(file);
    }
    file.WriteString(FormatString("%d 1 65 2.5\n", m_pOptionsPage ? m_pOptionsPage->GetGraphCount() : 0));
    m_columnsPage.WritePages(file);
    // Without an options page: the page's own defaults (coordinate files, no data print).
    if (m_pOptionsPage) m_pOptionsPage->WriteParameterLine(file);
    else file.WriteString("1 0\n");
}

void CDataDefinitionDlg::WriteConfigurationBody(CStdioFile& file) {
    int rows = m_rowsPage.GetTotal(), rowsActive = m_rowsPage.GetActive();
    int columns = m_columnsPage.GetTotal(), columnsActive = m_columnsPage.GetActive();
    file.WriteString(FormatString("%d %d %d %d\n", rows, rowsActive, columns, columnsActive));
    if (rows != rowsActive && rowsActive != 0) m_rowsPage.WriteFlags(file);
    if (columns != columnsActive && columnsActive != 0) m_columnsPage.WriteFlags(file);
    m_columnsPage.WritePages(file);
    WriteSelectedColumns(file);
    if (m_pOptionsPage) m_pOptionsPage->WriteConfiguration(file);
    else file.WriteString("1 0 0 0\n");   // the options page's defaults
}

void CDataDefinitionDlg::OnSave() {
    SaveConfiguration([this](CStdioFile& file) { WriteConfigurationBody(file); });
}

namespace {
// The flags of one page as a configuration holds them: lines when the total and the
// active count differ (and some are active), else every item alike.
BOOL ReadPageFlags(CStdioFile& file, int total, int active, std::vector<int>& flags) {
    if (total == active || active == 0) {
        flags.assign(static_cast<size_t>(total), active == 0 ? 0 : 1);
        return TRUE;
    }
    return ReadFlagLines(file, total, flags);
}
}  // namespace

BOOL CDataDefinitionDlg::ReadParameters(CStdioFile& file) {
    // Everything is read and checked first; the pages change only when all of it holds.
    int counts[4];
    if (!ReadConfigurationInts(file, counts, 4)) return FALSE;
    const int rows = counts[0], rowsActive = counts[1], columns = counts[2], columnsActive = counts[3];
    if (rows < 0 || rows > kMaxCount || rowsActive < 0 || rowsActive > rows) return FALSE;
    if (columns < 0 || columns > kMaxCount || columnsActive < 0 || columnsActive > columns) return FALSE;
    std::vector<int> rowFlags, columnFlags;
    if (!ReadPageFlags(file, rows, rowsActive, rowFlags)) return FALSE;
    if (!ReadPageFlags(file, columns, columnsActive, columnFlags)) return FALSE;
    std::vector<CString> names(static_cast<size_t>(columns));
    for (CString& name : names)
        if (!ReadConfigurationLine(file, name)) return FALSE;
    std::vector<int> previousColumns = m_selectedColumns;
    if (!ReadSelectedColumns(file, columns)) return FALSE;
    int options[4];
    if (!CResultsOptionsDlg::ParseConfiguration(file, options)) {
        m_selectedColumns = previousColumns;
        return FALSE;
    }

    m_rowsPage.SetTotal(rows);
    m_rowsPage.ApplyActiveFlags(rowFlags);
    m_columnsPage.SetTotal(columns);
    m_columnsPage.ApplyActiveFlags(columnFlags);
    for (int i = 0; i < columns; ++i) m_columnsPage.SetItemName(i, names[static_cast<size_t>(i)]);
    if (m_pOptionsPage) {
        m_pOptionsPage->SetOptions(options[0], options[1], options[2], options[3]);
        m_pOptionsPage->SetMaxFactors(SmallerActiveCount(), 0, 0);
    }
    m_rowsPage.SetSelection(&m_selectedColumns);
    int identifier = -1;
    if (!m_bDefaultIdentifier && m_nLoadedIdentifier >= 0 &&
        m_nLoadedIdentifier < static_cast<int>(m_identifierCandidates.size()))
        identifier = m_identifierCandidates[static_cast<size_t>(m_nLoadedIdentifier)].code;
    m_rowsPage.SetIdentifier(identifier);
    m_rowsPage.Refresh();
    return TRUE;
}
