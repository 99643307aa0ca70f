// CWinApp: the application object, its start-up helpers and the recent-file list.
#pragma once

#include <memory>
#include <vector>

#include "platform/ui/docview.h"
#include "platform/ui/frame.h"

class CCommandLineInfo {
public:
    enum { FileNew, FileOpen, FileNothing = -1 } m_nShellCommand = FileNew;
    CString m_strFileName;
    BOOL m_bShowSplash = TRUE;
    virtual ~CCommandLineInfo() = default;
    virtual void ParseParam(const char* param, BOOL flag, BOOL last);
};

class CWinApp : public CCmdTarget {
    DECLARE_DYNAMIC(CWinApp)
public:
    explicit CWinApp(const char* appName = nullptr);
    ~CWinApp() override;

    const char* m_pszAppName = nullptr;
    const char* m_pszRegistryKey = nullptr;
    CWnd* m_pMainWnd = nullptr;
    int m_nCmdShow = SW_SHOWNORMAL;
    std::vector<CString> m_args;    // the command line, without the program name

    virtual BOOL InitApplication();
    virtual BOOL InitInstance();
    virtual int ExitInstance();
    virtual int Run();

    void SetRegistryKey(const char* key);
    void LoadStdProfileSettings(UINT maxMRU = 4);
    void SaveStdProfileSettings();
    CString GetProfileString(const char* section, const char* entry, const char* defaultValue = nullptr);
    BOOL WriteProfileString(const char* section, const char* entry, const char* value);
    UINT GetProfileInt(const char* section, const char* entry, int defaultValue);
    BOOL WriteProfileInt(const char* section, const char* entry, int value);

    void AddDocTemplate(CDocTemplate* docTemplate);
    POSITION GetFirstDocTemplatePosition() const;
    CDocTemplate* GetNextDocTemplate(POSITION& pos) const;

    virtual CDocument* OpenDocumentFile(const char* path);
    virtual void AddToRecentFileList(const char* path);
    const std::vector<CString>& GetRecentFiles() const { return m_recent; }
    UINT GetRecentFileLimit() const { return m_maxRecent; }

    void ParseCommandLine(CCommandLineInfo& info);
    BOOL ProcessShellCommand(CCommandLineInfo& info);
    BOOL DoPromptFileName(CString& fileName, UINT titleId, DWORD flags, BOOL open, CDocTemplate* docTemplate);
    BOOL SaveAllModified();
    void CloseAllDocuments(BOOL endSession);

    void OnFileNew();
    void OnFileOpen();
    BOOL OnOpenRecentFile(UINT id);
    void OnAppExit();
    void OnUpdateRecentFileMenu(CCmdUI* cmdUI);

    DECLARE_MESSAGE_MAP()

protected:
    std::vector<std::unique_ptr<CDocTemplate>> m_templates;
    std::vector<CString> m_recent;
    UINT m_maxRecent = 0;
};

CWinApp* AfxGetApp();

// Starts the program: the toolkit, the numeric locale, then InitInstance and the message loop.
int AfxWinMain(int argc, char** argv);

namespace afx {
// Prepares the toolkit for tests: offscreen windows, profile stored under settingsFolder,
// the C numeric locale. Returns false when it cannot.
bool InitTestEnvironment(int argc, char** argv, const char* settingsFolder);
// Closes the toolkit at the end of a test program.
void ShutdownTestEnvironment();
// Lets queued work of the toolkit run (deferred list updates, timers that are due).
void ProcessPendingEvents();
// Sets the numeric locale to "C" (after the toolkit, which sets the user's locale).
void UseCNumericLocale();
}  // namespace afx
