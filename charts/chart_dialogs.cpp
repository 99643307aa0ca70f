#include "charts/chart_dialogs.h"

#include <algorithm>

#include "platform/ui/shell.h"
#include "res/chart_resource_ids.h"
#include "ui/list_controls.h"

namespace {
// Sent by the chart options to the dialog beside which they stand when they hide themselves.
constexpr UINT WM_CHART_OPTIONS_HIDDEN = WM_USER + 0x143;
}  // namespace

// --- CChartPagesDlg ----------------------------------------------------------------------------

CChartPagesDlg::CChartPagesDlg(UINT templateId, CChartWnd* wnd, const std::vector<CPlotPage*>& pageList, int current,
                               CWnd* parent)
    : CDialog(templateId, parent), chartWnd(wnd), pages(pageList), currentPage(current) {}

bool CChartPagesDlg::CreateBeside(UINT templateId, CWnd* parent) {
    besideWnd = parent;
    return Create(templateId, parent) != FALSE;
}

BOOL CChartPagesDlg::OnInitDialog() {
    CDialog::OnInitDialog();
    PlaceBeside();
    return TRUE;
}

void CChartPagesDlg::PlaceBeside() {
    if (!besideWnd || !besideWnd->GetSafeHwnd()) return;
    CRect theirs, theirClient, mine;
    besideWnd->GetWindowRect(&theirs);
    besideWnd->GetClientRect(&theirClient);
    besideWnd->ClientToScreen(&theirClient);
    GetClientRect(&mine);
    // This frame is not drawn yet: it is taken to be as wide as the parent's.
    const int width = mine.Width() + (theirs.Width() - theirClient.Width());
    const int height = std::max(mine.Height() + (theirs.Height() - theirClient.Height()), theirs.Height());
    int x = theirs.right, y = theirs.top;
    CRect area;
    if (SystemParametersInfo(SPI_GETWORKAREA, 0, &area, 0)) {
        x = std::max(std::min(x, static_cast<int>(area.right) - width), static_cast<int>(area.left));
        y = std::max(std::min(y, static_cast<int>(area.bottom) - height), static_cast<int>(area.top));
    }
    MoveWindow(x, y, width, height);
}

void CChartPagesDlg::SetCurrentPage(int index) { currentPage = index; }

// --- CChartOptionsDlg --------------------------------------------------------------------------

namespace {
// Shown when "Todos" changed ticks: they apply to the page shown only.
const char* const kTicksOnCurrentPage =
    "Você alterou o estado de alguns marcadores. Este estado apenas será alterado no gráfico actual.\n"
    "O resto das alterações serão efectuadas também nos outros gráficos";
}  // namespace

BEGIN_MESSAGE_MAP(CChartOptionsDlg, CChartPagesDlg)
    ON_BN_CLICKED(IDC_OPTIONS_APPLY_CURRENT, &CChartOptionsDlg::OnApplyCurrent)
    ON_BN_CLICKED(IDC_OPTIONS_APPLY_ALL, &CChartOptionsDlg::OnApplyAll)
    ON_BN_CLICKED(IDC_OPTIONS_TICK_ALL, &CChartOptionsDlg::OnTickAll)
    ON_BN_CLICKED(IDC_OPTIONS_UNTICK_ALL, &CChartOptionsDlg::OnUntickAll)
END_MESSAGE_MAP()

CChartOptionsDlg::CChartOptionsDlg(CChartWnd* wnd, const std::vector<CPlotPage*>& pageList, int index, CWnd* parent)
    : CChartPagesDlg(IDD_CHART_OPTIONS, wnd, pageList, index, parent) {
    if (CScatterChart* first = Chart(0)) fillMarkers = first->IsFilled() ? 1 : 0;
}

CChartOptionsDlg::~CChartOptionsDlg() {
    if (GetSafeHwnd()) DestroyWindow();
}

CScatterChart* CChartOptionsDlg::Chart(int index) const {
    if (index < 0 || static_cast<size_t>(index) >= pages.size()) return nullptr;
    return dynamic_cast<CScatterChart*>(pages[static_cast<size_t>(index)]);
}

void CChartOptionsDlg::DoDataExchange(CDataExchange* dx) {
    CDialog::DoDataExchange(dx);
    DDX_Control(dx, IDC_OPTIONS_POINTS, pointList);
    DDX_Control(dx, IDC_OPTIONS_MARKER_SIZE, slider);
    DDX_Check(dx, IDC_OPTIONS_FILLED, fillMarkers);
}

BOOL CChartOptionsDlg::OnInitDialog() {
    CChartPagesDlg::OnInitDialog();
    pointList.SetColumnWidth(40);
    slider.SetRange(1, 5);
    return TRUE;
}

void CChartOptionsDlg::SetCurrentPage(int index, BOOL rebuild) {
    CChartPagesDlg::SetCurrentPage(index);
    CScatterChart* chart = Chart(index);
    if (!chart) return;
    fillMarkers = chart->IsFilled() ? 1 : 0;
    appliedPosition = chart->GetMarkerSize() - 1;
    if (!GetSafeHwnd()) return;
    slider.SetPos(appliedPosition);
    // The list always follows the page shown: the ticks of another page's points must not
    // be read against this one.
    if (rebuild || pointList.GetCount() != chart->GetPointCount()) {
        pointList.ResetContent();
        CClientDC dc(&pointList);
        int widest = 0;
        for (int i = 0; i < chart->GetPointCount(); ++i) {
            const CString label = chart->GetLabel(i);
            pointList.AddString(label);
            widest = std::max<int>(widest, dc.GetTextExtent(label).cx);
        }
        pointList.SetColumnWidth(4 * widest / 3 + 10);
    }
    for (int i = 0; i < pointList.GetCount(); ++i)
        pointList.SetCheck(i, chart->IsPointVisible(i) ? BST_CHECKED : BST_UNCHECKED);
    UpdateData(FALSE);
}

void CChartOptionsDlg::OnCancel() {
    ShowWindow(SW_HIDE);
    if (besideWnd && besideWnd->GetSafeHwnd()) besideWnd->SendMessage(WM_CHART_OPTIONS_HIDDEN);
}

void CChartOptionsDlg::Redraw() {
    if (!chartWnd) return;
    chartWnd->Invalidate();
    chartWnd->UpdateWindow();
}

bool CChartOptionsDlg::ApplyTicks(CScatterChart* chart) {
    bool changed = false;
    for (int i = 0; i < pointList.GetCount() && i < chart->GetPointCount(); ++i) {
        const bool ticked = pointList.GetCheck(i) == BST_CHECKED;
        if (ticked == chart->IsPointVisible(i)) continue;
        chart->SetPointVisible(i, ticked);
        changed = true;
    }
    return changed;
}

void CChartOptionsDlg::OnApplyCurrent() {
    CScatterChart* chart = Chart(currentPage);
    if (!chart) return;
    UpdateData(TRUE);
    bool changed = false;
    if ((fillMarkers != 0) != chart->IsFilled()) {
        chart->SetFilled(fillMarkers != 0);
        changed = true;
    }
    if (slider.GetPos() != appliedPosition) {
        appliedPosition = slider.GetPos();
        chart->SetMarkerSize(appliedPosition + 1);
        changed = true;
    }
    changed |= ApplyTicks(chart);
    if (changed) Redraw();
}

void CChartOptionsDlg::OnApplyAll() {
    CScatterChart* current = Chart(currentPage);
    if (!current) return;
    UpdateData(TRUE);
    if ((fillMarkers != 0) != current->IsFilled()) {
        for (int i = 0; i < static_cast<int>(pages.size()); ++i)
            if (CScatterChart* chart = Chart(i)) chart->SetFilled(fillMarkers != 0);
        Redraw();
    }
    if (slider.GetPos() != appliedPosition) {
        appliedPosition = slider.GetPos();
        for (int i = 0; i < static_cast<int>(pages.size()); ++i)
            if (CScatterChart* chart = Chart(i)) chart->SetMarkerSize(appliedPosition + 1);
        Redraw();
    }
    if (ApplyTicks(current)) {
        AfxMessageBox(kTicksOnCurrentPage, MB_OK);
        Redraw();
    }
}

void CChartOptionsDlg::OnTickAll() {
    for (int i = 0; i < pointList.GetCount(); ++i) pointList.SetCheck(i, BST_CHECKED);
}

void CChartOptionsDlg::OnUntickAll() {
    for (int i = 0; i < pointList.GetCount(); ++i) pointList.SetCheck(i, BST_UNCHECKED);
}

// --- CChartWindowDlg ---------------------------------------------------------------------------

BEGIN_MESSAGE_MAP(CChartWindowDlg, CDialog)
    ON_LBN_SELCHANGE(IDC_PAGE_LIST, &CChartWindowDlg::OnPageSelected)
    ON_BN_CLICKED(IDC_CHART_PREVIOUS, &CChartWindowDlg::OnPrevious)
    ON_BN_CLICKED(IDC_SHOW_IDENTIFIERS, &CChartWindowDlg::OnShowIdentifiers)
    ON_BN_CLICKED(IDC_SHOW_CONDITIONING, &CChartWindowDlg::OnShowConditioning)
    ON_BN_CLICKED(IDC_PLANES_ACTIVE, &CChartWindowDlg::OnActive)
    ON_BN_CLICKED(IDC_PLANES_SUPPLEMENTARY, &CChartWindowDlg::OnSupplementary)
    ON_BN_CLICKED(IDC_PLANES_COMBINED, &CChartWindowDlg::OnCombined)
    ON_BN_CLICKED(IDC_OPTIONS_TOGGLE, &CChartWindowDlg::OnOptions)
    ON_MESSAGE(WM_CHART_OPTIONS_HIDDEN, &CChartWindowDlg::OnOptionsHidden)
END_MESSAGE_MAP()

CChartWindowDlg::CChartWindowDlg(const std::vector<CPlotPage*>& pages, int, int index, UINT templateId, CWnd* parent)
    : CDialog(templateId, parent), shown(&pages), currentIndex(index) {
    chartWnd.SetPage(CurrentPage(), TRUE);
}

CChartWindowDlg::CChartWindowDlg(const std::vector<CPlotPage*>& activePages,
                                 const std::vector<CPlotPage*>& supplementaryPages,
                                 const std::vector<CPlotPage*>& combinedPages, CWnd* parent)
    : CDialog(IDD_CHART_WINDOW, parent), factorial(1), shown(&activePages), active(&activePages),
      supplementary(&supplementaryPages), combined(&combinedPages) {
    // The first set that has planes (a results set may have no active planes).
    if (!active->empty()) {
        activeSelected = 1;
    } else if (!supplementary->empty()) {
        shown = supplementary;
        supplementarySelected = 1;
    } else {
        shown = combined;
        combinedSelected = 1;
    }
    chartWnd.SetPage(CurrentPage(), TRUE);
}

CChartWindowDlg::~CChartWindowDlg() {
    // The options' window goes first.
    if (options && options->GetSafeHwnd()) options->DestroyWindow();
}

CPlotPage* CChartWindowDlg::CurrentPage() const {
    if (currentIndex < 0 || static_cast<size_t>(currentIndex) >= shown->size()) return nullptr;
    return (*shown)[static_cast<size_t>(currentIndex)];
}

void CChartWindowDlg::ShowIdentifiersOption(bool show) {
    identifiersOption = show && !shown->empty() && shown->front() && shown->front()->GetPointCount() < 1000 ? 1 : 0;
}

void CChartWindowDlg::DoDataExchange(CDataExchange* dx) {
    CDialog::DoDataExchange(dx);
    DDX_Control(dx, IDC_CHART_AREA, chartWnd);
}

void CChartWindowDlg::FillPageList() {
    pageList.ResetContent();
    for (CPlotPage* page : *shown) pageList.AddString(page ? page->GetName() : CString());
    pageList.SetCurSel(currentIndex);
}

BOOL CChartWindowDlg::OnInitDialog() {
    pageList.SubclassDlgItem(IDC_PAGE_LIST, this);
    FillPageList();
    CDialog::OnInitDialog();
    SetWindowText(caption);
    GetDlgItem(IDC_SHOW_IDENTIFIERS)->ShowWindow(identifiersOption ? SW_SHOW : SW_HIDE);
    CheckDlgButton(IDC_SHOW_IDENTIFIERS, showAllIdentifiers ? BST_CHECKED : BST_UNCHECKED);
    GetDlgItem(IDC_SHOW_CONDITIONING)->ShowWindow(conditioningOption ? SW_SHOW : SW_HIDE);
    CheckDlgButton(IDC_SHOW_CONDITIONING, showConditioning ? BST_CHECKED : BST_UNCHECKED);
    GetDlgItem(IDC_OPTIONS_TOGGLE)->EnableWindow(CurrentPage() && !CurrentPage()->HasNoPoints());
    if (factorial) {
        GetDlgItem(IDC_PLANES_SUPPLEMENTARY)->EnableWindow(!supplementary->empty());
        GetDlgItem(IDC_PLANES_ACTIVE)->EnableWindow(!active->empty());
        GetDlgItem(IDC_PLANES_COMBINED)->EnableWindow(!active->empty() && !supplementary->empty());
        CheckDlgButton(IDC_PLANES_ACTIVE, activeSelected ? BST_CHECKED : BST_UNCHECKED);
        CheckDlgButton(IDC_PLANES_SUPPLEMENTARY, supplementarySelected ? BST_CHECKED : BST_UNCHECKED);
        CheckDlgButton(IDC_PLANES_COMBINED, combinedSelected ? BST_CHECKED : BST_UNCHECKED);
    } else {
        for (int id : {IDC_PLANES_ACTIVE, IDC_PLANES_SUPPLEMENTARY, IDC_PLANES_COMBINED})
            GetDlgItem(id)->ShowWindow(SW_HIDE);
    }
    GetDlgItem(IDC_CHART_PREVIOUS)->EnableWindow(previousEnabled != 0);
    return FALSE;
}

void CChartWindowDlg::OnOK() {
    if (CPlotPage* page = CurrentPage()) page->ReleaseElementBitmaps();
    EndDialog(IDOK);
}

void CChartWindowDlg::OnCancel() { EndDialog(STEP_FINISH); }

void CChartWindowDlg::OnPrevious() { EndDialog(STEP_PREVIOUS); }

void CChartWindowDlg::OnPageSelected() {
    if (CPlotPage* page = CurrentPage()) page->ReleaseElementBitmaps();
    const int selected = pageList.GetCurSel();
    if (selected < 0) return;
    currentIndex = selected;
    chartWnd.SetPage(CurrentPage());
    if (options) options->SetCurrentPage(OptionsIndex(), TRUE);
}

int CChartWindowDlg::OptionsIndex() const {
    if (!factorial) return currentIndex;
    int index = currentIndex;
    if (shown == supplementary) index += static_cast<int>(active->size());
    if (shown == combined) index += static_cast<int>(active->size() + supplementary->size());
    return index;
}

void CChartWindowDlg::OnOptions() {
    CPlotPage* page = CurrentPage();
    if (!options && page && !page->HasNoPoints()) {
        options = std::make_unique<CChartOptionsDlg>(&chartWnd, AllPages(), OptionsIndex());
        if (!options->CreateBeside(IDD_CHART_OPTIONS, this)) {
            options.reset();
            return;
        }
        options->SetCurrentPage(OptionsIndex(), TRUE);
    }
    if (!options) return;
    optionsShown = optionsShown ? 0 : 1;
    options->ShowWindow(optionsShown ? SW_SHOW : SW_HIDE);
    SetDlgItemText(IDC_OPTIONS_TOGGLE, optionsShown ? "<<" : ">>");
}

LRESULT CChartWindowDlg::OnOptionsHidden(WPARAM, LPARAM) {
    optionsShown = 0;
    SetDlgItemText(IDC_OPTIONS_TOGGLE, ">>");
    return 0;
}

std::vector<CPlotPage*> CChartWindowDlg::AllPages() const {
    if (!factorial) return *shown;
    std::vector<CPlotPage*> all(active->begin(), active->end());
    all.insert(all.end(), supplementary->begin(), supplementary->end());
    all.insert(all.end(), combined->begin(), combined->end());
    return all;
}

void CChartWindowDlg::OnShowIdentifiers() {
    showAllIdentifiers = showAllIdentifiers ? 0 : 1;
    for (CPlotPage* page : AllPages())
        if (page) page->ShowAllLabels(showAllIdentifiers != 0);
    chartWnd.SetPage(CurrentPage());
}

void CChartWindowDlg::OnShowConditioning() {
    showConditioning = showConditioning ? 0 : 1;
    for (CPlotPage* page : AllPages())
        if (page) page->ShowConditioning(showConditioning != 0);
    chartWnd.SetPage(CurrentPage());
}

void CChartWindowDlg::ShowSet(const std::vector<CPlotPage*>* set, int which) {
    if (!factorial || set->empty()) return;
    if (CPlotPage* page = CurrentPage()) page->ReleaseElementBitmaps();
    shown = set;
    // The same plane of the other set; a shorter set shows its last plane.
    currentIndex = std::clamp(currentIndex, 0, static_cast<int>(shown->size()) - 1);
    FillPageList();
    chartWnd.SetPage(CurrentPage());
    activeSelected = which == 0 ? 1 : 0;
    supplementarySelected = which == 1 ? 1 : 0;
    combinedSelected = which == 2 ? 1 : 0;
    if (options) options->SetCurrentPage(OptionsIndex(), TRUE);
}

void CChartWindowDlg::OnActive() { ShowSet(active, 0); }
void CChartWindowDlg::OnSupplementary() { ShowSet(supplementary, 1); }
void CChartWindowDlg::OnCombined() { ShowSet(combined, 2); }

// --- CSingleChartDlg ---------------------------------------------------------------------------

CSingleChartDlg::CSingleChartDlg(CPlotPage* page, CWnd* parent) : CDialog(IDD_SINGLE_CHART, parent) {
    chartWnd.SetPage(page, TRUE);
}

void CSingleChartDlg::DoDataExchange(CDataExchange* dx) {
    CDialog::DoDataExchange(dx);
    DDX_Control(dx, IDC_CHART_AREA, chartWnd);
}

BOOL CSingleChartDlg::OnInitDialog() {
    CDialog::OnInitDialog();
    if (!caption.IsEmpty()) SetWindowText(caption);
    return TRUE;
}

// --- CMatrixResultsDlg -------------------------------------------------------------------------

BEGIN_MESSAGE_MAP(CMatrixResultsDlg, CDialog)
    ON_BN_CLICKED(IDC_CHART_PREVIOUS, &CMatrixResultsDlg::OnPrevious)
END_MESSAGE_MAP()

CMatrixResultsDlg::CMatrixResultsDlg(CDataTable* matrix, int header, CWnd* parent)
    : CDialog(IDD_MATRIX_RESULTS, parent), headerShown(header), table(matrix),
      list(std::make_unique<CCopyListCtrl>()) {}

CMatrixResultsDlg::~CMatrixResultsDlg() = default;

BOOL CMatrixResultsDlg::OnInitDialog() {
    list->SubclassDlgItem(IDC_MATRIX_LIST, this);
    header.SubclassDlgItem(IDC_MATRIX_HEADER, this);
    header.SetPage(&headerPage, TRUE);
    list->SetExtendedStyle(LVS_EX_GRIDLINES);
    list->SetTable(table);
    if (table) table->FillListCtrl(list.get());
    header.ShowWindow(headerShown ? SW_SHOW : SW_HIDE);
    SetWindowText(caption);
    GetDlgItem(IDC_CHART_PREVIOUS)->EnableWindow(previousEnabled != 0);
    return CDialog::OnInitDialog();
}

void CMatrixResultsDlg::OnCancel() { EndDialog(STEP_FINISH); }

void CMatrixResultsDlg::OnPrevious() { EndDialog(STEP_PREVIOUS); }
