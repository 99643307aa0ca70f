// The single document of Tabulon: it owns the data set and the flags that drive the menus.
#pragma once

#include <memory>

#include "app/data_set.h"
#include "platform/afx.h"

class CTabulonView;

class CTabulonDoc : public CDocument {
    DECLARE_DYNCREATE(CTabulonDoc)
public:
    CTabulonDoc();
    ~CTabulonDoc() override;

    CDataSet* GetDataSet() const { return m_pDataSet; }
    CTabulonView* GetView() const { return m_pView; }
    void SetView(CTabulonView* view) { m_pView = view; }
    int HasData() const { return m_bDataPresent; }
    int IsNewUntitled() const { return m_bNewUntitled; }

    // Renames a variable (1-based) when the name differs; marks the document modified.
    void RenameItem(int variable, const CString& name);
    // Retypes a variable when the type differs; marks the document modified.
    void SetTableFlag(int variable, int type);

    // The document's part of an analysis configuration file (analyses/configuration.cpp):
    // data path, its length, missing-value code, rows and variables; and their check.
    int WriteConfigurationHeader(CStdioFile& file);
    int CheckConfiguration(const CString& dataPath, long long fileLength, int rowCount, int variableCount,
                           const CString& codeText);

    void Serialize(CArchive& ar) override;
    void DeleteContents() override;
    BOOL OnNewDocument() override;
    BOOL OnOpenDocument(const char* path) override;
    BOOL OnSaveDocument(const char* path) override;
    // Whether the last open was refused (a file that the reader or the regular-file test
    // turned down, its messages shown), rather than a file that could not be opened.
    int WasOpenRefused() const { return m_bOpenRefused; }
    BOOL DoFileSave() override;
    BOOL DoSave(const char* path, BOOL replace = TRUE) override;

protected:
    void OnUpdateDataCommand(CCmdUI* cmdUI);
    void OnFileExport();
    void OnFileImport();
    void OnEditPaste();
    void OnConfiguration();
    // Statistics commands (stats_commands.cpp).
    void OnDescriptiveStatistics();
    void OnResistantLine();
    // Makes data the document's data set and shows it.
    void TakeData(CDataSet* data);
    // Sets the main window's title.
    void SetMainTitle(const char* title);
    // Shows a rejected file: an empty data set, no data, the title "Tesmo".
    void ShowRejectedFile();

    CDataSet* m_pDataSet = nullptr;
    CTabulonView* m_pView = nullptr;
    std::unique_ptr<CObject> m_pOwned;
    int m_bDataPresent = 0;
    int m_bNewUntitled = 0;
    int m_bImported = 0;
    int m_bOpenRefused = 0;   // the path names no file of ours yet: the first Save asks for one

    DECLARE_MESSAGE_MAP()
};
