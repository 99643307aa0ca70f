#include "platform/ui/docview.h"

#include <QApplication>

#include "platform/core/paths.h"
#include "platform/core/resources.h"
#include "platform/ui/filedlg.h"
#include "platform/ui/frame.h"
#include "platform/ui/msgbox.h"
#include "platform/ui/qt_bridge.h"
#include "platform/ui/winapp.h"

// --- CDocument --------------------------------------------------------------------------------

IMPLEMENT_DYNAMIC(CDocument, CCmdTarget)

BEGIN_MESSAGE_MAP(CDocument, CCmdTarget)
    ON_COMMAND(ID_FILE_SAVE, &CDocument::OnFileSave)
    ON_COMMAND(ID_FILE_SAVE_AS, &CDocument::OnFileSaveAs)
END_MESSAGE_MAP()

CDocument::CDocument() = default;

CDocument::~CDocument() {
    for (CView* v : m_viewList) v->m_pDocument = nullptr;
    if (m_pDocTemplate) m_pDocTemplate->RemoveDocument(this);
}

void CDocument::SetTitle(const char* title) { m_strTitle = title; }

void CDocument::SetPathName(const char* path, BOOL addToMRU) {
    m_strPathName = path;
    SetTitle(afx::FileNameOfPath(path));
    if (addToMRU)
        if (CWinApp* app = AfxGetApp()) app->AddToRecentFileList(m_strPathName);
}

BOOL CDocument::OnNewDocument() {
    DeleteContents();
    m_strPathName.Empty();
    SetModifiedFlag(FALSE);
    return TRUE;
}

BOOL CDocument::OnOpenDocument(const char* path) {
    CFile file;
    CFileException fe;
    if (!file.Open(path, CFile::modeRead | CFile::shareDenyWrite, &fe)) {
        ReportSaveLoadException(path, &fe, FALSE, 0);
        return FALSE;
    }
    DeleteContents();
    SetModifiedFlag(TRUE);
    try {
        CArchive ar(&file, CArchive::load | CArchive::bNoFlushOnDelete);
        if (file.GetLength() != 0) Serialize(ar);
        ar.Close();
        file.Close();
    } catch (const std::exception& e) {
        file.Abort();
        DeleteContents();
        ReportSaveLoadException(path, &e, FALSE, 0);
        return FALSE;
    }
    SetModifiedFlag(FALSE);
    return TRUE;
}

BOOL CDocument::OnSaveDocument(const char* path) {
    CString target(path);
    CReplacingFile file;
    CFileException fe;
    if (!file.OpenReplacing(target, &fe)) {
        ReportSaveLoadException(target, &fe, TRUE, 0);
        return FALSE;
    }
    try {
        CArchive ar(&file, CArchive::store | CArchive::bNoFlushOnDelete);
        Serialize(ar);
        ar.Close();
        file.Commit();
    } catch (const std::exception& e) {
        file.Abandon();
        ReportSaveLoadException(target, &e, TRUE, 0);
        return FALSE;
    }
    SetModifiedFlag(FALSE);
    return TRUE;
}

void CDocument::ReportSaveLoadException(const char* path, const std::exception* e, BOOL saving, UINT) {
    CString text;
    if (auto* fe = dynamic_cast<const CFileException*>(e)) text = fe->GetErrorMessage();
    else if (saving) text.Format("Não foi possível gravar o documento %s.", path ? path : "");
    else text.Format("Não foi possível abrir o documento %s.", path ? path : "");
    AfxMessageBox(text, MB_ICONEXCLAMATION);
}

void CDocument::OnCloseDocument() {
    BOOL autoDelete = m_bAutoDelete;
    m_bAutoDelete = FALSE;
    DeleteContents();
    m_bAutoDelete = autoDelete;
    if (m_bAutoDelete) delete this;
}

void CDocument::DeleteContents() {}

void CDocument::Serialize(CArchive&) {}

BOOL CDocument::SaveModified() {
    if (!IsModified()) return TRUE;
    CString name = m_strPathName.IsEmpty() ? m_strTitle : afx::FileNameOfPath(m_strPathName);
    if (name.IsEmpty()) name = "Sem título";
    CString prompt;
    if (!prompt.LoadString(AFX_IDP_ASK_TO_SAVE)) prompt = "Save changes to %1?";
    prompt.Replace("%1", name);
    switch (AfxMessageBox(prompt, MB_YESNOCANCEL, AFX_IDP_ASK_TO_SAVE)) {
    case IDCANCEL: return FALSE;
    case IDYES: return DoFileSave();
    default: return TRUE;
    }
}

BOOL CDocument::CanCloseFrame(CFrameWnd*) { return SaveModified(); }

BOOL CDocument::DoFileSave() {
    if (m_strPathName.IsEmpty() || !afx::IsRegularFile(m_strPathName)) return DoSave(nullptr);
    return DoSave(m_strPathName);
}

BOOL CDocument::DoSave(const char* path, BOOL replace) {
    CString newName(path);
    if (!path) {
        newName = m_strPathName;
        if (replace && newName.IsEmpty()) {
            newName = m_strTitle;
            CString ext;
            if (m_pDocTemplate && m_pDocTemplate->GetDocString(ext, CDocTemplate::filterExt) && !ext.IsEmpty() &&
                newName.Find('.') < 0)
                newName += ext;
        }
        CWinApp* app = AfxGetApp();
        if (!app || !app->DoPromptFileName(newName, AFX_IDS_SAVEFILE, OFN_HIDEREADONLY | OFN_PATHMUSTEXIST, FALSE,
                                           m_pDocTemplate))
            return FALSE;
    }
    if (!OnSaveDocument(newName)) return FALSE;
    if (replace) SetPathName(newName);
    return TRUE;
}

void CDocument::OnFileSave() { DoFileSave(); }

void CDocument::OnFileSaveAs() { DoSave(nullptr); }

void CDocument::AddView(CView* view) {
    m_viewList.push_back(view);
    view->m_pDocument = this;
}

void CDocument::RemoveView(CView* view) {
    std::erase(m_viewList, view);
    view->m_pDocument = nullptr;
}

POSITION CDocument::GetFirstViewPosition() const {
    return m_viewList.empty() ? nullptr : reinterpret_cast<POSITION>(static_cast<std::uintptr_t>(1));
}

CView* CDocument::GetNextView(POSITION& pos) const {
    auto i = reinterpret_cast<std::uintptr_t>(pos);
    if (i == 0 || i > m_viewList.size()) {
        pos = nullptr;
        return nullptr;
    }
    CView* v = m_viewList[i - 1];
    pos = i < m_viewList.size() ? reinterpret_cast<POSITION>(i + 1) : nullptr;
    return v;
}

void CDocument::UpdateAllViews(CView* sender, LPARAM hint, CObject* hintObject) {
    for (CView* v : std::vector<CView*>(m_viewList))
        if (v != sender) v->OnUpdate(sender, hint, hintObject);
}

BOOL CDocument::OnCmdMsg(UINT nID, int nCode, void* pExtra, AFX_CMDHANDLERINFO* pHandlerInfo) {
    if (CCmdTarget::OnCmdMsg(nID, nCode, pExtra, pHandlerInfo)) return TRUE;
    return m_pDocTemplate && m_pDocTemplate->OnCmdMsg(nID, nCode, pExtra, pHandlerInfo);
}

// --- CView ------------------------------------------------------------------------------------

IMPLEMENT_DYNAMIC(CView, CWnd)

BEGIN_MESSAGE_MAP(CView, CWnd)
    ON_WM_CREATE()
    ON_WM_DESTROY()
END_MESSAGE_MAP()

BOOL CView::PreCreateWindow(CREATESTRUCT& cs) {
    cs.style |= WS_CHILD;
    return TRUE;
}

int CView::OnCreate(LPCREATESTRUCT cs) {
    auto* context = static_cast<CCreateContext*>(cs ? cs->lpCreateParams : nullptr);
    if (context && context->m_pCurrentDoc) context->m_pCurrentDoc->AddView(this);
    return 0;
}

void CView::OnDestroy() {
    if (auto* frame = dynamic_cast<CFrameWnd*>(GetParent()))
        if (frame->GetActiveView() == this) frame->SetActiveView(nullptr, FALSE);
    Default();
}

void CView::PostNcDestroy() {
    if (m_pDocument) m_pDocument->RemoveView(this);
    delete this;
}

// Views live on the heap, made by their frame; they go with their window.
void CView::OnWidgetDestroyed() {
    CWnd::OnWidgetDestroyed();
    PostNcDestroy();
}

void CView::OnInitialUpdate() { OnUpdate(nullptr, 0, nullptr); }

void CView::OnUpdate(CView*, LPARAM, CObject*) { Invalidate(TRUE); }

void CView::OnActivateView(BOOL, CView*, CView*) {}

BOOL CView::OnCmdMsg(UINT nID, int nCode, void* pExtra, AFX_CMDHANDLERINFO* pHandlerInfo) {
    if (CWnd::OnCmdMsg(nID, nCode, pExtra, pHandlerInfo)) return TRUE;
    return m_pDocument && m_pDocument->OnCmdMsg(nID, nCode, pExtra, pHandlerInfo);
}

IMPLEMENT_DYNAMIC(CListView, CView)

BEGIN_MESSAGE_MAP(CListView, CView)
END_MESSAGE_MAP()

BOOL CListView::PreCreateWindow(CREATESTRUCT& cs) {
    cs.lpszClass = "SysListView32";
    return CView::PreCreateWindow(cs);
}

CListCtrl& CListView::GetListCtrl() {
    if (m_list.m_hWnd != m_hWnd) {
        if (m_list.m_hWnd) m_list.Detach();
        if (m_hWnd) m_list.AttachShadow(m_hWnd);
    }
    return m_list;
}

// --- Document templates ---------------------------------------------------------------------

IMPLEMENT_DYNAMIC(CDocTemplate, CCmdTarget)
IMPLEMENT_DYNAMIC(CSingleDocTemplate, CDocTemplate)

CDocTemplate::CDocTemplate(UINT resourceId, const CRuntimeClass* docClass, const CRuntimeClass* frameClass,
                           const CRuntimeClass* viewClass)
    : m_nIDResource(resourceId), m_pDocClass(docClass), m_pFrameClass(frameClass), m_pViewClass(viewClass) {}

CDocTemplate::~CDocTemplate() = default;

BOOL CDocTemplate::GetDocString(CString& text, DocStringIndex index) const {
    CString all;
    text.Empty();
    if (!all.LoadString(m_nIDResource)) return FALSE;
    int start = 0;
    for (int i = 0; i < index; ++i) {
        int nl = all.Find('\n', start);
        if (nl < 0) return FALSE;
        start = nl + 1;
    }
    int end = all.Find('\n', start);
    text = end < 0 ? all.Mid(start) : all.Mid(start, end - start);
    return TRUE;
}

void CDocTemplate::CloseAllDocuments(BOOL) {
    POSITION pos = GetFirstDocPosition();
    while (pos) {
        CDocument* doc = GetNextDoc(pos);
        doc->OnCloseDocument();
    }
}

void CDocTemplate::SetDefaultTitle(CDocument* doc) {
    CString title;
    if (!GetDocString(title, fileNewName) || title.IsEmpty()) title = "Sem título";
    doc->SetTitle(title);
}

void CDocTemplate::InitialUpdateFrame(CFrameWnd* frame, CDocument* doc, BOOL makeVisible) {
    frame->InitialUpdateFrame(doc, makeVisible);
}

void CDocTemplate::RemoveDocument(CDocument* doc) {
    if (doc) doc->m_pDocTemplate = nullptr;
}

CDocument* CDocTemplate::CreateNewDocument() {
    auto* doc = dynamic_cast<CDocument*>(m_pDocClass ? m_pDocClass->CreateObject() : nullptr);
    if (doc) doc->m_pDocTemplate = this;
    return doc;
}

CFrameWnd* CDocTemplate::CreateNewFrame(CDocument* doc, CFrameWnd* other) {
    CCreateContext context;
    context.m_pCurrentFrame = other;
    context.m_pCurrentDoc = doc;
    context.m_pNewViewClass = m_pViewClass;
    context.m_pNewDocTemplate = this;
    auto* frame = dynamic_cast<CFrameWnd*>(m_pFrameClass ? m_pFrameClass->CreateObject() : nullptr);
    if (!frame) return nullptr;
    if (!frame->LoadFrame(m_nIDResource, WS_OVERLAPPEDWINDOW | FWS_ADDTOTITLE, nullptr, &context)) {
        if (frame->m_hWnd) frame->DestroyWindow();
        else delete frame;
        return nullptr;
    }
    return frame;
}

CSingleDocTemplate::~CSingleDocTemplate() {
    if (m_pOnlyDoc) {
        CDocument* doc = m_pOnlyDoc;
        m_pOnlyDoc = nullptr;
        doc->m_pDocTemplate = nullptr;
        delete doc;
    }
}

POSITION CSingleDocTemplate::GetFirstDocPosition() const { return m_pOnlyDoc ? reinterpret_cast<POSITION>(m_pOnlyDoc) : nullptr; }

CDocument* CSingleDocTemplate::GetNextDoc(POSITION& pos) const {
    CDocument* doc = reinterpret_cast<CDocument*>(pos);
    pos = nullptr;
    return doc;
}

void CSingleDocTemplate::RemoveDocument(CDocument* doc) {
    if (doc == m_pOnlyDoc) m_pOnlyDoc = nullptr;
    CDocTemplate::RemoveDocument(doc);
}

CDocument* CSingleDocTemplate::OpenDocumentFile(const char* path, BOOL makeVisible) {
    CDocument* doc = nullptr;
    CFrameWnd* frame = nullptr;
    bool createdDoc = false, createdFrame = false;
    CWinApp* app = AfxGetApp();
    if (m_pOnlyDoc) {
        doc = m_pOnlyDoc;
        if (!doc->SaveModified()) return nullptr;
        frame = dynamic_cast<CFrameWnd*>(app ? app->m_pMainWnd : nullptr);
    } else {
        doc = CreateNewDocument();
        if (!doc) {
            AfxMessageBox("Não foi possível criar um documento vazio.", MB_ICONEXCLAMATION);
            return nullptr;
        }
        m_pOnlyDoc = doc;
        createdDoc = true;
    }
    if (!frame) {
        frame = CreateNewFrame(doc, nullptr);
        createdFrame = true;
        if (!frame) {
            if (createdDoc) {
                m_pOnlyDoc = nullptr;
                doc->m_pDocTemplate = nullptr;
                delete doc;
            }
            return nullptr;
        }
    }
    if (!path) {
        SetDefaultTitle(doc);
        if (!doc->OnNewDocument()) {
            if (createdFrame) frame->DestroyWindow();
            return nullptr;
        }
    } else {
        BOOL wasModified = doc->IsModified();
        doc->SetModifiedFlag(FALSE);
        if (!doc->OnOpenDocument(path)) {
            if (createdFrame) {
                frame->DestroyWindow();
            } else if (!doc->IsModified()) {
                // The file could not be read at all: the open document is untouched.
                doc->SetModifiedFlag(wasModified);
            } else {
                // The old contents were already gone: start again with a new document.
                SetDefaultTitle(doc);
                doc->OnNewDocument();
            }
            return nullptr;
        }
        doc->SetPathName(path);
    }
    if (createdFrame && app && !app->m_pMainWnd) app->m_pMainWnd = frame;
    InitialUpdateFrame(frame, doc, makeVisible);
    return doc;
}
