#include "platform/ui/text_fit.h"

#include <QCheckBox>
#include <QFontMetrics>
#include <QGroupBox>
#include <QHeaderView>
#include <QLabel>
#include <QPushButton>
#include <QRadioButton>
#include <QStyle>
#include <QStyleOptionButton>
#include <QStyleOptionGroupBox>
#include <QStyleOptionHeader>
#include <QTableView>
#include <climits>
#include <cmath>
#include <memory>

#include "platform/ui/dialog.h"
#include "platform/ui/qt_bridge.h"
#include "platform/ui/winapp.h"

namespace afx {

namespace {

std::string Describe(UINT dialog, int id, const QString& text, QSize need, QSize have) {
    return "dialog " + std::to_string(dialog) + " control " + std::to_string(id) + " \"" + FromQ(text).GetString() +
           "\" needs " + std::to_string(need.width()) + "x" + std::to_string(need.height()) + " px, has " +
           std::to_string(have.width()) + "x" + std::to_string(have.height());
}

// The texts of one control that do not fit it.
void Check(QWidget* w, UINT dialog, int id, std::vector<std::string>& out) {
    const QFontMetrics fm = w->fontMetrics();
    auto report = [&](const QString& text, QSize need, QSize have) {
        if (text.isEmpty() || (need.width() <= have.width() && need.height() <= have.height())) return;
        out.push_back(Describe(dialog, id, text, need, have));
    };
    if (auto* b = qobject_cast<QPushButton*>(w)) {
        QStyleOptionButton option;
        option.initFrom(b);
        option.text = b->text();
        const int margin = b->style()->pixelMetric(QStyle::PM_ButtonMargin, &option, b);
        const int frame = b->style()->pixelMetric(QStyle::PM_DefaultFrameWidth, &option, b);
        int width = 0;
        const QStringList lines = b->text().split(QLatin1Char('\n'));
        for (const QString& line : lines) width = std::max(width, fm.horizontalAdvance(line));
        report(b->text(), QSize(width + margin + 2 * frame, static_cast<int>(lines.size()) * fm.height() + 2 * frame),
               b->size());
    } else if (auto* c = qobject_cast<QCheckBox*>(w)) {
        report(c->text(), QSize(c->sizeHint().width(), fm.height()), c->size());
    } else if (auto* r = qobject_cast<QRadioButton*>(w)) {
        report(r->text(), QSize(r->sizeHint().width(), fm.height()), r->size());
    } else if (auto* g = qobject_cast<QGroupBox*>(w)) {
        // The heading where the style puts it, which may run past the box's edge.
        QStyleOptionGroupBox option;
        option.initFrom(g);
        option.text = g->title();
        option.subControls = QStyle::SC_GroupBoxFrame | QStyle::SC_GroupBoxLabel;
        option.textAlignment = g->alignment();
        const QRect label = g->style()->subControlRect(QStyle::CC_GroupBox, &option, QStyle::SC_GroupBoxLabel, g);
        report(g->title(), QSize(label.left() + fm.horizontalAdvance(g->title()), fm.height()), g->size());
    } else if (auto* l = qobject_cast<QLabel*>(w)) {
        if (!l->pixmap().isNull()) return;
        const QSize have = l->contentsRect().size();
        const int flags = l->wordWrap() ? Qt::TextWordWrap : 0;
        report(l->text(), fm.boundingRect(QRect(0, 0, have.width(), INT_MAX / 2), flags, l->text()).size(), have);
    } else if (auto* t = qobject_cast<QTableView*>(w); t && t->model()) {
        QHeaderView* h = t->horizontalHeader();
        if (!h || h->isHidden()) return;
        for (int c = 0; c < t->model()->columnCount(); ++c) {
            QStyleOptionHeader option;
            option.initFrom(h);
            option.orientation = Qt::Horizontal;
            option.text = t->model()->headerData(c, Qt::Horizontal, Qt::DisplayRole).toString();
            option.fontMetrics = h->fontMetrics();
            const QSize need = h->style()->sizeFromContents(QStyle::CT_HeaderSection, &option, QSize(), h);
            report(option.text, QSize(need.width(), 0), QSize(h->sectionSize(c), 0));
        }
        // The cells' texts as they show them, against the room their columns give them.
        for (int r = 0; r < t->model()->rowCount(); ++r)
            for (int c = 0; c < t->model()->columnCount(); ++c) {
                int room = 0;
                const QString shown = ShownCellText(t, r, c, &room);
                report(shown, QSize(static_cast<int>(std::ceil(QFontMetricsF(t->font()).horizontalAdvance(shown))), 0),
                       QSize(room, 0));
            }
    }
}

// The texts that do not fit among the controls of a dialog widget, each control known by
// the id its window binding carries (hidden ones only when asked).
std::vector<std::string> CheckControls(QWidget* top, UINT dialog, bool hiddenToo) {
    std::vector<std::string> out;
    for (QObject* child : top->children()) {
        auto* w = qobject_cast<QWidget*>(child);
        WindowBinding* b = w ? WindowBinding::Of(w) : nullptr;
        if (b && (hiddenToo || !w->isHidden())) Check(w, dialog, b->id, out);
    }
    return out;
}

}  // namespace

// A control that the template leaves hidden counts too: the dialog may show it later.
std::vector<std::string> TextsThatDoNotFit(const DialogTemplate& dialog) {
    auto page = std::make_unique<QWidget>();
    page->setFont(DialogFont());
    const QRect r = DialogUnitsToPixels(dialog.rect);
    page->resize(r.width(), r.height());
    BuildDialogControls(page.get(), dialog, nullptr);
    return CheckControls(page.get(), dialog.id, true);
}

std::vector<std::string> TextsThatDoNotFit(CWnd& control) {
    QWidget* w = WidgetOf(&control);
    if (!w) return {};
    ProcessPendingEvents();
    std::vector<std::string> out;
    Check(w, 0, control.GetDlgCtrlID(), out);
    return out;
}

std::vector<std::string> TextsThatDoNotFit(CDialog& dialog) {
    QWidget* top = WidgetOf(&dialog);
    if (!top) return {};
    ProcessPendingEvents();
    return CheckControls(top, dialog.GetTemplateId(), false);
}

}  // namespace afx
