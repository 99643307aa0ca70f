#include <QPrinter>
#include <cerrno>

#include "platform/gdi/gdi_internal.h"
#include "platform/ui/qt_bridge.h"

namespace afx::gdi {

PrinterContext::PrinterContext(std::shared_ptr<QPrinter> printer) : m_printer(std::move(printer)) { printing = true; }

PrinterContext::~PrinterContext() {
    // A context let go of in the middle of a document abandons it.
    if (m_painter) {
        m_printer->abort();
        m_painter->end();
    }
}

Device PrinterContext::Caps() const {
    Device d;
    d.horzRes = m_printer->width();
    d.vertRes = m_printer->height();
    d.dpiX = m_printer->logicalDpiX();
    d.dpiY = m_printer->logicalDpiY();
    d.bitsPixel = 24;
    d.planes = 1;
    return d;
}

QPainter* PrinterContext::Painter() { return m_painter ? m_painter.get() : nullptr; }

const QPaintDevice* PrinterContext::MetricsDevice() { return m_printer.get(); }

int PrinterContext::StartDoc(const CString& name) {
    if (m_painter) {
        SetLastError(EBUSY);
        return SP_ERROR;
    }
    m_printer->setDocName(ToQ(name));
    auto painter = std::make_unique<QPainter>();
    if (!painter->begin(m_printer.get())) {
        SetLastError(EIO);
        return SP_ERROR;
    }
    m_painter = std::move(painter);
    m_pages = 0;
    m_inPage = false;
    return 1;
}

int PrinterContext::StartPage() {
    if (!m_painter || m_inPage) {
        SetLastError(EINVAL);
        return SP_ERROR;
    }
    // The painter starts on the first sheet; later pages need a new one.
    if (m_pages > 0 && !m_printer->newPage()) {
        SetLastError(EIO);
        return SP_ERROR;
    }
    ++m_pages;
    m_inPage = true;
    return 1;
}

int PrinterContext::EndPage() {
    if (!m_painter || !m_inPage) {
        SetLastError(EINVAL);
        return SP_ERROR;
    }
    m_inPage = false;
    return 1;
}

int PrinterContext::EndDoc() {
    if (!m_painter) {
        SetLastError(EINVAL);
        return SP_ERROR;
    }
    bool ok = m_painter->end();
    m_painter.reset();
    m_inPage = false;
    if (!ok) {
        SetLastError(EIO);
        return SP_ERROR;
    }
    return 1;
}

int PrinterContext::AbortDoc() {
    if (!m_painter) {
        SetLastError(EINVAL);
        return SP_ERROR;
    }
    m_printer->abort();
    m_painter->end();
    m_painter.reset();
    m_inPage = false;
    return 1;
}

}  // namespace afx::gdi
