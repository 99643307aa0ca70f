#include "app/status.h"

#include "app/main_frame.h"
#include "res/resource_ids.h"

namespace {
CMainFrame* Frame() { return dynamic_cast<CMainFrame*>(AfxGetMainWnd()); }
}  // namespace

void BeginProgress(const CString& text, int range) {
    CMainFrame* frame = Frame();
    if (!frame) return;
    frame->GetStatusBar()->SetPaneText(0, text);
    CProgressCtrl* bar = frame->GetProgressCtrl();
    if (!bar) return;
    bar->SetRange32(0, range);
    bar->SetPos(0);
}

void BeginProgressStep(const CString& text, int range, int step) {
    BeginProgress(text, range);
    CMainFrame* frame = Frame();
    if (CProgressCtrl* bar = frame ? frame->GetProgressCtrl() : nullptr) bar->SetStep(step);
}

void SetProgressPos(int position) {
    CMainFrame* frame = Frame();
    if (CProgressCtrl* bar = frame ? frame->GetProgressCtrl() : nullptr) bar->SetPos(position);
}

void StepProgress() {
    CMainFrame* frame = Frame();
    if (CProgressCtrl* bar = frame ? frame->GetProgressCtrl() : nullptr) bar->StepIt();
}

int GetProgressPos() {
    CMainFrame* frame = Frame();
    CProgressCtrl* bar = frame ? frame->GetProgressCtrl() : nullptr;
    return bar ? bar->GetPos() : 0;
}

void EndProgress() {
    CMainFrame* frame = Frame();
    if (!frame) return;
    CString ready;
    ready.LoadString(IDS_STATUS_READY);
    frame->GetStatusBar()->SetPaneText(0, ready);
    if (CProgressCtrl* bar = frame->GetProgressCtrl()) bar->SetPos(0);
}
