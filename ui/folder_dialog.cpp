#include "ui/folder_dialog.h"

#include <cerrno>

#include "platform/core/folders.h"
#include "platform/gdi/gdi.h"

namespace {
const char kNotAFolder[] = "\nThis is a file not a directory.";
const char kAskCreate[] = "\nThis folder does not exist.\n\nDo you want to create it?";
const char kCannotCreateOpen[] = "You do not have permission\nto create this folder.";
const char kCannotCreateEnter[] = "You do not have permission or\notherwise cannot create this folder.";
const char kWriteProtected[] = "You cannot create this folder.\nThe medium may be write-protected.";
const char kNetworkDenied[] = "You do not have permission to create\nthis folder on the network.";
const char kReadOnlyDisc[] = "You cannot create this folder\nas the CD ROM medium is read-only.";

bool EndsWithSlash(const CString& s) { return !s.IsEmpty() && s[s.GetLength() - 1] == '/'; }

CString WithSlash(const CString& folder) { return EndsWithSlash(folder) ? folder : folder + '/'; }
}  // namespace

// --- CFolderDialogEdit -------------------------------------------------------------------

BEGIN_MESSAGE_MAP(CFolderDialogEdit, CEdit)
    ON_WM_CHAR()
    ON_WM_KEYDOWN()
    ON_WM_GETDLGCODE()
END_MESSAGE_MAP()

UINT CFolderDialogEdit::OnGetDlgCode() {
    // Enter and Tab come to the edit instead of working the dialog.
    return CEdit::OnGetDlgCode() | DLGC_WANTALLKEYS;
}

void CFolderDialogEdit::OnKeyDown(UINT ch, UINT repeat, UINT flags) {
    if (ch == VK_RETURN) return;   // handled as a character
    CEdit::OnKeyDown(ch, repeat, flags);
    if (ch == VK_DELETE) m_pDialog->OnEditDelete();
}

void CFolderDialogEdit::OnChar(UINT ch, UINT repeat, UINT flags) {
    if (ch == '\r' || ch == '\n') {
        m_pDialog->OnEditEnter();
        return;
    }
    if (ch == '\t') {
        if (CWnd* open = m_pDialog->GetDlgItem(IDC_FOLDER_OPEN)) open->SetFocus();
        return;
    }
    CEdit::OnChar(ch, repeat, flags);
    if (ch < 0x20 && ch != VK_BACK) return;
    m_pDialog->OnEditTextChanged(ch);
}

// --- CFolderDialog -----------------------------------------------------------------------

IMPLEMENT_DYNAMIC(CFolderDialog, CDialog)

BEGIN_MESSAGE_MAP(CFolderDialog, CDialog)
    ON_BN_CLICKED(IDC_FOLDER_OPEN, &CFolderDialog::OnOpen)
    ON_BN_CLICKED(IDC_FOLDER_UP, &CFolderDialog::OnUp)
    ON_LBN_SELCHANGE(IDC_FOLDER_LIST, &CFolderDialog::OnListSelChange)
    ON_LBN_DBLCLK(IDC_FOLDER_LIST, &CFolderDialog::OnListDoubleClick)
END_MESSAGE_MAP()

CFolderDialog::CFolderDialog(const char* initialFolder, const char*, CWnd* parent)
    : CDialog(IDD_FOLDER_DIALOG, parent), m_strFolder(initialFolder), m_edit(this) {}

CFolderDialog::~CFolderDialog() = default;

int CFolderDialog::DoModal() {
    m_strInitial = m_strFolder;
    return CDialog::DoModal();
}

BOOL CFolderDialog::OnInitDialog() {
    CDialog::OnInitDialog();
    m_edit.SubclassDlgItem(IDC_FOLDER_EDIT, this);
    m_list.SubclassDlgItem(IDC_FOLDER_LIST, this);
    CString current;
    if (!afx::GetCurrentFolder(&current)) current = "/";
    CString start = afx::NormaliseFolderPath(current, m_strFolder);
    if (m_strFolder.IsEmpty() || !afx::IsFolder(start)) start = afx::NormaliseFolderPath("/", current);
    NavigateTo(start);
    return FALSE;   // the edit has the focus
}

CString CFolderDialog::Resolve(const CString& typed) const { return afx::NormaliseFolderPath(m_strShown, typed); }

void CFolderDialog::NavigateTo(const CString& folder) {
    m_strShown = WithSlash(folder);
    ShowFolderName();
    if (CWnd* up = GetDlgItem(IDC_FOLDER_UP)) up->EnableWindow(m_strShown != "/");
    FillList();
    OnFolderChange();
}

void CFolderDialog::ShowFolderName() {
    CWnd* label = GetDlgItem(IDC_FOLDER_SHOWN);
    if (!label) return;
    CRect room;
    label->GetClientRect(room);
    CClientDC dc(label);
    CFont* old = dc.SelectObject(label->GetFont());
    // A long path gives up its first folders, so that its end stays in sight.
    CString text = m_strShown;
    int from = 0;
    while (dc.GetTextExtent(text).cx >= room.Width()) {
        int next = m_strShown.Find('/', from + 1);
        if (next < 0 || next == m_strShown.GetLength() - 1) break;
        from = next;
        text = "..." + m_strShown.Mid(from);
    }
    if (old) dc.SelectObject(old);
    label->SetWindowText(text);
}

void CFolderDialog::OnFolderChange() {
    // The edit always shows the folder as an absolute path, so that a relative text is
    // never resolved a second time against the folder it led to.
    m_strFolder = m_strShown;
    m_edit.SetWindowText(m_strFolder);
    m_edit.SetSel(m_strFolder.GetLength(), m_strFolder.GetLength());
    FocusEdit();
}

void CFolderDialog::FillList() {
    m_list.ResetContent();
    for (const CString& name : afx::ListSubfolders(m_strShown)) m_list.AddString(name);
}

void CFolderDialog::FocusEdit() { m_edit.SetFocus(); }

CFolderDialog::Verdict CFolderDialog::CheckTypedPath(const CString& typed, const char* failureText, CString* folder) {
    if (typed.IsEmpty()) {
        *folder = Resolve("");
        return Verdict::Accepted;
    }
    CString path = typed;
    if (path.GetLength() > 1 && EndsWithSlash(path)) path = path.Left(path.GetLength() - 1);
    CString absolute = Resolve(path);
    if (afx::PathExists(absolute)) {
        if (afx::IsFolder(absolute)) {
            *folder = absolute;
            return Verdict::Accepted;
        }
        AfxMessageBox(path + kNotAFolder);
        return Verdict::Refused;
    }
    if (AfxMessageBox(path + kAskCreate, MB_YESNO | MB_ICONQUESTION) != IDYES) return Verdict::Refused;
    int error = 0;
    if (afx::CreateFolderPath(absolute, &error)) {
        *folder = absolute;
        return Verdict::Accepted;
    }
    switch (afx::VolumeKindOf(absolute)) {
    case afx::VolumeKind::OpticalDisc: AfxMessageBox(kReadOnlyDisc); break;
    case afx::VolumeKind::Network: AfxMessageBox(kNetworkDenied); break;
    default: AfxMessageBox(error == EROFS ? kWriteProtected : failureText); break;
    }
    return Verdict::Refused;
}

void CFolderDialog::OnOpen() {
    CString typed;
    m_edit.GetWindowText(typed);
    CString folder;
    if (CheckTypedPath(typed, kCannotCreateOpen, &folder) != Verdict::Accepted) {
        FocusEdit();
        return;
    }
    NavigateTo(folder);
    EndDialog(IDOK);
}

void CFolderDialog::OnOK() { OnOpen(); }

void CFolderDialog::OnCancel() {
    m_strFolder = m_strInitial;   // the caller keeps its folder
    CDialog::OnCancel();
}

void CFolderDialog::OnEditEnter() {
    CString typed;
    m_edit.GetWindowText(typed);
    if (typed.GetLength() > 1 && EndsWithSlash(typed)) typed = typed.Left(typed.GetLength() - 1);
    CString folder;
    if (CheckTypedPath(typed, kCannotCreateEnter, &folder) == Verdict::Accepted) NavigateTo(folder);
    FocusEdit();
}

bool CFolderDialog::NamesFolderToOpen(const CString& text) const {
    if (text == "/") return true;
    return EndsWithSlash(text) && afx::IsFolder(Resolve(text));
}

void CFolderDialog::OnEditTextChanged(UINT ch) {
    CString text;
    m_edit.GetWindowText(text);
    if (NamesFolderToOpen(text)) {
        NavigateTo(Resolve(text));
        return;
    }
    if (ch != VK_BACK) CompleteName();
}

void CFolderDialog::OnEditDelete() {
    CString text;
    m_edit.GetWindowText(text);
    if (NamesFolderToOpen(text)) NavigateTo(Resolve(text));
}

void CFolderDialog::CompleteName() {
    CString text;
    m_edit.GetWindowText(text);
    int start = 0, end = 0;
    m_edit.GetSel(start, end);
    if (start != end || end != text.GetLength()) return;   // only with the caret at the end
    int slash = text.ReverseFind('/');
    CString prefix = text.Mid(slash + 1);
    if (prefix.IsEmpty()) return;
    std::vector<CString> matches = afx::ListSubfolders(Resolve(text.Left(slash + 1)), prefix);
    if (matches.size() != 1) return;
    CString completed = text + matches[0].Mid(prefix.GetLength());
    if (completed == text) return;
    m_edit.SetWindowText(completed);
    m_edit.SetSel(text.GetLength(), completed.GetLength());   // typing on replaces the addition
}

void CFolderDialog::OnUp() { NavigateTo(afx::ParentFolderPath(Resolve(""))); }

void CFolderDialog::OnListSelChange() {
    int item = m_list.GetCurSel();
    if (item < 0) return;
    CString name;
    m_list.GetText(item, name);
    CString path = m_strShown + name + "/";
    m_edit.SetWindowText(path);
    m_edit.SetSel(path.GetLength(), path.GetLength());
}

void CFolderDialog::OnListDoubleClick() {
    int item = m_list.GetCurSel();
    if (item < 0) return;
    CString name;
    m_list.GetText(item, name);
    CString folder = Resolve(name);
    if (afx::IsFolder(folder)) NavigateTo(folder);
    else FillList();   // it went away in the meantime
}
