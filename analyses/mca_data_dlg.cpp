#include "analyses/mca_data_dlg.h"

#include <algorithm>
#include <cstdlib>

#include "analyses/data_definition_dlg.h"
#include "app/tabulon_app.h"
#include "app/tabulon_doc.h"

namespace {
const char kTooManyFactors[] = "O número de factores nao pode ser maior que %d";
constexpr int kMaxEdit = 99999;

// Whether dazi can recode the qualitative columns (those after the quantitative ones): no
// code twice in a column, and every value a column takes in the complete rows one of its
// codes, compared as dazi compares them: the value as Dados.dat carries it (six decimals,
// so 1.0000001 is code 1 and 1.4 none). A table changed since the configuration was saved
// may no longer hold.
bool CodesMatchData(const CDataSet& data, const CColumnTypesDlg& pages, const std::vector<int>& columns,
                    int quantitative) {
    std::vector<int> rows;
    data.GetCompleteRows(columns, &rows);
    for (size_t c = static_cast<size_t>(quantitative); c < columns.size(); ++c) {
        const CModalitiesDlg* page = pages.GetColumn(static_cast<int>(c));
        std::vector<int> codes;
        for (int m = 0; m < page->GetModalityCount(); ++m) codes.push_back(page->GetModalityCode(m));
        std::sort(codes.begin(), codes.end());
        if (std::adjacent_find(codes.begin(), codes.end()) != codes.end()) return false;
        for (int r : rows) {
            const double cell = data.GetValue(r + 1, columns[c]);
            const double value = std::strtod(CDataSet::EngineMatrixValue(cell), nullptr);
            if (!std::any_of(codes.begin(), codes.end(), [&](int code) { return value == static_cast<double>(code); }))
                return false;
        }
    }
    return true;
}
}  // namespace

// ---- Row count -------------------------------------------------------------------------

CRowCountDlg::CRowCountDlg(CWnd* parent) : CStepDlg(IDD_ROW_COUNT, parent) {
    SetCaption("Linhas (Amostras) no Ficheiro de Dados");
}

void CRowCountDlg::WriteToFile(CStdioFile& file) { file.WriteString(FormatString("%d\n", m_nRows)); }

void CRowCountDlg::ReadFromFile(CStdioFile& file) {
    int rows;
    if (ReadConfigurationInts(file, &rows, 1) && rows >= 1 && rows <= kMaxEdit) m_nRows = rows;
}

void CRowCountDlg::DoDataExchange(CDataExchange* dx) {
    CStepDlg::DoDataExchange(dx);
    int rows = m_nRows;
    DDX_Text(dx, IDC_ROW_COUNT, rows);
    DDV_MinMaxInt(dx, rows, 1, kMaxEdit);
    m_nRows = rows;
}

// ---- Results options -------------------------------------------------------------------

BEGIN_MESSAGE_MAP(CMcaResultsDlg, CDialog)
    ON_BN_CLICKED(IDC_MCA_RECODED, &CMcaResultsDlg::OnRecoded)
    ON_BN_CLICKED(IDC_MCA_DISJUNCTIVE, &CMcaResultsDlg::OnDisjunctive)
    ON_BN_CLICKED(IDC_MCA_BURT, &CMcaResultsDlg::OnBurt)
    ON_BN_CLICKED(IDC_MCA_GRAPHICS_FILE, &CMcaResultsDlg::OnGraphicsFile)
    ON_BN_CLICKED(IDC_MCA_PROJECTION, &CMcaResultsDlg::OnProjection)
    ON_EN_KILLFOCUS(IDC_MCA_FACTORS, &CMcaResultsDlg::OnFactorsKillFocus)
    ON_BN_CLICKED(IDOK, &CMcaResultsDlg::OnResultsOk)
    ON_BN_CLICKED(IDCANCEL, &CMcaResultsDlg::OnResultsCancel)
END_MESSAGE_MAP()

CMcaResultsDlg::CMcaResultsDlg(CWnd* parent) : CDialog(IDD_MCA_RESULTS, parent) {}

void CMcaResultsDlg::SetMaxFactors(int limit) {
    m_nMaxFactors = std::max(limit, 1);
    if (m_nFactors > m_nMaxFactors) m_nFactors = m_nMaxFactors;
}

void CMcaResultsDlg::WriteConfiguration(CStdioFile& file) {
    file.WriteString(FormatString("%d %d %d %d %d %d %d\n", m_bGraphicsFile, m_bDisjunctive, m_bBurt, m_bProjection,
                                  m_bRecoded, m_nFactors, m_nGraphs));
}

BOOL CMcaResultsDlg::ParseConfiguration(CStdioFile& file, int values[7]) {
    if (!ReadConfigurationInts(file, values, 7)) return FALSE;
    for (int i = 0; i < 5; ++i)
        if (values[i] != 0 && values[i] != 1) return FALSE;
    // Counts that the edits themselves would refuse.
    return values[5] >= 0 && values[5] <= kMaxEdit && values[6] >= 0 && values[6] <= kMaxEdit;
}

void CMcaResultsDlg::ApplyConfiguration(const int values[7]) {
    m_bGraphicsFile = values[0];
    m_bDisjunctive = values[1];
    m_bBurt = values[2];
    m_bProjection = values[3];
    m_bRecoded = values[4];
    m_nFactors = values[5];
    m_nGraphs = values[6];
}

BOOL CMcaResultsDlg::OnInitDialog() {
    m_bClosing = false;
    BOOL result = CDialog::OnInitDialog();
    const std::pair<int, int> boxes[] = {{IDC_MCA_RECODED, m_bRecoded},
                                         {IDC_MCA_DISJUNCTIVE, m_bDisjunctive},
                                         {IDC_MCA_BURT, m_bBurt},
                                         {IDC_MCA_GRAPHICS_FILE, m_bGraphicsFile},
                                         {IDC_MCA_PROJECTION, m_bProjection}};
    for (const auto& [id, flag] : boxes) CheckDlgButton(id, flag ? BST_CHECKED : BST_UNCHECKED);
    return result;
}

void CMcaResultsDlg::DoDataExchange(CDataExchange* dx) {
    CDialog::DoDataExchange(dx);
    // Counts out of range are refused and not taken.
    int factors = m_nFactors, graphs = m_nGraphs;
    DDX_Text(dx, IDC_MCA_FACTORS, factors);
    DDV_MinMaxInt(dx, factors, 0, kMaxEdit);
    m_nFactors = factors;
    DDX_Text(dx, IDC_MCA_GRAPHS, graphs);
    DDV_MinMaxInt(dx, graphs, 0, kMaxEdit);
    m_nGraphs = graphs;
}

void CMcaResultsDlg::OnFactorsKillFocus() {
    // The edit also loses the focus as the dialog goes away, or to "Cancelar": no check then.
    if (m_bClosing || FocusGoesToCancel() || !UpdateData(TRUE)) return;
    if (m_nFactors > m_nMaxFactors) {
        AfxMessageBox(FormatString(kTooManyFactors, m_nMaxFactors));
        if (CWnd* edit = GetDlgItem(IDC_MCA_FACTORS)) edit->SetFocus();
    }
}

void CMcaResultsDlg::OnResultsOk() {
    if (!UpdateData(TRUE)) return;
    if (m_nFactors > m_nMaxFactors) return;
    m_bClosing = true;
    EndDialog(IDOK);
}

void CMcaResultsDlg::OnResultsCancel() {
    m_bClosing = true;
    EndDialog(IDCANCEL);
}

// ---- Data definition -------------------------------------------------------------------

BEGIN_MESSAGE_MAP(CMultiCorrespDataDlg, CAnalysisDlg)
    ON_BN_CLICKED(IDC_IDENTIFIER_DEFAULT, &CMultiCorrespDataDlg::OnDefaultIdentifier)
    ON_BN_CLICKED(IDC_IDENTIFIER_OTHER, &CMultiCorrespDataDlg::OnOtherIdentifier)
    ON_BN_CLICKED(IDC_DEFINITION_ROWS, &CMultiCorrespDataDlg::OnRows)
    ON_BN_CLICKED(IDC_DEFINITION_COLUMNS, &CMultiCorrespDataDlg::OnColumns)
    ON_BN_CLICKED(IDC_DEFINITION_OPTIONS, &CMultiCorrespDataDlg::OnOptions)
    ON_BN_CLICKED(IDC_ANALYSIS_EXECUTE, &CMultiCorrespDataDlg::OnExecute)
    ON_BN_CLICKED(IDC_DEFINITION_SAVE, &CMultiCorrespDataDlg::OnSave)
    ON_BN_CLICKED(IDC_DEFINITION_PREVIOUS, &CMultiCorrespDataDlg::OnPrevious)
    ON_BN_CLICKED(IDC_DEFINITION_CANCEL, &CMultiCorrespDataDlg::OnCancelDefinition)
END_MESSAGE_MAP()

CMultiCorrespDataDlg::CMultiCorrespDataDlg(CWnd* parent)
    : CAnalysisDlg(IDD_DATA_DEFINITION, PROGRAM_MULTIPLE_CORRESPONDENCE, parent) {
    SetCaption("Definições de Dados");
}

CMultiCorrespDataDlg::~CMultiCorrespDataDlg() = default;

BOOL CMultiCorrespDataDlg::OnInitDialog() {
    BOOL result = CBaseDlg::OnInitDialog();
    UpdateIdentifierControls();
    return result;
}

int CMultiCorrespDataDlg::CompleteRows() const {
    CTabulonDoc* doc = theApp.GetDocument();
    CDataSet* data = doc ? doc->GetDataSet() : nullptr;
    return data ? data->GetCompleteRows(m_selectedColumns, nullptr) : 0;
}

int CMultiCorrespDataDlg::FactorLimit() const {
    int columns = m_columnTypes.GetQuantitativeCount() + m_columnTypes.GetQualitativeCount();
    int limit = std::min(m_columnTypes.GetActiveTotal() - columns, m_rowCount.GetRowCount() - 1);
    return std::max(limit, 1);
}

void CMultiCorrespDataDlg::GetSupplementaryRows(std::vector<int>& rows) {
    CTabulonDoc* doc = theApp.GetDocument();
    CDataSet* data = doc ? doc->GetDataSet() : nullptr;
    if (data) data->GetCompleteRows(m_selectedColumns, &rows);
}

void CMultiCorrespDataDlg::GetActiveRows(std::vector<int>&) {}

int CMultiCorrespDataDlg::GetSupplementaryRowCount() {
    return m_options.GetProjectionFlag() ? m_rowCount.GetRowCount() : 0;
}

int CMultiCorrespDataDlg::GetSupplementaryColumnCount() {
    return m_columnTypes.GetModalityTotal() - m_columnTypes.GetActiveTotal();
}

void CMultiCorrespDataDlg::InitFromData(std::vector<int>* selection) {
    ResetIdentifier();
    CTabulonDoc* doc = theApp.GetDocument();
    CDataSet* data = doc ? doc->GetDataSet() : nullptr;
    std::vector<int> quantitative, qualitative;
    if (selection)
        for (int v : *selection) {
            bool isQualitative = data && v >= 1 && v <= data->GetVariableCount() && data->GetVariable(v)->IsQualitative();
            (isQualitative ? qualitative : quantitative).push_back(v);
        }
    std::vector<int> ordered = quantitative;
    ordered.insert(ordered.end(), qualitative.begin(), qualitative.end());
    SetSelectedColumns(ordered);
    m_rowCount.SetRowCount(CompleteRows());
    m_columnTypes.BuildFromSelection(ordered, static_cast<int>(quantitative.size()),
                                     static_cast<int>(qualitative.size()));
    UpdateFactorLimit();
}

void CMultiCorrespDataDlg::OnRows() {
    m_rowCount.DoModal();
    UpdateFactorLimit();
}

void CMultiCorrespDataDlg::OnColumns() {
    m_columnTypes.DoModal();
    m_columnTypes.RecomputeTotals();
    UpdateFactorLimit();
}

void CMultiCorrespDataDlg::OnOptions() {
    UpdateFactorLimit();
    m_options.DoModal();
}

CString CMultiCorrespDataDlg::ExecuteRefusal() {
    int complete = CompleteRows();
    int columns = static_cast<int>(m_selectedColumns.size());
    // dazi reads as many rows as dazi.par says: they must be the ones "Dados.dat" holds.
    if (m_rowCount.GetRowCount() != complete)
        return FormatString("O número de linhas (%d) é diferente do número de linhas completas do ficheiro de dados (%d)",
                            m_rowCount.GetRowCount(), complete);
    if (complete < 2) return "Os dados têm de ter pelo menos 2 linhas completas";
    m_columnTypes.RecomputeTotals();
    if (m_columnTypes.GetActiveTotal() - columns < 2)
        return FormatString("Tem de haver pelo menos 2 modalidades activas além do número de colunas (%d)", columns);
    if (GetFactorCount() < 1) return "O Numero de factores tem de ser pelo menos 1";
    return CString();
}

void CMultiCorrespDataDlg::WriteDataMatrix() {
    CString refusal = ExecuteRefusal();
    if (!refusal.IsEmpty()) {
        AfxMessageBox(refusal);
        return;
    }
    CAnalysisDlg::WriteDataMatrix();
}

void CMultiCorrespDataDlg::WriteParameters(CStdioFile& file) {
    m_columnTypes.RecomputeTotals();
    const int n = m_rowCount.GetRowCount();
    const int q = m_columnTypes.GetQuantitativeCount(), k = m_columnTypes.GetQualitativeCount();
    const int j = m_columnTypes.GetModalityTotal(), a = m_columnTypes.GetActiveTotal();
    const int m = m_columnTypes.GetMaxModalities();
    const bool projected = m_options.GetProjectionFlag() != 0;
    file.WriteString(FormatString("%d %d %d\n", n, q, k));
    file.WriteString(m_strDataMatrixPath + "\n");
    CTabulonDoc* doc = theApp.GetDocument();
    file.WriteString((doc ? doc->GetPathName() : CString()) + "\n");
    m_columnTypes.WriteColumnIdentifiers(file);
    m_columnTypes.WriteClassDivisions(file);
    file.WriteString(FormatString("%d\n", m_options.GetRecodedFlag()));
    file.WriteString(FormatString("%d %d \n", j, m));
    file.WriteString(FormatString("%d 1\n", m_options.GetDisjunctiveFlag()));
    m_columnTypes.WriteModalityCounts(file);
    m_columnTypes.WriteCodes(file);
    m_columnTypes.WriteIdentifiers(file);
    file.WriteString(FormatString("%d 0 1\n", m_options.GetBurtFlag()));
    file.WriteString(FormatString("%d %d %d %d %d\n", projected ? j + n : j, a, j, a, m_options.GetFactorCount()));
    if (projected || a != j) {
        // The modality flags and a "0" per row as one stream, then the modality flags again.
        m_columnTypes.WriteActivityFlags(file, n);
        m_columnTypes.WriteActivityFlags(file, 0);
    }
    file.WriteString(FormatString("%d 1 65 2.5\n", m_options.GetGraphCount()));
    m_columnTypes.WriteIdentifiers(file);
    file.WriteString(FormatString("%d 1\n", m_options.GetGraphicsFileFlag()));
}

void CMultiCorrespDataDlg::WriteConfigurationBody(CStdioFile& file) {
    m_rowCount.WriteToFile(file);
    m_columnTypes.WriteConfiguration(file);
    m_options.WriteConfiguration(file);
    WriteSelectedColumns(file);
}

void CMultiCorrespDataDlg::OnSave() {
    SaveConfiguration([this](CStdioFile& file) { WriteConfigurationBody(file); });
}

BOOL CMultiCorrespDataDlg::ReadParameters(CStdioFile& file) {
    // Everything is read and checked first; the dialog changes only when all of it holds.
    int rows;
    if (!ReadConfigurationInts(file, &rows, 1) || rows < 1 || rows > kMaxEdit) return FALSE;
    ULONGLONG pagesAt = file.GetPosition();
    CColumnTypesDlg check;
    if (!check.ReadConfiguration(file)) return FALSE;
    int options[7];
    if (!CMcaResultsDlg::ParseConfiguration(file, options)) return FALSE;
    const int quantitative = check.GetQuantitativeCount(), qualitative = check.GetQualitativeCount();
    std::vector<int> previousColumns = m_selectedColumns;
    if (!ReadSelectedColumns(file, quantitative + qualitative)) return FALSE;
    // The columns must still be of the kinds the pages were built for.
    CTabulonDoc* doc = theApp.GetDocument();
    CDataSet* data = doc ? doc->GetDataSet() : nullptr;
    for (int i = 0; i < quantitative + qualitative; ++i) {
        int v = m_selectedColumns[static_cast<size_t>(i)];
        if (!data || (data->GetVariable(v)->IsQualitative() != 0) != (i >= quantitative)) {
            m_selectedColumns = previousColumns;
            return FALSE;
        }
    }
    if (data && !CodesMatchData(*data, check, m_selectedColumns, quantitative)) {
        m_selectedColumns = previousColumns;
        return FALSE;
    }
    ULONGLONG endAt = file.GetPosition();
    file.Seek(static_cast<LONGLONG>(pagesAt), CFile::begin);
    m_columnTypes.ReadConfiguration(file);
    file.Seek(static_cast<LONGLONG>(endAt), CFile::begin);

    m_rowCount.SetRowCount(rows);
    m_options.ApplyConfiguration(options);
    UpdateFactorLimit();
    return TRUE;
}
