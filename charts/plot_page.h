// Chart pages: CPlotPage draws itself into any device context (screen, memory bitmap,
// printer) inside a rectangle and answers the chart window's mouse; CPlotChart adds the
// plot frame, nice axis scales, ticks, dotted grid, tick labels, axis titles and the mapping
// between data ("world") values and device pixels. Device y grows downwards.
#pragma once

#include <vector>

#include "platform/afx.h"

// One sample of a two-variable chart.
struct CSeriesPoint {
    float x = 0.0f;
    float y = 0.0f;
    CString label;
    int group = -1;
};

class CPlotPage {
public:
    explicit CPlotPage(const CString& name);
    virtual ~CPlotPage();
    CPlotPage(const CPlotPage&) = delete;
    CPlotPage& operator=(const CPlotPage&) = delete;

    // --- Hooks of the chart window and chart dialogs (do-nothing defaults) -------------------
    // The selection rectangle in world coordinates.
    virtual void GetSelectionWorldRect(float& x1, float& y1, float& x2, float& y2);
    // Appends the samples inside the selection rectangle.
    virtual void CollectSelectedSamples(std::vector<CSeriesPoint>& samples);
    // A selection rectangle was completed by the last button-up.
    virtual bool HasSelection();
    // False lets the chart dialog enable its ">>" button.
    virtual bool HasNoPoints();
    virtual int GetPointCount();
    // Drops the cached text bitmaps of the page's graphic elements.
    virtual void ReleaseElementBitmaps();
    // Called by the chart window after Draw.
    virtual void AfterPaint(CWnd* wnd);
    virtual void ShowConditioning(bool show);
    // Puts a moved item back ("Voltar à Posição Inicial").
    virtual void RestoreInitialPosition(CWnd* wnd, int item);
    // The item under the point, -1 for none.
    virtual int ItemAt(int x, int y);
    virtual bool OnMouseMove(CWnd* wnd, int x, int y);
    virtual bool OnButtonDown(CWnd* wnd, int x, int y);
    virtual void ShowAllLabels(bool show);
    virtual bool OnButtonUp(CWnd* wnd, int x, int y);
    // Texts of the data tip for the point; false when there are none.
    virtual bool GetHoverTexts(std::vector<CString>& texts, int x, int y);
    // The header of a printed page: the title centred on line 2, "Ficheiro:" and the
    // document's title below it.
    virtual void DrawHeader(CDC* dc, CFont* titleFont, CFont* labelFont, CFont* textFont);
    // Draws the page into the rectangle: here the background only.
    virtual void Draw(CDC* dc, int left, int top, int right, int bottom);

    CString GetName() const { return name; }
    // The object the page owns and deletes (e.g. a captured image).
    void SetOwned(CObject* object);
    CObject* GetOwned() const { return owned; }

    // Fonts shared by every page, created with the first page and kept for the life of the
    // program: the text font ("Arial" 13), the vertical title font ("Times New Roman" 15,
    // upward, bold) and the title font ("Times New Roman" 15, bold).
    static CFont* TextFont();
    static CFont* VerticalTitleFont();
    static CFont* TitleFont();

    CString title;

protected:
    CObject* owned = nullptr;
    CString name;
};

class CPlotChart : public CPlotPage {
public:
    explicit CPlotChart(const CString& name);

    void DrawHeader(CDC* dc, CFont* titleFont, CFont* labelFont, CFont* textFont) override;
    // The frame and its layout (DrawFrame).
    void Draw(CDC* dc, int left, int top, int right, int bottom) override;
    // Tick marks and dotted grid lines of one axis; the rectangle is the page rectangle.
    virtual void DrawXTicks(CDC* dc, const CRect& frame);
    virtual void DrawYTicks(CDC* dc, const CRect& frame);

    // Page background, white plot frame, and the device fields of the layout. A tick count
    // below 1 counts as 1, so the spacing never divides by zero.
    void DrawFrame(CDC* dc, int left, int top, int right, int bottom);

    // A nice scale for data from a to b: between 5 and 9 intervals of a step 1, 2, ... 9
    // times a power of ten, from a multiple of the step at or below a to one at or above b.
    // A zero range is widened by a tenth of the value (by 1 around 0); non-finite input
    // is refused (false) and gives the scale 0 to 1 by 0.2. Float data get a scale computed
    // in single precision, as the charts keep their values; double data (values beyond
    // single precision) one computed in double.
    static bool ComputeAxisScale(float a, float b, double& low, double& high, double& step, int& count,
                                 BYTE& hasDecimals, int& decimals);
    static bool ComputeAxisScale(double a, double b, double& low, double& high, double& step, int& count,
                                 BYTE& hasDecimals, int& decimals);
    // "%d" of the value truncated to an integer, or "%.*f" with the decimals.
    static CString FormatTickLabel(double value, bool hasDecimals, int decimals);

    // The tick labels of one axis. xLabel: where the lowest x label stands, when the chart
    // draws x labels too; the lowest y label is raised clear of it.
    void DrawYLabels(CDC* dc, const CRect& frame, int startY, const CRect* xLabel = nullptr);
    void DrawXLabels(CDC* dc, const CRect& frame, int startX);
    // The rectangle of the first x label drawn from startX.
    CRect LowestXLabelBox(CDC* dc, int startX) const;
    void DrawXTitle(CDC* dc, const CString& text);
    void DrawYTitle(CDC* dc, const CString& text);

    // The device position of a world value, kept within ±2^28 pixels, so that what is drawn
    // from it cannot overflow; the origin for a value without a finite position.
    int WorldToDeviceX(double x) const;
    int WorldToDeviceY(double y) const;
    // Whether a world value has a finite device position on this chart's scale: an infinite
    // or NaN value, or one whose distance from the scale is beyond a double, has none and is
    // not drawn.
    bool HasDeviceX(double x) const;
    bool HasDeviceY(double y) const;
    double DeviceToWorldX(int px) const;
    double DeviceToWorldY(int py) const;
    // The point lies in the plot frame (right and bottom edges excluded).
    bool IsInPlotFrame(int x, int y) const;

    // A context on the window's client area for drawing that a second drawing undoes
    // (R2_NOTXORPEN, MM_TEXT, left/top text, transparent, white text); null without a
    // window. Release it with ReleaseOverlayDC.
    static CDC* CreateOverlayDC(CWnd* wnd);
    static void ReleaseOverlayDC(CWnd* wnd, CDC* dc);

    // Small drawing operations.
    static void TextOutAt(CDC* dc, const CString& text, int x, int y);
    static void DrawTickMark(CDC* dc, int x, int y, bool horizontal);
    static void DrawDiamond(CDC* dc, int x, int y);
    static void DrawCross(CDC* dc, int x, int y);
    static void DrawDot(CDC* dc, int x, int y, COLORREF colour);
    static void DrawColouredLine(CDC* dc, int x1, int y1, int x2, int y2, COLORREF colour);

    // Drawing objects shared by the charts, created with the first frame drawn.
    static CPen* GridPen();
    static CPen* AxisPen();
    static CPen* SelectionPen();
    static CBrush* PlotBrush();

    // World window: the values at the lowest and highest tick of each axis. Single-precision
    // values unless doubleScale is set.
    double yLow = 0.0, xLow = 0.0, yHigh = 1.0, xHigh = 1.0;
    int originX = 0, originY = 0;
    int yAxisTopX = 0, yAxisTopY = 0;
    int xAxisEndX = 0, xAxisEndY = 0;
    int bottomMargin = 40, leftMargin = 60, edgeMargin = 10;
    int plotWidth = 0, plotHeight = 0;
    int tickOriginY = 0, lastYTickY = 0, yTickSpacing = 0;
    int tickOriginX = 0, xTickSpacing = 0, lastXTickX = 0;
    int xTickCount = 5, yTickCount = 5;
    double xStep = 0.2f, yStep = 0.2f;
    BYTE xHasDecimals = 1, yHasDecimals = 1;
    int xDecimals = 1, yDecimals = 1;
    // The scales were computed in double (a chart of values beyond single precision): the
    // tick values are summed in double. Otherwise they are summed in single precision.
    bool doubleScale = false;

protected:
    static void CreateSharedObjects();
    // The value of the next tick: value + step, in the precision of the scale.
    double NextTick(double value, double step) const;
    // A tick label of this chart's scale.
    CString TickLabel(double value, bool hasDecimals, int decimals) const;
    // Where an x label of the text stands below the tick at position.
    CRect XLabelBox(CDC* dc, const CString& text, int position) const;
};
