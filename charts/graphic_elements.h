// What a user sees, points at and drags on a chart: point markers (squares, triangles),
// their text labels and the legend box. Each element has an anchor, the anchor it was
// first placed at, and a bounding rectangle (the plot frame) it may not leave. While an
// element is dragged the window is not repainted: the element keeps the pixels under
// itself, puts them back before it moves and saves the new place before drawing again.
// The element being dragged shows a dotted frame drawn so that drawing it twice erases it.
#pragma once

#include <memory>
#include <optional>
#include <vector>

#include "platform/afx.h"

class CChartObject {
public:
    CChartObject(int x, int y, int left, int top, int right, int bottom);
    virtual ~CChartObject();
    CChartObject(const CChartObject&) = delete;
    CChartObject& operator=(const CChartObject&) = delete;

    virtual void ReleaseBitmaps() = 0;
    virtual void OnButtonDown(CWnd* wnd, int x, int y);
    virtual void OnButtonUp(CWnd* wnd, int x, int y) = 0;
    virtual bool HitTest(int x, int y) = 0;
    // Moves by the mouse's step since the last one, drawing on dc (which may be null).
    virtual bool Drag(CDC* dc, int x, int y) = 0;
    virtual void OnMouseMove(CWnd* wnd, int x, int y) = 0;
    virtual void Draw(CDC* dc) = 0;

    int x, y;
    int initialX, initialY;
    int boundsLeft, boundsTop, boundsRight, boundsBottom;
};

class CChartElement : public CChartObject {
public:
    CChartElement(int x, int y, int left, int top, int right, int bottom);

    void OnButtonDown(CWnd* wnd, int x, int y) override;
    void OnButtonUp(CWnd* wnd, int x, int y) override;
    bool HitTest(int x, int y) override;
    bool Drag(CDC* dc, int x, int y) override;
    void OnMouseMove(CWnd* wnd, int x, int y) override;

    // The element's rectangle when its frame corner is at (x, y).
    virtual void GetRect(CRect& rect, int x, int y) = 0;
    // The rectangle at the frame corner (x, y) lies inside the bounds.
    virtual bool IsInsideBounds(int x, int y);
    // Saves the pixels under the element (where it keeps them), then draws it.
    virtual void SaveAndDraw(CDC* dc) = 0;
    virtual void RestorePixels(CDC* dc) = 0;
    virtual bool IsHighlighted();
    // Back to the first place ("Voltar à Posição Inicial"), drawn on an overlay of wnd.
    virtual void RestoreInitialPosition(CWnd* wnd);
    // Shows or hides the dotted frame (drawn once on an overlay; nothing when unchanged).
    // The frame lives only on the overlay, where drawing it again erases it: a painting of
    // the chart never draws it, so a repaint while the button is down cannot leave it behind.
    virtual void SetHighlight(CWnd* wnd, bool on);

    void UpdateFrameOrigin();
    void DrawDottedFrame(CDC* dc);
    // Moves anchor, first place and frame corner together (the legend moves its entries).
    virtual void MoveBy(int dx, int dy);

    int frameX, frameY;
    int lastMouseX = 0, lastMouseY = 0;
    BYTE highlighted = 0;

protected:
    // Copies the pixels of rect on dc into bitmap (made on the first save).
    static void SavePixels(CDC* dc, const CRect& rect, std::unique_ptr<CBitmap>& bitmap, CRect& saved);
    static void PutPixelsBack(CDC* dc, CBitmap* bitmap, const CRect& saved);
};

class CChartText : public CChartElement {
public:
    CChartText(int x, int y, const CString& text, int left, int top, int right, int bottom, COLORREF colour);

    void ReleaseBitmaps() override;
    // On the first draw the text is measured and, if it would leave the bounds, flipped to
    // the other side of its anchor before the pixels under it are saved.
    void Draw(CDC* dc) override;
    void GetRect(CRect& rect, int x, int y) override;
    void SaveAndDraw(CDC* dc) override;
    void RestorePixels(CDC* dc) override;

    const CString& GetText() const { return text; }
    // The shared label font, "Arial" 13.
    static CFont* LabelFont();

    COLORREF textColour;
    std::optional<CSize> extent;   // {text width + 4, height} once measured
    CString text;
    std::unique_ptr<CBitmap> savedPixels;
    CRect savedRect;

private:
    void Measure(CDC* dc);
    void KeepInsideBounds();
    void DrawText(CDC* dc);
};

// A point marker; the label (if any) is owned.
class CChartShape : public CChartElement {
public:
    CChartShape(int x, int y, int left, int top, int right, int bottom, COLORREF colour, short size);
    CChartShape(int x, int y, const CString& label, int left, int top, int right, int bottom, COLORREF colour,
                short size);

    void ReleaseBitmaps() override;
    void OnButtonDown(CWnd* wnd, int x, int y) override;
    // Toggles the label when the marker box is hit; else a shown label that is hit gets it.
    void OnButtonUp(CWnd* wnd, int x, int y) override;
    bool HitTest(int x, int y) override;
    void OnMouseMove(CWnd* wnd, int x, int y) override;
    void Draw(CDC* dc) override;
    void GetRect(CRect& rect, int x, int y) override;
    void SaveAndDraw(CDC* dc) override;
    void RestorePixels(CDC* dc) override;
    // Forwarded to the label; a hidden label stays where it is.
    void RestoreInitialPosition(CWnd* wnd) override;
    void SetHighlight(CWnd* wnd, bool on) override;

    // The square box of the marker (right and bottom edges excluded).
    bool MarkerHit(int x, int y) const;
    void SetLabelShown(bool shown) { labelShown = shown; }
    void SetColourShown(bool shown) { colourShown = shown; }
    void SetFilled(bool fill) { filled = fill; }
    void SetSize(short side) { size = side; }
    // The anchor lies in the rectangle (right and bottom edges excluded).
    bool IsPointIn(const CRect& rect) const;
    CChartText* GetLabel() const { return label.get(); }

    BYTE filled = 1;
    short size;
    BYTE labelShown = 0;
    COLORREF colour;
    std::unique_ptr<CChartText> label;
    BYTE colourShown = 1;

protected:
    // Selects the brush and pen of the marker; puts them back.
    bool SelectMarkerObjects(CDC* dc, CBrush*& oldBrush, CPen*& oldPen);
    virtual void DrawShape(CDC* dc) = 0;
    int Half() const { return size / 2; }
};

class CChartRect : public CChartShape {
public:
    using CChartShape::CChartShape;

protected:
    void DrawShape(CDC* dc) override;
};

// A triangle pointing up.
class CChartPolygon : public CChartShape {
public:
    using CChartShape::CChartShape;

protected:
    void DrawShape(CDC* dc) override;
};

// The box of the conditioning legend: a coloured marker and a name for each group.
class CChartLegend : public CChartElement {
public:
    // colours and groupCodes belong to the chart and must outlive the legend.
    CChartLegend(int rightEdge, int y, int left, int top, int right, int bottom, const std::vector<COLORREF>* colours,
                 const std::vector<int>* groupCodes);

    void ReleaseBitmaps() override;
    void OnButtonDown(CWnd* wnd, int x, int y) override;
    void Draw(CDC* dc) override;
    void GetRect(CRect& rect, int x, int y) override;
    void SaveAndDraw(CDC* dc) override;
    void RestorePixels(CDC* dc) override;
    void MoveBy(int dx, int dy) override;
    void RestoreInitialPosition(CWnd* wnd) override;
    virtual void BuildEntries(CDC* dc);

    // Replaces the name shown for a group code; nothing when the code is absent.
    void SetEntryName(int code, const CString& entryName);
    const std::vector<CString>& GetEntryNames() const { return entryNames; }
    std::optional<CSize> GetBoxSize() const { return boxSize; }
    size_t GetEntryCount() const { return entries.size(); }
    CChartElement* GetEntry(size_t i) const { return entries[i].get(); }

    std::vector<CString> entryNames;
    std::vector<std::unique_ptr<CChartElement>> entries;
    int rightEdge;
    int legendY;
    const std::vector<COLORREF>* colours;
    const std::vector<int>* groupCodes;
    std::optional<CSize> boxSize;
    CFont font;
    std::unique_ptr<CBitmap> savedPixels;
    CRect savedRect;

protected:
    void Layout(CDC* dc);
    void DrawBox(CDC* dc);
    // Adds a marker and its name at the running point.
    void AddEntry(CDC* dc, std::unique_ptr<CChartShape> marker, const CString& entryName, int& currentY);
};

// The legend of rows and columns: a blue square "Linhas" and a red triangle "Colunas".
class CRowColumnLegend : public CChartLegend {
public:
    CRowColumnLegend(int rightEdge, int y, int left, int top, int right, int bottom);
    void ReleaseBitmaps() override;
    void BuildEntries(CDC* dc) override;
};
