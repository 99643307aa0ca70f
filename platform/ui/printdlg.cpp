#include "platform/ui/printdlg.h"

#include <QPrintDialog>
#include <QPrinter>

#include "platform/gdi/gdi_internal.h"
#include "platform/ui/automation.h"
#include "platform/ui/msgbox.h"
#include "platform/ui/qt_bridge.h"
#include "platform/ui/window_owner.h"
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
    QPrintDialog dialog(printer.get(), afx::AskingWindow(m_parent));
    dialog.setOption(QAbstractPrintDialog::PrintSelection, !(m_pd.Flags & PD_NOSELECTION));
    dialog.setOption(QAbstractPrintDialog::PrintPageRange, !(m_pd.Flags & PD_NOPAGENUMS));
    // Printing to a PDF file is always offered, so that a machine without a printer can
    // print; PD_HIDEPRINTTOFILE hides only the Windows "print to file" box.
    dialog.setOption(QAbstractPrintDialog::PrintToFile, true);
    afx::SetModality(&dialog);
    if (afx::automation::Active()) {
        afx::PrintDialogRequest request;
        request.flags = m_pd.Flags;
        request.setupOnly = (m_pd.Flags & PD_PRINTSETUP) != 0;
        if (!afx::automation::RunPrintDialog(dialog, request)) return IDCANCEL;
        if (request.resolution > 0) printer->setResolution(request.resolution);
        // A printer that refuses the job: its output cannot be opened.
        if (request.printerFails) printer->setOutputFileName(printer->outputFileName() + "/pagina.pdf");
    } else {
        if (dialog.exec() != QDialog::Accepted) return IDCANCEL;
    }
    m_deviceName = printer->outputFileName().isEmpty() ? afx::FromQ(printer->printerName()) : CString("PDF");
    m_pd.nCopies = static_cast<WORD>(printer->copyCount());
    if (m_pd.Flags & PD_RETURNDC) m_pd.hDC = (new afx::gdi::PrinterContext(printer))->Handle();
    return IDOK;
}

HDC CPrintDialog::GetPrinterDC() {
    if (m_pd.hDC) m_handedOver = true;
    return m_pd.hDC;
}

CString CPrintDialog::GetDeviceName() const { return m_deviceName; }

void afx::ReportPrintFailure(CWnd* owner) { ShowMessageBox(owner, "Erro a imprimir", nullptr, MB_OK); }
