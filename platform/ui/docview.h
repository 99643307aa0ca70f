// The single-document framework: documents, views and the document template.
#pragma once

#include <exception>
#include <vector>

#include "platform/core/file.h"
#include "platform/ui/controls.h"

class CDocument;
class CView;
class CFrameWnd;
class CDocTemplate;

using POSITION = void*;

struct CCreateContext {
    const CRuntimeClass* m_pNewViewClass = nullptr;
    CDocument* m_pCurrentDoc = nullptr;
    CDocTemplate* m_pNewDocTemplate = nullptr;
    CView* m_pLastView = nullptr;
    CFrameWnd* m_pCurrentFrame = nullptr;
};

class CDocument : public CCmdTarget {
    DECLARE_DYNAMIC(CDocument)
public:
    CDocument();
    ~CDocument() override;

    const CString& GetTitle() const { return m_strTitle; }
    virtual void SetTitle(const char* title);
    const CString& GetPathName() const { return m_strPathName; }
    virtual void SetPathName(const char* path, BOOL addToMRU = TRUE);
    CDocTemplate* GetDocTemplate() const { return m_pDocTemplate; }

    virtual BOOL IsModified() { return m_bModified; }
    virtual void SetModifiedFlag(BOOL modified = TRUE) { m_bModified = modified; }

    virtual BOOL OnNewDocument();
    virtual BOOL OnOpenDocument(const char* path);
    // Writes the document in place of the file at path (CReplacingFile): links are followed,
    // the old file's permissions are kept, a read-only file is refused, and a failed write
    // never destroys the previous file.
    virtual BOOL OnSaveDocument(const char* path);
    virtual void OnCloseDocument();
    virtual void DeleteContents();
    virtual void Serialize(CArchive& ar);
    // Asks "Save changes to ...?" for a modified document: FALSE when the user cancels
    // or the save fails.
    virtual BOOL SaveModified();
    virtual BOOL CanCloseFrame(CFrameWnd* frame);
    // Saves under path; with none the user is asked for a name (Save As).
    virtual BOOL DoSave(const char* path, BOOL replace = TRUE);
    virtual BOOL DoFileSave();
    virtual void ReportSaveLoadException(const char* path, const std::exception* e, BOOL saving, UINT defaultId);

    void AddView(CView* view);
    void RemoveView(CView* view);
    POSITION GetFirstViewPosition() const;
    CView* GetNextView(POSITION& pos) const;
    void UpdateAllViews(CView* sender, LPARAM hint = 0, CObject* hintObject = nullptr);

    BOOL OnCmdMsg(UINT nID, int nCode, void* pExtra, AFX_CMDHANDLERINFO* pHandlerInfo) override;

    void OnFileSave();
    void OnFileSaveAs();

    CDocTemplate* m_pDocTemplate = nullptr;
    BOOL m_bAutoDelete = TRUE;

    DECLARE_MESSAGE_MAP()

protected:
    CString m_strTitle;
    CString m_strPathName;
    BOOL m_bModified = FALSE;
    std::vector<CView*> m_viewList;
};

class CView : public CWnd {
    DECLARE_DYNAMIC(CView)
public:
    CDocument* GetDocument() const { return m_pDocument; }
    virtual void OnInitialUpdate();
    virtual void OnUpdate(CView* sender, LPARAM hint, CObject* hintObject);
    virtual void OnActivateView(BOOL activate, CView* activateView, CView* deactiveView);
    BOOL OnCmdMsg(UINT nID, int nCode, void* pExtra, AFX_CMDHANDLERINFO* pHandlerInfo) override;
    BOOL PreCreateWindow(CREATESTRUCT& cs) override;
    void PostNcDestroy() override;
    void OnWidgetDestroyed() override;

    int OnCreate(LPCREATESTRUCT cs);
    void OnDestroy();

    DECLARE_MESSAGE_MAP()

protected:
    friend class CDocument;
    CDocument* m_pDocument = nullptr;
};

class CListView : public CView {
    DECLARE_DYNAMIC(CListView)
public:
    afx::WindowKind DefaultKind() const override { return afx::WindowKind::ListCtrl; }
    BOOL PreCreateWindow(CREATESTRUCT& cs) override;
    // The list control that this view is.
    CListCtrl& GetListCtrl();

    DECLARE_MESSAGE_MAP()

protected:
    CListCtrl m_list;
};

class CDocTemplate : public CCmdTarget {
    DECLARE_DYNAMIC(CDocTemplate)
public:
    enum DocStringIndex { windowTitle, docName, fileNewName, filterName, filterExt, regFileTypeId, regFileTypeName };

    CDocTemplate(UINT resourceId, const CRuntimeClass* docClass, const CRuntimeClass* frameClass,
                 const CRuntimeClass* viewClass);
    ~CDocTemplate() override;

    // A part of the template's string (resource resourceId), split at '\n'.
    virtual BOOL GetDocString(CString& text, DocStringIndex index) const;
    virtual CDocument* OpenDocumentFile(const char* path, BOOL makeVisible = TRUE) = 0;
    virtual POSITION GetFirstDocPosition() const = 0;
    virtual CDocument* GetNextDoc(POSITION& pos) const = 0;
    virtual void CloseAllDocuments(BOOL endSession);
    virtual void SetDefaultTitle(CDocument* doc);
    virtual void InitialUpdateFrame(CFrameWnd* frame, CDocument* doc, BOOL makeVisible = TRUE);
    virtual void RemoveDocument(CDocument* doc);

    CDocument* CreateNewDocument();
    CFrameWnd* CreateNewFrame(CDocument* doc, CFrameWnd* other);
    UINT GetResourceId() const { return m_nIDResource; }

protected:
    UINT m_nIDResource;
    const CRuntimeClass* m_pDocClass;
    const CRuntimeClass* m_pFrameClass;
    const CRuntimeClass* m_pViewClass;
};

class CSingleDocTemplate : public CDocTemplate {
    DECLARE_DYNAMIC(CSingleDocTemplate)
public:
    using CDocTemplate::CDocTemplate;
    ~CSingleDocTemplate() override;
    CDocument* OpenDocumentFile(const char* path, BOOL makeVisible = TRUE) override;
    POSITION GetFirstDocPosition() const override;
    CDocument* GetNextDoc(POSITION& pos) const override;
    void RemoveDocument(CDocument* doc) override;

protected:
    CDocument* m_pOnlyDoc = nullptr;
};
