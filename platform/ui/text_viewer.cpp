#include "platform/ui/text_viewer.h"

#include <QDialog>
#include <QFontDatabase>
#include <QFontMetricsF>
#include <QHBoxLayout>
#include <QPointer>
#include <QPrinter>
#include <QPushButton>
#include <QTextBlock>
#include <QTextCursor>
#include <QTextDocument>
#include <QTextDocumentFragment>
#include <QTextEdit>
#include <QVBoxLayout>
#include <fstream>
#include <iterator>
#include <vector>

#include "platform/core/paths.h"
#include "platform/gdi/gdi_internal.h"
#include "platform/ui/automation.h"
#include "platform/ui/clipboard.h"
#include "platform/ui/printdlg.h"
#include "platform/ui/qt_bridge.h"
#include "platform/ui/window_owner.h"
#include "platform/ui/winapp.h"

namespace afx {

namespace {

CString g_lastText;

// The file's bytes with "\r\n" read as "\n"; false when it cannot be read.
bool ReadListing(const char* path, CString* text) {
    std::ifstream in(NativePath(path), std::ios::binary);
    if (!in) return false;
    std::string bytes((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
    if (in.bad()) return false;
    std::string out;
    out.reserve(bytes.size());
    for (size_t i = 0; i < bytes.size(); ++i) {
        if (bytes[i] == '\r' && i + 1 < bytes.size() && bytes[i + 1] == '\n') continue;
        out += bytes[i];
    }
    *text = CString(std::move(out));
    return true;
}

// Fills a document with the text, one block per line: the line after a form feed starts
// a new sheet when printed, and the line before it carries a rule on screen.
void FillDocument(QTextDocument* doc, const CString& text, const QFont& font) {
    doc->setDefaultFont(font);
    doc->setUndoRedoEnabled(false);
    QTextCursor cursor(doc);
    const qreal rule = QFontMetricsF(font).horizontalAdvance(QLatin1Char('0')) * 132;
    const std::string& s = text.str();
    size_t start = 0;
    bool firstLine = true;
    bool pageBreak = false;
    for (;;) {
        size_t end = s.find_first_of("\n\f", start);
        std::string line = s.substr(start, end == std::string::npos ? std::string::npos : end - start);
        if (!firstLine) {
            QTextBlockFormat format;
            if (pageBreak) {
                QTextBlockFormat ruled = cursor.blockFormat();
                // A rule as wide as a listing line (132 columns).
                ruled.setProperty(QTextFormat::BlockTrailingHorizontalRulerWidth,
                                  QTextLength(QTextLength::FixedLength, rule));
                cursor.setBlockFormat(ruled);
                format.setPageBreakPolicy(QTextFormat::PageBreak_AlwaysBefore);
            }
            cursor.insertBlock(format);
        }
        if (firstLine && line.empty() && end != std::string::npos && s[end] == '\f') {
            start = end + 1;   // nothing before the first form feed: no empty first page
            continue;
        }
        cursor.insertText(ToQ(CString(line)));
        if (end == std::string::npos) break;
        // A form feed at the start of a line: the line break before it is the page break.
        pageBreak = s[end] == '\f';
        firstLine = false;
        start = end + 1;
        if (!pageBreak && start < s.size() && s[start] == '\f') {
            pageBreak = true;
            ++start;
        }
    }
}

class TextViewer : public QDialog {
public:
    TextViewer(const CString& path, const CString& text, QWidget* parent) : QDialog(parent), m_text(text) {
        setWindowTitle(ToQ(FileNameOfPath(path)));
        setWindowFlag(Qt::WindowContextHelpButtonHint, false);
        setWindowFlag(Qt::WindowMinMaxButtonsHint, true);
        m_font = QFontDatabase::systemFont(QFontDatabase::FixedFont);
        m_edit = new QTextEdit(this);
        m_edit->setReadOnly(true);
        m_edit->setLineWrapMode(QTextEdit::NoWrap);
        m_edit->setUndoRedoEnabled(false);
        FillDocument(m_edit->document(), text, m_font);
        m_edit->moveCursor(QTextCursor::Start);
        m_copy = new QPushButton(ToQ("Copiar"), this);
        m_print = new QPushButton(ToQ("Imprimir"), this);
        m_close = new QPushButton(ToQ("Fechar"), this);
        connect(m_copy, &QPushButton::clicked, this, [this] { Copy(); });
        connect(m_print, &QPushButton::clicked, this, [this] { Print(); });
        connect(m_close, &QPushButton::clicked, this, &QDialog::accept);
        auto* buttons = new QHBoxLayout;
        buttons->addStretch(1);
        buttons->addWidget(m_copy);
        buttons->addWidget(m_print);
        buttons->addWidget(m_close);
        auto* layout = new QVBoxLayout(this);
        layout->addWidget(m_edit, 1);
        layout->addLayout(buttons);
        QFontMetrics fm(m_font);
        resize(fm.horizontalAdvance(QLatin1Char('0')) * 100 + 40, fm.lineSpacing() * 40 + 60);
    }

    // The selection, or the whole text when nothing is selected.
    void Copy() {
        QTextCursor c = m_edit->textCursor();
        if (c.hasSelection()) {
            QString sel = c.selection().toPlainText();
            SetClipboardText(FromQ(sel));
        } else {
            SetClipboardText(m_text);
        }
    }

    void Print() {
        CPrintDialog dlg(FALSE);
        if (dlg.DoModal() != IDOK) return;
        HDC dc = dlg.GetPrinterDC();
        auto* printer = dynamic_cast<gdi::PrinterContext*>(gdi::DeviceContext::Of(dc));
        if (printer) {
            QTextDocument copy;
            FillDocument(&copy, m_text, m_font);
            copy.print(printer->Printer());
        }
        ::DeleteDC(dc);
    }

    QPushButton* Button(TextViewerButton b) const {
        switch (b) {
        case TextViewerButton::Copy: return m_copy;
        case TextViewerButton::Print: return m_print;
        default: return m_close;
        }
    }

private:
    CString m_text;
    QFont m_font;
    QTextEdit* m_edit;
    QPushButton* m_copy;
    QPushButton* m_print;
    QPushButton* m_close;
};

std::vector<QPointer<TextViewer>>& OpenViewers() {
    static std::vector<QPointer<TextViewer>> viewers;
    return viewers;
}

TextViewer* MostRecentViewer() {
    auto& v = OpenViewers();
    while (!v.empty() && v.back().isNull()) v.pop_back();
    return v.empty() ? nullptr : v.back().data();
}

}  // namespace

bool ShowTextFile(const char* path, bool modal) {
    CString text;
    if (!ReadListing(path, &text)) return false;
    g_lastText = text;
    automation::NoteTextViewer({CString(path), text, modal});
    // Above the window that asked for it, taking input while that window stays open.
    QWidget* owner = OwnerForNewWindow();
    if (modal) {
        if (automation::Active()) return true;
        TextViewer viewer(path, text, owner);
        viewer.exec();
        return true;
    }
    auto* viewer = new TextViewer(path, text, owner);
    viewer->setAttribute(Qt::WA_DeleteOnClose);
    viewer->setModal(false);
    OpenViewers().emplace_back(viewer);
    viewer->show();
    OutliveOwner(viewer);
    return true;
}

CString LastTextViewerText() { return g_lastText; }

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

}  // namespace afx
