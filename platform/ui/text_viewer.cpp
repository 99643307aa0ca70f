#include "platform/ui/text_viewer.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <QAbstractScrollArea>
#include <QApplication>
#include <QDialog>
#include <QFontDatabase>
#include <QFontMetricsF>
#include <QHBoxLayout>
#include <QKeyEvent>
#include <QMouseEvent>
#include <QPainter>
#include <QPointer>
#include <QPrinter>
#include <QPushButton>
#include <QScreen>
#include <QScrollBar>
#include <QVBoxLayout>
#include <algorithm>
#include <cerrno>
#include <climits>
#include <cmath>
#include <cstring>
#include <functional>
#include <memory>
#include <new>
#include <optional>
#include <string>
#include <vector>

#include "platform/core/cp1252.h"
#include "platform/core/paths.h"
#include "platform/gdi/gdi_internal.h"
#include "platform/ui/automation.h"
#include "platform/ui/clipboard.h"
#include "platform/ui/msgbox.h"
#include "platform/ui/printdlg.h"
#include "platform/ui/qt_bridge.h"
#include "platform/ui/window_owner.h"
#include "platform/ui/winapp.h"

namespace afx {

namespace {

// --- The listing's text and its lines ------------------------------------------------------------

enum class ReadOutcome { Read, Unreadable, NotRegular, HoldsZeroByte };

// "\r\n" read as "\n", in place.
void DropCarriageReturns(std::string* text) {
    char* out = text->data();
    const char* in = text->data();
    const char* end = in + text->size();
    while (in < end) {
        const char* cr = static_cast<const char*>(std::memchr(in, '\r', static_cast<size_t>(end - in)));
        const char* stop = cr ? cr : end;
        std::memmove(out, in, static_cast<size_t>(stop - in));
        out += stop - in;
        if (!cr) break;
        if (cr + 1 == end || cr[1] != '\n') *out++ = '\r';
        in = cr + 1;
    }
    text->resize(static_cast<size_t>(out - text->data()));
}

// The file's bytes with "\r\n" read as "\n". Only a regular file is read: a named pipe would
// wait for a writer for ever and a device may never end. It is opened without waiting so that
// a pipe is seen for what it is, and read straight into one buffer of its size.
ReadOutcome ReadListing(const char* path, std::string* text) {
    int fd = ::open(NativePath(path).c_str(), O_RDONLY | O_NONBLOCK | O_CLOEXEC);
    if (fd < 0) return ReadOutcome::Unreadable;
    struct Closer {
        int fd;
        ~Closer() { ::close(fd); }
    } closer{fd};
    struct stat st {};
    if (::fstat(fd, &st) != 0) return ReadOutcome::Unreadable;
    if (!S_ISREG(st.st_mode)) return ReadOutcome::NotRegular;
    std::string bytes;
    try {
        // One byte more than the size, so that the end is seen without growing the buffer.
        bytes.resize(static_cast<size_t>(st.st_size) + 1);
        size_t got = 0;
        for (;;) {
            if (got == bytes.size()) bytes.resize(bytes.size() * 2);   // it grew meanwhile
            ssize_t n = ::read(fd, bytes.data() + got, bytes.size() - got);
            if (n < 0 && errno == EINTR) continue;
            if (n < 0) return ReadOutcome::Unreadable;
            if (n == 0) break;
            got += static_cast<size_t>(n);
        }
        bytes.resize(got);
    } catch (const std::bad_alloc&) {
        return ReadOutcome::Unreadable;
    }
    if (std::memchr(bytes.data(), '\0', bytes.size())) return ReadOutcome::HoldsZeroByte;
    DropCarriageReturns(&bytes);
    *text = std::move(bytes);
    return ReadOutcome::Read;
}

// One line as shown: [begin, end) in the text. A line ends at "\n" or at a form feed; a form
// feed right after "\n" belongs to that break. The line after a form feed starts a new page.
struct ListingLine {
    size_t begin;
    size_t end : 62;
    size_t pageBreak : 1;
    size_t hasTab : 1;
};

constexpr size_t kTabStop = 8;

size_t NextColumn(size_t column, char c) { return c == '\t' ? (column / kTabStop + 1) * kTabStop : column + 1; }

QChar Decoded(char c) {
    auto b = static_cast<unsigned char>(c);
    return QChar(static_cast<char16_t>(b < 0x80 ? b : Cp1252ToUnicode(b)));
}

struct Listing {
    std::shared_ptr<const CString> text;
    std::vector<ListingLine> lines;
    size_t columns = 0;   // of the widest line

    const std::string& Bytes() const { return text->str(); }

    // The column at which an offset of a line stands (tabs stop every 8 columns).
    size_t ColumnOf(const ListingLine& line, size_t offset) const {
        if (!line.hasTab) return offset - line.begin;
        size_t column = 0;
        for (size_t p = line.begin; p < offset; ++p) column = NextColumn(column, Bytes()[p]);
        return column;
    }

    // The offset of the character boundary at a column of a line (its end past the last).
    size_t OffsetOf(const ListingLine& line, size_t column) const {
        if (!line.hasTab) return line.begin + std::min<size_t>(column, line.end - line.begin);
        size_t at = 0;
        for (size_t p = line.begin; p < line.end; ++p) {
            if (at >= column) return p;
            at = NextColumn(at, Bytes()[p]);
        }
        return line.end;
    }

    // Columns [first, first + count) of a line, decoded from Windows-1252, tabs as blanks.
    QString Columns(const ListingLine& line, size_t first, size_t count) const {
        QString out;
        const std::string& s = Bytes();
        if (!line.hasTab) {
            const size_t length = line.end - line.begin;
            if (first >= length) return out;
            const size_t n = std::min(count, length - first);
            out.reserve(static_cast<qsizetype>(n));
            for (size_t p = line.begin + first; p < line.begin + first + n; ++p) out += Decoded(s[p]);
            return out;
        }
        size_t column = 0;
        for (size_t p = line.begin; p < line.end && column < first + count; ++p) {
            const size_t next = NextColumn(column, s[p]);
            for (size_t c = std::max(column, first); c < next && c < first + count; ++c)
                out += s[p] == '\t' ? QChar(u' ') : Decoded(s[p]);
            column = next;
        }
        return out;
    }
};

// Finds the lines of a text, as they are shown and printed. Form feeds before the first line
// start no page.
Listing IndexListing(std::shared_ptr<const CString> text) {
    Listing listing;
    listing.text = std::move(text);
    const std::string& s = listing.Bytes();
    const char* data = s.data();
    const size_t n = s.size();
    size_t breaks = 0;
    for (size_t i = 0; i < n; ++i) breaks += (data[i] == '\n') | (data[i] == '\f');
    listing.lines.reserve(breaks + 1);
    size_t pos = 0;
    bool first = true;
    bool pageBreak = false;
    for (;;) {
        size_t end = pos;
        bool tab = false;
        for (; end < n; ++end) {
            const char c = data[end];
            if (static_cast<unsigned char>(c) > '\f') continue;
            if (c == '\n' || c == '\f') break;
            tab = tab || c == '\t';
        }
        if (first && end == pos && end < n && data[end] == '\f') {
            pos = end + 1;
            continue;
        }
        ListingLine line{};
        line.begin = pos;
        line.end = end;
        line.pageBreak = !first && pageBreak;
        line.hasTab = tab;
        listing.lines.push_back(line);
        listing.columns = std::max(listing.columns, listing.ColumnOf(line, end));
        if (end == n) break;
        pageBreak = data[end] == '\f';
        first = false;
        pos = end + 1;
        if (!pageBreak && pos < n && data[pos] == '\f') {
            pageBreak = true;
            ++pos;
        }
    }
    return listing;
}

// --- On screen -------------------------------------------------------------------------------------

constexpr int kMargin = 4;         // around the text, in pixels
constexpr int kRuleColumns = 132;  // a rule is as wide as a listing line

// Shows a listing a screen at a time: only the lines and columns in view are decoded and
// drawn. The selection runs between two offsets of the text, made with the mouse or Ctrl+A.
class ListingView : public QAbstractScrollArea {
public:
    ListingView(const Listing& listing, const QFont& font, QWidget* parent)
        : QAbstractScrollArea(parent), m_listing(listing), m_font(font) {
        QFontMetricsF fm(font);
        m_cell = std::max(1.0, fm.horizontalAdvance(QLatin1Char('0')));
        m_line = std::max(1, QFontMetrics(font).lineSpacing());
        m_ascent = QFontMetrics(font).ascent();
        setFocusPolicy(Qt::StrongFocus);
        viewport()->setCursor(Qt::IBeamCursor);
        viewport()->setBackgroundRole(QPalette::Base);
    }

    // Called once, when the text has first been drawn.
    void OnFirstPaint(std::function<void()> done) { m_firstPaint = std::move(done); }

    // The selection, or the whole text when nothing is selected.
    void Copy() const {
        const auto [from, to] = Selection();
        if (from < to) SetClipboardText(CString(m_listing.Bytes().substr(from, to - from)));
        else SetClipboardText(*m_listing.text);
    }

    void SelectAll() {
        m_anchor = 0;
        m_caret = m_listing.Bytes().size();
        viewport()->update();
    }

    int TopLine() const { return verticalScrollBar()->value(); }

    // The point just inside a character cell's left edge, in the viewport.
    QPoint CellPoint(int line, int column) const {
        const double x = kMargin - horizontalScrollBar()->value() + column * m_cell + 1;
        const int y = kMargin + (line - TopLine()) * m_line + m_line / 2;
        return QPoint(static_cast<int>(x), y);
    }

protected:
    void paintEvent(QPaintEvent* e) override {
        QPainter p(viewport());
        p.fillRect(e->rect(), palette().color(QPalette::Base));
        p.setFont(m_font);
        const auto& lines = m_listing.lines;
        const int scrolled = horizontalScrollBar()->value();
        const double left = scrolled - kMargin;
        const size_t firstColumn = left > 0 ? static_cast<size_t>(left / m_cell) : 0;
        const size_t count = static_cast<size_t>(viewport()->width() / m_cell) + 2;
        const auto [from, to] = Selection();
        const QColor text = palette().color(QPalette::Text);
        const QColor selectedText = palette().color(QPalette::HighlightedText);
        auto xOf = [&](size_t column) { return kMargin - scrolled + static_cast<double>(column) * m_cell; };
        const size_t top = static_cast<size_t>(TopLine());
        const size_t bottom = std::min(lines.size(), top + static_cast<size_t>(viewport()->height() / m_line) + 2);
        auto yOf = [&](size_t i) { return kMargin + static_cast<int>(i - top) * m_line; };
        // The selected columns of a line; one more cell when the selection takes its end.
        auto selected = [&](const ListingLine& line) -> std::pair<size_t, size_t> {
            if (from >= to || from > line.end || to <= line.begin) return {0, 0};
            return {m_listing.ColumnOf(line, std::max<size_t>(from, line.begin)),
                    m_listing.ColumnOf(line, std::min<size_t>(to, line.end)) + (to > line.end ? 1 : 0)};
        };
        // Backgrounds and rules first, so that no line's fill covers a neighbour's accents.
        for (size_t i = top; i < bottom; ++i) {
            const auto [selFrom, selTo] = selected(lines[i]);
            if (selFrom < selTo)
                p.fillRect(QRectF(xOf(selFrom), yOf(i), static_cast<double>(selTo - selFrom) * m_cell, m_line),
                           palette().color(QPalette::Highlight));
            if (lines[i].pageBreak) {
                // The rule closes the page above, as wide as a listing line.
                p.setPen(palette().color(QPalette::Dark));
                p.drawLine(QPointF(xOf(0), yOf(i) - 1), QPointF(xOf(kRuleColumns), yOf(i) - 1));
            }
        }
        for (size_t i = top; i < bottom; ++i) {
            const QString shown = m_listing.Columns(lines[i], firstColumn, count);
            const auto [selFrom, selTo] = selected(lines[i]);
            // Before, inside and after the selection, each in its colour.
            auto part = [&](size_t a, size_t b, const QColor& colour) {
                a = std::clamp(a, firstColumn, firstColumn + static_cast<size_t>(shown.size()));
                b = std::clamp(b, a, firstColumn + static_cast<size_t>(shown.size()));
                if (a == b) return;
                p.setPen(colour);
                p.drawText(QPointF(xOf(a), yOf(i) + m_ascent),
                           shown.mid(static_cast<qsizetype>(a - firstColumn), static_cast<qsizetype>(b - a)));
            };
            part(0, selFrom, text);
            part(selFrom, selTo, selectedText);
            part(selTo, SIZE_MAX, text);
        }
        p.end();
        if (m_firstPaint) {
            auto done = std::move(m_firstPaint);
            m_firstPaint = nullptr;
            done();
        }
    }

    void resizeEvent(QResizeEvent* e) override {
        QAbstractScrollArea::resizeEvent(e);
        UpdateScrollBars();
    }

    void scrollContentsBy(int, int) override { viewport()->update(); }

    void mousePressEvent(QMouseEvent* e) override {
        if (e->button() != Qt::LeftButton) return QAbstractScrollArea::mousePressEvent(e);
        m_caret = HitTest(e->position().toPoint());
        if (!(e->modifiers() & Qt::ShiftModifier)) m_anchor = m_caret;
        viewport()->update();
    }

    void mouseMoveEvent(QMouseEvent* e) override {
        if (!(e->buttons() & Qt::LeftButton)) return QAbstractScrollArea::mouseMoveEvent(e);
        const QPoint at = e->position().toPoint();
        // Beyond an edge the text scrolls towards the pointer.
        if (at.y() < 0) verticalScrollBar()->triggerAction(QAbstractSlider::SliderSingleStepSub);
        if (at.y() >= viewport()->height()) verticalScrollBar()->triggerAction(QAbstractSlider::SliderSingleStepAdd);
        if (at.x() < 0) horizontalScrollBar()->triggerAction(QAbstractSlider::SliderSingleStepSub);
        if (at.x() >= viewport()->width()) horizontalScrollBar()->triggerAction(QAbstractSlider::SliderSingleStepAdd);
        m_caret = HitTest(at);
        viewport()->update();
    }

    void keyPressEvent(QKeyEvent* e) override {
        if (e == QKeySequence::Copy) return Copy();
        if (e == QKeySequence::SelectAll) return SelectAll();
        const bool ctrl = e->modifiers().testFlag(Qt::ControlModifier);
        switch (e->key()) {
        case Qt::Key_Home:
            horizontalScrollBar()->setValue(0);
            if (ctrl) verticalScrollBar()->setValue(0);
            return;
        case Qt::Key_End:
            if (ctrl) verticalScrollBar()->setValue(verticalScrollBar()->maximum());
            else horizontalScrollBar()->setValue(horizontalScrollBar()->maximum());
            return;
        default:
            QAbstractScrollArea::keyPressEvent(e);
        }
    }

private:
    std::pair<size_t, size_t> Selection() const { return std::minmax(m_anchor, m_caret); }

    // The character boundary nearest to a point of the viewport.
    size_t HitTest(QPoint at) const {
        const auto& lines = m_listing.lines;
        if (lines.empty()) return 0;
        const double row = std::floor(static_cast<double>(at.y() - kMargin) / m_line) + TopLine();
        const auto index = static_cast<size_t>(std::clamp(row, 0.0, static_cast<double>(lines.size() - 1)));
        const double column = (at.x() - kMargin + horizontalScrollBar()->value()) / m_cell;
        return m_listing.OffsetOf(lines[index], column > 0 ? static_cast<size_t>(column + 0.5) : 0);
    }

    void UpdateScrollBars() {
        const int rows = std::max(1, (viewport()->height() - kMargin) / m_line);
        const auto lines = static_cast<long long>(m_listing.lines.size());
        verticalScrollBar()->setRange(0, static_cast<int>(std::clamp<long long>(lines - rows, 0, INT_MAX)));
        verticalScrollBar()->setPageStep(rows);
        verticalScrollBar()->setSingleStep(1);
        const double width = 2 * kMargin + static_cast<double>(m_listing.columns) * m_cell;
        const double beyond = std::ceil(width) - viewport()->width();
        horizontalScrollBar()->setRange(0, static_cast<int>(std::clamp(beyond, 0.0, INT_MAX / 2.0)));
        horizontalScrollBar()->setPageStep(viewport()->width());
        horizontalScrollBar()->setSingleStep(std::max(1, static_cast<int>(std::lround(m_cell))));
    }

    const Listing& m_listing;
    QFont m_font;
    double m_cell = 1;     // width of a character cell
    int m_line = 1;        // height of a line
    int m_ascent = 0;
    size_t m_anchor = 0;   // where the selection started
    size_t m_caret = 0;    // where it ends
    std::function<void()> m_firstPaint;
};

// --- On paper --------------------------------------------------------------------------------------

// The widest line of an engine's listing: a carriage-control column and 132 print positions.
constexpr size_t kListingColumns = 133;
constexpr double kLargestPoints = 10;     // a listing's print size when its lines allow
constexpr double kSmallestPoints = 7;     // and the smallest that stays readable

// The printed area of a sheet: 2 cm inside the printable page, in device pixels.
QRectF SheetBody(QPrinter* printer) {
    const double margin = 2 / 2.54 * printer->logicalDpiY();
    return QRectF(QPointF(0, 0), printer->pageRect(QPrinter::DevicePixel).size())
        .adjusted(margin, margin, -margin, -margin);
}

// The largest size up to kLargestPoints at which `columns` character cells of the font fit
// `width` device pixels of the printer (it may be below kSmallestPoints).
double FittingPointSize(QFont font, QPrinter* printer, size_t columns, double width) {
    auto widthAt = [&](double points) {
        font.setPointSizeF(points);
        return QFontMetricsF(font, printer).horizontalAdvance(QLatin1Char('0')) * static_cast<double>(columns);
    };
    const double largest = widthAt(kLargestPoints);
    if (largest <= width) return kLargestPoints;
    // Cells grow nearly in proportion to the size; the last steps find where they fit.
    double points = kLargestPoints * width / largest;
    while (points > 1 && widthAt(points) > width) points -= 0.05;
    return points;
}

// Prints a listing in a fixed-pitch font, with margins of 2 cm and each sheet's number at
// its foot: a new sheet at each page break and whenever a sheet is full. The font is as
// large as lets the widest line (up to 132 print positions) stand on one line, at most 10
// points and at least 7; when 7 points are too large for a portrait sheet, the sheets turn
// landscape. A line still wider than a sheet goes on over the next rows, broken between
// words. False when the printer cannot start.
bool PrintListing(QPrinter* printer, const Listing& listing, QFont font) {
    font.setStyleHint(QFont::Monospace);
    font.setFixedPitch(true);
    const size_t wanted = std::clamp<size_t>(listing.columns, 1, kListingColumns);
    double points = FittingPointSize(font, printer, wanted, SheetBody(printer).width());
    if (points < kSmallestPoints && printer->pageLayout().orientation() == QPageLayout::Portrait) {
        printer->setPageOrientation(QPageLayout::Landscape);
        points = FittingPointSize(font, printer, wanted, SheetBody(printer).width());
    }
    font.setPointSizeF(std::max(points, kSmallestPoints));
    QPainter p;
    if (!p.begin(printer)) return false;
    p.setFont(font);
    const QFontMetricsF fm(font, printer);
    const double dpi = printer->logicalDpiY();
    const QRectF body = SheetBody(printer);
    const double cell = std::max(1.0, fm.horizontalAdvance(QLatin1Char('0')));
    const double lineHeight = std::max(1.0, fm.lineSpacing());
    const auto columns = static_cast<size_t>(std::max(1.0, std::floor(body.width() / cell)));
    const int rows = static_cast<int>(std::max(1.0, std::floor(body.height() / lineHeight)));
    int sheet = 1;
    int row = 0;
    auto foot = [&] {
        const QString number = QString::number(sheet);
        p.drawText(QPointF(body.right() - fm.horizontalAdvance(number), body.bottom() + fm.ascent() + 5 * dpi / 96),
                   number);
    };
    auto newSheet = [&] {
        foot();
        printer->newPage();
        ++sheet;
        row = 0;
    };
    for (const ListingLine& line : listing.lines) {
        if (line.pageBreak && row > 0) newSheet();
        const QString shown = listing.Columns(line, 0, listing.ColumnOf(line, line.end));
        qsizetype at = 0;
        do {
            if (row == rows) newSheet();
            qsizetype take = std::min(static_cast<qsizetype>(columns), shown.size() - at);
            if (at + take < shown.size()) {
                // Broken after the last blank in the row, as words wrap; a longer word is cut.
                const qsizetype blank = shown.lastIndexOf(u' ', at + take);
                if (blank > at) take = blank - at;
            }
            p.drawText(QPointF(body.left(), body.top() + row * lineHeight + fm.ascent()), shown.mid(at, take));
            ++row;
            at += take;
            while (at < shown.size() && shown[at] == u' ') ++at;   // the blanks at a break
        } while (at < shown.size());
    }
    foot();
    return p.end();
}

// --- The window ------------------------------------------------------------------------------------

// The busy pointer over all of the program's windows, while it stands.
struct BusyPointer {
    BusyPointer() { QApplication::setOverrideCursor(Qt::WaitCursor); }
    ~BusyPointer() { QApplication::restoreOverrideCursor(); }
    BusyPointer(const BusyPointer&) = delete;
    BusyPointer& operator=(const BusyPointer&) = delete;
};

class TextViewer : public QDialog {
public:
    TextViewer(const CString& path, std::shared_ptr<const CString> text, QWidget* parent)
        : QDialog(parent), m_listing(IndexListing(std::move(text))) {
        setWindowTitle(ToQ(FileNameOfPath(path)));
        setWindowFlag(Qt::WindowContextHelpButtonHint, false);
        setWindowFlag(Qt::WindowMinMaxButtonsHint, true);
        m_font = QFontDatabase::systemFont(QFontDatabase::FixedFont);
        m_view = new ListingView(m_listing, m_font, this);
        m_copy = new QPushButton(ToQ("Copiar"), this);
        m_print = new QPushButton(ToQ("Imprimir"), this);
        m_close = new QPushButton(ToQ("Fechar"), this);
        connect(m_copy, &QPushButton::clicked, this, [this] { m_view->Copy(); });
        connect(m_print, &QPushButton::clicked, this, [this] { Print(); });
        connect(m_close, &QPushButton::clicked, this, &QDialog::accept);
        auto* buttons = new QHBoxLayout;
        buttons->addStretch(1);
        buttons->addWidget(m_copy);
        buttons->addWidget(m_print);
        buttons->addWidget(m_close);
        auto* layout = new QVBoxLayout(this);
        layout->addWidget(m_view, 1);
        layout->addLayout(buttons);
        QFontMetrics fm(m_font);
        resize(fm.horizontalAdvance(QLatin1Char('0')) * 100 + 40, fm.lineSpacing() * 40 + 60);
    }

    // Keeps the busy pointer until the text is first drawn, or the viewer goes unseen.
    void HoldBusyPointer(std::unique_ptr<BusyPointer> busy) {
        m_busy = std::move(busy);
        m_view->OnFirstPaint([this] { m_busy.reset(); });
    }

    void Print() {
        // The print dialog and a failure come up above the viewer, which asks for them.
        CWnd* self = CWnd::FromHandle(ToHwnd(this));
        CPrintDialog dlg(FALSE, PD_ALLPAGES | PD_USEDEVMODECOPIES | PD_NOPAGENUMS | PD_HIDEPRINTTOFILE | PD_NOSELECTION, self);
        if (dlg.DoModal() != IDOK) return;
        HDC dc = dlg.GetPrinterDC();
        auto* printer = dynamic_cast<gdi::PrinterContext*>(gdi::DeviceContext::Of(dc));
        const bool printed = printer && PrintListing(printer->Printer(), m_listing, m_font);
        ::DeleteDC(dc);
        if (!printed) ReportPrintFailure(self);
    }

    QPushButton* Button(TextViewerButton b) const {
        switch (b) {
        case TextViewerButton::Copy: return m_copy;
        case TextViewerButton::Print: return m_print;
        default: return m_close;
        }
    }

    ListingView* View() const { return m_view; }

protected:
    void hideEvent(QHideEvent* e) override {
        m_busy.reset();
        QDialog::hideEvent(e);
    }

private:
    Listing m_listing;
    QFont m_font;
    ListingView* m_view;
    QPushButton* m_copy;
    QPushButton* m_print;
    QPushButton* m_close;
    std::unique_ptr<BusyPointer> m_busy;
};

std::weak_ptr<const CString> g_lastText;

std::vector<QPointer<TextViewer>>& OpenViewers() {
    static std::vector<QPointer<TextViewer>> viewers;
    return viewers;
}

// The viewer opened last that is still on the screen (one closed goes at the next turn of
// the event loop; until then it is only hidden).
TextViewer* MostRecentViewer() {
    auto& v = OpenViewers();
    while (!v.empty() && v.back().isNull()) v.pop_back();
    for (auto it = v.rbegin(); it != v.rend(); ++it)
        if (!it->isNull() && (*it)->isVisible()) return it->data();
    return nullptr;
}

// Viewers asked for by one window open at one place beside it, so a second one would hide
// the first exactly (two listings of one analysis): it goes a step down and to the right of
// any viewer still open there, or up and to the left when that would leave the screen.
void PlaceBesideOpenViewers(TextViewer* viewer) {
    const int step = 2 * QFontMetrics(viewer->font()).height();
    const QRect room = viewer->screen() ? viewer->screen()->availableGeometry() : QRect();
    const auto fits = [&](const QPoint& place) {
        return !room.isValid() || room.contains(QRect(place, viewer->size()));
    };
    const auto covering = [&](const QPoint& place) -> std::optional<QPoint> {
        for (auto& v : OpenViewers())
            if (!v.isNull() && v != viewer && v->isVisible() && std::abs(v->x() - place.x()) < step &&
                std::abs(v->y() - place.y()) < step)
                return v->pos();
        return std::nullopt;
    };
    QPoint at = viewer->pos();
    for (size_t tries = 0; tries <= OpenViewers().size(); ++tries) {
        const std::optional<QPoint> taken = covering(at);
        if (!taken) break;
        at = *taken + QPoint(step, step);
        if (!fits(at)) at = *taken - QPoint(step, step);
        if (!fits(at)) at = room.topLeft();
    }
    viewer->move(at);
}

}  // namespace

bool ShowTextFile(const char* path, bool modal, bool* told) {
    if (told) *told = false;
    auto busy = std::make_unique<BusyPointer>();
    std::string bytes;
    const ReadOutcome outcome = ReadListing(path, &bytes);
    if (outcome != ReadOutcome::Read) {
        busy.reset();
        if (outcome == ReadOutcome::NotRegular)
            AfxMessageBox(FormatString("Erro - %s não é um ficheiro regular", path));
        else if (outcome == ReadOutcome::HoldsZeroByte)
            AfxMessageBox(FormatString("Erro - %s não é um ficheiro de texto", path));
        if (told) *told = outcome == ReadOutcome::NotRegular || outcome == ReadOutcome::HoldsZeroByte;
        return false;
    }
    auto text = std::make_shared<const CString>(std::move(bytes));
    g_lastText = text;
    if (automation::Active()) automation::NoteTextViewer({CString(path), *text, modal});
    if (modal) {
        if (automation::Active()) return true;
        // Above the window that asked for it, which waits until it is closed.
        TextViewer viewer(path, text, OwnerForNewWindow());
        viewer.HoldBusyPointer(std::move(busy));
        viewer.exec();
        return true;
    }
    // A window of its own, as a separate program's would be: whatever the window that asked
    // for it opens above itself, the listing stays usable. It comes up beside that window.
    auto* viewer = new TextViewer(path, text, nullptr);
    viewer->HoldBusyPointer(std::move(busy));
    viewer->setAttribute(Qt::WA_DeleteOnClose);
    viewer->setModal(false);
    if (QWidget* asker = OwnerForNewWindow()) {
        viewer->setWindowIcon(asker->windowIcon());
        PlaceBeside(viewer, asker);
    }
    PlaceBesideOpenViewers(viewer);
    OpenViewers().emplace_back(viewer);
    viewer->show();
    viewer->raise();
    viewer->activateWindow();
    return true;
}

QWidget* MostRecentTextViewer() { return MostRecentViewer(); }

CString LastTextViewerText() {
    auto text = g_lastText.lock();
    return text ? *text : CString();
}

bool PressTextViewerButton(TextViewerButton button) {
    TextViewer* v = MostRecentViewer();
    if (!v) return false;
    v->Button(button)->click();
    return true;
}

bool SaveTextViewerPng(const char* path) {
    TextViewer* v = MostRecentViewer();
    if (!v) return false;
    return v->grab().save(QString::fromStdString(NativePath(path)), "PNG");
}

int OpenTextViewerCount() {
    int n = 0;
    for (auto& v : OpenViewers())
        if (!v.isNull()) ++n;
    return n;
}

void CloseTextViewers() {
    for (auto& v : OpenViewers())
        if (!v.isNull()) v->close();
    OpenViewers().clear();
}

bool PressTextViewerKey(UINT vk, UINT keyState) {
    std::string problem;
    return TextViewerKey(vk, &problem, keyState);
}

CWnd* TextViewerTextArea() {
    TextViewer* v = MostRecentViewer();
    return v ? CWnd::FromHandle(ToHwnd(v->View()->viewport())) : nullptr;
}

int TextViewerTopLine() {
    TextViewer* v = MostRecentViewer();
    return v ? v->View()->TopLine() : -1;
}

bool DragInTextViewer(int fromLine, int fromColumn, int toLine, int toColumn) {
    TextViewer* v = MostRecentViewer();
    if (!v) return false;
    QWidget* area = v->View()->viewport();
    const QPointF from = v->View()->CellPoint(fromLine, fromColumn);
    const QPointF to = v->View()->CellPoint(toLine, toColumn);
    auto send = [&](QEvent::Type type, QPointF at, Qt::MouseButton button, Qt::MouseButtons held) {
        QMouseEvent e(type, at, area->mapToGlobal(at), button, held, Qt::NoModifier);
        QApplication::sendEvent(area, &e);
    };
    send(QEvent::MouseButtonPress, from, Qt::LeftButton, Qt::LeftButton);
    send(QEvent::MouseMove, to, Qt::NoButton, Qt::LeftButton);
    send(QEvent::MouseButtonRelease, to, Qt::LeftButton, Qt::NoButton);
    return true;
}

}  // namespace afx
