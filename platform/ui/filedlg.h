// CFileDialog: the open and save file prompts.
#pragma once

#include <string>

#include "platform/ui/dialog.h"

constexpr DWORD OFN_READONLY = 0x00000001;
constexpr DWORD OFN_OVERWRITEPROMPT = 0x00000002;
constexpr DWORD OFN_HIDEREADONLY = 0x00000004;
constexpr DWORD OFN_NOCHANGEDIR = 0x00000008;
constexpr DWORD OFN_PATHMUSTEXIST = 0x00000800;
constexpr DWORD OFN_FILEMUSTEXIST = 0x00001000;
constexpr DWORD OFN_CREATEPROMPT = 0x00002000;
constexpr DWORD OFN_SHAREAWARE = 0x00004000;
constexpr DWORD OFN_EXPLORER = 0x00080000;

struct OPENFILENAME {
    DWORD Flags = 0;
    const char* lpstrFilter = nullptr;      // pairs of description and pattern, each ended by a zero,
                                            // the list by a second zero
    const char* lpstrInitialDir = nullptr;
    const char* lpstrTitle = nullptr;
    const char* lpstrDefExt = nullptr;
    DWORD nFilterIndex = 1;
};

class CFileDialog : public CDialog {
    DECLARE_DYNAMIC(CFileDialog)
public:
    // The filter uses '|' between descriptions and patterns ("Text (*.txt)|*.txt||").
    explicit CFileDialog(BOOL openFileDialog, const char* defaultExt = nullptr, const char* fileName = nullptr,
                         DWORD flags = OFN_HIDEREADONLY | OFN_OVERWRITEPROMPT, const char* filter = nullptr,
                         CWnd* parent = nullptr);

    int DoModal() override;
    CString GetPathName() const { return m_path; }
    CString GetFileName() const;
    CString GetFileExt() const;
    CString GetFileTitle() const;
    CString GetFolderPath() const;

    OPENFILENAME m_ofn;

protected:
    BOOL m_bOpenFileDialog;
    CString m_initialName;
    CString m_defaultExt;
    std::string m_filterStorage;   // the constructor's filter with zeros in place of '|'
    CString m_path;
};
