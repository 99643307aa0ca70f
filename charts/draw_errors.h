// Errors met while a chart draws itself. A message box must not open in the middle of a
// paint (it would re-enter painting and repeat itself for every object that fails), so
// while a CDrawErrorScope is alive the messages are only recorded, and each distinct one
// is shown once when the outermost scope ends. Outside any scope they are shown at once.
#pragma once

#include <vector>

#include "platform/afx.h"

// A fixed message in an OK box (e.g. "Erro a seleciona Pen2").
void ReportDrawError(const char* text);
// The system's text for the last error, in a box captioned "Error".
void ReportDrawLastError();

// One held message.
struct CDrawError {
    CString text;
    bool lastError = false;   // shown captioned "Error" with the information icon
};

class CDrawErrorScope {
public:
    CDrawErrorScope();
    // The outermost scope shows what it holds (unless taken).
    ~CDrawErrorScope();
    CDrawErrorScope(const CDrawErrorScope&) = delete;
    CDrawErrorScope& operator=(const CDrawErrorScope&) = delete;
    // Whether a scope is open now (messages are being held back).
    static bool Active();
    // Hands the messages held so far to the caller, who shows them when it is safe (a
    // window posts them to itself so that they open after its paint has ended).
    static std::vector<CDrawError> TakePending();
};

void ShowDrawErrors(const std::vector<CDrawError>& errors);
