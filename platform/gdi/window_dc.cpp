// Device contexts of windows. The toolkit lets a program draw on a widget only while the
// widget paints, so a context taken outside painting works on a copy of what the window
// shows: reading gives the window's pixels (and those around it in its top-level window,
// as on a screen), and what is drawn stays shown over the window, in an overlay, until
// the window is next invalidated.
#include <QAbstractScrollArea>
#include <QEvent>
#include <QPaintEvent>
#include <map>

#include "platform/gdi/gdi_internal.h"
#include "platform/ui/qt_bridge.h"
#include "platform/ui/wnd.h"

namespace afx::gdi {

namespace {

// Shows what was drawn on a window outside its painting, over the window's own painting.
// It holds the whole client area as drawn, as a screen would: the window's painting under
// it follows the program's state of the moment (the toolkit paints it again whenever it
// likes), so pixels taken from it would mix a later state into what was drawn, and an
// element that draws itself once to show and once more to erase would leave marks.
class SurfaceOverlay : public QWidget {
public:
    explicit SurfaceOverlay(QWidget* client) : QWidget(client) {
        setObjectName(QStringLiteral("afxSurfaceOverlay"));
        setAttribute(Qt::WA_TransparentForMouseEvents);
        setAttribute(Qt::WA_NoSystemBackground);
        // Opaque: showing it or changing it does not paint the window under it again.
        setAttribute(Qt::WA_OpaquePaintEvent);
        setFocusPolicy(Qt::NoFocus);
        setGeometry(client->rect());
        client->installEventFilter(this);
    }

    QImage image;     // the client area as drawn
    QImage painting;  // the client area as the window painted it before the drawing began

    static SurfaceOverlay* Of(QWidget* client) {
        return client ? client->findChild<SurfaceOverlay*>(QStringLiteral("afxSurfaceOverlay"), Qt::FindDirectChildrenOnly)
                      : nullptr;
    }

protected:
    void paintEvent(QPaintEvent*) override {
        if (image.isNull()) return;
        QPainter p(this);
        p.drawImage(0, 0, image);
    }

    bool eventFilter(QObject* watched, QEvent* e) override {
        // A new size repaints the whole window: what was drawn on it is gone.
        if (watched == parent() && e->type() == QEvent::Resize) {
            image = QImage();
            painting = QImage();
            setGeometry(static_cast<QWidget*>(watched)->rect());
            hide();
        }
        return false;
    }
};

QWidget* ClientOf(QWidget* w) {
    if (auto* sa = qobject_cast<QAbstractScrollArea*>(w)) return sa->viewport();
    return w;
}

// Any window being painted now: the toolkit cannot render windows meanwhile.
bool InsidePainting() {
    for (DispatchFrame* f = CurrentFrame(); f; f = f->previous)
        if (f->message == WM_PAINT) return true;
    return false;
}

// The pixels of a rectangle of a top-level window (black outside it).
QImage Grab(QWidget* top, const QRect& area) {
    QImage out(area.size(), QImage::Format_RGB32);
    out.fill(qRgb(0, 0, 0));
    QRect inside = area.intersected(top->rect());
    if (inside.isEmpty()) return out;
    if (InsidePainting()) {
        out.fill(qRgb(255, 255, 255));
        return out;
    }
    QImage shot = top->grab(inside).toImage().convertToFormat(QImage::Format_RGB32);
    if (shot.size() != inside.size()) shot = shot.scaled(inside.size());
    QPainter p(&out);
    p.setCompositionMode(QPainter::CompositionMode_Source);
    p.drawImage(inside.topLeft() - area.topLeft(), shot);
    return out;
}

// Painters shared by the contexts on a window during one painting of it.
std::map<DispatchFrame*, std::weak_ptr<QPainter>>& SharedPainters() {
    static auto* painters = new std::map<DispatchFrame*, std::weak_ptr<QPainter>>;
    return *painters;
}

}  // namespace

WindowContext::WindowContext(QWidget* widget) {
    m_client = ClientOf(widget);
    if (widget && m_client && m_client != widget) {
        // A list's client area starts inside its frame, above its rows (its header).
        m_origin = m_client->mapFrom(widget, widget->contentsRect().topLeft());
    }
    DispatchFrame* f = CurrentFrame();
    m_direct = f && f->message == WM_PAINT && widget && WidgetOf(f->wnd) == widget;
}

WindowContext::~WindowContext() {
    m_painter.reset();
    if (m_shared) {
        m_shared.reset();
        for (auto it = SharedPainters().begin(); it != SharedPainters().end();)
            it = it->second.expired() ? SharedPainters().erase(it) : std::next(it);
    }
    Flush();
}

const QPaintDevice* WindowContext::MetricsDevice() {
    static QImage metrics(1, 1, QImage::Format_RGB32);
    return &metrics;
}

QPainter* WindowContext::Painter() {
    if (!m_client) return nullptr;
    if (m_direct) {
        if (!m_shared) {
            DispatchFrame* f = CurrentFrame();
            auto& shared = SharedPainters()[f];
            m_shared = shared.lock();
            if (!m_shared) {
                m_shared = std::make_shared<QPainter>(m_client.data());
                if (!m_shared->isActive()) {
                    m_shared.reset();
                    return nullptr;
                }
                shared = m_shared;
            }
        }
        return m_shared.get();
    }
    if (m_work.isNull()) {
        SurfaceOverlay* overlay = SurfaceOverlay::Of(m_client);
        if (overlay && !overlay->image.isNull() && overlay->image.size() == m_client->size()) {
            // The screen is what was drawn last, whatever the window would paint now.
            m_base = overlay->painting;
            m_work = overlay->image.copy();
        } else {
            QWidget* top = m_client->window();
            QRect area(m_client->mapTo(top, QPoint(0, 0)), m_client->size());
            if (overlay) overlay->hide();
            m_base = Grab(top, area);
            m_work = m_base.copy();
        }
    }
    if (!m_painter) {
        m_painter = std::make_unique<QPainter>(&m_work);
        if (!m_painter->isActive()) {
            m_painter.reset();
            return nullptr;
        }
    }
    return m_painter.get();
}

void WindowContext::Prepare(QPainter& painter) { painter.translate(m_origin); }

void WindowContext::Drawn() {
    m_drawn = true;
    // The copy's painter ends with each call, so reading sees everything drawn.
    m_painter.reset();
}

bool WindowContext::Read(const QRect& r, QImage* out) {
    if (!m_client || !out || m_direct) return false;
    m_painter.reset();
    QWidget* top = m_client->window();
    QRect inClient = r.translated(m_origin);
    QImage result = Grab(top, inClient.translated(m_client->mapTo(top, QPoint(0, 0))));
    if (!m_work.isNull()) {
        // What this context drew and the window does not show yet.
        QRect inside = inClient.intersected(m_work.rect());
        if (!inside.isEmpty()) {
            QPainter p(&result);
            p.setCompositionMode(QPainter::CompositionMode_Source);
            p.drawImage(inside.topLeft() - inClient.topLeft(), m_work, inside);
        }
    }
    *out = result;
    return true;
}

void WindowContext::Flush() {
    if (!m_drawn || m_direct || !m_client || m_work.isNull()) return;
    bool any = m_base.size() != m_work.size();
    for (int y = 0; !any && y < m_work.height(); ++y) {
        const auto* w = reinterpret_cast<const QRgb*>(m_work.constScanLine(y));
        const auto* b = reinterpret_cast<const QRgb*>(m_base.constScanLine(y));
        for (int x = 0; x < m_work.width(); ++x) {
            if ((w[x] & 0xFFFFFF) != (b[x] & 0xFFFFFF)) {
                any = true;
                break;
            }
        }
    }
    SurfaceOverlay* overlay = SurfaceOverlay::Of(m_client);
    // Everything drawn was erased: the window shows its own painting again.
    if (!any) {
        delete overlay;
        return;
    }
    if (!overlay) overlay = new SurfaceOverlay(m_client);
    overlay->painting = m_base;
    overlay->image = m_work;
    overlay->setGeometry(m_client->rect());
    overlay->raise();
    overlay->show();
    overlay->update();
}

}  // namespace afx::gdi

namespace afx {
void DiscardWindowSurface(QWidget* widget) {
    if (!widget) return;
    delete gdi::SurfaceOverlay::Of(gdi::ClientOf(widget));
}
}  // namespace afx

// --- CPaintDC --------------------------------------------------------------------------------------

CPaintDC::CPaintDC(CWnd* wnd) : m_hWnd(wnd ? wnd->GetSafeHwnd() : nullptr) {
    QWidget* w = afx::WidgetOf(wnd);
    if (!w) return;
    auto* context = new afx::gdi::WindowContext(w);
    context->window = m_hWnd;
    Attach(context->Handle());
    CRect client;
    wnd->GetClientRect(&client);
    QRect area(0, 0, client.Width(), client.Height());
    afx::DispatchFrame* f = afx::CurrentFrame();
    if (f && f->message == WM_PAINT && f->wnd == wnd && f->event && f->event->type() == QEvent::Paint)
        area = static_cast<QPaintEvent*>(f->event)->rect().translated(-context->Origin());
    m_ps.hdc = m_hDC;
    m_ps.fErase = TRUE;
    m_ps.rcPaint = CRect(area.left(), area.top(), area.left() + area.width(), area.top() + area.height());
}

CPaintDC::~CPaintDC() {
    if (m_hDC) ::DeleteDC(Detach());
}
