#include "platform/ui/filedlg.h"

#include <QDir>
#include <QFileDialog>
#include <QFileInfo>

#include "platform/core/paths.h"
#include "platform/ui/automation.h"
#include "platform/ui/msgbox.h"
#include "platform/ui/qt_bridge.h"
#include "platform/ui/window_owner.h"
#include "platform/ui/winapp.h"

IMPLEMENT_DYNAMIC(CFileDialog, CDialog)

CFileDialog::CFileDialog(BOOL openFileDialog, const char* defaultExt, const char* fileName, DWORD flags,
                         const char* filter, CWnd* parent)
    : CDialog(0, parent), m_bOpenFileDialog(openFileDialog), m_initialName(fileName), m_defaultExt(defaultExt) {
    m_ofn.Flags = flags;
    if (filter) {
        m_filterStorage = filter;
        for (char& c : m_filterStorage)
            if (c == '|') c = '\0';
        m_filterStorage.push_back('\0');
        m_filterStorage.push_back('\0');
        m_ofn.lpstrFilter = m_filterStorage.c_str();
    }
    if (!m_defaultExt.IsEmpty()) m_ofn.lpstrDefExt = m_defaultExt.GetString();
}

namespace {
// The pairs of a zero-separated filter list.
std::vector<std::pair<CString, CString>> FilterPairs(const char* list) {
    std::vector<std::pair<CString, CString>> out;
    if (!list) return out;
    const char* p = list;
    while (*p) {
        CString desc(p);
        p += desc.GetLength() + 1;
        if (!*p) break;
        CString pattern(p);
        p += pattern.GetLength() + 1;
        out.emplace_back(desc, pattern);
    }
    return out;
}
}  // namespace

int CFileDialog::DoModal() {
    auto pairs = FilterPairs(m_ofn.lpstrFilter);
    CString title = m_ofn.lpstrTitle ? CString(m_ofn.lpstrTitle) : CString(m_bOpenFileDialog ? "Abrir" : "Gravar como");
    CString folder = m_ofn.lpstrInitialDir ? CString(m_ofn.lpstrInitialDir) : CString();

    if (afx::automation::Active()) {
        afx::FileDialogRequest req;
        req.open = m_bOpenFileDialog;
        req.title = title;
        req.initialFolder = folder;
        req.initialName = m_initialName;
        for (auto& p : pairs) req.filter += p.first + "|" + p.second + "|";
        if (!afx::automation::AnswerFileDialog(req)) return IDCANCEL;
        m_path = req.path;
        return IDOK;
    }

    QWidget* parent = afx::WidgetOf(m_pParentWnd);
    if (!parent) parent = afx::WidgetOf(AfxGetMainWnd());
    QFileDialog dlg(parent ? parent->window() : nullptr, afx::ToQ(title));
    dlg.setOption(QFileDialog::DontUseNativeDialog, true);
    dlg.setAcceptMode(m_bOpenFileDialog ? QFileDialog::AcceptOpen : QFileDialog::AcceptSave);
    dlg.setFileMode(m_bOpenFileDialog && (m_ofn.Flags & OFN_FILEMUSTEXIST) ? QFileDialog::ExistingFile
                                                                           : QFileDialog::AnyFile);
    dlg.setOption(QFileDialog::DontConfirmOverwrite, !(m_ofn.Flags & OFN_OVERWRITEPROMPT));
    QStringList filters;
    for (auto& p : pairs) {
        QString d = afx::ToQ(p.first), pat = afx::ToQ(p.second).replace(';', ' ');
        filters << (d.endsWith(QStringLiteral("(") + pat + QStringLiteral(")")) ? d : d + QStringLiteral(" (") + pat + QStringLiteral(")"));
    }
    if (!filters.isEmpty()) dlg.setNameFilters(filters);
    if (m_ofn.lpstrDefExt && *m_ofn.lpstrDefExt) dlg.setDefaultSuffix(afx::ToQ(m_ofn.lpstrDefExt));
    CString initial = m_initialName;
    if (!folder.IsEmpty()) dlg.setDirectory(QString::fromStdString(afx::NativePath(folder)));
    else if (!afx::FolderOfPath(initial).IsEmpty())
        dlg.setDirectory(QString::fromStdString(afx::NativePath(afx::FolderOfPath(initial))));
    if (!initial.IsEmpty()) dlg.selectFile(QString::fromStdString(afx::NativePath(afx::FileNameOfPath(initial))));
    afx::SetModality(&dlg);
    for (;;) {
        if (dlg.exec() != QDialog::Accepted || dlg.selectedFiles().isEmpty()) return IDCANCEL;
        QString chosen = dlg.selectedFiles().first();
        if (afx::ProgramPath(chosen.toStdString(), &m_path)) return IDOK;
        AfxMessageBox("Este nome não pode ser usado: tem caracteres que o programa não pode guardar.\n"
                      "Escolha outro nome.",
                      MB_ICONEXCLAMATION);
    }
}

CString CFileDialog::GetFileName() const { return afx::FileNameOfPath(m_path); }

CString CFileDialog::GetFileExt() const {
    CString name = GetFileName();
    int dot = name.ReverseFind('.');
    return dot >= 0 ? name.Mid(dot + 1) : CString();
}

CString CFileDialog::GetFileTitle() const { return afx::FileTitleOfPath(m_path); }

CString CFileDialog::GetFolderPath() const {
    CString f = afx::FolderOfPath(m_path);
    if (f.GetLength() > 1) f = f.Left(f.GetLength() - 1);
    return f;
}
