#include "platform/ui/controls.h"

#include <QAbstractTableModel>
#include <charconv>
#include <cstdio>
#include <cstring>
#include <cmath>
#include <functional>
#include <map>
#include <unordered_map>
#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QDialog>
#include <QGroupBox>
#include <QHeaderView>
#include <QIntValidator>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QMainWindow>
#include <QMouseEvent>
#include <QPlainTextEdit>
#include <QProgressBar>
#include <QSlider>
#include <QPushButton>
#include <QRadioButton>
#include <QValidator>
#include <QScrollBar>
#include <QSignalBlocker>
#include <QStyle>
#include <QStyleOptionHeader>
#include <QStyledItemDelegate>
#include <QPainter>
#include <QStyleOptionViewItem>
#include <QKeyEvent>
#include <algorithm>
#include <QStatusBar>
#include <QTableView>
#include <QTimer>
#include <QToolBar>

#include "platform/core/large_block.h"
#include "platform/gdi/gdi_internal.h"
#include "platform/ui/dialog.h"
#include "platform/ui/qt_bridge.h"

using afx::FromQ;
using afx::ToQ;
using afx::WindowBinding;
using afx::WindowKind;

namespace afx {

// --- The model behind a report list --------------------------------------------------------

// The width a text takes in a font, as a cell or a heading lays it out (rounded up).
int TextWidth(const QString& text, const QFont& font) {
    return static_cast<int>(std::ceil(QFontMetricsF(font).horizontalAdvance(text)));
}

// The widths of a font's characters, each taken once: a quick bound of a text's width, at
// least TextWidth (a pixel more a character allows for kerning and rounding), which spares
// laying out the many texts that plainly fit.
class CharWidths {
public:
    int Bound(const CString& text, const QFont& font) {
        if (m_widths.empty() || !(m_font == font)) {
            m_font = font;
            const QFontMetrics metrics(font);
            m_widths.assign(256, 0);
            for (int c = 1; c < 256; ++c) m_widths[static_cast<size_t>(c)] = metrics.horizontalAdvance(ToQ(CString(static_cast<char>(c))));
        }
        int bound = 0;
        for (unsigned char c : text.str()) bound += m_widths[c] + 1;
        return bound;
    }

private:
    QFont m_font;
    std::vector<int> m_widths;
};

class ListCtrlModel : public QAbstractTableModel {
public:
    struct Column {
        CString heading;
        int format = LVCFMT_LEFT;
        int width = 60;
    };
    struct Row {
        std::vector<CString> cells;
        DWORD_PTR data = 0;
    };

    explicit ListCtrlModel(QObject* parent) : QAbstractTableModel(parent) {}

    std::vector<Column, LargeBlockAllocator<Column>> columns;
    std::vector<Row> rows;
    QTableView* view = nullptr;
    // An owner-data list holds no rows: it has a number of items and asks for each text.
    bool ownerData = false;
    int itemCount = 0;
    std::function<CString(int item, int subItem)> askText;

    int ItemCount() const { return ownerData ? itemCount : static_cast<int>(rows.size()); }
    CString TextOf(int item, int subItem) const {
        if (item < 0 || subItem < 0) return CString();
        if (ownerData) {
            if (item >= itemCount || static_cast<size_t>(subItem) >= std::max<size_t>(1, columns.size()) || !askText)
                return CString();
            return askText(item, subItem);
        }
        if (static_cast<size_t>(item) >= rows.size()) return CString();
        const auto& cells = rows[static_cast<size_t>(item)].cells;
        return static_cast<size_t>(subItem) < cells.size() ? cells[static_cast<size_t>(subItem)] : CString();
    }

    int rowCount(const QModelIndex& parent) const override { return parent.isValid() ? 0 : m_rows; }
    int columnCount(const QModelIndex& parent) const override { return parent.isValid() ? 0 : m_cols; }

    QVariant data(const QModelIndex& index, int role) const override {
        size_t r = static_cast<size_t>(index.row());
        size_t c = static_cast<size_t>(index.column());
        if (role == Qt::DisplayRole) {
            if (ownerData) return static_cast<int>(r) < itemCount ? ToQ(TextOf(index.row(), index.column())) : QVariant();
            if (r >= rows.size() || c >= rows[r].cells.size()) return QVariant();
            return ToQ(rows[r].cells[c]);
        }
        if (role == Qt::TextAlignmentRole) return Alignment(c);
        return QVariant();
    }

    QVariant headerData(int section, Qt::Orientation orientation, int role) const override {
        if (orientation != Qt::Horizontal) return QVariant();
        size_t c = static_cast<size_t>(section);
        if (role == Qt::DisplayRole) {
            if (c >= columns.size()) return QVariant();
            QString text = ToQ(columns[c].heading);
            // A heading wider than its column, painted, loses its end to an ellipsis, as the
            // cells do, instead of its start (the toolkit would cut a right-aligned one on the left).
            if (section == paintedSection && view) {
                QHeaderView* h = view->horizontalHeader();
                const int room = paintedWidth - 2 * h->style()->pixelMetric(QStyle::PM_HeaderMargin, nullptr, h);
                if (h->fontMetrics().horizontalAdvance(text) > room)
                    text = h->fontMetrics().elidedText(text, Qt::ElideRight, std::max(0, room));
            }
            return text;
        }
        if (role == Qt::TextAlignmentRole) return Alignment(c);
        return QVariant();
    }

    QVariant Alignment(size_t c) const {
        int f = c < columns.size() ? columns[c].format : LVCFMT_LEFT;
        Qt::Alignment a = f == LVCFMT_RIGHT ? Qt::AlignRight : f == LVCFMT_CENTER ? Qt::AlignHCenter : Qt::AlignLeft;
        return QVariant::fromValue(int(a | Qt::AlignVCenter));
    }

    // Changes are shown once per turn of the event loop, so filling a large table costs
    // one reset of the view instead of one notification per cell.
    void Changed(bool structure) {
        m_structure = m_structure || structure;
        if (m_pending) return;
        m_pending = true;
        QTimer::singleShot(0, this, [this] { Publish(); });
    }

    void Publish() {
        if (!m_pending) return;
        m_pending = false;
        int newRows = ItemCount();
        int newCols = static_cast<int>(columns.size());
        if (m_structure || newRows != m_rows || newCols != m_cols) {
            // The sections are made with the width that most columns have, in one step.
            if (view && newCols > 0) view->horizontalHeader()->setDefaultSectionSize(CommonWidth());
            beginResetModel();
            m_rows = newRows;
            m_cols = newCols;
            endResetModel();
            if (view) {
                QHeaderView* h = view->horizontalHeader();
                SectionResizes resizes(h);
                for (int i = 0; i < m_cols; ++i)
                    if (h->sectionSize(i) != columns[static_cast<size_t>(i)].width) resizes.Resize(i, columns[static_cast<size_t>(i)].width);
            }
        } else if (m_rows > 0 && m_cols > 0) {
            emit dataChanged(index(0, 0), index(m_rows - 1, m_cols - 1));
        }
        m_structure = false;
        if (published) published();
    }
    // Called at the end of each Publish.
    std::function<void()> published;

    // Gives a shown column's section the column's width (one not shown yet gets it when
    // the list is published).
    void ApplyWidth(int column) {
        if (!view || column >= m_cols) return;
        SectionResizes resizes(view->horizontalHeader());
        resizes.Resize(column, columns[static_cast<size_t>(column)].width);
    }

    // The width that most columns have (the first of them on a tie).
    int CommonWidth() const {
        std::unordered_map<int, size_t> counts;
        int common = columns.empty() ? 60 : columns.front().width;
        size_t most = 0;
        for (const Column& c : columns)
            if (size_t n = ++counts[c.width]; n > most) {
                most = n;
                common = c.width;
            }
        return common;
    }

    // Gives sections their widths. While it lasts the header neither repaints nor works out
    // where each resized section stands, which would walk all the sections before it for
    // every one: many columns cost the time of one walk. The view repaints the columns that
    // moved once afterwards.
    class SectionResizes {
    public:
        explicit SectionResizes(QHeaderView* header) : m_header(header), m_updates(header->updatesEnabled()) {
            m_header->setUpdatesEnabled(false);
        }
        ~SectionResizes() { m_header->setUpdatesEnabled(m_updates); }
        SectionResizes(const SectionResizes&) = delete;
        SectionResizes& operator=(const SectionResizes&) = delete;
        void Resize(int section, int width) { m_header->resizeSection(section, width); }

    private:
        QHeaderView* m_header;
        bool m_updates;
    };

    // The width a column needs to show its heading whole.
    int HeadingWidth(const CString& heading) const {
        if (!view || heading.IsEmpty()) return 0;
        QHeaderView* h = view->horizontalHeader();
        QStyleOptionHeader option;
        option.initFrom(h);
        option.orientation = Qt::Horizontal;
        option.text = ToQ(heading);
        option.fontMetrics = h->fontMetrics();
        return h->style()->sizeFromContents(QStyle::CT_HeaderSection, &option, QSize(), h).width();
    }
    // A column is never narrower than its heading. A heading that fits by the widths of its
    // characters is not measured: laying the text out costs more than the rest of making a
    // column.
    int FitHeading(const CString& heading, int width) const {
        if (!view || heading.IsEmpty()) return width;
        const QFont& font = view->horizontalHeader()->font();
        if (!(m_headingMarginsFont == font)) {
            m_headingMarginsFont = font;
            m_headingMargins = std::max(0, HeadingWidth("0") - TextWidth(QStringLiteral("0"), font));
        }
        if (m_headingMargins + m_headingWidths.Bound(heading, font) <= width) return width;
        return std::max(width, HeadingWidth(heading));
    }

    // The section that the header is painting, and its width (for the heading's text).
    mutable int paintedSection = -1;
    mutable int paintedWidth = 0;

    int WidthOf(int column) const {
        if (view && column < m_cols) return view->horizontalHeader()->sectionSize(column);
        return columns[static_cast<size_t>(column)].width;
    }

private:
    int m_rows = 0;
    int m_cols = 0;
    // The headings' characters' widths, and the margins of a section (in that font).
    mutable CharWidths m_headingWidths;
    mutable QFont m_headingMarginsFont;
    mutable int m_headingMargins = 0;
    bool m_pending = false;
    bool m_structure = false;
};

// The number of decimals of a number in fixed form ("-12.5000" has 4, "7" none); -1 for
// any other text.
int FixedFormDecimals(const QString& text) {
    int digits = 0, decimals = -1;
    for (qsizetype i = text.startsWith(QLatin1Char('-')) ? 1 : 0; i < text.size(); ++i) {
        const QChar c = text[i];
        if (c >= QLatin1Char('0') && c <= QLatin1Char('9')) {
            ++digits;
            if (decimals >= 0) ++decimals;
        } else if (c == QLatin1Char('.') && decimals < 0 && digits > 0) {
            decimals = 0;
        } else {
            return -1;
        }
    }
    return digits == 0 || decimals == 0 ? -1 : std::max(decimals, 0);
}

QString FitNumber(const QString& text, const QFont& font, int room) {
    const int decimals = FixedFormDecimals(text);
    if (decimals < 0 || room <= 0 || TextWidth(text, font) <= room) return text;
    const QByteArray digits = text.toLatin1();
    double value = 0.0;
    if (std::from_chars(digits.constData(), digits.constData() + digits.size(), value).ec != std::errc()) return text;
    char exponent[400];
    std::snprintf(exponent, sizeof exponent, "%.*e", std::min(decimals, 340), value);
    return QString::fromLatin1(exponent);
}

int CellTextRoom(const QStyleOptionViewItem& option) {
    const QWidget* w = option.widget;
    QStyle* style = w ? w->style() : QApplication::style();
    // The margins that the style leaves on each side of a cell's text.
    const int margin = style->pixelMetric(QStyle::PM_FocusFrameHMargin, nullptr, w) + 1;
    return style->subElementRect(QStyle::SE_ItemViewItemText, &option, w).width() - 2 * margin;
}

namespace {

class ListCtrlWidget;

// Draws the cells of a report list, offering each drawing stage to the program through
// NM_CUSTOMDRAW (colours, fonts, or drawing of its own), as the original control does.
class CustomDrawDelegate : public QStyledItemDelegate {
public:
    explicit CustomDrawDelegate(ListCtrlWidget* view);
    void paint(QPainter* painter, const QStyleOptionViewItem& option, const QModelIndex& index) const override;
    // The option of a cell as its painting fills it, the text included.
    void CellOption(QStyleOptionViewItem* option, const QModelIndex& index) const { initStyleOption(option, index); }

protected:
    void initStyleOption(QStyleOptionViewItem* option, const QModelIndex& index) const override;

private:
    ListCtrlWidget* m_view;
};

// The column headings of a report list: tells the model which section it paints, so that a
// heading too wide for its column is shortened to it.
class ListHeader : public QHeaderView {
public:
    ListHeader(QWidget* parent, ListCtrlModel* m) : QHeaderView(Qt::Horizontal, parent), model(m) {}

protected:
    void paintSection(QPainter* painter, const QRect& rect, int logicalIndex) const override {
        model->paintedSection = logicalIndex;
        model->paintedWidth = rect.width();
        QHeaderView::paintSection(painter, rect, logicalIndex);
        model->paintedSection = -1;
    }

private:
    ListCtrlModel* model;
};

class ListCtrlWidget : public ScrollHost<QTableView> {
public:
    explicit ListCtrlWidget(QWidget* parent) : ScrollHost<QTableView>(parent), model(new ListCtrlModel(this)) {
        model->view = this;
        setHorizontalHeader(new ListHeader(this, model));
        model->askText = [this](int item, int subItem) { return AskText(item, subItem); };
        model->published = [this] { WidenForNumbers(); };
        setModel(model);
        setItemDelegate(new CustomDrawDelegate(this));
        verticalHeader()->hide();
        verticalHeader()->setSectionResizeMode(QHeaderView::Fixed);
        verticalHeader()->setDefaultSectionSize(fontMetrics().height() + 4);
        horizontalHeader()->setSectionsClickable(true);
        horizontalHeader()->setHighlightSections(false);
        horizontalHeader()->setDefaultAlignment(Qt::AlignLeft | Qt::AlignVCenter);
        horizontalHeader()->setStretchLastSection(false);
        setSelectionBehavior(QAbstractItemView::SelectRows);
        setSelectionMode(QAbstractItemView::SingleSelection);
        setEditTriggers(QAbstractItemView::NoEditTriggers);
        setWordWrap(false);
        setShowGrid(false);
        setCornerButtonEnabled(false);
        setHorizontalScrollMode(QAbstractItemView::ScrollPerPixel);
    }
    ListCtrlModel* model;

    // The text a cell shows, in the option its painting gives it, and the room for it.
    QString ShownText(const QModelIndex& index, int* room) const {
        QStyleOptionViewItem option;
        initViewItemOption(&option);
        option.rect = visualRect(index);   // without the grid line, as the painting gives it
        static_cast<const CustomDrawDelegate*>(itemDelegate())->CellOption(&option, index);
        if (room) *room = CellTextRoom(option);
        return option.text;
    }

    // What a column's width gives to the margins of its cells' texts and to the grid line
    // (counted whether it is drawn or not): the rest is the texts' room.
    int CellMargins() const {
        QStyleOptionViewItem option;
        initViewItemOption(&option);
        option.rect = QRect(0, 0, 1000, verticalHeader()->defaultSectionSize());
        return 1000 - CellTextRoom(option) + 1;
    }

    // The width that shows every text of a column whole.
    int ContentWidth(int column) {
        int widest = 0;
        for (int r = 0, n = model->ItemCount(); r < n; ++r) {
            const CString text = model->TextOf(r, column);
            if (!text.IsEmpty() && m_cellWidths.Bound(text, font()) > widest) widest = std::max(widest, TextWidth(ToQ(text), font()));
        }
        return widest + CellMargins();
    }

    // Widens a column, when the program set its width, so that a number that its cells show
    // cut even in exponent form shows whole; as a number cut reads as another number, the
    // column is as wide as such numbers are.
    void WidenForNumber(int column, const QString& shown) {
        const int width = TextWidth(shown, font()) + CellMargins();
        auto& wanted = m_widenings[column];
        wanted = std::max(wanted, width);
        if (m_wideningPending) return;
        m_wideningPending = true;
        // Not while the cells are painted: once the painting is over.
        QTimer::singleShot(0, this, [this] { Widen(); });
    }

    // Each column of a list that holds its cells gets the width its numbers need (the cells
    // of an owner-data list are known only as they are painted, which widens them then).
    void WidenForNumbers() {
        if (model->ownerData || model->rows.empty()) return;
        const int margins = CellMargins();
        QHeaderView* h = horizontalHeader();
        for (int c = 0; c < model->columnCount(QModelIndex()); ++c) {
            const int room = h->sectionSize(c) - margins;
            for (const ListCtrlModel::Row& row : model->rows) {
                if (static_cast<size_t>(c) >= row.cells.size()) continue;
                const CString& text = row.cells[static_cast<size_t>(c)];
                if (text.IsEmpty() || m_cellWidths.Bound(text, font()) <= room) continue;
                const QString shown = FitNumber(ToQ(text), font(), room);
                if (shown != ToQ(text) && TextWidth(shown, font()) > room) WidenForNumber(c, shown);
            }
        }
        if (m_wideningPending) Widen();
    }

    void Widen() {
        m_wideningPending = false;
        std::map<int, int> widenings;
        widenings.swap(m_widenings);
        ListCtrlModel::SectionResizes resizes(horizontalHeader());
        for (const auto& [column, width] : widenings) {
            if (column >= model->columnCount(QModelIndex())) continue;
            int& programWidth = model->columns[static_cast<size_t>(column)].width;
            // A width the person gave the column by hand stays.
            if (columnWidth(column) != programWidth || width <= programWidth) continue;
            programWidth = width;
            resizes.Resize(column, width);
        }
    }

    // The cells' characters' widths, and the widths wanted for numbers, by column.
    CharWidths m_cellWidths;
    std::map<int, int> m_widenings;
    bool m_wideningPending = false;

    // The state of one painting of the list, for the custom-draw stages.
    int cycle = 0;
    int controlCycle = -1;
    LRESULT controlFlags = CDRF_DODEFAULT;
    int rowCycle = -1;
    int row = -1;
    LRESULT rowFlags = CDRF_DODEFAULT;
    COLORREF rowText = CLR_DEFAULT;
    COLORREF rowBk = CLR_DEFAULT;

    // Sends one stage; returns the reply flags and fills colours from the notification.
    LRESULT Notify(DWORD stage, QPainter* painter, const QRect& rect, int item, int subItem, UINT state,
                   COLORREF* text, COLORREF* bk, QFont* font) {
        WindowBinding* b = WindowBinding::Of(this);
        if (!b) return CDRF_DODEFAULT;
        gdi::PainterContext context(painter);
        HFONT initial = static_cast<HFONT>(context.state.font);
        NMLVCUSTOMDRAW cd{};
        cd.nmcd.hdr.hwndFrom = ToHwnd(this);
        cd.nmcd.hdr.idFrom = static_cast<UINT_PTR>(b->id);
        cd.nmcd.hdr.code = NM_CUSTOMDRAW;
        cd.nmcd.dwDrawStage = stage;
        cd.nmcd.hdc = reinterpret_cast<HDC__*>(context.Handle());
        cd.nmcd.rc = CRect(rect.left(), rect.top(), rect.left() + rect.width(), rect.top() + rect.height());
        cd.nmcd.dwItemSpec = static_cast<DWORD_PTR>(std::max(item, 0));
        cd.nmcd.uItemState = state;
        if (item >= 0 && static_cast<size_t>(item) < model->rows.size())
            cd.nmcd.lItemlParam = static_cast<LPARAM>(model->rows[static_cast<size_t>(item)].data);
        cd.clrText = text ? *text : CLR_DEFAULT;
        cd.clrTextBk = bk ? *bk : CLR_DEFAULT;
        cd.iSubItem = subItem;
        painter->save();
        LRESULT r = NotifyParent(this, &cd.nmcd.hdr);
        painter->restore();
        if (text) *text = cd.clrText;
        if (bk) *bk = cd.clrTextBk;
        if (font && context.state.font != initial)
            if (gdi::Font* f = context.CurrentFont()) *font = gdi::ToQFont(f->log, painter->device());
        return r;
    }

    // The text of a cell of an owner-data list, from its owner (LVN_GETDISPINFO).
    CString AskText(int item, int subItem) {
        WindowBinding* b = WindowBinding::Of(this);
        char buffer[1024] = "";
        NMLVDISPINFO info{};
        info.hdr.hwndFrom = ToHwnd(this);
        info.hdr.idFrom = b ? static_cast<UINT_PTR>(b->id) : 0;
        info.hdr.code = LVN_GETDISPINFO;
        info.item.mask = LVIF_TEXT;
        info.item.iItem = item;
        info.item.iSubItem = subItem;
        info.item.pszText = buffer;
        info.item.cchTextMax = static_cast<int>(sizeof buffer);
        NotifyParent(this, &info.hdr);
        if (info.item.pszText == buffer) return CString(std::string(buffer, strnlen(buffer, sizeof buffer)));
        return CString(info.item.pszText ? info.item.pszText : "");
    }

    // Whether the list or the window above it takes custom-draw notifications at all.
    bool WantsCustomDraw() {
        WindowBinding* b = WindowBinding::Of(this);
        if (b && b->owner && b->owner->FindMessageEntry(WM_REFLECT_BASE + WM_NOTIFY, NM_CUSTOMDRAW, 0)) return true;
        for (QWidget* p = parentWidget(); p; p = p->parentWidget()) {
            WindowBinding* pb = WindowBinding::Of(p);
            if (pb && pb->owner) {
                AFX_CMDHANDLERINFO info;
                return b && pb->owner->OnCmdMsg(static_cast<UINT>(b->id),
                                               static_cast<int>(MAKEWPARAM(NM_CUSTOMDRAW, WM_NOTIFY)), nullptr, &info);
            }
            if (p->isWindow()) break;
        }
        return false;
    }

protected:
    void paintEvent(QPaintEvent* e) override {
        ++cycle;
        QTableView::paintEvent(e);
        if (controlCycle == cycle && (controlFlags & CDRF_NOTIFYPOSTPAINT)) {
            QPainter painter(viewport());
            Notify(CDDS_POSTPAINT, &painter, viewport()->rect(), -1, 0, 0, nullptr, nullptr, nullptr);
        }
    }
};

CustomDrawDelegate::CustomDrawDelegate(ListCtrlWidget* view) : QStyledItemDelegate(view), m_view(view) {}

// A cell being painted shows a number too wide for it in exponent form. (A size hint, asked
// with no cell, has the text as it is.)
void CustomDrawDelegate::initStyleOption(QStyleOptionViewItem* option, const QModelIndex& index) const {
    QStyledItemDelegate::initStyleOption(option, index);
    if (option->rect.isEmpty()) return;
    const int room = CellTextRoom(*option);
    const QString text = option->text;
    option->text = FitNumber(text, option->font, room);
    if (m_view->model->ownerData && option->text != text && TextWidth(option->text, option->font) > room)
        m_view->WidenForNumber(index.column(), option->text);
}

void CustomDrawDelegate::paint(QPainter* painter, const QStyleOptionViewItem& option, const QModelIndex& index) const {
    ListCtrlWidget* v = m_view;
    if (!v->WantsCustomDraw()) {
        QStyledItemDelegate::paint(painter, option, index);
        return;
    }
    int row = index.row(), col = index.column();
    UINT state = (option.state & QStyle::State_Selected) ? CDIS_SELECTED : 0;
    if (v->controlCycle != v->cycle) {
        v->controlCycle = v->cycle;
        v->rowCycle = -1;
        v->controlFlags = v->Notify(CDDS_PREPAINT, painter, v->viewport()->rect(), -1, 0, 0, nullptr, nullptr, nullptr);
    }
    if (!(v->controlFlags & CDRF_NOTIFYITEMDRAW)) {
        QStyledItemDelegate::paint(painter, option, index);
        return;
    }
    QFont font = option.font;
    if (v->rowCycle != v->cycle || v->row != row) {
        v->rowCycle = v->cycle;
        v->row = row;
        v->rowText = CLR_DEFAULT;
        v->rowBk = CLR_DEFAULT;
        QRect rowRect(0, option.rect.top(), v->viewport()->width(), option.rect.height());
        v->rowFlags = v->Notify(CDDS_ITEMPREPAINT, painter, rowRect, row, 0, state, &v->rowText, &v->rowBk, &font);
    }
    COLORREF text = v->rowText, bk = v->rowBk;
    LRESULT flags = v->rowFlags;
    if (v->rowFlags & CDRF_NOTIFYSUBITEMDRAW)
        flags = v->Notify(CDDS_ITEMPREPAINT | CDDS_SUBITEM, painter, option.rect, row, col, state, &text, &bk, &font);
    if (!(flags & CDRF_SKIPDEFAULT)) {
        QStyleOptionViewItem opt(option);
        opt.font = font;
        if (bk != CLR_DEFAULT && !(option.state & QStyle::State_Selected))
            painter->fillRect(option.rect, gdi::ToQColor(bk));
        if (text != CLR_DEFAULT) {
            opt.palette.setColor(QPalette::Text, gdi::ToQColor(text));
            opt.palette.setColor(QPalette::HighlightedText, gdi::ToQColor(text));
        }
        QStyledItemDelegate::paint(painter, opt, index);
    }
    if (flags & CDRF_NOTIFYPOSTPAINT)
        v->Notify(CDDS_ITEMPOSTPAINT | ((v->rowFlags & CDRF_NOTIFYSUBITEMDRAW) ? CDDS_SUBITEM : 0), painter, option.rect,
                  row, col, state, nullptr, nullptr, nullptr);
}

// The limits of a single-line edit, as the original control applies them: typing cannot
// make the text longer than the limit (a longer text put there by the program stays), and
// a digits-only edit takes digits only.
class EditLimitValidator : public QValidator {
public:
    EditLimitValidator(QLineEdit* edit, int limit, bool digitsOnly)
        : QValidator(edit), m_limit(limit), m_digitsOnly(digitsOnly) {}
    State validate(QString& input, int&) const override {
        // (m_current is the length before the change; the edit already holds the new text.)
        if (input.size() > m_limit && input.size() > m_current) return Invalid;
        if (m_digitsOnly)
            for (QChar c : input)
                if (!c.isDigit()) return Invalid;
        return Acceptable;
    }
    int m_limit;
    qsizetype m_current = 0;

private:
    bool m_digitsOnly;
};

class StaticWidget : public Host<QLabel> {
public:
    using Host<QLabel>::Host;

protected:
    void mouseReleaseEvent(QMouseEvent* e) override {
        QLabel::mouseReleaseEvent(e);
        WindowBinding* b = WindowBinding::Of(this);
        if (b && (b->style & SS_NOTIFY) && e->button() == Qt::LeftButton && rect().contains(e->position().toPoint()))
            NotifyParent(this, STN_CLICKED);
    }
};

class DialogWidget : public Host<QDialog> {
public:
    using Host<QDialog>::Host;
    void reject() override {
        // Escape and the window system's close reach the dialog as the Cancel command.
        WindowBinding* b = WindowBinding::Of(this);
        if (b && b->owner) b->owner->SendMessage(WM_COMMAND, MAKEWPARAM(IDCANCEL, 0), 0);
    }
};

// The check list: ticks change on the button press (as on the original platform), when
// the press hits an item's tick box, or with Space on the caret item.
class CheckListWidget : public ScrollHost<QListWidget> {
public:
    using ScrollHost<QListWidget>::ScrollHost;

    QRect CheckRect(QListWidgetItem* item) const {
        QStyleOptionViewItem opt;
        opt.initFrom(viewport());
        opt.rect = visualItemRect(item);
        opt.features |= QStyleOptionViewItem::HasCheckIndicator | QStyleOptionViewItem::HasDisplay;
        return style()->subElementRect(QStyle::SE_ItemViewItemCheckIndicator, &opt, this);
    }

    void Toggle(QListWidgetItem* item) {
        if (!item || !(item->flags() & Qt::ItemIsEnabled)) return;
        item->setData(Qt::CheckStateRole, item->checkState() == Qt::Checked ? Qt::Unchecked : Qt::Checked);
        NotifyParent(this, CLBN_CHKCHANGE);
    }

protected:
    void mousePressEvent(QMouseEvent* e) override {
        QListWidgetItem* item = itemAt(e->position().toPoint());
        QListWidget::mousePressEvent(e);
        if (item && e->button() == Qt::LeftButton && CheckRect(item).contains(e->position().toPoint())) Toggle(item);
    }
    void keyPressEvent(QKeyEvent* e) override {
        if (e->key() == Qt::Key_Space && currentItem()) {
            Toggle(currentItem());
            return;
        }
        QListWidget::keyPressEvent(e);
    }
};

void WireListBox(QListWidget* lw) {
    QObject::connect(lw, &QListWidget::itemSelectionChanged, lw, [lw] { NotifyParent(lw, LBN_SELCHANGE); });
    QObject::connect(lw, &QListWidget::itemDoubleClicked, lw, [lw](QListWidgetItem*) { NotifyParent(lw, LBN_DBLCLK); });
}

// The radio buttons of a button's group, in template order (the button alone when it
// belongs to none).
std::vector<QRadioButton*> RadioGroupOf(QRadioButton* rb) {
    WindowBinding* b = WindowBinding::Of(rb);
    if (!b || b->radioGroup < 0 || !rb->parentWidget()) return {rb};
    std::vector<QRadioButton*> group;
    for (QRadioButton* other : rb->parentWidget()->findChildren<QRadioButton*>(Qt::FindDirectChildrenOnly)) {
        WindowBinding* ob = WindowBinding::Of(other);
        if (ob && ob->radioGroup == b->radioGroup) group.push_back(other);
    }
    return group;
}

void ClickRadio(QRadioButton* rb) {
    rb->setChecked(true);
    for (QRadioButton* other : RadioGroupOf(rb))
        if (other != rb) other->setChecked(false);
}

// A radio button of a dialog's group. The group is one Tab stop, its checked button (else
// its first one that can take the focus); the arrow keys move the focus round the group and
// check the button they reach, as a click does.
class RadioButton : public Host<QRadioButton> {
public:
    using Host<QRadioButton>::Host;

protected:
    void keyPressEvent(QKeyEvent* e) override {
        const int key = e->key();
        if (key != Qt::Key_Up && key != Qt::Key_Down && key != Qt::Key_Left && key != Qt::Key_Right)
            return Host<QRadioButton>::keyPressEvent(e);
        const std::vector<QRadioButton*> group = RadioGroupOf(this);
        const auto n = static_cast<std::ptrdiff_t>(group.size());
        const std::ptrdiff_t step = key == Qt::Key_Down || key == Qt::Key_Right ? 1 : n - 1;
        const std::ptrdiff_t at = std::find(group.begin(), group.end(), this) - group.begin();
        for (std::ptrdiff_t i = (at + step) % n; i != at; i = (i + step) % n) {
            QRadioButton* next = group[static_cast<size_t>(i)];
            if (!next->isEnabled() || !next->isVisible() || next->focusPolicy() == Qt::NoFocus) continue;
            next->setFocus(Qt::TabFocusReason);
            next->click();
            break;
        }
    }
    void changeEvent(QEvent* e) override {
        Host<QRadioButton>::changeEvent(e);
        if (e->type() == QEvent::EnabledChange) UpdateRadioTabStop(this);
    }
};

Qt::Alignment StaticAlignment(DWORD style) {
    DWORD a = style & 3;
    Qt::Alignment h = a == SS_CENTER ? Qt::AlignHCenter : a == SS_RIGHT ? Qt::AlignRight : Qt::AlignLeft;
    return h | ((style & SS_CENTERIMAGE) ? Qt::AlignVCenter : Qt::AlignTop);
}
}  // namespace

void UpdateRadioTabStop(QRadioButton* button) {
    const std::vector<QRadioButton*> group = RadioGroupOf(button);
    auto canStop = [](QRadioButton* b) { return b->isEnabled() && b->focusPolicy() != Qt::NoFocus; };
    QRadioButton* stop = nullptr;
    for (QRadioButton* b : group)
        if (b->isChecked() && canStop(b)) stop = b;
    for (QRadioButton* b : group)
        if (!stop && canStop(b)) stop = b;
    for (QRadioButton* b : group)
        if (b->focusPolicy() != Qt::NoFocus) b->setFocusPolicy(b == stop ? Qt::StrongFocus : Qt::ClickFocus);
}

QWidget* CreateKindWidget(WindowKind kind, DWORD style, const char* text, QWidget* parent) {
    QWidget* w = nullptr;
    switch (kind) {
    case WindowKind::Button: {
        auto* b = new Host<QPushButton>(parent);
        b->setAutoDefault(false);
        b->setDefault((style & 0xF) == BS_DEFPUSHBUTTON);
        b->setText(ToQ(text));
        QObject::connect(b, &QPushButton::clicked, b, [b] { NotifyParent(b, BN_CLICKED); });
        w = b;
        break;
    }
    case WindowKind::CheckBox: {
        auto* b = new Host<QCheckBox>(parent);
        b->setText(ToQ(text));
        QObject::connect(b, &QCheckBox::clicked, b, [b] { NotifyParent(b, BN_CLICKED); });
        w = b;
        break;
    }
    case WindowKind::Radio: {
        auto* b = new RadioButton(parent);
        b->setAutoExclusive(false);
        b->setText(ToQ(text));
        QObject::connect(b, &QRadioButton::clicked, b, [b] {
            ClickRadio(b);
            NotifyParent(b, BN_CLICKED);
        });
        QObject::connect(b, &QRadioButton::toggled, b, [b] { UpdateRadioTabStop(b); });
        w = b;
        break;
    }
    case WindowKind::GroupBox: {
        auto* g = new Host<QGroupBox>(parent);
        g->setTitle(ToQ(text));
        g->setFocusPolicy(Qt::NoFocus);
        w = g;
        break;
    }
    case WindowKind::Static: {
        auto* l = new StaticWidget(parent);
        l->setTextFormat(Qt::PlainText);
        l->setText(ToQ(text));
        l->setAlignment(StaticAlignment(style));
        l->setWordWrap(!(style & SS_CENTERIMAGE));
        w = l;
        break;
    }
    case WindowKind::Edit: {
        if (style & ES_MULTILINE) {
            auto* e = new ScrollHost<QPlainTextEdit>(parent);
            e->setReadOnly(style & ES_READONLY);
            e->setLineWrapMode((style & WS_HSCROLL) ? QPlainTextEdit::NoWrap : QPlainTextEdit::WidgetWidth);
            QObject::connect(e, &QPlainTextEdit::textChanged, e, [e] { NotifyParent(e, EN_CHANGE); });
            w = e;
        } else {
            auto* e = new Host<QLineEdit>(parent);
            e->setReadOnly(style & ES_READONLY);
            e->setMaxLength(0x7FFFFFFE);
            auto* limits = new EditLimitValidator(e, 30000, (style & ES_NUMBER) != 0);
            e->setValidator(limits);
            QObject::connect(e, &QLineEdit::textChanged, limits, [limits](const QString& t) { limits->m_current = t.size(); });
            if (style & ES_PASSWORD) e->setEchoMode(QLineEdit::Password);
            DWORD a = style & 3;
            e->setAlignment((a == ES_RIGHT ? Qt::AlignRight : a == ES_CENTER ? Qt::AlignHCenter : Qt::AlignLeft) |
                            Qt::AlignVCenter);
            QObject::connect(e, &QLineEdit::textChanged, e, [e] { NotifyParent(e, EN_CHANGE); });
            w = e;
        }
        break;
    }
    case WindowKind::ListBox:
    case WindowKind::CheckList: {
        QListWidget* lw = kind == WindowKind::CheckList ? new CheckListWidget(parent) : new ScrollHost<QListWidget>(parent);
        lw->setSelectionMode((style & LBS_EXTENDEDSEL)   ? QAbstractItemView::ExtendedSelection
                             : (style & LBS_MULTIPLESEL) ? QAbstractItemView::MultiSelection
                                                         : QAbstractItemView::SingleSelection);
        lw->setUniformItemSizes(true);
        lw->setHorizontalScrollBarPolicy((style & WS_HSCROLL) ? Qt::ScrollBarAsNeeded : Qt::ScrollBarAlwaysOff);
        if (style & LBS_MULTICOLUMN) {
            // Items run down a column, then on to the next one to the right.
            lw->setFlow(QListView::TopToBottom);
            lw->setWrapping(true);
            lw->setResizeMode(QListView::Adjust);
            lw->setHorizontalScrollBarPolicy(Qt::ScrollBarAsNeeded);
            lw->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
        }
        WireListBox(lw);
        w = lw;
        break;
    }
    case WindowKind::ComboBox: {
        auto* cb = new Host<QComboBox>(parent);
        cb->setEditable((style & 3) == CBS_DROPDOWN);
        QObject::connect(cb, qOverload<int>(&QComboBox::activated), cb, [cb](int) { NotifyParent(cb, CBN_SELCHANGE); });
        w = cb;
        break;
    }
    case WindowKind::ListCtrl: {
        auto* lc = new ListCtrlWidget(parent);
        lc->model->ownerData = (style & LVS_OWNERDATA) != 0;
        lc->horizontalHeader()->setVisible((style & LVS_TYPEMASK) == LVS_REPORT && !(style & LVS_NOCOLUMNHEADER));
        QHeaderView* header = lc->horizontalHeader();
        WindowBinding* hb = WindowBinding::Ensure(header, WindowKind::Header);
        hb->id = 0;
        QObject::connect(header, &QHeaderView::sectionClicked, header, [header](int section) {
            NMHEADER nm{};
            nm.hdr.hwndFrom = ToHwnd(header);
            nm.hdr.idFrom = 0;
            nm.hdr.code = HDN_ITEMCLICK;
            nm.iItem = section;
            nm.iButton = 0;
            NotifyParent(header, &nm.hdr);
        });
        w = lc;
        break;
    }
    case WindowKind::Slider: {
        auto* s = new Host<QSlider>(parent);
        s->setOrientation(Qt::Horizontal);
        s->setTickPosition(QSlider::TicksBelow);
        s->setTickInterval(1);
        s->setPageStep(1);
        s->setRange(0, 100);
        w = s;
        break;
    }
    case WindowKind::Progress: {
        auto* p = new Host<QProgressBar>(parent);
        p->setTextVisible(false);
        p->setRange(0, 100);
        p->setValue(0);
        w = p;
        break;
    }
    case WindowKind::Dialog: {
        auto* d = new DialogWidget(parent);
        d->setWindowTitle(ToQ(text));
        d->setModal(false);
        d->setSizeGripEnabled(false);
        w = d;
        break;
    }
    case WindowKind::Frame:
        w = new Host<QMainWindow>(parent);
        break;
    case WindowKind::StatusBar:
        w = new Host<QStatusBar>(parent);
        break;
    case WindowKind::ToolBar:
        w = new Host<QToolBar>(parent);
        break;
    case WindowKind::Header:
    case WindowKind::Generic:
    default: {
        auto* g = new Host<QWidget>(parent);
        g->setMouseTracking(true);
        g->setFocusPolicy(Qt::StrongFocus);
        w = g;
        break;
    }
    }
    WindowBinding::Ensure(w, kind)->style = style;
    if (parent && !(style & WS_VISIBLE)) w->hide();
    return w;
}

CWnd* CreateStandIn(WindowKind kind) {
    switch (kind) {
    case WindowKind::Button:
    case WindowKind::CheckBox:
    case WindowKind::Radio:
    case WindowKind::GroupBox: return new CButton;
    case WindowKind::Static: return new CStatic;
    case WindowKind::Edit: return new CEdit;
    case WindowKind::ListBox: return new CListBox;
    case WindowKind::CheckList: return new CCheckListBox;
    case WindowKind::ComboBox: return new CComboBox;
    case WindowKind::ListCtrl: return new CListCtrl;
    case WindowKind::Progress: return new CProgressCtrl;
    case WindowKind::Slider: return new CSliderCtrl;
    case WindowKind::Header: return new CHeaderCtrl;
    case WindowKind::Dialog: return new CDialog;
    default: return new CWnd;
    }
}

void ApplyStyle(QWidget* w, WindowKind kind, DWORD oldStyle, DWORD newStyle) {
    switch (kind) {
    case WindowKind::ListCtrl:
        if (auto* lc = dynamic_cast<ListCtrlWidget*>(w))
            lc->horizontalHeader()->setVisible((newStyle & LVS_TYPEMASK) == LVS_REPORT && !(newStyle & LVS_NOCOLUMNHEADER));
        break;
    case WindowKind::Static:
        if (auto* l = qobject_cast<QLabel*>(w)) l->setAlignment(StaticAlignment(newStyle));
        break;
    case WindowKind::Edit:
        if ((oldStyle ^ newStyle) & ES_READONLY) {
            if (auto* e = qobject_cast<QLineEdit*>(w)) e->setReadOnly(newStyle & ES_READONLY);
            if (auto* e = qobject_cast<QPlainTextEdit*>(w)) e->setReadOnly(newStyle & ES_READONLY);
        }
        break;
    case WindowKind::Button:
        if (auto* b = qobject_cast<QPushButton*>(w)) b->setDefault((newStyle & 0xF) == BS_DEFPUSHBUTTON);
        break;
    default:
        break;
    }
}

void SetWidgetText(QWidget* w, const QString& text) {
    if (w->isWindow()) w->setWindowTitle(text);
    else if (auto* b = qobject_cast<QAbstractButton*>(w)) b->setText(text);
    else if (auto* l = qobject_cast<QLabel*>(w)) l->setText(text);
    else if (auto* e = qobject_cast<QLineEdit*>(w)) e->setText(text);
    else if (auto* p = qobject_cast<QPlainTextEdit*>(w)) p->setPlainText(QString(text).replace("\r\n", "\n"));
    else if (auto* g = qobject_cast<QGroupBox*>(w)) g->setTitle(text);
    else if (auto* c = qobject_cast<QComboBox*>(w)) {
        if (c->isEditable()) c->setEditText(text);
        else c->setCurrentIndex(c->findText(text));
    }
}

QString WidgetText(const QWidget* w) {
    if (w->isWindow()) return w->windowTitle();
    if (auto* b = qobject_cast<const QAbstractButton*>(w)) return b->text();
    if (auto* l = qobject_cast<const QLabel*>(w)) return l->text();
    if (auto* e = qobject_cast<const QLineEdit*>(w)) return e->text();
    if (auto* p = qobject_cast<const QPlainTextEdit*>(w)) return p->toPlainText().replace("\n", "\r\n");
    if (auto* g = qobject_cast<const QGroupBox*>(w)) return g->title();
    if (auto* c = qobject_cast<const QComboBox*>(w)) return c->currentText();
    return QString();
}

void SetButtonCheck(QWidget* w, int check) {
    if (auto* cb = qobject_cast<QCheckBox*>(w)) {
        cb->setCheckState(check == BST_INDETERMINATE ? Qt::PartiallyChecked
                          : check                     ? Qt::Checked
                                                      : Qt::Unchecked);
    } else if (auto* b = qobject_cast<QAbstractButton*>(w)) {
        if (b->isCheckable()) b->setChecked(check != 0);
    }
}

int ButtonCheck(const QWidget* w) {
    if (auto* cb = qobject_cast<const QCheckBox*>(w))
        return cb->checkState() == Qt::PartiallyChecked ? BST_INDETERMINATE : cb->isChecked() ? BST_CHECKED : BST_UNCHECKED;
    if (auto* b = qobject_cast<const QAbstractButton*>(w)) return b->isChecked() ? BST_CHECKED : BST_UNCHECKED;
    return 0;
}

ListCtrlModel* ModelOf(QWidget* w) {
    auto* lc = dynamic_cast<ListCtrlWidget*>(w);
    return lc ? lc->model : nullptr;
}

QString ShownCellText(const QTableView* list, int row, int column, int* room) {
    if (room) *room = 0;
    if (!list || !list->model()) return QString();
    const QModelIndex index = list->model()->index(row, column);
    if (auto* lc = dynamic_cast<const ListCtrlWidget*>(list); lc && index.isValid()) return lc->ShownText(index, room);
    return index.data().toString();
}

}  // namespace afx

// --- Buttons, statics, edits ------------------------------------------------------------------

IMPLEMENT_DYNAMIC(CStatic, CWnd)
IMPLEMENT_DYNAMIC(CButton, CWnd)
IMPLEMENT_DYNAMIC(CEdit, CWnd)
IMPLEMENT_DYNAMIC(CListBox, CWnd)
IMPLEMENT_DYNAMIC(CCheckListBox, CListBox)
IMPLEMENT_DYNAMIC(CComboBox, CWnd)
IMPLEMENT_DYNAMIC(CProgressCtrl, CWnd)
IMPLEMENT_DYNAMIC(CSliderCtrl, CWnd)

namespace {
QSlider* SliderOf(QWidget* w) { return qobject_cast<QSlider*>(w); }
}  // namespace

void CSliderCtrl::SetRange(int minimum, int maximum, BOOL) {
    if (QSlider* s = SliderOf(m_widget)) s->setRange(minimum, maximum);
}

int CSliderCtrl::GetRangeMin() const {
    QSlider* s = SliderOf(m_widget);
    return s ? s->minimum() : 0;
}

int CSliderCtrl::GetRangeMax() const {
    QSlider* s = SliderOf(m_widget);
    return s ? s->maximum() : 0;
}

void CSliderCtrl::SetPos(int position) {
    if (QSlider* s = SliderOf(m_widget)) s->setValue(position);
}

int CSliderCtrl::GetPos() const {
    QSlider* s = SliderOf(m_widget);
    return s ? s->value() : 0;
}
IMPLEMENT_DYNAMIC(CHeaderCtrl, CWnd)
IMPLEMENT_DYNAMIC(CListCtrl, CWnd)

int CButton::GetCheck() const { return m_widget ? afx::ButtonCheck(m_widget) : 0; }

void CButton::SetCheck(int check) {
    if (m_widget) afx::SetButtonCheck(m_widget, check);
}

UINT CButton::GetState() const {
    UINT s = static_cast<UINT>(GetCheck());
    if (auto* b = qobject_cast<QAbstractButton*>(m_widget))
        if (b->isDown()) s |= 0x0004;
    if (m_widget && m_widget->hasFocus()) s |= 0x0008;
    return s;
}

void CButton::SetButtonStyle(UINT style, BOOL) { ModifyStyle(0xF, style & 0xF); }

static QLineEdit* LineEditOf(QWidget* w) { return qobject_cast<QLineEdit*>(w); }

void CEdit::SetLimitText(UINT max) {
    if (QLineEdit* e = LineEditOf(m_widget))
        if (auto* v = dynamic_cast<const afx::EditLimitValidator*>(e->validator()))
            const_cast<afx::EditLimitValidator*>(v)->m_limit = max == 0 ? 0x7FFFFFFE : static_cast<int>(max);
}

UINT CEdit::GetLimitText() const {
    QLineEdit* e = LineEditOf(m_widget);
    auto* v = e ? dynamic_cast<const afx::EditLimitValidator*>(e->validator()) : nullptr;
    return v ? static_cast<UINT>(v->m_limit) : 0;
}

void CEdit::SetSel(int start, int end, BOOL) {
    if (QLineEdit* e = LineEditOf(m_widget)) {
        int len = static_cast<int>(e->text().size());
        if (start < 0) {
            e->deselect();
            return;
        }
        if (end < 0 || end > len) end = len;
        if (start > len) start = len;
        e->setSelection(start, end - start);
    } else if (auto* p = qobject_cast<QPlainTextEdit*>(m_widget)) {
        QTextCursor c = p->textCursor();
        int len = static_cast<int>(p->toPlainText().size());
        if (end < 0 || end > len) end = len;
        c.setPosition(std::clamp(start, 0, len));
        c.setPosition(end, QTextCursor::KeepAnchor);
        p->setTextCursor(c);
    }
}

void CEdit::GetSel(int& start, int& end) const {
    start = end = 0;
    if (QLineEdit* e = LineEditOf(m_widget)) {
        if (e->hasSelectedText()) {
            start = e->selectionStart();
            end = start + static_cast<int>(e->selectedText().size());
        } else {
            start = end = e->cursorPosition();
        }
    }
}

void CEdit::ReplaceSel(const char* text, BOOL) {
    if (QLineEdit* e = LineEditOf(m_widget)) e->insert(ToQ(text));
    else if (auto* p = qobject_cast<QPlainTextEdit*>(m_widget)) p->insertPlainText(ToQ(text));
}

BOOL CEdit::SetReadOnly(BOOL readOnly) {
    ModifyStyle(readOnly ? 0 : ES_READONLY, readOnly ? ES_READONLY : 0);
    return TRUE;
}

int CEdit::LineScroll(int lines, int) {
    if (auto* p = qobject_cast<QPlainTextEdit*>(m_widget)) p->verticalScrollBar()->setValue(p->verticalScrollBar()->value() + lines);
    return TRUE;
}

// --- List box ----------------------------------------------------------------------------

static QListWidget* ListOf(QWidget* w) { return qobject_cast<QListWidget*>(w); }

static int SortedPosition(QListWidget* lw, const QString& text) {
    int i = 0;
    while (i < lw->count() && QString::compare(lw->item(i)->text(), text, Qt::CaseInsensitive) <= 0) ++i;
    return i;
}

static QListWidgetItem* NewListItem(QWidget* w, const char* text) {
    auto* item = new QListWidgetItem(ToQ(text));
    WindowBinding* b = WindowBinding::Of(w);
    if (b && b->kind == WindowKind::CheckList) {
        // The tick box is drawn from the item's state; the list itself changes it.
        item->setFlags(item->flags() & ~Qt::ItemIsUserCheckable);
        item->setData(Qt::CheckStateRole, Qt::Unchecked);
    }
    return item;
}

int CListBox::AddString(const char* text) {
    QListWidget* lw = ListOf(m_widget);
    if (!lw) return LB_ERR;
    QSignalBlocker block(lw);
    int at = (GetStyle() & LBS_SORT) ? SortedPosition(lw, ToQ(text)) : lw->count();
    lw->insertItem(at, NewListItem(lw, text));
    return at;
}

int CListBox::InsertString(int index, const char* text) {
    QListWidget* lw = ListOf(m_widget);
    if (!lw || index > lw->count()) return LB_ERR;
    QSignalBlocker block(lw);
    int at = index < 0 ? lw->count() : index;
    lw->insertItem(at, NewListItem(lw, text));
    return at;
}

int CListBox::DeleteString(UINT index) {
    QListWidget* lw = ListOf(m_widget);
    if (!lw || static_cast<int>(index) >= lw->count()) return LB_ERR;
    QSignalBlocker block(lw);
    delete lw->takeItem(static_cast<int>(index));
    return lw->count();
}

void CListBox::ResetContent() {
    if (QListWidget* lw = ListOf(m_widget)) {
        QSignalBlocker block(lw);
        lw->clear();
    }
}

void CListBox::SetColumnWidth(int width) {
    QListWidget* lw = ListOf(m_widget);
    if (!lw || width <= 0) return;
    const int row = std::max(lw->sizeHintForRow(0), lw->fontMetrics().height() + 2);
    // The tick box of a check list comes before the text the width was measured for.
    const int box = DefaultKind() == afx::WindowKind::CheckList || GetStyle() & LBS_AFX_CHECKLIST ? lw->style()->pixelMetric(QStyle::PM_IndicatorWidth) + 8 : 0;
    int column = width + box;
    if (GetStyle() & LBS_MULTICOLUMN) {
        // The columns share the visible width out whole, so that none is shown cut at the
        // right edge; the list scrolls sideways a column at a time.
        const int visible = lw->maximumViewportSize().width();
        if (visible > column) column = visible / (visible / column);
        lw->setHorizontalScrollMode(QAbstractItemView::ScrollPerItem);
    }
    lw->setGridSize(QSize(column, row));
}

int CListBox::GetColumnWidth() const {
    QListWidget* lw = ListOf(m_widget);
    return lw ? lw->gridSize().width() : 0;
}

int CListBox::GetCount() const {
    QListWidget* lw = ListOf(m_widget);
    return lw ? lw->count() : LB_ERR;
}

int CListBox::GetCurSel() const {
    QListWidget* lw = ListOf(m_widget);
    if (!lw) return LB_ERR;
    if (lw->selectionMode() != QAbstractItemView::SingleSelection) return lw->currentRow();
    QList<QListWidgetItem*> sel = lw->selectedItems();
    return sel.isEmpty() ? LB_ERR : lw->row(sel.first());
}

int CListBox::SetCurSel(int index) {
    QListWidget* lw = ListOf(m_widget);
    if (!lw) return LB_ERR;
    QSignalBlocker block(lw);
    if (index < 0 || index >= lw->count()) {
        lw->clearSelection();
        lw->setCurrentRow(-1, QItemSelectionModel::NoUpdate);
        return index < 0 ? 0 : LB_ERR;
    }
    lw->setCurrentRow(index, QItemSelectionModel::ClearAndSelect);
    lw->scrollToItem(lw->item(index));
    return index;
}

int CListBox::GetSel(int index) const {
    QListWidget* lw = ListOf(m_widget);
    if (!lw || index < 0 || index >= lw->count()) return LB_ERR;
    return lw->item(index)->isSelected() ? 1 : 0;
}

int CListBox::SetSel(int index, BOOL select) {
    QListWidget* lw = ListOf(m_widget);
    if (!lw) return LB_ERR;
    QSignalBlocker block(lw);
    if (index < 0) {
        for (int i = 0; i < lw->count(); ++i) lw->item(i)->setSelected(select);
        return 0;
    }
    if (index >= lw->count()) return LB_ERR;
    lw->item(index)->setSelected(select);
    return 0;
}

int CListBox::GetSelCount() const {
    QListWidget* lw = ListOf(m_widget);
    return lw ? static_cast<int>(lw->selectedItems().size()) : LB_ERR;
}

int CListBox::GetText(int index, CString& text) const {
    QListWidget* lw = ListOf(m_widget);
    if (!lw || index < 0 || index >= lw->count()) {
        text.Empty();
        return LB_ERR;
    }
    text = FromQ(lw->item(index)->text());
    return text.GetLength();
}

int CListBox::GetText(int index, char* buffer) const {
    CString t;
    int n = GetText(index, t);
    if (n >= 0 && buffer) std::memcpy(buffer, t.GetString(), static_cast<size_t>(n) + 1);
    return n;
}

int CListBox::GetTextLen(int index) const {
    CString t;
    return GetText(index, t);
}

int CListBox::GetCaretIndex() const {
    QListWidget* lw = ListOf(m_widget);
    return lw ? lw->currentRow() : LB_ERR;
}

int CListBox::SetCaretIndex(int index, BOOL) {
    QListWidget* lw = ListOf(m_widget);
    if (!lw || index < 0 || index >= lw->count()) return LB_ERR;
    QSignalBlocker block(lw);
    lw->setCurrentRow(index, QItemSelectionModel::NoUpdate);
    return 0;
}

int CListBox::GetTopIndex() const {
    QListWidget* lw = ListOf(m_widget);
    if (!lw) return LB_ERR;
    QListWidgetItem* it = lw->itemAt(2, 2);
    return it ? lw->row(it) : 0;
}

int CListBox::SetTopIndex(int index) {
    QListWidget* lw = ListOf(m_widget);
    if (!lw || index < 0 || index >= lw->count()) return LB_ERR;
    lw->scrollToItem(lw->item(index), QAbstractItemView::PositionAtTop);
    return 0;
}

int CListBox::GetItemRect(int index, RECT* rect) const {
    QListWidget* lw = ListOf(m_widget);
    if (!lw || !rect || index < 0 || index >= lw->count()) return LB_ERR;
    QRect r = lw->visualItemRect(lw->item(index)).translated(afx::ClientOffset(lw));
    *rect = CRect(r.left(), r.top(), r.left() + r.width(), r.top() + r.height());
    return 0;
}

int CListBox::GetItemHeight(int index) const {
    CRect r;
    if (GetItemRect(index < 0 ? 0 : index, &r) == LB_ERR) {
        QListWidget* lw = ListOf(m_widget);
        return lw ? lw->fontMetrics().height() + 2 : LB_ERR;
    }
    return r.Height();
}

UINT CListBox::ItemFromPoint(CPoint point, BOOL& outside) const {
    QListWidget* lw = ListOf(m_widget);
    outside = TRUE;
    if (!lw || lw->count() == 0) return 0xFFFF;
    QListWidgetItem* it = lw->itemAt(QPoint(point.x, point.y) - afx::ClientOffset(lw));
    if (it) {
        outside = FALSE;
        return static_cast<UINT>(lw->row(it));
    }
    return static_cast<UINT>(lw->count() - 1);
}

DWORD_PTR CListBox::GetItemData(int index) const {
    QListWidget* lw = ListOf(m_widget);
    if (!lw || index < 0 || index >= lw->count()) return static_cast<DWORD_PTR>(LB_ERR);
    return static_cast<DWORD_PTR>(lw->item(index)->data(Qt::UserRole).toULongLong());
}

int CListBox::SetItemData(int index, DWORD_PTR data) {
    QListWidget* lw = ListOf(m_widget);
    if (!lw || index < 0 || index >= lw->count()) return LB_ERR;
    lw->item(index)->setData(Qt::UserRole, QVariant::fromValue<qulonglong>(data));
    return 0;
}

int CListBox::FindStringExact(int start, const char* text) const {
    QListWidget* lw = ListOf(m_widget);
    if (!lw) return LB_ERR;
    QString t = ToQ(text);
    int n = lw->count();
    for (int k = 1; k <= n; ++k) {
        int i = (start + k) % n;
        if (i < 0) i += n;
        if (QString::compare(lw->item(i)->text(), t, Qt::CaseInsensitive) == 0) return i;
    }
    return LB_ERR;
}

// --- Check list --------------------------------------------------------------------------

int CCheckListBox::GetCheck(int index) const {
    QListWidget* lw = ListOf(m_widget);
    if (!lw || index < 0 || index >= lw->count()) return LB_ERR;
    Qt::CheckState s = lw->item(index)->checkState();
    return s == Qt::Checked ? BST_CHECKED : s == Qt::PartiallyChecked ? BST_INDETERMINATE : BST_UNCHECKED;
}

void CCheckListBox::SetCheck(int index, int check) {
    QListWidget* lw = ListOf(m_widget);
    if (!lw || index < 0 || index >= lw->count()) return;
    QSignalBlocker block(lw);
    lw->item(index)->setData(Qt::CheckStateRole, check == BST_CHECKED         ? Qt::Checked
                                                 : check == BST_INDETERMINATE ? Qt::PartiallyChecked
                                                                              : Qt::Unchecked);
}

void CCheckListBox::Enable(int index, BOOL enabled) {
    QListWidget* lw = ListOf(m_widget);
    if (!lw || index < 0 || index >= lw->count()) return;
    QListWidgetItem* it = lw->item(index);
    it->setFlags(enabled ? (it->flags() | Qt::ItemIsEnabled) : (it->flags() & ~Qt::ItemIsEnabled));
}

BOOL CCheckListBox::IsEnabled(int index) const {
    QListWidget* lw = ListOf(m_widget);
    return lw && index >= 0 && index < lw->count() && (lw->item(index)->flags() & Qt::ItemIsEnabled);
}

// --- Combo box ---------------------------------------------------------------------------

static QComboBox* ComboOf(QWidget* w) { return qobject_cast<QComboBox*>(w); }

int CComboBox::AddString(const char* text) {
    QComboBox* cb = ComboOf(m_widget);
    if (!cb) return CB_ERR;
    QSignalBlocker block(cb);
    int at = cb->count();
    if (GetStyle() & CBS_SORT) {
        at = 0;
        while (at < cb->count() && QString::compare(cb->itemText(at), ToQ(text), Qt::CaseInsensitive) <= 0) ++at;
    }
    cb->insertItem(at, ToQ(text));
    if (cb->count() == 1 && !cb->isEditable()) cb->setCurrentIndex(-1);
    return at;
}

int CComboBox::InsertString(int index, const char* text) {
    QComboBox* cb = ComboOf(m_widget);
    if (!cb || index > cb->count()) return CB_ERR;
    QSignalBlocker block(cb);
    int at = index < 0 ? cb->count() : index;
    int cur = cb->currentIndex();
    cb->insertItem(at, ToQ(text));
    if (cur < 0) cb->setCurrentIndex(-1);
    return at;
}

int CComboBox::DeleteString(UINT index) {
    QComboBox* cb = ComboOf(m_widget);
    if (!cb || static_cast<int>(index) >= cb->count()) return CB_ERR;
    QSignalBlocker block(cb);
    cb->removeItem(static_cast<int>(index));
    return cb->count();
}

void CComboBox::ResetContent() {
    if (QComboBox* cb = ComboOf(m_widget)) {
        QSignalBlocker block(cb);
        cb->clear();
    }
}

int CComboBox::GetCount() const {
    QComboBox* cb = ComboOf(m_widget);
    return cb ? cb->count() : CB_ERR;
}

int CComboBox::GetCurSel() const {
    QComboBox* cb = ComboOf(m_widget);
    return cb ? cb->currentIndex() : CB_ERR;
}

int CComboBox::SetCurSel(int index) {
    QComboBox* cb = ComboOf(m_widget);
    if (!cb) return CB_ERR;
    QSignalBlocker block(cb);
    if (index < 0 || index >= cb->count()) {
        cb->setCurrentIndex(-1);
        return CB_ERR;
    }
    cb->setCurrentIndex(index);
    return index;
}

int CComboBox::GetLBText(int index, CString& text) const {
    QComboBox* cb = ComboOf(m_widget);
    if (!cb || index < 0 || index >= cb->count()) {
        text.Empty();
        return CB_ERR;
    }
    text = FromQ(cb->itemText(index));
    return text.GetLength();
}

int CComboBox::GetLBTextLen(int index) const {
    CString t;
    return GetLBText(index, t);
}

DWORD_PTR CComboBox::GetItemData(int index) const {
    QComboBox* cb = ComboOf(m_widget);
    if (!cb || index < 0 || index >= cb->count()) return static_cast<DWORD_PTR>(CB_ERR);
    return static_cast<DWORD_PTR>(cb->itemData(index).toULongLong());
}

int CComboBox::SetItemData(int index, DWORD_PTR data) {
    QComboBox* cb = ComboOf(m_widget);
    if (!cb || index < 0 || index >= cb->count()) return CB_ERR;
    cb->setItemData(index, QVariant::fromValue<qulonglong>(data));
    return 0;
}

int CComboBox::FindStringExact(int start, const char* text) const {
    QComboBox* cb = ComboOf(m_widget);
    if (!cb) return CB_ERR;
    QString t = ToQ(text);
    int n = cb->count();
    for (int k = 1; k <= n; ++k) {
        int i = ((start + k) % n + n) % n;
        if (QString::compare(cb->itemText(i), t, Qt::CaseInsensitive) == 0) return i;
    }
    return CB_ERR;
}

// --- Progress bar --------------------------------------------------------------------------

BOOL CProgressCtrl::Create(DWORD style, const RECT& rect, CWnd* parent, UINT id) {
    return CWnd::Create("msctls_progress32", nullptr, style, rect, parent, id);
}

void CProgressCtrl::Show() {
    auto* bar = qobject_cast<QProgressBar*>(m_widget);
    if (!bar) return;
    // The widget repaints on every change of its value; hand it only the changes that move
    // the bar by at least one pixel, so stepping through a long operation stays cheap.
    int span = m_upper - m_lower;
    int width = std::max(1, bar->width());
    int shown = span <= 0 ? 0 : static_cast<int>(static_cast<long long>(m_pos - m_lower) * width / span);
    if (shown == m_shown && bar->maximum() == m_upper && bar->minimum() == m_lower) return;
    m_shown = shown;
    if (bar->minimum() != m_lower || bar->maximum() != m_upper) bar->setRange(m_lower, std::max(m_lower, m_upper));
    bar->setValue(m_pos);
}

void CProgressCtrl::SetRange32(int lower, int upper) {
    m_lower = lower;
    m_upper = upper;
    m_pos = std::clamp(m_pos, std::min(lower, upper), std::max(lower, upper));
    m_shown = -1;
    Show();
}

void CProgressCtrl::GetRange(int& lower, int& upper) const {
    lower = m_lower;
    upper = m_upper;
}

int CProgressCtrl::SetPos(int position) {
    int old = m_pos;
    m_pos = std::clamp(position, std::min(m_lower, m_upper), std::max(m_lower, m_upper));
    Show();
    return old;
}

int CProgressCtrl::SetStep(int step) {
    int old = m_step;
    m_step = step;
    return old;
}

int CProgressCtrl::StepIt() {
    int old = m_pos;
    int next = m_pos + m_step;
    // Past the end the bar starts over, as the original control does.
    if (next > m_upper) next = m_lower + (next - m_upper);
    if (next < m_lower) next = m_upper - (m_lower - next);
    m_pos = std::clamp(next, std::min(m_lower, m_upper), std::max(m_lower, m_upper));
    Show();
    return old;
}

// --- Header and report list ------------------------------------------------------------------

static afx::ListCtrlModel* ModelOfHeader(QWidget* header) {
    return header ? afx::ModelOf(header->parentWidget()) : nullptr;
}

int CHeaderCtrl::GetItemCount() const {
    afx::ListCtrlModel* m = ModelOfHeader(m_widget);
    return m ? static_cast<int>(m->columns.size()) : 0;
}

BOOL CHeaderCtrl::GetItem(int index, HDITEM* item) const {
    afx::ListCtrlModel* m = ModelOfHeader(m_widget);
    if (!m || !item || index < 0 || static_cast<size_t>(index) >= m->columns.size()) return FALSE;
    const auto& c = m->columns[static_cast<size_t>(index)];
    if ((item->mask & HDI_TEXT) && item->pszText && item->cchTextMax > 0)
        std::snprintf(item->pszText, static_cast<size_t>(item->cchTextMax), "%s", c.heading.GetString());
    if (item->mask & HDI_WIDTH) item->cxy = m->WidthOf(index);
    if (item->mask & HDI_FORMAT) item->fmt = c.format;
    return TRUE;
}

BOOL CHeaderCtrl::SetItem(int index, HDITEM* item) {
    afx::ListCtrlModel* m = ModelOfHeader(m_widget);
    if (!m || !item || index < 0 || static_cast<size_t>(index) >= m->columns.size()) return FALSE;
    auto& c = m->columns[static_cast<size_t>(index)];
    if (item->mask & HDI_TEXT) c.heading = item->pszText;
    if (item->mask & HDI_WIDTH) c.width = item->cxy;
    if (item->mask & (HDI_TEXT | HDI_WIDTH)) {
        const int width = c.width;
        c.width = m->FitHeading(c.heading, c.width);
        // A heading that fits the width the column has leaves the column as it is.
        if (c.width != width || (item->mask & HDI_WIDTH)) m->ApplyWidth(index);
    }
    if (item->mask & HDI_FORMAT) c.format = item->fmt;
    m->Changed(false);
    emit m->headerDataChanged(Qt::Horizontal, index, index);
    return TRUE;
}

CListCtrl::CListCtrl() = default;
CListCtrl::~CListCtrl() = default;

afx::ListCtrlModel* CListCtrl::Model() const {
    if (m_modelWidget != m_widget) {
        m_model = afx::ModelOf(m_widget);
        m_modelWidget = m_widget;
    }
    return m_model;
}

void CListCtrl::AttachModel() {
    if (auto* lc = dynamic_cast<afx::ListCtrlWidget*>(m_widget)) {
        if (!m_header.m_hWnd) m_header.AttachShadow(afx::ToHwnd(lc->horizontalHeader()));
        lc->setShowGrid((m_extendedStyle & LVS_EX_GRIDLINES) != 0);
    }
}

void CListCtrl::OnWidgetDestroyed() {
    m_header.Detach();
    m_modelWidget = nullptr;
    m_model = nullptr;
    CWnd::OnWidgetDestroyed();
}

void CListCtrl::OnWidgetReleased() {
    m_modelWidget = nullptr;
    m_model = nullptr;
}

void CListCtrl::PreSubclassWindow() { AttachModel(); }

CHeaderCtrl* CListCtrl::GetHeaderCtrl() {
    if (!m_header.m_hWnd) AttachModel();
    return m_header.m_hWnd ? &m_header : nullptr;
}

DWORD CListCtrl::SetExtendedStyle(DWORD style) {
    DWORD old = m_extendedStyle;
    m_extendedStyle = style;
    if (auto* lc = dynamic_cast<afx::ListCtrlWidget*>(m_widget)) lc->setShowGrid((style & LVS_EX_GRIDLINES) != 0);
    return old;
}

int CListCtrl::InsertColumn(int column, const char* heading, int format, int width, int) {
    afx::ListCtrlModel* m = Model();
    if (!m || column < 0) return -1;
    size_t at = std::min(static_cast<size_t>(column), m->columns.size());
    afx::ListCtrlModel::Column c;
    c.heading = heading;
    c.format = format;
    c.width = m->FitHeading(c.heading, width < 0 ? 60 : width);
    m->columns.insert(m->columns.begin() + static_cast<std::ptrdiff_t>(at), std::move(c));
    for (auto& r : m->rows)
        if (r.cells.size() > at) r.cells.insert(r.cells.begin() + static_cast<std::ptrdiff_t>(at), CString());
    m->Changed(true);
    return static_cast<int>(at);
}

BOOL CListCtrl::DeleteColumn(int column) {
    afx::ListCtrlModel* m = Model();
    if (!m || column < 0 || static_cast<size_t>(column) >= m->columns.size()) return FALSE;
    m->columns.erase(m->columns.begin() + column);
    for (auto& r : m->rows)
        if (r.cells.size() > static_cast<size_t>(column)) r.cells.erase(r.cells.begin() + column);
    m->Changed(true);
    return TRUE;
}

BOOL CListCtrl::GetColumn(int column, LVCOLUMN* info) const {
    afx::ListCtrlModel* m = Model();
    if (!m || !info || column < 0 || static_cast<size_t>(column) >= m->columns.size()) return FALSE;
    const auto& c = m->columns[static_cast<size_t>(column)];
    if (info->mask & LVCF_FMT) info->fmt = c.format;
    if (info->mask & LVCF_WIDTH) info->cx = m->WidthOf(column);
    if ((info->mask & LVCF_TEXT) && info->pszText && info->cchTextMax > 0)
        std::snprintf(info->pszText, static_cast<size_t>(info->cchTextMax), "%s", c.heading.GetString());
    return TRUE;
}

BOOL CListCtrl::SetColumn(int column, const LVCOLUMN* info) {
    afx::ListCtrlModel* m = Model();
    if (!m || !info || column < 0 || static_cast<size_t>(column) >= m->columns.size()) return FALSE;
    auto& c = m->columns[static_cast<size_t>(column)];
    if (info->mask & LVCF_FMT) c.format = info->fmt;
    if (info->mask & LVCF_TEXT) c.heading = info->pszText;
    if (info->mask & LVCF_WIDTH) c.width = info->cx;
    if (info->mask & (LVCF_WIDTH | LVCF_TEXT)) c.width = m->FitHeading(c.heading, c.width);
    m->Changed(true);
    return TRUE;
}

int CListCtrl::GetColumnWidth(int column) const {
    afx::ListCtrlModel* m = Model();
    if (!m || column < 0 || static_cast<size_t>(column) >= m->columns.size()) return 0;
    return m->WidthOf(column);
}

BOOL CListCtrl::SetColumnWidth(int column, int width) {
    afx::ListCtrlModel* m = Model();
    if (!m || column < 0 || static_cast<size_t>(column) >= m->columns.size()) return FALSE;
    if (width == LVSCW_AUTOSIZE)
        if (auto* lc = dynamic_cast<afx::ListCtrlWidget*>(m_widget)) width = lc->ContentWidth(column);
    auto& c = m->columns[static_cast<size_t>(column)];
    c.width = m->FitHeading(c.heading, width);
    m->ApplyWidth(column);
    return TRUE;
}

int CListCtrl::GetColumnCount() const {
    afx::ListCtrlModel* m = Model();
    return m ? static_cast<int>(m->columns.size()) : 0;
}

BOOL CListCtrl::SetItemCountEx(int count, DWORD) {
    afx::ListCtrlModel* m = Model();
    if (!m || !m->ownerData || count < 0) return FALSE;
    m->itemCount = count;
    m->Changed(true);
    return TRUE;
}

BOOL CListCtrl::RedrawItems(int first, int last) {
    afx::ListCtrlModel* m = Model();
    if (!m || first > last) return FALSE;
    m->Changed(false);
    return TRUE;
}

int CListCtrl::InsertItem(int item, const char* text) {
    afx::ListCtrlModel* m = Model();
    if (!m || item < 0 || m->ownerData) return -1;
    size_t at = std::min(static_cast<size_t>(item), m->rows.size());
    afx::ListCtrlModel::Row r;
    r.cells.resize(std::max<size_t>(1, m->columns.size()));
    r.cells[0] = text;
    if (at == m->rows.size()) m->rows.push_back(std::move(r));
    else m->rows.insert(m->rows.begin() + static_cast<std::ptrdiff_t>(at), std::move(r));
    m->Changed(true);
    return static_cast<int>(at);
}

BOOL CListCtrl::DeleteItem(int item) {
    afx::ListCtrlModel* m = Model();
    if (!m || item < 0 || static_cast<size_t>(item) >= m->rows.size()) return FALSE;
    m->rows.erase(m->rows.begin() + item);
    m->Changed(true);
    return TRUE;
}

BOOL CListCtrl::DeleteAllItems() {
    afx::ListCtrlModel* m = Model();
    if (!m) return FALSE;
    m->rows.clear();
    m->rows.shrink_to_fit();
    m->itemCount = 0;
    m->Changed(true);
    return TRUE;
}

int CListCtrl::GetItemCount() const {
    afx::ListCtrlModel* m = Model();
    return m ? m->ItemCount() : 0;
}

BOOL CListCtrl::SetItemText(int item, int subItem, const char* text) {
    afx::ListCtrlModel* m = Model();
    if (!m || m->ownerData || item < 0 || subItem < 0 || static_cast<size_t>(item) >= m->rows.size()) return FALSE;
    auto& cells = m->rows[static_cast<size_t>(item)].cells;
    if (static_cast<size_t>(subItem) >= std::max<size_t>(1, m->columns.size())) return FALSE;
    if (cells.size() <= static_cast<size_t>(subItem)) cells.resize(static_cast<size_t>(subItem) + 1);
    cells[static_cast<size_t>(subItem)] = text;
    m->Changed(false);
    return TRUE;
}

CString CListCtrl::GetItemText(int item, int subItem) const {
    afx::ListCtrlModel* m = Model();
    return m ? m->TextOf(item, subItem) : CString();
}

BOOL CListCtrl::SetItemData(int item, DWORD_PTR data) {
    afx::ListCtrlModel* m = Model();
    if (!m || item < 0 || static_cast<size_t>(item) >= m->rows.size()) return FALSE;
    m->rows[static_cast<size_t>(item)].data = data;
    return TRUE;
}

DWORD_PTR CListCtrl::GetItemData(int item) const {
    afx::ListCtrlModel* m = Model();
    if (!m || item < 0 || static_cast<size_t>(item) >= m->rows.size()) return 0;
    return m->rows[static_cast<size_t>(item)].data;
}

UINT CListCtrl::GetItemState(int item, UINT mask) const {
    auto* lc = dynamic_cast<afx::ListCtrlWidget*>(m_widget);
    if (!lc || item < 0) return 0;
    lc->model->Publish();
    UINT s = 0;
    if (lc->selectionModel()->isRowSelected(item, QModelIndex())) s |= LVIS_SELECTED;
    if (lc->currentIndex().row() == item) s |= LVIS_FOCUSED;
    return s & mask;
}

BOOL CListCtrl::SetItemState(int item, UINT state, UINT mask) {
    auto* lc = dynamic_cast<afx::ListCtrlWidget*>(m_widget);
    if (!lc) return FALSE;
    lc->model->Publish();
    QModelIndex idx = lc->model->index(item, 0);
    if (!idx.isValid()) return FALSE;
    if (mask & LVIS_SELECTED)
        lc->selectionModel()->select(idx, ((state & LVIS_SELECTED) ? QItemSelectionModel::Select : QItemSelectionModel::Deselect) |
                                              QItemSelectionModel::Rows);
    if ((mask & LVIS_FOCUSED) && (state & LVIS_FOCUSED)) lc->selectionModel()->setCurrentIndex(idx, QItemSelectionModel::NoUpdate);
    return TRUE;
}

int CListCtrl::GetNextItem(int start, UINT flags) const {
    int n = GetItemCount();
    for (int i = start + 1; i < n; ++i)
        if (!(flags & LVNI_SELECTED) || GetItemState(i, LVIS_SELECTED)) return i;
    return -1;
}

UINT CListCtrl::GetSelectedCount() const {
    auto* lc = dynamic_cast<afx::ListCtrlWidget*>(m_widget);
    if (!lc) return 0;
    lc->model->Publish();
    return static_cast<UINT>(lc->selectionModel()->selectedRows().size());
}

BOOL CListCtrl::EnsureVisible(int item, BOOL) {
    auto* lc = dynamic_cast<afx::ListCtrlWidget*>(m_widget);
    if (!lc) return FALSE;
    lc->model->Publish();
    lc->scrollTo(lc->model->index(item, 0));
    return TRUE;
}

BOOL CListCtrl::GetItemRect(int item, RECT* rect, UINT) const {
    return GetSubItemRect(item, 0, 0, rect);
}

BOOL CListCtrl::GetSubItemRect(int item, int subItem, int, RECT* rect) const {
    auto* lc = dynamic_cast<afx::ListCtrlWidget*>(m_widget);
    if (!lc || !rect) return FALSE;
    lc->model->Publish();
    QRect r = lc->visualRect(lc->model->index(item, subItem)).translated(ClientOffset(lc));
    if (!r.isValid()) return FALSE;
    *rect = CRect(r.left(), r.top(), r.left() + r.width(), r.top() + r.height());
    return TRUE;
}

int CListCtrl::GetTopIndex() const {
    auto* lc = dynamic_cast<afx::ListCtrlWidget*>(m_widget);
    if (!lc) return 0;
    lc->model->Publish();
    int r = lc->rowAt(0);
    return r < 0 ? 0 : r;
}

int CListCtrl::GetCountPerPage() const {
    auto* lc = dynamic_cast<afx::ListCtrlWidget*>(m_widget);
    if (!lc) return 0;
    int h = lc->verticalHeader()->defaultSectionSize();
    return h > 0 ? lc->viewport()->height() / h : 0;
}
