// Histograms: equal-width classes between a variable's minimum and maximum (a value on an
// inner bound belongs to the class below it), or one bar per code of a qualitative variable.
#include "stats/histogram.h"

#include <algorithm>
#include <cmath>
#include <cstdio>

#include "ui/dialog_bases.h"

namespace {
constexpr int kMaxClasses = 25;
constexpr int IDC_CLASS_COUNT = 1000;
constexpr int IDC_CLASS_VARIABLES = 1078;
constexpr int IDC_CLASS_ALL = 1141;
constexpr int IDC_CLASS_NEXT = 1192;
constexpr int IDC_CLASS_PREVIOUS = 1193;
}  // namespace

// --- CClassCountDlg --------------------------------------------------------------------------

BEGIN_MESSAGE_MAP(CClassCountDlg, CDialog)
    ON_LBN_SELCHANGE(IDC_CLASS_VARIABLES, &CClassCountDlg::OnVariableSelected)
    ON_EN_KILLFOCUS(IDC_CLASS_COUNT, &CClassCountDlg::OnCountKillFocus)
    ON_BN_CLICKED(IDC_CLASS_ALL, &CClassCountDlg::OnAllVariables)
    ON_BN_CLICKED(IDC_CLASS_NEXT, &CClassCountDlg::OnNext)
    ON_BN_CLICKED(IDC_CLASS_PREVIOUS, &CClassCountDlg::OnPrevious)
END_MESSAGE_MAP()

int CClassCountDlg::DefaultClassCount(int n) {
    const int root = static_cast<int>(std::floor(std::sqrt(static_cast<double>(std::max(n, 0)))));
    return std::min(root + 1, kMaxClasses);
}

CClassCountDlg::CClassCountDlg(COrderStatistics* stats, CWnd* parent) : CDialog(173, parent), m_pStats(stats) {
    for (int i = 0; i < stats->GetVariableCount(); ++i) m_counts.push_back(DefaultClassCount(stats->GetValueCount(i)));
    if (!m_counts.empty()) m_nCount = m_counts[0];
}

void CClassCountDlg::DoDataExchange(CDataExchange* dx) {
    CDialog::DoDataExchange(dx);
    DDX_Text(dx, IDC_CLASS_COUNT, m_nCount);
    DDV_MinMaxInt(dx, m_nCount, 5, kMaxClasses);
}

BOOL CClassCountDlg::OnInitDialog() {
    CDialog::OnInitDialog();
    m_list.SubclassDlgItem(IDC_CLASS_VARIABLES, this);
    m_bRefused = false;
    for (int i = 0; i < m_pStats->GetVariableCount(); ++i) m_list.AddString(m_pStats->GetVariableName(i));
    m_nSelected = 0;
    if (!m_counts.empty()) {
        m_list.SetCurSel(0);
        m_nCount = m_counts[0];
        GetDlgItem(IDC_CLASS_COUNT)->EnableWindow(m_pStats->GetVariableType(1) != 0);
    }
    UpdateData(FALSE);
    return TRUE;
}

void CClassCountDlg::OnVariableSelected() {
    const int i = m_list.GetCurSel();
    if (i < 0 || i >= static_cast<int>(m_counts.size())) return;
    m_nSelected = i;
    m_bRefused = false;
    const bool quantitative = m_pStats->GetVariableType(i + 1) != 0;
    if (quantitative) m_nCount = m_counts[static_cast<size_t>(i)];
    GetDlgItem(IDC_CLASS_COUNT)->EnableWindow(quantitative);
    UpdateData(FALSE);
}

void CClassCountDlg::OnCountKillFocus() {
    // Leaving the edit because the page has ended (a button, or Escape) or for "Cancelar"
    // checks nothing: the page's result does not depend on the edit, and the press on a
    // button has already taken the focus from it once, with its one refusal.
    if (m_counts.empty() || HasEnded() || FocusGoesToCancel()) return;
    m_bRefused = !UpdateData(TRUE);
    if (m_bRefused) {
        GetDlgItemText(IDC_CLASS_COUNT, m_strRefused);
        return;
    }
    m_counts[static_cast<size_t>(m_nSelected)] = m_nCount;
}

void CClassCountDlg::OnAllVariables() {
    // A click on the button first takes the focus from the edit, whose check has then just
    // refused this very text: the refusal is not shown a second time.
    if (m_bRefused) {
        CString text;
        GetDlgItemText(IDC_CLASS_COUNT, text);
        if (text == m_strRefused) return;
    }
    if (!UpdateData(TRUE)) return;
    std::fill(m_counts.begin(), m_counts.end(), m_nCount);
}

void CClassCountDlg::OnNext() { EndDialog(STEP_NEXT); }
void CClassCountDlg::OnPrevious() { EndDialog(STEP_PREVIOUS); }
void CClassCountDlg::OnOK() {}
void CClassCountDlg::OnCancel() { EndDialog(STEP_CANCEL); }

// --- CHistogramChart -------------------------------------------------------------------------

CHistogramChart::CHistogramChart(COrderStatistics* stats, int classCount, int position, const CString& variableName)
    : CPlotChart(variableName), m_nPosition(position), m_pVariable(stats->GetVariable(position)),
      m_strVariable(variableName) {
    title = "Histograma";
    int k = std::max(1, classCount);
    if (stats->GetVariableType(position + 1) == 0) {
        std::vector<float> codes;
        const int distinct = stats->GetDistinctValues(position, codes);
        if (distinct <= kMaxClasses) {
            m_bOneBarPerValue = true;
            for (float v : codes) m_classes.push_back({v, v, 0});
        } else {
            k = kMaxClasses;
            AfxMessageBox("Algumas modalidades foram agrupadas", MB_OK);
        }
    }
    if (!m_bOneBarPerValue) {
        const double low = stats->GetMin(position);
        const double high = stats->GetMax(position);
        // A range beyond the largest double is divided end by end.
        double width = (high - low) / k;
        if (!std::isfinite(width)) width = high / k - low / k;
        double bound = low;
        for (int c = 0; c < k; ++c) {
            const double upper = bound + width;
            m_classes.push_back({bound, upper, 0});
            bound = upper;
        }
        m_classes.back().upper = high;
    }
    for (size_t c = 0; c < m_classes.size(); ++c) {
        m_classes[c].count = stats->CountBelow(m_classes[c].upper, position, c == 0, 0);
        m_nMaxCount = std::max(m_nMaxCount, m_classes[c].count);
    }
    yHasDecimals = 0;
    yDecimals = 0;
    if (m_nMaxCount < 8) {
        yLow = 0.0f;
        yHigh = static_cast<float>(std::max(1, m_nMaxCount));
        yStep = 1.0f;
        yTickCount = std::max(1, m_nMaxCount);
    } else {
        ComputeAxisScale(0.0f, static_cast<float>(m_nMaxCount), yLow, yHigh, yStep, yTickCount, yHasDecimals,
                         yDecimals);
    }
}

CHistogramChart::~CHistogramChart() = default;

void CHistogramChart::DrawHeader(CDC* dc, CFont* titleFont, CFont* labelFont, CFont* textFont) {
    CPlotChart::DrawHeader(dc, titleFont, labelFont, textFont);
    if (!dc) return;
    CFont* before = labelFont ? dc->SelectObject(labelFont) : nullptr;
    const CString label = "Variável:";
    const CSize size = dc->GetTextExtent(label);
    dc->TextOut(200, 9 * size.cy, label);
    if (textFont) dc->SelectObject(textFont);
    dc->TextOut(220 + size.cx, 9 * size.cy + 7, m_strVariable);
    if (before) dc->SelectObject(before);
}

CHistogramChart::LabelLayout CHistogramChart::ComputeLabelLayout(int width, int classes, double first, double last) {
    LabelLayout layout;
    const int k = std::max(1, classes);
    const int B = std::max(1, static_cast<int>(std::floor((width / 5.0 - k) / (k + 1))));
    const int sign = first < 0.0 ? 2 : 1;
    // The integer part must hold the longer of the two ends. An end that is not a finite
    // number is written as such and gives the others no digits.
    auto finite = [](double v) { return std::isfinite(v) ? std::fabs(v) : 0.0; };
    const double magnitude = std::max(finite(first), finite(last));
    int D = magnitude <= 1.0 ? sign : static_cast<int>(std::floor(std::log10(magnitude))) + sign;
    // A zero range (one value) takes the scale of the value itself; a range without a
    // finite size counts as a wide one.
    const double range = last - first;
    const double R = !std::isfinite(range) ? HUGE_VAL
                     : range > 0.0         ? std::log10(range)
                     : (magnitude > 0.0 ? std::log10(magnitude) : 0.0);
    auto fraction = [&](int available) { return R > 1.0 ? 0 : std::max(0, available); };
    if (B - 1 > D) {
        layout.decimals = R > 1.0 ? 0 : std::max(0, std::min(B - D - 1, static_cast<int>(std::ceil(std::fabs(R))) + 1));
    } else if (B - 1 == D) {
        layout.twoRows = !(R > 1.0);
        layout.decimals = fraction(2 * B - D - 1);
    } else {
        layout.twoRows = true;
        if (2 * B - 1 > D) {
            layout.decimals = fraction(2 * B - D - 1);
        } else if (2 * B - 1 == D && R > 1.0) {
            layout.decimals = 0;
        } else {
            layout.scaled = true;
            layout.exponent = magnitude > 0.0 ? static_cast<int>(std::floor(std::log10(magnitude))) : 0;
            D = sign;
            layout.decimals = std::max(0, 2 * B - 1);
        }
    }
    layout.digits = D;
    return layout;
}

CString CHistogramChart::FormatLabel(double value, const LabelLayout& layout) {
    if (layout.scaled) value *= std::pow(10.0, -layout.exponent);
    char text[400];
    if (layout.decimals == 0) {
        // Truncated toward zero; "%.0f" holds values beyond the range of an int.
        const double whole = std::trunc(value) + 0.0;
        std::snprintf(text, sizeof text, "%.0f", whole == 0.0 ? 0.0 : whole);
        return text;
    }
    std::snprintf(text, sizeof text, "%.*f", std::min(layout.decimals, 60), value);
    CString label = text;
    const int length = layout.digits + layout.decimals + 1;
    return label.GetLength() > length ? label.Left(length) : label;
}

int CHistogramChart::SlotWidth() const { return plotWidth / std::max<int>(1, static_cast<int>(m_classes.size())); }

int CHistogramChart::SlotsLeft() const {
    const int k = static_cast<int>(m_classes.size());
    return originX + (plotWidth - k * SlotWidth() + 10) / 2;
}

void CHistogramChart::DrawXTicks(CDC* dc, const CRect& frame) {
    CPen* before = dc->SelectObject(AxisPen());
    const int y = frame.bottom - bottomMargin;
    const int slot = SlotWidth(), left = SlotsLeft();
    const int k = static_cast<int>(m_classes.size());
    if (m_bOneBarPerValue) {
        for (int c = 0; c < k; ++c) DrawTickMark(dc, left + c * slot + slot / 2, y, false);
    } else {
        for (int c = 0; c <= k; ++c) DrawTickMark(dc, left + c * slot, y, false);
    }
    if (before) dc->SelectObject(before);
}

void CHistogramChart::Draw(CDC* dc, int left, int top, int right, int bottom) {
    if (!dc) return;
    DrawFrame(dc, left, top, right, bottom);
    const CRect frame(left, top, right, bottom);
    DrawYLabels(dc, frame, tickOriginY);
    DrawYTicks(dc, frame);
    DrawXTicks(dc, frame);
    if (m_classes.empty()) return;

    const int slot = SlotWidth(), x0 = SlotsLeft();
    const int k = static_cast<int>(m_classes.size());
    // The bars reach the height of the tick of their count.
    const int scaleHeight = yTickSpacing * std::max(1, yTickCount);
    const double yMax = std::max(1.0, static_cast<double>(yHigh));
    CBrush hatch;
    hatch.CreateHatchBrush(HS_DIAGCROSS, RGB(0, 200, 255));
    CBrush* oldBrush = dc->SelectObject(&hatch);
    CPen* oldPen = dc->SelectObject(AxisPen());
    for (int c = 0; c < k; ++c) {
        const int count = m_classes[static_cast<size_t>(c)].count;
        if (count <= 0) continue;
        const int height = static_cast<int>(count * static_cast<double>(scaleHeight) / yMax);
        const int x1 = x0 + c * slot;
        if (m_bOneBarPerValue) dc->Rectangle(x1 + slot / 4, originY - height, x1 + slot - slot / 4, originY + 1);
        else dc->Rectangle(x1, originY - height, x1 + slot + 1, originY + 1);
    }
    if (oldPen) dc->SelectObject(oldPen);
    if (oldBrush) dc->SelectObject(oldBrush);

    CFont* oldFont = dc->SelectObject(TextFont());
    const int lineHeight = dc->GetTextExtent("0").cy;
    auto label = [&](const CString& text, int x, int row) {
        const CSize size = dc->GetTextExtent(text);
        TextOutAt(dc, text, x - size.cx / 2, originY + 5 + row * lineHeight);
    };
    if (m_bOneBarPerValue) {
        for (int c = 0; c < k; ++c) {
            const double code = m_classes[static_cast<size_t>(c)].lower;
            char text[400];
            std::snprintf(text, sizeof text, "%.0f", std::trunc(code) + 0.0);
            label(text, x0 + c * slot + slot / 2, 0);
        }
    } else {
        const LabelLayout layout = ComputeLabelLayout(right - left - 2 * leftMargin, k, m_classes.front().lower,
                                                      m_classes.back().upper);
        for (int c = 0; c <= k; ++c) {
            const double value = c < k ? m_classes[static_cast<size_t>(c)].lower : m_classes.back().upper;
            label(FormatLabel(value, layout), x0 + c * slot, layout.twoRows ? c % 2 : 0);
        }
        if (layout.scaled) {
            CString power;
            power.Format("(x10^%d)", layout.exponent);
            TextOutAt(dc, power, right - edgeMargin - dc->GetTextExtent(power).cx, originY + 5 + 2 * lineHeight);
        }
    }
    if (oldFont) dc->SelectObject(oldFont);
}
