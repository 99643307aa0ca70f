#include "analyses/analysis_pages.h"

#include <algorithm>

#include "analyses/analysis_dlg.h"
#include "app/tabulon_app.h"
#include "app/tabulon_doc.h"

namespace {
const char kTooFewActive[] = "Tem de ter pelo menos 2 amostras activas";
// Totals beyond this are refused by the page (nothing of that size fits a data set).
constexpr int kMaxItems = 1000000;
}  // namespace

void WriteFlagLines(CStdioFile& file, const std::vector<int>& active) {
    CString line;
    for (int flag : active) {
        line += flag ? '1' : '0';
        if (line.GetLength() == 80) {
            file.WriteString(line + "\n");
            line.Empty();
        }
    }
    if (!line.IsEmpty()) file.WriteString(line + "\n");
}

BOOL ReadFlagLines(CStdioFile& file, int count, std::vector<int>& flags) {
    std::vector<int> read;
    read.reserve(static_cast<size_t>(std::max(count, 0)));
    while (static_cast<int>(read.size()) < count) {
        CString line;
        if (!ReadConfigurationLine(file, line)) return FALSE;
        // A line holds at most 80 flags, and no more than are still wanted.
        int wanted = std::min(80, count - static_cast<int>(read.size()));
        if (line.GetLength() != wanted) return FALSE;
        for (int i = 0; i < line.GetLength(); ++i) {
            char c = line[i];
            if (c != '0' && c != '1') return FALSE;
            read.push_back(c == '1');
        }
    }
    flags = std::move(read);
    return TRUE;
}

// --- CColumnsSelectDlg ---------------------------------------------------------------------------

BEGIN_MESSAGE_MAP(CColumnsSelectDlg, CColumnListDlgBase)
    ON_BN_CLICKED(IDC_PAGE_ACTIVE_MODE, &CColumnsSelectDlg::OnActiveMode)
    ON_BN_CLICKED(IDC_PAGE_SUPPLEMENTARY_MODE, &CColumnsSelectDlg::OnSupplementaryMode)
    ON_BN_CLICKED(IDC_PAGE_SELECT_ALL, &CColumnsSelectDlg::OnSelectAll)
    ON_BN_CLICKED(IDC_PAGE_IDENTIFIERS, &CColumnsSelectDlg::OnIdentifiers)
    ON_BN_CLICKED(IDC_PAGE_OK, &CColumnsSelectDlg::OnPageOk)
    ON_BN_CLICKED(IDC_PAGE_CANCEL, &CColumnsSelectDlg::OnPageCancel)
    ON_EN_KILLFOCUS(IDC_PAGE_TOTAL, &CColumnsSelectDlg::OnTotalChanged)
    ON_CONTROL(CLN_TICKED, IDC_PAGE_LIST, &CColumnsSelectDlg::OnTicked)
    ON_CONTROL(CLN_UNTICKED, IDC_PAGE_LIST, &CColumnsSelectDlg::OnUnticked)
    ON_CONTROL(CLN_TEXT_EDITED, IDC_PAGE_LIST, &CColumnsSelectDlg::OnTextEdited)
END_MESSAGE_MAP()

CColumnsSelectDlg::CColumnsSelectDlg(CWnd* parent)
    : CColumnListDlgBase(IDD_COLUMNS_SELECT, parent), m_list(4, 1) {
    m_nColumnCount = 7;
    SetColumnCount(0);
    m_flags.assign(7, 1);
    SetActive(7);
}

CString CColumnsSelectDlg::GetItemName(int i) const {
    CVariableDlgBase* page = GetPage(i);
    return page ? page->GetVariableName() : CString();
}

void CColumnsSelectDlg::SetItemName(int i, const CString& name) {
    if (CVariableDlgBase* page = GetPage(i)) page->SetVariableName(name);
}

CString CColumnsSelectDlg::FormatPageEntry(CVariableDlgBase* page) { return page->GetVariableName(); }

void CColumnsSelectDlg::SetTotal(int n) {
    m_nMode = 1;
    m_nColumnCount = std::clamp(n, 0, kMaxItems);
    ClearPages();
    m_flags.assign(static_cast<size_t>(m_nColumnCount), 1);
    SetActive(m_nColumnCount);
}

void CColumnsSelectDlg::SetActive(int k) {
    m_nActive = k;
    m_nSupplementary = m_nColumnCount - k;
    UpdateCountTexts();
}

void CColumnsSelectDlg::UpdateCountTexts() {
    m_strActiveCount.Format("%d", m_nActive);
    m_strSupplementaryCount.Format("%d", m_nSupplementary);
}

void CColumnsSelectDlg::FitFlags() { m_flags.resize(static_cast<size_t>(std::max(m_nColumnCount, 0)), 1); }

void CColumnsSelectDlg::FlagsFromChecks() {
    if (!m_list.GetSafeHwnd()) return;
    for (int i = 0; i < m_list.GetCount() && i < static_cast<int>(m_flags.size()); ++i)
        m_flags[static_cast<size_t>(i)] = m_list.GetCheck(i) == BST_CHECKED ? 1 : 0;
}

void CColumnsSelectDlg::ChecksFromFlags() {
    if (!m_list.GetSafeHwnd()) return;
    for (int i = 0; i < m_list.GetCount() && i < static_cast<int>(m_flags.size()); ++i)
        m_list.SetCheck(i, m_flags[static_cast<size_t>(i)] ? BST_CHECKED : BST_UNCHECKED);
}

void CColumnsSelectDlg::Invert() {
    for (int& flag : m_flags) flag = flag ? 0 : 1;
    ChecksFromFlags();
}

void CColumnsSelectDlg::Recount() {
    int checked = 0;
    for (int flag : m_flags) checked += flag;
    int unchecked = static_cast<int>(m_flags.size()) - checked;
    m_nActive = m_nMode == 1 ? checked : unchecked;
    m_nSupplementary = m_nMode == 1 ? unchecked : checked;
}

void CColumnsSelectDlg::ApplyActiveFlags(const std::vector<int>& active) {
    m_flags = active;
    FitFlags();
    m_nMode = 1;
    Recount();
    UpdateCountTexts();
}

void CColumnsSelectDlg::WriteFlags(CStdioFile& file) {
    std::vector<int> active(m_flags.size());
    for (size_t i = 0; i < m_flags.size(); ++i) active[i] = m_flags[i] == m_nMode;
    WriteFlagLines(file, active);
}

BOOL CColumnsSelectDlg::ReadFlags(CStdioFile& file) {
    if (m_nColumnCount == 0) {
        m_nMode = 1;
        return TRUE;
    }
    std::vector<int> flags;
    if (!ReadFlagLines(file, m_nColumnCount, flags)) return FALSE;
    ApplyActiveFlags(flags);
    return TRUE;
}

BOOL CColumnsSelectDlg::OnInitDialog() {
    BOOL result = InitList(m_list, IDC_PAGE_LIST);
    CheckRadioButton(IDC_PAGE_ACTIVE_MODE, IDC_PAGE_SUPPLEMENTARY_MODE,
                     m_nMode == 1 ? IDC_PAGE_ACTIVE_MODE : IDC_PAGE_SUPPLEMENTARY_MODE);
    SetDlgItemText(IDC_PAGE_ITEMS_GROUP, m_strItemsCaption);
    SetDlgItemText(IDC_PAGE_COUNTS_GROUP, m_strCountsCaption);
    if (!m_bShowIdentifiers) ShowItem(IDC_PAGE_IDENTIFIERS, SW_HIDE);
    FitFlags();
    ChecksFromFlags();
    UpdateCountTexts();
    UpdateData(FALSE);
    return result;
}

void CColumnsSelectDlg::DoDataExchange(CDataExchange* dx) {
    CColumnListDlgBase::DoDataExchange(dx);
    // A negative or absurd total would leave no sound list of items: a refused one is
    // not taken.
    int total = m_nColumnCount;
    DDX_Text(dx, IDC_PAGE_TOTAL, total);
    DDV_MinMaxInt(dx, total, 0, kMaxItems);
    m_nColumnCount = total;
    DDX_Text(dx, IDC_PAGE_ACTIVE_COUNT, m_strActiveCount);
    DDX_Text(dx, IDC_PAGE_SUPPLEMENTARY_COUNT, m_strSupplementaryCount);
    DDX_Text(dx, IDC_PAGE_COUNT_LABEL, m_strCountLabel);
}

void CColumnsSelectDlg::OnActiveMode() {
    if (m_nMode == 1) return;
    m_nMode = 1;
    Invert();
}

void CColumnsSelectDlg::OnSupplementaryMode() {
    if (m_nMode == 0) return;
    m_nMode = 0;
    Invert();
}

void CColumnsSelectDlg::OnSelectAll() {
    for (int& flag : m_flags) flag = 1;
    ChecksFromFlags();
    int total = static_cast<int>(m_flags.size());
    m_nActive = m_nMode == 1 ? total : 0;
    m_nSupplementary = m_nMode == 1 ? 0 : total;
    UpdateCountTexts();
    UpdateData(FALSE);
}

void CColumnsSelectDlg::OnIdentifiers() {
    FlagsFromChecks();
    EditColumns(m_list);
    ChecksFromFlags();
}

void CColumnsSelectDlg::OnPageOk() {
    FlagsFromChecks();
    Recount();
    UpdateCountTexts();
    if (m_nActive < 2) {
        UpdateData(FALSE);
        AfxMessageBox(kTooFewActive);
        return;
    }
    UpdateData(FALSE);
    EndDialog(IDOK);
}

void CColumnsSelectDlg::OnPageCancel() { EndDialog(IDCANCEL); }

void CColumnsSelectDlg::OnTotalChanged() {
    if (!UpdateData(TRUE)) return;
    FlagsFromChecks();
    ApplyColumnCount(m_list);
    FitFlags();
    ChecksFromFlags();
    Recount();
    UpdateCountTexts();
    UpdateData(FALSE);
}

void CColumnsSelectDlg::TakeTickChanges() {
    // The flags follow the ticks, item by item; each change moves one item between the
    // two counts as the mode says.
    for (int i = 0; i < m_list.GetCount() && i < static_cast<int>(m_flags.size()); ++i) {
        int ticked = m_list.GetCheck(i) == BST_CHECKED ? 1 : 0;
        int& flag = m_flags[static_cast<size_t>(i)];
        if (flag == ticked) continue;
        flag = ticked;
        int toActive = (ticked == m_nMode) ? 1 : -1;
        m_nActive += toActive;
        m_nSupplementary -= toActive;
    }
    UpdateCountTexts();
    UpdateData(FALSE);
}

void CColumnsSelectDlg::OnTicked() { TakeTickChanges(); }
void CColumnsSelectDlg::OnUnticked() { TakeTickChanges(); }

void CColumnsSelectDlg::OnTextEdited() {
    int i = m_list.GetCaretIndex();
    CString text;
    if (i >= 0 && m_list.GetText(i, text) != LB_ERR) SetItemName(i, text);
}

// --- CRowsSelectDlg ------------------------------------------------------------------------------

CRowsSelectDlg::CRowsSelectDlg(CWnd* parent) : CColumnsSelectDlg(parent) {
    m_list.SetEditable(0);
    m_bShowIdentifiers = 0;
    m_strCountLabel = "Número de Linhas (Amostras):";
    m_strItemsCaption = "Linhas (Amostras):";
    m_strCountsCaption = "Número de Linhas (Amostras):";
}

void CRowsSelectDlg::Refresh() {
    CTabulonDoc* doc = theApp.GetDocument();
    CDataSet* data = doc ? doc->GetDataSet() : nullptr;
    if (!data || !m_pSelection) return;
    int identifier = m_nIdentifier >= 1 && m_nIdentifier <= data->GetVariableCount() ? m_nIdentifier : -1;
    std::vector<CString> labels;
    data->GetCompleteRowLabels(identifier, &labels, *m_pSelection);
    std::vector<int> rows;
    data->GetCompleteRows(*m_pSelection, &rows);
    m_rows = std::move(rows);
    for (size_t i = 0; i < labels.size() && i < m_pages.size(); ++i)
        static_cast<CVariableDlgBase*>(m_pages[i])->SetVariableName(labels[i]);
}

BOOL CRowsSelectDlg::OnInitDialog() {
    Refresh();
    return CColumnsSelectDlg::OnInitDialog();
}

void CRowsSelectDlg::AppendRows(std::vector<int>& rows, bool active) {
    if (m_rows.empty()) Refresh();
    for (size_t i = 0; i < m_flags.size() && i < m_rows.size(); ++i)
        if (IsActiveItem(i) == active) rows.push_back(m_rows[i]);
}

void CRowsSelectDlg::GetActiveRows(std::vector<int>& rows) { AppendRows(rows, true); }
void CRowsSelectDlg::GetSupplementaryRows(std::vector<int>& rows) { AppendRows(rows, false); }

// --- CResultsOptionsDlg --------------------------------------------------------------------------

BEGIN_MESSAGE_MAP(CResultsOptionsDlg, CStepDlg)
    ON_BN_CLICKED(IDC_OPTIONS_DATA, &CResultsOptionsDlg::OnDataClicked)
    ON_BN_CLICKED(IDC_OPTIONS_COORDINATE_FILES, &CResultsOptionsDlg::OnCoordinateFilesClicked)
    ON_EN_KILLFOCUS(IDC_OPTIONS_FACTORS, &CResultsOptionsDlg::OnFactorsKillFocus)
    ON_BN_CLICKED(IDOK, &CResultsOptionsDlg::OnOptionsOk)
    ON_BN_CLICKED(IDCANCEL, &CResultsOptionsDlg::OnOptionsCancel)
END_MESSAGE_MAP()

CResultsOptionsDlg::CResultsOptionsDlg(CWnd* parent) : CStepDlg(IDD_RESULTS_OPTIONS, parent) {}

void CResultsOptionsDlg::SetOptions(int coordinateFiles, int data, int factors, int graphs) {
    m_bCoordinateFiles = coordinateFiles ? 1 : 0;
    m_bData = data ? 1 : 0;
    m_nFactors = factors;
    m_nGraphs = graphs;
}

void CResultsOptionsDlg::WriteParameterLine(CStdioFile& file) {
    file.WriteString(m_bCoordinateFiles ? "1 " : "0 ");
    file.WriteString(m_bData ? "1\n" : "0\n");
}

void CResultsOptionsDlg::WriteConfiguration(CStdioFile& file) {
    file.WriteString(FormatString("%d %d %d %d\n", m_bCoordinateFiles, m_bData, m_nFactors, m_nGraphs));
}

BOOL CResultsOptionsDlg::ParseConfiguration(CStdioFile& file, int values[4]) {
    if (!ReadConfigurationInts(file, values, 4)) return FALSE;
    // Counts the page itself would refuse.
    return values[2] >= 0 && values[2] <= 10000 && values[3] >= 0 && values[3] <= 10000;
}

BOOL CResultsOptionsDlg::ReadConfiguration(CStdioFile& file) {
    int v[4];
    if (!ParseConfiguration(file, v)) return FALSE;
    SetOptions(v[0], v[1], v[2], v[3]);
    return TRUE;
}

int CResultsOptionsDlg::LimitFor(int n) const { return std::max(n, 1); }

CString CResultsOptionsDlg::LoweredMessage(int limit) const {
    return FormatString(
        "O Numero de factores foi alterado para o minimo do nº de variaveis e de amostras. No caso - %d", limit);
}

CString CResultsOptionsDlg::AboveLimitMessage(int limit) const {
    return FormatString(
        "O Numero de factores tem de ser menor ou igual que o minimo do nº de variaveis e de amostra. Neste caso - %d",
        limit);
}

int CFactorOptionsDlg::LimitFor(int n) const { return std::max(n - 1, 1); }

CString CFactorOptionsDlg::LoweredMessage(int limit) const {
    return FormatString(
        "O Numero de factores foi alterado para o minimo do nº de colunas e de linhas menos um. No caso - %d", limit);
}

CString CFactorOptionsDlg::AboveLimitMessage(int limit) const {
    return FormatString(
        "O Numero de factores tem de ser menor ou igual que o minimo do nº de variaveis e de amostra menos 1. Neste "
        "caso - %d",
        limit);
}

void CResultsOptionsDlg::SetMaxFactors(int n, int init, int warn) {
    int limit = LimitFor(n);
    if (init) {
        m_nFactors = m_nLimit = limit;
        return;
    }
    if (m_nFactors > limit) {
        m_nFactors = limit;
        if (warn || AlwaysWarnLowered()) AfxMessageBox(LoweredMessage(limit));
    }
    m_nLimit = limit;
}

void CResultsOptionsDlg::CheckFactorCount() {
    if (!UpdateData(TRUE)) return;
    if (m_nFactors > m_nLimit) {
        AfxMessageBox(AboveLimitMessage(m_nLimit));
        if (CWnd* edit = GetDlgItem(IDC_OPTIONS_FACTORS)) edit->SetFocus();
    }
}

BOOL CResultsOptionsDlg::OnInitDialog() {
    m_bClosing = false;
    CheckDlgButton(IDC_OPTIONS_DATA, m_bData ? BST_CHECKED : BST_UNCHECKED);
    CheckDlgButton(IDC_OPTIONS_COORDINATE_FILES, m_bCoordinateFiles ? BST_CHECKED : BST_UNCHECKED);
    return CStepDlg::OnInitDialog();
}

void CResultsOptionsDlg::DoDataExchange(CDataExchange* dx) {
    CStepDlg::DoDataExchange(dx);
    // Counts out of range are refused and not taken.
    int factors = m_nFactors, graphs = m_nGraphs;
    DDX_Text(dx, IDC_OPTIONS_FACTORS, factors);
    DDV_MinMaxInt(dx, factors, 0, 10000);
    m_nFactors = factors;
    DDX_Text(dx, IDC_OPTIONS_GRAPHS, graphs);
    DDV_MinMaxInt(dx, graphs, 0, 10000);
    m_nGraphs = graphs;
}

void CResultsOptionsDlg::OnDataClicked() { m_bData = m_bData ? 0 : 1; }
void CResultsOptionsDlg::OnCoordinateFilesClicked() { m_bCoordinateFiles = m_bCoordinateFiles ? 0 : 1; }
void CResultsOptionsDlg::OnFactorsKillFocus() {
    // The edit also loses the focus as the page goes away, or to "Cancelar": no check then.
    if (!m_bClosing && !FocusGoesToCancel()) CheckFactorCount();
}

void CResultsOptionsDlg::OnOptionsOk() {
    if (!UpdateData(TRUE)) return;
    if (m_nFactors > m_nLimit) return;
    m_bClosing = true;
    EndDialog(IDOK);
}

void CResultsOptionsDlg::OnOptionsCancel() {
    m_bClosing = true;
    EndDialog(IDCANCEL);
}
