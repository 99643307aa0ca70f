// Status-bar text and progress bar of long operations. They do nothing while the main
// frame does not exist (a document opened from the command line, tests without a frame).
#pragma once

#include "platform/afx.h"

// Pane 0 shows text; the bar goes from 0 to range, at 0.
void BeginProgress(const CString& text, int range);
// BeginProgress, then the size of one step.
void BeginProgressStep(const CString& text, int range, int step);
void SetProgressPos(int position);
void StepProgress();
int GetProgressPos();
// Pane 0 shows "Ready"; the bar goes back to 0 and stays visible.
void EndProgress();
