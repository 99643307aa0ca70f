// A scatter diagram of a point series: square markers coloured by group (the conditioning
// variable), labels shown by clicking a marker and dragged with the mouse, a draggable
// legend of the groups, a rubber-band selection rectangle, per-point visibility and the
// return of moved items to their first place.
#pragma once

#include <memory>
#include <vector>

#include "app/data_table.h"
#include "charts/graphic_elements.h"
#include "charts/plot_page.h"
#include "charts/point_series.h"

class CScatterChart : public CPlotChart {
public:
    // The item index ItemAt gives for the legend.
    static constexpr int kLegendItem = -100;

    CScatterChart(const CPointSeries& series, const CString& xTitle, const CString& yTitle, const CString& name);
    ~CScatterChart() override;

    // Scales the axes to the data and resets the view state; elements are built at the
    // first Draw.
    void Setup();
    // Labels, ticks, titles, markers and legend, without the frame (for derived charts that
    // draw their own frame first).
    void DrawPoints(CDC* dc, int left, int top, int right, int bottom);

    // Page operations.
    void GetSelectionWorldRect(float& x1, float& y1, float& x2, float& y2) override;
    void CollectSelectedSamples(std::vector<CSeriesPoint>& samples) override;
    bool HasSelection() override;
    bool HasNoPoints() override;
    int GetPointCount() override;
    void ReleaseElementBitmaps() override;
    void ShowConditioning(bool show) override;
    void RestoreInitialPosition(CWnd* wnd, int item) override;
    int ItemAt(int x, int y) override;
    bool OnMouseMove(CWnd* wnd, int x, int y) override;
    bool OnButtonDown(CWnd* wnd, int x, int y) override;
    void ShowAllLabels(bool show) override;
    bool OnButtonUp(CWnd* wnd, int x, int y) override;
    bool GetHoverTexts(std::vector<CString>& texts, int x, int y) override;
    void Draw(CDC* dc, int left, int top, int right, int bottom) override;
    // Base ticks, then the zero line x = 0 (y = 0) when shown and inside the axis.
    void DrawXTicks(CDC* dc, const CRect& frame) override;
    void DrawYTicks(CDC* dc, const CRect& frame) override;

    // One marker, anchor and placement a point, coloured by MarkerColour.
    void BuildMarkers();
    virtual void BuildLegend();
    virtual void SetPointVisible(int i, bool visible);
    virtual bool IsPointVisible(int i);
    virtual CString GetLabel(int i);

    void SetShowZeroLines(bool show) { showZeroLines = show ? 1 : 0; }
    bool IsFilled() const { return filled != 0; }
    void SetFilled(bool fill);
    int GetMarkerSize() const { return markerSize; }
    void SetMarkerSize(int size);
    // Replaces the names the legend shows for the group codes; the elements are rebuilt at
    // the next Draw.
    void SetGroupNames(const std::vector<CNamedCode>& names);
    void AddGroupName(int code, const CString& name);
    // One code a point (else nothing changes): new groups, shown in colour; the elements
    // are rebuilt at the next Draw.
    void SetPointGroups(const std::vector<int>& codes);
    // The first marker from start whose hit test accepts the point, or -1.
    int FindMarkerFrom(int x, int y, int start);
    // The first marker whose label is being dragged, or -1.
    int FindDraggedLabel();

    // The colours of count groups: red, yellow, cyan, blue, black, then darker steps (white
    // is never used).
    static std::vector<COLORREF> MakeGroupColours(size_t count);

    const CPointSeries& GetSeries() const { return *series; }
    CChartLegend* GetLegend() const { return legend.get(); }
    size_t GetMarkerCount() const { return markers.size(); }
    CChartRect* GetMarker(size_t i) const { return markers[i].get(); }
    const std::vector<int>& GetGroupCodes() const { return groupCodes; }
    const std::vector<COLORREF>& GetGroupColours() const { return groupColours; }

    int selStartX = 0, selStartY = 0, selEndX = 0, selEndY = 0;
    BYTE selecting = 0;
    BYTE hasSelection = 0;
    std::vector<BYTE> visible;
    int markerSize = 4;
    BYTE showZeroLines = 0;
    BYTE conditioningShown = 0;
    BYTE labelsShown = 0;
    BYTE filled = 0;
    float maxX = 0, minX = 0, maxY = 0, minY = 0;
    CString xTitle, yTitle;

protected:
    // The colour of point i's marker: its group's.
    virtual COLORREF MarkerColour(int i, const CSeriesPoint& point) const;
    void BuildGroupColours();
    void DropElements();
    void DrawSelectionBand(CWnd* wnd);
    // The hit test of marker i (its box, or its shown label), from a compact copy of the
    // anchors so that a search over many points stays in the cache.
    bool HitsMarker(size_t i, int x, int y) const;

    std::unique_ptr<CPointSeries> series;
    std::unique_ptr<CChartLegend> legend;
    std::vector<std::unique_ptr<CChartRect>> markers;
    std::vector<int> groupCodes;
    std::vector<COLORREF> groupColours;
    std::vector<CNamedCode> groupNames;
    std::vector<POINT> anchors;       // of the markers, in point order
    // Whether each marker's point has a finite device position: one without is never
    // drawn, hit or selected.
    std::vector<BYTE> placed;
    bool labelsMayShow = false;       // some label was shown since the markers were built
};
