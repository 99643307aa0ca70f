#include "platform/ui/winapp.h"

#include "platform/ui/hooks.h"

#include <QApplication>
#include <QFont>
#include <QKeyEvent>
#include <QMouseEvent>
#include <QPointer>
#include <QSettings>
#include <QWindow>
#include <clocale>
#include <cstdlib>
#include <memory>

#include "platform/core/paths.h"
#include "platform/core/resources.h"
#include "platform/ui/filedlg.h"
#include "platform/ui/msgbox.h"
#include "platform/ui/qt_bridge.h"
#include "platform/ui/window_owner.h"

namespace {
CWinApp* g_app = nullptr;

// The message loop's filter: every key and mouse message is first offered to the
// PreTranslateMessage of its window and the windows above it (dialog keys, accelerators).
class AfxApplication : public QApplication {
public:
    AfxApplication(int& argc, char** argv) : QApplication(argc, argv) {}

    bool notify(QObject* receiver, QEvent* e) override {
        QEvent::Type t = e->type();
        if ((t == QEvent::WindowBlocked || t == QEvent::WindowUnblocked) && receiver->isWindowType())
            afx::NoteBlocked(static_cast<QWindow*>(receiver), t == QEvent::WindowBlocked);
        if ((t == QEvent::KeyPress || t == QEvent::KeyRelease) && receiver->isWidgetType()) {
            auto* w = static_cast<QWidget*>(receiver);
            auto* ke = static_cast<QKeyEvent*>(e);
            if (const UINT vk = afx::VirtualKeyOf(ke->key());
                vk != 0 && afx::RunKeyboardHooks(vk, t == QEvent::KeyPress)) {
                e->accept();
                return true;
            }
            // A key belongs to the window that has it: a window of the toolkit's own (a print
            // dialog, an open drop-down list, a menu) keeps its keys from the window below.
            QWidget* target = w;
            while (target && !afx::WindowBinding::Of(target) && !target->isWindow()) target = target->parentWidget();
            if (target && afx::WindowBinding::Of(target)) {
                MSG msg;
                msg.hwnd = afx::ToHwnd(target);
                bool alt = ke->modifiers() & Qt::AltModifier;
                msg.message = t == QEvent::KeyPress ? (alt ? WM_SYSKEYDOWN : WM_KEYDOWN) : WM_KEYUP;
                msg.wParam = afx::VirtualKeyOf(ke->key());
                msg.lParam = MAKELPARAM(1, 0);
                if (ke->modifiers() & Qt::ShiftModifier) msg.keyState |= MK_SHIFT;
                if (ke->modifiers() & Qt::ControlModifier) msg.keyState |= MK_CONTROL;
                if (alt) msg.keyState |= MK_ALT;
                if (msg.wParam != 0 && CWnd::WalkPreTranslateTree(nullptr, &msg)) {
                    e->accept();
                    return true;
                }
            }
        }
        return QApplication::notify(receiver, e);
    }
};

std::unique_ptr<AfxApplication> g_qapp;
char g_arg0[] = "tesmo";
QString g_settingsFolder;

std::unique_ptr<QSettings> Settings() {
    CWinApp* app = AfxGetApp();
    QString org = app && app->m_pszRegistryKey ? afx::ToQ(app->m_pszRegistryKey) : QStringLiteral("Tesmo");
    QString name = app && app->m_pszAppName ? afx::ToQ(app->m_pszAppName) : QStringLiteral("Tabulon");
    return std::make_unique<QSettings>(QSettings::IniFormat, QSettings::UserScope, org, name);
}

// Windows go before the toolkit does.
void CloseAllWindows() {
    std::vector<QPointer<QWidget>> windows;
    for (QWidget* w : QApplication::topLevelWidgets()) windows.emplace_back(w);
    for (auto& w : windows) delete w.data();
}

void PrepareToolkit() {
    QApplication::setQuitOnLastWindowClosed(false);
    QApplication::setFont(afx::DialogFont());
    afx::UseProgramLanguage();
    afx::UseCNumericLocale();
}
}  // namespace

CWinApp* AfxGetApp() { return g_app; }

CWnd* AfxGetMainWnd() { return g_app ? g_app->m_pMainWnd : nullptr; }

namespace afx {
void UseCNumericLocale() { std::setlocale(LC_NUMERIC, "C"); }

namespace {
// The offscreen platform notes each window-system feature it lacks (raising a window,
// grabbing the keyboard for a menu): not a fault of the program, so kept out of test output.
QtMessageHandler g_defaultMessages = nullptr;
void TestMessages(QtMsgType type, const QMessageLogContext& context, const QString& text) {
    if (text.startsWith(QLatin1String("This plugin does not support"))) return;
    if (g_defaultMessages) g_defaultMessages(type, context, text);
}
}  // namespace

bool InitTestEnvironment(int argc, char** argv, const char* settingsFolder) {
    setenv("QT_QPA_PLATFORM", "offscreen", 1);
    if (!g_defaultMessages) g_defaultMessages = qInstallMessageHandler(TestMessages);
    if (!g_qapp) {
        static int s_argc = 1;
        static char* s_argv[] = {argc > 0 && argv ? argv[0] : g_arg0, nullptr};
        g_qapp = std::make_unique<AfxApplication>(s_argc, s_argv);
    }
    if (settingsFolder) {
        g_settingsFolder = QString::fromUtf8(settingsFolder);
        QSettings::setPath(QSettings::IniFormat, QSettings::UserScope, g_settingsFolder);
        QSettings::setPath(QSettings::NativeFormat, QSettings::UserScope, g_settingsFolder);
    }
    PrepareToolkit();
    return true;
}

void ShutdownTestEnvironment() {
    CloseAllWindows();
    g_qapp.reset();
}

void ProcessPendingEvents() {
    for (int i = 0; i < 3; ++i) QCoreApplication::processEvents(QEventLoop::AllEvents);
}
}  // namespace afx

int AfxWinMain(int argc, char** argv) {
    if (!g_qapp) g_qapp = std::make_unique<AfxApplication>(argc, argv);
    PrepareToolkit();
    CWinApp* app = AfxGetApp();
    if (!app) return 1;
    app->m_args.clear();
    for (int i = 1; i < argc; ++i) {
        CString arg;
        if (!afx::ProgramPath(argv[i], &arg)) {
            AfxMessageBox("Um argumento da linha de comando tem caracteres que o programa não pode usar.",
                          MB_ICONEXCLAMATION);
            return 1;
        }
        app->m_args.push_back(arg);
    }
    int code;
    if (!app->InitApplication() || !app->InitInstance()) {
        app->ExitInstance();
        code = 1;
    } else {
        code = app->Run();
    }
    CloseAllWindows();
    g_qapp.reset();
    return code;
}

// --- CCommandLineInfo and CWinApp ---------------------------------------------------------------

void CCommandLineInfo::ParseParam(const char* param, BOOL flag, BOOL) {
    if (flag) return;
    if (m_strFileName.IsEmpty()) {
        m_strFileName = param;
        m_nShellCommand = FileOpen;
    }
}

IMPLEMENT_DYNAMIC(CWinApp, CCmdTarget)

BEGIN_MESSAGE_MAP(CWinApp, CCmdTarget)
    ON_COMMAND_EX(ID_FILE_MRU_FILE1 + 0, &CWinApp::OnOpenRecentFile)
    ON_COMMAND_EX(ID_FILE_MRU_FILE1 + 1, &CWinApp::OnOpenRecentFile)
    ON_COMMAND_EX(ID_FILE_MRU_FILE1 + 2, &CWinApp::OnOpenRecentFile)
    ON_COMMAND_EX(ID_FILE_MRU_FILE1 + 3, &CWinApp::OnOpenRecentFile)
    ON_COMMAND(ID_APP_EXIT, &CWinApp::OnAppExit)
    ON_UPDATE_COMMAND_UI(ID_FILE_MRU_FILE1, &CWinApp::OnUpdateRecentFileMenu)
END_MESSAGE_MAP()

CWinApp::CWinApp(const char* appName) : m_pszAppName(appName) { g_app = this; }

CWinApp::~CWinApp() {
    m_templates.clear();
    if (g_app == this) g_app = nullptr;
}

BOOL CWinApp::InitApplication() { return TRUE; }
BOOL CWinApp::InitInstance() { return TRUE; }

int CWinApp::ExitInstance() {
    if (m_maxRecent > 0) SaveStdProfileSettings();
    return 0;
}

int CWinApp::Run() {
    int code = m_pMainWnd ? QApplication::exec() : 0;
    int exitCode = ExitInstance();
    return code ? code : exitCode;
}

void CWinApp::SetRegistryKey(const char* key) { m_pszRegistryKey = key; }

void CWinApp::LoadStdProfileSettings(UINT maxMRU) {
    m_maxRecent = maxMRU;
    m_recent.clear();
    for (UINT i = 1; i <= maxMRU; ++i) {
        CString entry;
        entry.Format("File%u", i);
        CString path = GetProfileString("Recent File List", entry);
        if (!path.IsEmpty()) m_recent.push_back(path);
    }
}

void CWinApp::SaveStdProfileSettings() {
    auto s = Settings();
    s->remove(QStringLiteral("Recent File List"));
    for (size_t i = 0; i < m_recent.size(); ++i)
        s->setValue(QStringLiteral("Recent File List/File%1").arg(i + 1), afx::ToQ(m_recent[i]));
    s->sync();
}

CString CWinApp::GetProfileString(const char* section, const char* entry, const char* defaultValue) {
    auto s = Settings();
    QString key = afx::ToQ(section) + QStringLiteral("/") + afx::ToQ(entry);
    if (!s->contains(key)) return CString(defaultValue);
    return afx::FromQ(s->value(key).toString());
}

BOOL CWinApp::WriteProfileString(const char* section, const char* entry, const char* value) {
    auto s = Settings();
    QString key = afx::ToQ(section) + QStringLiteral("/") + afx::ToQ(entry);
    if (value) s->setValue(key, afx::ToQ(value));
    else s->remove(key);
    s->sync();
    return s->status() == QSettings::NoError;
}

UINT CWinApp::GetProfileInt(const char* section, const char* entry, int defaultValue) {
    auto s = Settings();
    QString key = afx::ToQ(section) + QStringLiteral("/") + afx::ToQ(entry);
    bool ok = false;
    int v = s->value(key).toInt(&ok);
    return static_cast<UINT>(ok ? v : defaultValue);
}

BOOL CWinApp::WriteProfileInt(const char* section, const char* entry, int value) {
    CString v;
    v.Format("%d", value);
    return WriteProfileString(section, entry, v);
}

void CWinApp::AddDocTemplate(CDocTemplate* docTemplate) { m_templates.emplace_back(docTemplate); }

POSITION CWinApp::GetFirstDocTemplatePosition() const {
    return m_templates.empty() ? nullptr : reinterpret_cast<POSITION>(static_cast<std::uintptr_t>(1));
}

CDocTemplate* CWinApp::GetNextDocTemplate(POSITION& pos) const {
    auto i = reinterpret_cast<std::uintptr_t>(pos);
    if (i == 0 || i > m_templates.size()) {
        pos = nullptr;
        return nullptr;
    }
    pos = i < m_templates.size() ? reinterpret_cast<POSITION>(i + 1) : nullptr;
    return m_templates[i - 1].get();
}

static CString AbsolutePath(const char* path) {
    CString p(path);
    if (!p.IsEmpty() && p[0] != '/') {
        CString cwd;
        if (afx::GetCurrentFolder(&cwd)) p = afx::JoinPath(cwd, p);
    }
    return p;
}

CDocument* CWinApp::OpenDocumentFile(const char* path) {
    if (m_templates.empty()) return nullptr;
    CString full = AbsolutePath(path);
    CDocTemplate* t = m_templates.front().get();
    // A document already open under that name is only brought forward.
    POSITION pos = t->GetFirstDocPosition();
    while (pos) {
        CDocument* doc = t->GetNextDoc(pos);
        if (doc && doc->GetPathName() == full) {
            if (m_pMainWnd) m_pMainWnd->ShowWindow(SW_SHOW);
            return doc;
        }
    }
    return t->OpenDocumentFile(full);
}

void CWinApp::AddToRecentFileList(const char* path) {
    if (m_maxRecent == 0 || !path || !*path) return;
    CString p(path);
    std::erase(m_recent, p);
    m_recent.insert(m_recent.begin(), p);
    if (m_recent.size() > m_maxRecent) m_recent.resize(m_maxRecent);
}

void CWinApp::ParseCommandLine(CCommandLineInfo& info) {
    for (size_t i = 0; i < m_args.size(); ++i) {
        const CString& a = m_args[i];
        bool flag = a.GetLength() > 1 && a[0] == '-';
        info.ParseParam(flag ? a.Mid(1).GetString() : a.GetString(), flag, i + 1 == m_args.size());
    }
}

BOOL CWinApp::ProcessShellCommand(CCommandLineInfo& info) {
    switch (info.m_nShellCommand) {
    case CCommandLineInfo::FileNew:
        if (!OnCmdMsg(ID_FILE_NEW, 0, nullptr, nullptr)) OnFileNew();
        return m_pMainWnd != nullptr;
    case CCommandLineInfo::FileOpen:
        return OpenDocumentFile(info.m_strFileName) != nullptr;
    default:
        return TRUE;
    }
}

BOOL CWinApp::DoPromptFileName(CString& fileName, UINT titleId, DWORD flags, BOOL open, CDocTemplate* docTemplate) {
    CString filter, ext, name;
    if (docTemplate && docTemplate->GetDocString(name, CDocTemplate::filterName) && !name.IsEmpty() &&
        docTemplate->GetDocString(ext, CDocTemplate::filterExt) && !ext.IsEmpty()) {
        filter = name + "|*" + ext + "|";
    }
    filter += "All Files (*.*)|*.*||";
    CString defExt = ext.GetLength() > 1 && ext[0] == '.' ? ext.Mid(1) : ext;
    CFileDialog dlg(open, defExt.IsEmpty() ? nullptr : defExt.GetString(), fileName,
                    flags | (open ? OFN_FILEMUSTEXIST : OFN_OVERWRITEPROMPT), filter, m_pMainWnd);
    CString title;
    if (!title.LoadString(titleId)) title = open ? "Abrir" : "Gravar como";
    dlg.m_ofn.lpstrTitle = title;
    if (dlg.DoModal() != IDOK) return FALSE;
    fileName = dlg.GetPathName();
    return TRUE;
}

BOOL CWinApp::SaveAllModified() {
    for (auto& t : m_templates) {
        POSITION pos = t->GetFirstDocPosition();
        while (pos)
            if (CDocument* doc = t->GetNextDoc(pos); doc && !doc->SaveModified()) return FALSE;
    }
    return TRUE;
}

void CWinApp::CloseAllDocuments(BOOL endSession) {
    for (auto& t : m_templates) t->CloseAllDocuments(endSession);
}

void CWinApp::OnFileNew() {
    if (!m_templates.empty()) m_templates.front()->OpenDocumentFile(nullptr);
}

void CWinApp::OnFileOpen() {
    CString name;
    if (!DoPromptFileName(name, AFX_IDS_OPENFILE, OFN_HIDEREADONLY | OFN_FILEMUSTEXIST, TRUE,
                          m_templates.empty() ? nullptr : m_templates.front().get()))
        return;
    OpenDocumentFile(name);
}

BOOL CWinApp::OnOpenRecentFile(UINT id) {
    size_t i = id - ID_FILE_MRU_FILE1;
    if (i >= m_recent.size()) return FALSE;
    CString path = m_recent[i];
    // Only a file that is gone leaves the list; one that was refused stays where it was.
    if (!OpenDocumentFile(path) && !afx::PathExists(path)) std::erase(m_recent, path);
    return TRUE;
}

void CWinApp::OnAppExit() {
    if (m_pMainWnd) m_pMainWnd->SendMessage(WM_CLOSE);
}

void CWinApp::OnUpdateRecentFileMenu(CCmdUI* cmdUI) { cmdUI->Enable(!m_recent.empty()); }
