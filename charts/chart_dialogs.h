// The modal dialogs in which charts and matrices are shown: a chart window with a list of
// pages (and, for factorial planes, the choice of active, supplementary or combined
// planes), a single chart, and a matrix in a copyable list with an optional header.
#pragma once

#include <memory>
#include <vector>

#include "charts/chart_wnd.h"
#include "charts/special_pages.h"
#include "ui/dialog_bases.h"

class CCopyListCtrl;

// The base of the modeless dialogs that work on the pages of a chart window.
class CChartPagesDlg : public CDialog {
public:
    CChartPagesDlg(UINT templateId, CChartWnd* chartWnd, const std::vector<CPlotPage*>& pages, int currentPage,
                   CWnd* parent);
    // Creates the dialog modeless, its frame's top-left corner at the parent's top-right
    // corner (moved only as far as it must be to lie inside the work area), its own width
    // and the height of the taller of the two. False when it cannot be made.
    bool CreateBeside(UINT templateId, CWnd* parent);
    virtual void SetCurrentPage(int index);
    int GetCurrentPage() const { return currentPage; }

    BOOL OnInitDialog() override;

protected:
    CChartWnd* chartWnd;
    std::vector<CPlotPage*> pages;
    int currentPage;
    // The window this dialog stands beside.
    CWnd* besideWnd = nullptr;

private:
    // Places the frame beside besideWnd; done before the dialog is first shown, so that the
    // window manager puts the frame, title bar included, where it is asked.
    void PlaceBeside();
};

// The modeless options beside the chart window dialog: which points of the current page are
// shown, the size of the markers and whether they are filled, for this page or all pages.
class CChartOptionsDlg : public CChartPagesDlg {
public:
    CChartOptionsDlg(CChartWnd* chartWnd, const std::vector<CPlotPage*>& pages, int index, CWnd* parent = nullptr);
    ~CChartOptionsDlg() override;
    // Shows the page's settings; with rebuild, its points are listed anew.
    void SetCurrentPage(int index, BOOL rebuild);
    void SetCurrentPage(int index) override { SetCurrentPage(index, TRUE); }

    BOOL OnInitDialog() override;
    void DoDataExchange(CDataExchange* dx) override;
    // Escape and the close button hide the options; the chart window dialog is told, so
    // that its button follows.
    void OnCancel() override;
    void OnApplyCurrent();
    void OnApplyAll();
    void OnTickAll();
    void OnUntickAll();
    CCheckListBox& GetPointList() { return pointList; }
    CSliderCtrl& GetSlider() { return slider; }

    DECLARE_MESSAGE_MAP()

private:
    CScatterChart* Chart(int index) const;
    // The ticks that differ from the page's visibility become the page's; true when any did.
    bool ApplyTicks(CScatterChart* chart);
    void Redraw();

    CCheckListBox pointList;
    CSliderCtrl slider;
    int fillMarkers = 0;
    int appliedPosition = 0;
};

class CChartWindowDlg : public CDialog {
public:
    // The pages (not owned) stay with the caller; pages[index] is shown first.
    CChartWindowDlg(const std::vector<CPlotPage*>& pages, int unused, int index, UINT templateId = 174,
                    CWnd* parent = nullptr);
    // Factorial planes: three sets, the active one shown first (or the first set that has
    // planes).
    CChartWindowDlg(const std::vector<CPlotPage*>& active, const std::vector<CPlotPage*>& supplementary,
                    const std::vector<CPlotPage*>& combined, CWnd* parent = nullptr);
    ~CChartWindowDlg() override;

    void SetCaption(const CString& text) { caption = text; }
    // The check is shown when asked and the first page has fewer than 1000 points.
    void ShowIdentifiersOption(bool show);
    void SetShowAllIdentifiers(bool show) { showAllIdentifiers = show ? 1 : 0; }
    bool GetShowAllIdentifiers() const { return showAllIdentifiers != 0; }
    void ShowConditioningOption(bool show) { conditioningOption = show ? 1 : 0; }
    void SetShowConditioning(bool show) { showConditioning = show ? 1 : 0; }
    bool GetShowConditioning() const { return showConditioning != 0; }
    void SetPreviousDisabled(bool disabled) { previousEnabled = disabled ? 0 : 1; }

    CChartWnd& GetChartWnd() { return chartWnd; }
    int GetCurrentIndex() const { return currentIndex; }
    const std::vector<CPlotPage*>& GetShownPages() const { return *shown; }

    BOOL OnInitDialog() override;
    void DoDataExchange(CDataExchange* dx) override;
    void OnOK() override;
    void OnCancel() override;
    void OnPrevious();
    void OnPageSelected();
    void OnShowIdentifiers();
    void OnShowConditioning();
    void OnActive();
    void OnSupplementary();
    void OnCombined();
    void OnOptions();
    // The options were hidden from their own window.
    LRESULT OnOptionsHidden(WPARAM, LPARAM);
    CChartOptionsDlg* GetOptionsDlg() const { return options.get(); }

    DECLARE_MESSAGE_MAP()

private:
    CPlotPage* CurrentPage() const;
    void FillPageList();
    void ShowSet(const std::vector<CPlotPage*>* set, int which);
    // Every page the options apply to: the pages shown, or all three sets of planes.
    std::vector<CPlotPage*> AllPages() const;
    // The index of the page shown in the options' list (all three sets for planes).
    int OptionsIndex() const;

    int previousEnabled = 1;
    BYTE activeSelected = 0, supplementarySelected = 0, combinedSelected = 0;
    BYTE identifiersOption = 0;
    BYTE conditioningOption = 0;
    BYTE factorial = 0;
    const std::vector<CPlotPage*>* shown;
    const std::vector<CPlotPage*>* active = nullptr;
    const std::vector<CPlotPage*>* supplementary = nullptr;
    const std::vector<CPlotPage*>* combined = nullptr;
    CString caption;
    std::unique_ptr<CChartOptionsDlg> options;
    BYTE optionsShown = 0;
    int currentIndex = 0;
    CChartWnd chartWnd;
    CListBox pageList;
    BYTE showAllIdentifiers = 0;
    BYTE showConditioning = 1;
};

// One chart page (the scree plot) with a "Sair" button.
class CSingleChartDlg : public CDialog {
public:
    explicit CSingleChartDlg(CPlotPage* page, CWnd* parent = nullptr);
    void SetCaption(const CString& text) { caption = text; }
    CChartWnd& GetChartWnd() { return chartWnd; }
    BOOL OnInitDialog() override;
    void DoDataExchange(CDataExchange* dx) override;

private:
    CChartWnd chartWnd;
    CString caption;
};

// A matrix or table in a copyable list, with the correlation header above it when shown.
class CMatrixResultsDlg : public CDialog {
public:
    CMatrixResultsDlg(CDataTable* table, int headerShown, CWnd* parent = nullptr);
    ~CMatrixResultsDlg() override;
    void SetCaption(const CString& text) { caption = text; }
    void SetPreviousDisabled(bool disabled) { previousEnabled = disabled ? 0 : 1; }
    BOOL OnInitDialog() override;
    void OnCancel() override;
    void OnPrevious();

    DECLARE_MESSAGE_MAP()

private:
    int previousEnabled = 1;
    int headerShown;
    CDataTable* table;
    CCorrelationPage headerPage;
    CString caption;
    CChartWnd header;
    std::unique_ptr<CCopyListCtrl> list;
};
