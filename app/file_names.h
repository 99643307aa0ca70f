// File prompts and the small path helpers of the import, export and configuration files.
#pragma once

#include "platform/afx.h"

// Runs an open (open = TRUE) or save prompt proposing path (folder and name); on OK the
// path becomes the chosen one. The filter is a list of description and pattern strings,
// each ended by a zero, the list by a second zero. Returns the prompt's result (IDOK = 1).
int PromptFileName(CString& path, const char* filter, BOOL open);

// folder = the path up to and including its last separator; file = the rest (only when
// wantFile is set).
void SplitPath(const CString& path, CString* folder, CString* file, BOOL wantFile);

// The bare file name of a path with the extension "tsm" (the text after its last '.'
// replaced, or ".tsm" appended); empty for a path that names no file.
CString ReplaceExtension(const CString& path);
