// The print dialog. DoModal asks for a printer; GetPrinterDC then hands over a printer
// device context (the caller deletes it, for instance by attaching it to a CDC). Under the
// scripted user the test answers the dialog and the job is printed to a PDF file.
#pragma once

#include "platform/gdi/gdi_types.h"

class CWnd;

constexpr DWORD PD_ALLPAGES = 0x00000000;
constexpr DWORD PD_SELECTION = 0x00000001;
constexpr DWORD PD_PAGENUMS = 0x00000002;
constexpr DWORD PD_NOSELECTION = 0x00000004;
constexpr DWORD PD_NOPAGENUMS = 0x00000008;
constexpr DWORD PD_COLLATE = 0x00000010;
constexpr DWORD PD_PRINTTOFILE = 0x00000020;
constexpr DWORD PD_PRINTSETUP = 0x00000040;
constexpr DWORD PD_RETURNDC = 0x00000100;
constexpr DWORD PD_HIDEPRINTTOFILE = 0x00100000;
constexpr DWORD PD_USEDEVMODECOPIES = 0x00040000;

struct PRINTDLG {
    DWORD lStructSize = sizeof(PRINTDLG);
    HWND hwndOwner = nullptr;
    HDC hDC = nullptr;
    DWORD Flags = 0;
    WORD nFromPage = 0;
    WORD nToPage = 0;
    WORD nMinPage = 0;
    WORD nMaxPage = 0;
    WORD nCopies = 1;
};

class CPrintDialog {
public:
    explicit CPrintDialog(BOOL printSetupOnly,
                          DWORD flags = PD_ALLPAGES | PD_USEDEVMODECOPIES | PD_NOPAGENUMS | PD_HIDEPRINTTOFILE |
                                        PD_NOSELECTION,
                          CWnd* parent = nullptr);
    // Deletes a printer context that was never handed over.
    virtual ~CPrintDialog();
    CPrintDialog(const CPrintDialog&) = delete;
    CPrintDialog& operator=(const CPrintDialog&) = delete;

    // IDOK with a printer chosen, IDCANCEL otherwise.
    virtual int DoModal();
    // The chosen printer's device context, handed over to the caller; null before DoModal.
    HDC GetPrinterDC();
    CString GetDeviceName() const;

    PRINTDLG m_pd;

private:
    CWnd* m_parent;
    CString m_deviceName;
    bool m_handedOver = false;
};

namespace afx {
// Tells the user that a print job failed ("Erro a imprimir"), above the window that asked
// (or, without one, the window in use).
void ReportPrintFailure(CWnd* owner);
}  // namespace afx
