#include "platform/ui/printdlg.h"

#include <QPrintDialog>
#include <QPrinter>

#include "platform/core/paths.h"
#include "platform/gdi/gdi_internal.h"
#include "platform/ui/automation.h"
#include "platform/ui/qt_bridge.h"
#include "platform/ui/winapp.h"

CPrintDialog::CPrintDialog(BOOL printSetupOnly, DWORD flags, CWnd* parent) : m_parent(parent) {
    m_pd.Flags = flags;
    if (printSetupOnly) m_pd.Flags |= PD_PRINTSETUP;
    else m_pd.Flags |= PD_RETURNDC;
}

CPrintDialog::~CPrintDialog() {
    if (m_pd.hDC && !m_handedOver) ::DeleteDC(m_pd.hDC);
}

int CPrintDialog::DoModal() {
    if (m_pd.hDC && !m_handedOver) ::DeleteDC(m_pd.hDC);
    m_pd.hDC = nullptr;
    m_handedOver = false;
    auto printer = std::make_shared<QPrinter>(QPrinter::HighResolution);
    if (afx::automation::Active()) {
        afx::PrintDialogRequest request;
        request.flags = m_pd.Flags;
        request.setupOnly = (m_pd.Flags & PD_PRINTSETUP) != 0;
        if (!afx::automation::AnswerPrintDialog(request)) return IDCANCEL;
        if (request.outputFile.IsEmpty()) {
            afx::automation::Current()->Fail("the print dialog was accepted without an output file");
            return IDCANCEL;
        }
        printer->setOutputFormat(QPrinter::PdfFormat);
        printer->setOutputFileName(QString::fromStdString(afx::NativePath(request.outputFile)));
        if (request.resolution > 0) printer->setResolution(request.resolution);
        m_deviceName = "PDF";
    } else {
        QWidget* parent = afx::WidgetOf(m_parent);
        if (!parent) parent = afx::WidgetOf(AfxGetMainWnd());
        QPrintDialog dialog(printer.get(), parent ? parent->window() : nullptr);
        dialog.setOption(QAbstractPrintDialog::PrintSelection, !(m_pd.Flags & PD_NOSELECTION));
        dialog.setOption(QAbstractPrintDialog::PrintPageRange, !(m_pd.Flags & PD_NOPAGENUMS));
        dialog.setOption(QAbstractPrintDialog::PrintToFile, !(m_pd.Flags & PD_HIDEPRINTTOFILE));
        if (dialog.exec() != QDialog::Accepted) return IDCANCEL;
        m_deviceName = printer->outputFileName().isEmpty() ? afx::FromQ(printer->printerName()) : CString("PDF");
        m_pd.nCopies = static_cast<WORD>(printer->copyCount());
    }
    if (m_pd.Flags & PD_RETURNDC) m_pd.hDC = (new afx::gdi::PrinterContext(printer))->Handle();
    return IDOK;
}

HDC CPrintDialog::GetPrinterDC() {
    if (m_pd.hDC) m_handedOver = true;
    return m_pd.hDC;
}

CString CPrintDialog::GetDeviceName() const { return m_deviceName; }
