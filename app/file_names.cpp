#include "app/file_names.h"

int PromptFileName(CString& path, const char* filter, BOOL open) {
    CString folder, file;
    SplitPath(path, &folder, &file, TRUE);
    CFileDialog dlg(open, nullptr, file, OFN_HIDEREADONLY | OFN_OVERWRITEPROMPT);
    dlg.m_ofn.lpstrInitialDir = folder.IsEmpty() ? nullptr : folder.GetString();
    dlg.m_ofn.Flags |= OFN_READONLY | OFN_HIDEREADONLY | OFN_PATHMUSTEXIST | OFN_FILEMUSTEXIST | OFN_SHAREAWARE;
    dlg.m_ofn.lpstrFilter = filter;
    int result = dlg.DoModal();
    if (result == IDOK) path = dlg.GetPathName();
    return result;
}

void SplitPath(const CString& path, CString* folder, CString* file, BOOL wantFile) {
    int slash = std::max(path.ReverseFind('/'), path.ReverseFind('\\'));
    if (folder) *folder = path.Left(slash + 1);
    if (wantFile && file) *file = path.Mid(slash + 1);
}

CString ReplaceExtension(const CString& path) {
    CString name;
    SplitPath(path, nullptr, &name, TRUE);
    if (name.IsEmpty()) return name;
    int dot = name.ReverseFind('.');
    if (dot < 0) return name + ".tsm";
    return name.Left(dot + 1) + "tsm";
}
