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

class CDrawErrorScope {
public:
    CDrawErrorScope();
    ~CDrawErrorScope();
    CDrawErrorScope(const CDrawErrorScope&) = delete;
    CDrawErrorScope& operator=(const CDrawErrorScope&) = delete;
    // Whether a scope is open now (messages are being held back).
    static bool Active();
};
