#include "charts/scatter_chart.h"

#include <algorithm>

#include "charts/draw_errors.h"

CScatterChart::CScatterChart(const CPointSeries& points, const CString& xAxisTitle, const CString& yAxisTitle,
                             const CString& chartName)
    : CPlotChart(chartName), xTitle(xAxisTitle), yTitle(yAxisTitle), series(std::make_unique<CPointSeries>(points)) {
    Setup();
}

CScatterChart::~CScatterChart() = default;

void CScatterChart::Setup() {
    selecting = 0;
    hasSelection = 0;
    conditioningShown = filled = series->HasGroups() ? 1 : 0;
    labelsShown = 0;
    showZeroLines = 0;
    markerSize = 4;
    legend.reset();
    title = "Diagrama de Dispersão";
    if (series->GetCount() > 0) {
        maxY = series->GetMaxY();
        minY = series->GetMinY();
        maxX = series->GetMaxX();
        minX = series->GetMinX();
    } else {
        // Nothing to show: an empty frame from 0 to 1 on both axes.
        maxX = maxY = 1.0f;
        minX = minY = 0.0f;
    }
    ComputeAxisScale(minX, maxX, xLow, xHigh, xStep, xTickCount, xHasDecimals, xDecimals);
    ComputeAxisScale(minY, maxY, yLow, yHigh, yStep, yTickCount, yHasDecimals, yDecimals);
    visible.assign(static_cast<size_t>(series->GetCount()), 1);
}

std::vector<COLORREF> CScatterChart::MakeGroupColours(size_t count) {
    std::vector<COLORREF> colours;
    int rgb[3] = {0, 0, 0};
    int step = 255;
    bool up = true;
    for (int k = 0; colours.size() < count; ++k) {
        const int component = k % 3;
        rgb[component] += up ? step : -step;
        if (component == 2) up = !up;
        if (k % 6 == 5) step = 200;
        if (rgb[0] == 255 && rgb[1] == 255 && rgb[2] == 255) continue;
        colours.push_back(RGB(rgb[0], rgb[1], rgb[2]));
    }
    return colours;
}

void CScatterChart::BuildGroupColours() {
    groupCodes.clear();
    series->CollectGroupCodes(groupCodes);
    groupColours = MakeGroupColours(groupCodes.size());
}

COLORREF CScatterChart::MarkerColour(int, const CSeriesPoint& point) const {
    auto at = std::lower_bound(groupCodes.begin(), groupCodes.end(), point.group);
    const size_t group = static_cast<size_t>(at - groupCodes.begin());
    return group < groupColours.size() ? groupColours[group] : RGB(0, 0, 0);
}

void CScatterChart::BuildMarkers() {
    markers.clear();
    anchors.clear();
    placed.clear();
    labelsMayShow = labelsShown != 0;
    markers.reserve(static_cast<size_t>(series->GetCount()));
    anchors.reserve(static_cast<size_t>(series->GetCount()));
    placed.reserve(static_cast<size_t>(series->GetCount()));
    for (int i = 0; i < series->GetCount(); ++i) {
        const CSeriesPoint& p = series->GetPoint(i);
        auto marker = std::make_unique<CChartRect>(WorldToDeviceX(p.x), WorldToDeviceY(p.y), p.label, yAxisTopX,
                                                   yAxisTopY, xAxisEndX, xAxisEndY, MarkerColour(i, p),
                                                   static_cast<short>(markerSize));
        if (!conditioningShown) marker->SetColourShown(false);
        marker->SetFilled(filled != 0);
        marker->SetLabelShown(labelsShown != 0);
        anchors.push_back(POINT{marker->x, marker->y});
        placed.push_back(HasDeviceX(p.x) && HasDeviceY(p.y) ? 1 : 0);
        markers.push_back(std::move(marker));
    }
}

void CScatterChart::BuildLegend() {
    legend = std::make_unique<CChartLegend>(xAxisEndX, xAxisEndY, yAxisTopX, yAxisTopY, xAxisEndX, xAxisEndY,
                                            &groupColours, &groupCodes);
    for (const CNamedCode& n : groupNames) legend->SetEntryName(n.code, n.name);
}

void CScatterChart::DropElements() {
    legend.reset();
    markers.clear();
    anchors.clear();
    placed.clear();
    groupCodes.clear();
    groupColours.clear();
}

void CScatterChart::Draw(CDC* dc, int left, int top, int right, int bottom) {
    if (!dc) return;
    DrawFrame(dc, left, top, right, bottom);
    DrawPoints(dc, left, top, right, bottom);
}

void CScatterChart::DrawPoints(CDC* dc, int left, int top, int right, int bottom) {
    if (!dc) return;
    const CRect frame(left, top, right, bottom);
    // From the first tick (the origin, unless a derived chart laid its axis out anew).
    const CRect lowestXLabel = LowestXLabelBox(dc, tickOriginX);
    DrawYLabels(dc, frame, tickOriginY, &lowestXLabel);
    DrawYTicks(dc, frame);
    DrawXLabels(dc, frame, tickOriginX);
    DrawXTicks(dc, frame);
    DrawXTitle(dc, xTitle);
    DrawYTitle(dc, yTitle);
    if (markers.empty() && series->GetCount() > 0) {
        BuildGroupColours();
        BuildMarkers();
        BuildLegend();
    }
    for (size_t i = 0; i < markers.size(); ++i)
        if (i < visible.size() && visible[i] == 1 && placed[i]) markers[i]->Draw(dc);
    if (conditioningShown && legend) legend->Draw(dc);
}

void CScatterChart::DrawXTicks(CDC* dc, const CRect& frame) {
    CPlotChart::DrawXTicks(dc, frame);
    if (showZeroLines && xLow * xHigh < 0.0f) {
        const int x = WorldToDeviceX(0.0);
        const int old = dc->SetROP2(R2_BLACK);
        dc->MoveTo(x, frame.bottom - bottomMargin);
        dc->LineTo(x, frame.top + edgeMargin);
        dc->SetROP2(old);
    }
}

void CScatterChart::DrawYTicks(CDC* dc, const CRect& frame) {
    CPlotChart::DrawYTicks(dc, frame);
    if (showZeroLines && yLow * yHigh < 0.0f) {
        const int y = WorldToDeviceY(0.0);
        const int old = dc->SetROP2(R2_BLACK);
        dc->MoveTo(frame.left + leftMargin, y);
        dc->LineTo(frame.right - edgeMargin, y);
        dc->SetROP2(old);
    }
}

// --- Mouse -------------------------------------------------------------------------------------

bool CScatterChart::HitsMarker(size_t i, int x, int y) const {
    if (!placed[i]) return false;
    const int h = markerSize / 2;
    const POINT& a = anchors[i];
    if (x >= a.x - h && x < a.x - h + markerSize && y >= a.y - h && y < a.y - h + markerSize) return true;
    return labelsMayShow && markers[i]->labelShown && markers[i]->HitTest(x, y);
}

int CScatterChart::FindMarkerFrom(int x, int y, int start) {
    for (size_t i = static_cast<size_t>(std::max(0, start)); i < markers.size(); ++i)
        if (HitsMarker(i, x, y)) return static_cast<int>(i);
    return -1;
}

int CScatterChart::FindDraggedLabel() {
    for (size_t i = 0; i < markers.size(); ++i) {
        CChartText* label = markers[i]->GetLabel();
        if (label && label->IsHighlighted()) return static_cast<int>(i);
    }
    return -1;
}

void CScatterChart::DrawSelectionBand(CWnd* wnd) {
    CDC* dc = CreateOverlayDC(wnd);
    if (!dc) return;
    CPen* oldPen = SelectionPen() ? dc->SelectObject(SelectionPen()) : nullptr;
    CGdiObject* oldBrush = dc->SelectStockObject(HOLLOW_BRUSH);
    dc->Rectangle(selStartX, selStartY, selEndX, selEndY);
    if (oldBrush) dc->SelectObject(oldBrush->m_hObject);
    if (oldPen) dc->SelectObject(oldPen);
    ReleaseOverlayDC(wnd, dc);
}

bool CScatterChart::OnButtonDown(CWnd* wnd, int x, int y) {
    hasSelection = 0;
    const int marker = FindMarkerFrom(x, y, 0);
    if (marker >= 0) {
        markers[static_cast<size_t>(marker)]->OnButtonDown(wnd, x, y);
        return true;
    }
    if (conditioningShown && legend && legend->HitTest(x, y)) {
        legend->OnButtonDown(wnd, x, y);
        return true;
    }
    selStartX = selEndX = x;
    selStartY = selEndY = y;
    selecting = 1;
    DrawSelectionBand(wnd);
    return false;
}

bool CScatterChart::OnMouseMove(CWnd* wnd, int x, int y) {
    bool moved = false;
    if (conditioningShown && legend && legend->IsHighlighted()) {
        if (IsInPlotFrame(x, y)) {
            legend->OnMouseMove(wnd, x, y);
            moved = true;
        } else {
            legend->SetHighlight(wnd, false);
        }
    }
    const int dragged = FindDraggedLabel();
    if (dragged < 0) {
        if (selecting) {
            DrawSelectionBand(wnd);
            selEndX = x;
            selEndY = y;
            DrawSelectionBand(wnd);
            moved = true;
        }
    } else {
        CChartRect* marker = markers[static_cast<size_t>(dragged)].get();
        if (IsInPlotFrame(x, y)) {
            marker->OnMouseMove(wnd, x, y);
            moved = true;
        } else {
            marker->SetHighlight(wnd, false);
        }
    }
    return moved;
}

bool CScatterChart::OnButtonUp(CWnd* wnd, int x, int y) {
    if (selecting) {
        DrawSelectionBand(wnd);
        selecting = 0;
        hasSelection = (selStartX != selEndX || selStartY != selEndY) ? 1 : 0;
        selEndX = x;
        selEndY = y;
    }
    const int dragged = FindDraggedLabel();
    if (dragged >= 0) markers[static_cast<size_t>(dragged)]->SetHighlight(wnd, false);
    const int marker = FindMarkerFrom(x, y, 0);
    if (marker >= 0) {
        markers[static_cast<size_t>(marker)]->OnButtonUp(wnd, x, y);
        labelsMayShow = true;
        return true;
    }
    if (conditioningShown && legend && legend->HitTest(x, y)) legend->OnButtonUp(wnd, x, y);
    return false;
}

int CScatterChart::ItemAt(int x, int y) {
    const int marker = FindMarkerFrom(x, y, 0);
    if (marker >= 0) return marker;
    if (conditioningShown && legend && legend->HitTest(x, y)) return kLegendItem;
    return -1;
}

void CScatterChart::RestoreInitialPosition(CWnd* wnd, int item) {
    if (item == kLegendItem) {
        if (legend) legend->RestoreInitialPosition(wnd);
    } else if (item >= 0 && static_cast<size_t>(item) < markers.size()) {
        markers[static_cast<size_t>(item)]->RestoreInitialPosition(wnd);
    }
}

bool CScatterChart::GetHoverTexts(std::vector<CString>& texts, int x, int y) {
    bool any = false;
    for (size_t i = 0; i < markers.size(); ++i) {
        if (!HitsMarker(i, x, y)) continue;
        texts.push_back(series->GetLabel(static_cast<int>(i)));
        any = true;
    }
    return any;
}

// --- Selection and state -------------------------------------------------------------------

void CScatterChart::CollectSelectedSamples(std::vector<CSeriesPoint>& samples) {
    const CRect band(selStartX, selStartY, selEndX, selEndY);
    for (size_t i = 0; i < markers.size(); ++i) {
        if (i >= visible.size() || visible[i] != 1 || !placed[i] || !markers[i]->IsPointIn(band)) continue;
        const CSeriesPoint& p = series->GetPoint(static_cast<int>(i));
        samples.push_back(CSeriesPoint{p.x, p.y, p.label, -1});
    }
}

void CScatterChart::GetSelectionWorldRect(float& x1, float& y1, float& x2, float& y2) {
    x1 = static_cast<float>(DeviceToWorldX(selStartX));
    y1 = static_cast<float>(DeviceToWorldY(selStartY));
    x2 = static_cast<float>(DeviceToWorldX(selEndX));
    y2 = static_cast<float>(DeviceToWorldY(selEndY));
}

bool CScatterChart::HasSelection() { return hasSelection != 0; }

bool CScatterChart::HasNoPoints() { return false; }

int CScatterChart::GetPointCount() { return series->GetCount(); }

void CScatterChart::ReleaseElementBitmaps() {
    for (auto& marker : markers) marker->ReleaseBitmaps();
    if (legend) legend->ReleaseBitmaps();
}

void CScatterChart::ShowConditioning(bool show) {
    conditioningShown = show ? 1 : 0;
    for (auto& marker : markers) marker->SetColourShown(show);
}

void CScatterChart::ShowAllLabels(bool show) {
    labelsShown = show ? 1 : 0;
    labelsMayShow = labelsMayShow || show;
    for (auto& marker : markers) marker->SetLabelShown(show);
}

void CScatterChart::SetPointVisible(int i, bool shown) {
    if (i >= 0 && static_cast<size_t>(i) < visible.size()) visible[static_cast<size_t>(i)] = shown ? 1 : 0;
}

bool CScatterChart::IsPointVisible(int i) {
    return i >= 0 && static_cast<size_t>(i) < visible.size() && visible[static_cast<size_t>(i)] == 1;
}

CString CScatterChart::GetLabel(int i) {
    if (i < 0 || i >= series->GetCount()) return CString();
    return series->GetLabel(i);
}

void CScatterChart::SetFilled(bool fill) {
    filled = fill ? 1 : 0;
    for (auto& marker : markers) marker->SetFilled(fill);
}

void CScatterChart::SetMarkerSize(int size) {
    markerSize = size;
    for (auto& marker : markers) marker->SetSize(static_cast<short>(size));
}

void CScatterChart::SetGroupNames(const std::vector<CNamedCode>& names) {
    groupNames = names;
    DropElements();
}

void CScatterChart::AddGroupName(int code, const CString& name) {
    groupNames.push_back(CNamedCode{name, code});
    if (legend) legend->SetEntryName(code, name);
}

void CScatterChart::SetPointGroups(const std::vector<int>& codes) {
    if (!series->SetGroups(codes)) return;
    conditioningShown = filled = series->HasGroups() ? 1 : 0;
    // The old markers, colours and legend belong to the old groups.
    DropElements();
}
