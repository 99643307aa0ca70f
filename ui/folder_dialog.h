// CFolderDialog: chooses a folder. The user types a path (with completion of folder
// names) or walks the list of sub-folders; "Open" checks the path, offers to create a
// missing folder and closes the dialog. The result is an absolute path ending in '/'.
#pragma once

#include "platform/afx.h"

// The template and its controls.
constexpr UINT IDD_FOLDER_DIALOG = 190;
constexpr int IDC_FOLDER_LABEL = 1090;     // "Folder:"
constexpr int IDC_FOLDER_EDIT = 181;       // the path typed, with completion
constexpr int IDC_FOLDER_OPEN = 182;       // "Open": checks the path and closes
constexpr int IDC_FOLDER_SHOWN = 191;      // the folder whose sub-folders are listed
constexpr int IDC_FOLDER_UP = 192;         // goes to the folder above
constexpr int IDC_FOLDER_LIST = 193;       // the sub-folders of the folder shown

class CFolderDialog;

// The path edit: Enter checks and opens the typed folder inside the dialog, Tab moves
// to "Open", and typing completes folder names.
class CFolderDialogEdit : public CEdit {
public:
    explicit CFolderDialogEdit(CFolderDialog* dialog) : m_pDialog(dialog) {}

protected:
    void OnChar(UINT ch, UINT repeat, UINT flags);
    void OnKeyDown(UINT ch, UINT repeat, UINT flags);
    UINT OnGetDlgCode();

    CFolderDialog* m_pDialog;

    DECLARE_MESSAGE_MAP()
};

class CFolderDialog : public CDialog {
    DECLARE_DYNAMIC(CFolderDialog)
public:
    // initialFolder: the folder shown first (the current folder when empty or missing).
    // The dialog lists folders only, so a file filter has nothing to act on; the
    // argument is kept for callers that pass one.
    explicit CFolderDialog(const char* initialFolder = nullptr, const char* filter = nullptr, CWnd* parent = nullptr);
    ~CFolderDialog() override;

    // IDOK when a folder was accepted; GetFolder then gives it.
    int DoModal() override;
    // The chosen folder: absolute and ending in '/'. Before a choice, the initial folder.
    const CString& GetFolder() const { return m_strFolder; }

    BOOL OnInitDialog() override;
    void OnOK() override;
    void OnCancel() override;

    // Called by the edit.
    void OnEditEnter();
    void OnEditTextChanged(UINT ch);
    void OnEditDelete();

protected:
    // What a check of the typed path found.
    enum class Verdict { Accepted, Refused };
    // Checks the edit's text; on acceptance *folder is the absolute folder (no trailing
    // '/' except for the root). failureText is the message for a creation that failed
    // for a reason other than a read-only medium or the network.
    Verdict CheckTypedPath(const CString& typed, const char* failureText, CString* folder);
    // Shows the folder (absolute, normalised) in the list and the edit.
    void NavigateTo(const CString& folder);
    // The folder shown changed: it becomes the result and the edit shows it.
    void OnFolderChange();
    // The absolute, normalised path of a typed text.
    CString Resolve(const CString& typed) const;
    // Completes the last name of the edit's text when one folder alone begins with it.
    void CompleteName();
    // The text names an existing folder to go to while typing ("/", or ending in '/').
    bool NamesFolderToOpen(const CString& text) const;
    void FillList();
    void FocusEdit();
    // Shows the folder above the list, shortened at the front when it is too long.
    void ShowFolderName();

    void OnOpen();
    void OnUp();
    void OnListSelChange();
    void OnListDoubleClick();

    CString m_strFolder;    // the initial folder, then the folder shown; the result
    CString m_strInitial;
    CString m_strShown;     // the folder shown, ending in '/'
    CFolderDialogEdit m_edit;
    CListBox m_list;

    DECLARE_MESSAGE_MAP()
};
