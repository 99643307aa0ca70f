// The base of the analyses' data-definition dialogs: the row identifier (row names or
// the codes of a qualitative variable), the variables chosen on the selection page, the
// engine data matrix "Dados.dat" written by "Executar", and the head of the analysis
// configuration file (.tcfg) with its checks against the open table.
#pragma once

#include <functional>
#include <vector>

#include "app/data_table.h"
#include "platform/afx.h"
#include "ui/check_list.h"
#include "ui/dialog_bases.h"

class CReplacingFile;
class CTabulonDoc;

// Controls of the identifier choice and the buttons that the derived dialogs bind.
constexpr int IDC_IDENTIFIER_DEFAULT = 1152;   // radio "Default (Linhas)"
constexpr int IDC_IDENTIFIER_OTHER = 1153;     // radio "Outro"
constexpr int IDC_IDENTIFIER_LIST = 1154;
constexpr int IDC_ANALYSIS_EXECUTE = 1006;     // "Executar"

// Program ids of the analyses, written as the first line of their configuration files.
constexpr int PROGRAM_CLASSIFICATION = 1500;
constexpr int PROGRAM_PRINCIPAL_COMPONENTS = 1501;
constexpr int PROGRAM_BINARY_CORRESPONDENCE = 1502;
constexpr int PROGRAM_MULTIPLE_CORRESPONDENCE = 1503;

// "O ficheiro de configuração está danificado": a configuration whose body cannot be read.
extern const char kDamagedConfigurationMessage[];

class CAnalysisDlg : public CBaseDlg {
public:
    CAnalysisDlg(UINT templateId, int programId, CWnd* parent);
    ~CAnalysisDlg() override;

    // Writes the engine's parameter file (or the body of a configuration file).
    virtual void WriteParameters(CStdioFile& file) = 0;
    // Reads the analysis-specific lines of a configuration file, after its head. Every
    // line is checked against the open table; FALSE refuses the file, and then nothing of
    // the dialog may have changed (read everything first, then apply).
    virtual BOOL ReadParameters(CStdioFile& file) = 0;
    // The rows of the analysis (0-based data-set rows), appended to rows.
    virtual void GetSupplementaryRows(std::vector<int>& rows);
    virtual void GetActiveRows(std::vector<int>& rows);
    virtual int GetFactorCount();
    virtual int GetDataRowCount();
    virtual int GetColumnTotal();
    virtual int GetSupplementaryRowCount();
    virtual int GetActiveRowCount();
    virtual int GetActiveColumnCount();
    virtual int GetSupplementaryColumnCount();
    // Prepares the dialog for a run started from the selection page.
    virtual void InitFromData(std::vector<int>* selection);
    // "Executar": writes "Dados.dat" into the working folder and ends with STEP_FINISH.
    virtual void WriteDataMatrix();

    // Back to row names as identifier; the candidates are refilled from the document.
    void ResetIdentifier();
    void SetSelectedColumns(const std::vector<int>& selection) { m_selectedColumns = selection; }
    const std::vector<int>& GetSelectedColumns() const { return m_selectedColumns; }
    // The document's qualitative variables as {name, 1-based variable number}.
    void FillIdentifierCandidates();
    void FillIdentifierList();
    // Radios, list and ticks from the fields; called from the derived OnInitDialog.
    void UpdateIdentifierControls();
    void OnDefaultIdentifier();
    void OnOtherIdentifier();

    int IsDefaultIdentifier() const { return m_bDefaultIdentifier; }
    const std::vector<CNamedCode>& GetIdentifierCandidates() const { return m_identifierCandidates; }
    int GetLoadedIdentifierIndex() const { return m_nLoadedIdentifier; }
    int GetProgramId() const { return m_nProgramId; }
    CString GetDataMatrixPath() const { return m_strDataMatrixPath; }

    // Asks for a file name and writes the head (lines 1 to 6) into a temporary file beside
    // it: 1 with the file open, 0 (after any message) otherwise. The caller writes its own
    // lines and commits the file, which puts it in place.
    int SaveConfiguration(CReplacingFile& file);
    // SaveConfiguration, then body, then Commit; a failed write shows the message and
    // leaves any earlier file of that name untouched. 1 when the file was saved.
    int SaveConfiguration(const std::function<void(CStdioFile&)>& body);
    // Reads and checks the head of an open configuration file: 1 when accepted (the file
    // then stands after line 6), 0 after the message, with the dialog unchanged.
    int LoadConfiguration(CStdioFile& file);
    // One "%d" line per selected column.
    void WriteSelectedColumns(CStdioFile& file);
    // Reads count variable numbers, one a line; FALSE when a line is missing, is not a
    // number or names no variable of the open table (the columns are then unchanged).
    BOOL ReadSelectedColumns(CStdioFile& file, int count);

protected:
    friend class CRunnerBase;

    // What a refused configuration must leave as it was.
    struct IdentifierState {
        int defaultIdentifier;
        int loadedIdentifier;
        std::vector<CNamedCode> candidates;
        std::vector<int> selectedColumns;
    };
    IdentifierState SaveIdentifierState() const;
    void RestoreIdentifierState(const IdentifierState& state);
    // The index of the ticked candidate (from the list while the window exists), or -1.
    int CheckedIdentifierIndex();
    CTabulonDoc* Document() const;

    CEditCheckListBox m_identifierList;
    int m_bDefaultIdentifier = 1;
    std::vector<CNamedCode> m_identifierCandidates;
    std::vector<int> m_selectedColumns;
    int m_nProgramId;
    int m_nLoadedIdentifier = -1;
    CString m_strDataMatrixPath;

    DECLARE_MESSAGE_MAP()
};

// One line of a configuration file without its line end, read with the bounded read of
// the files (at most 299 characters). FALSE at the end of the file or for a longer line.
BOOL ReadConfigurationLine(CStdioFile& file, CString& line);
// ReadConfigurationLine, then the whole line as integers (all of count); FALSE when the
// line is missing or does not hold exactly that many integers.
BOOL ReadConfigurationInts(CStdioFile& file, int* values, int count);
