// The histogram command's pieces: the page on which the user sets the number of classes of
// each variable, and the histogram chart of one variable.
#pragma once

#include <vector>

#include "charts/plot_page.h"
#include "stats/order_statistics.h"

class CClassCountDlg : public CDialog {
public:
    CClassCountDlg(COrderStatistics* stats, CWnd* parent = nullptr);

    std::vector<int>& GetClassCounts() { return m_counts; }
    // The default count of a variable with n present values: floor(sqrt(n)) + 1, at most 25.
    static int DefaultClassCount(int n);

    BOOL OnInitDialog() override;
    void DoDataExchange(CDataExchange* dx) override;
    void OnOK() override;
    void OnCancel() override;
    void OnVariableSelected();
    void OnCountKillFocus();
    void OnAllVariables();
    void OnNext();
    void OnPrevious();

    DECLARE_MESSAGE_MAP()

private:
    COrderStatistics* m_pStats;
    std::vector<int> m_counts;
    int m_nSelected = 0;
    int m_nCount = 0;
    // The edit's text that leaving the edit last refused, while it stands.
    bool m_bRefused = false;
    CString m_strRefused;
    CListBox m_list;
};

class CHistogramChart : public CPlotChart {
public:
    // Bounds in double, so that values beyond single precision are classed and labelled.
    struct Class {
        double lower = 0.0;
        double upper = 0.0;
        int count = 0;
    };
    // Builds the classes of variable position (from 0) and counts its values at once. A
    // qualitative variable with at most 25 codes gets one bar per code; one with more is
    // grouped into 25 equal classes, after a message.
    CHistogramChart(COrderStatistics* stats, int classCount, int position, const CString& variableName);
    ~CHistogramChart() override;

    void DrawHeader(CDC* dc, CFont* titleFont, CFont* labelFont, CFont* textFont) override;
    void Draw(CDC* dc, int left, int top, int right, int bottom) override;
    void DrawXTicks(CDC* dc, const CRect& frame) override;

    const std::vector<Class>& GetClasses() const { return m_classes; }
    bool IsOneBarPerValue() const { return m_bOneBarPerValue; }

    // The x-label layout for the given drawing width: digits before the point, decimals,
    // two rows, and the power of ten the labels are divided by (0 when none).
    struct LabelLayout {
        int digits = 1;
        int decimals = 0;
        bool twoRows = false;
        int exponent = 0;
        bool scaled = false;
    };
    static LabelLayout ComputeLabelLayout(int width, int classes, double first, double last);
    static CString FormatLabel(double value, const LabelLayout& layout);

private:
    int SlotWidth() const;
    int SlotsLeft() const;

    [[maybe_unused]] int m_nPosition;
    const CVariableDesc* m_pVariable;
    CString m_strVariable;
    std::vector<Class> m_classes;
    bool m_bOneBarPerValue = false;
    int m_nMaxCount = 0;
};
