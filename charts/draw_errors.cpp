#include "charts/draw_errors.h"

#include <utility>

namespace {
using Pending = CDrawError;

int g_depth = 0;
std::vector<Pending>& Queue() {
    static auto* queue = new std::vector<Pending>;
    return *queue;
}

void Show(const Pending& p) {
    if (p.lastError) afx::ShowMessageBox(nullptr, p.text, "Error", MB_OK | MB_ICONINFORMATION);
    else AfxMessageBox(p.text, MB_OK);
}

void Report(Pending p) {
    if (g_depth == 0) {
        Show(p);
        return;
    }
    for (const Pending& q : Queue())
        if (q.lastError == p.lastError && q.text == p.text) return;
    Queue().push_back(std::move(p));
}
}  // namespace

void ReportDrawError(const char* text) { Report({CString(text), false}); }

void ReportDrawLastError() { Report({afx::SystemErrorText(GetLastError()), true}); }

CDrawErrorScope::CDrawErrorScope() { ++g_depth; }

CDrawErrorScope::~CDrawErrorScope() {
    if (--g_depth > 0) return;
    std::vector<Pending> shown;
    shown.swap(Queue());
    for (const Pending& p : shown) Show(p);
}

bool CDrawErrorScope::Active() { return g_depth > 0; }

std::vector<CDrawError> CDrawErrorScope::TakePending() {
    std::vector<CDrawError> taken;
    taken.swap(Queue());
    return taken;
}

void ShowDrawErrors(const std::vector<CDrawError>& errors) {
    for (const CDrawError& e : errors) Show(e);
}
